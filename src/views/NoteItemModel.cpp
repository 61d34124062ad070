#include "views/NoteItemModel.h"

#include <QCoreApplication>
#include <QMimeData>
#include <algorithm>

#include "views/qtext.h"

namespace wux {

NoteItemModel::NoteItemModel(NoteList& list, Kind kind, Hooks hooks, QObject* parent)
    : QAbstractItemModel(parent), list_(list), kind_(kind), hooks_(std::move(hooks)) {
  list_.addObserver(this);
}

NoteItemModel::~NoteItemModel() { list_.removeObserver(this); }

NoteItem* NoteItemModel::itemOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<NoteItem*>(index.internalPointer());
}

QModelIndex NoteItemModel::indexOfItem(const NoteItem* item) const {
  if (!item || item->list() != &list_) return {};
  return createIndex(item->row(), 0, const_cast<NoteItem*>(item));
}

QModelIndex NoteItemModel::index(int row, int column, const QModelIndex& parent) const {
  if (column < 0 || column >= columnCount() || row < 0) return {};
  NoteItem* it = nullptr;
  if (!parent.isValid())
    it = list_.root(row);
  else if (NoteItem* p = itemOf(parent))
    it = p->child(row);
  return it ? createIndex(row, column, it) : QModelIndex();
}

QModelIndex NoteItemModel::parent(const QModelIndex& child) const {
  NoteItem* it = itemOf(child);
  if (!it || !it->parent()) return {};
  return indexOfItem(it->parent());
}

int NoteItemModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return list_.rootCount();
  if (parent.column() != 0 || kind_ != Kind::Tree) return 0;
  NoteItem* it = itemOf(parent);
  return it ? it->childCount() : 0;
}

int NoteItemModel::columnCount(const QModelIndex&) const {
  if (kind_ != Kind::List || !hooks_.columns) return 1;
  return std::max(1, hooks_.columns());
}

QVariant NoteItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (kind_ == Kind::List && hooks_.header && section < columnCount()) return toQ(hooks_.header(section));
  return section == 0 ? QVariant(QStringLiteral("name")) : QVariant();
}

void NoteItemModel::columnsChanged() {
  beginResetModel();
  endResetModel();
  emit rowsRebuilt();
}

QVariant NoteItemModel::data(const QModelIndex& index, int role) const {
  NoteItem* it = itemOf(index);
  if (!it) return {};
  if (index.column() > 0) {
    if (role != Qt::DisplayRole || !hooks_.cell) return {};
    return toQ(hooks_.cell(it->note(), index.column()));
  }
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return toQ(it->text());
    case Qt::DecorationRole: {
      if (kind_ == Kind::CheckList || !hooks_.icon) return {};
      QIcon icon = hooks_.icon(it->note());
      return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::CheckStateRole:
      if (kind_ != Kind::CheckList) return {};
      return hooks_.isMarked && hooks_.isMarked(it->note()) ? Qt::Checked : Qt::Unchecked;
    default:
      return {};
  }
}

bool NoteItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  NoteItem* it = itemOf(index);
  if (!it || role != Qt::CheckStateRole || kind_ != Kind::CheckList || !hooks_.setMarked) return false;
  hooks_.setMarked(it->note(), value.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags NoteItemModel::flags(const QModelIndex& index) const {
  if (!itemOf(index)) return Qt::ItemIsDropEnabled;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  if (kind_ != Kind::List) f |= Qt::ItemIsDropEnabled;
  if (kind_ == Kind::CheckList) f |= Qt::ItemIsUserCheckable;
  if (kind_ != Kind::Tree) f |= Qt::ItemNeverHasChildren;
  return f;
}

namespace {
// The dragged items are the view's selection; the data only says whose they are.
const QString kNotesMime = QStringLiteral("application/x-wux-note-items");

QByteArray ownerTag(const NoteItemModel* model) {
  return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
         QByteArray::number(reinterpret_cast<quintptr>(model));
}
}  // namespace

QStringList NoteItemModel::mimeTypes() const { return {kNotesMime}; }

// No text goes with it: a note dropped on the editor must not type its name there.
QMimeData* NoteItemModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(kNotesMime, ownerTag(this));
  return data;
}

bool NoteItemModel::isOwnDrag(const QMimeData* data) const {
  return data && data->hasFormat(kNotesMime) && data->data(kNotesMime) == ownerTag(this);
}

bool NoteItemModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                    const QModelIndex&) const {
  return kind_ != Kind::List && action == Qt::MoveAction && isOwnDrag(data);
}

void NoteItemModel::structureAboutToChange() { beginResetModel(); }

void NoteItemModel::structureChanged() {
  endResetModel();
  emit rowsRebuilt();
}

void NoteItemModel::itemChanged(NoteItem* item) {
  const QModelIndex i = indexOfItem(item);
  if (i.isValid()) emit dataChanged(i, i);
}

void NoteItemModel::expansionChanged(NoteItem* item) {
  const QModelIndex i = indexOfItem(item);
  if (i.isValid()) emit expansionRequested(i, item->expanded());
}

}  // namespace wux

#include "views/NoteItemModel.h"

#include <QCoreApplication>
#include <QMimeData>
#include <algorithm>

#include "views/qtext.h"

namespace wux {

NoteItemModel::NoteItemModel(NoteList& list, Kind kind, Hooks hooks, QObject* parent)
    : QAbstractItemModel(parent), list_(list), kind_(kind), hooks_(std::move(hooks)) {
  list_.addObserver(this);
  collectShown();
}

NoteItemModel::~NoteItemModel() { list_.removeObserver(this); }

NoteItem* NoteItemModel::itemOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<NoteItem*>(index.internalPointer());
}

NoteItem* NoteItemModel::rowItem(int row) const {
  if (kind_ != Kind::Tree) return list_.root(row);
  if (row < 0 || row >= static_cast<int>(shown_.size())) return nullptr;
  return shown_[static_cast<size_t>(row)];
}

QModelIndex NoteItemModel::indexOfItem(const NoteItem* item) const {
  if (!item || item->list() != &list_ || resetting_) return {};
  if (kind_ != Kind::Tree)
    return item->parent() ? QModelIndex() : createIndex(item->row(), 0, const_cast<NoteItem*>(item));
  // The rows keep item order, so the row is found by the item's place in the list.
  const int order = list_.indexOfItem(item);
  auto at = std::lower_bound(shown_.begin(), shown_.end(), order,
                             [this](const NoteItem* a, int o) { return list_.indexOfItem(a) < o; });
  if (at == shown_.end() || *at != item) return {};
  return createIndex(static_cast<int>(at - shown_.begin()), 0, const_cast<NoteItem*>(item));
}

QModelIndex NoteItemModel::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || column < 0 || column >= columnCount()) return {};
  NoteItem* it = rowItem(row);
  return it ? createIndex(row, column, it) : QModelIndex();
}

QModelIndex NoteItemModel::parent(const QModelIndex&) const { return {}; }

int NoteItemModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return kind_ == Kind::Tree ? static_cast<int>(shown_.size()) : list_.rootCount();
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
  return f | Qt::ItemNeverHasChildren;
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

void NoteItemModel::structureAboutToChange() {
  beginResetModel();
  resetting_ = true;
  shown_.clear();
  toggled_.clear();
}

void NoteItemModel::structureChanged() {
  resetting_ = false;
  collectShown();
  endResetModel();
  emit rowsRebuilt();
}

void NoteItemModel::itemChanged(NoteItem* item) {
  const QModelIndex i = indexOfItem(item);
  if (i.isValid()) emit dataChanged(i, i);
}

void NoteItemModel::collectBelow(NoteItem* item, std::vector<NoteItem*>& out) const {
  // A loop, not recursion: an open chain is as deep as it is long.
  std::vector<std::pair<const NoteItem*, int>> open{{item, 0}};
  while (!open.empty()) {
    auto& [parent, next] = open.back();
    if (next >= parent->childCount()) {
      open.pop_back();
      continue;
    }
    NoteItem* c = parent->child(next++);
    out.push_back(c);
    if (c->expanded() && c->hasChildren()) open.push_back({c, 0});
  }
}

void NoteItemModel::collectShown() {
  shown_.clear();
  if (kind_ != Kind::Tree) return;
  for (int i = 0; i < list_.rootCount(); ++i) {
    NoteItem* r = list_.root(i);
    shown_.push_back(r);
    if (r->expanded()) collectBelow(r, shown_);
  }
}

void NoteItemModel::toggleRows(NoteItem* item) {
  const QModelIndex at = indexOfItem(item);
  if (!at.isValid()) return;  // below a closed branch: no row changes
  const int row = at.row();
  emit branchesAboutToToggle();
  if (item->expanded()) {
    std::vector<NoteItem*> rows;
    collectBelow(item, rows);
    if (!rows.empty()) {
      beginInsertRows({}, row + 1, row + static_cast<int>(rows.size()));
      shown_.insert(shown_.begin() + row + 1, rows.begin(), rows.end());
      endInsertRows();
    }
  } else {
    // What the branch showed follows it, deeper than it.
    const int level = item->level();
    size_t end = static_cast<size_t>(row) + 1;
    while (end < shown_.size() && shown_[end]->level() > level) ++end;
    if (end > static_cast<size_t>(row) + 1) {
      beginRemoveRows({}, row + 1, static_cast<int>(end) - 1);
      shown_.erase(shown_.begin() + row + 1, shown_.begin() + static_cast<std::ptrdiff_t>(end));
      endRemoveRows();
    }
  }
  emit dataChanged(at, at);  // its arrow
  emit branchesToggled();
}

void NoteItemModel::expansionChanged(NoteItem* item) {
  if (kind_ != Kind::Tree || resetting_) return;
  if (expansionRuns_ > 0)
    toggled_.push_back(item);
  else
    toggleRows(item);
}

void NoteItemModel::expansionsAboutToChange() { ++expansionRuns_; }

void NoteItemModel::expansionsChanged() {
  if (expansionRuns_ > 0) --expansionRuns_;
  if (expansionRuns_ > 0) return;
  std::vector<NoteItem*> toggled = std::move(toggled_);
  toggled_.clear();
  if (kind_ != Kind::Tree || resetting_ || toggled.empty()) return;
  if (toggled.size() == 1) return toggleRows(toggled.front());
  // Many branches at once: the rows are made again in one pass, not one insert each.
  emit branchesAboutToToggle();
  beginResetModel();
  collectShown();
  endResetModel();
  emit branchesToggled();
}

}  // namespace wux

#include "views/NoteViews.h"

#include <QDropEvent>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

namespace wux {

// ---- shared ----

void NoteViewBinding::selectItem(const NoteItem* item) {
  QAbstractItemView* v = widget();
  const QModelIndex i = noteModel()->indexOfItem(item);
  selecting_ = true;
  if (i.isValid()) {
    v->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    // Finding an item's row on screen is a walk over the shown rows in a tree, so the
    // scroll waits for the event loop: a burst of switches scrolls once.
    const bool scheduled = pendingScroll_.isValid();
    pendingScroll_ = i;
    if (!scheduled)
      QTimer::singleShot(0, v, [this] {
        if (pendingScroll_.isValid()) widget()->scrollTo(pendingScroll_);
        pendingScroll_ = QPersistentModelIndex();
      });
  } else {
    v->selectionModel()->clearSelection();
  }
  selecting_ = false;
}

NoteItem* NoteViewBinding::selectedItem() const {
  auto* self = const_cast<NoteViewBinding*>(this);
  return noteModel()->itemOf(self->widget()->selectionModel()->currentIndex());
}

std::vector<NoteItem*> NoteViewBinding::selectedItems() const {
  auto* self = const_cast<NoteViewBinding*>(this);
  std::vector<NoteItem*> out;
  for (const QModelIndex& i : self->widget()->selectionModel()->selectedIndexes())
    if (NoteItem* it = noteModel()->itemOf(i)) out.push_back(it);
  return out;
}

void NoteViewBinding::wire() {
  QAbstractItemView* v = widget();
  v->setModel(noteModel());
  v->setDragEnabled(true);
  v->setDragDropMode(QAbstractItemView::InternalMove);
  v->setDefaultDropAction(Qt::MoveAction);
  v->setSelectionMode(QAbstractItemView::SingleSelection);
  v->setEditTriggers(QAbstractItemView::NoEditTriggers);  // names change only by commands
  v->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(v, &QWidget::customContextMenuRequested, v, [this](const QPoint& p) {
    if (onContextMenu) onContextMenu(p);
  });
  QObject::connect(v->selectionModel(), &QItemSelectionModel::currentChanged, v,
                   [this](const QModelIndex& cur, const QModelIndex&) {
                     NoteItem* it = noteModel()->itemOf(cur);
                     if (it) selectedNote_ = it->note();
                     if (selecting_ || !onUserSelect || !it) return;
                     onUserSelect(it);
                   });
  // Rows rebuilt after a change of order lose Qt's selection; the note stays selected.
  QObject::connect(noteModel(), &NoteItemModel::rowsRebuilt, v, [this] {
    if (NoteItem* it = noteModel()->list().itemOf(selectedNote_)) selectItem(it);
  });
}

bool NoteViewBinding::acceptsDrop(const QMimeData* data) const {
  if (!onDrop || (dropsRefused && dropsRefused())) return false;
  return noteModel()->canDropMimeData(data, Qt::MoveAction, -1, -1, QModelIndex());
}

void NoteViewBinding::handleDragMove(QDragMoveEvent* e) {
  // Over a dragged item too: the drop then says why nothing moves.
  if (acceptsDrop(e->mimeData())) {
    e->setDropAction(Qt::MoveAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void NoteViewBinding::handleDrop(QDropEvent* e) {
  // Only the view's own items move; anything dragged in from elsewhere (a file, a
  // note of another notebook) is left to the window.
  if (!acceptsDrop(e->mimeData())) {
    e->ignore();
    return;
  }
  // The list decides what a drop means; Qt's own row moving is never used.
  e->setDropAction(Qt::IgnoreAction);
  e->accept();
  dropAt(e->position().toPoint());
}

void NoteViewBinding::dropAt(const QPoint& pos) {
  if (!onDrop) return;
  std::vector<NoteItem*> dragged = selectedItems();
  if (dragged.empty())
    if (NoteItem* cur = selectedItem()) dragged.push_back(cur);
  if (dragged.empty()) return;
  QAbstractItemView* v = widget();
  NoteItem* target = noteModel()->itemOf(v->indexAt(pos));
  onDrop(dragged, target);
}

bool NoteViewBinding::handleStepKey(QKeyEvent* e) {
  if (!onStepKey || e->modifiers() != Qt::NoModifier) return false;
  if (e->key() != Qt::Key_Up && e->key() != Qt::Key_Down) return false;
  // One press, one note: the view's own cursor movement does not run as well.
  const int step = e->key() == Qt::Key_Up ? -1 : 1;
  actOnRelease(e, [this, step] {
    if (onStepKey) onStepKey(step);
  });
  return true;
}

void NoteViewBinding::actOnRelease(QKeyEvent* e, std::function<void()> act) {
  // The key acts when let go, once; the press is swallowed so that the view stays put.
  // A held key repeats as pairs of release and press sent at one moment, which Qt does
  // not always mark as repeats: a release acts only once no press of its key follows
  // at once.
  e->accept();
  if (e->type() == QEvent::KeyPress) {
    if (e->key() == pendingKey_) ++releaseSerial_;
    return;
  }
  if (e->isAutoRepeat()) return;
  pendingKey_ = e->key();
  const unsigned serial = ++releaseSerial_;
  QTimer::singleShot(kReleaseSettleMs, widget(), [this, serial, act] {
    if (serial != releaseSerial_) return;
    pendingKey_ = 0;
    act();
  });
}

bool NoteViewBinding::isMenuPress(QMouseEvent* e) {
  if (e->button() != Qt::RightButton) return false;
  e->accept();
  return true;
}

bool NoteViewBinding::handleSideKey(QKeyEvent* e) {
  if (!onSideKey || e->modifiers() != Qt::NoModifier) return false;
  if (e->key() != Qt::Key_Left && e->key() != Qt::Key_Right) return false;
  const int step = e->key() == Qt::Key_Left ? -1 : 1;
  actOnRelease(e, [this, step] {
    if (onSideKey) onSideKey(step);
  });
  return true;
}

// ---- check list ----

NoteCheckListView::NoteCheckListView(NoteItemModel* model, QWidget* parent) : QListView(parent), model_(model) {
  setObjectName(QStringLiteral("CheckListBox"));
  setUniformItemSizes(true);
  wire();
}

void NoteCheckListView::dragEnterEvent(QDragEnterEvent* e) {
  QListView::dragEnterEvent(e);
  handleDragMove(e);
}

void NoteCheckListView::dragMoveEvent(QDragMoveEvent* e) {
  QListView::dragMoveEvent(e);
  handleDragMove(e);
}

void NoteCheckListView::dropEvent(QDropEvent* e) { handleDrop(e); }

void NoteCheckListView::mousePressEvent(QMouseEvent* e) {
  if (!isMenuPress(e)) QListView::mousePressEvent(e);
}

void NoteCheckListView::keyPressEvent(QKeyEvent* e) {
  if (!handleSideKey(e)) QListView::keyPressEvent(e);
}

void NoteCheckListView::keyReleaseEvent(QKeyEvent* e) {
  if (!handleSideKey(e)) QListView::keyReleaseEvent(e);
}

// ---- tree ----

NoteTreeView::NoteTreeView(NoteItemModel* model, QWidget* parent) : QTreeView(parent), model_(model) {
  setObjectName(QStringLiteral("TreeView"));
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(true);
  wire();
  setSelectionMode(QAbstractItemView::ExtendedSelection);  // several items drop together
  connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) {
    if (!syncing_) model_->list().setExpanded(model_->itemOf(i), true);
  });
  connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
    if (!syncing_) model_->list().setExpanded(model_->itemOf(i), false);
  });
  connect(model_, &NoteItemModel::expansionRequested, this, [this](const QModelIndex& i, bool on) {
    syncing_ = true;
    setExpanded(i, on);
    syncing_ = false;
  });
  connect(model_, &NoteItemModel::rowsRebuilt, this, [this] { restoreExpansion(); });
  restoreExpansion();
}

void NoteTreeView::restoreExpansion() {
  syncing_ = true;
  NoteList& list = model_->list();
  for (int i = 0, n = list.count(); i < n; ++i) {
    NoteItem* it = list.itemAt(i);
    if (it->expanded() && it->hasChildren()) setExpanded(model_->indexOfItem(it), true);
  }
  syncing_ = false;
}

void NoteTreeView::dragEnterEvent(QDragEnterEvent* e) {
  QTreeView::dragEnterEvent(e);
  handleDragMove(e);
}

void NoteTreeView::dragMoveEvent(QDragMoveEvent* e) {
  QTreeView::dragMoveEvent(e);
  handleDragMove(e);
}

void NoteTreeView::dropEvent(QDropEvent* e) { handleDrop(e); }

void NoteTreeView::keyPressEvent(QKeyEvent* e) {
  // Left and Right change notebooks here, as everywhere in the window; branches open
  // and close with the mouse or "+" and "-". Up and Down walk the notes in item order,
  // collapsed branches included, as the notebook counts them.
  if (!handleSideKey(e) && !handleStepKey(e)) QTreeView::keyPressEvent(e);
}

void NoteTreeView::keyReleaseEvent(QKeyEvent* e) {
  if (!handleSideKey(e) && !handleStepKey(e)) QTreeView::keyReleaseEvent(e);
}

void NoteListView::mousePressEvent(QMouseEvent* e) {
  if (!isMenuPress(e)) QListView::mousePressEvent(e);
}

void NoteListView::keyPressEvent(QKeyEvent* e) {
  if (!handleSideKey(e)) QListView::keyPressEvent(e);
}

void NoteListView::keyReleaseEvent(QKeyEvent* e) {
  if (!handleSideKey(e)) QListView::keyReleaseEvent(e);
}

// ---- list ----

namespace {
// Paints a row of the report style as the header's columns: the name (with its icon)
// in the first, the query's field values in the others.
class ReportDelegate : public QStyledItemDelegate {
 public:
  ReportDelegate(QHeaderView* header, QObject* parent) : QStyledItemDelegate(parent), header_(header) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (header_->isHidden()) return QStyledItemDelegate::paint(p, option, index);
    const QAbstractItemModel* m = index.model();
    for (int c = 0; c < header_->count(); ++c) {
      QStyleOptionViewItem o = option;
      o.rect.setLeft(option.rect.left() + header_->sectionViewportPosition(c));
      o.rect.setWidth(header_->sectionSize(c));
      const QModelIndex cell = c == 0 ? index : m->index(index.row(), c, index.parent());
      if (c > 0) o.features &= ~QStyleOptionViewItem::HasDecoration;
      QStyledItemDelegate::paint(p, o, cell);
    }
  }

 private:
  QHeaderView* header_;
};
}  // namespace

NoteListView::NoteListView(NoteItemModel* model, QWidget* parent) : QListView(parent), model_(model) {
  setObjectName(QStringLiteral("ListView"));
  setUniformItemSizes(true);
  header_ = new QHeaderView(Qt::Horizontal, this);
  header_->setModel(model);
  header_->setSectionResizeMode(QHeaderView::Interactive);
  header_->hide();
  setItemDelegate(new ReportDelegate(header_, this));
  connect(header_, &QHeaderView::sectionResized, viewport(), [this] { viewport()->update(); });
  connect(model, &NoteItemModel::modelReset, this, [this] { updateHeader(); });
  wire();
  setDragDropMode(QAbstractItemView::DragOnly);  // a drag over the list ends without effect
  setStyle(Report);
}

void NoteListView::updateHeader() {
  const bool shown = style_ == Report && model_->columnCount() > 1;
  header_->setVisible(shown);
  if (shown)
    for (int c = 0; c < model_->columnCount(); ++c) {
      const int w = model_->columnWidth(c);
      header_->resizeSection(c, w > 0 ? w : 100);
    }
  updateGeometries();
  viewport()->update();
}

void NoteListView::updateGeometries() {
  QListView::updateGeometries();
  if (!header_) return;
  const int h = header_->isHidden() ? 0 : header_->sizeHint().height();
  if (viewportMargins().top() != h) setViewportMargins(0, h, 0, 0);
  const QRect vg = viewport()->geometry();
  header_->setGeometry(vg.left(), vg.top() - h, vg.width(), h);
}

void NoteListView::setStyle(Style s) {
  style_ = s;
  switch (s) {
    case Icon:
      setViewMode(QListView::IconMode);
      setWrapping(true);
      break;
    case SmallIcon:
      setViewMode(QListView::ListMode);
      setFlow(QListView::LeftToRight);
      setWrapping(true);
      break;
    case List:
      setViewMode(QListView::ListMode);
      setFlow(QListView::TopToBottom);
      setWrapping(true);
      break;
    case Report:
      setViewMode(QListView::ListMode);
      setFlow(QListView::TopToBottom);
      setWrapping(false);
      break;
  }
  setMovement(QListView::Static);
  setDragDropMode(QAbstractItemView::DragOnly);
  updateHeader();
}

}  // namespace wux

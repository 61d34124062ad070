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
#include <utility>
#include <vector>

namespace wux {

// ---- shared ----

void NoteViewBinding::selectItem(const NoteItem* item) {
  QAbstractItemView* v = widget();
  if (item) reveal(item);
  const QModelIndex i = noteModel()->indexOfItem(item);
  const bool wasSelecting = selecting_;
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
  selecting_ = wasSelecting;
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

namespace {
// Indents a tree row by its level and draws its branch arrow in front of the text.
class BranchDelegate : public QStyledItemDelegate {
 public:
  explicit BranchDelegate(NoteTreeView* view) : QStyledItemDelegate(view), view_(view) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const NoteItem* it = view_->noteModel()->itemOf(index);
    if (!it) return QStyledItemDelegate::paint(p, option, index);
    const QRect arrow = view_->branchRect(option.rect, it->level());
    if (it->hasChildren()) {
      QStyleOption b;
      b.initFrom(view_);
      b.rect = arrow;
      b.state = QStyle::State_Item | QStyle::State_Children | (option.state & QStyle::State_Enabled);
      if (it->expanded()) b.state |= QStyle::State_Open;
      view_->style()->drawPrimitive(QStyle::PE_IndicatorBranch, &b, p, view_);
    }
    QStyleOptionViewItem o = option;
    o.rect.setLeft(arrow.right() + 1);
    QStyledItemDelegate::paint(p, o, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    if (const NoteItem* it = view_->noteModel()->itemOf(index))
      s.rwidth() += (it->level() + 1) * view_->indentation();
    return s;
  }

 private:
  NoteTreeView* view_;
};

// The item itself when it is shown, else the outermost closed branch above it.
NoteItem* shownItemOf(NoteItem* item) {
  NoteItem* shown = item;
  for (NoteItem* p = item ? item->parent() : nullptr; p; p = p->parent())
    if (!p->expanded()) shown = p;
  return shown;
}
}  // namespace

NoteTreeView::NoteTreeView(NoteItemModel* model, QWidget* parent) : QTreeView(parent), model_(model) {
  setObjectName(QStringLiteral("TreeView"));
  setHeaderHidden(true);
  setUniformRowHeights(true);
  // The rows are flat for Qt: its own branches stay closed and undrawn.
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(true);
  setItemDelegate(new BranchDelegate(this));
  wire();
  setSelectionMode(QAbstractItemView::ExtendedSelection);  // several items drop together
  connect(model_, &NoteItemModel::branchesAboutToToggle, this, [this] { branchesAboutToToggle(); });
  connect(model_, &NoteItemModel::branchesToggled, this, [this] { branchesToggled(); });
  // A double click opens or closes the branch where Qt would (not on the arrow, which
  // takes it as a second click).
  connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) {
    NoteItem* it = model_->itemOf(i);
    if (expandsOnDoubleClick() && it) toggleByUser(it, !it->expanded());
  });
}

QRect NoteTreeView::branchRect(const QRect& cell, int level) const {
  const int step = indentation();
  return QRect(cell.left() + level * step, cell.top(), step, cell.height());
}

NoteItem* NoteTreeView::arrowAt(const QPoint& pos) const {
  const QModelIndex i = indexAt(pos);
  NoteItem* it = model_->itemOf(i);
  if (!it || !it->hasChildren()) return nullptr;
  return branchRect(visualRect(i), it->level()).contains(pos) ? it : nullptr;
}

void NoteTreeView::toggleByUser(NoteItem* item, bool expand, bool deep) {
  if (!item || !item->hasChildren()) return;
  NoteList& list = model_->list();
  userToggle_ = true;
  {
    NoteList::ExpansionChanges run(list);
    list.setExpanded(item, expand);
    if (deep) ExpandChildren(item, true);
  }
  userToggle_ = false;
}

void NoteTreeView::branchesAboutToToggle() {
  // Rows come and go below: Qt's selection follows them quietly, and what stays current
  // is decided once they are in place.
  quietBefore_ = selecting_;
  selecting_ = true;
  currentBefore_ = selectedNote_;
}

void NoteTreeView::branchesToggled() {
  selecting_ = quietBefore_;
  NoteItem* was = model_->list().itemOf(currentBefore_);
  if (!was) return;
  // A closed branch that hid the current item becomes current itself.
  NoteItem* shown = shownItemOf(was);
  if (shown != was || selectedItem() != shown) selectItem(shown);
  if (userToggle_ && shown != was && onUserSelect) onUserSelect(shown);
}

void NoteTreeView::reveal(const NoteItem* item) {
  std::vector<NoteItem*> closed;
  for (NoteItem* p = item->parent(); p; p = p->parent())
    if (!p->expanded()) closed.push_back(p);
  if (closed.empty()) return;
  NoteList& list = model_->list();
  NoteList::ExpansionChanges run(list);
  for (NoteItem* p : closed) list.setExpanded(p, true);
}

void NoteTreeView::mousePressEvent(QMouseEvent* e) {
  arrowPressed_ = false;
  if (e->button() == Qt::LeftButton)
    if (NoteItem* it = arrowAt(e->position().toPoint())) {
      // The arrow only opens or closes: the selection stays, and no drag starts here.
      arrowPressed_ = true;
      e->accept();
      toggleByUser(it, !it->expanded());
      return;
    }
  QTreeView::mousePressEvent(e);
}

void NoteTreeView::mouseMoveEvent(QMouseEvent* e) {
  if (arrowPressed_) return e->accept();
  QTreeView::mouseMoveEvent(e);
}

void NoteTreeView::mouseReleaseEvent(QMouseEvent* e) {
  if (std::exchange(arrowPressed_, false)) return e->accept();
  QTreeView::mouseReleaseEvent(e);
}

void NoteTreeView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && arrowAt(e->position().toPoint())) return mousePressEvent(e);
  QTreeView::mouseDoubleClickEvent(e);
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
  toggleByKey(e);
  // Left and Right change notebooks here, as everywhere in the window; branches open
  // and close with the mouse or "+" and "-". Up and Down walk the notes in item order,
  // collapsed branches included, as the notebook counts them.
  if (!handleSideKey(e) && !handleStepKey(e)) QTreeView::keyPressEvent(e);
}

void NoteTreeView::keyReleaseEvent(QKeyEvent* e) {
  if (!handleSideKey(e) && !handleStepKey(e)) QTreeView::keyReleaseEvent(e);
}

void NoteTreeView::toggleByKey(QKeyEvent* e) {
  // Qt's own keys for branches; the key goes on to Qt's handling as before.
  NoteItem* it = selectedItem();
  if (!it) return;
  if (e->key() == Qt::Key_Plus) toggleByUser(it, true);
  if (e->key() == Qt::Key_Minus) toggleByUser(it, false);
  if (e->key() == Qt::Key_Asterisk) toggleByUser(it, true, true);
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

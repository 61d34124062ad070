#pragma once
// The three presentations of a notebook's note list: a check list, a tree and a list
// with its styles. Selection is the view's own state; the notes, their order and which
// branches are open live in the NoteList behind the model.
#include <QHeaderView>
#include <QListView>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

#include "views/NoteItemModel.h"

namespace wux {

// What all three views share: selecting by note, reporting the user's choice, drops.
class NoteViewBinding {
 public:
  virtual ~NoteViewBinding() = default;
  virtual QAbstractItemView* widget() = 0;
  virtual NoteItemModel* noteModel() const = 0;
  // Selects the note's item without reporting it as the user's choice (in the tree,
  // opening the branches that hide it).
  void selectItem(const NoteItem* item);
  NoteItem* selectedItem() const;
  std::vector<NoteItem*> selectedItems() const;

  // The user clicked or moved to an item.
  std::function<void(NoteItem*)> onUserSelect;
  // Left and Right: the previous or next notebook (-1 or +1).
  std::function<void(int)> onSideKey;
  // A drop of the dragged items (the selection in selection order, else the current
  // item) on `target` (nullptr: below the last item).
  std::function<void(const std::vector<NoteItem*>& dragged, NoteItem* target)> onDrop;
  // A drop at a point of the viewport: the selection goes onto the item there.
  void dropAt(const QPoint& pos);
  // While this answers true, a drag over the view is refused (the read-only switch).
  std::function<bool()> dropsRefused;
  // Whether a drag carrying `data` may end in this view: only the view's own items,
  // only where drops have a meaning, and not while refused.
  bool acceptsDrop(const QMimeData* data) const;
  // Up and Down in the tree: the previous or next note in item order (-1 or +1).
  std::function<void(int)> onStepKey;
  // The context menu asked for at a point of the widget.
  std::function<void(const QPoint&)> onContextMenu;

 protected:
  void wire();
  // Makes the item shown before it is selected.
  virtual void reveal(const NoteItem*) {}
  void handleDrop(QDropEvent* e);
  // After Qt's own drag-over handling (scrolling, the indicator): the answer is ours.
  void handleDragMove(QDragMoveEvent* e);
  // True when the key (pressed or let go) was Left or Right, for onSideKey.
  bool handleSideKey(QKeyEvent* e);
  // True when the key (pressed or let go) was Up or Down, for onStepKey.
  bool handleStepKey(QKeyEvent* e);
  // Runs `act` once the key of `e` is let go for good (see NoteViews.cpp).
  void actOnRelease(QKeyEvent* e, std::function<void()> act);
  static constexpr int kReleaseSettleMs = 30;
  int pendingKey_ = 0;
  unsigned releaseSerial_ = 0;
  // The right button in the lists only opens their menu: the current note stays.
  static bool isMenuPress(QMouseEvent* e);
  bool selecting_ = false;
  const TObject* selectedNote_ = nullptr;  // only compared, never followed
  QPersistentModelIndex pendingScroll_;
};

class NoteCheckListView : public QListView, public NoteViewBinding {
  Q_OBJECT
 public:
  explicit NoteCheckListView(NoteItemModel* model, QWidget* parent = nullptr);
  QAbstractItemView* widget() override { return this; }
  NoteItemModel* noteModel() const override { return model_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  NoteItemModel* model_;
};

// A tree drawn over flat rows: the model shows the items of open branches, and the view
// indents each row by its level and draws its branch arrow. Branches open and close
// through the NoteList (arrow click, double click, "+", "-", "*"), never through Qt's
// own expansion, whose layout recurses once per level.
class NoteTreeView : public QTreeView, public NoteViewBinding {
  Q_OBJECT
 public:
  explicit NoteTreeView(NoteItemModel* model, QWidget* parent = nullptr);
  QAbstractItemView* widget() override { return this; }
  NoteItemModel* noteModel() const override { return model_; }
  // The arrow of an item at `level` whose row cell is `cell`; the text follows it.
  QRect branchRect(const QRect& cell, int level) const;

 protected:
  void reveal(const NoteItem* item) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  // The item whose branch arrow is at the point, if any.
  NoteItem* arrowAt(const QPoint& pos) const;
  // The user opens or closes a branch (with all below it when `deep`).
  void toggleByUser(NoteItem* item, bool expand, bool deep = false);
  // "+", "-" and "*" on the current item.
  void toggleByKey(QKeyEvent* e);
  void branchesAboutToToggle();
  void branchesToggled();

  NoteItemModel* model_;
  bool userToggle_ = false;
  bool arrowPressed_ = false;
  bool quietBefore_ = false;
  const TObject* currentBefore_ = nullptr;  // only compared and looked up
};

class NoteListView : public QListView, public NoteViewBinding {
  Q_OBJECT
 public:
  // 0 icon, 1 small icon, 2 list, 3 report: the positions of the ViewStyle menu.
  enum Style { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };
  explicit NoteListView(NoteItemModel* model, QWidget* parent = nullptr);
  QAbstractItemView* widget() override { return this; }
  NoteItemModel* noteModel() const override { return model_; }
  void setStyle(Style s);
  Style style() const { return style_; }
  // The column header of the report style; shown while a query gave more columns
  // than the name.
  QHeaderView* header() const { return header_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void updateGeometries() override;

 private:
  void updateHeader();
  NoteItemModel* model_;
  Style style_ = Report;
  QHeaderView* header_ = nullptr;
};

}  // namespace wux

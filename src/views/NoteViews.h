#pragma once
// The three presentations of a notebook's note list: a check list, a tree and a list
// with its styles. Selection and expansion are the view's own state; the notes and
// their order live in the NoteList behind the model.
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
  // Selects the note's item without reporting it as the user's choice.
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

class NoteTreeView : public QTreeView, public NoteViewBinding {
  Q_OBJECT
 public:
  explicit NoteTreeView(NoteItemModel* model, QWidget* parent = nullptr);
  QAbstractItemView* widget() override { return this; }
  NoteItemModel* noteModel() const override { return model_; }
  // Expands or collapses every branch as its item says (after the rows were rebuilt).
  void restoreExpansion();

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  NoteItemModel* model_;
  bool syncing_ = false;
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

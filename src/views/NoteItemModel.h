#pragma once
// A notebook's note list as a Qt item model. The model only presents; the list owns the
// notes, and every change goes through the list (or the hooks) and comes back here.
//
// Every kind is a flat list of rows for Qt. In the flat kinds the rows are the list's
// roots; in the tree kind they are the items shown: item order, skipping what lies below
// a closed branch. Qt lays a nested model out by recursion and pays for each expanded
// branch along all its ancestors, so a long chain of notes would cost the square of its
// depth and finally the stack; the tree view draws the nesting from each row's level.
#include <QAbstractItemModel>
#include <QIcon>
#include <functional>

#include "views/NoteList.h"

namespace wux {

class NoteItemModel : public QAbstractItemModel, public ListObserver {
  Q_OBJECT
 public:
  enum class Kind { CheckList, Tree, List };
  struct Hooks {
    std::function<bool(TObject*)> isMarked;
    std::function<void(TObject*, bool)> setMarked;  // a click on a check box
    std::function<QIcon(TObject*)> icon;              // null icon: none
    // The list kind's query columns: their number, captions and cells (column 0 is
    // the note's name). Without them there is the name column only.
    std::function<int()> columns;
    std::function<std::string(int)> header;
    std::function<std::string(TObject*, int)> cell;
    std::function<int(int)> width;  // pixels; 0: the view's choice
  };

  NoteItemModel(NoteList& list, Kind kind, Hooks hooks, QObject* parent = nullptr);
  ~NoteItemModel() override;

  Kind kind() const { return kind_; }
  NoteList& list() const { return list_; }
  // Invalid for an item the model does not show (in the tree: below a closed branch).
  QModelIndex indexOfItem(const NoteItem* item) const;
  NoteItem* itemOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  int columnWidth(int column) const { return hooks_.width ? hooks_.width(column) : 0; }
  // The query columns changed: views read the columns again.
  void columnsChanged();
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Items only move (the list decides where); the list kind moves nothing on a drop.
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  // True when the data was dragged out of this very model (in this process).
  bool isOwnDrag(const QMimeData* data) const;

  void structureAboutToChange() override;
  void structureChanged() override;
  void itemChanged(NoteItem* item) override;
  void expansionChanged(NoteItem* item) override;
  void expansionsAboutToChange() override;
  void expansionsChanged() override;

 signals:
  // After a rebuild of the rows for a change of the list's structure.
  void rowsRebuilt();
  // Around the rows a branch opened or closed (the tree kind): rows come and go, and
  // the view decides what stays current.
  void branchesAboutToToggle();
  void branchesToggled();

 private:
  NoteItem* rowItem(int row) const;
  // The rows of the tree kind: every item shown, from the list's expanded flags.
  void collectShown();
  // The rows that `item`'s opened branch shows, in item order, after `item`.
  void collectBelow(NoteItem* item, std::vector<NoteItem*>& out) const;
  void toggleRows(NoteItem* item);

  NoteList& list_;
  Kind kind_;
  Hooks hooks_;
  std::vector<NoteItem*> shown_;       // the tree kind's rows
  bool resetting_ = false;             // between the two halves of a change of structure
  int expansionRuns_ = 0;
  std::vector<NoteItem*> toggled_;     // flags changed during a run, rows not yet
};

}  // namespace wux

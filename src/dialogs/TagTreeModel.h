#pragma once
// A tag tree as an item model whose items are made only as their parents are opened: a
// large notebook's tree (hundreds of thousands of items) opens at once, and only what
// the reader unfolds is ever built. The labels are those of the tag viewer's tree dump.
#include <QAbstractItemModel>
#include <memory>
#include <vector>

#include "model/tagtree.h"

namespace wux {

class TagTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  explicit TagTreeModel(QObject* parent = nullptr);
  ~TagTreeModel() override;

  // Shows `tree` (shared with the caller, who may keep it) under one item "/"; null
  // shows nothing.
  void setTree(std::shared_ptr<const TTAGNode> tree);
  // The number of items made so far, for tests and benchmarks.
  long long itemsMade() const { return made_; }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role) const override;

  // An item's label (Shift_JIS), its data object and its full text (for labels cut
  // short); the object of its parent item.
  std::string label(const QModelIndex& index) const;
  TObject* object(const QModelIndex& index) const;
  const StringList* fullText(const QModelIndex& index) const;
  TObject* parentObject(const QModelIndex& index) const;

  struct Item;

 private:
  class Sink;
  Item* itemOf(const QModelIndex& index) const;
  void fill(Item* item);

  std::shared_ptr<const TTAGNode> tree_;
  std::unique_ptr<Item> root_;
  long long made_ = 0;
};

}  // namespace wux

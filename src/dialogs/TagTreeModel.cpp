#include "dialogs/TagTreeModel.h"

#include "views/qtext.h"

namespace wux {

struct TagTreeModel::Item {
  Item* parent = nullptr;
  int row = 0;
  std::string label;
  TObject* data = nullptr;
  std::unique_ptr<StringList> fullText;
  // The element whose lines are still to be shown below this item.
  const TTAGNode* pending = nullptr;
  std::vector<std::unique_ptr<Item>> children;
};

class TagTreeModel::Sink : public TagTreeSink {
 public:
  explicit Sink(long long& made) : made_(made) {}
  using Node = TagTreeModel::Item;
  Node* add(Node* parent, const std::string& label, TObject* data) {
    auto item = std::make_unique<Node>();
    item->parent = parent;
    item->row = static_cast<int>(parent->children.size());
    item->label = label;
    item->data = data;
    parent->children.push_back(std::move(item));
    ++made_;
    return parent->children.back().get();
  }
  TagTreeSink::Item addItem(TagTreeSink::Item parent, const std::string& label, TObject* data) override {
    return add(static_cast<Node*>(parent), label, data);
  }
  TagTreeSink::Item addItemWithText(TagTreeSink::Item parent, const std::string& label,
                                    std::unique_ptr<StringList> fullText) override {
    Node* it = add(static_cast<Node*>(parent), label, nullptr);
    it->fullText = std::move(fullText);
    return it;
  }

 private:
  long long& made_;
};

TagTreeModel::TagTreeModel(QObject* parent) : QAbstractItemModel(parent), root_(std::make_unique<Item>()) {}
TagTreeModel::~TagTreeModel() = default;

void TagTreeModel::setTree(std::shared_ptr<const TTAGNode> tree) {
  beginResetModel();
  root_ = std::make_unique<Item>();
  made_ = 0;
  tree_ = std::move(tree);
  if (tree_) {
    Sink sink(made_);
    Item* top = sink.add(root_.get(), "/", nullptr);
    // The root's own lines keep their text; the elements among them open like any other.
    for (const auto& line : tree_->lines()) {
      Item* it = sink.add(top, line.text, line.object);
      auto* element = dynamic_cast<const TTAGNode*>(line.object);
      if (element && !element->empty()) it->pending = element;
    }
  }
  endResetModel();
}

TagTreeModel::Item* TagTreeModel::itemOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<Item*>(index.internalPointer()) : root_.get();
}

QModelIndex TagTreeModel::index(int row, int column, const QModelIndex& parent) const {
  Item* p = itemOf(parent);
  if (column != 0 || row < 0 || row >= static_cast<int>(p->children.size())) return {};
  return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
}

QModelIndex TagTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  Item* p = itemOf(child)->parent;
  if (!p || p == root_.get()) return {};
  return createIndex(p->row, 0, p);
}

int TagTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(itemOf(parent)->children.size());
}

int TagTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TagTreeModel::hasChildren(const QModelIndex& parent) const {
  const Item* it = itemOf(parent);
  return !it->children.empty() || it->pending;
}

bool TagTreeModel::canFetchMore(const QModelIndex& parent) const { return itemOf(parent)->pending != nullptr; }

void TagTreeModel::fetchMore(const QModelIndex& parent) {
  Item* it = itemOf(parent);
  if (!it->pending) return;
  const int first = static_cast<int>(it->children.size());
  // Each line of the element makes exactly one item at this level.
  beginInsertRows(parent, first, first + it->pending->count() - 1);
  fill(it);
  endInsertRows();
}

void TagTreeModel::fill(Item* item) {
  const TTAGNode* node = item->pending;
  item->pending = nullptr;
  Sink sink(made_);
  TTAGNode::FillTreeLevel(node, sink, item, [](TagTreeSink::Item made, const TTAGNode* below) {
    static_cast<Item*>(made)->pending = below;
  });
}

QVariant TagTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return toQ(itemOf(index)->label);
}

std::string TagTreeModel::label(const QModelIndex& index) const {
  return index.isValid() ? itemOf(index)->label : std::string();
}
TObject* TagTreeModel::object(const QModelIndex& index) const {
  return index.isValid() ? itemOf(index)->data : nullptr;
}
const StringList* TagTreeModel::fullText(const QModelIndex& index) const {
  return index.isValid() ? itemOf(index)->fullText.get() : nullptr;
}
TObject* TagTreeModel::parentObject(const QModelIndex& index) const {
  if (!index.isValid()) return nullptr;
  const Item* p = itemOf(index)->parent;
  return p ? p->data : nullptr;
}

}  // namespace wux

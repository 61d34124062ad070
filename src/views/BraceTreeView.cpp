#include "views/BraceTreeView.h"

#include <QMenu>
#include <utility>
#include <vector>

#include "model/Prompter.h"
#include "model/text/sjis.h"
#include "views/Clipboard.h"
#include "views/qtext.h"

namespace wux {

namespace {

// What an item carries besides its shown text: its original bytes (kept while the text
// is not edited), the node's kind and the lines a raw or long node holds.
constexpr int kBytes = Qt::UserRole;
constexpr int kShown = Qt::UserRole + 1;
constexpr int kKind = Qt::UserRole + 2;
constexpr int kData = Qt::UserRole + 3;

// The clipboard is read as at most this many bytes, ending on a whole character.
constexpr std::size_t kClipboardBytes = 249;

QTreeWidgetItem* makeOneItem(const BraceNode& node) {
  auto* item = new QTreeWidgetItem();
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  TBraceTreeView::setTextOf(item, node.text);
  item->setData(0, kKind, static_cast<int>(node.kind));
  if (node.data) {
    QList<QByteArray> lines;
    for (int i = 0; i < node.data->count(); ++i) lines << QByteArray::fromStdString((*node.data)[i]);
    item->setData(0, kData, QVariant::fromValue(lines));
  }
  return item;
}

// The items of a node and its subtree, built on an explicit stack (a deep tree costs no
// stack), children in order.
QTreeWidgetItem* makeItem(const BraceNode& root) {
  QTreeWidgetItem* top = makeOneItem(root);
  std::vector<std::pair<const BraceNode*, QTreeWidgetItem*>> todo{{&root, top}};
  while (!todo.empty()) {
    const auto [node, item] = todo.back();
    todo.pop_back();
    for (const auto& c : node->children) {
      QTreeWidgetItem* child = makeOneItem(*c);
      item->addChild(child);
      todo.emplace_back(c.get(), child);
    }
  }
  return top;
}

BraceNode* readOneItem(const QTreeWidgetItem* item, BraceTree& tree, BraceNode* parent) {
  BraceNode* node = tree.add(parent, TBraceTreeView::textOf(item));
  node->kind = static_cast<BraceNode::Kind>(item->data(0, kKind).toInt());
  const QVariant data = item->data(0, kData);
  if (data.isValid()) {
    StringList lines;
    for (const QByteArray& l : data.value<QList<QByteArray>>()) lines.add(l.toStdString());
    node->data = std::move(lines);
  }
  return node;
}

void readItem(const QTreeWidgetItem* root, BraceTree& tree) {
  std::vector<std::pair<const QTreeWidgetItem*, BraceNode*>> todo{{root, readOneItem(root, tree, nullptr)}};
  while (!todo.empty()) {
    const auto [item, node] = todo.back();
    todo.pop_back();
    for (int i = 0; i < item->childCount(); ++i)
      todo.emplace_back(item->child(i), readOneItem(item->child(i), tree, node));
  }
}

void setExpandedDeep(QTreeWidgetItem* root, bool on) {
  std::vector<QTreeWidgetItem*> todo{root};
  while (!todo.empty()) {
    QTreeWidgetItem* item = todo.back();
    todo.pop_back();
    item->setExpanded(on);
    for (int i = 0; i < item->childCount(); ++i) todo.push_back(item->child(i));
  }
}

std::string clipboardText() {
  std::string text = clipboard().text();
  if (text.size() > kClipboardBytes) text.resize(sjis::charStart(text, kClipboardBytes));
  return text;
}

}  // namespace

TBraceTreeView::TBraceTreeView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("BraceTree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int) {
    // An in-place edit is an edit: it must reach the note like any other.
    if (!filling_) emit edited();
  });
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    menu.addAction(QStringLiteral("Edit"), this, &TBraceTreeView::editNode_);
    menu.addAction(QStringLiteral("Copy Text"), this, &TBraceTreeView::copyText_);
    menu.addAction(QStringLiteral("Paste Text"), this, &TBraceTreeView::pasteText_);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Add Node"), this, &TBraceTreeView::addNode_);
    menu.addAction(QStringLiteral("Add Child Node"), this, &TBraceTreeView::addChildNode_);
    menu.addAction(QStringLiteral("Delete"), this, &TBraceTreeView::deleteNode_);
    menu.addAction(QStringLiteral("Clone"), this, &TBraceTreeView::cloneNode_);
    menu.addSeparator();
    menu.addAction(QStringLiteral("->"), this, &TBraceTreeView::notImplemented_);
    menu.addAction(QStringLiteral("<-"), this, &TBraceTreeView::notImplemented_);
    QMenu* extra = menu.addMenu(QStringLiteral("Extra"));
    extra->addAction(QStringLiteral("New MemoHolder"), this, &TBraceTreeView::notImplemented_);
    extra->addAction(QStringLiteral("Get Current Holder"), this, &TBraceTreeView::notImplemented_);
    menu.addAction(QStringLiteral("->text"), this, &TBraceTreeView::toTextRequested);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Expand"), this, &TBraceTreeView::expandNode_);
    menu.addAction(QStringLiteral("Unexpand"), this, &TBraceTreeView::unexpandNode_);
    if (readOnly_)
      for (QAction* a : menu.actions())
        if (!a->text().contains(QStringLiteral("xpand")) && a->text() != QStringLiteral("Copy Text")) a->setEnabled(false);
    menu.exec(viewport()->mapToGlobal(at));
  });
}

std::string TBraceTreeView::textOf(const QTreeWidgetItem* item) {
  const QString shown = item->text(0);
  if (item->data(0, kShown).toString() == shown && item->data(0, kBytes).isValid())
    return item->data(0, kBytes).toByteArray().toStdString();
  return fromQ(shown);
}

void TBraceTreeView::setTextOf(QTreeWidgetItem* item, const std::string& text) {
  const QString shown = toQ(text);
  item->setData(0, kBytes, QByteArray::fromStdString(text));
  item->setData(0, kShown, shown);
  item->setText(0, shown);
}

int TBraceTreeView::loadBody(const StringList& body, bool poser, const BraceProgress& progress) {
  BraceTree model;
  const int result = LoadBraceTree(model, nullptr, body, progress, poser ? &BraceRawKeptKeywords() : nullptr);
  loadedWhole_ = result >= 0;
  filling_ = true;
  setUpdatesEnabled(false);
  clear();
  // A text too deep for a tree shows no part of one.
  if (result != kBraceTooDeep)
    for (const auto& top : model.roots) addTopLevelItem(makeItem(*top));
  for (QTreeWidgetItem* item = topLevelItem(0); item; item = item->child(0)) item->setExpanded(true);
  setUpdatesEnabled(true);
  filling_ = false;
  return result;
}

BraceTree TBraceTreeView::tree() const {
  BraceTree model;
  for (int i = 0; i < topLevelItemCount(); ++i) readItem(topLevelItem(i), model);
  return model;
}

void TBraceTreeView::say(const std::string& text) const {
  if (message_) message_(text);
}

void TBraceTreeView::startEdit(QTreeWidgetItem* item) {
  setCurrentItem(item);
  scrollToItem(item);
  editItem(item, 0);
}

QTreeWidgetItem* TBraceTreeView::insertAfter(QTreeWidgetItem* item) {
  auto* added = new QTreeWidgetItem();
  added->setFlags(added->flags() | Qt::ItemIsEditable);
  filling_ = true;
  setTextOf(added, " ");
  if (!item) {
    addTopLevelItem(added);
  } else if (QTreeWidgetItem* parent = item->parent()) {
    parent->insertChild(parent->indexOfChild(item) + 1, added);
  } else {
    insertTopLevelItem(indexOfTopLevelItem(item) + 1, added);
  }
  filling_ = false;
  return added;
}

void TBraceTreeView::setReadOnly(bool on) {
  readOnly_ = on;
  setEditTriggers(on ? QAbstractItemView::NoEditTriggers : QAbstractItemView::EditKeyPressed);
}

bool TBraceTreeView::refused() const {
  if (readOnly_) say("Stop: This MemoNode is Read Only.");
  return readOnly_;
}

void TBraceTreeView::editNode_() {
  if (refused()) return;
  QTreeWidgetItem* item = currentItem();
  if (!item) return;
  say("Edit TreeNode " + textOf(item));
  startEdit(item);
}

void TBraceTreeView::copyText_() {
  QTreeWidgetItem* item = currentItem();
  if (!item) return;
  const std::string text = textOf(item);
  clipboard().setText(text);
  if (history_) history_(text);
  emit edited();
  say("Copy Text " + text);
}

void TBraceTreeView::pasteText_() {
  if (refused()) return;
  QTreeWidgetItem* item = currentItem();
  if (!item) return;
  if (history_) history_(textOf(item));
  const std::string text = clipboardText();
  filling_ = true;
  setTextOf(item, text);
  filling_ = false;
  emit edited();
  say("Paste Text " + text);
}

void TBraceTreeView::addNode_() {
  if (refused()) return;
  QTreeWidgetItem* at = currentItem() ? currentItem() : topLevelItem(0);
  QTreeWidgetItem* added = insertAfter(at);
  emit edited();
  startEdit(added);
}

void TBraceTreeView::addChildNode_() {
  if (refused()) return;
  QTreeWidgetItem* parent = currentItem() ? currentItem() : topLevelItem(0);
  if (parent && parent->data(0, kData).isValid()) {
    // Its kept lines are written in place of children: a child would be lost.
    say("No child nodes under a kept block: " + textOf(parent));
    return;
  }
  QTreeWidgetItem* added;
  if (!parent) {
    added = insertAfter(nullptr);
  } else {
    added = new QTreeWidgetItem();
    added->setFlags(added->flags() | Qt::ItemIsEditable);
    filling_ = true;
    setTextOf(added, " ");
    parent->addChild(added);
    filling_ = false;
    parent->setExpanded(true);
  }
  emit edited();
  startEdit(added);
}

void TBraceTreeView::deleteNode_() {
  if (refused()) return;
  QTreeWidgetItem* item = currentItem();
  if (!item) return;
  const std::string text = textOf(item);
  delete item;
  emit edited();
  say("Delete TreeNode " + text);
}

void TBraceTreeView::cloneNode_() {
  if (refused()) return;
  QTreeWidgetItem* item = currentItem();
  if (!item) return;
  QTreeWidgetItem* copy = item->clone();
  filling_ = true;
  if (QTreeWidgetItem* parent = item->parent())
    parent->insertChild(parent->indexOfChild(item) + 1, copy);
  else
    insertTopLevelItem(indexOfTopLevelItem(item) + 1, copy);
  filling_ = false;
  emit edited();
  say("Clone TreeNode " + textOf(item));
}

void TBraceTreeView::expandNode_() {
  if (QTreeWidgetItem* item = currentItem()) {
    setExpandedDeep(item, true);
    say("Expand " + textOf(item));
  }
}

void TBraceTreeView::unexpandNode_() {
  if (QTreeWidgetItem* item = currentItem()) {
    setExpandedDeep(item, false);
    say("Unexpand " + textOf(item));
  }
}

void TBraceTreeView::notImplemented_() { prompter().messageBox("Still Not Implemented.", "", Buttons::OK); }

}  // namespace wux

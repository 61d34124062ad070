// Brace-structured notes in the note editor: shown as a tree, edited through the tree's
// commands and written back into the note only when the tree is whole.
#include "views/BraceTreeView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views_support.h"

using namespace wux;

namespace {

class BraceTreeViewTest : public ::testing::Test {
 protected:
  // The application comes before every widget of the fixture.
  QApplication& app_ = test::qtApp();
  BraceTreeViewTest() {
    editor.setOwnerForm(&win);
  }
  MemoNodeUI* braceNote(const std::string& name, const char* encoding, const std::string& body) {
    MemoNodeUI* n = book.node(name);
    n->putField_("Content-Transfer-Encoding", encoding);
    n->body().setText(body);
    return n;
  }
  void show(MemoNode* n) {
    editor.setNode(n);
    editor.showNode_();
  }
  TBraceTreeView* tree() { return editor.braceTree(); }
  QTreeWidgetItem* find(const char* text) {
    auto items = tree()->findItems(QString::fromLatin1(text), Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.front();
  }

  test::FixedWorld world;
  test::Notebook book{"a", "b", "plain"};
  test::FakeMainWindow win;
  TFrameMemoNode editor;
};

TEST_F(BraceTreeViewTest, AnAddedNodeLeftBlankIsWrittenBackAndMarksTheNotebook) {
  MemoNodeUI* n = braceNote("a", "\"PoserLike\"", "a\r\n{\r\nb\r\n}\r\n");
  show(n);
  EXPECT_EQ(editor.contentView(), "tree");
  ASSERT_TRUE(find("b"));
  EXPECT_TRUE(find("a")->isExpanded());  // the chain of first items is open
  tree()->setCurrentItem(find("b"));
  tree()->addNode_();
  if (auto* edit = tree()->findChild<QLineEdit*>()) QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(editor.treeModified());
  book.holder->modified = false;
  EXPECT_TRUE(editor.storeNode_());
  EXPECT_EQ(n->body().text(), "{\r\na\r\n\t{\r\n\tb\r\n\t \r\n\t}\r\n}\r\n");
  EXPECT_TRUE(book.holder->modified);
  EXPECT_TRUE(n->contentModified);
}

TEST_F(BraceTreeViewTest, InPlaceEditsAndCommandsChangeTheTree) {
  MemoNodeUI* n = braceNote("a", "\"PoserLike\"", "x\r\n{\r\ny\r\n}\r\nz\r\n");
  show(n);
  EXPECT_FALSE(editor.storeNode_());  // shown only: nothing written
  EXPECT_EQ(n->body().text(), "x\r\n{\r\ny\r\n}\r\nz\r\n");

  find("y")->setText(0, QStringLiteral("y2"));  // what an in-place edit leaves
  EXPECT_TRUE(editor.treeModified());
  tree()->setCurrentItem(find("x"));
  tree()->cloneNode_();
  EXPECT_EQ(win.status(), "Clone TreeNode x");
  tree()->setCurrentItem(find("z"));
  tree()->deleteNode_();
  EXPECT_EQ(win.status(), "Delete TreeNode z");
  QApplication::clipboard()->setText(QString(300, QLatin1Char('q')));
  tree()->setCurrentItem(find("y2"));
  tree()->pasteText_();
  EXPECT_EQ(TBraceTreeView::textOf(tree()->currentItem()), std::string(249, 'q'));
  tree()->addChildNode_();
  EXPECT_TRUE(editor.storeNode_());
  EXPECT_EQ(n->body().text(), "{\r\nx\r\n\t{\r\n\t" + std::string(249, 'q') + "\r\n\t\t{\r\n\t\t \r\n\t\t}\r\n\t}\r\nx\r\n\t{\r\n\ty2\r\n\t}\r\n}\r\n");
}

TEST_F(BraceTreeViewTest, CopyAndPasteTextGoToTheWindowsCopyHistory) {
  show(braceNote("a", "\"PoserLike\"", "x\r\n{\r\ny\r\n}\r\n"));
  win.history.clear();
  tree()->setCurrentItem(find("y"));
  tree()->copyText_();
  ASSERT_EQ(win.history.count(), 1);
  EXPECT_EQ(win.history[0], "y");
  QApplication::clipboard()->setText(QStringLiteral("w"));
  tree()->setCurrentItem(find("x"));
  tree()->pasteText_();
  // What the paste wrote over is kept, newest first.
  ASSERT_EQ(win.history.count(), 2);
  EXPECT_EQ(win.history[0], "x");
  EXPECT_TRUE(find("w"));
}

TEST_F(BraceTreeViewTest, RawBlocksForPoserAndSwitchingDisplay) {
  MemoNodeUI* n = braceNote("a", "\"Poser\"", "deltas\r\n{\r\n1 2\r\n}\r\n");
  show(n);
  ASSERT_TRUE(find("deltas"));
  EXPECT_EQ(find("deltas")->childCount(), 0);
  tree()->setCurrentItem(find("deltas"));
  tree()->addChildNode_();  // its kept lines stand where children would be written
  EXPECT_EQ(find("deltas")->childCount(), 0);
  EXPECT_EQ(win.status(), "No child nodes under a kept block: deltas");
  editor.toPoserLike_();
  EXPECT_EQ(n->getField_("Content-Transfer-Encoding"), "\"PoserLike\"");
  ASSERT_TRUE(find("1 2"));
  emit tree()->toTextRequested();  // "->text"
  EXPECT_EQ(editor.contentView(), "text");
  EXPECT_EQ(n->getField_("Content-Transfer-Encoding"), "\"text\"");
  editor.toPoser_();
  EXPECT_EQ(editor.contentView(), "tree");
}

TEST_F(BraceTreeViewTest, ATreeEditNeverReachesAnotherNoteOrAPartlyReadText) {
  MemoNodeUI* a = braceNote("a", "\"PoserLike\"", "one\r\n");
  show(a);
  tree()->setCurrentItem(find("one"));
  tree()->addNode_();
  MemoNodeUI* plain = book.node("plain");
  plain->body().setText("my text");
  show(plain);
  EXPECT_FALSE(editor.storeNode_());
  EXPECT_EQ(plain->body().text(), "my text\r\n");

  // A load stopped by a break holds only part of the text: edits are not written back.
  MemoNodeUI* b = braceNote("b", "\"PoserLike\"", "p\r\n{\r\nq\r\n}\r\n");
  win.breakFlag = true;
  show(b);
  win.breakFlag = false;
  EXPECT_FALSE(tree()->loadedWhole());
  tree()->addNode_();
  EXPECT_FALSE(editor.storeNode_());
  EXPECT_EQ(b->body().text(), "p\r\n{\r\nq\r\n}\r\n");
  EXPECT_EQ(win.status(), "The tree was not read whole: the text of b is kept.");
}

// A brace text `levels` blocks deep, one item per block, indented as the tree writes it
// (`indented`) or not at all.
std::string chainText(int levels, bool indented) {
  std::string text;
  auto tabs = [&](int d) { return indented ? std::string(static_cast<std::size_t>(d), '\t') : std::string(); };
  for (int d = 0; d < levels; ++d) text += tabs(d) + "{\r\n" + tabs(d) + "n" + std::to_string(d) + "\r\n";
  for (int d = levels - 1; d >= 0; --d) text += tabs(d) + "}\r\n";
  return text;
}

TEST_F(BraceTreeViewTest, ATextTooDeepForATreeIsShownAndKeptAsText) {
  std::string body;
  for (int i = 0; i < 100000; ++i) body += "{\r\n";
  for (int i = 0; i < 100000; ++i) body += "}\r\n";
  MemoNodeUI* deep = braceNote("a", "\"PoserLike\"", body);
  show(deep);
  EXPECT_EQ(editor.contentView(), "text");
  EXPECT_EQ(win.status(), "Too deep for the tree: shown as text");
  EXPECT_EQ(editor.MemoNode0()->document()->blockCount(), 200000);
  EXPECT_FALSE(editor.storeNode_());
  EXPECT_EQ(deep->body().text(), body);
  EXPECT_EQ(deep->getField_("Content-Transfer-Encoding"), "\"PoserLike\"");

  // At the cap it is a tree, and written back it comes out as the tree writes it, the
  // same again after another showing.
  MemoNodeUI* atCap = braceNote("b", "\"PoserLike\"", chainText(kBraceMaxDepth, false));
  show(atCap);
  EXPECT_EQ(editor.contentView(), "tree");
  QTreeWidgetItem* deepest = find(("n" + std::to_string(kBraceMaxDepth - 1)).c_str());
  ASSERT_TRUE(deepest);
  EXPECT_TRUE(deepest->parent() && deepest->parent()->isExpanded());
  tree()->setCurrentItem(deepest);
  tree()->copyText_();  // a tree command: the commit writes the tree
  EXPECT_TRUE(editor.storeNode_());
  const std::string written = chainText(kBraceMaxDepth, true);
  EXPECT_EQ(atCap->body().text(), written);
  show(atCap);
  tree()->setCurrentItem(find("n0"));
  tree()->expandNode_();
  tree()->cloneNode_();
  tree()->setCurrentItem(tree()->topLevelItem(1));
  tree()->deleteNode_();
  EXPECT_FALSE(editor.storeNode_());  // the same text again: no change
  EXPECT_EQ(atCap->body().text(), written);
}

TEST_F(BraceTreeViewTest, WhileTheTreeLoadsOrWritesTheWindowIsBusyAndBreakStopsIt) {
  std::string body = "a\r\n{\r\n";
  for (int i = 0; i < 3000; ++i) body += "x" + std::to_string(i) + "\r\n";
  MemoNodeUI* n = braceNote("a", "\"PoserLike\"", body);
  bool busyDuring = false;
  auto pressBreak = [&] {
    busyDuring = win.doing;
    QTest::keyClicks(editor.Memo_comment(), QStringLiteral("typed"));  // the editor takes none
    win.breakFlag = true;
  };
  QTimer::singleShot(0, pressBreak);
  show(n);
  win.breakFlag = false;
  EXPECT_TRUE(busyDuring);
  EXPECT_FALSE(win.doing);
  EXPECT_FALSE(tree()->loadedWhole());
  for (const std::string& s : win.statuses) EXPECT_EQ(s.rfind("*Doing*", 0), std::string::npos) << s;

  // The write lets the window live as well; a Break there keeps the text.
  show(n);
  ASSERT_TRUE(tree()->loadedWhole());
  tree()->setCurrentItem(find("a"));
  tree()->addNode_();
  busyDuring = false;
  QTimer::singleShot(0, pressBreak);
  EXPECT_FALSE(editor.storeNode_());
  win.breakFlag = false;
  EXPECT_TRUE(editor.Memo_comment()->toPlainText().isEmpty());
  EXPECT_TRUE(busyDuring);
  EXPECT_FALSE(win.doing);
  EXPECT_EQ(win.status(), "Break: the text of a is kept.");
  EXPECT_EQ(n->body().text(), body);

  // An operation already running stays running after the tree's own work.
  win.doing = true;
  show(n);
  EXPECT_TRUE(win.doing);
}

}  // namespace

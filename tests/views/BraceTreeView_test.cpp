// Brace-structured notes in the note editor: shown as a tree, edited through the tree's
// commands and written back into the note only when the tree is whole.
#include "views/BraceTreeView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

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

}  // namespace

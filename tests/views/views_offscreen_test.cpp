// The Qt presentations of a notebook, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "support/data_files.h"
#include "support/qt_app.h"
#include "views/NoteViewBuilder.h"
#include "views/NoteViews.h"
#include "views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

// The rows a model shows, each behind one dot per level.
std::string shown(NoteItemModel* m) {
  std::string out;
  for (int r = 0; r < m->rowCount(); ++r) {
    const QModelIndex i = m->index(r, 0);
    out += std::string(static_cast<size_t>(m->itemOf(i)->level()), '.') +
           m->data(i, Qt::DisplayRole).toString().toStdString() + " ";
  }
  return out;
}

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc->directory = tmp.path.string() + "/";
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, "Tree", actual);
    // The file's tree lists a child before its parent.
    StringList messages;
    ASSERT_EQ(ReadHolderFile(*holder, WUX_TEST_DATA_DIR "/views/tree.mxh", messages), 0) << messages.text();
  }
  MemoNode* node(const char* name) { return holder->findNodeByName_(name); }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  test::TempDir tmp;
  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  MemoHolderUI* holder = nullptr;
  QWidget panel;
};

TEST_F(ViewsTest, EachViewShowsTheSavedOrder) {
  EXPECT_EQ(MemoHolderUI::kindOfMode(holder->getModeNodesMngr_()), Kind::Tree);
  ASSERT_NE(dynamic_cast<NoteTreeView*>(makeNoteView(*holder, Kind::Tree, &panel)), nullptr);
  QAbstractItemModelTester treeCheck(holder->model(Kind::Tree), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(shown(holder->model(Kind::Tree)), "root second ");  // closed branches show no rows
  ExpandAll(holder->noteList(), true);
  EXPECT_EQ(shown(holder->model(Kind::Tree)), "root .child ..grandchild second ");
  holder->noteList().setExpanded(holder->itemOf(node("child")), false);
  EXPECT_EQ(shown(holder->model(Kind::Tree)), "root .child second ");
  holder->noteList().setExpanded(holder->itemOf(node("child")), true);

  ASSERT_NE(dynamic_cast<NoteCheckListView*>(makeNoteView(*holder, Kind::CheckList, &panel)), nullptr);
  NoteItemModel* m = holder->model(Kind::CheckList);
  QAbstractItemModelTester listCheck(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(shown(m), "root child grandchild second ");
  EXPECT_EQ(m->data(m->index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(m->data(m->index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);

  // Checking a box marks the note and the notebook modified.
  holder->modified = false;
  ASSERT_TRUE(m->setData(m->index(0, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(static_cast<MemoNode*>(node("root"))->isMarked_());
  EXPECT_TRUE(holder->modified);

  auto* lv = dynamic_cast<NoteListView*>(makeNoteView(*holder, Kind::List, &panel));
  ASSERT_NE(lv, nullptr);
  EXPECT_EQ(shown(holder->model(Kind::List)), "root child grandchild second ");
  lv->setStyle(NoteListView::Icon);
  EXPECT_EQ(lv->viewMode(), QListView::IconMode);

  // Back to the tree: the nesting comes back from the notes' links.
  makeNoteView(*holder, Kind::Tree, &panel);
  EXPECT_EQ(shown(holder->model(Kind::Tree)), "root .child ..grandchild second ");
}

TEST_F(ViewsTest, SelectionIsReportedAndFollowsTheCurrentNote) {
  auto* tree = dynamic_cast<NoteTreeView*>(makeNoteView(*holder, Kind::Tree, &panel));
  ASSERT_NE(tree, nullptr);
  NoteItem* chosen = nullptr;
  tree->onUserSelect = [&](NoteItem* it) { chosen = it; };

  // The notebook selecting its current note is not the user's choice.
  holder->putCurrentNode_(node("grandchild"));
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(tree->selectedItem(), holder->itemOf(node("grandchild")));
  EXPECT_TRUE(holder->itemOf(node("child"))->expanded());  // opened to show it

  const QModelIndex second = holder->model(Kind::Tree)->indexOfItem(holder->itemOf(node("second")));
  tree->setCurrentIndex(second);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->note(), node("second"));

  // A change of order keeps the selected note selected.
  holder->noteList().moveToRoot(holder->itemOf(node("second")), 0);
  EXPECT_EQ(tree->selectedItem(), holder->itemOf(node("second")));

  // Expansion is kept by the list across rebuilds of the rows.
  holder->noteList().setExpanded(holder->itemOf(node("root")), false);
  tree->setCurrentIndex(holder->model(Kind::Tree)->indexOfItem(holder->itemOf(node("root"))));
  QTest::keyClick(tree, Qt::Key_Plus);
  EXPECT_TRUE(holder->itemOf(node("root"))->expanded());
  MemoNode* extra = holder->newNode_();
  holder->addNode_(extra, "extra");
  EXPECT_TRUE(holder->itemOf(node("root"))->expanded());
  EXPECT_TRUE(holder->model(Kind::Tree)->indexOfItem(holder->itemOf(node("child"))).isValid());
}

TEST_F(ViewsTest, SavedAfterAViewSwitchKeepsOrderAndNesting) {
  makeNoteView(*holder, Kind::Tree, &panel);
  // Move "second" under "child" the way a drop does, then show it as a check list.
  NoteList& list = holder->noteList();
  list.moveBefore(holder->itemOf(node("second")), holder->itemOf(node("grandchild")));
  node("second")->putParentNodeID_(node("child"));
  makeNoteView(*holder, Kind::CheckList, &panel);
  const std::string out = tmp.str("out.mxh");
  ASSERT_GT(holder->saveToFile_(out), 0);
  std::string saved;
  ASSERT_TRUE(platform::readFile(out, saved));
  EXPECT_EQ(saved, readTestData("views/switched.mxh"));
}

TEST_F(ViewsTest, ControlsGoWithTheNotesTheyShow) {
  EXPECT_EQ(makeNoteView(*holder, Kind::Tree, nullptr), nullptr);  // no window: the list alone
  EXPECT_EQ(holder->getModeNodesMngr_(), "\"TreeView\"");
  QPointer<QWidget> tree = makeNoteView(*holder, Kind::Tree, &panel);
  QPointer<QWidget> checks = makeNoteView(*holder, Kind::CheckList, &panel);
  ASSERT_TRUE(tree && checks);
  EXPECT_EQ(makeNoteView(*holder, Kind::Tree, nullptr), tree.data());  // made once
  EXPECT_EQ(tree->parentWidget(), &panel);

  // Emptying the notebook takes its controls along: none is left pointing into it.
  holder->clear_();
  EXPECT_TRUE(tree.isNull());
  EXPECT_TRUE(checks.isNull());

  // A control whose window went first is gone for the notebook too.
  {
    QWidget window;
    ASSERT_NE(makeNoteView(*holder, Kind::List, &window), nullptr);
  }
  EXPECT_EQ(holder->viewControl(Kind::List), nullptr);
  QPointer<QWidget> last = makeNoteView(*holder, Kind::CheckList, &panel);
  doc.reset();
  EXPECT_TRUE(last.isNull());
}

TEST(DeepTreeView, AnOpenChainFarDeeperThanTheStackIsLaidOutAgain) {
  QApplication& app = test::qtApp();
  (void)app;
  test::Notebook book({});
  book.holder->putField_("FlagSameName", "\"true\"");
  const int depth = 60000;  // each note the child of the one before
  for (int i = 0; i < depth; ++i) {
    MemoNode* n = book.holder->newNode_();
    n->putField_("UID", "\"U" + std::to_string(i) + "\"");
    if (i) n->putField_("ParentNodeID", "\"U" + std::to_string(i - 1) + "\"");
    book.holder->addNode_(n, "n" + std::to_string(i));
  }
  QWidget panel;
  panel.resize(300, 400);
  auto* tree = dynamic_cast<NoteTreeView*>(makeNoteView(*book.holder, Kind::Tree, &panel));
  ASSERT_NE(tree, nullptr);
  tree->resize(300, 400);
  panel.show();
  ExpandAll(book.holder->noteList(), true);
  QApplication::processEvents();
  NoteItemModel* m = book.holder->model(Kind::Tree);
  ASSERT_EQ(m->rowCount(), depth);

  // Laid out again: resized, and the view built again from the notes' links.
  tree->resize(200, 300);
  tree->doItemsLayout();
  makeNoteView(*book.holder, Kind::Tree, &panel);
  QApplication::processEvents();
  tree->doItemsLayout();
  NoteItem* last = book.holder->noteList().itemAt(depth - 1);
  EXPECT_EQ(m->indexOfItem(last).row(), depth - 1);
  book.holder->putCurrentNode_(static_cast<MemoNode*>(last->note()));
  QApplication::processEvents();
  EXPECT_EQ(tree->selectedItem(), last);
  EXPECT_TRUE(tree->visualRect(m->indexOfItem(last)).intersects(tree->viewport()->rect()));
}

}  // namespace
}  // namespace wux

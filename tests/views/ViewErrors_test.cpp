// What a notebook view says when it cannot do its part: a list-view notebook shown in a
// window without its list, and an icon note whose picture does not load.
#include <gtest/gtest.h>

#include <QWidget>

#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/NoteViewBuilder.h"
#include "views/views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;
const std::string kNoList = "ERROR: MemoHolderUI.mouseCursor_";

class ViewErrorsTest : public ::testing::Test {
 protected:
  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  QWidget panel;
};

TEST_F(ViewErrorsTest, AListViewNotebookWithoutItsListComplainsOnlyWhenAWindowShowsIt) {
  // Kept without a window: nothing to say.
  test::Notebook headless{{"a"}};
  headless.holder->putField_("ModeNodesMngr", "\"ListView\"");
  headless.holder->mouseCursor_(0);
  EXPECT_TRUE(rec.messages().empty());

  // The document has a main window.
  test::FakeMainWindow window;
  headless.doc->setForm(&window);
  headless.holder->mouseCursor_(0);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{kNoList});

  // A notebook with a view in a window, switched to list mode without a list.
  rec.asked.clear();
  test::Notebook shown{{"a"}};
  ASSERT_NE(makeNoteView(*shown.holder, Kind::CheckList, &panel), nullptr);
  shown.holder->mouseCursor_(0);
  EXPECT_TRUE(rec.messages().empty());
  shown.holder->putField_("ModeNodesMngr", "\"ListView\"");
  shown.holder->mouseCursor_(-11);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{kNoList});

  // With its list the cursor is set and nothing is said.
  rec.asked.clear();
  QWidget* list = makeNoteView(*shown.holder, Kind::List, &panel);
  ASSERT_NE(list, nullptr);
  shown.holder->mouseCursor_(-11);
  EXPECT_EQ(list->cursor().shape(), Qt::WaitCursor);
  shown.holder->mouseCursor_(0);
  EXPECT_EQ(list->cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(rec.messages().empty());
}

TEST_F(ViewErrorsTest, AnIconThatDoesNotLoadEndsTheIconsWithOneBoxABuild) {
  test::Notebook book{{"icon 0 open", "icon 1 broken", "icon 2 bad", "plain"}};
  const std::string ico = test::imageBytes("ICO", 16, 16);
  for (const char* name : {"icon 0 open", "icon 1 broken", "icon 2 bad"}) {
    book.node(name)->putContentStream_(std::string(name) == "icon 0 open" ? ico : "not a picture", "\"image/ico\"",
                                      "\"binary\"");
    book.node(name)->putField_("Content-Type", "\"image/ico\"");
  }
  MemoNode* plain = book.node("plain");
  plain->putField_("icon", "\"0\"");
  ASSERT_NE(makeNoteView(*book.holder, Kind::Tree, &panel), nullptr);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"ERROR: icon could not be loaded: icon 1 broken"});
  EXPECT_TRUE(book.holder->iconOf_(plain).isNull());  // no icons at all
  // Each build says it again, once.
  ASSERT_NE(makeNoteView(*book.holder, Kind::List, &panel), nullptr);
  EXPECT_EQ(rec.messages().size(), 2u);
  // The check list shows no icons and builds none.
  ASSERT_NE(makeNoteView(*book.holder, Kind::CheckList, &panel), nullptr);
  EXPECT_EQ(rec.messages().size(), 2u);
}

}  // namespace
}  // namespace wux

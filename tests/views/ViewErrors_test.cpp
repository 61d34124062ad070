// What a notebook view says when it cannot do its part: a list-view notebook shown in a
// window without its list, and an icon note whose picture does not load.
#include <gtest/gtest.h>

#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/NoteViewBuilder.h"
#include "views/views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

class ViewErrorsTest : public ::testing::Test {
 protected:
  QApplication& app = test::qtApp();
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  QWidget panel;
};

TEST_F(ViewErrorsTest, AListViewNotebookWithoutItsListComplainsOnlyWhenAWindowShowsIt) {
  test::Notebook book{{"a"}};
  book.holder->putField_("ModeNodesMngr", "\"ListView\"");
  book.holder->mouseCursor_(0);  // kept without a window: nothing to say
  EXPECT_TRUE(rec.messages().empty());
  test::FakeMainWindow window;
  book.doc->setForm(&window);
  book.holder->mouseCursor_(-11);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"ERROR: MemoHolderUI.mouseCursor_"});

  QWidget* list = makeNoteView(*book.holder, Kind::List, &panel);  // with its list: the cursor only
  book.holder->mouseCursor_(-11);
  EXPECT_EQ(list->cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(rec.messages().size(), 1u);
}

TEST_F(ViewErrorsTest, AnIconThatDoesNotLoadEndsTheIconsWithOneBoxABuild) {
  test::Notebook book{{"icon 0 open", "icon 1 broken", "icon 2 bad", "plain"}};
  for (const char* name : {"icon 0 open", "icon 1 broken", "icon 2 bad"}) {
    const bool good = std::string(name) == "icon 0 open";
    book.node(name)->putContentStream_(good ? test::imageBytes("ICO", 16, 16) : "no picture", "\"image/ico\"",
                                      "\"binary\"");
    book.node(name)->putField_("Content-Type", "\"image/ico\"");
  }
  book.node("plain")->putField_("icon", "\"0\"");
  makeNoteView(*book.holder, Kind::Tree, &panel);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"ERROR: icon could not be loaded: icon 1 broken"});
  EXPECT_TRUE(book.holder->iconOf_(book.node("plain")).isNull());  // no icons at all
  makeNoteView(*book.holder, Kind::List, &panel);  // each build says it once
  EXPECT_EQ(rec.messages().size(), 2u);
}

}  // namespace
}  // namespace wux

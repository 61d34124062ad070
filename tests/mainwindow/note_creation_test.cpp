// Making and deleting notes through the command table: the note kinds, dated and
// numbered series, notes from the editor's lines and CSV, and deletion into "Trush".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include "form_fixture.h"
#include "model/content.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/data_files.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/ScreenGrabber.h"
#include "views/views_support.h"

namespace wux {
namespace {

// A screen of 3 x 2 pixels, or a refusal with a reason.
class FixedScreen : public ScreenGrabber {
 public:
  std::string refusal;
  int grabs = 0;
  bool grab(QImage& out, std::string& error) override {
    ++grabs;
    if (!refusal.empty()) {
      error = refusal;
      return false;
    }
    out = QImage(3, 2, QImage::Format_RGB32);
    out.fill(QColor(10, 200, 30));
    return true;
  }
};

class NoteCreationTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  NoteCreationTest() : FormTest({2026, 12, 6, 8, 0, 0, 250}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
    previousGrabber = setScreenGrabber(&screen);
  }
  void TearDown() override {
    setScreenGrabber(previousGrabber);
    FormTest::TearDown();
  }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoNodeUI* current() { return form->getCurrentNode(); }
  void type(const char* text) {
    form->getHolderFrame()->FrameMemoNode1()->MemoNode0()->setPlainText(QString::fromUtf8(text));
  }
  // The current notebook holding exactly the notes named, the first current.
  void notes(std::initializer_list<std::string> names) {
    const int old = holder()->getNodeCount_();
    test::addNotes(holder(), names);
    form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->getNode_(old)));
    for (int i = 0; i < old; ++i) {
      MemoNode* gone = holder()->getNode_(0);
      holder()->removeNode_(gone);
      delete gone;
    }
  }
  std::vector<std::string> names(MemoHolder* h) {
    std::vector<std::string> out;
    for (int i = 0; i < h->getNodeCount_(); ++i) out.push_back(h->getNode_(i)->name());
    return out;
  }
  MemoHolderUI* trush() {
    return dynamic_cast<MemoHolderUI*>(form->getMemoFile()->findHolderByName_("Trush"));
  }

  test::TempDir tmp;
  FixedScreen screen;
  ScreenGrabber* previousGrabber = nullptr;
};

TEST_F(NoteCreationTest, DeletingMovesTheNoteWithItsLastEditsIntoTrush) {
  ASSERT_EQ(holder()->getNodeCount_(), 1);
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(status(), "Could Not delete. Because There is One Node.");
  EXPECT_EQ(holder()->getNodeCount_(), 1);

  notes({"a", "b", "c"});
  MemoHolderUI* book = holder();
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(book->findNodeByName_("c")));
  type("typed just before");
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(names(book), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(current()->name(), "a");  // the last note gone: the first one follows
  EXPECT_TRUE(book->modified);
  ASSERT_NE(trush(), nullptr);
  EXPECT_EQ(names(trush()), std::vector<std::string>{"c"});
  EXPECT_EQ(trush()->getNode_(0)->body().text(), "typed just before\r\n");
  EXPECT_EQ(form->tabControl()->count(), 2);
  EXPECT_EQ(form->getCurrentHolder(), book);

  // The middle note: the one after it follows; the waste notebook is reused.
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(book->findNodeByName_("a")));
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(current()->name(), "b");
  EXPECT_EQ(names(trush()), (std::vector<std::string>{"c", "a"}));

  // Nothing is ever deleted from the waste notebook itself.
  form->changeCurrentHolder(trush());
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(status(), "Can not remove it on the Trush MemoHolder");
  EXPECT_EQ(trush()->getNodeCount_(), 2);
}

TEST_F(NoteCreationTest, DeletingIsRefusedWhereNothingMayChange) {
  notes({"a", "b"});
  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("UIDeleteMemoNode"), kResultUIReadOnly);
  EXPECT_EQ(run("UINewNodeImage"), kResultUIReadOnly);
  form->uiReadOnlyBox()->setChecked(false);

  holder()->putReadOnly_(true);
  EXPECT_EQ(run("UIDeleteMemoNode"), kResultHolderReadOnly);
  EXPECT_EQ(status(), "This MemoHolder is Read Only. (" + holder()->name() + ")");
  EXPECT_EQ(run("UINewMemoNodePoser"), kResultHolderReadOnly);
  EXPECT_EQ(holder()->getNodeCount_(), 2);
  EXPECT_EQ(trush(), nullptr);
}

TEST_F(NoteCreationTest, RefusedChildrenAnswerMinusOneAndNothingIsAskedInVain) {
  notes({"a"});
  const std::vector<const char*> children = {"UINewChild", "UINewChildImage", "UINewChildImageScreen",
                                             "UINewChildURL"};
  const std::vector<const char*> asking = {"UINewMemoNodeFile", "UINewMemoNodeURL", "UINewMemoNodeURLDirectory",
                                           "UINewMemoNodeURLFile"};
  // The switch as the user clicks it.
  QCheckBox* box = form->uiReadOnlyBox();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
  ASSERT_TRUE(box->isChecked());
  for (const char* c : children) EXPECT_EQ(run(c), kResultFailed) << c;
  for (const char* c : asking) {
    rec.inputs.push_back(tmp.str("typed"));  // an answer that must not be asked for
    EXPECT_EQ(run(c), kResultUIReadOnly) << c;
    EXPECT_EQ(status(), "UI ReadOnly") << c;
  }
  EXPECT_TRUE(rec.asked.empty());
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
  ASSERT_FALSE(box->isChecked());

  holder()->putReadOnly_(true);
  const std::string readOnly = "This MemoHolder is Read Only. (" + holder()->name() + ")";
  for (const char* c : children) EXPECT_EQ(run(c), kResultFailed) << c;
  for (const char* c : asking) {
    EXPECT_EQ(run(c), kResultHolderReadOnly) << c;
    EXPECT_EQ(status(), readOnly) << c;
  }
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(holder()->getNodeCount_(), 1);

  // Allowed again, the answer typed is the one used.
  holder()->putReadOnly_(false);
  rec.inputs.clear();
  rec.inputs.push_back("http://127.0.0.1/c.html");
  EXPECT_EQ(run("UINewChildURL"), 0);
  EXPECT_EQ(current()->getField_("Filename"), "\"http://127.0.0.1/c.html\"");
  // A second note for the same address gets a name of its own; the status names the address.
  rec.inputs.push_back("http://127.0.0.1/c.html");
  EXPECT_EQ(run("UINewChildURL"), 0);
  EXPECT_NE(current()->name(), "http://127.0.0.1/c.html");
  EXPECT_EQ(status(), "Done: New Child URL http://127.0.0.1/c.html");
}

TEST_F(NoteCreationTest, DeletingATreeNoteTakesItsBranch) {
  notes({"p|P", "c1|C1|P", "g|G|C1", "c2|C2|P", "q|Q"});
  run("changeTreeView_");
  ASSERT_EQ(holder()->workingKind(), MemoHolderUI::Kind::Tree);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("c1")));
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(names(holder()), (std::vector<std::string>{"p", "c2", "q"}));
  EXPECT_EQ(current()->name(), "c2");
  EXPECT_EQ(names(trush()), (std::vector<std::string>{"g", "c1"}));

  // A note whose only other notes lie below it has nowhere to go.
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("q")));
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("p")));
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(status(), "Don't Delete !");
  EXPECT_EQ(names(holder()), (std::vector<std::string>{"p", "c2"}));
}

TEST_F(NoteCreationTest, TreeUtilitiesListExpandAndRecordLevels) {
  notes({"p|P", "c1|C1|P", "g|G|C1", "c2|C2|P", "q|Q"});
  EXPECT_EQ(run("UIListLevel0"), kResultFailed);  // a check list has no levels
  run("changeTreeView_");
  ASSERT_EQ(holder()->workingKind(), MemoHolderUI::Kind::Tree);
  QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();

  memo->clear();
  EXPECT_EQ(run("UIListLevel0Plus"), 0);
  EXPECT_EQ(status(), "Done count=2");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("p 2\nq 0"));

  NoteList& list = holder()->noteList();
  EXPECT_EQ(run("UIExpandAll"), 0);
  EXPECT_TRUE(list.itemOf(holder()->findNodeByName_("p"))->expanded());
  EXPECT_TRUE(list.itemOf(holder()->findNodeByName_("c1"))->expanded());
  EXPECT_EQ(run("UIUnexpand"), 0);
  EXPECT_FALSE(list.itemOf(holder()->findNodeByName_("p"))->expanded());
  EXPECT_FALSE(list.itemOf(holder()->findNodeByName_("c1"))->expanded());
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("p")));
  EXPECT_EQ(run("UIExpandChild1"), 0);
  EXPECT_EQ(status(), "UIExpandChild1 count=1");

  // A note read-only by its own flag keeps its level; a read-only notebook refuses.
  holder()->findNodeByName_("c2")->putReadOnly_(true);
  EXPECT_EQ(run("UIUpdateLevel"), 0);
  EXPECT_EQ(holder()->findNodeByName_("p")->getField_("Level"), "\"0\"");
  EXPECT_EQ(holder()->findNodeByName_("g")->getField_("Level"), "\"2\"");
  EXPECT_EQ(holder()->findNodeByName_("c2")->getField_("Level"), "");
  EXPECT_TRUE(holder()->modified);
  holder()->putReadOnly_(true);
  holder()->findNodeByName_("q")->removeField_("Level");
  EXPECT_EQ(run("UIUpdateLevel"), kResultHolderReadOnly);
  EXPECT_EQ(holder()->findNodeByName_("q")->getField_("Level"), "");
}

TEST_F(NoteCreationTest, DeletingMarkedNotes) {
  notes({"a", "b", "c", "d"});
  holder()->findNodeByName_("a")->putMarked_(true);
  holder()->findNodeByName_("c")->putMarked_(true);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("a")));
  holder()->putField_("ModeNodesMngr", "\"CheckListBox\"");
  EXPECT_EQ(run("UIDeleteMarkNodes"), 2);
  EXPECT_EQ(status(), "Done 2 Nodes deleted.");
  EXPECT_EQ(names(holder()), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(current()->name(), "b");
  EXPECT_EQ(names(trush()), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(run("UIDeleteMarkNodes"), 0);
  EXPECT_EQ(status(), "No Mark MemoNode.");
}

TEST_F(NoteCreationTest, DatedAndNumberedSeries) {
  notes({"x"});
  EXPECT_EQ(run("newNodesYear_", {"2004"}), 366);
  EXPECT_EQ(holder()->getNodeCount_(), 367);
  EXPECT_NE(holder()->findNodeByName_("20040229"), nullptr);
  EXPECT_EQ(current()->name(), "20041231");
  EXPECT_EQ(run("newNodesYear_", {"0"}), kResultFailed);
  EXPECT_EQ(run("newNodesYear_", {"10000"}), kResultFailed);
  EXPECT_EQ(run("newNodesYear_", {"twenty"}), kResultFailed);
  EXPECT_EQ(holder()->getNodeCount_(), 367);

  notes({"x"});
  EXPECT_EQ(run("newNodesWeek_", {"2004/05/23"}), 7);  // a Sunday: its week began on the Monday
  EXPECT_EQ(names(holder()),
            (std::vector<std::string>{"20040517", "20040518", "20040519", "20040520", "20040521", "20040522",
                                      "20040523", "x"}));
  notes({"x"});
  EXPECT_EQ(run("newNodesMonth_", {"2003", "2"}), 28);
  EXPECT_EQ(run("newNodesMonth_", {"2003", "13"}), kResultFailed);

  notes({"x"});
  holder()->modified = false;
  EXPECT_EQ(run("newNodesNumber_", {"5", "3"}), 0);
  EXPECT_EQ(holder()->getNodeCount_(), 1);
  EXPECT_FALSE(holder()->modified);
  holder()->putField_("FormatNumber", "\"No.%03d\"");
  EXPECT_EQ(run("newNodesNumber_", {"9", "11"}), 2);  // the index of the last, now current
  EXPECT_EQ(names(holder()), (std::vector<std::string>{"No.009", "No.010", "No.011", "x"}));
  EXPECT_TRUE(holder()->modified);
  holder()->putField_("FormatNumber", "\"%s%n\"");
  EXPECT_EQ(run("newNodesNumber_", {"1", "2"}), kResultFailed);
  EXPECT_EQ(holder()->getNodeCount_(), 4);
  holder()->putField_("FormatNumber", "");
  EXPECT_EQ(run("newNodesNumber_", {"-9223372036854775808", "9223372036854775807"}), kResultFailed);
  EXPECT_EQ(status(), "Stop: too many notes for one notebook: -9223372036854775808 to 9223372036854775807");
  EXPECT_EQ(holder()->getNodeCount_(), 4);
}

// Each day of a series is named once, by its own date, whatever names the notes of the
// series had on their way; a day whose name a note had before gets "_" and two digits.
TEST_F(NoteCreationTest, ADatedSeriesNamesEachDayByItsOwnDate) {
  clock.set({2026, 12, 7, 9, 0, 0, 0});  // a Monday
  notes({"20261207"});
  EXPECT_EQ(run("UIListWeekThis"), 7);
  const std::vector<std::string> got = names(holder());
  ASSERT_EQ(got.size(), 8u);
  EXPECT_EQ(got[0].size(), 11u);  // the new notes come before the note that was current
  EXPECT_EQ(got[0].rfind("20261207_", 0), 0u) << got[0];
  EXPECT_EQ(std::vector<std::string>(got.begin() + 1, got.end()),
            (std::vector<std::string>{"20261208", "20261209", "20261210", "20261211", "20261212", "20261213",
                                      "20261207"}));
  EXPECT_EQ(current()->name(), "20261213");

  // The same in a month, where a day in the middle was there before.
  notes({"20261215"});
  EXPECT_EQ(run("UIListMonthThis"), 31);
  ASSERT_NE(holder()->findNodeByName_("20261214"), nullptr);
  ASSERT_NE(holder()->findNodeByName_("20261216"), nullptr);
  int numbered = 0;
  for (const std::string& n : names(holder())) {
    if (n.rfind("20261215_", 0) == 0 && n.size() == 11) ++numbered;
    EXPECT_EQ(n.rfind("202612", 0), 0u) << n;
  }
  EXPECT_EQ(numbered, 1);
  EXPECT_NE(holder()->findNodeByName_("20261231"), nullptr);
}

// A tree selects each note it takes; in every view the last new note of a number series
// becomes the note of the window, the notebook, the view and the editor alike.
TEST_F(NoteCreationTest, ANumberSeriesLeavesItsLastNoteCurrentEverywhere) {
  for (const char* view : {"changeCheckListBox_", "changeTreeView_", "changeListView_"}) {
    notes({"x", "y"});
    run(view);
    holder()->putField_("FormatNumber", "\"n%d\"");
    const int result = run("newNodesNumber_", {"1", "3"});
    EXPECT_EQ(test::currentEverywhere(*form), "n3 n3 n3 n3") << view;
    EXPECT_EQ(result, holder()->indexOfNode_(holder()->findNodeByName_("n3"))) << view;
    type("typed");
    form->UI2Model();
    EXPECT_EQ(holder()->findNodeByName_("n3")->body().text(), "typed\r\n") << view;
  }
}

TEST_F(NoteCreationTest, NotesFromTheEditorsLinesAndFromCSV) {
  type("x\na,b,,d\n1,2,3,4");
  EXPECT_EQ(run("UICSV2Holder"), 1);
  ASSERT_EQ(holder()->name(), "CSV");
  EXPECT_TRUE(form->getMemoFile()->modified);
  MemoNode* row = holder()->getNode_(0);
  EXPECT_EQ(row->getField_("a"), "\"1\"");
  EXPECT_EQ(row->getField_("b"), "\"2\"");
  EXPECT_EQ(row->getField_("03"), "\"3\"");
  EXPECT_EQ(row->getField_("d"), "\"4\"");

  const int books = form->getMemoFile()->getHolderCount_();
  type("x\na,b");  // no line of values
  EXPECT_EQ(run("UICSV2Holder"), kResultFailed);
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), books);

  type(" one \n\ntwo");
  EXPECT_EQ(run("UIMemoNode2Holder"), 2);
  EXPECT_EQ(status(), "Done:UIMemoNode2Holder count=2");
  MemoHolderUI* made = holder();
  EXPECT_TRUE(made->loaded);
  EXPECT_NE(made->getViewControl_(), nullptr);
  ASSERT_NE(made->findNodeByName_("one"), nullptr);
  EXPECT_EQ(made->findNodeByName_("two")->getField_("Filename"), "\"two\"");
  EXPECT_EQ(form->tabControl()->currentIndex(), form->getMemoFile()->indexOfHolder_(made));

  // Into the current notebook, each note a copy of the notebook's "*" note.
  MemoNode* model = made->newNode_();
  made->addNode_(model, "*");
  model->putField_("kind", "\"row\"");
  type("three");
  EXPECT_EQ(run("UIMemoNode2NewNodes"), 1);
  EXPECT_EQ(made->findNodeByName_("three")->getField_("kind"), "\"row\"");
  EXPECT_TRUE(made->modified);
}

TEST_F(NoteCreationTest, CopyHistoryKeepsTheTenNewest) {
  for (int i = 1; i <= 11; ++i) form->AddCopyHistory("t" + std::to_string(i));
  ASSERT_EQ(form->copyHistory().count(), 10);
  EXPECT_EQ(form->copyHistory()[0], "t11");
  EXPECT_EQ(form->copyHistory()[9], "t2");
  form->AddCopyHistory("t5");
  EXPECT_EQ(form->copyHistory().count(), 10);
  EXPECT_EQ(form->copyHistory()[0], "t5");
  EXPECT_EQ(form->copyHistory().indexOf("t5"), 0);
  EXPECT_EQ(form->copyHistory()[9], "t2");
}

TEST_F(NoteCreationTest, ScreenCaptureWithoutAScreenMakesNoNote) {
  screen.refusal = "the Wayland display does not let programs read the screen";
  const int before = holder()->getNodeCount_();
  form->show();
  EXPECT_EQ(run("UINewNodeImageScreen"), kResultNoNode);
  EXPECT_EQ(status(), "failure: New Node Image Screen: the Wayland display does not let programs read the screen");
  EXPECT_EQ(holder()->getNodeCount_(), before);
  EXPECT_TRUE(form->isVisible());  // out of the way only while the screen was read
}

TEST_F(NoteCreationTest, ABlankImageNamedByTodayIsNumbered) {
  notes({"x"});
  EXPECT_EQ(run("UINewNodeImage"), 0);
  EXPECT_EQ(status(), "Done: New Node Image");
  EXPECT_EQ(current()->name(), "20261206_02.bmp");  // the notebook's second note
  EXPECT_EQ(current()->getField_("Filename"), "\".\\20261206_02.bmp\"");
  ASSERT_NE(current()->content(), nullptr);
  EXPECT_EQ(current()->content()->data()->substr(0, 2), "BM");
}

// A link note to a folder: the folder is picked in a folder chooser that starts at the
// current folder, never typed.
TEST_F(NoteCreationTest, AFolderLinkIsPickedInAFolderChooser) {
  const int before = holder()->getNodeCount_();
  EXPECT_EQ(run("UINewMemoNodeURLDirectory"), kResultFailed);  // no answer: cancelled
  EXPECT_EQ(status(), "Cancel \"New MemoNode URL Directory\"");
  EXPECT_EQ(holder()->getNodeCount_(), before);
  ASSERT_EQ(rec.asked.size(), 1u);
  EXPECT_EQ(rec.asked[0].kind, "folder");
  EXPECT_EQ(rec.asked[0].text, platform::currentDir());

  rec.inputs.push_back(tmp.path.string());
  EXPECT_EQ(run("UINewMemoNodeURLDirectory"), 0);
  EXPECT_EQ(rec.asked.back().kind, "folder");
  EXPECT_EQ(current()->getField_("Filename"), "\"" + tmp.path.string() + "/\"");
  EXPECT_EQ(current()->getField_("Content-Transfer-Encoding"), "\"URL\"");
  EXPECT_EQ(status(), "Done: New MemoNode URL " + tmp.path.string() + "/");
}

TEST_F(NoteCreationTest, ImportingAMissingFileLeavesNoNote) {
  const int before = holder()->getNodeCount_();
  rec.inputs.push_back(tmp.str("missing.txt"));
  EXPECT_EQ(run("UINewMemoNodeFile"), kResultFailed);
  EXPECT_EQ(status().rfind("Failure: New MemoNode File " + tmp.str("missing.txt"), 0), 0u) << status();
  EXPECT_EQ(holder()->getNodeCount_(), before);
  EXPECT_EQ(run("UINewMemoNodeFile"), kResultFailed);  // no answer: cancelled
  EXPECT_EQ(status(), "Cancel: New MemoNode File");
}

// A URL note is made only for an address: the program has no page of its own to fall
// back on, so an empty or untouched answer, or an empty path, makes none.
TEST_F(NoteCreationTest, URLNotesNeedAnAddress) {
  const int before = holder()->getNodeCount_();
  for (const char* answer : {"", "http://", "   "}) {
    rec.inputs.push_back(answer);
    EXPECT_EQ(run("UINewMemoNodeURL"), kResultFailed) << "[" << answer << "]";
    EXPECT_EQ(status(), "Cancel \"New MemoNode URL\"") << "[" << answer << "]";
  }
  ASSERT_EQ(rec.inputs.size(), 0u);
  EXPECT_EQ(rec.asked.back().caption, "New MemoNode URL");
  rec.inputs.push_back("");
  EXPECT_EQ(run("UINewChildURL"), kResultFailed);
  EXPECT_EQ(status(), "Cancel \"New Child URL\"");
  EXPECT_EQ(run("newMemoNodeKind_", {"", "3"}), kResultNoNode);
  EXPECT_EQ(holder()->getNodeCount_(), before);

  rec.inputs.push_back(" http://127.0.0.1/b.html ");
  EXPECT_EQ(run("UINewMemoNodeURL"), 0);
  EXPECT_EQ(current()->getField_("Filename"), "\"http://127.0.0.1/b.html\"");
  EXPECT_EQ(holder()->getNodeCount_(), before + 1);
}

// Every kind of new note, saved with its notebook, reads back and saves again the same.
TEST_F(NoteCreationTest, EveryKindRoundTripsThroughTheNotebookFile) {
  notes({"x"});
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("page.txt"), "first\r\nsecond\r\n"));
  rec.inputs.push_back(tmp.str("page.txt"));
  EXPECT_EQ(run("UINewMemoNodeFile"), 0);
  EXPECT_EQ(status(), "Done: New MemoNode File " + tmp.str("page.txt"));
  EXPECT_EQ(current()->body().text(), "first\r\nsecond\r\n");

  rec.inputs.push_back("http://127.0.0.1/a.html");
  EXPECT_EQ(run("UINewMemoNodeURL"), 0);
  EXPECT_EQ(status(), "Done: New MemoNode URL http://127.0.0.1/a.html");
  EXPECT_EQ(run("UINewMemoNodePoser"), 0);
  EXPECT_EQ(status(), "Done: New MemoNode Poser");
  EXPECT_EQ(run("UINewMemoNodePoserLike"), 0);
  EXPECT_EQ(run("UINewNodeImage"), 0);
  EXPECT_EQ(current()->getField_("Content-Type"), "\"image/bmp\"");
  EXPECT_EQ(run("newMemoNodeKind_", {"", "2"}), 0);
  EXPECT_EQ(current()->getField_("Content-Type"), "\"image/ico\"");
  MemoNodeUI* parent = current();
  EXPECT_EQ(run("UINewChildImageScreen"), 0);
  EXPECT_EQ(status(), "Done: New Node Image Screen");
  EXPECT_EQ(screen.grabs, 1);
  EXPECT_EQ(current()->getField_("ParentNodeID"), parent->getField_("UID"));
  EXPECT_EQ(run("UINewChild"), 0);
  EXPECT_EQ(status(), "Done: New Child : " + current()->name());

  const std::string path = tmp.str("kinds.mxh");
  ASSERT_GT(holder()->saveToFile_(path), 0);
  std::string written;
  ASSERT_TRUE(platform::readFile(path, written));
  // The file names the temporary folder; the golden file holds "<dir>/" in its place.
  for (std::size_t at; (at = written.find(tmp.path.string() + "/")) != std::string::npos;)
    written.replace(at, tmp.path.string().size() + 1, "<dir>/");
  EXPECT_EQ(written, readTestData("mainwindow/new_note_kinds.mxh"));

  std::unique_ptr<MemoHolder> back(Create<MemoHolder>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*back, path, messages), 0) << messages.text();
  EXPECT_EQ(back->getNodeCount_(), holder()->getNodeCount_());
  // Read without its document, the notebook answers "noname"; the rest is the same.
  std::string again = back->saveToText_();
  again.replace(again.find("<Holder name=\"noname\">"), 22, "<Holder name=\"new\">");
  EXPECT_EQ(again, holder()->saveToText_());

  // Clones keep their source's name; the notebook reader makes such names unique.
  const int before = holder()->getNodeCount_();
  EXPECT_EQ(run("cloneMemoNode_", {"2"}), 2);
  EXPECT_EQ(status(), "Done: Clone MemoNode 2");
  EXPECT_EQ(holder()->getNodeCount_(), before + 2);
  EXPECT_EQ(run("cloneMemoNode_", {"0"}), 0);
}

}  // namespace
}  // namespace wux

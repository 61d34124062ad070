// The file list, save each and monthly calendar windows, driven through their public
// buttons' work against a fake main window.
#include "dialogs/ExportWindows.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "model/lists.h"
#include "platform/files.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"

using namespace wux;
using test::FakeMainWindow;

namespace {

struct ExportWindowsTest : ::testing::Test {
  std::filesystem::path tmp;
  FakeMainWindow w;
  RecordingPrompter rec;
  ScopedPrompter scoped{&rec};
  FixedClock clock{DateTime{2025, 1, 15, 10, 0, 0, 0}};

  ExportWindowsTest() {
    test::qtApp();
    setClock(&clock);
    char tmpl[] = "/tmp/wux_export_XXXXXX";
    tmp = mkdtemp(tmpl);
    w.addNotebook("book");
    w.doc->directory = dir();
  }
  ~ExportWindowsTest() override {
    setClock(nullptr);
    std::filesystem::remove_all(tmp);
  }
  std::string dir() const { return tmp.string() + "/"; }
  void touch(const std::string& rel, const std::string& text = "x") {
    std::filesystem::create_directories((tmp / rel).parent_path());
    std::ofstream(tmp / rel) << text;
  }
  static std::vector<std::string> vec(const StringList& l) {
    std::vector<std::string> out;
    for (int i = 0; i < l.count(); ++i) out.push_back(l[i]);
    return out;
  }
  static StringList list(std::initializer_list<const char*> lines) {
    StringList l;
    for (const char* s : lines) l.add(s);
    return l;
  }
};

// ---- file list ------------------------------------------------------------------------

TEST_F(ExportWindowsTest, EachDropModeAddsItsLines) {
  touch("tree/a.txt");
  touch("tree/sub/b.txt");
  touch("plain.txt");
  const std::string tree = dir() + "tree", plain = dir() + "plain.txt";
  TFormFileList f;
  EXPECT_EQ(f.dropMode(), TFormFileList::ExtractFileName);

  f.addDropped({tree, plain});
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{"tree", "plain.txt"}));

  f.clearList();
  f.setDropMode(TFormFileList::FullPath);
  f.addDropped({tree, plain});
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{tree, plain}));

  f.clearList();
  f.setDropMode(TFormFileList::ExpandSubDir);
  f.addDropped({tree, plain});
  std::vector<std::string> got = vec(f.lines());
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[2], tree);  // the folder after what is below it
  EXPECT_EQ(got[3], plain);
  std::sort(got.begin(), got.begin() + 2);
  EXPECT_EQ(got[0], tree + "/a.txt");
  EXPECT_EQ(got[1], tree + "/sub/b.txt");

  f.clearList();
  f.setDropMode(TFormFileList::DirectoryOnly);
  f.addDropped({tree, plain});
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{tree + "/sub", tree, plain}));

  f.clearList();
  f.setDropMode(TFormFileList::Poser);
  f.addDropped({tree, plain});
  EXPECT_EQ(f.lines().count(), 0);
}

TEST_F(ExportWindowsTest, ListEditsWorkOnEveryLine) {
  TFormFileList f;
  f.setLines(list({"b.txt", "a.txt"}));
  f.addHead("x ");
  f.addTail(" y");
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{"x b.txt y", "x a.txt y"}));
  f.deleteHead();
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{"b.txt y", "a.txt y"}));
  f.sortLines();
  f.numberLines();
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{"00001 a.txt y", "00002 b.txt y"}));
  f.setLines(list({"a.html"}));
  f.linkHTML();
  EXPECT_EQ(vec(f.lines()), (std::vector<std::string>{"<a href=\"a.html\" >a.html</a>"}));
}

TEST_F(ExportWindowsTest, MakeNodesFillsANewNotebookWithEveryFieldLine) {
  TFormFileList f;
  f.setMainWindow(&w);
  MemoHolderUI* before = w.holder;
  f.setLines(list({"/data/one.txt", "  ", "/data/two.txt"}));
  EXPECT_EQ(f.makeNodes(), 2);
  ASSERT_NE(w.holder, before);
  EXPECT_EQ(w.noteNames(), (std::vector<std::string>{"one.txt", "two.txt"}));
  MemoNode* two = w.holder->getNode_(1);
  EXPECT_EQ(two->getField_("Filename"), "\"/data/two.txt\"");
  EXPECT_EQ(two->getField_("FlagLink"), "\"true\"");
  EXPECT_EQ(two->getField_("Created"), "\"20040102\"");
  EXPECT_EQ(two->getField_("Modified"), "\"20040102\"");  // the last line too
  EXPECT_EQ(w.holder->getCurrentNode_(), two);
  EXPECT_TRUE(w.holder->modified);  // so saving the notebooks writes the new notes
  EXPECT_TRUE(w.doc->modified);
  EXPECT_EQ(w.status(), "Done: count=2");
}

TEST_F(ExportWindowsTest, MakeNodesIntoTheCurrentNotebookCopiesTheTemplate) {
  w.addNote("*")->body().add("template body");
  TFormFileList f;
  f.setMainWindow(&w);
  f.setOptions(false, false, true, true);
  f.setFieldLines(list({"Kind=\"file\"", "Also"}));
  f.setLines(list({"/data/one.txt"}));
  EXPECT_EQ(f.makeNodes(), 1);
  MemoNode* made = w.holder->findNodeByName_("/data/one.txt");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->body().text(), "template body\r\n");
  EXPECT_EQ(made->getField_("Filename"), "");
  EXPECT_EQ(made->getField_("Link"), "\"/data/one.txt\"");
  EXPECT_EQ(made->getField_("Also"), "\"file\"");  // a line without "=" takes the value before

  w.doing = true;
  EXPECT_EQ(f.makeNodes(), kResultFailed);
}

// ---- save each ------------------------------------------------------------------------

TEST_F(ExportWindowsTest, SaveEachWritesEveryNoteToItsFile) {
  w.holder->removeNode_(w.holder->getNode_(0));
  std::filesystem::create_directories(tmp / "out");
  for (const char* name : {"a", "b", "c"}) {
    MemoNodeUI* n = w.addNote(name);
    n->body().add(std::string("text of ") + name);
    if (std::string(name) != "b") n->putField_("Filename", std::string("\"/elsewhere/") + name + ".txt\"");
  }
  TFormSaveEach f;
  f.setMainWindow(&w);
  f.setDirectory(dir() + "out/");
  f.CheckBox_ChangeFilename->setChecked(true);
  EXPECT_EQ(f.saveEach(), 2);
  std::string bytes;
  ASSERT_TRUE(platform::readFile(dir() + "out/c.txt", bytes));
  EXPECT_NE(bytes.find("text of c"), std::string::npos);
  EXPECT_EQ(f.logLines(), (std::vector<std::string>{
                              "Save a : " + dir() + "out/a.txt", "Not Save name=b Filename=\"\"",
                              "Save c : " + dir() + "out/c.txt", "Done: count of the Files saved=2"}));
  EXPECT_EQ(w.holder->getNode_(2)->getField_("Filename"), "\"" + dir() + "out/c.txt\"");

  // Both exist now: the first is kept, the second question is cancelled.
  f.clearLog();
  rec.answers = {Answer::No, Answer::Cancel};
  EXPECT_EQ(f.saveEach(), 0);
  EXPECT_EQ(f.logLines(),
            (std::vector<std::string>{"Should Not Save name=\"a\" Filename=\"" + dir() + "out/a.txt\"",
                                      "Not Save name=b Filename=\"\"", "*Cancel*",
                                      "Done: count of the Files saved=0"}));

  f.clearLog();
  f.CheckBox_MarkNodeOnly->setChecked(true);
  static_cast<MemoNodeUI*>(w.holder->getNode_(2))->putMarked_(true);
  rec.answers = {Answer::Yes};
  EXPECT_EQ(f.saveEach(), 1);
  EXPECT_EQ(f.logLines().front(), "*Write Over Filename=\"" + dir() + "out/c.txt\"");
}

// ---- monthly calendar pages --------------------------------------------------------------

TEST_F(ExportWindowsTest, MonthlyPagesCoverEveryMonthOfTheRange) {
  TFormMakeFileHTML f;
  f.setMainWindow(&w);
  f.setRange({2025, 1, 15}, {2025, 3, 20}, false);
  const std::vector<std::string> expected{dir() + "book_202501.html", dir() + "book_202502.html",
                                          dir() + "book_202503.html"};
  EXPECT_EQ(f.makeHTML(), expected);
  for (const auto& file : expected) EXPECT_TRUE(platform::fileExists(file)) << file;

  // A later day in the start month than in the end month still reaches the end month.
  f.setRange({2025, 1, 20}, {2025, 3, 15}, false);
  EXPECT_EQ(f.makeHTML().size(), 3u);

  f.setRange({2025, 1, 20}, {2025, 3, 15}, true);
  EXPECT_EQ(f.makeHTML(), std::vector<std::string>{dir() + "book_202501.html"});
}

TEST_F(ExportWindowsTest, MakeHTMLShowsItsOtherGroupsWithoutAction) {
  TFormMakeFileHTML f;
  QStringList titles;
  for (QGroupBox* g : f.findChildren<QGroupBox*>()) {
    titles << g->title();
    if (g->title() == QStringLiteral("Calender Monthly")) continue;
    for (QPushButton* b : g->findChildren<QPushButton*>()) EXPECT_FALSE(b->isEnabled()) << g->title().toStdString();
  }
  for (const char* title : {"Calender Monthly", "List", "Main Contents", "Calender Weekly"})
    EXPECT_TRUE(titles.contains(QString::fromLatin1(title))) << title;
}

TEST_F(ExportWindowsTest, NotebookNameCannotLeadPagesElsewhere) {
  std::string actual;
  w.holder->putName_("../up", actual);
  TFormMakeFileHTML f;
  f.setMainWindow(&w);
  f.setRange({2025, 1, 1}, {2025, 1, 1}, true);
  const auto files = f.makeHTML();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].rfind(dir(), 0), 0u) << files[0];
  EXPECT_EQ(files[0].find('/', dir().size()), std::string::npos) << files[0];
}

}  // namespace

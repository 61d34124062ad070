// Notebook commands through the command table: saving with its report, save as, delete,
// clone, rename, order, reload, and opening notebook and CSV files.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <QTest>

#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/data_files.h"
#include "support/file_text.h"
#include "views/QtPrompter.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/views_support.h"

namespace wux {
namespace {

using test::fileText;

ssize_t diskFull(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

class NotebookCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  NotebookCommandsTest() : FormTest({2026, 12, 6, 8, 0, 0, 250}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    doc()->putFileName_(tmp.str("doc.mxa"));
    rename(holder(), "A");
  }
  int run(const std::string& name) { return form->commands().run(name); }
  MemoFileUI* doc() { return form->getMemoFile(); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoHolderUI* book(int i) { return dynamic_cast<MemoHolderUI*>(doc()->getHolder_(i)); }
  static void rename(MemoHolder* h, const std::string& name) {
    std::string actual;
    h->putName_(name, actual);
  }
  // The document holding notebooks of these names, the last one current.
  void books(std::initializer_list<std::string> names) {
    bool first = true;
    for (const std::string& n : names) {
      if (!first) {
        ASSERT_EQ(run("UINewHolderRight"), 0);
      }
      rename(holder(), n);
      first = false;
    }
    doc()->refreshTabs_();
  }
  std::string bookNames() {
    std::string out;
    for (int i = 0; i < doc()->getHolderCount_(); ++i) out += (i ? "," : "") + doc()->getHolder_(i)->name();
    return out;
  }
  QPlainTextEdit* memo() { return form->getHolderFrame()->FrameMemoNode1()->MemoNode0(); }
  // Typed at the end of the editor, as a user types: not yet committed to the note.
  void type(const QString& text) {
    memo()->setFocus();
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo(), text);
  }

  test::TempDir tmp;
};

TEST_F(NotebookCommandsTest, SaveReportsSizeInBytesUpTo1024ThenKBytes) {
  MemoNode* note = holder()->getNode_(0);
  note->body().setText("x");
  const long long base = static_cast<long long>(holder()->saveToText_().size());
  note->body().setText(std::string(static_cast<std::size_t>(1 + 1024 - base), 'x'));
  ASSERT_EQ(holder()->saveToText_().size(), 1024u);
  form->Model2UI();
  const std::string path = tmp.str("A.mxh");

  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_EQ(status(), "Done: Saved size=1024Bytes count of Nodes=1 CountSave=1 2026/12/06 08:00:00:250 " + path);
  EXPECT_EQ(fileText(path).size(), 1024u);
  EXPECT_FALSE(holder()->modified);

  note->body().setText(std::string(static_cast<std::size_t>(2 + 1024 - base), 'x'));
  form->Model2UI();
  rec.answers.push_back(Answer::Yes);
  EXPECT_EQ(run("UISaveHolderWithMSG"), 0);
  EXPECT_EQ(rec.asked.back().text, "Sould I save Holder named \"" + path + "\"");
  EXPECT_EQ(status(), "Done: Saved size=1KBytes count of Nodes=1 CountSave=2 2026/12/06 08:00:00:250 " + path);

  rec.answers.push_back(Answer::Cancel);
  EXPECT_EQ(run("UISaveHolderWithMSG"), kResultFailed);
}

TEST_F(NotebookCommandsTest, FailedSaveIsReportedAndKeepsTheModifiedFlag) {
  holder()->modified = true;
  const auto previous = platform::setWriteCall(diskFull);
  const int r = run("UISaveHolderNoMSG");
  platform::setWriteCall(previous);
  EXPECT_EQ(r, kResultFailed);
  EXPECT_TRUE(holder()->modified);
  EXPECT_EQ(status().rfind("Failure: _UISaveHolder", 0), 0u) << status();
  EXPECT_FALSE(platform::fileExists(tmp.str("A.mxh")));

  // Over a file that could not be read whole, only when the user says so.
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  const std::string before = fileText(tmp.str("A.mxh"));
  holder()->loadFailed = true;
  holder()->modified = true;
  holder()->createNewNode_();
  rec.answers = {Answer::No};
  EXPECT_EQ(run("UISaveHolderNoMSG"), kResultFailed);
  EXPECT_EQ(fileText(tmp.str("A.mxh")), before);
  EXPECT_TRUE(holder()->modified);
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_NE(fileText(tmp.str("A.mxh")), before);

  // A folder that is missing is made only when the user agrees.
  doc()->putFileName_(tmp.str("sub/deeper/doc.mxa"));
  rec.answers.push_back(Answer::Cancel);
  EXPECT_EQ(run("UISaveHolderNoMSG"), kResultFailed);
  EXPECT_EQ(rec.asked.back().text, "Make Directory ?  \"" + tmp.str("sub/deeper/") + "\"");
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_TRUE(platform::fileExists(tmp.str("sub/deeper/A.mxh")));
}

TEST_F(NotebookCommandsTest, SaveAsChecksTheExtensionAndWritesTheChosenForm) {
  rec.inputs.push_back("/t/x.txt");
  EXPECT_EQ(run("UISaveHolderAsMXH"), kResultFailed);
  EXPECT_EQ(status(), "FileExtention is missmatch.  \"/t/x.txt\"");
  EXPECT_EQ(holder()->getFileName_(), tmp.str("A.mxh"));

  holder()->modified = true;
  const std::string packed = tmp.str("y.mhz");
  rec.inputs.push_back(packed);
  EXPECT_EQ(run("UISaveHolderAsMHZ"), 0);
  EXPECT_EQ(status().rfind("Done size=", 0), 0u);
  EXPECT_FALSE(holder()->modified);
  std::unique_ptr<MemoHolder> back(Create<MemoHolder>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*back, packed, messages), 0);
  EXPECT_EQ(back->getNodeCount_(), 1);
}

TEST_F(NotebookCommandsTest, DeleteKeepsOneNotebookAndChoosesTheNeighbour) {
  EXPECT_EQ(run("UIDeleteHolder"), kResultFailed);
  EXPECT_EQ(status(), "Don't Delete Holder.  Only One Holder!");
  EXPECT_EQ(doc()->getHolderCount_(), 1);

  books({"A", "B", "C"});
  for (int i = 0; i < 3; ++i) book(i)->modified = false;
  EXPECT_EQ(run("UIDeleteHolder"), 0);
  EXPECT_EQ(bookNames(), "A,B");
  EXPECT_EQ(holder()->name(), "B");
  EXPECT_TRUE(doc()->modified);

  ASSERT_EQ(run("UINewHolderRight"), 0);
  rename(holder(), "C");
  EXPECT_EQ(bookNames(), "A,B,C");
  form->changeCurrentHolder(book(1));
  book(1)->modified = true;
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UIDeleteHolder"), kResultFailed);
  EXPECT_EQ(rec.asked.back().text, "Shall I Save Current Holder ? \r\n" + tmp.str("B.mxh"));
  EXPECT_EQ(bookNames(), "A,B,C");
  rec.answers = {Answer::No, Answer::No};
  EXPECT_EQ(run("UIDeleteHolder"), kResultFailed);
  EXPECT_EQ(rec.asked.back().text, "Shall I delete Current Holder Realy ?");
  rec.answers = {Answer::Yes, Answer::Yes};
  EXPECT_EQ(run("UIDeleteHolder"), 0);
  EXPECT_EQ(bookNames(), "A,C");
  EXPECT_EQ(holder()->name(), "C");
  EXPECT_TRUE(platform::fileExists(tmp.str("B.mxh")));  // saved first, and left on disk
}

TEST_F(NotebookCommandsTest, ClonesGetUniqueNamesAndFilesOfTheirOwn) {
  MemoHolderUI* a = holder();
  EXPECT_EQ(run("UICloneHolder"), 0);
  EXPECT_EQ(holder()->name(), "A_copy");
  EXPECT_EQ(holder()->getField_("FlagExtra"), "\"false\"");
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  form->changeCurrentHolder(a);
  EXPECT_EQ(run("UICloneHolder"), 0);
  EXPECT_EQ(holder()->name(), "A_copy_01");
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_EQ(bookNames(), "A,A_copy,A_copy_01");
  EXPECT_TRUE(platform::fileExists(tmp.str("A_copy.mxh")));
  EXPECT_TRUE(platform::fileExists(tmp.str("A_copy_01.mxh")));
  EXPECT_FALSE(platform::fileExists(tmp.str("A.mxh")));
  EXPECT_TRUE(doc()->modified);

  // A notebook that was saved to a file of its own name: its clone still is not.
  form->changeCurrentHolder(a);
  a->putFlagExtra_(true);
  a->putField_("Filename", "\"" + tmp.str("elsewhere.mxh") + "\"");
  ASSERT_EQ(run("changeListView_"), 0);
  EXPECT_EQ(run("UICloneHolder"), 0);
  EXPECT_EQ(holder()->getModeNodesMngr_(), "\"ListView\"");
  EXPECT_EQ(holder()->getFileName_(), tmp.str("A_copy_02.mxh"));
  form->changeCurrentHolder(a);
  ASSERT_EQ(run("changeTreeView_"), 0);
  EXPECT_EQ(run("UICloneHolder"), 0);
  EXPECT_EQ(holder()->getModeNodesMngr_(), "\"TreeView\"");
}

TEST_F(NotebookCommandsTest, RenameRefusesBlanksAndTheOtherNameIsUnique) {
  holder()->modified = false;
  doc()->modified = false;
  rec.inputs.push_back("   ");
  EXPECT_EQ(run("UIRenameHolder"), kResultFailed);
  EXPECT_EQ(holder()->name(), "A");
  EXPECT_FALSE(holder()->modified);
  EXPECT_FALSE(doc()->modified);
  EXPECT_EQ(rec.asked.back().caption, "Rename Current MemoHolder");
  EXPECT_EQ(rec.asked.back().text, "Input new Name.");

  rec.inputs.push_back("Diary");
  EXPECT_EQ(run("UIRenameHolder"), 0);
  EXPECT_EQ(holder()->name(), "Diary");
  EXPECT_EQ(status(), "Changed MemoHolder Name Diary");
  EXPECT_TRUE(holder()->modified);
  EXPECT_TRUE(doc()->modified);

  EXPECT_EQ(run("UIRenameOtherHolder"), 0);
  EXPECT_NE(holder()->name(), "Diary");
  EXPECT_EQ(holder()->name().rfind("Diary_", 0), 0u);
}

TEST_F(NotebookCommandsTest, ReorderingIsKeptInTheSavedDocument) {
  books({"A", "B", "C"});
  form->changeCurrentHolder(book(1));
  doc()->modified = false;
  EXPECT_EQ(run("UIHolderUp"), 0);
  EXPECT_EQ(bookNames(), "B,A,C");
  EXPECT_TRUE(doc()->modified);
  EXPECT_EQ(run("UIHolderUp"), 0);  // already first: nothing
  EXPECT_EQ(bookNames(), "B,A,C");
  form->changeCurrentHolder(book(2));
  EXPECT_EQ(run("UIHolderDown"), 0);  // already last: nothing
  form->changeCurrentHolder(book(0));
  EXPECT_EQ(run("UIHolderDown"), 0);
  EXPECT_EQ(bookNames(), "A,B,C");
  EXPECT_EQ(run("UIHolderDown"), 0);
  EXPECT_EQ(bookNames(), "A,C,B");

  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc(), tmp.str("doc.mxa"), false, report));
  std::unique_ptr<MemoFile> back(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*back, tmp.str("doc.mxa"), messages), 0);
  std::string order;
  for (int i = 0; i < back->getHolderCount_(); ++i) order += (i ? "," : "") + back->getHolder_(i)->name();
  EXPECT_EQ(order, "A,C,B");

  holder()->putField_("FlagReadOnly", "\"true\"");
  EXPECT_EQ(run("UIHolderUp"), kResultFailed);
}

TEST_F(NotebookCommandsTest, ReloadShowsOutsideEditsAndKeepsNotesWithoutAFile) {
  const std::string path = tmp.str("A.mxh");
  EXPECT_EQ(run("UIReloadMemoHolder"), kResultFailed);
  EXPECT_TRUE(logHas("Not Found MemoHolder: " + path));
  EXPECT_EQ(holder()->getNodeCount_(), 1);

  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  {
    std::unique_ptr<MemoHolder> outside(Create<MemoHolder>(nullptr));
    StringList messages;
    ASSERT_EQ(ReadHolderFile(*outside, path, messages), 0);
    outside->createNewNode_();
    outside->createNewNode_();
    ASSERT_GE(outside->saveToFile_(path), 0);
  }
  EXPECT_EQ(run("UIReloadMemoHolder"), 0);
  EXPECT_EQ(status(), "Done:UIReLoadMemoHolder " + path);
  EXPECT_EQ(holder()->getNodeCount_(), 3);
  EXPECT_EQ(holder()->name(), "A");
  EXPECT_EQ(form->getCurrentNode()->getParentHolder_(), holder());
  EXPECT_EQ(form->getHolderFrame()->FrameMemoNode1()->node(), form->getCurrentNode());
}

TEST_F(NotebookCommandsTest, OpenNotebookFileChosenInTheDialog) {
  {
    std::unique_ptr<MemoHolder> file(Create<MemoHolder>(nullptr));
    file->createNewNode_();
    file->createNewNode_();
    ASSERT_GE(file->saveToFile_(tmp.str("Journal.mxh")), 0);
  }
  rec.inputs.push_back(tmp.str("Journal.mxh"));
  EXPECT_EQ(run("UIOpenHolder"), 0);
  EXPECT_EQ(rec.asked.back().kind, "open");
  EXPECT_EQ(bookNames(), "A,Journal");
  EXPECT_EQ(holder()->name(), "Journal");
  EXPECT_EQ(holder()->getNodeCount_(), 2);
  EXPECT_FALSE(holder()->isReadOnly_());

  rec.answers = {Answer::Cancel};  // the name is taken: reload, other name or cancel
  rec.inputs.push_back(tmp.str("journal.mxh"));
  EXPECT_EQ(run("UIOpenHolder"), kResultFailed);
  EXPECT_EQ(bookNames(), "A,Journal");
}

TEST_F(NotebookCommandsTest, CsvFileBecomesANotebookNamedAfterIt) {
  {
    std::ofstream out(tmp.str("p.csv"), std::ios::binary);
    out << "c\r\nname,age\r\nBob,3\r\n";
  }
  rec.inputs.push_back(tmp.str("p.csv"));
  EXPECT_EQ(run("UIOpenCSVHolder"), 0);
  EXPECT_EQ(holder()->name(), "p");
  ASSERT_EQ(holder()->getNodeCount_(), 1);
  EXPECT_EQ(holder()->getNode_(0)->getField_("name"), "\"Bob\"");
  EXPECT_EQ(holder()->getNode_(0)->getField_("age"), "\"3\"");
  EXPECT_TRUE(holder()->modified);
  EXPECT_TRUE(doc()->modified);

  const int count = doc()->getHolderCount_();
  rec.inputs.push_back(tmp.str("none.csv"));
  EXPECT_EQ(run("UIOpenCSVHolder"), kResultFailed);
  EXPECT_EQ(doc()->getHolderCount_(), count);
}

TEST_F(NotebookCommandsTest, OpenedClonedRenamedAndSavedNotebooksRoundTrip) {
  const std::string source = tmp.str("Alpha.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(source, readTestData("mainwindow/notebook_alpha.mxh")));
  ASSERT_NE(form->documentSession().openHolder(source), nullptr);
  EXPECT_EQ(run("UICloneHolder"), 0);
  rec.inputs.push_back("Beta");
  EXPECT_EQ(run("UIRenameHolder"), 0);
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  form->changeCurrentHolder(book(1));
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_EQ(fileText(source), readTestData("mainwindow/notebook_alpha_saved.mxh"));
  EXPECT_EQ(fileText(tmp.str("Beta.mxh")), readTestData("mainwindow/notebook_beta_saved.mxh"));

  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc(), tmp.str("doc.mxa"), true, report));
  std::unique_ptr<MemoFile> back(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*back, tmp.str("doc.mxa"), messages), 0);
  ASSERT_EQ(back->getHolderCount_(), 3);
  MemoHolder* beta = back->getHolder_(2);
  EXPECT_EQ(beta->name(), "Beta");
  ASSERT_EQ(LoadHolder(*beta, messages), 0);
  EXPECT_EQ(beta->saveToText_(), fileText(tmp.str("Beta.mxh")));
}

TEST_F(NotebookCommandsTest, ReloadEachReadsTheLinkedFilesAgain) {
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("linked.txt"), "first\r\n"));
  MemoNode* linked = holder()->createNewNode_();
  linked->putField_("Filename", "\"" + tmp.str("linked.txt") + "\"");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("linked.txt"), "changed outside\r\n"));
  const int sum = run("UIReLoadEach");
  EXPECT_GT(sum, 0);
  EXPECT_EQ(status(), "Done:UIReLoadEach " + std::to_string(sum));
  EXPECT_EQ(linked->body().text(), "changed outside\r\n");

  // Busy or with the interface read-only, notebook commands refuse and change nothing.
  form->beginDoing_("something long");
  EXPECT_EQ(run("UIReLoadEach"), kResultFailed);
  EXPECT_EQ(run("UICloneHolder"), kResultFailed);
  form->endDoing();
  EXPECT_EQ(bookNames(), "A");
}

TEST_F(NotebookCommandsTest, ReloadAsksBeforeItDiscardsWhatWasTyped) {
  const std::string path = tmp.str("A.mxh");
  holder()->getNode_(0)->body().setText("on disk");
  form->Model2UI();
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();
  memo->setFocus();
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, QStringLiteral(" and typed"));

  // Typed but not committed: the editor is committed first, then asked about.
  rec.answers = {Answer::Cancel};
  rec.asked.clear();
  EXPECT_EQ(run("UIReloadMemoHolder"), kResultFailed);
  ASSERT_EQ(rec.asked.size(), 1u);
  EXPECT_EQ(rec.asked[0].text, path + " has unsaved changes; Reload discards them. Reload anyway?");
  EXPECT_EQ(rec.asked[0].defaultButton, Answer::Cancel);
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "on disk and typed\r\n");
  EXPECT_TRUE(holder()->modified);
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("on disk and typed"));

  rec.answers = {Answer::OK};
  EXPECT_EQ(run("UIReloadMemoHolder"), 0);
  EXPECT_EQ(status(), "Done:UIReLoadMemoHolder " + path);
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "on disk\r\n");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("on disk"));

  // Nothing changed: no question.
  holder()->modified = false;
  rec.asked.clear();
  EXPECT_EQ(run("UIReloadMemoHolder"), 0);
  EXPECT_TRUE(rec.asked.empty());
}

// Enter keeps a notebook file that could not be read whole, from the notebook's own save
// and from the question before closing.
TEST_F(NotebookCommandsTest, SavingOverADamagedNotebookFileDefaultsToNo) {
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  holder()->loadFailed = true;
  holder()->modified = true;
  rec.answers = {Answer::No};
  rec.asked.clear();
  EXPECT_EQ(run("UISaveHolderNoMSG"), kResultFailed);
  ASSERT_EQ(rec.asked.size(), 1u);
  EXPECT_NE(rec.asked[0].text.find("could not be read whole"), std::string::npos);
  EXPECT_EQ(rec.asked[0].defaultButton, Answer::No);

  doc()->modified = false;
  rec.answers = {Answer::Yes, Answer::No};  // save the notebook? yes; over the damaged file? no
  rec.asked.clear();
  EXPECT_EQ(form->documentSession().querySaveAll(), kResultFailed);
  ASSERT_EQ(rec.asked.size(), 2u);
  EXPECT_NE(rec.asked[1].text.find("could not be read whole"), std::string::npos);
  EXPECT_EQ(rec.asked[1].defaultButton, Answer::No);
  EXPECT_TRUE(holder()->modified);
}

TEST_F(NotebookCommandsTest, AfterNewANotebookIsSavedInTheCurrentFolderWithoutAQuestion) {
  const std::string before = platform::currentDir();
  ASSERT_EQ(chdir(tmp.path.c_str()), 0);
  doc()->modified = false;
  holder()->modified = false;
  EXPECT_EQ(run("UINewFile"), 0);
  rec.asked.clear();
  holder()->modified = true;
  const int r = run("UISaveHolderNoMSG");
  const bool saved = platform::fileExists(tmp.str(holder()->name() + ".mxh"));
  ASSERT_EQ(chdir(before.c_str()), 0);
  EXPECT_EQ(r, 0) << status();
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_TRUE(saved);
  EXPECT_FALSE(holder()->modified);
}

// After Save As the notebook lives in the chosen file: the document refers to it, is
// saved with that reference, and opens it again with what was typed.
TEST_F(NotebookCommandsTest, SaveAsMovesTheNotebookIntoTheChosenFile) {
  holder()->getNode_(0)->body().setText("old");
  form->Model2UI();
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  ASSERT_GT(run("UISaveFileWithoutMSG"), 0);
  // Saved as the file it lives in, it stays found after its name.
  rec.inputs.push_back(tmp.str("A.mxh"));
  EXPECT_EQ(run("UISaveHolderAsMXH"), 0);
  EXPECT_FALSE(holder()->getFlagExtra_());
  EXPECT_FALSE(doc()->modified);
  const std::string old = fileText(tmp.str("A.mxh"));
  ASSERT_TRUE(platform::makeDirs(tmp.str("other")));
  const std::string copy = tmp.str("other/copy.mxh");
  type(QStringLiteral(" new"));
  setApplicationTitle(QStringLiteral("before"));

  rec.inputs.push_back(copy);
  EXPECT_EQ(run("UISaveHolderAsMXH"), 0);
  EXPECT_EQ(holder()->getFileName_(), copy);
  EXPECT_FALSE(holder()->modified);
  EXPECT_TRUE(doc()->modified);  // it must record where the notebook is now
  EXPECT_EQ(fileText(tmp.str("A.mxh")), old);
  EXPECT_EQ(applicationTitle(), QStringLiteral("doc.mxa"));

  // Closing asks about the document, and Yes saves its reference.
  rec.answers = {Answer::Yes};
  rec.asked.clear();
  EXPECT_EQ(form->documentSession().querySaveAll(), 0);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Shall I Save a MemoFile named as \r\n" + tmp.str("doc.mxa"));

  rec.answers = {Answer::OK};  // open it again although it is open
  ASSERT_EQ(form->documentSession().openMemoFile(tmp.str("doc.mxa")), 0);
  form->changeCurrentHolder(book(0));
  EXPECT_EQ(holder()->getFileName_(), copy);
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "old new\r\n");
  EXPECT_FALSE(holder()->loadFailed);
}

// A Save As that is refused or fails leaves the notebook in the file it lived in, and
// never writes over the file of another notebook of the document.
TEST_F(NotebookCommandsTest, SaveAsRefusedOrFailedKeepsTheNotebooksFile) {
  books({"A", "B"});
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  const std::string b = fileText(tmp.str("B.mxh"));
  form->changeCurrentHolder(book(0));
  holder()->modified = true;
  doc()->modified = false;
  for (const std::string& onto : {tmp.str("B.mxh"), tmp.str("./b.MXH")}) {
    rec.inputs.push_back(onto);
    EXPECT_EQ(run("UISaveHolderAsMXH"), kResultFailed) << onto;
    EXPECT_NE(status().find("\"B\" and \"A\" would be saved to the same file " + tmp.str("B.mxh")), std::string::npos)
        << status();
  }
  EXPECT_EQ(fileText(tmp.str("B.mxh")), b);
  EXPECT_EQ(book(0)->getFileName_(), tmp.str("A.mxh"));
  EXPECT_TRUE(holder()->modified);
  EXPECT_FALSE(doc()->modified);

  // Moved once, a wrong extension or a full disk leaves it in the file it moved to.
  rec.inputs.push_back(tmp.str("c.mhz"));
  ASSERT_EQ(run("UISaveHolderAsMHZ"), 0);
  rec.inputs.push_back(tmp.str("x.txt"));
  EXPECT_EQ(run("UISaveHolderAsMXH"), kResultFailed);
  EXPECT_EQ(holder()->getFileName_(), tmp.str("c.mhz"));
  holder()->modified = true;
  doc()->modified = false;
  rec.inputs.push_back(tmp.str("d.mxh"));
  const auto previous = platform::setWriteCall(diskFull);
  const int r = run("UISaveHolderAsMXH");
  platform::setWriteCall(previous);
  EXPECT_EQ(r, kResultFailed);
  EXPECT_EQ(status().rfind("Failure: Save as Holder ", 0), 0u) << status();
  EXPECT_EQ(holder()->getFileName_(), tmp.str("c.mhz"));
  EXPECT_TRUE(holder()->modified);
  EXPECT_FALSE(doc()->modified);
  EXPECT_FALSE(platform::fileExists(tmp.str("d.mxh")));
}

// A notebook that could not be read whole, saved elsewhere, is whole in its new file:
// later saves go there without the damaged file's question.
TEST_F(NotebookCommandsTest, SaveAsTakesADamagedNotebookIntoItsNewFile) {
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  const std::string damaged = fileText(tmp.str("A.mxh"));
  holder()->loadFailed = true;
  rec.inputs.push_back(tmp.str("rescued.mxh"));
  rec.asked.clear();
  EXPECT_EQ(run("UISaveHolderAsMXH"), 0);
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_FALSE(holder()->loadFailed);

  holder()->createNewNode_()->body().setText("later");
  holder()->modified = true;
  rec.asked.clear();
  EXPECT_EQ(run("UISaveHolderNoMSG"), 0);
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_NE(fileText(tmp.str("rescued.mxh")).find("later"), std::string::npos);
  EXPECT_EQ(fileText(tmp.str("A.mxh")), damaged);
}

// Opening a notebook that is open already, from the menu or by a drop, commits what was
// typed and asks before the reload drops it; Enter keeps it.
TEST_F(NotebookCommandsTest, ReopeningAnOpenNotebookAsksBeforeDroppingWhatWasTyped) {
  const std::string path = tmp.str("Journal.mxh");
  {
    std::unique_ptr<MemoHolder> file(Create<MemoHolder>(nullptr));
    file->createNewNode_()->body().setText("on disk");
    ASSERT_GE(file->saveToFile_(path), 0);
  }
  rec.inputs.push_back(path);
  ASSERT_EQ(run("UIOpenHolder"), 0);
  holder()->modified = false;
  type(QStringLiteral(" typed"));

  rec.inputs.push_back(path);
  rec.answers = {Answer::Yes};  // reload; then Enter at the second question
  rec.asked.clear();
  EXPECT_EQ(run("UIOpenHolder"), kResultFailed);
  const auto asked = rec.messages();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("Still opened. \"JOURNAL\""), std::string::npos);
  EXPECT_EQ(asked[1], path + " has unsaved changes; Reload discards them. Reload anyway?");
  EXPECT_EQ(rec.asked.back().defaultButton, Answer::Cancel);
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "on disk typed\r\n");
  EXPECT_EQ(memo()->toPlainText(), QStringLiteral("on disk typed"));

  // Dropped on the notes list: the same questions.
  holder()->modified = false;
  holder()->getNode_(0)->body().setText("on disk");
  form->Model2UI();
  type(QStringLiteral(" again"));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  auto* list = qobject_cast<QAbstractScrollArea*>(holder()->getViewControl_());
  ASSERT_NE(list, nullptr);
  rec.answers = {Answer::Yes, Answer::Cancel};
  rec.asked.clear();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &drop);
  EXPECT_EQ(rec.messages().size(), 2u);
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "on disk again\r\n");

  // OK drops it: the file is read again.
  rec.inputs.push_back(path);
  rec.answers = {Answer::Yes, Answer::OK};
  EXPECT_EQ(run("UIOpenHolder"), 0);
  EXPECT_EQ(holder()->name(), "Journal");
  EXPECT_EQ(holder()->getNode_(0)->body().text(), "on disk\r\n");
  EXPECT_EQ(memo()->toPlainText(), QStringLiteral("on disk"));
  EXPECT_EQ(bookNames(), "A,Journal");
}

}  // namespace
}  // namespace wux

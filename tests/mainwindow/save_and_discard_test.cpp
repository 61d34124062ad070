// Saving and discarding see every editor's text, a note window's too; a notebook save asks
// what it must before anything is written; a file opened twice is one notebook.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <sys/stat.h>

#include "dialogs/NoteWindow.h"
#include "form_fixture.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/file_text.h"
#include "support/gui_input.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {
namespace {

using test::fileText;

class SaveAndDiscard : public test::NewDocumentTest {
 protected:
  SaveAndDiscard() : NewDocumentTest({2026, 12, 7, 9, 0, 0, 0}) {}
  void SetUp() override {
    NewDocumentTest::SetUp();
    form->show();
    QApplication::setActiveWindow(form.get());
  }
  std::string path(const std::string& name) { return tmp.str(name); }
  // The current note in a window of its own; then another note is selected in the main
  // window, and `text` is typed into the note window.
  void typeInNoteWindowOfAnotherNote(const QString& text) {
    ASSERT_EQ(run("UIShowFormMemoNode"), 0);
    QPlainTextEdit* own = form->findChildren<TFormMemoNode*>().back()->FrameMemoNode1()->MemoNode0();
    note("other", "other text");
    own->setFocus();
    own->moveCursor(QTextCursor::End);
    QTest::keyClicks(own, text);
  }
  void ctrlS() { QTest::keyClick(editor()->MemoNode0(), Qt::Key_S, Qt::ControlModifier); }
  // The document and its notebook written, nothing left to save.
  void saved() {
    rec.answers = {};
    holder()->modified = true;
    ctrlS();
    ASSERT_FALSE(holder()->modified) << status();
    rec.asked.clear();
  }
};

TEST_F(SaveAndDiscard, CtrlSAndTheAutoSaveWriteWhatANoteWindowHolds) {
  current()->body().setText("first");
  typeInNoteWindowOfAnotherNote(" typed there");
  ctrlS();
  EXPECT_EQ(status(), "Done: Save All Holders");
  EXPECT_NE(fileText(path("new.mxh")).find("first typed there"), std::string::npos);

  form->putAutoSaveTime_(61);
  QPlainTextEdit* own = form->findChildren<TFormMemoNode*>().back()->FrameMemoNode1()->MemoNode0();
  QTest::keyClicks(own, " and more");
  DateTime later = clock.now();
  later.minute += 2;
  clock.set(later);
  form->idleAutoSave_();
  EXPECT_NE(fileText(path("new.mxh")).find("first typed there and more"), std::string::npos);
}

TEST_F(SaveAndDiscard, ReloadAndDeleteAskAboutTextTypedInANoteWindow) {
  saved();
  const std::string book = path("new.mxh");
  typeInNoteWindowOfAnotherNote("kept");
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UIReloadMemoHolder"), kResultFailed);
  ASSERT_EQ(rec.messages().size(), 1u) << status();
  EXPECT_EQ(rec.messages()[0], book + " has unsaved changes; Reload discards them. Reload anyway?");

  // A second notebook, and the first one current again with its window's text.
  ASSERT_EQ(run("UINewHolderRight"), 0);
  ASSERT_EQ(run("UISaveHolderNoMSG"), 0);
  form->changeCurrentHolder(static_cast<MemoHolderUI*>(form->getMemoFile()->getHolder_(0)));
  saved();
  QPlainTextEdit* own = form->findChildren<TFormMemoNode*>().back()->FrameMemoNode1()->MemoNode0();
  QTest::keyClicks(own, " again");
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UIDeleteHolder"), kResultFailed);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Shall I Save Current Holder ? \r\n" + book);
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 2);
}

TEST_F(SaveAndDiscard, ADroppedArchiveAsksBeforeItReplacesTypedText) {
  saved();
  ASSERT_TRUE(platform::makeDirs(path("packed/")));
  std::string why;
  ASSERT_GT(form->getMemoFile()->saveMAZ_(path("packed/other.maz"), nullptr, &why), 0) << why;
  editor()->MemoNode0()->setFocus();
  QTest::keyClicks(editor()->MemoNode0(), "typed, not committed");
  rec.answers = {Answer::Cancel};
  test::dropFiles(editor()->MemoNode0()->viewport(), {path("packed/other.maz")});
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages()[0].rfind("Sould I Save a MemoHolder named as", 0), 0u) << rec.messages()[0];
  EXPECT_EQ(form->getMemoFile()->getFileName_(), path("noname.mxa"));
  EXPECT_NE(current()->body().text().find("typed, not committed"), std::string::npos);
}

TEST_F(SaveAndDiscard, AnArchiveNameThatIsNoFileIsNotOpenedSilently) {
  const std::string pipe = path("pipe.maz");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(form->documentSession().open_(pipe), kResultFailed);
  EXPECT_EQ(status(), "Failure: Decompress " + pipe + ": it is not a regular file, or it cannot be reached");
}

TEST_F(SaveAndDiscard, TheOtherDocumentsNotebookFileIsKeptAndAnotherChosen) {
  const std::string theirs = path("new.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(theirs, "their notebook"));
  editor()->MemoNode0()->setFocus();
  QTest::keyClicks(editor()->MemoNode0(), "mine");

  // Cancel in the dialog: nothing is written, the document file neither.
  ctrlS();
  ASSERT_EQ(rec.asked.size(), 2u);
  EXPECT_EQ(rec.asked[0].text, "A file named " + theirs +
                                   " already exists, and this document did not write it.\r\n"
                                   "Save the notebook over it? (No: choose another file)");
  EXPECT_EQ(rec.asked[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(rec.asked[0].defaultButton, Answer::No);
  EXPECT_EQ(rec.asked[1].kind, "save");
  EXPECT_EQ(status(), "Cancel: " + theirs + " is not saved; " + path("noname.mxa") + " is not written either");
  EXPECT_FALSE(platform::fileExists(path("noname.mxa")));

  // A file chosen there: the notebook lives in it, and the document names it.
  rec.asked.clear();
  rec.inputs = {path("mine.mxh")};
  ctrlS();
  ASSERT_EQ(rec.asked.size(), 2u);
  EXPECT_EQ(fileText(theirs), "their notebook");
  EXPECT_NE(fileText(path("mine.mxh")).find("mine"), std::string::npos);
  EXPECT_NE(fileText(path("noname.mxa")).find(path("mine.mxh")), std::string::npos);
  EXPECT_FALSE(holder()->modified);
}

TEST_F(SaveAndDiscard, CtrlSAsksToMakeANotebooksMissingFolder) {
  holder()->putFlagExtra_(true);
  holder()->putField_("Filename", QuoteValue(path("missing/deeper/book.mxh")));
  holder()->modified = true;
  rec.answers = {Answer::Yes};
  ctrlS();
  ASSERT_FALSE(rec.messages().empty()) << status();
  EXPECT_EQ(rec.messages()[0], "Make Directory ?  \"" + path("missing/deeper/") + "\"");
  EXPECT_TRUE(platform::fileExists(path("missing/deeper/book.mxh")));
  EXPECT_FALSE(holder()->modified);
}

TEST_F(SaveAndDiscard, AnArchiveSavedIntoAnotherFolderKeepsLinksToTheirFiles) {
  current()->putField_("Filename", "\"./real.jpg\"");
  saved();
  ASSERT_TRUE(platform::makeDirs(path("away/")));
  rec.inputs = {path("away/doc.maz")};
  ASSERT_GT(run("UISaveAsMAZ"), 0) << status();
  EXPECT_EQ(current()->getField_("Filename"), QuoteValue(path("real.jpg")));
}

TEST_F(SaveAndDiscard, ANotebooksOwnFileOpenedAgainIsTheSameNotebook) {
  saved();
  rec.inputs = {path("moved.mxh")};
  ASSERT_EQ(run("UISaveHolderAsMXH"), 0);
  rec.asked.clear();
  rec.inputs = {path("moved.mxh")};
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UIOpenHolder"), kResultFailed);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_NE(rec.messages()[0].find("Still opened. \"MOVED\""), std::string::npos) << rec.messages()[0];
  EXPECT_EQ(status(), "Cancel: Open Holder " + path("moved.mxh"));
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 1);
}

}  // namespace
}  // namespace wux

// What the saves say when a file cannot be written and what they leave alone, and the
// filter the Save As dialogs start on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QTest>

#include <chrono>
#include <filesystem>

#include "form_fixture.h"
#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/file_text.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/QtPrompter.h"

namespace wux {
namespace {

namespace fs = std::filesystem;

class SaveFailures : public test::NewDocumentTest {
 protected:
  SaveFailures() : NewDocumentTest({2026, 12, 7, 9, 0, 0, 0}) {}
  void SetUp() override {
    NewDocumentTest::SetUp();
    form->show();
    QApplication::setActiveWindow(form.get());
  }
  std::string path(const std::string& name) { return tmp.str(name); }
  // Typed into the current note, as the user types.
  void type(const QString& text) {
    editor()->MemoNode0()->setFocus();
    QTest::keyClicks(editor()->MemoNode0(), text);
  }
  void ctrlS() { QTest::keyClick(editor()->MemoNode0(), Qt::Key_S, Qt::ControlModifier); }
  // The clock moved on by whole minutes, then the window's idle moment.
  void idleAfterMinutes(int minutes) {
    DateTime t = clock.now();
    t.minute += minutes;
    clock.set(t);
    form->idleAutoSave_();
  }
  // The status is a failure naming each of `parts`.
  void expectFailure(std::initializer_list<std::string> parts) {
    EXPECT_TRUE(status().starts_with("Failure: ")) << status();
    for (const std::string& part : parts) EXPECT_NE(status().find(part), std::string::npos) << status();
  }
};

TEST_F(SaveFailures, AnAutoSaveThatCannotWriteSaysWhichNotebookAndWhy) {
  form->putAutoSaveTime_(61);
  const std::string book = holder()->getFileName_();
  ASSERT_EQ(book, path("new.mxh"));
  type("typed");
  fs::create_directory(book);
  idleAfterMinutes(2);
  expectFailure({"Save Auto", "cannot write " + book + ": is a directory"});
  EXPECT_TRUE(holder()->modified);

  // Then a file another document left there: the auto-save asks nobody and leaves it.
  fs::remove(book);
  ASSERT_TRUE(platform::writeFileAtomic(book, "their notebook"));
  idleAfterMinutes(2);
  expectFailure({book + " already exists, and this document did not write it"});
  EXPECT_EQ(test::fileText(book), "their notebook");
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_TRUE(holder()->modified);

  // Once the way is clear the next interval writes it.
  fs::remove(book);
  idleAfterMinutes(2);
  EXPECT_EQ(status(), "20261207 09:06:00 Done Save Auto.");
  EXPECT_NE(test::fileText(book).find("typed"), std::string::npos);
  EXPECT_FALSE(holder()->modified);
}

TEST_F(SaveFailures, CtrlSEndsWithFailureWhenAStepFailedAndAsksAboutAFileItNeverWrote) {
  // A notebook file of another document: Enter answers the question No, and the dialog
  // for another file is cancelled.
  const std::string book = path("new.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(book, "their notebook"));
  type("typed");
  ctrlS();
  ASSERT_EQ(rec.asked.size(), 2u);
  EXPECT_EQ(rec.asked[0].defaultButton, Answer::No);
  EXPECT_EQ(test::fileText(book), "their notebook");
  EXPECT_TRUE(status().starts_with("Cancel: " + book)) << status();

  // The document file cannot be written: the notebook still is (Yes), and the status
  // says the document failed.
  const std::string document = path("doc.mxa");
  form->getMemoFile()->putFileName_(document);
  form->getMemoFile()->modified = true;
  fs::create_directory(document);
  rec.answers = {Answer::Yes};
  ctrlS();
  expectFailure({document});
  EXPECT_NE(test::fileText(book).find("typed"), std::string::npos);
  EXPECT_FALSE(holder()->modified);
  EXPECT_TRUE(form->getMemoFile()->modified);

  // Both fail: the status names both.
  type(" more");
  fs::remove(book);
  fs::create_directory(book);
  ctrlS();
  expectFailure({document, "Save All Holders: cannot write " + book});
  EXPECT_TRUE(holder()->modified);
}

// An archive opened, a note edited and saved (into the unpacked files), the archive opened
// again: the edit is newer than the archive and Enter keeps it.
TEST_F(SaveFailures, ReopeningAnArchiveKeepsFilesNewerThanIt) {
  const std::string maz = path("arch.maz");
  const std::string brace = path("Brace.mxh");
  {
    std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
    platform::makeDirs(path("src"));
    d->putFileName_(path("src/arch.mxa"));
    MemoHolder* h = d->addNewHolder_(-1);
    std::string actual;
    h->putName_("Brace", actual);
    h->loaded = true;
    MemoNode* n = h->newNode_();
    n->body().setText("archived");
    h->addNode_(n, "note");
    SaveReport report;
    ASSERT_TRUE(SaveDocumentAndHolders(*d, path("src/arch.mxa"), false, report));
    ASSERT_GT(d->saveMAZ_(maz), 0);
  }
  rec.inputs = {maz};
  ASSERT_EQ(run("UIOpenMemoFile"), 0);
  ASSERT_EQ(current()->body()[0], "archived");
  type(" edited");
  ctrlS();
  ASSERT_NE(test::fileText(brace).find("edited"), std::string::npos);
  fs::last_write_time(maz, fs::last_write_time(brace) - std::chrono::hours(1));

  rec.asked.clear();
  rec.inputs = {maz};
  run("UIOpenMemoFile");
  const std::string question = brace + " is newer than the archive. Overwrite it with the archive's older copy?";
  auto asked = std::find_if(rec.asked.begin(), rec.asked.end(), [&](const auto& e) { return e.text == question; });
  ASSERT_NE(asked, rec.asked.end());
  EXPECT_EQ(asked->defaultButton, Answer::Cancel);
  EXPECT_NE(test::fileText(brace).find("edited"), std::string::npos);
  EXPECT_NE(current()->body()[0].find("edited"), std::string::npos);
}

// Through the program's own file dialog: the filter it starts on.
TEST_F(SaveFailures, SaveAsMazStartsOnTheMazFilter) {
  QtPrompter dialogs(form.get());
  ScopedPrompter useDialogs(&dialogs);
  auto shownFilter = [&](const std::string& command) {
    QString shown;
    test::whenModal<QFileDialog>([&shown](QFileDialog* d) { shown = d->selectedNameFilter(); });
    run(command);
    return shown.toStdString();
  };
  EXPECT_TRUE(shownFilter("UISaveAsMAZ").starts_with("MAZ files"));
  EXPECT_TRUE(shownFilter("UISaveAsMXA").starts_with("MXA files"));
  EXPECT_TRUE(shownFilter("UIOpenMemoFile").starts_with("MXA files"));
}

}  // namespace
}  // namespace wux

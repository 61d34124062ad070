// Closing the main window: never while an operation runs (the close stops it, and the
// window stays for the usual questions afterwards), and once accepted, with every note
// window's text in the saved notebook and every window the main window owns gone.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "dialogs/ExportWindows.h"
#include "dialogs/NoteWindow.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/qtext.h"

namespace wux {
namespace {

class ClosingTest : public test::NewDocumentTest {
 protected:
  ClosingTest() : NewDocumentTest({2026, 12, 7, 10, 0, 0, 0}) {}
  void SetUp() override {
    NewDocumentTest::SetUp();
    form->getMemoFile()->putFileName_(tmp.str("doc.mxa"));
    form->show();
  }

  struct SeenDuring { bool closed = true, busy = false; std::string status; std::size_t questions = 0; };
  // Runs `command` with unsaved work and the window closed (by the exit command, as
  // Ctrl+Q does) from inside its event processing.
  SeenDuring closeDuring(const std::function<void()>& command) {
    holder()->modified = true;
    rec.asked.clear();
    SeenDuring seen;
    QTimer::singleShot(0, [&] {
      seen.busy = form->doing();
      run("UIClose");
      seen.closed = !form->isVisible();
      seen.status = status();
      seen.questions = rec.messages().size();
    });
    command();
    return seen;
  }
  void expectStoppedAndAskedAfterwards(const SeenDuring& seen, const std::string& activity) {
    EXPECT_TRUE(seen.busy) << activity;
    EXPECT_FALSE(seen.closed) << activity;
    EXPECT_EQ(seen.questions, 0u) << activity;
    EXPECT_EQ(seen.status, "Break: stopping " + activity + ". Close again when it has ended.");
    EXPECT_FALSE(form->doing()) << activity;
    // The operation's own reports do not hide it once the operation has stopped.
    EXPECT_EQ(status(), seen.status) << activity;
    EXPECT_TRUE(holder()->modified) << activity;
    // Once it has ended, closing asks as ever; Cancel keeps the window.
    rec.asked.clear();
    rec.answers = {Answer::Cancel};
    run("UIClose");
    EXPECT_TRUE(form->isVisible()) << activity;
    ASSERT_EQ(rec.messages().size(), 1u) << activity;
    EXPECT_NE(rec.messages()[0].find("Save a MemoHolder"), std::string::npos) << rec.messages()[0];
    rec.asked.clear();
  }
};

TEST_F(ClosingTest, ACloseWhileAnOperationRunsStopsItAndTheWindowStays) {
  // The Check Holder listing lets events through between folders.
  for (const char* sub : {"a", "b", "c"}) ASSERT_TRUE(platform::makeDirs(tmp.str(sub)));
  SeenDuring seen = closeDuring([&] { run("checkHolderFiles"); });
  expectStoppedAndAskedAfterwards(seen, "checkHolderFiles");

  // A script that runs while the window holds an operation: the close is the
  // operation's Break, which stops the script too.
  QPlainTextEdit* memo = editor()->MemoNode0();
  memo->setFocus();
  memo->setPlainText(QStringLiteral("while 1 do ProcessMessages"));
  memo->selectAll();
  QTimer::singleShot(0, [&] { form->beginDoing_("Scripted"); });
  seen = closeDuring([&] { run("UIEval"); });
  EXPECT_TRUE(form->doing());
  form->endDoing();
  expectStoppedAndAskedAfterwards(seen, "Scripted");
}

TEST_F(ClosingTest, ExitCommitsEveryNoteWindowAndClosesEveryOwnedWindow) {
  MemoNodeUI* a = current();
  std::string actual;
  a->putName_("A", actual);
  a->body().setText("a text");
  EXPECT_EQ(run("UIShowFormMemoNode"), 0);
  TFormMemoNode* noteWindow = form->findChildren<TFormMemoNode*>().back();
  QPointer<TFormMemoNode> alive(noteWindow);
  MemoNodeUI* b = note("B", "b text");
  ASSERT_EQ(current(), b);
  QPlainTextEdit* aEditor = noteWindow->FrameMemoNode1()->MemoNode0();
  aEditor->moveCursor(QTextCursor::End);
  QTest::keyClicks(aEditor, QStringLiteral(" typed there"));
  EXPECT_EQ(run("UIShowFormLog"), 0);
  EXPECT_EQ(run("UIShowFileList"), 0);
  TFormLog* log = form->getFormLog();
  TFormFileList* files = form->findChild<TFormFileList*>();
  ASSERT_TRUE(log->isVisible());
  ASSERT_TRUE(files && files->isVisible());

  QSignalSpy ended(form.get(), &TFormMainBase0007::closedForGood);
  rec.answers = {Answer::YesToAll};
  run("UIClose");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ended.count(), 1);
  std::string saved;
  ASSERT_TRUE(platform::readFile(holder()->getFileName_(), saved));
  EXPECT_NE(saved.find("a text typed there"), std::string::npos) << saved;
  EXPECT_FALSE(log->isVisible());
  EXPECT_FALSE(files->isVisible());
  EXPECT_TRUE(!alive || !alive->isVisible());
}

}  // namespace
}  // namespace wux

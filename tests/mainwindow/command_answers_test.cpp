// What commands answer and report where a user or a script reads it: a command note
// without a command line runs the file it was saved to, a launcher that cannot start a
// file is an error, a missing link is warned about in the status line, and the text
// commands and host routines answer what scripts were always told.
#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>

#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "model/records/MemoNode.h"
#include "platform/launcher.h"
#include "views/FrameMemoNode.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {
namespace {

namespace fs = std::filesystem;

class CommandAnswersTest : public test::NewDocumentTest {
 protected:
  CommandAnswersTest() : NewDocumentTest({2026, 12, 7, 10, 0, 0, 0}) {}
  // Executes the current note into a child note: the result, and the child's text.
  int execute(std::string& output) {
    MemoNodeUI* executed = current();
    const int result = run("UINewChildExecuted");
    output = current() != executed ? current()->body().join("|") : "(no child)";
    return result;
  }
  static void makeExecutable(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_exec, fs::perm_options::add);
  }

  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scopedLauncher{&launcher};
};

TEST_F(CommandAnswersTest, ACommandNoteWithoutCommandLineRunsItsSavedFile) {
  std::string out;
  // A shell script, saved without the executable bit, runs through the shell in its
  // own folder whatever the process's folder is.
  note("run.sh", "echo ran in $(basename \"$PWD\")", {"Filename=\"./run.sh\""});
  EXPECT_EQ(execute(out), 0);
  EXPECT_EQ(out, "ran in " + tmp.path.filename().string());
  EXPECT_TRUE(launcher.calls.empty());

  // A file with the executable bit runs by itself.
  std::ofstream(tmp.path / "prog") << "";
  makeExecutable(tmp.path / "prog");
  note("prog", "echo direct", {"Filename=\"./prog\""});
  EXPECT_EQ(execute(out), 0);
  EXPECT_EQ(out, "direct");

  // Anything else goes to the desktop's opener, by its full name, with no output.
  note("notes.txt", "plain", {"Filename=\"./notes.txt\""});
  EXPECT_EQ(execute(out), 0);
  EXPECT_EQ(out, "");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "open");
  EXPECT_EQ(launcher.calls[0].target, tmp.str("notes.txt"));

  // What cannot be started answers -1 and says so, and why, in the child.
  launcher.result = false;
  note("other.txt", "plain", {"Filename=\"./other.txt\""});
  EXPECT_EQ(execute(out), -1);
  EXPECT_EQ(out, "Failure: could not open " + tmp.str("other.txt") + ": " + launcher.reason +
                     "|Failure: New Child Executed");
  std::ofstream(tmp.path / "badprog") << "";
  makeExecutable(tmp.path / "badprog");
  note("badprog", "#!/nonexistent/wux-interpreter\n", {"Filename=\"./badprog\""});
  EXPECT_EQ(execute(out), -1);
  EXPECT_NE(out.find("Failure: New Child Executed"), std::string::npos) << out;
}

TEST_F(CommandAnswersTest, NoteFileCommandsReportWhatWentWrong) {
  // The launcher cannot start the saved file.
  launcher.result = false;
  note("doc.txt", "x", {"Filename=\"./doc.txt\""});
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  EXPECT_EQ(status(), "ERROR: ShellExecute on ExecuteNode1Click.");
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back(), "ERROR: ShellExecute on ExecuteNode1Click.");

  // A link to a file that is not there: warned in the status line, not only the log.
  launcher.result = true;
  note("link", "", {"Link=\"" + tmp.str("missing.txt") + "\""});
  EXPECT_EQ(run("UIExplorerLinkMemoNode"), 0);
  EXPECT_EQ(status(), "WARRNING: File not exists on Local. " + tmp.str("missing.txt"));
}

TEST_F(CommandAnswersTest, TextCommandsAndHostRoutinesAnswerWhatScriptsExpect) {
  note("n", "");
  QPlainTextEdit* memo = editor()->MemoNode0();
  memo->setFocus();
  memo->setPlainText(QStringLiteral("a\nb\nc"));
  memo->selectAll();
  EXPECT_EQ(run("UISetNumberSEL_", {"%d:"}), 0);
  EXPECT_EQ(status(), "Done: UISetNumberSEL_ Format=%d: Count Of Line=3");
  EXPECT_EQ(fromQ(memo->toPlainText()), "1:a\n2:b\n3:c");
  EXPECT_EQ(run("UIVersion2SEL"), -1);

  // With no current note there is nothing to add to, and that is no error.
  memo->setPlainText(QStringLiteral("Print(IntToStr(UIAddMemo_('x')) + ',' + IntToStr(UIAddComment_('y')))"));
  memo->selectAll();
  form->setCurrentNode(nullptr);
  run("UIEval");
  const StringList log = form->getFormLog()->lines();
  ASSERT_GT(log.count(), 0);
  EXPECT_EQ(log[log.count() - 1], "0,0");
}

}  // namespace
}  // namespace wux

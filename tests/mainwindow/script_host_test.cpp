// Scripts run from the main window: Execute of script and command notes into child
// notes, Eval of the editor's text, the host routines on notes, Pause and Break, and the
// note editor while a script walks the notes.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <fstream>

#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/textconv.h"
#include "support/linked_notes.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

namespace fs = std::filesystem;

class ScriptHostTest : public test::NewDocumentTest {
 protected:
  ScriptHostTest() : NewDocumentTest({2026, 12, 7, 3, 0, 0, 0}) {}
  // Evaluates `text` as the editor's selection in the current note.
  int eval(const std::string& text) {
    QPlainTextEdit* memo = editor()->MemoNode0();
    memo->setFocus();
    memo->setPlainText(toQ(text));
    memo->selectAll();
    return run("UIEval");
  }
  std::string lastLog() {
    const auto l = logLines();
    return l.empty() ? std::string() : l.back();
  }
  MemoNode* noteNamed(const std::string& name) { return holder()->findNodeByName_(name); }
  // Runs `fn` from the event loop once `pp` waits in Pause.
  void whenPaused(const std::function<TPoorPascal*()>& pp, std::function<void()> fn) {
    QTimer::singleShot(1, [this, pp, fn] {
      if (TPoorPascal* p = pp(); p && p->Paused())
        fn();
      else
        whenPaused(pp, fn);
    });
  }

  // Makes a script that would never end a failure instead of a hung test.
  void breakIfHung() {
    QTimer::singleShot(10000, form.get(), [this] {
      hung = true;
      run("UIBreak");
    });
  }

  bool hung = false;
};

TEST_F(ScriptHostTest, ExecuteRunsAScriptNoteIntoAChildAndRefusesWhatItCannotRun) {
  // A host routine the window does not know reports the host's own text.
  form->scriptHost().PP1().DeclarePrototype.add("procedure Nope;Index 9;");
  note("nope.ppa", "Nope", {"Filename=\"nope.ppa\""});
  EXPECT_EQ(run("UINewChildExecuted"), -1);
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back(), sj("ユーザー定義手続き/関数の内部エラーです。"));

  MemoNodeUI* s = note("s.ppa", "PrintBuf(PPAID);\r\nPrintBuf2(PPAID,'own');\r\nPrintBuf2('nosuch','first')",
                       {"Filename=\"s.ppa\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  MemoNodeUI* child = form->getCurrentNode();
  ASSERT_NE(child, s);
  EXPECT_EQ(child->body().join("|"), "PPA00|own|first");
  EXPECT_EQ(status(), "Done: New Child Executed : " + child->name());
  EXPECT_EQ(child->getField_("ParentNodeID"), s->getField_("UID"));
  EXPECT_TRUE(holder()->modified);

  // Assigning to the runner's name is an error the user sees; the child says so.
  form->changeCurrentNode_(s);
  editor()->MemoNode0()->setPlainText("PPAID := 'y'");
  EXPECT_EQ(run("UINewChildExecuted"), -1);
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back(), sj("読取専用オブジェクトには代入できません[PPAID]"));
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "Trap ERROR UINewChildExecuted");

  const int notes = holder()->getNodeCount_();
  note("bin", "x", {"Content-Transfer-Encoding=\"binary\"", "Filename=\"b.ppa\""});
  EXPECT_EQ(run("UINewChildExecuted"), -105);
  EXPECT_EQ(status(), "Stop: Current MemoNode is binary.");
  note("blank.ppa", "  \r\n", {"Filename=\"blank.ppa\""});
  EXPECT_EQ(run("UINewChildExecuted"), -104);
  EXPECT_EQ(status(), "Abort: No script ");
  EXPECT_EQ(holder()->getNodeCount_(), notes + 2);  // no child for either

  form->setUIReadOnly_(true);
  EXPECT_EQ(run("UINewChildExecuted"), -108);
  EXPECT_EQ(status(), "UI ReadOnly");
}

TEST_F(ScriptHostTest, ANoteScriptThatDeletesItsOwnNoteGivesAChildWithoutParent) {
  note("del.ppa", "UIDeleteMemoNode", {"Filename=\"del.ppa\"", "UID=\"u1\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  MemoNodeUI* child = form->getCurrentNode();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(noteNamed("del.ppa"), nullptr);
  EXPECT_EQ(child->getIndexField_("ParentNodeID"), -1);
}

TEST_F(ScriptHostTest, EvalLogsAndReportsAndTheDefineListGrowsWithTheFirstRun) {
  note("a", "");
  EXPECT_EQ(run("UIFunctionList2Sel"), 27);
  EXPECT_EQ(eval("Print('one'); PrintBuf('two'); Print(string_getS1('x  y z') + string_getSX('x  y z'))"), -1);
  EXPECT_EQ(status(), "Done: Eval");
  const auto l = logLines();
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(l.end() - 3, l.end()), (std::vector<std::string>{"one", "two", "xy z"}));
  EXPECT_EQ(eval("Print("), -1);
  EXPECT_EQ(status(), "ERROR: Eval");
  editor()->MemoNode0()->setPlainText("");
  EXPECT_EQ(run("UIFunctionList2Sel"), 83);
  const std::string listed = fromQ(editor()->MemoNode0()->toPlainText());
  EXPECT_NE(listed.find("PRINTBUF2"), std::string::npos);
  EXPECT_NE(listed.find("UIMNGETFIELD3"), std::string::npos);
  EXPECT_EQ(eval("Print(IntToStr(IsDefine('')) + FloatToStr(Sqrt(2.25)))"), -1);
  EXPECT_EQ(lastLog(), "-11.5");
}

// Why a script failed reaches the log in the interpreter's words; the status stays short.
TEST_F(ScriptHostTest, AFailedEvalLogsTheInterpretersMessage) {
  note("a", "");
  EXPECT_EQ(eval("x := 1;"), -1);
  EXPECT_EQ(status(), "ERROR: Eval");
  EXPECT_EQ(lastLog(), "ERROR: Eval: " + sj("文法エラーです[x]"));
  // Eval Memo, from its menu item, runs the editor's whole text.
  editor()->MemoNode0()->setPlainText(toQ("Print('ran');\r\nPrint(IntToStr(1 div 0))"));
  for (QAction* top : form->menuBar()->actions())
    if (top->menu() && top->menu()->title() == "[MemoNode]") top->menu()->actions().back()->trigger();
  EXPECT_EQ(status(), "ERROR: Eval");
  const auto l = logLines();
  EXPECT_EQ(std::vector<std::string>(l.end() - 2, l.end()), (std::vector<std::string>{"ran", "ERROR: Eval: Division by zero"}));
}

// A document a script hands to the desktop that the desktop does not take: the script
// gets its code, and the window's log says why.
TEST_F(ScriptHostTest, AShellOpenThatFailsSaysWhyInTheWindow) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scoped{&launcher};
  launcher.result = false;
  note("a", "");
  EXPECT_EQ(eval("Print(IntToStr(Shell('/tmp/x.txt', '')))"), -1);
  const auto l = logLines();
  ASSERT_GE(l.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(l.end() - 2, l.end()),
            (std::vector<std::string>{"could not open /tmp/x.txt: " + launcher.reason, "2"}));
}

// While a script waits for a program without limit, the window goes on handling its
// events, and its Break button stops the script; the program itself runs on.
TEST_F(ScriptHostTest, ExecWaitingKeepsTheWindowAliveAndBreakStopsTheScript) {
  note("a", "");
  test::TempDir dir;
  const std::string done = dir.str("done");
  bool ticked = false;
  QTimer::singleShot(100, form.get(), [&] {
    ticked = true;
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BreakBtn")), Qt::LeftButton);
  });
  breakIfHung();
  EXPECT_EQ(eval("Exec('sh', '-c \"sleep 1; echo x > " + done + "\"', -1); Print('after')"), -1);
  EXPECT_FALSE(hung);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(status(), "ERROR: Eval");
  EXPECT_EQ(lastLog(), "ERROR: Eval: " + sj("実行を中断しました"));
  EXPECT_FALSE(platform::fileExists(done)) << "the script waited for the program to end";
  EXPECT_FALSE(form->scriptHost().PP1().IsRunning());
  for (int i = 0; i < 500 && !platform::fileExists(done); ++i) QTest::qWait(20);
  EXPECT_TRUE(platform::fileExists(done));
}

TEST_F(ScriptHostTest, NoteRoutinesReadAndChangeNamedNotesAndRespectReadOnly) {
  MemoNodeUI* one = note("one", "l1\r\nl2", {"K=\"v\""});
  one->ensureComment().add("c1");
  MemoNodeUI* two = note("two", "t1");
  EXPECT_EQ(eval("Print(IntToStr(UIMNMemoCount2('', 'one')) + IntToStr(UIMNCommentCount2('', 'one')) + "
                 "IntToStr(UIMNFieldsCount2('', 'one')) + IntToStr(UIMNMemoCount2('', 'none')));"
                 "Print(UIMNMemoStrings3('', 'one', 1) + '/' + UIMNMemoStrings3('', 'one', 5) + '/' +"
                 " UIMNCommentStrings3('', 'one', 0) + '/' + UIMNFieldsStrings3('', 'one', 0) + '/' +"
                 " UIMNGetField3('', 'one', 'K') + '/' + UIMNGetField3('', 'one', 'none'));"
                 "Print(IntToStr(UIMNAddMemo3('', 'one', 'l3')) + IntToStr(UIMNAddComment3('', 'one', 'c2')) +"
                 " IntToStr(UIMNPutField4('', 'one', 'K2', 'raw')) + IntToStr(UIMNPutField4('', 'one', 'a=b', 'x')) +"
                 " IntToStr(UIMNAddMemo3('', 'two', 'mine')))"),
            -1);
  EXPECT_EQ(status(), "Done: Eval");
  const auto l = logLines();
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[l.size() - 3], "211-1");
  // The eval's own text was the current note's body when the script ran.
  EXPECT_EQ(l[l.size() - 2], "l2//c1/K=\"v\"/\"v\"/");
  EXPECT_EQ(l[l.size() - 1], "321-12");
  EXPECT_EQ(one->body().join("|"), "l1|l2|l3");
  EXPECT_EQ(one->getField_("K2"), "raw");
  EXPECT_EQ(one->getIndexField_("a"), -1);
  // The current note's new line is in the editor too, and stays after a commit.
  EXPECT_NE(fromQ(editor()->MemoNode0()->toPlainText()).find("mine"), std::string::npos);
  form->UI2Model();
  EXPECT_EQ(two->body()[two->body().count() - 1], "mine");

  // A removed field stays removed when the editor is committed afterwards.
  two->putField_("F", "\"f\"");
  form->Model2UI();
  eval("Print(UIRemoveField_('F')); Print(UIGetField_('K'))");
  form->UI2Model();
  EXPECT_EQ(two->getIndexField_("F"), -1);
  EXPECT_EQ(logLines().back(), "");

  one->putReadOnly_(true);
  eval("Print(IntToStr(UIMNAddMemo3('', 'one', 'no')))");
  EXPECT_EQ(logLines().back(), "-1");
  EXPECT_EQ(one->body().count(), 3);
}

TEST_F(ScriptHostTest, NoteRoutinesReadALinkedNotesFileAndSayWhenItCannotBeRead) {
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("far.txt"), "l1\nl2\n"));
  test::addLinkedNote(*holder(), "far", tmp.str("far.txt"));
  test::addLinkedNote(*holder(), "gone", tmp.str("gone.txt"));
  note("script", "");
  eval("Print(UIMNMemoStrings3('', 'far', 1) + IntToStr(UIMNMemoCount2('', 'far')) +"
       " IntToStr(UIMNMemoCount2('', 'gone')))");
  const auto l = logLines();
  EXPECT_EQ(l.back(), "l22-1");
  EXPECT_NE(std::find(l.begin(), l.end(), "Failure: gone: not found: " + tmp.str("gone.txt")), l.end());
}

TEST_F(ScriptHostTest, AWalkingScriptShowsTheReachedNoteAndCommandTextLandsInTheRightNote) {
  MemoNodeUI* a = note("a", "body a");
  MemoNodeUI* b = note("b", "body b");
  note("c", "body c");
  form->changeCurrentNode_(a);
  // Walk to b, let a command write into the editor there, then walk on.
  eval("UIChangeCurrentNodeNext; UIPPADefine2SEL; UIChangeCurrentNodeLast; Print(UIGetName)");
  EXPECT_EQ(lastLog(), "c");
  EXPECT_NE(b->body().text().find("PRINTBUF2"), std::string::npos);
  EXPECT_EQ(a->body().text().find("PRINTBUF2"), std::string::npos);
  EXPECT_EQ(form->getCurrentNode()->name(), "c");
  EXPECT_EQ(fromQ(editor()->MemoNode0()->toPlainText()), "body c");
  EXPECT_FALSE(editor()->readOnly());
  EXPECT_EQ(eval("Print(IntToStr(UIChangeCurrentNodeName_('none'))); Print(UIGetName)"), -1);
  EXPECT_EQ(lastLog(), "c");
}

TEST_F(ScriptHostTest, CommandNotesRunTheirCommandLineAndAFileNameIsNeverShellText) {
  std::ofstream(tmp.path / "hello.txt") << "hello\n";
  note("c.txt", "x", {"Filename=\"" + tmp.str("c.txt") + "\"", "CommandLine=\"cat %Src%\"",
                      "Src=\"" + tmp.str("hello.txt") + "\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "hello");
  EXPECT_EQ(status(), "Done: New Child Executed : " + form->getCurrentNode()->name());

  // Without a command line the file goes to the desktop's opener: recorded, not started.
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scoped{&launcher};
  note("inject", "x", {"Filename=\"" + tmp.str("x;touch pwned") + "\""});
  run("UINewChildExecuted");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].target, tmp.str("x;touch pwned"));
  EXPECT_FALSE(fs::exists(tmp.path / "pwned"));
  EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
}

TEST_F(ScriptHostTest, ShellScriptNotesRunWithoutACommandLine) {
  // Every line of a ".sh" note reaches the shell without a CR: a command, a path.
  note("run.sh", "cd /\r\npwd", {"Filename=\"" + tmp.str("run.sh") + "\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "/");
  note("one.sh", "pwd", {"Filename=\"" + tmp.str("one.sh") + "\"", "CurrentDir=\"/\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "/");

  // An executable file that names its interpreter on its first line.
  const std::string tool = tmp.str("tool");
  std::ofstream(tool) << "old\n";
  fs::permissions(tool, fs::perms::owner_all);
  note("tool", "#!/bin/sh\r\necho ran", {"Filename=\"" + tool + "\""});
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "ran");
  EXPECT_EQ(status(), "Done: New Child Executed : " + form->getCurrentNode()->name());
}

TEST_F(ScriptHostTest, ExecuteStopsAPausedEvalAndBreakStopsAnEndlessLoop) {
  note("p.ppa", "Print('x')", {"Filename=\"p.ppa\""});
  int executed = 0;
  whenPaused([this] { return &form->scriptHost().PP1(); }, [&] { executed = run("UINewChildExecuted"); });
  eval("Pause");
  EXPECT_EQ(executed, -1);
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back(), sj("実行を中断しました"));
  EXPECT_FALSE(form->scriptHost().PP1().IsRunning());

  QTimer::singleShot(50, [&] { run("UIBreak"); });
  EXPECT_EQ(eval("while 1 do ProcessMessages"), -1);
  EXPECT_EQ(status(), "ERROR: Eval");
  EXPECT_FALSE(form->isBreak());  // the next script is not broken by it
  EXPECT_EQ(eval("Print('after')"), -1);
  EXPECT_EQ(lastLog(), "after");
}

TEST_F(ScriptHostTest, RefusedNamesAndFieldsChangeNothingAndOnlyMadeNotesAreRenamed) {
  MemoNodeUI* a = note("a", "");
  eval("Print(IntToStr(UIPutName_(' ')) + IntToStr(UIPutField__('k=x', 'v')) + IntToStr(UIPutField__('a\"b', 'v')) +"
       " IntToStr(UIPutField__('k', 'one' + #13#10 + 'two')) + IntToStr(UINewNode_('')))");
  EXPECT_EQ(lastLog(), "-1-1-1-1-1");
  // An index beyond 32 bits stops the script instead of being cut.
  EXPECT_EQ(eval("Print(UIMNMemoStrings3('', 'a', 4294967296))"), -1);
  EXPECT_EQ(status(), "ERROR: Eval");
  EXPECT_EQ(a->name(), "a");
  EXPECT_EQ(a->fieldList() ? a->fieldList()->count() : 0, 0);

  // A name is written trimmed, as the windows write it.
  eval("UINewChild_('kid'); UIPutField__('k ', 'v'); UIChangeCurrentNodeName_('a'); UIPutName_('b')");
  MemoNode* kid = noteNamed("kid");
  ASSERT_NE(kid, nullptr);
  EXPECT_EQ(kid->getField_("k"), "\"v\"");
  EXPECT_EQ(kid->getField_("ParentNodeID"), a->getField_("UID"));
  EXPECT_EQ(a->name(), "b");

  // A read-only notebook makes no note, so the current one keeps its name.
  holder()->putReadOnly_(true);
  eval("UINewNode_('other')");
  EXPECT_EQ(form->getCurrentNode()->name(), "b");
  EXPECT_EQ(noteNamed("other"), nullptr);
}

TEST_F(ScriptHostTest, ANotebookNamedByAScriptIsReadFromItsFileFirst) {
  std::string actual;
  holder()->putName_("first", actual);
  note("x", "");
  MemoHolderUI* other = form->newHolder_(-1);
  ASSERT_NE(other, nullptr);
  other->putName_("second", actual);
  auto* far = static_cast<MemoNodeUI*>(other->newNode_());
  other->addNode_(far, "far");
  far->body().setText("1\r\n2\r\n3");
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*form->getMemoFile(), tmp.str("two.mxa"), false, report));
  ASSERT_EQ(form->documentSession().openMemoFile(tmp.str("two.mxa")), 0);
  ASSERT_EQ(form->getCurrentHolder()->name(), "first");
  eval("Print(IntToStr(UIMNMemoCount2('second', 'far')) + UIMNMemoStrings3('second', 'far', 2) +"
       " IntToStr(UIMNMemoCount2('nosuch', 'far')))");
  EXPECT_EQ(lastLog(), "33-1");
}

TEST_F(ScriptHostTest, RunnersShareTheFirstOutputAndBreakReachesAPausedRunner) {
  note("wait.ppa", "PrintBuf('waiting'); Pause", {"Filename=\"wait.ppa\""});
  MemoNodeUI* second = note("second.ppa", "PrintBuf('to first'); PrintBuf2(PPAID, 'own')", {"Filename=\"2.ppa\""});
  MemoNodeUI* waiting = noteNamed("wait.ppa") ? static_cast<MemoNodeUI*>(noteNamed("wait.ppa")) : nullptr;
  ASSERT_NE(waiting, nullptr);
  form->changeCurrentNode_(waiting);
  std::string secondChild, evalStatus;
  auto firstRunner = [this]() -> TPoorPascal* {
    return form->scriptHost().runnerCount() ? &form->scriptHost().runner(0).interpreter() : nullptr;
  };
  whenPaused(firstRunner, [&] {
    // The window's interpreter is free: Eval runs while the runner waits.
    evalStatus = (eval("Print(PPAID)"), status());
    form->changeCurrentNode_(second);
    run("UINewChildExecuted");
    secondChild = form->getCurrentNode()->body().join("|");
    run("UIBreak");
  });
  EXPECT_EQ(run("UINewChildExecuted"), -1);
  EXPECT_EQ(evalStatus, "ERROR: Eval");  // PP1 has no PPAID
  EXPECT_EQ(secondChild, "own");
  EXPECT_EQ(form->scriptHost().runnerCount(), 2);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "waiting|to first|Trap ERROR UINewChildExecuted");
  EXPECT_EQ(rec.messages().back(), sj("実行を中断しました"));
}

TEST_F(ScriptHostTest, ClosingTheWindowStopsEveryScriptAndClosesOnceTheyHaveReturned) {
  form->show();
  breakIfHung();
  note("wait.ppa", "PrintBuf('waiting'); Pause; PrintBuf('resumed')", {"Filename=\"wait.ppa\""});
  holder()->modified = true;
  auto firstRunner = [this]() -> TPoorPascal* {
    return form->scriptHost().runnerCount() ? &form->scriptHost().runner(0).interpreter() : nullptr;
  };
  bool keptAfterCancel = false;
  std::size_t questions = 0;
  // A runner waits in Pause; above it the window's interpreter loops for ever, and the
  // window is closed from inside that loop: first cancelled, then for good.
  whenPaused(firstRunner, [&] {
    QTimer::singleShot(5, [&] {
      rec.answers.push_back(Answer::Cancel);
      run("UIClose");
      keptAfterCancel = form->isVisible() && form->scriptHost().PP1().IsRunning() && firstRunner()->Paused();
      rec.answers.push_back(Answer::No);
      run("UIClose");
      questions = rec.messages().size();
    });
    eval("while 1 do ProcessMessages");
  });
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_FALSE(hung);
  EXPECT_TRUE(keptAfterCancel);
  EXPECT_EQ(questions, 2u);
  // The paused script ended where it waited; its output still became a child.
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "waiting");
  EXPECT_FALSE(form->scriptHost().PP1().IsRunning());
  // No script starts while the window goes.
  eval("Print('late')");
  EXPECT_NE(lastLog(), "late");
  // The application's loop ends with its last window, as the program's does.
  QTimer::singleShot(10000, form.get(), [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(rec.messages().size(), questions);  // the close asked nothing more
  EXPECT_TRUE(fs::is_empty(tmp.path));           // and saved nothing
}

TEST_F(ScriptHostTest, ANewDocumentUnderARunningScriptAndForceExitLeaveNothingDangling) {
  note("one", "l1");
  holder()->modified = true;
  // The script holds note "one" through its look-ups until a new document frees it.
  QTimer::singleShot(0, [&] {
    rec.answers.push_back(Answer::No);
    run("UINewFile");
  });
  eval("while UIMNMemoCount2('', 'one') > 0 do ProcessMessages;"
       "Print(IntToStr(UIMNAddMemo3('', 'one', 'x')) + '/' + IntToStr(UIAddMemo_('y')))");
  EXPECT_EQ(lastLog(), "-1/0");
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "y");
  EXPECT_EQ(fromQ(editor()->MemoNode0()->toPlainText()), "y");

  // A command note whose note goes while Execute lets the events through.
  note("c.txt", "x", {"Filename=\"" + tmp.str("c.txt") + "\"", "CommandLine=\"echo %Word%\"", "Word=\"hi\""});
  holder()->modified = true;
  QTimer::singleShot(0, [&] {
    rec.answers.push_back(Answer::No);
    run("UINewFile");
  });
  EXPECT_EQ(run("UINewChildExecuted"), 0);
  EXPECT_EQ(form->getCurrentNode()->body().join("|"), "hi");

  // Force exit from inside an endless script: the application's loop ends.
  breakIfHung();
  bool stopped = false;
  QTimer::singleShot(0, [&] {
    eval("while 1 do ProcessMessages");
    stopped = true;
  });
  QTimer::singleShot(10, [&] { run("UITerminateForce"); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(stopped);
  EXPECT_FALSE(hung);
  EXPECT_EQ(rec.messages().back(), "Sould I terminate Force ?   Do not save all MemoHolder.");
}

#ifdef WUX_DRIVERS_DIR
std::string runDriver(const std::string& args) {
  std::string out;
  FILE* p = popen((std::string(WUX_DRIVERS_DIR) + "/wux-exec " + args + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

TEST_F(ScriptHostTest, TheDriverExecutesOrEvaluatesANoteAndSavesTheDocument) {
  std::string actual;
  holder()->putName_("nb", actual);
  note("s.ppa", "Print('hi');\r\nPrintBuf('out')", {"Filename=\"s.ppa\""});
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*form->getMemoFile(), tmp.str("doc.mxa"), false, report));

  std::string out = runDriver("'" + tmp.str("doc.mxa") + "' nb s.ppa '" + tmp.str("out.mxa") + "'");
  EXPECT_NE(out.find("New Child Executed PPA\nhi\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Done: New Child Executed : "), std::string::npos) << out;
  ASSERT_EQ(form->documentSession().openMemoFile(tmp.str("out.mxa")), 0);
  auto* nb = dynamic_cast<MemoHolderUI*>(form->getMemoFile()->findHolderByName_("nb"));
  ASSERT_NE(nb, nullptr);
  form->changeCurrentHolder(nb);
  ASSERT_EQ(nb->getNodeCount_(), 3);  // the first note, the script and its child
  MemoNode* script = nb->findNodeByName_("s.ppa");
  ASSERT_NE(script, nullptr);
  int children = 0;
  for (int i = 0; i < nb->getNodeCount_(); ++i)
    if (nb->getNode_(i)->getField_("ParentNodeID") == script->getField_("UID")) {
      ++children;
      EXPECT_EQ(nb->getNode_(i)->body().join("|"), "out");
    }
  EXPECT_EQ(children, 1);

  out = runDriver("'" + tmp.str("doc.mxa") + "' nb s.ppa '" + tmp.str("out2.mxa") + "' Eval");
  EXPECT_NE(out.find("hi\nout\nDone: Eval"), std::string::npos) << out;
  EXPECT_TRUE(fs::exists(tmp.path / "out2.mxa"));

  // Into another folder: its notebooks go beside it, and the input is left as it was.
  std::string input, moved;
  ASSERT_TRUE(platform::readFile(tmp.str("nb.mxh"), input));
  fs::create_directories(tmp.path / "elsewhere");
  runDriver("'" + tmp.str("doc.mxa") + "' nb s.ppa '" + tmp.str("elsewhere/moved.mxa") + "'");
  std::string after;
  ASSERT_TRUE(platform::readFile(tmp.str("nb.mxh"), after));
  EXPECT_EQ(after, input);
  ASSERT_TRUE(platform::readFile(tmp.str("elsewhere/nb.mxh"), moved));
  EXPECT_NE(moved.find("out<BR/>"), std::string::npos) << moved;
  EXPECT_TRUE(fs::exists(tmp.path / "elsewhere" / "moved.mxa"));
}
#endif

}  // namespace
}  // namespace wux

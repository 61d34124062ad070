#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QTest>

#include "form_fixture.h"
#include "mainwindow/AgentAPLWUX.h"
#include "mainwindow/Application.h"
#include "mainwindow/FormLog.h"
#include "platform/launcher.h"

namespace wux {
namespace {

// The auto-save writes through this hook, so the test can count the writes.
class CountingForm : public TFormMainWUXX13c {
 public:
  CountingForm() = default;
  int saves = 0;
  std::string cursorTrace;

  void mouseCursor(int c) override {
    cursorTrace += std::to_string(c) + ";";
    TFormMainWUXX13c::mouseCursor(c);
  }

 protected:
  bool saveModifiedHolders_(std::string*) override {
    ++saves;
    return true;
  }
};

class MainWindowTest : public test::FormTest<CountingForm> {
 protected:
  MainWindowTest() : FormTest({2024, 5, 6, 7, 8, 9, 123}) {}
};

TEST_F(MainWindowTest, BusyProtocolAndStatusTexts) {
  EXPECT_FALSE(form->isDoing_());
  EXPECT_EQ(status(), "");  // asking while idle leaves the status alone

  form->beginDoing_("Export");
  EXPECT_EQ(status(), "*Doing* Export");
  EXPECT_TRUE(form->isDoing_());
  EXPECT_EQ(status(), "Now Doing 2024/05/06 07:08:09:123");
  form->endDoing_("  ");
  EXPECT_EQ(status(), "Done: Export");
  EXPECT_FALSE(form->doing());

  form->beginDoing_("Scan");
  form->UIBreak();
  EXPECT_EQ(status(), "Break 20240506 070809");
  EXPECT_TRUE(form->isBreak());
  // The loop that was asked to stop still runs until it ends itself: nothing else may
  // start meanwhile, the idle auto-save included.
  EXPECT_TRUE(form->doing());
  EXPECT_TRUE(form->isDoing_());
  form->putAutoSaveTime_(61);
  clock.set({2024, 5, 6, 8, 8, 9, 123});
  form->idleAutoSave_();
  EXPECT_EQ(form->saves, 0);
  form->endDoing();
  EXPECT_FALSE(form->doing());
  EXPECT_EQ(status(), "Break: Scan");
  EXPECT_FALSE(form->isBreak());

  form->beginDoing_("x");
  form->endDoing_("  Failure: x  ");
  EXPECT_EQ(status(), "Failure: x");
  EXPECT_EQ(form->cursorTrace, "-11;0;-11;0;-11;0;");
}

TEST_F(MainWindowTest, TheAgentAnswersOnlyTheInternetQuestion) {
  AgentAPLAbs* agent = form->getAgent();
  std::string value = "held";
  QTest::mouseClick(form->uiInternetBox(), Qt::LeftButton);
  agent->query_("getUIInternet", value);
  EXPECT_EQ(value, "false");
  QTest::mouseClick(form->uiInternetBox(), Qt::LeftButton);
  agent->query_("getUIInternet", value);
  EXPECT_EQ(value, "true");
  // Any other key empties what the caller held, as does an agent without its window.
  agent->query_("getSomethingElse", value);
  EXPECT_EQ(value, "");
  AgentAPLWUX alone(nullptr);
  value = "held";
  alone.query_("getUIInternet", value);
  EXPECT_EQ(value, "");
}

TEST_F(MainWindowTest, BusyScopeEndsOnEveryPath) {
  try {
    BusyScope busy(*form, "Grep");
    EXPECT_TRUE(form->doing());
    throw std::runtime_error("boom");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(form->doing());
  EXPECT_EQ(status(), "Done: Grep");
  {
    BusyScope busy(*form, "Grep");
    busy.finish("Cancel: Grep");
  }
  EXPECT_EQ(status(), "Cancel: Grep");
}

TEST_F(MainWindowTest, LogLinesAndBaseMessages) {
  form->addLogTS("hello");
  StringList lines;
  lines.setText("a\nb");
  EXPECT_EQ(form->addLogStrings(lines), 2);
  const StringList log = form->getFormLog()->lines();
  ASSERT_EQ(log.count(), 3);
  EXPECT_EQ(log[0], "20240506 070809 :hello");
  EXPECT_EQ(log[2], "b");

  EXPECT_EQ(form->stillNotImplemented("TFormMainScript.UIHardCopy"), -101);
  EXPECT_EQ(form->shouldNotExecute("TFormMainBase0007.addLog_"), -100);
  ASSERT_EQ(rec.messages().size(), 2u);
  EXPECT_EQ(rec.messages()[0], "Still not implemented. TFormMainScript.UIHardCopy");
  EXPECT_EQ(rec.messages()[1], "Should not execute. TFormMainBase0007.addLog_");

  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_TRUE(form->checkUIReadOnly());
  EXPECT_EQ(status(), "UI ReadOnly");
}

TEST_F(MainWindowTest, IdleAutoSaveTiming) {
  const DateTime start = clock.now();
  auto at = [&](int seconds, int msec) {
    DateTime t = start;
    t.second += seconds % 60;
    t.minute += seconds / 60;
    t.msec = msec;
    clock.set(t);
    form->idleAutoSave_();
  };
  form->putAutoSaveTime_(60);
  at(3600, 0);
  EXPECT_EQ(form->saves, 0);  // 60 or less never saves

  // More than 61 whole seconds since the start, then since the last save.
  form->putAutoSaveTime_(61);
  const struct { int seconds, msec, saves; } steps[] = {{61, 999, 0}, {62, 122, 0}, {62, 123, 1}, {62, 500, 1}};
  for (const auto& s : steps) {
    at(s.seconds, s.msec);
    EXPECT_EQ(form->saves, s.saves) << s.seconds << "." << s.msec;
  }
  EXPECT_EQ(status(), "20240506 07:09:11 Done Save Auto.");

  form->beginDoing_("Busy");
  at(200, 0);
  EXPECT_EQ(form->saves, 1);  // never while an operation runs
  form->endDoing();

  QDialog dialog(form.get());
  dialog.setModal(true);
  dialog.show();
  form->idleAutoSave_();
  EXPECT_EQ(form->saves, 1);  // nor under a modal dialog
  dialog.hide();
  form->idleAutoSave_();
  EXPECT_EQ(form->saves, 2);
}

TEST_F(MainWindowTest, ShellAndLeavingCommands) {
  platform::RecordingLauncher shell;
  platform::ScopedLauncher useShell(&shell);
  EXPECT_EQ(form->UIExplorerExeDir(), 0);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].verb, "explore");
  EXPECT_EQ(status(), "Done: Explorer " + form->getExeDir());
  EXPECT_EQ(form->ShellExecuteOpen_("https://example.org/"), 0);
  EXPECT_EQ(shell.calls[1].target, "https://example.org/");
  EXPECT_EQ(status(), "ShellExecuteOpen_ https://example.org/");

  rec.answers.push_back(Answer::No);
  EXPECT_EQ(form->UITerminateForce("  "), 0);
  EXPECT_EQ(rec.messages().back(), "Sould I terminate Force ?   Do not save all MemoHolder.");
  EXPECT_EQ(rec.kindOf("Sould I terminate Force ?   Do not save all MemoHolder."), BoxKind::Warning);
  rec.answers.push_back(Answer::No);
  form->UITerminateForce(" Really? ");
  EXPECT_EQ(rec.messages().back(), "Really?");
}

TEST(ApplicationTest, ExceptionsStopAtTheEventLoop) {
  test::qtApp();
  std::string shown;
  Application::setErrorSink([&](const std::string& s) { shown = s; });
  EXPECT_FALSE(runGuarded([] { throw std::runtime_error("index out of range"); }));
  EXPECT_EQ(shown, "index out of range");
  EXPECT_TRUE(runGuarded([] {}));
  Application::setErrorSink(nullptr);
}

}  // namespace
}  // namespace wux

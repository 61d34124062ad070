// The first layer's own commands: the shell, the printer and leaving the program.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "mainwindow/FormMainBase0007.h"
#include "mainwindow/commands/Commands.h"
#include "model/Prompter.h"
#include "model/text/sjis.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "views/MemoFileUI.h"
#include "views/qtext.h"

namespace wux {

WindowRect TFormMainBase0007::getWindowRect() {
  const QRect frame = frameGeometry();
  return {frame.x(), frame.y(), width(), height()};
}

void TFormMainBase0007::setWindowRect(const WindowRect& r) {
  move(r.left, r.top);
  resize(r.width, r.height);
}

WindowRect TFormMainBase0007::getScreenRect() {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return {};
  const QRect g = s->geometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

std::string TFormMainBase0007::getExeDir() { return fromQ(QCoreApplication::applicationDirPath()) + "/"; }

int TFormMainBase0007::ShellExecuteOpen_(const std::string& name) {
  const std::string unopened = platform::openWithDesktop(name);
  messageDoing_(unopened.empty() ? "ShellExecuteOpen_ " + name : "Failure: " + unopened);
  return 0;
}

namespace {
int explore(TFormMainBase0007& w, const std::string& dir) {
  const std::string unexplored = platform::openWithDesktop(dir, true);
  w.messageDoing_(unexplored.empty() ? "Done: Explorer " + dir : "Failure: " + unexplored);
  return 0;
}
}  // namespace

int TFormMainBase0007::UIExplorerCurrentDir() { return explore(*this, platform::currentDir()); }
int TFormMainBase0007::UIExplorerFileDir() { return explore(*this, aFile_ ? aFile_->getFileDir_() : ""); }
int TFormMainBase0007::UIExplorerExeDir() { return explore(*this, getExeDir()); }

int TFormMainBase0007::UIHardCopy() {
  std::string why;
  if (!printWindowPicture(*this, *this, why)) {
    messageDoing_("Failure: UIHardCopy. " + why);
    return kResultFailed;
  }
  messageDoing_("Done: UIHardCopy. Check Printer.");
  return 0;
}

int TFormMainBase0007::UIClose() {
  session_.clearYesToAll();
  close();
  return 0;
}

int TFormMainBase0007::UICloseAllYes() { return UIClose(); }

void TFormMainBase0007::registerWindowCommands() {
  CommandTable& t = commands_;
  t.add("UIBreak", [this] { return UIBreak(); });
  t.add("UIExplorerCurrentDir", [this] { return UIExplorerCurrentDir(); });
  t.add("UIExplorerFileDir", [this] { return UIExplorerFileDir(); });
  t.add("UIExplorerExeDir", [this] { return UIExplorerExeDir(); });
  t.add("UIHardCopy", [this] { return UIHardCopy(); });
  t.add("UIClose", [this] { return UIClose(); });
  t.add("UICloseAllYes", [this] { return UICloseAllYes(); });
  t.add("UITerminateForce", [this](const CommandArgs& a) { return UITerminateForce(commandArg(a, 0)); });
  t.add("showFormLog", [this] { return showFormLog(); });
  // The tool bar's "Done": ends the busy state at once and says when.
  t.add("endDoing", [this] {
    endDoing_("Done: " + nowString());
    return 0;
  });
}

int TFormMainBase0007::UITerminateForce(const std::string& text) {
  std::string question = sjis::trim(text);
  if (question.empty()) question = "Sould I terminate Force ?   Do not save all MemoHolder.";
  if (prompter().messageBox(question, "", Buttons::YesNo, BoxKind::Warning) != Answer::Yes) return 0;
  // Straight out of the event loop: no close question, nothing saved. The loop can
  // only end once what runs inside it has returned.
  stopRunning_();
  QCoreApplication::exit(0);
  return 0;
}

}  // namespace wux

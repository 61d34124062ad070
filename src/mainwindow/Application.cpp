#include "mainwindow/Application.h"

#include <exception>

#include "model/Prompter.h"
#include "platform/textconv.h"
#include "views/QtPrompter.h"
#include "views/WheelGuard.h"

namespace wux {

namespace {
std::function<void(const std::string&)>& errorSink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}
}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // Qt takes the window class of every window from this name, read once at the first
  // window: it stays the program's own. The title boxes show is kept apart.
  setApplicationName(QStringLiteral("wux"));
  setApplicationTitle(QStringLiteral("wux.exe"));
  installWheelGuard(*this);
}

void Application::setErrorSink(std::function<void(const std::string&)> sink) { errorSink() = std::move(sink); }

void Application::showException(const std::string& what) {
  if (errorSink()) {
    errorSink()(what);
    return;
  }
  // Exception texts of our own code are Shift_JIS like every other text; the ones of the
  // standard library are ASCII, which is the same in both.
  prompter().messageBox(what.empty() ? std::string("Unknown error.") : what, "wux.exe", Buttons::OK);
}

bool runGuarded(const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (const std::exception& e) {
    Application::showException(e.what());
  } catch (...) {
    Application::showException("Unknown exception.");
  }
  return false;
}

bool Application::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  runGuarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace wux

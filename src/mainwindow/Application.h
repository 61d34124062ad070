#pragma once
// The application object. No exception ever crosses Qt's event loop: one that escapes
// an event handler (a command, a timer, a click) is shown in the error box and the
// program goes on; the window and the document stay as the failed command left them.
#include <QApplication>
#include <functional>
#include <string>

namespace wux {

class Application : public QApplication {
  Q_OBJECT
 public:
  Application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // The error box. Replaceable so that tests can see what it would show.
  static void showException(const std::string& what);
  static void setErrorSink(std::function<void(const std::string&)> sink);
};

// Runs `body`, showing any exception it throws in the error box; false when one did.
bool runGuarded(const std::function<void()>& body);

}  // namespace wux

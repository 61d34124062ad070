#pragma once
// One QApplication for a whole GUI test program, made on first use on the offscreen
// platform (the test main sets QT_QPA_PLATFORM before anything else runs).
#include <QApplication>

namespace wux::test {

inline QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "wux_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace wux::test

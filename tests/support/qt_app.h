#pragma once
// One QApplication for a whole GUI test program, made on first use on the offscreen
// platform (the test main sets QT_QPA_PLATFORM before anything else runs).
#include <QApplication>
#include <cstdlib>

namespace wux::test {

inline QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "wux_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The same for a program without the test main (the benchmarks): offscreen unless the
// caller chose a platform.
inline QApplication& offscreenApp() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return qtApp();
}

}  // namespace wux::test

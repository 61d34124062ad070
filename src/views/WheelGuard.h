#pragma once
// Combo, spin and date boxes change with the mouse wheel only when they already have
// the keyboard focus (given by a click or Tab). Without it the wheel passes the box by
// and goes to the window around it, which scrolls where it can: a user scrolling a
// page must not change the settings that move under the pointer.
class QApplication;

namespace wux {

// Installs the guard on the whole application, before its windows are made; once.
void installWheelGuard(QApplication& app);

}  // namespace wux

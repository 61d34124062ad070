#pragma once
// Prints a window's picture scaled to fit the page, proportions kept.
#include <string>

class QWidget;

namespace wux {

// False when no printer could be started (the reason in `why`).
bool hardCopy(QWidget* window, std::string* why = nullptr);

}  // namespace wux

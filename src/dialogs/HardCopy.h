#pragma once
// Prints a window's picture scaled to fit the page, proportions kept.
#include <string>

class QPrinter;
class QWidget;

namespace wux {

// Prints the picture of `window` on `printer`. False when the job could not start (the
// reason in `why`); the owner of the printer knows what to tell the user then.
bool hardCopy(QWidget* window, QPrinter& printer, std::string* why = nullptr);

}  // namespace wux

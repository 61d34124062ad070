#include "mainwindow/FormMainWUXX13c.h"

namespace wux {
}  // namespace wux

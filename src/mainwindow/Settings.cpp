#include "mainwindow/Settings.h"

namespace wux {

void registerSettingsCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

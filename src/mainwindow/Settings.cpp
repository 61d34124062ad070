#include "mainwindow/Settings.h"

namespace wux {

void registerSettingsCommands(CommandTable& table, MainWindowApi& w, Settings& settings) {
  (void)table;
  (void)w;
  (void)settings;
}

}  // namespace wux

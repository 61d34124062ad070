// Commands of the settings file, fonts and the batch-edit window.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerSettingsCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

// Commands of the files a note names.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerNoteFileCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

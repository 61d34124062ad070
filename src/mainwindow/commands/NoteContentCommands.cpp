// Commands of new child notes made from a note's content.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerNoteContentCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

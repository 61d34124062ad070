// Commands of opening, reading and saving the document and its archive.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerDocumentSessionCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

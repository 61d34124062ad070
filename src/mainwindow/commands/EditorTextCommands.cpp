// Commands of text operations on the editor's selection and listings into it.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerEditorTextCommands(CommandTable& table, MainWindowApi& w) {
  (void)table;
  (void)w;
}

}  // namespace wux

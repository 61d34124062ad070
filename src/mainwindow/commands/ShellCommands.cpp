// Commands of the shell and the windows the main window opens.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerShellCommands(CommandTable& table, MainWindowApi& w) {
  // Only the Japanese manual on the Internet exists.
  for (const char* name : {"UIShowManualInternetE", "UIShowManualLocal"})
    table.add(name, noticeOnly(w, std::string("TFormMainScript.") + name, kResultFailed),
              CommandTable::State::LeftOpen);
}

}  // namespace wux

// Commands of HTML export and printing.
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerExportPrintCommands(CommandTable& table, MainWindowApi& w) {
  // These two pages are announced in the menus but never made.
  for (const char* name : {"UINewChildHTMLCalendar", "UINewChildHTMLPage"})
    table.add(name, noticeOnly(w, std::string("TFormMainScript.") + name, kResultFailed),
              CommandTable::State::LeftOpen);
}

}  // namespace wux

// The commands that show the mail windows.
#include <memory>

#include "dialogs/MailWindows.h"
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerMailCommands(CommandTable& table, MainWindowApi& w) {
  // The two windows live as long as the table: made on first use, then shown again.
  auto windows = std::make_shared<MailWindows>();
  table.add("UISendMail", Needs::notBusy(kResultFailed),
            std::function<int()>([&w, windows] { return UISendMail(w, *windows); }));
  table.add("UIReciveMail", std::function<int()>([&w, windows] { return UIReciveMail(w, *windows); }));
}

}  // namespace wux

// The commands that show the search, replace, grep and field scan windows.
#include <memory>

#include "dialogs/SearchWindows.h"
#include "mainwindow/commands/Commands.h"

namespace wux {

void registerSearchCommands(CommandTable& table, MainWindowApi& w) {
  // The windows live as long as the table: made on first use, then shown again.
  auto windows = std::make_shared<SearchWindows>();
  table.add("UIShowScanMemoHolders", std::function<int()>([&w, windows] { return UIShowScanMemoHolders(w, *windows); }));
  table.add("UIShowScanMemoHolder", std::function<int()>([&w, windows] { return UIShowScanMemoHolder(w, *windows); }));
  table.add("UIShowScanMemoNode", std::function<int()>([&w, windows] { return UIShowScanMemoNode(w, *windows); }));
  table.add("UIShowScanField", std::function<int()>([&w, windows] { return UIShowScanField(w, *windows); }));
}

}  // namespace wux

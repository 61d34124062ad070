// The commands that show the search, replace, grep and field scan windows.
#include <memory>

#include "dialogs/SearchWindows.h"
#include "mainwindow/commands/Commands.h"

namespace wux {

namespace {

// The search windows record their keywords in the document session's history.
class SessionKeywords : public KeywordHistory {
 public:
  explicit SessionKeywords(DocumentSession& session) : session_(session) {}
  void add(const std::string& keyword) override { session_.addSearchKeyword_(keyword); }
  const StringList& items() const override { return session_.searchKeywords(); }

 private:
  DocumentSession& session_;
};

// The windows and the history they share, living as long as the table.
struct SearchWindowsKept {
  explicit SearchWindowsKept(DocumentSession& session) : keywords(session) { windows.setKeywordHistory(&keywords); }
  SessionKeywords keywords;
  SearchWindows windows;
};

}  // namespace

void registerSearchCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session,
                            BatchEditor batchEditor) {
  // Made on first use, then shown again.
  auto kept = std::make_shared<SearchWindowsKept>(session);
  kept->windows.setBatchEditor(std::move(batchEditor));
  table.add("UIShowScanMemoHolders", std::function<int()>([&w, kept] { return UIShowScanMemoHolders(w, kept->windows); }));
  table.add("UIShowScanMemoHolder", std::function<int()>([&w, kept] { return UIShowScanMemoHolder(w, kept->windows); }));
  table.add("UIShowScanMemoNode", std::function<int()>([&w, kept] { return UIShowScanMemoNode(w, kept->windows); }));
  table.add("UIShowScanField", std::function<int()>([&w, kept] { return UIShowScanField(w, kept->windows); }));
}

}  // namespace wux

// The commands that open the windows around the main window: note windows, the log, the
// web browser window, the content view and the tag viewer (the about box is the
// settings layer's).
#include <QWidget>
#include <memory>

#include "dialogs/NoteWindow.h"
#include "dialogs/ToolWindows.h"
#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteFileCommands.h"
#include "model/records/MemoNode.h"

namespace wux {

void registerToolWindowCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session) {
  auto* parent = dynamic_cast<QWidget*>(&w);
  // The single-instance windows live as long as the table: made on first use.
  auto windows = std::make_shared<ToolWindows>(parent);
  setNoteWindowActions({[](MainWindowApi& reportTo, MemoNode& node) { return saveAsMemoNode_(reportTo, &node); },
                        [](MainWindowApi& reportTo, MemoNode& node) { return printNoteReported(reportTo, node); },
                        [](MainWindowApi& main, QWidget& window, std::string& why) {
                          return printWindowPicture(main, window, why);
                        }});
  table.add("UIShowFormMemoNode", Needs::notBusy(kResultFailed),
            std::function<int()>([&w, parent] { return showNoteWindow(w, parent, false); }));
  table.add("UIShowFormMemoNodeReadOnly", Needs::notBusy(kResultFailed),
            std::function<int()>([&w, parent] { return showNoteWindow(w, parent, true); }));
  table.add("UIShowFormWB", std::function<int()>([&w, windows] { return showFormWB(w, *windows); }));
  table.add("UIMemo2WB", [&w, windows](const CommandArgs& a) {
    return showFormWBURL(w, *windows, commandArg(a, 0), commandArg(a, 1));
  });
  table.add("UIMemoNode2WB", std::function<int()>([&w, windows] { return memoNode2WB(w, *windows); }));
  table.add("UISelected2WB", std::function<int()>([&w, windows] { return selected2WB(w, *windows); }));
  table.add("UIShowFormContentView", std::function<int()>([&w, windows] { return showContentView(w, *windows); }));
  table.add("UIShowFormTAGLParser", std::function<int()>([&w, windows, &session] {
              return showTagViewer(w, *windows, [&session] {
                return ParsedFile{session.lastParsedFile(), session.lastParsedText(), session.lastParsedMessages()};
              });
            }));
}

}  // namespace wux

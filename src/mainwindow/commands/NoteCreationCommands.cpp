// Commands of note creation and deletion.
#include "mainwindow/commands/Commands.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

// A new text note in the current notebook, made by the notebook's own rule.
int newMemoNode(MainWindowApi& w) {
  if (w.isDoing_() || w.checkUIReadOnly() || w.checkHolderReadOnly()) return kResultFailed;
  BusyScope busy(w, "New MemoNode");
  w.UI2Model();
  MemoHolderUI* holder = w.getCurrentHolder();
  auto* node = holder ? static_cast<MemoNodeUI*>(holder->createNewNode_()) : nullptr;
  if (!node) {
    busy.finish("Failure: New MemoNode");
    return 0;
  }
  w.changeCurrentNode_(node);
  holder->modified = true;
  w.refreshHolderView();
  return 0;
}

}  // namespace

void registerNoteCreationCommands(CommandTable& table, MainWindowApi& w) {
  table.add("newMemoNode_", [&w] { return newMemoNode(w); });
  table.add("UINewChilds", noticeOnly(w, "TFormMainScript.UINewChilds", kResultNotImplemented),
            CommandTable::State::LeftOpen);
}

}  // namespace wux

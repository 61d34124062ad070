// Commands of notebook files and the notebook list.
#include "mainwindow/commands/Commands.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {

namespace {

// A new notebook at `index` (-1: at the end) with one note, made current.
int newHolderAt(MainWindowApi& w, const std::string& title, int index, bool namedEnd) {
  if (w.isDoing_() || w.checkUIReadOnly()) return kResultFailed;
  BusyScope busy(w, title);
  MemoHolderUI* holder = w.newHolder_(index);
  if (!holder) {
    busy.finish("Failure: " + title);
    return kResultFailed;
  }
  holder->putCurrentNode_(holder->createNewNode_());
  w.changeCurrentHolder(holder);
  busy.finish(namedEnd ? "Done: New MemoHolder " + holder->name() : "Done: " + title);
  return 0;
}

int currentHolderIndex(MainWindowApi& w) {
  MemoFileUI* file = w.getMemoFile();
  const int at = file ? file->getCurrentHolderIndex_() : -1;
  return at < 0 ? -1 : at + 1;
}

}  // namespace

void registerNotebookCommands(CommandTable& table, MainWindowApi& w) {
  table.add("UINewHolder", [&w] { return newHolderAt(w, "New MemoHolder", currentHolderIndex(w), true); });
  table.add("UINewHolderLeft", [&w] { return newHolderAt(w, "New Holder Left", 0, false); });
  table.add("UINewHolderRight", [&w] { return newHolderAt(w, "New Holder Right", -1, false); });
}

}  // namespace wux

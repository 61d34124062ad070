// Commands of note order, transfer between notebooks and the tree.
#include "mainwindow/commands/Commands.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

// The previous or next note in view order becomes current; answers its index.
int stepCurrentNode(MainWindowApi& w, bool forward) {
  if (w.isDoing_()) return kResultFailed;
  const std::string which = forward ? "Next" : "Pre";
  MemoHolderUI* holder = w.getCurrentHolder();
  MemoNodeUI* current = w.getCurrentNode();
  MemoNode* next = nullptr;
  if (holder && current) next = forward ? holder->getNextNode_(current) : holder->getPrevNode_(current);
  if (!next) {
    w.messageDoing_("Not Change CurrentNode " + which + ".");
    return kResultFailed;
  }
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(next));
  w.messageDoing_("Done: Change CurrentNode " + which + ": " + next->name());
  return holder->indexOfNode_(next);
}

}  // namespace

void registerNoteOrderCommands(CommandTable& table, MainWindowApi& w) {
  table.add("UIChangeCurrentNodePre", [&w] { return stepCurrentNode(w, false); });
  table.add("UIChangeCurrentNodeNext", [&w] { return stepCurrentNode(w, true); });
}

}  // namespace wux

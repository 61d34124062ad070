// Commands of the menu items that do more than call one command.
#include "mainwindow/commands/Commands.h"
#include "views/FrameMemoNode.h"

namespace wux {

namespace {

// "Comment" and "Field" of the [Form] menu: a shown box is hidden, a hidden one shown.
int toggleBox(MainWindowApi& w, bool comment) {
  TFrameMemoNode* editor = w.getNodeFrame();
  if (!editor) return kResultFailed;
  if (comment)
    editor->commentShown() ? editor->hideComment_() : editor->showComment_();
  else
    editor->fieldsShown() ? editor->hideFields_() : editor->showFields_();
  return 0;
}

}  // namespace

void registerMenuCommands(CommandTable& table, MainWindowApi& w) {
  table.add("toggleCommentBox", [&w] { return toggleBox(w, true); });
  table.add("toggleFieldBox", [&w] { return toggleBox(w, false); });
}

}  // namespace wux

// The commands that show the property dialogs, the batch-edit window and the note
// editor's name dialog.
#include <QWidget>
#include <memory>

#include "dialogs/PropertyWindows.h"
#include "mainwindow/commands/Commands.h"
#include "views/FrameMemoNode.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

int UIRenameDialog(MainWindowApi& w) {
  if (w.isUIReadOnly()) {
    w.messageDoing_("UIReadOnly=\"true\"");
    return kResultFailed;
  }
  MemoNodeUI* node = w.getCurrentNode();
  TFrameMemoNode* frame = w.getNodeFrame();
  if (!node || !frame) return kResultFailed;
  if (node->isReadOnly_()) {
    w.messageDoing_("flagReadOnly=\"true\"");
    return kResultFailed;
  }
  frame->renameDialog_();
  return 0;
}

}  // namespace

BatchEditor registerPropertyCommands(CommandTable& table, MainWindowApi& w) {
  // The windows live as long as the table: made on first use, then shown again.
  auto windows = std::make_shared<PropertyWindows>(dynamic_cast<QWidget*>(&w));
  table.add("UIShowHolderPropaty", Needs::notBusy(), std::function<int()>([&w, windows] { return UIShowHolderPropaty(w, *windows); }));
  table.add("UIShowHoldersPropaty", Needs::notBusy(),
            std::function<int()>([&w, windows] { return UIShowHoldersPropaty(w, *windows); }));
  table.add("UIShowPropatyMXA2", std::function<int()>([&w, windows] { return UIShowPropatyMXA2(w, *windows); }));
  table.add("UIShowField", std::function<int()>([&w, windows] { return UIShowField(w, *windows); }));
  table.add("showFormEditSelNode", std::function<int()>([&w, windows] { return showFormEditSelNode(w, *windows); }));
  table.add("UIRenameDialog", Needs::notBusy(), std::function<int()>([&w] { return UIRenameDialog(w); }));
  TFrameMemoNode::setNameDialog(runNameDialog);
  // The search and field windows hand their notes to the same batch-edit window.
  return [&w, windows](StringList& targets) { return showFormEditSelNode(w, *windows, &targets) == 0; };
}

}  // namespace wux

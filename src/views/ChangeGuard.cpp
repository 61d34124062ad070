#include "views/ChangeGuard.h"

#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

bool holderReadOnly(MemoNode& node) {
  MemoHolder* h = node.getParentHolder_();
  return h && h->isReadOnly_();
}

void sayNoteReadOnly(MainWindowApi& w, MemoNode& node) {
  w.messageDoing_("Stop: This MemoNode is Read Only. (" + node.name() + ")");
}

}  // namespace

bool ownFlagReadOnly(MemoNode& node) { return node.MemoBasic::isReadOnly_(); }

std::optional<int> refusalOf(MainWindowApi& w, const Needs& needs) {
  if (needs.idle && w.isDoing_()) return needs.idleCode;
  if (needs.ui && w.checkUIReadOnly()) return needs.uiCode;
  if (needs.holder && w.checkHolderReadOnly()) return needs.holderCode;
  if (needs.note) {
    MemoNode* node = w.getCurrentNode();
    if (node && ownFlagReadOnly(*node)) {
      sayNoteReadOnly(w, *node);
      return needs.noteCode;
    }
  }
  return std::nullopt;
}

bool mayChange(MainWindowApi& w, MemoNode& node) {
  return !w.isUIReadOnly() && !holderReadOnly(node) && !ownFlagReadOnly(node);
}

bool refusedToChange(MainWindowApi& w, MemoNode& node) {
  if (w.checkUIReadOnly()) return true;
  if (holderReadOnly(node)) {
    w.messageDoing_("This MemoHolder is Read Only. (" + node.getParentHolder_()->name() + ")");
    return true;
  }
  if (ownFlagReadOnly(node)) {
    sayNoteReadOnly(w, node);
    return true;
  }
  return false;
}

}  // namespace wux

#include "views/MemoNodeUI.h"

#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/MemoHolderUI.h"

namespace wux {

int MemoNodeUI::clear_() {
  MemoNode::clear_();
  noteWindow = nullptr;
  return 0;
}

MemoNode* MemoNodeUI::cloneNode_() const {
  MemoNodeUI* copy = Create<MemoNodeUI>(owner());
  copy->copyFrom_(*this);
  return copy;
}

MemoHolderUI* MemoNodeUI::holderUI() const { return dynamic_cast<MemoHolderUI*>(owner()); }

void MemoNodeUI::putParentNode_(MemoNode* parent) {
  MemoNode::putParentNode_(parent);
  MemoHolderUI* h = holderUI();
  if (!h || !parent || h->workingKind() != MemoHolderUI::Kind::Tree) return;
  NoteList& list = h->noteList();
  NoteItem* mine = list.itemOf(this);
  NoteItem* theirs = list.itemOf(parent);
  if (mine && theirs) list.moveToLastChild(mine, theirs);
}

int MemoNodeUI::getLevel_() {
  MemoHolderUI* h = holderUI();
  if (!h || h->workingKind() != MemoHolderUI::Kind::Tree) return -1;
  NoteItem* it = h->noteList().itemOf(this);
  return it ? it->level() : -1;
}

void MemoNodeUI::setMarked_(bool flag) {
  putMarked_(flag);
  if (MemoHolderUI* h = holderUI()) {
    h->modified = true;
    h->noteList().touch(h->noteList().itemOf(this));
  }
}

bool MemoNodeUI::isConfirmOverwrite_() const {
  std::string v = sjis::trim(getField_("FlagConfirmOverwrite"));
  if (v.empty()) v = "\"true\"";
  return v == "\"true\"";
}

}  // namespace wux

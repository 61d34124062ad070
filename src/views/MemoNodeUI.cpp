#include "views/MemoNodeUI.h"

#include <algorithm>

#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/MemoHolderUI.h"

namespace wux {

MemoNodeUI::~MemoNodeUI() {
  // A watcher may remove itself while told; walk a copy.
  const std::vector<NoteWatcher*> told = std::move(watchers_);
  watchers_.clear();
  for (NoteWatcher* w : told) w->noteGone_(this);
}

void MemoNodeUI::addWatcher(NoteWatcher* w) {
  if (w && std::find(watchers_.begin(), watchers_.end(), w) == watchers_.end()) watchers_.push_back(w);
}

void MemoNodeUI::removeWatcher(NoteWatcher* w) {
  watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), w), watchers_.end());
}

void WatchedNote::reset(MemoNodeUI* node) {
  if (node_ == node) return;
  if (node_) node_->removeWatcher(this);
  node_ = node;
  if (node_) node_->addWatcher(this);
}

int MemoNodeUI::clear_() {
  MemoNode::clear_();
  noteWindow = nullptr;
  return 0;
}

MemoNode* MemoNodeUI::cloneNode_() const {
  std::unique_ptr<MemoNodeUI> copy = Create<MemoNodeUI>(owner());
  copy->copyFrom_(*this);
  return copy.release();
}

MemoHolderUI* MemoNodeUI::holderUI() const { return dynamic_cast<MemoHolderUI*>(owner()); }

void MemoNodeUI::putParentNode_(MemoNode* parent) {
  MemoHolderUI* h = holderUI();
  const bool tree = h && parent && h->workingKind() == MemoHolderUI::Kind::Tree;
  NoteItem* mine = tree ? h->noteList().itemOf(this) : nullptr;
  NoteItem* theirs = tree ? h->noteList().itemOf(parent) : nullptr;
  // Under itself or its own branch the tree cannot show it, and a file that said so
  // would nest the branch differently when it is read again.
  if (mine && theirs && NoteList::isAncestorOf(mine, theirs)) return;
  MemoNode::putParentNode_(parent);
  if (mine && theirs) h->noteList().moveToLastChild(mine, theirs);
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

#pragma once
// The note class of the running program. It keeps no pointers into widgets: where it is
// shown (its tree level, its check box) is asked of its notebook's live list.
#include <QPointer>
#include <QWidget>
#include <vector>

#include "model/records/MemoNode.h"

namespace wux {

class MemoHolderUI;
class MemoNodeUI;

// A window that shows a note and must let go of it when the note is destroyed.
class NoteWatcher {
 public:
  virtual void noteGone_(MemoNodeUI* node) = 0;

 protected:
  ~NoteWatcher() = default;
};

// A reference to a note that empties itself when the note is destroyed.
class WatchedNote final : public NoteWatcher {
 public:
  WatchedNote() = default;
  ~WatchedNote() { reset(nullptr); }
  WatchedNote(const WatchedNote&) = delete;
  WatchedNote& operator=(const WatchedNote&) = delete;
  void reset(MemoNodeUI* node);
  MemoNodeUI* get() const { return node_; }
  void noteGone_(MemoNodeUI* node) override {
    if (node == node_) node_ = nullptr;
  }

 private:
  MemoNodeUI* node_ = nullptr;
};

class MemoNodeUI : public MemoNode {
 public:
  using MemoNode::MemoNode;
  ~MemoNodeUI() override;
  MemoNodeUI(const MemoNodeUI&) = delete;
  MemoNodeUI& operator=(const MemoNodeUI&) = delete;

  int clear_() override;
  MemoNode* cloneNode_() const override;
  // Links under `parent`; in a tree view the note's branch moves below the parent's
  // item, unless the parent lies inside that branch.
  void putParentNode_(MemoNode* parent) override;
  // Depth in the notebook's tree view; -1 when the notebook shows no tree.
  int getLevel_() override;

  // Marks the note and tells the views; the notebook counts as modified.
  void setMarked_(bool flag);
  bool isConfirmOverwrite_() const;

  // The separate note window that shows this note, if any (not owned).
  QPointer<QWidget> noteWindow;

  MemoHolderUI* holderUI() const;

  // Windows told when this note is destroyed (not owned; each removes itself first
  // when it goes before the note).
  void addWatcher(NoteWatcher* w);
  void removeWatcher(NoteWatcher* w);

 private:
  std::vector<NoteWatcher*> watchers_;
};

}  // namespace wux

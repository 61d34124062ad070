#pragma once
// A notebook's live note list: an ordered forest of notes that the list owns. In the
// flat kinds (check list, list) every note is a root; the tree kind nests them. Item
// order is pre-order: each parent before its children, children in sibling order,
// whether or not a branch is expanded. That order is the order shown and saved.
//
// No Qt here: the views are presentations that watch the list through ListObserver.
// Indexes in item order and each item's row among its siblings are cached and rebuilt
// in one pass after a change of structure, so lookups and switching the current note
// cost constant time however long the notebook is.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/text/StringList.h"

namespace wux {

class NoteList;

class NoteItem : public TObject {
 public:
  TObject* note() const { return note_; }
  const std::string& text() const { return text_; }
  NoteItem* parent() const { return parent_; }
  int childCount() const { return static_cast<int>(children_.size()); }
  NoteItem* child(int i) const;  // nullptr outside 0..childCount()-1
  bool hasChildren() const { return !children_.empty(); }
  // Depth below the roots; cached with the item order, so asking costs no walk up.
  int level() const;
  // Index among its siblings (roots count as siblings of each other).
  int row() const;
  bool expanded() const { return expanded_; }
  NoteList* list() const { return list_; }

 private:
  friend class NoteList;
  TObject* note_ = nullptr;
  std::unique_ptr<TObject> owned_;
  std::string text_;
  NoteItem* parent_ = nullptr;
  std::vector<std::unique_ptr<NoteItem>> children_;
  bool expanded_ = false;
  NoteList* list_ = nullptr;
  mutable int row_ = 0;
  mutable int order_ = 0;
  mutable int level_ = 0;
};

// What a view needs to hear. `structureChanged` follows every change of items or their
// places; the others are cheap per-item notices.
class ListObserver {
 public:
  virtual ~ListObserver() = default;
  virtual void structureAboutToChange() {}
  virtual void structureChanged() {}
  virtual void itemChanged(NoteItem* /*item*/) {}
  virtual void expansionChanged(NoteItem* /*item*/) {}
  // Around a run of expansion changes that belong together (Expand All, a branch opened
  // with everything below it): a view may redo its rows once at the end instead.
  virtual void expansionsAboutToChange() {}
  virtual void expansionsChanged() {}
};

class NoteList {
  friend class NoteItem;
 public:
  NoteList();
  ~NoteList();
  NoteList(const NoteList&) = delete;
  NoteList& operator=(const NoteList&) = delete;

  // ---- item order ----
  int count() const;
  NoteItem* itemAt(int i) const;  // nullptr outside 0..count()-1
  NoteItem* itemOf(const TObject* note) const;
  int indexOf(const TObject* note) const;  // -1 when absent
  int indexOfItem(const NoteItem* item) const;
  NoteItem* prevItem(const NoteItem* item) const;
  NoteItem* nextItem(const NoteItem* item) const;
  int rootCount() const { return static_cast<int>(roots_.size()); }
  NoteItem* root(int i) const;
  // Appends (text, note) of every item in item order.
  void collect(StringList& out) const;

  // ---- changes (the list takes ownership of notes it is given) ----
  NoteItem* append(std::unique_ptr<TObject> note, std::string text, NoteItem* parent = nullptr);
  // Before sibling `before` (nullptr: at the end of `parent`'s children or the roots).
  NoteItem* insertBefore(std::unique_ptr<TObject> note, std::string text, NoteItem* before);
  // Inserts as root number `row` (clamped to the end).
  NoteItem* insertRoot(std::unique_ptr<TObject> note, std::string text, int row);
  // The same for notes owned elsewhere: the item only refers to the note.
  NoteItem* appendRef(TObject* note, std::string text, NoteItem* parent = nullptr);
  NoteItem* insertBeforeRef(TObject* note, std::string text, NoteItem* before);
  NoteItem* insertRootRef(TObject* note, std::string text, int row);
  // Removes the note's item with its subtree; answers the notes removed, the note first,
  // then its subtree in item order. Notes the list owned stay alive until clear().
  std::vector<TObject*> remove(TObject* note);
  // remove() for many notes in one change and one pass over the list, however many go.
  void removeMany(const std::vector<TObject*>& notes);
  // Takes the note out of the list and hands it to the caller. The notes below it leave
  // the list too; they are kept alive (not shown, not saved) until clear() so that no
  // reference held elsewhere dangles.
  std::unique_ptr<TObject> take(TObject* note);
  // Like take(), but hands over the note followed by its subtree in item order.
  std::vector<std::unique_ptr<TObject>> takeSubtree(TObject* note);
  void clear();
  void setText(NoteItem* item, std::string text);
  void setExpanded(NoteItem* item, bool expanded);
  // Brackets many setExpanded() calls (nested brackets count as the outer one).
  void beginExpansionChanges();
  void endExpansionChanges();
  class ExpansionChanges {
   public:
    explicit ExpansionChanges(NoteList& list) : list_(list) { list_.beginExpansionChanges(); }
    ~ExpansionChanges() { list_.endExpansionChanges(); }
    ExpansionChanges(const ExpansionChanges&) = delete;
    ExpansionChanges& operator=(const ExpansionChanges&) = delete;

   private:
    NoteList& list_;
  };
  // Tells the views that something they show of the item (its mark, its icon) changed.
  void touch(NoteItem* item);

  // ---- moves (refused, returning false, when they would make a branch its own descendant) ----
  bool moveBefore(NoteItem* item, NoteItem* before);  // becomes `before`'s previous sibling
  bool moveToLastChild(NoteItem* item, NoteItem* parent);  // parent nullptr: last root
  bool moveToRoot(NoteItem* item, int row);
  static bool isAncestorOf(const NoteItem* ancestor, const NoteItem* item);

  // Orders the roots (stable) in one change.
  void sortRoots(const std::function<bool(const NoteItem*, const NoteItem*)>& less);
  // Orders the children of `parent` (nullptr: the roots) the same way.
  void sortChildren(NoteItem* parent, const std::function<bool(const NoteItem*, const NoteItem*)>& less);
  // Reverses the children of `parent` (nullptr: the roots) in one change.
  void reverseChildren(NoteItem* parent);
  // Every item becomes a root, in item order.
  void flatten();
  // Nests the roots by their notes' parent keys: an item whose parent key equals (case
  // ignored) another note's own key becomes that note's last child. Two passes: first
  // the keys of every note, then the moves in item order; a move that would make a
  // cycle is skipped. A file written in pre-order gives back its tree.
  void nestBy(const std::function<std::string(TObject*)>& ownKey,
              const std::function<std::string(TObject*)>& parentKey);

  void addObserver(ListObserver* o);
  void removeObserver(ListObserver* o);

 private:
  std::vector<std::unique_ptr<NoteItem>>& siblingsOf(NoteItem* parent);
  std::unique_ptr<NoteItem> detach(NoteItem* item);
  int rowOf(NoteItem* item);
  void attach(std::unique_ptr<NoteItem> item, NoteItem* parent, int row);
  NoteItem* makeItem(TObject* note, std::unique_ptr<TObject> owned, std::string text);
  NoteItem* place(NoteItem* item, NoteItem* parent, NoteItem* before, int rootRow);
  void forget(NoteItem* item);  // drops the item and its subtree from the note map
  void reindex() const;
  void aboutToChange();
  void changed();

  std::vector<std::unique_ptr<NoteItem>> roots_;
  std::unordered_map<const TObject*, NoteItem*> byNote_;
  std::vector<std::unique_ptr<TObject>> detached_;
  std::vector<TObject*> lastRemoved_;
  mutable std::vector<NoteItem*> index_;
  mutable bool dirty_ = false;
  bool appendedInPlace_ = false;
  std::vector<ListObserver*> observers_;
  int changeDepth_ = 0;
  int expansionDepth_ = 0;
};

// ---- tree-item routines ----

// Moves `item` to directly after `after` on `after`'s level (see the tree commands).
void MoveNodeAfter(NoteItem* item, NoteItem* after);
// Expansion changes of these come to the views as one run.
int ExpandChildren(NoteItem* item, bool recurse);
int CollapseChildren(NoteItem* item, bool recurse);
// Opens (or closes) every branch of the list.
void ExpandAll(NoteList& list, bool expand);
// Adds (text, note) of the items below `item`, in item order.
void CollectSubTree(NoteItem* item, StringList& out);
NoteItem* PrevSameLevel(NoteItem* item);
NoteItem* NextSameLevel(NoteItem* item);
void ReverseChildren(NoteItem* item);
// "0/2/1": the index of the item and of each ancestor in its parent, root first, each
// plus `offset`, each written by `format` (one integer directive) or in decimal.
std::string NodeIndexPath(const NoteItem* item, int offset, const std::string& format);

}  // namespace wux

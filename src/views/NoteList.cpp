#include "views/NoteList.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "model/errors.h"
#include "model/format.h"
#include "model/text/sjis.h"

namespace wux {


// ---- NoteItem ----

NoteItem* NoteItem::child(int i) const {
  if (i < 0 || i >= childCount()) return nullptr;
  return children_[static_cast<size_t>(i)].get();
}

int NoteItem::level() const {
  if (list_) {
    list_->reindex();
    return level_;
  }
  int n = 0;
  for (const NoteItem* p = parent_; p; p = p->parent_) ++n;
  return n;
}

int NoteItem::row() const {
  if (list_) list_->reindex();
  return row_;
}

// ---- NoteList ----

NoteList::NoteList() = default;

NoteList::~NoteList() {
  observers_.clear();
  clear();
}

void NoteList::addObserver(ListObserver* o) {
  if (o && std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void NoteList::removeObserver(ListObserver* o) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void NoteList::aboutToChange() {
  if (changeDepth_++ == 0)
    for (ListObserver* o : observers_) o->structureAboutToChange();
}

void NoteList::changed() {
  // An append at the end of a clean index kept it up to date; anything else rebuilds.
  if (!appendedInPlace_) dirty_ = true;
  appendedInPlace_ = false;
  if (--changeDepth_ == 0)
    for (ListObserver* o : observers_) o->structureChanged();
}

namespace {
// Brackets a change of structure so that nested changes notify the view once.
class Change {
 public:
  Change(std::function<void()> begin, std::function<void()> end) : end_(std::move(end)) { begin(); }
  ~Change() { end_(); }

 private:
  std::function<void()> end_;
};
}  // namespace

#define WUX_CHANGE Change change_([this] { aboutToChange(); }, [this] { changed(); })

void NoteList::reindex() const {
  if (!dirty_) return;
  index_.clear();
  // Iterative pre-order: deep trees must not exhaust the stack.
  std::vector<std::pair<const std::vector<std::unique_ptr<NoteItem>>*, size_t>> stack;
  stack.push_back({&roots_, 0});
  while (!stack.empty()) {
    const int level = static_cast<int>(stack.size()) - 1;
    auto& [vec, pos] = stack.back();
    if (pos >= vec->size()) {
      stack.pop_back();
      continue;
    }
    NoteItem* it = (*vec)[pos].get();
    it->row_ = static_cast<int>(pos);
    it->order_ = static_cast<int>(index_.size());
    it->level_ = level;
    index_.push_back(it);
    ++pos;
    if (!it->children_.empty()) stack.push_back({&it->children_, 0});
  }
  dirty_ = false;
}

int NoteList::count() const {
  reindex();
  return static_cast<int>(index_.size());
}

NoteItem* NoteList::itemAt(int i) const {
  reindex();
  if (i < 0 || i >= static_cast<int>(index_.size())) return nullptr;
  return index_[static_cast<size_t>(i)];
}

NoteItem* NoteList::itemOf(const TObject* note) const {
  if (!note) return nullptr;
  auto it = byNote_.find(note);
  return it == byNote_.end() ? nullptr : it->second;
}

int NoteList::indexOfItem(const NoteItem* item) const {
  if (!item || item->list_ != this) return -1;
  reindex();
  return item->order_;
}

int NoteList::indexOf(const TObject* note) const { return indexOfItem(itemOf(note)); }

NoteItem* NoteList::prevItem(const NoteItem* item) const {
  const int i = indexOfItem(item);
  return i > 0 ? itemAt(i - 1) : nullptr;
}

NoteItem* NoteList::nextItem(const NoteItem* item) const {
  const int i = indexOfItem(item);
  return i >= 0 ? itemAt(i + 1) : nullptr;
}

NoteItem* NoteList::root(int i) const {
  if (i < 0 || i >= rootCount()) return nullptr;
  return roots_[static_cast<size_t>(i)].get();
}

void NoteList::collect(StringList& out) const {
  reindex();
  out.reserve(out.count() + index_.size());
  for (NoteItem* it : index_) out.add(it->text_, it->note_);
}

std::vector<std::unique_ptr<NoteItem>>& NoteList::siblingsOf(NoteItem* parent) {
  return parent ? parent->children_ : roots_;
}

NoteItem* NoteList::makeItem(TObject* note, std::unique_ptr<TObject> owned, std::string text) {
  if (!note) throw Error("NoteList: no note");
  if (byNote_.count(note)) throw Error("NoteList: the note is already in the list");
  auto* item = new NoteItem;
  item->note_ = note;
  item->owned_ = std::move(owned);
  item->text_ = std::move(text);
  item->list_ = this;
  byNote_[note] = item;
  return item;
}

void NoteList::attach(std::unique_ptr<NoteItem> item, NoteItem* parent, int row) {
  dirty_ = true;
  auto& sib = siblingsOf(parent);
  item->parent_ = parent;
  if (row < 0 || row > static_cast<int>(sib.size())) row = static_cast<int>(sib.size());
  sib.insert(sib.begin() + row, std::move(item));
}

int NoteList::rowOf(NoteItem* item) {
  auto& sib = siblingsOf(item->parent_);
  for (size_t i = 0; i < sib.size(); ++i)
    if (sib[i].get() == item) return static_cast<int>(i);
  throw Error("NoteList: item not found among its siblings");
}

std::unique_ptr<NoteItem> NoteList::detach(NoteItem* item) {
  auto& sib = siblingsOf(item->parent_);
  for (size_t i = 0; i < sib.size(); ++i) {
    if (sib[i].get() == item) {
      dirty_ = true;
      std::unique_ptr<NoteItem> out = std::move(sib[i]);
      sib.erase(sib.begin() + static_cast<std::ptrdiff_t>(i));
      out->parent_ = nullptr;
      return out;
    }
  }
  throw Error("NoteList: item not found among its siblings");
}

// Puts a new item under `parent` (at the end), before `before`, or as root `rootRow`.
NoteItem* NoteList::place(NoteItem* item, NoteItem* parent, NoteItem* before, int rootRow) {
  std::unique_ptr<NoteItem> owned(item);
  const bool atEnd = !(before && before->list_ == this) && !(parent && parent->list_ == this) &&
                     (rootRow < 0 || rootRow >= static_cast<int>(roots_.size()));
  if (atEnd && !dirty_ && changeDepth_ == 1) {
    // The common case of adding notes one after another: the index grows in place.
    attach(std::move(owned), nullptr, -1);
    item->row_ = static_cast<int>(roots_.size()) - 1;
    item->order_ = static_cast<int>(index_.size());
    item->level_ = 0;
    index_.push_back(item);
    dirty_ = false;
    appendedInPlace_ = true;
    return item;
  }
  if (before && before->list_ == this)
    attach(std::move(owned), before->parent_, rowOf(before));
  else if (parent && parent->list_ == this)
    attach(std::move(owned), parent, -1);
  else
    attach(std::move(owned), nullptr, rootRow);
  return item;
}

NoteItem* NoteList::append(std::unique_ptr<TObject> note, std::string text, NoteItem* parent) {
  WUX_CHANGE;
  TObject* raw = note.get();
  return place(makeItem(raw, std::move(note), std::move(text)), parent, nullptr, -1);
}

NoteItem* NoteList::insertBefore(std::unique_ptr<TObject> note, std::string text, NoteItem* before) {
  WUX_CHANGE;
  TObject* raw = note.get();
  return place(makeItem(raw, std::move(note), std::move(text)), nullptr, before, -1);
}

NoteItem* NoteList::insertRoot(std::unique_ptr<TObject> note, std::string text, int row) {
  WUX_CHANGE;
  TObject* raw = note.get();
  return place(makeItem(raw, std::move(note), std::move(text)), nullptr, nullptr, row < 0 ? -1 : row);
}

NoteItem* NoteList::appendRef(TObject* note, std::string text, NoteItem* parent) {
  WUX_CHANGE;
  return place(makeItem(note, nullptr, std::move(text)), parent, nullptr, -1);
}

NoteItem* NoteList::insertBeforeRef(TObject* note, std::string text, NoteItem* before) {
  WUX_CHANGE;
  return place(makeItem(note, nullptr, std::move(text)), nullptr, before, -1);
}

NoteItem* NoteList::insertRootRef(TObject* note, std::string text, int row) {
  WUX_CHANGE;
  return place(makeItem(note, nullptr, std::move(text)), nullptr, nullptr, row < 0 ? -1 : row);
}

std::vector<TObject*> NoteList::remove(TObject* note) {
  std::vector<TObject*> out;
  std::vector<std::unique_ptr<TObject>> owned = takeSubtree(note);
  if (owned.empty()) return out;
  // takeSubtree hands over owned notes; a referenced note comes back as nullptr there,
  // so the raw pointers were recorded before.
  out.swap(lastRemoved_);
  for (auto& o : owned)
    if (o) detached_.push_back(std::move(o));
  return out;
}

void NoteList::removeMany(const std::vector<TObject*>& notes) {
  std::unordered_set<const NoteItem*> chosen;
  for (TObject* n : notes)
    if (NoteItem* it = itemOf(n)) chosen.insert(it);
  if (chosen.empty()) return;
  WUX_CHANGE;
  dirty_ = true;
  // Every sibling vector once: the chosen items leave with their subtrees, the others
  // are searched further down.
  std::vector<std::unique_ptr<NoteItem>> gone;
  std::vector<std::vector<std::unique_ptr<NoteItem>>*> pending{&roots_};
  while (!pending.empty()) {
    auto* siblings = pending.back();
    pending.pop_back();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < siblings->size(); ++i) {
      std::unique_ptr<NoteItem>& it = (*siblings)[i];
      if (chosen.count(it.get())) {
        gone.push_back(std::move(it));
        continue;
      }
      if (!it->children_.empty()) pending.push_back(&it->children_);
      if (kept != i) (*siblings)[kept] = std::move(it);
      ++kept;
    }
    siblings->resize(kept);
  }
  for (auto& item : gone) {
    forget(item.get());
    item->parent_ = nullptr;
    std::vector<NoteItem*> stack{item.get()};
    while (!stack.empty()) {
      NoteItem* it = stack.back();
      stack.pop_back();
      if (it->owned_) detached_.push_back(std::move(it->owned_));
      for (auto& c : it->children_) stack.push_back(c.get());
    }
  }
}

void NoteList::forget(NoteItem* item) {
  std::vector<NoteItem*> stack{item};
  while (!stack.empty()) {
    NoteItem* it = stack.back();
    stack.pop_back();
    byNote_.erase(it->note_);
    it->list_ = nullptr;
    for (auto& c : it->children_) stack.push_back(c.get());
  }
}

std::vector<std::unique_ptr<TObject>> NoteList::takeSubtree(TObject* note) {
  std::vector<std::unique_ptr<TObject>> out;
  NoteItem* item = itemOf(note);
  if (!item) return out;
  WUX_CHANGE;
  std::unique_ptr<NoteItem> owned = detach(item);
  forget(item);
  // Hand over the notes in item order; the items themselves die here.
  lastRemoved_.clear();
  std::vector<NoteItem*> stack{item};
  while (!stack.empty()) {
    NoteItem* it = stack.back();
    stack.pop_back();
    lastRemoved_.push_back(it->note_);
    out.push_back(std::move(it->owned_));
    for (auto c = it->children_.rbegin(); c != it->children_.rend(); ++c) stack.push_back(c->get());
  }
  return out;
}

std::unique_ptr<TObject> NoteList::take(TObject* note) {
  std::vector<std::unique_ptr<TObject>> all = takeSubtree(note);
  if (all.empty()) return nullptr;
  for (size_t i = 1; i < all.size(); ++i) detached_.push_back(std::move(all[i]));
  return std::move(all[0]);
}

void NoteList::clear() {
  if (roots_.empty() && detached_.empty()) return;
  WUX_CHANGE;
  // Items die with their subtree; deep trees are taken apart iteratively.
  std::vector<std::unique_ptr<NoteItem>> pending = std::move(roots_);
  roots_.clear();
  while (!pending.empty()) {
    std::unique_ptr<NoteItem> it = std::move(pending.back());
    pending.pop_back();
    for (auto& c : it->children_) pending.push_back(std::move(c));
    it->children_.clear();
  }
  byNote_.clear();
  detached_.clear();
}

void NoteList::setText(NoteItem* item, std::string text) {
  if (!item || item->list_ != this) return;
  item->text_ = std::move(text);
  for (ListObserver* o : observers_) o->itemChanged(item);
}

void NoteList::touch(NoteItem* item) {
  if (!item || item->list_ != this) return;
  for (ListObserver* o : observers_) o->itemChanged(item);
}

void NoteList::setExpanded(NoteItem* item, bool expanded) {
  if (!item || item->list_ != this || item->expanded_ == expanded) return;
  item->expanded_ = expanded;
  for (ListObserver* o : observers_) o->expansionChanged(item);
}

void NoteList::beginExpansionChanges() {
  if (expansionDepth_++ == 0)
    for (ListObserver* o : observers_) o->expansionsAboutToChange();
}

void NoteList::endExpansionChanges() {
  if (expansionDepth_ > 0 && --expansionDepth_ == 0)
    for (ListObserver* o : observers_) o->expansionsChanged();
}

bool NoteList::isAncestorOf(const NoteItem* ancestor, const NoteItem* item) {
  if (!ancestor || !item) return false;
  for (const NoteItem* p = item; p; p = p->parent_)
    if (p == ancestor) return true;
  return false;
}

bool NoteList::moveBefore(NoteItem* item, NoteItem* before) {
  if (!item || !before || item == before || item->list_ != this || before->list_ != this) return false;
  if (isAncestorOf(item, before)) return false;
  WUX_CHANGE;
  std::unique_ptr<NoteItem> owned = detach(item);
  attach(std::move(owned), before->parent_, rowOf(before));
  return true;
}

bool NoteList::moveToLastChild(NoteItem* item, NoteItem* parent) {
  if (!item || item->list_ != this) return false;
  if (parent && (parent->list_ != this || isAncestorOf(item, parent))) return false;
  WUX_CHANGE;
  std::unique_ptr<NoteItem> owned = detach(item);
  attach(std::move(owned), parent, -1);
  return true;
}

bool NoteList::moveToRoot(NoteItem* item, int row) {
  if (!item || item->list_ != this) return false;
  WUX_CHANGE;
  std::unique_ptr<NoteItem> owned = detach(item);
  attach(std::move(owned), nullptr, row);
  return true;
}

void NoteList::sortRoots(const std::function<bool(const NoteItem*, const NoteItem*)>& less) {
  sortChildren(nullptr, less);
}

void NoteList::sortChildren(NoteItem* parent, const std::function<bool(const NoteItem*, const NoteItem*)>& less) {
  auto& siblings = siblingsOf(parent);
  if (siblings.size() < 2) return;
  WUX_CHANGE;
  dirty_ = true;
  std::stable_sort(siblings.begin(), siblings.end(),
                   [&](const std::unique_ptr<NoteItem>& a, const std::unique_ptr<NoteItem>& b) {
                     return less(a.get(), b.get());
                   });
}

void NoteList::reverseChildren(NoteItem* parent) {
  auto& siblings = siblingsOf(parent);
  if (siblings.size() < 2) return;
  WUX_CHANGE;
  dirty_ = true;
  std::reverse(siblings.begin(), siblings.end());
}

void NoteList::flatten() {
  reindex();
  bool nested = false;
  for (NoteItem* it : index_)
    if (it->parent_) nested = true;
  if (!nested) return;
  WUX_CHANGE;
  std::vector<NoteItem*> order = index_;
  std::vector<std::unique_ptr<NoteItem>> flat;
  flat.reserve(order.size());
  // Release every item from its parent, then re-own them as roots in item order.
  std::vector<std::unique_ptr<NoteItem>> owners = std::move(roots_);
  roots_.clear();
  std::unordered_map<NoteItem*, std::unique_ptr<NoteItem>> loose;
  while (!owners.empty()) {
    std::unique_ptr<NoteItem> it = std::move(owners.back());
    owners.pop_back();
    for (auto& c : it->children_) owners.push_back(std::move(c));
    it->children_.clear();
    it->parent_ = nullptr;
    NoteItem* raw = it.get();
    loose[raw] = std::move(it);
  }
  for (NoteItem* it : order) roots_.push_back(std::move(loose[it]));
}

void NoteList::nestBy(const std::function<std::string(TObject*)>& ownKey,
                      const std::function<std::string(TObject*)>& parentKey) {
  reindex();
  if (index_.empty()) return;
  // Pass one: every note's own key (the first note wins where two share one).
  std::unordered_map<std::string, NoteItem*> byKey;
  byKey.reserve(index_.size());
  for (NoteItem* it : index_) {
    std::string k = sjis::lower(ownKey(it->note_));
    if (!k.empty()) byKey.emplace(std::move(k), it);
  }
  if (byKey.empty()) return;
  // Pass two, simulated: in the item order before any move, each note whose parent key
  // names another note becomes that note's last child, unless that would put it below
  // itself. Only the final shape is built, so nesting costs one pass however many move.
  const std::vector<NoteItem*> order = index_;
  std::unordered_map<NoteItem*, NoteItem*> parentOf;
  parentOf.reserve(order.size());
  bool flat = true;
  for (NoteItem* it : order) {
    parentOf[it] = it->parent_;
    flat = flat && !it->parent_;
  }
  // Each note is visited once, so in a flat list every note is still a root when its turn
  // comes: a move then only joins two trees, and "would it land below itself" is "is the
  // new parent's tree rooted at this note". Union-find answers that in near-constant time,
  // where walking up the parent chain costs the square of a chain's depth.
  std::unordered_map<NoteItem*, std::size_t> slot;
  std::vector<std::size_t> up;     // union-find parent, by slot
  std::vector<NoteItem*> topOf;    // the tree's root, kept at each set's representative
  if (flat) {
    slot.reserve(order.size());
    up.resize(order.size());
    topOf.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      slot[order[i]] = i;
      up[i] = i;
      topOf[i] = order[i];
    }
  }
  auto find = [&](std::size_t i) {
    std::size_t r = i;
    while (up[r] != r) r = up[r];
    while (up[i] != r) i = std::exchange(up[i], r);
    return r;
  };
  std::unordered_map<NoteItem*, std::vector<NoteItem*>> movedInto;
  std::unordered_set<NoteItem*> moved;
  for (NoteItem* it : order) {
    const std::string pk = sjis::lower(parentKey(it->note_));
    if (pk.empty()) continue;
    auto found = byKey.find(pk);
    if (found == byKey.end()) continue;  // a missing parent leaves the note where it is
    NoteItem* parent = found->second;
    if (flat) {
      const std::size_t into = find(slot[parent]);
      if (topOf[into] == it) continue;  // the parent lies below this note (or is it)
      up[find(slot[it])] = into;
    } else {
      // An already nested list (the tree view built again): a note that stays below the
      // same parent changes no ancestry, so only real moves walk the chain.
      if (parentOf[it] != parent) {
        bool cycle = false;
        for (NoteItem* p = parent; p; p = parentOf[p])
          if (p == it) {
            cycle = true;
            break;
          }
        if (cycle) continue;
      }
    }
    if (moved.count(it)) {
      auto& v = movedInto[parentOf[it]];
      v.erase(std::find(v.begin(), v.end(), it));
    }
    parentOf[it] = parent;
    moved.insert(it);
    movedInto[parent].push_back(it);
  }
  if (moved.empty()) return;
  WUX_CHANGE;
  // The children each item keeps, in their old order, before the tree is taken apart.
  std::unordered_map<NoteItem*, std::vector<NoteItem*>> kept;
  std::vector<NoteItem*> keptRoots;
  for (auto& r : roots_)
    if (!moved.count(r.get())) keptRoots.push_back(r.get());
  for (NoteItem* it : order)
    for (auto& c : it->children_)
      if (!moved.count(c.get())) kept[it].push_back(c.get());
  std::unordered_map<NoteItem*, std::unique_ptr<NoteItem>> pool;
  std::vector<std::unique_ptr<NoteItem>> owners = std::move(roots_);
  roots_.clear();
  while (!owners.empty()) {
    std::unique_ptr<NoteItem> it = std::move(owners.back());
    owners.pop_back();
    for (auto& c : it->children_) owners.push_back(std::move(c));
    it->children_.clear();
    NoteItem* raw = it.get();
    pool[raw] = std::move(it);
  }
  auto adopt = [&](NoteItem* parent, NoteItem* child) {
    std::unique_ptr<NoteItem> c = std::move(pool[child]);
    c->parent_ = parent;
    siblingsOf(parent).push_back(std::move(c));
  };
  for (NoteItem* r : keptRoots) adopt(nullptr, r);
  for (NoteItem* it : order) {
    for (NoteItem* c : kept[it]) adopt(it, c);
    auto m = movedInto.find(it);
    if (m != movedInto.end())
      for (NoteItem* c : m->second) adopt(it, c);
  }
}

// ---- tree-item routines ----

void MoveNodeAfter(NoteItem* item, NoteItem* after) {
  if (!item || !after || item == after) return;
  NoteList* list = item->list();
  if (!list || after->list() != list || NoteList::isAncestorOf(item, after)) return;
  const bool wasExpanded = item->expanded();
  if (NoteItem* parent = after->parent()) {
    NoteItem* following = parent->child(after->row() + 1);
    if (following == item) following = parent->child(after->row() + 2);
    if (following)
      list->moveBefore(item, following);
    else
      list->moveToLastChild(item, parent);
  } else {
    // The next item in item order on the root level, i.e. the next root.
    NoteItem* following = list->root(after->row() + 1);
    if (following == item) following = list->root(after->row() + 2);
    if (following)
      list->moveBefore(item, following);
    else
      list->moveToLastChild(item, nullptr);
  }
  if (wasExpanded) list->setExpanded(item, true);
}

namespace {

// Opens or closes the branches below `item`, one level or all. A loop, not recursion: a
// chain of notes is as deep as it is long.
int setBranchesBelow(NoteItem* item, bool recurse, bool expand) {
  if (!item || !item->list()) return 0;
  NoteList::ExpansionChanges run(*item->list());
  int n = 0;
  std::vector<NoteItem*> todo{item};
  while (!todo.empty()) {
    NoteItem* at = todo.back();
    todo.pop_back();
    for (int i = at->childCount() - 1; i >= 0; --i) {
      NoteItem* c = at->child(i);
      if (c->hasChildren() && c->expanded() != expand) {
        c->list()->setExpanded(c, expand);
        ++n;
      }
      if (recurse && c->hasChildren()) todo.push_back(c);
    }
  }
  return n;
}

}  // namespace

int ExpandChildren(NoteItem* item, bool recurse) { return setBranchesBelow(item, recurse, true); }

int CollapseChildren(NoteItem* item, bool recurse) { return setBranchesBelow(item, recurse, false); }

void ExpandAll(NoteList& list, bool expand) {
  NoteList::ExpansionChanges run(list);
  for (int i = 0; i < list.rootCount(); ++i) {
    NoteItem* root = list.root(i);
    list.setExpanded(root, expand);
    if (expand) ExpandChildren(root, true);
    else CollapseChildren(root, true);
  }
}

void CollectSubTree(NoteItem* item, StringList& out) {
  if (!item || !item->list()) return;
  NoteList* list = item->list();
  const int level = item->level();
  for (int i = list->indexOfItem(item) + 1; i < list->count(); ++i) {
    NoteItem* it = list->itemAt(i);
    // Past the branch at the first item that is not deeper: the notes after a branch's
    // end are not part of it, on whatever level they stand.
    if (it->level() <= level) break;
    out.add(it->text(), it->note());
  }
}

NoteItem* PrevSameLevel(NoteItem* item) {
  if (!item || !item->list()) return nullptr;
  NoteList* list = item->list();
  const int level = item->level();
  for (int i = list->indexOfItem(item) - 1; i >= 0; --i)
    if (list->itemAt(i)->level() == level) return list->itemAt(i);
  return nullptr;
}

NoteItem* NextSameLevel(NoteItem* item) {
  if (!item || !item->list()) return nullptr;
  NoteList* list = item->list();
  const int level = item->level();
  for (int i = list->indexOfItem(item) + 1; i < list->count(); ++i)
    if (list->itemAt(i)->level() == level) return list->itemAt(i);
  return nullptr;
}

void ReverseChildren(NoteItem* item) {
  if (!item || item->childCount() < 2) return;
  NoteList* list = item->list();
  const int n = item->childCount();
  // Child n-2, then n-3 ... 0, each to the end of the children.
  std::vector<NoteItem*> kids;
  for (int i = 0; i < n; ++i) kids.push_back(item->child(i));
  for (int i = n - 2; i >= 0; --i) list->moveToLastChild(kids[static_cast<size_t>(i)], item);
}

std::string NodeIndexPath(const NoteItem* item, int offset, const std::string& format) {
  std::string path;
  for (const NoteItem* p = item; p; p = p->parent()) {
    const long long v = static_cast<long long>(p->row()) + offset;
    std::string part = std::to_string(v);
    // The format comes from users: the safe formatter, and decimal when it refuses it.
    if (!format.empty()) FormatInt(format, v, part);
    path = path.empty() ? part : part + "/" + path;
  }
  return path;
}

}  // namespace wux

// Commands of note order, transfer between notebooks and the tree.
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <QWidget>

#include "dialogs/FormSelectHolder.h"
#include "mainwindow/commands/Commands.h"
#include "model/Prompter.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/NoteViews.h"

namespace wux {

namespace {

using Kind = MemoHolderUI::Kind;

MemoNodeUI* noteOf(const NoteItem* it) {
  return it ? static_cast<MemoNodeUI*>(static_cast<MemoNode*>(it->note())) : nullptr;
}

// The notes of `list` (StringList of name, note pairs), as notes.
std::vector<MemoNode*> notesOf(const StringList& list) {
  std::vector<MemoNode*> out;
  out.reserve(static_cast<std::size_t>(list.count()));
  for (int i = 0; i < list.count(); ++i) out.push_back(static_cast<MemoNode*>(list.object(i)));
  return out;
}

bool byName(const NoteItem* a, const NoteItem* b) { return sjis::compareSort(a->text(), b->text()) < 0; }

// What every command that changes a notebook's order needs: free, the interface and the
// notebook writable.
constexpr Needs kReorders = Needs::notBusy().uiWritable(kResultUIReadOnly).holderWritable(kResultHolderReadOnly);

// The current notebook with a view, or nullptr.
MemoHolderUI* viewedHolder(MainWindowApi& w) {
  MemoHolderUI* h = w.getCurrentHolder();
  return h && h->viewBuilt() && h->workingKind() != Kind::Nodes ? h : nullptr;
}

// The notebook's view is the main window's focused control: the order commands act on
// the item selected there, and a key meant for the editor moves nothing. The tree
// commands need the tree.
bool viewFocused(MemoHolderUI* h, bool treeOnly = false) {
  QWidget* view = h ? h->getViewControl_() : nullptr;
  if (!view || (treeOnly && h->workingKind() != Kind::Tree)) return false;
  return view->window()->focusWidget() == view;
}

// The selected item: the current note's.
NoteItem* selectedItem(MemoHolderUI* h) {
  MemoNode* n = h ? h->getCurrentNode_() : nullptr;
  return n ? h->itemOf(n) : nullptr;
}

NoteItem* siblingAt(NoteList& list, NoteItem* parent, int row) {
  return parent ? parent->child(row) : list.root(row);
}

int siblingCount(NoteList& list, NoteItem* parent) { return parent ? parent->childCount() : list.rootCount(); }

void changed(MainWindowApi& w, MemoHolderUI* h, MemoNode* current) {
  h->modified = true;
  w.refreshHolderView();
  if (current) h->putCurrentNode_(current);
}

// The previous or next note in view order becomes current; answers its index.
int stepCurrentNode(MainWindowApi& w, bool forward) {
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

enum class Step { Top, Up, Down, Bottom };

// Moves the selected item among its siblings (every item is a root in the flat views).
int moveNode(MainWindowApi& w, Step step) {
  MemoHolderUI* h = viewedHolder(w);
  if (!viewFocused(h)) return 0;
  NoteItem* item = selectedItem(h);
  if (!item) return 0;
  NoteList& list = h->noteList();
  NoteItem* parent = item->parent();
  const int i = item->row();
  const int n = siblingCount(list, parent);
  bool moved = false;
  switch (step) {
    case Step::Top:
      if (i > 0) moved = list.moveBefore(item, siblingAt(list, parent, 0));
      break;
    case Step::Up:
      if (i > 0) moved = list.moveBefore(item, siblingAt(list, parent, i - 1));
      break;
    case Step::Down:
      if (i < n - 1) {
        MoveNodeAfter(item, siblingAt(list, parent, i + 1));
        moved = true;
      }
      break;
    case Step::Bottom:
      if (i < n - 1) {
        MoveNodeAfter(item, siblingAt(list, parent, n - 1));
        moved = true;
      }
      break;
  }
  if (moved) changed(w, h, noteOf(item));
  return 0;
}

void linkToParent(NoteItem* item) {
  MemoNode* note = noteOf(item);
  if (NoteItem* p = item->parent())
    note->putParentNodeID_(noteOf(p));
  else
    note->removeField_("ParentNodeID");
}

int moveLeft(MainWindowApi& w) {
  MemoHolderUI* h = viewedHolder(w);
  if (!viewFocused(h, true)) return 0;
  NoteItem* item = selectedItem(h);
  if (!item || !item->parent()) return 0;
  if (TFrameMemoNode* f = w.getNodeFrame()) f->storeFields_();
  MoveNodeAfter(item, item->parent());
  linkToParent(item);
  if (TFrameMemoNode* f = w.getNodeFrame()) f->loadFields_();
  changed(w, h, noteOf(item));
  return 0;
}

int moveRight(MainWindowApi& w) {
  MemoHolderUI* h = viewedHolder(w);
  if (!viewFocused(h, true)) return 0;
  NoteItem* item = selectedItem(h);
  NoteList& list = h->noteList();
  NoteItem* prev = item ? list.prevItem(item) : nullptr;
  if (!prev) return 0;
  const int level = item->level();
  NoteItem* newParent = nullptr;
  if (prev->level() == level) {
    newParent = prev;
  } else if (prev->level() > level) {
    // The deeper previous item: the item joins the end of that level.
    newParent = prev->parent();
  } else {
    return 0;  // the previous item is the parent
  }
  if (TFrameMemoNode* f = w.getNodeFrame()) f->storeFields_();
  if (!list.moveToLastChild(item, newParent)) return 0;
  linkToParent(item);
  if (TFrameMemoNode* f = w.getNodeFrame()) f->loadFields_();
  changed(w, h, noteOf(item));
  return 0;
}

int sortHolder(MainWindowApi& w, bool reverse) {
  MemoHolderUI* h = viewedHolder(w);
  if (!h) return kResultFailed;
  NoteList& list = h->noteList();
  MemoNode* current = h->getCurrentNode_();
  w.UI2Model();
  switch (h->workingKind()) {
    case Kind::CheckList:
      // The check list keeps itself sorted from now on; a reversal ends that.
      h->putFlagSort_(!reverse);
      if (reverse)
        list.reverseChildren(nullptr);
      else
        list.sortRoots(byName);
      break;
    case Kind::Tree:
      if (reverse) {
        list.reverseChildren(nullptr);
      } else {
        // Every level: each item's children, then the roots.
        std::vector<NoteItem*> parents;
        for (int i = 0; i < list.count(); ++i)
          if (list.itemAt(i)->hasChildren()) parents.push_back(list.itemAt(i));
        for (NoteItem* p : parents) list.sortChildren(p, byName);
        list.sortRoots(byName);
      }
      break;
    case Kind::List:
      list.sortRoots(reverse ? [](const NoteItem* a, const NoteItem* b) { return byName(b, a); } : byName);
      break;
    default:
      return kResultFailed;
  }
  changed(w, h, current);
  w.messageDoing_(reverse ? "UIReverseMemoHolder" : "Done:UISortMemoHolder");
  return list.count();
}

int orderChildren(MainWindowApi& w, bool reverse) {
  const std::string name = reverse ? "UIReverseChild1" : "UISortChild1";
  MemoHolderUI* h = viewedHolder(w);
  if (!h || h->workingKind() != Kind::Tree) {
    w.messageDoing_("Not TreeView in " + name);
    return 0;
  }
  NoteItem* item = selectedItem(h);
  if (!item) return kResultFailed;
  if (reverse)
    h->noteList().reverseChildren(item);
  else
    h->noteList().sortChildren(item, byName);
  changed(w, h, noteOf(item));
  w.messageDoing_("Done:" + name + " count=" + std::to_string(item->childCount()));
  return item->childCount();
}

enum class Marks { All, None, Invert };

int setMarks(MainWindowApi& w, Marks how) {
  MemoHolderUI* h = w.getCurrentHolder();
  if (!h) return kResultFailed;
  w.UI2Model();
  for (int i = 0, n = h->getNodeCount_(); i < n; ++i) {
    MemoNode* note = h->getNode_(i);
    const bool on = how == Marks::All ? true : how == Marks::None ? false : !note->isMarked_();
    note->putMarked_(on);
  }
  h->modified = true;
  w.Model2UI();
  w.refreshHolderView();
  return 0;
}

// Gathers the marked notes right after the current one, in notebook order.
int gatherMarks(MainWindowApi& w) {
  MemoHolderUI* h = viewedHolder(w);
  if (!h || h->workingKind() != Kind::CheckList || h->getFlagSort_()) return 0;
  MemoNode* current = h->getCurrentNode_();
  StringList marked;
  h->getMarkedList_(marked);
  if (!current || h->getNodeCount_() <= marked.count()) return 0;
  w.UI2Model();
  int pos = h->indexOfNode_(current) + 1;
  for (int k = 0; k < marked.count(); ++k) {
    auto* note = static_cast<MemoNode*>(marked.object(k));
    const int at = h->indexOfNode_(note);
    h->removeNode_(note);
    // Only a note taken from before the place shifts it.
    if (at < pos) --pos;
    h->insertNode_(note, marked[k], pos);
    pos = h->indexOfNode_(note) + 1;
  }
  h->modified = true;
  h->putCurrentNode_(current);
  w.refreshHolderView();
  return 0;
}

// Where a transfer goes: `chosen`, or a new notebook when nullptr. Without `go` the
// command ends, answering `result`.
struct Target {
  bool go = false;
  int result = 0;
  MemoHolderUI* chosen = nullptr;
};

// The notebook the first argument names (empty: a new one), else the one the user
// picks in the notebook chooser, which leaves out `leaveOut` and offers "Current" only
// with `offerCurrent`.
Target chooseHolder(MainWindowApi& w, HolderChooser& chooser, const CommandArgs& args, const MemoHolderUI* leaveOut,
                    bool offerCurrent) {
  Target t;
  MemoFileUI* doc = w.getMemoFile();
  if (!doc) {
    t.result = kResultFailed;
    return t;
  }
  if (!args.empty()) {
    const std::string name = sjis::trim(commandArg(args, 0));
    if (!name.empty()) {
      t.chosen = dynamic_cast<MemoHolderUI*>(doc->findHolderByName_(name));
      if (!t.chosen) {
        w.messageDoing_("Not Found Holder: " + name);
        return t;
      }
    }
    t.go = true;
    return t;
  }
  if (!chooser.window()) {
    t.result = kResultNoChooser;
    return t;
  }
  t.go = chooser.choose(w, t.chosen, leaveOut, offerCurrent);
  return t;
}

MemoHolderUI* destination(MainWindowApi& w, MemoHolderUI* chosen) {
  MemoHolderUI* dest = chosen ? chosen : w.newHolder_(-1);
  if (dest && !dest->loaded) {
    w.beginDoing_("Now Loading Holder " + dest->name());
    w.loadHolder(dest);
    w.endDoing();
  }
  return dest;
}

// A read-only notebook takes no notes; asked before any note leaves its notebook.
bool destinationReadOnly(MainWindowApi& w, MemoHolderUI* dest) {
  if (!dest->isReadOnly_()) return false;
  w.messageDoing_("This MemoHolder is Read Only. (" + dest->name() + ")");
  return true;
}

// Appends the notes to `dest` as they are, each under its name; in a tree, as roots
// first, nested afterwards by their links, so no note is linked to whatever happens to
// be current in the destination.
void appendAll(MemoHolderUI* dest, const std::vector<std::pair<std::string, MemoNode*>>& notes) {
  const bool tree = dest->workingKind() == Kind::Tree;
  for (const auto& [name, note] : notes) {
    if (tree) dest->putCurrentNode_(nullptr);
    dest->addNode_(note, name);
  }
  if (tree && notes.size() > 1) dest->_TV_after();
}

// The source's current note once the moved notes have left it: `pick`, else a new note.
// The source was the window's notebook, and the window's current note follows: a note
// that has left no longer tells which notebook is shown, so the switch to the
// destination would find nothing to switch from.
void refillCurrent(MainWindowApi& w, MemoHolderUI* source, MemoNode* pick) {
  if (!pick) pick = source->createNewNode_();
  source->putCurrentNode_(pick);
  w.setCurrentNode(static_cast<MemoNodeUI*>(pick));
}

// The source's current note after a branch leaves: its next sibling, else its previous
// one (nullptr: a new note).
MemoNode* siblingAfterBranch(MemoHolderUI* source, NoteItem* item) {
  NoteList& list = source->noteList();
  NoteItem* parent = item->parent();
  const int row = item->row();
  NoteItem* other = row + 1 < siblingCount(list, parent) ? siblingAt(list, parent, row + 1) : nullptr;
  if (!other && row > 0) other = siblingAt(list, parent, row - 1);
  return noteOf(other);
}

int moveOneTo(MainWindowApi& w, HolderChooser& chooser, const CommandArgs& args) {
  MemoHolderUI* source = w.getCurrentHolder();
  MemoNode* note = source ? source->getCurrentNode_() : nullptr;
  if (!note) return kResultFailed;
  const Kind mode = source->workingKind();
  const Target to = chooseHolder(w, chooser, args, source, false);
  if (!to.go) return to.result;
  if (to.chosen == source) {
    w.messageDoing_("Source Holder is Distination Holder !");
    return 0;
  }
  if (mode != Kind::CheckList && mode != Kind::List && mode != Kind::Tree) {
    w.addLog_("ERROR: TFormMainScript.UIMove1To");
    prompter().messageBox("ERROR: TFormMainScript.UIMove1To", "", Buttons::OK);
    return 0;
  }
  w.UI2Model();
  MemoHolderUI* dest = destination(w, to.chosen);
  if (!dest) return kResultFailed;
  if (destinationReadOnly(w, dest)) return kResultHolderReadOnly;
  std::vector<std::pair<std::string, MemoNode*>> moving{{note->name(), note}};
  std::vector<MemoNode*> order{note};
  MemoNode* next = nullptr;
  if (mode == Kind::Tree) {
    NoteItem* item = source->itemOf(note);
    StringList below;
    CollectSubTree(item, below);
    for (int i = 0; i < below.count(); ++i) {
      moving.emplace_back(below[i], static_cast<MemoNode*>(below.object(i)));
      order.push_back(static_cast<MemoNode*>(below.object(i)));
    }
    next = siblingAfterBranch(source, item);
    source->removeNodes_(order);
  } else {
    const int i = source->indexOfNode_(note);
    source->removeNode_(note);
    const int n = source->getNodeCount_();
    next = n == 0 ? nullptr : source->getNode_(i >= n ? n - 1 : i);
  }
  refillCurrent(w, source, next);
  const bool fresh = to.chosen == nullptr;
  appendAll(dest, moving);
  dest->putCurrentNode_(note);
  source->modified = true;
  dest->modified = true;
  w.changeCurrentHolder(dest);
  if (fresh && mode == Kind::Tree) w.commands().run("changeTreeView_");
  w.Model2UI();
  return 0;
}

int copyOneTo(MainWindowApi& w, HolderChooser& chooser, const CommandArgs& args) {
  MemoHolderUI* source = w.getCurrentHolder();
  if (!source) return -9;
  MemoNode* note = source->getCurrentNode_();
  if (!note) return kResultFailed;
  const Kind mode = source->workingKind();
  const Target to = chooseHolder(w, chooser, args, nullptr, true);
  if (!to.go) return to.result;
  if (mode == Kind::Nodes || mode == Kind::None) {
    w.addLog_("ERROR: TFormMainScript.UICopy1To");
    prompter().messageBox("ERROR: TFormMainScript.UICopy1To", "", Buttons::OK);
    return 0;
  }
  w.UI2Model();
  MemoHolderUI* dest = destination(w, to.chosen);
  if (!dest) return kResultFailed;
  if (destinationReadOnly(w, dest)) return kResultHolderReadOnly;
  // The originals and their copies, pre-order; every copy gets its own UID, and a parent
  // gets its UID before any copied child links to it.
  std::vector<MemoNode*> originals{note};
  if (mode == Kind::Tree) {
    StringList below;
    CollectSubTree(source->itemOf(note), below);
    for (MemoNode* n : notesOf(below)) originals.push_back(n);
  }
  // Within its own notebook the top copy stays beside the original, under the same
  // parent; elsewhere that parent does not exist and the copy is a root.
  const bool sameBook = dest == source;
  std::vector<std::pair<std::string, MemoNode*>> copies;
  std::vector<MemoNode*> copyOf(originals.size());
  for (std::size_t i = 0; i < originals.size(); ++i) {
    MemoNode* copy = originals[i]->cloneNode_();
    copy->setOwner(nullptr);
    if (mode == Kind::Tree || !Dequote(copy->getField_("UID")).empty()) copy->newUID_();
    copyOf[i] = copy;
    if (i > 0) {
      // The parent of a copied child is the copy of its parent.
      NoteItem* parentItem = source->itemOf(originals[i])->parent();
      const auto at = std::find(originals.begin(), originals.end(), noteOf(parentItem)) - originals.begin();
      copy->putParentNodeID_(copyOf[static_cast<std::size_t>(at)]);
    } else if (!sameBook) {
      copy->removeField_("ParentNodeID");
    }
    copies.emplace_back(originals[i]->name(), copy);
  }
  NoteItem* parentItem = sameBook && mode == Kind::Tree ? source->itemOf(note)->parent() : nullptr;
  appendAll(dest, copies);
  if (parentItem) dest->noteList().moveToLastChild(dest->itemOf(copyOf[0]), parentItem);
  dest->modified = true;
  w.changeCurrentHolder(dest);
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(copyOf[0]));
  return 0;
}

int moveMarksTo(MainWindowApi& w, HolderChooser& chooser, const CommandArgs& args) {
  MemoHolderUI* source = w.getCurrentHolder();
  if (!source) return kResultFailed;
  if (source->getNodeCount_() <= 1) {
    w.messageDoing_("Don't Move. Because There is One Node");
    return 0;
  }
  StringList marked;
  source->getMarkedList_(marked);
  if (marked.count() == 0) {
    prompter().messageBox("Nothing Node Marked.", "Confirmation", Buttons::OK, BoxKind::Confirmation);
    w.messageDoing_("Nothing Node Marked.");
    return 0;
  }
  const Target to = chooseHolder(w, chooser, args, nullptr, true);
  if (!to.go) return to.result;
  if (to.chosen == source) {
    w.messageDoing_("Source Holder is Distination Holder !");
    return 0;
  }
  w.UI2Model();
  MemoHolderUI* dest = destination(w, to.chosen);
  if (!dest) return kResultFailed;
  if (destinationReadOnly(w, dest)) return kResultHolderReadOnly;
  const std::vector<MemoNode*> notes = notesOf(marked);
  if (source->workingKind() == Kind::Tree) {
    // An unmarked note below a moved one stays: it climbs to the moved note's place
    // first, so that it is neither carried off nor linked to a note that has gone.
    for (MemoNode* n : notes) {
      NoteItem* item = source->itemOf(n);
      for (int c = item->childCount() - 1; c >= 0; --c) {
        NoteItem* child = item->child(c);
        if (noteOf(child)->isMarked_()) continue;
        MoveNodeAfter(child, item);
        linkToParent(child);
      }
    }
  }
  source->removeNodes_(notes);
  const int m = marked.count();
  const int left = source->getNodeCount_();
  refillCurrent(w, source, left == 0 ? nullptr : source->getNode_(m < left ? m : left - 1));
  source->modified = true;
  std::vector<std::pair<std::string, MemoNode*>> moving;
  for (int i = 0; i < m; ++i) moving.emplace_back(marked[i], notes[static_cast<std::size_t>(i)]);
  // The notes go in before the notebook is shown, so a new notebook is never shown empty.
  appendAll(dest, moving);
  dest->putCurrentNode_(notes.back());
  dest->modified = true;
  w.changeCurrentHolder(dest);
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(notes.back()));
  return 0;
}

int listViewStyle(MainWindowApi& w, int style, const std::string& name) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  if (!frame || frame->setListViewStyle_(style) < 0) {
    w.messageDoing_("aH.aUILV = nil");
    return 0;
  }
  w.messageDoing_("Done: Change " + name + " ViewStyle.");
  return 0;
}

// The copy of the current note becomes its own last child and the current note.
// Answers 1 when a copy was made, else 0, refusals included.
int cloneAsChild(MainWindowApi& w) {
  MemoHolderUI* h = viewedHolder(w);
  MemoNode* note = h ? h->getCurrentNode_() : nullptr;
  if (!note || h->workingKind() != Kind::Tree) return 0;
  BusyScope busy(w, "Clone MemoNode And Child");
  w.UI2Model();
  if (TFrameMemoNode* f = w.getNodeFrame()) f->storeFields_();
  MemoNode* copy = h->addCopy_(note);
  if (!copy) {
    busy.finish("failure: Clone MemoNode And Child");
    return 0;
  }
  copy->putParentNode_(note);
  if (TFrameMemoNode* f = w.getNodeFrame()) f->loadFields_();
  h->modified = true;
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(copy));
  busy.finish("Done: Clone MemoNode And Child");
  return 1;
}

// The selected tree item, or nullptr with the status saying why.
NoteItem* treeSelection(MainWindowApi& w, const std::string& notTree) {
  MemoHolderUI* h = viewedHolder(w);
  if (!h || h->workingKind() != Kind::Tree) {
    w.messageDoing_(notTree);
    return nullptr;
  }
  return selectedItem(h);
}

// The names of the children (all descendants, indented by level) into the editor.
int listChildren(MainWindowApi& w, bool deep) {
  NoteItem* item = treeSelection(w, "Not TreeView");
  if (!item) return 0;
  StringList below;
  if (deep) {
    CollectSubTree(item, below);
  } else {
    for (int i = 0; i < item->childCount(); ++i) below.add(item->child(i)->text(), item->child(i)->note());
  }
  std::string text;
  const int top = item->level() + 1;
  for (int i = 0; i < below.count(); ++i) {
    const int level = deep ? static_cast<MemoNode*>(below.object(i))->getLevel_() - top : 0;
    text += std::string(static_cast<std::size_t>(2 * (level > 0 ? level : 0)), ' ') + below[i] + "\r\n";
  }
  if (below.count() > 0)
    if (TFrameMemoNode* f = w.getNodeFrame()) f->replaceNodeMemoSel_(text);
  w.messageDoing_(std::string(deep ? "Done:UIListChild" : "Done:UIListChild1") +
                  " count Of Child=" + std::to_string(below.count()));
  return 0;
}

// Applies `change` to each direct child of the selected tree item.
int eachChild(MainWindowApi& w, const std::string& name, const std::function<void(MemoNode*, NoteItem*)>& change) {
  NoteItem* item = treeSelection(w, "Not TreeView in " + name);
  if (!item) return 0;
  if (item->childCount() == 0) {
    w.messageDoing_("No Child");
    return 0;
  }
  w.UI2Model();
  for (int i = 0; i < item->childCount(); ++i) change(noteOf(item->child(i)), item->child(i));
  w.getCurrentHolder()->modified = true;
  w.Model2UI();
  w.messageDoing_("Done:" + name + " count=" + std::to_string(item->childCount()));
  return 0;
}

int setRelativePath(MainWindowApi& w) {
  MemoHolderUI* h = w.getCurrentHolder();
  MemoNode* note = h ? h->getCurrentNode_() : nullptr;
  if (!note) return 0;
  w.UI2Model();
  if (!note->makeRelativePath_("Filename", h->getFileName_()).empty()) h->modified = true;
  w.Model2UI();
  return 0;
}

// A new note above the roots (`under` nullptr) or between `under` and its children:
// the gathered notes become its children.
int newParentNode(MainWindowApi& w, bool roots) {
  const std::string name = roots ? "UINewRootNodeTV" : "UINewRootNode";
  MemoHolderUI* h = viewedHolder(w);
  if (!h || h->workingKind() != Kind::Tree) return 0;
  NoteItem* under = roots ? nullptr : selectedItem(h);
  if (!roots && !under) return 0;
  NoteList& list = h->noteList();
  std::vector<MemoNode*> gathered;
  for (int i = 0, n = siblingCount(list, under); i < n; ++i) gathered.push_back(noteOf(siblingAt(list, under, i)));
  BusyScope busy(w, name);
  w.UI2Model();
  MemoNode* former = h->getCurrentNode_();
  h->putCurrentNode_(nullptr);
  MemoNode* made = h->createNewNode_();
  if (!made) return 0;
  NoteItem* item = h->itemOf(made);
  if (under) made->putParentNode_(noteOf(under));
  if (NoteItem* first = siblingAt(list, under, 0); first && first != item) list.moveBefore(item, first);
  for (MemoNode* n : gathered) n->putParentNode_(made);
  h->modified = true;
  h->putCurrentNode_(former);
  w.refreshHolderView();
  busy.finish("Done:" + name + " count=" + std::to_string(gathered.size()));
  return 0;
}

}  // namespace

void registerNoteOrderCommands(CommandTable& table, MainWindowApi& w, std::shared_ptr<HolderChooser> chooser) {
  table.add("UIChangeCurrentNodePre", Needs::notBusy(), [&w] { return stepCurrentNode(w, false); });
  table.add("UIChangeCurrentNodeNext", Needs::notBusy(), [&w] { return stepCurrentNode(w, true); });
  table.add("UIMoveNodeTop", kReorders, [&w] { return moveNode(w, Step::Top); });
  table.add("UIMoveNodeUp", kReorders, [&w] { return moveNode(w, Step::Up); });
  table.add("UIMoveNodeDown", kReorders, [&w] { return moveNode(w, Step::Down); });
  table.add("UIMoveNodeBottom", kReorders, [&w] { return moveNode(w, Step::Bottom); });
  table.add("UIMoveNodeLeft", kReorders, [&w] { return moveLeft(w); });
  table.add("UIMoveNodeRight", kReorders, [&w] { return moveRight(w); });
  table.add("UISortMemoHolder", kReorders, [&w] { return sortHolder(w, false); });
  table.add("UIReverseMemoHolder", kReorders, [&w] { return sortHolder(w, true); });
  table.add("UISortChild1", kReorders, [&w] { return orderChildren(w, false); });
  table.add("UIReverseChild1", kReorders, [&w] { return orderChildren(w, true); });
  table.add("UIMarkAll", Needs::notBusy(), [&w] { return setMarks(w, Marks::All); });
  table.add("UIUnMarks", Needs::notBusy(), [&w] { return setMarks(w, Marks::None); });
  table.add("UIReverseMarks", Needs::notBusy(), [&w] { return setMarks(w, Marks::Invert); });
  table.add("UIMoveMarksSelf", kReorders, [&w] { return gatherMarks(w); });
  table.add("UIMove1To", kReorders, [&w, chooser](const CommandArgs& a) { return moveOneTo(w, *chooser, a); });
  // Copying out of a read-only notebook is fine; the interface switch forbids any change.
  table.add("UICopy1To", Needs::notBusy().uiWritable(kResultUIReadOnly), [&w, chooser](const CommandArgs& a) { return copyOneTo(w, *chooser, a); });
  table.add("UIMoveMarksTo", kReorders, [&w, chooser](const CommandArgs& a) { return moveMarksTo(w, *chooser, a); });
  table.add("UICloneMemoNodeAndChild", Needs::changesHolder(0), [&w] { return cloneAsChild(w); });
  table.add("UIListChild1", kReorders, [&w] { return listChildren(w, false); });
  table.add("UIListChild", kReorders, [&w] { return listChildren(w, true); });
  table.add("UISetRelativePath", kReorders.noteWritable(), [&w] { return setRelativePath(w); });
  table.add("UISetRelativepathChild1", kReorders, [&w] {
    const std::string base = w.getCurrentHolder() ? w.getCurrentHolder()->getFileName_() : std::string();
    return eachChild(w, "UISetRelativepathChild1",
                     [&](MemoNode* n, NoteItem*) { n->makeRelativePath_("Filename", base); });
  });
  table.add("UIExtractFilenameChild1", kReorders, [&w] {
    return eachChild(w, "UIExtractFilenameChild1", [&](MemoNode* n, NoteItem* it) {
      const std::string name = it->text();
      const std::size_t cut = sjis::findLastOf(name, "\\/");
      if (cut == std::string::npos) return;
      std::string actual;
      n->putName_(name.substr(cut + 1), actual);
    });
  });
  table.add("UINewRootNodeTV", kReorders, [&w] { return newParentNode(w, true); });
  table.add("UINewRootNode", kReorders, [&w] { return newParentNode(w, false); });
  table.add("UIViewStyleIcon", Needs::notBusy(), [&w] { return listViewStyle(w, NoteListView::Icon, "Icon"); });
  table.add("UIViewStyleSmallIcon", Needs::notBusy(), [&w] { return listViewStyle(w, NoteListView::SmallIcon, "SmallIcon"); });
  table.add("UIViewStyleList", Needs::notBusy(), [&w] { return listViewStyle(w, NoteListView::List, "List"); });
  table.add("UIViewStyleReport", Needs::notBusy(), [&w] { return listViewStyle(w, NoteListView::Report, "Report"); });
}

}  // namespace wux

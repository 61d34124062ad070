#include "views/MemoHolderUI.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include "model/clock.h"
#include "model/Prompter.h"
#include "model/content.h"
#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/MemoFileUI.h"
#include "views/MemoNodeUI.h"
#include "views/NoteViews.h"
#include "views/qtext.h"

namespace wux {

namespace {
const char* modeText(MemoHolderUI::Kind k) {
  switch (k) {
    case MemoHolderUI::Kind::CheckList: return "\"CheckListBox\"";
    case MemoHolderUI::Kind::Tree: return "\"TreeView\"";
    case MemoHolderUI::Kind::List: return "\"ListView\"";
    default: return "\"Nodes\"";
  }
}
int slot(MemoHolderUI::Kind k) {
  switch (k) {
    case MemoHolderUI::Kind::CheckList: return 0;
    case MemoHolderUI::Kind::Tree: return 1;
    case MemoHolderUI::Kind::List: return 2;
    default: return -1;
  }
}
}  // namespace

MemoHolderUI::MemoHolderUI(TObjectNamed* owner) : MemoHolder(owner) { list_.addObserver(this); }

MemoHolderUI::~MemoHolderUI() {
  freeViews();
  list_.removeObserver(this);
  list_.clear();
}

namespace {
// When the container holds the list's notes with one stretch of lines rotated (what a
// drop of a line or a small branch leaves), rotates that stretch back line by line, so
// that a drop costs no rebuild of the container and its name index. False when the
// change is of another kind.
bool followRotation(StringList& container, NoteList& list) {
  const int n = list.count();
  if (n != container.count() || n == 0) return false;
  auto noteAt = [&](int i) { return list.itemAt(i)->note(); };
  int a = 0;
  while (a < n && container.object(a) == noteAt(a)) ++a;
  if (a == n) return true;  // the order is the same
  int b = n - 1;
  while (b > a && container.object(b) == noteAt(b)) --b;
  const int len = b - a + 1;
  int k = -1;
  for (int p = a; p <= b && k < 0; ++p)
    if (container.object(p) == noteAt(a)) k = p - a;
  if (k <= 0) return false;
  for (int i = 0; i < len; ++i)
    if (container.object(a + (i + k) % len) != noteAt(a + i)) return false;
  constexpr int kMaxMoves = 32;
  if (k <= kMaxMoves) {
    for (int i = 0; i < k; ++i) container.move(a, b);  // the first line to the end
  } else if (len - k <= kMaxMoves) {
    for (int i = 0; i < len - k; ++i) container.move(b, a);  // the last line to the front
  } else {
    return false;
  }
  return true;
}
}  // namespace

void MemoHolderUI::structureChanged() {
  if (!viewBuilt_ || deferSync_) return;
  StringList& container = nodes()->children();
  if (followRotation(container, list_)) return;
  StringList ordered;
  list_.collect(ordered);
  if (ordered.count() != container.count()) {
    // A note put into the container behind the list's back (a reader, say) is not
    // shown, but it stays in the notebook and is saved after the others.
    std::unordered_set<const TObject*> shown;
    for (int i = 0; i < ordered.count(); ++i) shown.insert(ordered.object(i));
    for (int i = 0; i < container.count(); ++i)
      if (!shown.count(container.object(i))) ordered.add(container[i], container.object(i));
  }
  container = std::move(ordered);
}

MemoHolderUI::Kind MemoHolderUI::kindOfMode(const std::string& rawMode) {
  const std::string m = Dequote(rawMode);
  if (m.empty() || m == "Nodes" || m == "CheckListBox") return Kind::CheckList;
  if (m == "TreeView") return Kind::Tree;
  if (m == "ListView") return Kind::List;
  return Kind::None;
}

MemoNodeUI* MemoHolderUI::noteAt(NoteItem* it) const {
  return it ? static_cast<MemoNodeUI*>(static_cast<MemoNode*>(it->note())) : nullptr;
}

void MemoHolderUI::freeViews() {
  // The view widgets go with their models (the view builder ties them together).
  for (auto& m : models_) m.reset();
}

int MemoHolderUI::clear_() {
  // The list refers to the container's notes: it goes before they do.
  freeViews();
  viewBuilt_ = false;  // the container is not synchronised while it is emptied
  list_.clear();
  removedBranches_.clear();
  builtKind_ = Kind::Nodes;
  iconMap_.clear();
  iconCount_ = 0;
  icons_.clear();
  clearListColumns_();
  return MemoHolder::clear_();
}

// ---- names ----

void MemoHolderUI::getNameChild_(const TObjectNamed* child, std::string& name) const {
  NoteItem* it = viewBuilt_ ? list_.itemOf(child) : nullptr;
  if (!it) return MemoHolder::getNameChild_(child, name);  // not shown: its container line
  name = it->text();
}

void MemoHolderUI::syncContainerName(MemoNode* node, const std::string& name) {
  StringList& c = nodes()->children();
  const int i = c.indexOfObject(node);
  if (i >= 0) c.set(i, name);
}

int MemoHolderUI::putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) {
  if (!viewBuilt_) return MemoHolder::putNameChild_as_(child, newName, actual);
  actual = newName;
  NoteItem* it = list_.itemOf(child);
  if (!it || newName.empty()) return 0;
  if (builtKind_ == Kind::CheckList && !getFlagSameName_()) {
    // Names in a check list are unique, as when the note was added.
    StringList lines;
    list_.collect(lines);
    const int j = lines.indexOf(newName);
    if (j >= 0 && lines.object(j) == child) {
      actual.clear();  // its own name already, letter case aside
      return 0;
    }
    if (j >= 0) actual = UniqueNameInList(lines, newName);
  }
  list_.setText(it, actual);
  syncContainerName(static_cast<MemoNode*>(child), actual);
  modified = true;
  if (builtKind_ == Kind::CheckList && getFlagSort_()) {
    // A sorted check list keeps its lines in name order.
    list_.sortRoots([](const NoteItem* a, const NoteItem* b) { return sjis::compareText(a->text(), b->text()) < 0; });
  }
  return 0;
}

void MemoHolderUI::putName_(const std::string& newName, std::string& actual) {
  MemoHolder::putName_(newName, actual);
  if (auto* f = dynamic_cast<MemoFileUI*>(owner())) f->refreshTabs_();
}

MemoNode* MemoHolderUI::newNode_() { return Create<MemoNodeUI>(this).release(); }

std::string MemoHolderUI::makeUniqueNodeName_(const std::string& name) {
  switch (workingKind()) {
    case Kind::Nodes: return MemoHolder::makeUniqueNodeName_(name);
    case Kind::CheckList: {
      if (getFlagSameName_()) return name;
      StringList lines;
      list_.collect(lines);
      return UniqueNameInList(lines, name);
    }
    default: return name;
  }
}

// ---- reading the list ----

int MemoHolderUI::getNodeCount_() { return viewBuilt_ ? list_.count() : MemoHolder::getNodeCount_(); }

int MemoHolderUI::getMarkedCount_() {
  if (!viewBuilt_) return MemoHolder::getMarkedCount_();
  int n = 0;
  for (int i = 0, c = list_.count(); i < c; ++i)
    if (noteAt(list_.itemAt(i))->isMarked_()) ++n;
  return n;
}

StringList& MemoHolderUI::getMarkedList_(StringList& out) {
  if (!viewBuilt_) return MemoHolder::getMarkedList_(out);
  for (int i = 0, c = list_.count(); i < c; ++i) {
    NoteItem* it = list_.itemAt(i);
    if (noteAt(it)->isMarked_()) out.add(it->text(), it->note());
  }
  return out;
}

StringList& MemoHolderUI::setNodeList_(StringList& out) {
  if (!viewBuilt_) return MemoHolder::setNodeList_(out);
  list_.collect(out);
  return out;
}

int MemoHolderUI::indexOfNode_(MemoNode* node) {
  return viewBuilt_ ? list_.indexOf(node) : MemoHolder::indexOfNode_(node);
}

MemoNode* MemoHolderUI::getPrevNode_(MemoNode* node) {
  if (!viewBuilt_) return MemoHolder::getPrevNode_(node);
  return noteAt(list_.prevItem(list_.itemOf(node)));
}

MemoNode* MemoHolderUI::getNextNode_(MemoNode* node) {
  if (!viewBuilt_) return MemoHolder::getNextNode_(node);
  return noteAt(list_.nextItem(list_.itemOf(node)));
}

MemoNode* MemoHolderUI::getFirstNode_() { return viewBuilt_ ? noteAt(list_.itemAt(0)) : MemoHolder::getFirstNode_(); }

MemoNode* MemoHolderUI::getLastNode_() {
  return viewBuilt_ ? noteAt(list_.itemAt(list_.count() - 1)) : MemoHolder::getLastNode_();
}

MemoNode* MemoHolderUI::getNode_(int index) {
  if (!viewBuilt_) return index < 0 || index >= MemoHolder::getNodeCount_() ? nullptr : MemoHolder::getNode_(index);
  return noteAt(list_.itemAt(index));
}

MemoNode* MemoHolderUI::findNodeByName_(const std::string& name) {
  if (!viewBuilt_) return MemoHolder::findNodeByName_(name);
  const bool ignoreCase = builtKind_ == Kind::CheckList;
  for (int i = 0, c = list_.count(); i < c; ++i) {
    NoteItem* it = list_.itemAt(i);
    if (ignoreCase ? sjis::sameText(it->text(), name) : it->text() == name) return noteAt(it);
  }
  return nullptr;
}

// ---- changing the list ----

void MemoHolderUI::addToContainer(MemoNode* node, const std::string& name) {
  std::string actual;
  nodes()->addChildRaw_(node, name, actual);
  node->setOwner(this);
}

int MemoHolderUI::removeNode_(MemoNode* node) {
  if (!viewBuilt_) return MemoHolder::removeNode_(node);
  const int index = list_.indexOf(node);
  if (index < 0) return -1;
  MemoNode* current = MemoHolder::getCurrentNode_();
  // The note goes to the caller; the notes below it leave the notebook with it but stay
  // alive until clear_, so nothing that still refers to them dangles.
  std::vector<TObject*> gone{node};
  StringList below;
  CollectSubTree(list_.itemOf(node), below);
  for (int i = 0; i < below.count(); ++i) gone.push_back(below.object(i));
  for (TObject* n : gone) {
    auto* named = static_cast<TObjectNamed*>(n);
    nodes()->detachChild_(named);
    if (n != node) {
      removedBranches_.emplace_back(named);
      named->setOwner(this);
    }
    listCells_.erase(n);
  }
  if (std::find(gone.begin(), gone.end(), current) != gone.end()) MemoHolder::putCurrentNode_(nullptr);
  list_.remove(node);
  node->setOwner(nullptr);
  return index;
}

void MemoHolderUI::removeNodes_(const std::vector<MemoNode*>& notes) {
  if (!viewBuilt_) {
    for (MemoNode* n : notes) removeNode_(n);
    return;
  }
  std::unordered_set<const TObject*> given(notes.begin(), notes.end());
  std::unordered_set<const TObject*> gone;
  std::vector<TObject*> listed;
  for (MemoNode* n : notes) {
    NoteItem* it = list_.itemOf(n);
    if (!it || gone.count(n)) continue;
    listed.push_back(n);
    gone.insert(n);
    StringList below;
    CollectSubTree(it, below);
    for (int i = 0; i < below.count(); ++i) gone.insert(below.object(i));
  }
  if (gone.count(MemoHolder::getCurrentNode_())) MemoHolder::putCurrentNode_(nullptr);
  // The container in one pass, rather than one search per note.
  StringList& container = nodes()->children();
  StringList kept;
  for (int i = 0; i < container.count(); ++i) {
    TObject* n = container.object(i);
    if (!gone.count(n)) {
      kept.add(container[i], n);
      continue;
    }
    auto* named = static_cast<TObjectNamed*>(n);
    listCells_.erase(n);
    if (given.count(n)) {
      named->setOwner(nullptr);
    } else {
      removedBranches_.emplace_back(named);
      named->setOwner(this);
    }
  }
  container = std::move(kept);
  list_.removeMany(listed);
}

NoteItem* MemoHolderUI::placeNew(MemoNode* node, const std::function<NoteItem*()>& op) {
  // The container got the note at its end; once the list has placed it, the one line
  // moves to the same place instead of the whole container being rebuilt.
  deferSync_ = true;
  NoteItem* it = nullptr;
  try {
    it = op();
  } catch (...) {
    deferSync_ = false;
    structureChanged();
    throw;
  }
  deferSync_ = false;
  StringList& c = nodes()->children();
  const int k = list_.indexOfItem(it);
  if (k >= 0 && c.count() == list_.count() && c.object(c.count() - 1) == node)
    c.move(c.count() - 1, k);
  else
    structureChanged();
  return it;
}

int MemoHolderUI::addNode_(MemoNode* node, const std::string& name) {
  if (!viewBuilt_) return MemoHolder::addNode_(node, name);
  if (!node) return -1;
  addToContainer(node, name);
  switch (builtKind_) {
    case Kind::CheckList:
      if (getFlagSort_()) {
        // A sorted check list takes a new line at its place in name order.
        int row = 0;
        while (row < list_.rootCount() && sjis::compareText(list_.root(row)->text(), name) <= 0) ++row;
        return list_.indexOfItem(placeNew(node, [&] { return list_.insertRootRef(node, name, row); }));
      }
      [[fallthrough]];
    case Kind::List:
      return list_.indexOfItem(placeNew(node, [&] { return list_.appendRef(node, name); }));
    case Kind::Tree: {
      NoteItem* cur = list_.itemOf(MemoHolder::getCurrentNode_());
      NoteItem* parent = cur ? cur->parent() : nullptr;
      NoteItem* it = placeNew(node, [&] { return list_.appendRef(node, name, parent); });
      if (parent) node->putParentNodeID_(noteAt(parent));
      putCurrentNode_(node);
      return list_.indexOfItem(it);
    }
    default:
      return -1;
  }
}

int MemoHolderUI::insertNode_(MemoNode* node, const std::string& name, int index) {
  if (!viewBuilt_) return MemoHolder::insertNode_(node, name, index);
  if (!node) return -1;
  addToContainer(node, name);
  switch (builtKind_) {
    case Kind::CheckList:
    case Kind::List:
      placeNew(node, [&] { return list_.insertRootRef(node, name, index < 0 ? 0 : index); });
      return 0;
    case Kind::Tree: {
      // Right after the current note on its level; without one, at the end of the roots.
      NoteItem* cur = list_.itemOf(MemoHolder::getCurrentNode_());
      NoteItem* it = placeNew(node, [&] {
        NoteItem* made = list_.insertBeforeRef(node, name, cur);
        if (cur) MoveNodeAfter(made, cur);
        return made;
      });
      if (NoteItem* parent = it->parent()) node->putParentNodeID_(noteAt(parent));
      putCurrentNode_(node);
      return 0;
    }
    default:
      return -1;
  }
}

MemoNode* MemoHolderUI::getCurrentNode_() {
  MemoNode* n = MemoHolder::getCurrentNode_();
  if (viewBuilt_ && n && !list_.itemOf(n)) return nullptr;
  return n;
}

int MemoHolderUI::putCurrentNode_(MemoNode* node) {
  const int i = MemoHolder::putCurrentNode_(node);
  selectInView_(i >= 0 ? node : nullptr);
  return i;
}

void MemoHolderUI::selectInView_(MemoNode* node) {
  if (!viewBuilt_) return;
  if (NoteViewBinding* b = getViewBinding_()) b->selectItem(list_.itemOf(node));
}

void MemoHolderUI::putColor_(Color color) {
  MemoHolder::putColor_(color);
  paintView_(getViewControl_());
}

void MemoHolderUI::paintView_(QWidget* control) {
  if (!control) return;
  QPalette p = control->palette();
  p.setColor(QPalette::Base, toQColor(getColor_()));
  p.setColor(QPalette::Text, Qt::black);
  control->setPalette(p);
}

MemoHolderUI* MemoHolderUI::createCopy_() {
  std::unique_ptr<MemoHolderUI> copy = Create<MemoHolderUI>(owner());
  copy->copyFrom_(*this);
  return copy.release();
}

// ---- building views ----

void MemoHolderUI::buildView_(Kind kind) {
  if (slot(kind) < 0) return;
  if (!viewBuilt_) {
    // The first build takes the container's notes in file order.
    const StringList& c = nodes()->children();
    for (int i = 0; i < c.count(); ++i)
      if (TObject* n = c.object(i)) list_.appendRef(n, c[i]);
    viewBuilt_ = true;
  }
  builtKind_ = kind;
  if (kind == Kind::Tree)
    _TV_after();
  else
    list_.flatten();
  putField_("ModeNodesMngr", modeText(kind));
  if (kind == Kind::Tree) applyFlagExpanded_();
  if (kind != Kind::CheckList) {
    makeIconList_();
    refreshIcons_();
  }
}

void MemoHolderUI::_TV_after() {
  list_.nestBy([](TObject* n) { return Dequote(static_cast<MemoNode*>(n)->getField_("UID")); },
               [](TObject* n) { return Dequote(static_cast<MemoNode*>(n)->getField_("ParentNodeID")); });
}

NoteItemModel* MemoHolderUI::model(Kind kind) {
  const int s = slot(kind);
  if (s < 0) return nullptr;
  if (!models_[s]) {
    NoteItemModel::Hooks hooks;
    hooks.isMarked = [](TObject* n) { return static_cast<MemoNode*>(n)->isMarked_(); };
    hooks.setMarked = [this](TObject* n, bool on) {
      auto* node = static_cast<MemoNode*>(n);
      if (checkClickHook)
        checkClickHook(node, on);
      else if (auto* ui = dynamic_cast<MemoNodeUI*>(node))
        ui->setMarked_(on);
    };
    hooks.icon = [this](TObject* n) { return iconOf_(static_cast<MemoNode*>(n)); };
    hooks.columns = [this] { return listColumns_.count(); };
    hooks.header = [this](int c) { return c < listColumns_.count() ? listColumns_[c] : std::string(); };
    hooks.width = [this](int c) {
      return c >= 0 && c < static_cast<int>(listColumnWidths_.size()) ? listColumnWidths_[static_cast<size_t>(c)] : 0;
    };
    hooks.cell = [this](TObject* n, int c) {
      auto it = listCells_.find(n);
      if (c < 1 || it == listCells_.end() || c > static_cast<int>(it->second.size())) return std::string();
      return it->second[static_cast<size_t>(c - 1)];
    };
    const NoteItemModel::Kind mk = kind == Kind::CheckList ? NoteItemModel::Kind::CheckList
                                   : kind == Kind::Tree    ? NoteItemModel::Kind::Tree
                                                           : NoteItemModel::Kind::List;
    models_[s] = std::make_unique<NoteItemModel>(list_, mk, std::move(hooks));
  }
  return models_[s].get();
}

QWidget* MemoHolderUI::viewControl(Kind kind) const {
  const int s = slot(kind);
  return s < 0 ? nullptr : controls_[s].data();
}

void MemoHolderUI::setViewControl(Kind kind, QWidget* control) {
  const int s = slot(kind);
  if (s >= 0) controls_[s] = control;
}

QWidget* MemoHolderUI::getViewControl_() const {
  const int s = slot(kindOfMode(getModeNodesMngr_()));
  if (s < 0 || Dequote(getModeNodesMngr_()) == "Nodes") return nullptr;
  return controls_[s];
}

NoteViewBinding* MemoHolderUI::getViewBinding_() const {
  return dynamic_cast<NoteViewBinding*>(getViewControl_());
}

void MemoHolderUI::showView_() {
  if (QWidget* w = getViewControl_()) {
    w->setEnabled(true);
    w->setVisible(true);
  }
}

void MemoHolderUI::hideView_() {
  if (QWidget* w = getViewControl_()) {
    w->setEnabled(false);
    w->setVisible(false);
  }
}

void MemoHolderUI::mouseCursor_(int cursor) {
  QWidget* w = getViewControl_();
  if (!w) {
    // A list-view notebook that a window shows must have its list; one kept without a
    // window (a script's, a test's) has none by design.
    auto* doc = dynamic_cast<MemoFileUI*>(owner());
    const bool windowed =
        (doc && doc->form()) || std::any_of(std::begin(controls_), std::end(controls_), [](const auto& c) { return c; });
    if (windowed && kindOfMode(getModeNodesMngr_()) == Kind::List) ShowMessage("ERROR: MemoHolderUI.mouseCursor_");
    return;
  }
  if (cursor == -11)
    w->setCursor(Qt::WaitCursor);
  else
    w->unsetCursor();
}

// ---- icons ----

namespace {
// The first three words of a name (split at blanks and tabs).
void nameWords(const std::string& name, std::string& w1, std::string& w2, std::string& w3) {
  std::string r1, r2, r3;
  w1 = SplitFirstWord(sjis::trim(name), r1);
  w2 = SplitFirstWord(r1, r2);
  w3 = SplitFirstWord(r2, r3);
}
}  // namespace

int MemoHolderUI::makeIconList_() {
  iconMap_.clear();
  iconCount_ = 0;
  icons_.clear();
  StringList notes;
  setNodeList_(notes);
  StringList found;
  for (int i = 0; i < notes.count(); ++i) {
    auto* n = static_cast<MemoNode*>(notes.object(i));
    std::string w1, w2, w3;
    nameWords(notes[i], w1, w2, w3);
    if (!n || !sjis::sameText(w1, "icon") || !sjis::sameText(n->getField_("Content-Type"), "\"image/ico\""))
      continue;
    found.add(w2, n);
  }
  if (found.count() == 0) return 0;
  // Icons are numbered 0, 1, 2 ...: each number found turns its line into name=number
  // and its picture becomes image number i.
  std::vector<QIcon> images;
  bool failed = false;
  for (int i = 0; i < found.count(); ++i) {
    const int line = found.indexOfExact(std::to_string(i));
    if (line < 0) continue;
    auto* n = static_cast<MemoNode*>(found.object(line));
    std::string w1, w2, w3;
    nameWords(n->name(), w1, w2, w3);
    found.set(line, w3 + "=" + w2);
    const std::string* data = n->content() ? n->content()->data() : nullptr;
    QPixmap picture;
    if (!data || !picture.loadFromData(reinterpret_cast<const uchar*>(data->data()), static_cast<uint>(data->size()))) {
      // A picture that does not load ends the images, said once for the build.
      ShowMessage("ERROR: icon could not be loaded: " + n->name());
      failed = true;
      break;
    }
    images.emplace_back(picture);
  }
  iconMap_ = found;
  if (failed || static_cast<int>(images.size()) != found.count()) return -1;  // no images at all
  icons_ = std::move(images);
  iconCount_ = static_cast<int>(icons_.size());
  return iconCount_;
}

QIcon MemoHolderUI::iconOf_(MemoNode* node) const {
  const int i = iconIndexOf_(node);
  if (i < 0 || i >= static_cast<int>(icons_.size())) return {};
  return icons_[static_cast<size_t>(i)];
}

int MemoHolderUI::iconIndexOf_(MemoNode* node) const {
  if (!node) return -1;
  std::string v = Dequote(node->getField_("icon"));
  if (v.empty()) return -1;
  if (!(v[0] >= '0' && v[0] <= '9')) {
    if (iconMap_.count() == 0) return -1;
    v = iconMap_.value(v);
  }
  if (v.empty()) return -1;
  int n = 0;
  for (char ch : v) {
    if (ch < '0' || ch > '9') return -1;
    if (n > 100000000) return -1;
    n = n * 10 + (ch - '0');
  }
  return n;
}

void MemoHolderUI::refreshIcons_() {
  // The views ask for each item's icon as they paint; a repaint is all that is needed.
  for (auto& c : controls_)
    if (c) c->update();
}

void MemoHolderUI::applyFlagExpanded_() {
  if (builtKind_ != Kind::Tree) return;
  NoteList::ExpansionChanges run(list_);
  for (int i = 0, c = list_.count(); i < c; ++i) {
    NoteItem* it = list_.itemAt(i);
    if (it->hasChildren() && noteAt(it)->getField_("FlagExpanded") == "\"false\"") list_.setExpanded(it, false);
  }
}

// ---- listings and copies ----

void MemoHolderUI::addListColumn_(const std::string& caption, int width) {
  listColumns_.add(caption);
  listColumnWidths_.push_back(width);
}

void MemoHolderUI::clearListColumns_() {
  listColumns_.clear();
  listColumnWidths_.clear();
  listCells_.clear();
}

void MemoHolderUI::listColumnsChanged_() {
  if (models_[2]) models_[2]->columnsChanged();
}

int MemoHolderUI::makeCSVText_(StringList& out) {
  std::string docName;
  if (MemoFile* f = getParentFile_()) docName = f->name();
  // The running program's own file name, as it was started.
  const std::string program = fromQ(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
  out.add("# " + program + " " + docName + ":" + name() + "  " + FormatDateTime("yyyymmdd hhnnss", Now()));
  const std::string mode = Dequote(getModeNodesMngr_());
  if (mode.empty() || mode == "Nodes" || mode == "CheckListBox" || mode == "TreeView") {
    StringList notes;
    setNodeList_(notes);
    for (int i = 0; i < notes.count(); ++i) out.add(notes[i]);
    return notes.count();
  }
  if (mode != "ListView") return -1;
  std::string header;
  for (int i = 1; i < listColumns_.count(); ++i) header += (i > 1 ? "," : "") + listColumns_[i];
  out.add(header);
  StringList notes;
  setNodeList_(notes);
  for (int i = 0; i < notes.count(); ++i) {
    std::string line;
    auto c = listCells_.find(notes.object(i));
    if (c != listCells_.end())
      for (size_t j = 0; j < c->second.size(); ++j) line += (j ? "," : "") + c->second[j];
    out.add(line);
  }
  return notes.count();
}

MemoNode* MemoHolderUI::addCopy_(MemoNode* node) {
  if (!node) return nullptr;
  const std::string nm = node->name();
  MemoNode* copy = node->cloneNode_();
  if (getCurrentNode_()) {
    const int i = indexOfNode_(MemoHolder::getCurrentNode_());
    insertNode_(copy, nm, i < 0 ? getNodeCount_() : i);
  } else {
    addNode_(copy, nm);
  }
  modified = true;
  if (!Dequote(copy->getField_("UID")).empty()) copy->newUID_();
  return copy;
}

void MemoHolderUI::closeNodeWindows_() {
  StringList notes;
  setNodeList_(notes);
  for (int i = 0; i < notes.count(); ++i) {
    auto* n = dynamic_cast<MemoNodeUI*>(static_cast<MemoNode*>(notes.object(i)));
    if (n && n->noteWindow) n->noteWindow->close();
  }
}

}  // namespace wux

#include "model/objects.h"

#include <cxxabi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>
#include <unordered_set>

#include "model/Prompter.h"
#include "model/errors.h"
#include "model/strutil.h"
#include "model/text/NameIndex.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"

namespace wux {

namespace {

std::string twoDigits(long long n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2lld", n);
  return buf;
}

}  // namespace

// ---- TObjectNamed ----

std::uint64_t TObjectNamed::NextSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

int TObjectNamed::clear_() { return 0; }

void TObjectNamed::getNameChild_(const TObjectNamed*, std::string&) const {
  ShouldNotExecute("self.classname=" + className() + " in TObjectNamed.getNameChild_ ");
}

int TObjectNamed::putNameChild_as_(TObjectNamed*, const std::string&, std::string&) {
  ShouldNotExecute("TObjectNamed.putNameChild_as_ ");
  return 0;
}

void TObjectNamed::getName_(std::string& name) const {
  name.clear();
  if (owner_)
    owner_->getNameChild_(this, name);
  else
    name = "noname";
}

void TObjectNamed::putName_(const std::string& newName, std::string& actualName) {
  if (owner_)
    owner_->putNameChild_as_(this, newName, actualName);
  else
    actualName = "noname";
}

TObjectNamed* TObjectNamed::deepCopy() const {
  ShowMessage(sj("このメソッドは実行できない。") + "in TObjectNamed.deepCopy ");
  std::unique_ptr<TObjectNamed> copy(Create<TObjectNamed>(owner_));
  copy->copyFrom_(*this);
  return copy.release();
}

void TObjectNamed::copyFrom_(const TObjectNamed&) {}

int TObjectNamed::moveUp_() {
  auto* parent = dynamic_cast<TObjectParent*>(owner_);
  return parent ? parent->moveChildUp_(this) : -1;
}

int TObjectNamed::moveDown_() {
  auto* parent = dynamic_cast<TObjectParent*>(owner_);
  return parent ? parent->moveChildDown_(this) : -1;
}

std::string TObjectNamed::className() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* d = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string n = (status == 0 && d) ? d : mangled;
  std::free(d);
  std::size_t p = n.rfind("::");
  return p == std::string::npos ? n : n.substr(p + 2);
}

bool TObjectNamed::checkNIL(const TObject* obj) {
  if (obj) return false;
  ShowMessage("TObjectNamed.checkNIL");
  return true;
}

// ---- Unique names ----

// The name itself when free. Otherwise, with k the index of the line it clashes with, a
// name without digits becomes name_0k and one with digits has its number stepped; the
// candidate is stepped until free, and after 100 tries it becomes name_100, name_101...
// Each candidate is checked in the list's name index; a list without one gets a
// temporary index for the call.
void UniqueNameInList(const StringList* list, std::string_view name, std::string& result) {
  result = std::string(name);
  if (!list) return;
  StringList indexed;
  if (!list->nameIndex()) {
    if (!list->contains(name)) return;
    indexed = *list;
    indexed.setNameIndex(true);
    list = &indexed;
  }
  const NameIndex& index = *list->nameIndex();
  if (index.count(name) == 0) return;
  const bool digits = HasDigit(name);
  const std::string first = digits ? IncNumberStr(name) : std::string(name) + "_" + twoDigits(list->indexOf(name));
  // Where the last search for this name from this first candidate stopped: every
  // candidate before it is still taken, so the many notes of one name cost one try each.
  const std::string key = sjis::lower(name) + '\0' + sjis::lower(first);
  NameIndex::Probe probe;
  long long tries = 0;
  result = first;
  if (index.recall(key, probe) && probe.name == name) {
    tries = probe.tries;
    result = std::move(probe.candidate);
  }
  while (index.count(result) > 0) {
    result = IncNumberStr(result);
    if (++tries >= 100) result = std::string(name) + "_" + twoDigits(tries);
  }
  index.remember(key, NameIndex::Probe{std::string(name), tries, result});
}

std::string UniqueNameInList(const StringList& list, std::string_view name) {
  std::string r;
  UniqueNameInList(&list, name, r);
  return r;
}

// ---- TObjectParent ----

TObjectParent::~TObjectParent() { destroyChildren(); }

void TObjectParent::destroyChildren() { FreeObjects(children_); }

int TObjectParent::clear_() {
  destroyChildren();
  return 0;
}

void TObjectParent::getNameChild_(const TObjectNamed* child, std::string& name) const {
  name.clear();
  int i = children_.indexOfObject(child);
  if (i >= 0) name = children_[i];
}

int TObjectParent::putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actualName) {
  actualName.clear();
  if (newName.empty()) return 0;
  const int i = children_.indexOfObject(child);
  if (i < 0) return 0;
  const int j = children_.indexOf(newName);
  // The child already bears the name (letter case aside): nothing to rename.
  if (j == i) return 0;
  actualName = j >= 0 ? UniqueNameInList(children_, newName) : newName;
  children_.set(i, actualName);
  return 0;
}

void TObjectParent::copyFrom_(const TObjectNamed& source) {
  TObjectNamed::copyFrom_(source);
  // Children held before are destroyed, not leaked.
  destroyChildren();
  const auto* src = dynamic_cast<const TObjectParent*>(&source);
  if (!src || src == this) return;
  for (const auto& line : src->children_) {
    auto* srcChild = dynamic_cast<TObjectNamed*>(line.object);
    if (!srcChild) {
      children_.add(line.text, nullptr);
      continue;
    }
    std::unique_ptr<TObjectNamed> copy(srcChild->deepCopy());
    copy->setOwner(this);
    children_.add(line.text, copy.get());
    copy.release();
  }
}

int TObjectParent::insertChild_(int index, TObjectNamed* child, const std::string& name, std::string& actualName) {
  std::string unique;
  uniqueChildName_(name, unique);
  return insertChildRaw_(index, child, unique, actualName);
}

int TObjectParent::addChild_(TObjectNamed* child, const std::string& name, std::string& actualName) {
  std::string unique;
  uniqueChildName_(name, unique);
  return addChildRaw_(child, unique, actualName);
}

int TObjectParent::insertChildRaw_(int index, TObjectNamed* child, const std::string& name, std::string& actualName) {
  if (index < 0) throwRange("TObjectParent.insertChildRaw_", index, children_.count());
  actualName = name;
  if (child) child->setOwner(this);
  if (index < children_.count()) {
    children_.insert(index, name, child);
    return index;
  }
  return children_.add(name, child);
}

int TObjectParent::addChildRaw_(TObjectNamed* child, const std::string& name, std::string& actualName) {
  actualName = name;
  if (child) child->setOwner(this);
  return children_.add(name, child);
}

void TObjectParent::uniqueChildName_(const std::string& name, std::string& result) const {
  UniqueNameInList(&children_, name, result);
}

TObjectNamed* TObjectParent::findChild_(std::string_view name) const {
  int i = children_.indexOf(name);
  return i >= 0 ? child(i) : nullptr;
}

TObjectNamed* TObjectParent::findChildLoose_(std::string_view name) const {
  const std::string key = sjis::lower(sjis::trim(name));
  for (int i = 0; i < children_.count(); ++i)
    if (sjis::lower(sjis::trim(children_[i])) == key) return child(i);
  return nullptr;
}

int TObjectParent::moveChildUp_(TObjectNamed* child) {
  const int i = children_.indexOfObject(child);
  if (i < 0) return -1;
  if (i == 0) return 0;
  children_.move(i, i - 1);
  return i - 1;
}

int TObjectParent::moveChildDown_(TObjectNamed* child) {
  const int i = children_.indexOfObject(child);
  if (i < 0) return -1;
  if (i >= children_.count() - 1) return i;
  children_.move(i, i + 1);
  return i + 1;
}

TObjectNamed* TObjectParent::detachChild_(TObjectNamed* child) {
  if (!child) return nullptr;
  const int i = children_.indexOfObject(child);
  if (i < 0) return nullptr;
  children_.erase(i);
  // A raw add may have put it on more than one line.
  for (int j = children_.indexOfObject(child); j >= 0; j = children_.indexOfObject(child)) children_.erase(j);
  // It no longer lives here; the next container it is added to becomes its owner.
  child->setOwner(nullptr);
  return child;
}

// ---- TObjectParentEX ----

int TObjectParentEX::clear_() {
  TObjectParent::clear_();
  flagSort = false;
  flagAscending = true;
  return 0;
}

int TObjectParentEX::putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actualName) {
  int r = TObjectParent::putNameChild_as_(child, newName, actualName);
  resort_();
  return r;
}

int TObjectParentEX::addChild_(TObjectNamed* child, const std::string& name, std::string& actualName) {
  const int at = TObjectParent::addChild_(child, name, actualName);
  // Unsorted, the child stays on the line it was added on; looking it up again would
  // walk the whole list for every note a notebook is given.
  if (!flagSort) return at;
  resort_();
  // Answer where the child ended up after sorting.
  if (child) return children().indexOfObject(child);
  return children().indexOf(actualName);
}

void TObjectParentEX::copyFrom_(const TObjectNamed& source) {
  TObjectParent::copyFrom_(source);
  if (const auto* src = dynamic_cast<const TObjectParentEX*>(&source)) {
    flagSort = src->flagSort;
    flagAscending = src->flagAscending;
  }
}

void TObjectParentEX::resort_() {
  if (!flagSort) return;
  StringList& list = children();
  list.sort();
  if (!flagAscending)
    for (int i = 0, j = list.count() - 1; i < j; ++i, --j) list.exchange(i, j);
}

// ---- AgentAPLAbs ----

bool AgentAPLAbs::isBreak() {
  StillNotImplemented("");
  return false;
}

int AgentAPLAbs::messageDoing_(const std::string&) {
  StillNotImplemented("");
  return 0;
}

int AgentAPLAbs::query_(const std::string&, std::string& value) {
  StillNotImplemented("");
  value.clear();
  return 0;
}

int AgentAPLAbs::answerQuery_(const std::string& key, std::string& value, const std::function<bool()>& internetOn) {
  value.clear();
  if (internetOn && key == "getUIInternet") value = BoolToText(internetOn());
  return 0;
}

int AgentAPLAbs::reserved1_() {
  StillNotImplemented("");
  return -1;
}

int AgentAPLAbs::reserved2_() {
  StillNotImplemented("");
  return -1;
}

// ---- Base messages ----

int ShouldNotExecute(const std::string& text) {
  ShowMessage("Should not execute. " + text);
  return -100;
}

int StillNotImplemented(const std::string& text) {
  ShowMessage("Still not implemented. " + text);
  return -101;
}

}  // namespace wux

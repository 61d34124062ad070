#pragma once
// The named-object tree every model object descends from. An object knows only its
// owner; its name is its line in the owner's children list. Containers own their
// children: destroying or clearing a container destroys them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "model/text/StringList.h"

namespace wux {

class TObjectNamed : public TObject {
 public:
  // Use Create<T>(owner) so that the most derived clear_ runs on the new object.
  explicit TObjectNamed(TObjectNamed* owner = nullptr) : owner_(owner), serial_(NextSerial()) {}
  TObjectNamed(const TObjectNamed&) = delete;
  TObjectNamed& operator=(const TObjectNamed&) = delete;
  ~TObjectNamed() override = default;

  // Resets to the empty, default state; 0.
  virtual int clear_();
  // The name under which this object holds `child`.
  virtual void getNameChild_(const TObjectNamed* child, std::string& name) const;
  // Renames `child` here, making the name unique; `actualName` receives the name given.
  virtual int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actualName);
  virtual void getName_(std::string& name) const;
  virtual void putName_(const std::string& newName, std::string& actualName);
  // A new object of the same class and owner with a copy of the state; caller owns it.
  virtual TObjectNamed* deepCopy() const;
  virtual void copyFrom_(const TObjectNamed& source);
  // One place up or down in the owner's list: the new index, or -1 when the owner is
  // not a container or does not hold this object.
  virtual int moveUp_();
  virtual int moveDown_();

  TObjectNamed* owner() const { return owner_; }
  void setOwner(TObjectNamed* owner) { owner_ = owner; }
  std::string name() const {
    std::string n;
    getName_(n);
    return n;
  }
  // The class name shown in messages ("MemoNode", not a mangled or qualified name).
  std::string className() const;

  // True, after a message, when `obj` is missing.
  static bool checkNIL(const TObject* obj);

  // A number no other object of this run has had. Held beside an address it tells the
  // object from a new one made later where a freed one stood (see model/search.h).
  std::uint64_t serial() const { return serial_; }

 private:
  static std::uint64_t NextSerial();
  TObjectNamed* owner_;
  std::uint64_t serial_;
};

// Makes a model object: constructs it with its owner, then runs its clear_. The caller
// owns it until a container takes it (release() as it is handed over).
template <class T, class... A>
std::unique_ptr<T> Create(TObjectNamed* owner, A&&... args) {
  std::unique_ptr<T> obj(new T(owner, std::forward<A>(args)...));
  obj->clear_();
  return obj;
}

// The deepCopy of a class that is copied for real: a new object of its own class with
// the same owner, filled by copyFrom_.
template <class T>
T* DeepCopyOf(const T& self) {
  std::unique_ptr<T> copy = Create<T>(self.owner());
  copy->copyFrom_(self);
  return copy.release();
}

// Makes `name` unique in `list`, ignoring letter case; see the implementation for the rule.
void UniqueNameInList(const StringList* list, std::string_view name, std::string& result);
std::string UniqueNameInList(const StringList& list, std::string_view name);

class TObjectParent : public TObjectNamed {
 public:
  using TObjectNamed::TObjectNamed;
  ~TObjectParent() override;

  // Destroys every child and empties the list.
  int clear_() override;
  void getNameChild_(const TObjectNamed* child, std::string& name) const override;
  int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actualName) override;
  // Children are copied by their own deepCopy, under their names as they are.
  void copyFrom_(const TObjectNamed& source) override;

  // The container takes ownership of `child` and becomes its owner. Both answer the
  // index of the new line.
  virtual int insertChild_(int index, TObjectNamed* child, const std::string& name, std::string& actualName);
  virtual int addChild_(TObjectNamed* child, const std::string& name, std::string& actualName);

  // Without making the name unique (owners that allow equal names).
  int insertChildRaw_(int index, TObjectNamed* child, const std::string& name, std::string& actualName);
  int addChildRaw_(TObjectNamed* child, const std::string& name, std::string& actualName);

  void uniqueChildName_(const std::string& name, std::string& result) const;
  TObjectNamed* findChild_(std::string_view name) const;
  // Ignores surrounding blanks and control characters as well as letter case.
  TObjectNamed* findChildLoose_(std::string_view name) const;
  int moveChildUp_(TObjectNamed* child);
  int moveChildDown_(TObjectNamed* child);
  // Takes `child` out of the list without destroying it; the caller owns it then and
  // it has no owner until it is added elsewhere. nullptr when it is not a child here.
  TObjectNamed* detachChild_(TObjectNamed* child);

  StringList& children() { return children_; }
  const StringList& children() const { return children_; }
  int childCount() const { return children_.count(); }
  TObjectNamed* child(int i) const { return static_cast<TObjectNamed*>(children_.object(i)); }

 private:
  // The children's names are indexed: adding the ten-thousandth note of one name must
  // not compare it with every other note.
  struct IndexedList : StringList {
    IndexedList() { setNameIndex(true); }
  };
  void destroyChildren();
  IndexedList children_;
};

// A container that can keep its children sorted by name.
class TObjectParentEX : public TObjectParent {
 public:
  using TObjectParent::TObjectParent;

  bool flagSort = false;
  bool flagAscending = true;

  int clear_() override;
  int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actualName) override;
  int addChild_(TObjectNamed* child, const std::string& name, std::string& actualName) override;
  void copyFrom_(const TObjectNamed& source) override;
  // Sorts by name when flagSort is on; callers that change the flags call it themselves.
  void resort_();
};

// The query interface through which the model reaches the window that shows it.
// The base answers every query with a "Still not implemented. " message.
class AgentAPLAbs : public TObjectNamed {
 public:
  AgentAPLAbs() : TObjectNamed(nullptr) {}

  virtual bool isBreak();
  virtual int messageDoing_(const std::string& text);
  virtual int query_(const std::string& key, std::string& value);
  virtual int reserved1_();
  virtual int reserved2_();

  // Paces status texts and message processing of long operations; wraps around.
  std::uint32_t progress = 0;
  std::uint32_t incProgress() { return ++progress; }

 protected:
  // The answer of an agent that serves a window: "getUIInternet" is "true" or "false"
  // by the window's Internet switch (`internetOn`, asked only then); every other key,
  // and an agent without a window (no `internetOn`), the empty text, never what the
  // caller held.
  static int answerQuery_(const std::string& key, std::string& value, const std::function<bool()>& internetOn);
};

// Messages of operations that a layer should have provided. They answer the command
// codes -100 and -101.
int ShouldNotExecute(const std::string& text);
int StillNotImplemented(const std::string& text);

}  // namespace wux

#pragma once
// The ordered string list every part of wux is built on: bodies, comments, fields,
// children lists, logs. Each line may carry an attached object (not owned by the list).
// Lookups and sorting ignore ASCII letter case but never fold a Shift_JIS second byte.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/text/NameIndex.h"

namespace wux {

// Root of everything a list line can carry; lets owners and readers check types.
class TObject {
 public:
  virtual ~TObject() = default;
};

class StringList {
 public:
  struct Line {
    std::string text;
    TObject* object = nullptr;
  };

  StringList() = default;
  StringList(std::initializer_list<std::string> lines);
  // Copies and moves take the lines; a list keeps its own name index setting.
  StringList(const StringList& o);
  StringList& operator=(const StringList& o);
  StringList(StringList&& o) noexcept;
  StringList& operator=(StringList&& o);
  virtual ~StringList();

  int count() const { return static_cast<int>(lines_.size()); }
  bool empty() const { return lines_.empty(); }

  // Checked access: an index outside 0..count()-1 throws RangeError.
  const std::string& operator[](int i) const { return at(i).text; }
  const std::string& get(int i) const { return at(i).text; }
  void set(int i, std::string text);
  TObject* object(int i) const { return at(i).object; }
  void setObject(int i, TObject* obj);
  template <class T>
  T* objectAs(int i) const { return dynamic_cast<T*>(object(i)); }

  int add(std::string text, TObject* obj = nullptr);
  // Inserts before line i; i == count() appends.
  void insert(int i, std::string text, TObject* obj = nullptr);
  void erase(int i);
  void clear();
  void move(int from, int to);
  void exchange(int i, int j);
  void append(const StringList& other);  // lines and objects
  void reserve(std::size_t n) { lines_.reserve(n); }

  // Case-insensitive lookups (-1 when absent).
  int indexOf(std::string_view text) const;
  bool contains(std::string_view text) const;

  // A count of the names kept up to date with every change, making contains() and the
  // unique names of long lists cost O(1) (the children of containers turn it on).
  void setNameIndex(bool on);
  const NameIndex* nameIndex() const { return index_.get(); }
  int indexOfObject(const TObject* obj) const;
  // Exact byte comparison.
  int indexOfExact(std::string_view text) const;

  // name=value access: the name is the text before the first '=' (not trimmed).
  static std::string nameOf(std::string_view line);
  static std::string valueOfLine(std::string_view line);
  std::string name(int i) const { return nameOf(get(i)); }
  std::string valueFromIndex(int i) const { return valueOfLine(get(i)); }
  int indexOfName(std::string_view name) const;
  std::string value(std::string_view name) const;
  // Rewrites the line of an existing name, appends a new one, or deletes the line when
  // the value is empty.
  void setValue(std::string_view name, std::string_view value);

  // Sorting by the case-insensitive total order (stable for equal-folding lines:
  // ties are broken by bytes). `sorted` keeps the list sorted on add.
  void sort();
  void customSort(const std::function<int(const StringList&, int, int)>& cmp);
  bool sorted() const { return sorted_; }
  void setSorted(bool on);
  // On a sorted list: binary search; true and the index when found, else the insertion point.
  bool find(std::string_view text, int& index) const;
  enum class Duplicates { Accept, Ignore };
  void setDuplicates(Duplicates d) { dup_ = d; }

  // Text form: every line ended by CR LF.
  std::string text() const;
  // Splits at CR LF, CR or LF; a final break adds no empty line; NUL bytes are kept.
  void setText(std::string_view text);
  // Lines joined by `sep` with no trailing separator.
  std::string join(std::string_view sep) const;

  // File access. Loading a missing or unreadable file throws Error; saving is atomic
  // (a failed save leaves the old file as it was) and returns false on failure.
  void loadFromFile(const std::string& path);
  bool saveToFile(const std::string& path) const;

  std::vector<Line>::const_iterator begin() const { return lines_.begin(); }
  std::vector<Line>::const_iterator end() const { return lines_.end(); }
  const std::vector<Line>& lines() const { return lines_; }

  bool operator==(const StringList& o) const;  // texts only

 protected:
  const Line& at(int i) const;
  Line& at(int i);

 private:
  void rebuildIndex();
  void indexAdded(int i);
  void indexRemoved(std::string_view text);
  void indexReordered();

  std::vector<Line> lines_;
  std::unique_ptr<NameIndex> index_;
  bool sorted_ = false;
  Duplicates dup_ = Duplicates::Accept;
};

// For lists whose lines own their objects: frees the object of every line (each object
// once, however many lines carry it), then empties the list. The objects are taken off
// first, so no destructor ever sees a line that still names its object.
void FreeObjects(StringList& list);
// Frees the objects `drop` picks and removes their lines; the other lines keep their
// order. Returns the number of lines removed.
int FreeObjectsWhere(StringList& list, const std::function<bool(TObject*)>& drop);

}  // namespace wux

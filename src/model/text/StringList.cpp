#include "model/text/StringList.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "model/errors.h"
#include "model/text/NameIndex.h"
#include "model/text/sjis.h"
#include "platform/files.h"

namespace wux {

StringList::StringList(std::initializer_list<std::string> lines) {
  for (const auto& l : lines) lines_.push_back({l, nullptr});
}

StringList::StringList(const StringList& o) : lines_(o.lines_), sorted_(o.sorted_), dup_(o.dup_) {}

StringList& StringList::operator=(const StringList& o) {
  if (this == &o) return *this;
  lines_ = o.lines_;
  sorted_ = o.sorted_;
  dup_ = o.dup_;
  rebuildIndex();
  return *this;
}

StringList::StringList(StringList&& o) noexcept : lines_(std::move(o.lines_)), sorted_(o.sorted_), dup_(o.dup_) {
  o.clear();
}

StringList& StringList::operator=(StringList&& o) {
  if (this == &o) return *this;
  lines_ = std::move(o.lines_);
  sorted_ = o.sorted_;
  dup_ = o.dup_;
  o.clear();
  rebuildIndex();
  return *this;
}

StringList::~StringList() = default;

void StringList::setNameIndex(bool on) {
  if (!on) {
    index_.reset();
    return;
  }
  if (!index_) index_ = std::make_unique<NameIndex>();
  rebuildIndex();
}

void StringList::rebuildIndex() {
  if (!index_) return;
  index_->clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) index_->added(lines_[i].text, static_cast<int>(i), true);
}

void StringList::indexAdded(int i) {
  if (index_) index_->added(lines_[static_cast<std::size_t>(i)].text, i, i == count() - 1);
}

void StringList::indexRemoved(std::string_view text) {
  if (index_) index_->removed(text);
}

void StringList::indexReordered() {
  if (index_) index_->reordered();
}

void StringList::clear() {
  lines_.clear();
  if (index_) index_->clear();
}

bool StringList::contains(std::string_view text) const {
  if (index_) return index_->count(text) > 0;
  return indexOf(text) >= 0;
}

const StringList::Line& StringList::at(int i) const {
  if (i < 0 || i >= count()) throwRange("StringList", i, count());
  return lines_[static_cast<std::size_t>(i)];
}

StringList::Line& StringList::at(int i) {
  if (i < 0 || i >= count()) throwRange("StringList", i, count());
  return lines_[static_cast<std::size_t>(i)];
}

void StringList::set(int i, std::string text) {
  Line& l = at(i);
  if (!index_) {
    l.text = std::move(text);
    return;
  }
  index_->removed(l.text);
  l.text = std::move(text);
  index_->added(l.text, i, false);
}
void StringList::setObject(int i, TObject* obj) { at(i).object = obj; }

int StringList::add(std::string text, TObject* obj) {
  if (sorted_) {
    int idx = 0;
    if (find(text, idx) && dup_ == Duplicates::Ignore) return idx;
    lines_.insert(lines_.begin() + idx, Line{std::move(text), obj});
    indexAdded(idx);
    return idx;
  }
  if (lines_.size() >= static_cast<std::size_t>(INT32_MAX)) throw OverflowError("StringList: too many lines");
  lines_.push_back(Line{std::move(text), obj});
  indexAdded(count() - 1);
  return count() - 1;
}

void StringList::insert(int i, std::string text, TObject* obj) {
  if (i < 0 || i > count()) throwRange("StringList.insert", i, count() + 1);
  lines_.insert(lines_.begin() + i, Line{std::move(text), obj});
  indexAdded(i);
}

void StringList::erase(int i) {
  indexRemoved(at(i).text);
  lines_.erase(lines_.begin() + i);
}

void StringList::move(int from, int to) {
  at(from);
  at(to);
  if (from == to) return;
  Line l = std::move(lines_[static_cast<std::size_t>(from)]);
  lines_.erase(lines_.begin() + from);
  lines_.insert(lines_.begin() + to, std::move(l));
  indexReordered();
}

void StringList::exchange(int i, int j) {
  std::swap(at(i), at(j));
  indexReordered();
}

void StringList::append(const StringList& other) {
  const std::size_t from = lines_.size();
  lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
  for (std::size_t i = from; index_ && i < lines_.size(); ++i) index_->added(lines_[i].text, static_cast<int>(i), true);
}

int StringList::indexOf(std::string_view text) const {
  if (index_) {
    // After lines were inserted, moved or renamed, the first lookup of a name that is
    // there relearns the first lines in one walk; every lookup until the next clear
    // walking on its own made a run of clashing adds quadratic.
    int first = index_->first(text);
    if (first == -2) {
      index_->relearnFirsts(lines_);
      first = index_->first(text);
    }
    return first;
  }
  if (sorted_) {
    int idx;
    if (find(text, idx)) return idx;
    return -1;
  }
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (sjis::sameText(lines_[i].text, text)) return static_cast<int>(i);
  return -1;
}

int StringList::indexOfObject(const TObject* obj) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].object == obj) return static_cast<int>(i);
  return -1;
}

int StringList::indexOfExact(std::string_view text) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].text == text) return static_cast<int>(i);
  return -1;
}

std::string StringList::nameOf(std::string_view line) {
  std::size_t p = line.find('=');  // '=' (0x3D) is never a second byte
  return p == std::string_view::npos ? std::string() : std::string(line.substr(0, p));
}

std::string StringList::valueOfLine(std::string_view line) {
  std::size_t p = line.find('=');
  return p == std::string_view::npos ? std::string() : std::string(line.substr(p + 1));
}

int StringList::indexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view l = lines_[i].text;
    std::size_t p = l.find('=');
    // Names equal under the folding are equal in length.
    if (p == name.size() && sjis::sameText(l.substr(0, p), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string StringList::value(std::string_view name) const {
  int i = indexOfName(name);
  return i < 0 ? std::string() : valueFromIndex(i);
}

void StringList::setValue(std::string_view name, std::string_view value) {
  int i = indexOfName(name);
  if (value.empty()) {
    if (i >= 0) erase(i);
    return;
  }
  std::string line(name);
  line += '=';
  line += value;
  if (i >= 0)
    set(i, std::move(line));
  else
    add(std::move(line));
}

void StringList::sort() {
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const Line& a, const Line& b) { return sjis::compareSort(a.text, b.text) < 0; });
  indexReordered();
}

void StringList::customSort(const std::function<int(const StringList&, int, int)>& cmp) {
  std::vector<int> idx(lines_.size());
  std::iota(idx.begin(), idx.end(), 0);
  std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) { return cmp(*this, a, b) < 0; });
  std::vector<Line> out;
  out.reserve(lines_.size());
  for (int i : idx) out.push_back(std::move(lines_[static_cast<std::size_t>(i)]));
  lines_ = std::move(out);
  indexReordered();
}

void StringList::setSorted(bool on) {
  if (on && !sorted_) sort();
  sorted_ = on;
}

bool StringList::find(std::string_view text, int& index) const {
  // Equality is by case folding; among equal-folding lines the first is found.
  std::size_t lo = 0, hi = lines_.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (sjis::compareText(lines_[mid].text, text) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  index = static_cast<int>(lo);
  return lo < lines_.size() && sjis::sameText(lines_[lo].text, text);
}

std::string StringList::text() const {
  std::size_t n = 0;
  for (const auto& l : lines_) n += l.text.size() + 2;
  std::string out;
  out.reserve(n);
  for (const auto& l : lines_) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

void StringList::setText(std::string_view t) {
  bool wasSorted = sorted_;
  sorted_ = false;
  lines_.clear();
  std::size_t i = 0, n = t.size();
  while (i < n) {
    std::size_t j = i;
    while (j < n && t[j] != '\r' && t[j] != '\n') ++j;
    lines_.push_back(Line{std::string(t.substr(i, j - i)), nullptr});
    if (j < n) j += (t[j] == '\r' && j + 1 < n && t[j + 1] == '\n') ? 2 : 1;
    i = j;
  }
  rebuildIndex();
  if (wasSorted) setSorted(true);
}

std::string StringList::join(std::string_view sep) const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += sep;
    out += lines_[i].text;
  }
  return out;
}

void StringList::loadFromFile(const std::string& path) {
  std::string data;
  if (!platform::readFile(path, data)) throw Error("Cannot open file " + path);
  setText(data);
}

bool StringList::saveToFile(const std::string& path) const {
  return platform::writeFileAtomic(path, text());
}

bool StringList::operator==(const StringList& o) const {
  if (lines_.size() != o.lines_.size()) return false;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].text != o.lines_[i].text) return false;
  return true;
}

namespace {

// Deletes in list order, an object on two lines (raw adds) once. Sorted pointers tell
// whether there are such objects far faster than a hash set over thousands of notes.
void deleteEachOnce(const std::vector<TObject*>& objects) {
  std::vector<TObject*> sorted(objects);
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
    for (TObject* o : objects) delete o;
    return;
  }
  std::unordered_set<TObject*> freed;
  for (TObject* o : objects)
    if (freed.insert(o).second) delete o;
}

}  // namespace

void FreeObjects(StringList& list) {
  std::vector<TObject*> objects;
  objects.reserve(static_cast<std::size_t>(list.count()));
  for (const auto& line : list)
    if (line.object) objects.push_back(line.object);
  list.clear();
  deleteEachOnce(objects);
}

int FreeObjectsWhere(StringList& list, const std::function<bool(TObject*)>& drop) {
  std::vector<TObject*> objects;
  for (int i = list.count() - 1; i >= 0; --i) {
    TObject* o = list.object(i);
    if (!o || !drop(o)) continue;
    list.erase(i);
    objects.push_back(o);
  }
  const int removed = static_cast<int>(objects.size());
  deleteEachOnce(objects);
  return removed;
}

}  // namespace wux

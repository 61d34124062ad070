#pragma once
// The names of a string list counted by their letter-case-folded form, kept up to date
// by the list itself (StringList::setNameIndex), so that "is this name taken" costs one
// hash lookup instead of a walk over every line. It also remembers where the search
// for a free name stopped, so that the thousandth note of one name does not try the
// 999 names before it again.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wux {

class NameIndex {
 public:
  // Lines equal to `text` under the list's comparison (ASCII letters folded, the second
  // byte of a double-byte character never).
  int count(std::string_view text) const;
  // The index of the first line equal to `text`; -1 when there is none; -2 when lines
  // were inserted, moved or renamed since it was last known (see relearnFirsts).
  int first(std::string_view text) const;

  // Kept by the list.
  void clear();
  // A line `text` now at `index`; `atEnd` when it was appended after every other line.
  void added(const std::string& text, int index, bool atEnd);
  void removed(std::string_view text);
  void reordered() { firstKnown_ = false; }
  // Learns again where each name first stands, from the list's lines in order (each
  // with its `text`), after a change made first() answer -2.
  template <class Lines>
  void relearnFirsts(const Lines& lines) {
    for (Slot& s : slots_) s.first = -1;
    int i = 0;
    for (const auto& line : lines) markFirst(line.text, i++);
    firstKnown_ = true;
  }

  // Where a search for a free name stopped: the name it was made for, the tries made
  // and the candidate reached. Valid only while no name has left the list, since then
  // every candidate before it is still taken.
  struct Probe {
    std::string name;
    long long tries = 0;
    std::string candidate;
  };
  bool recall(const std::string& key, Probe& probe) const;
  void remember(const std::string& key, Probe probe) const;

 private:
  // Open addressing with linear probing over a power-of-two table: a lookup of a name
  // that is not there, the common case when a file is read, touches one or two slots.
  // A hash of 0 marks a free slot.
  struct Slot {
    std::string key;
    std::uint64_t hash = 0;
    int count = 0;
    int first = -1;
  };
  static std::uint64_t hashOf(std::string_view s);
  // The slot holding `text` (of hash `h`), or the free slot where it would go.
  std::size_t probe(std::string_view text, std::uint64_t h) const;
  void grow();
  void markFirst(std::string_view text, int index);
  void eraseSlot(std::size_t i);

  struct Remembered {
    Probe probe;
    std::uint64_t generation = 0;
  };
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  bool firstKnown_ = true;
  std::uint64_t removals_ = 0;
  mutable std::unordered_map<std::string, Remembered> probes_;
};

}  // namespace wux

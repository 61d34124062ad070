#include "model/text/NameIndex.h"

#include "model/text/sjis.h"

namespace wux {

std::uint64_t NameIndex::hashOf(std::string_view s) {
  // FNV-1a over the folded bytes (equal names under sameText hash alike), then mixed so
  // that the low bits the table uses depend on every byte.
  std::uint64_t h = 1469598103934665603ull;
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = sjis::charLen(s, i);
    h = (h ^ sjis::foldByte(static_cast<unsigned char>(s[i]))) * 1099511628211ull;
    if (len == 2) h = (h ^ static_cast<unsigned char>(s[i + 1])) * 1099511628211ull;
    i += len;
  }
  h ^= h >> 32;
  h *= 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  return h | 1;
}

std::size_t NameIndex::probe(std::string_view text, std::uint64_t h) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h) & mask;
  while (slots_[i].hash != 0) {
    if (slots_[i].hash == h && sjis::sameText(slots_[i].key, text)) return i;
    i = (i + 1) & mask;
  }
  return i;
}

void NameIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(old.empty() ? 16 : old.size() * 2);
  const std::size_t mask = slots_.size() - 1;
  for (auto& s : old) {
    if (s.hash == 0) continue;
    std::size_t i = static_cast<std::size_t>(s.hash) & mask;
    while (slots_[i].hash != 0) i = (i + 1) & mask;
    slots_[i] = std::move(s);
  }
}

void NameIndex::eraseSlot(std::size_t i) {
  // Backward shift: every later entry of the run that may move closer to its home
  // slot does, so no lookup ever stops short at the hole.
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = i;
  for (std::size_t j = (i + 1) & mask; slots_[j].hash != 0; j = (j + 1) & mask) {
    const std::size_t home = static_cast<std::size_t>(slots_[j].hash) & mask;
    // The entry at j may fill the hole when its home is not within (hole, j].
    if (((j - home) & mask) >= ((j - hole) & mask)) {
      slots_[hole] = std::move(slots_[j]);
      hole = j;
    }
  }
  slots_[hole] = Slot();
  --used_;
}

int NameIndex::count(std::string_view text) const {
  if (used_ == 0) return 0;
  const Slot& s = slots_[probe(text, hashOf(text))];
  return s.hash == 0 ? 0 : s.count;
}

int NameIndex::first(std::string_view text) const {
  if (used_ == 0) return -1;
  const Slot& s = slots_[probe(text, hashOf(text))];
  if (s.hash == 0) return -1;
  return firstKnown_ ? s.first : -2;
}

void NameIndex::markFirst(std::string_view text, int index) {
  if (used_ == 0) return;
  Slot& s = slots_[probe(text, hashOf(text))];
  if (s.hash != 0 && s.first < 0) s.first = index;
}

void NameIndex::clear() {
  std::vector<Slot>().swap(slots_);
  used_ = 0;
  firstKnown_ = true;
  ++removals_;
  probes_.clear();
}

void NameIndex::added(const std::string& text, int index, bool atEnd) {
  if (!atEnd) firstKnown_ = false;
  if ((used_ + 1) * 4 > slots_.size() * 3) grow();
  const std::uint64_t h = hashOf(text);
  Slot& s = slots_[probe(text, h)];
  if (s.hash == 0) {
    s.key = text;
    s.hash = h;
    s.count = 0;
    ++used_;
  }
  if (s.count == 0) s.first = index;
  ++s.count;
}

void NameIndex::removed(std::string_view text) {
  ++removals_;
  firstKnown_ = false;
  if (used_ == 0) return;
  const std::size_t i = probe(text, hashOf(text));
  if (slots_[i].hash == 0) return;
  if (--slots_[i].count <= 0) eraseSlot(i);
}

bool NameIndex::recall(const std::string& key, Probe& probe) const {
  auto it = probes_.find(key);
  if (it == probes_.end() || it->second.generation != removals_) return false;
  probe = it->second.probe;
  return true;
}

void NameIndex::remember(const std::string& key, Probe probe) const {
  if (probes_.size() >= 4096) probes_.clear();  // many names clashed once each: start afresh
  probes_[key] = Remembered{std::move(probe), removals_};
}

}  // namespace wux

#include "model/text/NameIndex.h"

#include "model/text/sjis.h"

namespace wux {

std::size_t NameIndex::FoldedHash::operator()(std::string_view s) const {
  // FNV-1a over the folded bytes: equal names under sameText hash alike.
  std::uint64_t h = 1469598103934665603ull;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = sjis::charLen(s, i);
    for (std::size_t k = 0; k < len; ++k) {
      unsigned char c = static_cast<unsigned char>(s[i + k]);
      if (k == 0) c = sjis::foldByte(c);
      h = (h ^ c) * 1099511628211ull;
    }
    i += len;
  }
  return static_cast<std::size_t>(h);
}

bool NameIndex::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return sjis::sameText(a, b);
}

int NameIndex::count(std::string_view text) const {
  auto it = names_.find(text);
  return it == names_.end() ? 0 : it->second.count;
}

int NameIndex::first(std::string_view text) const {
  auto it = names_.find(text);
  if (it == names_.end()) return -1;
  return firstKnown_ ? it->second.first : -2;
}

void NameIndex::clear() {
  names_.clear();
  firstKnown_ = true;
  ++removals_;
  probes_.clear();
}

void NameIndex::added(const std::string& text, int index, bool atEnd) {
  if (!atEnd) firstKnown_ = false;
  auto [it, fresh] = names_.try_emplace(text);
  if (fresh || it->second.count == 0) it->second.first = index;
  ++it->second.count;
}

void NameIndex::removed(std::string_view text) {
  ++removals_;
  firstKnown_ = false;
  auto it = names_.find(text);
  if (it == names_.end()) return;
  if (--it->second.count <= 0) names_.erase(it);
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

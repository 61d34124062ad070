#include "model/text/sjis.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wux::sjis {

bool isSecondByte(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return false;
  return charStart(s, pos) != pos;
}

std::size_t charStart(std::string_view s, std::size_t pos) {
  // Walking back over lead-byte candidates finds a safe resynchronisation point
  // without scanning the whole text from its start.
  std::size_t i = pos;
  while (i > 0 && isLeadByte(static_cast<unsigned char>(s[i - 1]))) --i;
  std::size_t start = i;
  while (true) {
    std::size_t len = charLen(s, start);
    if (start + len > pos) return start;
    start += len;
  }
}

std::size_t charCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i += charLen(s, i)) ++n;
  return n;
}

namespace {
template <bool Upper>
std::string fold(std::string_view s) {
  std::string r(s);
  for (std::size_t i = 0; i < r.size();) {
    std::size_t len = charLen(r, i);
    if (len == 1) {
      char& c = r[i];
      if (Upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      } else {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
    }
    i += len;
  }
  return r;
}
}  // namespace

std::string lower(std::string_view s) { return fold<false>(s); }
std::string upper(std::string_view s) { return fold<true>(s); }

int compareText(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    std::size_t la = charLen(a, i), lb = charLen(b, j);
    if (la == 1 && lb == 1) {
      unsigned char ca = foldByte(static_cast<unsigned char>(a[i]));
      unsigned char cb = foldByte(static_cast<unsigned char>(b[j]));
      if (ca != cb) return ca < cb ? -1 : 1;
    } else {
      // Double-byte characters compare by their bytes, never folded.
      std::string_view ca = a.substr(i, la), cb = b.substr(j, lb);
      for (std::size_t k = 0; k < std::min(la, lb); ++k) {
        unsigned char x = static_cast<unsigned char>(ca[k]);
        unsigned char y = static_cast<unsigned char>(cb[k]);
        if (k == 0) { x = foldByte(x); y = foldByte(y); }
        if (x != y) return x < y ? -1 : 1;
      }
      if (la != lb) return la < lb ? -1 : 1;
    }
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int compareSort(std::string_view a, std::string_view b) {
  int c = compareText(a, b);
  if (c != 0) return c;
  int d = a.compare(b);
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

std::string trimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= 0x20) ++i;
  return std::string(s.substr(i));
}

std::string trimRight(std::string_view s) {
  // A byte <= 0x20 is never a second byte, so trimming from the end is safe.
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 0x20) --n;
  return std::string(s.substr(0, n));
}

std::string trim(std::string_view s) {
  std::size_t i = 0, n = s.size();
  while (i < n && static_cast<unsigned char>(s[i]) <= 0x20) ++i;
  while (n > i && static_cast<unsigned char>(s[n - 1]) <= 0x20) --n;
  return std::string(s.substr(i, n - i));
}

namespace {
std::size_t findImpl(std::string_view hay, std::string_view needle, std::size_t from, bool ic) {
  if (needle.empty()) return std::string::npos;
  return Finder(needle, ic).find(hay, from);
}
}  // namespace

Finder::Finder(std::string_view needle, bool ignoreCase) : needle_(needle), low_(needle), fold_(needle.size(), '\0') {
  const std::size_t n = needle_.size();
  std::size_t lastLen = 0;
  for (std::size_t i = 0; i < n; i += lastLen) {
    lastLen = charLen(needle_, i);
    const unsigned char c = static_cast<unsigned char>(needle_[i]);
    if (ignoreCase && lastLen == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
      fold_[i] = 0x20;
      low_[i] = static_cast<char>(c | 0x20);
      folded_ = true;
    }
  }
  if (n == 0) return;
  loneLeadEnd_ = lastLen == 1 && isLeadByte(static_cast<unsigned char>(needle_[n - 1]));
  first_ = static_cast<unsigned char>(low_[0]);
  firstFold_ = static_cast<unsigned char>(fold_[0]);
  last_ = static_cast<unsigned char>(low_[n - 1]);
  lastFold_ = static_cast<unsigned char>(fold_[n - 1]);
  const unsigned char four[4] = {first_, firstFold_, last_, lastFold_};
  for (int k = 0; k < 4; ++k) std::memset(lanes_[k], four[k], sizeof lanes_[k]);
}

bool Finder::bytesMatch(const char* at) const {
  const std::size_t n = needle_.size();
  if (!folded_) return std::memcmp(at, needle_.data(), n) == 0;
  const char* low = low_.data();
  const char* fold = fold_.data();
  std::size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    std::uint64_t t, f, l;
    std::memcpy(&t, at + k, 8);
    std::memcpy(&f, fold + k, 8);
    std::memcpy(&l, low + k, 8);
    if ((t | f) != l) return false;
  }
  for (; k < n; ++k)
    if ((at[k] | fold[k]) != low[k]) return false;
  return true;
}

// Whether the bytes matched at `at` are whole characters of the text. `sync` is a place
// known to start a character, at or before `at`: the walk back to find where characters
// start stops there, so runs of lead-byte values (common in kana) are walked once per
// search, not once per candidate. It is moved up to the first character start at or
// after `at`.
bool Finder::wholeChars(std::string_view hay, std::size_t at, std::size_t& sync) const {
  std::size_t i = at;
  // A byte after one that cannot lead a pair always starts a character.
  while (i > sync && isLeadByte(static_cast<unsigned char>(hay[i - 1]))) --i;
  while (i < at) i += charLen(hay, i);
  sync = i;
  if (i != at) return false;
  // Inside the match the text pairs bytes as the needle does; only a lead byte ending
  // the needle may take the text's next byte as its second.
  return !loneLeadEnd_ || charLen(hay, at + needle_.size() - 1) == 1;
}

std::size_t Finder::find(std::string_view hay, std::size_t from) const {
  const std::size_t n = needle_.size();
  if (n == 0 || from >= hay.size() || hay.size() - from < n) return std::string::npos;
  const char* s = hay.data();
  const std::size_t lastStart = hay.size() - n;
  std::size_t sync = from, pos = from;
  // Only places whose first and last bytes match are compared in full.
#if defined(__SSE2__)
  if (lastStart - pos >= 16) {
    const __m128i first = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_[0]));
    const __m128i firstFold = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_[1]));
    const __m128i last = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_[2]));
    const __m128i lastFold = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_[3]));
    // Bit j: the place p + j is a candidate.
    auto candidates = [&](std::size_t p) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p + n - 1));
      const __m128i m = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstFold), first),
                                      _mm_cmpeq_epi8(_mm_or_si128(b, lastFold), last));
      return static_cast<unsigned>(_mm_movemask_epi8(m));
    };
    for (; pos + 16 <= lastStart + 1; pos += 16)
      for (unsigned m = candidates(pos); m != 0; m &= m - 1) {
        const std::size_t at = pos + static_cast<std::size_t>(__builtin_ctz(m));
        if (bytesMatch(s + at) && wholeChars(hay, at, sync)) return at;
      }
    if (pos <= lastStart) {
      // The last block overlaps the one before it; the places already tried are masked off.
      const std::size_t start = lastStart + 1 - 16;
      for (unsigned m = candidates(start) & (0xFFFFu << (pos - start)); m != 0; m &= m - 1) {
        const std::size_t at = start + static_cast<std::size_t>(__builtin_ctz(m));
        if (bytesMatch(s + at) && wholeChars(hay, at, sync)) return at;
      }
    }
    return std::string::npos;
  }
#endif
  for (; pos <= lastStart; ++pos) {
    const unsigned char c = static_cast<unsigned char>(s[pos]), e = static_cast<unsigned char>(s[pos + n - 1]);
    if ((c | firstFold_) == first_ && (e | lastFold_) == last_ && bytesMatch(s + pos) &&
        wholeChars(hay, pos, sync))
      return pos;
  }
  return std::string::npos;
}

std::size_t find(std::string_view hay, std::string_view needle, std::size_t from) {
  return findImpl(hay, needle, from, false);
}

std::size_t findIgnoreCase(std::string_view hay, std::string_view needle, std::size_t from) {
  return findImpl(hay, needle, from, true);
}

std::size_t findLast(std::string_view hay, std::string_view needle) {
  if (needle.empty()) return std::string::npos;
  const Finder finder(needle, false);
  std::size_t last = std::string::npos;
  for (std::size_t p = finder.find(hay); p != std::string::npos; p = finder.find(hay, p + charLen(hay, p)))
    last = p;
  return last;
}

std::size_t findFirstOf(std::string_view s, std::string_view set, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i += charLen(s, i))
    if (charLen(s, i) == 1 && set.find(s[i]) != std::string_view::npos) return i;
  return std::string::npos;
}

std::size_t findLastOf(std::string_view s, std::string_view set) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < s.size(); i += charLen(s, i))
    if (charLen(s, i) == 1 && set.find(s[i]) != std::string_view::npos) last = i;
  return last;
}

bool contains(std::string_view hay, std::string_view needle) {
  return sjis::find(hay, needle) != std::string::npos;
}

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view s, std::string_view suffix) {
  if (suffix.empty()) return true;
  if (s.size() < suffix.size()) return false;
  std::size_t at = s.size() - suffix.size();
  return s.substr(at) == suffix && !isSecondByte(s, at);
}

std::string Finder::replaceAll(std::string_view hay, std::string_view to, std::size_t first) const {
  const std::size_t n = needle_.size();
  std::string out;
  out.reserve(hay.size() + (to.size() > n ? to.size() - n : 0));
  std::size_t pos = 0;
  for (std::size_t hit = first; hit != std::string::npos; hit = find(hay, pos)) {
    out.append(hay.data() + pos, hit - pos);
    out.append(to);
    pos = hit + n;
  }
  out.append(hay.data() + pos, hay.size() - pos);
  return out;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return std::string(s);
  const Finder finder(from, ignoreCase);
  const std::size_t first = finder.find(s);
  if (first == std::string::npos) return std::string(s);
  return finder.replaceAll(s, to, first);
}

std::size_t countOf(std::string_view hay, std::string_view needle, bool ignoreCase) {
  if (needle.empty()) return 0;
  const Finder finder(needle, ignoreCase);
  std::size_t n = 0;
  for (std::size_t p = finder.find(hay); p != std::string::npos; p = finder.find(hay, p + needle.size())) ++n;
  return n;
}

}  // namespace wux::sjis

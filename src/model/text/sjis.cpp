#include "model/text/sjis.h"

#include <algorithm>
#include <cstring>

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
bool matchAt(std::string_view hay, std::size_t i, std::string_view needle, bool ignoreCase) {
  if (hay.size() - i < needle.size()) return false;
  if (!ignoreCase) return std::memcmp(hay.data() + i, needle.data(), needle.size()) == 0;
  // Fold only bytes that start a single-byte character in both texts.
  std::size_t k = 0;
  while (k < needle.size()) {
    std::size_t len = charLen(needle, k);
    if (len == 2) {
      if (hay[i + k] != needle[k] || hay[i + k + 1] != needle[k + 1]) return false;
    } else if (foldByte(static_cast<unsigned char>(hay[i + k])) !=
               foldByte(static_cast<unsigned char>(needle[k]))) {
      return false;
    } else if (isLeadByte(static_cast<unsigned char>(hay[i + k])) &&
               charLen(hay, i + k) == 2) {
      // The needle's lone lead byte would match only half of a character.
      return false;
    }
    k += len;
  }
  return true;
}

// A byte match is a character match when it starts and ends on character starts: a
// double-byte character of the needle then lies on one of the text.
bool onCharBounds(std::string_view hay, std::size_t at, std::size_t n) {
  if (charStart(hay, at) != at) return false;
  return at + n == hay.size() || charStart(hay, at + n) == at + n;
}

bool hasAsciiLetter(std::string_view s) {
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

std::size_t findImpl(std::string_view hay, std::string_view needle, std::size_t from, bool ic) {
  if (needle.empty()) return std::string::npos;
  return Finder(needle, ic).find(hay, from);
}
}  // namespace

Finder::Finder(std::string_view needle, bool ignoreCase) : needle_(needle) {
  // Without letters to fold, ignoring case finds exactly the same bytes.
  folded_ = ignoreCase && hasAsciiLetter(needle);
  if (!folded_ || needle_.empty()) return;
  const std::size_t n = needle_.size();
  const unsigned char most = static_cast<unsigned char>(std::min<std::size_t>(n, 255));
  std::memset(skip_, most, sizeof skip_);
  for (std::size_t i = n > 256 ? n - 256 : 0; i + 1 < n; ++i) {
    const unsigned char c = foldByte(static_cast<unsigned char>(needle_[i]));
    const auto shift = static_cast<unsigned char>(std::min<std::size_t>(n - 1 - i, 255));
    skip_[c] = shift;
    if (c >= 'a' && c <= 'z') skip_[c - 32] = shift;
  }
  last_ = foldByte(static_cast<unsigned char>(needle_[n - 1]));
}

std::size_t Finder::find(std::string_view hay, std::size_t from) const {
  const std::size_t n = needle_.size();
  if (n == 0 || from >= hay.size() || hay.size() - from < n) return std::string::npos;
  std::size_t pos = from;
  if (!folded_) {
    while (pos + n <= hay.size()) {
      const void* p = ::memmem(hay.data() + pos, hay.size() - pos, needle_.data(), n);
      if (!p) return std::string::npos;
      const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(p) - hay.data());
      if (onCharBounds(hay, at, n)) return at;
      pos = at + 1;
    }
    return std::string::npos;
  }
  // Horspool over bytes with ASCII letters folded: every real match is among its
  // candidates, and each candidate is then checked character by character.
  while (pos + n <= hay.size()) {
    const unsigned char c = static_cast<unsigned char>(hay[pos + n - 1]);
    if (foldByte(c) == last_ && onCharBounds(hay, pos, n) && matchAt(hay, pos, needle_, true)) return pos;
    pos += skip_[c];
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
  std::size_t last = std::string::npos;
  for (std::size_t p = sjis::find(hay, needle, 0); p != std::string::npos;
       p = sjis::find(hay, needle, p + charLen(hay, p)))
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

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to, bool ignoreCase) {
  std::string out;
  if (from.empty()) return std::string(s);
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = findImpl(s, from, pos, ignoreCase);
    if (hit == std::string::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::size_t countOf(std::string_view hay, std::string_view needle, bool ignoreCase) {
  std::size_t n = 0;
  for (std::size_t p = findImpl(hay, needle, 0, ignoreCase); p != std::string::npos;
       p = findImpl(hay, needle, p + needle.size(), ignoreCase))
    ++n;
  return n;
}

}  // namespace wux::sjis

#pragma once
// Shift_JIS (code page 932) byte text. Every search, split, fold and compare here
// steps by characters: the second byte of a double-byte character (0x40-0xFC, which
// includes '\\', '|', '@' and ASCII letters) never matches, splits or folds alone.
#include <cstddef>
#include <string>
#include <string_view>

namespace wux::sjis {

inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Length in bytes of the character starting at s[i]: 2 for a lead byte followed by a
// valid second byte, else 1 (a lone lead byte at the end counts as one character).
inline std::size_t charLen(std::string_view s, std::size_t i) {
  if (i + 1 < s.size() && isLeadByte(static_cast<unsigned char>(s[i])) &&
      isTrailByte(static_cast<unsigned char>(s[i + 1])))
    return 2;
  return 1;
}

// True when byte `pos` is the second byte of a double-byte character.
bool isSecondByte(std::string_view s, std::size_t pos);
// Start of the character that contains byte `pos`.
std::size_t charStart(std::string_view s, std::size_t pos);
// Number of characters (double-byte ones count once).
std::size_t charCount(std::string_view s);

// ASCII case folding that leaves every double-byte character alone.
std::string lower(std::string_view s);
std::string upper(std::string_view s);
inline unsigned char foldByte(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Case-insensitive comparison (ASCII letters folded, second bytes untouched); <0, 0, >0.
int compareText(std::string_view a, std::string_view b);
inline bool sameText(std::string_view a, std::string_view b) { return compareText(a, b) == 0; }
// A total order for sorting: compareText, ties broken by plain byte order.
int compareSort(std::string_view a, std::string_view b);

// Trimming of bytes <= 0x20 (the full-width blank is text, not trimmed).
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);

// Searches that only match at character starts. `from` is a byte offset that should be a
// character start. Return std::string::npos when not found. An empty needle is not found.
std::size_t find(std::string_view hay, std::string_view needle, std::size_t from = 0);
std::size_t findIgnoreCase(std::string_view hay, std::string_view needle, std::size_t from = 0);
std::size_t findLast(std::string_view hay, std::string_view needle);
// First single-byte character of `set` at or after `from`.
std::size_t findFirstOf(std::string_view s, std::string_view set, std::size_t from = 0);
std::size_t findLastOf(std::string_view s, std::string_view set);
bool contains(std::string_view hay, std::string_view needle);

// One needle searched for in many texts (the notes of a document): find() answers what
// sjis::find or findIgnoreCase would, without preparing the needle again each time.
class Finder {
 public:
  Finder(std::string_view needle, bool ignoreCase);
  std::size_t find(std::string_view hay, std::size_t from = 0) const;
  const std::string& needle() const { return needle_; }
  // `hay` with every match replaced by `to`, left to right, never rescanning what was
  // put in; `first` is the first match, already found.
  std::string replaceAll(std::string_view hay, std::string_view to, std::size_t first) const;

 private:
  bool bytesMatch(const char* at) const;
  bool wholeChars(std::string_view hay, std::size_t at, std::size_t& sync) const;

  std::string needle_;
  // Byte k of the text matches when (byte | fold_[k]) == low_[k]: fold_ is 0x20 on the
  // needle's single-byte letters, 0 elsewhere (a second byte is never folded).
  std::string low_, fold_;
  bool folded_ = false;
  // The needle ends in a lead byte standing alone: the text must not pair it.
  bool loneLeadEnd_ = false;
  // A text byte c may be the needle's first one when (c | firstFold_) == first_, and
  // likewise for the last one.
  unsigned char first_ = 0, firstFold_ = 0, last_ = 0, lastFold_ = 0;
  // The same four bytes, each repeated over 16 lanes for the block-wise scan.
  alignas(16) unsigned char lanes_[4][16] = {};
};
bool startsWith(std::string_view s, std::string_view prefix);  // byte-exact prefix
bool endsWith(std::string_view s, std::string_view suffix);     // suffix at a character start

// Replaces every occurrence (left to right, never rescanning inserted text).
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to,
                       bool ignoreCase = false);
// Counts non-overlapping occurrences.
std::size_t countOf(std::string_view hay, std::string_view needle, bool ignoreCase = false);

}  // namespace wux::sjis

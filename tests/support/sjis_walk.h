#pragma once
// The slow, obviously right keyword search the fast one is checked against: walk the
// text a whole character at a time and compare there.
#include <string>

#include "model/text/sjis.h"

namespace wux::test {

// The first match at or after `from` that starts and ends on whole characters.
inline std::size_t walkFind(const std::string& hay, const std::string& needle, bool ic, std::size_t from) {
  for (std::size_t i = from; i < hay.size(); i += sjis::charLen(hay, i)) {
    if (hay.size() - i < needle.size()) break;
    const std::size_t end = i + needle.size();
    if (end < hay.size() && sjis::isSecondByte(hay, end)) continue;
    const std::string part = hay.substr(i, needle.size());
    if (ic ? sjis::sameText(part, needle) : part == needle) return i;
  }
  return std::string::npos;
}

}  // namespace wux::test

#pragma once
// Looking for a report in a log without pinning down the stamp and context around it.
#include <string>

#include "model/text/StringList.h"

namespace wux::test {

// Whether some line of the log holds this text.
inline bool logHas(const StringList& lines, const std::string& text) {
  for (int i = 0; i < lines.count(); ++i)
    if (lines[i].find(text) != std::string::npos) return true;
  return false;
}

}  // namespace wux::test

#pragma once
// Looking for a report in a log without pinning down the stamp and context around it.
#include <string>
#include <vector>

#include "model/text/StringList.h"

namespace wux::test {

// Whether some line of the log holds this text.
inline bool logHas(const StringList& lines, const std::string& text) {
  for (int i = 0; i < lines.count(); ++i)
    if (lines[i].find(text) != std::string::npos) return true;
  return false;
}

// The log's lines, for comparing with what a test expects line by line.
inline std::vector<std::string> logLines(const StringList& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.count(); ++i) out.push_back(lines[i]);
  return out;
}

}  // namespace wux::test

// Brace texts come from notes of any origin: loading must never crash, and after one
// round trip the text must be stable, with and without the raw-kept keywords.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/BraceTree.h"

using namespace wux;

namespace {

StringList writeOf(const StringList& lines, const StringList* rawKept) {
  BraceTree tree;
  LoadBraceTree(tree, nullptr, lines, {}, rawKept);
  StringList out;
  SaveBraceTree(tree, out, {});
  return out;
}

void checkStable(const StringList& lines, const StringList* rawKept) {
  const StringList once = writeOf(lines, rawKept);
  const StringList twice = writeOf(once, rawKept);
  if (once.count() != twice.count()) std::abort();
  for (int i = 0; i < once.count(); ++i)
    if (once[i] != twice[i]) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StringList lines;
  std::string line;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') {
      lines.add(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.add(line);
  checkStable(lines, nullptr);
  checkStable(lines, &BraceRawKeptKeywords());
  return 0;
}

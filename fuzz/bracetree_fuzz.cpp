// Brace texts come from notes of any origin: loading must never crash, and after one
// round trip the text must be stable, with and without the raw-kept keywords. A text
// nested deeper than the cap is refused, and then nothing is written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/BraceTree.h"

using namespace wux;

namespace {

// False when the text is too deep to be a tree.
bool writeOf(const StringList& lines, const StringList* rawKept, StringList& out) {
  BraceTree tree;
  if (LoadBraceTree(tree, nullptr, lines, {}, rawKept) == kBraceTooDeep) return false;
  SaveBraceTree(tree, out, {});
  return true;
}

void checkStable(const StringList& lines, const StringList* rawKept) {
  StringList once, twice;
  if (!writeOf(lines, rawKept, once)) return;
  // What was read as a tree is written no deeper than it was read.
  if (!writeOf(once, rawKept, twice)) std::abort();
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

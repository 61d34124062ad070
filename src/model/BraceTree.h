#pragma once
// Brace-structured note text: a line names an item, and a following "{" ... "}" block
// holds the item's sub-items. The tree here is what the note editor's tree view shows;
// loading and writing know nothing of windows, so they are tested and fuzzed alone.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/lists.h"
#include "model/text/StringList.h"

namespace wux {

class AgentAPLAbs;

struct BraceNode {
  enum class Kind {
    Item,         // a line of its own
    RawBlock,     // a raw-kept keyword line; `data` holds its block unparsed
    LongIgnored,  // an "ignorebodyparts" line too long to show; `data` holds the line
  };
  std::string text;
  Kind kind = Kind::Item;
  std::optional<StringList> data;
  std::vector<std::unique_ptr<BraceNode>> children;

  BraceNode() = default;
  // Takes the subtree apart level by level: a deep tree costs no stack.
  ~BraceNode();
  BraceNode(const BraceNode&) = delete;
  BraceNode& operator=(const BraceNode&) = delete;

  BraceNode* addChild(std::string childText);
  std::unique_ptr<BraceNode> clone() const;
};

struct BraceTree {
  std::vector<std::unique_ptr<BraceNode>> roots;
  bool empty() const { return roots.empty(); }
  void clear() { roots.clear(); }
  // Adds under `parent`, or at the top level when it is null.
  BraceNode* add(BraceNode* parent, std::string text);
};

// What a long load or write reports to: the window's agent (break flag, status text,
// progress counter) and a pump that keeps the window alive. Both may be empty.
struct BraceProgress {
  AgentAPLAbs* agent = nullptr;
  MessagePump pump;
};

// The keywords whose blocks a "Poser" note keeps unparsed: "deltas", "geomcustom",
// "vertsgroup".
const StringList& BraceRawKeptKeywords();

// Blocks nest at most this deep, and items as well; a deeper text is no tree to show
// or write.
inline constexpr int kBraceMaxDepth = 1000;
// LoadBraceTree's result for a text nested deeper than kBraceMaxDepth.
inline constexpr int kBraceTooDeep = -2;

// Reads `lines` from `first` into `tree` under `parent` (null: the top level). With
// `rawKept`, blocks after those keywords stay unparsed. A "}" with no open block is
// passed over, so the rest of the text still loads. Result: the line count, -1 after a
// break, or kBraceTooDeep when a block opens deeper than kBraceMaxDepth; after either
// failure the tree holds only what was read before it.
int LoadBraceTree(BraceTree& tree, BraceNode* parent, const StringList& lines, const BraceProgress& progress,
                  const StringList* rawKept, int first = 0);

// Writes the tree: "{", the top items with their sub-blocks one tab deeper per level,
// "}". Result 0 when written, -1 when the tree is empty or a break stopped the write;
// `out` is changed only when the whole text was written.
int SaveBraceTree(const BraceTree& tree, StringList& out, const BraceProgress& progress);

}  // namespace wux

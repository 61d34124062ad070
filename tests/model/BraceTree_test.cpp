#include "model/BraceTree.h"

#include <gtest/gtest.h>

#include <random>

#include "model/objects.h"

using namespace wux;

namespace {

StringList linesOf(std::initializer_list<std::string> l) { return StringList(l); }

std::vector<std::string> vec(const StringList& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.count(); ++i) v.push_back(l[i]);
  return v;
}

std::vector<std::string> roundTrip(const StringList& lines, const StringList* rawKept = nullptr) {
  BraceTree tree;
  LoadBraceTree(tree, nullptr, lines, {}, rawKept);
  StringList out;
  SaveBraceTree(tree, out, {});
  return vec(out);
}

class CountingAgent : public AgentAPLAbs {
 public:
  std::vector<std::string> statuses;
  int breakAfterStatuses = -1;
  bool isBreak() override {
    return breakAfterStatuses >= 0 && static_cast<int>(statuses.size()) >= breakAfterStatuses;
  }
  int messageDoing_(const std::string& text) override {
    statuses.push_back(text);
    return 0;
  }
};

}  // namespace

TEST(BraceTree, NestsBlocksUnderTheLineBeforeThemAndWritesOneTabPerLevel) {
  BraceTree tree;
  EXPECT_EQ(LoadBraceTree(tree, nullptr, linesOf({"a", "{", "b", "}"}), {}, nullptr), 4);
  ASSERT_EQ(tree.roots.size(), 1u);
  BraceNode& a = *tree.roots[0];
  ASSERT_EQ(a.children.size(), 1u);
  EXPECT_EQ(a.children[0]->text, "b");

  // A new blank item after "b", as the tree's Add Node leaves it.
  a.addChild(" ");
  StringList out{"old body"};
  EXPECT_EQ(SaveBraceTree(tree, out, {}), 0);
  EXPECT_EQ(vec(out), (std::vector<std::string>{"{", "a", "\t{", "\tb", "\t ", "\t}", "}"}));
}

TEST(BraceTree, RawKeptKeywordsKeepTheirBlockOnlyForPoser) {
  const StringList body = linesOf({"deltas", "{", "1 2", "}"});
  BraceTree poser;
  LoadBraceTree(poser, nullptr, body, {}, &BraceRawKeptKeywords());
  ASSERT_EQ(poser.roots.size(), 1u);
  EXPECT_TRUE(poser.roots[0]->children.empty());
  ASSERT_TRUE(poser.roots[0]->data);
  EXPECT_EQ(vec(*poser.roots[0]->data), (std::vector<std::string>{"{", "1 2", "}"}));

  BraceTree like;
  LoadBraceTree(like, nullptr, body, {}, nullptr);
  ASSERT_EQ(like.roots.size(), 1u);
  ASSERT_EQ(like.roots[0]->children.size(), 1u);
  EXPECT_EQ(like.roots[0]->children[0]->text, "1 2");

  // Keywords match the first word without regard to case; a top-level block keeps its
  // lines when written.
  EXPECT_EQ(roundTrip(linesOf({"DeltaS x", "{", "  7 8", "}"}), &BraceRawKeptKeywords()),
            (std::vector<std::string>{"{", "DeltaS x", "\t{", "\t7 8", "\t}", "}"}));
  // Nested, the block goes one tab deeper than its keyword.
  EXPECT_EQ(roundTrip(linesOf({"a", "{", "geomcustom", "{", "1", "}", "}"}), &BraceRawKeptKeywords()),
            (std::vector<std::string>{"{", "a", "\t{", "\tgeomcustom", "\t\t{", "\t\t1", "\t\t}", "\t}", "}"}));
}

TEST(BraceTree, StrayClosingLinesNeitherEndTheLoadNorReadBeforeTheText) {
  EXPECT_EQ(roundTrip(linesOf({"a", "}", "b"})), (std::vector<std::string>{"{", "a", "b", "}"}));
  EXPECT_EQ(roundTrip(linesOf({"}", "x"})), (std::vector<std::string>{"{", "x", "}"}));
  // Lines after the outermost block stay at the top level; unclosed blocks end with the text.
  EXPECT_EQ(roundTrip(linesOf({"{", "a", "}", "b", "{", "c"})),
            (std::vector<std::string>{"{", "a", "b", "\t{", "\tc", "\t}", "}"}));
}

TEST(BraceTree, EmptyBlocksAndBlankLinesBecomeBlankItems) {
  BraceTree tree;
  LoadBraceTree(tree, nullptr, linesOf({"a", "{", "}", "b", "{", "", "}"}), {}, nullptr);
  ASSERT_EQ(tree.roots.size(), 2u);
  ASSERT_EQ(tree.roots[0]->children.size(), 1u);
  EXPECT_EQ(tree.roots[0]->children[0]->text, "");
  ASSERT_EQ(tree.roots[1]->children.size(), 1u);
  EXPECT_EQ(tree.roots[1]->children[0]->text, " ");
  StringList out;
  SaveBraceTree(tree, out, {});
  EXPECT_EQ(vec(out), (std::vector<std::string>{"{", "a", "\t{", "\t ", "\t}", "b", "\t{", "\t ", "\t}", "}"}));
}

TEST(BraceTree, IgnoredPartsAreKeptOnceAndTakeNoBlock) {
  const std::string longPart = "ignorebodyparts " + std::string(84, 'x');
  ASSERT_EQ(longPart.size(), 100u);
  BraceTree tree;
  LoadBraceTree(tree, nullptr, linesOf({"a", "{", "b", longPart, "{", "c", "}", "}", longPart}), {}, nullptr);
  ASSERT_EQ(tree.roots.size(), 2u);
  EXPECT_EQ(tree.roots[1]->text, "\\" + longPart);
  // The block after the ignored line belongs to "b", the line before it.
  ASSERT_EQ(tree.roots[0]->children.size(), 2u);
  EXPECT_EQ(tree.roots[0]->children[0]->children.size(), 1u);
  StringList out;
  SaveBraceTree(tree, out, {});
  EXPECT_EQ(vec(out), (std::vector<std::string>{"{", "a", "\t{", "\tb", "\t\t{", "\t\tc", "\t\t}", "\t" + longPart,
                                                "\t}", longPart, "}"}));
  EXPECT_EQ(roundTrip(linesOf({"ignorebodyparts short"})),
            (std::vector<std::string>{"{", "ignorebodyparts short", "}"}));
}

TEST(BraceTree, AnEmptyTreeWritesNothing) {
  BraceTree tree;
  EXPECT_EQ(LoadBraceTree(tree, nullptr, linesOf({"}", "}"}), {}, nullptr), 2);
  StringList out{"kept"};
  EXPECT_EQ(SaveBraceTree(tree, out, {}), -1);
  EXPECT_EQ(vec(out), std::vector<std::string>{"kept"});
}

TEST(BraceTree, TextIsStableAfterOneRoundTrip) {
  std::mt19937 rng(2063);
  const char* words[] = {"{", "}", "a", "", "  b c", "deltas", "vertsgroup 3", "ignorebodyparts",
                         "\t{",  "\t}"};
  const std::string longIgnored = "ignorebodyparts " + std::string(90, 'y');
  for (int round = 0; round < 400; ++round) {
    StringList lines;
    const int n = static_cast<int>(rng() % 14);
    for (int i = 0; i < n; ++i) {
      const unsigned pick = rng() % 11;
      lines.add(pick == 10 ? longIgnored : std::string(words[pick]));
    }
    for (const StringList* raw : {static_cast<const StringList*>(nullptr), &BraceRawKeptKeywords()}) {
      const std::vector<std::string> once = roundTrip(lines, raw);
      StringList again;
      for (const auto& l : once) again.add(l);
      ASSERT_EQ(roundTrip(again, raw), once) << "round " << round;
    }
  }
}

TEST(BraceTree, ProgressPacesStatusAndStopsOnBreak) {
  StringList lines;
  for (int i = 0; i < 1000; ++i) lines.add("line");
  CountingAgent agent;
  int pumps = 0;
  BraceProgress progress{&agent, [&] { ++pumps; }};
  BraceTree tree;
  EXPECT_EQ(LoadBraceTree(tree, nullptr, lines, progress, nullptr), 1000);
  ASSERT_EQ(agent.statuses.size(), 10u);
  EXPECT_EQ(agent.statuses[0], "99/1000");
  EXPECT_EQ(agent.statuses[9], "999/1000");
  EXPECT_EQ(pumps, 11);  // on entry, then at 20, 120, ...
  EXPECT_EQ(agent.progress, 1000u);

  // A break keeps what was read and stops every level.
  CountingAgent stopping;
  stopping.breakAfterStatuses = 1;
  StringList nested{"a", "{"};
  for (int i = 0; i < 300; ++i) nested.add("x");
  BraceTree partial;
  EXPECT_EQ(LoadBraceTree(partial, nullptr, nested, {&stopping, {}}, nullptr), -1);
  ASSERT_EQ(partial.roots.size(), 1u);
  EXPECT_GT(partial.roots[0]->children.size(), 0u);

  // A write stopped by a break leaves the output as it was.
  StringList out{"previous"};
  EXPECT_EQ(SaveBraceTree(partial, out, {&stopping, {}}), -1);
  EXPECT_EQ(vec(out), std::vector<std::string>{"previous"});
}

namespace {

// A chain `levels` blocks deep as the writer writes it: "{", "n0", "\t{", "\tn1", ...
StringList writtenChain(int levels) {
  StringList lines;
  for (int d = 0; d < levels; ++d) {
    lines.add(std::string(static_cast<std::size_t>(d), '\t') + "{");
    lines.add(std::string(static_cast<std::size_t>(d), '\t') + "n" + std::to_string(d));
  }
  for (int d = levels - 1; d >= 0; --d) lines.add(std::string(static_cast<std::size_t>(d), '\t') + "}");
  return lines;
}

}  // namespace

TEST(BraceTree, NestingIsCappedAndNothingCostsStackPerLevel) {
  // At the cap the text is a tree, and it is written back line for line.
  const StringList atCap = writtenChain(kBraceMaxDepth);
  BraceTree tree;
  ASSERT_EQ(LoadBraceTree(tree, nullptr, atCap, {}, nullptr), atCap.count());
  StringList out;
  ASSERT_EQ(SaveBraceTree(tree, out, {}), 0);
  EXPECT_TRUE(out == atCap);
  // Copies and frees of it as well.
  auto copy = tree.roots[0]->clone();
  int depth = 0;
  for (const BraceNode* n = copy.get(); !n->children.empty(); n = n->children[0].get()) ++depth;
  EXPECT_EQ(depth, kBraceMaxDepth - 1);

  // One level more is refused, also far deeper than any stack would take.
  BraceTree refused;
  EXPECT_EQ(LoadBraceTree(refused, nullptr, writtenChain(kBraceMaxDepth + 1), {}, nullptr), kBraceTooDeep);
  // Items count too: without the outer block a chain of items one longer than a
  // written text could hold fits in the blocks, and is refused all the same.
  auto bareChain = [](int items) {
    StringList l;
    for (int d = 0; d < items; ++d) {
      l.add("n" + std::to_string(d));
      if (d + 1 < items) l.add("{");
    }
    for (int d = 1; d < items; ++d) l.add("}");
    return l;
  };
  EXPECT_EQ(LoadBraceTree(refused, nullptr, bareChain(kBraceMaxDepth + 1), {}, nullptr), kBraceTooDeep);
  BraceTree bare;
  const StringList fits = bareChain(kBraceMaxDepth);
  EXPECT_EQ(LoadBraceTree(bare, nullptr, fits, {}, nullptr), fits.count());
  StringList bareOut;
  SaveBraceTree(bare, bareOut, {});
  EXPECT_TRUE(bareOut == atCap);
  StringList braces;
  for (int i = 0; i < 100000; ++i) braces.add("{");
  for (int i = 0; i < 100000; ++i) braces.add("}");
  BraceTree deep;
  EXPECT_EQ(LoadBraceTree(deep, nullptr, braces, {}, nullptr), kBraceTooDeep);

  // A tree made deep by other means is copied and freed without a stack per level.
  auto root = std::make_unique<BraceNode>();
  BraceNode* at = root.get();
  for (int i = 0; i < 200000; ++i) at = at->addChild("x");
  auto twin = root->clone();
  root.reset();
  twin.reset();
}

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

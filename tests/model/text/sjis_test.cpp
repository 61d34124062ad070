#include "model/text/sjis.h"

#include <gtest/gtest.h>

#include "support/sjis_walk.h"

using namespace wux;

namespace {
const std::string kA = "\x83\x41";    // katakana A: second byte is 'A'
const std::string kDi = "\x83\x61";   // katakana DI: second byte is 'a'
const std::string kSo = "\x83\x5C";   // katakana SO: second byte is '\'
}  // namespace

TEST(SjisCore, FoldingNeverTouchesSecondBytes) {
  EXPECT_FALSE(sjis::sameText(kA, kDi));
  EXPECT_TRUE(sjis::sameText("Abc" + kA, "aBC" + kA));
  EXPECT_EQ(sjis::lower("X" + kA), "x" + kA);
  EXPECT_EQ(sjis::upper("x" + kDi), "X" + kDi);
}

TEST(SjisCore, SearchesMatchOnlyAtCharacterStarts) {
  EXPECT_EQ(sjis::find(kA, "A"), std::string::npos);
  EXPECT_EQ(sjis::findIgnoreCase(kDi, "a"), std::string::npos);
  EXPECT_EQ(sjis::find(kSo + "\\", "\\"), 2u);
  EXPECT_EQ(sjis::findFirstOf(kSo + "x\\y", "\\"), 3u);
  EXPECT_EQ(sjis::findLastOf("a\\" + kSo, "\\"), 1u);
  EXPECT_EQ(sjis::countOf(kA + "A" + kA + "a", "a", true), 2u);
  EXPECT_EQ(sjis::replaceAll(kA + "A", "A", "B"), kA + "B");
  EXPECT_TRUE(sjis::endsWith("x" + kSo, kSo));
  EXPECT_FALSE(sjis::endsWith(kSo, "\\"));
}

TEST(SjisCore, ReplaceAllNeverRescansItsOutput) {
  EXPECT_EQ(sjis::replaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(sjis::replaceAll("abAB", "ab", "x", true), "xx");
}

TEST(SjisCore, LoneLeadByteAtEndIsOneCharacter) {
  std::string s = "ab\x83";
  EXPECT_EQ(sjis::charCount(s), 3u);
  EXPECT_EQ(sjis::charLen(s, 2), 1u);
  EXPECT_FALSE(sjis::isSecondByte(s, 2));
  EXPECT_EQ(sjis::upper(s), "AB\x83");
  EXPECT_EQ(sjis::find(s, "\x83"), 2u);
}

TEST(SjisCore, SecondByteDetectionAfterRunsOfLeadBytes) {
  // 0x81 0x81 0x81 0x41: the first pair is one character, then 0x81 0x41 another.
  std::string s = "\x81\x81\x81\x41";
  EXPECT_FALSE(sjis::isSecondByte(s, 0));
  EXPECT_TRUE(sjis::isSecondByte(s, 1));
  EXPECT_FALSE(sjis::isSecondByte(s, 2));
  EXPECT_TRUE(sjis::isSecondByte(s, 3));
}

TEST(SjisCore, TrimKeepsFullWidthBlank) {
  std::string fw = "\x81\x40";
  EXPECT_EQ(sjis::trim(" \t" + fw + "x" + fw + "\r\n"), fw + "x" + fw);
  EXPECT_EQ(sjis::trimLeft("  a "), "a ");
  EXPECT_EQ(sjis::trimRight("  a "), "  a");
}

TEST(SjisCore, SortOrderIsTotal) {
  EXPECT_LT(sjis::compareSort("ABC", "abc"), 0);
  EXPECT_EQ(sjis::compareText("ABC", "abc"), 0);
  EXPECT_LT(sjis::compareSort("abc", "ABD"), 0);
  EXPECT_LT(sjis::compareText("ab", "abc"), 0);
}

// The prepared needle answers what a plain walk over the characters finds, on texts
// mixing letters, backslashes, double-byte characters whose second bytes are letters and
// lone lead bytes; long texts reach the block-wise scan, and every match is asked for in
// turn, each search starting after the one before.
TEST(SjisCore, PreparedNeedleFindsWhatACharacterWalkFinds) {
  const std::string pieces[] = {"a", "A", "b", "\\", kA, kDi, kSo, "\x81\x81", "x", "\x83", "\x95\x5C", "B"};
  unsigned seed = 7;
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  const auto walk = test::walkFind;
  for (int round = 0; round < 3000; ++round) {
    std::string hay, needle;
    for (unsigned k = rnd(round % 3 ? 12 : 60); k > 0; --k) hay += pieces[rnd(12)];
    for (unsigned k = 1 + rnd(3); k > 0; --k) needle += pieces[rnd(12)];
    for (bool ic : {false, true}) {
      const sjis::Finder finder(needle, ic);
      std::size_t from = 0, found;
      do {
        found = finder.find(hay, from);
        ASSERT_EQ(found, walk(hay, needle, ic, from)) << hay << " / " << needle << " " << ic << " " << from;
        if (found != std::string::npos) from = found + sjis::charLen(hay, found);
      } while (found != std::string::npos && from < hay.size());
      if (!ic) {
        std::string expected;
        std::size_t p = 0;
        for (std::size_t q = walk(hay, needle, false, 0); q != std::string::npos; q = walk(hay, needle, false, p)) {
          expected += hay.substr(p, q - p) + "<>";
          p = q + needle.size();
        }
        ASSERT_EQ(sjis::replaceAll(hay, needle, "<>"), expected + hay.substr(p)) << hay << " / " << needle;
      }
    }
  }
  const std::string longNeedle(300, 'q');
  EXPECT_EQ(sjis::Finder(longNeedle, true).find("x" + std::string(299, 'Q') + "qQ"), 1u);
}

#include "model/jcode.h"

#include <gtest/gtest.h>

#include "platform/textconv.h"

using namespace wux;

namespace {
const std::string kIn = "\x1B$B";
const std::string kOut = "\x1B(J";
}  // namespace

TEST(Jis, SjisToJisEscapesKanjiRunsAndEndsInRoman) {
  EXPECT_EQ(SjisToJis("plain ASCII\r\n"), "plain ASCII\r\n");
  // 亜 is Shift_JIS 88 9F, JIS 30 21; あ 82 A0 / 24 22.
  EXPECT_EQ(SjisToJis("a\x88\x9F"), "a" + kIn + "\x30\x21" + kOut);
  EXPECT_EQ(SjisToJis("\x88\x9F\x82\xA0\r\nb"), kIn + "\x30\x21\x24\x22" + kOut + "\r\nb");
  EXPECT_EQ(SjisToJis("\x88\x9Fx\x88\x9F"), kIn + "\x30\x21" + kOut + "x" + kIn + "\x30\x21" + kOut);
  // Last row of level 2 (EA A4, 熙) and a second byte above 0x7F (83 8B, ル).
  EXPECT_EQ(SjisToJis("\xEA\xA4\x83\x8B"), kIn + "\x74\x26\x25\x6B" + kOut);
}

TEST(Jis, HalfWidthKanaAreWidenedAndSoundMarksMerged) {
  // GA, PA, BA; A + voiced stays two; VU; KA + semi-voiced: two; a lone mark.
  for (auto [sjis, jis] : std::vector<std::pair<std::string, std::string>>{
           {"\xB6\xDE", "\x25\x2C"}, {"\xCA\xDF", "\x25\x51"}, {"\xCA\xDE", "\x25\x50"},
           {"\xB1\xDE", "\x25\x22\x21\x2B"}, {"\xB3\xDE", "\x25\x74"}, {"\xB6\xDF", "\x25\x2B\x21\x2C"}, {"\xDE", "\x21\x2B"}})
    EXPECT_EQ(SjisToJis(sjis), kIn + jis + kOut);
  EXPECT_EQ(platform::sjisToUtf8(JisToSjis(SjisToJis("\xB1\xB6\xDD\xA1\xB0"))),
            "\xE3\x82\xA2\xE3\x82\xAB\xE3\x83\xB3\xE3\x80\x82\xE3\x83\xBC");  // アカン。ー
}

TEST(Jis, JisToSjisFollowsEscapesByTheirSecondByte) {
  std::string sjis = "x\x88\x9F\x82\xA0y\r\n\x83\x8B";
  EXPECT_EQ(JisToSjis(SjisToJis(sjis)), sjis);
  EXPECT_EQ(JisToSjis("\x1B$@\x30\x21\x1B(Bz"), "\x88\x9Fz");
  // Cut-off input is copied, never overrun.
  EXPECT_EQ(JisToSjis("a\x1B$"), "a\x1B$");
  EXPECT_EQ(JisToSjis("\x1B$B\x30"), "\x30");
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\r\n"), "\x88\x9F\r\n");
}

TEST(Jis, EucToSjisConvertsPairsAndHalfWidthKana) {
  EXPECT_EQ(EucToSjis("a\xB0\xA1\xA4\xA2"), "a\x88\x9F\x82\xA0");  // 亜あ
  EXPECT_EQ(EucToSjis("\x8E\xB6\x8E\xDE"), "\xB6\xDE");
  EXPECT_EQ(EucToSjis("\xB0"), "\xB0");  // lone lead byte at the end
  EXPECT_EQ(EucToSjis("\x8E"), "\x8E");
  EXPECT_EQ(EucToSjis("\xB0\n"), "\xB0\n");  // a line break is never swallowed
}

TEST(Jis, ListWrappersAppend) {
  StringList src{"\x88\x9F", "b"};
  StringList dst{"keep"};
  SjisToJisStrings(src, dst);
  ASSERT_EQ(dst.count(), 3);
  EXPECT_EQ(dst[0], "keep");
  EXPECT_EQ(dst[1], kIn + "\x30\x21" + kOut);
  StringList back;
  JisToSjisStrings(dst, back);
  EXPECT_EQ(back[1], "\x88\x9F");
  EucToSjisStrings(src, src);  // converting a list into itself appends
  EXPECT_EQ(src.count(), 4);
}

TEST(Base64, EncodesAndDecodesWithPadding) {
  for (auto [in, want] : std::vector<std::pair<std::string, std::string>>{
           {"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {std::string("\xFF\xFE\xFD\x00", 4), "//79AA=="}})
    EXPECT_EQ(Base64Encode(in), want);
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
  EXPECT_EQ(Base64Decode("YQ=="), "a");
  EXPECT_EQ(Base64Decode("YWI=YWJj"), "ababc");
  EXPECT_EQ(Base64Decode("YWJjY"), "abc");  // partial group ignored
  EXPECT_EQ(Base64Decode("!!!!"), std::string(3, '\0'));
}

#include "model/strutil.h"

#include <gtest/gtest.h>

#include "model/text/StringList.h"

using namespace wux;

namespace {
const std::string kSo = "\x83\x5C";  // katakana SO: second byte is '\'
const std::string kA = "\x83\x41";   // katakana A: second byte is 'A'

using Cases = std::vector<std::pair<std::string, std::string>>;
// Each input through f gives its expected text.
template <class F>
void expectEach(F f, const Cases& cases) {
  for (const auto& [in, want] : cases) EXPECT_EQ(f(in), want) << in;
}
}  // namespace

TEST(StrUtilQuotes, DequoteAndEnclose) {
  expectEach(Dequote, {{"\"true\"", "true"}, {"\"abc", "abc"}, {"abc\"", "abc\""}, {"\"", ""}, {"", ""}});
  expectEach([](const std::string& s) { return EncloseWith(s, '"'); },
             {{"", "\"\""}, {"\"", "\""}, {"a", "\"a\""}, {"\"a", "\"a\""}});
  // The last byte of SO is '\' but it is not the character '\'.
  EXPECT_EQ(EncloseWith("\\" + kSo, '\\'), "\\" + kSo + "\\");
}

TEST(StrUtilQuotes, HtmlEscapingRoundTrips) {
  EXPECT_EQ(EscapeHTML("a&amp;<b>\"c\""), "a&amp;amp;&lt;b&gt;&quot;c&quot;");
  EXPECT_EQ(TextToHTML(" <a \"x\">&"), "&nbsp;&lt;a \"x\"&gt;&amp;");
  EXPECT_EQ(TextToHTML("  a"), "&nbsp; a");
  expectEach(UnescapeHTML, {{"&NBSP;&Lt;&gt;&quot;&amp;", " <>\"&"}, {"&AMP;lt;", "&lt;"}, {"&#65;", "&#65;"},
                            {"&&lt;;&", "&<;&"}, {"x&lt", "x&lt"}, {"&quot", "&quot"}, {kSo + "&gt;" + kSo, kSo + ">" + kSo}});
  for (std::string s : {std::string("a<b>&c\"d"), kSo + "&" + kA, std::string("&amp;lt;")})
    EXPECT_EQ(UnescapeHTML(EscapeHTML(s)), s);
}

TEST(StrUtilSplit, PiecesDelimitersAndQuotes) {
  // The number of pieces, then the pieces joined by "|".
  auto split = [](const std::string& text, const char* delimiters, bool quoted = false) {
    StringList l{"old"};
    quoted ? SplitToStringsQuoted(text, l, delimiters) : SplitToStrings(text, l, delimiters);
    return std::to_string(l.count()) + ":" + l.join("|");
  };
  EXPECT_EQ(split("a,b,", ","), "2:a|b");
  EXPECT_EQ(split(" a ,,b ", ","), "3:a||b ");
  EXPECT_EQ(split("x" + kSo + "y\\z", "\\"), "2:x" + kSo + "y|z");
  EXPECT_EQ(split("", ","), "0:");
  EXPECT_EQ(split("a,\"b,c\",'d,e' , f", ",", true), "4:a|\"b,c\"|'d,e'| f");
  EXPECT_EQ(split("\"a\"\"b,c\",d", ",", true), "2:\"a\"\"b,c\"|d");
  EXPECT_EQ(split(kSo + ",x", "\\,", true), "2:" + kSo + "|x");
}

TEST(StrUtilSplit, FirstWordAndCounts) {
  // The first word, then the rest; an empty text leaves the rest as it was.
  auto firstWord = [](const std::string& s) {
    std::string rest = "keep", word = SplitFirstWord(s, rest);
    return word + "|" + rest;
  };
  expectEach(firstWord, {{"", "|keep"}, {"open  a file ", "open|a file"}, {"word", "word|"}, {"\tlead x", "|lead x"}});

  EXPECT_EQ((std::vector<int>{CountSubstr("aaaa", "aa"), CountSubstr("abc", ""), CountSubstr(kA + "A", "A")}),
            (std::vector<int>{2, 0, 1}));
  EXPECT_EQ((std::vector<bool>{IsAllDigits(""), IsAllDigits("0123"), IsAllDigits("12a"), HasDigit(""),
                               HasDigit("ab3")}),
            (std::vector<bool>{true, true, false, false, true}));
  EXPECT_EQ(DigitsOnly("a1b22c"), "122");
}

TEST(StrUtilNumbers, StepWalks) {
  expectEach(IncNumberStr, {{"x12", "x13"}, {"a19b", "a20b"}, {"a9", "a0"}, {"99", "00"}, {"abc", "abc"}, {"", ""},
                            {kA + "1" + kA, kA + "2" + kA}});
  expectEach(DecNumberStr, {{"a10", "a09"}, {"a0", "a9"}});
  expectEach(IncLastNumberStr, {{"a15", "a25"}, {"a95", "a05"}, {"x1y5", "x2y5"}, {"5ab", "5ab"}});
  expectEach(DecLastNumberStr, {{"a25", "a15"}, {"a05", "a95"}});
}

TEST(StrUtilDates, DigitsToDateTimeAndNotADate) {
  FixedClock clock({2024, 5, 6, 7, 8, 9, 10});
  Clock* prev = setClock(&clock);
  EXPECT_EQ(DigitsToDateTime("2023"), (DateTime{2023, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(DigitsToDateTime("202311"), (DateTime{2023, 11, 1, 0, 0, 0, 0}));
  EXPECT_EQ(DigitsToDateTime("20231124153059"), (DateTime{2023, 11, 24, 15, 30, 59, 0}));
  EXPECT_EQ(DigitsToDateTime("  99 1 2"), (DateTime{99, 1, 2, 0, 0, 0, 0}));
  for (const char* bad : {"", "123", "0000", "20230230", "2023-11-24", "20231324", "2023112425"}) {
    EXPECT_EQ(DigitsToDateTime(bad), clock.now()) << bad;
    DateTime out{1, 1, 1, 0, 0, 0, 0};
    EXPECT_FALSE(TryDigitsToDateTime(bad, out)) << bad;
    EXPECT_EQ(out, (DateTime{1, 1, 1, 0, 0, 0, 0}));
  }
  DateTime out;
  EXPECT_TRUE(TryDigitsToDateTime("20240229", out));
  EXPECT_EQ(out, (DateTime{2024, 2, 29, 0, 0, 0, 0}));
  setClock(prev);
}

TEST(StrUtilFiles, SanitizeKeepsDoubleByteCharacters) {
  // The full-width minus ends in '|'.
  expectEach(SanitizeFileName, {{"a\\b/c:d,e;f*g?h\"i<j>k|l", "a_b_c_d_e_f_g_h_i_j_k_l"},
                                {kSo + "\\" + kSo, kSo + "_" + kSo}, {"\x81\x7C", "\x81\x7C"}});
}

TEST(StrUtilFiles, UrlToLocalFileName) {
  expectEach(URLToLocalFileName,
             {{"  ", "space.html"}, {"http://example.com/", "httpexample.comindex.html"},
              {"http://www.example.com", "httpwww.example.com_index.html"},
              {"http://www.example.co.JP", "httpwww.example.co.JP_index.html"}, {"http://a.b/c.HTML", "httpa.bc.HTML"},
              {"http://a.b/c.cgi?x=1", "httpa.bc.cgi?x=1"}, {"http://a.b/x.", "httpa.bx._index.html"},
              {"page", "page"}, {"a" + kSo + ".jpg", "a" + kSo + ".jpg"}});
}

TEST(StrUtilChars, DeleteAndCutRespectDoubleBytes) {
  expectEach(DeleteFirstChar, {{"a", ""}, {kSo + "x", "x"}, {"ab", "b"}});
  // A lone lead byte goes alone.
  expectEach(DeleteLastChar, {{"x" + kSo, "x"}, {"xy", "x"}, {kA + "\x83", kA}, {"\x83", ""}});
  expectEach([](const std::string& s) { return CutHeadToDelimiter(s, "/"); },
             {{"ab/cd/ef", "/cd/ef"}, {"/ab", "ab"}, {"abcdef", "def"}, {"ab", "ab"}, {"    ", "    "}});
  expectEach([](const std::string& s) { return CutTailToDelimiter(s, "/"); },
             {{"ab/cd/ef", "ab/cd/"}, {"abcdef", "ab"}});
  EXPECT_EQ(CutTailToDelimiter("ab\\" + kSo + "cd", "\\"), "ab\\");
  EXPECT_EQ(CutHeadToDelimiter(kSo + kSo + "\\x", "\\"), "\\x");
}

TEST(StrUtilColors, NamesValuesAndBooleans) {
  for (auto [c, name] : std::vector<std::pair<Color, std::string>>{
           {0x0000FF, "clRed"}, {0xC0C0C0, "clLtGray"}, {0x00ABCD, "$00ABCD"}, {0x12345678, "$12345678"}})
    EXPECT_EQ(ColorToName(c), name);
  for (auto [name, c] : std::vector<std::pair<std::string, Color>>{
           {"clRed", 0x0000FF}, {" clRed", 0}, {"clred", 0}, {"clSilver", 0xC0C0C0}, {"$00ABCD", 0x00ABCD},
           {"255", 255}, {"", 0}, {"$FFFFFFFFFF", 0}})
    EXPECT_EQ(NameToColor(name), c) << name;
  for (Color c : {0x000000u, 0x808080u, 0xFFFFFFu, 0x123456u})
    EXPECT_EQ(NameToColor(ColorToName(c)), c);
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
  EXPECT_TRUE(PointInRect({1, 1}, {0, 0, 2, 2}));
  EXPECT_FALSE(PointInRect({0, 1}, {0, 0, 2, 2}));
  EXPECT_FALSE(PointInRect({1, 2}, {0, 0, 2, 2}));
}

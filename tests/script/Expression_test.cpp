#include <gtest/gtest.h>

#include "ScriptHost.h"

namespace wux::test {
namespace {

// The tokens as "kind:text", joined by "|".
std::string tokens(std::string_view s) {
  std::string r;
  for (TPPAParser p(s); p.Kind() != tkEnd; p.NextToken())
    r += (r.empty() ? "" : "|") + std::to_string(p.Kind()) + ":" + std::string(p.TokenText());
  return r;
}

TEST(Tokeniser, KindsAndBoundaries) {
  EXPECT_EQ(tokens("1..5"), "4:1|100:..|3:5");
  EXPECT_EQ(tokens("x:=$1f+1.5e+3-2e"), "8:x|100::=|3:$1f|1:+|4:1.5e+3|1:-|4:2e");
  EXPECT_EQ(tokens("'it''s'#$41#65#'x"), "2:'it''s'|2:#$41|2:#65|2:#|2:'x");
  EXPECT_EQ(tokens("a<>b<=c>=d// rest\nq_1"), "8:a|100:<>|8:b|100:<=|8:c|100:>=|8:d|7:// rest|8:q_1");
  EXPECT_EQ(tokens("\x82\xa0 $ 1.x"), "1:\x82|1:\xa0|3:$|4:1|1:.|8:x");
  // A NUL byte ends the text.
  EXPECT_EQ(tokens(std::string_view("a b\0c", 5)), "8:a|8:b");

  TPPAParser p("  begin End");
  EXPECT_EQ(p.TokenPos(), 2u);
  EXPECT_FALSE(p.AcceptToken("END"));
  EXPECT_TRUE(p.AcceptToken("BEGIN"));
  EXPECT_EQ(p.TokenTextUpper(), "END");
}

TEST(Expressions, OperatorsConversionsAndStringBuiltins) {
  ScriptHost h;
  EXPECT_EQ(TPoorPascal::DecodeStringLiteral("''''"), "'");
  EXPECT_EQ(TPoorPascal::DecodeStringLiteral("'abc"), "'abc");  // unterminated: kept as written
  EXPECT_THROW(TPoorPascal::DecodeStringLiteral("#"), ScriptError);
  EXPECT_EQ(h.calls({"PrintBuf('abc'#13#10)"}), Lines{"abc\r\n"});
  h.pp.AddIntConst("N", false, 7);
  h.pp.AddStrConst("S", "12", false);
  const std::string a = sj("ア");  // 0x83 0x41: its second byte is an ASCII 'A'
  ASSERT_EQ(a, "\x83\x41");
  h.pp.AddStrConst("KA", a + "A", true);
  h.pp.Define.add("Debug");
  checkCases(h, "expressions.cases");
}

TEST(Builtins, NulEndsStoredStrings) {
  ScriptHost h;
  EXPECT_EQ(h.pp.EvalStr("'ab'#0'cd'"), std::string("ab\0cd", 5));  // a value in flight keeps it
  h.pp.AddStrConst("Z", std::string("x\0y", 3), false);
  EXPECT_EQ(h.pp.EvalStr("Z"), "x");
}

TEST(Builtins, DesktopGoesThroughTheAdapter) {
  ScriptHost h;
  h.desk.inputs.push_back("typed");
  h.desk.boxAnswers.push_back(6);
  EXPECT_EQ(h.calls({"PrintBuf(InputBox('Cap', 'Prompt', 'def'))", "PrintBuf(InputBox('C', 'P', 'def'))",
                     "PrintBuf(IntToStr(MessageBox('Text', 'Cap', 4)))", "PrintBuf(IntToStr(Shell('doc.txt', '-x')))",
                     "ProcessMessages", "Sleep(10)"}),
            (Lines{"typed", "def", "6", "42"}));
  EXPECT_EQ(h.desk.asked, (Lines{"input:Cap|Prompt|def", "input:C|P|def", "box:Text|Cap|4", "shell:doc.txt|-x"}));
  EXPECT_EQ(h.desk.pumps, 1);
  EXPECT_EQ(h.desk.sleeps, (std::vector<std::uint32_t>{10}));
}

TEST(Builtins, SleepTakesTheLow32BitsAndAllOnesWaitsUntilStopped) {
  ScriptHost h;
  h.call("Sleep(4294967306)");  // 2^32 + 10
  EXPECT_EQ(h.desk.sleeps, (std::vector<std::uint32_t>{10}));
  h.desk.sleeps.clear();
  int pumps = 0;
  h.desk.onProcessMessages = [&] {
    if (++pumps == 5) h.pp.Stop();
  };
  EXPECT_EQ(h.runError("PrintBuf('a'); Sleep(-1); PrintBuf('b')"), sj("実行を中断しました"));
  EXPECT_EQ(h.out, Lines{"a"});
  EXPECT_GE(h.desk.sleeps.size(), 3u);
  for (auto ms : h.desk.sleeps) EXPECT_LE(ms, 100u);
  // $FFFFFFFF is all ones too.
  pumps = 0;
  h.desk.sleeps.clear();
  EXPECT_EQ(h.runError("Sleep($FFFFFFFF)"), sj("実行を中断しました"));
}

TEST(Builtins, LongSleepHandlesEventsBetweenSlices) {
  ScriptHost h;
  h.call("Sleep(250)");
  EXPECT_EQ(h.desk.sleeps, (std::vector<std::uint32_t>{100, 100, 50}));
  EXPECT_EQ(h.desk.pumps, 2);
}

}  // namespace
}  // namespace wux::test

#include <gtest/gtest.h>

#include "ScriptHost.h"

namespace wux::test {
namespace {

struct Tok {
  int kind;
  std::string text;
  bool operator==(const Tok&) const = default;
};
std::vector<Tok> tokens(std::string_view s) {
  std::vector<Tok> v;
  TPPAParser p(s);
  for (; p.Kind() != tkEnd; p.NextToken()) v.push_back({p.Kind(), std::string(p.TokenText())});
  return v;
}

TEST(Tokeniser, KindsAndBoundaries) {
  EXPECT_EQ(tokens("1..5"), (std::vector<Tok>{{4, "1"}, {100, ".."}, {3, "5"}}));
  EXPECT_EQ(tokens("x:=$1f+1.5e+3-2e"),
            (std::vector<Tok>{{8, "x"}, {100, ":="}, {3, "$1f"}, {1, "+"}, {4, "1.5e+3"}, {1, "-"}, {4, "2e"}}));
  EXPECT_EQ(tokens("'it''s'#$41#65#'x"), (std::vector<Tok>{{2, "'it''s'"}, {2, "#$41"}, {2, "#65"}, {2, "#"}, {2, "'x"}}));
  EXPECT_EQ(tokens("a<>b<=c>=d// rest\nq_1"),
            (std::vector<Tok>{{8, "a"}, {100, "<>"}, {8, "b"}, {100, "<="}, {8, "c"}, {100, ">="}, {8, "d"},
                              {7, "// rest"}, {8, "q_1"}}));
  EXPECT_EQ(tokens("\x82\xa0 $ 1.x"), (std::vector<Tok>{{1, "\x82"}, {1, "\xa0"}, {3, "$"}, {4, "1"}, {1, "."}, {8, "x"}}));
  // A NUL byte ends the text.
  EXPECT_EQ(tokens(std::string_view("a b\0c", 5)), (std::vector<Tok>{{8, "a"}, {8, "b"}}));

  TPPAParser p("  begin End");
  EXPECT_EQ(p.TokenPos(), 2u);
  EXPECT_FALSE(p.AcceptToken("END"));
  EXPECT_TRUE(p.AcceptToken("BEGIN"));
  EXPECT_EQ(p.TokenTextUpper(), "END");
}

TEST(Expressions, LiteralsAndConcatenation) {
  ScriptHost h;
  EXPECT_EQ(h.calls({"PrintBuf('it''s')", "PrintBuf(#65 + #$41)", "PrintBuf(#300)", "PrintBuf('abc'#13#10)",
                     "PrintBuf(('a') + 'b')", "PrintBuf(#1234)", "PrintBuf(Nil + 'n')"}),
            (Lines{"it's", "AA", "", "abc\r\n", "ab", "{", "n"}));
  EXPECT_EQ(TPoorPascal::DecodeStringLiteral("''''"), "'");
  EXPECT_EQ(TPoorPascal::DecodeStringLiteral("'abc"), "'abc");  // unterminated: kept as written
  EXPECT_THROW(TPoorPascal::DecodeStringLiteral("#"), ScriptError);
  EXPECT_EQ(h.pp.EvalStr("'a' + 'b' = 'ab'"), "-1");
  EXPECT_EQ(h.pp.EvalInt("'a' + 'b' = 'ab'"), -1);
  EXPECT_EQ(h.pp.EvalStr("'a' < 'B'"), "0");  // byte order, case-sensitive
  EXPECT_EQ(h.pp.EvalStr("'a' = 'a' = '-1'"), "-1");
}

TEST(Expressions, IntegerOperatorsAndLevels) {
  ScriptHost h;
  auto I = [&](const char* e) { return h.pp.EvalInt(e); };
  EXPECT_EQ(I("not 0"), -1);
  EXPECT_EQ(I("not 1 + 1"), -1);
  EXPECT_EQ(I("not 1 * 2"), -4);
  EXPECT_EQ(I("7 mod -2"), 1);
  EXPECT_EQ(I("-7 mod 2"), -1);
  EXPECT_EQ(I("-7 div 2"), -3);
  EXPECT_EQ(I("-2 * 3 + 1"), -5);
  EXPECT_EQ(I("2 + 3 * 4"), 14);
  EXPECT_EQ(I("(2 + 3) * 4"), 20);
  EXPECT_EQ(I("1 shl 3 or 1"), 9);
  EXPECT_EQ(I("-1 shr 60"), 0);  // the sign takes the whole term: -(1 shr 60)
  EXPECT_EQ(I("(-1) shr 60"), 15);
  EXPECT_EQ(I("1 shl 64"), 0);
  EXPECT_EQ(I("6 and 3 xor 1"), 3);
  EXPECT_EQ(I("1 2"), 1);  // the rest is ignored
  EXPECT_EQ(I("3 < 2 < 1"), -1);
  EXPECT_EQ(I("True = -1"), -1);
  EXPECT_EQ(I("2 >= 2"), -1);
  EXPECT_EQ(I("2 <> 2"), 0);
  EXPECT_EQ(I("99999999999999999999"), 0);  // not convertible
}

TEST(Expressions, WrapAroundAtTheLimits) {
  ScriptHost h;
  auto I = [&](const char* e) { return h.pp.EvalInt(e); };
  EXPECT_EQ(I("9223372036854775807 + 1"), INT64_MIN);
  EXPECT_EQ(I("$8000000000000000 - 1"), INT64_MAX);
  EXPECT_EQ(I("$7FFFFFFFFFFFFFFF * 2"), -2);
  EXPECT_EQ(I("$FFFFFFFFFFFFFFFF"), -1);
  // Leading zeros do not count against the 64 bits.
  EXPECT_EQ(I("$00000000000000001"), 1);
  EXPECT_EQ(I("StrToInt('$000000000000000000FF')"), 255);
  EXPECT_EQ(I("$10000000000000000"), 0);  // too large: not convertible
  EXPECT_EQ(I("$8000000000000000 div -1"), INT64_MIN);
  EXPECT_EQ(I("$8000000000000000 mod -1"), 0);
  EXPECT_EQ(I("-$8000000000000000"), INT64_MIN);
  EXPECT_EQ(errorOf([&] { I("1 div 0"); }), "Division by zero");
  EXPECT_EQ(errorOf([&] { I("1 mod (1 - 1)"); }), "Division by zero");
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("1 / 0"); }), "Floating point division by zero");
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("0.0 / 0"); }), "Floating point division by zero");
  // A Real is a double: a result beyond its range is an overflow, never an infinity.
  EXPECT_EQ(h.pp.EvalReal("1e308 * 10 / 100"), 1e307);  // in range again when it is stored
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("1e308 * 10"); }), "Floating point overflow");
  EXPECT_EQ(errorOf([&] { h.calls({"PrintBuf(FloatToStr(1e400))"}); }), "Floating point overflow");
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("StrToFloat('-1e400') * 0"); }), "Floating point overflow");
  EXPECT_EQ(h.runError("VAR r: Real; BEGIN r := 1e300; r := r * r END"), "Floating point overflow");
}

TEST(Expressions, FirstTokenChoosesTheEvaluator) {
  ScriptHost h;
  h.pp.AddIntConst("N", false, 7);
  h.pp.AddStrConst("S", "12", false);
  auto I = [&](const char* e) { return h.pp.EvalInt(e); };
  EXPECT_EQ(I("Frac(2.75) + 1"), 1);  // Real, truncated
  EXPECT_EQ(I("1.9 + N"), 8);
  EXPECT_EQ(I("S"), 12);
  EXPECT_EQ(I("'x'"), -1);  // not a number
  EXPECT_EQ(I("('5') + 1"), 6);
  EXPECT_EQ(h.pp.EvalReal("$10"), 0.0);
  EXPECT_EQ(h.pp.EvalReal("(1 + 2) * 2"), 6.0);
  EXPECT_EQ(h.pp.EvalReal("('x')"), 0.0);
  EXPECT_EQ(h.pp.EvalReal("('2.5') * N"), 17.5);
  EXPECT_EQ(h.pp.EvalReal("N < 8"), -1.0);
  EXPECT_EQ(h.calls({"PrintBuf(S + 'a')", "PrintBuf(IntToStr(1.9))", "PrintBuf(IntToStr('0x10'))",
                     "PrintBuf(FloatToStr(StrToFloat('x')))", "PrintBuf(IntToStr(StrToInt(S)*2))"}),
            (Lines{"12a", "1", "16", "0", "24"}));

  auto syntax = [](const char* tok) { return sj("文法エラーです[") + tok + "]"; };
  EXPECT_EQ(errorOf([&] { I("N + 1.5"); }), syntax("1.5"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("5"); }), syntax("5"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("'a' + 1"); }), syntax("1"));
  EXPECT_EQ(errorOf([&] { I(") 5"); }), syntax("5"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("'a' + )x"); }), syntax("x"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("1.5 * ) 2"); }), syntax("2"));
  EXPECT_EQ(errorOf([&] { I("1 + 'a'"); }), syntax("'a'"));
  EXPECT_EQ(errorOf([&] { I("1 + S"); }), sj("変数の型が違います[S]"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("1.5 + S"); }), sj("変数の型が違います[S]"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("'a' + N"); }), sj("変数の型が違います[N]"));
  EXPECT_EQ(errorOf([&] { I("1 + Frac(0.5)"); }), sj("関数の戻り値の型が違います[Frac]"));
  EXPECT_EQ(errorOf([&] { I("1 + Trim('a')"); }), sj("関数の戻り値の型が違います[Trim]"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalReal("1 + Trim('a')"); }), sj("関数の戻り値の型が違います[Trim]"));
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("Length('a')"); }), sj("関数の戻り値の型が違います[Length]"));
  EXPECT_EQ(errorOf([&] { I("1 + foo"); }), sj("変数または関数は定義されていません[foo]"));
  EXPECT_EQ(errorOf([&] { I("(1 + 2"); }), sj("右括弧がありません"));
}

TEST(Expressions, RealResultsAndFloatToStr) {
  ScriptHost h;
  EXPECT_EQ(h.calls({"PrintBuf(FloatToStr(0.1 + 0.2))", "PrintBuf(FloatToStr(1 / 3))", "PrintBuf(FloatToStr(1e20))",
                     "PrintBuf(FloatToStr(1.5E-7))", "PrintBuf(FloatToStr(123456789012345678))",
                     "PrintBuf(FloatToStr(-2.5))", "PrintBuf(FloatToStr(100))", "PrintBuf(FloatToStr(0.00001))",
                     "PrintBuf(FloatToStr(123456789012345))", "PrintBuf(FloatToStr(1234567890123456))",
                     "PrintBuf(FloatToStr(Frac(-1.75)))", "PrintBuf(FloatToStr(Int(-1.75)))"}),
            (Lines{"0.3", "0.333333333333333", "1E20", "1.5E-7", "1.23456789012346E17", "-2.5", "100", "0.00001",
                   "123456789012345", "1.23456789012346E15", "-0.75", "-1"}));
  auto I = [&](const char* e) { return h.pp.EvalInt(e); };
  EXPECT_EQ(I("Round(2.5)"), 2);
  EXPECT_EQ(I("Round(3.5)"), 4);
  EXPECT_EQ(I("Round(-2.5)"), -2);
  EXPECT_EQ(I("Trunc(-1.7)"), -1);
  EXPECT_EQ(errorOf([&] { I("Trunc(1e30)"); }), "Invalid floating point operation");
}

TEST(Builtins, StringsCountBytes) {
  ScriptHost h;
  const std::string a = sj("ア");  // 0x83 0x41: its second byte is an ASCII 'A'
  ASSERT_EQ(a, "\x83\x41");
  h.pp.AddStrConst("KA", a + "A", true);
  auto I = [&](const std::string& e) { return h.pp.EvalInt(e); };
  EXPECT_EQ(I("Length(KA)"), 3);
  EXPECT_EQ(I("Pos('A', KA)"), 3);
  EXPECT_EQ(I("Pos('z', KA)"), 0);
  EXPECT_EQ(I("Pos('', 'abc')"), 0);
  EXPECT_EQ(h.pp.EvalStr("LowerCase(KA)"), a + "a");
  EXPECT_EQ(h.pp.EvalStr("UpperCase('x' + KA)"), "X" + a + "A");
  EXPECT_EQ(h.calls({"PrintBuf(Copy('abcdef', 0, 2))", "PrintBuf(Copy('abc', 3, 10))", "PrintBuf(Copy('abc', 4, 1))",
                     "PrintBuf(Copy('abc', 2, -1))", "PrintBuf(Delete('abc', 5, 1))", "PrintBuf(Delete('abcdef', 2, 2))",
                     "PrintBuf(Delete('abc', 2, 100))", "PrintBuf(Insert('x', Insert('y', 'abc', 2), 1))",
                     "PrintBuf(Insert('x', 'abc', 99))", "PrintBuf('[' + Trim('  a b ') + ']')",
                     "PrintBuf('[' + TrimLeft(' a ') + ']')", "PrintBuf('[' + TrimRight(' a ') + ']')"}),
            (Lines{"ab", "c", "", "", "abc", "adef", "a", "xaybc", "abcx", "[a b]", "[a ]", "[ a]"}));
  EXPECT_LT(I("CompareStr('a', 'b')"), 0);
  EXPECT_GT(I("CompareStr('abc', 'ab')"), 0);
  EXPECT_EQ(I("CompareStr('a', 'a')"), 0);
  EXPECT_EQ(I("StrToInt('$1F') + StrToInt(' 12') + StrToInt('12 ')"), 43);
  h.pp.Define.add("Debug");
  EXPECT_EQ(I("IsDefine('DEBUG')"), -1);
  EXPECT_EQ(I("IsDefine('x')"), 0);
}

TEST(Builtins, NulEndsStoredStrings) {
  ScriptHost h;
  EXPECT_EQ(h.pp.EvalStr("'ab'#0'cd'"), std::string("ab\0cd", 5));  // a value in flight keeps it
  EXPECT_EQ(h.pp.EvalInt("Length('ab'#0'cd')"), 2);                // an argument does not
  EXPECT_EQ(h.calls({"PrintBuf('ab'#0'cd')"}), Lines{"ab"});
  h.pp.AddStrConst("Z", std::string("x\0y", 3), false);
  EXPECT_EQ(h.pp.EvalStr("Z"), "x");
}

TEST(Builtins, DesktopGoesThroughTheAdapter) {
  ScriptHost h;
  h.desk.inputs.push_back("typed");
  h.desk.boxAnswers.push_back(6);
  EXPECT_EQ(h.calls({"PrintBuf(InputBox('Cap', 'Prompt', 'def'))", "PrintBuf(InputBox('C', 'P', 'def'))",
                     "PrintBuf(IntToStr(MessageBox('Text', 'Cap', 4)))", "PrintBuf(IntToStr(Shell('doc.txt', '-x')))",
                     "ProcessMessages", "Sleep(-5)", "Sleep(10)"}),
            (Lines{"typed", "def", "6", "42"}));
  EXPECT_EQ(h.desk.asked, (Lines{"input:Cap|Prompt|def", "input:C|P|def", "box:Text|Cap|4", "shell:doc.txt|-x"}));
  EXPECT_EQ(h.desk.pumps, 1);
  EXPECT_EQ(h.desk.sleeps, (std::vector<std::uint32_t>{10}));
  EXPECT_THROW(h.call("Sleep(5000000000)"), RangeError);
}

TEST(Builtins, LongSleepHandlesEventsBetweenSlices) {
  ScriptHost h;
  h.call("Sleep(250)");
  EXPECT_EQ(h.desk.sleeps, (std::vector<std::uint32_t>{100, 100, 50}));
  EXPECT_EQ(h.desk.pumps, 2);
}

}  // namespace
}  // namespace wux::test

#include <gtest/gtest.h>

#include "ScriptHost.h"
#include "model/Prompter.h"
#include "script/PPACo.h"

namespace wux::test {
namespace {

std::string syntax(const char* tok) { return sj("文法エラーです[") + tok + "]"; }

TEST(Programs, Shapes) {
  ScriptHost h;
  EXPECT_EQ(h.run("VAR i, x: Integer; s: String;\r\n"
                  "BEGIN\r\n"
                  "  x := 0; // a comment\r\n"
                  "\r\n"
                  "  FOR i := 3 DOWNTO 1 DO x := x * 10 + i;\r\n"
                  "  s := 'x=' + IntToStr(x) + ' i=' + IntToStr(i);\r\n"
                  "  PrintBuf(s)\r\n"
                  "END.\r\n"
                  "PrintBuf('after the last END')"),
            Lines{"x=321 i=1"});
  // Without VAR the whole text is the block, with or without BEGIN..END.
  EXPECT_EQ(h.run("BEGIN PrintBuf('a'); PrintBuf('b') END."), (Lines{"a", "b"}));
  EXPECT_EQ(h.run("PrintBuf('a');\nPrintBuf('b');"), (Lines{"a", "b"}));
  EXPECT_EQ(h.run("VAR r: Real;\nbegin r := 1 / 4; PrintBuf(FloatToStr(r * 2)) end"), Lines{"0.5"});
  EXPECT_EQ(h.run("VAR a, a: Integer; BEGIN a := 2; PrintBuf(IntToStr(a)) END"), Lines{"2"});
  EXPECT_EQ(h.run(""), Lines{});

  EXPECT_EQ(h.runError("VAR x: Integer; BEGIN x := 1"), sj("endがありません[Block]"));
  EXPECT_EQ(h.runError("VAR 1: Integer; BEGIN END"), syntax("1"));
  EXPECT_EQ(h.runError("VAR a Integer; BEGIN END"), syntax("Integer"));
  EXPECT_EQ(h.runError("VAR a: Bool; BEGIN END"), syntax("Bool"));
  EXPECT_EQ(h.runError("VAR a: Integer BEGIN END"), syntax("BEGIN"));
  EXPECT_EQ(h.runError("VAR a: Integer; a: String; BEGIN END"), sj("変数/定数名の重複定義[a]"));
  // Variables of a VAR section live until the next run starts.
  EXPECT_EQ(h.runError("PrintBuf(IntToStr(a))"), sj("変数または関数は定義されていません[a]"));
  // Prototypes are declared again at every run; a bad one stops the run before it starts.
  h.pp.DeclarePrototype.add("procedure Twice(A, a: Integer);Index 9;");
  EXPECT_EQ(h.runError("PrintBuf('x')"), sj("仮引数名の重複定義[A]"));
  h.pp.DeclarePrototype.erase(1);
  h.pp.DeclarePrototype.add("procedure PrintBuf2;Index 3");
  EXPECT_EQ(h.runError("PrintBuf('x')"), sj("定義エラーです"));
  h.pp.DeclarePrototype.erase(1);
  h.pp.DeclarePrototype.add("function printbuf: Integer; Index 3;");
  EXPECT_EQ(h.runError("PrintBuf('x')"), sj("手続き/関数の重複宣言[PRINTBUF]"));
  h.pp.DeclarePrototype.erase(1);
  EXPECT_FALSE(h.pp.IsRunning());
}

TEST(Statements, CallsAssignmentsAndErrors) {
  ScriptHost h;
  h.pp.AddIntConst("N", false, 0);
  h.pp.AddStrConst("S", "", false);
  // A missing ";" joins two calls into one statement: the second is never run.
  EXPECT_EQ(h.run("PrintBuf('a') PrintBuf('b'); PrintBuf('c')"), (Lines{"a", "c"}));
  EXPECT_EQ(h.run("N := 'x'; S := 'v' + #0 + 'w'; PrintBuf(IntToStr(N) + S); Length('abc')"), Lines{"-1v"});
  EXPECT_EQ(h.run("N := Frac(1.5) * 5; PrintBuf(IntToStr(N))"), Lines{"2"});
  EXPECT_EQ(h.runError("True := 0"), sj("読取専用オブジェクトには代入できません[True]"));
  EXPECT_EQ(h.runError("1 := 2"), syntax("1"));
  EXPECT_EQ(h.runError("N 5"), syntax("5"));
  EXPECT_EQ(h.runError("N := 1 + S"), sj("変数の型が違います[S]"));
  EXPECT_EQ(h.runError("N := 1 + Copy('a', 1, 1)"), sj("関数の戻り値の型が違います[Copy]"));
  EXPECT_EQ(h.runError("N := (1"), sj("右括弧がありません"));
  EXPECT_EQ(h.runError("Print('x')"), syntax("Print"));
  h.pp.DeclareProc("function Bad:Integer;Index $2FFF;", true);
  h.pp.DeclareProc("procedure BadP;Index 9;", true);
  EXPECT_EQ(h.runError("N := Bad"), sj("未宣言の組み込み関数です[]"));
  EXPECT_EQ(h.runError("BadP"), sj("未宣言の組み込み手続きです[]"));
  // A statement that never runs is never checked.
  EXPECT_EQ(h.run("IF 0 THEN nonsense := ((( ; PrintBuf('ok')"), Lines{"ok"});
}

TEST(Statements, NestingBeyondReasonIsAnErrorNotACrash) {
  ScriptHost h;
  std::string deep = "PrintBuf(IntToStr(" + std::string(5000, '(') + "1))";
  EXPECT_EQ(h.runError(deep), "The script is nested too deeply.");
  std::string blocks;
  for (int i = 0; i < 5000; ++i) blocks += "BEGIN ";
  EXPECT_EQ(h.runError(blocks), "The script is nested too deeply.");
  EXPECT_EQ(h.runError("PrintBuf(IntToStr(" + std::string(5000, '-') + "1))"), "The script is nested too deeply.");
  EXPECT_EQ(h.run("PrintBuf(IntToStr(" + std::string(50, '(') + "1" + std::string(50, ')') + "))"), Lines{"1"});
  // A long ELSE IF chain nests one statement list per arm; a table of a few hundred
  // arms is still a reasonable script.
  std::string chain = "VAR x: Integer; BEGIN x := 300; ";
  for (int i = 0; i <= 300; ++i) chain += (i ? " ELSE " : "") + ("IF x = " + std::to_string(i) + " THEN PrintBuf('" + std::to_string(i) + "')");
  EXPECT_EQ(h.run(chain + " END"), Lines{"300"});
}

TEST(Statements, IfElse) {
  ScriptHost h;
  EXPECT_EQ(h.run("IF 1 THEN IF 0 THEN PrintBuf('a') ELSE PrintBuf('b')"), Lines{"b"});
  EXPECT_EQ(h.run("IF 0 THEN IF 1 THEN PrintBuf('a') ELSE PrintBuf('b')"), Lines{});  // ELSE of the inner IF
  EXPECT_EQ(h.run("IF 2 > 1 THEN PrintBuf('a') ELSE PrintBuf('b'); PrintBuf('c')"), (Lines{"a", "c"}));
  EXPECT_EQ(h.run("IF 'x' = 'y' THEN BEGIN PrintBuf('a'); PrintBuf('b') END ELSE BEGIN PrintBuf('c'); "
                  "PrintBuf('d') END; PrintBuf('e')"),
            (Lines{"c", "d", "e"}));
  EXPECT_EQ(h.runError("IF 1 PrintBuf('x')"), syntax("if"));
}

TEST(Statements, ForLoops) {
  ScriptHost h;
  EXPECT_EQ(h.run("VAR i, n: Integer; BEGIN n := 3; FOR i := 1 TO n DO BEGIN PrintBuf(IntToStr(i)); n := 10; i := 7 "
                  "END; PrintBuf(IntToStr(i)) END"),
            (Lines{"1", "2", "3", "7"}));
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := 1 TO 0 DO PrintBuf('never'); PrintBuf(IntToStr(i)) END"), Lines{"1"});
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := 5 DOWNTO 6 DO PrintBuf('never'); PrintBuf(IntToStr(i)) END"),
            Lines{"5"});
  // The counter steps in 64 bits and stops at the limits without running over.
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := $7FFFFFFFFFFFFFFE TO $7FFFFFFFFFFFFFFF DO PrintBuf(IntToStr(i)) END"),
            (Lines{"9223372036854775806", "9223372036854775807"}));
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := $8000000000000001 DOWNTO $8000000000000000 DO "
                  "PrintBuf(IntToStr(i)) END"),
            (Lines{"-9223372036854775807", "-9223372036854775808"}));
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := 1 TO 4294967297 DO IF i = 3 THEN BREAK; PrintBuf(IntToStr(i)) END"),
            Lines{"3"});

  const std::string forError = syntax("for");
  EXPECT_EQ(h.runError("FOR True := 1 TO 2 DO PrintBuf('x')"), forError);
  EXPECT_EQ(h.runError("VAR s: String; BEGIN FOR s := 1 TO 2 DO PrintBuf('x') END"), forError);
  EXPECT_EQ(h.runError("VAR i: Integer; BEGIN FOR i = 1 TO 2 DO PrintBuf('x') END"), forError);
  EXPECT_EQ(h.runError("VAR i: Integer; BEGIN FOR i := 1 TO 2 PrintBuf('x') END"), forError);
  EXPECT_EQ(h.runError("VAR i: Integer; BEGIN FOR i := 1 END"), forError);
}

TEST(Statements, WhileAndRepeat) {
  ScriptHost h;
  EXPECT_EQ(h.run("VAR x: Integer; BEGIN WHILE x < 3 DO x := x + 1; PrintBuf(IntToStr(x)) END"), Lines{"3"});
  EXPECT_EQ(h.run("VAR x: Integer; BEGIN REPEAT x := x + 1; PrintBuf(IntToStr(x)) UNTIL x >= 2; PrintBuf('end') END"),
            (Lines{"1", "2", "end"}));
  EXPECT_EQ(h.run("REPEAT PrintBuf('once') UNTIL 1"), Lines{"once"});
  EXPECT_EQ(h.runError("WHILE 1 PrintBuf('x')"), syntax("while"));
}

TEST(Statements, BreakContinueExit) {
  ScriptHost h;
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := 1 TO 5 DO BEGIN IF i = 2 THEN CONTINUE; IF i = 4 THEN BREAK; "
                  "PrintBuf(IntToStr(i)) END; PrintBuf('after') END"),
            (Lines{"1", "3", "after"}));
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN WHILE i < 5 DO BEGIN i := i + 1; IF i = 2 THEN CONTINUE; IF i = 4 THEN "
                  "BREAK; PrintBuf(IntToStr(i)) END; PrintBuf('after') END"),
            (Lines{"1", "3", "after"}));
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN REPEAT i := i + 1; IF i = 2 THEN CONTINUE; IF i = 4 THEN BREAK; "
                  "PrintBuf(IntToStr(i)) UNTIL i >= 5; PrintBuf('after') END"),
            (Lines{"1", "3", "after"}));
  // EXIT ends every loop and the program.
  EXPECT_EQ(h.run("VAR i, j: Integer; BEGIN FOR i := 1 TO 3 DO FOR j := 1 TO 3 DO BEGIN PrintBuf(IntToStr(j)); "
                  "IF j = 2 THEN EXIT END; PrintBuf('never') END"),
            (Lines{"1", "2"}));
  // BREAK or CONTINUE outside a loop ends the program like EXIT.
  EXPECT_EQ(h.run("PrintBuf('a'); BREAK; PrintBuf('b')"), Lines{"a"});
  EXPECT_EQ(h.run("PrintBuf('a'); BEGIN CONTINUE END; PrintBuf('b')"), Lines{"a"});
}

TEST(Statements, Case) {
  ScriptHost h;
  EXPECT_EQ(h.run("CASE 2 OF 1..3: PrintBuf('a'); 2: PrintBuf('b'); 4, 5: PrintBuf('c'); END; PrintBuf('z')"),
            (Lines{"a", "b", "z"}));
  EXPECT_EQ(h.run("CASE 5 OF 1: PrintBuf('a'); 4, (2 + 3): PrintBuf('c'); ELSE PrintBuf('x') END"), Lines{"c"});
  EXPECT_EQ(h.run("CASE 7 OF 1: PrintBuf('a') ELSE PrintBuf('b'); PrintBuf('c') END"), (Lines{"b", "c"}));
  EXPECT_EQ(h.run("CASE 1 OF 1: BEGIN PrintBuf('a'); PrintBuf('b') END END"), (Lines{"a", "b"}));
  EXPECT_EQ(h.runError("CASE 1 PrintBuf('a')"), sj("ofがありません[case]"));
  EXPECT_EQ(h.runError("CASE 1 OF 1 PrintBuf('a') END"), sj("式が不正です[case]"));
  // A last arm not followed by ";" takes the closing END into its body.
  EXPECT_EQ(h.runError("CASE 1 OF 1: PrintBuf('a') END"), sj("endがありません[case]"));
}

TEST(RunState, PauseAndStop) {
  ScriptHost h;
  int pauses = 0;
  h.pp.PauseProc = [&] { ++pauses; };
  // Stopped from the pump while paused: the stop message ends the script.
  h.desk.events.push_back([&] { h.pp.Stop(); });
  EXPECT_EQ(h.runError("PrintBuf('a'); Pause; PrintBuf('b')"), sj("実行を中断しました"));
  EXPECT_EQ(h.out, Lines{"a"});
  EXPECT_EQ(pauses, 1);
  EXPECT_FALSE(h.pp.IsRunning());
  EXPECT_FALSE(h.pp.Paused());
  EXPECT_NO_THROW(h.pp.Stop());  // not running: nothing

  // A host that reports the stop in its own command: the script ends at its next
  // statement list without an error. Other events keep the wait going.
  std::string reported;
  h.desk.events.push_back([] {});
  h.desk.events.push_back([&] { reported = errorOf([&] { h.pp.Stop(); }); });
  EXPECT_EQ(h.run("VAR i: Integer; BEGIN FOR i := 1 TO 3 DO BEGIN PrintBuf(IntToStr(i)); Pause END END"), Lines{"1"});
  EXPECT_EQ(reported, sj("実行を中断しました"));
  EXPECT_TRUE(h.desk.events.empty());
  EXPECT_TRUE(h.pp.Terminated());
  // The next run starts clean.
  EXPECT_EQ(h.run("PrintBuf('again')"), Lines{"again"});
}

// An agent whose user asks for a break after a number of polls.
struct BreakingAgent : AgentAPLAbs {
  int polls = 0, breakAfter = 0;
  bool isBreak() override { return ++polls > breakAfter; }
};

TEST(RunState, BreakFlagEndsEndlessLoop) {
  ScriptHost h;
  BreakingAgent agent;
  agent.breakAfter = 50;
  h.pp.setAgent(&agent);
  EXPECT_EQ(h.runError("VAR x: Integer; BEGIN WHILE 1 DO x := x + 1 END"), sj("実行を中断しました"));
  EXPECT_FALSE(h.pp.IsRunning());
  EXPECT_GE(h.pp.EvalInt("x"), 40);

  // Also while paused.
  agent.polls = 0;
  agent.breakAfter = 2;
  h.desk.events.assign(5, [] {});
  EXPECT_EQ(h.runError("Pause; PrintBuf('never')"), sj("実行を中断しました"));
  EXPECT_EQ(h.desk.events.size(), 4u);
  EXPECT_EQ(h.out, Lines{});
}

TEST(RunState, NoSecondRunWhileRunning) {
  ScriptHost h;
  std::string inner;
  h.desk.onProcessMessages = [&] {
    if (inner.empty()) inner = errorOf([&] { h.run("PrintBuf('inner')"); });
  };
  EXPECT_EQ(h.run("VAR v: Integer; BEGIN v := 5; PrintBuf(IntToStr(v)) END"), Lines{"5"});
  EXPECT_EQ(inner, "The script is already running.");
}

TEST(Runner, RunsIntoItsOwnOutput) {
  RecordingPrompter rec;
  ScopedPrompter scope(&rec);
  PPACo runner;
  FakeDesktop desk;
  TPoorPascal& pp = runner.interpreter();
  pp.setDesktop(&desk);
  pp.DeclarePrototype.add("procedure PrintBuf(S:String);Index 2;");
  pp.ProcParam = [&](const std::string&, int, const StringList& args, int&) {
    runner.output.add(args.objectAs<TPPAParam>(0)->StrValue);
  };
  pp.AddStrObject("PPAID", "PPA00", 5000, true);
  StringList note{"PrintBuf(PPAID);", "PrintBuf('two')"};
  TObject noteObject;
  EXPECT_EQ(runner.Run(note, &noteObject), 0);
  EXPECT_EQ(runner.output, (StringList{"PPA00", "two"}));
  EXPECT_EQ(runner.scriptObject, &noteObject);
  EXPECT_EQ(runner.Run(StringList{"PrintBuf('x'); y := 1"}), -1);
  EXPECT_EQ(runner.output, StringList{"x"});
  EXPECT_EQ(rec.messages(), Lines{syntax("y")});
}

}  // namespace
}  // namespace wux::test

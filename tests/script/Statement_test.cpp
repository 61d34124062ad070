#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScriptHost.h"
#include "support/RecordingPrompter.h"
#include "script/PPACo.h"

namespace wux::test {
namespace {

TEST(Programs, Shapes) {
  ScriptHost h;
  checkCases(h, "programs.cases");
  // Prototypes are declared again at every run; a bad one stops the run before it starts.
  for (auto [proto, message] : std::vector<std::pair<const char*, const char*>>{
           {"procedure Twice(A, a: Integer);Index 9;", "仮引数名の重複定義[A]"},
           {"procedure PrintBuf2;Index 3", "定義エラーです"},
           {"function printbuf: Integer; Index 3;", "手続き/関数の重複宣言[PRINTBUF]"}}) {
    h.pp.DeclarePrototype.add(proto);
    EXPECT_EQ(h.runError("PrintBuf('x')"), sj(message));
    h.pp.DeclarePrototype.erase(1);
  }
  EXPECT_FALSE(h.pp.IsRunning());
}

TEST(Statements, CallsAssignmentsAndErrors) {
  ScriptHost h;
  h.pp.AddIntConst("N", false, 0);
  h.pp.AddStrConst("S", "", false);
  h.pp.DeclareProc("function Bad:Integer;Index $2FFF;", true);
  h.pp.DeclareProc("procedure BadP;Index 9;", true);
  checkCases(h, "calls.cases");
}

// An agent whose user asks for a break after a number of polls.
struct BreakingAgent : AgentAPLAbs {
  int polls = 0, breakAfter = 0;
  bool isBreak() override { return ++polls > breakAfter; }
};

TEST(Statements, NestingBeyondReasonIsAnErrorNotACrash) {
  ScriptHost h;
  std::string blocks;
  for (int i = 0; i < 5000; ++i) blocks += "BEGIN ";
  for (const std::string& deep : {"PrintBuf(IntToStr(" + std::string(5000, '(') + "1))", blocks,
                                  "PrintBuf(IntToStr(" + std::string(5000, '-') + "1))"})
    EXPECT_EQ(h.runError(deep), "The script is nested too deeply.");
  EXPECT_EQ(h.run("PrintBuf(IntToStr(" + std::string(50, '(') + "1" + std::string(50, ')') + "))"), Lines{"1"});
}

// An ELSE IF chain is a table written out: it may be as long as the script likes.
TEST(Statements, ElseIfChainsOfAnyLength) {
  ScriptHost h;
  std::string chain = "VAR x: Integer; BEGIN x := 9999; ";
  for (int i = 0; i < 10000; ++i)
    chain += (i ? "\r\n ELSE " : "") + ("IF x = " + std::to_string(i) + " THEN PrintBuf('" + std::to_string(i) + "')");
  EXPECT_EQ(h.run(chain + " ELSE PrintBuf('none') END"), Lines{"9999"});
  EXPECT_EQ(h.run(chain + "; PrintBuf('next') END"), (Lines{"9999", "next"}));
  // The chain still stops where a statement list would: at EXIT in an arm, and a
  // break request between arms.
  EXPECT_EQ(h.run("IF 0 THEN PrintBuf('a') ELSE IF 1 THEN EXIT ELSE PrintBuf('b'); PrintBuf('c')"), Lines{});
  BreakingAgent agent;
  h.pp.setAgent(&agent);
  agent.breakAfter = 100;
  EXPECT_EQ(h.runError(chain + " END"), sj("実行を中断しました"));
  h.pp.setAgent(nullptr);
}

// Building a text by appending to the variable: the value a read sees, the NUL that ends
// a stored text and an error half-way behave as when the whole value is copied.
TEST(Statements, AppendingToTheAssignedString) {
  ScriptHost h;
  checkCases(h, "append.cases");
  EXPECT_EQ(h.runError("VAR s: String; x: Integer; BEGIN s := 'keep'; s := s + 'lost' + IntToStr(1 div x) END"),
            "Division by zero");
  EXPECT_EQ(h.pp.EvalStr("s"), "keep");

  // A host function called half-way reads the value as it was.
  h.pp.DeclarePrototype.add("function Peek: String; Index 7;");
  h.pp.StrFuncParam = [&](const std::string&, int, const StringList&, int&, std::string& r) { r = h.pp.EvalStr("s"); };
  EXPECT_EQ(h.run("VAR s: String; BEGIN s := 'ab'; s := s + '-' + Peek; PrintBuf(s) END"), Lines{"ab-ab"});

  // A host-bound text is read through the host every time.
  h.pp.AddStrObject("OBJ", "", 1, false);
  std::string hostValue = "h";
  int reads = 0;
  h.pp.StrObjParam = [&](const std::string&, int, std::uint8_t mode, int&, std::string& v) {
    if (mode == 0) {
      ++reads;
      v = hostValue;
    } else {
      hostValue = v + "!";
    }
  };
  EXPECT_EQ(h.run("OBJ := OBJ + 'x'; OBJ := OBJ + 'y'; PrintBuf(OBJ)"), Lines{"hx!y!"});
  EXPECT_EQ(reads, 3);
}

TEST(Declarations, ManyNamesInOneSection) {
  ScriptHost h;
  std::string src = "VAR ";
  for (int i = 0; i < 100000; ++i) src += "v" + std::to_string(i) + (i % 100 == 99 ? ": Integer;\n" : ", ");
  EXPECT_EQ(h.run(src + "BEGIN V99999 := 5; v0 := V99999 + 1; PrintBuf(IntToStr(v0)) END"), Lines{"6"});
  EXPECT_EQ(h.runError(src + "v512: String; BEGIN END"), sj("変数/定数名の重複定義[v512]"));
}

// A literal left open runs on to the end of the text it is read from, each time it is
// read again: the blanks that joined the gathered tokens become part of it.
TEST(Programs, OpenLiteralsAreReadAgainWithTheirText) {
  ScriptHost h;
  EXPECT_EQ(h.runError("IF 1 THEN PrintBuf('abc"), sj("文法エラーです[]"));
  EXPECT_EQ(h.out, Lines{"'abc\r\n   "});
  EXPECT_EQ(h.run("VAR s: String; BEGIN s := 'a\r\nb' + 'c // d\r\n'; PrintBuf(s) END"), Lines{"a\r\nb  c\r\n"});
  EXPECT_EQ(h.runError("VAR s: String;\r\nBEGIN\r\ns := 'a\r\nb' + 1..5 + 'x';\r\nPrintBuf(s)\r\nEND"),
            sj("文法エラーです[1]"));
}

TEST(Statements, IfForWhileRepeatBreakCase) {
  ScriptHost h;
  checkCases(h, "control.cases");
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

// A loop that doubles a text ends with an error in the interpreters the program makes
// (its own and the runners'), before a process with 3 GB of address space runs out.
TEST(RunState, ADoublingTextStopsAtTheLengthLimitBeforeMemoryRunsOut) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the address sanitizer cannot run under an address-space cap";
#else
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit cap{std::size_t{3} << 30, std::size_t{3} << 30};
    ::setrlimit(RLIMIT_AS, &cap);
    PPACo runner;
    runner.interpreter().Source.setText("VAR s: String; BEGIN s := 'x'; WHILE 1 DO s := s + s END");
    const std::string said = errorOf([&] { runner.interpreter().Run(); });
    ::_exit(::write(fds[1], said.data(), said.size()) > 0 ? 0 : 1);
  }
  ::close(fds[1]);
  char buf[64] = {};
  const ssize_t n = ::read(fds[0], buf, sizeof buf - 1);
  ::close(fds[0]);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0), "The text is too long.");
#endif
}

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
  EXPECT_EQ(rec.messages(), Lines{sj("文法エラーです[y]")});
}

}  // namespace
}  // namespace wux::test

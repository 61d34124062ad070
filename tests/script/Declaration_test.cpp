#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "ScriptHost.h"
#include "support/RecordingPrompter.h"

namespace wux::test {
namespace {

TEST(Declarations, PrototypesGoodAndBad) {
  ScriptHost h;
  h.pp.DeclareProc("  PROCEDURE P(A, B: integer; C: STRING);INDEX $10;  ", false);
  TPPARoutine* p = h.pp.findProc("p");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Index, 16);
  EXPECT_EQ(p->Formals.join(","), "A,B,C");
  EXPECT_EQ(p->Formals.objectAs<TPPAParam>(2)->Type, ptString);
  // An index that is misplaced, no number, or beyond 32 bits is 0.
  for (auto [proto, name, index] : std::vector<std::tuple<const char*, const char*, int>>{
           {"function F : string: Index 7;", "F", 0}, {"function G(X:Real):Integer;Index -3;", "G", 0},
           {"function H:Real;Index $FFFFFFFF;", "H", -1}, {"function H2:Real;Index $0FFFFFFFF;", "H2", -1},
           {"function H3:Real;Index $100000000;", "H3", 0}}) {
    h.pp.DeclareProc(proto, false);
    EXPECT_EQ(h.pp.findFunc(name)->Index, index) << proto;
  }
  EXPECT_EQ(h.pp.findFunc("F")->ResultType, ptString);

  checkCases(h, "declarations.cases");
  EXPECT_EQ(h.pp.findProc("Q"), nullptr);  // a failed declaration adds nothing
  EXPECT_EQ(h.pp.findFunc("Q"), nullptr);

  EXPECT_EQ(errorOf([&] { h.pp.AddIntConst("true", true, 1); }), sj("変数/定数名の重複定義[true]"));
  h.pp.AddStrConst("X", "", false);
  EXPECT_EQ(errorOf([&] { h.pp.AddStrObject("x", "", 1, false); }), sj("変数/定数名の重複定義[x]"));
}

TEST(Declarations, CallProtocol) {
  ScriptHost h;
  // The host runs before the closing ")" is checked.
  EXPECT_EQ(errorOf([&] { h.call("PrintBuf('a', 'b')"); }), sj("文法エラーです[,]"));
  EXPECT_EQ(h.out, Lines{"a"});
}

TEST(HostEvents, NamesIndexesAndArguments) {
  ScriptHost h;
  h.pp.DeclareProc("function myFunc(a:Integer; b:String; c:Real):String;Index 77;", false);
  h.pp.DeclareProc("function myInt:Integer;Index 78;", false);
  h.pp.DeclareProc("function myReal(x:Integer):Real;Index 79;", false);
  h.pp.DeclareProc("procedure myProc;Index 80;", false);
  // Unassigned events: 0, '' or 0.0 and no error.
  EXPECT_EQ(h.pp.EvalStr("myFunc(1, 'x', 2)"), "");
  EXPECT_EQ(h.pp.EvalInt("myInt"), 0);
  EXPECT_EQ(h.pp.EvalReal("myReal(1)"), 0.0);

  std::vector<std::string> seen;
  h.pp.StrFuncParam = [&](const std::string& name, int index, const StringList& args, int&, std::string& result) {
    seen.push_back(name + "/" + std::to_string(index) + "/" + args.join(","));
    result = std::to_string(args.objectAs<TPPAParam>(0)->IntValue) + args.objectAs<TPPAParam>(1)->StrValue +
             ScriptFloatToStr(args.objectAs<TPPAParam>(2)->RealValue);
  };
  h.pp.IntFuncParam = [&](const std::string& name, int index, const StringList&, int&, std::int64_t& r) {
    seen.push_back(name + "/" + std::to_string(index));
    r = 5;
  };
  h.pp.RealFuncParam = [&](const std::string&, int, const StringList& args, int& err, double& r) {
    r = args.objectAs<TPPAParam>(0)->int32Value() * 0.5;
  };
  EXPECT_EQ(h.pp.EvalStr("myFunc(1 + 1, 'x' + 'y', 1 / 4) + '!'"), "2xy0.25!");
  EXPECT_EQ(h.pp.EvalInt("MYINT * 2"), 10);
  EXPECT_EQ(h.pp.EvalReal("myReal(3)"), 1.5);
  EXPECT_EQ(seen, (Lines{"MYFUNC/77/A,B,C", "MYINT/78"}));
  // Integer arguments that a host needs in 32 bits are refused, not cut.
  EXPECT_THROW(h.pp.EvalReal("myReal($100000000)"), RangeError);

  // An error code from the host raises the host's message.
  EXPECT_EQ(errorOf([&] { h.call("myProc"); }), sj("ユーザー定義手続き/関数の内部エラーです。"));
  h.pp.IntFuncParam = [](const std::string&, int, const StringList&, int& err, std::int64_t&) { err = 3; };
  h.pp.ErrorProc = [](int code, std::string& m) { m = "host failed " + std::to_string(code); };
  EXPECT_EQ(errorOf([&] { h.pp.EvalInt("myInt"); }), "host failed 3");
}

TEST(HostEvents, HostObjects) {
  ScriptHost h;
  h.pp.AddStrObject("PPAID", "PPA00", 5000, true);
  std::vector<std::string> seen;
  h.pp.StrObjParam = [&](const std::string& name, int index, std::uint8_t mode, int& err, std::string& v) {
    seen.push_back(name + "/" + std::to_string(index) + "/" + std::to_string(mode) + "/" + v);
    if (v == "bad") err = -1;
  };
  EXPECT_EQ(h.calls({"PrintBuf(PPAID + '!')"}), Lines{"PPA00!"});
  EXPECT_EQ(seen, Lines{"PPAID/5000/0/PPA00"});
  h.pp.AddStrObject("Obj", "bad", 1, false);
  EXPECT_EQ(errorOf([&] { h.pp.EvalStr("Obj"); }), sj("ユーザー定義手続き/関数の内部エラーです。"));
}

// Whether a child of this process has ended without being reaped (it stays unreaped).
bool zombieChild() {
  siginfo_t info{};
  return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

TEST(Builtins, ExecStartsRealProcesses) {
  ScriptHost h;
  checkCases(h, "exec.cases");
  bool clean = false;
  for (int i = 0; i < 100 && !clean; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clean = !zombieChild();
  }
  EXPECT_TRUE(clean);
}

// MessageBox on the desktop without a window: the flag word becomes the prompter's
// buttons, icon and default button, and its answer the classic answer code.
TEST(Builtins, MessageBoxFlagsChooseButtonsIconAndDefault) {
  ScriptHost h;
  h.pp.setDesktop(nullptr);
  RecordingPrompter rec;
  ScopedPrompter scope(&rec);
  struct Case {
    int flags;
    Buttons buttons;
    BoxKind kind;
    Answer byDefault;
    int code;
  };
  for (const Case& c : std::vector<Case>{
           {0, Buttons::OK, BoxKind::None, Answer::OK, 1},
           {1 + 16, Buttons::OKCancel, BoxKind::Error, Answer::OK, 1},
           {2 + 48 + 256, Buttons::AbortRetryIgnore, BoxKind::Warning, Answer::Retry, 4},
           {2 + 512, Buttons::AbortRetryIgnore, BoxKind::None, Answer::Ignore, 5},
           {3 + 32 + 512, Buttons::YesNoCancel, BoxKind::Confirmation, Answer::Cancel, 2},
           {4 + 64 + 256, Buttons::YesNo, BoxKind::Information, Answer::No, 7},
           {5 + 256, Buttons::RetryCancel, BoxKind::None, Answer::Cancel, 2},
           {6, Buttons::CancelTryContinue, BoxKind::None, Answer::Cancel, 2},
           {6 + 256, Buttons::CancelTryContinue, BoxKind::None, Answer::TryAgain, 10},
           {6 + 512, Buttons::CancelTryContinue, BoxKind::None, Answer::Continue, 11},
           // Beyond the buttons there are: OK, and the first button is the default.
           {7 + 512, Buttons::OK, BoxKind::None, Answer::OK, 1},
           {15 + 80, Buttons::OK, BoxKind::None, Answer::OK, 1},
           {4 + 512, Buttons::YesNo, BoxKind::None, Answer::Yes, 6},
       }) {
    rec.asked.clear();
    const std::string call = "MessageBox('Text', 'Cap', " + std::to_string(c.flags) + ")";
    EXPECT_EQ(h.pp.EvalInt(call), c.code) << c.flags;
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Text");
    EXPECT_EQ(rec.asked[0].caption, "Cap");
    EXPECT_EQ(rec.asked[0].buttons, c.buttons) << c.flags;
    EXPECT_EQ(rec.asked[0].boxKind, c.kind) << c.flags;
    EXPECT_EQ(rec.asked[0].defaultButton, c.byDefault) << c.flags;
  }
  // Every answer has its own code.
  for (auto [answer, code] : std::vector<std::pair<Answer, int>>{{Answer::Abort, 3}, {Answer::Retry, 4},
                                                                  {Answer::Ignore, 5}, {Answer::Yes, 6},
                                                                  {Answer::TryAgain, 10}, {Answer::Continue, 11}}) {
    rec.answers.push_back(answer);
    EXPECT_EQ(h.pp.EvalInt("MessageBox('t', '', 2)"), code);
  }
}

TEST(Builtins, MessageBoxWithoutAWindowAnswersCancelOrAbort) {
  ScriptHost h;
  h.pp.setDesktop(nullptr);
  // No prompter installed: the text goes to standard error and the safe answer comes back.
  for (auto [flags, code] : std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2 + 256, 3}, {3, 2}, {5, 2}, {6 + 512, 2}})
    EXPECT_EQ(h.pp.EvalInt("MessageBox('t', '', " + std::to_string(flags) + ")"), code) << flags;
}

// A folder with a Japanese name holding an executable shell script `p.sh`, made of
// `body`; the folder goes with the object.
struct JapaneseScriptFolder {
  std::filesystem::path dir;
  explicit JapaneseScriptFolder(const std::string& body) {
    char tmpl[] = "/tmp/wux_exec_XXXXXX";
    dir = std::filesystem::path(::mkdtemp(tmpl)) / "日本";
    std::filesystem::create_directory(dir);
    std::ofstream(dir / "p.sh") << "#!/bin/sh\n" << body;
    std::filesystem::permissions(dir / "p.sh", std::filesystem::perms::owner_all);
  }
  ~JapaneseScriptFolder() { std::filesystem::remove_all(dir.parent_path()); }
  // The script's path as a script writes it: Shift_JIS in a quoted literal.
  std::string literal() const { return "'" + sj(dir.string() + "/p.sh") + "'"; }
  std::string read(const char* name) const {
    std::ifstream in(dir / name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Waits up to ten seconds for the file `name` to hold something.
  std::string await(const char* name) const {
    for (int i = 0; i < 500 && read(name).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return read(name);
  }
};

TEST(Builtins, ExecAndShellHandJapanesePathsAndWordsToTheSystemAsItNamesThem) {
  JapaneseScriptFolder f("printf '%s|%s' \"$1\" \"$2\" > \"$(dirname \"$0\")/$3\"\nexit 5\n");
  ScriptHost h;
  EXPECT_EQ(h.pp.EvalInt("Exec(" + f.literal() + ", " + sj("'語 \"二 語\" exec.txt'") + ", -1)"), 5);
  EXPECT_EQ(f.read("exec.txt"), "語|二 語");
  // Shell with parameters starts the program itself, on the window-less desktop too.
  h.pp.setDesktop(nullptr);
  EXPECT_EQ(h.pp.EvalInt("Shell(" + f.literal() + ", " + sj("'表 示 shell.txt'") + ")"), 42);
  EXPECT_EQ(f.await("shell.txt"), "表|示");
  EXPECT_EQ(h.pp.EvalInt("Shell(" + f.literal() + sj(" + '無'") + ", 'x')"), 2);
}

TEST(RunState, ExecWaitingForAChildKeepsEventsFlowingAndBreakLeavesTheChildRunning) {
  JapaneseScriptFolder f("sleep 1\necho done > \"$(dirname \"$0\")/done.txt\"\n");
  ScriptHost h;
  struct Agent : AgentAPLAbs {
    bool broken = false;
    bool isBreak() override { return broken; }
  } agent;
  h.pp.setAgent(&agent);
  int pumps = 0;
  // Break is asked for from the event loop, as the window's Break button would.
  h.desk.onProcessMessages = [&] {
    if (++pumps == 5) agent.broken = true;
  };
  EXPECT_EQ(h.runError("PrintBuf('before'); Exec(" + f.literal() + ", '', -1); PrintBuf('after')"),
            sj("実行を中断しました"));
  EXPECT_EQ(h.out, Lines{"before"});
  EXPECT_EQ(f.read("done.txt"), "") << "the script waited for the child to end";
  EXPECT_FALSE(h.pp.IsRunning());
  // The child goes on to its end and is reaped then.
  EXPECT_EQ(f.await("done.txt"), "done\n");
  bool clean = false;
  for (int i = 0; i < 100 && !clean; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clean = !zombieChild();
  }
  EXPECT_TRUE(clean);
  h.pp.setAgent(nullptr);
}

}  // namespace
}  // namespace wux::test

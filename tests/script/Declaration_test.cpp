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

// The flag word picks the prompter's buttons (low four bits), icon (next four) and
// default button (next four); the answer comes back as the classic code.
TEST(Builtins, MessageBoxFlagsChooseButtonsIconAndDefault) {
  ScriptHost h;
  h.pp.setDesktop(nullptr);
  auto box = [&](int flags) { return h.pp.EvalInt("MessageBox('T', 'C', " + std::to_string(flags) + ")"); };
  // Without a prompter (no window) the answer is Cancel, or Abort where there is none.
  for (auto [flags, code] : std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2 + 256, 3}, {3, 2}, {5, 2}, {6 + 512, 2}})
    EXPECT_EQ(box(flags), code) << flags;
  RecordingPrompter rec;
  ScopedPrompter scope(&rec);
  using B = Buttons;
  using K = BoxKind;
  using A = Answer;
  for (auto [flags, buttons, kind, byDefault, code] : std::vector<std::tuple<int, B, K, A, int>>{
           {0, B::OK, K::None, A::OK, 1},
           {1 + 16, B::OKCancel, K::Error, A::OK, 1},
           {2 + 48 + 256, B::AbortRetryIgnore, K::Warning, A::Retry, 4},
           {3 + 32 + 512, B::YesNoCancel, K::Confirmation, A::Cancel, 2},
           {4 + 64 + 256, B::YesNo, K::Information, A::No, 7},
           {5, B::RetryCancel, K::None, A::Retry, 4},
           {6 + 512, B::CancelTryContinue, K::None, A::Continue, 11},
           {6 + 256, B::CancelTryContinue, K::None, A::TryAgain, 10},
           {15 + 80 + 512, B::OK, K::None, A::OK, 1},  // no such buttons or icon; no third button
       }) {
    EXPECT_EQ(box(flags), code) << flags;
    ASSERT_FALSE(rec.asked.empty());
    const auto& e = rec.asked.back();
    EXPECT_EQ(std::tie(e.text, e.caption), std::make_tuple(std::string("T"), std::string("C")));
    EXPECT_EQ(std::make_tuple(e.buttons, e.boxKind, e.defaultButton), std::make_tuple(buttons, kind, std::optional(byDefault)))
        << flags;
  }
  rec.answers = {A::Abort, A::Ignore};
  EXPECT_EQ(box(2), 3);
  EXPECT_EQ(box(2), 5);
}

TEST(Builtins, ExecAndShellHandJapanesePathsAndWordsToTheSystemAsItNamesThem) {
  namespace fs = std::filesystem;
  char tmpl[] = "/tmp/wux_exec_XXXXXX";
  const fs::path dir = fs::path(::mkdtemp(tmpl)) / "日本";
  fs::create_directory(dir);
  std::ofstream(dir / "p.sh") << "#!/bin/sh\nprintf '%s|%s' \"$1\" \"$2\" > \"$(dirname \"$0\")/$3\"\nexit 5\n";
  fs::permissions(dir / "p.sh", fs::perms::owner_all);
  auto read = [&](const char* name) {
    std::string text;
    for (int i = 0; i < 500 && text.empty(); ++i) {  // a started program writes in its own time
      std::ifstream in(dir / name);
      text.assign(std::istreambuf_iterator<char>(in), {});
      if (text.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return text;
  };
  const std::string path = "'" + sj(dir.string() + "/p.sh") + "'";
  ScriptHost h;
  EXPECT_EQ(h.pp.EvalInt("Exec(" + path + ", " + sj("'語 \"二 語\" exec.txt'") + ", -1)"), 5);
  EXPECT_EQ(read("exec.txt"), "語|二 語");
  // Shell with parameters starts the program itself (on the window-less desktop).
  h.pp.setDesktop(nullptr);
  EXPECT_EQ(h.pp.EvalInt("Shell(" + path + ", " + sj("'表 示 shell.txt'") + ")"), 42);
  EXPECT_EQ(read("shell.txt"), "表|示");
  EXPECT_EQ(h.pp.EvalInt("Shell(" + path + sj(" + '無'") + ", 'x')"), 2);
  fs::remove_all(dir.parent_path());
}

}  // namespace
}  // namespace wux::test

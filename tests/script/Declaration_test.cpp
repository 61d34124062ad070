#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "ScriptHost.h"

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

}  // namespace
}  // namespace wux::test

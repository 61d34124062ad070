#pragma once
// The test host: an interpreter with the PrintBuf procedure collecting its argument,
// on a fake desktop.
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "../support/data_files.h"
#include "platform/textconv.h"
#include "script/PoorPascal.h"
#include "support/FakeDesktop.h"

namespace wux::test {

// The message of the error f raises.
template <class F>
std::string errorOf(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

struct ScriptHost {
  TPoorPascal pp;
  FakeDesktop desk;
  std::vector<std::string> out;

  ScriptHost() {
    pp.setDesktop(&desk);
    pp.DeclarePrototype.add("procedure PrintBuf(S:String);Index 2;");
    pp.DeclareProc("procedure PrintBuf(S:String);Index 2;", false);
    pp.ProcParam = [this](const std::string&, int index, const StringList& args, int& err) {
      if (index == 2)
        out.push_back(args.objectAs<TPPAParam>(0)->StrValue);
      else
        err = -1;
    };
    pp.ErrorProc = [](int code, std::string& msg) {
      if (code == -1) msg = sj("ユーザー定義手続き/関数の内部エラーです。");
    };
  }

  // One call statement such as PrintBuf('x'), as the host would make it.
  void call(std::string_view stmt) {
    TPPAParser p(stmt);
    std::string name(p.TokenText());
    p.NextToken();
    pp.CallProcedure(name, p);
  }
  std::vector<std::string> calls(std::initializer_list<std::string_view> stmts) {
    out.clear();
    for (auto s : stmts) call(s);
    return out;
  }
  // A whole program through Run; the output lines.
  std::vector<std::string> run(std::string_view source) {
    out.clear();
    pp.Source.setText(source);
    pp.Run();
    return out;
  }
  // The message of the error a program raises.
  std::string runError(std::string_view source) {
    return errorOf([&] { run(source); });
  }
};

using Lines = std::vector<std::string>;

// Checks the cases of tests/data/script/NAME, one a line: "SOURCE => EXPECTED"; "#" starts
// a comment line. SOURCE is a program to run, "call: " and one call statement, "declare: "
// and a prototype, or "int: ", "real: " or "str: " and an expression to evaluate; "\r" and
// "\n" in it are CR and LF.
// EXPECTED is the output lines joined by "|" ("(none)" for no line), or the value, or "!"
// and the error message (UTF-8 in the file, Shift_JIS in the engine).
inline void checkCases(ScriptHost& h, const std::string& name) {
  std::istringstream in(readTestData("script/" + name));
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    auto at = line.find(" => ");
    ASSERT_NE(at, std::string::npos) << line;
    std::string src = line.substr(0, at), want = line.substr(at + 4), got;
    for (std::size_t e = 0; (e = src.find('\\', e)) != std::string::npos && e + 1 < src.size(); ++e)
      if (src[e + 1] == 'n' || src[e + 1] == 'r') src.replace(e, 2, src[e + 1] == 'n' ? "\n" : "\r");
    auto real = [](double d) {
      char b[40];
      std::snprintf(b, sizeof b, "%.17g", d);
      return std::string(b);
    };
    try {
      if (src.starts_with("int: ")) {
        got = std::to_string(h.pp.EvalInt(src.substr(5)));
      } else if (src.starts_with("real: ")) {
        got = real(h.pp.EvalReal(src.substr(6)));
        if (want[0] != '!') want = real(std::stod(want));
      } else if (src.starts_with("declare: ")) {
        h.pp.DeclareProc(src.substr(9), false);
        got = "declared";
      } else if (src.starts_with("str: ")) {
        got = h.pp.EvalStr(src.substr(5));
      } else {
        Lines out = src.starts_with("call: ") ? h.calls({src.substr(6)}) : h.run(src);
        for (std::size_t i = 0; i < out.size(); ++i) got += (i ? "|" : "") + out[i];
        if (out.empty()) got = "(none)";
      }
    } catch (const std::exception& e) {
      got = std::string("!") + e.what();
    }
    if (want[0] == '!') want = "!" + sj(want.substr(1));
    EXPECT_EQ(got, want) << name << ": " << src;
    ++cases;
  }
  EXPECT_GT(cases, 0) << name;
}

}  // namespace wux::test

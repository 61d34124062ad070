#pragma once
// The test host: an interpreter with the PrintBuf procedure collecting its argument,
// on a fake desktop.
#include <string>
#include <string_view>
#include <vector>

#include "platform/textconv.h"
#include "script/PoorPascal.h"

namespace wux::test {

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
  // The message of the error a program raises ("" when it raises none).
  std::string runError(std::string_view source) {
    try {
      run(source);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
};

template <class F>
std::string errorOf(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

using Lines = std::vector<std::string>;

}  // namespace wux::test

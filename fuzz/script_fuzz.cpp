// Note scripts are typed by users and run as they are: arbitrary program texts must end
// with a result or an error, never a crash. A break that the host asks for after a
// budget of statement lists stops endless loops and sleeps; texts are kept short.
#include <cstdint>
#include <exception>
#include <string>

#include "script/PoorPascal.h"
#include "support/FakeDesktop.h"

using namespace wux;

namespace {

struct BudgetAgent : AgentAPLAbs {
  int polls = 0;
  bool isBreak() override { return ++polls > 500; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string src(reinterpret_cast<const char*>(data), size);
  // Exec starts real programs; a fuzzer must not.
  for (std::size_t i = 0; i + 4 <= src.size(); ++i)
    if ((src[i] | 0x20) == 'e' && (src[i + 1] | 0x20) == 'x' && (src[i + 2] | 0x20) == 'e' &&
        (src[i + 3] | 0x20) == 'c')
      return 0;
  TPoorPascal pp;
  FakeDesktop desk;
  BudgetAgent agent;
  pp.setDesktop(&desk);
  pp.setAgent(&agent);
  pp.setMaxStringLength(1 << 16);
  pp.AddIntConst("N", false, 7);
  pp.AddStrObject("OBJ", "obj", 1, false);
  pp.DeclarePrototype.add("procedure PrintBuf(S:String);Index 2;");
  pp.DeclarePrototype.add("function Twice(X:Integer; R:Real):Real;Index 3;");
  pp.ProcParam = [](const std::string&, int index, const StringList&, int& err) { err = index == 2 ? 0 : -1; };
  pp.RealFuncParam = [](const std::string&, int, const StringList& args, int&, double& r) {
    r = args.objectAs<TPPAParam>(1)->RealValue * 2;
  };
  pp.ErrorProc = [](int, std::string& msg) { msg = "host error"; };
  pp.Source.setText(src);
  try {
    pp.Run();
  } catch (const std::exception&) {
  }
  if (pp.IsRunning()) __builtin_trap();
  try {
    pp.EvalStr(src);
  } catch (const std::exception&) {
  }
  return 0;
}

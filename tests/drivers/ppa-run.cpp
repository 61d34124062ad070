// ppa-run FILE: runs FILE (Shift_JIS script text) with the PrintBuf host procedure and
// writes each PrintBuf argument to standard output as one line, at once (a run killed
// by a time limit still shows how far it got). An error goes to
// standard error as one line and the exit status is 1.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/files.h"
#include "platform/textconv.h"
#include "script/PoorPascal.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: ppa-run FILE\n", stderr);
    return 2;
  }
  try {
    std::string text;
    if (!wux::platform::readFile(argv[1], text)) {
      std::fprintf(stderr, "cannot read %s\n", argv[1]);
      return 1;
    }
    wux::TPoorPascal pp;
    pp.DeclarePrototype.add("procedure PrintBuf(S:String);Index 2;");
    pp.ProcParam = [](const std::string&, int index, const wux::StringList& args, int& err) {
      if (index != 2) {
        err = -1;
        return;
      }
      const std::string& s = args.objectAs<wux::TPPAParam>(0)->StrValue;
      std::fwrite(s.data(), 1, s.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
    };
    pp.ErrorProc = [](int code, std::string& msg) {
      if (code == -1) msg = wux::sj("ユーザー定義手続き/関数の内部エラーです。");
    };
    pp.Source.setText(text);
    pp.Run();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fputs(e.what(), stderr);
    std::fputc('\n', stderr);
    return 1;
  }
  return 0;
}

#include "script/PPACo.h"

#include "model/Prompter.h"

namespace wux {

int PPACo::Run(const StringList& script, TObject* note) {
  scriptObject = note;
  output.clear();
  try {
    interpreter_->Source = script;
    interpreter_->Run();
  } catch (const std::exception& e) {
    ShowMessage(e.what());
    return -1;
  }
  return 0;
}

}  // namespace wux

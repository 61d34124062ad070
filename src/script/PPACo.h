#pragma once
// A script runner of the main window's pool: its own interpreter and output list, so
// that several note scripts can be in progress at once.
#include <memory>

#include "model/text/StringList.h"
#include "script/PoorPascal.h"

namespace wux {

class PPACo : public TObject {
 public:
  PPACo() : interpreter_(std::make_unique<TPoorPascal>()) {}

  TPoorPascal& interpreter() { return *interpreter_; }
  StringList output;               // filled by the host's PrintBuf/PrintBuf2
  TObject* host = nullptr;         // the window whose pool holds the runner
  TObject* scriptObject = nullptr; // the note whose text the last Run executed

  // Runs a note's text (`script`, its memo lines) after clearing the output. 0, or -1
  // when the script raised: the message then goes to the application's error report.
  int Run(const StringList& script, TObject* note = nullptr);

 private:
  std::unique_ptr<TPoorPascal> interpreter_;
};

}  // namespace wux

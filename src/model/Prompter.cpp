#include "model/Prompter.h"

#include <cstdio>

#include "model/installable.h"
#include "platform/textconv.h"

namespace wux {

namespace {

class StderrPrompter : public Prompter {
 public:
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override {
    std::fprintf(stderr, "%s\n", platform::sjisToUtf8(text).c_str());
    switch (buttons) {
      case Buttons::OK: return Answer::OK;
      case Buttons::OKCancel:
      case Buttons::YesCancel: return Answer::Cancel;
      case Buttons::YesNo:
      case Buttons::YesNoDefaultNo: return Answer::No;
      default: return Answer::Cancel;
    }
  }
  bool inputBox(const std::string&, const std::string&, std::string&) override { return false; }
  bool openFileName(const std::string&, const std::string&, std::string&) override { return false; }
  bool saveFileName(const std::string&, const std::string&, std::string&) override { return false; }
};

StderrPrompter gDefault;
Installable<Prompter> gCurrent(gDefault);

}  // namespace

Prompter& prompter() { return gCurrent.get(); }

Prompter* setPrompter(Prompter* p) { return gCurrent.install(p); }

void ShowMessage(const std::string& text) { prompter().messageBox(text, "", Buttons::OK); }

}  // namespace wux

#include "model/Prompter.h"

#include <cstdio>

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
      case Buttons::YesNo: return Answer::No;
      default: return Answer::Cancel;
    }
  }
  bool inputBox(const std::string&, const std::string&, std::string&) override { return false; }
  bool openFileName(const std::string&, const std::string&, std::string&) override { return false; }
  bool saveFileName(const std::string&, const std::string&, std::string&) override { return false; }
};

StderrPrompter gDefault;
Prompter* gCurrent = nullptr;

}  // namespace

Prompter& prompter() { return gCurrent ? *gCurrent : gDefault; }

Prompter* setPrompter(Prompter* p) {
  Prompter* prev = gCurrent;
  gCurrent = p;
  return prev;
}

void ShowMessage(const std::string& text) { prompter().messageBox(text, "", Buttons::OK); }

Answer RecordingPrompter::messageBox(const std::string& text, const std::string& caption, Buttons buttons) {
  asked.push_back({"message", text, caption});
  if (!answers.empty()) {
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons) {
    case Buttons::OK:
    case Buttons::OKCancel: return Answer::OK;
    default: return Answer::Yes;
  }
}

bool RecordingPrompter::inputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  asked.push_back({"input", prompt, caption});
  if (inputs.empty()) return false;
  value = inputs.front();
  inputs.pop_front();
  return true;
}

bool RecordingPrompter::openFileName(const std::string& title, const std::string& filter, std::string& path) {
  asked.push_back({"open", filter, title});
  if (inputs.empty()) return false;
  path = inputs.front();
  inputs.pop_front();
  return true;
}

bool RecordingPrompter::saveFileName(const std::string& title, const std::string& filter, std::string& path) {
  asked.push_back({"save", filter, title});
  if (inputs.empty()) return false;
  path = inputs.front();
  inputs.pop_front();
  return true;
}

std::vector<std::string> RecordingPrompter::messages() const {
  std::vector<std::string> out;
  for (const auto& e : asked)
    if (e.kind == "message") out.push_back(e.text);
  return out;
}

}  // namespace wux

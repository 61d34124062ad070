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
    return safeAnswer(buttons);
  }
  bool inputBox(const std::string&, const std::string&, std::string&) override { return false; }
  bool openFileName(const std::string&, const std::string&, std::string&) override { return false; }
  bool saveFileName(const std::string&, const std::string&, std::string&) override { return false; }
};

StderrPrompter gDefault;
Installable<Prompter> gCurrent(gDefault);

}  // namespace

std::vector<Answer> buttonAnswers(Buttons buttons) {
  switch (buttons) {
    case Buttons::OK: return {Answer::OK};
    case Buttons::OKCancel: return {Answer::OK, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::YesCancel: return {Answer::Yes, Answer::Cancel};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNoCancelAll: return {Answer::Yes, Answer::No, Answer::Cancel, Answer::YesToAll};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case Buttons::CancelTryContinue: return {Answer::Cancel, Answer::TryAgain, Answer::Continue};
  }
  return {Answer::OK};
}

Answer safeAnswer(Buttons buttons) {
  const std::vector<Answer> answers = buttonAnswers(buttons);
  for (Answer safe : {Answer::Cancel, Answer::Abort, Answer::No})
    for (Answer a : answers)
      if (a == safe) return a;
  return answers.front();
}

BoxKind iconOf(BoxKind kind, Buttons buttons) {
  if (kind != BoxKind::ByButtons) return kind;
  switch (buttons) {
    case Buttons::OK: return BoxKind::Information;
    case Buttons::AbortRetryIgnore:
    case Buttons::RetryCancel:
    case Buttons::CancelTryContinue: return BoxKind::Warning;
    default: return BoxKind::Confirmation;
  }
}

Prompter& prompter() { return gCurrent.get(); }

Prompter* setPrompter(Prompter* p) { return gCurrent.install(p); }

void ShowMessage(const std::string& text, BoxKind kind) { prompter().messageBox(text, "", Buttons::OK, kind); }

}  // namespace wux

#include "script/ScriptDesktop.h"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "model/Prompter.h"
#include "platform/launcher.h"
#include "platform/process.h"

namespace wux {

void HeadlessDesktop::waitForMessages() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

bool HeadlessDesktop::inputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  return prompter().inputBox(caption, prompt, value);
}

namespace {
// The classic flag word: the low four bits choose the buttons, the next four the icon,
// the next four the default button.
Buttons buttonsOf(std::uint32_t flags) {
  switch (flags & 0x0F) {
    case 1: return Buttons::OKCancel;
    case 2: return Buttons::AbortRetryIgnore;
    case 3: return Buttons::YesNoCancel;
    case 4: return Buttons::YesNo;
    case 5: return Buttons::RetryCancel;
    case 6: return Buttons::CancelTryContinue;
    default: return Buttons::OK;
  }
}
BoxKind kindOf(std::uint32_t flags) {
  switch (flags & 0xF0) {
    case 0x10: return BoxKind::Error;
    case 0x20: return BoxKind::Confirmation;
    case 0x30: return BoxKind::Warning;
    case 0x40: return BoxKind::Information;
    default: return BoxKind::None;
  }
}
Answer defaultOf(std::uint32_t flags, Buttons buttons) {
  const std::vector<Answer> answers = buttonAnswers(buttons);
  const std::size_t at = (flags & 0xF00) == 0x100 ? 1 : (flags & 0xF00) == 0x200 ? 2 : 0;
  return at < answers.size() ? answers[at] : answers.front();
}
int answerCode(Answer a) {
  switch (a) {
    case Answer::OK: return 1;
    case Answer::Cancel: return 2;
    case Answer::Abort: return 3;
    case Answer::Retry: return 4;
    case Answer::Ignore: return 5;
    case Answer::Yes:
    case Answer::YesToAll: return 6;
    case Answer::No: return 7;
    case Answer::TryAgain: return 10;
    case Answer::Continue: return 11;
  }
  return 1;
}
}  // namespace

int HeadlessDesktop::messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
  const Buttons buttons = buttonsOf(flags);
  return answerCode(prompter().messageBox(text, caption, buttons, defaultOf(flags, buttons), kindOf(flags)));
}

int HeadlessDesktop::shellOpen(const std::string& path, const std::string& params) {
  // Parameters mean a program to start; without them the desktop opens the document.
  constexpr int kStarted = 42, kNotFound = 2;
  if (params.empty()) {
    const std::string why = platform::openWithDesktop(path);
    if (why.empty()) return kStarted;
    sayUnopened(why);
    return kNotFound;
  }
  const int pid = StartProcess(path, params);
  if (pid == 0) return kNotFound;
  platform::reapWhenEnded(pid);
  return kStarted;
}

void HeadlessDesktop::sayUnopened(const std::string& why) { std::cerr << why << '\n'; }

void HeadlessDesktop::sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::vector<std::string> SplitCommandLine(const std::string& cmdLine) {
  std::vector<std::string> words;
  std::string cur;
  bool inWord = false, quoted = false;
  for (char c : cmdLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(std::move(cur));
      cur.clear();
      inWord = false;
    } else {
      cur += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(cur));
  return words;
}

int StartProcess(const std::string& path, const std::string& cmdLine) {
  return platform::startProgram(path, SplitCommandLine(cmdLine));
}

}  // namespace wux

#pragma once
// A prompter for tests: answers from a queue and records every text asked.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/Prompter.h"

namespace wux {

class RecordingPrompter : public Prompter {
 public:
  struct Entry {
    std::string kind;  // "message", "input", "open", "save", "folder"
    std::string text;
    std::string caption;
    std::optional<Answer> defaultButton;  // the button Enter presses, when the question names one
    Buttons buttons = Buttons::OK;
    BoxKind boxKind = BoxKind::ByButtons;  // what the message box says by its icon
  };
  std::vector<Entry> asked;
  // Default when empty: the named default button, else the first button.
  std::deque<Answer> answers;
  std::deque<std::string> inputs;  // for inputBox and file dialogs; empty: cancelled

  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override {
    return messageBox(text, caption, buttons, std::nullopt, BoxKind::ByButtons);
  }
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    Answer defaultButton) override {
    return messageBox(text, caption, buttons, defaultButton, BoxKind::ByButtons);
  }
  // Without a queued answer, Enter presses the named default, else the first button.
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    std::optional<Answer> defaultButton, BoxKind kind) override {
    asked.push_back({"message", text, caption, defaultButton, buttons, kind});
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return defaultButton ? *defaultButton : buttonAnswers(buttons).front();
  }
  using Prompter::messageBox;
  bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) override {
    return answer("input", prompt, caption, value);
  }
  bool openFileName(const std::string& title, const std::string& filter, std::string& path) override {
    return answer("open", filter, title, path);
  }
  bool saveFileName(const std::string& title, const std::string& filter, std::string& path) override {
    return answer("save", filter, title, path);
  }
  // Records the folder the chooser starts at as the text.
  bool directoryName(const std::string& title, std::string& dir) override {
    return answer("folder", dir, title, dir);
  }

  // What the last message box that showed `text` said by its icon; nullopt when none did.
  std::optional<BoxKind> kindOf(const std::string& text) const {
    for (auto e = asked.rbegin(); e != asked.rend(); ++e)
      if (e->kind == "message" && e->text == text) return e->boxKind;
    return std::nullopt;
  }

  // Texts of the message boxes, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& e : asked)
      if (e.kind == "message") out.push_back(e.text);
    return out;
  }

 private:
  bool answer(const char* kind, const std::string& text, const std::string& caption, std::string& value) {
    asked.push_back({kind, text, caption, std::nullopt});
    if (inputs.empty()) return false;
    value = inputs.front();
    inputs.pop_front();
    return true;
  }
};

}  // namespace wux

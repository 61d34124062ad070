#pragma once
// Every message box, question, input box and file dialog of wux goes through the
// installed Prompter: Qt dialogs in the program, a scripted recorder in tests and
// standard error in the command-line drivers. Texts are Shift_JIS.
#include <optional>
#include <string>
#include <vector>

namespace wux {

enum class Buttons {
  OK,
  OKCancel,
  YesNo,
  YesCancel,
  YesNoCancel,
  YesNoCancelAll,
  AbortRetryIgnore,
  RetryCancel,
  CancelTryContinue
};
enum class Answer { OK, Cancel, Yes, No, YesToAll, Abort, Retry, Ignore, TryAgain, Continue };
// What a box says by its icon. ByButtons: information for a lone OK, a question where
// there is a choice, a warning where something failed and may be tried again.
enum class BoxKind { ByButtons, None, Information, Warning, Confirmation, Error };

// The answers of a button set, one per button, in the order the buttons are named.
std::vector<Answer> buttonAnswers(Buttons buttons);
// The answer of a box that is closed without a button or cannot be shown: Cancel, or
// Abort where there is no Cancel (No for Yes and No, OK for a lone OK).
Answer safeAnswer(Buttons buttons);
// The icon a box of `kind` shows with `buttons`: never ByButtons.
BoxKind iconOf(BoxKind kind, Buttons buttons);

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) = 0;
  // The same question with the button that Enter presses named. A prompter that shows no
  // buttons answers as it answers any question.
  virtual Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                            Answer defaultButton) {
    (void)defaultButton;
    return messageBox(text, caption, buttons);
  }
  // The question with its kind, and the button Enter presses when named. A prompter
  // that shows no icons answers as it answers the question without them.
  virtual Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                            std::optional<Answer> defaultButton, BoxKind kind) {
    (void)kind;
    return defaultButton ? messageBox(text, caption, buttons, *defaultButton) : messageBox(text, caption, buttons);
  }
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons, BoxKind kind) {
    return messageBox(text, caption, buttons, std::nullopt, kind);
  }
  // False when cancelled; `value` holds the default on entry.
  virtual bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // `filter` lists "Caption|*.ext;*.ext2" pairs separated by "|".
  virtual bool openFileName(const std::string& title, const std::string& filter, std::string& path) = 0;
  virtual bool saveFileName(const std::string& title, const std::string& filter, std::string& path) = 0;
  // A folder picked in a folder chooser that starts at `dir`; false when cancelled,
  // which is also the answer of a prompter that has no such chooser.
  virtual bool directoryName(const std::string& /*title*/, std::string& /*dir*/) { return false; }
};

// The prompter in force. Without one installed, messages go to standard error and
// every question is answered with its safe choice (Cancel, No or OK).
Prompter& prompter();
// Installs `p` (not owned); nullptr restores the default. Returns the previous one.
Prompter* setPrompter(Prompter* p);

// A message box with an OK button.
void ShowMessage(const std::string& text, BoxKind kind = BoxKind::ByButtons);

// Installs a prompter for the lifetime of a scope.
class ScopedPrompter {
 public:
  explicit ScopedPrompter(Prompter* p) : prev_(setPrompter(p)) {}
  ~ScopedPrompter() { setPrompter(prev_); }
  ScopedPrompter(const ScopedPrompter&) = delete;
  ScopedPrompter& operator=(const ScopedPrompter&) = delete;

 private:
  Prompter* prev_;
};

}  // namespace wux

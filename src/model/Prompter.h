#pragma once
// Every message box, question, input box and file dialog of wux goes through the
// installed Prompter: Qt dialogs in the program, a scripted recorder in tests and
// standard error in the command-line drivers. Texts are Shift_JIS.
#include <string>

namespace wux {

enum class Buttons { OK, OKCancel, YesNo, YesCancel, YesNoCancel, YesNoCancelAll };
enum class Answer { OK, Cancel, Yes, No, YesToAll };

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
void ShowMessage(const std::string& text);

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

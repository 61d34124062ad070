#pragma once
// Everything a running script does to the desktop goes through one adapter: the message
// pump, the pause wait, the modal boxes, starting documents and sleeping. (The user's
// break request reaches the interpreter through the agent, AgentAPLAbs::isBreak.) The program
// installs a Qt adapter; tests install a fake; the default one is headless.
#include <cstdint>
#include <string>
#include <vector>

namespace wux {

class ScriptDesktop {
 public:
  virtual ~ScriptDesktop() = default;
  // Handles every pending event without waiting.
  virtual void processMessages() = 0;
  // Blocks until at least one event arrives and handles it (the pause wait).
  virtual void waitForMessages() = 0;
  // Modal input box: false when cancelled. `value` holds the default on entry.
  virtual bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // Modal message box with the classic flag word. Buttons in the low four bits: 0 OK,
  // 1 OK Cancel, 2 Abort Retry Ignore, 3 Yes No Cancel, 4 Yes No, 5 Retry Cancel,
  // 6 Cancel Try-Again Continue, else OK. Icon: 16 stop, 32 question, 48 exclamation,
  // 64 information, else none. Default button: 256 the second, 512 the third, else the
  // first. Answers: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No,
  // 10 Try Again, 11 Continue.
  virtual int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) = 0;
  // Opens a document or program; above 32 when it started.
  virtual int shellOpen(const std::string& path, const std::string& params) = 0;
  virtual void sleep(std::uint32_t milliseconds) = 0;
};

// Without a window system: no events, boxes go through the installed Prompter,
// documents open through the platform launcher.
class HeadlessDesktop : public ScriptDesktop {
 public:
  void processMessages() override {}
  void waitForMessages() override;  // nothing can arrive: waits a little, never spins
  bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) override;
  int shellOpen(const std::string& path, const std::string& params) override;
  void sleep(std::uint32_t milliseconds) override;

 protected:
  // Says why shellOpen opened nothing; without a window it goes to standard error.
  virtual void sayUnopened(const std::string& why);
};

// Starts `path` with the words of `cmdLine` as arguments (double quotes group words),
// standard input from /dev/null: the child's process id, 0 when it cannot start (see
// platform::startProgram for waiting and reaping).
int StartProcess(const std::string& path, const std::string& cmdLine);
// Words of a command line: blanks and tabs separate, double quotes group and are dropped.
std::vector<std::string> SplitCommandLine(const std::string& cmdLine);

}  // namespace wux

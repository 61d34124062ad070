#pragma once
// Hands documents, web addresses and folders to the desktop (xdg-open). Targets are
// Shift_JIS texts as the model keeps them; the launcher converts them for the system.
// Tests install a RecordingLauncher so nothing is ever started.
#include <string>
#include <vector>

namespace wux::platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Each answers false when the handler could not be started (none on the path, or its
  // start failed), with the reason in `why` when given. What the handler does once it
  // runs is not watched.
  // Opens a file or address with the desktop's handler.
  virtual bool open(const std::string& target, std::string* why = nullptr) = 0;
  // Shows a folder in the desktop's file manager.
  virtual bool explore(const std::string& folder, std::string* why = nullptr) = 0;
  // Starts `program` detached with `argument` as its one argument (no shell, so blanks
  // and quotes in it survive); an empty `argument` starts it without any.
  virtual bool start(const std::string& program, const std::string& argument, std::string* why = nullptr) = 0;
  // Runs a command line the user wrote as such through `/bin/sh -c`, detached, in
  // `directory` (the current one when empty); the line is the shell's one argument,
  // never pasted into another command. False when it could not start, with the reason
  // in `why` when given.
  virtual bool shell(const std::string& commandLine, const std::string& directory, std::string* why = nullptr) {
    (void)commandLine;
    (void)directory;
    if (why) *why = "no shell";
    return false;
  }
};

// Starts `xdg-open TARGET` detached: no shell, the caller never waits, the child is
// reaped so no zombie stays behind.
class XdgLauncher : public Launcher {
 public:
  bool open(const std::string& target, std::string* why = nullptr) override;
  bool explore(const std::string& folder, std::string* why = nullptr) override;
  bool start(const std::string& program, const std::string& argument, std::string* why = nullptr) override;
  bool shell(const std::string& commandLine, const std::string& directory, std::string* why = nullptr) override;
};

// Records every request instead of starting anything.
class RecordingLauncher : public Launcher {
 public:
  struct Call {
    std::string verb;  // "open", "explore", "start" or "shell"
    std::string target;
    std::string argument;  // of "start"; the directory of "shell"
  };
  std::vector<Call> calls;
  bool result = true;
  std::string reason = "xdg-open is not on the path";  // given with a false result

  bool open(const std::string& target, std::string* why = nullptr) override {
    calls.push_back({"open", target, {}});
    return answer(why);
  }
  bool explore(const std::string& folder, std::string* why = nullptr) override {
    calls.push_back({"explore", folder, {}});
    return answer(why);
  }
  bool start(const std::string& program, const std::string& argument, std::string* why = nullptr) override {
    calls.push_back({"start", program, argument});
    return answer(why);
  }
  bool shell(const std::string& commandLine, const std::string& directory, std::string* why = nullptr) override {
    calls.push_back({"shell", commandLine, directory});
    return answer(why);
  }

 private:
  bool answer(std::string* why) const {
    if (!result && why) *why = reason;
    return result;
  }
};

// The full name of `program` (a plain name, UTF-8) found on PATH as an executable
// file; empty when there is none.
std::string findInPath(const std::string& program);

// The one way a document, address or folder is handed to the desktop: through the
// launcher in force, to its opener, or with `explore` to its file manager. Empty when
// the handler started; else why nothing was opened, "could not open " + target + ": " +
// the reason, for the caller to show where its window shows reports. What the handler
// does once started is not watched.
std::string openWithDesktop(const std::string& target, bool explore = false);

// The launcher in force (an XdgLauncher unless replaced).
Launcher& launcher();
// Installs `l` (not owned); nullptr restores the default. Returns the previous one.
Launcher* setLauncher(Launcher* l);

class ScopedLauncher {
 public:
  explicit ScopedLauncher(Launcher* l) : prev_(setLauncher(l)) {}
  ~ScopedLauncher() { setLauncher(prev_); }
  ScopedLauncher(const ScopedLauncher&) = delete;
  ScopedLauncher& operator=(const ScopedLauncher&) = delete;

 private:
  Launcher* prev_;
};

}  // namespace wux::platform

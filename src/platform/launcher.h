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
  // Opens a file or address with the desktop's handler. False when it could not start.
  virtual bool open(const std::string& target) = 0;
  // Shows a folder in the desktop's file manager.
  virtual bool explore(const std::string& folder) = 0;
  // Starts a program directly (argv[0] is its path; no shell reads any of it) in
  // `directory`, detached. False when it could not start.
  virtual bool run(const std::vector<std::string>& argv, const std::string& directory) { return false; }
};

// Starts `xdg-open TARGET` detached: no shell, the caller never waits, the child is
// reaped so no zombie stays behind.
class XdgLauncher : public Launcher {
 public:
  bool open(const std::string& target) override;
  bool explore(const std::string& folder) override;
  bool run(const std::vector<std::string>& argv, const std::string& directory) override;
};

// Records every request instead of starting anything.
class RecordingLauncher : public Launcher {
 public:
  struct Call {
    std::string verb;  // "open", "explore" or "run"
    std::string target;  // for "run": the arguments joined by blanks
    std::string directory;
  };
  std::vector<Call> calls;
  bool result = true;

  bool open(const std::string& target) override {
    calls.push_back({"open", target, {}});
    return result;
  }
  bool explore(const std::string& folder) override {
    calls.push_back({"explore", folder, {}});
    return result;
  }
  bool run(const std::vector<std::string>& argv, const std::string& directory) override {
    std::string joined;
    for (const auto& a : argv) joined += (joined.empty() ? "" : " ") + a;
    calls.push_back({"run", joined, directory});
    return result;
  }
};

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

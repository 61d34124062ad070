#include "platform/launcher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/textconv.h"

namespace wux::platform {

// Resolved before fork: the child of a threaded program may only make
// async-signal-safe calls, and a PATH search is not one of them.
std::string findInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string p = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    const std::string dir = end > start ? p.substr(start, end - start) : std::string(".");
    std::string full = dir + "/" + program;
    struct stat st {};
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(full.c_str(), X_OK) == 0)
      return full;
    start = end + 1;
  }
  return {};
}

namespace {

bool failed(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

// Starts `exe` (a full name) with `args`, in `dir` when one is given (UTF-8 all).
bool spawnDetached(const std::string& exe, const std::vector<std::string>& args, const std::string& dir = {},
                   std::string* why = nullptr) {
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return failed(why, std::strerror(errno));
  std::vector<const char*> argv{exe.c_str()};
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);

  pid_t child = ::fork();
  if (child < 0) {
    const int e = errno;
    ::close(report[0]);
    ::close(report[1]);
    return failed(why, std::strerror(e));
  }
  if (child == 0) {
    // The middle process exits at once, so the opener is adopted by init and
    // reaped there; only async-signal-safe calls from here on.
    ::close(report[0]);
    pid_t grand = ::fork();
    if (grand < 0) {
      int e = errno;
      (void)!::write(report[1], &e, sizeof e);
      ::_exit(1);
    }
    if (grand > 0) ::_exit(0);
    ::setsid();
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
      int e = errno;
      (void)!::write(report[1], &e, sizeof e);
      ::_exit(127);
    }
    // Nothing of ours may stay open in the opened program, least of all a locked
    // document file; marking instead of closing keeps the report pipe until exec.
    ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
      if (devnull > 2) ::close(devnull);
    }
    ::execv(argv[0], const_cast<char* const*>(argv.data()));
    int e = errno;
    (void)!::write(report[1], &e, sizeof e);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes on a successful exec; a failed one writes its errno first.
  int err = 0;
  ssize_t n;
  do {
    n = ::read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (n == 0) return true;
  return failed(why, "cannot start " + fromOsName(exe) + ": " + (n == sizeof err ? std::strerror(err) : "no report"));
}

// An empty target with `bare` starts the program without any argument.
bool startDetached(const std::string& sjisTarget, const std::string& program = "xdg-open", bool bare = false,
                   std::string* why = nullptr) {
  if (sjisTarget.empty() && !bare) return failed(why, "no name to open");
  std::string target = sjisToUtf8(sjisTarget);
  // A leading dash would be read as an option of the opener.
  if (!target.empty() && target[0] == '-') target = "./" + target;
  const std::string exe = program.find('/') != std::string::npos ? program : findInPath(program);
  if (exe.empty()) return failed(why, fromOsName(program) + " is not on the path");
  return spawnDetached(exe, target.empty() ? std::vector<std::string>{} : std::vector<std::string>{target}, {}, why);
}

XdgLauncher gDefault;
Launcher* gCurrent = nullptr;

}  // namespace

bool XdgLauncher::open(const std::string& target, std::string* why) {
  return startDetached(target, "xdg-open", false, why);
}
bool XdgLauncher::explore(const std::string& folder, std::string* why) {
  return startDetached(folder, "xdg-open", false, why);
}
bool XdgLauncher::start(const std::string& program, const std::string& argument, std::string* why) {
  return startDetached(argument, sjisToUtf8(program), argument.empty(), why);
}

bool XdgLauncher::shell(const std::string& commandLine, const std::string& directory, std::string* why) {
  if (commandLine.empty()) return failed(why, "no command line");
  return spawnDetached("/bin/sh", {"-c", sjisToUtf8(commandLine)}, sjisToUtf8(directory), why);
}

std::string openWithDesktop(const std::string& target, bool explore) {
  std::string why;
  const bool started = explore ? launcher().explore(target, &why) : launcher().open(target, &why);
  return started ? std::string() : "could not open " + target + ": " + why;
}

Launcher& launcher() { return gCurrent ? *gCurrent : gDefault; }

Launcher* setLauncher(Launcher* l) {
  Launcher* prev = gCurrent;
  gCurrent = l;
  return prev;
}

}  // namespace wux::platform

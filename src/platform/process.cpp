#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/textconv.h"

extern char** environ;

namespace wux::platform {

namespace {

std::string toSjis(std::string&& line) {
  if (!isAscii(line) && isValidUtf8(line)) return utf8ToSjis(line);
  return std::move(line);
}

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

bool runCommandLines(const std::string& directory, const std::string& command,
                     const std::function<void(std::string&& line, bool finished)>& onLine, int* exitStatus) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  // The program's texts are Shift_JIS; the shell and the file system speak UTF-8.
  const std::string dir = osPath(directory);
  const std::string cmd = sjisToUtf8(command);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());

  const char* argv[] = {"/bin/sh", "-c", cmd.c_str(), nullptr};
  pid_t pid = -1;
  int rc = ::posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return false;
  }

  auto reap = [pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
  };
  std::string line;
  try {
    char buf[4095];
    while (true) {
      ssize_t n = ::read(fds[0], buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      for (ssize_t k = 0; k < n; ++k) {
        char c = buf[k];
        if (c == '\n') {
          onLine(toSjis(std::move(line)), true);
          line.clear();
        } else if (c != '\r') {
          line += c;
        }
      }
    }
    ::close(fds[0]);
    fds[0] = -1;
    if (!line.empty()) onLine(toSjis(std::move(line)), false);
  } catch (...) {
    // The child sees a closed pipe and ends; it is reaped all the same.
    if (fds[0] >= 0) ::close(fds[0]);
    reap();
    throw;
  }

  int status = reap();
  if (exitStatus) *exitStatus = exitCodeOf(status);
  return true;
}

int startProgram(const std::string& program, const std::vector<std::string>& args) {
  if (program.empty()) return 0;
  // The program's texts are Shift_JIS; the file system and the child speak UTF-8.
  std::vector<std::string> words;
  words.reserve(args.size() + 1);
  words.push_back(osPath(program));
  for (const std::string& a : args) words.push_back(sjisToUtf8(a));
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return 0;
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

bool childEnded(int pid, int& exitCode, int waitMs) {
  if (waitMs > 0) {
    // A process descriptor becomes readable when the child ends; without one, a plain
    // sleep bounds the wait just the same.
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      ::poll(&p, 1, waitMs);
      ::close(fd);
    } else {
      ::poll(nullptr, 0, waitMs);
    }
  }
  int status = 0;
  pid_t got;
  while ((got = ::waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
  }
  if (got == 0) return false;
  exitCode = got < 0 ? -1 : exitCodeOf(status);
  return true;
}

void reapWhenEnded(int pid) {
  // Nobody waits for the result, but the child must not stay behind as a zombie.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

}  // namespace wux::platform

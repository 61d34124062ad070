#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/textconv.h"

extern char** environ;

namespace wux::platform {

namespace {

std::string toSjis(std::string&& line) {
  if (!isAscii(line) && isValidUtf8(line)) return utf8ToSjis(line);
  return std::move(line);
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
  if (exitStatus) {
    if (WIFEXITED(status)) *exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) *exitStatus = 128 + WTERMSIG(status);
    else *exitStatus = -1;
  }
  return true;
}

}  // namespace wux::platform

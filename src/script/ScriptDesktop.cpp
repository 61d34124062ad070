#include "script/ScriptDesktop.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "model/Prompter.h"
#include "platform/launcher.h"

extern char** environ;

namespace wux {

void HeadlessDesktop::waitForMessages() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

bool HeadlessDesktop::inputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  return prompter().inputBox(caption, prompt, value);
}

namespace {
Buttons buttonsOf(std::uint32_t flags) {
  switch (flags & 0x0F) {
    case 1: return Buttons::OKCancel;
    case 3: return Buttons::YesNoCancel;
    case 4: return Buttons::YesNo;
    default: return Buttons::OK;
  }
}
int answerCode(Answer a) {
  switch (a) {
    case Answer::Cancel: return 2;
    case Answer::Yes:
    case Answer::YesToAll: return 6;
    case Answer::No: return 7;
    default: return 1;
  }
}
}  // namespace

int HeadlessDesktop::messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
  return answerCode(prompter().messageBox(text, caption, buttonsOf(flags)));
}

int HeadlessDesktop::shellOpen(const std::string& path, const std::string& params) {
  // Parameters mean a program to start; without them the desktop opens the document.
  bool started = params.empty() ? platform::launcher().open(path) : ExecProcess(path, params, false) != 0;
  return started ? 42 : 2;  // 2: file not found
}

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

std::int64_t ExecProcess(const std::string& path, const std::string& cmdLine, bool wait) {
  if (path.empty()) return 0;
  std::vector<std::string> words = SplitCommandLine(cmdLine);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return 0;
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return 0;

  auto reap = [](pid_t p) -> int {
    int status = 0;
    while (waitpid(p, &status, 0) < 0) {
      if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
  };
  if (wait) return reap(pid);
  // Nobody waits for the result, but the child must not stay behind as a zombie.
  std::thread([pid, reap] { reap(pid); }).detach();
  return -1;
}

}  // namespace wux

#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <vector>

using namespace wux::platform;

namespace {
std::vector<std::string> run(const std::string& cmd, int* status = nullptr, std::vector<bool>* finished = nullptr) {
  std::vector<std::string> lines;
  EXPECT_TRUE(runCommandLines("", cmd, [&](std::string&& l, bool f) {
    lines.push_back(std::move(l));
    if (finished) finished->push_back(f);
  }, status));
  return lines;
}
}  // namespace

TEST(ProcessRunner, LinesAreConvertedWholeEvenWhenSplitAcrossReads) {
  // 4094 ASCII bytes, then あ (E3 81 82) straddles the 4095-byte read boundary.
  std::string cmd = "head -c 4094 /dev/zero | tr '\\0' 'a'; printf '\\343\\201\\202\\n'; printf '\\202\\240\\n'";
  auto lines = run(cmd);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(4094, 'a') + "\x82\xA0");
  EXPECT_EQ(lines[1], "\x82\xA0");  // already Shift_JIS: kept as it is
}

TEST(ProcessRunner, ReportsUnfinishedLastLineExitStatusAndStdinIsEmpty) {
  int status = -5;
  std::vector<bool> finished;
  auto lines = run("cat; printf 'one\\ntwo'; exit 3", &status, &finished);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(finished, (std::vector<bool>{true, false}));
  EXPECT_EQ(status, 3);
  // The shell has been reaped: no zombie is left behind.
  auto pid = run("echo $$");
  ASSERT_EQ(pid.size(), 1u);
  errno = 0;
  EXPECT_EQ(::waitpid(static_cast<pid_t>(std::stol(pid[0])), nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

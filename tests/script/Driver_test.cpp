#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/file_text.h"


namespace wux::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

fs::path driverPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "drivers" / "ppa-run";
}

// Runs the ppa-run driver built beside this test program on a script file.
Outcome ppaRun(const fs::path& script) {
  fs::path driver = driverPath();
  fs::path dir = fs::temp_directory_path() / ("ppa-run-test-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string cmd = "'" + driver.string() + "' '" + script.string() + "' >'" + (dir / "out").string() + "' 2>'" +
                    (dir / "err").string() + "'";
  int rc = std::system(cmd.c_str());
  Outcome o{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, osFileText(dir / "out"), osFileText(dir / "err")};
  fs::remove_all(dir);
  return o;
}

// Whole note scripts with their expected output: NAME.ppa, NAME.out, and NAME.err when
// the script ends with an error.
TEST(PpaRunDriver, Corpus) {
  const fs::path dir = fs::path(__FILE__).parent_path().parent_path() / "data" / "script";
  if (!fs::is_directory(dir)) GTEST_SKIP() << dir << " is not there";
  int cases = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() != ".ppa") continue;
    ++cases;
    fs::path base = e.path();
    Outcome o = ppaRun(base);
    const bool fails = fs::exists(base.replace_extension(".err"));
    EXPECT_EQ(o.status, fails ? 1 : 0) << e.path();
    EXPECT_EQ(o.out, osFileText(base.replace_extension(".out"))) << e.path();
    EXPECT_EQ(o.err, fails ? osFileText(base.replace_extension(".err")) : "") << e.path();
  }
  EXPECT_GE(cases, 5);
}

// A script that never ends, killed once it has printed three lines: the lines are
// already out, not lost in a buffer.
TEST(PpaRunDriver, EachLineIsWrittenAsItIsPrinted) {
  const fs::path script = fs::temp_directory_path() / ("ppa-run-endless-" + std::to_string(getpid()) + ".ppa");
  {
    std::ofstream f(script, std::ios::binary);
    f << "VAR i: Integer;\r\nBEGIN\r\n  FOR i := 1 TO 3 DO PrintBuf(IntToStr(i));\r\n"
         "  WHILE 1 DO i := i + 1\r\nEND.\r\n";
  }
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string driver = driverPath().string(), arg = script.string();
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    execl(driver.c_str(), driver.c_str(), arg.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string got;
  // Bounded: a driver that holds its output back shows nothing within the time.
  for (int waits = 0; std::count(got.begin(), got.end(), '\n') < 3 && waits < 100; ++waits) {
    pollfd pfd{fds[0], POLLIN, 0};
    if (poll(&pfd, 1, 100) <= 0) continue;
    char buf[256];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(fds[0]);
  fs::remove(script);
  EXPECT_EQ(got, "1\n2\n3\n");
}

}  // namespace
}  // namespace wux::test

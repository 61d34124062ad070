#include "platform/launcher.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace wux::platform;
namespace fs = std::filesystem;

namespace {
// Puts a stand-in xdg-open first on PATH for one test.
class FakeOpener {
 public:
  FakeOpener() {
    dir_ = fs::temp_directory_path() / ("wux-launch-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    out_ = dir_ / "args.txt";
    const fs::path script = dir_ / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\nfd=kept; [ -e /proc/self/fd/${WUX_TEST_FD:-99} ] || fd=closed\n"
                         << "printf '%s|%s|%s\\n' \"$#\" \"$1\" $fd >> '" << out_.string() << "'\n";
    ::chmod(script.c_str(), 0755);
    const char* old = std::getenv("PATH");
    oldPath_ = old ? old : "";
    ::setenv("PATH", (dir_.string() + ":" + oldPath_).c_str(), 1);
  }
  ~FakeOpener() {
    ::setenv("PATH", oldPath_.c_str(), 1);
    fs::remove_all(dir_);
  }
  std::string script() const { return (dir_ / "xdg-open").string(); }
  // Lines written by the stand-in, waiting briefly since it runs detached.
  std::string output(std::size_t lines) const {
    for (int i = 0; i < 200; ++i) {
      std::ifstream in(out_);
      std::string all((std::istreambuf_iterator<char>(in)), {});
      if (static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) >= lines) return all;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }

 private:
  fs::path dir_, out_;
  std::string oldPath_;
};
}  // namespace

TEST(Launcher, XdgOpenGetsTheTargetAsOneArgumentWithoutAShell) {
  FakeOpener fake;
  // A descriptor the program holds open (a locked document, say) must not leak.
  int held = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(held, 0);
  ::setenv("WUX_TEST_FD", std::to_string(held).c_str(), 1);
  XdgLauncher l;
  EXPECT_TRUE(l.open("http://example.com/a b;echo x"));
  EXPECT_TRUE(l.explore("/tmp/\x83\x5C/"));  // Shift_JIS SO, handed on as UTF-8
  EXPECT_TRUE(l.open("-x"));
  EXPECT_FALSE(l.open(""));
  std::string out = fake.output(3);
  ::close(held);
  EXPECT_NE(out.find("1|http://example.com/a b;echo x|closed\n"), std::string::npos) << out;
  EXPECT_NE(out.find("1|/tmp/\xE3\x82\xBD/|closed\n"), std::string::npos) << out;
  EXPECT_NE(out.find("1|./-x|closed\n"), std::string::npos) << out;
}

TEST(Launcher, StartsAProgramWithOneArgumentAsItIs) {
  FakeOpener fake;
  XdgLauncher l;
  EXPECT_TRUE(l.start(fake.script(), "/tmp/a \"quoted\" name;x.mxa"));
  EXPECT_FALSE(l.start("/nonexistent-wux-dir/wux", "/tmp/a.mxa"));
  // An empty argument is no argument at all.
  EXPECT_TRUE(l.start(fake.script(), ""));
  const std::string out = fake.output(2);
  EXPECT_NE(out.find("1|/tmp/a \"quoted\" name;x.mxa|"), std::string::npos) << out;
  EXPECT_NE(out.find("0||"), std::string::npos) << out;
}

TEST(Launcher, MissingOpenerFailsAndFakeRecords) {
  const char* old = std::getenv("PATH");
  std::string saved = old ? old : "";
  ::setenv("PATH", "/nonexistent-wux-dir", 1);
  EXPECT_FALSE(XdgLauncher().open("http://example.com"));
  ::setenv("PATH", saved.c_str(), 1);

  RecordingLauncher rec;
  {
    ScopedLauncher use(&rec);
    launcher().open("a");
    launcher().explore("b");
  }
  EXPECT_NE(&launcher(), &rec);
  ASSERT_EQ(rec.calls.size(), 2u);
  EXPECT_EQ(rec.calls[1].verb, "explore");
  EXPECT_EQ(rec.calls[1].target, "b");
}

TEST(Launcher, AnOpenerThatCannotStartSaysWhy) {
  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  std::string why;
  ::setenv("PATH", "/nonexistent-wux-dir", 1);
  EXPECT_FALSE(XdgLauncher().open("/tmp/page.html", &why));
  EXPECT_EQ(why, "xdg-open is not on the path");
  why.clear();
  EXPECT_FALSE(XdgLauncher().explore("/tmp", &why));
  EXPECT_EQ(why, "xdg-open is not on the path");
  ::setenv("PATH", saved.c_str(), 1);

  // Found, but the system cannot run it.
  FakeOpener fake;
  std::ofstream(fake.script()) << "#!/nonexistent-wux-dir/sh\n";
  why.clear();
  EXPECT_FALSE(XdgLauncher().open("/tmp/page.html", &why));
  EXPECT_EQ(why, "cannot start " + fake.script() + ": No such file or directory");
  why.clear();
  EXPECT_FALSE(XdgLauncher().start("/nonexistent-wux-dir/wux", "/tmp/a.mxa", &why));
  EXPECT_EQ(why, "cannot start /nonexistent-wux-dir/wux: No such file or directory");
  why.clear();
  EXPECT_FALSE(XdgLauncher().open("", &why));
  EXPECT_EQ(why, "no name to open");

  RecordingLauncher rec;
  rec.result = false;
  EXPECT_FALSE(rec.open("a", &why));
  EXPECT_EQ(why, rec.reason);
}

TEST(Launcher, ACommandLineIsTheShellsOneArgumentAndRunsInItsFolder) {
  FakeOpener fake;
  const std::string folder = fs::path(fake.script()).parent_path().string();
  XdgLauncher l;
  // Quotes and separators reach the shell as written; the relative file lands in `folder`.
  EXPECT_TRUE(l.shell("printf '%s|%s|x\\n' \"$(pwd)\" 'a \"b\"; c' >> args.txt", folder));
  EXPECT_FALSE(l.shell("true", "/nonexistent-wux-dir"));
  EXPECT_FALSE(l.shell("", folder));
  const std::string out = fake.output(1);
  EXPECT_NE(out.find(folder + "|a \"b\"; c|x\n"), std::string::npos) << out;
}

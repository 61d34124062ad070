#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>


namespace wux::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs the ppa-run driver built beside this test program on a script file.
Outcome ppaRun(const fs::path& script) {
  fs::path driver = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "drivers" / "ppa-run";
  fs::path dir = fs::temp_directory_path() / ("ppa-run-test-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string cmd = "'" + driver.string() + "' '" + script.string() + "' >'" + (dir / "out").string() + "' 2>'" +
                    (dir / "err").string() + "'";
  int rc = std::system(cmd.c_str());
  Outcome o{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(dir / "out"), slurp(dir / "err")};
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
    EXPECT_EQ(o.out, slurp(base.replace_extension(".out"))) << e.path();
    EXPECT_EQ(o.err, fails ? slurp(base.replace_extension(".err")) : "") << e.path();
  }
  EXPECT_GE(cases, 5);
}

}  // namespace
}  // namespace wux::test

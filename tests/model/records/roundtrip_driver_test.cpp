// The wux-roundtrip driver as a user runs it from a shell: UTF-8 file names on the
// command line, every message on standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "model/text/sjis.h"
#include "records_support.h"
#include "support/data_files.h"

using namespace wux;
using namespace wux::testing;
namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status;
  std::string err;
};

// Runs the driver built beside this test program; arguments are file-system (UTF-8) text.
Outcome roundTrip(const std::string& in, const std::string& out) {
  fs::path driver = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "drivers" / "wux-roundtrip";
  TempDir tmp;
  std::string cmd = "'" + driver.string() + "' --now '20261206 123456' --seed 7 '" + in + "' '" + out + "' 2>'" +
                    tmp.str("err") + "'";
  int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, test::osFileText(tmp.str("err"))};
}

}  // namespace

TEST(RoundTripDriver, JapanesePathsAndEveryMessage) {
  TempDir tmp;
  const fs::path dir = tmp.path / "メモ";  // UTF-8, as the file system holds it
  fs::create_directory(dir);
  {
    std::ofstream(dir / "ノート.mxh", std::ios::binary) << readTestData("records/driver_in.mxh");
  }
  Outcome r = roundTrip((dir / "ノート.mxh").string(), (dir / "出力.mxh").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Named after the file it came from, under the name given, not a garbled one.
  EXPECT_EQ(test::osFileText(dir / "出力.mxh"), readTestData("records/driver_out.mxh"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);

  // A document whose notebook file is taken by a folder in the target: each message.
  { std::ofstream(dir / "空.mxh", std::ios::binary); }
  {
    std::ofstream(dir / "帳.mxa", std::ios::binary) << readTestData("records/driver_doc.mxa");
  }
  fs::create_directory(dir / "out");
  fs::create_directory(dir / "out" / "ノート.mxh");
  r = roundTrip((dir / "帳.mxa").string(), (dir / "out" / "写し.mxa").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, sjis::replaceAll(readTestData("records/driver_messages.txt"), "@DIR@", dir.string() + "/"));
  EXPECT_FALSE(fs::exists(dir / "out" / "写し.mxa"));
}

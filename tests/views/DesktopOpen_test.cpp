// Targets handed to the desktop from windows without a status line: what opened, and
// why nothing did, said in a box.
#include "views/DesktopOpen.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/launcher.h"
#include "support/RecordingPrompter.h"

namespace wux {

TEST(DesktopOpen, OpenUrlOrFileUsesLauncherAndPrompter) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  RecordingPrompter rec;
  ScopedPrompter usePrompter(&rec);

  const std::string dir = std::filesystem::temp_directory_path().string();
  std::vector<int> results;
  for (std::string target : {"  HTTP://example.com ", "https://example.com", "file:///tmp/x"})
    results.push_back(OpenURLOrFile(target));
  for (std::string target : {dir + "/no-such-file.txt", std::string("/no/such/dir/x"), std::string("plainname")})
    results.push_back(OpenURLOrFile(target));
  launcher.result = false;  // no opener on the system: not reported as done
  results.push_back(OpenURLOrFile(dir + "/x"));
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1, 0, -1, -1, -1}));
  std::vector<std::string> calls;
  for (const auto& c : launcher.calls) calls.push_back(c.verb + " " + c.target);
  EXPECT_EQ(calls, (std::vector<std::string>{"open HTTP://example.com", "open https://example.com",
                                             "open file:///tmp/x", "explore " + dir + "/", "explore " + dir + "/"}));
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"/no/such/dir/x not exists", "plainname not exists",
                                                     "could not open " + dir + "/: " + launcher.reason}));
}

}  // namespace wux

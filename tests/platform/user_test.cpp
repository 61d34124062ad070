#include "platform/user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace wux::platform {
namespace {

// Restores an environment variable at the end of the test.
struct SavedEnv {
  std::string name;
  std::optional<std::string> value;
  explicit SavedEnv(const char* n) : name(n) {
    if (const char* v = std::getenv(n)) value = v;
  }
  ~SavedEnv() {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
};

TEST(UserName, EnvironmentFirstThenThePasswordDatabase) {
  SavedEnv a("USERNAME"), b("USER");
  setenv("USERNAME", "win", 1);
  setenv("USER", "unix", 1);
  EXPECT_EQ(userName(), "win");
  unsetenv("USERNAME");
  EXPECT_EQ(userName(), "unix");
  setenv("USER", "", 1);
  EXPECT_FALSE(userName().empty());  // from the password database
}

}  // namespace
}  // namespace wux::platform

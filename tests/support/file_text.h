#pragma once
// Files read back whole, to see what a save, a child process or a server wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/files.h"

namespace wux::test {

// By the name the program itself uses (program text); empty when it cannot be read, so a
// test can as well see that nothing was written.
inline std::string fileText(const std::string& path) {
  std::string s;
  platform::readFile(path, s);
  return s;
}

// The same for a file the test needs there: a missing one fails the test and names it.
inline std::string existingFileText(const std::string& path) {
  std::string s;
  EXPECT_TRUE(platform::readFile(path, s)) << path;
  return s;
}

// By the file system's own name, without the program's code in between: for what a child
// process or a server wrote, under names the program would read as its own text.
inline std::string osFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace wux::test

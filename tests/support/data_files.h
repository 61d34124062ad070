#pragma once
// Reads a file under tests/data/ byte for byte; a missing file fails the calling test.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

inline std::string readTestData(const std::string& relPath) {
  std::string bytes;
  const std::string path = std::string(WUX_TEST_DATA_DIR) + "/" + relPath;
  EXPECT_TRUE(wux::platform::readFile(path, bytes)) << "missing test data: " << path;
  return bytes;
}

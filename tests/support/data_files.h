#pragma once
// Test data files under tests/data, read byte for byte.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

inline std::string readTestData(const std::string& relPath) {
  std::ifstream f(std::string(WUX_TEST_DATA_DIR) + "/" + relPath, std::ios::binary);
  if (!f) ADD_FAILURE() << "missing test data file " << relPath;
  return std::string(std::istreambuf_iterator<char>(f), {});
}

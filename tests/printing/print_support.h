#pragma once
// Printing tests print into PDF files in a temporary folder and read them back with
// poppler's command-line tools.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/clock.h"
#include "model/text/StringList.h"
#include "support/qt_app.h"

namespace wux::test {

// Standard output of a shell command; `status` gets its exit status.
inline std::string runCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline int pdfPageCount(const std::string& pdf) {
  const std::string info = runCommand("pdfinfo '" + pdf + "' 2>/dev/null");
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// The text of each page, in reading order (pages are parted by form feeds).
inline std::vector<std::string> pdfPages(const std::string& pdf) {
  const std::string text = runCommand("pdftotext -enc UTF-8 '" + pdf + "' - 2>/dev/null");
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
    pages.push_back(text.substr(start, ff - start));
  return pages;
}

struct PrintFixture : ::testing::Test {
  std::filesystem::path dir;
  FixedClock clock{DateTime{2025, 3, 7, 9, 5, 4, 0}};
  PrintFixture() {
    qtApp();
    char tmpl[] = "/tmp/wux_printing_XXXXXX";
    dir = mkdtemp(tmpl);
    setClock(&clock);
  }
  ~PrintFixture() override {
    setClock(nullptr);
    std::filesystem::remove_all(dir);
  }
  std::string file(const std::string& name) const { return (dir / name).string(); }
};

inline StringList numberedLines(int n, const std::string& text = "line ") {
  StringList lines;
  for (int i = 1; i <= n; ++i) lines.add(text + std::to_string(i));
  return lines;
}

}  // namespace wux::test

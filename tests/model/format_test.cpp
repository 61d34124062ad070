#include "model/format.h"

#include <gtest/gtest.h>

#include <climits>

using namespace wux;

namespace {
std::string fmt(std::string_view f, long long v) {
  std::string out = "untouched";
  EXPECT_TRUE(FormatInt(f, v, out)) << f;
  return out;
}
}  // namespace

TEST(SafeFormat, FormatsFlagsWidthPrecisionAndConversions) {
  EXPECT_EQ(fmt("%.8d:", 1), "00000001:");
  EXPECT_EQ(fmt("%7d", 42), "     42");
  EXPECT_EQ(fmt("%-5d|", 42), "42   |");
  EXPECT_EQ(fmt("%05d", -42), "-0042");
  EXPECT_EQ(fmt("%.3d", -5), "-005");
  EXPECT_EQ(fmt("%08.3d", 5), "     005");  // a precision overrides the zero flag
  EXPECT_EQ(fmt("%-05d|", 7), "7    |");    // left alignment pads with blanks
  EXPECT_EQ(fmt("%x", 255), "ff");
  EXPECT_EQ(fmt("%.4X", 255), "00FF");
  EXPECT_EQ(fmt("%u", -1), "18446744073709551615");
  EXPECT_EQ(fmt("%d", LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(fmt("100%% No.%d of %%", 3), "100% No.3 of %");
  EXPECT_EQ(fmt("%1d", 1234), "1234");
  // Shift_JIS text around the directive is literal.
  EXPECT_EQ(fmt("\x91\xE6%d\x89\xF1", 2), "\x91\xE6" "2\x89\xF1");
}

TEST(SafeFormat, RejectsEverythingButOneIntegerDirective) {
  for (const char* bad : {"", "abc", "%s", "%n", "%d %d", "%*d", "%+d", "% d", "%#x", "%ld", "%lld", "%f", "%",
                          "abc%", "%.d%", "%5", "%99999d", "%.2000d", "%p", "%c"}) {
    std::string out = "untouched";
    EXPECT_FALSE(FormatInt(bad, 1, out)) << bad;
    EXPECT_EQ(out, "untouched");
    EXPECT_FALSE(IsValidIntFormat(bad)) << bad;
  }
  EXPECT_TRUE(IsValidIntFormat("%.d"));
  EXPECT_TRUE(IsValidIntFormat("%1024d"));
}

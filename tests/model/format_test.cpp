#include "model/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

using namespace wux;

namespace {
std::string fmt(std::string_view f, long long v) {
  std::string out = "untouched";
  EXPECT_TRUE(FormatInt(f, v, out)) << f;
  return out;
}
}  // namespace

TEST(SafeFormat, FormatsFlagsWidthPrecisionAndConversions) {
  // A precision overrides the zero flag; left alignment pads with blanks; Shift_JIS text
  // around the directive is literal.
  for (auto [f, v, want] : std::vector<std::tuple<const char*, long long, const char*>>{
           {"%.8d:", 1, "00000001:"}, {"%7d", 42, "     42"}, {"%-5d|", 42, "42   |"}, {"%05d", -42, "-0042"},
           {"%.3d", -5, "-005"}, {"%08.3d", 5, "     005"}, {"%-05d|", 7, "7    |"}, {"%x", 255, "ff"},
           {"%.4X", 255, "00FF"}, {"%u", -1, "18446744073709551615"}, {"%d", LLONG_MIN, "-9223372036854775808"},
           {"100%% No.%d of %%", 3, "100% No.3 of %"}, {"%1d", 1234, "1234"},
           {"\x91\xE6%d\x89\xF1", 2, "\x91\xE6" "2\x89\xF1"}})
    EXPECT_EQ(fmt(f, v), want);
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

#include "platform/textconv.h"

#include <gtest/gtest.h>

using namespace wux::platform;

TEST(TextConversion, BackslashStaysBackslashAndKanaRoundTrips) {
  EXPECT_EQ(utf8ToSjis("C:\\dir"), "C:\\dir");
  EXPECT_EQ(utf8ToSjis("\xE3\x82\xBD"), "\x83\x5C");  // katakana SO
  EXPECT_EQ(sjisToUtf8("\x83\x5C\\"), "\xE3\x82\xBD\\");
  EXPECT_EQ(utf8ToSjis("\xEF\xBD\xB6"), "\xB6");       // half-width KA
}

TEST(TextConversion, InvalidBytesAreReplacedNotFatal) {
  std::string bad = "a\x83";  // lone lead byte at the end
  std::string u = sjisToUtf8(bad);
  EXPECT_EQ(u.substr(0, 1), "a");
  EXPECT_TRUE(isValidUtf8(u));
  EXPECT_EQ(utf8ToSjis("x\xFFy"), "x?y");
  EXPECT_EQ(utf8ToSjis("\xE2\x82"), "?");
}

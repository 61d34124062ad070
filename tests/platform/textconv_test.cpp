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

#include <filesystem>

#include "platform/files.h"

TEST(TextConversion, ShiftJisFileNamesReachTheFileSystemAsUtf8) {
  auto dir = std::filesystem::temp_directory_path() / "wux_osname_test";
  std::filesystem::create_directories(dir);
  const std::string sjisName = dir.string() + "/\x83\x81\x83\x82.txt";  // "メモ.txt"
  ASSERT_TRUE(writeFileAtomic(sjisName, "x"));
  EXPECT_TRUE(std::filesystem::exists(dir / "\xE3\x83\xA1\xE3\x83\xA2.txt"));
  EXPECT_TRUE(fileExists(sjisName));
  EXPECT_EQ(fromOsName("\xE3\x83\xA1\xE3\x83\xA2.txt"), "\x83\x81\x83\x82.txt");
  EXPECT_EQ(fromOsName("raw\x83\x81"), "raw\x83\x81");  // not UTF-8: kept as it is
  std::filesystem::remove_all(dir);
}

TEST(TextConversion, TellsWhichCharactersShiftJisCannotHold) {
  for (char32_t held : {U'a', U'\u3042', U'\u8868', U'\uFF5E', U'\u301C', U'\u2212', U'\u00A5'})
    EXPECT_TRUE(sjisHolds(held)) << static_cast<unsigned>(held);
  for (char32_t lost : {U'\u20AC', U'\U0001F600', U'\u00E9', U'\uD55C', U'\uFFFD'})
    EXPECT_FALSE(sjisHolds(lost)) << static_cast<unsigned>(lost);
  EXPECT_FALSE(sjisHolds(0xD800));
  EXPECT_FALSE(sjisHolds(0x110000));
}

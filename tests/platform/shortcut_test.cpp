#include "platform/shortcut.h"

#include <gtest/gtest.h>

#include "support/shortcut_bytes.h"

namespace wux::platform {
namespace {

TEST(ShortcutTest, ReadsTheStoredLocalPath) {
  std::string target;
  ASSERT_TRUE(ShortcutTarget(test::shortcutBytes("C:\\notes\\", "book.mhz"), target));
  EXPECT_EQ(target, "C:\\notes\\book.mhz");
  ASSERT_TRUE(ShortcutTarget(test::shortcutBytes("/home/u/a.mxa", "", false), target));
  EXPECT_EQ(target, "/home/u/a.mxa");
  EXPECT_EQ(MapWindowsPath("C:\\notes\\book.mhz"), "/notes/book.mhz");
  EXPECT_EQ(MapWindowsPath("/home/u/a.mxa"), "/home/u/a.mxa");
}

TEST(ShortcutTest, RefusesWhatIsNoShortcut) {
  std::string target = "kept";
  EXPECT_FALSE(ShortcutTarget("", target));
  EXPECT_FALSE(ShortcutTarget("plain text that is not a shortcut at all, long enough for a header......", target));
  std::string cut = test::shortcutBytes("C:\\notes\\", "book.mhz");
  cut.resize(cut.size() - 20);  // the path runs past the end
  EXPECT_FALSE(ShortcutTarget(cut, target));
  EXPECT_EQ(target, "kept");
}

}  // namespace
}  // namespace wux::platform

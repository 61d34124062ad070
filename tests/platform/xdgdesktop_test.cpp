#include "platform/xdgdesktop.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace wux::platform;
namespace fs = std::filesystem;

namespace {
const std::vector<std::string> kTypes = {"application/x-a", "application/x-b"};
}

TEST(DesktopEntry, ValuesAndExecArgumentsReadBackAsThemselves) {
  EXPECT_EQ(desktopEntryString("/opt/wux/"), "/opt/wux/");
  EXPECT_EQ(desktopEntryString(" lead\\tab\tend\n"), "\\slead\\\\tab\\tend\\n");

  EXPECT_EQ(desktopExecArgument("/usr/bin/wux"), "\"/usr/bin/wux\"");
  // Blanks need only the quotes; quote, backquote, dollar and backslash are escaped
  // inside them, and the backslashes once more for the string value; "%" is doubled.
  EXPECT_EQ(desktopExecArgument("/opt/my apps/100%/w\"`$x"), "\"/opt/my apps/100%%/w\\\\\"\\\\`\\\\$x\"");
  EXPECT_EQ(desktopExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
}

TEST(MimeApps, DefaultsAreAddedOnceAndTakenBackExactly) {
  // No file yet: the section is made.
  const std::string made = addDefaultApplications("", kTypes, "wux.desktop");
  EXPECT_EQ(made, "[Default Applications]\napplication/x-a=wux.desktop\napplication/x-b=wux.desktop\n");
  EXPECT_EQ(addDefaultApplications(made, kTypes, "wux.desktop"), made);
  EXPECT_EQ(removeDefaultApplications(made, kTypes, "wux.desktop"), "");

  // The user's own lines stay where they are, byte for byte, CR LF included.
  const std::string mine =
      "# mine\r\n[Default Applications]\r\ntext/plain=gedit.desktop\r\n\r\n[Added Associations]\r\n"
      "image/png=eog.desktop;\r\n";
  const std::string added = addDefaultApplications(mine, kTypes, "wux.desktop");
  EXPECT_EQ(added,
            "# mine\r\n[Default Applications]\r\ntext/plain=gedit.desktop\r\napplication/x-a=wux.desktop\r\n"
            "application/x-b=wux.desktop\r\n\r\n[Added Associations]\r\nimage/png=eog.desktop;\r\n");
  EXPECT_EQ(removeDefaultApplications(added, kTypes, "wux.desktop"), mine);

  // A file without the section and without a last line end.
  const std::string other = "[Added Associations]\nimage/png=eog.desktop;";
  const std::string withSection = addDefaultApplications(other, kTypes, "wux.desktop");
  EXPECT_EQ(withSection,
            "[Added Associations]\nimage/png=eog.desktop;\n\n[Default Applications]\n"
            "application/x-a=wux.desktop\napplication/x-b=wux.desktop\n");
  EXPECT_EQ(removeDefaultApplications(withSection, kTypes, "wux.desktop"), other + "\n");
}

TEST(MimeApps, AnExistingDefaultIsReplacedAndAChangedOneIsKept) {
  const std::string before = "[Default Applications]\napplication/x-a = old.desktop\n";
  const std::string after = addDefaultApplications(before, kTypes, "wux.desktop");
  EXPECT_EQ(after, "[Default Applications]\napplication/x-a=wux.desktop\napplication/x-b=wux.desktop\n");

  // The user gave one type to another program since: only the other line goes.
  const std::string changed = "[Default Applications]\napplication/x-a=other.desktop\napplication/x-b=wux.desktop;\n";
  EXPECT_EQ(removeDefaultApplications(changed, kTypes, "wux.desktop"),
            "[Default Applications]\napplication/x-a=other.desktop\n");
  // Lines of other sections and other programs are never touched.
  const std::string elsewhere = "[Added Associations]\napplication/x-a=wux.desktop\n";
  EXPECT_EQ(removeDefaultApplications(elsewhere, kTypes, "wux.desktop"), elsewhere);
}

namespace {
// Points HOME and PATH into a temporary folder for one test.
class DesktopHome : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/wux_desktop_XXXXXX";
    dir_ = ::mkdtemp(tmpl);
    fs::create_directories(dir_ / "bin");
    keep("HOME", dir_.string());
    keep("PATH", (dir_ / "bin").string());
  }
  void TearDown() override {
    for (auto& [name, value] : saved_) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    fs::remove_all(dir_);
  }
  void keep(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  void tool(const std::string& name, const std::string& body) {
    const fs::path p = dir_ / "bin" / name;
    std::ofstream(p) << "#!/bin/sh\n" << body << "\n";
    ::chmod(p.c_str(), 0755);
  }
  fs::path dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
}  // namespace

TEST_F(DesktopHome, TheDesktopFolderIsWhatXdgUserDirSaysElseDesktopInHome) {
  EXPECT_EQ(desktopDir(), dir_.string() + "/Desktop/");
  tool("xdg-user-dir", "[ \"$1\" = DESKTOP ] && echo \"$HOME/Schreibtisch\"");
  EXPECT_EQ(desktopDir(), dir_.string() + "/Schreibtisch/");
  // A failing or babbling tool is not believed.
  tool("xdg-user-dir", "echo 'not configured'; exit 1");
  EXPECT_EQ(desktopDir(), dir_.string() + "/Desktop/");
  tool("xdg-user-dir", "echo 'relative/desk'");
  EXPECT_EQ(desktopDir(), dir_.string() + "/Desktop/");
}

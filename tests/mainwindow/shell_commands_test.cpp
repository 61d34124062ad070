// The shell commands against a home folder of their own: registering the document
// types, the desktop launcher, the calculator, command lines and the settings file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "mainwindow/Settings.h"
#include "mainwindow/commands/ShellCommands.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "support/file_text.h"
#include "views/CommandTable.h"
#include "views/MemoFileUI.h"

namespace wux {
namespace {

namespace fs = std::filesystem;

class ShellCommands : public test::FormTest<TFormMainWUXX13c> {
 protected:
  ShellCommands() : FormTest({2026, 12, 6, 22, 50, 1, 250}) {
    char tmpl[] = "/tmp/wux_shell_XXXXXX";
    dir_ = ::mkdtemp(tmpl);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "home");
    keep("HOME", path("home"));
    keep("XDG_CONFIG_HOME", path("config"));
    keep("XDG_DATA_HOME", path("data"));
    // Only the stand-in tools a test puts here are found.
    keep("PATH", path("bin"));
  }
  ~ShellCommands() override {
    for (auto& [name, value] : saved_) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    fs::remove_all(dir_);
  }
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  void keep(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::string path(const std::string& rel) const { return (dir_ / rel).string(); }
  void tool(const std::string& name, const std::string& body = "exit 0") {
    const fs::path p = dir_ / "bin" / name;
    std::ofstream(p) << "#!/bin/sh\n" << body << "\n";
    ::chmod(p.c_str(), 0755);
  }
  std::string read(const std::string& rel) const { return test::existingFileText(path(rel)); }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }

  fs::path dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher{&launcher};
};

TEST_F(ShellCommands, AssociateRegistersBothTypesAndUnassociateTakesBackExactlyThat) {
  tool("update-mime-database");
  tool("update-desktop-database");
  const std::string userApps = "[Default Applications]\ntext/plain=gedit.desktop\n";
  fs::create_directories(dir_ / "config");
  std::ofstream(dir_ / "config" / "mimeapps.list") << userApps;

  for (int round = 0; round < 2; ++round) {  // a second time writes the same again
    ASSERT_EQ(run("UIAssociate"), 0);
    EXPECT_EQ(status(), "Done: Associate FileName Extentions. \".mxa\", \".maz\"");
    const std::string entry = read("data/applications/wux.desktop");
    EXPECT_NE(entry.find("\nExec=\"" + ProgramFile() + "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-wux-mxa;application/x-wux-maz;\n"), std::string::npos) << entry;
    const std::string xml = read("data/mime/packages/wux.xml");
    EXPECT_NE(xml.find("<glob pattern=\"*.mxa\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<glob pattern=\"*.maz\"/>"), std::string::npos);
    EXPECT_EQ(read("config/mimeapps.list"),
              userApps + "application/x-wux-mxa=wux.desktop\napplication/x-wux-maz=wux.desktop\n");
  }
  // The desktop's caches are rebuilt from the new files.
  ASSERT_EQ(launcher.calls.size(), 4u);
  EXPECT_EQ(launcher.calls[0].target, "update-mime-database");
  EXPECT_EQ(launcher.calls[0].argument, path("data") + "/mime");
  EXPECT_EQ(launcher.calls[1].target, "update-desktop-database");
  EXPECT_EQ(launcher.calls[1].argument, path("data") + "/applications");

  ASSERT_EQ(run("UIUnassociate"), 0);
  EXPECT_EQ(status(), "Done: Unassociate FileName Extentions. \".mxa\", \".maz\"");
  EXPECT_FALSE(fs::exists(dir_ / "data/applications/wux.desktop"));
  EXPECT_FALSE(fs::exists(dir_ / "data/mime/packages/wux.xml"));
  EXPECT_EQ(read("config/mimeapps.list"), userApps);
  EXPECT_EQ(launcher.calls.size(), 6u);
}

TEST_F(ShellCommands, AMimeappsListMadeByAssociateGoesWithUnassociate) {
  ASSERT_EQ(run("UIAssociate"), 0);
  EXPECT_TRUE(fs::exists(dir_ / "config/mimeapps.list"));
  // Without the cache tools nothing is started.
  EXPECT_TRUE(launcher.calls.empty());
  ASSERT_EQ(run("UIUnassociate"), 0);
  EXPECT_FALSE(fs::exists(dir_ / "config/mimeapps.list"));
  // Nothing registered: nothing to take back, and no complaint.
  EXPECT_EQ(run("UIUnassociate"), 0);
}

TEST_F(ShellCommands, RegistrationThatCannotBeWrittenIsAFailure) {
  // A file where the data folder should be.
  std::ofstream(dir_ / "data") << "x";
  EXPECT_EQ(run("UIAssociate"), kResultFailed);
  EXPECT_EQ(status().rfind("Failure: Associate FileName Extentions. ", 0), 0u) << status();

  form->beginDoing_("Long");
  EXPECT_EQ(run("UIAssociate"), kResultFailed);
  EXPECT_EQ(run("UIMakeShortCutLink"), kResultFailed);
  form->endDoing();
  EXPECT_FALSE(fs::exists(dir_ / "home/Desktop"));
}

TEST_F(ShellCommands, ShortcutIsAnExecutableLauncherOnTheDesktop) {
  tool("xdg-user-dir", "echo \"$HOME/Desk\"");
  ASSERT_EQ(run("UIMakeShortCutLink"), 0);
  EXPECT_EQ(status(), "Done: Make ShortCutLink, Look DeskTop!");
  const fs::path link = dir_ / "home/Desk/wux.desktop";
  ASSERT_TRUE(fs::exists(link));
  struct stat st {};
  ASSERT_EQ(::stat(link.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
  const std::string entry = read("home/Desk/wux.desktop");
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nExec=\"" + ProgramFile() + "\"\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nPath=" + ProgramDir() + "\n"), std::string::npos) << entry;

  // Without the tool the desktop is ~/Desktop, made when missing.
  fs::remove(dir_ / "bin/xdg-user-dir");
  ASSERT_EQ(run("UIMakeShortCutLink"), 0);
  EXPECT_TRUE(fs::exists(dir_ / "home/Desktop/wux.desktop"));
}

TEST_F(ShellCommands, CalculatorIsTheFirstOneInstalled) {
  EXPECT_EQ(run("UICalc"), kResultFailed);
  EXPECT_EQ(status(), "Failure: Calc. No calculator found: gnome-calculator, kcalc, galculator or xcalc.");
  EXPECT_TRUE(launcher.calls.empty());

  tool("xcalc");
  tool("kcalc");
  ASSERT_EQ(run("UICalc"), 0);
  EXPECT_EQ(status(), "Done: Calc kcalc");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "start");
  EXPECT_EQ(launcher.calls[0].target, path("bin/kcalc"));
  EXPECT_EQ(launcher.calls[0].argument, "");
}

TEST_F(ShellCommands, ShellExecuteOpensDocumentsAndAddressesAndRunsCommandLines) {
  EXPECT_EQ(run("UIShellExecute_", {"   "}), kResultFailed);
  EXPECT_EQ(status(), "Warrning: Command is empty in UIShellExecute_.");
  EXPECT_TRUE(launcher.calls.empty());

  // A name of the document's folder opens with its handler, as a full path.
  form->getMemoFile()->putFileName_(path("notes.mxa"));
  std::ofstream(dir_ / "a b.txt") << "x";
  ASSERT_EQ(run("UIShellExecute_", {" a b.txt "}), 0);
  EXPECT_EQ(status(), "a b.txt");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "open");
  EXPECT_EQ(launcher.calls[0].target, path("a b.txt"));

  ASSERT_EQ(run("UIShellExecute_", {"https://example.com/?q=a b"}), 0);
  EXPECT_EQ(launcher.calls[1].verb, "open");
  EXPECT_EQ(launcher.calls[1].target, "https://example.com/?q=a b");

  // Anything else is a command line: the shell gets it whole, in the document's folder.
  ASSERT_EQ(run("UIShellExecute_", {"grep -l \"x\" *.txt > list.txt"}), 0);
  EXPECT_EQ(launcher.calls[2].verb, "shell");
  EXPECT_EQ(launcher.calls[2].target, "grep -l \"x\" *.txt > list.txt");
  EXPECT_EQ(launcher.calls[2].argument, dir_.string() + "/");

  launcher.result = false;
  EXPECT_EQ(run("UIShellExecute_", {"no-such-program"}), kResultFailed);
  EXPECT_EQ(status(), "Failure: UIShellExecute_ could not start no-such-program: " + launcher.reason);
}

TEST_F(ShellCommands, ManualOpensTheAddressOfTheSettings) {
  // Without an address in the settings there is nothing to open, and the user is told.
  ASSERT_TRUE(form->settings().manualJapanese.empty());
  EXPECT_EQ(run("UIShowManualInternet"), kResultFailed);
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_EQ(status(), "Cancel: No ManualJapanese address in the settings file.");

  form->settings().manualJapanese = "https://example.org/manual/";
  ASSERT_EQ(run("UIShowManualInternet"), 0);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "open");
  EXPECT_EQ(launcher.calls[0].target, "https://example.org/manual/");
  EXPECT_EQ(run("UIShowManualInternetE"), kResultFailed);
  EXPECT_EQ(rec.messages().back(), "Still not implemented. TFormMainScript.UIShowManualInternetE");
}

TEST_F(ShellCommands, OpenIniFileShowsTheProgramFolderWhenThereIsNone) {
  const std::string ini = AppSettingsPath();
  ASSERT_EQ(run("UIOpenIniFile"), 0);
  EXPECT_EQ(status(), "Explorer \"wux.exe\". Becaouse Not Found " + ini);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "explore");
  EXPECT_EQ(launcher.calls[0].target, ProgramDir());

  ASSERT_TRUE(platform::makeDirs(platform::dirOf(ini)));
  ASSERT_TRUE(platform::writeFileAtomic(ini, "FontSize=12\r\n"));
  ASSERT_EQ(run("UIOpenIniFile"), 0);
  EXPECT_EQ(status(), "Open " + ini);
  EXPECT_EQ(launcher.calls[1].verb, "open");
  EXPECT_EQ(launcher.calls[1].target, ini);
}

TEST_F(ShellCommands, LogWindowIsShownWithTheTime) {
  ASSERT_EQ(run("UIShowFormLog"), 0);
  EXPECT_EQ(status(), "Show FormLog 2026/12/06 22:50:01:250");
  EXPECT_TRUE(form->getFormLog()->isVisible());
}

TEST(NoteWindow, OpensAtNinetySixHundredthsOfTheMainWindow) {
  const WindowSize s = NoteWindowSize(1000, 700);
  EXPECT_EQ(s.width, 960);
  EXPECT_EQ(s.height, 672);
  const WindowSize r = NoteWindowSize(1001, 699);  // 960.96 and 671.04
  EXPECT_EQ(r.width, 961);
  EXPECT_EQ(r.height, 671);
}

}  // namespace
}  // namespace wux

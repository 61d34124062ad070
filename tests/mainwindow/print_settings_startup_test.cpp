// The main window's creation loads the printer's settings from the settings folder.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <cstdlib>
#include <filesystem>

#include "mainwindow/FormLog.h"
#include "mainwindow/FormMainWUXX13c.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "printing/SettingsStore.h"
#include "support/qt_app.h"

namespace wux {
namespace {

class PrintSettingsStartup : public ::testing::Test {
 protected:
  PrintSettingsStartup() {
    test::qtApp();
    char tmpl[] = "/tmp/wux_xdg_XXXXXX";
    dir_ = mkdtemp(tmpl);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) oldXdg_ = old, hadXdg_ = true;
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  }
  ~PrintSettingsStartup() override {
    if (hadXdg_) setenv("XDG_CONFIG_HOME", oldXdg_.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(dir_);
  }
  std::string iniPath() const { return (dir_ / "wux" / "wuxprint.ini").string(); }

  std::filesystem::path dir_;
  std::string oldXdg_;
  bool hadXdg_ = false;
};

TEST_F(PrintSettingsStartup, SavedSettingsComeBackAtStartUp) {
  EXPECT_EQ(PrintSettingsPath(), iniPath());
  StringsPrinterProperties saved;
  saved.setHeader("X%pY");
  saved.setHeaderAlign(TStringsPrinterHeaderAlign::haCenter);
  saved.setColumnCount(2);
  ASSERT_TRUE(SaveComponentToIni(saved, PrintSettingsPath(), kPrintSettingsSection, kPrintSettingsPrefix));
  std::string text;
  ASSERT_TRUE(platform::readFile(iniPath(), text));
  EXPECT_EQ(text.rfind("[StringsPrinter1]\r\nProperty_c=", 0), 0u);

  auto form = createForm<TFormMainWUXX13c>();
  EXPECT_EQ(form->getStringsPrinter().Header(), "X%pY");
  EXPECT_EQ(form->getStringsPrinter().ColumnCount(), 2);
}

TEST_F(PrintSettingsStartup, DamagedSettingsLeaveTheDefaultsWithALogLine) {
  platform::makeDirs((dir_ / "wux").string());
  ASSERT_TRUE(platform::writeFileAtomic(iniPath(), "[StringsPrinter1]\r\nProperty_c=1\r\nProperty_d0=00FF17\r\n"));
  auto form = createForm<TFormMainWUXX13c>();
  EXPECT_EQ(form->getStringsPrinter().ColumnCount(), 1);
  EXPECT_EQ(form->getStringsPrinter().Header(), "");
  const std::string log = form->getFormLog()->MemoLog()->toPlainText().toStdString();
  EXPECT_NE(log.find("Print settings ignored"), std::string::npos) << log;
}

}  // namespace
}  // namespace wux

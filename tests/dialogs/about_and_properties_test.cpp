// The about box and the application properties window on their own.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "dialogs/FormAbout.h"
#include "dialogs/FormPropatyApl.h"
#include "platform/launcher.h"
#include "support/RecordingPrompter.h"
#include "support/qt_app.h"
#include "views/views_support.h"

namespace wux {
namespace {

TEST(FormAbout, PictureOrTheFileNameForItsTime) {
  test::qtApp();
  test::TempDir dir;
  QImage picture(8, 6, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(QString::fromStdString(dir.str("wux.jpg")), "JPG"));
  ASSERT_TRUE(picture.save(QString::fromStdString(dir.str("wux.bmp")), "BMP"));

  QWidget owner;
  TFormAbout about(&owner);
  EXPECT_EQ(about.loadImage_(dir.str("wux.jpg")), 0);
  EXPECT_FALSE(about.Image1()->pixmap().isNull());
  EXPECT_TRUE(about.Label1()->text().isEmpty());
  EXPECT_EQ(about.loadImage_(dir.str("wux.bmp")), 0);

  EXPECT_EQ(about.loadImage_(dir.str("missing.jpg")), -1);
  EXPECT_EQ(about.Label1()->text().toStdString(), "missing.jpg");
  EXPECT_EQ(about.windowTitle().toStdString(), "missing.jpg");
  EXPECT_EQ(about.Label1()->font().pointSize(), 20);
  EXPECT_EQ(about.loadImage_(dir.str("wux.png")), -1);  // only the two kinds are shown

  about.showFor_(450);
  EXPECT_TRUE(about.isVisible());
  EXPECT_EQ(about.Timer1()->interval(), 200);
  about.tick_();
  about.tick_();
  EXPECT_TRUE(about.isVisible());  // 50 ms left
  about.tick_();
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(about.Timer1()->isActive());
}

TEST(FormAbout, AClickClosesItAndTheTimerItemHoldsItOpen) {
  test::qtApp();
  QWidget owner;
  TFormAbout about(&owner);
  about.showFor_(3000);
  ASSERT_TRUE(about.Timer1()->isActive());

  // The pop-up of the box offers "timer", checked while the countdown runs.
  QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, QPoint(5, 5), about.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&about, &menuAsked);
  auto* menu = about.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  ASSERT_EQ(menu->actions().size(), 1);
  QAction* timer = menu->actions()[0];
  EXPECT_EQ(timer->text(), QStringLiteral("timer"));
  EXPECT_TRUE(timer->isChecked());
  // Chosen with the mouse, the item closes the menu and switches the countdown.
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(timer).center());
  EXPECT_FALSE(menu->isVisible());
  EXPECT_FALSE(timer->isChecked());
  EXPECT_FALSE(about.Timer1()->isActive());
  QApplication::sendEvent(&about, &menuAsked);
  ASSERT_TRUE(menu->isVisible());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(timer).center());
  EXPECT_TRUE(about.Timer1()->isActive());

  QTest::mouseClick(about.Image1(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(about.Timer1()->isActive());
}

// The box hiding itself at the end of its time takes an open pop-up with it: left on the
// screen, the pop-up would float over the main window with nothing under it.
TEST(FormAbout, ItsPopUpGoesWithIt) {
  test::qtApp();
  QWidget owner;
  TFormAbout about(&owner);
  about.showFor_(200);
  QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, QPoint(5, 5), about.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&about, &menuAsked);
  auto* menu = about.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->isVisible());
  about.tick_();
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(menu->isVisible());

  // Clicked away too.
  about.showFor_(3000);
  QApplication::sendEvent(&about, &menuAsked);
  ASSERT_TRUE(menu->isVisible());
  QTest::mouseClick(about.Image1(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(menu->isVisible());
}

TEST(FormPropatyApl, EditsTheSettingsItIsGiven) {
  test::qtApp();
  RecordingPrompter rec;
  ScopedPrompter usePrompter(&rec);
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  test::TempDir dir;
  struct {
    std::string tempDir;
    int dropMode = 0;
    int autoSaveTime = 0;
  } settings;
  settings.autoSaveTime = 61;
  settings.dropMode = 2;
  TFormPropatyApl form(nullptr, {settings.tempDir, settings.dropMode, settings.autoSaveTime});
  EXPECT_EQ(form.Edit_AutoSaveTime()->text().toStdString(), "61");
  EXPECT_EQ(form.RadioGroup_DragAndDrop()->checkedId(), 2);

  form.Edit_AutoSaveTime()->setText(" 300 seconds");
  EXPECT_EQ(settings.autoSaveTime, 300);
  form.Edit_AutoSaveTime()->setText("-4");
  EXPECT_EQ(form.getAutoSaveTime(), 0);
  form.Edit_AutoSaveTime()->setText("none");
  EXPECT_EQ(settings.autoSaveTime, 0);
  form.putAutoSaveTime_(75);
  EXPECT_EQ(settings.autoSaveTime, 75);
  form.RadioGroup_DragAndDrop()->button(1)->click();
  EXPECT_EQ(settings.dropMode, 1);

  form.putTempDir_("  /nowhere/  ");
  EXPECT_EQ(settings.tempDir, "/nowhere/");
  form.ExplorerTempDirBtnClick();
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"\"/nowhere/\" not exists."}));
  EXPECT_TRUE(launcher.calls.empty());

  form.chooseDirectory = [&](std::string& d) {
    EXPECT_EQ(d, "/nowhere/");  // the chooser starts at the folder in use
    return false;
  };
  form.Button6Click();
  EXPECT_EQ(settings.tempDir, "/nowhere/");
  form.chooseDirectory = [&](std::string& d) {
    d = dir.path.string();
    return true;
  };
  form.Button6Click();
  EXPECT_EQ(settings.tempDir, dir.path.string() + "/");
  EXPECT_EQ(form.StaticTextTempDir()->text().toStdString(), dir.path.string() + "/");
  form.ExplorerTempDirBtnClick();
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "explore");
}

TEST(FormPropatyApl, SpareGroupsArePresentAndChooseNothing) {
  test::qtApp();
  std::string dir;
  int drop = 0, seconds = 0;
  TFormPropatyApl form(nullptr, {dir, drop, seconds});
  for (const char* name : {"RadioGroup1", "RadioGroup2"}) {
    auto* group = form.findChild<QGroupBox*>(QString::fromLatin1(name));
    ASSERT_NE(group, nullptr) << name;
    EXPECT_TRUE(group->findChildren<QAbstractButton*>().isEmpty()) << name;
  }
}

}  // namespace
}  // namespace wux

// The tool, property and print windows opened through the command table on a shown main
// window: each is the main window's own window, opens where its kind opens, wholly on
// the screen, in the main window's font where it should be, and keeps its message boxes
// in front of itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "dialogs/ExportWindows.h"
#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormField.h"
#include "dialogs/FormHolder2.h"
#include "dialogs/FormHolders.h"
#include "dialogs/FormMXA2.h"
#include "dialogs/FormPropatyNode2.h"
#include "dialogs/FormScanHolders.h"
#include "dialogs/FormScanNode.h"
#include "dialogs/FormSelectHolder.h"
#include "dialogs/MailForms.h"
#include "dialogs/NoteWindow.h"
#include "dialogs/SmallWindows.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "printing/FormStringsPrint.h"
#include "support/fake_browser.h"
#include "support/gui_input.h"
#include "views/QtPrompter.h"

namespace wux {
namespace {

enum class Where { OnOwner, OnScreen };

class OwnedWindowsTest : public test::NewDocumentTest {
 protected:
  OwnedWindowsTest() : NewDocumentTest({2026, 12, 7, 6, 30, 0, 0}) {}
  void SetUp() override {
    NewDocumentTest::SetUp();
    QFont f = form->font();
    f.setPointSize(12);
    form->setFont(f);
    // Off the screen's centre, so that "on the owner" and "on the screen" differ.
    form->setGeometry(40, 60, 560, 520);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  // The frame `w` should have: its size centred on the owner or on the screen, then
  // pushed inside the screen's available area.
  QRect expectedFrame(const QWidget& w, Where where) {
    const QRect area = form->screen()->availableGeometry();
    QRect f(QPoint(0, 0), w.frameGeometry().size());
    f.moveCenter(where == Where::OnOwner ? form->frameGeometry().center() : area.center());
    if (f.right() > area.right()) f.moveRight(area.right());
    if (f.bottom() > area.bottom()) f.moveBottom(area.bottom());
    if (f.left() < area.left()) f.moveLeft(area.left());
    if (f.top() < area.top()) f.moveTop(area.top());
    return f;
  }

  // A window larger than the screen cannot lie on it whole: its top left corner does.
  void expectOwned(QWidget* w, Where where, bool mainFont, const std::string& what, bool fits = true) {
    ASSERT_NE(w, nullptr) << what;
    // Under a window manager the frame comes a moment after the window, and the window
    // settles where it belongs a moment later.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w)) << what;
    // Not asserted: the checks below say where it ended up when it did not settle.
    (void)QTest::qWaitFor([&] { return w->frameGeometry().topLeft() == expectedFrame(*w, where).topLeft(); }, 1000);
    EXPECT_TRUE(w->isWindow()) << what;
    EXPECT_EQ(w->parentWidget(), form.get()) << what;
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(fits ? form->screen()->availableGeometry().contains(frame)
                     : form->screen()->availableGeometry().contains(frame.topLeft()))
        << what << " " << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    const QRect want = expectedFrame(*w, where);
    EXPECT_LE(std::abs(frame.x() - want.x()), 1) << what << " at " << frame.x() << " not " << want.x();
    EXPECT_LE(std::abs(frame.y() - want.y()), 1) << what << " at " << frame.y() << " not " << want.y();
    if (mainFont) {
      EXPECT_EQ(w->font().pointSize(), 12) << what;
    }
  }

  template <class W>
  W* shown() {
    for (W* w : form->findChildren<W*>())
      if (w->isVisible()) return w;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* w = qobject_cast<W*>(top); w && w->isVisible()) return w;
    return nullptr;
  }

  // Runs a command that shows a modal window of class W, checks the window while it
  // waits, and closes it.
  template <class W>
  void expectModal(const std::string& command, Where where, bool mainFont) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<W*>(QApplication::activeModalWidget());
      if (d) {
        seen = true;
        expectOwned(d, where, mainFont, command);
      }
      if (QWidget* m = QApplication::activeModalWidget()) m->close();
    });
    run(command);
    EXPECT_TRUE(seen) << command << " showed no window of its kind";
  }
};

TEST_F(OwnedWindowsTest, ModelessWindowsOpenAsTheirKindSays) {
  struct Case {
    const char* command;
    std::function<QWidget*()> window;
    Where where;
    bool mainFont;
    bool fits = true;
  };
  const Case cases[] = {
      {"UIShowScanMemoHolders", [&] { return shown<TFormScanHolders>(); }, Where::OnOwner, true},
      {"UIShowScanMemoHolder", [&] { return shown<TFormScanHolder>(); }, Where::OnOwner, true},
      {"UIShowScanMemoNode", [&] { return shown<TFormScanNode>(); }, Where::OnOwner, true},
      {"UIShowScanField", [&] { return shown<TFormField>(); }, Where::OnOwner, true},
      {"showFormEditSelNode", [&] { return shown<TFormEditSelNode>(); }, Where::OnOwner, true},
      {"UIShowField", [&] { return shown<TFormPropatyNode2>(); }, Where::OnScreen, false},
      {"UISendMail", [&] { return shown<TFormSendMail2>(); }, Where::OnOwner, false},
      {"UIReciveMail", [&] { return shown<TFormReciveMail1>(); }, Where::OnOwner, false},
      {"UIShowFileList", [&] { return shown<TFormFileList>(); }, Where::OnScreen, true},
      {"UIShowMakeHTML", [&] { return shown<TFormMakeFileHTML>(); }, Where::OnOwner, true},
      {"UIShowFormMemoNode", [&] { return shown<TFormMemoNode>(); }, Where::OnOwner, true},
      {"UIShowFormMemoNodeReadOnly", [&] { return shown<TFormMemoNode>(); }, Where::OnOwner, true},
      // 800 by 600, more than the test's screen leaves it.
      {"UIShowFormWB", [&] { return shown<TFormWB>(); }, Where::OnOwner, true, false},
  };
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.command), 0) << c.command;
    QWidget* w = c.window();
    expectOwned(w, c.where, c.mainFont, c.command, c.fits);
    if (w) w->close();
  }
  setWebBrowserFactory(previous);
  // Shown again after the main window's font changed, a window takes the new one.
  QFont f = form->font();
  f.setPointSize(10);
  form->setFont(f);
  run("UIShowScanMemoHolders");
  ASSERT_NE(shown<TFormScanHolders>(), nullptr);
  EXPECT_EQ(shown<TFormScanHolders>()->font().pointSize(), 10);
}

TEST_F(OwnedWindowsTest, ModalWindowsOpenOnTheMainWindow) {
  expectModal<TFormHolder2>("UIShowHolderPropaty", Where::OnOwner, true);
  expectModal<TFormHolders>("UIShowHoldersPropaty", Where::OnOwner, true);
  expectModal<TFormMXA2>("UIShowPropatyMXA2", Where::OnOwner, true);
  expectModal<TFormStringsPrint>("UIPrintFormat", Where::OnOwner, false);
  current()->putMarked_(true);
  expectModal<TFormSelectHolder>("UICopyMarksTo", Where::OnOwner, true);
}

TEST_F(OwnedWindowsTest, MessageBoxesStayInFrontOfTheDialogThatAsks) {
  QtPrompter boxes(form.get());
  ScopedPrompter useBoxes(&boxes);
  QWidget* owner = nullptr;
  QWidget* expected = nullptr;
  auto answerBox = [&] {
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      owner = box ? box->parentWidget() : nullptr;
      if (box) box->accept();
    });
  };

  // From a modal dialog: the print settings' Help.
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<TFormStringsPrint*>(QApplication::activeModalWidget());
    if (!d) return;
    expected = d;
    answerBox();
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button3")), Qt::LeftButton);
    d->reject();
  });
  run("UIPrintFormat");
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(owner, expected);

  // From a window that stays open beside the main window: a scan without a keyword.
  run("UIShowScanMemoHolders");
  auto* scan = shown<TFormScanHolders>();
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(scan));
  owner = nullptr;
  answerBox();
  QPushButton* scanButton = test::buttonOf(scan, QStringLiteral("Scan"));
  ASSERT_NE(scanButton, nullptr);
  QTest::mouseClick(scanButton, Qt::LeftButton);
  EXPECT_EQ(owner, scan);
  scan->close();

  // With no dialog in use the main window stays the owner.
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  owner = nullptr;
  answerBox();
  ShowMessage("from the main window");
  EXPECT_EQ(owner, form.get());
}

// A script's log opens beside the main window, leaving Break in sight; once the user has
// moved it, it opens again where they put it.
TEST_F(OwnedWindowsTest, TheLogOpensClearOfBreakAndKeepsTheUsersPlace) {
  auto* breakButton = form->findChild<QPushButton*>(QStringLiteral("BreakBtn"));
  ASSERT_NE(breakButton, nullptr);
  const QRect breakRect(breakButton->mapToGlobal(QPoint(0, 0)), breakButton->size());
  EXPECT_EQ(run("UIShowFormLog"), 0);
  TFormLog* log = form->getFormLog();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(log));
  QTest::qWait(400);  // settled
  EXPECT_FALSE(log->frameGeometry().intersects(breakRect))
      << log->frameGeometry().x() << "," << log->frameGeometry().y() << " " << log->frameGeometry().height();
  EXPECT_TRUE(form->screen()->availableGeometry().contains(log->frameGeometry()));

  log->move(5, 7);
  const QPoint put = log->pos();
  log->close();
  EXPECT_EQ(run("UIShowFormLog"), 0);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(log));
  QTest::qWait(400);
  EXPECT_EQ(log->pos(), put);
}

}  // namespace
}  // namespace wux

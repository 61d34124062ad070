// A box takes the wheel only once it has the focus, and never the focus from the wheel.
// (That the turn then scrolls the window is seen with a real wheel in the end-to-end
// scenarios: a turn sent from here does not travel to the parents.)
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "support/qt_app.h"
#include "views/WheelGuard.h"

namespace wux {
namespace {

void wheelDown(QWidget* w) {
  const QPointF at = QRectF(w->rect()).center();
  QWheelEvent e(at, w->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

TEST(WheelGuard, ABoxChangesWithTheWheelOnlyWhenItHasTheFocus) {
  installWheelGuard(test::qtApp());
  QWidget page;
  auto* edit = new QLineEdit;
  auto* combo = new QComboBox;
  auto* date = new QDateEdit(QDate(2026, 12, 7));
  combo->addItems({"YYYYMMDD", "YYYY/MM/DD dddd"});
  auto* l = new QVBoxLayout(&page);
  for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(combo), static_cast<QWidget*>(date)})
    l->addWidget(w);
  page.show();
  page.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
  edit->setFocus();

  for (QWidget* box : {static_cast<QWidget*>(combo), static_cast<QWidget*>(date)}) {
    EXPECT_NE(box->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus) << box->metaObject()->className();
    wheelDown(box);
  }
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_EQ(date->date(), QDate(2026, 12, 7));
  EXPECT_EQ(QApplication::focusWidget(), edit);

  // Tab gives the focus, and with it the wheel.
  QTest::keyClick(edit, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), combo);
  wheelDown(combo);
  EXPECT_EQ(combo->currentIndex(), 1);
}

}  // namespace
}  // namespace wux

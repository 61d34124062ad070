// Boxes that change with the wheel take the turn only once they have the focus; before
// that they neither change nor take the focus from it. (That the turn then scrolls the
// window is seen with a real wheel in the end-to-end scenarios: a turn sent from here
// does not travel to the parents.)
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "support/qt_app.h"
#include "views/WheelGuard.h"

namespace wux {
namespace {

// One notch of the wheel towards the user over the middle of the widget.
void wheelDown(QWidget* w) {
  const QPointF at = QRectF(w->rect()).center();
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

struct Page : QWidget {
  Page() {
    auto* l = new QVBoxLayout(this);
    l->addWidget(edit);
    l->addWidget(combo);
    l->addWidget(editable);
    l->addWidget(spin);
    l->addWidget(date);
    combo->addItems({"YYYYMMDD", "YYYY/MM/DD dddd", "other"});
    editable->setEditable(true);
    editable->addItems({"needle", "needle-1"});
    spin->setValue(5);
    date->setDate(QDate(2026, 12, 7));
  }
  QLineEdit* edit = new QLineEdit;
  QComboBox* combo = new QComboBox;
  QComboBox* editable = new QComboBox;
  QSpinBox* spin = new QSpinBox;
  QDateEdit* date = new QDateEdit;
};

TEST(WheelGuard, ABoxChangesWithTheWheelOnlyWhenItHasTheFocus) {
  installWheelGuard(test::qtApp());
  Page page;
  page.show();
  page.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
  page.edit->setFocus();

  for (QWidget* box : std::initializer_list<QWidget*>{page.combo, page.editable, page.spin, page.date}) {
    EXPECT_NE(box->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus) << box->metaObject()->className();
    wheelDown(box);
    if (auto* c = qobject_cast<QComboBox*>(box); c && c->lineEdit()) wheelDown(c->lineEdit());
  }
  EXPECT_EQ(page.combo->currentIndex(), 0);
  EXPECT_EQ(page.editable->currentIndex(), 0);
  EXPECT_EQ(page.spin->value(), 5);
  EXPECT_EQ(page.date->date(), QDate(2026, 12, 7));
  EXPECT_EQ(QApplication::focusWidget(), page.edit);

  // Tab gives the focus, and with it the wheel.
  QTest::keyClick(page.edit, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), page.combo);
  wheelDown(page.combo);
  EXPECT_EQ(page.combo->currentIndex(), 1);
  // So does a click, on an editable box in its line.
  QTest::mouseClick(page.editable->lineEdit(), Qt::LeftButton);
  ASSERT_TRUE(page.editable->hasFocus());
  wheelDown(page.editable);
  EXPECT_EQ(page.editable->currentIndex(), 1);
  page.spin->setFocus(Qt::TabFocusReason);
  wheelDown(page.spin);
  EXPECT_EQ(page.spin->value(), 4);
}

}  // namespace
}  // namespace wux

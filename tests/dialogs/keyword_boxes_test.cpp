// Every editable combo box of the search, field, batch-edit, property and name windows
// keeps what the user typed: neither an item that differs only in case nor a longer item
// that begins with the typed text may replace it; an item is taken only when picked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTabBar>
#include <QTabWidget>
#include <vector>

#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormField.h"
#include "dialogs/FormGrep.h"
#include "dialogs/FormHolder2.h"
#include "dialogs/FormName.h"
#include "dialogs/FormPropatyNode2.h"
#include "dialogs/FormScanHolders.h"
#include "dialogs/FormScanNode.h"
#include "support/RecordingPrompter.h"
#include "support/qt_app.h"

namespace wux {
namespace {

// Types `typed` into each editable box of the window after `used` was put in its list,
// leaves the box with Tab, and answers how many boxes were tried. With `pick`, the
// first offered item is picked from the completion list instead (Down, Return) and
// must be `pick`.
int typeIntoEveryBox(QWidget& window, const QStringList& used, const QString& typed, const QString& pick = {}) {
  window.show();
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  int tried = 0;
  for (QComboBox* box : window.findChildren<QComboBox*>()) {
    if (!box->isEditable()) continue;
    // Boxes on other pages of a tab widget are brought forward first, by their tabs.
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>())
      for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(box))
          QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
    if (!box->isVisible()) continue;
    for (const QString& u : used) box->insertItem(0, u);
    box->setFocus();
    QCoreApplication::processEvents();
    box->clearEditText();
    QTest::keyClicks(box->lineEdit(), typed);
    EXPECT_EQ(box->lineEdit()->text(), typed) << window.metaObject()->className() << " " << box->objectName().toStdString();
    if (!pick.isEmpty()) {
      // Keys go to the open completion list, as the window system would send them.
      QWidget* list = QApplication::activePopupWidget();
      EXPECT_NE(list, nullptr) << window.metaObject()->className();
      if (list) {
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
      }
    }
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->currentText(), pick.isEmpty() ? typed : pick)
        << window.metaObject()->className() << " " << box->objectName().toStdString();
    if (QWidget* list = QApplication::activePopupWidget()) list->hide();
    ++tried;
  }
  window.hide();
  return tried;
}

// Every window with editable boxes, each made once for a test.
struct EveryWindow {
  std::vector<QWidget*> all() { return {&scan, &scanAll, &field, &grep, &batch, &note, &notebook, &name}; }
  bool app = (test::qtApp(), true);  // before the first widget
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  TFormScanNode scan;
  TFormScanHolders scanAll;
  TFormField field;
  TFormGrep grep;
  TFormEditSelNode batch;
  TFormPropatyNode2 note;
  TFormHolder2 notebook;
  TFormName name;
};

TEST(KeywordBoxes, WhatIsTypedStaysAsTypedInEveryWindow) {
  EveryWindow windows;
  for (QWidget* w : windows.all())
    EXPECT_GT(typeIntoEveryBox(*w, {QStringLiteral("PIN")}, QStringLiteral("pin")), 0) << w->metaObject()->className();
}

TEST(KeywordBoxes, ALongerUsedTextIsOfferedNotFilledIn) {
  EveryWindow windows;
  const QStringList used{QStringLiteral("needle-1"), QStringLiteral("needle-2")};
  for (QWidget* w : windows.all()) {
    EXPECT_GT(typeIntoEveryBox(*w, used, QStringLiteral("needle")), 0) << w->metaObject()->className();
    EXPECT_GT(typeIntoEveryBox(*w, used, QStringLiteral("needle"), QStringLiteral("needle-2")), 0)
        << w->metaObject()->className();
  }
}

}  // namespace
}  // namespace wux

// Every editable combo box of the search, field, batch-edit, property and name windows
// keeps what the user typed: an item that differs only in case must not replace it
// when the box is left.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTabBar>
#include <QTabWidget>

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
// leaves the box with Tab, and answers how many boxes were tried.
int typeIntoEveryBox(QWidget& window, const QString& used, const QString& typed) {
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
    box->insertItem(0, used);
    box->setFocus();
    QCoreApplication::processEvents();
    box->clearEditText();
    QTest::keyClicks(box->lineEdit(), typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->currentText(), typed) << window.metaObject()->className() << " " << box->objectName().toStdString();
    ++tried;
  }
  window.hide();
  return tried;
}

TEST(KeywordBoxes, WhatIsTypedStaysAsTypedInEveryWindow) {
  test::qtApp();
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
  for (QWidget* w : std::initializer_list<QWidget*>{&scan, &scanAll, &field, &grep, &batch, &note, &notebook, &name})
    EXPECT_GT(typeIntoEveryBox(*w, QStringLiteral("PIN"), QStringLiteral("pin")), 0) << w->metaObject()->className();
}

}  // namespace
}  // namespace wux

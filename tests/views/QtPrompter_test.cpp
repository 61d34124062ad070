// The program's prompter: whose window a box belongs to, and what a box answers when
// that window goes while the box waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "support/qt_app.h"
#include "views/QtPrompter.h"

namespace wux {
namespace {

TEST(QtPrompter, ABoxWhoseDialogGoesWhileItWaitsIsUnanswered) {
  test::qtApp();
  QWidget main;
  QtPrompter prompter(&main);
  QPointer<QDialog> dialog = new QDialog(&main);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  const QWidget* asking = dialog.data();
  QWidget* owner = nullptr;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) owner = box->parentWidget();
    delete dialog.data();
  });
  EXPECT_EQ(prompter.messageBox("Shall I?", "", Buttons::YesNo), Answer::Cancel);
  EXPECT_EQ(owner, asking);
  EXPECT_FALSE(dialog);
}

}  // namespace
}  // namespace wux

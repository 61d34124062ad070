// The program's prompter: whose window a box belongs to, what a box answers when that
// window goes while the box waits, and its boxes as the user answers them with keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/qt_app.h"
#include "views/QtPrompter.h"

namespace wux {
namespace {

// Answers the next modal box with a key, as a user at the keyboard would; the caption of
// its default button goes to `defaultText` first, when asked for and the box has one.
void pressInNextBox(Qt::Key key, QString* defaultText = nullptr) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, key, defaultText] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    timer->stop();
    timer->deleteLater();
    if (auto* box = qobject_cast<QMessageBox*>(w); box && defaultText && box->defaultButton())
      *defaultText = box->defaultButton()->text();
    QTest::keyClick(w, key);
  });
  timer->start(10);
}

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
  EXPECT_EQ(prompter.messageBox("Shall I?", "", Buttons::YesNo), Answer::No);
  EXPECT_EQ(owner, asking);
  EXPECT_FALSE(dialog);
}

TEST(QtPrompter, EnterPressesTheDefaultTheQuestionNames) {
  test::qtApp();
  QtPrompter p;
  QString shown;
  pressInNextBox(Qt::Key_Return, &shown);
  EXPECT_EQ(p.messageBox("Save over it?", "", Buttons::YesNo, Answer::No), Answer::No);
  EXPECT_EQ(shown, QMessageBox(QMessageBox::NoIcon, "", "", QMessageBox::No).button(QMessageBox::No)->text());
  pressInNextBox(Qt::Key_Return);
  EXPECT_EQ(p.messageBox("Reload anyway?", "", Buttons::OKCancel, Answer::Cancel), Answer::Cancel);
  // Without a named default the first button keeps it, and the save question keeps Yes.
  pressInNextBox(Qt::Key_Return);
  EXPECT_EQ(p.messageBox("Go on?", "", Buttons::YesNo), Answer::Yes);
  pressInNextBox(Qt::Key_Return);
  EXPECT_EQ(p.messageBox("Save?", "", Buttons::YesNoCancelAll), Answer::Yes);
  pressInNextBox(Qt::Key_Return);
  EXPECT_EQ(p.messageBox("Save all?", "", Buttons::YesNoCancelAll, Answer::YesToAll), Answer::YesToAll);
}

TEST(QtPrompter, AQuestionWhoseSafeAnswerIsNoTakesNoFromEnterAndEscape) {
  test::qtApp();
  QtPrompter p;
  pressInNextBox(Qt::Key_Return);
  EXPECT_EQ(p.messageBox("Overwrite it?", "", Buttons::YesNo, Answer::No), Answer::No);
  pressInNextBox(Qt::Key_Escape);
  EXPECT_EQ(p.messageBox("Overwrite it?", "", Buttons::YesNo, Answer::No), Answer::No);
  pressInNextBox(Qt::Key_Y);  // the Yes button's own key still answers Yes
  EXPECT_EQ(p.messageBox("Overwrite it?", "", Buttons::YesNo, Answer::No), Answer::Yes);
}

// What the next modal box shows: its icon, its buttons' captions and its default's.
struct Shown {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString byDefault;
};

// Clicks the button captioned `caption` in the next modal box with the mouse, noting
// what the box shows first.
void clickInNextBox(const QString& caption, Shown& shown) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, caption, &shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    shown.icon = box->icon();
    if (box->defaultButton()) shown.byDefault = box->defaultButton()->text();
    for (QAbstractButton* b : box->buttons()) {
      shown.buttons << b->text();
      if (b->text() == caption) QTest::mouseClick(b, Qt::LeftButton);
    }
  });
  timer->start(10);
}

QString standardText(QMessageBox::StandardButton b) {
  return QMessageBox(QMessageBox::NoIcon, "", "", b).button(b)->text();
}

TEST(QtPrompter, EveryButtonSetShowsItsButtonsAndIconAndAnswersWithTheOneClicked) {
  test::qtApp();
  QtPrompter p;
  Shown shown;
  clickInNextBox(standardText(QMessageBox::Ignore), shown);
  EXPECT_EQ(p.messageBox("Disk busy", "", Buttons::AbortRetryIgnore, Answer::Retry, BoxKind::Error), Answer::Ignore);
  EXPECT_EQ(shown.icon, QMessageBox::Critical);
  EXPECT_EQ(shown.byDefault, standardText(QMessageBox::Retry));
  EXPECT_EQ(shown.buttons.size(), 3);
  EXPECT_TRUE(shown.buttons.contains(standardText(QMessageBox::Abort)));

  shown = {};
  clickInNextBox("&Continue", shown);
  EXPECT_EQ(p.messageBox("Go?", "", Buttons::CancelTryContinue, Answer::TryAgain, BoxKind::None), Answer::Continue);
  EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
  EXPECT_EQ(shown.byDefault, "&Try Again");
  EXPECT_EQ(shown.buttons.size(), 3);

  shown = {};
  clickInNextBox(standardText(QMessageBox::Retry), shown);
  EXPECT_EQ(p.messageBox("Again?", "", Buttons::RetryCancel, BoxKind::Warning), Answer::Retry);
  EXPECT_EQ(shown.icon, QMessageBox::Warning);
  EXPECT_EQ(shown.buttons.size(), 2);

  // Each kind has its icon; without one, a lone OK informs and a choice asks.
  for (auto [kind, icon] : std::vector<std::pair<BoxKind, QMessageBox::Icon>>{
           {BoxKind::Information, QMessageBox::Information}, {BoxKind::Warning, QMessageBox::Warning},
           {BoxKind::Confirmation, QMessageBox::Question}, {BoxKind::Error, QMessageBox::Critical},
           {BoxKind::ByButtons, QMessageBox::Information}}) {
    shown = {};
    clickInNextBox(standardText(QMessageBox::Ok), shown);
    EXPECT_EQ(p.messageBox("Note", "", Buttons::OK, kind), Answer::OK);
    EXPECT_EQ(shown.icon, icon);
  }
  shown = {};
  clickInNextBox(standardText(QMessageBox::No), shown);
  EXPECT_EQ(p.messageBox("Sure?", "", Buttons::YesNo), Answer::No);
  EXPECT_EQ(shown.icon, QMessageBox::Question);

  // Escape gives the safe answer: Abort where there is no Cancel.
  pressInNextBox(Qt::Key_Escape);
  EXPECT_EQ(p.messageBox("Disk busy", "", Buttons::AbortRetryIgnore, Answer::Retry, BoxKind::Error), Answer::Abort);
  pressInNextBox(Qt::Key_Escape);
  EXPECT_EQ(p.messageBox("Go?", "", Buttons::CancelTryContinue), Answer::Cancel);
}

}  // namespace
}  // namespace wux

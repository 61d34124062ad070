// The program's prompter: whose window a box belongs to, what a box answers when that
// window goes while the box waits, and its boxes as the user answers them with keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QDialogButtonBox>
#include <QLayout>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>

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

// Clicks the button captioned `caption` in the next modal box with the mouse, after
// noting the box's icon and the caption of its default button.
void clickInNextBox(const QString& caption, QMessageBox::Icon& icon, QString& byDefault) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, caption, &icon, &byDefault] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    icon = box->icon();
    byDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
    for (QAbstractButton* b : box->buttons())
      if (b->text() == caption) QTest::mouseClick(b, Qt::LeftButton);
  });
  timer->start(10);
}

TEST(QtPrompter, EveryButtonSetShowsItsIconAndAnswersWithTheButtonClicked) {
  test::qtApp();
  QtPrompter p;
  auto caption = [](QMessageBox::StandardButton b) { return QMessageBox(QMessageBox::NoIcon, "", "", b).button(b)->text(); };
  QMessageBox::Icon icon;
  QString byDefault;
  clickInNextBox(caption(QMessageBox::Ignore), icon, byDefault);
  EXPECT_EQ(p.messageBox("Disk busy", "", Buttons::AbortRetryIgnore, Answer::Retry, BoxKind::Error), Answer::Ignore);
  EXPECT_EQ(std::make_pair(icon, byDefault), std::make_pair(QMessageBox::Critical, caption(QMessageBox::Retry)));
  clickInNextBox("&Continue", icon, byDefault);
  EXPECT_EQ(p.messageBox("Go?", "", Buttons::CancelTryContinue, Answer::TryAgain, BoxKind::None), Answer::Continue);
  EXPECT_EQ(std::make_pair(icon, byDefault), std::make_pair(QMessageBox::NoIcon, QString("&Try Again")));
  // Each kind has its icon; without one, a lone OK informs and a choice asks.
  for (auto [buttons, kind, want] : std::vector<std::tuple<Buttons, BoxKind, QMessageBox::Icon>>{
           {Buttons::RetryCancel, BoxKind::Warning, QMessageBox::Warning},
           {Buttons::OK, BoxKind::Information, QMessageBox::Information},
           {Buttons::OK, BoxKind::Confirmation, QMessageBox::Question},
           {Buttons::OK, BoxKind::ByButtons, QMessageBox::Information},
           {Buttons::OKCancel, BoxKind::ByButtons, QMessageBox::Question}}) {
    clickInNextBox(caption(buttons == Buttons::OK ? QMessageBox::Ok : QMessageBox::Cancel), icon, byDefault);
    EXPECT_EQ(p.messageBox("Note", "", buttons, kind), buttons == Buttons::OK ? Answer::OK : Answer::Cancel);
    EXPECT_EQ(icon, want);
  }
  // Escape gives the safe answer: Abort where there is no Cancel.
  pressInNextBox(Qt::Key_Escape);
  EXPECT_EQ(p.messageBox("Disk busy", "", Buttons::AbortRetryIgnore, Answer::Retry, BoxKind::Error), Answer::Abort);
}

// A desktop's button layout, as the style of a box's button row hands it over.
class DesktopLayout : public QProxyStyle {
 public:
  explicit DesktopLayout(int layout) : layout_(layout) {}
  int styleHint(StyleHint hint, const QStyleOption* o, const QWidget* w, QStyleHintReturn* r) const override {
    return hint == SH_DialogButtonLayout ? layout_ : QProxyStyle::styleHint(hint, o, w, r);
  }

 private:
  int layout_;
};

TEST(QtPrompter, TheButtonsStandInTheOrderTheFlagsNameThemUnderEveryDesktop) {
  test::qtApp();
  QtPrompter p;
  auto caption = [](QMessageBox::StandardButton b) { return QMessageBox(QMessageBox::NoIcon, "", "", b).button(b)->text(); };
  const QString abort = caption(QMessageBox::Abort), retry = caption(QMessageBox::Retry),
                ignore = caption(QMessageBox::Ignore), cancel = caption(QMessageBox::Cancel);
  const std::vector<std::pair<Buttons, QStringList>> sets{
      {Buttons::AbortRetryIgnore, {abort, retry, ignore}},
      {Buttons::YesNoCancel, {caption(QMessageBox::Yes), caption(QMessageBox::No), cancel}},
      {Buttons::RetryCancel, {retry, cancel}},
      {Buttons::CancelTryContinue, {cancel, "&Try Again", "&Continue"}}};
  for (int layout : {QDialogButtonBox::WinLayout, QDialogButtonBox::MacLayout, QDialogButtonBox::KdeLayout,
                     QDialogButtonBox::GnomeLayout}) {
    DesktopLayout desktop(layout);
    for (const auto& [buttons, want] : sets) {
      QStringList shown;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        auto* row = box->findChild<QDialogButtonBox*>();
        row->setStyle(&desktop);
        QList<QAbstractButton*> inRow = row->buttons();
        std::sort(inRow.begin(), inRow.end(), [row](QAbstractButton* a, QAbstractButton* b) {
          return row->layout()->indexOf(a) < row->layout()->indexOf(b);
        });
        for (QAbstractButton* b : inRow) shown << b->text();
        QTest::keyClick(box, Qt::Key_Escape);
      });
      EXPECT_EQ(p.messageBox("Which?", "", buttons), safeAnswer(buttons));
      EXPECT_EQ(shown, want) << "layout " << layout;
    }
  }
}

}  // namespace
}  // namespace wux

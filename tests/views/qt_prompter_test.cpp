// The program's message boxes as the user answers them: Enter presses the default button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/qt_app.h"
#include "views/QtPrompter.h"

namespace wux {
namespace {

// Asks through the Qt prompter and answers with Enter on the box as it shows.
Answer enterOn(const std::function<Answer(QtPrompter&)>& ask, QString* defaultText = nullptr) {
  test::qtApp();
  QtPrompter p;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer.stop();
    if (defaultText && box->defaultButton()) *defaultText = box->defaultButton()->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  timer.start(10);
  return ask(p);
}

TEST(QtPrompter, EnterPressesTheDefaultTheQuestionNames) {
  QString shown;
  EXPECT_EQ(enterOn([](QtPrompter& p) { return p.messageBox("Save over it?", "", Buttons::YesNo, Answer::No); },
                    &shown),
            Answer::No);
  EXPECT_EQ(shown, QMessageBox(QMessageBox::NoIcon, "", "", QMessageBox::No).button(QMessageBox::No)->text());
  EXPECT_EQ(enterOn([](QtPrompter& p) {
              return p.messageBox("Reload anyway?", "", Buttons::OKCancel, Answer::Cancel);
            }),
            Answer::Cancel);
  // Without a named default the first button keeps it, and the save question keeps Yes.
  EXPECT_EQ(enterOn([](QtPrompter& p) { return p.messageBox("Go on?", "", Buttons::YesNo); }), Answer::Yes);
  EXPECT_EQ(enterOn([](QtPrompter& p) { return p.messageBox("Save?", "", Buttons::YesNoCancelAll); }), Answer::Yes);
  EXPECT_EQ(enterOn([](QtPrompter& p) {
              return p.messageBox("Save all?", "", Buttons::YesNoCancelAll, Answer::YesToAll);
            }),
            Answer::YesToAll);
}

}  // namespace
}  // namespace wux

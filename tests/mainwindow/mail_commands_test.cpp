// The mail windows open through the command table, filled from what is current.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "dialogs/MailForms.h"
#include "form_fixture.h"
#include "views/CommandTable.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {
namespace {

class MailCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  MailCommandsTest() : FormTest({2026, 12, 6, 21, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  template <class Window>
  Window* shownWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* win = qobject_cast<Window*>(top); win && win->isVisible()) return win;
    return nullptr;
  }
};

TEST_F(MailCommandsTest, SendAndReceiveWindowsOpenThroughTheTable) {
  CommandTable& table = form->commands();
  EXPECT_EQ(table.state("UISendMail"), CommandTable::State::Built);
  EXPECT_EQ(table.state("UIReciveMail"), CommandTable::State::Built);

  ASSERT_NE(form->getCurrentNode(), nullptr);
  EXPECT_EQ(table.run("UISendMail"), 0);
  auto* send = shownWindow<TFormSendMail2>();
  ASSERT_NE(send, nullptr);
  EXPECT_EQ(fromQ(send->edit("Subject")->text()), form->getCurrentNode()->name());
  send->hide();

  EXPECT_EQ(table.run("UIReciveMail"), 0);
  EXPECT_NE(shownWindow<TFormReciveMail1>(), nullptr);
  EXPECT_EQ(status().rfind("Show FormReciveMail ", 0), 0u) << status();
}

}  // namespace
}  // namespace wux

// The mail windows open through the command table, filled from what is current.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "dialogs/MailForms.h"
#include "form_fixture.h"
#include "support/linked_notes.h"
#include "support/mail_servers.h"
#include "views/CommandTable.h"
#include "views/MemoHolderUI.h"
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

TEST_F(MailCommandsTest, NothingOfANoteWhoseLinkedFileCannotBeReadIsOffered) {
  const std::string gone = "/nonexistent-wux-folder/gone.txt";
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(test::addLinkedNote(*form->getCurrentHolder(), "gone", gone)));
  EXPECT_EQ(form->commands().run("UISendMail"), kResultFailed);
  EXPECT_EQ(status(), "Failure: gone: not found: " + gone);
  EXPECT_EQ(shownWindow<TFormSendMail2>(), nullptr);
}

// Received mail becomes notes of the current notebook; in every view the last of them is
// then the note of the window, the notebook, the view and the editor alike, so what is
// typed next goes to the note the view shows.
TEST_F(MailCommandsTest, TheLastReceivedNoteIsCurrentEverywhere) {
  test::Pop3Server pop({"Subject: first\n\n1\n", "Subject: second\n\n2\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  for (const char* view : {"changeCheckListBox_", "changeTreeView_", "changeListView_"}) {
    form->commands().run(view);
    ASSERT_EQ(form->commands().run("UIReciveMail"), 0);
    auto* r = shownWindow<TFormReciveMail1>();
    ASSERT_NE(r, nullptr);
    r->edit("POP3Server")->setText(toQ(pop.server()));
    r->edit("UserID")->setText(toQ(test::Pop3Server::kUser));
    r->edit("Password")->setText(toQ(test::Pop3Server::kPassword));
    r->Recive();
    EXPECT_EQ(r->statusPanel(1), "Success") << view;
    EXPECT_EQ(test::currentEverywhere(*form), "second second second second") << view;
    MemoNode* made = form->getCurrentNode();
    form->getHolderFrame()->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("typed"));
    form->UI2Model();
    EXPECT_EQ(made->body().text(), "typed\r\n") << view;
    std::string actual;
    made->putName_("read " + std::string(view), actual);  // the next round's "second" is new
  }
}

}  // namespace
}  // namespace wux

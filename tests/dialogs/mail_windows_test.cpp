#include "dialogs/MailWindows.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/qtext.h"

using namespace wux;
using test::FakeMainWindow;

TEST(MailCommands, SendWindowNeedsANoteAndIsMadeOnce) {
  test::qtApp();
  FakeMainWindow w;
  w.addNotebook("book");
  MailWindows windows;
  EXPECT_EQ(UISendMail(w, windows), kResultUIReadOnly);
  EXPECT_FALSE(windows.hasSendWindow());

  w.addNote("first")->body().add("hello");
  EXPECT_EQ(UISendMail(w, windows), 0);
  TFormSendMail2* f = windows.sendWindow();
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(fromQ(f->edit("Subject")->text()), "first");
  EXPECT_EQ(fromQ(f->memo()->toPlainText()), "hello");
  EXPECT_GT(w.commits, 0);

  // The same window, filled again from the note now current.
  w.addNote("second");
  EXPECT_EQ(UISendMail(w, windows), 0);
  EXPECT_EQ(windows.sendWindow(), f);
  EXPECT_EQ(fromQ(f->edit("Subject")->text()), "second");
}

TEST(MailCommands, ReceiveWindowIsFilledAndSaysSo) {
  test::qtApp();
  FakeMainWindow w;
  w.addNotebook("book")->putField_("POP3Server", "\"pop.example.jp\"");
  MailWindows windows;
  EXPECT_EQ(UIReciveMail(w, windows), 0);
  EXPECT_EQ(fromQ(windows.receiveWindow()->edit("POP3Server")->text()), "pop.example.jp");
  EXPECT_EQ(w.status(), "Show FormReciveMail ");
}

TEST(MailCommands, WindowsGoWithTheirParentOrWithTheKeeper) {
  test::qtApp();
  FakeMainWindow w;
  w.addNotebook("book");
  w.addNote("n");
  auto parent = std::make_unique<QWidget>();
  MailWindows windows(parent.get());
  UISendMail(w, windows);
  UIReciveMail(w, windows);
  parent.reset();
  EXPECT_FALSE(windows.hasSendWindow());
  EXPECT_FALSE(windows.hasReceiveWindow());
}

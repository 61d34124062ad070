#include "dialogs/MailForms.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <regex>
#include <thread>

#include "model/clock.h"
#include "model/jcode.h"
#include "model/mail.h"
#include "model/records/RecordFiles.h"
#include "platform/textconv.h"
#include "support/fake_main_window.h"
#include "support/mail_servers.h"
#include "support/qt_app.h"
#include "views/qtext.h"

using namespace wux;
using test::FakeMainWindow;
using test::Pop3Server;
using test::SmtpSink;

namespace {

class MailFormTest : public ::testing::Test {
 protected:
  MailFormTest() {
    test::qtApp();
    setClock(&clock);
    w.addNotebook("book");
    options.connectTimeoutSeconds = 5;
    options.totalTimeoutSeconds = 20;
  }
  ~MailFormTest() override { setClock(nullptr); }

  template <class Form>
  void link(Form& form) {
    form.setMainWindow(&w);
    form.setMailOptions(options);
    form.fill();
    form.show();
  }
  static std::string field(const MemoBasic& r, const std::string& key) { return r.getField_(key); }
  static void type(MailFormBase& f, const std::string& key, const std::string& utf8) {
    f.edit(key)->setText(QString::fromUtf8(utf8.c_str()));
  }
  static std::string shown(MailFormBase& f, const std::string& key) { return fromQ(f.edit(key)->text()); }
  // Clicks the window's button of that caption, as the user does.
  static void press(QWidget& f, const char* caption) {
    auto* b = f.findChild<QPushButton*>(QString::fromLatin1(caption));
    ASSERT_NE(b, nullptr) << caption;
    QTest::mouseClick(b, Qt::LeftButton);
  }
  // The receive window, linked, with the account of `pop` typed in.
  void signIn(TFormReciveMail1& r, const Pop3Server& pop, const std::string& password = Pop3Server::kPassword) {
    link(r);
    type(r, "POP3Server", pop.server());
    type(r, "UserID", Pop3Server::kUser);
    type(r, "Password", password);
  }

  FixedClock clock{DateTime{2026, 12, 6, 21, 5, 9, 120}};
  platform::MailOptions options;
  FakeMainWindow w;
};

// A loopback SMTP server that answers one connection at a time and remembers whether
// one is open and which commands came, so a test sees a connection being held.
class HeldSmtp : public test::LoopbackServer {
 public:
  HeldSmtp() { start(); }
  ~HeldSmtp() override { finish(); }
  // Waits up to two seconds for the connection to be open (or closed).
  bool waitOpen(bool wanted) const {
    for (int i = 0; i < 100 && open_ != wanted; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return open_ == wanted;
  }
  int connections() const { return connections_; }
  int messages() const { return messages_; }
  // Closes the open connection, as a server does with an idle one.
  void drop() { drop_ = true; }
  std::vector<std::string> commands() {
    std::lock_guard<std::mutex> g(lock_);
    return commands_;
  }

 private:
  void session(int c) override {
    ++connections_;
    open_ = true;
    auto say = [c](const char* text) { return ::send(c, text, std::strlen(text), MSG_NOSIGNAL) > 0; };
    say("220 held\r\n");
    std::string line;
    char ch;
    bool inData = false;
    while (!stop_ && !drop_.exchange(false)) {
      pollfd q{c, POLLIN, 0};
      if (::poll(&q, 1, 50) <= 0) continue;
      if (::recv(c, &ch, 1, 0) != 1) break;
      if (ch != '\n') {
        if (ch != '\r') line += ch;
        continue;
      }
      if (inData) {
        // The message ends with a lone dot; its lines are not commands.
        inData = line != ".";
        if (!inData) {
          ++messages_;
          say("250 stored\r\n");
        }
        line.clear();
        continue;
      }
      {
        std::lock_guard<std::mutex> g(lock_);
        commands_.push_back(line);
      }
      const bool quit = line == "QUIT";
      inData = line == "DATA";
      say(quit ? "221 bye\r\n" : inData ? "354 go on\r\n" : "250 held\r\n");
      line.clear();
      if (quit) break;
    }
    ::close(c);
    open_ = false;
  }
  std::atomic<bool> open_{false}, drop_{false};
  std::atomic<int> connections_{0}, messages_{0};
  std::mutex lock_;
  std::vector<std::string> commands_;
};

std::string closedServer() { return "127.0.0.1:" + std::to_string(test::freeLoopbackPort()); }

}  // namespace

// ---- send window

TEST_F(MailFormTest, SendFillTakesInheritedValuesAndFallsBackToTheNoteName) {
  MemoNodeUI* note = w.addNote(sj("打ち合わせ"));
  w.doc->putField_("To", "\"doc@example.jp\"");
  w.holder->putField_("SMTPServer", "\"smtp.example.jp\"");
  w.holder->putField_("To", "\"book@example.jp\"");
  note->putField_("CC", "\"cc@example.jp\"");
  note->putField_("DateTimeSended", "\"20261201 10000000\"");
  w.holder->putField_("DateTimeSended", "\"not inherited\"");
  note->body().add(sj("一行目"));
  TFormSendMail2 f;
  link(f);
  EXPECT_EQ(shown(f, "SMTPServer"), "smtp.example.jp");
  EXPECT_EQ(shown(f, "To"), "book@example.jp");
  EXPECT_EQ(shown(f, "CC"), "cc@example.jp");
  EXPECT_EQ(shown(f, "DateTimeSended"), "20261201 10000000");
  EXPECT_EQ(shown(f, "Subject"), sj("打ち合わせ"));
  EXPECT_EQ(fromQ(f.memo()->toPlainText()), sj("一行目"));

  w.doc->putField_("Subject", "\"from the document\"");
  f.fill();
  EXPECT_EQ(shown(f, "Subject"), "from the document");
  w.holder->putField_("Subject", "\"from the notebook\"");
  note->putField_("Subject", "\"from the note\"");
  f.fill();
  EXPECT_EQ(shown(f, "Subject"), "from the note");
}

TEST_F(MailFormTest, SetNodeWritesTheWindowIntoTheNoteAfterCommittingTheEditor) {
  MemoNodeUI* note = w.addNote("old name");
  note->putField_("To", "\"old@example.jp\"");
  w.holder->putField_("To", "\"book@example.jp\"");
  TFormSendMail2 f;
  link(f);
  type(f, "To", "   ");
  type(f, "From", "  me@example.jp ");
  type(f, "Subject", " 新しい件名 ");
  f.memo()->setPlainText(QString::fromUtf8("本文\nsecond"));
  const int commitsBefore = w.commits;
  f.SetNode();
  EXPECT_GT(w.commits, commitsBefore);
  EXPECT_GT(w.shows, 0);
  EXPECT_EQ(field(*note, "To"), "");
  EXPECT_EQ(note->fieldList()->indexOfName("To"), -1);
  EXPECT_EQ(field(*note, "From"), "\"me@example.jp\"");
  EXPECT_EQ(note->name(), sj("新しい件名"));
  EXPECT_EQ(note->body().text(), sj("本文\r\nsecond\r\n"));
  EXPECT_TRUE(w.holder->modified);
  f.fill();
  EXPECT_EQ(shown(f, "To"), "book@example.jp");

  // An empty subject keeps the name.
  type(f, "Subject", "");
  f.SetNode();
  EXPECT_EQ(note->name(), sj("新しい件名"));
}

TEST_F(MailFormTest, SetHolderWritesAddressesButNotSubjectDateOrBody) {
  w.addNote("n");
  TFormSendMail2 f;
  link(f);
  type(f, "SMTPServer", " smtp.example.jp ");
  type(f, "To", "to@example.jp");
  type(f, "DateTimeSended", "20261206");
  f.SetHolder();
  EXPECT_EQ(field(*w.holder, "SMTPServer"), "\"smtp.example.jp\"");
  EXPECT_EQ(field(*w.holder, "To"), "\"to@example.jp\"");
  EXPECT_EQ(field(*w.holder, "Subject"), "");
  EXPECT_EQ(field(*w.holder, "DateTimeSended"), "");
  EXPECT_TRUE(w.holder->modified);

  w.holderReadOnly = true;
  w.holder->modified = false;
  type(f, "To", "other@example.jp");
  f.SetHolder();
  EXPECT_EQ(field(*w.holder, "To"), "\"to@example.jp\"");
  EXPECT_FALSE(w.holder->modified);
}

TEST_F(MailFormTest, SentNoteArrivesWithItsHeadersAndJapaneseBody) {
  SmtpSink sink;
  if (!sink.available()) GTEST_SKIP() << sink.reason();
  MemoNodeUI* note = w.addNote("note");
  for (const char* line : {"こんにちは、テストです。", "ASCII only", "", "ﾊﾝｶｸ混じり"}) note->body().add(sj(line));
  note->putField_("SMTPServer", "\"" + sink.server() + "\"");
  note->putField_("To", "\"to1@example.jp\"");
  note->putField_("CC", "\"cc@example.jp\"");
  note->putField_("BCC", "\"secret@example.jp\"");
  note->putField_("From", "\"Taro <taro@example.jp>\"");
  note->putField_("Subject", QuoteValue(sj("テスト件名")));
  const std::string noteBefore = note->body().text();
  TFormSendMail2 f;
  link(f);
  f.Connect();
  EXPECT_EQ(f.statusPanel(0), "Connect");
  w.breakFlag = true;
  f.Send();
  EXPECT_EQ(f.statusPanel(1), "Connect Faile: stopped by Break");
  EXPECT_EQ(sink.count(), 0);
  w.breakFlag = false;
  f.Send();
  ASSERT_EQ(sink.count(), 1) << f.statusPanel(1);
  EXPECT_EQ(f.statusPanel(1), "Success");
  EXPECT_EQ(f.statusPanel(0), "Connect");  // the connection Connect opened stays
  EXPECT_TRUE(f.connected());
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(w.doing);

  const std::string msg = sink.message(1);
  EXPECT_NE(msg.find("\r\nSubject: =?iso-2022-jp?B?GyRCJUYlOSVIN29MPhsoSg==?=\r\n"), std::string::npos);
  EXPECT_NE(msg.find("From: Taro <taro@example.jp>\r\n"), std::string::npos);
  EXPECT_NE(msg.find("\r\nTo: to1@example.jp\r\n"), std::string::npos);
  EXPECT_NE(msg.find("\r\nCc: cc@example.jp\r\n"), std::string::npos);
  EXPECT_NE(msg.find("\r\nX-Mailer: wux.exe 001103\r\n"), std::string::npos);
  EXPECT_EQ(msg.find("secret@example.jp"), std::string::npos);
  EXPECT_EQ(sink.recipients(1), "to1@example.jp\ncc@example.jp\nsecret@example.jp\n");
  EXPECT_EQ(sink.sender(1), "taro@example.jp\n");
  const std::regex date(R"(\r\nDate: [A-Z][a-z]{2}, \d{1,2} [A-Z][a-z]{2} \d{4}  \d\d:\d\d:\d\d [+-]\d{4}\r\n)");
  EXPECT_TRUE(std::regex_search(msg, date));
  EXPECT_NE(msg.find("Date: Sun, 6 Dec 2026  21:05:09 "), std::string::npos);

  IncomingMail back = ParseMailText(msg);
  EXPECT_EQ(back.subject, sj("テスト件名"));
  // Half-width kana travel widened, as the mail encoding has no room for them.
  EXPECT_EQ(platform::sjisToUtf8(back.body.text()), "こんにちは、テストです。\r\nASCII only\r\n\r\nハンカク混じり\r\n");
  // Sending leaves the note as it was; the date waits in the window for Set Node.
  EXPECT_EQ(note->body().text(), noteBefore);
  EXPECT_EQ(field(*note, "DateTimeSended"), "");
  EXPECT_EQ(shown(f, "DateTimeSended"), "20261206 21050912");
}

TEST_F(MailFormTest, ConnectHoldsTheConnectionUntilDisconnect) {
  HeldSmtp server;
  MemoNodeUI* note = w.addNote("note");
  note->putField_("SMTPServer", QuoteValue(server.server()));
  TFormSendMail2 f;
  link(f);
  press(f, "Connect");
  EXPECT_EQ(f.statusPanel(0), "Connect");
  EXPECT_TRUE(f.connected());
  ASSERT_TRUE(server.waitOpen(true));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(server.waitOpen(true)) << "the connection ended without a Disconnect";
  EXPECT_EQ(server.connections(), 1);

  press(f, "Disconnect");
  EXPECT_EQ(f.statusPanel(0), "Disconnect");
  EXPECT_FALSE(f.connected());
  EXPECT_TRUE(server.waitOpen(false));
  const std::vector<std::string> said = server.commands();
  EXPECT_NE(std::find(said.begin(), said.end(), "QUIT"), said.end());

  // Connect while connected closes the old connection before opening a new one.
  press(f, "Connect");
  press(f, "Connect");
  ASSERT_TRUE(server.waitOpen(true));
  EXPECT_EQ(server.connections(), 3);
  press(f, "Disconnect");
  EXPECT_TRUE(server.waitOpen(false));
}

TEST_F(MailFormTest, SendsGoOverTheConnectionConnectHoldsAndKeepIt) {
  HeldSmtp server;
  MemoNodeUI* note = w.addNote("note");
  note->body().add("text");
  note->putField_("SMTPServer", QuoteValue(server.server()));
  note->putField_("To", "\"to@example.jp\"");
  TFormSendMail2 f;
  link(f);
  press(f, "Connect");
  ASSERT_TRUE(server.waitOpen(true));
  for (int n = 1; n <= 2; ++n) {
    f.show();  // the Send button hides the window; the user shows it again
    press(f, "Send");
    EXPECT_EQ(f.statusPanel(1), "Success") << n;
    EXPECT_EQ(server.messages(), n);
    EXPECT_TRUE(f.connected());
    EXPECT_EQ(f.statusPanel(0), "Connect");
  }
  EXPECT_EQ(server.connections(), 1);
  EXPECT_TRUE(server.waitOpen(true));

  // A server that closed the idle connection is reached again by the next send.
  server.drop();
  ASSERT_TRUE(server.waitOpen(false));
  f.show();
  press(f, "Send");
  EXPECT_EQ(f.statusPanel(1), "Success");
  EXPECT_EQ(server.messages(), 3);
  EXPECT_EQ(server.connections(), 2);

  press(f, "Disconnect");
  EXPECT_TRUE(server.waitOpen(false));
  const std::vector<std::string> said = server.commands();
  EXPECT_EQ(said.back(), "QUIT");
  EXPECT_EQ(std::count(said.begin(), said.end(), "NOOP"), 1);
}

TEST_F(MailFormTest, ASendConnectsFirstAndSaysSo) {
  SmtpSink sink;
  if (!sink.available()) GTEST_SKIP() << sink.reason();
  MemoNodeUI* note = w.addNote("note");
  note->body().add("text");
  note->putField_("SMTPServer", QuoteValue(sink.server()));
  note->putField_("To", "\"to@example.jp\"");
  TFormSendMail2 f;
  std::vector<std::string> panels;
  options.isBreak = [&] {
    panels.push_back(f.statusPanel(0));
    return false;
  };
  link(f);
  press(f, "Send");
  ASSERT_EQ(sink.count(), 1) << f.statusPanel(1);
  ASSERT_FALSE(panels.empty());
  EXPECT_EQ(panels.back(), "Connect");
  EXPECT_EQ(f.statusPanel(0), "Disconnect");
  EXPECT_FALSE(f.connected());
}

TEST_F(MailFormTest, FailedSendKeepsTheWindowAndSaysWhy) {
  MemoNodeUI* note = w.addNote("note");
  note->body().add("text");
  note->putField_("SMTPServer", QuoteValue(closedServer()));
  note->putField_("To", "\"to@example.jp\"");
  TFormSendMail2 f;
  link(f);
  f.Send();
  EXPECT_EQ(f.statusPanel(1).rfind("Connect Faile: cannot connect to 127.0.0.1:", 0), 0u) << f.statusPanel(1);
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(w.doing);
  EXPECT_EQ(shown(f, "DateTimeSended"), "");
  EXPECT_EQ(note->body().text(), "text\r\n");

  f.Connect();
  EXPECT_EQ(f.statusPanel(1).rfind("Connect Faile", 0), 0u);
  EXPECT_EQ(f.statusPanel(0), "");
}

TEST_F(MailFormTest, NothingHappensWithoutALinkOrANote) {
  TFormSendMail2 f;
  f.Send();
  f.SetNode();
  f.setMainWindow(&w);
  f.fill();
  f.SetNode();
  EXPECT_EQ(shown(f, "Subject"), "");
  EXPECT_EQ(w.holder->getNodeCount_(), 0);
  TFormReciveMail1 r;
  r.Recive();
  r.SetHolder();
  EXPECT_EQ(field(*w.holder, "POP3Server"), "");
}

// ---- receive window

TEST_F(MailFormTest, ReceiveFillReadsNotebookThenDocumentAndTheOlderServerKey) {
  w.addNote("n");
  w.holder->putField_("POPServer", "\"pop.old.jp\"");
  w.doc->putField_("UserID", "\"docuser\"");
  w.doc->putField_("DeleteOnRead", "\"true\"");
  TFormReciveMail1 r;
  link(r);
  EXPECT_EQ(shown(r, "POP3Server"), "pop.old.jp");
  EXPECT_EQ(shown(r, "UserID"), "docuser");
  EXPECT_TRUE(r.deleteOnRead()->isChecked());
  EXPECT_EQ(r.edit("Password")->echoMode(), QLineEdit::Password);

  w.doc->putField_("POP3Server", "\"pop.doc.jp\"");
  w.node->putField_("DeleteOnRead", "\"false\"");
  r.fill();
  EXPECT_EQ(shown(r, "POP3Server"), "pop.doc.jp");
  EXPECT_FALSE(r.deleteOnRead()->isChecked());
}

TEST_F(MailFormTest, ReceiveSettingsAreStoredQuotedUntrimmedAndNeverThePassword) {
  w.addNote("n");
  TFormReciveMail1 r;
  link(r);
  type(r, "POP3Server", " pop.example.jp ");
  type(r, "UserID", "");
  type(r, "Password", "do-not-keep");
  r.SetHolder();
  EXPECT_EQ(field(*w.holder, "POP3Server"), "\" pop.example.jp \"");
  EXPECT_EQ(field(*w.holder, "UserID"), "\"\"");
  EXPECT_FALSE(r.isVisible());
  r.show();
  type(r, "UserID", "me");
  r.SetMemoFile();
  EXPECT_EQ(field(*w.doc, "UserID"), "\"me\"");
  EXPECT_TRUE(w.doc->modified);
  for (const MemoBasic* rec : {static_cast<const MemoBasic*>(w.doc.get()), static_cast<const MemoBasic*>(w.holder)})
    EXPECT_EQ(rec->fieldList()->text().find("do-not-keep"), std::string::npos);
}

TEST_F(MailFormTest, WaitingMessagesBecomeNotesInMailboxOrder) {
  Pop3Server pop({"From: =?ISO-2022-JP?B?GyRCQkBPOhsoQg==?= <taro@example.jp>\n"
                  "Subject: =?ISO-2022-JP?B?GyRCOVYxaTJxGyhC?=\n"
                  "Content-Type: text/plain; charset=ISO-2022-JP\n\n"
                  "\x1b$B$3$s$K$A$O\x1b(B\nsecond line\n",
                  "From: b@example.jp\nSubject: second\n\n",
                  "From: c@example.jp\nSubject: third\n\nlast\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  w.addNote("existing");
  TFormReciveMail1 r;
  signIn(r, pop);
  r.Connect();
  EXPECT_EQ(r.statusPanel(0), "Conect");
  EXPECT_EQ(r.statusPanel(1), "3 message in your mailbox");
  r.Recive();
  EXPECT_EQ(r.statusPanel(1), "Success");
  EXPECT_EQ(r.statusPanel(0), "Disconect");
  EXPECT_FALSE(r.isVisible());
  EXPECT_FALSE(w.doing);
  EXPECT_TRUE(w.holder->modified);

  std::vector<std::string> names = w.noteNames();
  ASSERT_EQ(names.size(), 4u);
  names.erase(std::find(names.begin(), names.end(), "existing"));
  EXPECT_EQ(names, (std::vector<std::string>{sj("講演会"), "second", "third"}));
  MemoNode* first = w.holder->findNodeByName_(sj("講演会"));
  EXPECT_EQ(platform::sjisToUtf8(first->getField_("From")), "\"太郎 <taro@example.jp>\"");
  EXPECT_EQ(platform::sjisToUtf8(first->body().text()), "こんにちは\r\nsecond line\r\n");
  MemoNode* empty = w.holder->findNodeByName_("second");
  EXPECT_EQ(empty->body().count(), 0);
  EXPECT_EQ(empty->getField_("From"), "\"b@example.jp\"");
  // Without DeleteOnRead the messages stay on the server.
  EXPECT_NE(pop.mailbox().find("Subject: third"), std::string::npos);
}

TEST_F(MailFormTest, DeleteOnReadEmptiesTheMailboxOnlyOfMessagesMadeNotes) {
  Pop3Server pop({"Subject: one\n\n1\n", "Subject: two\n\n2\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  w.addNote("existing");
  TFormReciveMail1 r;
  signIn(r, pop);
  r.deleteOnRead()->setChecked(true);
  r.Recive();
  EXPECT_EQ(r.statusPanel(1), "Success");
  EXPECT_EQ(w.holder->getNodeCount_(), 3);
  r.Connect();
  EXPECT_EQ(r.statusPanel(1), "No message waiting");
  r.Recive();
  EXPECT_EQ(r.statusPanel(1), "No Message to Get");
  EXPECT_EQ(w.holder->getNodeCount_(), 3);
}

TEST_F(MailFormTest, WrongPasswordOrClosedPortChangesNothing) {
  Pop3Server pop({"Subject: stays\n\nbody\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  w.addNote("existing");
  TFormReciveMail1 r;
  signIn(r, pop, "wrong-word");
  r.deleteOnRead()->setChecked(true);
  r.Recive();
  EXPECT_EQ(r.statusPanel(1), "Connect Faile: the server refused the user name or password");
  EXPECT_TRUE(r.isVisible());
  EXPECT_FALSE(r.connected());
  EXPECT_FALSE(w.doing);
  for (const std::string& s : w.statuses) EXPECT_EQ(s.find("wrong-word"), std::string::npos) << s;
  for (const std::string& s : w.log) EXPECT_EQ(s.find("wrong-word"), std::string::npos) << s;

  type(r, "POP3Server", closedServer());
  r.Connect();
  EXPECT_EQ(r.statusPanel(1).rfind("Connect Faile: cannot connect to 127.0.0.1:", 0), 0u) << r.statusPanel(1);
  EXPECT_EQ(w.noteNames(), std::vector<std::string>{"existing"});
  EXPECT_FALSE(w.holder->modified);
  EXPECT_NE(pop.mailbox().find("Subject: stays"), std::string::npos);
}

TEST_F(MailFormTest, NotebookMailSettingsTravelThroughTheNotebookFile) {
  w.addNote("n");
  TFormSendMail2 send;
  link(send);
  type(send, "SMTPServer", "smtp.example.jp:587");
  type(send, "To", "宛先 <to@example.jp>");
  send.SetHolder();
  TFormReciveMail1 recv;
  link(recv);
  type(recv, "POP3Server", "pop.example.jp");
  type(recv, "UserID", "reader");
  recv.SetHolder();

  // A received sender often carries quotes of its own.
  w.node->putField_("From", QuoteValue("\"Yamada, Taro\" <taro@example.jp>"));

  test::TempFolder dir;
  const std::string path = (dir.path / "book.mxh").string();
  ASSERT_GT(w.holder->saveToFile_(path), 0);
  auto again = Create<MemoHolder>(nullptr);
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*again, path, messages), 0) << messages.text();
  for (const char* key : {"SMTPServer", "To", "POP3Server", "UserID"})
    EXPECT_EQ(again->getField_(key), w.holder->getField_(key)) << key;
  EXPECT_EQ(again->getField_("To"), QuoteValue(sj("宛先 <to@example.jp>")));
  EXPECT_EQ(Dequote(again->findNodeByName_("n")->getField_("From")), "\"Yamada, Taro\" <taro@example.jp>");
}

TEST_F(MailFormTest, NoTransferStartsWhileAnotherOperationRuns) {
  SmtpSink sink;
  if (!sink.available()) GTEST_SKIP() << sink.reason();
  MemoNodeUI* note = w.addNote("note");
  note->putField_("SMTPServer", QuoteValue(sink.server()));
  note->putField_("To", "\"to@example.jp\"");
  TFormSendMail2 f;
  link(f);
  w.doing = true;
  f.Send();
  EXPECT_EQ(f.statusPanel(1), "Busy: another operation is running");
  EXPECT_EQ(sink.count(), 0);
  EXPECT_TRUE(w.doing);
}

TEST_F(MailFormTest, MessagesInOtherCharsetsArriveReadableAndLossesAreNamed) {
  Pop3Server pop({"Subject: =?ISO-8859-1?Q?Men=FC?=\n"
                  "Content-Type: text/plain; charset=ISO-8859-1\n"
                  "Content-Transfer-Encoding: quoted-printable\n\n"
                  "5 =D7 3 =B1 2=B0 =A71 caf=E9\n",
                  "Subject: cp1252\nContent-Type: text/plain; charset=\"windows-1252\"\n\n"
                  "\x93quoted\x94 \x80 100\n",
                  "Subject: =?Big5?B?pKSk5Q==?=\nContent-Type: text/plain; charset=big5\n\n"
                  "\xA4\xA4\xA4\xE5\xB4\xFA\xB8\xD5\n",
                  "Subject: =?KOI8-R?B?8NLJ18XU?=\nContent-Type: text/plain; charset=KOI8-R\n\n"
                  "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2\n",
                  "Subject: 日本語の件名\n\nこんにちは\n",
                  "Subject: raw\nContent-Type: text/plain; charset=x-no-such-charset\n\n\x01\xFE\xFF\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  TFormReciveMail1 r;
  signIn(r, pop);
  r.Recive();
  ASSERT_EQ(r.statusPanel(1), "Success");
  auto body = [&](const std::string& name) {
    MemoNode* n = w.holder->findNodeByName_(name);
    return n ? platform::sjisToUtf8(n->body().text()) : "(no note " + name + ")";
  };
  // What Shift_JIS cannot hold becomes "?" and is named, with the note it is in.
  EXPECT_EQ(body(sj("Men?")), "5 × 3 ± 2° §1 caf?\r\n");
  EXPECT_EQ(body("cp1252"), "“quoted” ? 100\r\n");
  EXPECT_EQ(body(sj("中文")), "中文測試\r\n");
  EXPECT_EQ(body(sj("Привет")), "Привет, мир\r\n");
  // Raw 8-bit header text and a body without a charset are read as UTF-8.
  EXPECT_EQ(body(sj("日本語の件名")), "こんにちは\r\n");
  // An unknown charset keeps the bytes as they came.
  MemoNode* raw = w.holder->findNodeByName_("raw");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->body().text(), "\x01\xFE\xFF\r\n");

  const std::vector<std::string> expected = {
      "Warrning: not stored in Shift_JIS: U+00FC U+00E9 in " + sj("Men?"),
      "Warrning: not stored in Shift_JIS: U+20AC in cp1252",
      "Recive Mail: unknown charset \"x-no-such-charset\" kept as it came in raw"};
  for (const std::string& line : expected)
    EXPECT_NE(std::find(w.log.begin(), w.log.end(), line), w.log.end()) << line;
  EXPECT_EQ(w.status(), "Recive Mail: 6 notes. " + expected[0] + " / " + expected[1]);
}

// The temporary folder the document uses, as the receiver finds it, for one test.
class TempDirScope {
 public:
  TempDirScope() : old_(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "") { ::setenv("TMPDIR", str().c_str(), 1); }
  ~TempDirScope() { old_.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", old_.c_str(), 1); }
  std::string str() const { return dir.path.string() + "/"; }
  test::TempFolder dir;

 private:
  std::string old_;
};

TEST_F(MailFormTest, PicturesAndOtherPartsAreKeptAsFilesBeforeTheMessageIsDeleted) {
  const std::string picture = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, '\xAB');
  const std::string message =
      "Subject: photo\nContent-Type: multipart/mixed; boundary=\"b\"\n\n"
      "--b\nContent-Type: text/plain\n\nsee the picture\n"
      "--b\nContent-Type: image/png\nContent-Transfer-Encoding: base64\n"
      "Content-Disposition: attachment; filename=\"=?UTF-8?B?5YaZ55yfLnBuZw==?=\"\n\n" +
      Base64Encode(picture) +
      "\n--b\nContent-Type: text/plain; charset=us-ascii\nContent-Disposition: attachment; filename=notes.txt\n\n"
      "second text\n--b--\n";
  Pop3Server pop({message, message});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  TempDirScope tmp;
  test::writeWholeFile(tmp.dir.path / "notes.txt", "the user's own");
  TFormReciveMail1 r;
  signIn(r, pop);
  r.deleteOnRead()->setChecked(true);
  r.Recive();
  ASSERT_EQ(r.statusPanel(1), "Success");
  EXPECT_EQ(w.status(), "Recive Mail: 2 notes");
  EXPECT_EQ(platform::sjisToUtf8(w.holder->findNodeByName_("photo")->body().text()), "see the picture\r\n");
  EXPECT_EQ(test::osFileText(tmp.dir.path / "写真.png"), picture);
  EXPECT_EQ(test::osFileText(tmp.dir.path / "写真 (2).png"), picture);
  EXPECT_EQ(test::osFileText(tmp.dir.path / "notes.txt"), "the user's own");
  EXPECT_EQ(test::osFileText(tmp.dir.path / "notes (2).txt"), "second text");
  EXPECT_EQ(test::osFileText(tmp.dir.path / "notes (3).txt"), "second text");
  for (const char* file : {"写真.png", "notes (2).txt", "写真 (2).png", "notes (3).txt"}) {
    const std::string line = "Recive Mail: attachment " + tmp.str() + sj(file) + " from photo";
    EXPECT_NE(std::find_if(w.log.begin(), w.log.end(), [&](const std::string& l) { return l.rfind(line, 0) == 0; }),
              w.log.end())
        << file;
  }
  EXPECT_EQ(pop.mailbox().find("Subject: photo"), std::string::npos);

  // A folder the parts cannot be written to: the note is made, the message stays.
  Pop3Server again({message});
  if (!again.available()) GTEST_SKIP() << again.reason();
  ::setenv("TMPDIR", (tmp.str() + "missing").c_str(), 1);
  type(r, "POP3Server", again.server());
  r.Recive();
  EXPECT_EQ(w.status(), "Failure: cannot write " + tmp.str() + "missing/" + sj("写真.png") +
                            ": no such file or directory");
  EXPECT_NE(again.mailbox().find("Subject: photo"), std::string::npos);
}

TEST_F(MailFormTest, AMessageCutOffInTheMiddleMakesNoNoteAndIsNeverDeleted) {
  test::FakePop3 pop("Subject: cut\r\n\r\n" + std::string(200, 'x') + "\r\n", test::FakePop3::Cut);
  w.addNote("existing");
  TFormReciveMail1 r;
  link(r);
  type(r, "POP3Server", pop.server());
  type(r, "UserID", "u");
  type(r, "Password", "p");
  r.deleteOnRead()->setChecked(true);
  r.Recive();
  EXPECT_EQ(w.status(), "Failure: message 1 arrived incomplete");
  EXPECT_EQ(r.statusPanel(1), "Recive Faile: message 1 arrived incomplete");
  EXPECT_EQ(w.noteNames(), std::vector<std::string>{"existing"});
  EXPECT_EQ(pop.deletions(), 0);
  EXPECT_FALSE(w.holder->modified);
}

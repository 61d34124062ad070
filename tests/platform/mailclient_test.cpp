#include "platform/mailclient.h"

#include <gtest/gtest.h>

#include "support/mail_servers.h"

using namespace wux::platform;
using wux::test::freeLoopbackPort;
using wux::test::Pop3Server;
using wux::test::SmtpSink;

namespace {

MailOptions quick() {
  MailOptions o;
  o.connectTimeoutSeconds = 5;
  o.totalTimeoutSeconds = 20;
  return o;
}

std::string closedServer() { return "127.0.0.1:" + std::to_string(freeLoopbackPort()); }

}  // namespace

TEST(MailServerUrl, HostPortAndSchemeForms) {
  EXPECT_EQ(mailServerUrl("mail.example.jp", "smtp", 25), "smtp://mail.example.jp:25");
  EXPECT_EQ(mailServerUrl(" mail.example.jp:587 ", "smtp", 25), "smtp://mail.example.jp:587");
  EXPECT_EQ(mailServerUrl("pop3s://mail.example.jp", "pop3", 110), "pop3s://mail.example.jp");
  EXPECT_EQ(mailServerUrl("::1", "pop3", 110), "pop3://[::1]:110");
  EXPECT_EQ(mailServerUrl("[::1]:1110", "pop3", 110), "pop3://[::1]:1110");
}

TEST(Smtp, DeliversTheTextToEveryRecipient) {
  SmtpSink sink;
  if (!sink.available()) GTEST_SKIP() << sink.reason();
  const std::string text = "Subject: hi\r\n\r\nline one\r\n.leading dot\r\n";
  std::string error;
  ASSERT_TRUE(smtpSend(sink.server(), "me@example.jp", {"a@example.jp", "b@example.jp"}, text, error, quick()))
      << error;
  ASSERT_EQ(sink.count(), 1);
  EXPECT_EQ(sink.message(1), text);
  EXPECT_EQ(sink.recipients(1), "a@example.jp\nb@example.jp\n");
  EXPECT_EQ(sink.sender(1), "me@example.jp\n");
  EXPECT_TRUE(smtpProbe(sink.server(), error, quick())) << error;
}

TEST(Smtp, FailuresAreClearAndNothingIsSent) {
  std::string error;
  const std::string closed = closedServer();
  EXPECT_FALSE(smtpSend(closed, "me@example.jp", {"a@example.jp"}, "x\r\n", error, quick()));
  EXPECT_EQ(error, "cannot connect to " + closed);
  EXPECT_FALSE(smtpProbe(closed, error, quick()));
  EXPECT_FALSE(smtpSend("", "me@example.jp", {"a@example.jp"}, "x\r\n", error, quick()));
  EXPECT_EQ(error, "no SMTP server");

  SmtpSink sink;
  if (!sink.available()) GTEST_SKIP() << sink.reason();
  EXPECT_FALSE(smtpSend(sink.server(), "me@example.jp", {}, "x\r\n", error, quick()));
  EXPECT_EQ(error, "no recipient");
  MailOptions stop = quick();
  stop.isBreak = [] { return true; };
  EXPECT_FALSE(smtpSend(sink.server(), "me@example.jp", {"a@example.jp"}, "x\r\n", error, stop));
  EXPECT_EQ(error, "stopped by Break");
  EXPECT_EQ(sink.count(), 0);
}

constexpr auto Whole = Pop3Session::Retrieval::Whole;
constexpr auto Failed = Pop3Session::Retrieval::Failed;

TEST(Pop3, CountsRetrievesAndDeletesOnlyWhatWasMarked) {
  Pop3Server pop({"Subject: one\n\nfirst\n", "Subject: two\n\nsecond\n", "Subject: three\n\nthird\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  Pop3Session s;
  int count = -1;
  std::string error, text;
  ASSERT_TRUE(s.connect(pop.server(), Pop3Server::kUser, Pop3Server::kPassword, count, error, quick())) << error;
  EXPECT_EQ(count, 3);
  ASSERT_EQ(s.retrieve(2, text, error), Whole) << error;
  EXPECT_NE(text.find("Subject: two\r\n\r\nsecond\r\n"), std::string::npos) << text;
  ASSERT_TRUE(s.remove(2, error)) << error;
  EXPECT_EQ(s.retrieve(9, text, error), Failed);
  s.disconnect();
  EXPECT_FALSE(s.connected());
  EXPECT_EQ(s.retrieve(1, text, error), Failed);
  EXPECT_EQ(error, "not connected");

  ASSERT_TRUE(s.connect(pop.server(), Pop3Server::kUser, Pop3Server::kPassword, count, error, quick())) << error;
  EXPECT_EQ(count, 2);
  ASSERT_EQ(s.retrieve(2, text, error), Whole);
  EXPECT_NE(text.find("Subject: three"), std::string::npos);
}

TEST(Pop3, WrongPasswordAndClosedPortAreClear) {
  Pop3Session s;
  int count = -1;
  std::string error;
  const std::string closed = closedServer();
  EXPECT_FALSE(s.connect(closed, "u", "p", count, error, quick()));
  EXPECT_EQ(error, "cannot connect to " + closed);
  EXPECT_FALSE(s.connected());

  Pop3Server pop({"Subject: kept\n\nbody\n"});
  if (!pop.available()) GTEST_SKIP() << pop.reason();
  EXPECT_FALSE(s.connect(pop.server(), Pop3Server::kUser, "not-the-password", count, error, quick()));
  EXPECT_EQ(error, "the server refused the user name or password");
  EXPECT_EQ(error.find("not-the-password"), std::string::npos);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(s.connected());
  EXPECT_NE(pop.mailbox().find("Subject: kept"), std::string::npos);
}

TEST(Pop3, AMessageCutOffInTheMiddleIsNoMessage) {
  const std::string message = "Subject: cut\r\n\r\n" + std::string(40, 'x') + "\r\n" + std::string(40, 'y') + "\r\n";
  for (bool closeAfterWhole : {false, true}) {
    wux::test::FakePop3 pop(message, closeAfterWhole ? wux::test::FakePop3::WholeThenClose : wux::test::FakePop3::Cut);
    Pop3Session s;
    int count = -1;
    std::string error, text;
    ASSERT_TRUE(s.connect(pop.server(), "u", "p", count, error, quick())) << error;
    // Closed after the whole message (end line and all), the size decides: it is whole.
    EXPECT_EQ(s.retrieve(1, text, error), closeAfterWhole ? Whole : Pop3Session::Retrieval::Cut) << error;
  }
}

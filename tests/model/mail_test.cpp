#include "model/mail.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/textconv.h"
#include "support/data_files.h"

using namespace wux;

namespace {

OutgoingMail sampleMail() {
  OutgoingMail m;
  m.from = "Taro <taro@example.com>";
  m.replyTo = "reply@example.com";
  m.to = "a@example.com\r\nb@example.com";
  m.cc = "c@example.com";
  m.bcc = "hidden@example.com";
  m.subject = sj("テスト件名");
  for (const char* line : {"こんにちは", "plain ascii line", "", ".dot line", "漢字 and ASCII"}) m.body.add(sj(line));
  m.date = DateTime{2026, 12, 6, 21, 5, 9, 0};
  m.utcOffsetMinutes = 9 * 60;
  return m;
}

}  // namespace

TEST(MailOut, MessageTextIsExactlyTheExpectedBytes) {
  EXPECT_EQ(BuildMailText(sampleMail()), readTestData("mail/sent.eml"));
}

TEST(MailOut, SubjectIsOneBEncodedIso2022JpWord) {
  EXPECT_EQ(EncodeMailSubject(sj("テスト件名")), "=?iso-2022-jp?B?GyRCJUYlOSVIN29MPhsoSg==?=");
  EXPECT_EQ(EncodeMailSubject("Hello"), "=?iso-2022-jp?B?SGVsbG8=?=");
}

TEST(MailOut, DateCarriesEnglishNamesAndTheRealOffset) {
  const std::regex shape(R"(^Date: [A-Z][a-z]{2}, \d{1,2} [A-Z][a-z]{2} \d{4}  \d\d:\d\d:\d\d [+-]\d{4}$)");
  EXPECT_EQ(MailDateText(DateTime{2026, 1, 31, 7, 8, 9, 0}, -300), "Sat, 31 Jan 2026  07:08:09 -0500");
  EXPECT_EQ(MailDateText(DateTime{2026, 7, 1, 23, 0, 0, 0}, 330), "Wed, 1 Jul 2026  23:00:00 +0530");
  EXPECT_EQ(MailDateText(DateTime{2026, 7, 1, 23, 0, 0, 0}, 0), "Wed, 1 Jul 2026  23:00:00 +0000");
  const DateTime now = Now();
  EXPECT_TRUE(std::regex_match("Date: " + MailDateText(now, LocalUtcOffsetMinutes(now)), shape));
}

TEST(MailOut, BccReachesOnlyTheEnvelope) {
  OutgoingMail m = sampleMail();
  const std::string text = BuildMailText(m);
  EXPECT_EQ(text.find("hidden@example.com"), std::string::npos);
  EXPECT_EQ(MailRecipients(m), (std::vector<std::string>{"a@example.com", "b@example.com", "c@example.com",
                                                         "hidden@example.com"}));
}

TEST(MailOut, AddressListsAcceptLinesCommasAndDisplayNames) {
  EXPECT_EQ(MailAddressList(" a@x.jp ,b@x.jp;\r\n\r\n c@x.jp "), (std::vector<std::string>{"a@x.jp", "b@x.jp", "c@x.jp"}));
  EXPECT_TRUE(MailAddressList("  \r\n").empty());
  EXPECT_EQ(MailBareAddress("Hanako <hanako@example.jp>"), "hanako@example.jp");
  EXPECT_EQ(MailBareAddress(" plain@example.jp "), "plain@example.jp");
}

TEST(MailOut, FieldValuesCannotAddHeaders) {
  OutgoingMail m = sampleMail();
  m.from = "me@example.com\r\nBcc: evil@example.com";
  m.subject = "one\r\nX-Injected: yes";
  const std::string text = BuildMailText(m);
  EXPECT_EQ(text.find("\r\nBcc:"), std::string::npos);
  EXPECT_EQ(text.find("\r\nX-Injected"), std::string::npos);
}

TEST(MailIn, SentMessageReadsBackAsTheNote) {
  OutgoingMail m = sampleMail();
  IncomingMail in = ParseMailText(BuildMailText(m));
  EXPECT_EQ(in.subject, m.subject);
  EXPECT_EQ(in.from, m.from);
  EXPECT_EQ(in.body, m.body);
}

TEST(MailIn, EncodedWordsInEveryCommonCharset) {
  const std::string raw =
      "From: =?UTF-8?B?5aSq6YOO?= <taro@example.jp>\n"
      "Subject: =?utf-8?Q?=E3=81=82_b?=\n"
      "  =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?= end\n"
      "\n"
      "x\n";
  IncomingMail in = ParseMailText(raw);
  EXPECT_EQ(platform::sjisToUtf8(in.from), "太郎 <taro@example.jp>");
  // Blanks between two encoded words vanish; those before plain text stay.
  EXPECT_EQ(platform::sjisToUtf8(in.subject), "あ bテスト end");
  EXPECT_EQ(ParseMailText("Subject: =?bogus\n\n").subject, "=?bogus");
}

TEST(MailIn, BodiesAreDecodedToShiftJis) {
  IncomingMail b64 = ParseMailText(
      "Subject: b\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      "5pel5pys6KqeCnNlY29uZCBsaW5l\r\n");
  EXPECT_EQ(b64.body.count(), 2);
  EXPECT_EQ(platform::sjisToUtf8(b64.body[0]), "日本語");
  EXPECT_EQ(b64.body[1], "second line");

  IncomingMail qp = ParseMailText(
      "Content-Type: text/plain; charset=\"utf-8\"\nContent-Transfer-Encoding: quoted-printable\n\n"
      "soft=\nbreak =E3=81=82\n");
  EXPECT_EQ(platform::sjisToUtf8(qp.body.text()), "softbreak あ\r\n");

  IncomingMail euc = ParseMailText("Content-Type: text/plain; charset=EUC-JP\n\n\xC6\xFC\xCB\xDC\n");
  EXPECT_EQ(platform::sjisToUtf8(euc.body[0]), "日本");
}

TEST(MailIn, MultipartTakesTheFirstPlainTextPart) {
  const std::string raw =
      "Subject: parts\n"
      "Content-Type: multipart/mixed; boundary=\"outer\"\n\n"
      "preamble\n"
      "--outer\n"
      "Content-Type: multipart/alternative; boundary=inner\n\n"
      "--inner\n"
      "Content-Type: text/html\n\n<p>html</p>\n"
      "--inner\n"
      "Content-Type: text/plain; charset=us-ascii\n\nthe text\nline two\n"
      "--inner--\n"
      "--outer\n"
      "Content-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\nAAAA\n"
      "--outer--\n";
  IncomingMail in = ParseMailText(raw);
  EXPECT_EQ(in.body.text(), "the text\r\nline two\r\n");
}

TEST(MailIn, EveryPartButTheTextAndItsOtherFormsIsKeptWithItsName) {
  const std::string raw =
      "Subject: parts\n"
      "Content-Type: multipart/mixed; boundary=\"outer\"\n\n"
      "--outer\n"
      "Content-Type: multipart/alternative; boundary=inner\n\n"
      "--inner\n"
      "Content-Type: text/plain\n\nthe text\n"
      "--inner\n"
      "Content-Type: text/html\n\n<p>the text</p>\n"
      "--inner--\n"
      "--outer\n"
      "Content-Type: image/png\nContent-Transfer-Encoding: base64\n"
      "Content-Disposition: attachment;\n filename*=UTF-8''%E5%86%99%E7%9C%9F.png\n\nAAECAw==\n"
      "--outer\n"
      "Content-Type: text/plain; name=\"=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=.txt\"\n\nsecond text\n"
      "--outer\n"
      "Content-Type: application/pdf\n"
      "Content-Disposition: attachment; filename*0*=shift_jis''%93%FA; filename*1=\"/x/../report.pdf\"\n\n%PDF\n"
      "--outer\n"
      "Content-Type: application/octet-stream\n\nraw\n"
      "--outer--\n";
  IncomingMail in = ParseMailText(raw);
  EXPECT_EQ(in.body.text(), "the text\r\n");
  std::vector<std::pair<std::string, std::string>> got;
  for (const MailAttachment& a : in.attachments) got.emplace_back(platform::sjisToUtf8(a.name), a.data);
  EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{{"写真.png", std::string("\0\1\2\3", 4)},
                                                                     {"日本.txt", "second text"},
                                                                     {"report.pdf", "%PDF"},
                                                                     {"attachment", "raw"}}));
  EXPECT_EQ(in.partsLeft, 0);

  std::string many = "Content-Type: multipart/mixed; boundary=b\n\n";
  for (int i = 0; i < kMailMaxParts + 5; ++i) many += "--b\nContent-Type: text/plain\n\npart " + std::to_string(i) + "\n";
  many += "--b--\n";
  IncomingMail big = ParseMailText(many);
  EXPECT_EQ(big.body.text(), "part 0\r\n");
  ASSERT_EQ(big.attachments.size(), static_cast<std::size_t>(kMailMaxParts - 1));
  EXPECT_EQ(big.attachments.back().data, "part 99");
  EXPECT_EQ(big.partsLeft, 5);
}

TEST(MailIn, AttachmentNamesAreMadeSafe) {
  EXPECT_EQ(MailSafeFileName("../../etc/passwd"), "passwd");
  EXPECT_EQ(MailSafeFileName("C:\\Users\\me\\a.doc"), "a.doc");
  EXPECT_EQ(MailSafeFileName(std::string("a\x01\n\x7f..b\0.txt", 12)), "a.b.txt");
  EXPECT_EQ(MailSafeFileName(".."), "attachment");
  EXPECT_EQ(MailSafeFileName(" .hidden "), "hidden");
  EXPECT_EQ(MailSafeFileName(""), "attachment");
  // A second byte that is a backslash is part of its character, not a folder mark.
  EXPECT_EQ(MailSafeFileName(sj("表示.txt")), sj("表示.txt"));
  const std::string longName = MailSafeFileName(std::string(300, 'n') + ".jpeg");
  EXPECT_EQ(longName.size(), 120u);
  EXPECT_TRUE(longName.ends_with("n.jpeg"));
  // Cut just after a dot, the name keeps no "..".
  EXPECT_EQ(MailSafeFileName(std::string(115, 'n') + "." + std::string(20, 'n') + ".txt").find(".."),
            std::string::npos);
}

TEST(MailIn, EmptyAndMalformedMessagesNeverFail) {
  IncomingMail noBody = ParseMailText("From: a@b\r\nSubject: only headers\r\n");
  EXPECT_EQ(noBody.subject, "only headers");
  EXPECT_EQ(noBody.body.count(), 0);
  EXPECT_EQ(ParseMailText("").body.count(), 0);
  // A multipart without a boundary, an unclosed part and an image-only message.
  EXPECT_EQ(ParseMailText("Content-Type: multipart/mixed\n\nx\n").body.count(), 0);
  EXPECT_EQ(ParseMailText("Content-Type: multipart/mixed; boundary=b\n\n--b\n\nopen part\n").body.text(),
            "open part\r\n");
  EXPECT_EQ(ParseMailText("Content-Type: image/png\n\nxx\n").body.count(), 0);
}

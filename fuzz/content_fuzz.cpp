// MIME text from an archive, JIS/EUC mail text, received mail and its parts, zlib
// streams and number formats all come from outside. None may crash, a parsed part never
// names a path, and no field value can add a header to a message that is sent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/content.h"
#include "model/format.h"
#include "model/jcode.h"
#include "model/lists.h"
#include "model/mail.h"
#include "model/text/sjis.h"

namespace {

void checkNames(const wux::TContent& c, int depth) {
  if (depth > 100) std::abort();
  const std::string& f = c.fileName;
  if (f == "." || f == ".." || wux::sjis::findLastOf(f, "\\/:") != std::string::npos) std::abort();
  for (int i = 0; i < c.partCount(); ++i) checkNames(*c.part(i), depth + 1);
}

void checkFileName(const std::string& f) {
  if (f.empty() || f.size() > 120 || f[0] == '.' || f.find('/') != std::string::npos ||
      f.find("..") != std::string::npos)
    std::abort();
  for (unsigned char c : f)
    if (c < 0x20 || c == 0x7F) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);

  wux::StringList lines;
  lines.setText(s);
  std::unique_ptr<wux::TContent> c(wux::Create<wux::TContent>(nullptr));
  c->parseMIME_(lines);
  checkNames(*c, 0);

  wux::JisToSjis(s);
  wux::EucToSjis(s);
  std::string jis = wux::SjisToJis(s);
  wux::JisToSjis(jis);
  if (wux::Base64Decode(wux::Base64Encode(s)) != s) std::abort();

  // Every part of a received message becomes one plain file name in one folder.
  const wux::IncomingMail in = wux::ParseMailText(s);
  if (in.attachments.size() >= static_cast<std::size_t>(wux::kMailMaxParts)) std::abort();
  for (const wux::MailAttachment& a : in.attachments) checkFileName(a.name);
  checkFileName(wux::MailSafeFileName(s));
  wux::OutgoingMail mail;
  mail.from = mail.to = mail.replyTo = mail.subject = s;
  const std::string text = wux::BuildMailText(mail);
  const std::string head = text.substr(0, text.find("\r\n\r\n") + 2);
  for (std::size_t at = 0; at < head.size();) {
    std::size_t end = head.find("\r\n", at);
    if (end == std::string::npos) std::abort();
    const std::string line = head.substr(at, end - at);
    bool known = false;
    for (const char* name : {"From: ", "Reply-To: ", "To: ", "Cc: ", "Subject: ", "Date: ", "X-Mailer: ",
                             "MIME-Version: ", "Content-Type: ", "Content-Transfer-Encoding: "})
      known = known || line.rfind(name, 0) == 0;
    if (!known) std::abort();
    at = end + 2;
  }

  std::string out;
  wux::ZInflate(s, out);
  if (size < 64) {
    std::string formatted;
    if (wux::FormatInt(s, -1234567, formatted) && formatted.size() > size + 2 * wux::kMaxFormatWidth + 32)
      std::abort();
  }
  return 0;
}

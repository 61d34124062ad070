#pragma once
// Notes as mail and mail as notes: the text of an outgoing message, built byte for byte
// (ISO-2022-JP body, one B-encoded subject word, no attachments), and the reading of a
// received message back into Shift_JIS sender, subject and body lines. Nothing here
// touches the network.
#include <string>
#include <string_view>
#include <vector>

#include "model/clock.h"
#include "model/text/StringList.h"

namespace wux {

// The mailer name every sent message carries.
inline constexpr const char* kMailerName = "wux.exe 001103";

struct OutgoingMail {
  // Address lists as the send window holds them: one address per line (commas and
  // semicolons separate too). Texts are Shift_JIS.
  std::string from, replyTo, to, cc, bcc;
  std::string subject;
  StringList body;
  DateTime date;
  int utcOffsetMinutes = 0;  // of `date`, east positive
};

// "=?iso-2022-jp?B?" + Base64 of the ISO-2022-JP subject + "?=".
std::string EncodeMailSubject(std::string_view sjisSubject);
// "Sun, 6 Dec 2026  21:06:23 +0900": English names, two blanks before the time and the
// real offset of the time given.
std::string MailDateText(const DateTime& dt, int utcOffsetMinutes);
// The addresses of a list text, trimmed, empty entries dropped.
std::vector<std::string> MailAddressList(std::string_view listText);
// The bare address of an entry: what stands inside "<...>", else the entry itself.
std::string MailBareAddress(std::string_view entry);
// Every envelope recipient: To, then CC, then BCC, as bare addresses. BCC reaches only
// the envelope, never a header.
std::vector<std::string> MailRecipients(const OutgoingMail& mail);
// The whole message, every line ended by CR LF. Header values lose any CR or LF, so a
// field value can never add a header of its own.
std::string BuildMailText(const OutgoingMail& mail);

// The most parts one message gives; the rest stay on the server.
inline constexpr int kMailMaxParts = 100;

// A part of a message that is not the note's text: its bytes (transfer encoding undone,
// charset untouched) and the file name it gives, decoded to Shift_JIS and made safe.
struct MailAttachment {
  std::string name;
  std::string data;
};

struct IncomingMail {
  std::string from;     // Shift_JIS, encoded words decoded
  std::string subject;  // Shift_JIS, encoded words decoded
  StringList body;      // Shift_JIS lines of the first text part
  // Every other part, in message order, but the other forms of the text (the HTML copy
  // of a plain-text mail). At most kMailMaxParts parts in all are read.
  std::vector<MailAttachment> attachments;
  int partsLeft = 0;  // parts past the first kMailMaxParts
  // Characters Shift_JIS could not hold (each became "?"), in the order met.
  std::vector<char32_t> lost;
  // Charsets no converter knows; text in them was kept as it came.
  std::vector<std::string> unknownCharsets;
};

// Reads a received message: unfolds the headers, decodes "=?charset?B|Q?...?=" words,
// takes the first text/plain part of a multipart message, undoes Base64 and
// quoted-printable and converts the text to Shift_JIS: ISO-2022-JP, EUC-JP and UTF-8
// by their own converters, every other charset iconv knows through Unicode; text with no
// charset (raw 8-bit header text too) is UTF-8 when it is valid UTF-8 and is otherwise
// kept. Malformed input never stops it: what cannot be decoded is kept as it came.
IncomingMail ParseMailText(std::string_view raw);

// A name from a message made safe as one file name in a folder: no folder parts, no
// control characters, no "..", no leading dot, not overlong; "attachment" when nothing
// is left.
std::string MailSafeFileName(std::string_view sjisName);
// Writes an attachment into `dir` (ending in "/") under its name, or, when that is
// taken, with " (2)", " (3)" ... before its extension: never over an existing file, and
// never half. True with the path written, else false with `error`.
bool SaveMailAttachment(const std::string& dir, const MailAttachment& part, std::string& path,
                        std::string& error);

}  // namespace wux

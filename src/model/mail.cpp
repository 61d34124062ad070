#include "model/mail.h"

#include <algorithm>
#include <cstdio>

#include "model/jcode.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"

namespace wux {
namespace {

std::string singleLine(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) out += (c == '\r' || c == '\n') ? ' ' : c;
  return sjis::trim(out);
}

std::string joinAddresses(std::string_view listText) {
  std::string out;
  for (const std::string& a : MailAddressList(listText)) {
    if (!out.empty()) out += ", ";
    out += singleLine(a);
  }
  return out;
}

void addHeader(std::string& out, std::string_view name, std::string_view value) {
  out += name;
  out += ": ";
  out += value;
  out += "\r\n";
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Quoted-printable; with `underscoreIsBlank` the header form of encoded words.
std::string decodeQuotedPrintable(std::string_view s, bool underscoreIsBlank) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '_' && underscoreIsBlank) {
      out += ' ';
    } else if (c == '=' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else if (c == '=' && i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n')) {
      // A soft line break joins this line to the next.
      ++i;
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string base64Only(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t') out += c;
  return out;
}

// What reading one message met on the way into Shift_JIS.
struct Conversion {
  std::vector<char32_t> lost;
  std::vector<std::string> unknown;
};

// `cs` in lower case.
bool isShiftJisName(std::string_view cs) {
  for (std::string_view n : {"shift_jis", "shift-jis", "sjis", "x-sjis", "cp932", "ms932", "windows-31j", "ms_kanji",
                             "csshiftjis", "cswindows31j"})
    if (cs == n) return true;
  return false;
}

// Text without a charset (or one that promises ASCII): UTF-8 when it is valid UTF-8,
// else kept, so raw Shift_JIS stays readable.
std::string unlabelledToSjis(std::string_view text, Conversion& conv) {
  if (platform::isAscii(text) || !platform::isValidUtf8(text)) return std::string(text);
  return platform::utf8ToSjis(text, conv.lost);
}

std::string toSjis(std::string_view charset, std::string_view text, Conversion& conv) {
  const std::string cs = lowerAscii(sjis::trim(charset));
  if (cs.starts_with("iso-2022-jp") || text.find('\x1b') != std::string_view::npos) return JisToSjis(text);
  if (cs == "euc-jp" || cs == "x-euc-jp") return EucToSjis(text);
  if (cs == "utf-8" || cs == "utf8") return platform::utf8ToSjis(text, conv.lost);
  if (cs.empty() || cs == "us-ascii" || cs == "ascii") return unlabelledToSjis(text, conv);
  if (isShiftJisName(cs)) return std::string(text);
  std::string out;
  if (platform::charsetToSjis(cs, text, out, conv.lost)) return out;
  if (std::find(conv.unknown.begin(), conv.unknown.end(), std::string(charset)) == conv.unknown.end())
    conv.unknown.emplace_back(charset);
  return std::string(text);
}

// Decodes every well-formed encoded word; blanks between two encoded words vanish.
std::string decodeHeaderWords(std::string_view v, Conversion& conv) {
  std::string out;
  std::size_t i = 0;
  bool lastWasWord = false;
  std::string pendingBlank;
  while (i < v.size()) {
    if (v.compare(i, 2, "=?") == 0) {
      std::size_t q1 = v.find('?', i + 2);
      std::size_t q2 = q1 == std::string_view::npos ? q1 : v.find('?', q1 + 1);
      std::size_t end = q2 == std::string_view::npos ? q2 : v.find("?=", q2 + 1);
      const char enc = q2 != std::string_view::npos && q2 == q1 + 2 ? v[q1 + 1] : '\0';
      if (end != std::string_view::npos && (enc == 'B' || enc == 'b' || enc == 'Q' || enc == 'q')) {
        std::string_view charset = v.substr(i + 2, q1 - i - 2);
        std::string_view text = v.substr(q2 + 1, end - q2 - 1);
        std::string bytes =
            enc == 'B' || enc == 'b' ? Base64Decode(base64Only(text)) : decodeQuotedPrintable(text, true);
        if (!lastWasWord) out += pendingBlank;
        pendingBlank.clear();
        out += toSjis(charset, bytes, conv);
        lastWasWord = true;
        i = end + 2;
        continue;
      }
    }
    if (v[i] == ' ' || v[i] == '\t') {
      pendingBlank += v[i];
    } else {
      out += pendingBlank;
      pendingBlank.clear();
      out += v[i];
      lastWasWord = false;
    }
    ++i;
  }
  out += pendingBlank;
  return out;
}

// A header's value: its encoded words decoded, and raw 8-bit text around them read as
// UTF-8 when it is valid UTF-8.
std::string headerText(std::string_view v, Conversion& conv) {
  if (platform::isAscii(v)) return decodeHeaderWords(v, conv);
  return decodeHeaderWords(unlabelledToSjis(v, conv), conv);
}

struct Entity {
  std::vector<std::pair<std::string, std::string>> headers;  // lower-case names
  std::string_view body;
  std::string header(std::string_view name) const {
    for (const auto& h : headers)
      if (h.first == name) return h.second;
    return {};
  }
};

std::size_t lineEnd(std::string_view s, std::size_t from, std::size_t& next) {
  std::size_t lf = s.find('\n', from);
  if (lf == std::string_view::npos) {
    next = s.size();
    return s.size();
  }
  next = lf + 1;
  return lf > from && s[lf - 1] == '\r' ? lf - 1 : lf;
}

Entity splitEntity(std::string_view raw) {
  Entity e;
  std::size_t pos = 0;
  while (pos < raw.size()) {
    std::size_t next;
    std::size_t end = lineEnd(raw, pos, next);
    std::string_view line = raw.substr(pos, end - pos);
    if (line.empty()) {
      pos = next;
      break;
    }
    if ((line[0] == ' ' || line[0] == '\t') && !e.headers.empty()) {
      e.headers.back().second += ' ';
      e.headers.back().second += sjis::trim(line);
    } else {
      std::size_t colon = line.find(':');
      if (colon != std::string_view::npos)
        e.headers.emplace_back(lowerAscii(sjis::trim(line.substr(0, colon))), sjis::trim(line.substr(colon + 1)));
    }
    pos = next;
  }
  e.body = pos < raw.size() ? raw.substr(pos) : std::string_view{};
  return e;
}

// A parameter of a structured header ("charset", "boundary"), quotes removed.
std::string headerParam(std::string_view value, std::string_view param) {
  const std::string lower = lowerAscii(value);
  std::size_t from = 0;
  while (true) {
    std::size_t semi = lower.find(';', from);
    if (semi == std::string::npos) return {};
    std::size_t p = semi + 1;
    while (p < lower.size() && (lower[p] == ' ' || lower[p] == '\t')) ++p;
    if (lower.compare(p, param.size(), param) == 0 && p + param.size() < lower.size() &&
        lower[p + param.size()] == '=') {
      std::size_t v = p + param.size() + 1;
      if (v < value.size() && value[v] == '"') {
        std::size_t close = value.find('"', v + 1);
        return std::string(value.substr(v + 1, close == std::string_view::npos ? close : close - v - 1));
      }
      std::size_t stop = value.find_first_of("; \t", v);
      return std::string(value.substr(v, stop == std::string_view::npos ? stop : stop - v));
    }
    from = semi + 1;
  }
}

std::string mediaType(const Entity& e) {
  std::string ct = e.header("content-type");
  return lowerAscii(sjis::trim(ct.substr(0, ct.find(';'))));
}

// The first text/plain entity (else the first text one) inside `e`, nested at most a
// few levels deep; false when there is none.
bool findTextPart(const Entity& e, int depth, Entity& found) {
  const std::string type = mediaType(e);
  if (!type.starts_with("multipart/")) {
    if (type.empty() || type.starts_with("text/")) {
      found = e;
      return true;
    }
    return false;
  }
  const std::string boundary = headerParam(e.header("content-type"), "boundary");
  if (boundary.empty() || depth > 8) return false;
  const std::string delim = "--" + boundary;
  std::vector<std::string_view> parts;
  std::string_view b = e.body;
  std::size_t pos = 0;
  std::size_t partStart = std::string_view::npos;
  while (pos < b.size()) {
    std::size_t next;
    std::size_t end = lineEnd(b, pos, next);
    std::string_view line = b.substr(pos, end - pos);
    if (line.starts_with(delim)) {
      if (partStart != std::string_view::npos) {
        // The line break before the delimiter belongs to it.
        std::size_t stop = pos;
        if (stop > partStart && b[stop - 1] == '\n') --stop;
        if (stop > partStart && b[stop - 1] == '\r') --stop;
        parts.push_back(b.substr(partStart, stop - partStart));
      }
      if (line.substr(delim.size()).starts_with("--")) {
        partStart = std::string_view::npos;
        break;
      }
      partStart = next;
    }
    pos = next;
  }
  // A message cut short before its closing delimiter still gives its last part.
  if (partStart != std::string_view::npos && partStart < b.size()) parts.push_back(b.substr(partStart));
  Entity fallback;
  bool haveFallback = false;
  for (std::string_view p : parts) {
    Entity sub = splitEntity(p);
    Entity text;
    if (!findTextPart(sub, depth + 1, text)) continue;
    const std::string t = mediaType(text);
    if (t.empty() || t == "text/plain") {
      found = text;
      return true;
    }
    if (!haveFallback) {
      fallback = text;
      haveFallback = true;
    }
  }
  if (haveFallback) found = fallback;
  return haveFallback;
}

}  // namespace

std::string EncodeMailSubject(std::string_view sjisSubject) {
  return "=?iso-2022-jp?B?" + Base64Encode(SjisToJis(sjisSubject)) + "?=";
}

std::string MailDateText(const DateTime& dt, int utcOffsetMinutes) {
  const int a = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
  char zone[8];
  std::snprintf(zone, sizeof zone, "%c%02d%02d", utcOffsetMinutes < 0 ? '-' : '+', (a / 60) % 100, a % 60);
  return FormatDateTime("ddd, d mmm yyyy  hh:nn:ss ", dt) + zone;
}

std::vector<std::string> MailAddressList(std::string_view listText) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= listText.size(); ++i) {
    if (i == listText.size() || listText[i] == '\r' || listText[i] == '\n' || listText[i] == ',' ||
        listText[i] == ';') {
      std::string a = sjis::trim(listText.substr(start, i - start));
      if (!a.empty()) out.push_back(std::move(a));
      start = i + 1;
    }
  }
  return out;
}

std::string MailBareAddress(std::string_view entry) {
  std::size_t lt = entry.rfind('<');
  std::size_t gt = lt == std::string_view::npos ? lt : entry.find('>', lt);
  if (gt != std::string_view::npos) return sjis::trim(entry.substr(lt + 1, gt - lt - 1));
  return sjis::trim(entry);
}

std::vector<std::string> MailRecipients(const OutgoingMail& mail) {
  std::vector<std::string> out;
  for (const std::string* list : {&mail.to, &mail.cc, &mail.bcc})
    for (const std::string& a : MailAddressList(*list)) out.push_back(MailBareAddress(a));
  return out;
}

std::string BuildMailText(const OutgoingMail& mail) {
  std::string out;
  addHeader(out, "From", singleLine(mail.from));
  if (!singleLine(mail.replyTo).empty()) addHeader(out, "Reply-To", singleLine(mail.replyTo));
  addHeader(out, "To", joinAddresses(mail.to));
  if (!joinAddresses(mail.cc).empty()) addHeader(out, "Cc", joinAddresses(mail.cc));
  addHeader(out, "Subject", EncodeMailSubject(singleLine(mail.subject)));
  addHeader(out, "Date", MailDateText(mail.date, mail.utcOffsetMinutes));
  addHeader(out, "X-Mailer", kMailerName);
  addHeader(out, "MIME-Version", "1.0");
  addHeader(out, "Content-Type", "text/plain; charset=\"iso-2022-jp\"");
  addHeader(out, "Content-Transfer-Encoding", "7bit");
  out += "\r\n";
  for (const auto& line : mail.body) {
    out += SjisToJis(line.text);
    out += "\r\n";
  }
  return out;
}

IncomingMail ParseMailText(std::string_view raw) {
  IncomingMail mail;
  Entity top = splitEntity(raw);
  Conversion conv;
  auto finish = [&] {
    mail.lost = std::move(conv.lost);
    mail.unknownCharsets = std::move(conv.unknown);
    return mail;
  };
  mail.from = headerText(top.header("from"), conv);
  mail.subject = headerText(top.header("subject"), conv);
  Entity text;
  if (!findTextPart(top, 0, text)) return finish();
  const std::string cte = lowerAscii(sjis::trim(text.header("content-transfer-encoding")));
  std::string bytes;
  if (cte == "base64")
    bytes = Base64Decode(base64Only(text.body));
  else if (cte == "quoted-printable")
    bytes = decodeQuotedPrintable(text.body, false);
  else
    bytes = std::string(text.body);
  mail.body.setText(toSjis(headerParam(text.header("content-type"), "charset"), bytes, conv));
  return finish();
}

}  // namespace wux

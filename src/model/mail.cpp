#include "model/mail.h"

#include <algorithm>
#include <cstdio>

#include "model/jcode.h"
#include "model/text/sjis.h"
#include "platform/files.h"
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

// The parameters of a structured header ("type/sub; a=1; b=\"x\""): lower-case names,
// values without their quotes.
std::vector<std::pair<std::string, std::string>> headerParams(std::string_view value) {
  std::vector<std::pair<std::string, std::string>> out;
  std::size_t i = value.find(';');
  while (i != std::string_view::npos && i < value.size()) {
    ++i;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    const std::size_t eq = value.find_first_of("=;", i);
    if (eq == std::string_view::npos || value[eq] == ';') {
      i = eq;
      continue;
    }
    std::string name = lowerAscii(sjis::trim(value.substr(i, eq - i)));
    std::string v;
    i = eq + 1;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    if (i < value.size() && value[i] == '"') {
      for (++i; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        v += value[i];
      }
      i = value.find(';', i);
    } else {
      const std::size_t stop = value.find(';', i);
      v = sjis::trim(value.substr(i, stop == std::string_view::npos ? std::string_view::npos : stop - i));
      i = stop;
    }
    out.emplace_back(std::move(name), std::move(v));
  }
  return out;
}

const std::string* paramOf(const std::vector<std::pair<std::string, std::string>>& params, std::string_view name) {
  for (const auto& p : params)
    if (p.first == name) return &p.second;
  return nullptr;
}

// A parameter of a structured header ("charset", "boundary"), quotes removed.
std::string headerParam(std::string_view value, std::string_view param) {
  const auto params = headerParams(value);
  const std::string* v = paramOf(params, param);
  return v ? *v : std::string();
}

std::string percentDecoded(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// A name parameter in Shift_JIS: "name*=charset'lang'%xx" and its numbered pieces
// "name*0*=", "name*1=" (RFC 2231), else "name=" with encoded words (RFC 2047).
std::string nameParam(std::string_view header, std::string_view name, Conversion& conv) {
  const auto params = headerParams(header);
  const std::string base(name);
  auto extended = [&](std::string_view v) {
    const std::size_t q1 = v.find('\'');
    const std::size_t q2 = q1 == std::string_view::npos ? q1 : v.find('\'', q1 + 1);
    if (q2 == std::string_view::npos) return toSjis("", percentDecoded(v), conv);
    return toSjis(v.substr(0, q1), percentDecoded(v.substr(q2 + 1)), conv);
  };
  if (const std::string* v = paramOf(params, base + "*")) return extended(*v);
  std::string charset, bytes;
  bool pieces = false;
  for (int k = 0; k < 1000; ++k) {
    const std::string key = base + "*" + std::to_string(k);
    if (const std::string* v = paramOf(params, key + "*")) {
      std::string_view piece = *v;
      if (k == 0) {
        const std::size_t q1 = piece.find('\'');
        const std::size_t q2 = q1 == std::string_view::npos ? q1 : piece.find('\'', q1 + 1);
        if (q2 != std::string_view::npos) {
          charset = std::string(piece.substr(0, q1));
          piece = piece.substr(q2 + 1);
        }
      }
      bytes += percentDecoded(piece);
    } else if (const std::string* plain = paramOf(params, key)) {
      bytes += *plain;
    } else {
      break;
    }
    pieces = true;
  }
  if (pieces) return toSjis(charset, bytes, conv);
  if (const std::string* v = paramOf(params, base)) return headerText(*v, conv);
  return {};
}

std::string mediaType(const Entity& e) {
  std::string ct = e.header("content-type");
  return lowerAscii(sjis::trim(ct.substr(0, ct.find(';'))));
}

bool isAttachment(const Entity& e) {
  const std::string d = e.header("content-disposition");
  return lowerAscii(sjis::trim(d.substr(0, d.find(';')))) == "attachment";
}

// A part that holds no other parts, with the multipart/alternative groups around it:
// (group, which of its alternatives), outermost first.
struct Leaf {
  Entity entity;
  std::vector<std::pair<int, int>> alternatives;
};

// Nesting past this is kept as one part rather than walked.
constexpr int kMaxDepth = 32;

std::vector<std::string_view> splitParts(std::string_view b, const std::string& boundary) {
  const std::string delim = "--" + boundary;
  std::vector<std::string_view> parts;
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
  return parts;
}

// Lists the leaves of `e` in message order; past `kMailMaxParts` they are only counted.
void walkParts(const Entity& e, int depth, std::vector<std::pair<int, int>>& alts, int& groups,
               std::vector<Leaf>& leaves, int& left) {
  const std::string type = mediaType(e);
  const std::string boundary =
      type.starts_with("multipart/") ? headerParam(e.header("content-type"), "boundary") : std::string();
  if (boundary.empty() || depth >= kMaxDepth) {
    if (static_cast<int>(leaves.size()) < kMailMaxParts)
      leaves.push_back({e, alts});
    else
      ++left;
    return;
  }
  const bool alternative = type == "multipart/alternative";
  const int group = alternative ? groups++ : -1;
  int index = 0;
  for (std::string_view p : splitParts(e.body, boundary)) {
    if (alternative) alts.emplace_back(group, index++);
    walkParts(splitEntity(p), depth + 1, alts, groups, leaves, left);
    if (alternative) alts.pop_back();
  }
}

// The note's text: the first plain-text part (else the first text part) that is not
// sent as an attachment; -1 when there is none.
int textLeaf(const std::vector<Leaf>& leaves) {
  int fallback = -1;
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    const Entity& e = leaves[i].entity;
    if (isAttachment(e)) continue;
    const std::string t = mediaType(e);
    if (t.empty() || t == "text/plain") return static_cast<int>(i);
    if (fallback < 0 && t.starts_with("text/")) fallback = static_cast<int>(i);
  }
  return fallback;
}

// Whether `leaf` is another form of the text: under one of the text's alternative
// groups, in another alternative.
bool otherFormOfText(const Leaf& leaf, const Leaf& text) {
  for (const auto& [group, branch] : leaf.alternatives)
    for (const auto& [textGroup, textBranch] : text.alternatives)
      if (group == textGroup && branch != textBranch) return true;
  return false;
}

std::string decodedBody(const Entity& e) {
  const std::string cte = lowerAscii(sjis::trim(e.header("content-transfer-encoding")));
  if (cte == "base64") return Base64Decode(base64Only(e.body));
  if (cte == "quoted-printable") return decodeQuotedPrintable(e.body, false);
  return std::string(e.body);
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
  std::vector<Leaf> leaves;
  std::vector<std::pair<int, int>> alts;
  int groups = 0;
  walkParts(top, 0, alts, groups, leaves, mail.partsLeft);
  const int text = textLeaf(leaves);
  if (text >= 0) {
    const Entity& e = leaves[static_cast<std::size_t>(text)].entity;
    mail.body.setText(toSjis(headerParam(e.header("content-type"), "charset"), decodedBody(e), conv));
  }
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    if (static_cast<int>(i) == text) continue;
    if (text >= 0 && otherFormOfText(leaves[i], leaves[static_cast<std::size_t>(text)])) continue;
    const Entity& e = leaves[i].entity;
    std::string name = nameParam(e.header("content-disposition"), "filename", conv);
    if (sjis::trim(name).empty()) name = nameParam(e.header("content-type"), "name", conv);
    mail.attachments.push_back({MailSafeFileName(name), decodedBody(e)});
  }
  return finish();
}

std::string MailSafeFileName(std::string_view sjisName) {
  std::string_view name = sjisName;
  const std::size_t slash = sjis::findLastOf(name, "/\\");
  if (slash != std::string_view::npos) name = name.substr(slash + 1);
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n = sjis::charLen(name, i);
    const auto c = static_cast<unsigned char>(name[i]);
    // A control character goes; of a run of dots one stays, so ".." cannot be formed.
    if (n == 2 || (c >= 0x20 && c != 0x7F && !(c == '.' && !out.empty() && out.back() == '.')))
      out.append(name.substr(i, n));
    i += n;
  }
  std::size_t start = 0;
  while (start < out.size() && (out[start] == '.' || out[start] == ' ')) ++start;
  out = sjis::trimRight(out.substr(start));
  // Room for " (NNN)" and the folder's file-name limit after the change to UTF-8.
  constexpr std::size_t kMaxBytes = 120;
  if (out.size() > kMaxBytes) {
    std::size_t dot = sjis::findLast(out, ".");
    std::string ext = dot != std::string::npos && out.size() - dot <= 16 ? out.substr(dot) : std::string();
    std::string stem = out.substr(0, sjis::charStart(out, kMaxBytes - ext.size()));
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ')) stem.pop_back();
    out = stem + ext;
  }
  return out.empty() ? std::string("attachment") : out;
}

bool SaveMailAttachment(const std::string& dir, const MailAttachment& part, std::string& path, std::string& error) {
  const std::string name = MailSafeFileName(part.name);
  const std::size_t dot = sjis::findLast(name, ".");
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
  for (int n = 1; n <= 9999; ++n) {
    path = dir + (n == 1 ? name : stem + " (" + std::to_string(n) + ")" + ext);
    switch (platform::createNewFile(path, part.data, &error)) {
      case platform::NewFile::Created:
        return true;
      case platform::NewFile::Failed:
        return false;
      case platform::NewFile::Exists:
        break;
    }
  }
  error = "no free name for " + dir + name;
  return false;
}

}  // namespace wux

#include "model/strutil.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>

#include "model/text/StringList.h"
#include "model/text/sjis.h"

namespace wux {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// True when the character at `i` is a single-byte character found in `set`.
bool isDelimiterAt(std::string_view s, std::size_t i, std::string_view set) {
  return sjis::charLen(s, i) == 1 && set.find(s[i]) != std::string_view::npos;
}

// The digit walk shared by the number steppers, from byte `start` leftwards.
// Digits are never second bytes of double-byte characters, so stepping bytes is safe.
std::string stepNumber(std::string_view text, std::ptrdiff_t start, bool up) {
  std::string r(text);
  bool pending = false;
  for (std::ptrdiff_t i = start; i >= 0; --i) {
    char& c = r[static_cast<std::size_t>(i)];
    if (!isDigit(c)) {
      if (pending) break;
      continue;
    }
    if (up) {
      if (c != '9') {
        ++c;
        break;
      }
      c = '0';
    } else {
      if (c != '0') {
        --c;
        break;
      }
      c = '9';
    }
    pending = true;
  }
  return r;
}

std::string stepLastNumber(std::string_view text, bool up) {
  std::ptrdiff_t last = -1;
  for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(text.size()) - 1; i >= 0; --i)
    if (isDigit(text[static_cast<std::size_t>(i)])) {
      last = i;
      break;
    }
  if (last <= 0) return std::string(text);
  return stepNumber(text, last - 1, up);
}

// A date group: leading blanks, then one or more decimal digits, nothing else.
bool readGroup(std::string_view s, int& value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  long v = 0;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
  }
  if (v > 65535) return false;
  value = static_cast<int>(v);
  return true;
}

struct NamedColor {
  const char* name;
  Color value;
};
constexpr std::array<NamedColor, 18> kColors{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},  {"clDkGray", 0x808080}, {"clLtGray", 0xC0C0C0},
    {"clRed", 0x0000FF},   {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    // Accepted when reading only: their values already have names above.
    {"clGray", 0x808080},  {"clSilver", 0xC0C0C0},
}};

constexpr std::array<std::string_view, 8> kKeepExtensions{
    ".html", ".css", ".xml", ".xsl", ".zip", ".z", ".lzh", ".raw"};

constexpr std::string_view kCountryDomains =
    "ac ad ae af ag ai al am an ao aq ar as at au aw az ba bb bd be bg bh bi bj bm bn bo br bs "
    "bt bv bw by bz ca cc cd cf cg ch ci ck cl cm cn co cr cs cu cv cx cy cz de dj dk dm do dz "
    "ec ee eg eh er es et fi fj fk fm fo fr fx ga gb gd ge gf gg gh gi gl gm gn gp gq gr gs gt "
    "gu gw gy hk hm hn hr ht hu id ie il in io iq ir is it je jm jo jp ke kg kh ki km kn kp kr "
    "kw ky kz la lb lc li lk lr ls lt lu lv ly ma mc md mg mh mk ml mm mn mo mp mq mr ms mt mu "
    "mv mw mx my mz na nc ne nf ng ni nl no np nr nt nu nz om pa pe pf pg ph pk pl pm pn pr pt "
    "pw py qa re ro ru rw sa sb sc sd se sg sh si sj sk sl sm sn so sr st su sv sy sz tc td tf "
    "tg th tj tk tn to tp tr tt tv tw tz ua uk ug um us uy uz va vc ve vi vg vn vu wf ws ye yt "
    "yu za zm zr zw";

constexpr std::array<std::string_view, 10> kGenericDomains{
    ".com", ".org", ".net", ".gov", ".edu", ".int", ".name", ".info", ".biz", ".mil"};

bool isTopLevelDomain(std::string_view ext) {
  if (ext == ".") return true;
  for (auto d : kGenericDomains)
    if (ext == d) return true;
  if (ext.size() == 3) {
    std::string_view cc = ext.substr(1);
    for (std::size_t i = 0; i + 2 <= kCountryDomains.size(); i += 3)
      if (kCountryDomains.substr(i, 2) == cc) return true;
  }
  return false;
}

}  // namespace

// ---- Quotes and HTML ----

std::string Dequote(std::string_view text) {
  if (text.empty() || text[0] != '"') return std::string(text);
  std::string_view r = text.substr(1);
  // '"' is never a second byte, so the last byte tells.
  if (!r.empty() && r.back() == '"') r.remove_suffix(1);
  return std::string(r);
}

std::string EncloseWith(std::string_view text, char c) {
  const std::string one(1, c);
  if (text.empty()) return one + one;
  std::string r(text);
  if (r[0] != c) r = one + r;
  if (!sjis::endsWith(r, one)) r += c;
  return r;
}

std::string EscapeHTML(std::string_view text) {
  std::string r = sjis::replaceAll(text, "&", "&amp;");
  r = sjis::replaceAll(r, "<", "&lt;");
  r = sjis::replaceAll(r, ">", "&gt;");
  return sjis::replaceAll(r, "\"", "&quot;");
}

std::string TextToHTML(std::string_view text) {
  std::string r = sjis::replaceAll(text, "&", "&amp;");
  r = sjis::replaceAll(r, "<", "&lt;");
  r = sjis::replaceAll(r, ">", "&gt;");
  if (!r.empty() && r[0] == ' ') r.replace(0, 1, "&nbsp;");
  return r;
}

std::string UnescapeHTML(std::string_view text) {
  std::string r(text);
  UnescapeHTMLInPlace(r);
  return r;
}

void UnescapeHTMLInPlace(std::string& text) {
  const void* amp = std::memchr(text.data(), '&', text.size());
  if (!amp) return;
  // One left-to-right pass gives the same text as replacing "&nbsp;", "&lt;", "&gt;",
  // "&quot;" and last "&amp;" in turn: no replacement yields a '&' or a letter, so no
  // pass can make or break a match for a later one. '&' is never a second byte, and an
  // entity matches only ASCII bytes, so letters fold bytewise; the letter after the '&'
  // tells which entity it can be. No entity is shorter than its character, so the text
  // shrinks where it stands.
  auto matches = [&text](std::size_t at, std::string_view entity) {
    if (text.size() - at < entity.size()) return false;
    for (std::size_t k = 1; k < entity.size(); ++k)
      if (sjis::foldByte(static_cast<unsigned char>(text[at + k])) != static_cast<unsigned char>(entity[k]))
        return false;
    return true;
  };
  std::size_t in = static_cast<std::size_t>(static_cast<const char*>(amp) - text.data());
  std::size_t out = in;
  const std::size_t n = text.size();
  while (in < n) {
    if (text[in] != '&') {
      // The run up to the next entity moves down as one.
      const void* next = std::memchr(text.data() + in, '&', n - in);
      const std::size_t end = next ? static_cast<std::size_t>(static_cast<const char*>(next) - text.data()) : n;
      if (out != in) std::memmove(&text[out], &text[in], end - in);
      out += end - in;
      in = end;
      continue;
    }
    std::string_view entity;
    char r = '&';
    switch (in + 1 < n ? sjis::foldByte(static_cast<unsigned char>(text[in + 1])) : 0) {
      case 'n': entity = "&nbsp;", r = ' '; break;
      case 'l': entity = "&lt;", r = '<'; break;
      case 'g': entity = "&gt;", r = '>'; break;
      case 'q': entity = "&quot;", r = '"'; break;
      case 'a': entity = "&amp;", r = '&'; break;
      default: break;
    }
    if (!entity.empty() && matches(in, entity)) {
      text[out++] = r;
      in += entity.size();
    } else {
      text[out++] = '&';
      ++in;
    }
  }
  text.resize(out);
}

// ---- Splitting and counting ----

void SplitToStrings(std::string_view text, StringList& list, std::string_view delimiters) {
  list.clear();
  std::size_t start = 0, i = 0;
  while (i < text.size()) {
    std::size_t len = sjis::charLen(text, i);
    if (isDelimiterAt(text, i, delimiters)) {
      list.add(sjis::trim(text.substr(start, i - start)));
      start = i + 1;
    }
    i += len;
  }
  if (start < text.size()) list.add(std::string(text.substr(start)));
}

void SplitToStringsQuoted(std::string_view text, StringList& list, std::string_view delimiters) {
  list.clear();
  std::string piece;
  char quote = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t len = sjis::charLen(text, i);
    char c = text[i];
    if (len == 2) {
      piece.append(text.substr(i, 2));
    } else if (quote) {
      piece += c;
      if (c == quote) {
        // A doubled quote with text after it keeps the stretch open.
        if (i + 2 < text.size() && text[i + 1] == quote) {
          piece += quote;
          ++i;
        } else {
          quote = 0;
        }
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      piece += c;
    } else if (delimiters.find(c) != std::string_view::npos) {
      list.add(sjis::trim(piece));
      piece.clear();
    } else {
      piece += c;
    }
    i += len;
  }
  if (!piece.empty()) list.add(piece);
}

std::string SplitFirstWord(std::string_view text, std::string& rest) {
  if (text.empty()) return {};
  // Blank and tab are below 0x40 and never second bytes.
  std::size_t p = text.find_first_of(" \t");
  if (p == std::string_view::npos) {
    rest.clear();
    return std::string(text);
  }
  rest = sjis::trim(text.substr(p));
  return std::string(text.substr(0, p));
}

int CountSubstr(std::string_view text, std::string_view part) {
  if (part.empty()) return 0;
  return static_cast<int>(sjis::countOf(text, part));
}

int LeadingInt(std::string_view text) {
  const std::string t = sjis::trim(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  long long n = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
    n = n * 10 + (t[i] - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return n > INT_MAX ? INT_MIN : static_cast<int>(-n);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

bool IsAllDigits(std::string_view text) {
  for (char c : text)
    if (!isDigit(c)) return false;
  return true;
}

bool HasDigit(std::string_view text) {
  for (char c : text)
    if (isDigit(c)) return true;
  return false;
}

std::string DigitsOnly(std::string_view text) {
  std::string r;
  for (char c : text)
    if (isDigit(c)) r += c;
  return r;
}

// ---- Numbers inside texts ----

std::string IncNumberStr(std::string_view text) {
  return stepNumber(text, static_cast<std::ptrdiff_t>(text.size()) - 1, true);
}

std::string DecNumberStr(std::string_view text) {
  return stepNumber(text, static_cast<std::ptrdiff_t>(text.size()) - 1, false);
}

std::string IncLastNumberStr(std::string_view text) { return stepLastNumber(text, true); }
std::string DecLastNumberStr(std::string_view text) { return stepLastNumber(text, false); }

// ---- Dates ----

bool TryDigitsToDateTime(std::string_view text, DateTime& out) {
  if (text.size() < 4) return false;
  // Position of each group (0-based), its width and default.
  struct Group {
    std::size_t pos, width;
    int def;
  };
  static constexpr Group groups[6] = {{0, 4, 0}, {4, 2, 1}, {6, 2, 1}, {8, 2, 0}, {10, 2, 0}, {12, 2, 0}};
  int v[6];
  for (int g = 0; g < 6; ++g) {
    v[g] = groups[g].def;
    if (text.size() < groups[g].pos + groups[g].width) continue;
    if (!readGroup(text.substr(groups[g].pos, groups[g].width), v[g])) return false;
  }
  if (v[0] == 0 || !IsValidDate(v[0], v[1], v[2]) || !IsValidTime(v[3], v[4], v[5], 0)) return false;
  out = DateTime{v[0], v[1], v[2], v[3], v[4], v[5], 0};
  return true;
}

DateTime DigitsToDateTime(std::string_view text) {
  DateTime dt;
  if (TryDigitsToDateTime(text, dt)) return dt;
  return Now();
}

// ---- File names and the shell ----

std::string SanitizeFileName(std::string_view text) {
  static constexpr std::string_view bad = "\\/:,;*?\"<>|";
  std::string r(text);
  for (std::size_t i = 0; i < r.size(); i += sjis::charLen(r, i))
    if (isDelimiterAt(r, i, bad)) r[i] = '_';
  return r;
}

std::string URLToLocalFileName(std::string_view url) {
  if (sjis::trim(url).empty()) return "space.html";
  std::string s(url);
  if (!s.empty() && s.back() == '/') s += "index.html";  // '/' is never a second byte
  std::string r;
  static constexpr std::string_view drop = ":<>/\\";
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = sjis::charLen(s, i);
    if (!isDelimiterAt(s, i, drop)) r.append(s, i, len);
    i += len;
  }
  std::size_t dot = r.rfind('.');  // '.' is never a second byte
  if (dot == std::string::npos) return r;
  std::string ext = sjis::lower(std::string_view(r).substr(dot));
  for (auto k : kKeepExtensions)
    if (ext == k) return r;
  if (isTopLevelDomain(ext)) r += "_index.html";
  return r;
}

// ---- Characters ----

std::string DeleteFirstChar(std::string_view text) {
  if (text.size() <= 1) return {};
  return std::string(text.substr(sjis::charLen(text, 0)));
}

std::string DeleteLastChar(std::string_view text) {
  if (text.size() <= 1) return {};
  // A lone lead byte at the end is a character of its own: dropping two bytes there
  // would cut the character before it in half.
  std::size_t n = text.size();
  std::size_t cut = sjis::isSecondByte(text, n - 1) ? 2 : 1;
  return std::string(text.substr(0, n - cut));
}

std::string CutHeadToDelimiter(std::string_view text, std::string_view delimiters) {
  std::string r(text);
  if (sjis::trim(r).empty() || r.size() < 3) return r;
  do {
    r.erase(0, sjis::charLen(r, 0));
  } while (r.size() > 3 && !isDelimiterAt(r, 0, delimiters));
  return r;
}

std::string CutTailToDelimiter(std::string_view text, std::string_view delimiters) {
  std::string r(text);
  if (sjis::trim(r).empty() || r.size() < 3) return r;
  do {
    r = DeleteLastChar(r);
  } while (r.size() > 2 && !isDelimiterAt(r, sjis::charStart(r, r.size() - 1), delimiters));
  return r;
}

// ---- Colours and Booleans ----

std::string ColorToName(Color color) {
  for (std::size_t i = 0; i < 16; ++i)
    if (kColors[i].value == color) return kColors[i].name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%.6X", static_cast<unsigned>(color));
  return buf;
}

Color NameToColor(std::string_view text) {
  if (sjis::trim(text).empty()) return 0;
  auto parse = [](std::string_view s, unsigned base) -> Color {
    // Reads up to the first character that is not a digit of the base; a number that
    // does not fit in 32 bits gives black.
    std::uint64_t v = 0;
    for (char c : s) {
      unsigned d;
      if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
      else if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
      else if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
      else break;
      v = v * base + d;
      if (v > 0xFFFFFFFFull) return 0;
    }
    return static_cast<Color>(v);
  };
  if (text[0] == '$') return parse(text.substr(1), 16);
  if (isDigit(text[0])) return parse(text, 10);
  for (const auto& c : kColors)
    if (text == c.name) return c.value;
  return 0;
}

std::string BoolToText(bool value) { return value ? "true" : "false"; }

bool PointInRect(const Point& p, const Rect& r) {
  return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

}  // namespace wux

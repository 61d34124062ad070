#include "platform/textconv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <unordered_map>

namespace wux::platform {

namespace {

void addLost(std::vector<char32_t>* lost, char32_t cp) {
  if (lost && std::find(lost->begin(), lost->end(), cp) == lost->end()) lost->push_back(cp);
}

// glibc's "SHIFT_JIS" maps 0x5C to the yen sign; "CP932" keeps it a backslash as the
// files written by the Windows program expect. With `lost`, the input is UTF-8 and each
// character replaced is named there.
std::string convert(std::string_view in, const char* to, const char* from, std::string_view replacement,
                    std::size_t badStep, std::vector<char32_t>* lost = nullptr) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buf[4096];
  while (srcLeft > 0) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence): replace and step over the bad bytes.
      out.append(replacement);
      std::size_t len;
      addLost(lost, utf8CodePoint(std::string_view(src, srcLeft), len));
      std::size_t step = badStep;
      if (step > srcLeft) step = srcLeft;
      if (errno == EILSEQ && badStep > 1) {
        // Step over one UTF-8 sequence at most, never a following good character.
        step = 1;
        while (step < srcLeft && (static_cast<unsigned char>(src[step]) & 0xC0) == 0x80) ++step;
      }
      src += step;
      srcLeft -= step;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

char32_t utf8CodePoint(std::string_view s, std::size_t& len) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.empty()) {
    len = 0;
    return 0xFFFD;
  }
  len = 1;
  const unsigned char c = b(0);
  std::size_t n = 0;
  if (c < 0x80) n = 1;
  else if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3;
  else if (c >= 0xF0 && c <= 0xF4) n = 4;
  if (n == 0 || n > s.size()) return 0xFFFD;
  char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  len = n;
  return cp;
}

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string sjisToUtf8(std::string_view sjis) {
  if (isAscii(sjis)) return std::string(sjis);
  return convert(sjis, "UTF-8", "CP932", "\xEF\xBF\xBD", 1);
}

std::string utf8ToSjis(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  return convert(utf8, "CP932", "UTF-8", "?", 2);
}

std::string utf8ToSjis(std::string_view utf8, std::vector<char32_t>& lost) {
  if (isAscii(utf8)) return std::string(utf8);
  return convert(utf8, "CP932", "UTF-8", "?", 2, &lost);
}

bool charsetToSjis(std::string_view charset, std::string_view text, std::string& out, std::vector<char32_t>& lost) {
  const std::string name(charset);
  iconv_t probe = iconv_open("UTF-8", name.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(probe);
  // Through UTF-8, so every character that does not arrive is known by its code point.
  out = utf8ToSjis(convert(text, "UTF-8", name.c_str(), "\xEF\xBF\xBD", 1), lost);
  return true;
}

std::string unstorableText(const std::vector<char32_t>& lost) {
  std::string out = "Warrning: not stored in Shift_JIS:";
  for (char32_t cp : lost) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " U+%04X", static_cast<unsigned>(cp));
    out += buf;
  }
  return out;
}

TextForm textFormOf(std::string_view bytes, bool utf8) {
  TextForm form;
  form.utf8 = utf8;
  form.bom = bytes.starts_with("\xEF\xBB\xBF");
  const std::size_t lf = bytes.find('\n');
  form.bareLf = lf != std::string_view::npos && (lf == 0 || bytes[lf - 1] != '\r');
  form.lastBreak = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
  return form;
}

std::string writeTextForm(const std::string& sjisText, const TextForm& form) {
  std::string text = form.utf8 ? sjisToUtf8(sjisText) : sjisText;
  if (form.bareLf) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) joined += text[i];
    text = std::move(joined);
  }
  if (!form.lastBreak) {
    if (text.ends_with("\r\n"))
      text.resize(text.size() - 2);
    else if (text.ends_with("\n"))
      text.pop_back();
  }
  if (form.bom) text.insert(0, "\xEF\xBB\xBF");
  return text;
}

ForeignText readForeignText(std::string_view bytes) {
  ForeignText t;
  t.form = textFormOf(bytes, false);
  if (isAscii(bytes) || !isValidUtf8(bytes)) {
    t.sjis = std::string(bytes);
    t.form.bom = false;  // such bytes stay in the text
    return t;
  }
  t.utf8 = t.form.utf8 = true;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  t.sjis = utf8ToSjis(bytes, t.lost);
  return t;
}

std::string writeForeignText(const std::string& sjisText, std::string_view previous) {
  return writeTextForm(sjisText, textFormOf(previous, true));
}

std::string fromOsName(std::string_view osName) {
  if (isAscii(osName) || !isValidUtf8(osName)) return std::string(osName);
  return utf8ToSjis(osName);
}

bool sjisHolds(char32_t cp) {
  if (cp < 0x80) return true;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  // Editors ask for every character on every change: each answer is asked of iconv once.
  static std::mutex lock;
  static std::unordered_map<char32_t, bool> known;
  std::lock_guard<std::mutex> guard(lock);
  if (auto it = known.find(cp); it != known.end()) return it->second;
  char u8[4];
  std::size_t n;
  if (cp < 0x800) {
    u8[0] = static_cast<char>(0xC0 | (cp >> 6));
    u8[1] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 2;
  } else if (cp < 0x10000) {
    u8[0] = static_cast<char>(0xE0 | (cp >> 12));
    u8[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    u8[2] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 3;
  } else {
    u8[0] = static_cast<char>(0xF0 | (cp >> 18));
    u8[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    u8[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    u8[3] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 4;
  }
  // The replacement is a byte no conversion gives, so "?" in the output means a failure.
  const std::string out = convert(std::string_view(u8, n), "CP932", "UTF-8", std::string_view("\0", 1), 2);
  const bool holds = out.find('\0') == std::string::npos;
  known.emplace(cp, holds);
  return holds;
}

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len;
    if (c < 0x80) len = 1;
    else if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) len = 3;
    else if (c >= 0xF0 && c <= 0xF4) len = 4;
    else return false;
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

}  // namespace wux::platform

#include "platform/charrefs.h"

#include <iconv.h>

#include <cerrno>
#include <cctype>

namespace wux::platform {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Decodes the UTF-8 sequence at `p` (at most `left` bytes); `len` gets its length. A
// broken sequence counts as one byte and gives U+FFFD.
char32_t decodeOne(const char* p, std::size_t left, std::size_t& len) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
  const unsigned char c = b(0);
  std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (n == 0 || n > left) {
    len = 1;
    return 0xFFFD;
  }
  char32_t cp = n == 1 ? c : c & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) {
      len = 1;
      return 0xFFFD;
    }
    cp = cp << 6 | (b(i) & 0x3F);
  }
  len = n;
  return cp;
}

}  // namespace

std::string encodeWithCharRefs(std::string_view utf8, std::string_view charset) {
  const std::string name = lower(charset);
  std::string out;
  std::string target(charset);
  if (name.empty() || name == "shift_jis" || name == "windows-31j") target = "CP932";
  if (name == "utf-8") return std::string(utf8);
  if (name == "utf-16le") out = "\xFF\xFE";
  if (name == "utf-16be") out = "\xFE\xFF";

  iconv_t cd = iconv_open(target.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("ASCII", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  char* src = const_cast<char*>(utf8.data());
  std::size_t srcLeft = utf8.size();
  char buf[4096];
  while (true) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    // With nothing left, the call ends a stateful encoding (ISO-2022-JP) in ASCII.
    const std::size_t r =
        srcLeft > 0 ? iconv(cd, &src, &srcLeft, &dst, &dstLeft) : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    const int err = errno;
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1)) {
      if (srcLeft == 0 && dst == buf) break;
      continue;
    }
    if (err == E2BIG) continue;
    // A character the set cannot hold: the reference is written in ASCII, so a stateful
    // encoding is first brought back to its initial state.
    dst = buf;
    dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    std::size_t len = 1;
    const char32_t cp = decodeOne(src, srcLeft, len);
    out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
    src += len;
    srcLeft -= len;
  }
  iconv_close(cd);
  return out;
}

}  // namespace wux::platform

#include "platform/charrefs.h"

#include <iconv.h>

#include <cerrno>
#include <cctype>

#include "platform/textconv.h"

namespace wux::platform {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
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
    std::size_t len;
    const char32_t cp = utf8CodePoint(std::string_view(src, srcLeft), len);
    out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
    src += len;
    srcLeft -= len;
  }
  iconv_close(cd);
  return out;
}

}  // namespace wux::platform

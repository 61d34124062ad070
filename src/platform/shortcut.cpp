#include "platform/shortcut.h"

#include <cstdint>

#include "platform/paths.h"

namespace wux::platform {

namespace {

bool u32(std::string_view d, std::size_t at, std::uint32_t& out) {
  if (at > d.size() || d.size() - at < 4) return false;
  out = 0;
  for (int i = 3; i >= 0; --i) out = (out << 8) | static_cast<unsigned char>(d[at + static_cast<std::size_t>(i)]);
  return true;
}

// A NUL-terminated string at `at`, bounded by `end`.
bool cString(std::string_view d, std::size_t at, std::size_t end, std::string& out) {
  if (at >= end) return false;
  const std::size_t nul = d.substr(0, end).find('\0', at);
  if (nul == std::string_view::npos) return false;
  out.assign(d.substr(at, nul - at));
  return true;
}

}  // namespace

bool ShortcutTarget(std::string_view d, std::string& target) {
  constexpr std::uint32_t kHeaderSize = 0x4C, kHasIdList = 0x1, kHasLinkInfo = 0x2, kLocalPath = 0x1;
  std::uint32_t header = 0, flags = 0;
  if (!u32(d, 0, header) || header != kHeaderSize || !u32(d, 0x14, flags)) return false;
  std::size_t at = kHeaderSize;
  if (flags & kHasIdList) {
    if (d.size() < at + 2) return false;
    const std::size_t idSize = static_cast<unsigned char>(d[at]) | (static_cast<unsigned char>(d[at + 1]) << 8);
    at += 2 + idSize;
  }
  if (!(flags & kHasLinkInfo)) return false;
  std::uint32_t infoSize = 0, infoFlags = 0, baseOffset = 0, suffixOffset = 0;
  if (!u32(d, at, infoSize) || !u32(d, at + 8, infoFlags) || !u32(d, at + 16, baseOffset) ||
      !u32(d, at + 24, suffixOffset))
    return false;
  if (!(infoFlags & kLocalPath) || infoSize > d.size() - at) return false;
  const std::size_t end = at + infoSize;
  std::string base, suffix;
  if (!cString(d, at + baseOffset, end, base) || base.empty()) return false;
  cString(d, at + suffixOffset, end, suffix);
  target = base + suffix;
  return true;
}

std::string MapWindowsPath(const std::string& path) {
  std::string p = toSlashes(path);
  if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')))
    p = p.substr(2);
  return p;
}

}  // namespace wux::platform

#pragma once
// The bytes of a Windows shortcut (".lnk") that stores `target` as its local base path,
// laid out as the shell writes one: header, optional item-id list, link info.
#include <cstdint>
#include <string>

namespace wux::test {

inline std::string shortcutBytes(const std::string& base, const std::string& suffix = {}, bool withIdList = true) {
  auto u32 = [](std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string header = u32(0x4C) + std::string(16, '\x01');  // size, class id
  header += u32(withIdList ? 0x3 : 0x2);                      // HasLinkTargetIDList, HasLinkInfo
  header.resize(0x4C, '\0');
  std::string ids;
  if (withIdList) ids = std::string("\x04\x00", 2) + "abcd";
  const std::uint32_t headerSize = 0x1C;
  const std::uint32_t baseAt = headerSize + 4, suffixAt = baseAt + static_cast<std::uint32_t>(base.size()) + 1;
  const std::uint32_t size = suffixAt + static_cast<std::uint32_t>(suffix.size()) + 1;
  std::string info = u32(size) + u32(headerSize) + u32(0x1) + u32(headerSize) + u32(baseAt) + u32(0) + u32(suffixAt);
  info += std::string(4, '\0');  // the volume id, empty
  info += base + '\0' + suffix + '\0';
  return header + ids + info + std::string(4, '\0');
}

}  // namespace wux::test

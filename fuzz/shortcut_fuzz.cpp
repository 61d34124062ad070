// Shortcut files come from anywhere a user drops them: any bytes must give a target or
// a refusal, never a read outside the data.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/shortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string target;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (wux::platform::ShortcutTarget(bytes, target)) {
    if (target.empty() || target.size() > size) std::abort();
    (void)wux::platform::MapWindowsPath(target);
  }
  return 0;
}

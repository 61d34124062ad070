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
    // Base path and suffix are two pieces of the data (they may overlap).
    if (target.empty() || target.size() > 2 * size) std::abort();
    (void)wux::platform::MapWindowsPath(target);
  }
  return 0;
}

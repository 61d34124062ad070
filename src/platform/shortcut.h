#pragma once
// Windows shortcut files (".lnk"): the target path they store. There is no shell to
// ask here, so the link-info block is read directly (local base path plus common path
// suffix, in the ANSI code page, which for these documents is Shift_JIS).
#include <string>
#include <string_view>

namespace wux::platform {

// The stored target, as written on Windows ("C:\notes\a.mhz"); false when the data is
// not a shortcut or stores no local path.
bool ShortcutTarget(std::string_view data, std::string& target);

// A stored Windows path as a path here: separators become "/", and a drive letter
// ("C:") is dropped so the rest is read from the root.
std::string MapWindowsPath(const std::string& path);

}  // namespace wux::platform

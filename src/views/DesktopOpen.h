#pragma once
// Handing a target to the desktop from a window without a status line of its own: the
// reason of a failure is said in a box. Windows with a status line report
// platform::openWithDesktop's answer there.
#include <string>
#include <string_view>

namespace wux {

// platform::openWithDesktop, saying in a box why nothing was opened; true when the
// handler started.
bool OpenWithDesktopOrSay(const std::string& target, bool explore = false);
// Opens a web address or file URL (-1), explores the folder of a path (0), or reports
// the target as missing (-1). A desktop that takes nothing is reported as by
// OpenWithDesktopOrSay.
int OpenURLOrFile(std::string_view target);

}  // namespace wux

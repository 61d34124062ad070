#include "views/DesktopOpen.h"

#include "model/Prompter.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"

#include <algorithm>

namespace wux {

bool OpenWithDesktopOrSay(const std::string& target, bool explore) {
  const std::string why = platform::openWithDesktop(target, explore);
  if (why.empty()) return true;
  prompter().messageBox(why, "", Buttons::OK);
  return false;
}

int OpenURLOrFile(std::string_view target) {
  std::string t = sjis::trim(target);
  std::string head = sjis::lower(std::string_view(t).substr(0, std::min<std::size_t>(6, t.size())));
  if (head.starts_with("http:") || head.starts_with("file:") || head.starts_with("https:")) {
    OpenWithDesktopOrSay(t);
    return -1;
  }
  std::size_t cut = sjis::findLastOf(t, "\\/:");
  if (cut != std::string::npos) {
    std::string dir = t.substr(0, cut + 1);
    if (platform::dirExists(dir)) return OpenWithDesktopOrSay(dir, true) ? 0 : -1;
  }
  prompter().messageBox(t + " not exists", "", Buttons::OK);
  return -1;
}

}  // namespace wux

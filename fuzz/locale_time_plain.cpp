// The fuzz build has no toolkit, so no locale: headers write "%t" as hh:mm:ss there,
// which exercises the layout just the same.
#include <cstdio>

#include "printing/PageLayout.h"

namespace wux {

std::string LocaleTimeText(const DateTime& now) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour % 100, now.minute % 100, now.second % 100);
  return text;
}

}  // namespace wux

#pragma once
// What the parts of the document's files share: file kinds by extension and the open
// and save dialogs' filter.
#include <string>

#include "model/text/sjis.h"
#include "platform/paths.h"

namespace wux::documentfiles {

inline std::string lowerExt(const std::string& name) { return sjis::lower(platform::extOf(name)); }

inline constexpr const char* kDocumentFilter = "MXA files (*.mxa)|*.mxa|MAZ files (*.maz)|*.maz|ALL files (*.*)|*.*";

}  // namespace wux::documentfiles

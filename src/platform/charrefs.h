#pragma once
// Text written back in the character set a page was read in, for pages saved from the
// browser: what that set cannot hold is kept as a numeric character reference.
#include <string>
#include <string_view>

namespace wux::platform {

// `utf8` encoded in `charset`, a name as browsers report it ("UTF-8", "Shift_JIS",
// "windows-1252", "EUC-JP", ...); each character the set cannot hold becomes "&#N;" with
// N its decimal code point. Shift_JIS is written as code page 932, like the notes; a
// UTF-16 text starts with its byte order mark. A set this system does not know is
// written as ASCII, every other character as a reference, which reads back the same
// under any declaration that keeps ASCII.
std::string encodeWithCharRefs(std::string_view utf8, std::string_view charset);

}  // namespace wux::platform

#pragma once
// The freedesktop.org conventions the program uses to register its file types and to
// put a launcher on the desktop: desktop entries, the per-user mimeapps.list and the
// desktop folder. Texts given to and returned by the entry helpers are UTF-8 (what
// those files hold); folder names are program text (Shift_JIS) like every path.
#include <string>
#include <string_view>
#include <vector>

namespace wux::platform {

// A value for a string key of a desktop entry (Name=, Path=): backslash, newline,
// tab and carriage return written as escapes, so any value reads back as itself.
std::string desktopEntryString(std::string_view utf8);

// One argument of a desktop entry's Exec= key, always quoted: the characters the
// quoting rules reserve are escaped and "%" is doubled, so a program path with blanks,
// quotes or percent signs starts as that path. The result is already a string value.
std::string desktopExecArgument(std::string_view utf8);

// mimeapps.list text with `desktopId` the default application of each of `mimeTypes`
// (section [Default Applications], made when missing). Every other line stays as it
// was; a type already there gets the new value in its place, so doing it twice gives
// the same text.
std::string addDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                   const std::string& desktopId);
// The text without what addDefaultApplications put there: lines of [Default
// Applications] that give one of `mimeTypes` to `desktopId` alone. A section left
// with nothing in it goes too; a default the user changed since stays.
std::string removeDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                      const std::string& desktopId);

// The user's desktop folder: what `xdg-user-dir DESKTOP` answers, else ~/Desktop.
// It ends in "/" and is not created here.
std::string desktopDir();

}  // namespace wux::platform

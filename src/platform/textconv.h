#pragma once
// The one place where Shift_JIS (code page 932) text meets Unicode: the GUI, file names
// and the UTF-8 literals in the sources. Invalid bytes become a replacement character;
// nothing here throws or reads past its input.
#include <string>
#include <string_view>

namespace wux::platform {

std::string sjisToUtf8(std::string_view sjis);
std::string utf8ToSjis(std::string_view utf8);
bool isValidUtf8(std::string_view s);
// True when Shift_JIS (code page 932) holds the character, directly or by the look-alike
// mapping the conversions use (full-width forms, the wave dash); false for characters
// that would turn into "?" (the euro sign, emoji, accented letters, Hangul, ...).
bool sjisHolds(char32_t codePoint);
// True when every byte is ASCII (the common case, which needs no conversion).
bool isAscii(std::string_view s);

// File names: the program keeps them as Shift_JIS texts (they live in notes and files
// written on Windows); the file system here speaks UTF-8. ASCII names pass unchanged.
inline std::string osPath(std::string_view sjisPath) { return sjisToUtf8(sjisPath); }
// A name from the file system as program text; a name that is not valid UTF-8 is kept
// as it is, so it can still be handed back to the file system.
std::string fromOsName(std::string_view osName);

}  // namespace wux::platform

namespace wux {
// A UTF-8 literal of the sources as the Shift_JIS bytes the program keeps in memory.
inline std::string sj(std::string_view utf8) { return platform::utf8ToSjis(utf8); }
}  // namespace wux

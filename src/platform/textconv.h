#pragma once
// The one place where Shift_JIS (code page 932) text meets Unicode: the GUI, file names
// and the UTF-8 literals in the sources. Invalid bytes become a replacement character;
// nothing here throws or reads past its input.
#include <string>
#include <string_view>
#include <vector>

namespace wux::platform {

std::string sjisToUtf8(std::string_view sjis);
std::string utf8ToSjis(std::string_view utf8);
// As above; each character Shift_JIS cannot hold (it becomes "?") is added once to
// `lost`, in the order met.
std::string utf8ToSjis(std::string_view utf8, std::vector<char32_t>& lost);
bool isValidUtf8(std::string_view s);
// The code point of the UTF-8 sequence `s` starts with, and in `len` its length. A
// sequence that is not whole and well-formed gives U+FFFD and counts as one byte (none
// for an empty `s`).
char32_t utf8CodePoint(std::string_view s, std::size_t& len);
// Text in a charset iconv knows (ISO-8859-x, Windows-125x, GB2312, Big5, KOI8-R, ...)
// as Shift_JIS, with the characters it cannot hold added to `lost`. False, and `out`
// untouched, when iconv does not know the charset.
bool charsetToSjis(std::string_view charset, std::string_view text, std::string& out, std::vector<char32_t>& lost);
// The words that name the characters a text lost on its way into Shift_JIS:
// "Warrning: not stored in Shift_JIS: U+20AC U+00E9".
std::string unstorableText(const std::vector<char32_t>& lost);

// How a text file is written: its encoding, its byte-order mark, its line breaks (LF or
// CR LF) and whether its last line has one. A file with no line break at all counts as
// CR LF.
struct TextForm {
  bool utf8 = false;
  bool bom = false;
  bool bareLf = false;
  bool lastBreak = true;
};
// The form of `bytes` (empty bytes: CR LF, a last line break); `utf8` is the caller's.
TextForm textFormOf(std::string_view bytes, bool utf8);
// Program text (lines ended by CR LF) as the bytes of a file of `form`.
std::string writeTextForm(const std::string& sjisText, const TextForm& form);
// A text file's bytes as program text. A file that is valid UTF-8 and holds a byte
// outside ASCII is UTF-8 (a leading byte-order mark is dropped); any other file is
// Shift_JIS already and passes unchanged.
struct ForeignText {
  std::string sjis;
  bool utf8 = false;
  std::vector<char32_t> lost;
  TextForm form;  // the file's own, to write it back as it was
};
ForeignText readForeignText(std::string_view bytes);
// The other way, for writing such a text back over `previous` (what the file holds now,
// empty for a new file): UTF-8 with the previous text's line breaks (LF or CR LF), its
// byte-order mark and its last line break or the lack of one.
std::string writeForeignText(const std::string& sjisText, std::string_view previous);
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

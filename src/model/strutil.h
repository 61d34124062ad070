#pragma once
// Small stateless text helpers used all over wux: field unquoting, HTML escaping,
// splitting, number stepping inside names, digit-string dates, file names, colours.
// Texts are Shift_JIS bytes; a delimiter or searched character only ever matches a
// single-byte character, never the second byte of a double-byte one.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/clock.h"

namespace wux {

class StringList;

// Quotes and HTML
std::string Dequote(std::string_view text);
std::string EncloseWith(std::string_view text, char c);
std::string EscapeHTML(std::string_view text);
std::string TextToHTML(std::string_view text);
std::string UnescapeHTML(std::string_view text);
// The same, in place.
void UnescapeHTMLInPlace(std::string& text);

// Splitting and counting
void SplitToStrings(std::string_view text, StringList& list, std::string_view delimiters);
void SplitToStringsQuoted(std::string_view text, StringList& list, std::string_view delimiters);
// Returns the first word; `rest` receives the trimmed remainder (untouched for "").
std::string SplitFirstWord(std::string_view text, std::string& rest);
int CountSubstr(std::string_view text, std::string_view part);
bool IsAllDigits(std::string_view text);
bool HasDigit(std::string_view text);
std::string DigitsOnly(std::string_view text);
// The decimal number at the head of the trimmed text ("12abc" is 12, "-5" is -5, no
// digits is 0); a number too large for an int stops at the int's limit.
int LeadingInt(std::string_view text);

// Numbers inside texts
std::string IncNumberStr(std::string_view text);
std::string DecNumberStr(std::string_view text);
std::string IncLastNumberStr(std::string_view text);
std::string DecLastNumberStr(std::string_view text);

// "YYYYMMDDhhnnss" or a prefix of it. The first form falls back to the current time;
// the second tells the caller that the text is not a date and leaves `out` alone.
DateTime DigitsToDateTime(std::string_view text);
bool TryDigitsToDateTime(std::string_view text, DateTime& out);

// File names and the shell
std::string SanitizeFileName(std::string_view text);
std::string URLToLocalFileName(std::string_view url);

// Characters, respecting double-byte characters
std::string DeleteFirstChar(std::string_view text);
std::string DeleteLastChar(std::string_view text);
std::string CutHeadToDelimiter(std::string_view text, std::string_view delimiters);
std::string CutTailToDelimiter(std::string_view text, std::string_view delimiters);

// Colours are 0xBBGGRR.
using Color = std::uint32_t;
std::string ColorToName(Color color);
Color NameToColor(std::string_view text);
std::string BoolToText(bool value);

struct Point {
  int x = 0, y = 0;
};
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
bool PointInRect(const Point& p, const Rect& r);

}  // namespace wux

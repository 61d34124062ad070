#pragma once
// The one formatter for number formats that come from users or files (line numbering,
// notebook number formats, ...). Such text never reaches printf: it is parsed here and
// accepted only when it is literal text, "%%" and exactly one integer directive
//   %[-][0][width][.precision](d|u|x|X)
// Anything else ("%s", "%n", "*", a second directive, length modifiers) is rejected.
#include <string>
#include <string_view>

namespace wux {

struct IntFormat {
  std::string before;  // literal text before the directive ("%%" already unescaped)
  std::string after;   // literal text after it
  bool leftAlign = false;
  bool zeroPad = false;
  int width = 0;
  int precision = -1;  // -1: none
  char conversion = 'd';
};

// Widths and precisions above this are refused: a format is never a way to allocate
// unbounded memory.
inline constexpr int kMaxFormatWidth = 1024;

// Parses `fmt`; false (and `out` unspecified) when it is not an acceptable format.
bool ParseIntFormat(std::string_view fmt, IntFormat& out);
bool IsValidIntFormat(std::string_view fmt);
// Formats `v` by a parsed format. "u", "x" and "X" show the 64-bit two's complement of a
// negative value; a precision pads the digits with zeros (and "0" then pads nothing).
std::string FormatInt(const IntFormat& f, long long v);
// Parses and formats; false and `out` untouched when the format is rejected.
bool FormatInt(std::string_view fmt, long long v, std::string& out);

}  // namespace wux

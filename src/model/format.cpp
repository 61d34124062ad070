#include "model/format.h"

namespace wux {

namespace {

// Reads an optional run of digits; false when it exceeds kMaxFormatWidth.
bool readNumber(std::string_view s, std::size_t& i, int& value) {
  long long v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    v = v * 10 + (s[i] - '0');
    if (v > kMaxFormatWidth) return false;
    ++i;
  }
  value = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseIntFormat(std::string_view fmt, IntFormat& out) {
  out = IntFormat{};
  bool seen = false;
  std::size_t i = 0;
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c != '%') {
      (seen ? out.after : out.before) += c;
      ++i;
      continue;
    }
    ++i;
    if (i < fmt.size() && fmt[i] == '%') {
      (seen ? out.after : out.before) += '%';
      ++i;
      continue;
    }
    if (seen) return false;  // a second directive
    seen = true;
    while (i < fmt.size() && (fmt[i] == '-' || fmt[i] == '0')) {
      if (fmt[i] == '-') out.leftAlign = true;
      else out.zeroPad = true;
      ++i;
    }
    if (!readNumber(fmt, i, out.width)) return false;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      if (!readNumber(fmt, i, out.precision)) return false;
    }
    if (i >= fmt.size()) return false;
    char conv = fmt[i];
    if (conv != 'd' && conv != 'u' && conv != 'x' && conv != 'X') return false;
    out.conversion = conv;
    ++i;
  }
  return seen;
}

bool IsValidIntFormat(std::string_view fmt) {
  IntFormat f;
  return ParseIntFormat(fmt, f);
}

std::string FormatInt(const IntFormat& f, long long v) {
  bool negative = f.conversion == 'd' && v < 0;
  unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  std::string digits;
  if (f.conversion == 'x' || f.conversion == 'X') {
    const char* set = f.conversion == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
    do {
      digits.insert(digits.begin(), set[u & 15]);
      u >>= 4;
    } while (u != 0);
  } else {
    do {
      digits.insert(digits.begin(), static_cast<char>('0' + u % 10));
      u /= 10;
    } while (u != 0);
  }
  if (f.precision > 0 && digits.size() < static_cast<std::size_t>(f.precision))
    digits.insert(0, static_cast<std::size_t>(f.precision) - digits.size(), '0');
  std::string sign = negative ? "-" : "";
  std::size_t len = sign.size() + digits.size();
  std::string body;
  std::size_t width = static_cast<std::size_t>(f.width);
  if (len >= width) {
    body = sign + digits;
  } else if (f.leftAlign) {
    body = sign + digits + std::string(width - len, ' ');
  } else if (f.zeroPad && f.precision < 0) {
    body = sign + std::string(width - len, '0') + digits;
  } else {
    body = std::string(width - len, ' ') + sign + digits;
  }
  return f.before + body + f.after;
}

bool FormatInt(std::string_view fmt, long long v, std::string& out) {
  IntFormat f;
  if (!ParseIntFormat(fmt, f)) return false;
  out = FormatInt(f, v);
  return true;
}

}  // namespace wux

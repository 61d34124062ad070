// Number conversions of the script language. User texts never reach printf; the
// decimal point is always '.', whatever the locale.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "script/PoorPascal.h"

namespace wux {

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

bool ScriptStrToInt(std::string_view s, std::int64_t& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  std::uint64_t v = 0;
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  if (hex) {
    for (; i < s.size(); ++i) {
      int h = hexValue(s[i]);
      // Too large by value, not by the number of digits: leading zeros are free.
      if (h < 0 || (v >> 60) != 0) return false;
      v = (v << 4) | static_cast<unsigned>(h);
    }
    out = static_cast<std::int64_t>(neg ? 0 - v : v);  // hexadecimal wraps into 64 bits
    return true;
  }
  const std::uint64_t limit = neg ? 9223372036854775808ull : 9223372036854775807ull;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    unsigned d = static_cast<unsigned>(s[i] - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  out = static_cast<std::int64_t>(neg ? 0 - v : v);
  return true;
}

bool ScriptStrToFloat(std::string_view s, long double& out) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32 && s[b] != 0) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32 && s[e - 1] != 0) --e;
  std::string t(s.substr(b, e - b));
  std::size_t i = 0, digits = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t ed = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++ed;
    if (ed == 0) return false;
  }
  if (i != t.size()) return false;
  // from_chars takes no '+' sign and no bare trailing '.'.
  std::string c;
  std::size_t k = 0;
  if (k < t.size() && t[k] == '+') ++k;
  for (; k < t.size(); ++k) {
    if (t[k] == '.' && (k + 1 == t.size() || !(t[k + 1] >= '0' && t[k + 1] <= '9'))) continue;
    c += t[k];
  }
  if (!c.empty() && (c[0] == '.' || (c[0] == '-' && c.size() > 1 && c[1] == '.'))) c.insert(c[0] == '-' ? 1 : 0, "0");
  long double v = 0;
  auto r = std::from_chars(c.data(), c.data() + c.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small becomes 0, too large is refused like any text that is no number.
    bool tiny = c.find("e-") != std::string::npos || c.find("E-") != std::string::npos;
    if (!tiny) return false;
    v = 0;
  } else if (r.ec != std::errc() || r.ptr != c.data() + c.size()) {
    return false;
  }
  out = v;
  return true;
}

std::string ScriptFloatToStr(double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));
  bool neg = t[0] == '-';
  if (neg) t.remove_prefix(1);
  std::size_t ePos = t.find('e');
  std::string digits;
  for (char c : t.substr(0, ePos))
    if (c != '.') digits += c;
  int exp = 0;
  std::from_chars(t.data() + ePos + 1 + (t[ePos + 1] == '+' ? 1 : 0), t.data() + t.size(), exp);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = neg ? "-" : "";
  if (exp < 15 && exp >= -5) {
    if (exp >= 0) {
      std::size_t intLen = static_cast<std::size_t>(exp) + 1;
      if (digits.size() <= intLen) {
        out += digits + std::string(intLen - digits.size(), '0');
      } else {
        out += digits.substr(0, intLen) + "." + digits.substr(intLen);
      }
    } else {
      out += "0." + std::string(static_cast<std::size_t>(-exp - 1), '0') + digits;
    }
  } else {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exp);
  }
  return out;
}

}  // namespace wux

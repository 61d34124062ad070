#pragma once
// The number rules that the expressions and the built-ins share: 64-bit integers wrap,
// reals never become infinite or NaN, and conversions fall back as the language says.
// Internal to the script library.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/PoorPascal.h"

namespace wux::script_detail {

// The runtime's own failures.
[[noreturn]] inline void divByZero() { throw ScriptError("Division by zero"); }
[[noreturn]] inline void floatDivByZero() { throw ScriptError("Floating point division by zero"); }
[[noreturn]] inline void invalidFloatOp() { throw ScriptError("Invalid floating point operation"); }

// Reals are computed in extended precision and kept as doubles. No infinity or NaN is
// ever a value: a result beyond the extended range, or a value stored beyond the
// double's, is an overflow.
inline long double checked(long double x) {
  if (std::isnan(x)) invalidFloatOp();
  if (std::isinf(x)) throw ScriptError("Floating point overflow");
  return x;
}
inline double toDouble(long double x) { return static_cast<double>(checked(static_cast<double>(checked(x)))); }

inline std::int64_t wrapAdd(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
inline std::int64_t wrapSub(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
inline std::int64_t wrapMul(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}
inline std::int64_t wrapNeg(std::int64_t a) { return static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a)); }

inline std::int64_t truncToInt(long double x) {
  if (!(x > -0x1p63L - 1.0L && x < 0x1p63L)) invalidFloatOp();
  return static_cast<std::int64_t>(x);
}
inline std::int64_t roundToInt(long double x) {
  if (!(x > -0x1p63L - 1.0L && x < 0x1p63L)) invalidFloatOp();
  return truncToInt(std::nearbyint(x));  // ties to even in the default rounding mode
}

inline std::int64_t strToIntDef(std::string_view s, std::int64_t def) {
  std::int64_t v;
  return ScriptStrToInt(s, v) ? v : def;
}
inline long double strToFloatDef(std::string_view s) {
  long double v;
  return ScriptStrToFloat(s, v) ? v : 0.0L;
}

// A stored text ends at its first NUL.
inline std::string cutAtNul(std::string s) {
  std::size_t p = s.find('\0');
  if (p != std::string::npos) s.resize(p);
  return s;
}

}  // namespace wux::script_detail

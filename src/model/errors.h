#pragma once
// Errors that stop an operation. Commands catch them at their boundary and report
// the message; nothing below that boundary lets an index or overflow go on silently.
#include <stdexcept>
#include <string>

namespace wux {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside a list or a text.
class RangeError : public Error {
 public:
  using Error::Error;
};

// A computed size or count that does not fit.
class OverflowError : public Error {
 public:
  using Error::Error;
};

// Raised with a message that names the index and the valid range.
[[noreturn]] void throwRange(const char* where, long long index, long long count);

}  // namespace wux

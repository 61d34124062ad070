#pragma once
// The script tokeniser. Scripts are never compiled: every statement and expression is
// read again each time it runs, so this is the interpreter's hot path. A parser works on
// a view of text that its caller keeps alive; tokens are views into that text.
#include <cstddef>
#include <string>
#include <string_view>

#include "model/text/StringList.h"

namespace wux {

// Token kinds; callers test these numbers.
enum : int {
  tkEnd = 0,        // end of text (also at a NUL byte)
  tkSymbol = 1,     // any other single byte
  tkString = 2,     // quoted literal or one # character literal
  tkInteger = 3,    // decimal digits or $ and hexadecimal digits
  tkReal = 4,       // real literal
  tkComment = 7,    // // to end of line
  tkIdent = 8,      // identifier (keywords too)
  tkOperator2 = 100 // := <= <> >= ..
};

class TPPAParser : public TObject {
 public:
  // Reads the first token at once.
  explicit TPPAParser(std::string_view text);

  int NextToken();
  int Kind() const { return kind_; }
  std::string_view TokenText() const { return text_.substr(start_, cursor_ - start_); }
  std::string TokenTextUpper() const;
  std::size_t TokenPos() const { return start_; }
  std::string_view Text() const { return text_; }
  // True when the current token equals `word` ignoring ASCII case.
  bool Is(std::string_view word) const;
  // Moves past the current token when it equals `word` ignoring case.
  bool AcceptToken(std::string_view word);

 private:
  unsigned char at(std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
  }
  std::string_view text_;
  std::size_t cursor_ = 0;
  std::size_t start_ = 0;
  int kind_ = tkEnd;
};

}  // namespace wux

#include "script/PPAParser.h"

#include "model/text/sjis.h"

namespace wux {

namespace {
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHex(unsigned char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
}  // namespace

TPPAParser::TPPAParser(std::string_view text) : text_(text) { NextToken(); }

std::string TPPAParser::TokenTextUpper() const { return sjis::upper(TokenText()); }

bool TPPAParser::Is(std::string_view word) const {
  std::string_view t = TokenText();
  if (t.size() != word.size()) return false;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (sjis::foldByte(static_cast<unsigned char>(t[i])) != sjis::foldByte(static_cast<unsigned char>(word[i])))
      return false;
  return true;
}

bool TPPAParser::AcceptToken(std::string_view word) {
  if (!Is(word)) return false;
  NextToken();
  return true;
}

int TPPAParser::NextToken() {
  std::size_t i = cursor_;
  // A NUL byte ends the text, like the end itself.
  while (i < text_.size() && at(i) >= 1 && at(i) <= 32) ++i;
  start_ = i;
  unsigned char c = at(i);
  if (c == 0) {
    cursor_ = i;
    return kind_ = tkEnd;
  }
  unsigned char n = at(i + 1);
  if (c == '/' && n == '/') {
    i += 2;
    while (at(i) != 0 && at(i) != '\n' && at(i) != '\r') ++i;
    kind_ = tkComment;
  } else if (c == '\'') {
    ++i;
    for (;;) {
      unsigned char b = at(i);
      if (b == 0) break;  // an unterminated literal runs to the end
      ++i;
      if (b == '\'') {
        if (at(i) == '\'') {
          ++i;
          continue;
        }
        break;
      }
    }
    kind_ = tkString;
  } else if (c == '$') {
    ++i;
    while (isHex(at(i))) ++i;
    kind_ = tkInteger;
  } else if (c == '#') {
    ++i;
    if (at(i) == '$') {
      ++i;
      while (isHex(at(i))) ++i;
    } else {
      while (isDigit(at(i))) ++i;
    }
    kind_ = tkString;
  } else if ((c == ':' && n == '=') || (c == '<' && (n == '=' || n == '>')) || (c == '>' && n == '=') ||
             (c == '.' && n == '.')) {
    i += 2;
    kind_ = tkOperator2;
  } else if (isDigit(c)) {
    while (isDigit(at(i))) ++i;
    kind_ = tkInteger;
    bool exponent = false;
    if (at(i) == '.') {
      unsigned char a = at(i + 1);
      kind_ = tkReal;  // also when the token stops before the '.', as in 1..5
      if (isDigit(a) || a == 'E' || a == 'e') {
        ++i;
        while (isDigit(at(i))) ++i;
        exponent = at(i) == 'E' || at(i) == 'e';
      }
    } else if (at(i) == 'E' || at(i) == 'e') {
      kind_ = tkReal;
      exponent = true;
    }
    if (exponent) {
      ++i;
      if (at(i) == '+' || at(i) == '-') ++i;
      while (isDigit(at(i))) ++i;
    }
  } else if (isLetter(c)) {
    ++i;
    while (isLetter(at(i)) || isDigit(at(i))) ++i;
    kind_ = tkIdent;
  } else {
    ++i;
    kind_ = tkSymbol;
  }
  cursor_ = i;
  return kind_;
}

}  // namespace wux

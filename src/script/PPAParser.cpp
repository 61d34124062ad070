#include "script/PPAParser.h"

#include <algorithm>
#include <climits>

#include "model/text/sjis.h"

namespace wux {

namespace {
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHex(unsigned char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
}  // namespace

Word wordOf(std::string_view t) {
  static const std::pair<std::string_view, Word> kWords[] = {
      {"BEGIN", wBegin}, {"END", wEnd}, {"REPEAT", wRepeat}, {"UNTIL", wUntil}, {"CASE", wCase},
      {"IF", wIf}, {"THEN", wThen}, {"ELSE", wElse}, {"DO", wDo}, {"TO", wTo}, {"DOWNTO", wDownto},
      {"OF", wOf}, {"FOR", wFor}, {"WHILE", wWhile}, {"BREAK", wBreak}, {"CONTINUE", wContinue},
      {"EXIT", wExit}, {"VAR", wVar}, {"NOT", wNot}, {"DIV", wDiv}, {"MOD", wMod}, {"AND", wAnd},
      {"SHL", wShl}, {"SHR", wShr}, {"OR", wOr}, {"XOR", wXor}, {"INTEGER", wInteger},
      {"REAL", wReal}, {"STRING", wString}, {"INDEX", wIndex}, {"(", wLParen}, {")", wRParen},
      {",", wComma}, {";", wSemicolon}, {":", wColon}, {":=", wAssign}, {"=", wEq}, {"<>", wNe},
      {"<", wLt}, {"<=", wLe}, {">", wGt}, {">=", wGe}, {"+", wPlus}, {"-", wMinus}, {"*", wStar},
      {"/", wSlash}, {"..", wRange}};
  if (t.empty() || t.size() > 8) return wNone;
  char up[8];
  for (std::size_t i = 0; i < t.size(); ++i) up[i] = t[i] >= 'a' && t[i] <= 'z' ? static_cast<char>(t[i] - 32) : t[i];
  const std::string_view u(up, t.size());
  for (const auto& [w, id] : kWords)
    if (w == u) return id;
  return wNone;
}

namespace {
bool opens(Word w) { return w == wBegin || w == wRepeat || w == wCase; }
bool closes(Word w) { return w == wEnd || w == wUntil; }
bool indexed(Word w) { return w == wEnd || w == wUntil || w == wSemicolon || w == wElse || w == wIf; }
std::uint64_t key(Word w, int d) {
  return (static_cast<std::uint64_t>(w) << 32) | static_cast<std::uint32_t>(d);
}
constexpr int kAnyDepth = INT32_MIN;
}  // namespace

TokenBuffer::TokenBuffer(std::string text) : text_(std::move(text)) {
  int d = 0;
  for (TPPAParser p(text_); p.Kind() != tkEnd; p.NextToken()) {
    Token t;
    t.pos = static_cast<std::uint32_t>(p.TokenPos());
    t.len = static_cast<std::uint32_t>(p.TokenText().size());
    t.kind = static_cast<std::uint8_t>(p.Kind());
    t.word = p.word();
    const std::size_t after = t.pos + t.len;
    if (p.Kind() == tkComment || p.unterminated() ||
        (after < text_.size() && (static_cast<unsigned char>(text_[after]) > 32)))
      clean_ = false;
    const auto i = static_cast<std::uint32_t>(toks_.size());
    depth_.push_back(d);
    if (indexed(t.word)) where_[key(t.word, t.word == wIf ? kAnyDepth : d)].push_back(i);
    if (opens(t.word))
      ++d;
    else if (closes(t.word))
      --d;
    toks_.push_back(t);
  }
  depth_.push_back(d);
}

std::uint32_t TokenBuffer::nextAtDepth(Word w, int d, std::uint32_t b, std::uint32_t e) const {
  if (e - b < 24) {  // a short range is quicker walked
    for (std::uint32_t i = b; i < e; ++i)
      if (toks_[i].word == w && depth_[i] == d) return i;
    return e;
  }
  auto it = where_.find(key(w, d));
  if (it == where_.end()) return e;
  auto j = std::lower_bound(it->second.begin(), it->second.end(), b);
  return j != it->second.end() && *j < e ? *j : e;
}

std::uint32_t TokenBuffer::nextIf(std::uint32_t b, std::uint32_t e) const {
  auto it = where_.find(key(wIf, kAnyDepth));
  if (it == where_.end()) return e;
  auto j = std::lower_bound(it->second.begin(), it->second.end(), b);
  return j != it->second.end() && *j < e ? *j : e;
}

TPPAParser::TPPAParser(std::string_view text) : text_(text) { NextToken(); }

TPPAParser::TPPAParser(const TokenBuffer& buf, std::uint32_t b, std::uint32_t e)
    : text_(buf.text()), buf_(&buf), i_(b), e_(e) {
  load();
}

void TPPAParser::load() {
  if (i_ < e_) {
    const Token& t = (*buf_)[i_];
    start_ = t.pos;
    cursor_ = t.pos + t.len;
    kind_ = t.kind;
    word_ = t.word;
  } else {
    start_ = cursor_ = e_ < buf_->size() ? (*buf_)[e_].pos : text_.size();
    kind_ = tkEnd;
    word_ = wNone;
  }
}

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
  if (buf_) {
    if (i_ < e_) ++i_;
    load();
    return kind_;
  }
  unterminated_ = false;
  std::size_t i = cursor_;
  // A NUL byte ends the text, like the end itself.
  while (i < text_.size() && at(i) >= 1 && at(i) <= 32) ++i;
  start_ = i;
  unsigned char c = at(i);
  if (c == 0) {
    cursor_ = i;
    word_ = wNone;
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
      if (b == 0) {  // an unterminated literal runs to the end
        unterminated_ = true;
        break;
      }
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
  word_ = kind_ == tkIdent || kind_ == tkSymbol || kind_ == tkOperator2 ? wordOf(TokenText()) : wNone;
  return kind_;
}

}  // namespace wux

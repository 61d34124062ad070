#pragma once
// The script tokeniser. Scripts run from their source text: every statement and
// expression is read again each time it runs, as the tokens of its text. Since the text
// of a running program never changes, it is tokenised once into a TokenBuffer and the
// texts the engine gathers from it (statements, branches, conditions, arguments) are
// ranges of that buffer; a parser then replays a range instead of scanning bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/text/StringList.h"

namespace wux {

struct TPPAVar;
struct TPPARoutine;

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

// The words and symbols the engine tests, recognised once per token (ignoring case).
enum Word : std::uint8_t {
  wNone,
  wBegin, wEnd, wRepeat, wUntil, wCase, wIf, wThen, wElse, wDo, wTo, wDownto, wOf, wFor, wWhile,
  wBreak, wContinue, wExit, wVar, wNot, wDiv, wMod, wAnd, wShl, wShr, wOr, wXor,
  wInteger, wReal, wString, wIndex,
  wLParen, wRParen, wComma, wSemicolon, wColon, wAssign, wEq, wNe, wLt, wLe, wGt, wGe,
  wPlus, wMinus, wStar, wSlash, wRange,
};
// The word of a token text; wNone for any other.
Word wordOf(std::string_view token);

struct Token {
  std::uint32_t pos = 0, len = 0;
  std::uint8_t kind = tkEnd;
  Word word = wNone;
  // What an identifier names, as last looked up by the interpreter whose tables had
  // the version `version` then.
  mutable std::uint32_t version = 0;
  mutable TPPAVar* var = nullptr;
  mutable TPPARoutine* proc = nullptr;
  mutable TPPARoutine* func = nullptr;
};

// A text with its tokens, and the block depth before each token (BEGIN, REPEAT and CASE
// open a block, END and UNTIL close one), so that a branch or a statement end is found
// without walking every token between.
class TokenBuffer {
 public:
  explicit TokenBuffer(std::string text);
  TokenBuffer(const TokenBuffer&) = delete;
  TokenBuffer& operator=(const TokenBuffer&) = delete;

  const std::string& text() const { return text_; }
  std::uint32_t size() const { return static_cast<std::uint32_t>(toks_.size()); }
  const Token& operator[](std::uint32_t i) const { return toks_[i]; }
  std::string_view tokenText(std::uint32_t i) const { return std::string_view(text_).substr(toks_[i].pos, toks_[i].len); }
  int depth(std::uint32_t i) const { return depth_[i]; }
  // True when the tokens joined with blanks read back as the same tokens (no comment,
  // no unterminated literal, every token ended by a blank, a line break or the end):
  // then a gathered text is just a range of this buffer.
  bool clean() const { return clean_; }
  // The first token in [b, e) that is `w` (END, UNTIL, ";" or ELSE) at block depth d;
  // e when there is none.
  std::uint32_t nextAtDepth(Word w, int d, std::uint32_t b, std::uint32_t e) const;
  // The first IF in [b, e); e when there is none.
  std::uint32_t nextIf(std::uint32_t b, std::uint32_t e) const;

 private:
  std::string text_;
  std::vector<Token> toks_;
  std::vector<int> depth_;  // one more than the tokens
  bool clean_ = true;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> where_;  // (word, depth) -> positions
};

class TPPAParser : public TObject {
 public:
  // Reads the first token at once.
  explicit TPPAParser(std::string_view text);
  // Replays the tokens [b, e) of a buffer that outlives the parser.
  TPPAParser(const TokenBuffer& buf, std::uint32_t b, std::uint32_t e);

  int NextToken();
  int Kind() const { return kind_; }
  Word word() const { return word_; }
  std::string_view TokenText() const { return text_.substr(start_, cursor_ - start_); }
  std::string TokenTextUpper() const;
  std::size_t TokenPos() const { return start_; }
  std::string_view Text() const { return text_; }
  // True when the current token equals `word` ignoring ASCII case.
  bool Is(std::string_view word) const;
  bool Is(Word w) const { return word_ == w; }
  // Moves past the current token when it equals `word` ignoring case.
  bool AcceptToken(std::string_view word);
  bool Accept(Word w) {
    if (word_ != w) return false;
    NextToken();
    return true;
  }

  // Goes on replaying the tokens [b, e) of `buf`.
  void replay(const TokenBuffer& buf, std::uint32_t b, std::uint32_t e) {
    text_ = buf.text();
    buf_ = &buf;
    i_ = b;
    e_ = e;
    load();
  }
  // Replay: the buffer (nullptr when scanning text), the current token's index and the
  // end of the range.
  const TokenBuffer* buffer() const { return buf_; }
  std::uint32_t index() const { return i_; }
  std::uint32_t end() const { return e_; }
  const Token* token() const { return buf_ && i_ < e_ ? &(*buf_)[i_] : nullptr; }
  // The current token is a literal that the end of the text cut off.
  bool unterminated() const { return unterminated_; }

 private:
  unsigned char at(std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
  }
  void load();
  std::string_view text_;
  std::size_t cursor_ = 0;
  std::size_t start_ = 0;
  int kind_ = tkEnd;
  Word word_ = wNone;
  bool unterminated_ = false;
  const TokenBuffer* buf_ = nullptr;
  std::uint32_t i_ = 0, e_ = 0;
};

}  // namespace wux

// Word splitting, tag analysis and the two parsers. This is the road every document and
// notebook file travels when it is opened, so it works on views and moves: a word costs
// one string, a byte costs no allocation, and every loop is linear in its input.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/lists.h"
#include "model/strutil.h"
#include "model/tagtree.h"

#include <functional>
#include "model/text/sjis.h"
#include "platform/textconv.h"

namespace wux {

namespace {

inline bool isBlankByte(unsigned char c) { return c <= 0x20; }

bool isBlankText(std::string_view s) {
  for (unsigned char c : s)
    if (!isBlankByte(c)) return false;
  return true;
}

std::string_view trimView(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlankByte(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && isBlankByte(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

void trimInPlace(std::string& s) {
  std::string_view v = trimView(s);
  if (v.size() == s.size()) return;
  std::size_t b = static_cast<std::size_t>(v.data() - s.data());
  s.erase(b + v.size());
  s.erase(0, b);
}

// '<', '>', '"', CR and LF are all below 0x40, so none of them can be the second byte of
// a double-byte character: the splitter may look at single bytes.
constexpr std::array<bool, 256> stopTable(std::string_view stops) {
  std::array<bool, 256> t{};
  for (char c : stops) t[static_cast<unsigned char>(c)] = true;
  return t;
}
constexpr auto kTagSplits = stopTable(" \t\"'");

// The first of the bytes a, b, c, d from p on, or end: sixteen bytes at a look where
// the processor can, since text runs are long and stops are few.
template <char A, char B, char C, char D>
inline const char* findStop(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i a = _mm_set1_epi8(A), b = _mm_set1_epi8(B), c = _mm_set1_epi8(C), d = _mm_set1_epi8(D);
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, c), _mm_cmpeq_epi8(v, d)));
    const int mask = _mm_movemask_epi8(hit);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != A && *p != B && *p != C && *p != D) ++p;
  return p;
}

bool hasAny(std::string_view s, const std::array<bool, 256>& table) {
  for (unsigned char c : s)
    if (table[c]) return true;
  return false;
}

// The piece being gathered is the carry in piece_ (from earlier lines) followed by the
// bytes of the current line from `mark` on; a word that lies within one line, as nearly
// every word does, is copied once, straight from the line.
// The sink takes each word (sink(std::string&&, const char* start) -> false to stop the
// split); `start` is where a tag word's "<" stands in the text fed, nullptr for other
// words.
template <class Sink>
class WordSplitter {
 public:
  WordSplitter(Sink& sink, bool lineBreaks) : sink_(sink), lineBreaks_(lineBreaks) {}

  void feed(std::string_view s) {
    const char* p = s.data();
    const char* const end = p + s.size();
    const char* mark = p;
    while (p < end && !stopped_) {
      if (state_ == State::Text) {
        const char* q = findStop<'<', '\r', '\n', '\n'>(p, end);
        if (q != p) breakOpen_ = false;
        if (q == end) break;
        p = q + 1;
        if (*q == '<') {
          breakOpen_ = false;
          std::string_view run(mark, static_cast<std::size_t>(q - mark));
          // Blank text between tags is no word; text with content keeps its blanks.
          if (isBlankText(piece_) && isBlankText(run))
            piece_.clear();
          else
            emit(run);
          mark = q;  // the tag starts with its "<"
          tagStart_ = q;
          state_ = State::Tag;
        } else {
          carry(mark, q);
          mark = p;
          lineBreak();
        }
      } else if (state_ == State::Tag) {
        const char* q = findStop<'>', '"', '\r', '\n'>(p, end);
        if (q != p) breakOpen_ = false;
        if (q == end) break;
        p = q + 1;
        if (*q == '>') {
          breakOpen_ = false;
          emit(std::string_view(mark, static_cast<std::size_t>(p - mark)), tagStart_);
          mark = p;
          state_ = State::Text;
        } else if (*q == '"') {
          breakOpen_ = false;
          state_ = State::Quote;
        } else {
          carry(mark, q);
          mark = p;
          lineBreak();
        }
      } else {
        // A quoted run keeps everything, ">" and line breaks included, up to its close.
        const void* q = std::memchr(p, '"', static_cast<std::size_t>(end - p));
        if (!q) break;
        p = static_cast<const char*>(q) + 1;
        state_ = State::Tag;
        breakOpen_ = false;
      }
    }
    carry(mark, end);
  }

  // The CR LF that ends every line of a list, without scanning it.
  void lineEnd() {
    if (stopped_) return;
    if (state_ == State::Quote) {
      piece_.append("\r\n");
      return;
    }
    lineBreak();  // CR
    lineBreak();  // LF
  }

  // Text after the last tag and an unterminated tag give no word.
  void finish() { piece_.clear(); }
  bool stopped() const { return stopped_; }

 private:
  enum class State { Text, Tag, Quote };

  void carry(const char* from, const char* to) {
    if (to > from) piece_.append(from, static_cast<std::size_t>(to - from));
  }

  // `tag`: the start of a tag word, which is trimmed; nullptr for a text word.
  void emit(std::string_view run, const char* tag = nullptr) {
    const bool trim = tag != nullptr;
    std::string word;
    if (piece_.empty()) {
      const std::string_view v = trim ? trimView(run) : run;
      // A sink may take some tags as they stand, without a string made for them.
      if constexpr (requires(Sink& k) { k.tagView(v); }) {
        if (trim && sink_.tagView(v)) return;
      }
      if (!sink_(std::string(v), tag)) stopped_ = true;
      return;
    } else {
      piece_.append(run);
      word = std::move(piece_);
      piece_.clear();
      if (trim) trimInPlace(word);
    }
    if (!sink_(std::move(word), tag)) stopped_ = true;
  }

  // CR LF, LF CR, CR CR and LF LF are each one break.
  void lineBreak() {
    if (breakOpen_) {
      breakOpen_ = false;
      return;
    }
    breakOpen_ = true;
    if (state_ == State::Tag) {
      // Inside a tag a break separates words like a blank; dropping it would glue the
      // last attribute of one line to the first of the next.
      piece_.push_back(' ');
    } else if (lineBreaks_) {
      if (!piece_.empty()) emit({});
      if (!stopped_ && !sink_(std::string("<CR/>"), nullptr)) stopped_ = true;
    }
  }

  Sink& sink_;
  bool lineBreaks_;
  bool stopped_ = false;
  State state_ = State::Text;
  bool breakOpen_ = false;
  const char* tagStart_ = nullptr;
  std::string piece_;
};

// Without the line-break words there is at most one text word before each tag word.
std::size_t wordEstimate(std::string_view s) {
  std::size_t n = 0;
  const char* p = s.data();
  const char* end = p + s.size();
  while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p))))) {
    ++n;
    ++p;
  }
  return 2 * n;
}

const std::string& msg(int which) {
  static const std::string texts[] = {
      sj(" タグの開始と終了が一致しない。"),
      sj("いきなり終了タグがあらわれた。"),
      sj("未知のタグを見つけた "),
      sj("　未知の型定義 in TTAGNode._FromWordList_aDict_"),
      sj("ERROR カレントタグが nil になった。恐らくタグの入れ子が不一致 line number = "),
  };
  return texts[which];
}
enum { kMismatch, kSuddenEnd, kUnknownTag, kUnknownKind, kHtmlNoCurrent };

void addWordLine(StringList& errors, int i, const std::string& word) {
  errors.add(std::to_string(i) + ":" + word);
}

}  // namespace

namespace {

struct ListSink {
  StringList& words;
  bool operator()(std::string&& w, const char*) {
    words.add(std::move(w));
    return true;
  }
};

// Every line of the list is followed by CR LF, as in the list's text.
template <class Sink>
void splitLines(const StringList& lines, Sink& sink, bool lineBreaks) {
  WordSplitter<Sink> splitter(sink, lineBreaks);
  for (const auto& line : lines.lines()) {
    splitter.feed(line.text);
    splitter.lineEnd();
    if (splitter.stopped()) break;
  }
  splitter.finish();
}

template <class Sink>
void splitText(std::string_view text, Sink& sink, bool lineBreaks) {
  WordSplitter<Sink> splitter(sink, lineBreaks);
  splitter.feed(text);
  splitter.finish();
}

}  // namespace

int TextToWordList(const StringList& lines, StringList& words, bool lineBreaks) {
  words.clear();
  std::size_t estimate = 0;
  for (const auto& line : lines.lines()) estimate += wordEstimate(line.text);
  words.reserve(estimate);
  ListSink sink{words};
  splitLines(lines, sink, lineBreaks);
  return 0;
}

int TextToWordList(std::string_view text, StringList& words, bool lineBreaks) {
  words.clear();
  words.reserve(wordEstimate(text));
  ListSink sink{words};
  splitText(text, sink, lineBreaks);
  return 0;
}

// The parsers' working state: one set of scratch lists reused for every tag.
struct TagParser {
  std::string name;
  StringList attributes;
  StringList pieces;
  bool selfClosing = false;
  bool endTag = false;

  void parseTag(std::string_view word) {
    name.clear();
    attributes.clear();
    selfClosing = false;
    endTag = false;
    std::string_view r = trimView(word);
    if (!r.empty() && r.front() == '<') r.remove_prefix(1);
    if (r.empty()) return;
    if (r.back() == '>') r.remove_suffix(1);
    if (r.empty()) return;
    if (r.back() == '/') {
      r.remove_suffix(1);
      selfClosing = true;
    }
    if (r.empty()) return;

    if (!hasAny(r, kTagSplits)) {
      // Nothing to split: the whole remainder is the name (the common "<BR/>").
      if (isBlankText(r)) return;
      name.assign(r);
    } else if (!plainAttributes(r)) {
      SplitToStringsQuoted(r, pieces, " \t");
      DeleteBlankLinesCount(pieces);
      if (pieces.empty()) return;
      name = pieces[0];
      pieces.erase(0);
      TTAGNode::NormalizeAttributes(pieces, attributes);
      for (int i = 0; i < attributes.count(); ++i)
        if (attributes[i].find('&') != std::string::npos)
          attributes.set(i, UnescapeHTML(attributes[i]));
    }
    if (name[0] == '/') {
      endTag = true;
      name.erase(0, 1);
    }
  }

  // The tag every file is made of: a name, then name="value" attributes, one blank
  // or more before each, as the writers write them. Read in one pass, it gives what
  // the general split gives; anything else (a tab, a bare name, a quote doubled or
  // glued to what follows, an apostrophe, a control character) is left to that split:
  // false, with nothing set.
  bool plainAttributes(std::string_view r) {
    const std::size_t n = r.size();
    auto nameByte = [](unsigned char c) { return c > 0x20 && c != '"' && c != '\'' && c != '='; };
    std::size_t i = 0;
    while (i < n && (nameByte(static_cast<unsigned char>(r[i])) || r[i] == '=')) ++i;
    if (i == 0 || (i < n && r[i] != ' ')) return false;
    const std::size_t nameEnd = i;
    std::size_t found = 0;
    std::array<std::string_view, 16> attrs;
    while (true) {
      while (i < n && r[i] == ' ') ++i;
      if (i == n) break;
      const std::size_t start = i;
      while (i < n && nameByte(static_cast<unsigned char>(r[i]))) ++i;
      if (i == start || i + 1 >= n || r[i] != '=' || r[i + 1] != '"') return false;
      const void* close = std::memchr(r.data() + i + 2, '"', n - i - 2);
      if (!close) return false;
      i = static_cast<std::size_t>(static_cast<const char*>(close) - r.data()) + 1;
      if (i < n && r[i] != ' ') return false;
      if (found == attrs.size()) return false;
      attrs[found++] = r.substr(start, i - start);
    }
    name.assign(r.substr(0, nameEnd));
    attributes.reserve(found);
    for (std::size_t k = 0; k < found; ++k) {
      std::string a(attrs[k]);
      UnescapeHTMLInPlace(a);
      attributes.add(std::move(a));
    }
    return true;
  }

  StringList* takeAttributes() { return attributes.empty() ? nullptr : &attributes; }
  int html(TTAGNode* root, const StringList& words, const StringList& dict, StringList& errors) {
    if (words.empty()) return 0;
    TTAGNode* cur = root;
    std::string lastName;
    int i = -1;
    for (const auto& line : words.lines()) {
      ++i;
      const std::string& w = line.text;
      if (!w.empty() && w[0] == '<') {
        parseTag(w);
        if (name.empty()) return -1;
        lastName = name;
        if (endTag) {
          if (!cur) {
            addWordLine(errors, i, w);
            errors.add(msg(kSuddenEnd) + name + " in TTAGNode._FromWordList_aDict_");
            return -1;
          }
          // HTML leaves many end tags out, so an end tag closes whatever is open.
          cur->endTagName_ = name;
          cur = cur->parent_;
          continue;
        }
        std::string key = name.compare(0, 3, "!--") == 0 ? std::string("!--") : sjis::upper(name);
        int row = dict.indexOfName(key);
        if (row < 0) {
          addWordLine(errors, i, w);
          errors.add(msg(kUnknownTag) + name + " in TTAGNode._FromWordList_aDict_");
          return -1;
        }
        const TObject* obj = dict.object(row);
        const TDEFTAG* def = dynamic_cast<const TDEFTAG*>(obj);
        bool enters = dynamic_cast<const TDEFTAG01*>(def) || dynamic_cast<const TDEFTAG02*>(def);
        bool known = enters || dynamic_cast<const TDEFTAG03*>(def) || dynamic_cast<const TDEFTAG04*>(def);
        if (!known) {
          addWordLine(errors, i, w);
          errors.add(name + msg(kUnknownKind));
          return -1;
        }
        if (!cur) {
          errors.add(msg(kHtmlNoCurrent) + std::to_string(i) + " word=" + w +
                     " in  _FromWordList_aDict_aOUT_ ");
          return -1;
        }
        TTAGNode* made = TTAGNode::addNew___(cur, w, name, takeAttributes(), def);
        // An element written as "<X/>" holds nothing, whatever its kind.
        if (enters && made && !selfClosing) cur = made;
      } else {
        if (!cur) {
          addWordLine(errors, i, w);
          errors.add(lastName + " in TTAGNode._FromWordList_aDict_");
          return -1;
        }
        cur->add(w);
      }
    }
    return 0;
  }
};

// The XML parser, one word at a time, so that it can take words straight from the
// splitter as well as from a word list. A word is only moved into the tree after every
// check that may report it.
struct XmlBuilder {
  TagParser tp;
  TTAGNode* cur;
  StringList& errors;
  std::string lastName;
  int i = -1;
  int result = 0;
  const std::function<void(TTAGNode*)>* onClosed = nullptr;
  bool breakMarks = false;
  std::size_t sizeHint = 0;
  const TTAGNode* hintParent = nullptr;

  // The text fed in one piece, when it was: elements then know where they begin.
  std::string_view text;

  XmlBuilder(TTAGNode* root, StringList& errors) : cur(root), errors(errors) {}

  void locate(TTAGNode* node, const char* start) {
    if (node && start && !text.empty() && start >= text.data() && start < text.data() + text.size())
      node->sourceOffset_ = static_cast<std::size_t>(start - text.data());
  }

  // A plain "<BR/>" in a notebook read: what the general path below would make of it,
  // but for the element.
  bool tagView(std::string_view w) {
    if (!breakMarks || !cur || w != "<BR/>") return false;
    ++i;
    addBreak();
    return true;
  }

  // A text line just before takes the mark itself: one line of the note, one line here.
  void addBreak() {
    lastName.assign("BR", 2);
    const int n = cur->count();
    if (n > 0 && !cur->object(n - 1))
      cur->setObject(n - 1, TTAGNode::BreakMark());
    else
      cur->add(std::string(), TTAGNode::BreakMark());
  }

  bool operator()(std::string&& w, const char* start = nullptr) {
    ++i;
    if (breakMarks && cur && w == "<BR/>") {
      addBreak();
      return true;
    }
    if (!w.empty() && w[0] == '<') {
      tp.parseTag(w);
      const std::string& name = tp.name;
      if (name.empty()) return fail();
      lastName = name;
      if (name[0] == '?' || name[0] == '!' || tp.selfClosing) {
        locate(TTAGNode::addNew___(cur, std::move(w), name, tp.takeAttributes()), start);
      } else if (tp.endTag) {
        if (!cur) {
          addWordLine(errors, i, w);
          errors.add(msg(kSuddenEnd) + name + " " + " in TTAGNode._fromXMLWorldList_aOUT_");
          return fail();
        }
        cur->endTagName_ = name;
        if (cur->tagName_ != name) {
          addWordLine(errors, i, w);
          errors.add(msg(kMismatch) + cur->tagName_ + " " + name + " in TTAGNode._fromXMLWorldList_aOUT_");
          return fail();
        }
        TTAGNode* closed = cur;
        cur = cur->parent_;
        sizeHint = std::min<std::size_t>(closed->lines().size(), 4096);
        hintParent = cur;
        if (onClosed && *onClosed) (*onClosed)(closed);
      } else {
        if (!cur) {
          errors.add("ERROR Current TAG is nil. Probabry TAG's ireko not matichline number = " +
                     std::to_string(i) + " word=" + w + " in  _FromXMLWordList_aOUT_ ");
          return fail();
        }
        TTAGNode* parent = cur;
        cur = TTAGNode::addNew___(cur, std::move(w), name, tp.takeAttributes());
        locate(cur, start);
        // The notes of a notebook are alike: each is sized like the one before it. Only
        // a sibling is, so that no chain of nested elements can claim room it never
        // fills.
        if (breakMarks && cur && parent == hintParent && sizeHint > 8) cur->reserve(sizeHint);
      }
    } else {
      if (!cur) {
        addWordLine(errors, i, w);
        errors.add(lastName + " aTTNC = nil in TTAGNode._FromXMLWordList_aOUT_");
        return fail();
      }
      if (cur->empty()) cur->reserve(8);
      UnescapeHTMLInPlace(w);
      cur->add(std::move(w));
    }
    return true;
  }

  bool fail() {
    result = -1;
    return false;
  }
};

void TTAGNode::ParseTagText(std::string_view word, std::string& name, StringList& attributes,
                            bool& selfClosing, bool& endTag) {
  TagParser p;
  p.parseTag(word);
  name = std::move(p.name);
  attributes = std::move(p.attributes);
  selfClosing = p.selfClosing;
  endTag = p.endTag;
}

void TTAGNode::NormalizeAttributes(const StringList& pieces, StringList& attributes) {
  attributes.clear();
  const int n = pieces.count();
  auto beginsWithQuote = [](std::string_view s) { return !s.empty() && (s[0] == '"' || s[0] == '\''); };
  auto endsWithQuote = [](std::string_view s) { return !s.empty() && (s.back() == '"' || s.back() == '\''); };
  std::string cur;
  int i = 0;
  while (i < n) {
    if (cur.empty()) cur = sjis::trim(pieces[i]);
    if (i == n - 1) {
      attributes.add(std::move(cur));
      break;
    }
    const std::string& next = pieces[i + 1];
    if (beginsWithQuote(cur)) {
      attributes.add(std::move(cur));
      ++i;
    } else if (cur.find('=') == std::string::npos) {
      if (!next.empty() && next[0] == '=') {
        cur += next;  // name followed by "=value" or "="
        ++i;
        continue;
      }
      attributes.add(cur + "=\"\"");
      ++i;
    } else if (endsWithQuote(cur)) {
      attributes.add(std::move(cur));
      ++i;
    } else if (cur.back() == '=') {
      if (beginsWithQuote(next)) {
        attributes.add(cur + next);
        i += 2;
      } else {
        attributes.add(cur + "\"\"");
        ++i;
      }
    } else {
      attributes.add(std::move(cur));  // an unquoted value such as a=1
      ++i;
    }
    cur.clear();
  }
}

int TTAGNode::_FromXMLWordList_aOUT_(TTAGNode* root, const StringList& words, StringList& errors) {
  XmlBuilder b(root, errors);
  for (const auto& line : words.lines())
    if (!b(std::string(line.text))) break;
  return b.result;
}

int TTAGNode::_FromXMLWordList_aOUT_(TTAGNode* root, StringList&& words, StringList& errors) {
  XmlBuilder b(root, errors);
  for (const auto& line : words.lines()) {
    // The caller handed the list over; its texts are ours to take.
    if (!b(std::move(const_cast<std::string&>(line.text)))) break;
  }
  words.clear();
  return b.result;
}

int TTAGNode::ParseXmlText(TTAGNode* root, const StringList& lines, StringList& errors) {
  XmlBuilder b(root, errors);
  splitLines(lines, b, false);
  return b.result;
}

int TTAGNode::ParseXmlText(TTAGNode* root, std::string_view text, StringList& errors,
                           const std::function<void(TTAGNode*)>& onClosed, bool breakMarks) {
  XmlBuilder b(root, errors);
  b.onClosed = &onClosed;
  b.breakMarks = breakMarks;
  b.text = text;
  splitText(text, b, false);
  return b.result;
}

int TTAGNode::_FromWordList_aDict_(TTAGNode* root, const StringList& words,
                                   const StringList& dictionary, StringList& errors) {
  TagParser p;
  return p.html(root, words, dictionary, errors);
}

int TTAGNode::ParseHtml(TTAGNode* root, const StringList& words, StringList& errors) {
  return _FromWordList_aDict_(root, words, EnsureHtmlTagDictionary(), errors);
}

}  // namespace wux

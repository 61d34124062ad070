#include "printing/PageLayout.h"

#include <algorithm>
#include <cmath>

#include "model/text/StringList.h"
#include "model/text/sjis.h"
#include "platform/paths.h"

namespace wux {
namespace {

bool isBlankByte(unsigned char c) { return c < 33; }

int digitsOf(int n) {
  int d = 1;
  while (n >= 10) n /= 10, ++d;
  return d;
}

RunAlign runAlign(TStringsPrinterHeaderAlign a) {
  switch (a) {
    case TStringsPrinterHeaderAlign::haCenter: return RunAlign::Center;
    case TStringsPrinterHeaderAlign::haRight: return RunAlign::Right;
    default: return RunAlign::Left;
  }
}

}  // namespace

int PageGeometry::mmToPixels(int mm) const { return static_cast<int>(std::lround(dpi * mm / 25.4)); }

std::string ClassifyLineChars(std::string_view text) {
  std::string classes;
  classes.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (sjis::charLen(text, i) == 2) {
      classes += "45";
      i += 2;
    } else {
      classes += isBlankByte(static_cast<unsigned char>(text[i])) ? '2' : '1';
      ++i;
    }
  }
  return classes;
}

std::string ExpandTabs(std::string_view text) {
  if (text.find('\t') == std::string_view::npos) return std::string(text);
  std::string out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = sjis::charLen(text, i);
    if (len == 1 && text[i] == '\t') {
      std::size_t next = (column / 8 + 1) * 8;
      out.append(next - column, ' ');
      column = next;
    } else {
      out.append(text.substr(i, len));
      column += len;
    }
    i += len;
  }
  return out;
}

void WrapLine(TextMetrics& metrics, std::string_view text, int width, bool breakAtSpaces,
              std::vector<std::string>& pieces) {
  pieces.clear();
  if (text.empty()) {
    pieces.emplace_back();
    return;
  }
  struct Char {
    std::size_t start, len;
    int width;
  };
  std::vector<Char> chars;
  chars.reserve(text.size());
  long long total = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = sjis::charLen(text, i);
    int w = metrics.charWidth(text.substr(i, len));
    chars.push_back({i, len, w});
    total += w;
    i += len;
  }
  if (total <= width) {
    pieces.emplace_back(text);
    return;
  }
  auto breaksAfter = [&](const Char& c) { return c.len == 2 || isBlankByte(static_cast<unsigned char>(text[c.start])); };
  const std::size_t n = chars.size();
  std::size_t pos = 0;
  while (pos < n) {
    std::size_t k = 0;
    long long acc = 0;
    while (pos + k < n && acc + chars[pos + k].width <= width) acc += chars[pos + k++].width;
    if (k == 0) k = 1;  // a column narrower than one character still takes one
    if (breakAtSpaces && pos + k < n && !breaksAfter(chars[pos + k - 1])) {
      for (std::size_t j = pos + k - 1; j-- > pos;) {
        if (breaksAfter(chars[j])) {
          k = j - pos + 1;
          break;
        }
      }
    }
    const std::size_t from = chars[pos].start;
    const std::size_t to = pos + k < n ? chars[pos + k].start : text.size();
    pieces.emplace_back(text.substr(from, to - from));
    pos += k;
  }
}

std::string FormatHeaderText(std::string_view tmpl, int page, std::string_view fileName, const DateTime& now) {
  std::string out;
  for (std::size_t i = 0; i < tmpl.size();) {
    std::size_t len = sjis::charLen(tmpl, i);
    if (len == 2 || tmpl[i] != '%') {
      out.append(tmpl.substr(i, len));
      i += len;
      continue;
    }
    if (++i >= tmpl.size()) break;  // a "%" at the very end adds nothing
    len = sjis::charLen(tmpl, i);
    switch (len == 2 ? '\0' : tmpl[i]) {
      case 'p': out += std::to_string(page); break;
      case 'f': out += fileName; break;
      case 'F': out += platform::fileNameOf(fileName); break;
      case 'y': out += std::to_string(now.year); break;
      case 'm': out += std::to_string(now.month); break;
      case 'd': out += std::to_string(now.day); break;
      case 't': out += LocaleTimeText(now); break;
      default: out.append(tmpl.substr(i, len)); break;
    }
    i += len;
  }
  return out;
}

bool LayoutPages(const StringList& lines, const StringsPrinterProperties& s, const PageGeometry& g,
                 TextMetrics& metrics, const DateTime& now, std::vector<LaidOutPage>& pages,
                 const LayoutProgress& progress) {
  using A = TStringsPrinterHeaderAlign;
  using R = TStringsPrinterRangeOption;
  pages.clear();
  const int left = std::max(0, g.mmToPixels(s.MarginLeft()) - g.offsetLeft);
  const int top = std::max(0, g.mmToPixels(s.MarginTop()) - g.offsetTop);
  const int right = std::min(g.width, g.width - g.mmToPixels(s.MarginRight()) + g.offsetRight);
  const int bottom = std::min(g.height, g.height - g.mmToPixels(s.MarginBottom()) + g.offsetBottom);

  const int lineHeight = std::max(1, metrics.lineHeight());
  const int average = std::max(1, metrics.averageCharWidth());
  const int band = lineHeight * 3 / 2;
  const bool hasHeader = s.HeaderAlign() != A::haNone && !s.Header().empty();
  const bool hasFooter = s.FooterAlign() != A::haNone && !s.Footer().empty();
  const int headerBottom = hasHeader ? top + band : top;
  const int footerTop = hasFooter ? bottom - band : bottom;

  const int count = lines.count();
  const int columns = s.ColumnCount();
  const int numberWidth = s.LineNumber() ? (digitsOf(count) + 2) * average : 0;
  const int columnSpace = g.mmToPixels(s.ColumnSpace());
  const int textWidth = (right - (left + numberWidth) - (columnSpace + numberWidth) * (columns - 1)) / columns;
  const int columnStep = columnSpace + numberWidth + textWidth;
  const int lineStep = lineHeight + g.mmToPixels(s.MarginLine());
  const int wrapWidth = textWidth - (metrics.italic() ? average : 0);

  int lineNumber = s.FirstLineNumber() - 1;
  int pageNumber = s.RangeOption() == R::roWhole ? s.FirstPageNumber() : s.FirstPageNumber() - s.StartPage() + 1;

  auto band_ = [&](RunKind kind, A align, const std::string& tmpl, int y) {
    if (align == A::haNone || tmpl.empty()) return;
    TextRun run;
    run.kind = kind;
    run.align = runAlign(align);
    run.x = left;
    run.y = y;
    run.width = right - left;
    run.height = band;
    run.text = FormatHeaderText(tmpl, pageNumber, s.FileName(), now);
    pages.back().runs.push_back(std::move(run));
  };
  auto beginPage = [&] {
    pages.push_back(LaidOutPage{pageNumber, {}});
    band_(RunKind::Header, s.HeaderAlign(), s.Header(), top);
  };
  auto endPage = [&] { band_(RunKind::Footer, s.FooterAlign(), s.Footer(), bottom - band); };

  beginPage();
  int column = 0;
  int y = headerBottom;
  std::vector<std::string> pieces;
  const bool limited = s.LineRangeOption() == R::roLimited;
  for (int i = 0; i < count; ++i) {
    if (progress && !progress(i, count - 1)) return false;
    if (limited && (i < s.StartLine() - 1 || i > s.LastLine() - 1)) continue;
    ++lineNumber;
    WrapLine(metrics, ExpandTabs(lines[i]), wrapWidth, true, pieces);
    for (auto& piece : pieces) {
      if (y + lineStep > footerTop) {
        if (column < columns - 1) {
          ++column;
        } else {
          endPage();
          ++pageNumber;
          beginPage();
          column = 0;
        }
        y = headerBottom;
      }
      const int x = left + column * columnStep;
      if (s.LineNumber()) {
        pages.back().runs.push_back(TextRun{RunKind::Number, RunAlign::Right, x, y, numberWidth, lineHeight,
                                            std::to_string(lineNumber) + ":", lineNumber});
      }
      pages.back().runs.push_back(
          TextRun{RunKind::Text, RunAlign::Left, x + numberWidth, y, textWidth, lineHeight, std::move(piece), lineNumber});
      y += lineStep;
    }
  }
  endPage();
  return true;
}

int PageNumberOf(const StringsPrinterProperties& s, int index) {
  int n = s.FirstPageNumber() + index;
  if (s.RangeOption() == TStringsPrinterRangeOption::roLimited) n -= s.StartPage() - 1;
  return n;
}

bool IsPagePrinted(const StringsPrinterProperties& s, int index) {
  if (s.RangeOption() == TStringsPrinterRangeOption::roLimited &&
      (index + 1 < s.StartPage() || index + 1 > s.LastPage()))
    return false;
  const int n = PageNumberOf(s, index);
  if (n < 1) return false;
  if (s.PageOption() == TStringsPrinterPageOption::poOdd && n % 2 == 0) return false;
  if (s.PageOption() == TStringsPrinterPageOption::poEven && n % 2 != 0) return false;
  return true;
}

}  // namespace wux

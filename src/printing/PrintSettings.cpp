#include "printing/PrintSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

namespace wux {
namespace {

// The first line of a stored payload. A later version may add settings; readers skip
// names they do not know, so an older program still reads a newer file.
constexpr std::string_view kPayloadMagic = "TStringsPrinter/";
constexpr int kPayloadVersion = 1;

int clampTo(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

bool parseInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, e, out);
  return ec == std::errc() && p == e;
}

bool parseBool(std::string_view s, bool& out) {
  if (s == "true" || s == "True" || s == "1") return out = true, true;
  if (s == "false" || s == "False" || s == "0") return out = false, true;
  return false;
}

constexpr std::array<std::string_view, 4> kAlignNames{"haNone", "haLeft", "haCenter", "haRight"};
constexpr std::array<std::string_view, 2> kRangeNames{"roWhole", "roLimited"};
constexpr std::array<std::string_view, 3> kPageNames{"poBoth", "poOdd", "poEven"};

template <class E, std::size_t N>
bool parseEnum(std::string_view s, const std::array<std::string_view, N>& names, E& out) {
  for (std::size_t i = 0; i < N; ++i)
    if (names[i] == s) return out = static_cast<E>(i), true;
  return false;
}

// Values are kept on one line each: "\" , CR and LF are escaped byte by byte, which
// round-trips any byte string, Shift_JIS second bytes included.
std::string escapeValue(std::string_view v) {
  std::string out;
  out.reserve(v.size());
  for (char c : v) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

bool unescapeValue(std::string_view v, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\') {
      out += v[i];
      continue;
    }
    if (++i == v.size()) return false;
    switch (v[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

void StringsPrinterProperties::setColumnCount(int v) { columnCount_ = clampTo(v, 1, 3); }
void StringsPrinterProperties::setColumnSpace(int v) { columnSpace_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setFirstLineNumber(int v) { firstLineNumber_ = clampTo(v, 1, kPrintMaxNumber); }
void StringsPrinterProperties::setFirstPageNumber(int v) { firstPageNumber_ = clampTo(v, 1, kPrintMaxNumber); }
void StringsPrinterProperties::setLastLine(int v) { lastLine_ = clampTo(v, 1, kPrintMaxNumber); }
void StringsPrinterProperties::setLastPage(int v) { lastPage_ = clampTo(v, 1, kPrintMaxNumber); }
void StringsPrinterProperties::setMarginBottom(int v) { marginBottom_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setMarginLeft(int v) { marginLeft_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setMarginLine(int v) { marginLine_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setMarginRight(int v) { marginRight_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setMarginTop(int v) { marginTop_ = clampTo(v, 0, 100); }
void StringsPrinterProperties::setStartLine(int v) { startLine_ = clampTo(v, 1, kPrintMaxNumber); }
void StringsPrinterProperties::setStartPage(int v) { startPage_ = clampTo(v, 1, kPrintMaxNumber); }

void StringsPrinterProperties::Assign(const StringsPrinterProperties& o) {
  if (&o == this) return;
  columnCount_ = o.columnCount_;
  columnSpace_ = o.columnSpace_;
  fileName_ = o.fileName_;
  firstLineNumber_ = o.firstLineNumber_;
  firstPageNumber_ = o.firstPageNumber_;
  font_ = o.font_;
  footer_ = o.footer_;
  footerAlign_ = o.footerAlign_;
  header_ = o.header_;
  headerAlign_ = o.headerAlign_;
  lastLine_ = o.lastLine_;
  lastPage_ = o.lastPage_;
  lineNumber_ = o.lineNumber_;
  lineRangeOption_ = o.lineRangeOption_;
  marginBottom_ = o.marginBottom_;
  marginLeft_ = o.marginLeft_;
  marginLine_ = o.marginLine_;
  marginRight_ = o.marginRight_;
  marginTop_ = o.marginTop_;
  pageOption_ = o.pageOption_;
  rangeOption_ = o.rangeOption_;
  startLine_ = o.startLine_;
  startPage_ = o.startPage_;
}

bool StringsPrinterProperties::setByName(std::string_view name, std::string_view value, std::string* error) {
  using Setter = void (StringsPrinterProperties::*)(int);
  static const std::vector<std::pair<std::string_view, Setter>> ints{
      {"ColumnCount", &StringsPrinterProperties::setColumnCount},
      {"ColumnSpace", &StringsPrinterProperties::setColumnSpace},
      {"FirstLineNumber", &StringsPrinterProperties::setFirstLineNumber},
      {"FirstPageNumber", &StringsPrinterProperties::setFirstPageNumber},
      {"LastLine", &StringsPrinterProperties::setLastLine},
      {"LastPage", &StringsPrinterProperties::setLastPage},
      {"MarginBottom", &StringsPrinterProperties::setMarginBottom},
      {"MarginLeft", &StringsPrinterProperties::setMarginLeft},
      {"MarginLine", &StringsPrinterProperties::setMarginLine},
      {"MarginRight", &StringsPrinterProperties::setMarginRight},
      {"MarginTop", &StringsPrinterProperties::setMarginTop},
      {"StartLine", &StringsPrinterProperties::setStartLine},
      {"StartPage", &StringsPrinterProperties::setStartPage},
  };
  const std::string bad = "Not a value of " + std::string(name) + ": " + std::string(value);
  for (const auto& [n, setter] : ints) {
    if (n != name) continue;
    int v = 0;
    if (!parseInt(value, v)) return fail(error, bad);
    (this->*setter)(v);
    return true;
  }
  if (name == "FileName") return setFileName(std::string(value)), true;
  if (name == "Header") return setHeader(std::string(value)), true;
  if (name == "Footer") return setFooter(std::string(value)), true;
  if (name == "Font.Name") return font_.name = std::string(value), true;
  if (name == "Font.Size") {
    int v = 0;
    if (!parseInt(value, v) || v < 1 || v > 1000) return fail(error, bad);
    font_.size = v;
    return true;
  }
  bool b = false;
  if (name == "LineNumber" || name == "Font.Bold" || name == "Font.Italic") {
    if (!parseBool(value, b)) return fail(error, bad);
    if (name == "LineNumber") setLineNumber(b);
    else if (name == "Font.Bold") font_.bold = b;
    else font_.italic = b;
    return true;
  }
  if (name == "HeaderAlign" || name == "FooterAlign") {
    TStringsPrinterHeaderAlign a{};
    if (!parseEnum(value, kAlignNames, a)) return fail(error, bad);
    name == "HeaderAlign" ? setHeaderAlign(a) : setFooterAlign(a);
    return true;
  }
  if (name == "RangeOption" || name == "LineRangeOption") {
    TStringsPrinterRangeOption r{};
    if (!parseEnum(value, kRangeNames, r)) return fail(error, bad);
    name == "RangeOption" ? setRangeOption(r) : setLineRangeOption(r);
    return true;
  }
  if (name == "PageOption") {
    TStringsPrinterPageOption p{};
    if (!parseEnum(value, kPageNames, p)) return fail(error, bad);
    setPageOption(p);
    return true;
  }
  return fail(error, "Unknown print setting: " + std::string(name));
}

std::string StringsPrinterProperties::serialize() const {
  auto num = [](int v) { return std::to_string(v); };
  auto flag = [](bool v) { return std::string(v ? "true" : "false"); };
  const std::pair<std::string_view, std::string> items[] = {
      {"ColumnCount", num(columnCount_)},
      {"ColumnSpace", num(columnSpace_)},
      {"FileName", fileName_},
      {"FirstLineNumber", num(firstLineNumber_)},
      {"FirstPageNumber", num(firstPageNumber_)},
      {"Font.Name", font_.name},
      {"Font.Size", num(font_.size)},
      {"Font.Bold", flag(font_.bold)},
      {"Font.Italic", flag(font_.italic)},
      {"Footer", footer_},
      {"FooterAlign", std::string(kAlignNames[static_cast<int>(footerAlign_)])},
      {"Header", header_},
      {"HeaderAlign", std::string(kAlignNames[static_cast<int>(headerAlign_)])},
      {"LastLine", num(lastLine_)},
      {"LastPage", num(lastPage_)},
      {"LineNumber", flag(lineNumber_)},
      {"LineRangeOption", std::string(kRangeNames[static_cast<int>(lineRangeOption_)])},
      {"MarginBottom", num(marginBottom_)},
      {"MarginLeft", num(marginLeft_)},
      {"MarginLine", num(marginLine_)},
      {"MarginRight", num(marginRight_)},
      {"MarginTop", num(marginTop_)},
      {"PageOption", std::string(kPageNames[static_cast<int>(pageOption_)])},
      {"RangeOption", std::string(kRangeNames[static_cast<int>(rangeOption_)])},
      {"StartLine", num(startLine_)},
      {"StartPage", num(startPage_)},
  };
  std::string out(kPayloadMagic);
  out += std::to_string(kPayloadVersion) + "\n";
  for (const auto& [name, value] : items) {
    out += name;
    out += '=';
    out += escapeValue(value);
    out += '\n';
  }
  return out;
}

bool StringsPrinterProperties::deserialize(std::string_view payload, std::string* error) {
  std::size_t eol = payload.find('\n');
  std::string_view head = payload.substr(0, eol);
  int version = 0;
  if (eol == std::string_view::npos || head.substr(0, kPayloadMagic.size()) != kPayloadMagic ||
      !parseInt(head.substr(kPayloadMagic.size()), version) || version < 1)
    return fail(error, "Print settings ignored: not a print settings record");
  // Applied to a copy first, so a damaged record leaves every setting as it was.
  StringsPrinterProperties loaded;
  loaded.Assign(*this);
  std::string value;
  for (std::size_t pos = eol + 1; pos < payload.size();) {
    std::size_t end = payload.find('\n', pos);
    if (end == std::string_view::npos) return fail(error, "Print settings ignored: the record is cut short");
    std::string_view line = payload.substr(pos, end - pos);
    pos = end + 1;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !unescapeValue(line.substr(eq + 1), value))
      return fail(error, "Print settings ignored: a damaged line in the record");
    std::string why;
    if (!loaded.setByName(line.substr(0, eq), value, &why) && why.rfind("Unknown", 0) != 0)
      return fail(error, "Print settings ignored: " + why);
  }
  Assign(loaded);
  return true;
}

}  // namespace wux

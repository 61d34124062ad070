#pragma once
// The published settings of the text printer: what the settings dialog edits, the
// settings file keeps and the layout reads. No toolkit here, so the layout and the
// settings store can be tested and fuzzed without a printer or a display.
#include <string>
#include <string_view>

namespace wux {

enum class TStringsPrinterHeaderAlign { haNone, haLeft, haCenter, haRight };
enum class TStringsPrinterRangeOption { roWhole, roLimited };
enum class TStringsPrinterPageOption { poBoth, poOdd, poEven };

// The font the pages are printed in; the size is in points, so it stays the same on
// every device.
struct PrintFont {
  std::string name = "Monospace";
  int size = 10;
  bool bold = false;
  bool italic = false;
  bool operator==(const PrintFont&) const = default;
};

inline constexpr int kPrintMaxNumber = 999999;

class StringsPrinterProperties {
 public:
  virtual ~StringsPrinterProperties() = default;

  int ColumnCount() const { return columnCount_; }
  int ColumnSpace() const { return columnSpace_; }
  const std::string& FileName() const { return fileName_; }
  int FirstLineNumber() const { return firstLineNumber_; }
  int FirstPageNumber() const { return firstPageNumber_; }
  const PrintFont& Font() const { return font_; }
  const std::string& Footer() const { return footer_; }
  TStringsPrinterHeaderAlign FooterAlign() const { return footerAlign_; }
  const std::string& Header() const { return header_; }
  TStringsPrinterHeaderAlign HeaderAlign() const { return headerAlign_; }
  int LastLine() const { return lastLine_; }
  int LastPage() const { return lastPage_; }
  bool LineNumber() const { return lineNumber_; }
  TStringsPrinterRangeOption LineRangeOption() const { return lineRangeOption_; }
  int MarginBottom() const { return marginBottom_; }
  int MarginLeft() const { return marginLeft_; }
  int MarginLine() const { return marginLine_; }
  int MarginRight() const { return marginRight_; }
  int MarginTop() const { return marginTop_; }
  TStringsPrinterPageOption PageOption() const { return pageOption_; }
  TStringsPrinterRangeOption RangeOption() const { return rangeOption_; }
  int StartLine() const { return startLine_; }
  int StartPage() const { return startPage_; }

  // Setters clamp numbers into their ranges.
  void setColumnCount(int v);
  void setColumnSpace(int v);
  void setFileName(std::string v) { fileName_ = std::move(v); }
  void setFirstLineNumber(int v);
  void setFirstPageNumber(int v);
  void setFont(const PrintFont& f) { font_ = f; }
  void setFooter(std::string v) { footer_ = std::move(v); }
  void setFooterAlign(TStringsPrinterHeaderAlign v) { footerAlign_ = v; }
  void setHeader(std::string v) { header_ = std::move(v); }
  void setHeaderAlign(TStringsPrinterHeaderAlign v) { headerAlign_ = v; }
  void setLastLine(int v);
  void setLastPage(int v);
  void setLineNumber(bool v) { lineNumber_ = v; }
  void setLineRangeOption(TStringsPrinterRangeOption v) { lineRangeOption_ = v; }
  void setMarginBottom(int v);
  void setMarginLeft(int v);
  void setMarginLine(int v);
  void setMarginRight(int v);
  void setMarginTop(int v);
  void setPageOption(TStringsPrinterPageOption v) { pageOption_ = v; }
  void setRangeOption(TStringsPrinterRangeOption v) { rangeOption_ = v; }
  void setStartLine(int v);
  void setStartPage(int v);

  // Copies every published setting (the font by value).
  void Assign(const StringsPrinterProperties& other);

  // One published setting by its name ("ColumnCount", "Header", "Font.Name", ...) from
  // its text: numbers in decimal, booleans "true"/"false", enumerations by their names
  // ("haLeft", "roLimited", "poEven"). False, with the reason in `error`, for an unknown
  // name or a value that is not of the setting's kind; nothing changes then.
  bool setByName(std::string_view name, std::string_view value, std::string* error = nullptr);

  // The settings as one versioned byte string, and back. Loading goes through the
  // setters, so stored values are clamped; a payload that is not one of ours, or is
  // damaged, changes nothing and answers false with the reason.
  std::string serialize() const;
  bool deserialize(std::string_view payload, std::string* error = nullptr);

 private:
  int columnCount_ = 1;
  int columnSpace_ = 4;
  std::string fileName_;
  int firstLineNumber_ = 1;
  int firstPageNumber_ = 1;
  PrintFont font_;
  std::string footer_;
  TStringsPrinterHeaderAlign footerAlign_ = TStringsPrinterHeaderAlign::haNone;
  std::string header_;
  TStringsPrinterHeaderAlign headerAlign_ = TStringsPrinterHeaderAlign::haNone;
  int lastLine_ = kPrintMaxNumber;
  int lastPage_ = kPrintMaxNumber;
  bool lineNumber_ = false;
  TStringsPrinterRangeOption lineRangeOption_ = TStringsPrinterRangeOption::roWhole;
  int marginBottom_ = 0;
  int marginLeft_ = 0;
  int marginLine_ = 0;
  int marginRight_ = 0;
  int marginTop_ = 0;
  TStringsPrinterPageOption pageOption_ = TStringsPrinterPageOption::poBoth;
  TStringsPrinterRangeOption rangeOption_ = TStringsPrinterRangeOption::roWhole;
  int startLine_ = 1;
  int startPage_ = 1;
};

}  // namespace wux

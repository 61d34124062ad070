#pragma once
// Lines of Shift_JIS text laid out into pages: margins, header and footer bands, line
// numbers, one to three columns and wrapping. Pure: the font is known only through
// TextMetrics, so the same pages are drawn on a printer, into a PDF and in the preview,
// and the layout is tested without any of them. Distances are device pixels.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/clock.h"
#include "printing/PrintSettings.h"

namespace wux {

class StringList;

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int lineHeight() = 0;        // height plus external leading
  virtual int averageCharWidth() = 0;
  virtual bool italic() = 0;
  // Advance width of one character (one byte, or a double-byte pair).
  virtual int charWidth(std::string_view ch) = 0;
};

// The device: its resolution, the printable area, and the unprintable border of the
// paper around it (so that margins count from the paper's edge).
struct PageGeometry {
  int dpi = 300;
  int width = 0, height = 0;  // printable area
  int offsetLeft = 0, offsetTop = 0, offsetRight = 0, offsetBottom = 0;
  int mmToPixels(int mm) const;
};

enum class RunKind { Header, Footer, Number, Text };
enum class RunAlign { Left, Center, Right };

// One single line of text in the box (x, y, width, height) of printable coordinates,
// drawn at the box's top with the alignment.
struct TextRun {
  RunKind kind = RunKind::Text;
  RunAlign align = RunAlign::Left;
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;
  int lineNumber = 0;  // of Number and Text runs
};

struct LaidOutPage {
  int number = 0;  // the page number %p shows
  std::vector<TextRun> runs;
};

// Called once per text line with (line index, last index); false stops the layout.
using LayoutProgress = std::function<bool(int done, int total)>;

// "45" for a double-byte pair, "2" for a byte below 33, "1" for any other byte.
std::string ClassifyLineChars(std::string_view text);

// Splits `text` into pieces no wider than `width` (at least one character each, so a
// width of zero or less still advances); a double-byte character is never cut. When
// breaking at spaces, a piece ends after a blank or a double-byte character where one
// fits, else where the width says. An empty text gives one empty piece.
void WrapLine(TextMetrics& metrics, std::string_view text, int width, bool breakAtSpaces,
              std::vector<std::string>& pieces);

// Tabs as blanks up to the next stop of 8 columns (a double-byte character is two).
std::string ExpandTabs(std::string_view text);

// %p page, %f file name, %F file name without its folder, %y %m %d the date and %t the
// time of `now` (as LocaleTimeText writes it); "%" and any other character gives that
// character.
std::string FormatHeaderText(std::string_view tmpl, int page, std::string_view fileName, const DateTime& now);

// The time of `now` in the long time format of the default locale (the user's), without
// a time zone.
std::string LocaleTimeText(const DateTime& now);

// The layout. False when `progress` stopped it (`pages` then holds what was done).
bool LayoutPages(const StringList& lines, const StringsPrinterProperties& settings, const PageGeometry& geometry,
                 TextMetrics& metrics, const DateTime& now, std::vector<LaidOutPage>& pages,
                 const LayoutProgress& progress = {});

// The number printed on page index i, and whether that page goes to the printer under
// the page range and odd/even choice.
int PageNumberOf(const StringsPrinterProperties& settings, int index);
bool IsPagePrinted(const StringsPrinterProperties& settings, int index);

}  // namespace wux

// Page layout without a printer: a font where every single-byte character is 10 pixels
// wide and every double-byte one 20, lines 12 high, on a 254 dpi page (1 mm = 10 px).
#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>
#include <set>

#include "model/text/StringList.h"
#include "platform/textconv.h"
#include "printing/PageLayout.h"

namespace wux {
namespace {

struct FixedMetrics : TextMetrics {
  bool isItalic = false;
  int lineHeight() override { return 12; }
  int averageCharWidth() override { return 10; }
  bool italic() override { return isItalic; }
  int charWidth(std::string_view ch) override { return ch.size() == 2 ? 20 : 10; }
};

PageGeometry a4() {
  PageGeometry g;
  g.dpi = 254;
  g.width = 2100;
  g.height = 2970;
  return g;
}

const DateTime kNow{2025, 3, 7, 9, 5, 4, 0};

StringList numberedLines(int n) {
  StringList lines;
  for (int i = 1; i <= n; ++i) lines.add("line " + std::to_string(i));
  return lines;
}

std::vector<const TextRun*> runsOf(const LaidOutPage& page, RunKind kind) {
  std::vector<const TextRun*> out;
  for (const auto& r : page.runs)
    if (r.kind == kind) out.push_back(&r);
  return out;
}

std::vector<std::string> wrap(std::string_view text, int width, bool spaces = true) {
  FixedMetrics m;
  std::vector<std::string> pieces;
  WrapLine(m, text, width, spaces, pieces);
  return pieces;
}

TEST(WrapLine, FitsOrSplitsByWidth) {
  EXPECT_EQ(wrap("", 100), std::vector<std::string>{""});
  EXPECT_EQ(wrap("abcde", 50), std::vector<std::string>{"abcde"});
  EXPECT_EQ(wrap("abcdefghij", 40, false), (std::vector<std::string>{"abcd", "efgh", "ij"}));
}

TEST(WrapLine, NeverCutsADoubleByteCharacter) {
  const std::string text = sj("あいうえおかきくけこ");  // 10 characters of 20 px
  for (int width : {30, 50, 70}) {
    auto pieces = wrap(text, width);
    std::string joined;
    for (const auto& p : pieces) {
      EXPECT_EQ(p.size() % 2, 0u) << "width " << width;
      EXPECT_TRUE(platform::isValidUtf8(platform::sjisToUtf8(p)));
      EXPECT_EQ(platform::sjisToUtf8(p).find("\xEF\xBF\xBD"), std::string::npos);
      joined += p;
    }
    EXPECT_EQ(joined, text);
  }
  // A second byte that looks like a backslash or a letter stays with its first byte.
  const std::string tricky = sj("表ソ能") + "abc";
  auto pieces = wrap(tricky, 30, false);
  EXPECT_EQ(pieces[0], sj("表"));
  EXPECT_EQ(pieces[1], sj("ソ"));
}

TEST(WrapLine, BreaksAfterSpacesAndKeepsARestThatFits) {
  EXPECT_EQ(wrap("aaa bbb ccc", 80), (std::vector<std::string>{"aaa bbb ", "ccc"}));
  EXPECT_EQ(wrap("aaa bbb ccc", 70), (std::vector<std::string>{"aaa ", "bbb ccc"}));
  // A word longer than the column is cut where the width says.
  EXPECT_EQ(wrap("abcdefgh ij", 50), (std::vector<std::string>{"abcde", "fgh ", "ij"}));
  // After a double-byte character a line may break as after a blank.
  EXPECT_EQ(wrap(sj("あい") + "abcd", 70), (std::vector<std::string>{sj("あい"), "abcd"}));
}

TEST(WrapLine, AZeroOrNegativeWidthStillAdvances) {
  EXPECT_EQ(wrap("abc", 0), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(wrap(sj("あい"), -50), (std::vector<std::string>{sj("あ"), sj("い")}));
}

TEST(LineText, ClassesAndTabs) {
  EXPECT_EQ(ClassifyLineChars("a b\t" + sj("あ")), "12124" "5");
  EXPECT_EQ(ExpandTabs("ab\tc"), "ab      c");
  EXPECT_EQ(ExpandTabs(sj("あ") + "\tx"), sj("あ") + "      x");
}

TEST(HeaderText, KeywordsExpand) {
  const QLocale before;
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(FormatHeaderText("%p/%F", 3, "C:\\a\\b.txt", kNow), "3/b.txt");
  EXPECT_EQ(FormatHeaderText("%f", 1, "/home/u/n.txt", kNow), "/home/u/n.txt");
  EXPECT_EQ(FormatHeaderText("%y-%m-%d %t", 1, "", kNow), "2025-3-7 09:05:04");
  EXPECT_EQ(FormatHeaderText("%P%%x%", 1, "", kNow), "P%x");
  EXPECT_EQ(FormatHeaderText(sj("頁%p") + "%" + sj("表"), 12, "", kNow), sj("頁12表"));
  QLocale::setDefault(before);
}

TEST(HeaderText, TimeIsWrittenTheLocalesWay) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(FormatHeaderText("[%t]", 1, "", kNow), "[9:05:04 AM]");
  EXPECT_EQ(FormatHeaderText("%t", 1, "", DateTime{2025, 3, 7, 21, 30, 0, 0}), "9:30:00 PM");
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  EXPECT_EQ(FormatHeaderText("%t", 1, "", kNow), sj("9時05分04秒"));
  QLocale::setDefault(before);
}

TEST(Layout, LineNumbersRunOnAcrossPagesAndColumns) {
  StringsPrinterProperties s;
  s.setLineNumber(true);
  s.setColumnCount(3);
  s.setHeader("X%pY");
  s.setHeaderAlign(TStringsPrinterHeaderAlign::haCenter);
  FixedMetrics m;
  std::vector<LaidOutPage> pages;
  ASSERT_TRUE(LayoutPages(numberedLines(1000), s, a4(), m, kNow, pages));
  ASSERT_GT(pages.size(), 1u);
  int expected = 1;
  std::set<int> columnsSeen;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    auto header = runsOf(pages[p], RunKind::Header);
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0]->text, "X" + std::to_string(p + 1) + "Y");
    EXPECT_EQ(header[0]->align, RunAlign::Center);
    auto numbers = runsOf(pages[p], RunKind::Number);
    auto texts = runsOf(pages[p], RunKind::Text);
    ASSERT_EQ(numbers.size(), texts.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      EXPECT_EQ(numbers[i]->text, std::to_string(expected) + ":");
      EXPECT_EQ(texts[i]->text, "line " + std::to_string(expected));
      // Each column has its own number column of the same width, right before its text.
      EXPECT_EQ(numbers[i]->width, (4 + 2) * 10);
      EXPECT_EQ(numbers[i]->x + numbers[i]->width, texts[i]->x);
      EXPECT_GE(texts[i]->y, header[0]->y + 18);  // below the header band
      columnsSeen.insert(numbers[i]->x);
      ++expected;
    }
  }
  EXPECT_EQ(expected, 1001);
  EXPECT_EQ(columnsSeen.size(), 3u);
}

TEST(Layout, WrappedPiecesShareTheLineNumberAndStayInTheColumn) {
  StringsPrinterProperties s;
  s.setLineNumber(true);
  s.setMarginLeft(50);
  s.setMarginRight(50);
  FixedMetrics m;
  std::vector<LaidOutPage> pages;
  StringList lines{std::string(300, 'x'), "short"};
  ASSERT_TRUE(LayoutPages(lines, s, a4(), m, kNow, pages));
  auto texts = runsOf(pages[0], RunKind::Text);
  ASSERT_GT(texts.size(), 2u);
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    EXPECT_EQ(texts[i]->lineNumber, 1);
    EXPECT_LE(static_cast<int>(texts[i]->text.size()) * 10, texts[i]->width);
  }
  EXPECT_EQ(texts.back()->lineNumber, 2);
  // An italic font leans past its box, so one average character is kept free.
  m.isItalic = true;
  ASSERT_TRUE(LayoutPages(lines, s, a4(), m, kNow, pages));
  EXPECT_LE(static_cast<int>(runsOf(pages[0], RunKind::Text)[0]->text.size()) * 10,
            runsOf(pages[0], RunKind::Text)[0]->width - 10);
}

TEST(Layout, MarginsCountFromThePaperEdge) {
  StringsPrinterProperties s;
  s.setMarginLeft(20);
  s.setMarginTop(30);
  PageGeometry g = a4();
  g.offsetLeft = 50;  // 5 mm the printer cannot reach
  g.offsetTop = 40;
  g.width -= 100;
  g.height -= 80;
  FixedMetrics m;
  std::vector<LaidOutPage> pages;
  ASSERT_TRUE(LayoutPages(StringList{"a"}, s, g, m, kNow, pages));
  EXPECT_EQ(pages[0].runs[0].x, 200 - 50);
  EXPECT_EQ(pages[0].runs[0].y, 300 - 40);
}

TEST(Layout, ProgressCanStopTheLayout) {
  StringsPrinterProperties s;
  FixedMetrics m;
  std::vector<LaidOutPage> pages;
  int calls = 0;
  EXPECT_FALSE(LayoutPages(numberedLines(100), s, a4(), m, kNow, pages, [&](int done, int total) {
    EXPECT_EQ(total, 99);
    return ++calls < 5;
  }));
  EXPECT_EQ(calls, 5);
}

}  // namespace
}  // namespace wux

// Printing into PDF: what poppler reads back is what the user would find on paper.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <regex>

#include "platform/files.h"
#include "platform/textconv.h"
#include "print_support.h"
#include "printing/FormStrProgress.h"
#include "printing/StringsPrinter.h"

namespace wux {
namespace {

using test::numberedLines;
using test::pdfPageCount;
using test::pdfPages;

struct PdfPrint : test::PrintFixture {
  TStringsPrinter printer;
  std::string pdf = file("out.pdf");
  PdfPrint() { printer.setPdfOutput(pdf); }
};

// Line numbers found on a page, in order.
std::vector<int> lineNumbersOn(const std::string& page) {
  std::vector<int> out;
  static const std::regex numbered(R"((\d+):line (\d+))");
  for (std::sregex_iterator it(page.begin(), page.end(), numbered), end; it != end; ++it) {
    EXPECT_EQ((*it)[1], (*it)[2]);
    out.push_back(std::stoi((*it)[1]));
  }
  return out;
}

TEST_F(PdfPrint, FiveHundredLinesNumberedAcrossPagesWithAPageHeader) {
  printer.setLineNumber(true);
  printer.setHeader("X%pY");
  printer.setHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
  ASSERT_TRUE(printer.Print(numberedLines(500)));
  const int count = pdfPageCount(pdf);
  ASSERT_GT(count, 1);
  EXPECT_EQ(count, printer.printedPageCount());
  auto pages = pdfPages(pdf);
  ASSERT_EQ(static_cast<int>(pages.size()), count);
  int next = 1;
  for (int p = 0; p < count; ++p) {
    EXPECT_EQ(pages[p].rfind("X" + std::to_string(p + 1) + "Y", 0), 0u) << pages[p].substr(0, 20);
    for (int n : lineNumbersOn(pages[p])) EXPECT_EQ(n, next++);
  }
  EXPECT_EQ(next, 501);
}

TEST_F(PdfPrint, OddOrEvenPagesOnly) {
  printer.setHeader("X%pY");
  printer.setHeaderAlign(TStringsPrinterHeaderAlign::haRight);
  printer.setPageOption(TStringsPrinterPageOption::poEven);
  ASSERT_TRUE(printer.Print(numberedLines(300)));
  const int even = pdfPageCount(pdf);
  auto pages = pdfPages(pdf);
  ASSERT_GE(even, 2);
  for (int i = 0; i < even; ++i) EXPECT_NE(pages[i].find("X" + std::to_string(2 * i + 2) + "Y"), std::string::npos);

  printer.setPageOption(TStringsPrinterPageOption::poOdd);
  ASSERT_TRUE(printer.Print(numberedLines(300)));
  EXPECT_NE(pdfPages(pdf)[0].find("X1Y"), std::string::npos);
  EXPECT_GE(pdfPageCount(pdf), even);
}

TEST_F(PdfPrint, PageRangeNumbersFromTheFirstPageNumber) {
  printer.setHeader("X%pY");
  printer.setHeaderAlign(TStringsPrinterHeaderAlign::haCenter);
  printer.setLineNumber(true);
  printer.setRangeOption(TStringsPrinterRangeOption::roLimited);
  printer.setStartPage(3);
  printer.setLastPage(4);
  printer.setFirstPageNumber(1);
  ASSERT_TRUE(printer.Print(numberedLines(500)));
  ASSERT_EQ(pdfPageCount(pdf), 2);
  auto pages = pdfPages(pdf);
  EXPECT_NE(pages[0].find("X1Y"), std::string::npos);
  EXPECT_NE(pages[1].find("X2Y"), std::string::npos);
  // The third rendered page goes on from where the second ended.
  EXPECT_GT(lineNumbersOn(pages[0]).front(), 100);
}

TEST_F(PdfPrint, ARangeOrPagesideThatLeavesNoPagePrintsNothingAndSaysSo) {
  printer.setRangeOption(TStringsPrinterRangeOption::roLimited);
  printer.setStartPage(2);
  printer.setLastPage(3);
  EXPECT_FALSE(printer.Print(numberedLines(3)));
  EXPECT_EQ(printer.lastError(), "no page of the note lies in the chosen page range");
  EXPECT_FALSE(printer.wasCancelled());
  EXPECT_EQ(printer.printedPageCount(), 0);
  EXPECT_FALSE(platform::fileExists(pdf));

  printer.setRangeOption(TStringsPrinterRangeOption::roWhole);
  printer.setPageOption(TStringsPrinterPageOption::poEven);
  EXPECT_FALSE(printer.Print(numberedLines(3)));
  EXPECT_FALSE(platform::fileExists(pdf));
  printer.setPageOption(TStringsPrinterPageOption::poOdd);
  EXPECT_TRUE(printer.Print(numberedLines(3)));
  EXPECT_EQ(printer.lastError(), "");
  EXPECT_EQ(pdfPageCount(pdf), 1);
}

TEST_F(PdfPrint, LineRangeOnly) {
  printer.setLineNumber(true);
  printer.setLineRangeOption(TStringsPrinterRangeOption::roLimited);
  printer.setStartLine(10);
  printer.setLastLine(12);
  ASSERT_TRUE(printer.Print(numberedLines(40)));
  const std::string text = pdfPages(pdf).at(0);
  EXPECT_NE(text.find("1:line 10"), std::string::npos);
  EXPECT_NE(text.find("3:line 12"), std::string::npos);
  EXPECT_EQ(text.find("line 9"), std::string::npos);
  EXPECT_EQ(text.find("line 13"), std::string::npos);
}

TEST_F(PdfPrint, JapaneseInThreeColumnsWithAnEmbeddedFont) {
  printer.setColumnCount(3);
  printer.setLineNumber(true);
  StringList lines;
  for (int i = 0; i < 300; ++i) lines.add(sj("あいうえお漢字表ソ") + std::to_string(i));
  ASSERT_TRUE(printer.Print(lines));
  std::string all;
  for (const auto& p : pdfPages(pdf)) all += p;
  EXPECT_NE(all.find("あいうえお漢字表ソ299"), std::string::npos);
  EXPECT_EQ(all.find("\xEF\xBF\xBD"), std::string::npos);  // no replacement character
  const std::string fonts = test::runCommand("pdffonts '" + pdf + "'");
  bool embeddedJapanese = false;
  std::istringstream rows(fonts);
  for (std::string row; std::getline(rows, row);)
    if (row.find("IPA") != std::string::npos && row.find(" yes ") != std::string::npos) embeddedJapanese = true;
  EXPECT_TRUE(embeddedJapanese) << fonts;
}

TEST_F(PdfPrint, HeaderKeywords) {
  printer.setHeader("%p|%f|%F|%y|%m|%d|%t|%P|100%%");
  printer.setHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
  printer.setFileName("/notes/a.txt");
  ASSERT_TRUE(printer.Print(StringList{"body"}));
  EXPECT_NE(pdfPages(pdf).at(0).find("1|/notes/a.txt|a.txt|2025|3|7|09:05:04|P|100%"), std::string::npos);
}

TEST_F(PdfPrint, HugeMarginsEndWithoutAHang) {
  printer.setMarginLeft(100);
  printer.setMarginRight(100);
  printer.setMarginTop(100);
  printer.setMarginBottom(100);
  printer.setColumnCount(3);
  printer.setLineNumber(true);
  ASSERT_TRUE(printer.Print(numberedLines(20)));
  EXPECT_GE(pdfPageCount(pdf), 1);
}

TEST_F(PdfPrint, CancelInTheProgressWindowPrintsNothing) {
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* progress = qobject_cast<TFormStrProgress*>(w))
        if (auto* cancel = progress->findChild<QPushButton*>(QStringLiteral("Button1"))) cancel->click();
  });
  EXPECT_FALSE(printer.Print(numberedLines(2000)));
  EXPECT_TRUE(printer.wasCancelled());
  EXPECT_FALSE(platform::fileExists(pdf));
}

TEST_F(PdfPrint, EscapeInTheProgressWindowIsCancel) {
  bool stillShown = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* progress = qobject_cast<TFormStrProgress*>(w); progress && progress->isVisible()) {
        QTest::keyClick(progress, Qt::Key_Escape);
        stillShown = progress->isVisible();
      }
  });
  EXPECT_FALSE(printer.Print(numberedLines(2000)));
  EXPECT_TRUE(printer.wasCancelled());
  EXPECT_TRUE(stillShown);
  EXPECT_FALSE(platform::fileExists(pdf));
}

TEST_F(PdfPrint, PrinterInfoNamesThePaper) {
  TStringsPrinterInfo info = printer.info();
  EXPECT_EQ(info.GetPaperCode(), 9);
  EXPECT_EQ(info.GetPaperName(), "DMPAPER_A4");
  int w = 0, h = 0;
  info.GetPaperSize(w, h);
  EXPECT_EQ(w, 210);
  EXPECT_EQ(h, 297);
  EXPECT_EQ(info.GetPrinterName(), sj("不明"));
  EXPECT_EQ(info.GetOrientationName(), "poPortrait");
}

TEST_F(PdfPrint, DriverPrintsAndCountsPages) {
  const std::string in = file("in.txt");
  ASSERT_TRUE(platform::writeFileAtomic(in, "a\r\n" + sj("表") + "\r\nc\r\n"));
  int status = -1;
  std::string out = test::runCommand(std::string(WUX_DRIVERS_DIR) + "/wux-print --ColumnCount=3 --Header=X%pY "
                                     "--HeaderAlign=haLeft '" + in + "' '" + pdf + "' 2>/dev/null", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "1\n");
  EXPECT_NE(pdfPages(pdf).at(0).find("表"), std::string::npos);
  test::runCommand(std::string(WUX_DRIVERS_DIR) + "/wux-print --Colour=red '" + in + "' '" + pdf + "' 2>/dev/null",
                   &status);
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace wux

// A picture printed as a page: fitted into 97 % of the page, aspect kept.
#include "printing/PicturePrint.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>

#include "print_support.h"

namespace wux {
namespace {

TEST(PictureFit, FillsTheLimitingDirection) {
  FitExtents e = fitPictureToPage(1000, 500, 4000, 6000);  // wide: by width
  EXPECT_EQ(2 * e.halfWidth, 3880);
  EXPECT_EQ(2 * e.halfHeight, 1940);
  e = fitPictureToPage(500, 1000, 4000, 6000);  // tall: by height
  EXPECT_EQ(e.halfHeight, 2910);
  EXPECT_EQ(e.halfWidth, 1455);
  e = fitPictureToPage(200, 100, 1000, 200);  // wide, but the page is wider still
  EXPECT_EQ(e.halfHeight, 97);
  EXPECT_EQ(e.halfWidth, 194);
  e = fitPictureToPage(3, 2, 1000, 1000);  // 485 x 2 / 3 = 323.33
  EXPECT_EQ(e.halfHeight, 323);
}

TEST(PictureFit, EmptyPictureHasNothingToFit) {
  EXPECT_EQ(fitPictureToPage(0, 0, 4000, 6000).halfWidth, 0);
  EXPECT_EQ(fitPictureToPage(10, 0, 4000, 6000).halfHeight, 0);
}

struct PicturePrintTest : test::PrintFixture {};

TEST_F(PicturePrintTest, EmptyPictureStartsNoJob) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file("p.pdf")));
  std::string error;
  EXPECT_FALSE(stretchDrawFit(printer, QImage(), "header", true, &error));
  EXPECT_EQ(error, "the picture is empty");
  EXPECT_FALSE(std::filesystem::exists(file("p.pdf")));

  QImage img(30, 10, QImage::Format_RGB32);
  img.fill(Qt::black);
  EXPECT_TRUE(stretchDrawFit(printer, img, "the header line", true, &error));
  EXPECT_EQ(test::pdfPageCount(file("p.pdf")), 1);
  const auto pages = test::pdfPages(file("p.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("the header line"), std::string::npos);
}

}  // namespace
}  // namespace wux

// A print that could not start: the user is told why and the next print works, on the
// main printer and on the settings window's copy, which share one device.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include "platform/textconv.h"
#include "print_support.h"
#include "printing/FormStringsPrint.h"
#include "printing/StringsPrinter.h"

namespace wux {
namespace {

using test::numberedLines;
using test::pdfPageCount;

struct FailedStart : test::PrintFixture {
  TStringsPrinter printer;
  std::string pdf = file("out.pdf");
  FailedStart() { printer.setShowProgress(false); }

  // A PDF device without a file cannot start a job: the state a machine without any
  // printer is in, where the toolkit falls back to exactly such a device.
  void failOnce() {
    printer.setPdfOutput("");
    ASSERT_FALSE(printer.Print(numberedLines(3)));
    ASSERT_FALSE(printer.wasCancelled());
  }
};

TEST_F(FailedStart, TheNextPrintIntoAFileHasAllItsPages) {
  failOnce();
  printer.setPdfOutput(pdf);
  ASSERT_TRUE(printer.Print(numberedLines(300))) << printer.lastError();
  ASSERT_GT(printer.printedPageCount(), 1);
  EXPECT_EQ(pdfPageCount(pdf), printer.printedPageCount());

  // Once more, so a renewed device is not good for one job only.
  failOnce();
  printer.setPdfOutput(pdf);
  ASSERT_TRUE(printer.Print(numberedLines(50))) << printer.lastError();
  EXPECT_EQ(pdfPageCount(pdf), printer.printedPageCount());
}

TEST_F(FailedStart, TheRenewedDeviceKeepsTheFilePaperAndOrientation) {
  // A file in a folder that does not exist cannot be started either.
  const std::string nowhere = file("missing/out.pdf");
  printer.setPdfOutput(nowhere);
  printer.printer().setPageSize(QPageSize(QPageSize::A5));
  printer.printer().setPageOrientation(QPageLayout::Landscape);
  ASSERT_FALSE(printer.Print(numberedLines(3)));
  EXPECT_EQ(printer.lastError(), "Could not start printing on PDF: " + nowhere);

  TStringsPrinterInfo info = printer.info();
  EXPECT_EQ(info.GetOutputName(), "PDF: " + nowhere);
  EXPECT_EQ(info.GetPaperName(), "DMPAPER_A5");
  EXPECT_EQ(info.GetOrientationName(), "poLandscape");
  // The device takes changes again.
  printer.printer().setOutputFileName(QString::fromStdString(pdf));
  ASSERT_TRUE(printer.Print(numberedLines(3))) << printer.lastError();
  EXPECT_EQ(pdfPageCount(pdf), 1);
  // A5 lying on its side: 210 x 148 mm.
  double w = 0, h = 0;
  const std::string info2 = test::runCommand("pdfinfo '" + pdf + "'");
  ASSERT_EQ(std::sscanf(info2.c_str() + info2.find("Page size:"), "Page size: %lf x %lf", &w, &h), 2) << info2;
  EXPECT_NEAR(w, 210 * 72 / 25.4, 2);
  EXPECT_NEAR(h, 148 * 72 / 25.4, 2);
}

TEST_F(FailedStart, TheSettingsWindowPrintsOnTheRenewedDevice) {
  const StringList lines = numberedLines(200);
  TFormStringsPrint form(printer, &lines);
  failOnce();
  printer.setPdfOutput(pdf);
  form.StringsPrinter1().setShowProgress(false);
  form.findChild<QPushButton*>(QStringLiteral("Button5"))->click();
  EXPECT_EQ(form.result(), QDialog::Accepted) << form.StringsPrinter1().lastError();
  EXPECT_EQ(pdfPageCount(pdf), form.StringsPrinter1().printedPageCount());
  EXPECT_GT(pdfPageCount(pdf), 1);
}

TEST_F(FailedStart, TheUserIsToldWhereThePagesGoAndTheWayOutWithoutAPrinter) {
  const StringList lines = numberedLines(5);
  printer.setPdfOutput(pdf);
  TFormStringsPrint form(printer, &lines);
  EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label5"))->text().toStdString(), "PDF: " + pdf);
  // The printer's own name stays unknown: a file is no printer.
  EXPECT_EQ(printer.info().GetPrinterName(), sj("不明"));

  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
  TStringsPrinter fresh;  // the toolkit's own choice: no printer, no file
  fresh.setShowProgress(false);
  EXPECT_FALSE(fresh.Print(numberedLines(3)));
  EXPECT_EQ(fresh.lastError(), "no printer found. Choose Print to File (PDF) in File > Printer Setup.");
  EXPECT_EQ(fresh.info().GetOutputName(), sj("不明"));
}

}  // namespace
}  // namespace wux

#pragma once
// The text printer: lays any list of lines out into pages and prints them (page range,
// odd or even pages) or shows them in the preview, with a progress window whose Cancel
// stops the layout. The device is a QPrinter: a real printer, or a PDF file.
//
// Use from the main window:
//   TStringsPrinter p;                         // defaults
//   LoadComponentFromIni(p, PrintSettingsPath(), kPrintSettingsSection, kPrintSettingsPrefix);
//   p.setFileName(holder + " : " + note);      // shown by %f and %F
//   p.Print(lines);  p.Preview(lines);  ExecuteStringsPrintDialog(p, &lines);
#include <memory>
#include <string>
#include <vector>

#include "printing/PageLayout.h"
#include "printing/PrintSettings.h"

class QFont;
class QPainter;
class QPrinter;
class QPaintDevice;
class QWidget;

namespace wux {

class StringList;

// What the printer says about itself: its name and its current paper.
class TStringsPrinterInfo {
 public:
  explicit TStringsPrinterInfo(QPrinter& printer) : printer_(printer) {}
  // The printer's name; "不明" (Shift_JIS) when it has none (no printer, or a file).
  std::string GetPrinterName() const;
  // Where the pages go, for the user: "PDF: " and the file when printing to a file,
  // else the printer's name as above.
  std::string GetOutputName() const;
  // The Windows paper code of the current paper (9, A4, when it has none).
  int GetPaperCode() const;
  // The paper's name in the classic paper-code names ("DMPAPER_A4"), else its own name.
  std::string GetPaperName() const;
  // Width and height in whole millimetres, as the paper lies (landscape swaps them).
  void GetPaperSize(int& widthMm, int& heightMm) const;
  // "poPortrait" or "poLandscape".
  std::string GetOrientationName() const;

 private:
  QPrinter& printer_;
};

class TStringsPrinter : public StringsPrinterProperties {
 public:
  TStringsPrinter();
  ~TStringsPrinter() override;
  TStringsPrinter(const TStringsPrinter&) = delete;
  TStringsPrinter& operator=(const TStringsPrinter&) = delete;

  // The device, made on first use. A copy edited by the settings dialog shares the
  // device of the printer it was copied from, so both print on the one selected printer.
  // The reference holds until the next startFailed(): keep it no longer than one job.
  QPrinter& printer();
  void shareDevice(TStringsPrinter& other);
  // Prints into a PDF file (A4, no unprintable border) instead of the printer.
  void setPdfOutput(const std::string& path);
  // Call when a job could not start on printer(): answers why, and puts a fresh device
  // with the same printer or file, paper and orientation in the place of the old one,
  // which refuses every later job and every change once a start failed.
  std::string startFailed();
  TStringsPrinterInfo info() { return TStringsPrinterInfo(printer()); }

  // Renders and prints; false when the layout was cancelled (nothing printed), when the
  // page range and page option leave no page to print, or when the device could not
  // print (the reason in lastError()).
  bool Print(const StringList& lines);
  // Renders and shows the preview; false when the layout was cancelled.
  bool Preview(const StringList& lines, QWidget* parent = nullptr);
  // The layout with the progress window; false when Cancel was pressed.
  bool RenderPages(const StringList& lines, std::vector<LaidOutPage>& pages, const std::string& caption);

  // The device's printable area and resolution.
  PageGeometry geometry();
  // Pages sent by the last Print.
  int printedPageCount() const { return printedPages_; }
  const std::string& lastError() const { return lastError_; }
  // True when the last Print stopped because Cancel was pressed.
  bool wasCancelled() const { return cancelled_; }
  // The progress window can be left out (command-line use, measurements).
  void setShowProgress(bool on) { showProgress_ = on; }

  // The font of the pages at a device resolution, in device pixels.
  static QFont deviceFont(const PrintFont& font, int dpi);
  // Draws one page, in printable coordinates, on a painter set up for them.
  static void DrawPage(QPainter& painter, const LaidOutPage& page, const QFont& font);

 private:
  struct Device;
  // Shared with the copies, so that a renewed device reaches all of them.
  std::shared_ptr<Device> device_;
  int printedPages_ = 0;
  std::string lastError_;
  bool cancelled_ = false;
  bool showProgress_ = true;
};

// Measures text in the font the pages are drawn in.
class QtTextMetrics : public TextMetrics {
 public:
  QtTextMetrics(const QFont& font, QPaintDevice* device);
  ~QtTextMetrics() override;
  int lineHeight() override;
  int averageCharWidth() override;
  bool italic() override;
  int charWidth(std::string_view ch) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace wux

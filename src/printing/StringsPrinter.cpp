#include "printing/StringsPrinter.h"

#include <QElapsedTimer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <unordered_map>

#include "model/text/StringList.h"
#include "platform/textconv.h"
#include "printing/FormStrPreview.h"
#include "printing/FormStrProgress.h"
#include "views/qtext.h"

namespace wux {
namespace {

// The classic paper-code names, by code 1..68, without their "DMPAPER_" prefix.
constexpr const char* kPaperNames[] = {
    "LETTER", "LETTERSMALL", "TABLOID", "LEDGER", "LEGAL", "STATEMENT", "EXECUTIVE", "A3", "A4",
    "A4SMALL", "A5", "B4", "B5", "FOLIO", "QUARTO", "10X14", "11X17", "NOTE", "ENV_9", "ENV_10",
    "ENV_11", "ENV_12", "ENV_14", "CSHEET", "DSHEET", "ESHEET", "ENV_DL", "ENV_C5", "ENV_C3", "ENV_C4",
    "ENV_C6", "ENV_C65", "ENV_B4", "ENV_B5", "ENV_B6", "ENV_ITALY", "ENV_MONARCH", "ENV_PERSONAL",
    "FANFOLD_US", "FANFOLD_STD_GERMAN", "FANFOLD_LGL_GERMAN", "ISO_B4", "JAPANESE_POSTCARD", "9X11",
    "10X11", "15X11", "ENV_INVITE", "RESERVED_48", "RESERVED_49", "LETTER_EXTRA", "LEGAL_EXTRA",
    "TABLOID_EXTRA", "A4_EXTRA", "LETTER_TRANSVERSE", "A4_TRANSVERSE", "LETTER_EXTRA_TRANSVERSE",
    "A_PLUS", "B_PLUS", "LETTER_PLUS", "A4_PLUS", "A5_TRANSVERSE", "B5_TRANSVERSE", "A3_EXTRA",
    "A5_EXTRA", "B5_EXTRA", "A2", "A3_TRANSVERSE", "A3_EXTRA_TRANSVERSE",
};
constexpr int kPaperCodeA4 = 9;

// The event loop is served this often while laying out, so Cancel answers at once and
// a long layout does not spend its time repainting.
constexpr int kProgressIntervalMs = 40;

// A PDF file with a name: a PDF device without one is the toolkit's stand-in for "no printer".
bool printsToFile(const QPrinter& p) {
  return p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty();
}

}  // namespace

std::string TStringsPrinterInfo::GetPrinterName() const {
  QString name = printer_.outputFormat() == QPrinter::NativeFormat ? printer_.printerName() : QString();
  return name.isEmpty() ? sj("不明") : fromQ(name);
}

std::string TStringsPrinterInfo::GetOutputName() const {
  if (printsToFile(printer_)) return "PDF: " + fromQ(printer_.outputFileName());
  return GetPrinterName();
}

int TStringsPrinterInfo::GetPaperCode() const {
  int code = printer_.pageLayout().pageSize().windowsId();
  return code > 0 ? code : kPaperCodeA4;
}

std::string TStringsPrinterInfo::GetPaperName() const {
  const int code = GetPaperCode();
  if (code >= 1 && code <= static_cast<int>(std::size(kPaperNames)))
    return std::string("DMPAPER_") + kPaperNames[code - 1];
  return fromQ(printer_.pageLayout().pageSize().name());
}

void TStringsPrinterInfo::GetPaperSize(int& widthMm, int& heightMm) const {
  QRectF full = printer_.pageLayout().fullRect(QPageLayout::Millimeter);
  widthMm = static_cast<int>(std::lround(full.width()));
  heightMm = static_cast<int>(std::lround(full.height()));
}

std::string TStringsPrinterInfo::GetOrientationName() const {
  return printer_.pageLayout().orientation() == QPageLayout::Landscape ? "poLandscape" : "poPortrait";
}

struct QtTextMetrics::Impl {
  QFont font;
  QFontMetricsF fm;
  std::unordered_map<unsigned, int> widths;
  Impl(const QFont& f, QPaintDevice* device) : font(f), fm(f, device) {}
};

QtTextMetrics::QtTextMetrics(const QFont& font, QPaintDevice* device) : d_(std::make_unique<Impl>(font, device)) {}
QtTextMetrics::~QtTextMetrics() = default;

int QtTextMetrics::lineHeight() {
  return static_cast<int>(std::ceil(d_->fm.height() + std::max<qreal>(0, d_->fm.leading())));
}
int QtTextMetrics::averageCharWidth() { return static_cast<int>(std::lround(d_->fm.averageCharWidth())); }
bool QtTextMetrics::italic() { return d_->font.italic(); }

int QtTextMetrics::charWidth(std::string_view ch) {
  unsigned key = static_cast<unsigned char>(ch[0]);
  if (ch.size() > 1) key = key << 8 | static_cast<unsigned char>(ch[1]);
  auto it = d_->widths.find(key);
  if (it != d_->widths.end()) return it->second;
  // Rounded up, so that a piece the layout lets into a column never runs past it.
  int w = static_cast<int>(std::ceil(d_->fm.horizontalAdvance(toQ(ch))));
  d_->widths.emplace(key, w);
  return w;
}

struct TStringsPrinter::Device {
  std::unique_ptr<QPrinter> printer;
};

TStringsPrinter::TStringsPrinter() = default;
TStringsPrinter::~TStringsPrinter() = default;

QPrinter& TStringsPrinter::printer() {
  if (!device_) device_ = std::make_shared<Device>();
  if (!device_->printer) device_->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *device_->printer;
}

void TStringsPrinter::shareDevice(TStringsPrinter& other) {
  other.printer();
  device_ = other.device_;
}

std::string TStringsPrinter::startFailed() {
  QPrinter& old = printer();
  // Without any printer the toolkit falls back to a PDF device without a file: the
  // user's way out is to choose a file.
  std::string reason;
  if (!printsToFile(old) && QPrinterInfo::availablePrinterNames().isEmpty())
    reason = "no printer found. Choose Print to File (PDF) in File > Printer Setup.";
  else
    reason = "Could not start printing on " + info().GetOutputName();

  auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (old.outputFormat() == QPrinter::NativeFormat) {
    fresh->setOutputFormat(QPrinter::NativeFormat);
    fresh->setPrinterName(old.printerName());
  } else {
    fresh->setOutputFormat(QPrinter::PdfFormat);
    fresh->setOutputFileName(old.outputFileName());
  }
  fresh->setPageLayout(old.pageLayout());
  fresh->setFullPage(old.fullPage());
  fresh->setColorMode(old.colorMode());
  fresh->setDuplex(old.duplex());
  fresh->setCopyCount(old.copyCount());
  fresh->setCollateCopies(old.collateCopies());
  fresh->setDocName(old.docName());
  device_->printer = std::move(fresh);
  return reason;
}

void TStringsPrinter::setPdfOutput(const std::string& path) {
  QPrinter& p = printer();
  p.setOutputFormat(QPrinter::PdfFormat);
  p.setOutputFileName(QString::fromStdString(platform::osPath(path)));
  p.setPageSize(QPageSize(QPageSize::A4));
  p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

PageGeometry TStringsPrinter::geometry() {
  QPrinter& p = printer();
  PageGeometry g;
  g.dpi = p.resolution();
  const QRectF paper = p.paperRect(QPrinter::DevicePixel);
  const QRectF page = p.pageRect(QPrinter::DevicePixel);
  g.width = static_cast<int>(std::lround(page.width()));
  g.height = static_cast<int>(std::lround(page.height()));
  g.offsetLeft = std::max(0, static_cast<int>(std::lround(page.left() - paper.left())));
  g.offsetTop = std::max(0, static_cast<int>(std::lround(page.top() - paper.top())));
  g.offsetRight = std::max(0, static_cast<int>(std::lround(paper.width())) - g.width - g.offsetLeft);
  g.offsetBottom = std::max(0, static_cast<int>(std::lround(paper.height())) - g.height - g.offsetTop);
  return g;
}

QFont TStringsPrinter::deviceFont(const PrintFont& font, int dpi) {
  QFont f(toQ(font.name));
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size * dpi / 72.0))));
  f.setBold(font.bold);
  f.setItalic(font.italic);
  return f;
}

void TStringsPrinter::DrawPage(QPainter& painter, const LaidOutPage& page, const QFont& font) {
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetricsF fm(font, painter.device());
  for (const TextRun& run : page.runs) {
    if (run.text.empty()) continue;
    const QString text = toQ(run.text);
    if (run.align == RunAlign::Left || run.width <= 0) {
      painter.drawText(QPointF(run.x, run.y + fm.ascent()), text);
      continue;
    }
    const int h = run.align == RunAlign::Right ? Qt::AlignRight : Qt::AlignHCenter;
    painter.drawText(QRectF(run.x, run.y, run.width, std::max(run.height, 1)),
                     h | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
  }
}

bool TStringsPrinter::RenderPages(const StringList& lines, std::vector<LaidOutPage>& pages, const std::string& caption) {
  const PageGeometry g = geometry();
  QtTextMetrics metrics(deviceFont(Font(), g.dpi), &printer());
  std::unique_ptr<TFormStrProgress> progress;
  if (showProgress_) progress = TFormStrProgress::Start(nullptr, caption);
  QElapsedTimer sinceUpdate;
  sinceUpdate.start();
  auto step = [&](int done, int total) {
    if (!progress) return true;
    if (done == 0 || done == total || sinceUpdate.elapsed() >= kProgressIntervalMs) {
      progress->Progress(caption + " " + std::to_string(done) + " / " + std::to_string(total), total, done);
      sinceUpdate.restart();
    }
    return !progress->cancelled();
  };
  return LayoutPages(lines, *this, g, metrics, Now(), pages, step);
}

bool TStringsPrinter::Print(const StringList& lines) {
  printedPages_ = 0;
  lastError_.clear();
  cancelled_ = false;
  std::vector<LaidOutPage> pages;
  if (!RenderPages(lines, pages, sj("印刷中"))) {
    cancelled_ = true;
    lastError_ = "Cancel: print";
    return false;
  }
  int toPrint = 0;
  for (int i = 0; i < static_cast<int>(pages.size()); ++i) toPrint += IsPagePrinted(*this, i);
  // A range that leaves no page out of the note is a print of nothing, not a success.
  if (toPrint == 0) {
    lastError_ = "no page of the note lies in the chosen page range";
    return false;
  }

  QPrinter& p = printer();
  QPainter painter;
  if (!painter.begin(&p)) {
    lastError_ = startFailed();
    return false;
  }
  const QFont font = deviceFont(Font(), p.resolution());
  bool ok = true;
  for (int i = 0; i < static_cast<int>(pages.size()) && ok; ++i) {
    if (!IsPagePrinted(*this, i)) continue;
    if (printedPages_ > 0 && !p.newPage()) {
      lastError_ = "Could not start a new page";
      ok = false;
      break;
    }
    DrawPage(painter, pages[i], font);
    ++printedPages_;
  }
  // The job always ends, also after an error, so the printer is never left waiting.
  if (!painter.end() && ok) {
    lastError_ = "Could not finish printing";
    ok = false;
  }
  return ok;
}

bool TStringsPrinter::Preview(const StringList& lines, QWidget* parent) {
  std::vector<LaidOutPage> pages;
  if (!RenderPages(lines, pages, sj("プレビューを作成中"))) return false;
  TFormStrPreview::Execute(*this, pages, parent);
  return true;
}

}  // namespace wux

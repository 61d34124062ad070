#include "printing/PicturePrint.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "views/qtext.h"

namespace wux {

namespace {

int roundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }  // default mode: to even

}  // namespace

FitExtents fitPictureToPage(int width, int height, int pageWidth, int pageHeight) {
  FitExtents e;
  if (width <= 0 || height <= 0 || pageWidth <= 0 || pageHeight <= 0) return e;
  const int boxW = roundHalfEven(0.97 * (pageWidth / 2));
  const int boxH = roundHalfEven(0.97 * (pageHeight / 2));
  const double w = width, h = height;
  if (width > height) {
    e.halfWidth = boxW;
    e.halfHeight = roundHalfEven(boxW * h / w);
    if (e.halfHeight > boxH) {
      e.halfHeight = boxH;
      e.halfWidth = roundHalfEven(boxH * w / h);
    }
  } else {
    e.halfHeight = boxH;
    e.halfWidth = roundHalfEven(boxH * w / h);
    if (e.halfWidth > boxW) {
      e.halfWidth = boxW;
      e.halfHeight = roundHalfEven(boxW * h / w);
    }
  }
  return e;
}

bool stretchDrawFit(QPrinter& printer, const QImage& picture, const std::string& header, bool frame,
                    std::string* error) {
  if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
    if (error) *error = "the picture is empty";
    return false;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = "could not start printing";
    return false;
  }
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const int W = page.width(), H = page.height();
  const FitExtents e = fitPictureToPage(picture.width(), picture.height(), W, H);
  const QRect target(W / 2 - e.halfWidth, H / 2 - e.halfHeight, 2 * e.halfWidth, 2 * e.halfHeight);
  painter.drawImage(target, picture);

  const int margin = std::max(12, H / 40);
  QFont font = painter.font();
  // 12 points at the device's resolution.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(12.0 * printer.resolution() / 72.0))));
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawText(QPoint(margin, margin + painter.fontMetrics().ascent()), toQ(header));
  if (frame) painter.drawRect(target.adjusted(0, 0, -1, -1));
  painter.end();
  return true;
}

}  // namespace wux

#pragma once
// A picture of one colour as the bytes of a file of the given format ("PNG", "JPEG"...).
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace wux::test {

inline QByteArray solidPicture(QColor colour, int w, int h, const char* format = "PNG") {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, format);
  return bytes;
}

}  // namespace wux::test

#include "dialogs/HardCopy.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace wux {

bool hardCopy(QWidget* window, QPrinter& printer, std::string* why) {
  if (!window) return false;
  const QPixmap shot = window->grab();
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (why) *why = "No printer.";
    return false;
  }
  const QRect page = painter.viewport();
  QSize size = shot.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.drawPixmap(QRect(page.topLeft(), size), shot);
  painter.end();
  return true;
}

}  // namespace wux

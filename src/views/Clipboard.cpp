#include "views/Clipboard.h"

#include <QApplication>
#include <QClipboard>

#include "views/qtext.h"

namespace wux {

namespace {

class QtClipboard : public Clipboard {
 public:
  std::string text() override { return fromQ(QApplication::clipboard()->text()); }
  void setText(const std::string& sjis) override { QApplication::clipboard()->setText(toQ(sjis)); }
  QImage image() override { return QApplication::clipboard()->image(); }
  void setImage(const QImage& image) override { QApplication::clipboard()->setImage(image); }
};

Clipboard* installed = nullptr;

}  // namespace

Clipboard& clipboard() {
  static QtClipboard toolkit;
  return installed ? *installed : toolkit;
}

Clipboard* setClipboard(Clipboard* c) {
  Clipboard* previous = installed;
  installed = c;
  return previous;
}

}  // namespace wux

#include "views/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "views/qtext.h"

namespace wux {

namespace {

class QtClipboard : public Clipboard {
 public:
  std::string text() const override {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? fromQ(c->text()) : std::string();
  }
  void setText(const std::string& text) override {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(toQ(text));
  }
  QImage image() const override {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? c->image() : QImage();
  }
  void setImage(const QImage& image) override {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setImage(image);
  }
};

QtClipboard systemClipboard;
Clipboard* installed = nullptr;

}  // namespace

Clipboard& clipboard() { return installed ? *installed : systemClipboard; }

Clipboard* setClipboard(Clipboard* c) {
  Clipboard* prev = installed;
  installed = c;
  return prev;
}

}  // namespace wux

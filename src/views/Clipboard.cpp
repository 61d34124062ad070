#include "views/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "model/installable.h"
#include "views/qtext.h"

namespace wux {

QString Clipboard::unicodeText() const { return toQ(text()); }
void Clipboard::setUnicodeText(const QString& text) { setText(fromQ(text)); }

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
  QString unicodeText() const override {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? c->text() : QString();
  }
  void setUnicodeText(const QString& text) override {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(text);
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
Installable<Clipboard> installed(systemClipboard);

}  // namespace

Clipboard& clipboard() { return installed.get(); }

Clipboard* setClipboard(Clipboard* c) { return installed.install(c); }

}  // namespace wux

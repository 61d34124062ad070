#pragma once
// A clipboard for tests: a text and a picture held in memory, installed for the
// object's lifetime.
#include <string>

#include "views/Clipboard.h"
#include "views/qtext.h"

namespace wux::test {

class FakeClipboard : public Clipboard {
 public:
  FakeClipboard() : previous_(setClipboard(this)) {}
  ~FakeClipboard() override { setClipboard(previous_); }
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;

  std::string text() const override { return text_; }
  void setText(const std::string& sjis) override { text_ = sjis; }
  // The Unicode text last put, while the Shift_JIS text a test may set still agrees.
  QString unicodeText() const override { return fromQ(unicode_) == text_ ? unicode_ : toQ(text_); }
  void setUnicodeText(const QString& text) override {
    unicode_ = text;
    text_ = fromQ(text);
  }
  QImage image() const override { return image_; }
  void setImage(const QImage& image) override { image_ = image; }

  std::string text_;
  QString unicode_;
  QImage image_;

 private:
  Clipboard* previous_;
};

}  // namespace wux::test

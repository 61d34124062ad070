#pragma once
// A clipboard for tests: a text and a picture held in memory, installed for the
// object's lifetime.
#include <string>

#include "views/Clipboard.h"

namespace wux::test {

class FakeClipboard : public Clipboard {
 public:
  FakeClipboard() : previous_(setClipboard(this)) {}
  ~FakeClipboard() override { setClipboard(previous_); }
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;

  std::string text() const override { return text_; }
  void setText(const std::string& sjis) override { text_ = sjis; }
  QImage image() const override { return image_; }
  void setImage(const QImage& image) override { image_ = image; }

  std::string text_;
  QImage image_;

 private:
  Clipboard* previous_;
};

}  // namespace wux::test

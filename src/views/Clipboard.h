#pragma once
// The system clipboard behind a small interface: the program uses the toolkit's
// clipboard, tests install a fake. Texts are Shift_JIS, as the model keeps them.
#include <QImage>
#include <string>

namespace wux {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string text() = 0;
  virtual void setText(const std::string& sjis) = 0;
  // A null image when the clipboard holds no picture.
  virtual QImage image() = 0;
  virtual void setImage(const QImage& image) = 0;
};

// The clipboard in force (the toolkit's unless replaced).
Clipboard& clipboard();
// Installs `c` (not owned); nullptr restores the toolkit's. Returns the previous one.
Clipboard* setClipboard(Clipboard* c);

}  // namespace wux

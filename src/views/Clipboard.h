#pragma once
// The system clipboard behind a small interface, so that commands that copy or paste
// run against a fixed clipboard in tests. Texts are Shift_JIS; the Qt clipboard is the
// one installed unless a test installs its own.
#include <QImage>
#include <QString>
#include <string>

namespace wux {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
  // The text as the editors hold it: what Shift_JIS cannot hold arrives whole, for the
  // editor to mark and report. A clipboard without a Unicode side goes through text().
  virtual QString unicodeText() const;
  virtual void setUnicodeText(const QString& text);
  // A null image when the clipboard holds none.
  virtual QImage image() const = 0;
  virtual void setImage(const QImage& image) = 0;
};

// The clipboard in force: the system's unless another is installed.
Clipboard& clipboard();
// Installs `c` (not owned); nullptr restores the system clipboard. Returns the previous one.
Clipboard* setClipboard(Clipboard* c);

}  // namespace wux

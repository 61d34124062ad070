#include "views/qtext.h"

#include <QComboBox>
#include <QCompleter>

#include "model/text/StringList.h"
#include "platform/textconv.h"

namespace wux {

QString toQ(std::string_view sjis) {
  if (platform::isAscii(sjis)) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
  const std::string u8 = platform::sjisToUtf8(sjis);
  return QString::fromUtf8(u8.data(), static_cast<qsizetype>(u8.size()));
}

std::string fromQ(const QString& text) {
  const QByteArray u8 = text.toUtf8();
  std::string_view v(u8.constData(), static_cast<size_t>(u8.size()));
  if (platform::isAscii(v)) return std::string(v);
  return platform::utf8ToSjis(v);
}

QString linesToQ(const StringList& lines) {
  QString out;
  for (int i = 0; i < lines.count(); ++i) {
    if (i) out += QLatin1Char('\n');
    out += toQ(lines[i]);
  }
  return out;
}

QColor toQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

Color fromQColor(const QColor& q) {
  return static_cast<Color>(q.red()) | static_cast<Color>(q.green()) << 8 | static_cast<Color>(q.blue()) << 16;
}

void makeEditableKeepingCase(QComboBox* box) {
  if (!box) return;
  box->setEditable(true);
  // The box matches its edit text to an item with the completer's case rule. Inline
  // completion would fill the rest of a longer item into the edit ("needle" becoming
  // "needle-1"), so the box would hold what nobody typed; a pop-up list only offers.
  if (QCompleter* c = box->completer()) {
    c->setCaseSensitivity(Qt::CaseSensitive);
    c->setCompletionMode(QCompleter::PopupCompletion);
  }
}

}  // namespace wux

// The time as the user's locale writes it, for the "%t" of headers and footers.
#include <QLocale>
#include <QTime>

#include "printing/PageLayout.h"
#include "views/qtext.h"

namespace wux {

namespace {

// The locale's long time format without its time zone: a header says when the page was
// printed, and the zone's name is noise there (and often not Shift_JIS at all).
QString timeFormatWithoutZone(const QString& format) {
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    out += c;
  }
  return out.simplified();
}

}  // namespace

std::string LocaleTimeText(const DateTime& now) {
  const QLocale locale;  // the default locale: the user's, unless the program set another
  const QTime time(now.hour, now.minute, now.second, now.msec);
  return fromQ(locale.toString(time, timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat))));
}

}  // namespace wux

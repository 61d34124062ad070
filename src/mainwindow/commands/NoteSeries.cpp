#include "mainwindow/commands/NoteSeries.h"

#include "model/format.h"
#include "model/strutil.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

// Makes one note by the notebook's own rule and gives it `name` (made unique).
MemoNodeUI* makeNamed(MemoHolderUI& holder, const std::string& name) {
  auto* node = static_cast<MemoNodeUI*>(holder.createNewNode_());
  if (!node) return nullptr;
  std::string actual;
  node->putName_(name, actual);
  return node;
}

// The notes of `days` consecutive days from `first`, named by the notebook's date pattern.
long long makeDays(MainWindowApi& w, const DateTime& first, int days) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultNoDocument;
  if (first.year < 1 || first.year > 9999) return kResultFailed;
  std::string pattern = Dequote(w.getDateFormat());
  if (pattern.empty()) pattern = "YYYYMMDD ddd ";
  w.UI2Model();
  MemoNodeUI* last = nullptr;
  long long made = 0;
  for (int i = 0; i < days; ++i) {
    const DateTime day = AddDays(first, i);
    if (MemoNodeUI* n = makeNamed(*holder, FormatDateTime(pattern, day))) {
      last = n;
      ++made;
    }
  }
  if (made > 0) holder->modified = true;
  if (last) w.changeCurrentNode_(last);
  w.refreshHolderView();
  return made;
}

}  // namespace

long long makeYearNotes(MainWindowApi& w, int year) {
  if (year < 1 || year > 9999) return w.getCurrentHolder() ? kResultFailed : kResultNoDocument;
  const DateTime first{year, 1, 1};
  return makeDays(w, first, IsValidDate(year, 2, 29) ? 366 : 365);
}

long long makeMonthNotes(MainWindowApi& w, int year, int month) {
  if (year < 1 || year > 9999 || month < 1 || month > 12)
    return w.getCurrentHolder() ? kResultFailed : kResultNoDocument;
  return makeDays(w, DateTime{year, month, 1}, DaysInMonth(year, month));
}

long long makeWeekNotes(MainWindowApi& w, const DateTime& date) {
  // DayOfWeek counts from Sunday (1); the ISO week starts on Monday.
  const int fromMonday = (DayOfWeek(date) + 5) % 7;
  DateTime day{date.year, date.month, date.day};
  return makeDays(w, AddDays(day, -fromMonday), 7);
}

long long makeNumberNotes(MainWindowApi& w, std::int64_t from, std::int64_t to) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultNoDocument;
  std::string pattern = Dequote(holder->getFormatNumber_());
  if (pattern.empty()) pattern = "%.5d ";
  IntFormat format;
  if (!ParseIntFormat(pattern, format)) {
    w.messageDoing_("Stop: FormatNumber is not a number format: " + pattern);
    return kResultFailed;
  }
  w.UI2Model();
  long long made = 0;
  // Counted so that a range ending at the largest number still ends.
  for (std::int64_t n = from; n <= to; ++n) {
    if (makeNamed(*holder, FormatInt(format, n))) ++made;
    if (n == to) break;
  }
  if (made > 0) holder->modified = true;
  w.refreshHolderView();
  return made;
}

}  // namespace wux

#pragma once
// Series of new notes in the current notebook: one per day of a year, a month or a
// week, or one per number of a range. The date and number set commands of the text
// family ask for the range and call these.
#include <cstdint>

#include "model/clock.h"
#include "views/MainWindowApi.h"

namespace wux {

// Each answers the number of notes made, or a negative result code: -9 without a
// current notebook, -1 for a date or range refused (years 1..9999 only, months 1..12,
// a number pattern the safe formatter refuses).
long long makeYearNotes(MainWindowApi& w, int year);
long long makeMonthNotes(MainWindowApi& w, int year, int month);
// Monday to Sunday of the ISO week that holds `date`.
long long makeWeekNotes(MainWindowApi& w, const DateTime& date);
// One note per number from `from` to `to` (nothing when `to` is below `from`).
long long makeNumberNotes(MainWindowApi& w, std::int64_t from, std::int64_t to);

}  // namespace wux

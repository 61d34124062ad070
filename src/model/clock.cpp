#include "model/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include "model/errors.h"
#include "model/text/sjis.h"

namespace wux {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

// The serial day 0 (1899-12-30) in days since 1970-01-01.
const std::int64_t kEpochOffset = daysFromCivil(1899, 12, 30);

std::int64_t serialDay(const DateTime& dt) {
  return daysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day)) -
         kEpochOffset;
}

DateTime fromSerialDay(std::int64_t days) {
  DateTime r;
  civilFromDays(days + kEpochOffset, r.year, r.month, r.day);
  r.hour = r.minute = r.second = r.msec = 0;
  return r;
}

class SystemClock : public Clock {
 public:
  DateTime now() override {
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&secs, &tm);
    const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                    tm.tm_min,         tm.tm_sec,     static_cast<int>(ms < 0 ? ms + 1000 : ms)};
  }
};

class SystemRandom : public RandomSource {
 public:
  SystemRandom() : gen_(std::random_device{}()) {}
  std::int64_t next(std::int64_t range) override {
    if (range <= 1) return 0;
    return std::uniform_int_distribution<std::int64_t>(0, range - 1)(gen_);
  }

 private:
  std::mt19937_64 gen_;
};

SystemClock gSystemClock;
Clock* gClock = nullptr;
RandomSource* gRandom = nullptr;

SystemRandom& systemRandom() {
  static SystemRandom r;
  return r;
}

const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};

void appendNumber(std::string& out, int value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (value < 0) out += '-';
  for (int i = static_cast<int>(digits.size()); i < width; ++i) out += '0';
  out += digits;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int msec) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         msec >= 0 && msec < 1000;
}

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

int DayOfWeek(const DateTime& dt) {
  // Serial day 0 was a Saturday.
  const std::int64_t d = serialDay(dt);
  return static_cast<int>(((d + 6) % 7 + 7) % 7) + 1;
}

double ToSerial(const DateTime& dt) {
  const std::int64_t days = serialDay(dt);
  const double frac =
      static_cast<double>(((dt.hour * 60LL + dt.minute) * 60 + dt.second) * 1000 + dt.msec) /
      static_cast<double>(kMsPerDay);
  // Before day 0 the time of day still counts away from zero, as stored serials expect.
  return days < 0 ? static_cast<double>(days) - frac : static_cast<double>(days) + frac;
}

DateTime FromSerial(double serial) {
  if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
    throw RangeError("FromSerial: date value out of range");
  double whole = std::trunc(serial);
  std::int64_t days = static_cast<std::int64_t>(whole);
  std::int64_t ms = std::llround(std::fabs(serial - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    days += serial < 0 ? -1 : 1;
  }
  DateTime r = fromSerialDay(days);
  r.msec = static_cast<int>(ms % 1000);
  r.second = static_cast<int>(ms / 1000 % 60);
  r.minute = static_cast<int>(ms / 60000 % 60);
  r.hour = static_cast<int>(ms / 3600000);
  return r;
}

DateTime AddDays(const DateTime& dt, int days) {
  DateTime r = fromSerialDay(serialDay(dt) + days);
  r.hour = dt.hour;
  r.minute = dt.minute;
  r.second = dt.second;
  r.msec = dt.msec;
  return r;
}

std::string FormatDateTime(std::string_view pattern, const DateTime& dt) {
  std::string out;
  char last = 0;  // the previous format letter, upper case
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char raw = pattern[i];
    if (raw == '"' || raw == '\'') {
      std::size_t end = pattern.find(raw, i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end < pattern.size() ? end + 1 : end;
      continue;
    }
    if (sjis::charLen(pattern, i) == 2) {
      // A double-byte character ("年" is 94 4E) is text: its second byte may look like a
      // format letter.
      out.append(pattern.substr(i, 2));
      i += 2;
      continue;
    }
    char token = upperAscii(raw);
    if (token < 'A' || token > 'Z') {
      out += raw;
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < pattern.size() && upperAscii(pattern[i + run]) == token) ++run;
    // An m right after an hour means minutes.
    if (token == 'M' && last == 'H') token = 'N';
    last = token;
    switch (token) {
      case 'Y':
        if (run <= 2) appendNumber(out, dt.year % 100, 2);
        else appendNumber(out, dt.year, 4);
        break;
      case 'M':
        if (run >= 4) out += kLongMonths[(dt.month + 11) % 12];
        else if (run == 3) out += kShortMonths[(dt.month + 11) % 12];
        else appendNumber(out, dt.month, static_cast<int>(run));
        break;
      case 'D':
        if (run >= 4) out += kLongDays[DayOfWeek(dt) - 1];
        else if (run == 3) out += kShortDays[DayOfWeek(dt) - 1];
        else appendNumber(out, dt.day, static_cast<int>(run));
        break;
      case 'H': appendNumber(out, dt.hour, run >= 2 ? 2 : 1); break;
      case 'N': appendNumber(out, dt.minute, run >= 2 ? 2 : 1); break;
      case 'S': appendNumber(out, dt.second, run >= 2 ? 2 : 1); break;
      case 'Z': appendNumber(out, dt.msec, run >= 2 ? 3 : 1); break;
      default:
        // Letters without a meaning are copied as they are.
        out.append(pattern.substr(i, run));
        break;
    }
    i += run;
  }
  return out;
}

DateTime Now() { return (gClock ? *gClock : static_cast<Clock&>(gSystemClock)).now(); }

std::int64_t Random(std::int64_t range) {
  if (range <= 0) return 0;
  return gRandom ? gRandom->next(range) : systemRandom().next(range);
}

Clock* setClock(Clock* c) {
  Clock* prev = gClock;
  gClock = c;
  return prev;
}

RandomSource* setRandomSource(RandomSource* r) {
  RandomSource* prev = gRandom;
  gRandom = r;
  return prev;
}

std::int64_t SeededRandom::next(std::int64_t range) {
  if (range <= 1) return 0;
  // splitmix64: a fixed seed gives the same sequence on every machine.
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<std::int64_t>(z % static_cast<std::uint64_t>(range));
}

int LocalUtcOffsetMinutes(const DateTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  if (std::mktime(&tm) == static_cast<std::time_t>(-1)) return 0;
  return static_cast<int>(tm.tm_gmtoff / 60);
}

}  // namespace wux

#pragma once
// Date-times, their text patterns, and the clock and random source behind every stamp
// and UID. Both can be replaced so that tests write byte-exact files.
#include <cstdint>
#include <string>
#include <string_view>

namespace wux {

struct DateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, msec = 0;
  bool operator==(const DateTime&) const = default;
};

bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int msec);
int DaysInMonth(int year, int month);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const DateTime& dt);
// Days since 1899-12-30 with the time as the fraction (the serial form scripts see).
double ToSerial(const DateTime& dt);
DateTime FromSerial(double serial);
DateTime AddDays(const DateTime& dt, int days);

// Formats by a date-format pattern: y year, m month (minutes right after h), d day,
// ddd short day name, h hour, n minutes, s seconds, z milliseconds; letters in any case.
// Other characters are copied; text in double or single quotes is copied literally.
std::string FormatDateTime(std::string_view pattern, const DateTime& dt);

// The offset from UTC, in minutes east, of a local date-time in the system's zone
// (0 when the zone cannot tell).
int LocalUtcOffsetMinutes(const DateTime& local);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime now() = 0;
};

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A number in 0..range-1 (range > 0).
  virtual std::int64_t next(std::int64_t range) = 0;
};

// The clock and random source in force (system ones unless replaced).
DateTime Now();
std::int64_t Random(std::int64_t range);
Clock* setClock(Clock* c);                 // nullptr restores the system clock
RandomSource* setRandomSource(RandomSource* r);  // nullptr restores the system source

// A clock that stands still (tests, the round-trip driver).
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime t) : t_(t) {}
  DateTime now() override { return t_; }
  void set(DateTime t) { t_ = t; }

 private:
  DateTime t_;
};

// A seeded deterministic source.
class SeededRandom : public RandomSource {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  std::int64_t next(std::int64_t range) override;

 private:
  std::uint64_t state_;
};

}  // namespace wux

#include "model/clock.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/errors.h"

using namespace wux;

TEST(Clock, FormatsTheStampPatterns) {
  const DateTime t{2024, 3, 7, 9, 5, 4, 32};
  // A last mm that follows seconds, not an hour, is the month again.
  for (auto [pattern, want] : std::vector<std::pair<const char*, const char*>>{
           {"YYYYMMDD hhnnss", "20240307 090504"}, {"yyyymmdd hhnnss", "20240307 090504"},
           {"YYYYMMDD hhnnsszzz", "20240307 090504032"}, {"YYYYMMDD hhmmsszzz", "20240307 090504032"},
           {"YYYYMMDD hhmmss", "20240307 090504"}, {"yyyymmddhhnnss", "20240307090504"},
           {"yyyymmddhhmmssmm", "2024030709050403"}, {"yyyymmdd hhnnssmm", "20240307 09050403"},
           {"YYYYMMDD_hhnnsszzz", "20240307_090504032"}, {"hh:mm", "09:05"}, {"ddd d/m/yy", "Thu 7/3/24"},
           {"DDD 'yyyy' \"h\"", "Thu yyyy h"}})
    EXPECT_EQ(FormatDateTime(pattern, t), want) << pattern;
}

TEST(Clock, DayNamesAndCalendar) {
  EXPECT_EQ(DayOfWeek({1899, 12, 30}), 7);  // a Saturday
  EXPECT_EQ(DayOfWeek({2024, 3, 10}), 1);
  const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  for (int d = 0; d < 7; ++d) EXPECT_EQ(FormatDateTime("ddd", {2024, 3, 10 + d}), names[d]);
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_FALSE(IsValidDate(0, 1, 1));
  EXPECT_FALSE(IsValidTime(24, 0, 0, 0));
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(AddDays({2023, 12, 31, 10, 0, 0, 0}, 60), (DateTime{2024, 2, 29, 10, 0, 0, 0}));
  EXPECT_EQ(AddDays({2024, 3, 1}, -1), (DateTime{2024, 2, 29}));
}

TEST(Clock, SerialDatesRoundTrip) {
  EXPECT_DOUBLE_EQ(ToSerial({1899, 12, 30}), 0.0);
  EXPECT_DOUBLE_EQ(ToSerial({1900, 1, 1, 12, 0, 0, 0}), 2.5);
  EXPECT_DOUBLE_EQ(ToSerial({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_EQ(FromSerial(45000.75), (DateTime{2023, 3, 15, 18, 0, 0, 0}));
  EXPECT_EQ(FromSerial(-1.25), (DateTime{1899, 12, 29, 6, 0, 0, 0}));
  for (DateTime t : {DateTime{2024, 2, 29, 23, 59, 59, 999}, DateTime{1, 1, 1, 0, 0, 0, 1},
                     DateTime{9999, 12, 31, 12, 34, 56, 789}})
    EXPECT_EQ(FromSerial(ToSerial(t)), t);
  EXPECT_THROW(FromSerial(1e300), RangeError);
}

TEST(Clock, ReplaceableClockAndRandom) {
  FixedClock fixed({2020, 1, 2, 3, 4, 5, 6});
  Clock* prev = setClock(&fixed);
  EXPECT_EQ(Now(), (DateTime{2020, 1, 2, 3, 4, 5, 6}));
  setClock(prev);
  DateTime now = Now();
  EXPECT_TRUE(IsValidDate(now.year, now.month, now.day));
  EXPECT_TRUE(IsValidTime(now.hour, now.minute, now.second, now.msec));

  SeededRandom a(42), b(42);
  RandomSource* prevR = setRandomSource(&a);
  for (int i = 0; i < 100; ++i) {
    std::int64_t v = Random(99999998);
    EXPECT_EQ(v, b.next(99999998));
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 99999998);
  }
  setRandomSource(prevR);
  EXPECT_EQ(Random(0), 0);
  for (int i = 0; i < 100; ++i) EXPECT_LT(Random(3), 3);
}

// wux-roundtrip [--now "YYYYMMDD hhnnss"] [--seed N] IN OUT
// Opens IN by its extension and writes it as OUT by OUT's extension. --now fixes the
// clock and --seed the random source, so the output is reproducible. Exit 0 on success,
// 1 with a one-line message on standard error on failure.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/clock.h"
#include "model/records/RoundTrip.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "wux-roundtrip: %s\n", message.c_str());
  return 1;
}

bool parseStamp(const std::string& s, wux::DateTime& dt) {
  // "YYYYMMDD hhnnss"
  if (s.size() != 15 || s[8] != ' ') return false;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (i != 8 && (s[i] < '0' || s[i] > '9')) return false;
  auto num = [&](std::size_t at, std::size_t len) { return std::atoi(s.substr(at, len).c_str()); };
  dt.year = num(0, 4);
  dt.month = num(4, 2);
  dt.day = num(6, 2);
  dt.hour = num(9, 2);
  dt.minute = num(11, 2);
  dt.second = num(13, 2);
  dt.msec = 0;
  return wux::IsValidDate(dt.year, dt.month, dt.day) && wux::IsValidTime(dt.hour, dt.minute, dt.second, 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string in, out;
  wux::DateTime now;
  bool fixedNow = false;
  unsigned long long seed = 0;
  bool seeded = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--now" && i + 1 < argc) {
      if (!parseStamp(argv[++i], now)) return fail("--now wants \"YYYYMMDD hhnnss\"");
      fixedNow = true;
    } else if (a == "--seed" && i + 1 < argc) {
      char* end = nullptr;
      seed = std::strtoull(argv[++i], &end, 10);
      if (!end || *end) return fail("--seed wants a whole number");
      seeded = true;
    } else if (in.empty()) {
      in = a;
    } else if (out.empty()) {
      out = a;
    } else {
      return fail("usage: wux-roundtrip [--now \"YYYYMMDD hhnnss\"] [--seed N] IN OUT");
    }
  }
  if (in.empty() || out.empty()) return fail("usage: wux-roundtrip [--now \"YYYYMMDD hhnnss\"] [--seed N] IN OUT");

  wux::FixedClock clock(now);
  wux::SeededRandom random(seed);
  if (fixedNow) wux::setClock(&clock);
  if (seeded) wux::setRandomSource(&random);

  std::string error;
  {
    wux::OpenedRecords opened;
    if (!wux::OpenRecords(in, opened, error)) return fail(error);
    if (!wux::WriteRecords(opened, out, error)) return fail(error);
  }
  wux::setClock(nullptr);
  wux::setRandomSource(nullptr);
  return 0;
}

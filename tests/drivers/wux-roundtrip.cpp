// wux-roundtrip [--now "YYYYMMDD hhnnss"] [--seed N] IN OUT
// Opens IN by its extension and writes it as OUT by OUT's extension. --now fixes the
// clock and --seed the random source, so the output is reproducible. Paths are taken as
// the program takes its command line (UTF-8 file names as program text). Every message
// of the reading and the writing goes to standard error, one a line, in UTF-8. Exit 0 on
// success, 1 on failure, the reason on the last line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/clock.h"
#include "model/records/RoundTrip.h"
#include "platform/textconv.h"

namespace {

void say(const std::string& message) {
  std::fprintf(stderr, "wux-roundtrip: %s\n", wux::platform::sjisToUtf8(message).c_str());
}

int fail(const std::string& message) {
  say(message);
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
      in = wux::platform::fromOsName(a);
    } else if (out.empty()) {
      out = wux::platform::fromOsName(a);
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
  bool ok = false;
  {
    wux::OpenedRecords opened;
    ok = wux::OpenRecords(in, opened, error) && wux::WriteRecords(opened, out, error);
    for (const auto& line : opened.messages)
      if (!line.text.empty() && line.text != error) say(line.text);
  }
  wux::setClock(nullptr);
  wux::setRandomSource(nullptr);
  return ok ? 0 : fail(error);
}

// Text helpers meet note names, field values, URLs and date patterns typed by users:
// arbitrary bytes must never crash them, and their round trips must hold.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/clock.h"
#include "model/lineops.h"
#include "model/objects.h"
#include "model/strutil.h"
#include "model/text/StringList.h"
#include "model/text/sjis.h"
#include "support/sjis_walk.h"

using namespace wux;

namespace {

using test::walkFind;

// The prepared needle (the first few bytes) finds in the rest what the walk finds.
void checkFinder(const std::string& s) {
  if (s.size() < 2) return;
  const std::size_t n = 1 + static_cast<unsigned char>(s[0]) % 6;
  if (s.size() < 1 + n) return;
  const std::string needle = s.substr(1, n), hay = s.substr(1 + n);
  for (bool ic : {false, true}) {
    const sjis::Finder finder(needle, ic);
    std::size_t from = 0, found;
    do {
      found = finder.find(hay, from);
      if (found != walkFind(hay, needle, ic, from)) std::abort();
      if (found != std::string::npos) from = found + sjis::charLen(hay, found);
    } while (found != std::string::npos && from < hay.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  checkFinder(s);

  if (UnescapeHTML(EscapeHTML(s)) != s) std::abort();
  const std::string safe = SanitizeFileName(s);
  if (safe.size() != s.size()) std::abort();
  for (std::size_t i = 0; i < safe.size(); i += sjis::charLen(safe, i))
    if (sjis::charLen(safe, i) == 1 && std::string_view("\\/:,;*?\"<>|").find(safe[i]) != std::string_view::npos)
      std::abort();
  const std::string shorter = DeleteLastChar(s);
  if (s.compare(0, shorter.size(), shorter) != 0) std::abort();
  if (IncNumberStr(s).size() != s.size() || DecLastNumberStr(s).size() != s.size()) std::abort();

  StringList parts;
  SplitToStrings(s, parts, ",\\");
  SplitToStringsQuoted(s, parts, ",;");
  std::string rest;
  SplitFirstWord(s, rest);
  (void)TextToHTML(s);
  (void)Dequote(s);
  (void)URLToLocalFileName(s);
  (void)CutHeadToDelimiter(s, "/");
  (void)CutTailToDelimiter(s, "\\");
  (void)NameToColor(s);
  (void)CountSubstr(s, "\x83\x5C");

  DateTime dt;
  if (TryDigitsToDateTime(s, dt) && !IsValidDate(dt.year, dt.month, dt.day)) std::abort();
  (void)FormatDateTime(s, DateTime{2024, 2, 29, 23, 59, 59, 999});

  // Names taken from the lines of the input: the rule must find a free one.
  StringList names;
  names.setText(s);
  const std::string name = names.count() ? names[0] : s;
  if (names.indexOf(UniqueNameInList(names, name)) >= 0 && names.indexOf(name) >= 0) std::abort();

  // The editor's line operations: cuts end on whole characters, splits lose nothing.
  for (std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{40}, size / 2}) {
    const std::string cut = CutToBytes(s, limit);
    if (cut.size() > limit && cut.size() != s.size()) std::abort();
    if (s.compare(0, cut.size(), cut) != 0) std::abort();
    if (cut.size() < s.size() && !cut.empty() && sjis::charStart(s, cut.size()) != cut.size()) std::abort();
  }
  (void)HistoryCaption(s);
  const FieldLine field = SplitFieldLine(s);
  if ((field.hasEquals ? field.name + "=" + field.value : field.value) != s) std::abort();
  StringList lines = names;
  const std::string before = lines.join("");
  SplitAfterCommas(lines);
  if (lines.join("") != before) std::abort();
  JoinLines(lines);
  if (lines.count() > 1 || lines.join("") != before) std::abort();
  return 0;
}

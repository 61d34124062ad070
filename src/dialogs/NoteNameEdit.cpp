// Word operations of the note-name editor.
#include "dialogs/NoteNameEdit.h"

#include "model/strutil.h"
#include "model/text/sjis.h"

namespace wux::namedit {

namespace {

const char* const kCutDelimiters = " \\/:.\t";

// First word and the trimmed rest; both empty for an empty text.
std::string split(const std::string& text, std::string& rest) {
  rest.clear();
  return SplitFirstWord(text, rest);
}

struct Words {
  std::string w1, w2, w3, rest1, rest2, rest3;
};

Words words(const std::string& name) {
  Words w;
  w.w1 = split(sjis::trim(name), w.rest1);
  w.w2 = split(w.rest1, w.rest2);
  w.w3 = split(w.rest2, w.rest3);
  return w;
}

std::string withRest(const std::string& head, const std::string& rest) {
  return rest.empty() ? head : head + " " + rest;
}

}  // namespace

std::string insertWord1(const std::string& name, const std::string& mark) { return mark + " " + name; }

std::string insertWord2(const std::string& name, const std::string& mark) {
  const Words w = words(name);
  return w.w1 + " " + mark + " " + w.rest1;
}

std::string insertWord3(const std::string& name, const std::string& mark) {
  const Words w = words(name);
  return w.w1 + " " + w.w2 + " " + mark + " " + w.rest2;
}

std::string cutWord1(const std::string& name) { return words(name).rest1; }

std::string cutWord2(const std::string& name) {
  const Words w = words(name);
  return w.w1 + " " + w.rest2;
}

std::string cutWord3(const std::string& name) {
  const Words w = words(name);
  return w.w1 + " " + w.w2 + " " + w.rest3;
}

std::string stepWord1(const std::string& name, bool up) {
  const Words w = words(name);
  if (!HasDigit(w.w1)) return name;
  return (up ? IncNumberStr(w.w1) : DecNumberStr(w.w1)) + " " + w.rest1;
}

std::string stepWord2(const std::string& name, bool up) {
  const Words w = words(name);
  if (w.w2.empty() || !IsAllDigits(w.w2)) return name;
  return w.w1 + " " + (up ? IncNumberStr(w.w2) : DecNumberStr(w.w2)) + " " + w.rest2;
}

std::string stepLastNumber(const std::string& name, bool up) {
  const std::size_t sep = sjis::findLastOf(name, "\\/:");
  const std::string folder = sep == std::string::npos ? std::string() : name.substr(0, sep + 1);
  std::string base = sep == std::string::npos ? name : name.substr(sep + 1);
  const std::size_t dot = sjis::findLastOf(base, ".");
  std::string ext;
  if (dot != std::string::npos) {
    ext = base.substr(dot);
    base.resize(dot);
  }
  return folder + (up ? IncLastNumberStr(base) : DecLastNumberStr(base)) + ext;
}

std::string cutHead(const std::string& name) { return CutHeadToDelimiter(name, kCutDelimiters); }
std::string cutTail(const std::string& name) { return CutTailToDelimiter(name, kCutDelimiters); }

std::string extractFileName(const std::string& name) {
  const std::size_t sep = sjis::findLastOf(name, "\\/:");
  return sep == std::string::npos ? name : name.substr(sep + 1);
}

std::string removeExtension(const std::string& name) {
  const std::size_t dot = sjis::findLastOf(name, ".\\/:");
  if (dot == std::string::npos || name[dot] != '.') return name;
  return name.substr(0, dot);
}

std::string calendarDateText(const std::string& name, const DateTime& today) {
  std::string rest;
  const std::string d = DigitsOnly(split(sjis::trim(name), rest));
  const std::string t = FormatDateTime("YYYYMMDD", today);
  switch (d.size()) {
    case 0: return t;
    case 1: return t.substr(0, 6) + "0" + d;
    case 2: return std::stoi(d) <= 31 ? t.substr(0, 6) + d : t;
    case 3: return t.substr(0, 4) + "0" + d;
    case 4: return t.substr(0, 4) + d;
    case 5: return t.substr(0, 3) + d;
    case 6: return t.substr(0, 2) + d;
    case 7: return "2" + d;
    default: return d;
  }
}

std::string putDate(const std::string& name, const std::string& date) {
  std::string r;
  const std::string w1 = split(name, r);
  if (HasDigit(w1)) return withRest(date, r);
  std::string r2;
  const std::string w2 = split(r, r2);
  if (HasDigit(w2)) return withRest(w1 + " " + date, r2);
  return withRest(date + " " + w2, r2);
}

}  // namespace wux::namedit

#include "mainwindow/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>

#include "model/strutil.h"
#include "model/text/StringList.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "views/qtext.h"

namespace wux {

namespace {

enum class Key {
  TempDir, ManualJapanese, ManualEnglish, ManualLocal, FontName, FontSize, FormWidth, FormHeight, FormTop,
  FormLeft, FlagFileLock, DefaultOpenFile, BufferSize, ModeCommentHeight, ModeFieldsHeight, PeriodShowAbout,
  AboutImage, FlagShowAbout, AutoSaveTime
};

struct KeyName {
  const char* name;
  Key key;
};

constexpr KeyName kKeys[] = {
    {"TempDir", Key::TempDir},
    {"ManualJapanese", Key::ManualJapanese},
    {"ManualEnglish", Key::ManualEnglish},
    {"ManualLocal", Key::ManualLocal},
    {"FontName", Key::FontName},
    {"FontSize", Key::FontSize},
    {"FormWidth", Key::FormWidth},
    {"FormHeight", Key::FormHeight},
    {"FormTop", Key::FormTop},
    {"FormLeft", Key::FormLeft},
    {"FlagFileLock", Key::FlagFileLock},
    {"DefaultOpenFile", Key::DefaultOpenFile},
    {"BufferSize", Key::BufferSize},
    {"ModeCommentHeight", Key::ModeCommentHeight},
    {"ModeFieldsHeight", Key::ModeFieldsHeight},
    {"PeriodShowAbout", Key::PeriodShowAbout},
    {"AboutImage", Key::AboutImage},
    {"FlagShowAbout", Key::FlagShowAbout},
    {"AutoSaveTime", Key::AutoSaveTime},
};

const KeyName* findKey(std::string_view name) {
  for (const KeyName& k : kKeys)
    if (sjis::sameText(name, k.name)) return &k;
  return nullptr;
}

int atLeast(int value, int below, int becomes) { return value < below ? becomes : value; }

void apply(AppSettings& s, Key key, const std::string& raw) {
  const std::string value = Dequote(sjis::trim(raw));
  switch (key) {
    case Key::TempDir: s.tempDir = value; break;
    case Key::ManualJapanese: s.manualJapanese = value; break;
    case Key::ManualEnglish: s.manualEnglish = value; break;
    case Key::ManualLocal: s.manualLocal = value; break;
    case Key::FontName: s.fontName = value; break;
    case Key::FontSize: s.fontSize = std::min(atLeast(LeadingInt(value), 6, kMinFontSize), kMaxFontSize); break;
    case Key::FormWidth: s.formWidth = atLeast(LeadingInt(value), 301, 300); break;
    case Key::FormHeight: s.formHeight = atLeast(LeadingInt(value), 301, 300); break;
    case Key::FormTop: s.formTop = atLeast(LeadingInt(value), 1, 0); break;
    case Key::FormLeft: s.formLeft = atLeast(LeadingInt(value), 1, 0); break;
    // Only the value as written, quotes included and nothing around it, locks files.
    case Key::FlagFileLock: s.flagFileLock = raw == "\"true\""; break;
    case Key::DefaultOpenFile: s.defaultOpenFile = value; break;
    case Key::BufferSize: s.bufferSize = std::min(LeadingInt(value), 2097152); break;
    case Key::ModeCommentHeight:
    case Key::ModeFieldsHeight: break;  // "Open" and "Close" are known and change nothing
    case Key::PeriodShowAbout: s.periodShowAbout = atLeast(LeadingInt(value), 501, 2000); break;
    case Key::AboutImage: s.aboutImage = value; break;
    // Trimmed but with its quotes: anything but "true" in quotes keeps the box hidden.
    case Key::FlagShowAbout: s.showAbout = sjis::trim(raw) == "\"true\""; break;
    case Key::AutoSaveTime: s.autoSaveTime = std::max(LeadingInt(value), 0); break;
  }
}

}  // namespace

AppSettings ParseAppSettings(std::string_view text) {
  AppSettings s;
  StringList lines;
  lines.setText(text);
  std::vector<const KeyName*> seen;
  for (int i = 0; i < lines.count(); ++i) {
    const std::string& line = lines[i];
    if (sjis::trim(line).empty()) continue;
    const std::size_t eq = line.find('=');
    const KeyName* k = eq == std::string::npos ? nullptr : findKey(std::string_view(line).substr(0, eq));
    if (!k || std::find(seen.begin(), seen.end(), k) != seen.end()) {
      s.ignoredLines.push_back(i + 1);
      continue;
    }
    seen.push_back(k);
    const std::string raw = line.substr(eq + 1);
    if (!sjis::trim(raw).empty()) apply(s, k->key, raw);  // an empty value is no value
  }
  return s;
}

int FontSizeStep(int size, bool up) {
  const double step = size * 0.1;
  // nearbyint rounds halves to even in the default rounding mode.
  const int by = step >= 1 ? static_cast<int>(std::nearbyint(step)) : 1;
  const int next = up ? size + by : size - by;
  return std::clamp(next, kMinFontSize, kMaxFontSize);
}

std::string ProgramFile() { return fromQ(QCoreApplication::applicationFilePath()); }
std::string ProgramDir() { return fromQ(QCoreApplication::applicationDirPath()) + "/"; }

std::string ProgramName() {
  const std::string name = fromQ(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
  return name.empty() ? std::string("wux") : name;
}

std::string AppSettingsPath() { return platform::settingsDir() + ProgramName() + ".ini"; }

std::string DefaultFilename(const std::string& defaultOpenFile, const std::string& dir,
                            const std::function<bool(const std::string&)>& exists) {
  std::string name = sjis::trim(defaultOpenFile);
  if (name.empty())
    name = dir + "noname.mxa";
  else if (platform::dirOf(name).empty())
    name = dir + name;
  const std::string ext = sjis::lower(platform::extOf(name));
  if (ext != ".mxa" && ext != ".maz") {
    const std::string maz = platform::changeExt(name, ".maz");
    name = exists(maz) ? maz : platform::changeExt(name, ".mxa");
  }
  return name;
}

std::string StartupFilename(const std::string& name, const std::string& dir,
                            const std::function<bool(const std::string&)>& exists) {
  std::string n = sjis::trim(name);
  if (platform::dirOf(n).empty()) n = dir + n;
  if (!platform::extOf(n).empty()) return n;
  if (exists(n + ".mxa")) return n + ".mxa";
  if (exists(n + ".maz")) return n + ".maz";
  return n;
}

}  // namespace wux

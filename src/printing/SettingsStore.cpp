#include "printing/SettingsStore.h"

#include <algorithm>
#include <charconv>

#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "printing/PrintSettings.h"

namespace wux {
namespace {

constexpr std::size_t kHexLineLength = 64;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// "[name]" gives name; anything else is not a section header.
bool sectionName(std::string_view line, std::string_view& name) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return false;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = trimmed(line.substr(1, close - 1));
  return true;
}

bool keyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = trimmed(line.substr(0, eq));
  value = trimmed(line.substr(eq + 1));
  return !key.empty() && key.front() != ';';
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string dataKey(std::string_view prefix, int i) { return std::string(prefix) + "_d" + std::to_string(i); }
std::string countKey(std::string_view prefix) { return std::string(prefix) + "_c"; }

// The count as the number its leading digits make; 0 when there are none.
int parseCount(std::string_view s) {
  int n = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || n < 0) return 0;
  return n;
}

}  // namespace

bool IniFile::load(const std::string& path) {
  lines_.clear();
  if (platform::fileMissing(path)) return true;  // one that is there but unreadable is no default
  std::string data;
  if (!platform::readFile(path, data)) return false;
  parse(data);
  return true;
}

void IniFile::parse(std::string_view text) {
  lines_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    pos = end + 1;
  }
}

std::string IniFile::text() const {
  std::string out;
  for (const auto& l : lines_) out += l + "\r\n";
  return out;
}

int IniFile::findSection(std::string_view section) const {
  std::string_view name;
  for (int i = 0; i < static_cast<int>(lines_.size()); ++i)
    if (sectionName(lines_[i], name) && sjis::sameText(name, section)) return i;
  return -1;
}

int IniFile::sectionEnd(int sec) const {
  std::string_view name;
  int i = sec + 1;
  while (i < static_cast<int>(lines_.size()) && !sectionName(lines_[i], name)) ++i;
  return i;
}

int IniFile::findKey(int sec, std::string_view key) const {
  std::string_view k, v;
  for (int i = sec + 1, end = sectionEnd(sec); i < end; ++i)
    if (keyOf(lines_[i], k, v) && sjis::sameText(k, key)) return i;
  return -1;
}

std::string IniFile::read(std::string_view section, std::string_view key, bool* found) const {
  if (found) *found = false;
  int sec = findSection(section);
  if (sec < 0) return {};
  int at = findKey(sec, key);
  if (at < 0) return {};
  std::string_view k, v;
  keyOf(lines_[at], k, v);
  if (found) *found = true;
  return std::string(v);
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  int sec = findSection(section);
  if (sec < 0) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  int at = findKey(sec, key);
  if (at >= 0) {
    lines_[at] = std::move(line);
    return;
  }
  // After the section's last non-blank line, so blank lines that part sections stay.
  int end = sectionEnd(sec);
  while (end > sec + 1 && trimmed(lines_[end - 1]).empty()) --end;
  lines_.insert(lines_.begin() + end, std::move(line));
}

void IniFile::erase(std::string_view section, std::string_view key) {
  int sec = findSection(section);
  if (sec < 0) return;
  int at = findKey(sec, key);
  if (at >= 0) lines_.erase(lines_.begin() + at);
}

void StreamToHexLines(std::string_view bytes, StringList& lines) {
  static const char digits[] = "0123456789ABCDEF";
  lines.clear();
  std::string line;
  for (unsigned char b : bytes) {
    line += digits[b >> 4];
    line += digits[b & 15];
    if (line.size() == kHexLineLength) {
      lines.add(line);
      line.clear();
    }
  }
  if (!line.empty()) lines.add(line);
}

std::string HexLinesToStream(const StringList& lines) {
  std::string out;
  for (const auto& l : lines) {
    const std::string& s = l.text;
    for (std::size_t i = 0; i < s.size(); i += 2) {
      if (i + 1 == s.size()) {
        int d = hexDigit(s[i]);
        out += static_cast<char>(d < 0 ? 0 : d);
        break;
      }
      int hi = hexDigit(s[i]), lo = hexDigit(s[i + 1]);
      out += static_cast<char>(hi < 0 || lo < 0 ? 0 : hi * 16 + lo);
    }
  }
  return out;
}

bool SaveStreamToIni(std::string_view bytes, const std::string& path, std::string_view section,
                     std::string_view prefix, std::string* error) {
  StringList lines;
  StreamToHexLines(bytes, lines);
  IniFile ini;
  if (!ini.load(path)) {
    if (error) *error = "Could not read " + path;
    return false;
  }
  const int oldCount = parseCount(ini.read(section, countKey(prefix)));
  const int newCount = lines.count();
  for (int i = newCount; i < oldCount; ++i) ini.erase(section, dataKey(prefix, i));
  if (newCount == 0) ini.erase(section, countKey(prefix));
  if (newCount > 0) {
    ini.write(section, countKey(prefix), std::to_string(newCount));
    for (int i = 0; i < newCount; ++i) ini.write(section, dataKey(prefix, i), lines[i]);
  }
  platform::makeDirs(platform::dirOf(path));
  if (!platform::writeFileAtomic(path, ini.text())) {
    if (error) *error = "Could not write " + path;
    return false;
  }
  return true;
}

std::string LoadStreamFromIni(const std::string& path, std::string_view section, std::string_view prefix) {
  IniFile ini;
  if (!ini.load(path)) return {};
  // A missing key reads as an empty line, which adds nothing; so a count beyond the
  // file's own lines (damage) reads no further than the file goes.
  const int count = std::min(parseCount(ini.read(section, countKey(prefix))), ini.lineCount());
  StringList lines;
  for (int i = 0; i < count; ++i) lines.add(ini.read(section, dataKey(prefix, i)));
  return HexLinesToStream(lines);
}

bool SaveComponentToIni(const StringsPrinterProperties& component, const std::string& path,
                        std::string_view section, std::string_view prefix, std::string* error) {
  return SaveStreamToIni(component.serialize(), path, section, prefix, error);
}

IniLoad LoadComponentFromIni(StringsPrinterProperties& component, const std::string& path,
                             std::string_view section, std::string_view prefix, std::string* error) {
  std::string bytes = LoadStreamFromIni(path, section, prefix);
  if (bytes.empty()) return IniLoad::Absent;
  return component.deserialize(bytes, error) ? IniLoad::Loaded : IniLoad::Damaged;
}

std::string PrintSettingsPath() { return platform::settingsDir() + "wuxprint.ini"; }

}  // namespace wux

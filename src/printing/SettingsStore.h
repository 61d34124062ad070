#pragma once
// Print settings in an INI file as lines of hexadecimal text:
//   [Section]
//   Prefix_c=<number of lines>
//   Prefix_d0=<64 upper-case hex characters (32 bytes)>
//   ...
//   Prefix_d<n-1>=<the rest>
// Other sections, keys and lines of the file are kept as they are.
#include <string>
#include <string_view>
#include <vector>

#include "model/text/StringList.h"

namespace wux {

class StringsPrinterProperties;

// A small INI file: sections and keys match without regard to letter case; a written
// key replaces its line in place or is added at the end of its section.
class IniFile {
 public:
  // Reads the file; a missing file reads as empty. False when it exists but cannot be read.
  bool load(const std::string& path);
  void parse(std::string_view text);
  std::string text() const;  // CR LF after every line
  int lineCount() const { return static_cast<int>(lines_.size()); }

  // Empty when the key is absent.
  std::string read(std::string_view section, std::string_view key, bool* found = nullptr) const;
  void write(std::string_view section, std::string_view key, std::string_view value);
  void erase(std::string_view section, std::string_view key);

 private:
  // Index of the section's header line, or -1.
  int findSection(std::string_view section) const;
  // Index of the key's line in the section starting at header `sec`, or -1.
  int findKey(int sec, std::string_view key) const;
  int sectionEnd(int sec) const;
  std::vector<std::string> lines_;
};

void StreamToHexLines(std::string_view bytes, StringList& lines);
// Each line is read two characters at a time; a pair that is not hexadecimal gives 0 and
// a single trailing character is read on its own.
std::string HexLinesToStream(const StringList& lines);

// Writes the bytes under the section and prefix (an empty stream removes the entry).
// False, with the reason, when the file cannot be read or written; the old file is then
// untouched.
bool SaveStreamToIni(std::string_view bytes, const std::string& path, std::string_view section,
                     std::string_view prefix, std::string* error = nullptr);
// The stored bytes; empty when the file, the section or the entry is missing.
std::string LoadStreamFromIni(const std::string& path, std::string_view section, std::string_view prefix);

bool SaveComponentToIni(const StringsPrinterProperties& component, const std::string& path,
                        std::string_view section, std::string_view prefix, std::string* error = nullptr);

enum class IniLoad { Loaded, Absent, Damaged };
// Absent (a missing file or entry) and Damaged (a record that is not one of ours; the
// reason in `error`) both leave every setting as it was.
IniLoad LoadComponentFromIni(StringsPrinterProperties& component, const std::string& path,
                             std::string_view section, std::string_view prefix, std::string* error = nullptr);

// Where the program keeps its print settings, and under which section and prefix.
std::string PrintSettingsPath();
inline constexpr std::string_view kPrintSettingsSection = "StringsPrinter1";
inline constexpr std::string_view kPrintSettingsPrefix = "Property";

}  // namespace wux

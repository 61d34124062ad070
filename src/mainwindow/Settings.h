#pragma once
// The settings file and what it, and the application properties, set for the running
// program. The file is read once at start-up and never written: changes made in the
// application properties last until exit.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wux {

// What the program holds while it runs; the window's second layer owns one.
struct Settings {
  // Seconds between auto-saves; 60 or less: no auto-save.
  int autoSaveTime = 0;
  // Where downloads and temporary files go; empty: the system's temporary folder.
  std::string tempDir;
  // What a drop of files on the window does.
  enum DropMode { DropOpen = 0, DropFullName = 1, DropFileName = 2 };
  int dropMode = DropOpen;
  // The manuals' addresses come from the settings file only: there is no built-in one.
  std::string manualJapanese;
  std::string manualEnglish;
  std::string manualLocal;
  // The document opened at start-up when the command line names none.
  std::string defaultOpenFile;
  int bufferSize = 2097152;
};

// The settings file as read: a key left out (or given an empty value) is absent and
// changes nothing. Every limit is already applied.
struct AppSettings {
  std::optional<std::string> tempDir;
  std::optional<std::string> manualJapanese;
  std::optional<std::string> manualEnglish;
  std::optional<std::string> manualLocal;
  std::optional<std::string> fontName;
  std::optional<int> fontSize;
  std::optional<int> formWidth;
  std::optional<int> formHeight;
  std::optional<int> formTop;
  std::optional<int> formLeft;
  bool flagFileLock = false;
  std::optional<std::string> defaultOpenFile;
  std::optional<int> bufferSize;
  int periodShowAbout = 3000;  // milliseconds
  std::optional<std::string> aboutImage;
  bool showAbout = true;
  std::optional<int> autoSaveTime;
  // 1-based numbers of the lines that meant nothing: unknown keys, lines without "=",
  // a key given again (the first line with a key wins).
  std::vector<int> ignoredLines;
};

// Reads the settings file's text: key=value lines, no sections, keys in any case.
AppSettings ParseAppSettings(std::string_view text);

// Font sizes: below this the font gets no smaller; above the upper one, no larger.
constexpr int kMinFontSize = 5;
constexpr int kMaxFontSize = 200;
// The next font size up or down: a tenth of the size, rounded half to even, when that
// is at least 1, else 1.
int FontSizeStep(int size, bool up);

// The settings file: "<program name>.ini" in the user's settings folder.
std::string AppSettingsPath();
// The program's name without folder and extension ("wux").
std::string ProgramName();
// The program file's full name, and its folder with a trailing separator.
std::string ProgramFile();
std::string ProgramDir();

// The document to open when the command line names none: `defaultOpenFile` taken from
// `dir` when it has no folder ("noname.mxa" when empty); an extension other than
// ".mxa" and ".maz" becomes ".maz" when that file exists, else ".mxa".
std::string DefaultFilename(const std::string& defaultOpenFile, const std::string& dir,
                            const std::function<bool(const std::string&)>& exists);
// The start-up file named on the command line (or the default one): taken from `dir`
// when it has no folder; a name without extension means its ".mxa" when that exists,
// else its ".maz" when that exists, else itself.
std::string StartupFilename(const std::string& name, const std::string& dir,
                            const std::function<bool(const std::string&)>& exists);

}  // namespace wux

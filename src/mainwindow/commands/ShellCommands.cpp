// Commands of the shell and the windows the main window opens.
//
// The document types are registered the freedesktop way, per user: a shared-mime-info
// package naming the two extensions, a desktop entry that opens them, and the entry
// made their default in mimeapps.list. Unassociate takes back exactly those.
#include <sys/stat.h>

#include <cctype>
#include <cmath>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/ShellCommands.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "platform/xdgdesktop.h"
#include "views/MemoFileUI.h"

namespace wux {

namespace {

// The desktop id of the program's entries (menu entry and desktop launcher alike),
// fixed so that a renamed program file still finds what an earlier run registered.
const std::string kDesktopId = "wux.desktop";
const std::vector<std::string> kMimeTypes = {"application/x-wux-mxa", "application/x-wux-maz"};

struct RegistrationFiles {
  std::string mimePackage, desktopEntry, mimeApps;
};

RegistrationFiles registrationFiles() {
  const std::string data = platform::dataHomeDir();
  return {data + "mime/packages/wux.xml", data + "applications/" + kDesktopId,
          platform::configHomeDir() + "mimeapps.list"};
}

const char* const kMimePackage =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-wux-mxa\">\n"
    "    <comment>wux notes document</comment>\n"
    "    <comment xml:lang=\"ja\">独自のファイル形式</comment>\n"
    "    <glob pattern=\"*.mxa\"/>\n"
    "  </mime-type>\n"
    "  <mime-type type=\"application/x-wux-maz\">\n"
    "    <comment>wux compressed notes document</comment>\n"
    "    <comment xml:lang=\"ja\">独自のファイル形式</comment>\n"
    "    <glob pattern=\"*.maz\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

std::string programExec() { return platform::desktopExecArgument(platform::sjisToUtf8(ProgramFile())); }

std::string desktopEntry() {
  std::string mime;
  for (const std::string& t : kMimeTypes) mime += t + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=wux\n"
         "Comment=Desktop note manager\n"
         "Exec=" + programExec() + " %f\n"
         "MimeType=" + mime + "\n"
         "Terminal=false\n"
         "Categories=Office;\n";
}

std::string shortcutEntry() {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=wux\n"
         "Exec=" + programExec() + "\n"
         "Path=" + platform::desktopEntryString(platform::sjisToUtf8(ProgramDir())) + "\n"
         "Terminal=false\n";
}

bool writeInFolder(const std::string& path, const std::string& data, std::string& error) {
  if (!platform::makeDirs(platform::dirOf(path))) {
    error = "cannot make the folder " + platform::dirOf(path);
    return false;
  }
  return platform::writeFileAtomic(path, data, &error);
}

// The desktop rebuilds its caches from the files when these tools are there; without
// them it reads the files themselves, later.
void refreshDesktopCaches() {
  const std::string data = platform::dataHomeDir();
  if (!platform::findInPath("update-mime-database").empty())
    platform::launcher().start("update-mime-database", data + "mime");
  if (!platform::findInPath("update-desktop-database").empty())
    platform::launcher().start("update-desktop-database", data + "applications");
}

const std::string kExtensions = "\".mxa\", \".maz\"";

int UIAssociate(MainWindowApi& w) {
  const RegistrationFiles f = registrationFiles();
  std::string error, apps;
  // The user's other defaults live in the same file: one that cannot be read is left alone.
  if (!platform::fileMissing(f.mimeApps) && !platform::readFile(f.mimeApps, apps, &error)) {
    w.messageDoing_("Failure: Associate FileName Extentions. cannot read " + f.mimeApps + ": " + error);
    return kResultFailed;
  }
  const bool written = writeInFolder(f.mimePackage, kMimePackage, error) &&
                       writeInFolder(f.desktopEntry, desktopEntry(), error) &&
                       writeInFolder(f.mimeApps, platform::addDefaultApplications(apps, kMimeTypes, kDesktopId), error);
  if (!written) {
    w.messageDoing_("Failure: Associate FileName Extentions. " + error);
    return kResultFailed;
  }
  refreshDesktopCaches();
  w.messageDoing_("Done: Associate FileName Extentions. " + kExtensions);
  return 0;
}

int UIUnassociate(MainWindowApi& w) {
  const RegistrationFiles f = registrationFiles();
  std::string error, apps;
  bool done = platform::removeFile(f.mimePackage, &error) && platform::removeFile(f.desktopEntry, &error);
  if (done && platform::readFile(f.mimeApps, apps)) {
    const std::string rest = platform::removeDefaultApplications(apps, kMimeTypes, kDesktopId);
    if (rest != apps)
      done = sjis::trim(rest).empty() ? platform::removeFile(f.mimeApps, &error)
                                      : platform::writeFileAtomic(f.mimeApps, rest, &error);
  }
  if (!done) {
    w.messageDoing_("Failure: Unassociate FileName Extentions. " + error);
    return kResultFailed;
  }
  refreshDesktopCaches();
  w.messageDoing_("Done: Unassociate FileName Extentions. " + kExtensions);
  return 0;
}

int UIMakeShortCutLink(MainWindowApi& w) {
  const std::string path = platform::desktopDir() + kDesktopId;
  std::string error;
  // A launcher on the desktop starts only when it is executable.
  const bool done = writeInFolder(path, shortcutEntry(), error) &&
                    ::chmod(platform::osPath(path).c_str(), 0755) == 0;
  if (!done) {
    w.messageDoing_("Failure: Make ShortCutLink. " + (error.empty() ? path : error));
    return kResultFailed;
  }
  w.messageDoing_("Done: Make ShortCutLink, Look DeskTop!");
  return 0;
}

int UICalc(MainWindowApi& w) {
  for (const char* program : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
    const std::string full = platform::findInPath(program);
    if (full.empty()) continue;
    if (std::string why; !platform::launcher().start(platform::fromOsName(full), "", &why)) {
      w.messageDoing_(std::string("Failure: Calc could not start ") + program + ": " + why);
      return kResultFailed;
    }
    w.messageDoing_(std::string("Done: Calc ") + program);
    return 0;
  }
  w.messageDoing_("Failure: Calc. No calculator found: gnome-calculator, kcalc, galculator or xcalc.");
  return kResultFailed;
}

// "http://...", "mailto:...": a scheme of two or more letters, so "C:" stays a path.
bool hasScheme(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    if (i == 0 && !std::isalpha(c)) return false;
  }
  return true;
}

// A document, folder or address opens with its handler; anything else is a command
// line, run by the shell in the document's folder.
int UIShellExecute_(MainWindowApi& w, const std::string& command) {
  const std::string text = sjis::trim(command);
  if (text.empty()) {
    w.messageDoing_("Warrning: Command is empty in UIShellExecute_.");
    return kResultFailed;
  }
  MemoFileUI* doc = w.getMemoFile();
  std::string dir = doc ? doc->getFileDir_() : std::string();
  if (dir.empty() || !platform::dirExists(dir)) dir = platform::currentDir();
  const std::string path = platform::resolvePath(text, dir);
  // Whatever is there under the name (a FIFO too) is the opener's to judge: only a name
  // with nothing behind it is a command line.
  std::string why;
  if (hasScheme(text))
    why = platform::openWithDesktop(text);
  else if (!platform::fileMissing(path))
    why = platform::openWithDesktop(path);
  else if (!platform::launcher().shell(text, dir, &why))
    why = "could not start " + text + ": " + why;
  if (!why.empty()) {
    w.messageDoing_("Failure: UIShellExecute_ " + why);
    return kResultFailed;
  }
  w.messageDoing_(text);
  return 0;
}

int UIOpenIniFile(MainWindowApi& w) {
  const std::string name = AppSettingsPath();
  if (!platform::fileMissing(name)) {
    const std::string unopened = platform::openWithDesktop(name);
    w.messageDoing_(unopened.empty() ? "Open " + name : "Failure: " + unopened);
    return 0;
  }
  w.commands().run("UIExplorerExeDir");
  w.messageDoing_("Explorer \"wux.exe\". Becaouse Not Found " + name);
  return 0;
}

int UIShowFormLog(MainWindowApi& w) {
  const int result = w.showFormLog();
  if (result == 0) w.messageDoing_("Show FormLog " + w.nowString());
  return result;
}

}  // namespace

WindowSize NoteWindowSize(int mainWidth, int mainHeight) {
  return {static_cast<int>(std::lround(0.96 * mainWidth)), static_cast<int>(std::lround(0.96 * mainHeight))};
}

void registerShellCommands(CommandTable& table, MainWindowApi& w, Settings& settings) {
  table.add("UIAssociate", Needs::notBusy(), [&w] { return UIAssociate(w); });
  table.add("UIUnassociate", [&w] { return UIUnassociate(w); });
  table.add("UIMakeShortCutLink", Needs::notBusy(), [&w] { return UIMakeShortCutLink(w); });
  table.add("UICalc", [&w] { return UICalc(w); });
  table.add("UIShellExecute_", [&w](const CommandArgs& a) { return UIShellExecute_(w, commandArg(a, 0)); });
  table.add("UIShowManualInternet", [&w, &settings]() -> int {
    if (sjis::trim(settings.manualJapanese).empty()) {
      w.messageDoing_("Cancel: No ManualJapanese address in the settings file.");
      return kResultFailed;
    }
    return UIShellExecute_(w, settings.manualJapanese);
  });
  table.add("UIOpenIniFile", Needs::notBusy(), [&w] { return UIOpenIniFile(w); });
  table.add("UIShowFormLog", [&w] { return UIShowFormLog(w); });
  // Only the Japanese manual on the Internet exists.
  for (const char* name : {"UIShowManualInternetE", "UIShowManualLocal"})
    table.add(name, noticeOnly(w, std::string("TFormMainScript.") + name, kResultFailed),
              CommandTable::State::LeftOpen);
}

}  // namespace wux

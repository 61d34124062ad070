// The second layer's start-up: the settings file, the splash, the file named on the
// command line; and the window's font, dropped files and the version report.
#include <QApplication>
#include <QDropEvent>
#include <QFontDialog>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>
#include <exception>

#include "dialogs/FormAbout.h"
#include "dialogs/FormPropatyApl.h"
#include "mainwindow/Application.h"
#include "mainwindow/FormMainBaseWUX.h"
#include "model/Prompter.h"
#include "model/records/MemoNode.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "platform/user.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

// The most a dropped file may hold to be read into the comment box.
constexpr std::size_t kMaxDroppedText = 3145728;
// A settings file is a few lines; anything this large is not one.
constexpr std::uintmax_t kMaxSettingsFile = 1 << 20;
// Of a long list of ignored lines, the log names the first ones only.
constexpr std::size_t kIgnoredNamed = 20;

bool fileExists(const std::string& path) { return platform::fileExists(path); }

std::string ignoredText(const std::vector<int>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kIgnoredNamed; ++i)
    text += (i ? "," : "") + std::to_string(lines[i]);
  if (lines.size() > kIgnoredNamed) text += ",...";
  return text;
}

// The files a drag carries, as Shift_JIS paths; empty when it carries none.
std::vector<std::string> droppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(fromQ(url.toLocalFile()));
  return files;
}

bool within(const QWidget* box, const QWidget* w) { return box && w && (box == w || box->isAncestorOf(w)); }

}  // namespace

// ---- the settings file ----

int TFormMainBaseWUX::_loadINIFile_() {
  const std::string base = ProgramDir() + ProgramName();
  std::string image;
  if (fileExists(base + ".jpg"))
    image = base + ".jpg";
  else if (fileExists(base + ".bmp"))
    image = base + ".bmp";
  setAboutImage_(image);

  const std::string path = AppSettingsPath();
  std::string text, why;
  std::uint64_t size = 0;
  const platform::FileState state = platform::fileState(path, &why, &size);
  if (state == platform::FileState::Missing) {
    showAbout_(1800);
    addLog_("Not found ini file " + path);
    return 0;
  }
  if (state == platform::FileState::Regular && size > kMaxSettingsFile) why = "larger than a settings file can be";
  if (!why.empty() || !platform::readFile(path, text, &why)) {
    // An unreadable file (a folder, no permission, not a settings file at all) leaves
    // the defaults, as if there were none.
    showAbout_(1800);
    addLog_("Failure: Could not read ini file " + path + ": " + why);
    return kResultFailed;
  }
  addLog_("Load ini file = " + path);
  applySettings(ParseAppSettings(text), path);
  return 0;
}

void TFormMainBaseWUX::applySettings(const AppSettings& s, const std::string& path) {
  if (s.tempDir) {
    if (platform::dirExists(*s.tempDir)) {
      putTempDir_(*s.tempDir);
    } else {
      addLog_("Not found Temp Directory: " + *s.tempDir);
      putTempDir_(aFile_ ? aFile_->getFileDir_() : std::string());
    }
  }
  if (s.manualJapanese) settings_.manualJapanese = *s.manualJapanese;
  if (s.manualEnglish) settings_.manualEnglish = *s.manualEnglish;
  if (s.manualLocal) settings_.manualLocal = *s.manualLocal;
  if (s.fontName) {
    QFont f = font();
    f.setFamily(toQ(*s.fontName));
    setFont(f);
  }
  if (s.fontSize) setFontSize(*s.fontSize);

  // A size or place beyond every screen would leave the window out of reach.
  QRect screens(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (QScreen* screen = QGuiApplication::primaryScreen()) screens = screen->virtualGeometry();
  if (s.formWidth || s.formHeight)
    resize(std::min(s.formWidth.value_or(width()), std::max(screens.width(), 300)),
           std::min(s.formHeight.value_or(height()), std::max(screens.height(), 300)));
  if (s.formLeft || s.formTop)
    move(std::min(s.formLeft.value_or(x()), std::max(screens.right() - 100, 0)),
         std::min(s.formTop.value_or(y()), std::max(screens.bottom() - 100, 0)));

  session_.setFileLock(s.flagFileLock);
  if (s.defaultOpenFile) settings_.defaultOpenFile = *s.defaultOpenFile;
  if (s.bufferSize) settings_.bufferSize = *s.bufferSize;
  if (s.aboutImage && fileExists(*s.aboutImage)) setAboutImage_(*s.aboutImage);
  if (s.showAbout) showAbout_(s.periodShowAbout);
  if (s.autoSaveTime) putAutoSaveTime_(*s.autoSaveTime);
  if (!s.ignoredLines.empty()) addLog_("Ignored in ini file " + path + ": line " + ignoredText(s.ignoredLines));
}

// ---- the start-up file ----

std::string TFormMainBaseWUX::getDefaultFilename_() {
  return DefaultFilename(settings_.defaultOpenFile, platform::currentDir(), fileExists);
}

int TFormMainBaseWUX::openStartFile_(const std::string& name) { return session_.openAtStartup(name); }

int TFormMainBaseWUX::openDroppedFile_(const std::string& name) { return session_.open_(name); }

int TFormMainBaseWUX::openArg1_(const std::vector<std::string>& args) {
  BusyScope busy(*this, "Open Arg1");
  const std::string dir = platform::currentDir();
  std::string name = args.empty() ? getDefaultFilename_() : sjis::trim(args[0]);
  if (!args.empty() && platform::dirOf(name).empty()) name = dir + name;
  messageDoing_("Open Arg1 " + name);
  const std::string given = name;
  name = StartupFilename(name, dir, fileExists);
  // A folder or a web address opens as File > Open opens it.
  const bool folderOrAddress =
      !fileExists(name) && (DocumentSession::isDownloaded(given) || platform::dirExists(given));
  if (folderOrAddress) name = given;
  int r = 0;
  // Anything there under the name (a FIFO too) is opened, which says why it cannot be
  // read: only a name with nothing behind it starts a new document of that name.
  if (!platform::fileMissing(name) || folderOrAddress) {
    session_.clearDamageStatus();
    r = openStartFile_(name);
    // A file that could not be opened, or only in part, is not reported as loaded.
    if (!session_.damageStatus().empty())
      busy.finish(session_.damageStatus());
    else
      busy.finish(r < 0 ? "Failure: Open Arg1 " + name : "Done: Loaded " + name);
  } else {
    addLog_("Not found \"" + name + "\"");
    if (aFile_) {
      aFile_->putFileName_(name);
      // The whole document, its notebook too: a document saved without its notebook
      // would name a notebook file it never wrote.
      aFile_->modified = true;
      for (int i = 0; i < aFile_->getHolderCount_(); ++i) aFile_->getHolder_(i)->modified = true;
    }
    // The default document that is not there yet: replaced in place by the first open
    // as long as the user puts nothing into it.
    if (args.empty()) session_.rememberStartupDocument();
    showFormLog();
    busy.finish("Done: Not Found " + name);
  }
  updateCaption();
  return r;
}

// ---- the about box ----

TFormAbout* TFormMainBaseWUX::getFormAbout() {
  if (!formAbout_) {
    formAbout_ = new TFormAbout(this);
    formAbout_->setFont(font());
  }
  return formAbout_;
}

int TFormMainBaseWUX::setAboutImage_(const std::string& file) { return getFormAbout()->loadImage_(file); }

void TFormMainBaseWUX::showAbout_(int ms) { getFormAbout()->showFor_(ms); }

int TFormMainBaseWUX::UIShowFormAbout() {
  showAbout_(5000);
  messageDoing_("Done: Show FormAbout. Close After 5 seconds.");
  return 0;
}

// ---- fonts ----

int TFormMainBaseWUX::fontSize() const {
  const int size = font().pointSize();
  return size > 0 ? size : QFontInfo(font()).pointSize();
}

void TFormMainBaseWUX::setFontSize(int size) {
  QFont f = font();
  f.setPointSize(std::clamp(size, kMinFontSize, kMaxFontSize));
  setFont(f);
}

int TFormMainBaseWUX::UIFontDialog() {
  QFont f = font();
  const bool chosen = chooseFont ? chooseFont(f) : [&] {
    bool ok = false;
    f = QFontDialog::getFont(&ok, font(), this);
    return ok;
  }();
  if (chosen) {
    setFont(f);
    setFontSize(f.pointSize() > 0 ? f.pointSize() : fontSize());
    messageDoing_("FontSize=" + std::to_string(fontSize()) + " FontName=" + fromQ(font().family()));
  }
  return fontSize();
}

int TFormMainBaseWUX::UIFontSizeInc() {
  setFontSize(FontSizeStep(fontSize(), true));
  messageDoing_("Done: Increment FontSize " + std::to_string(fontSize()));
  return fontSize();
}

int TFormMainBaseWUX::UIFontSizeDec() {
  setFontSize(FontSizeStep(fontSize(), false));
  messageDoing_("Done: Decrement FontSize " + std::to_string(fontSize()));
  return fontSize();
}

// ---- the version report ----

int TFormMainBaseWUX::writeVersionTS_(StringList& lines) {
  lines.add(ProgramFile());
  lines.add("Version " + getVersion());
  lines.add("Prototype " + getReleaseDate());
  lines.add("(left,top)=(" + std::to_string(x()) + "," + std::to_string(y()) + ")");
  lines.add("(width,height)=(" + std::to_string(width()) + "," + std::to_string(height()) + ")");
  lines.add("");
  const std::string user = platform::utf8ToSjis(platform::userName());
  if (!user.empty()) lines.add("UserName=" + user);
  const std::string host = platform::utf8ToSjis(platform::hostName());
  if (!host.empty()) lines.add("ComputerName=" + host);
  lines.add("File Directory is " + (aFile_ ? aFile_->getFileDir_() : std::string()));
  lines.add("The count of Holders is " + std::to_string(holderCount()));
  MemoHolderUI* holder = getCurrentHolder();
  lines.add("The count of MemoNodes is " + std::to_string(holder ? holder->getNodeCount_() : 0));
  if (MemoNodeUI* node = getCurrentNode()) {
    lines.add("aFields.count = " + std::to_string(node->fieldList() ? node->fieldList()->count() : 0));
    lines.add("Length(aMemo.Text)  = " + std::to_string(node->body().text().size()));
    lines.add("aMemo.count = " + std::to_string(node->body().count()));
  }
  return 0;
}

int TFormMainBaseWUX::UIVersion() {
  StringList lines;
  writeVersionTS_(lines);
  prompter().messageBox(lines.join("\n"), "", Buttons::OK, BoxKind::Confirmation);
  messageDoing_(fromQ(QCoreApplication::applicationFilePath()) + " Ver " + getVersion() + " " + getReleaseDate());
  return 0;
}

int TFormMainBaseWUX::UIVersion2SEL() {
  TFrameMemoNode* editor = getNodeFrame();
  if (!editor) return kResultFailed;
  StringList lines;
  writeVersionTS_(lines);
  editor->replaceActiveMemoSel_(lines.join("\r\n"));
  messageDoing_(fromQ(QCoreApplication::applicationFilePath()) + " Ver " + getVersion());
  // Scripts have always been told -1 here, done or not, and may test for it.
  return kResultFailed;
}

// ---- the application properties ----

TFormPropatyApl* TFormMainBaseWUX::getFormPropatyApl() {
  if (!formPropatyApl_) {
    formPropatyApl_ = new TFormPropatyApl(
        this, {settings_.tempDir, settings_.dropMode, settings_.autoSaveTime, [this] { return getTempDir(); }});
    formPropatyApl_->onFont = [this] {
      commands_.run("UIFontDialog");
      // The window follows the font just chosen, so closing it keeps the choice.
      formPropatyApl_->setFontFrom_(font());
    };
  }
  return formPropatyApl_;
}

int TFormMainBaseWUX::UIShowApplicationPropaty() {
  TFormPropatyApl* form = nullptr;
  try {
    form = getFormPropatyApl();
    form->setFontFrom_(font());
  } catch (const std::exception&) {
    form = nullptr;
  }
  if (!form) {
    messageDoing_("ERROR: UIShowApplicationPropaty");
    return -7;  // the window could not be made
  }
  form->exec();
  QFont f = font();
  f.setFamily(form->font().family());
  f.setPointSize(form->font().pointSize() > 0 ? form->font().pointSize() : fontSize());
  setFont(f);
  messageDoing_("Close FormPropatyAPL" + nowString());
  return 0;
}

// ---- dropped files ----

int TFormMainBaseWUX::WMDropFiles(const std::vector<std::string>& files, QWidget* over) {
  TFrameMemoNode* editor = getNodeFrame();
  const bool intoEditor = settings_.dropMode == Settings::DropFullName || settings_.dropMode == Settings::DropFileName ||
                          (editor && files.size() == 1 &&
                           (within(editor->Memo_comment(), over) || within(editor->Memo_Fields(), over)));
  // A note that cannot be edited takes no text by a drop either.
  if (intoEditor && editor && editor->readOnly()) {
    messageDoing_("Stop: This MemoNode is Read Only.");
    return kResultFailed;
  }
  switch (settings_.dropMode) {
    case Settings::DropOpen:
      if (files.size() == 1 && editor && within(editor->Memo_comment(), over)) {
        // The size is known before a byte is read, so a huge file is never read whole
        // (one that grew since it was looked at is caught after).
        std::string text, why;
        std::uint64_t size = 0;
        const bool fits =
            platform::fileState(files[0], &why, &size) != platform::FileState::Regular || size <= kMaxDroppedText;
        if (fits && !platform::readFile(files[0], text, &why)) {
          messageDoing_("Failure: Could not read " + files[0] + ": " + why);
          return kResultFailed;
        }
        if (!fits || text.size() > kMaxDroppedText) {
          messageDoing_("Too Large 3MB Over " + files[0]);
          return kResultFailed;
        }
        // A UTF-8 file goes in as the characters it holds; any other file is Shift_JIS.
        const bool utf8 = !platform::isAscii(text) && platform::isValidUtf8(text);
        if (utf8 && text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
        StringList lines;
        lines.setText(text);
        for (int i = 0; i < lines.count(); ++i)
          editor->Memo_comment()->appendPlainText(utf8 ? QString::fromStdString(lines[i]) : toQ(lines[i]));
        return 0;
      }
      if (files.size() == 1 && editor && within(editor->Memo_Fields(), over)) {
        StringList fields;
        fields.setText(fromQ(editor->Memo_Fields()->toPlainText()));
        fields.setValue("Link", "\"" + files[0] + "\"");
        editor->Memo_Fields()->setPlainText(toQ(fields.join("\n")));
        return 0;
      }
      for (const std::string& f : files) openDroppedFile_(f);
      return 0;
    case Settings::DropFullName:
    case Settings::DropFileName:
      if (!editor) return kResultFailed;
      for (const std::string& f : files)
        editor->MemoNode0()->appendPlainText(
            toQ(settings_.dropMode == Settings::DropFullName ? f : platform::fileNameOf(f)));
      return 0;
    default: return 0;  // an unknown mode drops nothing
  }
}

bool TFormMainBaseWUX::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const std::vector<std::string> files = droppedFiles(drop->mimeData());
  // Text dragged inside the editor stays the editor's business.
  if (files.empty()) return false;
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (t == QEvent::Drop) runGuarded([&] { WMDropFiles(files, widget); });
  return true;
}

void TFormMainBaseWUX::registerSettingsWindowCommands() {
  CommandTable& t = commands_;
  t.add("UIFontDialog", Needs::notBusy(), [this] { return UIFontDialog(); });
  t.add("UIFontSizeInc", [this] { return UIFontSizeInc(); });
  t.add("UIFontSizeDec", [this] { return UIFontSizeDec(); });
  t.add("UIVersion", [this] { return UIVersion(); });
  t.add("UIVersion2SEL", Needs::changesNote(), [this] { return UIVersion2SEL(); });
  t.add("UIShowFormAbout", [this] { return UIShowFormAbout(); });
  t.add("UIShowApplicationPropaty", [this] { return UIShowApplicationPropaty(); });
}

}  // namespace wux

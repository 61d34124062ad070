// Commands of HTML export and printing.
#include <QByteArray>
#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <exception>
#include <memory>

#include "dialogs/ExportWindows.h"
#include "dialogs/HardCopy.h"
#include "mainwindow/commands/Commands.h"
#include "model/htmlgen.h"
#include "model/Prompter.h"
#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "printing/FormStringsPrint.h"
#include "printing/PicturePrint.h"
#include "printing/SettingsStore.h"
#include "printing/StringsPrinter.h"
#include "views/FrameMemoHolder.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

namespace {

const std::string kDoneSaveOpen = "Done: Make & Save & Open HTML File ";

// Writes the page and hands it to the desktop; the operation ends with `done`. A failed
// write ends it with the reason and opens nothing; a page written but not opened ends it
// saying so, and is no failure of the command.
bool saveAndOpen(MainWindowApi& w, const StringList& page, const std::string& file, BusyScope& busy,
                 const std::string& done) {
  w.messageDoing_("Saving " + file);
  std::string error;
  if (!platform::writeFileAtomic(file, page.text(), &error)) {
    busy.finish("Failure: " + error);
    return false;
  }
  w.messageDoing_("Opening " + file);
  const std::string unopened = platform::openWithDesktop(file);
  busy.finish(unopened.empty() ? done : "Failure: " + unopened);
  return true;
}

// The closing text of a page: `done`, or the first note left out of it (each is logged).
std::string pageDone(MainWindowApi& w, const UnreadNotes& unread, const std::string& done) {
  for (const std::string& line : unread) w.addLog_(line);
  return unread.empty() ? done : unread.front();
}

// Runs one page maker; an impossible date or any other refusal of the generator ends
// the operation with its reason instead of a half page.
bool makePage(BusyScope& busy, const std::function<void()>& make) {
  try {
    make();
    return true;
  } catch (const std::exception& e) {
    busy.finish(std::string("Failure: ") + e.what());
    return false;
  }
}

int saveHolderHTML(MainWindowApi& w) {
  BusyScope busy(w, "UISaveHolderHTML");
  w.UI2ModelAll();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    busy.finish("Exit: Current MemoHolder is nil.");
    return kResultFailed;
  }
  StringList page;
  UnreadNotes unread;
  if (!makePage(busy, [&] { exportHTML_(*holder, page, &unread); })) return kResultFailed;
  const std::string file = platform::changeExt(holder->getFileName_(), ".html");
  if (!saveAndOpen(w, page, file, busy, pageDone(w, unread, kDoneSaveOpen + file))) return kResultFailed;
  return 0;
}

int exportHolderHTML(MainWindowApi& w) {
  w.UI2ModelAll();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  StringList page;
  UnreadNotes unread;
  try {
    exportHTML_(*holder, page, &unread);
  } catch (const std::exception& e) {
    w.messageDoing_(std::string("Failure: ") + e.what());
    return kResultFailed;
  }
  const std::string file = platform::changeExt(holder->getFileName_(), ".html");
  std::string error;
  if (!platform::writeFileAtomic(file, page.text(), &error)) {
    w.messageDoing_("Failure: " + error);
    return kResultFailed;
  }
  const std::string unopened = platform::openWithDesktop(file);
  w.messageDoing_(unopened.empty() ? pageDone(w, unread, "ShellExecuteOpen_ " + file) : "Failure: " + unopened);
  return 0;
}

int exportHolderCalendarHTML(MainWindowApi& w) {
  if (MemoHolderUI* holder = w.getCurrentHolder()) exportCalendar_(*holder);
  return 0;
}

// The calendar page of the current notebook for `date`: a week page or a month page.
int saveHolderCalendar(MainWindowApi& w, const DateTime& date, const std::string& kind) {
  BusyScope busy(w, "UISaveHolderHTML Calender");
  w.UI2ModelAll();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    busy.finish("Exit: Current MemoHolder is nil.");
    return kResultFailed;
  }
  StringList page;
  UnreadNotes unread;
  std::string suffix;
  const bool week = kind == "Week";
  if (!makePage(busy, [&] {
        if (week)
          exportWeekHTML_(*holder, page, date, &unread);
        else
          exportCalendarHTML_(*holder, page, date, &unread);
      }))
    return kResultFailed;
  suffix = "_" + FormatDateTime(week ? "YYYYMMDD" : "YYYYMM", date) + ".html";
  const std::string file = platform::changeExt(holder->getFileName_(), "") + suffix;
  if (!saveAndOpen(w, page, file, busy, pageDone(w, unread, kDoneSaveOpen + file))) return kResultFailed;
  return 0;
}

int saveHolderHTMLCalendar(MainWindowApi& w, QPointer<TFormHTMLCalendar>& window) {
  try {
    if (!window) window = new TFormHTMLCalendar(w.getHolderFrame() ? w.getHolderFrame()->window() : nullptr);
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: UISaveHolderHTMLCalendar");
    return kResultFailed;
  }
  if (window->exec() != QDialog::Accepted) {
    w.messageDoing_("Cancel");
    return 0;
  }
  saveHolderCalendar(w, window->date(), window->kind());
  return 0;
}

// The file windows: each made on first use and then shown again.
struct FileWindows {
  QPointer<TFormSaveEach> saveEach;
  QPointer<TFormMakeFileHTML> makeHTML;
  QPointer<TFormFileList> fileList;
};

QWidget* mainWidget(MainWindowApi& w) { return w.getHolderFrame() ? w.getHolderFrame()->window() : nullptr; }

int showFormSaveEach(MainWindowApi& w, FileWindows& windows, const CommandArgs& args) {
  if (!windows.saveEach) windows.saveEach = new TFormSaveEach(mainWidget(w));
  TFormSaveEach& form = *windows.saveEach;
  form.setMainWindow(&w);
  w.messageDoing_("Open FormSaveEach");
  const std::string& marked = commandArg(args, 0);
  form.CheckBox_MarkNodeOnly->setChecked(marked == "1" || sjis::lower(marked) == "true");
  if (form.directory().empty()) {
    MemoFile* file = w.getMemoFile();
    const std::string name = file ? file->getFileName_() : std::string();
    form.setDirectory(platform::dirOf(name));
  }
  form.exec();
  w.messageDoing_("Done: UIShowFormSaveEach_ ");
  return 0;
}

// Shows a window that stays open beside the main window, made on first use.
template <class Form>
int showModeless(MainWindowApi& w, QPointer<Form>& window, WindowPlace place, const std::string& shown,
                 const std::string& failure) {
  try {
    if (!window) window = new Form(mainWidget(w));
  } catch (const std::exception&) {
    w.messageDoing_(failure);
    return kResultFailed;
  }
  ownWindow(*window, mainWidget(w), place, true);
  window->setMainWindow(&w);
  window->showNormal();
  window->raise();
  w.messageDoing_(shown + w.nowString());
  return 0;
}

int saveMemoNodeHTML(MainWindowApi& w) {
  BusyScope busy(w, "UISaveMemoNodeHTML");
  w.UI2ModelAll();
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) {
    busy.finish("Exit: Current MemoNode is nil.");
    return kResultFailed;
  }
  StringList page;
  UnreadNotes unread;
  int made = 0;
  if (!makePage(busy, [&] { made = exportHTML_(*node, page, &unread); })) return kResultFailed;
  if (made < 0) {
    busy.finish(pageDone(w, unread, "Failure: UISaveMemoNodeHTML"));
    return kResultFailed;
  }
  std::string proposal = Dequote(node->getField_("FilenameLocal"));
  if (proposal.empty()) proposal = Dequote(node->getField_("Filename"));
  const std::string ext = sjis::lower(platform::extOf(proposal));
  if (ext != ".html" && ext != ".htm") proposal += ".html";
  if (!platform::fileExists(proposal)) proposal = "link.html";
  std::string file = proposal;
  if (!prompter().saveFileName("UISaveMemoNodeHTML", "HTML|*.html;*.htm|All|*.*", file)) {
    busy.finish("Cancel: UISaveMemoNodeHTML");
    return 0;
  }
  if (!saveAndOpen(w, page, file, busy, kDoneSaveOpen + file)) return kResultFailed;
  return 0;
}

int saveHolderListHTML(MainWindowApi& w) {
  MemoFileUI* doc = w.getMemoFile();
  if (!doc || doc->getHolderCount_() < 1) return kResultFailed;
  w.UI2ModelAll();
  BusyScope busy(w, "UISaveHolderListHTML");
  busy.finish("ERROR UISaveHolderListHTML");
  StringList page;
  for (const char* line : {"<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">", "<HTML>",
                           "<HEAD>", "</HEAD>", "<BODY>"})
    page.add(line);
  const int n = doc->getHolderCount_();
  for (int i = 0; i < n; ++i) {
    const std::string name = doc->getHolder_(i)->name();
    std::string line = "<a href=\"list_" + name + ".html\" target=\"left\">" + name + "</a> ";
    if (i + 1 < n) line += "|";
    page.add(line);
  }
  page.add("</BODY>");
  page.add("</HTML>");
  // The index goes beside the document, where its notebooks' list pages are; the
  // document's name cannot lead it anywhere else.
  std::string dir = platform::dirOf(doc->getFileName_());
  if (dir.empty()) dir = platform::currentDir();
  const std::string file = dir + platform::changeExt("holders_" + SanitizeFileName(doc->name()), ".html");
  if (!saveAndOpen(w, page, file, busy, "Done: " + w.nowString())) return kResultFailed;
  return 0;
}

// The child of `parent` in its tree named `name`: the first note linked under it.
MemoNode* treeChildNamed(MemoHolder& holder, MemoNode& parent, const std::string& name) {
  const std::string uid = parent.getField_("UID");
  if (Dequote(uid).empty()) return nullptr;
  for (int i = 0; i < holder.getNodeCount_(); ++i) {
    MemoNode* n = holder.getNode_(i);
    if (n != &parent && n->getField_("ParentNodeID") == uid && n->name() == name) return n;
  }
  return nullptr;
}

int newChildHTML2(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    w.messageDoing_("Exit: Current MemoHolder is nil.");
    return kResultNoDocument;
  }
  if (holder->getModeNodesMngr_() != "\"TreeView\"") {
    w.messageDoing_("Exit: Mode is not TreeView.");
    return kResultUIReadOnly;
  }
  BusyScope busy(w, "UINewChildHTML2");
  w.UI2ModelAll();
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) {
    busy.finish("ERROR: Current MemoNode = nil");
    return kResultFailed;
  }
  const std::string target = Dequote(node->getField_("Filename"));
  if (sjis::trim(target).empty()) {
    busy.finish("Exit: UINewChildHTML2 needs a Filename");
    return kResultFailed;
  }
  StringList words;
  TextToWordList(node->body(), words, false);
  std::string out;
  for (int i = 0; i < words.count(); ++i) {
    const std::string& entry = words[i];
    if (entry.rfind("<!--", 0) != 0) {
      out += entry;
      continue;
    }
    std::string afterFirst, afterSecond, afterThird;
    SplitFirstWord(entry, afterFirst);
    const std::string second = SplitFirstWord(afterFirst, afterSecond);
    const std::string third = SplitFirstWord(afterSecond, afterThird);
    if (second != "wux.exe") {
      out += entry;
      continue;
    }
    if (MemoNode* child = treeChildNamed(*holder, *node, third)) out += child->body().text();
  }
  StringList page;
  page.setText(out);
  const std::string folder = platform::dirOf(holder->getFileName_());
  const std::string file = platform::resolvePath(platform::changeExt(target, ".html"), folder);
  // A note kept in an ".html" file is its own source: the assembled page would replace
  // its include markers, so only a Yes writes over it. (A target that is refused anyway
  // is not asked about: the write says why.)
  if (platform::refusedTarget(file).empty() && platform::sameFile(file, platform::resolvePath(target, folder)) &&
      prompter().messageBox("Overwrite ? " + file, "", Buttons::YesNoCancel, Answer::No) != Answer::Yes) {
    busy.finish("Cancel: UINewChildHTML2 " + file);
    return kResultFailed;
  }
  if (!saveAndOpen(w, page, file, busy, kDoneSaveOpen + file)) return kResultFailed;
  return 0;
}

// ---- printing ----------------------------------------------------------------------------

// The note's own picture, decoded from its content bytes; null when it holds none.
QImage notePicture(const MemoNode& node) {
  const TContent* c = node.content();
  if (!c || !c->data() || c->data()->empty()) return QImage();
  const std::string& bytes = *c->data();
  return QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string jobName(const MemoHolder& holder, const MemoNode& node) { return holder.name() + " : " + node.name(); }

std::string pictureHeader(const MemoHolder& holder, const MemoNode& node) {
  return FormatDateTime("YYYYMMDD hhmmss", Now()) + " " + jobName(holder, node);
}

// Plain lines as one job, with `title` as the job's name. False, with the reason in
// `error`, when the job could not start.
bool printPlain(TStringsPrinter& printer, const std::string& text, const std::string& title, std::string& error) {
  QTextDocument doc;
  doc.setPlainText(toQ(text));
  QPrinter& device = printer.printer();
  device.setDocName(toQ(title));
  doc.print(&device);
  // The document's print reports nothing; a job that could not start leaves the device
  // active instead of idle.
  if (device.printerState() == QPrinter::Idle) return true;
  error = printer.startFailed();
  return false;
}

// A picture as one page, centred and framed under `header`.
bool printPicture(TStringsPrinter& printer, const QImage& picture, const std::string& header, std::string& error) {
  if (picture.isNull()) {
    error = "the note holds no picture that can be read";
    return false;
  }
  if (stretchDrawFit(printer.printer(), picture, header, true, &error)) return true;
  error = printer.startFailed();
  return false;
}

// Several jobs into one PDF file would each replace the one before: while a batch
// prints into a file, job k goes into "<name>-k.pdf" instead. The printer's device
// is asked for anew each time: a failed job replaces it.
class FileBatch {
 public:
  FileBatch(TStringsPrinter& printer, int jobs) : printer_(printer) {
    QPrinter& device = printer.printer();
    if (jobs > 1 && device.outputFormat() == QPrinter::PdfFormat) base_ = device.outputFileName();
  }
  ~FileBatch() {
    if (!base_.isEmpty()) printer_.printer().setOutputFileName(base_);
  }
  void job(int k) {
    if (base_.isEmpty()) return;
    QString stem = base_;
    if (stem.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) stem.chop(4);
    printer_.printer().setOutputFileName(stem + QLatin1Char('-') + QString::number(k) + QLatin1String(".pdf"));
  }

 private:
  TStringsPrinter& printer_;
  QString base_;
};

// Prints one note by its type. 0 when printed; otherwise kResultFailed with the reason in
// `error` ("Cancel: print" when the user stopped the layout).
int printMemoNode(MainWindowApi& w, MemoNode& node, std::string& error) {
  MemoHolder* holder = node.getParentHolder_();
  TStringsPrinter* printer = w.stringsPrinter();
  if (!holder || !w.getHolderFrame() || !printer) {
    error = "the note cannot be printed here";
    return kResultFailed;
  }
  const std::string type = sjis::lower(node.getContentType_());
  if (type.empty() || type.find("text") != std::string::npos || type == "\"image/gif\"") {
    std::string ignored;
    LoadComponentFromIni(*printer, PrintSettingsPath(), kPrintSettingsSection, kPrintSettingsPrefix, &ignored);
    printer->setFileName(jobName(*holder, node));
    const bool fieldsInstead = type == "\"image/gif\"" || node.getField_("Content-Transfer-Encoding") == "\"URL\"";
    const StringList* fields = node.fieldList();
    const StringList none;
    if (!printer->Print(fieldsInstead ? (fields ? *fields : none) : node.body())) {
      error = printer->lastError();
      return kResultFailed;
    }
    return 0;
  }
  if (type.find("image") != std::string::npos) {
    if (!printPicture(*printer, notePicture(node), pictureHeader(*holder, node), error)) {
      w.addLog_("Failure: print " + jobName(*holder, node) + " : " + error);
      return kResultFailed;
    }
    return 0;
  }
  return printPlain(*printer, "     " + jobName(*holder, node), node.getContentType_(), error) ? 0 : kResultFailed;
}

// A print the user stopped is no failure.
bool cancelled(const std::string& error) { return error.rfind("Cancel", 0) == 0; }

// The closing text of a print that did not happen: a cancel as it is, else a failure.
std::string notPrinted(const std::string& error) { return cancelled(error) ? error : "Failure: " + error; }

// Prints the notes of a batch, which goes on past a note that failed, and keeps the
// count and the last reason for the closing text.
class BatchFailures {
 public:
  void add(MainWindowApi& w, MemoNode& node) {
    if (std::string unread = unreadNote(w, node); !unread.empty()) {
      ++count_;
      if (firstUnread_.empty()) firstUnread_ = unread;
      return;
    }
    std::string error;
    if (printMemoNode(w, node, error) == 0 || cancelled(error)) return;
    ++count_;
    last_ = error;
  }
  bool any() const { return count_ > 0; }
  // A note left out unread is named first; else how many failed and the last reason.
  std::string text(int total) const {
    if (!firstUnread_.empty()) return firstUnread_;
    return "Failure: " + std::to_string(count_) + "/" + std::to_string(total) + " not printed: " + last_;
  }

 private:
  int count_ = 0;
  std::string last_;
  std::string firstUnread_;
};

}  // namespace

bool printWindowPicture(MainWindowApi& w, QWidget& window, std::string& why) {
  TStringsPrinter* printer = w.stringsPrinter();
  if (!printer) {
    why = "no printer here";
    return false;
  }
  if (hardCopy(&window, printer->printer(), &why)) return true;
  why = printer->startFailed();
  return false;
}

int printNoteReported(MainWindowApi& w, MemoNode& node) {
  BusyScope busy(w, "UIPrintMemoNode " + node.name());
  if (std::string unread = unreadNote(w, node); !unread.empty()) {
    busy.finish(unread);
    return kResultFailed;
  }
  std::string error;
  if (printMemoNode(w, node, error) != 0) {
    busy.finish(notPrinted(error));
    return kResultFailed;
  }
  return 0;
}

namespace {

int printMemoNodeCommand(MainWindowApi& w) {
  w.UI2ModelAll();
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) return kResultFailed;
  return printNoteReported(w, *node);
}

int printTest(MainWindowApi& w) {
  BusyScope busy(w, "print1");
  w.UI2ModelAll();
  MemoNodeUI* node = w.getCurrentNode();
  MemoHolder* holder = node ? node->getParentHolder_() : nullptr;
  TStringsPrinter* printer = w.stringsPrinter();
  if (!holder || !w.getHolderFrame() || !printer) return kResultFailed;
  if (std::string unread = unreadNote(w, *node); !unread.empty()) {
    busy.finish(unread);
    return kResultFailed;
  }
  const std::string type = sjis::lower(node->getContentType_());
  std::string error;
  bool ok = true;
  if (type.empty() || type.find("text") != std::string::npos)
    ok = printPlain(*printer, node->body().text(), node->getContentType_(), error);
  else if (type.find("image") != std::string::npos)
    ok = printPicture(*printer, notePicture(*node), pictureHeader(*holder, *node), error);
  if (!ok) {
    busy.finish("Failure: " + error);
    return kResultFailed;
  }
  return 0;
}

int printFormat(MainWindowApi& w) {
  w.UI2ModelAll();
  MemoNodeUI* node = w.getCurrentNode();
  TStringsPrinter* printer = w.stringsPrinter();
  if (!node || !printer) return kResultFailed;
  const std::string type = sjis::lower(node->getContentType_());
  if (!type.empty() && type.find("text") == std::string::npos) {
    w.messageDoing_("Could not open Print Dialog. Because you select text Memo Node! ");
    return kResultFailed;
  }
  BusyScope busy(w, "print1");
  if (std::string unread = unreadNote(w, *node); !unread.empty()) {
    busy.finish(unread);
    return kResultFailed;
  }
  MemoHolder* holder = node->getParentHolder_();
  printer->setFileName(holder ? jobName(*holder, *node) : node->name());
  if (ExecuteStringsPrintDialog(*printer, &node->body(), mainWidget(w))) {
    std::string error;
    if (!SaveComponentToIni(*printer, PrintSettingsPath(), kPrintSettingsSection, kPrintSettingsPrefix, &error))
      busy.finish("Failure: " + error);
  } else {
    busy.finish("Cancel: print1");
  }
  return 0;
}

int printerSetup(MainWindowApi& w) {
  TStringsPrinter* printer = w.stringsPrinter();
  if (!printer) return kResultFailed;
  QPrintDialog dialog(&printer->printer(), w.getHolderFrame() ? w.getHolderFrame()->window() : nullptr);
  return dialog.exec() == QDialog::Accepted ? 0 : kResultFailed;
}

int printsHolder(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  TStringsPrinter* printer = w.stringsPrinter();
  if (!holder || !printer) return kResultFailed;
  w.UI2ModelAll();
  const int n = holder->getNodeCount_();
  if (prompter().messageBox("Shall I print " + std::to_string(n) + " Pages ?.", "Prints", Buttons::OKCancel,
                            BoxKind::Confirmation) != Answer::OK) {
    w.messageDoing_("Cannel: Holder prints.");
    return 0;
  }
  BusyScope busy(w, "Prints Holder");
  FileBatch batch(*printer, n);
  BatchFailures failures;
  for (int i = 0; i < n; ++i) {
    QCoreApplication::processEvents();
    if (w.isBreak()) {
      busy.finish("Break: Holder Prints " + std::to_string(i) + "/" + std::to_string(n));
      return 0;
    }
    w.messageDoing_(std::to_string(i + 1) + "/" + std::to_string(n));
    MemoNode* node = holder->getNode_(i);
    if (!node) break;  // the notebook changed under the loop
    batch.job(i + 1);
    failures.add(w, *node);
  }
  busy.finish(failures.any() ? failures.text(n) : "Done: Holder prints " + std::to_string(n) + " Pages.");
  return n;
}

int printsMarkNode(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  TStringsPrinter* printer = w.stringsPrinter();
  if (!holder || !printer) return kResultFailed;
  w.UI2ModelAll();
  StringList marked;
  holder->getMarkedList_(marked);
  const int n = marked.count();
  if (n == 0) {
    w.messageDoing_("Count of Node marked is 0");
    return 0;
  }
  BusyScope busy(w, "Prints MarkNode");
  FileBatch batch(*printer, n);
  BatchFailures failures;
  for (int i = 0; i < n; ++i) {
    w.messageDoing_(std::to_string(i + 1) + "/" + std::to_string(n));
    if (auto* node = marked.objectAs<MemoNode>(i)) {
      batch.job(i + 1);
      failures.add(w, *node);
    }
  }
  if (failures.any()) busy.finish(failures.text(n));
  return n;
}

}  // namespace

void registerExportPrintCommands(CommandTable& table, MainWindowApi& w) {
  // These two pages are announced in the menus but never made.
  for (const char* name : {"UINewChildHTMLCalendar", "UINewChildHTMLPage"})
    table.add(name, noticeOnly(w, std::string("TFormMainScript.") + name, kResultFailed),
              CommandTable::State::LeftOpen);

  auto calendar = std::make_shared<QPointer<TFormHTMLCalendar>>();
  table.add("UISaveHolderHTML", Needs::notBusy(), [&w] { return saveHolderHTML(w); });
  table.add("UIExportHolderHTML", Needs::notBusy(), [&w] { return exportHolderHTML(w); });
  table.add("UIExportHolderCalendarHTML", Needs::notBusy(), [&w] { return exportHolderCalendarHTML(w); });
  table.add("UISaveHolderHTMLCalendar", Needs::notBusy(), std::function<int()>([&w, calendar] {
              return saveHolderHTMLCalendar(w, *calendar);
            }));
  table.add("UISaveMemoNodeHTML", Needs::notBusy(), [&w] { return saveMemoNodeHTML(w); });
  table.add("UISaveHolderListHTML", Needs::notBusy(), [&w] { return saveHolderListHTML(w); });
  table.add("UINewChildHTML", Needs::notBusy(), [&w] {
    w.stillNotImplemented("TFormMainScript.UINewChildHTML");
    saveHolderHTML(w);
    return kResultFailed;
  });
  table.add("UINewChildHTML2", Needs::notBusy().uiWritable().holderWritable(), [&w] { return newChildHTML2(w); });
  table.add("UIPrinterSetup", [&w] { return printerSetup(w); });
  table.add("UIPrintFormat", Needs::notBusy(), [&w] { return printFormat(w); });
  table.add("UIPrintMemoNode", Needs::notBusy(), [&w] { return printMemoNodeCommand(w); });
  table.add("UIPrintTest", Needs::notBusy(), [&w] { return printTest(w); });
  table.add("UIPrintsHolder", Needs::notBusy(), [&w] { return printsHolder(w); });
  table.add("UIPrintsMarkNode", Needs::notBusy(), [&w] { return printsMarkNode(w); });

  auto files = std::make_shared<FileWindows>();
  table.add("UIShowFormSaveEach_", Needs::notBusy(kResultNoDocument), [&w, files](const CommandArgs& a) { return showFormSaveEach(w, *files, a); });
  table.add("UIShowMakeHTML", Needs::notBusy(), std::function<int()>([&w, files] {
              return showModeless(w, files->makeHTML, WindowPlace::OnOwner, "Show MakeHTML ", "ERROR: UIReciveMail");
            }));
  table.add("UIShowFileList", Needs::notBusy(), std::function<int()>([&w, files] {
              return showModeless(w, files->fileList, WindowPlace::OnScreen, "Show FormFileList ",
                                  "ERROR TFormFileList.create in UIShowFileList.");
            }));
}

}  // namespace wux

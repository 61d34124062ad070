// Commands of the files a note names: saving its content, reloading it, opening and
// exploring what its fields name, executing it, names from fields and the query note.
#include "mainwindow/commands/NoteFileCommands.h"

#include "mainwindow/commands/Commands.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/lists.h"
#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "views/ChangeGuard.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

std::string field(const MemoBasic* r, const char* name) { return Dequote(r->getField_(name)); }
std::string quoted(const std::string& bare) { return "\"" + bare + "\""; }

// Every spelling of a web address is one: "HTTP://x" and "http://x" reload alike.
bool isWebAddress(const std::string& name) {
  const std::string head = sjis::lower(name.substr(0, 6));
  return sjis::startsWith(head, "http:") || head == "https:";
}

bool isLinkNote(const MemoNode* node) { return node->getField_("Content-Transfer-Encoding") == "\"URL\""; }

std::string documentDir(const MemoNode* node) {
  MemoFile* doc = node->getParentFile_();
  return doc ? doc->getFileDir_() : platform::currentDir();
}

std::string notebookDir(const MemoNode* node) {
  MemoHolder* holder = node->getParentHolder_();
  return holder ? platform::dirOf(holder->getFileName_()) : documentDir(node);
}

// A name beginning with "." is relative to the folder of the notebook's file.
std::string absoluteName(const MemoNode* node, const std::string& name) {
  return sjis::startsWith(name, ".") ? platform::resolvePath(name, notebookDir(node)) : name;
}

// The local file of a web note: its FilenameLocal, else the document folder and the
// address's last part.
std::string localCopyName(const MemoNode* node, const std::string& address) {
  const std::string local = field(node, "FilenameLocal");
  if (!local.empty()) return local;
  return documentDir(node) + platform::fileNameOf(address);
}

bool isPictureExt(const std::string& ext) {
  for (const char* e : {".jpg", ".jpe", ".jpeg", ".bmp", ".gif", ".png", ".tif", ".tiff", ".ico", ".wmf", ".emf"})
    if (ext == e) return true;
  return false;
}

bool endsWithSeparator(const std::string& name) {
  return !name.empty() && platform::lastSeparator(name) == name.size() - 1;
}

const char* const kAllFiles = "All files|*";
const char* const kPictures =
    "Pictures|*.jpg;*.jpe;*.jpeg;*.bmp;*.gif;*.png;*.tif;*.tiff;*.ico;*.wmf;*.emf|All files|*";

}  // namespace

// ---- saving ----

int saveAsMemoNode_(MainWindowApi& w, MemoNode* node, std::string* savedAs) {
  if (!node || !node->getParentHolder_()) return kResultFailed;
  if (const std::string unread = unreadNote(w, *node); !unread.empty()) {
    w.messageDoing_(unread);
    return kResultFailed;
  }
  const std::string orig = field(node, "Filename");
  const bool web = isWebAddress(orig);
  std::string name = web ? localCopyName(node, orig) : orig;
  const std::string ext = sjis::lower(platform::extOf(name));
  if (isLinkNote(node) && ext != ".html" && ext != ".htm") name += ".html";
  name = absoluteName(node, name);
  if (name.empty()) name = SanitizeFileName(node->name());

  std::string chosen = name;
  const bool picture = isPictureExt(ext);
  if (!prompter().saveFileName(picture ? "Save Picture As" : "Save As", picture ? kPictures : kAllFiles, chosen) ||
      sjis::trim(chosen).empty())
    return kResultFailed;

  std::string why;
  long long written;
  {
    BusyScope busy(w, "MemoNode SaveAs " + chosen);
    written = node->exportContent_(chosen, &why);
    if (written < 0) busy.finish("Failure: MemoNode SaveAs " + chosen + ". " + why);
  }
  if (written < 0) return kResultFailed;
  if (savedAs) *savedAs = chosen;
  // The file is written; a note that may not change keeps its fields.
  if (!mayChange(w, *node)) return 0;

  MemoHolder* holder = node->getParentHolder_();
  if (orig.empty()) {
    node->putField_("Filename", quoted(chosen));
    holder->modified = true;
  } else if (chosen != orig) {
    const char* target = web ? "FilenameLocal" : "Filename";
    if (prompter().messageBox(std::string("Change Field named as \"") + target + "\" ?", "", Buttons::YesNo) ==
        Answer::Yes) {
      node->putField_(target, quoted(chosen));
      if (sjis::startsWith(orig, ".")) node->makeRelativePath_(target, holder->getFileName_());
      holder->modified = true;
    }
  }
  if (node->getField_("flagSaveAsLog") == "\"true\"") {
    node->putField_("Filename" + FormatDateTime("YYYYMMDD", Now()), quoted(chosen));
    holder->modified = true;
  }
  return 0;
}

namespace {

// The file a note's fields name for saving, "" when they name none.
std::string namedFile(const MemoNode* node) {
  std::string name = field(node, "Filename");
  if (name.empty() || isWebAddress(name)) {
    const std::string local = field(node, "FilenameLocal");
    if (!local.empty())
      name = local;
    else if (!name.empty())
      name = documentDir(node) + platform::fileNameOf(name);
  }
  return name;
}

}  // namespace

std::string saveMemoNodeToNamedFile(MainWindowApi& w, MemoNode* node, bool mayAsk, NamedFileSave* report) {
  if (!node) return "";
  std::string name = namedFile(node);
  if (name.empty()) {
    if (!mayAsk || !prompter().saveFileName("Save As", kAllFiles, name)) return "";
    name = sjis::trim(name);
    if (name.empty()) return "";
  }
  name = absoluteName(node, name);
  // Never over a document file, never a folder.
  if (endsWithSeparator(name) || sjis::lower(platform::extOf(name)) == ".mxa") return "";
  std::string why;
  switch (node->saveStep_(name, why)) {
    case MemoNode::SaveStep::Keep:
      if (report) report->kept = true;
      return name;
    case MemoNode::SaveStep::Refuse: {
      const std::string failure = MemoNode::unreadText(node->name(), why);
      w.addLog_(failure);
      w.messageDoing_(failure);
      if (report) report->failure = failure;
      return "";
    }
    case MemoNode::SaveStep::Write:
      break;
  }

  auto* ui = dynamic_cast<MemoNodeUI*>(node);
  const bool confirm = ui ? ui->isConfirmOverwrite_() : true;
  if (confirm && platform::fileExists(name) &&
      prompter().messageBox("Overwrite ? " + name, "", Buttons::YesNoCancel) != Answer::Yes)
    return "";

  const std::string folder = platform::dirOf(name);
  if (!folder.empty() && !platform::dirExists(folder)) {
    if (prompter().messageBox("Make Directory? ,Not Exist File Path.\r\n" + folder, "", Buttons::YesNo) !=
        Answer::Yes)
      return "";
    if (!platform::makeDirs(folder)) {
      ShowMessage("Could Not Make Director. " + folder);
      return "";
    }
  }
  if (node->exportContent_(name, &why) < 0) {
    const std::string text = "ERROR: could not overwrite on _UISaveMemoNode_. " + name;
    w.addLog_(text + " " + why);
    ShowMessage(text + "\r\n" + why);
    return "";
  }
  return name;
}

namespace {

MemoNodeUI* currentNote(MainWindowApi& w, bool report = true) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!node && report) w.messageDoing_("ERROR: Current MemoNode = nil");
  return node;
}

int saveAsCurrent(MainWindowApi& w, std::string* savedAs = nullptr) {
  w.UI2ModelAll();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultFailed;
  const int result = saveAsMemoNode_(w, node, savedAs);
  w.Model2UI();
  return result;
}

// Ticked notes of a check list, each to the file its fields name: the same checks as
// saving one note, but no file dialog for a note that names no file.
int saveMarks(MainWindowApi& w) {
  w.UI2ModelAll();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  if (holder->workingKind() != MemoHolderUI::Kind::CheckList) {
    w.messageDoing_("Stop: Save Marks works on a check list.");
    return kResultFailed;
  }
  StringList marked;
  holder->getMarkedList_(marked);
  int saved = 0;
  {
    BusyScope busy(w, "Save Marks");
    std::string firstFailure;
    for (int i = 0; i < marked.count(); ++i) {
      auto* node = static_cast<MemoNode*>(marked.object(i));
      if (!node || Dequote(node->getField_("FileName")).empty()) continue;
      NamedFileSave report;
      const std::string file = saveMemoNodeToNamedFile(w, node, false, &report);
      if (report.kept)
        w.addLog_(MemoNode::keptLinkedFileLine(marked[i], file));
      else if (!file.empty())
        ++saved;
      else if (firstFailure.empty())
        firstFailure = report.failure;
    }
    busy.finish(!firstFailure.empty() ? firstFailure
                                      : "Done: Save Marks " + std::to_string(saved) + " / " +
                                            std::to_string(marked.count()));
  }
  // The lines of the check list, ticked or not.
  return holder->noteList().count();
}

// ---- reloading ----

int reloadNote(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || !w.getHolderFrame()) return kResultFailed;
  w.UI2Model();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultFailed;
  if (isLinkNote(node)) {
    w.Model2UI();
    return 0;
  }
  const std::string name = field(node, "Filename");
  if (name.empty()) {
    w.messageDoing_("Do not reload. because filename is empty.");
    return kResultFailed;
  }
  // A web address is fetched again and stays the note's Filename; a relative name
  // stays relative.
  const std::string source = isWebAddress(name) ? name : absoluteName(node, name);
  BusyScope busy(w, "Reload " + source);
  std::string why;
  if (node->importContent_(source, name, &why) < 0) {
    std::string text = isWebAddress(name) ? "Not found " + name : "Does Not exist. " + source;
    if (IsTooLargeToOpen(why)) text += " " + why;
    busy.finish(text);
    if (!why.empty()) w.addLog_("Reload " + source + ": " + why);
    ShowNotImplementedSource(why);
    return kResultFailed;
  }
  holder->modified = true;
  const std::string lost = logLostCharacters(w, *node, source);
  if (!lost.empty()) busy.finish(lost);
  w.Model2UI();
  return 0;
}

// ---- opening and exploring ----

// `opened` tells whether the desktop took the path.
int openExplorer_(MainWindowApi& w, const std::string& path, bool* opened = nullptr) {
  BusyScope busy(w, "Explorer " + path);
  if (opened) *opened = false;
  const std::string head = sjis::lower(path.substr(0, 6));
  if (sjis::startsWith(head, "ftp:") || sjis::startsWith(head, "http:") || head == "https:") {
    const std::string unopened = platform::openWithDesktop(path);
    busy.finish(unopened.empty() ? "Done: Open " + path : "Failure: " + unopened);
    if (opened) *opened = unopened.empty();
    return 0;
  }
  std::string folder = platform::dirOf(path);
  if (folder.empty()) folder = platform::currentDir();
  if (!platform::dirExists(folder)) {
    busy.finish("Not found Directory " + folder);
    return kResultFailed;
  }
  const std::string unopened = platform::openWithDesktop(folder, true);
  busy.finish(unopened.empty() ? "Done: Explore " + folder : "Failure: " + unopened);
  if (opened) *opened = unopened.empty();
  return 0;
}

// The folder explored is the saved file's, whatever the note's fields say afterwards
// (the user may have kept the old name in them).
int saveAsAndExplore(MainWindowApi& w) {
  std::string saved;
  const int result = saveAsCurrent(w, &saved);
  return result != 0 ? result : openExplorer_(w, saved);
}

int exploreFilename(MainWindowApi& w) {
  w.UI2Model();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultUIReadOnly;
  std::string name = field(node, "FilenameLocal");
  if (name.empty()) name = field(node, "Filename");
  if (name.empty()) {
    w.messageDoing_("Do not open directory. because filename is empty.");
    return kResultHolderReadOnly;
  }
  return openExplorer_(w, isWebAddress(name) ? name : absoluteName(node, name));
}

int exploreLink(MainWindowApi& w) {
  w.UI2Model();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultUIReadOnly;
  const std::string link = field(node, "Link");
  if (link.empty()) {
    w.messageDoing_("Do not open directory. because Link is empty.");
    return kResultHolderReadOnly;
  }
  const std::string full = absoluteName(node, link);
  const bool missing = !isWebAddress(link) && platform::fileMissing(full);
  const std::string warning = "WARRNING: File not exists on Local. " + link;
  if (missing) w.addLog_(warning);
  bool opened = false;
  const int result = openExplorer_(w, isWebAddress(link) ? link : full, &opened);
  // The explorer's own report would hide the warning: it is the last word, unless
  // nothing was shown at all.
  if (missing && opened) w.messageDoing_(warning);
  return result;
}

int openField(MainWindowApi& w, const char* name, const std::string& emptyText, const std::string& missingText) {
  w.UI2Model();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultUIReadOnly;
  const std::string value = field(node, name);
  if (value.empty()) {
    w.messageDoing_(emptyText);
    return kResultHolderReadOnly;
  }
  const std::string target = isWebAddress(value) ? value : absoluteName(node, value);
  // A missing file is only a warning: the opener may know better (a mounted share).
  if (!isWebAddress(value) && platform::fileMissing(target))
    w.messageDoing_(missingText + value);
  else
    w.messageDoing_("ShellExecuteOpen_ " + target);
  const std::string unopened = platform::openWithDesktop(target);
  if (!unopened.empty()) w.messageDoing_("Failure: " + unopened);
  return 0;
}

int existsFilename(MainWindowApi& w) {
  w.UI2Model();
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultFailed;
  const std::string name = field(node, "Filename");
  if (name.empty()) {
    w.messageDoing_("Filename is empty. ");
    return kResultFailed;
  }
  const std::string full = absoluteName(node, name);
  const bool exists = !platform::fileMissing(full);
  w.messageDoing_((exists ? "File exists on Local. " : "File did not exists on Local. ") + name);
  return exists ? 0 : kResultFailed;
}

int exploreNotebook(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultNoDocument;
  MemoFile* doc = holder->getParentFile_();
  const std::string docDir = doc ? doc->getFileDir_() : platform::currentDir();
  const std::string own = field(holder, "Filename");
  std::string folder = own.empty() ? docDir : platform::dirOf(platform::resolvePath(own, docDir));
  if (folder.empty()) folder = docDir;
  const std::string unexplored = platform::openWithDesktop(folder, true);
  w.messageDoing_(unexplored.empty() ? "Done:UIExplorerMemoHolder " + folder : "Failure: " + unexplored);
  return 0;
}

// ---- executing ----

int executeNote(MainWindowApi& w) {
  MemoNodeUI* node = currentNote(w);
  if (!node) return kResultFailed;
  w.UI2ModelAll();
  const std::string name = saveMemoNodeToNamedFile(w, node);
  if (name.empty()) return kResultFailed;
  std::string status;
  bool started = true;
  {
    BusyScope busy(w, "MemoNode Execute " + name);
    const std::string ext = sjis::lower(platform::extOf(name));
    // Programs and scripts start directly, their name one argument: no shell ever
    // reads the name. Everything else goes to the desktop's opener.
    std::string why;
    if (platform::isExecutableFile(name)) {
      started = platform::launcher().start(platform::resolvePath(name), "", &why);
      status = "Done: Execute " + name;
    } else if (ext == ".sh") {
      started = platform::launcher().start("/bin/sh", name, &why);
      status = "Done: Execute " + name;
    } else if (!platform::fileExists(name)) {
      status = "Done: Not Fount " + name;
    } else {
      why = platform::openWithDesktop(name);
      started = why.empty();
      status = "Done: Exeute " + name;
    }
    if (!started) {
      status = "ERROR: ShellExecute on ExecuteNode1Click.";
      w.addLog_("ERROR: ShellExecute on ExecuteNode1Click. " + why);
      ShowMessage(status);
    }
    w.Model2UI();
    busy.finish(status);
  }
  return started ? 0 : kResultFailed;
}

// ---- names and the query note ----

int namesFromField(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  w.UI2Model();
  std::string fieldName;
  if (!prompter().inputBox("Change name from Field's Value", "Field Name", fieldName)) return kResultFailed;
  fieldName = sjis::trim(fieldName);
  if (fieldName.empty()) return kResultFailed;
  StringList notes;
  holder->setNodeList_(notes);
  {
    BusyScope busy(w, "Field->Name");
    for (int i = 0; i < notes.count(); ++i) {
      auto* node = static_cast<MemoNode*>(notes.object(i));
      if (!node) continue;
      const std::string old = node->name();
      std::string value = field(node, fieldName.c_str());
      if (value.empty()) value = "_";
      std::string actual;
      node->putName_(value, actual);
      node->putField_("OldName", quoted(sjis::replaceAll(old, "\"", "'")));
    }
    if (notes.count() > 0) holder->modified = true;
    w.Model2UI();
    w.refreshHolderView();
  }
  return notes.count();
}

int setQuery(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  MemoNodeUI* node = currentNote(w);
  if (!holder || !node) return kResultFailed;
  BusyScope busy(w, "Set Query");
  holder->putField_("QueryNode", quoted(node->name()));
  holder->modified = true;
  return 0;
}

int jumpQuery(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || !currentNote(w)) return kResultFailed;
  const std::string name = field(holder, "QueryNode");
  auto* target = static_cast<MemoNodeUI*>(name.empty() ? nullptr : holder->findNodeByName_(name));
  if (!target) {
    w.messageDoing_("Not found QueryNode named as " + name);
    return kResultFailed;
  }
  BusyScope busy(w, "Jump Query");
  w.UI2Model();
  w.changeCurrentNode_(target);
  return 0;
}

}  // namespace

void registerNoteFileCommands(CommandTable& table, MainWindowApi& w) {
  table.add("UISaveAsMemoNode", Needs::notBusy(), [&w] { return saveAsCurrent(w); });
  table.add("UISaveMarks", Needs::notBusy(), [&w] { return saveMarks(w); });
  table.add("UIReloadMemoNode", Needs::changesNote(), [&w] { return reloadNote(w); });
  table.add("UIExplorerFilenameMemoNode", Needs::notBusy(), [&w] { return exploreFilename(w); });
  table.add("SaveAsAndExplorer", Needs::notBusy(), [&w] { return saveAsAndExplore(w); });
  table.add("UIExplorerLinkMemoNode", Needs::notBusy(), [&w] { return exploreLink(w); });
  table.add("UIOpenFilename", Needs::notBusy(), [&w] {
    return openField(w, "Filename", "Do not open. because Filename is empty. ",
                     "WARRNING: File does not exists on Local. ");
  });
  table.add("UIOpenLink", Needs::notBusy(), [&w] {
    return openField(w, "Link", "Do not open. because Link is empty. ", "WARRNING: Link does not exists on Local. ");
  });
  table.add("UIExistsFilename", Needs::notBusy(), [&w] { return existsFilename(w); });
  table.add("UIExplorerMemoHolder", Needs::notBusy(), [&w] { return exploreNotebook(w); });
  table.add("UIExecuteNode", Needs::notBusy(), [&w] { return executeNote(w); });
  table.add("UIChangeNameFromField", Needs::changesHolder(), [&w] { return namesFromField(w); });
  table.add("UISetQuery", Needs::changesHolder(), [&w] { return setQuery(w); });
  table.add("UIJumpQuery", Needs::notBusy(), [&w] { return jumpQuery(w); });
}

std::string logLostCharacters(MainWindowApi& w, const MemoNode& node, const std::string& source) {
  // A character the file held that the note cannot is named, never just "?".
  if (node.lostOnLoad().empty()) return {};
  const std::string lost = platform::unstorableText(node.lostOnLoad()) + " in " + source;
  w.addLogTS(lost);
  return lost;
}

}  // namespace wux

#include "mainwindow/DocumentSession.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/lists.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/download.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/shortcut.h"
#include "platform/textconv.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

std::string lowerExt(const std::string& name) { return sjis::lower(platform::extOf(name)); }

const char* const kDocumentFilter = "MXA files (*.mxa)|*.mxa|MAZ files (*.maz)|*.maz|ALL files (*.*)|*.*";
const char* const kTrue = "\"true\"";
const char* const kFalse = "\"false\"";

}  // namespace

// ---- the open dispatcher ---------------------------------------------------------------

int DocumentSession::open_(const std::string& given) {
  std::string name = given;
  if (sjis::trim(name).empty()) return kResultFailed;
  std::string ext = lowerExt(name);
  if (ext == ".lnk") {
    std::string data, stored;
    if (!platform::readFile(name, data) || !platform::ShortcutTarget(data, stored)) {
      w_.messageDoing_("Failure: no target in the shortcut " + name);
      return kResultFailed;
    }
    name = platform::MapWindowsPath(stored);
    if (!platform::fileExists(name) && !platform::dirExists(name)) {
      w_.messageDoing_("Failure: the shortcut's target " + stored + " is not here (" + name + ")");
      return kResultFailed;
    }
    ext = lowerExt(name);
  }
  if (isDownloaded(name)) {
    w_.messageDoing_("Loading Now " + name);
    std::string dir = w_.getTempDir();
    if (dir.empty()) dir = platform::tempDir();
    if (platform::lastSeparator(dir) != dir.size() - 1) dir += '/';
    const std::string local = dir + URLToLocalFileName(name);
    std::string why;
    if (!platform::downloadToFile(name, local, &why)) {
      w_.addLogTS("Failure: download " + name + ": " + why);
      return kResultFailed;
    }
    name = local;
  } else if (platform::dirExists(name)) {
    return openFolder(name);
  }
  // One line per kind; a name without an extension tries the document kinds in turn.
  using Opener = int (DocumentSession::*)(const std::string&);
  static const struct {
    const char* ext;
    Opener open;
  } kKinds[] = {
      {".z", &DocumentSession::openZ},           {".maz", &DocumentSession::openArchive},
      {".mxa", &DocumentSession::openDocument},  {".mxh", &DocumentSession::openNotebook},
      {".mhz", &DocumentSession::openNotebook},  {"", &DocumentSession::openWithoutExtension},
  };
  for (const auto& kind : kKinds)
    if (ext == kind.ext) return (this->*kind.open)(name);
  return openOtherFile(name);
}

bool DocumentSession::isDownloaded(const std::string& name) {
  const std::string head = sjis::lower(name.substr(0, 6));
  return head == "http:/" || head == "https:";
}

int DocumentSession::openAtStartup(const std::string& name) {
  startup_ = true;
  const int r = open_(name);
  startup_ = false;
  return r;
}

int DocumentSession::openZ(const std::string& name) {
  if (DecompressZFile(name) != 0) {
    prompter().messageBox("SYSTEM ERROR: _open_ ", "", Buttons::OK, BoxKind::Confirmation);
    return kResultFailed;
  }
  return open_(DecompressedZName(name));
}

int DocumentSession::openArchive(const std::string& name) { return decompressMemoFile(name); }

int DocumentSession::openDocument(const std::string& name) {
  MemoFileUI* f = file();
  if (!f || f->getFileName_() == "noname.mxa" || isStartupDocument()) return openMemoFile(name);
  // Another document is open: it stays, and the new one gets a window of its own.
  const std::string full = platform::resolvePath(platform::toSlashes(name));
  if (!platform::launcher().start(programPath(), full)) {
    w_.messageDoing_("Failure: could not start " + programPath() + " for " + full);
    return kResultFailed;
  }
  w_.messageDoing_("Open " + full + " in a new window");
  return 0;
}

int DocumentSession::openNotebook(const std::string& name) { return openHolder(name) ? 0 : kResultFailed; }

int DocumentSession::openWithoutExtension(const std::string& name) {
  if (platform::fileExists(name + ".mxa")) return openMemoFile(name + ".mxa");
  if (platform::fileExists(name + ".maz")) return decompressMemoFile(name + ".maz");
  if (platform::fileExists(name + ".mxh")) return openNotebook(name + ".mxh");
  return kResultFailed;
}

// Another file becomes a note of its text; a folder a URL note.
int DocumentSession::openOtherFile(const std::string& name) {
  std::string lost;
  if (!newMemoNodeKind(w_, name, NoteKind::Text, &lost)) return kResultFailed;
  // The log alone is not seen: a "?" in the note is explained where the user looks,
  // and no "Done" of the open hides it.
  if (!lost.empty()) {
    damageStatus_ = lost;
    w_.messageDoing_(lost);
  }
  return 0;
}

int DocumentSession::openFolder(const std::string& name) {
  return newMemoNodeKind(w_, name, NoteKind::URL) ? 1 : kResultFailed;
}

int DocumentSession::openAfterSaveQuestion(const std::string& name) {
  saveQuestionAsked_ = true;
  damageStatus_.clear();
  const int r = open_(name);
  saveQuestionAsked_ = false;
  return r;
}

int DocumentSession::UIOpenMemoFile() {
  if (w_.isDoing_()) return kResultOpenRefused;
  // The start-up's own new document holds nothing to ask about.
  if (!isStartupDocument() && querySaveAll() < 0) return kResultOpenRefused;
  std::string name = "new.mxa";
  if (!prompter().openFileName("", kDocumentFilter, name)) return 0;
  const int r = openAfterSaveQuestion(name);
  if (!damageStatus_.empty())
    w_.messageDoing_(damageStatus_);
  else if (r < 0)
    w_.messageDoing_("Can not load \"" + name + "\".");
  return r;
}

int DocumentSession::UIOpenURL() {
  if (w_.isDoing_() || (!isStartupDocument() && querySaveAll() < 0)) return kResultFailed;
  std::string name;
  if (!prompter().inputBox("", "", name) || name.empty()) {
    w_.messageDoing_("Cancel: UIOpenURL");
    return kResultFailed;
  }
  const int r = openAfterSaveQuestion(name);
  if (!damageStatus_.empty()) {
    w_.messageDoing_(damageStatus_);
    return r < 0 ? kResultFailed : 0;
  }
  if (r >= 0) {
    w_.messageDoing_("Done: UIOpenURL " + name);
    return 0;
  }
  const std::string message = "Can not load \"" + name + "\".";
  prompter().messageBox(message, "", Buttons::OK, BoxKind::Confirmation);
  w_.messageDoing_(message);
  return kResultFailed;
}

// ---- reading a document ---------------------------------------------------------------

bool DocumentSession::anythingModified() {
  MemoFileUI* f = file();
  if (!f) return false;
  bool modified = f->modified;
  for (int i = 0, n = f->getHolderCount_(); i < n && !modified; ++i) modified = f->getHolder_(i)->modified;
  return modified;
}

int DocumentSession::openMemoFile(const std::string& name, const std::string& unpackedDir) {
  MemoFileUI* f = file();
  if (!f) return kResultNoDocument;
  if (sjis::lower(f->getFileName_()) == sjis::lower(name)) {
    const std::string question = name + sj(" は既に読み込まれています。再読み込みするなら OK を押してください");
    if (prompter().messageBox(question, question, Buttons::OKCancel) != Answer::OK) return 0;
  }
  // A file that is there but cannot be read is reported by the reader, not passed over.
  if (platform::fileMissing(name)) return 0;
  if (lowerExt(name) != ".mxa" &&
      prompter().messageBox(sj("拡張子が .mxa でないが、読み込んでいいのか？"), "", Buttons::YesNo) != Answer::Yes)
    return 0;
  // A drop or a script replaces the document without the File menu's save question:
  // unsaved work is asked about here, once.
  if (!saveQuestionAsked_ && !isStartupDocument() && anythingModified() && querySaveAll() < 0)
    return kResultOpenRefused;
  startupDocument_.reset();
  damageStatus_.clear();
  w_.messageDoing_("Now Loading " + name);
  const int read = readMemoFile(name);
  if (!unpackedDir.empty()) UseUnpackedNotebooks(*f, unpackedDir);
  MemoHolderUI* holder = f->getCurrentHolder_();
  if (!holder && f->getHolderCount_() > 0) {
    holder = static_cast<MemoHolderUI*>(f->getHolder_(0));
    f->modified = true;
  }
  w_.setCurrentNode(nullptr);
  w_._changeCurrentHolder_(holder);
  if (holder) w_.messageDoing_(holder->name());
  if (!damageStatus_.empty()) w_.messageDoing_(damageStatus_);
  // A file that was not read is not reported opened.
  return read < 0 ? kResultFailed : 0;
}

void DocumentSession::tooShort(const std::string& message, const std::string& name) {
  w_.messageDoing_(message);
  w_.addLog_(message);
  w_.newMemoFile();
  file()->putFileName_(name);
  w_.updateCaption();
}

int DocumentSession::readMemoFile(const std::string& name) {
  MemoFileUI* f = file();
  if (!f) return kResultNoDocument;
  std::string text, why;
  const std::string mode = fileLock_ ? " FlagFileLock=true" : " FlagFileLock=false";
  bool ok;
  if (fileLock_) {
    ok = lock_.open(name, &why) && lock_.readAll(text, &why);
    if (!ok) lock_.release();
  } else {
    lock_.release();
    ok = platform::readFile(name, text, &why);
  }
  if (!ok) {
    const std::string message = "Could Not Open " + name + mode;
    w_.addLog_(message);
    if (!why.empty()) w_.addLog_(why);
    prompter().messageBox(message, "", Buttons::OK);
    w_.newMemoFile();
    w_.updateCaption();
    return kResultFailed;
  }
  w_.addLog_("open " + name + mode);
  if (text.size() < 100) {
    tooShort("Too Short Size: " + name + "\r\n" + text, name);
    return kResultFailed;
  }
  StringList words;
  TextToWordList(text, words, false);
  if (words.count() <= 4) {
    tooShort("Too Short Word: " + name + "\r\n" + text, name);
    return kResultFailed;
  }
  w_.clearMemoFile();
  StringList messages;
  const int read = ReadDocumentFile(*f, name, messages);
  keepParsed(name, messages);
  if (read != 0) {
    if (messages.indexOf("No File element found.") >= 0) {
      const std::string message = "BAT File: not found <File> " + name;
      w_.messageDoing_(message);
      w_.addLog_(message);
      w_.showFormLog();
    } else {
      // Damaged: nothing of it is kept in the document, and the document is not named
      // after it, so no save can replace what is left of the file.
      w_.addLog_("**** BAT MXA File ****");
      w_.addLogStrings(messages);
      w_.addLog_("******** MXA File ****");
      StringList fileLines;
      fileLines.setText(text);
      w_.addLogStrings(fileLines);
      w_.addLog_("**********************");
      lock_.release();
      w_.newMemoFile();
      w_.showFormLog();
      w_.updateCaption();
      reportDamaged(name, messages, 0);
      return kResultFailed;
    }
  }
  if (f->getHolderCount_() == 0) {
    MemoHolderUI* holder = w_.newHolder_(-1);
    if (holder) holder->putCurrentNode_(holder->createNewNode_());
  }
  f->putFileName_(name);
  f->modified = false;
  w_.updateCaption();
  return 0;
}

int DocumentSession::decompressMemoFile(const std::string& name) {
  if (!platform::fileExists(name)) return 0;
  w_.messageDoing_("Decompress " + name);
  std::vector<std::string> written;
  StringList messages;
  // A file changed since the archive was made (a note edited and saved after the last
  // open) is worth more than the archive's copy: Enter keeps it.
  const OverwriteQuestion overwrite = [&name](const std::string& path) {
    if (platform::modifiedLater(path, name))
      return prompter().messageBox(path + " is newer than the archive. Overwrite it with the archive's older copy?",
                                   "", Buttons::OKCancel, Answer::Cancel) == Answer::OK;
    return prompter().messageBox("Overwrite OK? " + path, "", Buttons::OKCancel) == Answer::OK;
  };
  std::string first;
  const auto onPart = [&](const std::string& target) {
    if (first.empty()) first = target;
    w_.messageDoing_("Save " + target);
  };
  const int n = UnpackArchive(name, "", written, messages, overwrite, onPart);
  w_.addLogStrings(messages);
  if (n < 0) {
    w_.messageDoing_("Failure: Decompress " + name);
    return kResultFailed;
  }
  // The document is the first part, named by the archive whatever the archive itself is
  // called now; when the user kept an existing copy of it, that copy is opened.
  std::string document = lowerExt(first) == ".mxa" ? first : platform::changeExt(name, ".mxa");
  if (!platform::fileExists(document)) {
    w_.messageDoing_("Failure: no document in " + name);
    return kResultFailed;
  }
  return openMemoFile(document, platform::dirOf(name));
}

// ---- notebooks ------------------------------------------------------------------------

MemoHolderUI* DocumentSession::openHolder(const std::string& name) {
  if (!startup_ && w_.isDoing_()) return nullptr;
  MemoHolderUI* holder = nullptr;
  damageStatus_.clear();
  {
    BusyScope busy(w_, "Open Holder " + name);
    holder = openHolderFile(name);
    if (!damageStatus_.empty()) busy.finish(damageStatus_);
  }
  if (holder) {
    file()->modified = true;
    // A reloaded notebook that is on screen is shown again.
    if (holder == w_.getCurrentHolder())
      w_._changeCurrentHolder_(holder);
    else
      w_.changeCurrentHolder(holder);
  }
  if (!damageStatus_.empty()) w_.messageDoing_(damageStatus_);
  return holder;
}

MemoHolderUI* DocumentSession::openHolderFile(const std::string& name) {
  MemoFileUI* f = file();
  if (!f) return nullptr;
  const std::string base = platform::changeExt(platform::fileNameOf(name), "");
  std::string actual;
  // Notebook names are told apart without regard to case.
  const int clash = f->holders()->children().indexOf(base);
  if (auto* existing = clash < 0 ? nullptr : static_cast<MemoHolderUI*>(f->getHolder_(clash))) {
    const std::string question = name + "\r\nStill opened. \"" + sjis::upper(base) +
                                 "\"\r\nCould I Reload ?(=Yes) / Open OtherName(=No) or (CANCEL) ";
    switch (prompter().messageBox(question, "", Buttons::YesNoCancel)) {
      case Answer::Yes:
        // Every way of opening the file again ends here: what was typed is not dropped
        // unasked.
        if (!mayDiscardChanges(*existing)) return nullptr;
        emptyHolder(*existing);
        return loadHolderAs(*existing, name);
      case Answer::No: {
        auto* added = static_cast<MemoHolderUI*>(f->addNewHolder_(-1));
        if (!added) return nullptr;
        added->putName_(base, actual);
        added->loaded = false;
        loadHolderAs(*added, name);
        added->modified = true;
        return added;
      }
      default: return nullptr;
    }
  }
  // Made without its view: the view is built from the notes once they are read.
  auto* added = static_cast<MemoHolderUI*>(f->addNewHolder_(-1));
  if (!added) return nullptr;
  added->putName_(base, actual);
  added->loaded = true;
  return loadHolderAs(*added, name);
}

MemoHolderUI* DocumentSession::loadHolderAs(MemoHolderUI& holder, const std::string& name) {
  MemoFileUI* f = file();
  const std::string full = platform::resolvePath(platform::toSlashes(name));
  StringList messages;
  const int read = ReadHolderFile(holder, full, messages);
  keepParsed(full, messages);
  if (read != 0) {
    w_.addLogStrings(messages);
    w_.messageDoing_("Failure: loadHolder " + full);
    if (read == -1) reportDamaged(full, messages, holder.getNodeCount_());
  }
  // A notebook from another folder is kept where it is and opens read-only.
  if (f && FolderKey(full) != sjis::lower(f->getFileDir_())) {
    holder.putField_("FlagAbsolutePath", kTrue);
    holder.putField_("FlagReadOnly", kTrue);
    holder.putFlagExtra_(true);
  } else {
    holder.putField_("FlagAbsolutePath", kFalse);
  }
  holder.putField_("Filename", QuoteValue(full));
  const std::string ext = lowerExt(full);
  if (ext == ".mhz" || ext == ".mxh") holder.putField_("FileExt", QuoteValue(ext));
  holder.loaded = true;
  if (f) f->modified = true;
  return &holder;
}

int DocumentSession::loadHolderFile(MemoHolderUI& holder) {
  StringList messages;
  const int read = LoadHolder(holder, messages);
  keepParsed(holder.getFileName_(), messages);
  if (read != -1) return 0;
  w_.addLogStrings(messages);
  w_.messageDoing_("Failure: loadHolder " + holder.getFileName_());
  reportDamaged(holder.getFileName_(), messages, holder.getNodeCount_());
  return kResultFailed;
}

bool DocumentSession::mayDiscardChanges(MemoHolderUI& holder) {
  w_.UI2Model();
  return !holder.modified ||
         prompter().messageBox(holder.getFileName_() + " has unsaved changes; Reload discards them. Reload anyway?",
                               "", Buttons::OKCancel, Answer::Cancel) == Answer::OK;
}

void DocumentSession::emptyHolder(MemoHolderUI& holder) {
  holder.closeNodeWindows_();
  if (MemoNodeUI* shown = w_.getCurrentNode(); shown && shown->getParentHolder_() == &holder)
    w_.setCurrentNode(nullptr);
  if (TFrameMemoHolder* frame = w_.getHolderFrame()) {
    TFrameMemoNode* editor = frame->FrameMemoNode1();
    if (editor && editor->node() && editor->node()->getParentHolder_() == &holder) editor->setNode(nullptr);
  }
  holder.hideView_();
  holder.clear_();
}

void DocumentSession::reportDamaged(const std::string& file, const StringList& messages, int notesRead) {
  // The reader names the line where it knows it.
  std::string line;
  for (int i = 0; i < messages.count() && line.empty(); ++i) {
    const std::size_t at = messages[i].find(" at line ");
    if (at == std::string::npos) continue;
    std::size_t end = at + 9;
    while (end < messages[i].size() && messages[i][end] >= '0' && messages[i][end] <= '9') ++end;
    line = messages[i].substr(at + 9, end - at - 9);
  }
  const std::string where = line.empty() ? std::string() : " at line " + line;
  const std::string read = std::to_string(notesRead) + (notesRead == 1 ? " note" : " notes") + " read";
  damageStatus_ = std::string(notesRead > 0 ? "Warning: " : "Failure: ") + file + " could not be read whole" +
                  where + "; " + read;
  w_.addLogTS(damageStatus_);
  std::string text = "The file " + file + " could not be read whole" + where + ".\r\n" + read + ".";
  if (messages.count() > 0) text += "\r\n" + messages[messages.count() - 1];
  prompter().messageBox(text, "", Buttons::OK);
  w_.messageDoing_(damageStatus_);
}

void DocumentSession::loadHolders_() {
  MemoFileUI* f = file();
  for (int i = 0, n = f ? f->getHolderCount_() : 0; i < n; ++i) {
    auto* h = static_cast<MemoHolderUI*>(f->getHolder_(i));
    if (!h || h->loaded) continue;
    const std::string name = h->getFileName_();
    if (platform::fileMissing(name)) {
      w_.addLog_("Not Found Holder: " + name);
      h->loaded = true;
    } else if (loadHolderFile(*h) == 0) {
      h->loaded = true;
    }
    // A file that could not be read stays as the reader left it: an archive made now
    // names it as left out instead of carrying it empty.
  }
}

void DocumentSession::keepParsed(const std::string& path, const StringList& messages) {
  lastParsedFile_ = path;
  lastParsedMessages_ = messages;
}

std::string DocumentSession::lastParsedText() const {
  std::string data;
  if (lastParsedFile_.empty() || !platform::readFile(lastParsedFile_, data)) return std::string();
  // A compressed notebook is shown as the text it holds.
  std::string text;
  if (!data.empty() && data[0] == 0x78 && ZInflateChecked(data, text) == ZStatus::Ok) return text;
  return data;
}

// ---- new and save ---------------------------------------------------------------------

int DocumentSession::UINewFile() {
  if (w_.isDoing_() || querySaveAll() < 0) return kResultFailed;
  startupDocument_.reset();
  lock_.release();
  w_.newMemoFile();
  return 0;
}

int DocumentSession::UISaveFileWithMSG() {
  if (w_.isDoing_() || !w_.getCurrentNode()) return kResultFailed;
  w_.UI2Model();
  const std::string question = "Could I save the file named \"" + fullName(file()->getFileName_()) + "\" ?";
  if (prompter().messageBox(question, "", Buttons::YesCancel) != Answer::Yes) {
    w_.messageDoing_("Cancel: UISaveFileWithMSG");
    return kResultFailed;
  }
  return saveMemoFile();
}

int DocumentSession::UISaveFileWithoutMSG() {
  if (w_.isDoing_() || !w_.getCurrentNode()) return kResultFailed;
  w_.UI2Model();
  return saveMemoFile();
}

int DocumentSession::saveFileAndAllHolders() {
  if (w_.isDoing_()) return kResultFailed;
  // Each step runs whatever the other did; the status tells every step that failed, so
  // that the notebooks' "Done" never hides a document that was not written.
  std::string documentWhy, holdersWhy;
  int document = kResultFailed;
  if (w_.getCurrentNode()) {
    w_.UI2Model();
    document = saveMemoFile(&documentWhy);
  }
  const int holders = saveAllHolders(&holdersWhy);
  if (document >= 0) return holders;
  if (!documentWhy.empty() || !holdersWhy.empty()) {
    std::string status = "Failure: " + documentWhy;
    if (!holdersWhy.empty()) status += (documentWhy.empty() ? "" : "; ") + std::string("Save All Holders: ") + holdersWhy;
    w_.messageDoing_(status);
  }
  return document;
}

bool DocumentSession::confirmForeignOverwrite(const std::string& path) {
  return prompter().messageBox(ForeignFileText(path) + "\r\nSave the notebook over it?", "", Buttons::YesNo,
                               Answer::No) == Answer::Yes;
}

std::string DocumentSession::fullName(const std::string& name) { return platform::resolvePath(name); }

bool DocumentSession::confirmDamagedOverwrite(const std::string& path) {
  return prompter().messageBox("The notebook file " + path +
                                   " could not be read whole when it was opened. Saving now replaces it with "
                                   "only the notes shown. Save over it?",
                               "", Buttons::YesNo, Answer::No) == Answer::Yes;
}

long long DocumentSession::writeDocument(const std::string& name, std::string& why) {
  MemoFileUI& f = *file();
  if (lowerExt(name) == ".maz") {
    std::vector<std::string> leftOut;
    const long long n = f.saveMAZ_(name, &leftOut, &why);
    if (n >= 0 && !leftOut.empty()) {
      // Written, but without the notebooks named: the user must know before relying on it.
      w_.addLog_(why);
      prompter().messageBox(why, "", Buttons::OK);
    }
    return n;
  }
  const bool throughLock = lock_.isOpen() && platform::resolvePath(lock_.path()) == platform::resolvePath(name);
  if (!throughLock) return f.saveToFile_(name, &why);
  if (!f.checkHolderFileNames_(why)) return -1;
  StringList lines;
  f.saveToTSL_(lines);
  const std::string text = lines.text();
  if (!lock_.rewrite(text, &why)) return -1;
  return static_cast<long long>(text.size());
}

int DocumentSession::saveMemoFile(std::string* failure) {
  MemoFileUI* f = file();
  if (!f) return kResultFailed;
  const std::string name = f->getFileName_();
  const std::string dir = platform::dirOf(name);
  // An empty folder part is the current folder, which exists.
  if (!dir.empty() && !platform::dirExists(dir)) {
    if (prompter().messageBox("Make Directory ?  \"" + dir + "\"", "", Buttons::YesCancel) != Answer::Yes) {
      if (failure) *failure = "the folder " + dir + " was not made; " + name + " is not saved";
      return kResultFailed;
    }
    if (!platform::makeDirs(dir)) {
      if (failure) *failure = "Make Directory " + dir;
      w_.messageDoing_("Failure: Make Directory " + dir);
      return kResultFailed;
    }
  }
  BusyScope busy(w_, "Save MemoFile(.mxa) " + name);
  std::string why;
  const long long n = writeDocument(name, why);
  if (n < 0) {
    if (failure) *failure = why;
    w_.addLogTS("Failure: " + why);
    busy.finish("Failure: " + why);
    return kResultFailed;
  }
  f->modified = false;
  busy.finish("Done: Save MemoFole Size=" + std::to_string(n) + "bytes  " + name);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int DocumentSession::saveAsMemoFile_(const std::string& ext) {
  MemoFileUI* f = file();
  if (w_.isDoing_() || !w_.getCurrentNode() || !f) return kResultFailed;
  w_.UI2Model();
  const std::string oldName = f->getFileName_();
  std::string name = platform::changeExt(oldName, ext);
  if (!prompter().saveFileName("", kDocumentFilter, name)) return kResultFailed;
  const bool moved = FolderKey(name) != FolderKey(oldName);
  const bool packed = lowerExt(name) == ".maz";
  // Read while the notebooks are still looked for where they are.
  loadHolders_();
  if (lock_.isOpen() || fileLock_) {
    fileLock_ = false;
    lock_.release();
    w_.addLog_("FlagFileLock=false in TFormMainScript.saveAsMemoFile_");
  }
  BusyScope busy(w_, "Save As MemoFile");
  std::string why;
  long long n = -1;
  if (moved && !packed) {
    // The document moves with the notebooks of its folder, so it names no missing file.
    SaveReport report;
    if (SaveDocumentAndHolders(*f, name, false, report, &DocumentSession::confirmForeignOverwrite)) {
      name = f->getFileName_();
      std::string written;
      n = platform::readFile(name, written) ? static_cast<long long>(written.size()) : 0;
    } else {
      w_.addLogStrings(report.messages);
      why = report.messages.count() ? report.messages[0] : name;
    }
  } else {
    // An archive carries every notebook; the next notebook save writes them beside it.
    if (moved)
      for (int i = 0; i < f->getHolderCount_(); ++i) f->getHolder_(i)->modified = true;
    f->putFileName_(name);
    name = f->getFileName_();
    n = writeDocument(name, why);
  }
  if (n < 0) {
    f->putFileName_(oldName);  // the document still lives where it was written last
    w_.updateCaption();
    w_.addLogTS("Failure: " + why);
    busy.finish("Failure: " + why);
    return kResultFailed;
  }
  f->modified = false;
  w_.updateCaption();
  busy.finish("Done: Save As MemoFile Size=" + std::to_string(n) + "bytes  " + name);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int DocumentSession::UISaveAllHolders() { return saveAllHolders(nullptr); }

int DocumentSession::saveAllHolders(std::string* failure) {
  if (w_.isDoing_()) return kResultFailed;
  BusyScope busy(w_, "Save All Holders");
  w_.UI2Model();
  std::string unsaved;
  // Asked here, where the user saves; the auto-save asks nothing and leaves such a file.
  if (!saveModifiedHolders(&unsaved, &DocumentSession::confirmForeignOverwrite)) {
    if (failure) *failure = unsaved;
    busy.finish("Failure: Save All Holders: " + unsaved);
    return kResultFailed;
  }
  return 0;
}

bool DocumentSession::saveModifiedHolders(std::string* unsaved, const MemoHolder::ConfirmOverwrite& confirmForeign) {
  MemoFileUI* f = file();
  if (!f) return true;
  StringList failed;
  f->saveHolders_(false, &failed, confirmForeign);
  for (int i = 0; i < failed.count(); ++i) {
    w_.addLogTS("Failure: " + failed[i]);
    if (!unsaved) continue;
    // The status line names each file left as it was, so the user knows which one to see to.
    auto* h = failed.objectAs<MemoHolder>(i);
    const std::string said =
        h && h->loadFailed ? h->getFileName_() + " could not be read whole, not saved" : failed[i];
    *unsaved += (unsaved->empty() ? "" : "; ") + said;
  }
  return failed.count() == 0;
}

// ---- the save question ----------------------------------------------------------------

int DocumentSession::querySaveAll() {
  MemoFileUI* f = file();
  if (!f) return 0;
  // Busy: only an operation itself asks here (the start-up's opening of a file); a close
  // never comes here while one runs.
  if (w_.isDoing_()) return 0;
  w_.UI2ModelAll();
  bool failed = false;
  auto ask = [&](const std::string& question) {
    if (yesToAll_) return Answer::Yes;
    const Answer a = prompter().messageBox(question, "", Buttons::YesNoCancelAll);
    if (a == Answer::YesToAll) yesToAll_ = true;
    return a;
  };
  if (f->modified) {
    const Answer a = ask("Shall I Save a MemoFile named as \r\n" + fullName(f->getFileName_()));
    if (a == Answer::Cancel) return kResultFailed;
    if (a == Answer::Yes || a == Answer::YesToAll) {
      std::string why;
      const std::string name = f->getFileName_();
      if (writeDocument(name, why) < 0) {
        failed = true;
        w_.addLogTS("Failure: " + why);
        w_.messageDoing_("Failure: " + why);
      } else {
        f->modified = false;
      }
    }
  }
  for (int i = 0; i < f->getHolderCount_(); ++i) {
    auto* h = static_cast<MemoHolderUI*>(f->getHolder_(i));
    if (!h || !h->modified) continue;
    const Answer a = ask("Sould I Save a MemoHolder named as \"\r\n" + fullName(h->getFileName_()) + "\" ?");
    if (a == Answer::Cancel) return kResultFailed;
    if (a != Answer::Yes && a != Answer::YesToAll) continue;
    if (!h->loaded) w_.loadHolder(h);
    std::string why;
    // No to the question about another document's file skips the notebook, as No to the
    // save question does; yes-to-all never answers it.
    bool declined = false;
    const auto foreign = [&declined](const std::string& path) {
      declined = !confirmForeignOverwrite(path);
      return !declined;
    };
    if (h->saveToFile_(h->getFileName_(), &why, &DocumentSession::confirmDamagedOverwrite, foreign) < 0) {
      w_.addLogTS((declined ? "Skipped: " : "Failure: ") + why);
      w_.messageDoing_((declined ? "Skipped: " : "Failure: ") + why);
      failed = failed || !declined;
    } else {
      h->modified = false;
    }
  }
  // A save that failed keeps the window (and the work) here; asking again tries again.
  return failed ? kResultFailed : 0;
}

// ---- the new document of the start-up --------------------------------------------------

namespace {

std::string fieldsOf(const MemoBasic& rec) { return rec.fieldList() ? rec.fieldList()->text() : std::string(); }

bool blank(const StringList& lines) {
  for (const auto& l : lines)
    if (!sjis::trim(l.text).empty()) return false;
  return true;
}

}  // namespace

void DocumentSession::rememberStartupDocument() {
  startupDocument_.reset();
  MemoFileUI* f = file();
  if (!f || f->getHolderCount_() != 1) return;
  MemoHolder* h = f->getHolder_(0);
  if (!h || h->getNodeCount_() != 1) return;
  MemoNode* n = h->getNode_(0);
  startupDocument_ = StartupDocument{h, h->name(), fieldsOf(*h), n, n->name(), fieldsOf(*n), f->getFileName_()};
}

// Judged by what the document holds, not by the modified flags, which start-up and a
// mere click set.
bool DocumentSession::isStartupDocument() {
  if (!startupDocument_) return false;
  MemoFileUI* f = file();
  if (!f) return false;
  // What is typed but not yet committed counts as well.
  w_.UI2Model();
  if (f->getHolderCount_() != 1 || !blank(f->body()) || f->getFileName_() != startupDocument_->fileName)
    return false;
  MemoHolder* h = f->getHolder_(0);
  if (h != startupDocument_->holder || h->name() != startupDocument_->holderName || !blank(h->body()) ||
      fieldsOf(*h) != startupDocument_->holderFields || h->getNodeCount_() != 1)
    return false;
  MemoNode* n = h->getNode_(0);
  if (n != startupDocument_->node || n->name() != startupDocument_->nodeName ||
      fieldsOf(*n) != startupDocument_->nodeFields || n->content())
    return false;
  return blank(n->body()) && (!n->comment() || blank(*n->comment()));
}

// ---- the search-keyword history -------------------------------------------------------

void DocumentSession::addSearchKeyword_(const std::string& keyword) {
  const int i = keywords_.indexOf(keyword);
  if (i >= 0) keywords_.erase(i);
  keywords_.insert(0, keyword);
}

std::string DocumentSession::programPath() const {
  if (!programPath_.empty()) return programPath_;
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? platform::fromOsName(std::string(buf, static_cast<std::size_t>(n))) : std::string("wux");
}

void registerDocumentSessionCommands(CommandTable& table, DocumentSession& s) {
  table.add("UIOpenMemoFile", [&s] { return s.UIOpenMemoFile(); });
  table.add("UIOpenURL", [&s] { return s.UIOpenURL(); });
  table.add("UINewFile", [&s] { return s.UINewFile(); });
  table.add("UISaveFileWithMSG", [&s] { return s.UISaveFileWithMSG(); });
  table.add("UISaveFileWithoutMSG", [&s] { return s.UISaveFileWithoutMSG(); });
  table.add("UISaveAsMXA", [&s] { return s.saveAsMemoFile_(".mxa"); });
  table.add("UISaveAsMAZ", [&s] { return s.saveAsMemoFile_(".maz"); });
  table.add("UISaveAllHolders", [&s] { return s.UISaveAllHolders(); });
  table.add("SaveFileAndAllHolders", [&s] { return s.saveFileAndAllHolders(); });
}

}  // namespace wux

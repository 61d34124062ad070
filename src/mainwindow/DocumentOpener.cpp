// Opening: the dispatcher that chooses by a name's kind, reading a document file and
// unpacking an archive.
#include "mainwindow/DocumentSession.h"

#include <vector>

#include "mainwindow/DocumentFiles.h"
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
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {

using documentfiles::lowerExt;

using documentfiles::kDocumentFilter;

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
    // Only a target that is not there is "not here"; one that cannot be read says why
    // when it is opened.
    if (platform::fileMissing(name)) {
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
  if (std::string why; !platform::launcher().start(programPath(), full, &why)) {
    w_.messageDoing_("Failure: could not start " + programPath() + " for " + full + (why.empty() ? "" : ": " + why));
    return kResultFailed;
  }
  w_.messageDoing_("Open " + full + " in a new window");
  return 0;
}

int DocumentSession::openNotebook(const std::string& name) { return openHolder(name) ? 0 : kResultFailed; }

int DocumentSession::openWithoutExtension(const std::string& name) {
  // A name that is there but is no file is opened all the same, so that the user reads
  // why it cannot be, rather than nothing.
  if (!platform::fileMissing(name + ".mxa")) return openMemoFile(name + ".mxa");
  if (!platform::fileMissing(name + ".maz")) return decompressMemoFile(name + ".maz");
  if (!platform::fileMissing(name + ".mxh")) return openNotebook(name + ".mxh");
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
  // What is typed and not yet committed, in any editor, is unsaved work as well.
  w_.UI2ModelAll();
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
  // The text read above, once: the lock's copy is what the file holds.
  const int read = ReadDocumentText(*f, name, text, messages);
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
  if (platform::fileMissing(name)) return 0;
  // There, but nothing an archive can be read from: said, never taken for opened. A pipe
  // is not read, which would wait for a writer.
  if (!platform::fileExists(name)) {
    const std::string why = platform::dirExists(name) ? "it is a folder"
                                                      : "it is not a regular file, or it cannot be reached";
    w_.addLogTS("Failure: Decompress " + name + ": " + why);
    w_.messageDoing_("Failure: Decompress " + name + ": " + why);
    return kResultFailed;
  }
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

}  // namespace wux

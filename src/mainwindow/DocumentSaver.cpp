// Saving: the new document, the save and save-as commands, the notebooks' saves and the
// question before the document is closed or replaced.
#include "mainwindow/DocumentSession.h"

#include <climits>
#include <vector>

#include "mainwindow/DocumentFiles.h"
#include "model/Prompter.h"
#include "model/records/RecordFiles.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {

using documentfiles::lowerExt;

using documentfiles::kDocumentFilter;

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

}  // namespace wux

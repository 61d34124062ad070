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
  w_.UI2ModelAll();
  const std::string question = "Could I save the file named \"" + fullName(file()->getFileName_()) + "\" ?";
  if (prompter().messageBox(question, "", Buttons::YesCancel) != Answer::Yes) {
    w_.messageDoing_("Cancel: UISaveFileWithMSG");
    return kResultFailed;
  }
  return saveMemoFile();
}

int DocumentSession::UISaveFileWithoutMSG() {
  if (w_.isDoing_() || !w_.getCurrentNode()) return kResultFailed;
  w_.UI2ModelAll();
  return saveMemoFile();
}

int DocumentSession::saveFileAndAllHolders() {
  w_.UI2ModelAll();
  // Every notebook's questions are settled before the document file is written: it must
  // name the file each notebook ends up in, and a cancel writes nothing at all.
  std::vector<HolderSave> saves;
  std::string holdersWhy;
  {
    BusyScope busy(w_, "Save All Holders");
    if (const HolderSave* cancelled = saveModifiedAsking(saves, holdersWhy)) {
      busy.finish("Cancel: " + cancelled->why + "; " + fullName(file()->getFileName_()) + " is not written either");
      return kResultFailed;
    }
  }
  // Each step runs whatever the other did; the status tells every step that failed, so
  // that the notebooks' "Done" never hides a document that was not written.
  std::string documentWhy;
  const int document = w_.getCurrentNode() ? saveMemoFile(&documentWhy) : kResultFailed;
  if (document >= 0) {
    w_.messageDoing_(holdersWhy.empty() ? "Done: Save All Holders" : "Failure: Save All Holders: " + holdersWhy);
    return holdersWhy.empty() ? 0 : kResultFailed;
  }
  if (!documentWhy.empty() || !holdersWhy.empty()) {
    std::string status = "Failure: " + documentWhy;
    if (!holdersWhy.empty()) status += (documentWhy.empty() ? "" : "; ") + std::string("Save All Holders: ") + holdersWhy;
    w_.messageDoing_(status);
  }
  return document;
}

std::string DocumentSession::fullName(const std::string& name) { return platform::resolvePath(name); }

namespace {

const char* const kHolderFilter = "Holder(*.mxh)|*.mxh|compress Holder(*.mhz)|*.mhz|ALL files (*.*)|*.*";

// A name in the folder of `taken` that neither a file nor a notebook of the document has:
// "new_01.mxh", "new_02.mxh", ...
std::string freeNameBeside(MemoHolder& holder, const std::string& taken) {
  const std::string dir = platform::dirOf(taken);
  const std::string stem = platform::changeExt(platform::fileNameOf(taken), "");
  const std::string ext = platform::extOf(taken);
  MemoFile* doc = holder.getParentFile_();
  for (int i = 1; i < 10000; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "_%02d", i);
    const std::string candidate = dir + stem + number + ext;
    if (platform::fileMissing(candidate) && !(doc && doc->holderInFile_(candidate, nullptr)))
      return candidate;
  }
  return dir + stem + "_copy" + ext;
}

}  // namespace

HolderSavePolicy AskingSavePolicy(MainWindowApi& w) {
  HolderSavePolicy policy;
  policy.commit = [&w] { w.UI2ModelAll(); };
  policy.makeDirectory = [](const std::string& dir) {
    return prompter().messageBox("Make Directory ?  \"" + dir + "\"", "", Buttons::YesCancel) == Answer::Yes;
  };
  // Its notes may not all be in memory: Enter keeps the file.
  policy.overDamaged = [](const std::string& path) {
    return prompter().messageBox("The notebook file " + path +
                                     " could not be read whole when it was opened. Saving now replaces it with "
                                     "only the notes shown. Save over it?",
                                 "", Buttons::YesNo, Answer::No) == Answer::Yes;
  };
  // Another document's notebook, as far as this one knows: Enter chooses another file.
  policy.foreign = [&w](MemoHolder& holder, const std::string& path, std::string& elsewhere) {
    const Answer a = prompter().messageBox(
        ForeignFileText(path) + "\r\nSave the notebook over it? (No: choose another file)", "", Buttons::YesNoCancel,
        Answer::No);
    if (a == Answer::Yes) return ForeignAnswer::Overwrite;
    if (a != Answer::No) return ForeignAnswer::Cancel;
    std::string chosen = freeNameBeside(holder, path);
    if (!prompter().saveFileName("", kHolderFilter, chosen)) return ForeignAnswer::Cancel;
    const std::string ext = sjis::lower(platform::extOf(chosen));
    if (ext != ".mxh" && ext != ".mhz") {
      w.messageDoing_("FileExtention is missmatch.  \"" + chosen + "\"");
      return ForeignAnswer::Cancel;
    }
    elsewhere = chosen;
    return ForeignAnswer::Elsewhere;
  };
  return policy;
}

const HolderSave* DocumentSession::saveModifiedAsking(std::vector<HolderSave>& saves, std::string& unsaved) {
  MemoFileUI* f = file();
  if (!f) return nullptr;
  std::vector<MemoHolder*> modified;
  for (int i = 0; i < f->getHolderCount_(); ++i)
    if (MemoHolder* h = f->getHolder_(i); h && h->modified) modified.push_back(h);
  HolderSavePolicy asking = AskingSavePolicy(w_);
  asking.commit = nullptr;  // the caller committed
  saves = SaveHolders(modified, asking);
  if (const HolderSave* cancelled = FirstCancelled(saves)) return cancelled;
  for (const HolderSave& s : saves) {
    if (s.state == HolderSave::State::Saved) continue;
    w_.addLogTS("Failure: " + s.why);
    const std::string said =
        s.holder->loadFailed ? s.holder->getFileName_() + " could not be read whole, not saved" : s.why;
    unsaved += (unsaved.empty() ? "" : "; ") + said;
  }
  return nullptr;
}

long long DocumentSession::writeDocument(const std::string& name, std::string& why) {
  // The one place a save of the document clears its modified flag: only once written.
  const long long n = writeDocumentFile(name, why);
  if (n >= 0) file()->modified = false;
  return n;
}

long long DocumentSession::writeDocumentFile(const std::string& name, std::string& why) {
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
  busy.finish("Done: Save MemoFole Size=" + std::to_string(n) + "bytes  " + name);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int DocumentSession::saveAsMemoFile_(const std::string& ext) {
  MemoFileUI* f = file();
  if (w_.isDoing_() || !w_.getCurrentNode() || !f) return kResultFailed;
  w_.UI2ModelAll();
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
  std::vector<LinkRebase> rebased;
  if (moved && !packed) {
    // The document moves with the notebooks of its folder, so it names no missing file.
    SaveReport report;
    HolderSavePolicy asking = AskingSavePolicy(w_);
    asking.commit = nullptr;
    if (SaveDocumentAndHolders(*f, name, false, report, asking)) {
      name = f->getFileName_();
      std::string written;
      n = platform::readFile(name, written) ? static_cast<long long>(written.size()) : 0;
    } else {
      w_.addLogStrings(report.messages);
      why = report.messages.count() ? report.messages[0] : name;
    }
  } else {
    // An archive carries every notebook; the next notebook save writes them beside it,
    // where the notebooks of its folder name their linked files from.
    if (moved)
      for (int i = 0; i < f->getHolderCount_(); ++i) {
        MemoHolder* h = f->getHolder_(i);
        h->modified = true;
        if (!h->getFlagExtra_()) rebased.push_back(RebaseRelativeLinks(*h, platform::dirOf(oldName), platform::dirOf(name)));
      }
    f->putFileName_(name);
    name = f->getFileName_();
    n = writeDocument(name, why);
  }
  if (n < 0) {
    for (LinkRebase& r : rebased) r.putBack();
    f->putFileName_(oldName);  // the document still lives where it was written last
    w_.updateCaption();
    w_.addLogTS("Failure: " + why);
    busy.finish("Failure: " + why);
    return kResultFailed;
  }
  w_.updateCaption();
  busy.finish("Done: Save As MemoFile Size=" + std::to_string(n) + "bytes  " + name);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int DocumentSession::UISaveAllHolders() { return saveAllHolders(nullptr); }

int DocumentSession::saveAllHolders(std::string* failure) {
  BusyScope busy(w_, "Save All Holders");
  w_.UI2ModelAll();
  std::vector<HolderSave> saves;
  std::string unsaved;
  if (const HolderSave* cancelled = saveModifiedAsking(saves, unsaved)) {
    busy.finish("Cancel: " + cancelled->why);
    return kResultFailed;
  }
  if (!unsaved.empty()) {
    if (failure) *failure = unsaved;
    busy.finish("Failure: Save All Holders: " + unsaved);
    return kResultFailed;
  }
  return 0;
}

bool DocumentSession::saveModifiedHolders(std::string* unsaved, const HolderSavePolicy& policy) {
  MemoFileUI* f = file();
  if (!f) return true;
  StringList failed;
  f->saveHolders_(false, &failed, policy);
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
  auto ask = [&](const std::string& question) {
    if (yesToAll_) return Answer::Yes;
    const Answer a = prompter().messageBox(question, "", Buttons::YesNoCancelAll);
    if (a == Answer::YesToAll) yesToAll_ = true;
    return a;
  };
  bool saveDocument = false;
  if (f->modified) {
    const Answer a = ask("Shall I Save a MemoFile named as \r\n" + fullName(f->getFileName_()));
    if (a == Answer::Cancel) return kResultFailed;
    saveDocument = a == Answer::Yes || a == Answer::YesToAll;
  }
  // Every question first, the document's file last: it must name the file each notebook
  // ends up in, and a cancel anywhere writes nothing. Yes to all never answers the
  // notebook save's own questions.
  HolderSavePolicy asking = AskingSavePolicy(w_);
  asking.commit = nullptr;
  std::vector<HolderSave> saves;
  for (int i = 0; i < f->getHolderCount_(); ++i) {
    MemoHolder* h = f->getHolder_(i);
    if (!h || !h->modified) continue;
    const Answer a = ask("Sould I Save a MemoHolder named as \"\r\n" + fullName(h->getFileName_()) + "\" ?");
    if (a == Answer::Cancel) return kResultFailed;
    if (a != Answer::Yes && a != Answer::YesToAll) continue;
    saves.push_back(SettleHolderSave(*h, asking));
    if (saves.back().state == HolderSave::State::Cancelled) {
      w_.messageDoing_("Cancel: " + saves.back().why);
      return kResultFailed;
    }
  }
  bool failed = false;
  for (HolderSave& s : saves) {
    WriteHolderSave(s);
    if (s.state == HolderSave::State::Saved) continue;
    failed = true;
    w_.addLogTS("Failure: " + s.why);
    w_.messageDoing_("Failure: " + s.why);
  }
  if (saveDocument) {
    std::string why;
    if (writeDocument(f->getFileName_(), why) < 0) {
      failed = true;
      w_.addLogTS("Failure: " + why);
      w_.messageDoing_("Failure: " + why);
    }
  }
  // A save that failed keeps the window (and the work) here; asking again tries again.
  return failed ? kResultFailed : 0;
}

}  // namespace wux

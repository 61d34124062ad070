// The notebook files of the document: opening one as a notebook, reading a notebook
// from its file, reading it again.
#include "mainwindow/DocumentSession.h"

#include "mainwindow/DocumentFiles.h"
#include "model/Prompter.h"
#include "model/lists.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

using documentfiles::lowerExt;

namespace {

const char* const kTrue = "\"true\"";
const char* const kFalse = "\"false\"";

}  // namespace

// ---- notebooks ------------------------------------------------------------------------

MemoHolderUI* DocumentSession::openHolder(const std::string& name) {
  if (!startup_ && w_.isDoing_()) return nullptr;
  MemoHolderUI* holder = nullptr;
  damageStatus_.clear();
  openCancelled_ = false;
  {
    BusyScope busy(w_, "Open Holder " + name);
    holder = openHolderFile(name);
    if (!damageStatus_.empty())
      busy.finish(damageStatus_);
    else if (openCancelled_)
      busy.finish("Cancel: Open Holder " + name);
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
  // The file a notebook already lives in (whatever its name), else a notebook of this
  // name: notebook names are told apart without regard to case.
  auto* existing = static_cast<MemoHolderUI*>(f->holderInFile_(platform::resolvePath(platform::toSlashes(name)), nullptr));
  if (!existing) {
    const int clash = f->holders()->children().indexOf(base);
    if (clash >= 0) existing = static_cast<MemoHolderUI*>(f->getHolder_(clash));
  }
  if (existing) {
    const std::string question = name + "\r\nStill opened. \"" + sjis::upper(base) +
                                 "\"\r\nCould I Reload ?(=Yes) / Open OtherName(=No) or (CANCEL) ";
    switch (prompter().messageBox(question, "", Buttons::YesNoCancel)) {
      case Answer::Yes:
        // Every way of opening the file again ends here: what was typed is not dropped
        // unasked.
        if (!mayDiscardChanges(*existing)) {
          openCancelled_ = true;
          return nullptr;
        }
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
      default:
        openCancelled_ = true;
        return nullptr;
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
  w_.UI2ModelAll();
  return !holder.modified ||
         prompter().messageBox(fullName(holder.getFileName_()) + " has unsaved changes; Reload discards them. Reload anyway?",
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

}  // namespace wux

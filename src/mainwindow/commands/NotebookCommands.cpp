// Commands of notebook files and the notebook list.
#include <algorithm>
#include <climits>
#include <exception>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "mainwindow/commands/NotebookFiles.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/errors.h"
#include "model/records/RecordFiles.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

const char* const kTrueText = "\"true\"";
const char* const kFalseText = "\"false\"";

// A new notebook at `index` (-1: at the end) with one note, made current.
int newHolderAt(MainWindowApi& w, const std::string& title, int index, bool namedEnd) {
  if (w.isDoing_() || w.checkUIReadOnly()) return kResultFailed;
  BusyScope busy(w, title);
  MemoHolderUI* holder = w.newHolder_(index);
  if (!holder) {
    busy.finish("Failure: " + title);
    return kResultFailed;
  }
  holder->putCurrentNode_(holder->createNewNode_());
  w.changeCurrentHolder(holder);
  busy.finish(namedEnd ? "Done: New MemoHolder " + holder->name() : "Done: " + title);
  return 0;
}

int currentHolderIndex(MainWindowApi& w) {
  MemoFileUI* file = w.getMemoFile();
  const int at = file ? file->getCurrentHolderIndex_() : -1;
  return at < 0 ? -1 : at + 1;
}

std::string documentDir(MainWindowApi& w) {
  MemoFileUI* file = w.getMemoFile();
  return file ? file->getFileDir_() : std::string();
}

// The folder part compared the way file names are compared here: full and lower case.
std::string folderKey(const std::string& dir) {
  if (dir.empty()) return std::string();
  std::string full = platform::resolvePath(dir);
  if (full.empty() || full.back() != '/') full += '/';
  return sjis::lower(full);
}

// Empties a notebook that is about to be read again. Nothing may keep pointing at its
// notes: its note windows close and the editor lets go of the note it shows.
void emptyHolder(MainWindowApi& w, MemoHolderUI* holder) {
  holder->closeNodeWindows_();
  if (MemoNodeUI* shown = w.getCurrentNode(); shown && shown->getParentHolder_() == holder) w.setCurrentNode(nullptr);
  if (TFrameMemoHolder* frame = w.getHolderFrame()) {
    TFrameMemoNode* editor = frame->FrameMemoNode1();
    if (editor && editor->node() && editor->node()->getParentHolder_() == holder) editor->setNode(nullptr);
  }
  holder->hideView_();
  holder->clear_();
}

// Makes the notebook current and shows its notes afresh, also when it already was the
// current one (a reloaded notebook has a new view to build).
void showAgain(MainWindowApi& w, MemoHolderUI* holder) {
  if (w.getCurrentHolder() == holder) {
    w._changeCurrentHolder_(holder);
    if (MemoFileUI* file = w.getMemoFile()) file->modified = true;
  } else {
    w.changeCurrentHolder(holder);
  }
}

// Detaches a notebook from the document and frees it.
void dropHolder(MainWindowApi& w, MemoHolderUI* holder) {
  if (MemoFileUI* file = w.getMemoFile()) file->removeHolder_(holder);
  delete holder;
}

// A new notebook of the document named after `base`, without a view yet.
MemoHolderUI* addHolderNamed(MainWindowApi& w, const std::string& base) {
  MemoFileUI* file = w.getMemoFile();
  if (!file) return nullptr;
  auto* holder = dynamic_cast<MemoHolderUI*>(file->addNewHolder_(-1));
  if (!holder) return nullptr;
  std::string actual;
  holder->putName_(base, actual);
  file->refreshTabs_();
  return holder;
}

// A notebook whose own file could not be read whole is written over that file only when
// the user agrees: its notes may not all be in memory.
bool confirmOverDamaged(const std::string& path) {
  return prompter().messageBox("The notebook file \"" + path +
                                   "\" could not be read whole.\r\nShall I save over it all the same?",
                               "", Buttons::YesNo) == Answer::Yes;
}

// Saves the current notebook to its own file and reports size, count and save time.
int saveCurrentHolder(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  const std::string fileName = holder->getFileName_();
  const std::string dir = platform::dirOf(fileName);
  if (dir.empty() || !platform::dirExists(dir)) {
    if (prompter().messageBox("Make Directory ?  \"" + dir + "\"", "", Buttons::YesCancel) != Answer::Yes)
      return kResultFailed;
    if (!platform::makeDirs(dir)) {
      w.messageDoing_("Failure: Make Directory \"" + dir + "\"");
      return kResultFailed;
    }
  }
  BusyScope busy(w, "_UISaveHolder");
  const int c = holder->getNodeCount_();
  try {
    std::string error;
    const long long size = holder->saveToFile_(fileName, &error, confirmOverDamaged);
    if (size < 0) {
      // The notebook keeps its modified flag: it is not on disk.
      w.addLogTS("Failure: _UISaveHolder " + error);
      busy.finish("Failure: _UISaveHolder " + error);
      return kResultFailed;
    }
    holder->modified = false;
    busy.finish("Done: Saved size=" + holderSizeText(size) + " count of Nodes=" + std::to_string(c) +
                " CountSave=" + std::to_string(holder->CountSave) + " " +
                FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", holder->TimeSaved) + " " + fileName);
    return 0;
  } catch (const std::exception&) {
    const std::string text = "ERROR c:=" + std::to_string(c) + " in _UISaveHolder.";
    w.addLog_(text);
    busy.finish(text);
    return kResultFailed;
  }
}

int saveHolder(MainWindowApi& w, bool ask) {
  if (w.isDoing_()) return kResultFailed;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || !w.getCurrentNode()) return kResultFailed;
  w.UI2Model();
  if (ask && prompter().messageBox("Sould I save Holder named \"" + holder->getFileName_() + "\"", "",
                                   Buttons::YesCancel) == Answer::Cancel)
    return kResultFailed;
  return saveCurrentHolder(w);
}

int saveAsHolder(MainWindowApi& w, const std::string& ext) {
  if (w.isDoing_() || !w.getCurrentNode()) return kResultFailed;
  w.UI2Model();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  std::string name = platform::changeExt(holder->getFileName_(), ext);
  if (name.empty()) name = "noname" + ext;
  if (!prompter().saveFileName("", "Holder(*.mxh)|*.mxh|compress Holder(*.mhz)|*.mhz|ALL files (*.*)|*.*", name))
    return kResultFailed;
  holder->putField_("Filename", QuoteValue(name));
  const std::string chosenExt = sjis::lower(platform::extOf(name));
  if (chosenExt != ".mxh" && chosenExt != ".mhz") {
    w.messageDoing_("FileExtention is missmatch.  \"" + name + "\"");
    return kResultFailed;
  }
  BusyScope busy(w, "Save as Holder " + ext);
  std::string error;
  const long long size = holder->saveToFile_(name, &error, confirmOverDamaged);
  if (size < 0) {
    w.addLogTS("Failure: Save as Holder " + error);
    busy.finish("Failure: Save as Holder " + error);
    return kResultFailed;
  }
  holder->modified = false;
  busy.finish("Done size=" + std::to_string(size));
  return 0;
}

int deleteHolder(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoFileUI* file = w.getMemoFile();
  if (!file || file->getHolderCount_() <= 1) {
    w.messageDoing_("Don't Delete Holder.  Only One Holder!");
    return kResultFailed;
  }
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  w.UI2Model();
  if (holder->modified) {
    const Answer a = prompter().messageBox("Shall I Save Current Holder ? \r\n" + holder->getFileName_(), "",
                                           Buttons::YesNoCancel);
    if (a == Answer::Cancel) return kResultFailed;
    // A notebook that could not be saved is not deleted: its changes would be lost.
    if (a == Answer::Yes && w.commands().run("UISaveHolderNoMSG") < 0) return kResultFailed;
  }
  if (prompter().messageBox("Shall I delete Current Holder Realy ?", "", Buttons::YesNo) != Answer::Yes)
    return kResultFailed;
  int i = file->indexOfHolder_(holder);
  holder->closeNodeWindows_();
  holder->hideView_();
  file->removeHolder_(holder);
  if (i >= file->getHolderCount_()) i = file->getHolderCount_() - 1;
  w.changeCurrentHolder(dynamic_cast<MemoHolderUI*>(file->getHolder_(i)));
  file->modified = true;
  delete holder;  // its file stays on disk untouched
  return 0;
}

int cloneHolder(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoFileUI* file = w.getMemoFile();
  MemoHolderUI* source = w.getCurrentHolder();
  if (!file || !source) return kResultFailed;
  w.UI2Model();
  const std::string mode = source->getModeNodesMngr_();
  MemoHolderUI* copy = source->createCopy_();
  // The clone lives in a file of its own, named after it; saving it never touches the
  // source's file.
  copy->putFlagExtra_(false);
  std::string actual;
  file->addHolder_(copy, file->makeUniqueHolderName_(source->name() + "_copy"), actual);
  copy->loaded = true;
  copy->modified = true;
  file->modified = true;
  w.changeCurrentHolder(copy);
  const char* view = mode == "\"TreeView\""   ? "changeTreeView_"
                     : mode == "\"ListView\"" ? "changeListView_"
                                              : "changeCheckListBox_";
  w.commands().run(view);
  w.messageDoing_("Done: UICloneHolder " + copy->name());
  return 0;
}

int renameHolder(MainWindowApi& w, MemoHolderUI* holder, const std::string& name) {
  MemoFileUI* file = w.getMemoFile();
  const std::string old = holder->name();
  std::string actual;
  holder->putName_(name, actual);
  if (holder->name() == old) return kResultFailed;
  holder->modified = true;
  if (file) {
    file->modified = true;
    file->refreshTabs_();
  }
  return 0;
}

int UIRenameHolder(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  std::string name = holder->name();
  if (!prompter().inputBox("Rename Current MemoHolder", "Input new Name.", name)) return kResultFailed;
  if (sjis::trim(name).empty()) return kResultFailed;
  const int r = renameHolder(w, holder, name);
  if (r == 0) w.messageDoing_("Changed MemoHolder Name " + holder->name());
  return r;
}

int UIRenameOtherHolder(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoFileUI* file = w.getMemoFile();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!file || !holder) return kResultFailed;
  return renameHolder(w, holder, file->makeUniqueHolderName_(holder->name()));
}

int moveHolder(MainWindowApi& w, bool up) {
  if (w.isDoing_() || w.checkUIReadOnly() || w.checkHolderReadOnly()) return kResultFailed;
  MemoFileUI* file = w.getMemoFile();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!file || !holder) return kResultFailed;
  const int i = file->indexOfHolder_(holder);
  if (up ? i <= 0 : i < 0 || i >= file->getHolderCount_() - 1) return 0;
  up ? file->moveHolderUp_(i) : file->moveHolderDown_(i);
  // The document file records the order of its notebooks.
  file->modified = true;
  file->refreshTabs_();
  return 0;
}

int reloadHolder(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  const std::string fileName = holder->getFileName_();
  // Without its file there is nothing to reload from: the notes in memory stay.
  if (!platform::fileExists(fileName)) {
    w.addLog_("Not Found MemoHolder: " + fileName);
    w.messageDoing_("Not Found MemoHolder: " + fileName);
    return kResultFailed;
  }
  BusyScope busy(w, "UIReloadMemoHolder");
  emptyHolder(w, holder);
  const bool read = loadHolderAs(w, holder, fileName) != nullptr;
  holder->loaded = true;
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  showAgain(w, holder);
  busy.finish(read ? "Done:UIReLoadMemoHolder " + fileName : "Failure: UIReloadMemoHolder " + fileName);
  return read ? 0 : kResultFailed;
}

int reloadEach(MainWindowApi& w) {
  if (w.isDoing_()) return kResultFailed;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  BusyScope busy(w, "UIReLoadEach");
  w.UI2Model();
  StringList list;
  holder->setNodeList_(list);
  long long sum = 0;
  for (int i = 0; i < list.count(); ++i) {
    auto* node = list.objectAs<MemoNode>(i);
    if (!node) continue;
    const long long r = node->loadLinkedFile_();
    if (r > 0 && sum < LLONG_MAX - r) sum += r;
  }
  w.Model2UI();
  busy.finish("Done:UIReLoadEach " + std::to_string(sum));
  return static_cast<int>(std::min<long long>(sum, INT_MAX));
}

int UIOpenHolder(MainWindowApi& w) {
  if (w.isDoing_() || w.checkUIReadOnly()) return kResultFailed;
  std::string name = documentDir(w) + "new.mxh";
  if (!prompter().openFileName("", "MXH files (*.mxh)|*.mxh| MHZ (*.mhz) | *.mhz | ALL files (*.*)|*.*", name))
    return kResultFailed;
  return openHolder(w, name) ? 0 : kResultFailed;
}

int UIOpenCSVHolder(MainWindowApi& w) {
  if (w.isDoing_() || w.checkUIReadOnly()) return kResultFailed;
  std::string name = documentDir(w) + "new.csv";
  if (!prompter().openFileName("", "CSV files (*.csv)|*.csv| text (*.txt) | *.txt | ALL files (*.*)|*.*", name))
    return kResultFailed;
  BusyScope busy(w, "Open CSV -> Holder " + name);
  StringList lines;
  try {
    lines.loadFromFile(name);
  } catch (const Error& e) {
    busy.finish("Failure: Open CSV -> Holder " + name);
    w.addLogTS("Failure: Open CSV -> Holder " + name + " " + e.what());
    return kResultFailed;
  }
  MemoHolderUI* holder = importCSVNodes(w, lines);
  if (!holder) {
    busy.finish("Stop: CSV needs a first line, a line of field names and lines of values.");
    return kResultFailed;
  }
  std::string actual;
  holder->putName_(platform::changeExt(platform::fileNameOf(name), ""), actual);
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  holder->modified = true;
  if (MemoFileUI* file = w.getMemoFile()) {
    file->modified = true;
    file->refreshTabs_();
  }
  w.changeCurrentHolder(holder);
  return 0;
}

}  // namespace

std::string holderSizeText(long long size) {
  return size <= 1024 ? std::to_string(size) + "Bytes" : std::to_string(size / 1024) + "KBytes";
}

MemoHolderUI* loadHolderAs(MainWindowApi& w, MemoHolderUI* holder, const std::string& name) {
  if (!holder) return nullptr;
  StringList messages;
  const int r = ReadHolderFile(*holder, name, messages);
  if (r != 0) {
    w.addLogTS((r == -2 ? "Not Found MemoHolder: " : "Failure: loadHolder ") + name);
    w.addLogStrings(messages);
    return nullptr;
  }
  // A notebook from another folder is only looked at until the user clears the flag.
  if (folderKey(platform::dirOf(name)) != folderKey(documentDir(w))) {
    holder->putField_("FlagAbsolutePath", kTrueText);
    holder->putField_("FlagReadOnly", kTrueText);
  } else {
    holder->putField_("FlagAbsolutePath", kFalseText);
  }
  holder->putField_("Filename", QuoteValue(name));
  holder->loaded = true;
  if (MemoFileUI* file = w.getMemoFile()) file->modified = true;
  return holder;
}

MemoHolderUI* openHolderFile(MainWindowApi& w, const std::string& name) {
  MemoFileUI* file = w.getMemoFile();
  if (!file) return nullptr;
  const std::string base = platform::changeExt(platform::fileNameOf(name), "");
  // Notebook names are unique without regard to case, and so is this question.
  const StringList& names = file->holders()->children();
  const int at = names.indexOf(base);
  auto* existing = at < 0 ? nullptr : names.objectAs<MemoHolderUI>(at);
  if (existing) {
    const Answer a = prompter().messageBox(name + "\r\nStill opened. \"" + sjis::upper(base) +
                                               "\"\r\nCould I Reload ?(=Yes) / Open OtherName(=No) or (CANCEL) ",
                                           "", Buttons::YesNoCancel);
    if (a == Answer::Cancel) return nullptr;
    if (a == Answer::Yes) {
      // Reloading replaces what is in memory only when the file can be read.
      if (!platform::fileExists(name)) {
        w.addLogTS("Not Found MemoHolder: " + name);
        return nullptr;
      }
      emptyHolder(w, existing);
      MemoHolderUI* read = loadHolderAs(w, existing, name);
      existing->loaded = true;
      if (existing->getNodeCount_() == 0) existing->createNewNode_();
      return read ? existing : nullptr;
    }
  }
  MemoHolderUI* holder = addHolderNamed(w, base);
  if (!holder) return nullptr;
  holder->loaded = !existing;
  if (!loadHolderAs(w, holder, name)) {
    // Nothing was read: no empty notebook is left behind to be saved over the file.
    dropHolder(w, holder);
    return nullptr;
  }
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  if (existing) holder->modified = true;
  return holder;
}

MemoHolderUI* openHolder(MainWindowApi& w, const std::string& name) {
  if (w.isDoing_()) return nullptr;
  BusyScope busy(w, "Open Holder " + name);
  MemoHolderUI* holder = openHolderFile(w, name);
  if (!holder) {
    busy.finish("Failure: Open Holder " + name);
    return nullptr;
  }
  if (MemoFileUI* file = w.getMemoFile()) file->modified = true;
  showAgain(w, holder);
  return holder;
}

void registerNotebookCommands(CommandTable& table, MainWindowApi& w) {
  table.add("UINewHolder", [&w] { return newHolderAt(w, "New MemoHolder", currentHolderIndex(w), true); });
  table.add("UINewHolderLeft", [&w] { return newHolderAt(w, "New Holder Left", 0, false); });
  table.add("UINewHolderRight", [&w] { return newHolderAt(w, "New Holder Right", -1, false); });
  table.add("UIOpenHolder", [&w] { return UIOpenHolder(w); });
  table.add("UIOpenCSVHolder", [&w] { return UIOpenCSVHolder(w); });
  table.add("UISaveHolderWithMSG", [&w] { return saveHolder(w, true); });
  table.add("UISaveHolderNoMSG", [&w] { return saveHolder(w, false); });
  table.add("UISaveHolderAsMXH", [&w] { return saveAsHolder(w, ".mxh"); });
  table.add("UISaveHolderAsMHZ", [&w] { return saveAsHolder(w, ".mhz"); });
  table.add("UIDeleteHolder", [&w] { return deleteHolder(w); });
  table.add("UICloneHolder", [&w] { return cloneHolder(w); });
  table.add("UIRenameHolder", [&w] { return UIRenameHolder(w); });
  table.add("UIRenameOtherHolder", [&w] { return UIRenameOtherHolder(w); });
  table.add("UIHolderUp", [&w] { return moveHolder(w, true); });
  table.add("UIHolderDown", [&w] { return moveHolder(w, false); });
  table.add("UIReloadMemoHolder", [&w] { return reloadHolder(w); });
  table.add("UIReLoadEach", [&w] { return reloadEach(w); });
}

}  // namespace wux

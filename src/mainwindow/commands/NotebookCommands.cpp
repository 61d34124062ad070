// Commands of notebook files and the notebook list.
#include <algorithm>
#include <climits>
#include <exception>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/errors.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

// A new notebook at `index` (-1: at the end) with one note, made current.
int newHolderAt(MainWindowApi& w, const std::string& title, int index, bool namedEnd) {
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

// "1024Bytes", and from 1025 on whole KBytes.
std::string holderSizeText(long long size) {
  return size <= 1024 ? std::to_string(size) + "Bytes" : std::to_string(size / 1024) + "KBytes";
}

// Saves the current notebook to its own file (or the one chosen for it) and reports size,
// count and save time.
int saveCurrentHolder(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  HolderSave save = SettleHolderSave(*holder, AskingSavePolicy(w));
  if (save.state == HolderSave::State::Cancelled) {
    w.messageDoing_("Cancel: _UISaveHolder " + save.why);
    return kResultFailed;
  }
  BusyScope busy(w, "_UISaveHolder");
  const int c = holder->getNodeCount_();
  try {
    WriteHolderSave(save);
    if (save.state != HolderSave::State::Saved) {
      // The notebook keeps its modified flag: it is not on disk.
      w.addLogTS("Failure: _UISaveHolder " + save.why);
      busy.finish("Failure: _UISaveHolder " + save.why);
      return kResultFailed;
    }
    busy.finish("Done: Saved size=" + holderSizeText(save.size) + " count of Nodes=" + std::to_string(c) +
                " CountSave=" + std::to_string(holder->CountSave) + " " +
                FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", holder->TimeSaved) + " " + save.file);
    return 0;
  } catch (const std::exception&) {
    const std::string text = "ERROR c:=" + std::to_string(c) + " in _UISaveHolder.";
    w.addLog_(text);
    busy.finish(text);
    return kResultFailed;
  }
}

int saveHolder(MainWindowApi& w, bool ask) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || !w.getCurrentNode()) return kResultFailed;
  w.UI2ModelAll();
  if (ask && prompter().messageBox("Sould I save Holder named \"" + DocumentSession::fullName(holder->getFileName_()) + "\"", "",
                                   Buttons::YesCancel) == Answer::Cancel)
    return kResultFailed;
  return saveCurrentHolder(w);
}

int saveAsHolder(MainWindowApi& w, const std::string& ext) {
  if (!w.getCurrentNode()) return kResultFailed;
  w.UI2ModelAll();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  std::string name = platform::changeExt(holder->getFileName_(), ext);
  if (name.empty()) name = "noname" + ext;
  if (!prompter().saveFileName("", "Holder(*.mxh)|*.mxh|compress Holder(*.mhz)|*.mhz|ALL files (*.*)|*.*", name))
    return kResultFailed;
  // The notebook keeps its file unless the chosen one is written.
  const std::string chosenExt = sjis::lower(platform::extOf(name));
  if (chosenExt != ".mxh" && chosenExt != ".mhz") {
    w.messageDoing_("FileExtention is missmatch.  \"" + name + "\"");
    return kResultFailed;
  }
  HolderSave save = SettleHolderSave(*holder, AskingSavePolicy(w), name);
  if (save.state == HolderSave::State::Cancelled) {
    w.messageDoing_("Cancel: Save as Holder " + save.why);
    return kResultFailed;
  }
  {
    BusyScope busy(w, "Save as Holder " + ext);
    WriteHolderSave(save);
    if (save.state != HolderSave::State::Saved) {
      w.addLogTS("Failure: Save as Holder " + save.why);
      busy.finish("Failure: Save as Holder " + save.why);
    } else {
      busy.finish("Done size=" + std::to_string(save.size));
    }
  }
  // The document now names the notebook's new file.
  w.updateCaption();
  return save.state == HolderSave::State::Saved ? 0 : kResultFailed;
}

int deleteHolder(MainWindowApi& w) {
  MemoFileUI* file = w.getMemoFile();
  if (!file || file->getHolderCount_() <= 1) {
    w.messageDoing_("Don't Delete Holder.  Only One Holder!");
    return kResultFailed;
  }
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  // What is typed in a note window of the notebook is unsaved work of it too.
  w.UI2ModelAll();
  if (holder->modified) {
    const Answer a = prompter().messageBox("Shall I Save Current Holder ? \r\n" + DocumentSession::fullName(holder->getFileName_()), "",
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
  MemoFileUI* file = w.getMemoFile();
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!file || !holder) return kResultFailed;
  return renameHolder(w, holder, file->makeUniqueHolderName_(holder->name()));
}

int moveHolder(MainWindowApi& w, bool up) {
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

int reloadHolder(MainWindowApi& w, DocumentSession& session) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  const std::string fileName = holder->getFileName_();
  // Without its file there is nothing to reload from: the notes in memory stay.
  if (platform::fileMissing(fileName)) {
    w.addLog_("Not Found MemoHolder: " + fileName);
    w.messageDoing_("Not Found MemoHolder: " + fileName);
    return kResultFailed;
  }
  if (!session.mayDiscardChanges(*holder)) {
    w.messageDoing_("Cancel: UIReloadMemoHolder");
    return kResultFailed;
  }
  BusyScope busy(w, "UIReloadMemoHolder");
  session.emptyHolder(*holder);
  session.loadHolderAs(*holder, fileName);
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  showAgain(w, holder);
  if (holder->loadFailed) {
    busy.finish("Failure: UIReloadMemoHolder " + fileName);
    return kResultFailed;
  }
  busy.finish("Done:UIReLoadMemoHolder " + fileName);
  return 0;
}

int reloadEach(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultFailed;
  BusyScope busy(w, "UIReLoadEach");
  w.UI2Model();
  StringList list;
  holder->setNodeList_(list);
  long long sum = 0;
  bool told = false;  // once for the whole notebook, not once for each such note
  for (int i = 0; i < list.count(); ++i) {
    auto* node = list.objectAs<MemoNode>(i);
    if (!node) continue;
    std::string why;
    const long long r = node->loadLinkedFile_(&why);
    if (r > 0 && sum < LLONG_MAX - r) sum += r;
    if (!told) told = ShowNotImplementedSource(why);
  }
  w.Model2UI();
  busy.finish("Done:UIReLoadEach " + std::to_string(sum));
  return static_cast<int>(std::min<long long>(sum, INT_MAX));
}

int UIOpenHolder(MainWindowApi& w, DocumentSession& session) {
  std::string name = documentDir(w) + "new.mxh";
  if (!prompter().openFileName("", "MXH files (*.mxh)|*.mxh| MHZ (*.mhz) | *.mhz | ALL files (*.*)|*.*", name))
    return kResultFailed;
  return session.openHolder(name) ? 0 : kResultFailed;
}

int UIOpenCSVHolder(MainWindowApi& w) {
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

void registerNotebookCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session) {
  table.add("UINewHolder", Needs::notBusy().uiWritable(), [&w] { return newHolderAt(w, "New MemoHolder", currentHolderIndex(w), true); });
  table.add("UINewHolderLeft", Needs::notBusy().uiWritable(), [&w] { return newHolderAt(w, "New Holder Left", 0, false); });
  table.add("UINewHolderRight", Needs::notBusy().uiWritable(), [&w] { return newHolderAt(w, "New Holder Right", -1, false); });
  table.add("UIOpenHolder", Needs::notBusy().uiWritable(), [&w, &session] { return UIOpenHolder(w, session); });
  table.add("UIOpenCSVHolder", Needs::notBusy().uiWritable(), [&w] { return UIOpenCSVHolder(w); });
  table.add("UISaveHolderWithMSG", Needs::notBusy(), [&w] { return saveHolder(w, true); });
  table.add("UISaveHolderNoMSG", Needs::notBusy(), [&w] { return saveHolder(w, false); });
  table.add("UISaveHolderAsMXH", Needs::notBusy(), [&w] { return saveAsHolder(w, ".mxh"); });
  table.add("UISaveHolderAsMHZ", Needs::notBusy(), [&w] { return saveAsHolder(w, ".mhz"); });
  // The read-only switch locks the tabs' Delete; the menu bar's must not get round it.
  table.add("UIDeleteHolder", Needs::notBusy().uiWritable(kResultUIReadOnly), [&w] { return deleteHolder(w); });
  table.add("UICloneHolder", Needs::notBusy().uiWritable(), [&w] { return cloneHolder(w); });
  table.add("UIRenameHolder", Needs::notBusy().uiWritable(), [&w] { return UIRenameHolder(w); });
  table.add("UIRenameOtherHolder", Needs::notBusy().uiWritable(), [&w] { return UIRenameOtherHolder(w); });
  table.add("UIHolderUp", Needs::changesHolder(), [&w] { return moveHolder(w, true); });
  table.add("UIHolderDown", Needs::changesHolder(), [&w] { return moveHolder(w, false); });
  table.add("UIReloadMemoHolder", Needs::notBusy(), [&w, &session] { return reloadHolder(w, session); });
  table.add("UIReLoadEach", Needs::changesHolder(), [&w] { return reloadEach(w); });
}

}  // namespace wux

#pragma once
// The main window is one class chain; each layer adds or overrides only what it brings.
// The commands live in their families' files, take the main-window interface
// (views/MainWindowApi.h) and are reached only through the command table.
//
// Layer             What it holds                                  Files
// TFormMainBase0007 the document, the busy protocol, the log       FormMainBase0007.*, DocumentSession.*
//                   entry points, notebook and note switching,     (close query, notebook files,
//                   the close query, the idle auto-save and the    auto-save writes),
//                   window's own commands and the command table    FormMainBase0007_commands.cpp
// TFormMainBaseWUX  settings, dialog singletons, the log window,   FormMainBaseWUX*.*, Settings.*, FormLog.*
//                   the copy history, new notebooks, drops
// TFormMainScript   editor <-> model, the caption, the temporary   FormMainScript.*, commands/*.cpp
//                   folder, file dialogs, printing, the            (one family per file; Commands.h
//                   interpreter and the commands (UI...)           lists them), ScriptHost.* (the
//                                                                  interpreter, its runners and the
//                                                                  commands that run scripts)
// TFormMainMenu     menus, tool bar, status bar, the pop-ups, the  FormMainMenu.*, MainMenuTable.* (the
//                   read-only and Internet switches, the view      items as data), commands/MenuCommands.cpp
//                   switches
// TFormMainWUXX13c  the notebook tabs and the notebook frame,      FormMainWUXX13c.*
//                   the views bound to them; owns the document
//
// Creation is two-phase: the constructor only builds members, then createForm() runs
// FormCreate() as a virtual call, so every layer's creation step (and every virtual it
// calls) reaches the most derived layer, which a C++ constructor could not.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "mainwindow/AgentAPLWUX.h"
#include "mainwindow/DocumentSession.h"
#include "model/clock.h"
#include "model/text/StringList.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"

class QTimer;

namespace wux {

class AgentAPLWUX;

class TFormMainBase0007 : public QMainWindow, public MainWindowApi {
  Q_OBJECT
 public:
  ~TFormMainBase0007() override;

  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);

  // ---- virtual operations, in the order the layers know them ----
  virtual void FormCreate();
  virtual void mouseCursor(int cursor);
  void beginDoing_(const std::string& text) override;
  void messageDoing_(const std::string& text) override;
  void endDoing() override;
  void endDoing_(const std::string& text) override;
  bool isDoing_() override;
  void holdDoing_(bool on) override;
  int addLog_(const std::string& text) override;
  int showFormLog() override;
  virtual int setCheckListBox_(QWidget* control);
  virtual int setTreeView_(QWidget* control);
  virtual int setListView_(QWidget* control);
  virtual void showHolder_(MemoHolderUI* holder);
  virtual void hideHolder_(MemoHolderUI* holder);
  MemoHolderUI* newHolder_(int index) override;
  int UI2Model() override;
  void updateCaption() override;
  virtual void updateColor();
  void refreshHolderView() override;
  virtual void updateReadOnlyMark();
  void Model2UI() override;
  virtual int querySaveAll();
  void newMemoFile() override;
  void clearMemoFile() override {}
  virtual int writeVersionTS_(StringList& lines);
  TFrameMemoNode* getNodeFrame() override;
  bool isUIReadOnly() override;
  bool isUIInternet() override;
  std::string getTempDir() override;
  virtual void putTempDir_(const std::string& dir);
  void showHolderCount() override;
  virtual int getAutoSaveTime();
  virtual void putAutoSaveTime_(int seconds);
  virtual std::string getDateFormat();
  virtual std::string getNumberFormat();
  TFrameMemoHolder* getHolderFrame() override;

  // ---- public routines ----
  MemoFileUI* getMemoFile() override { return aFile_; }
  MemoHolderUI* getCurrentHolder() override;
  MemoNodeUI* getCurrentNode() override;
  void setCurrentNode(MemoNodeUI* node) override;
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* node) override;
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* holder) override;
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* holder) override;
  int loadHolder(MemoHolderUI* holder) override;
  bool checkUIReadOnly() override;
  bool checkHolderReadOnly() override;
  int shouldNotExecute(const std::string& name) override;
  int stillNotImplemented(const std::string& name) override;
  int addLogStrings(const StringList& lines) override;
  void addLogTS(const std::string& text) override;
  std::string nowString() override;
  bool isBreak() const override { return break_; }
  std::string getUserName() override { return userName_; }
  std::string getVersion() override { return version_; }
  std::string getReleaseDate() { return releaseDate_; }
  std::string getCmURL() override { return cmURL_; }
  std::string getURLPrefix() { return "http://"; }
  AgentAPLAbs* getAgent() override;
  CommandTable& commands() override { return commands_; }
  DocumentSession& documentSession() { return session_; }

  int UIBreak();
  // Shell and window commands of the first layer (FormMainBase0007_commands.cpp).
  std::string getExeDir() override;
  int ShellExecuteOpen_(const std::string& name);
  int UIExplorerCurrentDir();
  int UIExplorerFileDir();
  int UIExplorerExeDir();
  int UIHardCopy();
  int UIClose();
  int UICloseAllYes();
  int UITerminateForce(const std::string& text);

  // The window's place and size and its screen; the jump mark (Jump > Set).
  WindowRect getWindowRect() override;
  void setWindowRect(const WindowRect& r) override;
  WindowRect getScreenRect() override;
  void setJumpMark(MemoNodeUI* node) override { jumpMark_.reset(node); }
  MemoNodeUI* getJumpMark() override { return jumpMark_.get(); }

  // The document's name ("noname" without one) and its number of notebooks.
  std::string documentName();
  int holderCount();

  // The idle step of the auto-save; the window's timer calls it about once a second.
  void idleAutoSave_();
  DateTime lastAutoSave() const { return lastAutoSave_; }

  bool doing() const { return doing_; }

 signals:
  // The close was accepted: the program ends now.
  void closedForGood();

 protected:
  TFormMainBase0007();
  void closeEvent(QCloseEvent* event) override;
  // Whether the window may close, when no operation runs: the save questions.
  virtual bool mayClose_();
  // Closes every window this one owns that is still shown.
  void closeOwnedWindows_();
  // Asks everything that runs inside the window's event loop to end at once, without
  // saving: the program is about to leave the loop.
  virtual void stopRunning_() {}
  // The part of the auto-save that writes: every modified notebook, never the document.
  // False when one was not written; `unsaved` then names each and why.
  virtual bool saveModifiedHolders_(std::string* unsaved);
  // Registers this layer's own commands (FormMainBase0007_commands.cpp).
  void registerWindowCommands();
  // An internal inconsistency: error box, log and status line.
  void systemError(const std::string& message);

  MemoFileUI* aFile_ = nullptr;  // owned by the most derived layer, which makes it
  std::string userName_;
  std::string activity_;
  bool doing_ = false;
  bool break_ = false;
  // Nested holds of holdDoing_, and whether the outermost one made the window busy.
  int holds_ = 0;
  bool heldBusy_ = false;
  // Closes without a question: the scripts were stopped after the questions were asked.
  bool closeNow_ = false;
  // What a close refused while busy said, shown again once the work has stopped.
  std::string closeNotice_;
  void showCloseNotice();
  DateTime lastAutoSave_;
  std::string version_ = "00.15.05f";
  std::string releaseDate_ = "May 23, 2004";
  std::string cmURL_;  // the program's web page: none
  std::unique_ptr<AgentAPLWUX> agent_;
  CommandTable commands_;
  DocumentSession session_{*this};
  QTimer* idleTimer_ = nullptr;
  // Outlives the document, which the most derived layer owns: a freed note empties it.
  WatchedNote jumpMark_;
};

// Makes a window of the given layer and runs its creation steps.
template <class Form, class... Args>
std::unique_ptr<Form> createForm(Args&&... args) {
  std::unique_ptr<Form> f(new Form(std::forward<Args>(args)...));
  f->FormCreate();
  return f;
}

// Whole seconds from `from` to `to` (negative when `to` is earlier).
long long wholeSecondsBetween(const DateTime& from, const DateTime& to);

}  // namespace wux

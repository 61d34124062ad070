#pragma once
// The main window, first layer: the document, the busy protocol, the log entry points,
// notebook and note switching and the idle auto-save. Layers above add settings,
// commands, menus and the views; each overrides only what it brings.
//
// Creation is two-phase: the constructor only builds members, then createForm() runs
// FormCreate() as a virtual call, so every layer's creation step (and every virtual it
// calls) reaches the most derived layer, which a C++ constructor could not.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "mainwindow/AgentAPLWUX.h"
#include "model/clock.h"
#include "model/text/StringList.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

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
  int addLog_(const std::string& text) override;
  virtual int showFormLog();
  virtual int setCheckListBox_(QWidget* control);
  virtual int setTreeView_(QWidget* control);
  virtual int setListView_(QWidget* control);
  virtual void showHolder_(MemoHolderUI* holder);
  virtual void hideHolder_(MemoHolderUI* holder);
  MemoHolderUI* newHolder_(int index) override;
  int UI2Model() override;
  virtual void updateCaption();
  virtual void updateColor();
  void refreshHolderView() override;
  virtual void updateReadOnlyMark();
  void Model2UI() override;
  virtual int querySaveAll();
  virtual void newMemoFile();
  virtual int writeVersionTS_(StringList& lines);
  TFrameMemoNode* getNodeFrame() override;
  bool isUIReadOnly() override;
  bool isUIInternet() override;
  std::string getTempDir() override;
  virtual void putTempDir_(const std::string& dir);
  virtual void showHolderCount();
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
  std::string getCmURL() { return cmURL_; }
  std::string getURLPrefix() { return "http://"; }
  AgentAPLAbs* getAgent() override;
  CommandTable& commands() override { return commands_; }

  int UIBreak();
  // Shell and window commands of the first layer (FormMainBase0007_commands.cpp).
  std::string getExeDir();
  int ShellExecuteOpen_(const std::string& name);
  int UIExplorerCurrentDir();
  int UIExplorerFileDir();
  int UIExplorerExeDir();
  int UIHardCopy();
  int UIClose();
  int UICloseAllYes();
  int UITerminateForce(const std::string& text);

  // The document's name ("noname" without one) and its number of notebooks.
  std::string documentName();
  int holderCount();

  // The idle step of the auto-save; the window's timer calls it about once a second.
  void idleAutoSave_();
  DateTime lastAutoSave() const { return lastAutoSave_; }
  // What tells the auto-save that a modal dialog is open (replaceable in tests).
  void setModalProbe(std::function<bool()> probe) { modalProbe_ = std::move(probe); }

  bool doing() const { return doing_; }
  const std::string& activity() const { return activity_; }
  bool yesToAll() const { return yesToAll_; }

 protected:
  TFormMainBase0007();
  void closeEvent(QCloseEvent* event) override;
  // The part of the auto-save that writes: every modified notebook, never the document.
  virtual void saveModifiedHolders_();
  // Registers this layer's own commands (FormMainBase0007_commands.cpp).
  void registerWindowCommands();
  // An internal inconsistency: error box, log and status line.
  void systemError(const std::string& message);

  MemoFileUI* aFile_ = nullptr;  // owned by the most derived layer, which makes it
  std::string userName_;
  std::string activity_;
  bool doing_ = false;
  bool break_ = false;
  bool yesToAll_ = false;
  bool flagFileLock_ = false;
  int bufferSize_ = 2097152;
  DateTime lastAutoSave_;
  std::string version_ = "00.15.05f";
  std::string releaseDate_ = "May 23, 2004";
  std::string cmURL_ = "https://example.invalid/wux/";
  StringList textBuffer_, work1_, work2_, parseMessages_, saveBuffer_, searchHistory_, other_;
  std::unique_ptr<AgentAPLWUX> agent_;
  CommandTable commands_;
  QTimer* idleTimer_ = nullptr;
  std::function<bool()> modalProbe_;
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

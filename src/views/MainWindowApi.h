#pragma once
// What the views, the dialogs and the command families may ask of the main window.
// They take this interface, never the window itself, so each can be tested against a
// small fake and none depends on the window's layers.
#include <optional>
#include <string>

#include "model/strutil.h"

namespace wux {

class AgentAPLAbs;
class CommandTable;
class MemoFileUI;
class MemoHolderUI;
class MemoNode;
class MemoNodeUI;
class StringList;
class TFrameMemoHolder;
class TFrameMemoNode;
class TStringsPrinter;

// Result codes shared by every command.
enum : int {
  kResultFailed = -1,
  kResultOpenRefused = -2,
  kResultNoNode = -6,
  kResultHolderReadOnly = -7,
  kResultUIReadOnly = -8,
  kResultNoDocument = -9,
  kResultShouldNotExecute = -100,
  kResultNotImplemented = -101,
};

// A window's outer rectangle, or a screen's, in pixels.
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class MainWindowApi {
 public:
  virtual ~MainWindowApi() = default;

  // The document and what is current in it.
  virtual MemoFileUI* getMemoFile() = 0;
  virtual MemoHolderUI* getCurrentHolder() = 0;
  virtual MemoNodeUI* getCurrentNode() = 0;
  virtual void setCurrentNode(MemoNodeUI* node) = 0;
  // Commits the editor, makes the note current in its notebook and shows it.
  virtual MemoNodeUI* changeCurrentNode_(MemoNodeUI* node) = 0;
  virtual MemoHolderUI* changeCurrentHolder(MemoHolderUI* holder) = 0;
  virtual MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* holder) = 0;
  virtual int loadHolder(MemoHolderUI* holder) = 0;
  // Makes a notebook at `index` (-1: at the end) with its view; nullptr without a document.
  virtual MemoHolderUI* newHolder_(int index) = 0;

  // Guards: true means "refused" (and the status says why).
  virtual bool checkUIReadOnly() = 0;
  virtual bool checkHolderReadOnly() = 0;
  virtual bool isUIReadOnly() = 0;
  virtual bool isUIInternet() = 0;
  // Switches the interface's read-only mode (a notebook made read-only turns it on).
  virtual void setUIReadOnly_(bool) {}

  // The busy protocol. Prefer BusyScope to pairing begin and end by hand.
  virtual bool isDoing_() = 0;
  virtual void beginDoing_(const std::string& text) = 0;
  virtual void messageDoing_(const std::string& text) = 0;
  virtual void endDoing_(const std::string& text) = 0;
  virtual void endDoing() = 0;
  virtual bool isBreak() const = 0;
  // Holds the window busy for work inside a showing or a commit (a long tree load or
  // write) without a status text of its own: while held, isDoing_() answers true, so
  // only Break acts. Holds nest, and releasing the last one leaves an operation that
  // was running before as it was.
  virtual void holdDoing_(bool on) { (void)on; }

  // The log (in memory only).
  virtual int addLog_(const std::string& text) = 0;
  virtual void addLogTS(const std::string& text) = 0;
  virtual int addLogStrings(const StringList& lines) = 0;
  virtual std::string nowString() = 0;

  virtual int shouldNotExecute(const std::string& name) = 0;
  virtual int stillNotImplemented(const std::string& name) = 0;

  // Editor <-> model.
  virtual int UI2Model() = 0;
  // Commits every editor that may hold edits, the note windows' too: before the model is
  // written whole (the save questions).
  virtual int UI2ModelAll() { return UI2Model(); }
  virtual void Model2UI() = 0;
  virtual void refreshHolderView() = 0;
  virtual TFrameMemoHolder* getHolderFrame() = 0;
  virtual TFrameMemoNode* getNodeFrame() = 0;

  virtual std::string getUserName() = 0;
  virtual std::string getVersion() = 0;
  virtual std::string getTempDir() = 0;
  virtual AgentAPLAbs* getAgent() = 0;
  // The program's web page address and its folder (ending in a separator).
  virtual std::string getCmURL() { return std::string(); }
  virtual std::string getExeDir() { return std::string(); }

  // Every command, by name; menus, buttons, keys and scripts run commands through it.
  virtual CommandTable& commands() = 0;

  // The document workflow's needs of the window: an empty document with one notebook,
  // the caption after the document's name changed, and the log window shown.
  virtual void newMemoFile() {}
  // Empties the document, the views let go of it first; the caller refills it.
  virtual void clearMemoFile() {}
  virtual void updateCaption() {}
  virtual int showFormLog() { return 0; }
  // The window's text printer with its settings; nullptr where there is none.
  virtual TStringsPrinter* stringsPrinter() { return nullptr; }

  // The window's place and size, and the screen it is on (a fake screen in tests).
  virtual WindowRect getWindowRect() { return {}; }
  virtual void setWindowRect(const WindowRect&) {}
  virtual WindowRect getScreenRect() { return {}; }
  // The colour of the window's top panel; none where the window has no such panel.
  virtual std::optional<Color> panelTopColor() { return std::nullopt; }
  // The message panel of the status bar, and the panel that counts the notebooks.
  virtual std::string getStatusText() { return std::string(); }
  virtual void showHolderCount() {}
  // The jump mark: a note remembered by Jump > Set, empty again once the note is freed.
  virtual void setJumpMark(MemoNodeUI*) {}
  virtual MemoNodeUI* getJumpMark() { return nullptr; }

  // The main window this one works for: itself, unless it is a window of its own that
  // forwards to the main window (a note window's).
  virtual MainWindowApi* mainWindow() { return this; }

  // The note editor's copy history: newest first, no duplicates, ten at most.
  virtual void AddCopyHistory(const std::string& text) = 0;
  // A report of the note editor that only the main window's own editor gives (the
  // field-line commands, the paste history), in its status line.
  virtual void editorReport_(const std::string& text) { messageDoing_(text); }
  virtual StringList& copyHistory() = 0;
  // The current notebook's date pattern as stored (with its quotes).
  virtual std::string getDateFormat() = 0;
};

// Runs a long operation between beginDoing_ and endDoing_, so the operation ends on
// every path, exceptions included. The closing text is what finish() set, else the
// protocol's own "Done: " / "Break: " text.
class BusyScope {
 public:
  BusyScope(MainWindowApi& w, const std::string& activity) : w_(w) { w_.beginDoing_(activity); }
  ~BusyScope() {
    try {
      w_.endDoing_(result_);
    } catch (...) {
      // Ending the operation only writes the status line; a failure there must not
      // turn an exception already in flight into a termination.
    }
  }
  void finish(const std::string& resultText) { result_ = resultText; }
  bool isBreak() const { return w_.isBreak(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  MainWindowApi& w_;
  std::string result_;
};

// Readies a note for a command that puts its text or content somewhere else (a page, a
// print, a mail, another file): MemoNode::loadForReading_. A file that cannot be read
// is logged, and the answer is the command's closing text, "Failure: " + the note's
// name + ": " + the reason; "" when the note is ready.
std::string unreadNote(MainWindowApi& w, MemoNode& node);

}  // namespace wux

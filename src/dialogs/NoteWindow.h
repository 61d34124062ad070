#pragma once
// A note in a window of its own, through the note editor frame. A new window is made for
// each showing; the read-only one starts with its UIReadOnly box checked. The window
// watches its note: when the note is destroyed the window lets go of it and says so,
// keeping the text on screen, so nothing it holds ever points at a freed note.
#include <QWidget>
#include <functional>
#include <memory>

#include "model/objects.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;

class QPrinter;

namespace wux {

class TFormMemoNode;
class TFrameMemoNode;

// The main window's note file commands as a note window runs them for its own note:
// save its content under a chosen name, print it. They report through the api given
// (the window's own status bar) and answer 0 when done, negative otherwise. The main
// window's layer installs them; the dialogs cannot reach it.
struct NoteWindowActions {
  std::function<int(MainWindowApi& reportTo, MemoNode& node)> saveAs;
  std::function<int(MainWindowApi& reportTo, MemoNode& node)> print;
  // Prints the window's picture on the main window's printer; false with the reason.
  std::function<bool(MainWindowApi& main, QWidget& window, std::string& why)> hardCopy;
};
void setNoteWindowActions(NoteWindowActions actions);

// The agent of a note window: status texts go to the window's status bar, the Internet
// question to its main window. While its window link is empty it does nothing.
class AgentAPLMemoNode : public AgentAPLAbs {
 public:
  void setForm(TFormMemoNode* form) { form_ = form; }
  TFormMemoNode* form() const { return form_; }
  // The main window's Break stops this window's long work too.
  bool isBreak() override;
  int messageDoing_(const std::string& text) override;
  int query_(const std::string& key, std::string& value) override;

 private:
  TFormMemoNode* form_ = nullptr;
};

class TFormMemoNode : public QWidget, private NoteWatcher {
  Q_OBJECT
 public:
  // `mainWindow` may be null: the window then saves and prints on its own.
  explicit TFormMemoNode(MainWindowApi* mainWindow, QWidget* parent = nullptr);
  ~TFormMemoNode() override;

  // Gives the frame the note and shows it; the note's window link becomes this window.
  void showNote(MemoNodeUI* node);
  MemoNodeUI* node() const { return node_; }
  // True once the note was destroyed while shown here.
  bool noteGone() const { return gone_; }
  MainWindowApi* mainWindow() const { return main_; }

  void setReadOnly(bool flag);
  bool readOnly() const;

  // Buttons and menu items.
  void SaveAsClick();
  void HardCopyClick();
  void PrintClick();
  void ShowMenuPopup();
  void CommentClick();
  void FieldClick();

  TFrameMemoNode* FrameMemoNode1() const { return frame_; }
  QCheckBox* CheckBox_UIReadOnly() const { return readOnlyBox_; }
  QLabel* StaticText_Holder() const { return holderLabel_; }
  QStatusBar* StatusBar1() const { return status_; }
  AgentAPLMemoNode& agent() { return agent_; }
  QAction* showCommentAction() const { return showComment_; }
  QAction* showFieldAction() const { return showField_; }
  // The status bar's text.
  std::string statusText() const;
  void setStatusText(const std::string& text);

  // The chooser of the save-as file; by default the desktop's save dialog. Returns
  // false when cancelled.
  std::function<bool(std::string& path)> chooseSaveFile;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void noteGone_(MemoNodeUI* node) override;
  void commit();
  // Prints the window's picture: on the main window's printer, or on the window's own
  // when it has no main window. False with the reason.
  bool printHardCopy(std::string& why);
  class Owner;

  MainWindowApi* main_;
  AgentAPLMemoNode agent_;
  std::unique_ptr<Owner> owner_;
  MemoNodeUI* node_ = nullptr;
  bool gone_ = false;
  bool readOnly_ = false;
  TFrameMemoNode* frame_;
  QCheckBox* readOnlyBox_;
  QLabel* holderLabel_;
  QStatusBar* status_;
  QAction* showComment_;
  QAction* showField_;
  std::unique_ptr<QPrinter> ownPrinter_;
};

// Opens the current note in a new window: -1 while busy or without a current note in a
// notebook. With `readOnly` the window starts read-only. The window belongs to `parent`
// (the main window) and deletes itself when closed.
int showNoteWindow(MainWindowApi& w, QWidget* parent, bool readOnly, TFormMemoNode** made = nullptr);

}  // namespace wux

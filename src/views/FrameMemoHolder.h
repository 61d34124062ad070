#pragma once
// The notebook frame of the main window: the notebook's view control with its status
// line on the left, the note editor on the right. Clicks, check boxes, drops and keys in
// the views, and the wheel anywhere over the frame, come here and go on to the main
// window; the three context menus run their commands through the main window's command
// table.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QSplitter;
class QVBoxLayout;

namespace wux {

class GrepDialogApi;
class MainWindowApi;
class MemoHolderUI;
class MemoNode;
class MemoNodeUI;
class NoteItem;
class TFrameMemoNode;

class TFrameMemoHolder : public QWidget {
  Q_OBJECT
 public:
  explicit TFrameMemoHolder(QWidget* parent = nullptr);

  void setMainWindow(MainWindowApi* w) { main_ = w; }
  MainWindowApi* mainWindow() const { return main_; }
  void setHolder(MemoHolderUI* h);
  MemoHolderUI* holder() const { return holder_; }
  TFrameMemoNode* FrameMemoNode1() const { return nodeFrame_; }
  QWidget* PanelLeft() const { return panelLeft_; }
  QMenu* PopupMenuLB() const { return menuLB_; }
  QMenu* PopupMenuTV() const { return menuTV_; }
  QMenu* PopupMenuLV() const { return menuLV_; }

  void init_();
  void setCursor_(int cursor);
  void messageDoing_(const std::string& text);
  void attachCheckListBox_(QWidget* control);
  void attachTreeView_(QWidget* control);
  void attachListView_(QWidget* control);
  void changeToCheckListBox_();
  void changeToTreeView_();
  void changeToListView_();
  int showStatus_();
  std::string statusText() const;
  void pasteNodeList_();

  // What the views report.
  void ViewClick(NoteItem* item);
  void CheckListBoxDragDrop(NoteItem* dragged, NoteItem* target);
  void TreeViewDragDrop(NoteItem* dragged, NoteItem* target);
  // Several selected items dropped together, in selection order.
  void TreeViewDragDrop(const std::vector<NoteItem*>& dragged, NoteItem* target);
  void CheckListBoxClickCheck(MemoNode* node, bool checked);
  // Left and Right in a view: the previous or next notebook.
  void stepHolder(int step);
  // Up and Down in the tree: the previous or next note in item order.
  void stepNode(int step);
  // The wheel over the frame: the next (down) or previous (up) note.
  void wheelStep(bool down);
  // The note a notch that way would make current; none when the wheel walks nowhere.
  MemoNodeUI* wheelTarget(bool down);
  // A turn of the wheel by `angle` (eighths of a degree, negative down): every whole
  // notch of 120 moves one note; the rest waits for the next turn.
  void wheelTurn_(int angle);

  // ---- what the menus do in the frame itself ----
  enum class NameEdit { Mark, Cut1, Inc1, Dec1, ExtractFilename, Copy, Paste };
  // Renames the current note; `mark` is the caption a Mark item puts in front.
  void renameCurrent_(NameEdit edit, const std::string& mark = {});
  // Tag 1..10: that many clones; 0: asks for the number ("X").
  void cloneCurrent_(int tag);
  // "<a href" and "<img" grep for themselves; an empty keyword asks with the dialog.
  void newChildGrep_(const std::string& keyword);
  // Fills the list view's columns from the notebook's query note.
  int showQuery_();
  int saveAsCSV_();
  // 0 icon, 1 small icon, 2 list, 3 report; -1 without a list view.
  int setListViewStyle_(int style);
  int listViewStyle() const;

  const std::string& cloneCountText() const { return cloneCount_; }
  // The grep dialog's one instance; without it the fixed keywords use the defaults and
  // "Any" does nothing.
  std::function<GrepDialogApi*()> grepDialog;

  // The command each menu item runs, "" for the items the frame handles itself.
  static std::string commandOf(const class QAction* item);
  // What a menu item does: runs its command through the main window's table; refused
  // while an operation runs unless `always` (the command then asks the guard itself).
  void runMenuCommand(const std::string& name, bool always, const std::vector<std::string>& args = {});

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void attach(QWidget* control);
  bool ready();
  void buildMenus();
  void popupMenu(QWidget* control, const QPoint& at);
  bool renameTo(MemoNodeUI* note, const std::string& name);

  MainWindowApi* main_ = nullptr;
  MemoHolderUI* holder_ = nullptr;
  std::string cloneCount_ = "15";
  int wheelRest_ = 0;
  QWidget* panelLeft_;
  QVBoxLayout* panelLayout_;
  QLabel* status_;
  QSplitter* split_;
  TFrameMemoNode* nodeFrame_;
  QMenu* menuLB_ = nullptr;
  QMenu* menuTV_ = nullptr;
  QMenu* menuLV_ = nullptr;
};

}  // namespace wux

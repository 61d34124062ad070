#pragma once
// The notebook frame of the main window: the notebook's view control with its status
// line on the left, the note editor on the right. Clicks, check boxes and drops in the
// views come here and go on to the main window.
#include <QWidget>

class QLabel;
class QSplitter;
class QVBoxLayout;

namespace wux {

class MainWindowApi;
class MemoHolderUI;
class MemoNode;
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

  // What the views report.
  void ViewClick(NoteItem* item);
  void CheckListBoxDragDrop(NoteItem* dragged, NoteItem* target);
  void TreeViewDragDrop(NoteItem* dragged, NoteItem* target);
  void CheckListBoxClickCheck(MemoNode* node, bool checked);
  // Left and Right in a view: the previous or next notebook.
  void stepHolder(int step);
  // The wheel over a view: the next (down) or previous (up) note.
  void wheelStep(bool down);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  const std::string& cloneCountText() const { return cloneCount_; }

 private:
  void attach(QWidget* control);
  bool notBusy();

  MainWindowApi* main_ = nullptr;
  MemoHolderUI* holder_ = nullptr;
  std::string cloneCount_ = "15";
  QWidget* panelLeft_;
  QVBoxLayout* panelLayout_;
  QLabel* status_;
  QSplitter* split_;
  TFrameMemoNode* nodeFrame_;
};

}  // namespace wux

#pragma once
// Fourth layer: the status bar, the top panel with the read-only and Internet switches,
// the cursor, the colour and the read-only mark.
#include "mainwindow/FormMainScript.h"

class QCheckBox;
class QLabel;
class QFrame;
class QAction;
class QMenu;
class QMenuBar;

namespace wux {

class TFormMainMenu : public TFormMainScript {
  Q_OBJECT
 public:
  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);

  void FormCreate() override;
  void mouseCursor(int cursor) override;
  void messageDoing_(const std::string& text) override;
  void updateColor() override;
  void updateReadOnlyMark() override;
  TFrameMemoNode* getNodeFrame() override;
  bool isUIReadOnly() override;
  bool isUIInternet() override;
  void setUIReadOnly_(bool on) override;
  void showHolderCount() override;
  int changeTreeView_() override;
  int changeListView_() override;
  int changeCheckListBox_() override;

  // The three status panels: read-only mark, notebook count, message (Shift_JIS).
  std::string statusPanel(int i) const;
  std::string getStatusText() override { return statusPanel(2); }
  QCheckBox* uiReadOnlyBox() const { return checkUIReadOnly_; }
  QCheckBox* uiInternetBox() const { return checkUIInternet_; }
  QFrame* panelTop() const { return panelTop_; }

 protected:
  TFormMainMenu() = default;
  // The buttons and menu items run commands only through the command table. A guarded
  // one does nothing while busy; an exception ends in the error box, not in the event loop.
  void registerMenuLayerCommands();
  void makeToolBar();
  void makeMenus();
  void makeFileMenu(QMenuBar* bar);
  void act(const std::string& command, bool guarded = true, const CommandArgs& args = {});
  QAction* addItem(QMenu* menu, const char* caption, const std::string& command, bool guarded = true);
  void enableWhileIdle(QMenu* menu);
  int changeView(void (TFrameMemoHolder::*change)());
  QFrame* panelTop_ = nullptr;
  QCheckBox* checkUIReadOnly_ = nullptr;
  QCheckBox* checkUIInternet_ = nullptr;
  QLabel* panels_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace wux

#pragma once
// Fourth layer: the menu bar, the tool bar with the read-only and Internet switches, the
// status bar and its pop-up, the notebook tabs' pop-up, the cursor, the colour and the
// read-only mark. The menus and buttons are built from MainMenuTable.
#include <functional>
#include <vector>

#include "mainwindow/FormMainScript.h"
#include "mainwindow/MainMenuTable.h"

class QCheckBox;
class QLabel;
class QFrame;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

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
  std::optional<Color> panelTopColor() override;
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
  // The notebook tabs' pop-up (the tab bar of the next layer shows it) and the status
  // bar's.
  QMenu* tabPopup() const { return tabPopup_; }
  QMenu* statusPopup() const { return statusPopup_; }

 protected:
  TFormMainMenu() = default;
  // The buttons and menu items run commands only through the command table. A guarded
  // one does nothing while busy; an exception ends in the error box, not in the event loop.
  void registerMenuLayerCommands();
  void makeToolBar();
  void makeMenus();
  void makePopups();
  void act(const std::string& command, bool guarded = true, const CommandArgs& args = {});
  // What a click on an entry's item or button does: its command with its argument.
  std::function<void()> handler(const char* caption, const char* command, const char* arg, unsigned flags);
  // On a drop: every item disabled while busy, enabled otherwise; then the check marks.
  void menuDropped(QMenu* menu, bool neverDisabled);
  void updateChecks(QMenu* menu);
  // The read-only switch's effect on the buttons, the tab items and the editor.
  void applyUIReadOnly(bool on);
  void internetSwitched(bool on);
  int changeView(void (TFrameMemoHolder::*change)());
  QFrame* panelTop_ = nullptr;
  QCheckBox* checkUIReadOnly_ = nullptr;
  // True while the program itself sets the switch (a notebook made read-only): such a
  // change is kept even while busy.
  bool settingUIReadOnly_ = false;
  QCheckBox* checkUIInternet_ = nullptr;
  QLabel* panels_[3] = {nullptr, nullptr, nullptr};
  QMenu* tabPopup_ = nullptr;
  QMenu* statusPopup_ = nullptr;
  // What the read-only switch disables: the New, URL and Image buttons and the tab items.
  std::vector<QWidget*> writableButtons_;
  std::vector<QAction*> writableItems_;
};

}  // namespace wux

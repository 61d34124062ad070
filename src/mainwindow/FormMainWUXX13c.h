#pragma once
// The window the program makes: the notebook tabs, the notebook frame, and the view
// operations bound to it. It owns the document.
#include "mainwindow/FormMainMenu.h"

class QTabBar;
class QSplitter;

namespace wux {

class QtTabBinding;
class TFormGrep;

class TFormMainWUXX13c : public TFormMainMenu {
  Q_OBJECT
 public:
  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);
  ~TFormMainWUXX13c() override;

  void FormCreate() override;
  void mouseCursor(int cursor) override;
  int setCheckListBox_(QWidget* control) override;
  int setTreeView_(QWidget* control) override;
  int setListView_(QWidget* control) override;
  void showHolder_(MemoHolderUI* holder) override;
  void hideHolder_(MemoHolderUI* holder) override;
  void newMemoFile() override;
  void clearMemoFile() override;
  TFrameMemoHolder* getHolderFrame() override;

  QTabBar* tabControl() const { return tabControl1_; }
  // The tab bar's change handler (public so that tests can drive it like a click).
  void TabControl1Change(int index);
  // The grep keyword dialog, made on first use and kept.
  TFormGrep* getFormGrep();

 protected:
  TFormMainWUXX13c();
  QWidget* panel1_ = nullptr;
  QTabBar* tabControl1_ = nullptr;
  TFrameMemoHolder* frameMemoHolder1_ = nullptr;  // Qt child of panel1_
  std::unique_ptr<MemoFileUI> file_;
  std::unique_ptr<QtTabBinding> tabs_;
  TFormGrep* formGrep_ = nullptr;  // Qt child of the window
};

}  // namespace wux

#pragma once
// Second layer: settings held by the window, the log window, the copy history.
#include "mainwindow/FormMainBase0007.h"
#include "mainwindow/Settings.h"

namespace wux {

class TFormLog;

class TFormMainBaseWUX : public TFormMainBase0007 {
  Q_OBJECT
 public:
  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);

  void FormCreate() override;
  int addLog_(const std::string& text) override;
  int showFormLog() override;
  int getAutoSaveTime() override { return settings_.autoSaveTime; }
  void putAutoSaveTime_(int seconds) override { settings_.autoSaveTime = seconds > 0 ? seconds : 0; }
  Settings& settings() { return settings_; }
  MemoHolderUI* newHolder_(int index) override;
  virtual int changeTreeView_();
  virtual int changeListView_();
  virtual int changeCheckListBox_();

  TFormLog* getFormLog();
  // The texts most recently copied, cut or pasted, newest first, no duplicates, ten at most.
  StringList& copyHistory() { return copyHistory_; }
  void AddCopyHistory(const std::string& text);

 protected:
  TFormMainBaseWUX() = default;
  Settings settings_;
  TFormLog* formLog_ = nullptr;  // owned by this window (Qt parent)
  StringList copyHistory_;
};

}  // namespace wux

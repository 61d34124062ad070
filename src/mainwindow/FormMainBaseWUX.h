#pragma once
// Second layer: settings held by the window, the log window, the copy history.
#include "mainwindow/FormMainBase0007.h"
#include "mainwindow/Settings.h"

#include <functional>
#include <vector>

class QFont;

namespace wux {

class TFormAbout;
class TFormLog;
class TFormPropatyApl;

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

  // ---- start-up, the settings file, fonts, drops, the version report ----
  // (FormMainBaseWUX_settings.cpp)
  // Reads the settings file, if there is one, and applies it; shows the splash.
  int _loadINIFile_();
  void applySettings(const AppSettings& s, const std::string& path);
  // Opens the file named first on the command line (`args` without the program), else
  // the default document; a name that does not exist leaves the new document named
  // after it and modified, so the first save creates it.
  int openArg1_(const std::vector<std::string>& args);
  std::string getDefaultFilename_();
  // Opens the file named at start-up (even while start-up counts as busy), and a file
  // dropped on the window: both through the document's open dispatcher.
  virtual int openStartFile_(const std::string& name);
  virtual int openDroppedFile_(const std::string& name);
  TFormAbout* getFormAbout();
  int setAboutImage_(const std::string& file);
  void showAbout_(int ms);
  int UIShowFormAbout();
  int UIFontDialog();
  int UIFontSizeInc();
  int UIFontSizeDec();
  int fontSize() const;
  void setFontSize(int size);
  int writeVersionTS_(StringList& lines) override;
  int UIVersion();
  // The version report into the editor's selection.
  int UIVersion2SEL();
  TFormPropatyApl* getFormPropatyApl();
  int UIShowApplicationPropaty();
  // What a drop of files does: `over` is the widget under the mouse.
  int WMDropFiles(const std::vector<std::string>& files, QWidget* over);
  // The font dialog (false when cancelled); replaceable for tests.
  std::function<bool(QFont& font)> chooseFont;
  // The texts most recently copied, cut or pasted, newest first, no duplicates, ten at most.
  StringList& copyHistory() { return copyHistory_; }
  void AddCopyHistory(const std::string& text);

 protected:
  TFormMainBaseWUX() = default;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void registerSettingsWindowCommands();
  Settings settings_;
  TFormLog* formLog_ = nullptr;  // owned by this window (Qt parent)
  TFormAbout* formAbout_ = nullptr;
  TFormPropatyApl* formPropatyApl_ = nullptr;
  StringList copyHistory_;
};

}  // namespace wux

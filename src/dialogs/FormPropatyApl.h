#pragma once
// The application properties: the temporary folder, what a drop of files does, the
// auto-save period and the window's font. It edits the running program's settings in
// place; nothing is written to a file.
#include <QDialog>
#include <functional>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wux {

// The running program's settings the window edits, in place; the main window holds them.
struct AplSettings {
  std::string& tempDir;  // empty: the program's folder
  int& dropMode;         // 0 open the files, 1 their full names, 2 their names into the editor
  int& autoSaveTime;     // seconds between auto-saves
  // The folder the program uses as its temporary one, the set one or, with none set,
  // the program's own choice; without it, the set one.
  std::function<std::string()> tempDirInUse = {};
};

class TFormPropatyApl : public QDialog {
  Q_OBJECT
 public:
  TFormPropatyApl(QWidget* owner, AplSettings settings);

  // The temporary folder as set (may be empty), and setting it (trimmed).
  std::string getTempDir() const;
  // The folder the program uses: what "Explorer" opens and "SetTempDir" starts at.
  std::string tempDirInUse() const;
  void putTempDir_(const std::string& dir);
  // The auto-save period from the edit's leading digits; 0 for none or a negative one.
  int getAutoSaveTime() const;
  void putAutoSaveTime_(int seconds);
  int dropMode() const;
  // The main window's font, so that the window reads like it.
  void setFontFrom_(const QFont& font);

  // The folder chooser behind "SetTempDir" (starting folder in, chosen folder out;
  // false when cancelled) and what "Font" runs; replaceable for tests.
  std::function<bool(std::string& dir)> chooseDirectory;
  std::function<void()> onFont;

  // "SetTempDir", "Explorer", "Font".
  void Button6Click();
  void ExplorerTempDirBtnClick();
  void FontBtnClick();

  QLabel* StaticTextTempDir() const { return tempDir_; }
  QLineEdit* Edit_AutoSaveTime() const { return autoSave_; }
  QButtonGroup* RadioGroup_DragAndDrop() const { return drop_; }

 private:
  AplSettings settings_;
  QLabel* tempDir_;
  QLineEdit* autoSave_;
  QButtonGroup* drop_;
};

}  // namespace wux

#pragma once
// The keyword search windows over notebooks: TFormScanHolders searches the ticked
// notebooks of the document, TFormScanHolder the current notebook. Each lists the
// matching notes ("List") or lines ("Grep"), replaces a keyword, and acts on the notes
// listed. The lines hold their notes weakly: a line whose note has gone does nothing.
//
// While the window has no main window (setMainWindow), its commands do nothing.
#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/LinesView.h"
#include "dialogs/ScanCommon.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QWidget;

namespace wux {

class TFormScanHolders : public QDialog {
  Q_OBJECT
 public:
  explicit TFormScanHolders(QWidget* parent = nullptr) : TFormScanHolders(false, parent) {}

  void setMainWindow(MainWindowApi* w) { aForm_ = w; }
  MainWindowApi* mainWindow() const { return aForm_; }
  void setKeywordHistory(KeywordHistory* history) { history_ = history; }
  // Where "Edit Select" hands its notes; unset: the batch-edit window is missing.
  void setBatchEditor(BatchEditor editor) { editSel_ = std::move(editor); }

  // ---- the buttons ----
  void update();  // "Update": refill the notebook list, keeping the ticks
  void allOn();
  void allOff();
  void selectCurrent();
  void selectAll();
  void unselect();
  void scan();
  void replace();
  void grep();
  void mark(bool on);
  void newNode();
  void editSelect();
  void clearList();
  void clearGrep();
  void copyHolder();
  void moveHolder();
  // A click on a line of the list.
  void clickLine(int row);

  // ---- what tests and the opener look at ----
  QComboBox* ComboBox1 = nullptr;
  QComboBox* ComboBox2 = nullptr;
  HolderCheckList* CheckListBox1 = nullptr;
  QCheckBox *CheckBox_Name = nullptr, *CheckBox_Memo = nullptr, *CheckBox_Field = nullptr,
            *CheckBox_Comment = nullptr, *CheckBox_Ignore = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget *TabSheet_List = nullptr, *TabSheet_Grep = nullptr;
  LinesList* ListBox2 = nullptr;
  LinesView* Memo_Grep = nullptr;
  QWidget* Panel1 = nullptr;
  ScanStatusBar* StatusBar1 = nullptr;
  std::string status() const;
  const std::vector<SearchLine>& listLines() const { return list_; }
  const SearchLines& grepLines() const { return grep_; }

 protected:
  // `oneHolder`: the window of the current notebook.
  TFormScanHolders(bool oneHolder, QWidget* parent);

 private:
  void closeWindow() { close(); }
  void markOn() { mark(true); }
  void markOff() { mark(false); }
  QPushButton* button(QWidget* parent, const char* caption, void (TFormScanHolders::*action)());
  // The notebooks searched; an empty list when there is nothing to search.
  std::vector<MemoHolder*> targets();
  bool ready();
  bool keywordGiven(std::string& keyword, bool statusToo);
  void rememberKeyword(const std::string& keyword);
  SearchParts parts() const;
  void showList();
  void confirm(const std::string& text);

  const bool oneHolder_;
  MainWindowApi* aForm_ = nullptr;
  KeywordHistory* history_ = nullptr;
  KeywordHistory ownHistory_;
  BatchEditor editSel_;
  std::vector<SearchLine> list_;
  SearchLines grep_;
};

// The same window on the current notebook only: no notebook list.
class TFormScanHolder : public TFormScanHolders {
  Q_OBJECT
 public:
  explicit TFormScanHolder(QWidget* parent = nullptr) : TFormScanHolders(true, parent) {}
};

}  // namespace wux

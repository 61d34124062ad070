#pragma once
// The field scan window: finds the notes of the ticked notebooks by a field, or by the
// field's value, then sets, replaces inside or deletes that field on them, marks them,
// lists them in a new note or hands them to the batch editor. Its lines hold their
// notes weakly. While it has no main window its commands do nothing.
#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/LinesView.h"
#include "dialogs/ScanCommon.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace wux {

class TFormField : public QDialog {
  Q_OBJECT
 public:
  explicit TFormField(QWidget* parent = nullptr);

  void setMainWindow(MainWindowApi* w) { aForm_ = w; }
  void setBatchEditor(BatchEditor editor) { editSel_ = std::move(editor); }

  // ---- the buttons ----
  // The number of lines listed, or -1 when the scan did not run.
  int scan(bool invert = false);
  void set();
  void replace();
  void deleteField();
  void mark(bool on);
  void newNode();
  void editSel();
  void clear();
  void fieldNames();
  void values(QComboBox* target);
  void upHolder();
  void copyHolder();
  void clickLine(int row);

  QComboBox *ComboBox_Field = nullptr, *ComboBox_Value = nullptr, *ComboBox_ReplaceValue = nullptr;
  QCheckBox* CheckBox_Ignore = nullptr;
  QRadioButton *ScanOp_Field = nullptr, *ScanOp_Both = nullptr;
  QRadioButton *ValueOp_Equal = nullptr, *ValueOp_Include = nullptr;
  HolderCheckList* CheckListBox1 = nullptr;
  LinesList* ListBox2 = nullptr;
  QWidget* Panel1 = nullptr;
  ScanStatusBar* StatusBar1 = nullptr;
  std::string status() const { return StatusBar1->text(); }
  const std::vector<SearchLine>& lines() const { return result_.lines; }

 private:
  bool ready();
  // The typed field name, trimmed; false, with a warning box and status, when it is
  // empty or, for a command that writes it (`toWrite`), cannot name a field.
  bool fieldName(bool toWrite, std::string& f);
  void showLines();
  // Scans, then applies `change` to the result when there is one.
  template <class Change>
  void changeScanned(Change change);

  MainWindowApi* aForm_ = nullptr;
  BatchEditor editSel_;
  SearchResult result_;
  std::string field_;
};

}  // namespace wux

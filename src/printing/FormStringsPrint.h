#pragma once
// The print settings dialog: edits a copy of a printer's settings, can print or preview
// the given lines with the copy, and gives the copy back on OK.
#include <QDialog>

#include "printing/StringsPrinter.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QCheckBox;
class QPushButton;
class QSpinBox;

namespace wux {

class StringList;

class TFormStringsPrint : public QDialog {
  Q_OBJECT
 public:
  // `lines` may be null (nothing to print: Print, Preview and the printer controls are off).
  TFormStringsPrint(TStringsPrinter& source, const StringList* lines, QWidget* parent = nullptr);

  // The copy being edited.
  TStringsPrinter& StringsPrinter1() { return copy_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void fillFromCopy();
  void updatePrinterLabels();
  void setPageRangeEnabled(bool on);
  void setLineRangeEnabled(bool on);
  void print();

  TStringsPrinter copy_;
  const StringList* lines_;

  QSpinBox *SpinEdit1, *SpinEdit2, *SpinEdit3, *SpinEdit4, *SpinEdit5, *SpinEdit12;
  QSpinBox *SpinEdit6, *SpinEdit7, *SpinEdit8, *SpinEdit9, *SpinEdit10, *SpinEdit11;
  QButtonGroup *RadioGroup1, *RadioGroup2, *RadioGroup3, *RadioGroup4, *RadioGroup5, *RadioGroup6;
  QLineEdit *Edit1, *Edit2;
  QComboBox *ComboBox1, *ComboBox2;
  QCheckBox* CheckBox1;
  QLabel *Label5, *Label12, *Label6;
  QLabel *LabelStartPage, *LabelLastPage, *LabelStartLine, *LabelLastLine;
  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
};

// Runs the dialog modally; true when it ended with OK (the printer then holds the
// edited settings; on Cancel it keeps its own).
bool ExecuteStringsPrintDialog(TStringsPrinter& printer, const StringList* lines, QWidget* parent = nullptr);

// The text of the dialog's Help button (Shift_JIS).
std::string StringsPrintKeywordHelp();

}  // namespace wux

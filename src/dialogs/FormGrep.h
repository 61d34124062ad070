#pragma once
// The keyword dialog of New Child > Grep > Any: the keyword with its history, where a
// line must match (anywhere, at its head, at its tail), and the case, number and NOT
// switches. One instance is kept, so the history and switches last the session.
#include <QDialog>

#include "views/GrepDialogApi.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;

namespace wux {

class TFormGrep : public QDialog, public GrepDialogApi {
  Q_OBJECT
 public:
  explicit TFormGrep(QWidget* parent = nullptr);

  bool ask() override;
  std::string keyword() const override;
  int option() const override;
  bool ignoreCase() const override;
  bool numbered() const override;
  bool inverted() const override;

  // The keyword goes to the top of the history (once) and the dialog is confirmed.
  void OKBtnClick();

  QComboBox* ComboBox1() const { return combo_; }
  QCheckBox* CheckBox_Number() const { return number_; }
  QCheckBox* CheckBox_NOT() const { return not_; }
  QCheckBox* CheckBox_Ignore() const { return ignore_; }
  QGroupBox* RadioGroup_Option() const { return optionBox_; }
  void setOption(int index);

 private:
  QComboBox* combo_;
  QCheckBox* number_;
  QCheckBox* not_;
  QCheckBox* ignore_;
  QGroupBox* optionBox_;
  QButtonGroup* options_;
};

}  // namespace wux

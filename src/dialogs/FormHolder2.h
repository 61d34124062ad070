#pragma once
// The notebook's property dialog ("Holder Propaty"): its settings on page "General",
// its mail keys on page "Mail". OK writes them into the notebook when the main window
// is set.
#include "dialogs/FormPropaty.h"
#include "dialogs/PropertyData.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace wux {

class MainWindowApi;
class MemoHolder;

class TFormHolder2 : public TFormPropaty {
  Q_OBJECT
 public:
  explicit TFormHolder2(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  void loadFromObject(MemoHolder* holder);
  // What the controls hold now.
  HolderProps edited() const;

  RadioGroup *RadioGroup_Type, *RadioGroup_Sort, *RadioGroup_NewNodeOP, *RadioGroup_FileExt;
  QComboBox *ComboBox_FormatDate, *ComboBox_FormatNumber;
  QLineEdit *Edit_SelectNodeName, *Edit_Alias;
  QCheckBox *CheckBox_FlagSort, *CheckBox_FlagReadOnly, *CheckBox_FlagExtra, *CheckBox_FlagSameName;
  QPlainTextEdit* Memo_Memo;
  ColorText* StaticText_Color;
  QLabel *StaticText_Name, *StaticText_FileName, *StaticText_CountOfNodes, *StaticText_QueryNode,
      *StaticText_CountSave, *StaticText_TimeSaved;
  QLineEdit* mailEdit(int i) const { return mail_[static_cast<std::size_t>(i)]; }

 protected:
  void storeToObject() override;

 private:
  MainWindowApi* w_ = nullptr;
  MemoHolder* holder_ = nullptr;
  HolderProps loaded_;
  std::array<QLineEdit*, 8> mail_{};
};

}  // namespace wux

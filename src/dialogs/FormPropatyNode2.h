#pragma once
// The note property window: note attributes and any one field, applied to the current
// note, the marked notes, the current notebook or every notebook. Not modal: it reads
// what is current when a button is pressed.
#include <QDialog>

#include "dialogs/FormPropaty.h"
#include "dialogs/PropertyData.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace wux {

class MainWindowApi;

class TFormPropatyNode2 : public QDialog {
  Q_OBJECT
 public:
  explicit TFormPropatyNode2(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  // Fills the controls from the current note.
  void loadNode_();
  // OK: the attributes onto the target notes (the window then closes).
  void OK();
  // One field onto the target notes.
  void BasicPut();
  EditTarget target() const;

  QLabel *StaticText_Name, *StaticText_Holder;
  QPushButton* StaticText_Filename;
  RadioGroup *RadioGroup_EditTarget, *RadioGroup_flagLink;
  QCheckBox *CheckBox_Creater, *CheckBox_Created, *CheckBox_Modified;
  ColorText* StaticText_Color;
  QComboBox *ComboBox_Field, *ComboBox_value;

 private:
  NoteProps edited() const;
  // The target notes after committing the editor; empty when nothing is current.
  std::vector<MemoNode*> targets();
  MainWindowApi* w_ = nullptr;
  NoteProps loaded_;
};

}  // namespace wux

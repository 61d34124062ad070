#pragma once
// The note property window: note attributes and any one field, applied to the note it
// was filled from, the marked notes or all notes of that note's notebook, or every
// notebook. Not modal: whatever becomes current meanwhile, its buttons act on the note
// it shows, and on nothing once that note is gone.
#include <QDialog>

#include "dialogs/FormPropaty.h"
#include "dialogs/PropertyData.h"
#include "views/MemoNodeUI.h"

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
  // Fills the controls from the current note, which the window then acts on.
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
  WatchedNote note_;
};

}  // namespace wux

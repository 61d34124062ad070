#pragma once
// The document's property dialog ("File Propaty"): its file name, name, colour and
// memo. Only the colour is kept; the mail page is for show and is neither filled nor
// stored.
#include "dialogs/FormPropaty.h"
#include "dialogs/PropertyData.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace wux {

class MainWindowApi;
class MemoFile;

class TFormMXA2 : public TFormPropaty {
  Q_OBJECT
 public:
  explicit TFormMXA2(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  void loadFromObject(MemoFile* doc);

  QLabel *StaticText_FileName, *StaticText_name;
  ColorText* StaticText_Color;
  QPlainTextEdit* Memo_Memo;

 protected:
  void storeToObject() override;

 private:
  MainWindowApi* w_ = nullptr;
  MemoFile* doc_ = nullptr;
  DocProps loaded_;
};

}  // namespace wux

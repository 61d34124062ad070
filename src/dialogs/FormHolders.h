#pragma once
// The notebook order dialog ("Holders Order"): each move changes the document at once
// (CANCEL keeps it) and marks the document modified.
#include "dialogs/FormPropaty.h"

class QListWidget;

namespace wux {

class MainWindowApi;
class MemoFile;

class TFormHolders : public TFormPropaty {
  Q_OBJECT
 public:
  explicit TFormHolders(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  void loadFromObject(MemoFile* doc);
  QListWidget* ListBox1() const { return list_; }

  // The pop-up's moves of the selected line; nothing without a selected line.
  void Top();
  void UP();
  void Down();
  void Bottom();
  // A drag from line `from` dropped on line `to`.
  void dropMove(int from, int to);

 private:
  void moveTo(int from, int to);
  MainWindowApi* w_ = nullptr;
  MemoFile* doc_ = nullptr;
  QListWidget* list_;
};

}  // namespace wux

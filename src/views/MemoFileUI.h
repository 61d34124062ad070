#pragma once
// The open document of the running program: its notebooks are screen-bound, its
// notebook list is kept in step with a row of tabs, and it remembers the current note.
#include "model/records/HolderSave.h"
#include "model/records/MemoFile.h"

namespace wux {

class MainWindowApi;
class MemoHolderUI;
class MemoNodeUI;
class TabBinding;

class MemoFileUI : public MemoFile {
 public:
  using MemoFile::MemoFile;

  int clear_() override;
  std::string getTempDir_() override;
  Color getColor_() override;
  MemoHolder* newHolder_() override;
  std::string makeUniqueHolderName_(const std::string& name) override;
  int removeHolder_(MemoHolder* holder) override;
  void addHolder_(MemoHolder* holder, const std::string& name, std::string& actual) override;
  void insertHolder_(int index, MemoHolder* holder, const std::string& name, std::string& actual) override;
  void saveToTSL_(StringList& lines) override;
  void moveHolderUp_(int i) override;
  void moveHolderDown_(int i) override;
  void moveHolderTop_(int i) override;
  void moveHolderBottom_(int i) override;
  void moveHolder_(int i, int j) override;

  MemoNodeUI* getCurrentNode_() const { return currentNode_; }
  void putCurrentNode(MemoNodeUI* node) { currentNode_ = node; }
  // The notebook of the current note; without a current note, the one last made current.
  MemoHolderUI* getCurrentHolder_();
  int getCurrentHolderIndex_();

  void setForm(MainWindowApi* form) { form_ = form; }
  MainWindowApi* form() const { return form_; }
  TabBinding* attachTabControl_(TabBinding* tabs);
  void refreshTabs_();
  bool tabsBound() const { return tabsBound_; }

  // Writes every modified notebook (every notebook with `force`) to its own file, each by
  // the one notebook save asking what `policy` asks (nothing by default). A notebook never
  // loaded is read first, so an empty one never replaces a real file; one whose file
  // cannot be read is left alone. Answers the number written; each notebook not written
  // goes to `failed` as its reason (naming the file), with the notebook as the line's
  // object. One cancelled writes none.
  int saveHolders_(bool force, StringList* failed = nullptr, const HolderSavePolicy& policy = {});

 private:
  bool isTabMode() const;
  MemoNodeUI* currentNode_ = nullptr;
  MainWindowApi* form_ = nullptr;
  TabBinding* tabs_ = nullptr;
  bool tabsBound_ = false;
};

}  // namespace wux

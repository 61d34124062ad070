#pragma once
// The batch-edit window: one edit of names, texts, comments or a field applied to
// every note of its target list. The callers hand it their notes by replacing the list;
// a note deleted meanwhile is left out, never touched.
#include <QDialog>
#include <string>

#include "dialogs/LinesView.h"
#include "dialogs/PropertyData.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace wux {

class MainWindowApi;

class TFormEditSelNode : public QDialog {
  Q_OBJECT
 public:
  explicit TFormEditSelNode(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  // Replaces the targets: each line's text with its note.
  void setTargets(const StringList& notes);
  int targetCount() const { return targets_.count(); }

  void editName(NamePlace place);
  void editMemo(LinesPlace place);
  void editComment(LinesPlace place);
  void setField();
  void deleteField();
  void updateField();

  std::string statusText() const;
  LinesList* ListBox2() const { return list_; }
  QComboBox *ComboBox_name, *ComboBox_Field, *ComboBox_Value;
  QPlainTextEdit *Memo_Memo, *Memo_Comment;

 private:
  void status(const std::string& text);
  // The typed field name, trimmed; false, with a warning box and status, when it cannot
  // name a field.
  bool fieldName(std::string& name);
  // The targets to edit, after committing the editors: those still in the document (the
  // lines of the others leave the list), less those of read-only notebooks. False, with nothing to edit, while the read-only
  // switch is on (the main status says so) or when no target is left (this status says
  // so).
  bool liveTargets(std::vector<MemoNode*>& notes);
  // " (gone: n)" when the last liveTargets() found targets gone, else "".
  std::string goneText() const;
  void finish(const std::string& text);
  // Puts the lines of `edit` into each target's body or comment (`apply`); `what` names
  // the part in the status ("Memo", "Comment").
  void editLines(LinesPlace place, const QPlainTextEdit* edit,
                 int (*apply)(const std::vector<MemoNode*>&, LinesPlace, const std::string&),
                 const std::string& what);
  MainWindowApi* w_ = nullptr;
  NoteTargets targets_;
  int gone_ = 0;
  LinesList* list_;
  QLabel* panel_;
};

}  // namespace wux

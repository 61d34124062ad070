#pragma once
// The search window of the current note: copies of its name, text, comment and fields
// to find and replace in (never written back to the note), and a grep of the note.
// Find and replace run in small find and replace boxes of their own, one pair per page.
#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/LinesView.h"
#include "dialogs/ScanCommon.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace wux {

// The find box: a text and "Find Next".
class FindBox : public QDialog {
  Q_OBJECT
 public:
  explicit FindBox(QWidget* parent = nullptr);
  QLineEdit* findText = nullptr;
 signals:
  void find();
};

// The replace box: find and replace texts, "Match case", and Find Next, Replace and
// Replace All.
class ReplaceBox : public QDialog {
  Q_OBJECT
 public:
  explicit ReplaceBox(QWidget* parent = nullptr);
  QLineEdit* findText = nullptr;
  QLineEdit* replaceText = nullptr;
  QCheckBox* matchCase = nullptr;
 signals:
  void find();
  void replace();
};

class TFormScanNode : public QDialog {
  Q_OBJECT
 public:
  explicit TFormScanNode(QWidget* parent = nullptr);

  void setMainWindow(MainWindowApi* w) { aForm_ = w; }
  void setKeywordHistory(KeywordHistory* history) { history_ = history; }

  enum Page { PageName, PageMemo, PageComment, PageField, PageGrep };

  // ---- the buttons ----
  void update();           // "Update": copies of the current note
  void scan(Page page);    // opens the page's find box on the keyword
  void replace(Page page); // opens the page's replace box
  void grep();
  void newNode();
  // What the boxes' buttons do.
  void findNext(Page page, const QString& what);
  void replaceFirst(Page page);

  QComboBox* ComboBox1 = nullptr;
  QCheckBox* CheckBox_Ignore = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QLabel* StaticText_Name = nullptr;
  QPlainTextEdit *RichEdit_Memo = nullptr, *RichEdit_Comment = nullptr, *RichEdit_Field = nullptr;
  QComboBox *ComboBox_ReplaceName = nullptr, *ComboBox_ReplaceMemo = nullptr, *ComboBox_ReplaceComment = nullptr,
            *ComboBox_ReplaceField = nullptr;
  LinesView* Memo_Grep = nullptr;
  QWidget* Panel1 = nullptr;
  ScanStatusBar* StatusBar1 = nullptr;
  std::string status() const { return StatusBar1->text(); }
  FindBox* findBox(Page page) const;
  ReplaceBox* replaceBox(Page page) const;
  const SearchLines& grepLines() const { return grep_; }

 private:
  QPlainTextEdit* editOf(Page page) const;
  QComboBox* replaceComboOf(Page page) const;

  MainWindowApi* aForm_ = nullptr;
  KeywordHistory* history_ = nullptr;
  KeywordHistory ownHistory_;
  FindBox* find_[3] = {};
  ReplaceBox* replace_[3] = {};
  SearchLines grep_;
};

}  // namespace wux

#pragma once
// The small windows of the main menu: the notebook's fields as text, and the two
// forms of the T3 menu, which hold controls and nothing behind them.
#include <QDialog>
#include <string>

#include "model/text/StringList.h"

class QPlainTextEdit;

namespace wux {

class TFormHolderFields : public QDialog {
  Q_OBJECT
 public:
  explicit TFormHolderFields(QWidget* parent = nullptr);
  QPlainTextEdit* Memo1() const { return memo_; }

  // Shows the lines under the title "FormHolderFields  " + the notebook's name.
  void loadLines(const std::string& holderName, const StringList& lines);
  // Whether the text differs from what loadLines showed.
  bool changed() const;
  // The text as field lines. A line the user left alone keeps its bytes, even where
  // the screen's text could not give them back; empty lines are dropped.
  StringList lines() const;

 private:
  QPlainTextEdit* memo_;
  StringList loaded_;
  QString shown_;
};

// T3 > GroupTree: a tree of groups, empty.
class TFormGroupTree : public QDialog {
  Q_OBJECT
 public:
  explicit TFormGroupTree(QWidget* parent = nullptr);
};

// T3 > SelField: a list of fields to choose from, empty.
class TFormSelField : public QDialog {
  Q_OBJECT
 public:
  explicit TFormSelField(QWidget* parent = nullptr);
};

}  // namespace wux

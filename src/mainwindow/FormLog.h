#pragma once
// The log window: one for the whole program, made on first use, lines kept in memory.
#include <QWidget>

class QPlainTextEdit;

namespace wux {

class StringList;

class TFormLog : public QWidget {
  Q_OBJECT
 public:
  explicit TFormLog(QWidget* parent = nullptr);
  QPlainTextEdit* MemoLog() const { return memo_; }
  void appendLine(const std::string& sjisLine);
  // The log's lines as Shift_JIS.
  StringList lines() const;

 private:
  QPlainTextEdit* memo_;
};

}  // namespace wux

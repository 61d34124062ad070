#pragma once
// The log window: one for the whole program, made on first use, lines kept in memory.
// Every line the program logs is appended at once, so an open window follows the log.
#include <QWidget>

class QPlainTextEdit;

namespace wux {

class MainWindowApi;
class StringList;

class TFormLog : public QWidget {
  Q_OBJECT
 public:
  explicit TFormLog(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { main_ = w; }
  QPlainTextEdit* MemoLog() const { return memo_; }
  void appendLine(const std::string& sjisLine);
  // The log's lines as Shift_JIS.
  StringList lines() const;

  // The buttons.
  void NewNodeClick();
  void CopyAllClick();
  void ClearClick();

 private:
  QPlainTextEdit* memo_;
  MainWindowApi* main_ = nullptr;
};

}  // namespace wux

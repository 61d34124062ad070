#pragma once
// The windows that prepare or drive batch work on files: the file list (dropped files
// become notes), save each (every note's content to its own file), the calendar
// options of the calendar page, and the monthly calendar pages.
//
// Each takes the main-window interface through setMainWindow(); while it has none its
// commands do nothing. Their work is public so menus, buttons and tests reach one
// behaviour.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "model/clock.h"

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace wux {

class MainWindowApi;
class StringList;

// The options of the calendar page: "CREATE Month" and "CREATE Week" close with OK and
// record their kind.
class TFormHTMLCalendar : public QDialog {
  Q_OBJECT
 public:
  explicit TFormHTMLCalendar(QWidget* parent = nullptr);
  DateTime date() const;
  void setDate(const DateTime& date);
  // "Month" or "Week": the button that closed the window.
  const std::string& kind() const { return kind_; }
  QPushButton* monthButton() const { return month_; }
  QPushButton* weekButton() const { return week_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  QCalendarWidget* MonthCalendar1;
  QButtonGroup* title_;
  QCheckBox* CheckBox_EmptyNode;
  QCheckBox* CheckBox_Comment;
  QPushButton* month_;
  QPushButton* week_;
  QPushButton* cancel_;
  std::string kind_ = "Month";
};

// Writes each note's content to the file its `Filename` field names.
class TFormSaveEach : public QDialog {
  Q_OBJECT
 public:
  explicit TFormSaveEach(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }

  // The "Save Each" button: the number of files written, -1 without a main window.
  int saveEach();
  // The "Set Directory" button: asks for a folder.
  void chooseDirectory();
  void setDirectory(const std::string& dir);
  std::string directory() const;
  void requestBreak() { break_ = true; }
  // The log lines (Shift_JIS).
  std::vector<std::string> logLines() const;
  void clearLog();

 protected:
  // A click on the directory text chooses the directory.
  bool eventFilter(QObject* watched, QEvent* event) override;
 public:

  QCheckBox* CheckBox_ConfirmWriteOver;
  QCheckBox* CheckBox_DefineSaveDirectory;
  QCheckBox* CheckBox_MarkNodeOnly;
  QCheckBox* CheckBox_ChangeFilename;

 private:
  void log(const std::string& line);

  MainWindowApi* w_ = nullptr;
  QPlainTextEdit* Memo1;
  QLabel* StaticText1;
  bool break_ = false;
  bool running_ = false;
};

// The width the Make HTML window opens with at least, wide enough for its title.
inline constexpr int kMakeHTMLMinWidth = 300;

// Monthly calendar pages of the current notebook, one file per month.
class TFormMakeFileHTML : public QDialog {
  Q_OBJECT
 public:
  explicit TFormMakeFileHTML(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  void setRange(const DateTime& start, const DateTime& end, bool onlyMonth);
  // The "Make HTML" button: the files written, in order; empty when nothing was made.
  std::vector<std::string> makeHTML();

 private:
  MainWindowApi* w_ = nullptr;
  QDateEdit* DateTimePicker_StartMonthly;
  QDateEdit* DateTimePicker_EndMonthly;
  QCheckBox* CheckBox_OnlyMonth;
};

// The file list: dropped files and folders become lines, the lines become notes.
class TFormFileList : public QDialog {
  Q_OBJECT
 public:
  // The drop modes, in the order of their radio buttons.
  enum DropMode { FullPath, ExtractFileName, ExpandSubDir, DirectoryOnly, Poser };

  explicit TFormFileList(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }

  void setDropMode(DropMode mode);
  DropMode dropMode() const;
  // What a drop of these paths (Shift_JIS) adds to the list.
  void addDropped(const std::vector<std::string>& paths);

  // The list, one line each (Shift_JIS).
  StringList lines() const;
  void setLines(const StringList& lines);
  void addHead(const std::string& word);
  void addTail(const std::string& word);
  void deleteHead();
  void sortLines();
  void numberLines();
  void linkHTML();
  void copyAll();
  void clearList();
  void requestBreak() { break_ = true; }

  // The field lines of made notes (Shift_JIS).
  StringList fieldLines() const;
  void setFieldLines(const StringList& lines);
  void setOptions(bool filename, bool extractName, bool link, bool currentHolder);
  // "Make Nodes": the notes made; -1 when nothing could be done.
  int makeNodes();

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void editLines(const std::function<void(StringList&)>& edit);

  MainWindowApi* w_ = nullptr;
  QPlainTextEdit* Memo1;
  QPlainTextEdit* Memo2;
  QButtonGroup* dropMode_;
  QButtonGroup* holderMode_;
  QCheckBox* CheckBox_Filename;
  QCheckBox* CheckBox_ExtractFilename;
  QCheckBox* CheckBox_Link;
  bool break_ = false;
};

}  // namespace wux

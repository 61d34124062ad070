#pragma once
// The note-name editor: rewrites a note's name with one-click word operations, a
// calendar date and number steps. OK accepts the text; the caller renames the note.
#include <QString>
#include <string>

#include "dialogs/FormPropaty.h"
#include "model/clock.h"

class QCalendarWidget;
class QComboBox;

namespace wux {

class MainWindowApi;
class MemoNode;

class TFormName : public TFormPropaty {
  Q_OBJECT
 public:
  explicit TFormName(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  void loadFromObject(MemoNode* node);
  std::string nameText() const;
  void setNameText(const std::string& sjis);
  // The button of a group ("$1", "$2", "$3", "Calendar", "" for the free ones).
  QPushButton* button(const QString& group, const QString& caption) const;
  QComboBox* ComboBox_Name() const { return name_; }
  QCalendarWidget* MonthCalendar1() const { return calendar_; }
  DateTime calendarDate() const;
  void setCalendarDate(const DateTime& d);

 protected:
  void storeToObject() override;
  void showEvent(QShowEvent* event) override;

 private:
  void edit(std::string (*op)(const std::string&));
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The part of the name the user selected: now, or before a click took the focus away.
  bool selection(int& start, int& length) const;
  MainWindowApi* w_ = nullptr;
  // The selection as it was when the name box lost the focus, with the text it was in.
  int lastStart_ = -1, lastLength_ = 0;
  QString lastText_;
  std::string loaded_;
  QComboBox* name_;
  QCalendarWidget* calendar_;
};

}  // namespace wux

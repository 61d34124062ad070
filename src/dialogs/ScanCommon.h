#pragma once
// Pieces the search windows share: the keyword history, combo-box histories, the
// status bar that clears on a click, the list of notebooks to tick, and the way a
// search runs under the main window's busy protocol.
#include <QListWidget>
#include <QStatusBar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/search.h"
#include "model/text/StringList.h"

class QComboBox;
class QLabel;

namespace wux {

class MainWindowApi;
class MemoHolder;
class MemoNodeUI;

// The search keywords, newest first, without duplicates, in memory only. The windows
// that search notebooks share one: the main window's, when it is given one.
class KeywordHistory {
 public:
  virtual ~KeywordHistory() = default;
  virtual void add(const std::string& keyword);
  virtual const StringList& items() const { return items_; }

 private:
  StringList items_;
};

// An editable combo box whose items are a history the window keeps itself.
QComboBox* HistoryCombo(QWidget* parent);
// A used text goes to the top of the combo box's items (once) and is shown.
void PushComboHistory(QComboBox* combo, const QString& text);
// The combo box's items become `items`; its text stays.
void SetComboItems(QComboBox* combo, const StringList& items);

// One panel of text; it repaints at once, and a click empties it.
class ScanStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit ScanStatusBar(QWidget* parent = nullptr);
  void setText(const std::string& text);
  std::string text() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QLabel* panel_;
};

// The document's notebooks, each ticked or not. An entry keeps its notebook's address
// only to compare it; the notebook itself is always found again by name.
class HolderCheckList : public QListWidget {
  Q_OBJECT
 public:
  explicit HolderCheckList(QWidget* parent = nullptr);
  // Refills from the document, ticking again the notebooks that were ticked.
  void refill(MainWindowApi& w);
  // Refills from the document with only the current notebook ticked.
  void refillTickingCurrent(MainWindowApi& w);
  std::vector<std::string> tickedNames() const;
  void tickAll(bool on);
  // Ticks the entry of the current notebook; the other ticks stay.
  void tickCurrent(MainWindowApi& w);
  bool isTicked(int row) const;
  void setTicked(int row, bool on);

 private:
  // Refills from the document, ticking the notebooks at the addresses in `ticked`.
  void fill(MainWindowApi& w, const std::set<quintptr>& ticked);
};

// The search windows' way of running a search: the busy protocol on the main window,
// progress in the window's own status bar, events processed now and then so Break can
// be pressed, and notebooks not read yet read through the main window.
struct SearchRun {
  // Loads a notebook through the main window's loading (with its missing-file message).
  static bool loadHolder(MainWindowApi& w, MemoHolder& holder);
  // Loads it unless its file is missing, saying nothing when it is.
  static bool loadHolderIfPresent(MainWindowApi& w, MemoHolder& holder);
  static SearchControl control(MainWindowApi& w, ScanStatusBar* status, bool quietLoad);
};

// The live notes of result lines marked or unmarked; the number of lines whose note
// is gone.
int MarkResultNotes(MainWindowApi& w, const std::vector<SearchLine>& lines, bool on);
// Makes the note of a result line current (its notebook first). False, with a status,
// when the note is gone.
bool GoToResultNote(MainWindowApi& w, const SearchLine& line, ScanStatusBar* status);
// A new note in the current notebook whose body gets `text`.
void NewNoteWithText(MainWindowApi& w, const std::string& text);
// The batch editor hook: takes the target list (line index, note); false when the
// batch-edit window cannot be had.
using BatchEditor = std::function<bool(StringList& targets)>;
// Fills the target list from result lines (live notes only).
void ResultTargets(MainWindowApi& w, const std::vector<SearchLine>& lines, StringList& targets);

}  // namespace wux

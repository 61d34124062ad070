#include "dialogs/ScanCommon.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <set>

#include "platform/files.h"
#include "views/CommandTable.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

void KeywordHistory::add(const std::string& keyword) {
  const int i = items_.indexOfExact(keyword);
  if (i >= 0) items_.erase(i);
  items_.insert(0, keyword);
}

QComboBox* HistoryCombo(QWidget* parent) {
  auto* c = new QComboBox(parent);
  makeEditableKeepingCase(c);
  c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

void PushComboHistory(QComboBox* combo, const QString& text) {
  const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) combo->removeItem(i);
  combo->insertItem(0, text);
  combo->setCurrentIndex(0);
  combo->setEditText(text);
}

void SetComboItems(QComboBox* combo, const StringList& items) {
  const QString text = combo->currentText();
  combo->clear();
  for (int i = 0; i < items.count(); ++i) combo->addItem(toQ(items[i]));
  combo->setEditText(text);
}

// ---- status bar ------------------------------------------------------------------------

ScanStatusBar::ScanStatusBar(QWidget* parent) : QStatusBar(parent), panel_(new QLabel(this)) {
  panel_->setMinimumWidth(50);
  addWidget(panel_, 1);
  setSizeGripEnabled(false);
}

void ScanStatusBar::setText(const std::string& text) {
  panel_->setText(toQ(text));
  panel_->repaint();
}

std::string ScanStatusBar::text() const { return fromQ(panel_->text()); }

void ScanStatusBar::mousePressEvent(QMouseEvent* event) {
  panel_->clear();
  QStatusBar::mousePressEvent(event);
}

// ---- notebooks to tick -----------------------------------------------------------------

namespace {
constexpr int kHolderRole = Qt::UserRole + 1;

quintptr addressOf(const MemoHolder* h) { return reinterpret_cast<quintptr>(h); }
}  // namespace

HolderCheckList::HolderCheckList(QWidget* parent) : QListWidget(parent) {}

bool HolderCheckList::isTicked(int row) const {
  const QListWidgetItem* it = item(row);
  return it && it->checkState() == Qt::Checked;
}

void HolderCheckList::setTicked(int row, bool on) {
  if (QListWidgetItem* it = item(row)) it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void HolderCheckList::refill(MainWindowApi& w) {
  std::set<quintptr> ticked;
  for (int i = 0; i < count(); ++i)
    if (isTicked(i)) ticked.insert(item(i)->data(kHolderRole).value<quintptr>());
  fill(w, ticked);
}

void HolderCheckList::refillTickingCurrent(MainWindowApi& w) {
  std::set<quintptr> ticked;
  if (MemoHolder* current = w.getCurrentHolder()) ticked.insert(addressOf(current));
  fill(w, ticked);
}

void HolderCheckList::fill(MainWindowApi& w, const std::set<quintptr>& ticked) {
  clear();
  MemoFileUI* file = w.getMemoFile();
  if (!file) return;
  StringList holders;
  file->getHolderList_(holders);
  for (int i = 0; i < holders.count(); ++i) {
    auto* it = new QListWidgetItem(toQ(holders[i]), this);
    const quintptr address = addressOf(dynamic_cast<MemoHolder*>(holders.object(i)));
    it->setData(kHolderRole, QVariant::fromValue(address));
    it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
    it->setCheckState(ticked.count(address) ? Qt::Checked : Qt::Unchecked);
  }
}

std::vector<std::string> HolderCheckList::tickedNames() const {
  std::vector<std::string> out;
  for (int i = 0; i < count(); ++i)
    if (isTicked(i)) out.push_back(fromQ(item(i)->text()));
  return out;
}

void HolderCheckList::tickAll(bool on) {
  for (int i = 0; i < count(); ++i) setTicked(i, on);
}

void HolderCheckList::tickCurrent(MainWindowApi& w) {
  const quintptr current = addressOf(w.getCurrentHolder());
  if (!current) return;
  for (int i = 0; i < count(); ++i)
    if (item(i)->data(kHolderRole).value<quintptr>() == current) setTicked(i, true);
}

// ---- running a search ------------------------------------------------------------------

bool SearchRun::loadHolder(MainWindowApi& w, MemoHolder& holder) {
  auto* ui = dynamic_cast<MemoHolderUI*>(&holder);
  if (!ui) return false;
  w.loadHolder(ui);
  return holder.loaded && !holder.loadFailed;
}

bool SearchRun::loadHolderIfPresent(MainWindowApi& w, MemoHolder& holder) {
  // Only a notebook without a file is left out without a word; one that is there but
  // cannot be read goes to the window's loading, which reports why.
  if (platform::fileMissing(holder.getFileName_())) return false;
  return loadHolder(w, holder);
}

SearchControl SearchRun::control(MainWindowApi& w, ScanStatusBar* status, bool quietLoad) {
  SearchControl c;
  c.status = [status](const std::string& text) { status->setText(text); };
  c.isBreak = [&w] {
    // The Break command reaches the running search only through the event loop.
    QCoreApplication::processEvents();
    return w.isBreak();
  };
  if (quietLoad)
    c.load = [&w](MemoHolder& h) { return loadHolderIfPresent(w, h); };
  else
    c.load = [&w](MemoHolder& h) { return loadHolder(w, h); };
  return c;
}

// ---- acting on result lines ------------------------------------------------------------

int MarkResultNotes(MainWindowApi& w, const std::vector<SearchLine>& lines, bool on) {
  MemoFileUI* file = w.getMemoFile();
  if (!file) return static_cast<int>(lines.size());
  // The mark is a field the editor shows: its text goes in first and is shown again after.
  w.UI2Model();
  LiveNotes live(*file);
  int gone = 0;
  for (const SearchLine& line : lines) {
    if (auto* node = dynamic_cast<MemoNodeUI*>(live.resolve(line.note)))
      node->setMarked_(on);
    else
      ++gone;
  }
  w.Model2UI();
  w.refreshHolderView();
  return gone;
}

bool GoToResultNote(MainWindowApi& w, const SearchLine& line, ScanStatusBar* status) {
  MemoFileUI* file = w.getMemoFile();
  auto* node = file ? dynamic_cast<MemoNodeUI*>(line.note.resolve(*file)) : nullptr;
  if (!node) {
    status->setText("Exit: the MemoNode of this line is gone.");
    return false;
  }
  auto* holder = dynamic_cast<MemoHolderUI*>(node->getParentHolder_());
  if (!holder) return false;
  if (holder != w.getCurrentHolder()) w.changeCurrentHolder(holder);
  w.changeCurrentNode_(node);
  return true;
}

void NewNoteWithText(MainWindowApi& w, const std::string& text) {
  if (w.commands().run("newMemoNode_") < 0) return;
  if (TFrameMemoNode* frame = w.getNodeFrame()) {
    frame->replaceNodeMemoSel_(text);
    w.UI2Model();  // the text is the note's at once, not at the next commit
  }
}

void ResultTargets(MainWindowApi& w, const std::vector<SearchLine>& lines, StringList& targets) {
  targets.clear();
  MemoFileUI* file = w.getMemoFile();
  if (!file) return;
  LiveNotes live(*file);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (MemoNode* node = live.resolve(lines[i].note)) targets.add(std::to_string(i), node);
}

}  // namespace wux

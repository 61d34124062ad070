#include "dialogs/FormScanHolders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "views/ChangeGuard.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

QCheckBox* checkBox(const char* caption, QWidget* parent, bool on) {
  auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
  c->setChecked(on);
  return c;
}

std::string joinLines(const std::vector<SearchLine>& lines, const char* sep) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += sep;
    out += lines[i].text;
  }
  return out;
}

}  // namespace

QPushButton* TFormScanHolders::button(QWidget* parent, const char* caption, void (TFormScanHolders::*action)()) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  connect(b, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
  return b;
}

TFormScanHolders::TFormScanHolders(bool oneHolder, QWidget* parent) : QDialog(parent), oneHolder_(oneHolder) {
  setWindowTitle(oneHolder ? "FormScanHolder" : "FormScanHolders");
  setModal(false);
  auto* top = new QVBoxLayout(this);

  Panel1 = new QWidget(this);
  auto* words = new QHBoxLayout(Panel1);
  words->setContentsMargins(0, 0, 0, 0);
  ComboBox1 = HistoryCombo(Panel1);
  ComboBox2 = HistoryCombo(Panel1);
  words->addWidget(new QLabel("KeyWord", Panel1));
  words->addWidget(ComboBox1, 1);
  words->addWidget(new QLabel("ReplaceWord", Panel1));
  words->addWidget(ComboBox2, 1);
  top->addWidget(Panel1);

  auto* middle = new QHBoxLayout;
  auto* option = new QGroupBox("Option", this);
  auto* optionLayout = new QVBoxLayout(option);
  CheckBox_Name = checkBox("Name", option, true);
  CheckBox_Memo = checkBox("Memo", option, true);
  CheckBox_Field = checkBox("Field", option, true);
  CheckBox_Comment = checkBox("Comment", option, true);
  for (QCheckBox* c : {CheckBox_Name, CheckBox_Memo, CheckBox_Field, CheckBox_Comment}) optionLayout->addWidget(c);
  CheckBox_Ignore = checkBox("Ignore", this, true);
  auto* optionButtons = new QHBoxLayout;
  optionButtons->addWidget(button(option, "ALL ON", &TFormScanHolders::allOn));
  optionButtons->addWidget(button(option, "ALL OFF", &TFormScanHolders::allOff));
  optionLayout->addLayout(optionButtons);
  optionLayout->addWidget(CheckBox_Ignore);
  middle->addWidget(option);

  CheckListBox1 = new HolderCheckList(this);
  if (!oneHolder) {
    auto* select = new QGroupBox("Select Holder", this);
    auto* selectLayout = new QVBoxLayout(select);
    selectLayout->addWidget(CheckListBox1, 1);
    auto* selectButtons = new QHBoxLayout;
    selectButtons->addWidget(button(select, "Current", &TFormScanHolders::selectCurrent));
    selectButtons->addWidget(button(select, "ALL", &TFormScanHolders::selectAll));
    selectButtons->addWidget(button(select, "UnSelect", &TFormScanHolders::unselect));
    selectButtons->addWidget(button(select, "Update", &TFormScanHolders::update));
    selectLayout->addLayout(selectButtons);
    middle->addWidget(select, 1);
  } else {
    CheckListBox1->hide();
  }
  top->addLayout(middle);

  PageControl1 = new QTabWidget(this);
  TabSheet_List = new QWidget;
  auto* listLayout = new QVBoxLayout(TabSheet_List);
  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(button(TabSheet_List, "Copy Holder", &TFormScanHolders::copyHolder));
  listButtons->addWidget(button(TabSheet_List, "Move Holder", &TFormScanHolders::moveHolder));
  listButtons->addWidget(button(TabSheet_List, "Scan", &TFormScanHolders::scan));
  listButtons->addWidget(button(TabSheet_List, "Replace", &TFormScanHolders::replace));
  listButtons->addWidget(button(TabSheet_List, "Mark", &TFormScanHolders::markOn));
  listButtons->addWidget(button(TabSheet_List, "Unmark", &TFormScanHolders::markOff));
  listButtons->addWidget(button(TabSheet_List, "Edit Select", &TFormScanHolders::editSelect));
  listButtons->addWidget(button(TabSheet_List, "Clear", &TFormScanHolders::clearList));
  listLayout->addLayout(listButtons);
  ListBox2 = new LinesList(TabSheet_List);
  ListBox2->setSource({[this] { return list_.size(); }, [this](std::size_t i) { return std::string_view(list_[i].text); }});
  listLayout->addWidget(ListBox2, 1);
  connect(ListBox2, &LinesList::lineClicked, this, &TFormScanHolders::clickLine);

  TabSheet_Grep = new QWidget;
  auto* grepLayout = new QVBoxLayout(TabSheet_Grep);
  auto* grepButtons = new QHBoxLayout;
  grepButtons->addWidget(button(TabSheet_Grep, "Grep", &TFormScanHolders::grep));
  grepButtons->addWidget(button(TabSheet_Grep, "Clear", &TFormScanHolders::clearGrep));
  grepButtons->addStretch(1);
  grepLayout->addLayout(grepButtons);
  Memo_Grep = new LinesView(TabSheet_Grep);
  Memo_Grep->setSource({[this] { return grep_.size(); }, [this](std::size_t i) { return grep_[i].text; }});
  grepLayout->addWidget(Memo_Grep, 1);
  PageControl1->addTab(TabSheet_List, "List");
  PageControl1->addTab(TabSheet_Grep, "Grep");
  PageControl1->setCurrentWidget(TabSheet_Grep);
  top->addWidget(PageControl1, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(button(this, "New Node", &TFormScanHolders::newNode));
  bottom->addStretch(1);
  bottom->addWidget(button(this, "Close", &TFormScanHolders::closeWindow));
  top->addLayout(bottom);
  StatusBar1 = new ScanStatusBar(this);
  top->addWidget(StatusBar1);
  resize(640, 520);
}

std::string TFormScanHolders::status() const { return StatusBar1->text(); }

bool TFormScanHolders::ready() { return aForm_ && !aForm_->isDoing_(); }

void TFormScanHolders::confirm(const std::string& text) {
  prompter().messageBox(text, "", Buttons::OK, BoxKind::Confirmation);
}

SearchParts TFormScanHolders::parts() const {
  return {CheckBox_Name->isChecked(), CheckBox_Memo->isChecked(), CheckBox_Comment->isChecked(),
          CheckBox_Field->isChecked()};
}

bool TFormScanHolders::keywordGiven(std::string& keyword, bool statusToo) {
  keyword = fromQ(ComboBox1->currentText());
  if (!keyword.empty()) return true;
  prompter().messageBox("KeyWord is Empty.", "", Buttons::OK, BoxKind::Warning);
  if (statusToo) StatusBar1->setText("KeyWord is Empty.");
  return false;
}

void TFormScanHolders::rememberKeyword(const std::string& keyword) {
  KeywordHistory& h = history_ ? *history_ : ownHistory_;
  h.add(keyword);
  SetComboItems(ComboBox1, h.items());
}

std::vector<MemoHolder*> TFormScanHolders::targets() {
  MemoFileUI* file = aForm_->getMemoFile();
  if (!file) return {};
  if (oneHolder_) {
    MemoHolderUI* h = aForm_->getCurrentHolder();
    return h ? std::vector<MemoHolder*>{h} : std::vector<MemoHolder*>{};
  }
  return HoldersByName(*file, CheckListBox1->tickedNames());
}

void TFormScanHolders::showList() { ListBox2->reload(); }

// ---- the notebook list and the switches ----

void TFormScanHolders::update() {
  if (aForm_) CheckListBox1->refill(*aForm_);
}
void TFormScanHolders::allOn() {
  for (QCheckBox* c : {CheckBox_Name, CheckBox_Memo, CheckBox_Comment, CheckBox_Field}) c->setChecked(true);
}
void TFormScanHolders::allOff() {
  for (QCheckBox* c : {CheckBox_Name, CheckBox_Memo, CheckBox_Comment, CheckBox_Field}) c->setChecked(false);
}
void TFormScanHolders::selectCurrent() {
  if (aForm_) CheckListBox1->tickCurrent(*aForm_);
}
void TFormScanHolders::selectAll() { CheckListBox1->tickAll(true); }
void TFormScanHolders::unselect() { CheckListBox1->tickAll(false); }

// ---- searches ----

void TFormScanHolders::scan() {
  if (!ready()) return;
  if (oneHolder_ && !aForm_->getCurrentHolder()) return;
  std::string keyword;
  if (!keywordGiven(keyword, !oneHolder_)) return;
  // What is typed in an editor is searched too.
  aForm_->UI2ModelAll();
  list_.clear();
  showList();
  StatusBar1->setText("*Scanning* " + keyword);
  rememberKeyword(keyword);
  const std::string activity = "Scan " + keyword;
  SearchResult r;
  {
    BusyScope busy(*aForm_, activity);
    SearchControl control = SearchRun::control(*aForm_, StatusBar1, false);
    r = ScanNotes(targets(), keyword, parts(), CheckBox_Ignore->isChecked(), control);
    if (!r.stopped) busy.finish(r.status);
  }
  list_ = std::move(r.lines);
  showList();
  if (r.stopped) {
    StatusBar1->setText("Break: " + activity);
  } else if (oneHolder_) {
    if (list_.empty()) {
      prompter().messageBox("*Done Scan* No match", "", Buttons::OK, BoxKind::Warning);
      StatusBar1->setText("*Done Scan* No match");
    } else {
      StatusBar1->setText("*Done Scan* " + keyword + " " + std::to_string(list_.size()));
    }
  } else {
    if (list_.empty()) confirm(r.status);
    StatusBar1->setText(r.status);
  }
}

void TFormScanHolders::replace() {
  if (!ready()) return;
  if (oneHolder_ && !aForm_->getCurrentHolder()) return;
  std::string keyword;
  if (!keywordGiven(keyword, !oneHolder_)) return;
  if (aForm_->checkUIReadOnly()) return;
  // The editors' text goes into their notes first, so neither overwrites the other.
  aForm_->UI2ModelAll();
  const std::string replacement = fromQ(ComboBox2->currentText());
  list_.clear();
  showList();
  StatusBar1->setText("*Replacing* " + keyword + " " + replacement);
  rememberKeyword(keyword);
  PushComboHistory(ComboBox2, ComboBox2->currentText());
  const std::string activity = "Replace " + keyword;
  SearchResult r;
  {
    BusyScope busy(*aForm_, activity);
    SearchControl control = SearchRun::control(*aForm_, StatusBar1, false);
    control.acceptNote = [this](MemoNode& n) { return mayChange(*aForm_, n); };
    r = ReplaceNotes(targets(), keyword, replacement, parts(), CheckBox_Ignore->isChecked(), control, !oneHolder_);
    if (!r.stopped) busy.finish(r.status);
  }
  list_ = std::move(r.lines);
  showList();
  if (r.changed > 0) {
    aForm_->Model2UI();
    aForm_->refreshHolderView();
  }
  if (r.stopped) {
    StatusBar1->setText("Break: " + activity);
    return;
  }
  if (list_.empty()) confirm(r.status);
  StatusBar1->setText(r.status);
}

void TFormScanHolders::grep() {
  if (!ready()) return;
  if (oneHolder_ && !aForm_->getCurrentHolder()) return;
  std::string keyword;
  if (!keywordGiven(keyword, !oneHolder_)) return;
  aForm_->UI2ModelAll();
  grep_.clear();
  Memo_Grep->reload();
  PageControl1->setCurrentWidget(TabSheet_Grep);
  StatusBar1->setText("*Grep* " + keyword);
  rememberKeyword(keyword);
  const std::string activity = "Grep " + keyword;
  GrepResult r;
  {
    BusyScope busy(*aForm_, activity);
    SearchControl control = SearchRun::control(*aForm_, StatusBar1, true);
    r = GrepNotes(targets(), keyword, parts(), CheckBox_Ignore->isChecked(), control);
    if (!r.stopped) busy.finish(r.status);
  }
  grep_ = std::move(r.lines);
  Memo_Grep->reload();
  if (r.stopped) {
    StatusBar1->setText("Break: " + activity);
  } else if (oneHolder_) {
    if (grep_.empty()) confirm(r.status);
    StatusBar1->setText(r.status);
  } else if (grep_.empty()) {
    // With lines the status keeps the last notebook's progress text.
    confirm("No match");
    StatusBar1->setText("No match");
  }
}

// ---- acting on the lines ----

void TFormScanHolders::mark(bool on) {
  if (!ready()) return;
  const int gone = MarkResultNotes(*aForm_, list_, on);
  std::string text = std::string(on ? "Done: Mark count=" : "Done: Unmark count=") + std::to_string(list_.size());
  if (gone > 0) text += " (gone: " + std::to_string(gone) + ")";
  StatusBar1->setText(text);
}

void TFormScanHolders::clickLine(int row) {
  if (!ready() || row < 0 || row >= static_cast<int>(list_.size())) return;
  GoToResultNote(*aForm_, list_[static_cast<std::size_t>(row)], StatusBar1);
}

void TFormScanHolders::newNode() {
  if (!ready()) return;
  const bool listInFront = PageControl1->currentWidget() == TabSheet_List;
  NewNoteWithText(*aForm_, listInFront ? joinLines(list_, "\n") : grep_.joined('\n'));
}

void TFormScanHolders::editSelect() {
  if (!aForm_) return;
  if (list_.empty()) {
    StatusBar1->setText("No MemoNode selected.");
    return;
  }
  StringList targetList;
  ResultTargets(*aForm_, list_, targetList);
  if (!editSel_ || !editSel_(targetList))
    StatusBar1->setText(oneHolder_ ? "ERROR: FormEditSelNode = nil." : "ERROR: FormEditSelNode = nil in TFormScanHolders.");
}

void TFormScanHolders::clearList() {
  list_.clear();
  showList();
}

void TFormScanHolders::clearGrep() {
  grep_.clear();
  Memo_Grep->reload();
}

void TFormScanHolders::copyHolder() {
  if (aForm_) confirm(oneHolder_ ? "Still Not Impliment" : "Still  Not Impliment");
}

void TFormScanHolders::moveHolder() {
  if (aForm_) confirm("Still Not Impliment");
}

}  // namespace wux

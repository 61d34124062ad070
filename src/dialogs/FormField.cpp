#include "dialogs/FormField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/records/MemoBasic.h"
#include "model/text/sjis.h"
#include "views/ChangeGuard.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace wux {

TFormField::TFormField(QWidget* parent) : QDialog(parent) {
  setWindowTitle("FormField");
  auto* top = new QVBoxLayout(this);
  auto button = [this](QWidget* parent, const char* caption, std::function<void()> action) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    connect(b, &QPushButton::clicked, this, std::move(action));
    return b;
  };

  Panel1 = new QWidget(this);
  auto* words = new QVBoxLayout(Panel1);
  words->setContentsMargins(0, 0, 0, 0);
  ComboBox_Field = HistoryCombo(Panel1);
  ComboBox_Value = HistoryCombo(Panel1);
  ComboBox_ReplaceValue = HistoryCombo(Panel1);
  auto row = [&](QComboBox* combo, const char* caption, std::function<void()> fill) {
    auto* r = new QHBoxLayout;
    r->addWidget(button(Panel1, caption, std::move(fill)));
    r->addWidget(combo, 1);
    words->addLayout(r);
  };
  row(ComboBox_Field, "Field Name", [this] { fieldNames(); });
  row(ComboBox_Value, "Value", [this] { values(ComboBox_Value); });
  row(ComboBox_ReplaceValue, "Replace Val", [this] { values(ComboBox_ReplaceValue); });
  top->addWidget(Panel1);

  auto* options = new QHBoxLayout;
  CheckBox_Ignore = new QCheckBox("Ignore", this);
  CheckBox_Ignore->setChecked(true);
  options->addWidget(CheckBox_Ignore);
  auto radioGroup = [&](const char* caption, const char* a, const char* b, QRadioButton*& ra, QRadioButton*& rb) {
    auto* g = new QGroupBox(caption, this);
    auto* l = new QHBoxLayout(g);
    ra = new QRadioButton(a, g);
    rb = new QRadioButton(b, g);
    ra->setChecked(true);
    l->addWidget(ra);
    l->addWidget(rb);
    options->addWidget(g);
  };
  radioGroup("Scan Op", "Field", "Both", ScanOp_Field, ScanOp_Both);
  radioGroup("Value Op", "Equal", "Include", ValueOp_Equal, ValueOp_Include);
  top->addLayout(options);

  auto* lists = new QHBoxLayout;
  auto* select = new QGroupBox("Select Holder", this);
  auto* selectLayout = new QVBoxLayout(select);
  CheckListBox1 = new HolderCheckList(select);
  selectLayout->addWidget(CheckListBox1, 1);
  auto* selectButtons = new QHBoxLayout;
  selectButtons->addWidget(button(select, "Current", [this] {
    if (aForm_) CheckListBox1->tickCurrent(*aForm_);
  }));
  selectButtons->addWidget(button(select, "ALL", [this] { CheckListBox1->tickAll(true); }));
  selectButtons->addWidget(button(select, "UnSelect", [this] { CheckListBox1->tickAll(false); }));
  selectLayout->addLayout(selectButtons);
  selectLayout->addWidget(button(select, "Up Holder", [this] { upHolder(); }));
  lists->addWidget(select);
  ListBox2 = new LinesList(this);
  ListBox2->setSource({[this] { return result_.lines.size(); },
                       [this](std::size_t i) { return std::string_view(result_.lines[i].text); }});
  lists->addWidget(ListBox2, 2);
  connect(ListBox2, &LinesList::lineClicked, this, &TFormField::clickLine);
  top->addLayout(lists, 1);

  auto* actions = new QHBoxLayout;
  actions->addWidget(button(this, "Scan", [this] { scan(false); }));
  actions->addWidget(button(this, "Scan Not", [this] { scan(true); }));
  actions->addWidget(button(this, "Replace", [this] { replace(); }));
  actions->addWidget(button(this, "Set", [this] { set(); }));
  actions->addWidget(button(this, "Delete", [this] { deleteField(); }));
  actions->addWidget(button(this, "Mark", [this] { mark(true); }));
  actions->addWidget(button(this, "Unmark", [this] { mark(false); }));
  top->addLayout(actions);
  auto* more = new QHBoxLayout;
  more->addWidget(button(this, "CopyHolder", [this] { copyHolder(); }));
  more->addWidget(button(this, "MoveHolder", [this] { copyHolder(); }));
  more->addWidget(button(this, "New Node", [this] { newNode(); }));
  more->addWidget(button(this, "Edit Sel", [this] { editSel(); }));
  more->addWidget(button(this, "Clear", [this] { clear(); }));
  more->addStretch(1);
  more->addWidget(button(this, "Close", [this] { close(); }));
  top->addLayout(more);
  StatusBar1 = new ScanStatusBar(this);
  top->addWidget(StatusBar1);
  resize(620, 520);
}

bool TFormField::ready() { return aForm_ && !aForm_->isDoing_(); }

void TFormField::showLines() { ListBox2->reload(); }

bool TFormField::fieldName(bool toWrite, std::string& f) {
  std::string error;
  f = MemoBasic::typedFieldName(fromQ(ComboBox_Field->currentText()), error);
  // A scan writes nothing: any name is looked for.
  if (!toWrite && !f.empty()) error.clear();
  if (error.empty()) return true;
  prompter().messageBox(error, "", Buttons::OK, BoxKind::Warning);
  StatusBar1->setText(error);
  return false;
}

int TFormField::scan(bool invert) {
  if (!ready()) return -1;
  std::string f;
  if (!fieldName(false, f)) return -1;
  const std::vector<std::string> names = CheckListBox1->tickedNames();
  if (names.empty()) {
    StatusBar1->setText("no MemoHolder selected.");
    return -1;
  }
  PushComboHistory(ComboBox_Field, toQ(f));
  PushComboHistory(ComboBox_Value, ComboBox_Value->currentText());
  aForm_->UI2ModelAll();
  result_ = SearchResult();
  showLines();
  field_ = f;
  FieldScanOptions o;
  o.field = f;
  o.value = fromQ(ComboBox_Value->currentText());
  o.ignoreCase = CheckBox_Ignore->isChecked();
  o.both = ScanOp_Both->isChecked();
  o.include = ValueOp_Include->isChecked();
  o.invert = invert;
  const std::string activity = std::string(invert ? "Scan Not Field " : "Scan Field ") + f;
  {
    BusyScope busy(*aForm_, activity);
    SearchControl control = SearchRun::control(*aForm_, StatusBar1, false);
    MemoFileUI* file = aForm_->getMemoFile();
    result_ = FieldScan(file ? HoldersByName(*file, names) : std::vector<MemoHolder*>{}, o, control);
    if (!result_.stopped) busy.finish(result_.status);
  }
  showLines();
  StatusBar1->setText(result_.stopped ? "Break: " + activity : result_.status);
  return result_.stopped ? -1 : static_cast<int>(result_.lines.size());
}

template <class Change>
void TFormField::changeScanned(Change change) {
  if (!ready() || aForm_->checkUIReadOnly()) return;
  std::string f;
  if (!fieldName(true, f) || scan(false) < 0) return;
  MemoFileUI* file = aForm_->getMemoFile();
  if (!file) return;
  if (result_.lines.empty()) {
    StatusBar1->setText("No MemoNode.");
    return;
  }
  // A note that may not change (its notebook or its own flag read-only) keeps its fields.
  LiveNotes live(*file);
  std::erase_if(result_.lines, [&](const SearchLine& line) {
    MemoNode* node = live.resolve(line.note);
    return node && !mayChange(*aForm_, *node);
  });
  change(*file);
  showLines();
  StatusBar1->setText(result_.status);
  aForm_->Model2UI();
}

void TFormField::set() {
  changeScanned([this](MemoFileUI& file) {
    PushComboHistory(ComboBox_ReplaceValue, ComboBox_ReplaceValue->currentText());
    FieldSet(file, result_, field_, fromQ(ComboBox_ReplaceValue->currentText()));
  });
}

void TFormField::replace() {
  changeScanned([this](MemoFileUI& file) {
    PushComboHistory(ComboBox_ReplaceValue, ComboBox_ReplaceValue->currentText());
    FieldReplace(file, result_, field_, fromQ(ComboBox_Value->currentText()),
                 fromQ(ComboBox_ReplaceValue->currentText()));
  });
}

void TFormField::deleteField() {
  changeScanned([this](MemoFileUI& file) { FieldDelete(file, result_, field_); });
}

void TFormField::mark(bool on) {
  if (!ready()) return;
  const int gone = MarkResultNotes(*aForm_, result_.lines, on);
  if (gone > 0) StatusBar1->setText("Exit: " + std::to_string(gone) + " MemoNode gone.");
}

void TFormField::clickLine(int row) {
  if (!ready() || row < 0 || row >= static_cast<int>(result_.lines.size())) return;
  GoToResultNote(*aForm_, result_.lines[static_cast<std::size_t>(row)], StatusBar1);
}

void TFormField::newNode() {
  if (!ready()) return;
  std::string text;
  for (std::size_t i = 0; i < result_.lines.size(); ++i) {
    if (i) text += "\n";
    text += result_.lines[i].text;
  }
  NewNoteWithText(*aForm_, text);
}

void TFormField::editSel() {
  if (!aForm_) return;
  if (result_.lines.empty()) {
    StatusBar1->setText("No MemoNode selected.");
    return;
  }
  StringList targets;
  ResultTargets(*aForm_, result_.lines, targets);
  if (!editSel_ || !editSel_(targets)) StatusBar1->setText("ERROR: FromEditSelNode = nil in TFormField.");
}

void TFormField::clear() {
  result_ = SearchResult();
  showLines();
}

void TFormField::fieldNames() {
  if (!aForm_) return;
  MemoHolderUI* h = aForm_->getCurrentHolder();
  if (!h) return;
  StringList names;
  h->getFieldNames_(names);
  names.sort();
  const QString keep = ComboBox_Field->currentText();
  SetComboItems(ComboBox_Field, names);
  if (names.count() > 0) {
    ComboBox_Field->setCurrentIndex(0);
  } else {
    ComboBox_Field->setEditText(keep);
  }
}

void TFormField::values(QComboBox* target) {
  if (!aForm_) return;
  const std::string f = sjis::trim(fromQ(ComboBox_Field->currentText()));
  if (f.empty()) {
    StatusBar1->setText("Field name is empty.");
    return;
  }
  MemoHolderUI* h = aForm_->getCurrentHolder();
  if (!h) return;
  StringList list;
  h->getFieldValues_(f, list);
  list.sort();
  SetComboItems(target, list);
  if (list.count() > 0) target->setCurrentIndex(0);
}

void TFormField::upHolder() {
  if (!aForm_) return;
  CheckListBox1->refillTickingCurrent(*aForm_);
}

void TFormField::copyHolder() {
  if (aForm_) prompter().messageBox("Should Not Implemented", "", Buttons::OK);
}

}  // namespace wux

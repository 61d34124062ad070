// The note property window.
#include "dialogs/FormPropatyNode2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/clock.h"
#include "model/records/MemoNode.h"
#include "model/text/sjis.h"
#include "views/MainWindowApi.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

TFormPropatyNode2::TFormPropatyNode2(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormPropatyNode2"));
  auto* l = new QVBoxLayout(this);
  auto* top = new QFormLayout;
  StaticText_Name = new QLabel(this);
  StaticText_Name->setObjectName(QStringLiteral("StaticText_Name"));
  StaticText_Holder = new QLabel(this);
  StaticText_Holder->setObjectName(QStringLiteral("StaticText_Holder"));
  top->addRow(QStringLiteral("Holder"), StaticText_Holder);
  top->addRow(QStringLiteral("Name"), StaticText_Name);
  l->addLayout(top);
  RadioGroup_EditTarget = new RadioGroup("RadioGroup_EditTarget", QStringLiteral("Edit Target"),
                                         {QStringLiteral("Current Node"), QStringLiteral("Marked Nodes"),
                                          QStringLiteral("Current Holder"), QStringLiteral("All Holders")},
                                         this);
  RadioGroup_EditTarget->setItemIndex(0);
  l->addWidget(RadioGroup_EditTarget);
  auto* checks = new QHBoxLayout;
  CheckBox_Creater = new QCheckBox(QStringLiteral("Creater"), this);
  CheckBox_Created = new QCheckBox(QStringLiteral("Created"), this);
  CheckBox_Modified = new QCheckBox(QStringLiteral("Modified"), this);
  for (QCheckBox* c : {CheckBox_Creater, CheckBox_Created, CheckBox_Modified}) {
    c->setObjectName(QStringLiteral("CheckBox_") + c->text());
    checks->addWidget(c);
  }
  l->addLayout(checks);
  auto* fileGroup = new QGroupBox(QStringLiteral("Filename"), this);
  auto* fg = new QHBoxLayout(fileGroup);
  StaticText_Filename = new QPushButton(fileGroup);
  StaticText_Filename->setObjectName(QStringLiteral("StaticText_Filename"));
  StaticText_Filename->setFlat(true);
  fg->addWidget(StaticText_Filename);
  connect(StaticText_Filename, &QPushButton::clicked, this, [this] {
    std::string path = sjis::trim(fromQ(StaticText_Filename->text()));
    if (prompter().openFileName("Filename", "All Files|*", path)) StaticText_Filename->setText(toQ(path));
  });
  l->addWidget(fileGroup);
  RadioGroup_flagLink = new RadioGroup("RadioGroup_flagLink", QStringLiteral("flagLink"),
                                       {QStringLiteral("true"), QStringLiteral("false")}, this);
  l->addWidget(RadioGroup_flagLink);
  StaticText_Color = new ColorText(this);
  l->addWidget(StaticText_Color);
  auto* fieldGroup = new QGroupBox(QStringLiteral("Field "), this);
  auto* ff = new QFormLayout(fieldGroup);
  ComboBox_Field = new QComboBox(fieldGroup);
  ComboBox_Field->setObjectName(QStringLiteral("ComboBox_Field"));
  ComboBox_value = new QComboBox(fieldGroup);
  ComboBox_value->setObjectName(QStringLiteral("ComboBox_value"));
  for (QComboBox* c : {ComboBox_Field, ComboBox_value}) makeEditableKeepingCase(c);
  ff->addRow(QStringLiteral("Name"), ComboBox_Field);
  ff->addRow(QStringLiteral("Value"), ComboBox_value);
  auto* basicPut = new QPushButton(QStringLiteral("BasicPut"), fieldGroup);
  ff->addRow(basicPut);
  connect(basicPut, &QPushButton::clicked, this, &TFormPropatyNode2::BasicPut);
  l->addWidget(fieldGroup);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  buttons->addWidget(ok);
  buttons->addWidget(close);
  l->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &TFormPropatyNode2::OK);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormPropatyNode2::loadNode_() {
  MemoNodeUI* node = w_ ? w_->getCurrentNode() : nullptr;
  if (!node || !w_->getCurrentHolder()) return;
  note_.reset(node);
  loaded_ = loadNoteProps(*node);
  StaticText_Holder->setText(toQ(loaded_.holderName));
  StaticText_Name->setText(toQ(loaded_.noteName));
  StaticText_Color->setColor(loaded_.color);
  RadioGroup_flagLink->setItemIndex(loaded_.flagLink < 0 ? -1 : (loaded_.flagLink == 1 ? 0 : 1));
  CheckBox_Creater->setChecked(loaded_.creater);
  CheckBox_Created->setChecked(loaded_.created);
  CheckBox_Modified->setChecked(loaded_.modified);
  StaticText_Filename->setText(toQ(loaded_.filename));
}

EditTarget TFormPropatyNode2::target() const {
  switch (RadioGroup_EditTarget->itemIndex()) {
    case 1: return EditTarget::MarkedNodes;
    case 2: return EditTarget::CurrentHolder;
    case 3: return EditTarget::AllHolders;
    default: return EditTarget::CurrentNode;
  }
}

NoteProps TFormPropatyNode2::edited() const {
  NoteProps e = loaded_;
  const int link = RadioGroup_flagLink->itemIndex();
  e.flagLink = link < 0 ? -1 : (link == 0 ? 1 : 0);
  e.creater = CheckBox_Creater->isChecked();
  e.created = CheckBox_Created->isChecked();
  e.modified = CheckBox_Modified->isChecked();
  e.filename = fromQ(StaticText_Filename->text());
  e.color = StaticText_Color->color().value_or(0xFFFFFF);
  return e;
}

std::vector<MemoNode*> TFormPropatyNode2::targets() {
  if (!w_) return {};
  MemoNodeUI* node = note_.get();
  if (!node || !node->holderUI()) {
    w_->messageDoing_("Cancel: the MemoNode of this window was deleted. Nothing changed.");
    return {};
  }
  // What is typed in the editor goes into the note first, so the editor's stale text
  // cannot overwrite what is applied here.
  w_->UI2Model();
  return targetNotes(*w_, *node, target());
}

void TFormPropatyNode2::OK() {
  const std::vector<MemoNode*> notes = targets();
  if (!w_ || !note_.get()) return;
  const std::string stamp = QuoteValue(FormatDateTime("YYYYMMDD hhmmss", Now()));
  applyNoteProps(notes, target() == EditTarget::CurrentNode, loaded_, edited(), w_->getUserName(), stamp);
  w_->Model2UI();
  accept();
}

void TFormPropatyNode2::BasicPut() {
  const std::string name = sjis::trim(fromQ(ComboBox_Field->currentText()));
  if (name.empty() || !w_) return;
  const std::vector<MemoNode*> notes = targets();
  if (notes.empty()) {
    if (note_.get() && (target() == EditTarget::MarkedNodes || target() == EditTarget::CurrentHolder))
      prompter().messageBox("No Node !", "Warning", Buttons::OK, BoxKind::Warning);
    return;
  }
  putFieldOnNotes(notes, name, fromQ(ComboBox_value->currentText()));
  w_->Model2UI();
}

}  // namespace wux

#include "dialogs/FormGrep.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "views/qtext.h"

namespace wux {

TFormGrep::TFormGrep(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormGrep"));
  setWindowTitle(QStringLiteral("Grep"));
  auto* layout = new QVBoxLayout(this);
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("ComboBox1"));
  makeEditableKeepingCase(combo_);
  combo_->setInsertPolicy(QComboBox::NoInsert);  // the history is kept by OK alone
  layout->addWidget(combo_);

  auto* switches = new QHBoxLayout;
  number_ = new QCheckBox(QStringLiteral("Number"), this);
  number_->setObjectName(QStringLiteral("CheckBox_Number"));
  not_ = new QCheckBox(QStringLiteral("NOT"), this);
  not_->setObjectName(QStringLiteral("CheckBox_NOT"));
  ignore_ = new QCheckBox(QStringLiteral("Ignore"), this);
  ignore_->setObjectName(QStringLiteral("CheckBox_Ignore"));
  ignore_->setChecked(true);
  switches->addWidget(number_);
  switches->addWidget(not_);
  switches->addWidget(ignore_);
  layout->addLayout(switches);

  optionBox_ = new QGroupBox(QStringLiteral("Option"), this);
  optionBox_->setObjectName(QStringLiteral("RadioGroup_Option"));
  auto* radios = new QHBoxLayout(optionBox_);
  options_ = new QButtonGroup(this);
  int id = 0;
  for (const char* caption : {"Normal", "Head", "Tail"}) {
    auto* r = new QRadioButton(QString::fromLatin1(caption), optionBox_);
    options_->addButton(r, id++);
    radios->addWidget(r);
  }
  options_->button(0)->setChecked(true);
  layout->addWidget(optionBox_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TFormGrep::OKBtnClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

bool TFormGrep::ask() {
  combo_->setFocus();
  return exec() == QDialog::Accepted;
}

void TFormGrep::OKBtnClick() {
  const QString text = combo_->currentText();
  const int old = combo_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (old >= 0) combo_->removeItem(old);
  combo_->insertItem(0, text);
  combo_->setCurrentIndex(0);
  accept();
}

std::string TFormGrep::keyword() const { return fromQ(combo_->currentText()); }
int TFormGrep::option() const { return std::max(0, options_->checkedId()); }
void TFormGrep::setOption(int index) {
  if (QAbstractButton* b = options_->button(index)) b->setChecked(true);
}
bool TFormGrep::ignoreCase() const { return ignore_->isChecked(); }
bool TFormGrep::numbered() const { return number_->isChecked(); }
bool TFormGrep::inverted() const { return not_->isChecked(); }

}  // namespace wux

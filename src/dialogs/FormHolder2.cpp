// The notebook's property dialog.
#include "dialogs/FormHolder2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/records/MemoHolder.h"
#include "views/MainWindowApi.h"
#include "views/qtext.h"

namespace wux {

namespace {

QLabel* staticText(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

QCheckBox* check(const char* name, const char* caption, QWidget* parent) {
  auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
  c->setObjectName(QString::fromLatin1(name));
  return c;
}

}  // namespace

TFormHolder2::TFormHolder2(QWidget* parent) : TFormPropaty(parent) {
  setWindowTitle(QStringLiteral("Holder Propaty"));
  setMinimumHeight(300);
  setMaximumHeight(QWIDGETSIZE_MAX);
  resize(350, 600);
  auto* bar = new QMenuBar(this);
  bar->addAction(QStringLiteral("&CLOSE"), this, &QDialog::reject);
  setMenuBar(bar);
  auto* tabs = new QTabWidget(this);
  body()->addWidget(tabs);

  auto* general = new QWidget;
  auto* g = new QFormLayout(general);
  g->setRowWrapPolicy(QFormLayout::WrapLongRows);
  StaticText_Name = staticText("StaticText_Name", general);
  StaticText_FileName = staticText("StaticText_FileName", general);
  StaticText_CountOfNodes = staticText("StaticText_CountOfNodes", general);
  StaticText_QueryNode = staticText("StaticText_QueryNode", general);
  StaticText_CountSave = staticText("StaticText_CountSave", general);
  StaticText_TimeSaved = staticText("StaticText_TimeSaved", general);
  StaticText_Color = new ColorText(general);
  g->addRow(QStringLiteral("Name"), StaticText_Name);
  g->addRow(QStringLiteral("FileName"), StaticText_FileName);
  g->addRow(QStringLiteral("Nodes"), StaticText_CountOfNodes);
  g->addRow(QStringLiteral("QueryNode"), StaticText_QueryNode);
  g->addRow(QStringLiteral("CountSave"), StaticText_CountSave);
  g->addRow(QStringLiteral("TimeSaved"), StaticText_TimeSaved);
  g->addRow(StaticText_Color);
  RadioGroup_Type = new RadioGroup("RadioGroup_Type", QStringLiteral("NewNodeName"),
                                   {QStringLiteral("Daily"), QStringLiteral("Glossary"), QStringLiteral("Number")},
                                   general);
  RadioGroup_Sort = new RadioGroup("RadioGroup_Sort", QStringLiteral("SortType"),
                                   {QStringLiteral("ascending"), QStringLiteral("descending ")}, general);
  RadioGroup_NewNodeOP = new RadioGroup(
      "RadioGroup_NewNodeOP", QStringLiteral("NewNodeOP"),
      {QStringLiteral("Normal"), QStringLiteral("Plain"), QStringLiteral("Current"), QStringLiteral("Select")},
      general);
  RadioGroup_FileExt = new RadioGroup("RadioGroup_FileExt", QStringLiteral("FileExt"),
                                      {QStringLiteral(".mxh"), QStringLiteral(".mhz")}, general);
  // One group under the other: side by side they need more than the window's width.
  for (RadioGroup* r : {RadioGroup_Type, RadioGroup_Sort, RadioGroup_NewNodeOP, RadioGroup_FileExt}) g->addRow(r);
  ComboBox_FormatDate = new QComboBox(general);
  ComboBox_FormatDate->setObjectName(QStringLiteral("ComboBox_FormatDate"));
  makeEditableKeepingCase(ComboBox_FormatDate);
  ComboBox_FormatDate->addItems({QStringLiteral("YYYYMMDD"), QStringLiteral("YYYYMMDD ddd"),
                                 QStringLiteral("YYYY/MM/DD"), QStringLiteral("YYYY/MM/DD ddd"),
                                 QStringLiteral("YYYY/MM/DD dddd"), QStringLiteral("YYYY/MM/DD ddddd"),
                                 QString::fromUtf8("YYYY\"年\"MM\"月\"DD\"日(\"ddd\")\" ")});
  ComboBox_FormatNumber = new QComboBox(general);
  ComboBox_FormatNumber->setObjectName(QStringLiteral("ComboBox_FormatNumber"));
  makeEditableKeepingCase(ComboBox_FormatNumber);
  ComboBox_FormatNumber->addItem(QStringLiteral("%.5d"));
  // Sized by what they show, not by their longest item, so the page fits the window.
  for (QComboBox* c : {ComboBox_FormatDate, ComboBox_FormatNumber}) {
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(8);
  }
  g->addRow(QStringLiteral("FormatDate"), ComboBox_FormatDate);
  g->addRow(QStringLiteral("FormatNumber"), ComboBox_FormatNumber);
  Edit_SelectNodeName = new QLineEdit(general);
  Edit_SelectNodeName->setObjectName(QStringLiteral("Edit_SelectNodeName"));
  Edit_Alias = new QLineEdit(general);
  Edit_Alias->setObjectName(QStringLiteral("Edit_Alias"));
  g->addRow(QStringLiteral("SelectNodeName"), Edit_SelectNodeName);
  g->addRow(QStringLiteral("Alias"), Edit_Alias);
  CheckBox_FlagSort = check("CheckBox_FlagSort", "SORT", general);
  CheckBox_FlagReadOnly = check("CheckBox_FlagReadOnly", "ReadOnly", general);
  CheckBox_FlagExtra = check("CheckBox_FlagExtra", "Extra", general);
  CheckBox_FlagSameName = check("CheckBox_FlagSameName", "FlagSameName", general);
  auto* flags = new QWidget(general);
  auto* fl = new QGridLayout(flags);
  fl->setContentsMargins(0, 0, 0, 0);
  fl->addWidget(CheckBox_FlagSort, 0, 0);
  fl->addWidget(CheckBox_FlagReadOnly, 0, 1);
  fl->addWidget(CheckBox_FlagExtra, 1, 0);
  fl->addWidget(CheckBox_FlagSameName, 1, 1);
  g->addRow(flags);
  Memo_Memo = new QPlainTextEdit(general);
  Memo_Memo->setObjectName(QStringLiteral("Memo_Memo"));
  g->addRow(Memo_Memo);
  auto* explorer = new QPushButton(QStringLiteral("Explorer"), general);
  connect(explorer, &QPushButton::clicked, this,
          [this] { exploreFolderOf(this, fromQ(StaticText_FileName->text())); });
  g->addRow(explorer);
  // The page scrolls rather than squeezing its controls in a short window.
  auto* scroll = new QScrollArea(tabs);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(general);
  tabs->addTab(scroll, QStringLiteral("General"));

  auto* mail = new QWidget(tabs);
  auto* m = new QFormLayout(mail);
  for (std::size_t i = 0; i < kMailKeys.size(); ++i) {
    mail_[i] = new QLineEdit(mail);
    mail_[i]->setObjectName(QStringLiteral("Edit_") + QString::fromLatin1(kMailKeys[i]));
    m->addRow(QString::fromLatin1(kMailKeys[i]), mail_[i]);
  }
  tabs->addTab(mail, QStringLiteral("Mail"));
}

void TFormHolder2::loadFromObject(MemoHolder* holder) {
  holder_ = holder;
  if (!holder) return;
  loaded_ = loadHolderProps(*holder);
  const HolderProps& p = loaded_;
  RadioGroup_Type->setItemIndex(RadioGroup_Type->indexOfText(toQ(p.newNodeName)));
  RadioGroup_NewNodeOP->setItemIndex(RadioGroup_NewNodeOP->indexOfText(toQ(p.newNodeOption)));
  RadioGroup_FileExt->setItemIndex(p.fileExt == ".mxh" ? 0 : 1);
  RadioGroup_Sort->setItemIndex(p.ascending ? 0 : 1);
  ComboBox_FormatDate->setEditText(toQ(p.formatDate));
  ComboBox_FormatNumber->setEditText(toQ(p.formatNumber));
  Edit_SelectNodeName->setText(toQ(p.selectNodeName));
  StaticText_QueryNode->setText(toQ(p.queryNode));
  StaticText_FileName->setText(toQ(p.fileName));
  StaticText_Name->setText(toQ(p.name));
  StaticText_CountOfNodes->setText(QString::number(p.nodeCount));
  StaticText_CountSave->setText(QString::number(p.countSave));
  StaticText_TimeSaved->setText(toQ(p.timeSaved));
  CheckBox_FlagSort->setChecked(p.sort);
  CheckBox_FlagReadOnly->setChecked(p.readOnly);
  CheckBox_FlagExtra->setChecked(p.extra);
  CheckBox_FlagSameName->setChecked(p.sameName);
  StaticText_Color->setColor(p.color);
  Memo_Memo->setPlainText(toQ(p.memo));
  for (std::size_t i = 0; i < mail_.size(); ++i) mail_[i]->setText(toQ(p.mail[i]));
}

HolderProps TFormHolder2::edited() const {
  HolderProps e = loaded_;
  e.newNodeName = fromQ(RadioGroup_Type->itemText(std::max(0, RadioGroup_Type->itemIndex())));
  e.newNodeOption = fromQ(RadioGroup_NewNodeOP->itemText(std::max(0, RadioGroup_NewNodeOP->itemIndex())));
  e.fileExt = fromQ(RadioGroup_FileExt->itemText(std::max(0, RadioGroup_FileExt->itemIndex())));
  e.ascending = RadioGroup_Sort->itemIndex() == 0;
  e.formatDate = fromQ(ComboBox_FormatDate->currentText());
  e.formatNumber = fromQ(ComboBox_FormatNumber->currentText());
  e.selectNodeName = fromQ(Edit_SelectNodeName->text());
  e.sort = CheckBox_FlagSort->isChecked();
  e.readOnly = CheckBox_FlagReadOnly->isChecked();
  e.extra = CheckBox_FlagExtra->isChecked();
  e.sameName = CheckBox_FlagSameName->isChecked();
  e.color = StaticText_Color->color();
  e.memo = fromQ(Memo_Memo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
  for (std::size_t i = 0; i < mail_.size(); ++i) e.mail[i] = fromQ(mail_[i]->text());
  return e;
}

void TFormHolder2::storeToObject() {
  if (!w_ || !holder_) return;
  MainWindowApi* w = w_;
  storeHolderProps(*holder_, loaded_, edited(), [w] { w->setUIReadOnly_(true); });
}

}  // namespace wux

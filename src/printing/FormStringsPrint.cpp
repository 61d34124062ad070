#include "printing/FormStringsPrint.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>

#include "model/Prompter.h"
#include "model/text/StringList.h"
#include "platform/textconv.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {
namespace {

using A = TStringsPrinterHeaderAlign;
using R = TStringsPrinterRangeOption;
using P = TStringsPrinterPageOption;

// Range fields wrap at their ends, so one step down from 1 reaches "no limit".
constexpr int kWrapBelow = 0;
constexpr int kWrapAbove = kPrintMaxNumber + 1;

QSpinBox* spin(QWidget* parent, const char* name, int lo, int hi) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setRange(lo, hi);
  return s;
}

QButtonGroup* radioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items,
                         QGroupBox*& box) {
  box = new QGroupBox(title, parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* group = new QButtonGroup(box);
  group->setObjectName(QString::fromLatin1(name));
  auto* layout = new QHBoxLayout(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], box);
    group->addButton(b, i);
    layout->addWidget(b);
  }
  return group;
}

void check(QButtonGroup* g, int id) {
  if (auto* b = g->button(id)) b->setChecked(true);
}

}  // namespace

std::string StringsPrintKeywordHelp() {
  return sj("Header, Footer に利用出来るキーワードは以下の通りです。\r\n\r\n"
            "%p  ページ番号\r\n%f  ファイル名パス付き\r\n%F  ファイル名パス無し\r\n"
            "%y  年\r\n%m  月\r\n%d  日\r\n%t  時間");
}

TFormStringsPrint::TFormStringsPrint(TStringsPrinter& source, const StringList* lines, QWidget* parent)
    : QDialog(parent), lines_(lines) {
  setWindowTitle(QStringLiteral("TStringsPrinter"));
  setObjectName(QStringLiteral("FormStringsPrint"));
  copy_.Assign(source);
  copy_.shareDevice(source);

  auto* grid = new QGridLayout;
  int row = 0;
  auto labelled = [&](const QString& caption, QWidget* w, int col, QLabel** label = nullptr) {
    auto* l = new QLabel(caption, this);
    l->setBuddy(w);
    grid->addWidget(l, row, col);
    grid->addWidget(w, row, col + 1);
    if (label) *label = l;
  };
  SpinEdit1 = spin(this, "SpinEdit1", 0, 100);
  SpinEdit2 = spin(this, "SpinEdit2", 0, 100);
  SpinEdit3 = spin(this, "SpinEdit3", 0, 100);
  SpinEdit4 = spin(this, "SpinEdit4", 0, 100);
  SpinEdit12 = spin(this, "SpinEdit12", 0, 100);
  SpinEdit5 = spin(this, "SpinEdit5", 0, 100);
  labelled(QStringLiteral("Left margin:"), SpinEdit1, 0);
  labelled(QStringLiteral("Right margin:"), SpinEdit2, 2), ++row;
  labelled(QStringLiteral("Top margin:"), SpinEdit3, 0);
  labelled(QStringLiteral("Bottom margin:"), SpinEdit4, 2), ++row;
  labelled(QStringLiteral("Line margin:"), SpinEdit12, 0);
  labelled(QStringLiteral("Column space:"), SpinEdit5, 2), ++row;

  QGroupBox* box = nullptr;
  RadioGroup1 = radioGroup(this, "RadioGroup1", QStringLiteral(" Columns "), {"1", "2", "3"}, box);
  grid->addWidget(box, row++, 0, 1, 4);
  const QStringList aligns{"None", "Left", "Center", "Right"};
  RadioGroup2 = radioGroup(this, "RadioGroup2", QStringLiteral(" Header "), aligns, box);
  grid->addWidget(box, row++, 0, 1, 4);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  labelled(QStringLiteral("Header string:"), Edit1, 0), ++row;
  RadioGroup3 = radioGroup(this, "RadioGroup3", QStringLiteral(" Footer "), aligns, box);
  grid->addWidget(box, row++, 0, 1, 4);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  labelled(QStringLiteral("Footer string:"), Edit2, 0), ++row;

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
  makeEditableKeepingCase(ComboBox2);
  // Sized by what it shows, not by the longest font name of the system.
  ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox1->setMinimumContentsLength(12);
  labelled(QStringLiteral("Font name:"), ComboBox1, 0);
  labelled(QStringLiteral("Font size:"), ComboBox2, 2), ++row;
  CheckBox1 = new QCheckBox(QStringLiteral("LineNumber"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  grid->addWidget(CheckBox1, row++, 0, 1, 2);
  grid->setRowStretch(row, 1);

  // The ranges and the printer in a second column: in one, the dialog is taller than a
  // small screen.
  QGridLayout* pageGrid = grid;
  grid = new QGridLayout;
  row = 0;

  RadioGroup4 = radioGroup(this, "RadioGroup4", QStringLiteral(" PageOption "), {"poBoth", "poOdd", "poEven"}, box);
  grid->addWidget(box, row++, 0, 1, 4);
  RadioGroup5 = radioGroup(this, "RadioGroup5", QStringLiteral(" RangeOption "), {"roWhole", "roLimited"}, box);
  grid->addWidget(box, row++, 0, 1, 4);
  SpinEdit6 = spin(this, "SpinEdit6", kWrapBelow, kWrapAbove);
  SpinEdit7 = spin(this, "SpinEdit7", kWrapBelow, kWrapAbove);
  SpinEdit8 = spin(this, "SpinEdit8", kWrapBelow, kWrapAbove);
  labelled(QStringLiteral("StartPage:"), SpinEdit6, 0, &LabelStartPage);
  labelled(QStringLiteral("LastPage:"), SpinEdit7, 2, &LabelLastPage), ++row;
  labelled(QStringLiteral("FirstPageNumber:"), SpinEdit8, 0), ++row;
  RadioGroup6 =
      radioGroup(this, "RadioGroup6", QStringLiteral(" LineRangeOption "), {"roWhole", "roLimited"}, box);
  grid->addWidget(box, row++, 0, 1, 4);
  SpinEdit9 = spin(this, "SpinEdit9", kWrapBelow, kWrapAbove);
  SpinEdit10 = spin(this, "SpinEdit10", kWrapBelow, kWrapAbove);
  SpinEdit11 = spin(this, "SpinEdit11", kWrapBelow, kWrapAbove);
  labelled(QStringLiteral("StartLine:"), SpinEdit9, 0, &LabelStartLine);
  labelled(QStringLiteral("LastLine:"), SpinEdit10, 2, &LabelLastLine), ++row;
  labelled(QStringLiteral("FirstLineNumber:"), SpinEdit11, 0), ++row;

  Label5 = new QLabel(this);
  Label5->setObjectName(QStringLiteral("Label5"));
  Label12 = new QLabel(this);
  Label12->setObjectName(QStringLiteral("Label12"));
  Label6 = new QLabel(this);
  Label6->setObjectName(QStringLiteral("Label6"));
  grid->addWidget(Label5, row, 0, 1, 2);
  grid->addWidget(Label12, row, 2);
  grid->addWidget(Label6, row++, 3);

  auto button = [&](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  Button1 = button("Button1", QStringLiteral("OK"));
  Button2 = button("Button2", QStringLiteral("Cancel"));
  Button5 = button("Button5", QStringLiteral("Print"));
  Button6 = button("Button6", QStringLiteral("Preview"));
  Button3 = button("Button3", QStringLiteral("Help"));
  Button4 = button("Button4", QStringLiteral("Printer setting"));
  auto* buttons = new QHBoxLayout;
  for (auto* b : {Button4, Button3, Button6, Button5, Button1, Button2}) buttons->addWidget(b);
  grid->setRowStretch(row, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(pageGrid);
  columns->addLayout(grid);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(columns);
  outer->addLayout(buttons);

  fillFromCopy();

  // Every control writes its setting of the copy at once.
  auto onSpin = [this](QSpinBox* s, void (StringsPrinterProperties::*set)(int)) {
    connect(s, &QSpinBox::valueChanged, this, [this, set](int v) { (copy_.*set)(v); });
  };
  onSpin(SpinEdit1, &StringsPrinterProperties::setMarginLeft);
  onSpin(SpinEdit2, &StringsPrinterProperties::setMarginRight);
  onSpin(SpinEdit3, &StringsPrinterProperties::setMarginTop);
  onSpin(SpinEdit4, &StringsPrinterProperties::setMarginBottom);
  onSpin(SpinEdit12, &StringsPrinterProperties::setMarginLine);
  onSpin(SpinEdit5, &StringsPrinterProperties::setColumnSpace);
  connect(RadioGroup1, &QButtonGroup::idClicked, this, [this](int id) { copy_.setColumnCount(id + 1); });
  connect(RadioGroup2, &QButtonGroup::idClicked, this, [this](int id) { copy_.setHeaderAlign(A(id)); });
  connect(RadioGroup3, &QButtonGroup::idClicked, this, [this](int id) { copy_.setFooterAlign(A(id)); });
  connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& t) { copy_.setHeader(fromQ(t)); });
  connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& t) { copy_.setFooter(fromQ(t)); });
  connect(ComboBox1, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    PrintFont f = copy_.Font();
    f.name = fromQ(t);
    copy_.setFont(f);
  });
  connect(ComboBox2, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    bool ok = false;
    int size = t.trimmed().toInt(&ok);
    PrintFont f = copy_.Font();
    f.size = ok && size > 0 ? size : 9;
    copy_.setFont(f);
  });
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) { copy_.setLineNumber(on); });
  connect(RadioGroup4, &QButtonGroup::idClicked, this, [this](int id) { copy_.setPageOption(P(id)); });

  // The range fields wrap; while a range is limited its first number follows its start.
  auto wrapping = [this](QSpinBox* s, std::function<void(int)> apply) {
    connect(s, &QSpinBox::valueChanged, this, [s, apply](int v) {
      if (v < 1) return s->setValue(kPrintMaxNumber);
      if (v > kPrintMaxNumber) return s->setValue(1);
      apply(v);
    });
    if (auto* edit = s->findChild<QLineEdit*>()) edit->installEventFilter(this);
  };
  wrapping(SpinEdit6, [this](int v) {
    copy_.setStartPage(v);
    if (copy_.RangeOption() == R::roLimited) SpinEdit8->setValue(v);
  });
  wrapping(SpinEdit7, [this](int v) { copy_.setLastPage(v); });
  wrapping(SpinEdit8, [this](int v) { copy_.setFirstPageNumber(v); });
  wrapping(SpinEdit9, [this](int v) {
    copy_.setStartLine(v);
    if (copy_.LineRangeOption() == R::roLimited) SpinEdit11->setValue(v);
  });
  wrapping(SpinEdit10, [this](int v) { copy_.setLastLine(v); });
  wrapping(SpinEdit11, [this](int v) { copy_.setFirstLineNumber(v); });
  connect(RadioGroup5, &QButtonGroup::idClicked, this, [this](int id) {
    copy_.setRangeOption(R(id));
    setPageRangeEnabled(id == 1);
    SpinEdit8->setValue(id == 1 ? SpinEdit6->value() : 1);
  });
  connect(RadioGroup6, &QButtonGroup::idClicked, this, [this](int id) {
    copy_.setLineRangeOption(R(id));
    setLineRangeEnabled(id == 1);
    SpinEdit11->setValue(id == 1 ? SpinEdit9->value() : 1);
  });

  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button5, &QPushButton::clicked, this, [this] { print(); });
  connect(Button6, &QPushButton::clicked, this, [this] {
    if (lines_) copy_.Preview(*lines_, this);
  });
  connect(Button3, &QPushButton::clicked, this, [] { ShowMessage(StringsPrintKeywordHelp()); });
  connect(Button4, &QPushButton::clicked, this, [this] {
    QPrintDialog dialog(&copy_.printer(), this);
    dialog.exec();
    updatePrinterLabels();
  });
}

void TFormStringsPrint::fillFromCopy() {
  const PrintFont font = copy_.Font();
  QStringList families;
  for (const QString& f : QFontDatabase::families())
    if (!f.startsWith(QLatin1Char('@'))) families << f;
  const QString current = toQ(font.name);
  if (!families.contains(current)) families.prepend(current);
  ComboBox1->addItems(families);
  ComboBox1->setCurrentText(current);
  for (int size = 6; size <= 30; ++size) ComboBox2->addItem(QString::number(size));
  ComboBox2->setCurrentText(QString::number(font.size));

  SpinEdit1->setValue(copy_.MarginLeft());
  SpinEdit2->setValue(copy_.MarginRight());
  SpinEdit3->setValue(copy_.MarginTop());
  SpinEdit4->setValue(copy_.MarginBottom());
  SpinEdit12->setValue(copy_.MarginLine());
  SpinEdit5->setValue(copy_.ColumnSpace());
  check(RadioGroup1, copy_.ColumnCount() - 1);
  check(RadioGroup2, static_cast<int>(copy_.HeaderAlign()));
  Edit1->setText(toQ(copy_.Header()));
  check(RadioGroup3, static_cast<int>(copy_.FooterAlign()));
  Edit2->setText(toQ(copy_.Footer()));
  CheckBox1->setChecked(copy_.LineNumber());
  check(RadioGroup4, static_cast<int>(copy_.PageOption()));
  // The signals are connected only after this, so the stored numbers are shown as
  // they are, not as a limited range would set them.
  check(RadioGroup5, static_cast<int>(copy_.RangeOption()));
  SpinEdit6->setValue(copy_.StartPage());
  SpinEdit7->setValue(copy_.LastPage());
  SpinEdit8->setValue(copy_.FirstPageNumber());
  setPageRangeEnabled(copy_.RangeOption() == R::roLimited);
  check(RadioGroup6, static_cast<int>(copy_.LineRangeOption()));
  SpinEdit9->setValue(copy_.StartLine());
  SpinEdit10->setValue(copy_.LastLine());
  SpinEdit11->setValue(copy_.FirstLineNumber());
  setLineRangeEnabled(copy_.LineRangeOption() == R::roLimited);

  const bool printable = lines_ && !lines_->empty();
  for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label12, Label6, Button4, Button5, Button6})
    w->setEnabled(printable);
  updatePrinterLabels();
}

void TFormStringsPrint::updatePrinterLabels() {
  TStringsPrinterInfo info = copy_.info();
  Label5->setText(toQ(info.GetOutputName()));
  Label12->setText(toQ(info.GetPaperName()));
  Label6->setText(toQ(info.GetOrientationName()));
}

void TFormStringsPrint::setPageRangeEnabled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{SpinEdit6, SpinEdit7, LabelStartPage, LabelLastPage})
    w->setEnabled(on);
}

void TFormStringsPrint::setLineRangeEnabled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{SpinEdit9, SpinEdit10, LabelStartLine, LabelLastLine})
    w->setEnabled(on);
}

void TFormStringsPrint::print() {
  if (!lines_) return;
  if (copy_.Print(*lines_)) {
    accept();
    return;
  }
  // A cancelled layout keeps the dialog open for another try; a failed print says why.
  if (!copy_.wasCancelled()) ShowMessage(copy_.lastError());
}

bool TFormStringsPrint::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    // A double click puts a range field back to "from the start" or "to the end".
    QObject* field = watched->parent();
    if (field == SpinEdit7 || field == SpinEdit10) {
      static_cast<QSpinBox*>(field)->setValue(kPrintMaxNumber);
      return true;
    }
    if (field == SpinEdit6 || field == SpinEdit8 || field == SpinEdit9 || field == SpinEdit11) {
      static_cast<QSpinBox*>(field)->setValue(1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

bool ExecuteStringsPrintDialog(TStringsPrinter& printer, const StringList* lines, QWidget* parent) {
  TFormStringsPrint form(printer, lines, parent);
  ownWindow(form, parent, WindowPlace::OnOwner, false);
  if (form.exec() != QDialog::Accepted) return false;
  printer.Assign(form.StringsPrinter1());
  return true;
}

}  // namespace wux

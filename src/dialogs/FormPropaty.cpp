// The property dialogs' base, the colour text and the small shared controls.
#include "dialogs/FormPropaty.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "views/Clipboard.h"
#include "views/DesktopOpen.h"
#include "views/qtext.h"

namespace wux {

TFormPropaty::TFormPropaty(QWidget* parent) : QDialog(parent) {
  auto* outer = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  outer->addLayout(body_, 1);
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* buttons = new QHBoxLayout(panel);
  ok_ = new QPushButton(QStringLiteral("OK"), panel);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  cancel_ = new QPushButton(QStringLiteral("CANCEL"), panel);
  cancel_->setObjectName(QStringLiteral("CANCELBtn"));
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  outer->addWidget(panel);
  setMinimumSize(350, 450);
  setMaximumSize(350, 600);
  connect(ok_, &QPushButton::clicked, this, [this] {
    storeToObject();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormPropaty::setMenuBar(QMenuBar* bar) {
  // On the window's own layout: a nested layout would leave the bar over the controls.
  layout()->setMenuBar(bar);
}

ColorText::ColorText(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StaticText_Color"));
  auto* l = new QHBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  button_ = new QPushButton(QStringLiteral("Color"), this);
  button_->setFlat(true);
  button_->setAutoFillBackground(true);
  l->addWidget(button_);
  connect(button_, &QPushButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(color_ ? toQColor(*color_) : palette().button().color(), this);
    if (chosen.isValid()) setColor(fromQColor(chosen));
  });
}

void ColorText::setColor(std::optional<Color> color) {
  color_ = color;
  QPalette p = button_->palette();
  p.setColor(QPalette::Button, color ? toQColor(*color) : palette().button().color());
  button_->setPalette(p);
}

RadioGroup::RadioGroup(const char* objectName, const QString& title, std::initializer_list<QString> items,
                       QWidget* parent)
    : QGroupBox(title, parent) {
  setObjectName(QString::fromLatin1(objectName));
  // Two or three choices side by side, more in a column.
  QBoxLayout* l = items.size() > 3 ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                   : static_cast<QBoxLayout*>(new QHBoxLayout(this));
  for (const QString& item : items) {
    auto* b = new QRadioButton(item, this);
    buttons_.push_back(b);
    l->addWidget(b);
  }
}

int RadioGroup::itemIndex() const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

void RadioGroup::setItemIndex(int i) {
  // Unchecking needs the buttons out of their exclusive group for a moment.
  for (QRadioButton* b : buttons_) {
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
  }
  if (i >= 0 && i < static_cast<int>(buttons_.size())) buttons_[static_cast<std::size_t>(i)]->setChecked(true);
}

QString RadioGroup::itemText(int i) const {
  return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[static_cast<std::size_t>(i)]->text() : QString();
}

int RadioGroup::indexOfText(const QString& text) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->text() == text) return static_cast<int>(i);
  return -1;
}

void addCopyMenu(QWidget* label) {
  label->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(label, &QWidget::customContextMenuRequested, label, [label](const QPoint& at) {
    QMenu menu;
    menu.addAction(QStringLiteral("Copy"), [label] {
      if (auto* l = qobject_cast<QLabel*>(label)) clipboard().setText(fromQ(l->text()));
    });
    menu.exec(label->mapToGlobal(at));
  });
}

void exploreFolderOf(QWidget*, const std::string& sjisFileName) {
  const std::string name = sjis::trim(sjisFileName);
  const std::size_t sep = sjis::findLastOf(name, "/\\");
  const std::string folder = sep == std::string::npos ? std::string() : name.substr(0, sep);
  if (!folder.empty() && platform::dirExists(folder))
    OpenWithDesktopOrSay(folder, true);
  else
    prompter().messageBox(folder, "Confirmation", Buttons::OK);
}

}  // namespace wux

#include "mainwindow/FormMainMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include "views/qtext.h"

namespace wux {

void TFormMainMenu::FormCreate() {
  TFormMainScript::FormCreate();
  panelTop_ = new QFrame(this);
  panelTop_->setObjectName(QStringLiteral("PanelTop"));
  panelTop_->setAutoFillBackground(true);
  auto* top = new QHBoxLayout(panelTop_);
  top->setContentsMargins(4, 2, 4, 2);
  checkUIReadOnly_ = new QCheckBox(QStringLiteral("ReadOnly"), panelTop_);
  checkUIReadOnly_->setObjectName(QStringLiteral("CheckBox_UIReadOnly"));
  checkUIInternet_ = new QCheckBox(QStringLiteral("Internet"), panelTop_);
  checkUIInternet_->setObjectName(QStringLiteral("CheckBox_UIInternet"));
  top->addWidget(checkUIReadOnly_);
  top->addWidget(checkUIInternet_);
  top->addStretch(1);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setToolTip(QStringLiteral("ReadOnly :  Count of Holders : Message"));
  const int widths[3] = {24, 24, 100};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(bar);
    panels_[i]->setMinimumWidth(widths[i]);
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
  }
  panels_[0]->setAlignment(Qt::AlignCenter);
  panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  bar->addWidget(panels_[0]);
  bar->addWidget(panels_[1]);
  bar->addWidget(panels_[2], 1);
}

std::string TFormMainMenu::statusPanel(int i) const {
  if (i < 0 || i > 2 || !panels_[i]) return "";
  return fromQ(panels_[i]->text());
}

void TFormMainMenu::mouseCursor(int cursor) {
  // -11 is the hourglass of the busy protocol; 0 the default.
  if (cursor == -11)
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();
}

void TFormMainMenu::messageDoing_(const std::string& text) {
  if (!panels_[2]) return;
  panels_[2]->setText(toQ(text));
  panels_[2]->repaint();
}

void TFormMainMenu::showHolderCount() {
  if (panels_[1]) panels_[1]->setText(QString::number(holderCount()));
}

bool TFormMainMenu::isUIReadOnly() { return checkUIReadOnly_ && checkUIReadOnly_->isChecked(); }
bool TFormMainMenu::isUIInternet() { return checkUIInternet_ && checkUIInternet_->isChecked(); }

}  // namespace wux

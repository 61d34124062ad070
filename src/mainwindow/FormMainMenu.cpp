#include "mainwindow/FormMainMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include "model/strutil.h"
#include "views/FrameMemoHolder.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
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

void TFormMainMenu::updateColor() {
  if (!aFile_ || !panelTop_) return;
  const std::string field = aFile_->getField_("Color");
  if (field.empty()) return;
  const Color c = NameToColor(Dequote(field));
  QPalette p = panelTop_->palette();
  p.setColor(QPalette::Window, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  panelTop_->setPalette(p);
}

void TFormMainMenu::updateReadOnlyMark() {
  MemoNodeUI* node = getCurrentNode();
  if (node && panels_[0]) panels_[0]->setText(node->isReadOnly_() ? QStringLiteral("RO") : QString());
}

TFrameMemoNode* TFormMainMenu::getNodeFrame() {
  TFrameMemoHolder* frame = getHolderFrame();
  return frame ? frame->FrameMemoNode1() : nullptr;
}

// Switching the view kind of the current notebook; the new kind is saved with it.
int TFormMainMenu::changeView(void (TFrameMemoHolder::*change)()) {
  if (isDoing_()) return kResultFailed;
  TFrameMemoHolder* frame = getHolderFrame();
  MemoHolderUI* holder = getCurrentHolder();
  if (!frame || !holder) return kResultUIReadOnly;
  UI2Model();
  frame->setHolder(holder);
  (frame->*change)();
  holder->putCurrentNode_(getCurrentNode());
  holder->modified = true;
  refreshHolderView();
  return 0;
}

int TFormMainMenu::changeTreeView_() { return changeView(&TFrameMemoHolder::changeToTreeView_); }
int TFormMainMenu::changeListView_() { return changeView(&TFrameMemoHolder::changeToListView_); }
int TFormMainMenu::changeCheckListBox_() { return changeView(&TFrameMemoHolder::changeToCheckListBox_); }

}  // namespace wux

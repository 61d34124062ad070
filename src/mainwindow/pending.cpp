// Temporary: bodies that need the document model, until it lands.
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

#include "mainwindow/FormMainWUXX13c.h"

namespace wux {
class MemoFileUI {};

std::string TFormMainBase0007::documentName() { return "noname"; }
int TFormMainBase0007::holderCount() { return 0; }

int TFormMainScript::UI2Model() { return -1; }
void TFormMainScript::Model2UI() {}
void TFormMainScript::updateCaption() {}
void TFormMainScript::refreshHolderView() {}
int TFormMainScript::changeFlagReadOnly_() { return 0; }

void TFormMainMenu::updateColor() {}
void TFormMainMenu::updateReadOnlyMark() {}
TFrameMemoNode* TFormMainMenu::getNodeFrame() { return nullptr; }
int TFormMainMenu::changeTreeView_() { return 0; }
int TFormMainMenu::changeListView_() { return 0; }
int TFormMainMenu::changeCheckListBox_() { return 0; }

TFormMainWUXX13c::TFormMainWUXX13c() = default;
TFormMainWUXX13c::~TFormMainWUXX13c() = default;
void TFormMainWUXX13c::FormCreate() {
  TFormMainMenu::FormCreate();
  panel1_ = new QWidget(this);
  auto* v = new QVBoxLayout(panel1_);
  v->addWidget(panelTop_);
  tabControl1_ = new QTabBar(panel1_);
  v->addWidget(tabControl1_);
  v->addStretch(1);
  setCentralWidget(panel1_);
}
void TFormMainWUXX13c::mouseCursor(int c) { TFormMainMenu::mouseCursor(c); }
int TFormMainWUXX13c::setCheckListBox_(QWidget*) { return 0; }
int TFormMainWUXX13c::setTreeView_(QWidget*) { return 0; }
int TFormMainWUXX13c::setListView_(QWidget*) { return 0; }
void TFormMainWUXX13c::showHolder_(MemoHolderUI*) {}
void TFormMainWUXX13c::hideHolder_(MemoHolderUI*) {}
void TFormMainWUXX13c::newMemoFile() {}
TFrameMemoHolder* TFormMainWUXX13c::getHolderFrame() { return nullptr; }
void TFormMainWUXX13c::TabControl1Change(int) {}
}  // namespace wux

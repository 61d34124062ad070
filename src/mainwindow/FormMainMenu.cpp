#include "mainwindow/FormMainMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "mainwindow/Application.h"
#include "model/strutil.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
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
  registerMenuLayerCommands();
  makeToolBar();
  makeMenus();

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

void TFormMainMenu::act(const std::string& command, bool guarded, const CommandArgs& args) {
  runGuarded([&] {
    if (guarded && isDoing_()) return;
    commands_.run(command, args);
  });
}

void TFormMainMenu::registerMenuLayerCommands() {
  commands_.add("changeTreeView_", [this] { return changeTreeView_(); });
  commands_.add("changeListView_", [this] { return changeListView_(); });
  commands_.add("changeCheckListBox_", [this] { return changeCheckListBox_(); });
}

QAction* TFormMainMenu::addItem(QMenu* menu, const char* caption, const std::string& command, bool guarded) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  connect(a, &QAction::triggered, this, [this, command, guarded] { act(command, guarded); });
  return a;
}

// While an operation runs every item of a dropped menu is disabled, so nothing
// starts on top of it; afterwards the items are enabled again.
void TFormMainMenu::enableWhileIdle(QMenu* menu) {
  const bool busy = isDoing_();
  for (QAction* a : menu->actions())
    if (a->isEnabled() == busy) a->setEnabled(!busy);
}

void TFormMainMenu::makeToolBar() {
  auto* top = static_cast<QHBoxLayout*>(panelTop_->layout());
  auto button = [&](const char* caption, const char* hint, const char* command, bool guarded = true) {
    auto* b = new QPushButton(QString::fromLatin1(caption), panelTop_);
    b->setToolTip(QString::fromLatin1(hint));
    b->setFocusPolicy(Qt::NoFocus);
    const std::string name = command;
    connect(b, &QPushButton::clicked, this, [this, name, guarded] { act(name, guarded); });
    top->addWidget(b);
  };
  button("New", "Create New MemoNode. ( text type )", "newMemoNode_");
  button("Break", "Break ", "UIBreak", false);
  top->addWidget(checkUIReadOnly_);
  button("Exit", "Exit force. not save files.", "UITerminateForce", false);
  button("Done", "Break force.", "endDoing", false);
  button("Holder", "", "UINewHolder");
  top->addWidget(checkUIInternet_);
  checkUIInternet_->setChecked(true);
  button("UP", "", "UIChangeCurrentNodePre");
  button("DOWN", "", "UIChangeCurrentNodeNext");
  top->addStretch(1);
  connect(checkUIReadOnly_, &QCheckBox::toggled, this, [this](bool on) {
    runGuarded([&] {
      UI2Model();
      if (TFrameMemoNode* editor = getNodeFrame()) {
        MemoNodeUI* node = getCurrentNode();
        editor->setReadOnly_(on || (node && node->isReadOnly_()));
      }
    });
  });
}

void TFormMainMenu::makeMenus() {
  QMenuBar* bar = menuBar();
  makeFileMenu(bar);
  QMenu* holder = bar->addMenu(QStringLiteral("[Holder]"));
  QAction* views[3] = {addItem(holder, "CheckListBox", "changeCheckListBox_", false),
                       addItem(holder, "TreeView", "changeTreeView_", false),
                       addItem(holder, "ListView", "changeListView_", false)};
  for (QAction* a : views) a->setCheckable(true);
  connect(holder, &QMenu::aboutToShow, this, [this, holder, views] {
    enableWhileIdle(holder);
    MemoHolderUI* h = getCurrentHolder();
    const std::string mode = h ? h->getModeNodesMngr_() : "";
    views[0]->setChecked(mode == "\"CheckListBox\"");
    views[1]->setChecked(mode == "\"TreeView\"");
    views[2]->setChecked(mode == "\"ListView\"");
  });
  // The comment and field boxes fold away when empty; these bring them back to type in.
  QMenu* form = bar->addMenu(QStringLiteral("[Form]"));
  QAction* comment = addItem(form, "Comment", "toggleCommentBox", false);
  QAction* field = addItem(form, "Field", "toggleFieldBox", false);
  comment->setCheckable(true);
  field->setCheckable(true);
  connect(form, &QMenu::aboutToShow, this, [this, form, comment, field] {
    enableWhileIdle(form);
    if (TFrameMemoNode* ed = getNodeFrame()) {
      comment->setChecked(ed->commentShown());
      field->setChecked(ed->fieldsShown());
    }
  });
  QMenu* window = bar->addMenu(QStringLiteral("Window"));
  addItem(window, "Log", "showFormLog", false);
  connect(window, &QMenu::aboutToShow, this, [this, window] { enableWhileIdle(window); });
}

// The document's items; the desktop's own keys for Open, Save and Quit.
void TFormMainMenu::makeFileMenu(QMenuBar* bar) {
  QMenu* menu = bar->addMenu(QStringLiteral("&File"));
  menu->setObjectName(QStringLiteral("MenuFile"));
  addItem(menu, "&Open File", "UIOpenMemoFile")->setShortcut(QKeySequence::Open);
  addItem(menu, "Open URL", "UIOpenURL");
  addItem(menu, "New", "UINewFile");
  addItem(menu, "&Save(Message)", "UISaveFileWithMSG");
  addItem(menu, "Save(No Message)", "UISaveFileWithoutMSG")->setShortcut(QKeySequence::Save);
  addItem(menu, "Save &As MXA", "UISaveAsMXA");
  addItem(menu, "Save As MAZ", "UISaveAsMAZ");
  menu->addSeparator();
  QAction* all = menu->addAction(QStringLiteral("Save All Holders"));
  connect(all, &QAction::triggered, this, [this] {
    runGuarded([&] {
      if (isDoing_()) return;
      commands_.run("UISaveFileWithoutMSG");
      commands_.run("UISaveAllHolders");
    });
  });
  menu->addSeparator();
  addItem(menu, "&Exit", "UIClose")->setShortcut(QKeySequence::Quit);
  addItem(menu, "Exit(All Yes)", "UICloseAllYes");
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { enableWhileIdle(menu); });
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

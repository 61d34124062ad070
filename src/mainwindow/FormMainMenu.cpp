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

void TFormMainMenu::act(const std::function<void()>& command) {
  runGuarded([&] {
    if (isDoing_()) return;
    command();
  });
}

void TFormMainMenu::makeToolBar() {
  auto* top = static_cast<QHBoxLayout*>(panelTop_->layout());
  auto button = [&](const char* caption, const char* hint, std::function<void()> f, bool guarded = true) {
    auto* b = new QPushButton(QString::fromLatin1(caption), panelTop_);
    b->setToolTip(QString::fromLatin1(hint));
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, f, guarded] {
      if (guarded)
        act(f);
      else
        runGuarded(f);
    });
    top->addWidget(b);
  };
  button("New", "Create New MemoNode. ( text type )", [this] { newNoteHere(); });
  button("Break", "Break ", [this] { UIBreak(); }, false);
  top->addWidget(checkUIReadOnly_);
  button("Exit", "Exit force. not save files.", [this] { UITerminateForce(""); }, false);
  button("Done", "Break force.", [this] { endDoing(); }, false);
  button("Holder", "", [this] { newHolderHere(); });
  top->addWidget(checkUIInternet_);
  checkUIInternet_->setChecked(true);
  button("UP", "", [this] { stepNote(false); });
  button("DOWN", "", [this] { stepNote(true); });
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
  QMenu* holder = bar->addMenu(QStringLiteral("[Holder]"));
  QAction* views[3] = {holder->addAction(QStringLiteral("CheckListBox")), holder->addAction(QStringLiteral("TreeView")),
                       holder->addAction(QStringLiteral("ListView"))};
  connect(views[0], &QAction::triggered, this, [this] { runGuarded([this] { changeCheckListBox_(); }); });
  connect(views[1], &QAction::triggered, this, [this] { runGuarded([this] { changeTreeView_(); }); });
  connect(views[2], &QAction::triggered, this, [this] { runGuarded([this] { changeListView_(); }); });
  for (QAction* a : views) a->setCheckable(true);
  connect(holder, &QMenu::aboutToShow, this, [this, holder, views] {
    const bool busy = isDoing_();
    for (QAction* a : holder->actions()) a->setEnabled(!busy);
    MemoHolderUI* h = getCurrentHolder();
    const std::string mode = h ? h->getModeNodesMngr_() : "";
    views[0]->setChecked(mode == "\"CheckListBox\"");
    views[1]->setChecked(mode == "\"TreeView\"");
    views[2]->setChecked(mode == "\"ListView\"");
  });
  // The comment and field boxes fold away when empty; these bring them back to type in.
  QMenu* form = bar->addMenu(QStringLiteral("[Form]"));
  QAction* comment = form->addAction(QStringLiteral("Comment"));
  QAction* field = form->addAction(QStringLiteral("Field"));
  comment->setCheckable(true);
  field->setCheckable(true);
  connect(form, &QMenu::aboutToShow, this, [this, form, comment, field] {
    const bool busy = isDoing_();
    for (QAction* a : form->actions()) a->setEnabled(!busy);
    if (TFrameMemoNode* ed = getNodeFrame()) {
      comment->setChecked(ed->commentShown());
      field->setChecked(ed->fieldsShown());
    }
  });
  connect(comment, &QAction::triggered, this, [this] {
    if (TFrameMemoNode* ed = getNodeFrame()) ed->commentShown() ? ed->hideComment_() : ed->showComment_();
  });
  connect(field, &QAction::triggered, this, [this] {
    if (TFrameMemoNode* ed = getNodeFrame()) ed->fieldsShown() ? ed->hideFields_() : ed->showFields_();
  });
  QMenu* window = bar->addMenu(QStringLiteral("Window"));
  connect(window->addAction(QStringLiteral("Log")), &QAction::triggered, this,
          [this] { runGuarded([this] { showFormLog(); }); });
  connect(window, &QMenu::aboutToShow, this, [this, window] {
    const bool busy = isDoing_();
    for (QAction* a : window->actions()) a->setEnabled(!busy);
  });
}

void TFormMainMenu::newNoteHere() {
  if (checkUIReadOnly() || checkHolderReadOnly()) return;
  UI2Model();
  MemoHolderUI* h = getCurrentHolder();
  if (!h) return;
  auto* node = static_cast<MemoNodeUI*>(h->createNewNode_());
  h->modified = true;
  changeCurrentNode_(node);
  refreshHolderView();
  messageDoing_("Done: New " + node->name());
}

void TFormMainMenu::newHolderHere() {
  if (checkUIReadOnly() || !aFile_) return;
  UI2Model();
  const int at = aFile_->getCurrentHolderIndex_();
  MemoHolderUI* h = newHolder_(at < 0 ? -1 : at + 1);
  if (!h) return;
  h->putCurrentNode_(h->createNewNode_());
  changeCurrentHolder(h);
  messageDoing_("Done: New Holder " + h->name());
}

void TFormMainMenu::stepNote(bool forward) {
  MemoHolderUI* h = getCurrentHolder();
  MemoNodeUI* cur = getCurrentNode();
  if (!h || !cur) return;
  MemoNode* next = forward ? h->getNextNode_(cur) : h->getPrevNode_(cur);
  if (next) changeCurrentNode_(static_cast<MemoNodeUI*>(next));
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

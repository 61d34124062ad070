#include "mainwindow/FormMainWUXX13c.h"

#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

#include "dialogs/FormGrep.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/NoteViewBuilder.h"
#include "views/MemoNodeUI.h"
#include "views/QtTabBinding.h"

namespace wux {

TFormMainWUXX13c::TFormMainWUXX13c() = default;

TFormMainWUXX13c::~TFormMainWUXX13c() {
  // The document goes first: its notebooks take their views with them while the
  // window that holds those views still stands.
  if (frameMemoHolder1_) {
    frameMemoHolder1_->FrameMemoNode1()->setNode(nullptr);
    frameMemoHolder1_->setHolder(nullptr);
  }
  aFile_ = nullptr;
  file_.reset();
}

void TFormMainWUXX13c::FormCreate() {
  TFormMainMenu::FormCreate();
  panel1_ = new QWidget(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  auto* v = new QVBoxLayout(panel1_);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  v->addWidget(panelTop_);
  tabControl1_ = new QTabBar(panel1_);
  tabControl1_->setObjectName(QStringLiteral("TabControl1"));
  tabControl1_->setExpanding(false);
  tabControl1_->setDocumentMode(true);
  v->addWidget(tabControl1_);
  tabControl1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tabControl1_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { tabPopup()->popup(tabControl1_->mapToGlobal(at)); });
  frameMemoHolder1_ = new TFrameMemoHolder(panel1_);
  frameMemoHolder1_->setObjectName(QStringLiteral("FrameMemoHolder1"));
  v->addWidget(frameMemoHolder1_, 1);
  setCentralWidget(panel1_);
  tabs_ = std::make_unique<QtTabBinding>(tabControl1_);
  connect(tabControl1_, &QTabBar::currentChanged, this, [this](int i) {
    if (!tabs_->updating()) TabControl1Change(i);
  });

  file_ = Create<MemoFileUI>(nullptr);
  file_->setForm(this);
  aFile_ = file_.get();
  frameMemoHolder1_->setMainWindow(this);
  frameMemoHolder1_->init_();
  frameMemoHolder1_->grepDialog = [this]() -> GrepDialogApi* { return getFormGrep(); };
  updateCaption();
}

TFormGrep* TFormMainWUXX13c::getFormGrep() {
  if (!formGrep_) formGrep_ = new TFormGrep(this);
  return formGrep_;
}

void TFormMainWUXX13c::mouseCursor(int cursor) {
  if (tabControl1_) {
    if (cursor == -11)
      tabControl1_->setCursor(Qt::WaitCursor);
    else
      tabControl1_->unsetCursor();
  }
  TFormMainMenu::mouseCursor(cursor);
}

int TFormMainWUXX13c::setCheckListBox_(QWidget* control) {
  frameMemoHolder1_->attachCheckListBox_(control);
  return 0;
}
int TFormMainWUXX13c::setTreeView_(QWidget* control) {
  frameMemoHolder1_->attachTreeView_(control);
  return 0;
}
int TFormMainWUXX13c::setListView_(QWidget* control) {
  frameMemoHolder1_->attachListView_(control);
  return 0;
}

void TFormMainWUXX13c::showHolder_(MemoHolderUI* holder) {
  if (!holder) return;
  QWidget* panel = frameMemoHolder1_->PanelLeft();
  const MemoHolderUI::Kind kind = MemoHolderUI::kindOfMode(holder->getModeNodesMngr_());
  switch (kind) {
    case MemoHolderUI::Kind::CheckList: setCheckListBox_(makeNoteView(*holder, kind, panel)); break;
    case MemoHolderUI::Kind::Tree: setTreeView_(makeNoteView(*holder, kind, panel)); break;
    case MemoHolderUI::Kind::List: setListView_(makeNoteView(*holder, kind, panel)); break;
    default: break;  // an unknown kind attaches no view
  }
  if (aFile_) {
    const int i = aFile_->indexOfHolder_(holder);
    if (i >= 0) tabs_->selectTab(i);
  }
  frameMemoHolder1_->setHolder(holder);
  frameMemoHolder1_->setMainWindow(this);
}

void TFormMainWUXX13c::hideHolder_(MemoHolderUI* holder) {
  if (holder) holder->hideView_();
}

void TFormMainWUXX13c::clearMemoFile() {
  frameMemoHolder1_->FrameMemoNode1()->setNode(nullptr);
  frameMemoHolder1_->setHolder(nullptr);
  aFile_->clear_();
  aFile_->setForm(this);
  setCurrentNode(nullptr);
  aFile_->attachTabControl_(tabs_.get());
}

void TFormMainWUXX13c::newMemoFile() {
  clearMemoFile();
  // Named "noname" again: a new document saved under the last one's name would
  // replace that document's file.
  std::string actual;
  aFile_->putName_("noname", actual);
  MemoHolderUI* holder = newHolder_(-1);
  if (holder) {
    MemoNode* node = holder->createNewNode_();
    holder->putCurrentNode_(node);
    // Nothing to save until the user changes something: closing asks nothing, and no
    // save writes its empty notebook over a file of the same name.
    holder->modified = false;
  }
  aFile_->modified = false;
  _changeCurrentHolder_(holder);
  updateCaption();
}

TFrameMemoHolder* TFormMainWUXX13c::getHolderFrame() { return frameMemoHolder1_; }

void TFormMainWUXX13c::TabControl1Change(int index) {
  if (!aFile_) return;
  auto* holder = dynamic_cast<MemoHolderUI*>(aFile_->getHolder_(index));
  if (!holder) return;
  if (isDoing_()) {
    // Busy: the tabs go back to the notebook in use.
    tabs_->selectTab(aFile_->getCurrentHolderIndex_());
    return;
  }
  const std::string name = holder->name();
  messageDoing_("Changing Holder " + name);
  changeCurrentHolder(holder);
  messageDoing_(name);
}

}  // namespace wux

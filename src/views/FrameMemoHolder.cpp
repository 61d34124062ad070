#include "views/FrameMemoHolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "model/Prompter.h"
#include "views/FrameWB.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/NoteViewBuilder.h"
#include "views/NoteViews.h"
#include "views/qtext.h"

namespace wux {

TFrameMemoHolder::TFrameMemoHolder(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  split_ = new QSplitter(Qt::Horizontal, this);
  panelLeft_ = new QWidget(split_);
  panelLeft_->setObjectName(QStringLiteral("PanelLeft"));
  panelLayout_ = new QVBoxLayout(panelLeft_);
  panelLayout_->setContentsMargins(0, 0, 0, 0);
  panelLayout_->setSpacing(0);
  status_ = new QLabel(panelLeft_);
  status_->setObjectName(QStringLiteral("StatusBar2"));
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // A deep note's index path is long: it is cut off rather than widening the window.
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  panelLayout_->addStretch(0);
  panelLayout_->addWidget(status_);
  // The editor lies in a pane of its own: while its note is shown in a note window the
  // editor is hidden, and the pane keeps its width, so that the list does not jump.
  auto* editorPane = new QWidget(split_);
  editorPane->setObjectName(QStringLiteral("PanelEditor"));
  auto* paneLayout = new QVBoxLayout(editorPane);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  nodeFrame_ = new TFrameMemoNode(editorPane);
  nodeFrame_->setObjectName(QStringLiteral("FrameMemoNode1"));
  paneLayout->addWidget(nodeFrame_);
  split_->addWidget(panelLeft_);
  split_->addWidget(editorPane);
  split_->setStretchFactor(1, 1);
  split_->setSizes({220, 600});
  layout->addWidget(split_);
  buildMenus();
  // The wheel walks the notes wherever it turns over the frame, not only over the list:
  // what lies under the pointer would otherwise take it first.
  qApp->installEventFilter(this);
}

void TFrameMemoHolder::setHolder(MemoHolderUI* h) {
  if (holder_ == h) return;
  if (holder_) holder_->checkClickHook = nullptr;
  holder_ = h;
  if (holder_) holder_->checkClickHook = [this](MemoNode* n, bool on) { CheckListBoxClickCheck(n, on); };
}

void TFrameMemoHolder::CheckListBoxClickCheck(MemoNode* node, bool checked) {
  auto* note = dynamic_cast<MemoNodeUI*>(node);
  if (!note) return;
  // The editor shows flagMarked: its fields go in first and come back changed.
  const bool current = main_ && note == main_->getCurrentNode();
  if (current) {
    nodeFrame_->setNode(note);
    nodeFrame_->storeFields_();
  }
  note->setMarked_(checked);
  if (current) nodeFrame_->loadFields_();
}

void TFrameMemoHolder::init_() {
  nodeFrame_->clear_();
  cloneCount_ = "15";
}

void TFrameMemoHolder::setCursor_(int cursor) {
  if (cursor == -11)
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();
  nodeFrame_->setCursor_(cursor);
}

void TFrameMemoHolder::messageDoing_(const std::string& text) {
  if (main_)
    main_->messageDoing_(text);
  else
    ShowMessage(text);
}

bool TFrameMemoHolder::ready() { return main_ && holder_; }

void TFrameMemoHolder::pasteNodeList_() {
  if (!holder_) return;
  StringList names;
  holder_->setNodeList_(names);
  std::string text;
  for (int i = 0; i < names.count(); ++i) text += (i ? "\r\n" : "") + names[i];
  nodeFrame_->replaceActiveMemoSel_(text);
}

void TFrameMemoHolder::attach(QWidget* control) {
  if (!control) return;
  if (control->parentWidget() != panelLeft_) control->setParent(panelLeft_);
  if (panelLayout_->indexOf(control) < 0) panelLayout_->insertWidget(0, control, 1);
  control->setVisible(false);
  control->setEnabled(false);
  auto* binding = dynamic_cast<NoteViewBinding*>(control);
  if (!binding) return;
  binding->onUserSelect = [this](NoteItem* it) { ViewClick(it); };
  binding->onSideKey = [this](int step) { stepHolder(step); };
  binding->onContextMenu = [this, control](const QPoint& at) { popupMenu(control, at); };
  binding->dropsRefused = [this] { return main_ && main_->isUIReadOnly(); };
  const bool tree = dynamic_cast<NoteTreeView*>(control) != nullptr;
  binding->onStepKey = tree ? std::function<void(int)>([this](int step) { stepNode(step); }) : nullptr;
  if (dynamic_cast<NoteListView*>(control))
    binding->onDrop = nullptr;
  else if (tree)
    binding->onDrop = [this](const std::vector<NoteItem*>& d, NoteItem* t) { TreeViewDragDrop(d, t); };
  else
    binding->onDrop = [this](const std::vector<NoteItem*>& d, NoteItem* t) {
      if (!d.empty()) CheckListBoxDragDrop(d.front(), t);
    };
}

void TFrameMemoHolder::attachCheckListBox_(QWidget* control) { attach(control); }
void TFrameMemoHolder::attachTreeView_(QWidget* control) { attach(control); }
void TFrameMemoHolder::attachListView_(QWidget* control) { attach(control); }

void TFrameMemoHolder::changeToCheckListBox_() {
  if (!holder_) return;
  holder_->hideView_();
  attachCheckListBox_(makeNoteView(*holder_, MemoHolderUI::Kind::CheckList, panelLeft_));
  holder_->showView_();
  showStatus_();
}

void TFrameMemoHolder::changeToListView_() {
  if (!holder_) return;
  holder_->hideView_();
  attachListView_(makeNoteView(*holder_, MemoHolderUI::Kind::List, panelLeft_));
  holder_->showView_();
  showStatus_();
}

void TFrameMemoHolder::changeToTreeView_() {
  if (!holder_) return;
  QWidget* old = holder_->getViewControl_();
  attachTreeView_(makeNoteView(*holder_, MemoHolderUI::Kind::Tree, panelLeft_));
  holder_->showView_();
  QWidget* now = holder_->getViewControl_();
  if (old && old != now) {
    old->setVisible(false);
    old->setEnabled(false);
  }
  showStatus_();
}

int TFrameMemoHolder::showStatus_() {
  if (!holder_) return -1;
  MemoNode* cur = holder_->getCurrentNode_();
  const int i = holder_->indexOfNode_(cur);
  std::string text = std::to_string(i + 1) + " / " + std::to_string(holder_->getNodeCount_());
  if (holder_->getModeNodesMngr_() == "\"TreeView\"")
    text = "[" + NodeIndexPath(holder_->itemOf(cur), 0, "") + "]   " + text;
  status_->setText(toQ(text));
  return i;
}

std::string TFrameMemoHolder::statusText() const { return fromQ(status_->text()); }

void TFrameMemoHolder::stepHolder(int step) {
  if (!main_ || !holder_ || main_->isDoing_()) return;
  MemoFileUI* doc = main_->getMemoFile();
  if (!doc) return;
  const int i = doc->indexOfHolder_(holder_) + step;
  if (i < 0 || i >= doc->getHolderCount_()) return;
  main_->changeCurrentHolder(dynamic_cast<MemoHolderUI*>(doc->getHolder_(i)));
}

bool TFrameMemoHolder::eventFilter(QObject* watched, QEvent* event) {
  auto* over = event->type() == QEvent::Wheel ? qobject_cast<QWidget*>(watched) : nullptr;
  if (over && (over == this || isAncestorOf(over))) {
    // A text box with the focus scrolls as usual; without a focus nothing moves.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus))
      return QWidget::eventFilter(watched, event);
    const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
    // Over a web page, or with the focus in one, a turn up scrolls the page, and so does
    // any turn that walks no note (a web note keeps the wheel unless it says otherwise).
    auto inPage = [](QWidget* w) {
      for (; w; w = w->parentWidget())
        if (qobject_cast<TFrameWB*>(w)) return true;
      return false;
    };
    if ((inPage(focus) || inPage(over)) && (dy > 0 || !wheelTarget(dy < 0))) {
      wheelRest_ = 0;
      return QWidget::eventFilter(watched, event);
    }
    wheelTurn_(dy);
    return true;  // over a note list the wheel walks the notes
  }
  return QWidget::eventFilter(watched, event);
}

void TFrameMemoHolder::wheelTurn_(int angle) {
  // A fine-grained wheel or touchpad reports small parts of a notch: they add up.
  if ((wheelRest_ > 0 && angle < 0) || (wheelRest_ < 0 && angle > 0)) wheelRest_ = 0;
  wheelRest_ += angle;
  while (wheelRest_ >= 120 || wheelRest_ <= -120) {
    const bool down = wheelRest_ < 0;
    wheelRest_ += down ? 120 : -120;
    wheelStep(down);
  }
}

void TFrameMemoHolder::stepNode(int step) {
  if (!ready() || main_->isDoing_() || step == 0) return;
  MemoNode* from = nullptr;
  if (NoteViewBinding* b = holder_->getViewBinding_())
    if (NoteItem* it = b->selectedItem()) from = static_cast<MemoNode*>(it->note());
  if (!from) from = holder_->getCurrentNode_();
  if (!from) return;
  MemoNode* to = step < 0 ? holder_->getPrevNode_(from) : holder_->getNextNode_(from);
  if (to) main_->changeCurrentNode_(static_cast<MemoNodeUI*>(to));
}

MemoNodeUI* TFrameMemoHolder::wheelTarget(bool down) {
  if (!main_ || main_->isDoing_()) return nullptr;
  MemoNodeUI* cur = main_->getCurrentNode();
  MemoHolder* h = cur ? cur->getParentHolder_() : nullptr;
  if (!h) return nullptr;
  // A web page note keeps the wheel for itself unless it says otherwise.
  if (cur->getField_("Content-Transfer-Encoding") == "\"URL\"" && cur->getField_("FlagWheel") != "\"true\"")
    return nullptr;
  return static_cast<MemoNodeUI*>(down ? h->getNextNode_(cur) : h->getPrevNode_(cur));
}

void TFrameMemoHolder::wheelStep(bool down) {
  if (MemoNodeUI* next = wheelTarget(down)) main_->changeCurrentNode_(next);
}

void TFrameMemoHolder::ViewClick(NoteItem* item) {
  if (!main_ || !holder_ || !item) return;
  auto* note = static_cast<MemoNodeUI*>(static_cast<MemoNode*>(item->note()));
  if (note == main_->getCurrentNode()) return;
  if (main_->isDoing_()) {
    // Busy: the view goes back to the note the window shows.
    holder_->putCurrentNode_(holder_->getCurrentNode_());
    return;
  }
  main_->changeCurrentNode_(note);
  holder_->modified = true;
}

void TFrameMemoHolder::CheckListBoxDragDrop(NoteItem* dragged, NoteItem* target) {
  if (!holder_ || !dragged || holder_->workingKind() != MemoHolderUI::Kind::CheckList) return;
  if (main_ && main_->isUIReadOnly()) return;
  NoteList& list = holder_->noteList();
  const int from = dragged->row();
  int to = target ? target->row() : list.rootCount() - 1;
  if (to == from) return;
  to = std::max(0, std::min(to, list.rootCount() - 1));
  list.moveToRoot(dragged, to);
  holder_->modified = true;  // a new order is saved like any other change
  showStatus_();
}

void TFrameMemoHolder::TreeViewDragDrop(NoteItem* dragged, NoteItem* target) {
  TreeViewDragDrop(std::vector<NoteItem*>{dragged}, target);
}

namespace {
// The note's link to its parent follows the item: the parent's UID, or none at the root.
void relink(NoteItem* item) {
  auto* note = static_cast<MemoNode*>(item->note());
  if (NoteItem* parent = item->parent())
    note->putParentNodeID_(static_cast<MemoNode*>(parent->note()));
  else
    note->removeField_("ParentNodeID");
}
}  // namespace

void TFrameMemoHolder::TreeViewDragDrop(const std::vector<NoteItem*>& dragged, NoteItem* target) {
  if (!holder_ || holder_->workingKind() != MemoHolderUI::Kind::Tree) return;
  if (dragged.empty() || !target || !dragged.front()) return;
  if (main_ && main_->isUIReadOnly()) return;
  NoteList& list = holder_->noteList();
  if (dragged.size() == 1 && dragged.front() == target) return;
  for (NoteItem* d : dragged) {
    // Below itself a branch would lose its way back to the root.
    if (!d || d == target || NoteList::isAncestorOf(d, target)) {
      messageDoing_("Don't Move.");
      return;
    }
  }
  const MemoNode* current = main_ ? static_cast<MemoNode*>(main_->getCurrentNode()) : nullptr;
  bool movesCurrent = false;
  for (NoteItem* d : dragged)
    if (d->note() == current) movesCurrent = true;
  if (movesCurrent) nodeFrame_->storeFields_();
  for (NoteItem* d : dragged) {
    const bool wasExpanded = d->expanded();
    list.moveBefore(d, target);
    relink(d);
    if (wasExpanded && dragged.size() == 1) {
      NoteList::ExpansionChanges run(list);
      list.setExpanded(d, true);
      ExpandChildren(d, true);
    }
  }
  if (movesCurrent) nodeFrame_->loadFields_();
  holder_->modified = true;  // re-nesting is a change to save
  showStatus_();
}

}  // namespace wux

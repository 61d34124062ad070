#include "mainwindow/FormMainMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
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

namespace {

// A left click anywhere on the status bar, its panels included.
class StatusBarClicks : public QObject {
 public:
  StatusBarClicks(QObject* parent, std::function<void()> click) : QObject(parent), click_(std::move(click)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
      click_();
    return false;
  }

 private:
  std::function<void()> click_;
};

QString caption(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

void TFormMainMenu::FormCreate() {
  TFormMainScript::FormCreate();
  panelTop_ = new QFrame(this);
  panelTop_->setObjectName(QStringLiteral("PanelTop"));
  panelTop_->setAutoFillBackground(true);
  // The tool bar's buttons must not keep the window wider than the settings file asks;
  // on a narrow window the last ones are cut off.
  panelTop_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* top = new QHBoxLayout(panelTop_);
  top->setContentsMargins(4, 2, 4, 2);
  registerMenuLayerCommands();
  makePopups();
  makeToolBar();
  makeMenus();

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setToolTip(QStringLiteral("ReadOnly :  Count of Holders : Message"));
  const int widths[3] = {24, 24, 100};
  auto* clicks = new StatusBarClicks(bar, [this] { act(menu::statusClickCommand(), false); });
  bar->installEventFilter(clicks);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(bar);
    panels_[i]->setMinimumWidth(widths[i]);
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->installEventFilter(clicks);
  }
  panels_[0]->setAlignment(Qt::AlignCenter);
  panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  bar->addWidget(panels_[0]);
  bar->addWidget(panels_[1]);
  bar->addWidget(panels_[2], 1);
  bar->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(bar, &QWidget::customContextMenuRequested, this,
          [this, bar](const QPoint& at) { statusPopup_->popup(bar->mapToGlobal(at)); });
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

std::function<void()> TFormMainMenu::handler(const char* text, const char* command, const char* arg,
                                              unsigned flags) {
  CommandArgs args;
  // A shared handler reads its item: the caption is the head text or the format.
  if (flags & menu::kCaptionArg)
    args.push_back(fromQ(caption(text)));
  else if (arg)
    args.push_back(arg);
  const std::string name = command;
  const bool guarded = !(flags & menu::kUnguarded);
  return [this, name, guarded, args] { act(name, guarded, args); };
}

void TFormMainMenu::makeToolBar() {
  auto* top = static_cast<QHBoxLayout*>(panelTop_->layout());
  for (const menu::ToolEntry& e : menu::toolBar()) {
    QWidget* w = nullptr;
    if (e.kind == menu::ToolKind::Button) {
      auto* b = new QPushButton(caption(e.caption), panelTop_);
      b->setFocusPolicy(Qt::NoFocus);
      connect(b, &QPushButton::clicked, this, handler(e.caption, e.command, nullptr, e.flags));
      w = b;
    } else {
      auto* box = new QCheckBox(caption(e.caption), panelTop_);
      // Out of the Tab chain, as the buttons are: a space meant for a list or the editor
      // must not switch the whole window. The mouse and the menu keep them.
      box->setFocusPolicy(Qt::NoFocus);
      if (e.kind == menu::ToolKind::ReadOnlySwitch) {
        checkUIReadOnly_ = box;
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
          runGuarded([&] {
            if (!isDoing_()) {
              applyUIReadOnly(on);
            } else if (!settingUIReadOnly_) {
              // A click while busy applies nothing, so the box stays as it was.
              const QSignalBlocker quiet(box);
              box->setChecked(!on);
            }
          });
        });
      } else {
        checkUIInternet_ = box;
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this](bool on) { runGuarded([&] { internetSwitched(on); }); });
      }
      w = box;
    }
    w->setObjectName(caption(e.objectName));
    w->setToolTip(caption(e.hint));
    if (e.flags & menu::kWritableOnly) writableButtons_.push_back(w);
    top->addWidget(w);
  }
  top->addStretch(1);
}

// The switch changes what may be edited; every changing command asks the switch itself.
void TFormMainMenu::applyUIReadOnly(bool on) {
  UI2Model();
  TFrameMemoNode* editor = getNodeFrame();
  if (!getCurrentHolder() || !editor) return;
  for (QWidget* w : writableButtons_) w->setEnabled(!on);
  for (QAction* a : writableItems_) a->setEnabled(!on);
  MemoNodeUI* node = getCurrentNode();
  editor->setReadOnly_(on || (node && node->isReadOnly_()));
}

void TFormMainMenu::internetSwitched(bool on) {
  if (isDoing_()) return;
  if (!on) {
    messageDoing_("turn off internet access");
    return;
  }
  messageDoing_("turn on internet access");
  // A web note's page was held back while the switch was off: show it now.
  MemoNodeUI* node = getCurrentNode();
  if (node && node->getField_("Content-Transfer-Encoding") == "\"URL\"") {
    UI2Model();
    Model2UI();
  }
}

void TFormMainMenu::makeMenus() {
  QMenuBar* bar = menuBar();
  const auto entries = menu::mainMenu();
  QMenu* topMenu = nullptr;
  QMenu* submenu = nullptr;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const menu::MenuEntry& e = entries[i];
    if (e.depth == 0) {
      topMenu = bar->addMenu(caption(e.caption));
      const bool neverDisabled = e.flags & menu::kNeverDisabled;
      connect(topMenu, &QMenu::aboutToShow, this,
              [this, m = topMenu, neverDisabled] { runGuarded([&] { menuDropped(m, neverDisabled); }); });
      continue;
    }
    QMenu* parent = e.depth == 1 ? topMenu : submenu;
    if (menu::isSeparator(e.caption)) {
      parent->addSeparator();
      continue;
    }
    if (e.depth == 1 && i + 1 < entries.size() && entries[i + 1].depth == 2) {
      submenu = topMenu->addMenu(caption(e.caption));
      continue;
    }
    QAction* a = parent->addAction(caption(e.caption));
    if (*e.command) connect(a, &QAction::triggered, this, handler(e.caption, e.command, e.arg, e.flags));
    if (e.check != menu::Check::None) {
      a->setCheckable(true);
      a->setData(static_cast<int>(e.check));
    }
    switch (e.key) {
      case menu::Key::Open: a->setShortcut(QKeySequence::Open); break;
      case menu::Key::Save: a->setShortcut(QKeySequence::Save); break;
      case menu::Key::Quit: a->setShortcut(QKeySequence::Quit); break;
      case menu::Key::None: break;
    }
  }
}

void TFormMainMenu::makePopups() {
  tabPopup_ = new QMenu(this);
  tabPopup_->setObjectName(QStringLiteral("PopupMenuPageControl1"));
  for (const menu::PopupEntry& e : menu::tabPopup()) {
    if (menu::isSeparator(e.caption)) {
      tabPopup_->addSeparator();
      continue;
    }
    QAction* a = tabPopup_->addAction(caption(e.caption));
    a->setObjectName(caption(e.objectName));
    connect(a, &QAction::triggered, this, handler(e.caption, e.command, nullptr, e.flags));
    if (e.flags & menu::kWritableOnly) writableItems_.push_back(a);
  }
  statusPopup_ = new QMenu(this);
  statusPopup_->setObjectName(QStringLiteral("PopupMenu1"));
  for (const menu::PopupEntry& e : menu::statusPopup()) {
    QAction* a = statusPopup_->addAction(caption(e.caption));
    a->setObjectName(caption(e.objectName));
    connect(a, &QAction::triggered, this, handler(e.caption, e.command, nullptr, e.flags));
  }
}

namespace {
void setAllEnabled(QMenu* menu, bool enabled) {
  for (QAction* a : menu->actions()) {
    if (a->isEnabled() != enabled) a->setEnabled(enabled);
    if (QMenu* sub = a->menu()) setAllEnabled(sub, enabled);
  }
}
}  // namespace

// While an operation runs every item of a dropped menu is disabled, so nothing
// starts on top of it; afterwards the items are enabled again.
void TFormMainMenu::menuDropped(QMenu* menu, bool neverDisabled) {
  if (!neverDisabled) setAllEnabled(menu, !isDoing_());
  updateChecks(menu);
}

void TFormMainMenu::updateChecks(QMenu* menu) {
  MemoHolderUI* holder = getCurrentHolder();
  const std::string mode = holder ? holder->getModeNodesMngr_() : "";
  TFrameMemoNode* editor = getNodeFrame();
  for (QAction* a : menu->actions()) {
    if (!a->isCheckable()) continue;
    switch (static_cast<menu::Check>(a->data().toInt())) {
      case menu::Check::ViewCheckListBox: a->setChecked(mode == "\"CheckListBox\""); break;
      case menu::Check::ViewTreeView: a->setChecked(mode == "\"TreeView\""); break;
      case menu::Check::ViewListView: a->setChecked(mode == "\"ListView\""); break;
      case menu::Check::NoteReadOnly: {
        MemoNodeUI* node = getCurrentNode();
        a->setChecked(node && node->isReadOnly_());
        // A read-only notebook's notes cannot be made writable one by one.
        a->setVisible(!(holder && holder->isReadOnly_()));
        break;
      }
      case menu::Check::CommentShown:
        if (editor) a->setChecked(editor->commentShown());
        break;
      case menu::Check::FieldShown:
        if (editor) a->setChecked(editor->fieldsShown());
        break;
      case menu::Check::None: break;
    }
  }
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
void TFormMainMenu::setUIReadOnly_(bool on) {
  if (!checkUIReadOnly_) return;
  if (checkUIReadOnly_->isChecked() != on) {
    const bool was = settingUIReadOnly_;
    settingUIReadOnly_ = true;
    checkUIReadOnly_->setChecked(on);  // the switch's handler applies it
    settingUIReadOnly_ = was;
  }
  else
    applyUIReadOnly(on);
}

void TFormMainMenu::updateColor() {
  if (!aFile_ || !panelTop_) return;
  const std::string field = aFile_->getField_("Color");
  if (field.empty()) return;
  QPalette p = panelTop_->palette();
  p.setColor(QPalette::Window, toQColor(NameToColor(Dequote(field))));
  panelTop_->setPalette(p);
}

std::optional<Color> TFormMainMenu::panelTopColor() {
  if (!panelTop_) return std::nullopt;
  return fromQColor(panelTop_->palette().color(QPalette::Window));
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

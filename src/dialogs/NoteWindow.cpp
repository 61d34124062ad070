#include "dialogs/NoteWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

#include "dialogs/HardCopy.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/CommandTable.h"
#include "views/FrameMemoNode.h"
#include "views/MemoHolderUI.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

namespace {
NoteWindowActions& installedActions() {
  static NoteWindowActions installed;
  return installed;
}
}  // namespace

void setNoteWindowActions(NoteWindowActions a) { installedActions() = std::move(a); }

int AgentAPLMemoNode::messageDoing_(const std::string& text) {
  if (form_) form_->setStatusText(text);
  return 0;
}

int AgentAPLMemoNode::query_(const std::string& key, std::string& value) {
  std::function<bool()> internetOn;
  if (TFormMemoNode* form = form_)
    internetOn = [form] {
      MainWindowApi* w = form->mainWindow();
      return !w || w->isUIInternet();
    };
  return answerQuery_(key, value, internetOn);
}

bool AgentAPLMemoNode::isBreak() { return form_ && form_->mainWindow() && form_->mainWindow()->isBreak(); }

// What the frame in a note window sees as its owner: the main window in everything but
// the status line and the agent, which are the note window's own, the current notebook,
// which is the edited note's, and the copy history, the date pattern and the editor's
// own reports, which belong to the main window's editor alone. The frame asks no more
// whose it is: this is the one place that tells the two apart.
class TFormMemoNode::Owner : public MainWindowApi {
 public:
  Owner(MainWindowApi& w, TFormMemoNode& form) : w_(w), form_(form) {}
  MemoFileUI* getMemoFile() override { return w_.getMemoFile(); }
  MemoHolderUI* getCurrentHolder() override {
    MemoNodeUI* edited = form_.node();
    auto* holder = edited ? dynamic_cast<MemoHolderUI*>(edited->getParentHolder_()) : nullptr;
    return holder ? holder : w_.getCurrentHolder();
  }
  MemoNodeUI* getCurrentNode() override { return w_.getCurrentNode(); }
  void setCurrentNode(MemoNodeUI* n) override { w_.setCurrentNode(n); }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* n) override { return w_.changeCurrentNode_(n); }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* h) override { return w_.changeCurrentHolder(h); }
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* h) override { return w_._changeCurrentHolder_(h); }
  int loadHolder(MemoHolderUI* h) override { return w_.loadHolder(h); }
  MemoHolderUI* newHolder_(int index) override { return w_.newHolder_(index); }
  bool checkUIReadOnly() override { return w_.checkUIReadOnly(); }
  bool checkHolderReadOnly() override { return w_.checkHolderReadOnly(); }
  bool isUIReadOnly() override { return w_.isUIReadOnly(); }
  bool isUIInternet() override { return w_.isUIInternet(); }
  bool isDoing_() override { return w_.isDoing_(); }
  void beginDoing_(const std::string& text) override { w_.beginDoing_(text); }
  void messageDoing_(const std::string& text) override { form_.setStatusText(text); }
  void endDoing_(const std::string& text) override { w_.endDoing_(text); }
  void endDoing() override { w_.endDoing(); }
  bool isBreak() const override { return w_.isBreak(); }
  void holdDoing_(bool on) override { w_.holdDoing_(on); }
  int addLog_(const std::string& text) override { return w_.addLog_(text); }
  void addLogTS(const std::string& text) override { w_.addLogTS(text); }
  int addLogStrings(const StringList& lines) override { return w_.addLogStrings(lines); }
  std::string nowString() override { return w_.nowString(); }
  int shouldNotExecute(const std::string& name) override { return w_.shouldNotExecute(name); }
  int stillNotImplemented(const std::string& name) override { return w_.stillNotImplemented(name); }
  int UI2Model() override { return w_.UI2Model(); }
  void Model2UI() override { w_.Model2UI(); }
  void refreshHolderView() override { w_.refreshHolderView(); }
  TFrameMemoHolder* getHolderFrame() override { return w_.getHolderFrame(); }
  TFrameMemoNode* getNodeFrame() override { return w_.getNodeFrame(); }
  std::string getUserName() override { return w_.getUserName(); }
  std::string getVersion() override { return w_.getVersion(); }
  std::string getTempDir() override { return w_.getTempDir(); }
  AgentAPLAbs* getAgent() override { return &form_.agent(); }
  std::string getCmURL() override { return w_.getCmURL(); }
  std::string getExeDir() override { return w_.getExeDir(); }
  CommandTable& commands() override { return w_.commands(); }
  MainWindowApi* mainWindow() override { return &w_; }
  // The copy history and the date pattern are the main window's editor's alone: what is
  // copied here stays out of it, and a note here may belong to another notebook.
  void AddCopyHistory(const std::string&) override {}
  void editorReport_(const std::string&) override {}
  StringList& copyHistory() override { return noHistory_; }
  std::string getDateFormat() override { return std::string(); }
  TStringsPrinter* stringsPrinter() override { return w_.stringsPrinter(); }

 private:
  MainWindowApi& w_;
  TFormMemoNode& form_;
  StringList noHistory_;
};

TFormMemoNode::TFormMemoNode(MainWindowApi* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(mainWindow) {
  setWindowTitle(QStringLiteral("MemoNode "));
  if (main_) owner_ = std::make_unique<Owner>(*main_, *this);

  auto* menuBar = new QMenuBar(this);
  QMenu* form = menuBar->addMenu(QStringLiteral("Form"));
  form->addAction(QStringLiteral("SaveAs"), this, [this] { SaveAsClick(); });
  form->addAction(QStringLiteral("HardCopy"), this, [this] { HardCopyClick(); });
  form->addAction(QStringLiteral("Print"), this, [this] { PrintClick(); });
  form->addAction(QStringLiteral("Close"), this, [this] { close(); });
  QMenu* show = menuBar->addMenu(QStringLiteral("Show"));
  showComment_ = show->addAction(QStringLiteral("Comment"), this, [this] { CommentClick(); });
  showField_ = show->addAction(QStringLiteral("Field"), this, [this] { FieldClick(); });
  showComment_->setCheckable(true);
  showField_->setCheckable(true);
  connect(show, &QMenu::aboutToShow, this, [this] { ShowMenuPopup(); });

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(2, 2, 2, 2);
  auto* closeBtn = new QPushButton(QStringLiteral("Close"), panel);
  auto* saveAs = new QPushButton(QStringLiteral("SaveAs"), panel);
  readOnlyBox_ = new QCheckBox(QStringLiteral("UIReadOnly"), panel);
  readOnlyBox_->setObjectName(QStringLiteral("CheckBox_UIReadOnly"));
  holderLabel_ = new QLabel(QStringLiteral("Holder"), panel);
  holderLabel_->setObjectName(QStringLiteral("StaticText_Holder"));
  row->addWidget(closeBtn);
  row->addWidget(saveAs);
  row->addWidget(readOnlyBox_);
  row->addWidget(holderLabel_, 1);
  connect(closeBtn, &QPushButton::clicked, this, [this] { close(); });
  connect(saveAs, &QPushButton::clicked, this, [this] { SaveAsClick(); });
  connect(readOnlyBox_, &QCheckBox::clicked, this, [this](bool on) { setReadOnly(on); });

  frame_ = new TFrameMemoNode(this);
  frame_->setObjectName(QStringLiteral("FrameMemoNode1"));
  frame_->setOwnerForm(owner_.get());
  // Without a main window the frame's reports still belong on this window's status bar.
  frame_->setStatusSink([this](const std::string& text) { setStatusText(text); });
  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("StatusBar1"));
  status_->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar);
  layout->addWidget(panel);
  layout->addWidget(frame_, 1);
  layout->addWidget(status_);
  agent_.setForm(this);
}

TFormMemoNode::~TFormMemoNode() {
  agent_.setForm(nullptr);
  if (node_) {
    node_->removeWatcher(this);
    if (node_->noteWindow == this) node_->noteWindow = nullptr;
  }
  // The frame is a child and goes after this; it must not reach the owner then.
  frame_->setOwnerForm(nullptr);
  frame_->setStatusSink(nullptr);
  frame_->setNode(nullptr);
}

std::string TFormMemoNode::statusText() const { return fromQ(status_->currentMessage()); }
void TFormMemoNode::setStatusText(const std::string& text) {
  status_->showMessage(toQ(text));
  status_->repaint();
}

void TFormMemoNode::showNote(MemoNodeUI* node) {
  if (node_ && node_ != node) node_->removeWatcher(this);
  node_ = node;
  gone_ = false;
  if (!node) return;
  node->addWatcher(this);
  if (MemoHolder* h = node->getParentHolder_()) holderLabel_->setText(toQ(h->name()));
  setWindowTitle(QStringLiteral("MemoNode ") + toQ(node->name()));
  frame_->setOwnerForm(owner_.get());
  frame_->setNode(node);
  frame_->showNode_();
  frame_->setReadOnly_(readOnly());
  if (!readOnly()) node->noteWindow = this;
}

bool TFormMemoNode::readOnly() const { return readOnly_; }

void TFormMemoNode::setReadOnly(bool flag) {
  const bool was = readOnly_;
  // Edits made while the box was clear go into the note before the editor locks.
  if (flag && !frame_->readOnly()) commit();
  readOnly_ = flag;
  readOnlyBox_->setChecked(flag);
  frame_->setReadOnly_(flag || gone_);
  if (!node_ || gone_ || flag == was) return;
  // Only an editable window holds the note's window link: while it does, the main
  // window's editor steps aside and its commits come from here. A read-only window
  // leaves the note to the main editor, so nothing typed there is lost.
  if (flag) {
    if (node_->noteWindow == this) node_->noteWindow = nullptr;
    if (main_ && main_->getCurrentNode() == node_) main_->Model2UI();
  } else {
    if (main_) main_->UI2Model();
    node_->noteWindow = this;
    frame_->showNode_();
    if (main_ && main_->getCurrentNode() == node_) main_->Model2UI();
  }
}

void TFormMemoNode::commit() {
  if (!node_ || gone_ || frame_->node() != node_) return;
  if (node_->noteWindow != this) return;
  frame_->storeNode_();
}

void TFormMemoNode::noteGone_(MemoNodeUI* node) {
  if (node != node_) return;
  node_ = nullptr;
  gone_ = true;
  frame_->setNode(nullptr);
  frame_->setReadOnly_(true);
  readOnlyBox_->setEnabled(false);
  setWindowTitle(windowTitle() + QStringLiteral(" (deleted)"));
  setStatusText("This MemoNode was deleted; its text is shown as it was.");
}

bool TFormMemoNode::eventFilter(QObject* watched, QEvent* e) {
  if (watched == status_ && e->type() == QEvent::MouseButtonRelease) status_->clearMessage();
  return QWidget::eventFilter(watched, e);
}

void TFormMemoNode::closeEvent(QCloseEvent* e) {
  if (node_ && !gone_ && node_->noteWindow == this) {
    if (!readOnly()) frame_->storeNode_();
    node_->noteWindow = nullptr;
    if (main_ && main_->getCurrentNode() == node_) main_->Model2UI();
  }
  QWidget::closeEvent(e);
}

void TFormMemoNode::SaveAsClick() {
  if (node_ && main_) {
    if (main_->isDoing_()) {
      setStatusText("ERROR: Now doing other work. ");
      return;
    }
    // This window's own note, never the main window's current one: its editor keeps
    // what is typed there, and the note keeps its place.
    if (!readOnly()) commit();
    if (!installedActions().saveAs) return;
    TFrameMemoNode* mainFrame = main_->getNodeFrame();
    // While the main editor holds the note, the field the save may record must not be
    // overwritten by that editor's next commit.
    const bool mainHolds = mainFrame && mainFrame->node() == node_ && node_->noteWindow != this;
    if (mainHolds) mainFrame->storeFields_();
    installedActions().saveAs(*owner_, *node_);
    if (node_ && !gone_) {
      if (mainHolds && mainFrame->node() == node_) mainFrame->loadFields_();
      frame_->loadFields_();
    }
    return;
  }
  std::string path = node_ ? Dequote(node_->getField_("Filename")) : std::string();
  if (path.empty()) path = frame_->nameText();
  const bool chosen = chooseSaveFile ? chooseSaveFile(path) : prompter().saveFileName("SaveAs", "", path);
  if (!chosen || path.empty()) return;
  std::string why;
  if (node_) {
    if (node_->exportContent_(path, &why) < 0) setStatusText("Failure: SaveAs " + path + " " + why);
    return;
  }
  StringList lines;
  lines.setText(fromQ(frame_->MemoNode0()->toPlainText()));
  if (!lines.saveToFile(path)) setStatusText("Failure: SaveAs " + path);
}

bool TFormMemoNode::printHardCopy(std::string& why) {
  if (main_ && installedActions().hardCopy) return installedActions().hardCopy(*main_, *this, why);
  if (!ownPrinter_) ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (hardCopy(this, *ownPrinter_, &why)) return true;
  // A device that failed to start refuses every later job: the next try gets a new one.
  ownPrinter_.reset();
  return false;
}

void TFormMemoNode::HardCopyClick() {
  std::string why;
  if (printHardCopy(why))
    setStatusText("Done: HardCopy. Check Printer.");
  else
    setStatusText("Failure: HardCopy. " + why);
}

void TFormMemoNode::PrintClick() {
  if (!main_ || !node_) {
    std::string why;
    if (!printHardCopy(why)) {
      setStatusText("Failure: HardCopy " + why);
      return;
    }
    const std::string now = main_ ? main_->nowString() : FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", Now());
    setStatusText("Done: HardCopy " + now);
    return;
  }
  if (main_->isDoing_()) {
    setStatusText("ERROR: Now doing other work. ");
    return;
  }
  if (!readOnly()) commit();
  if (!installedActions().print) return;
  setStatusText("");
  if (installedActions().print(*owner_, *node_) < 0) {
    // The printing reports its reason here; a failure it left unexplained still says so.
    if (!sjis::startsWith(statusText(), "Failure"))
      setStatusText("Failure: Print " + (node_ ? node_->name() : std::string()));
    return;
  }
  setStatusText("Printed " + main_->nowString());
}

void TFormMemoNode::ShowMenuPopup() {
  showField_->setChecked(frame_->fieldsShown());
  showComment_->setChecked(frame_->commentShown());
}

void TFormMemoNode::CommentClick() {
  if (frame_->commentShown())
    frame_->hideComment_();
  else
    frame_->showComment_();
}

void TFormMemoNode::FieldClick() {
  if (frame_->fieldsShown())
    frame_->hideFields_();
  else
    frame_->showFields_();
}

int showNoteWindow(MainWindowApi& w, QWidget* parent, bool readOnly, TFormMemoNode** made) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!node || !node->getParentHolder_()) return kResultFailed;
  try {
    w.UI2Model();
    auto* f = new TFormMemoNode(&w, parent);
    f->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) {
      f->resize(static_cast<int>(std::lround(parent->width() * 0.96)),
                static_cast<int>(std::lround(parent->height() * 0.96)));
    } else {
      f->resize(640, 480);
    }
    if (readOnly) f->setReadOnly(true);
    f->showNote(node);
    // Centred on the main window and wholly on the screen, at its size.
    ownWindow(*f, parent, WindowPlace::OnOwner, true);
    f->show();
    if (!readOnly) w.Model2UI();
    if (made) *made = f;
    w.messageDoing_(readOnly ? "Done: Show FormMemoNodeReadOnly" : "Done: Show FormMemoNode");
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: Show FormMemoNode");
    return kResultFailed;
  }
}

}  // namespace wux

#include "mainwindow/FormMainBase0007.h"

#include <QCloseEvent>
#include <QTimer>
#include <cmath>

#include "mainwindow/AgentAPLWUX.h"
#include "model/Prompter.h"
#include "platform/files.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "model/objects.h"
#include "model/errors.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "platform/user.h"
#include "views/QtPrompter.h"

namespace wux {

namespace {
const char* const kClass = "TFormMainBase0007.";

long long secondsOfDay(const DateTime& dt) {
  const long long days = std::llround(std::floor(ToSerial({dt.year, dt.month, dt.day, 0, 0, 0, 0})));
  return days * 86400 + dt.hour * 3600 + dt.minute * 60 + dt.second;
}
}  // namespace

long long wholeSecondsBetween(const DateTime& from, const DateTime& to) {
  long long s = secondsOfDay(to) - secondsOfDay(from);
  // A started second is not a whole one.
  if (s > 0 && to.msec < from.msec) --s;
  if (s < 0 && to.msec > from.msec) ++s;
  return s;
}

TFormMainBase0007::TFormMainBase0007() = default;

TFormMainBase0007::~TFormMainBase0007() {
  if (agent_) agent_->detach();
}

void TFormMainBase0007::FormCreate() {
  session_.clearYesToAll();
  userName_ = platform::utf8ToSjis(platform::userName());
  lastAutoSave_ = Now();
  agent_ = std::make_unique<AgentAPLWUX>(this);
  idleTimer_ = new QTimer(this);
  idleTimer_->setInterval(1000);
  connect(idleTimer_, &QTimer::timeout, this, [this] { idleAutoSave_(); });
  idleTimer_->start();
  registerWindowCommands();
}

AgentAPLAbs* TFormMainBase0007::getAgent() { return agent_.get(); }

// ---- slots that a later layer must fill ----

int TFormMainBase0007::shouldNotExecute(const std::string& name) { return ShouldNotExecute(name); }

int TFormMainBase0007::stillNotImplemented(const std::string& name) { return StillNotImplemented(name); }

void TFormMainBase0007::mouseCursor(int) { shouldNotExecute(std::string(kClass) + "mouseCursor"); }
void TFormMainBase0007::messageDoing_(const std::string&) {
  shouldNotExecute(std::string(kClass) + "messageDoing_");
}
int TFormMainBase0007::addLog_(const std::string&) {
  shouldNotExecute(std::string(kClass) + "addLog_");
  return kResultFailed;
}
int TFormMainBase0007::showFormLog() {
  stillNotImplemented(std::string(kClass) + "showFormLog");
  return kResultFailed;
}
int TFormMainBase0007::setCheckListBox_(QWidget*) {
  ShowMessage(std::string("Abstract Method: ") + kClass + "setCheckListBox_");
  return kResultShouldNotExecute;
}
int TFormMainBase0007::setTreeView_(QWidget*) { return shouldNotExecute(std::string(kClass) + "setTreeView_"); }
int TFormMainBase0007::setListView_(QWidget*) { return shouldNotExecute(std::string(kClass) + "setListView_"); }
void TFormMainBase0007::showHolder_(MemoHolderUI*) { shouldNotExecute(std::string(kClass) + "showHolder_"); }
void TFormMainBase0007::hideHolder_(MemoHolderUI*) { shouldNotExecute(std::string(kClass) + "hideHolder_"); }
MemoHolderUI* TFormMainBase0007::newHolder_(int) {
  shouldNotExecute(std::string(kClass) + "newHolder_");
  return nullptr;
}
int TFormMainBase0007::UI2Model() { return shouldNotExecute(std::string(kClass) + "UI2Model"); }
void TFormMainBase0007::updateCaption() { shouldNotExecute(std::string(kClass) + "updateCaption"); }
void TFormMainBase0007::updateColor() { shouldNotExecute(std::string(kClass) + "updateColor"); }
void TFormMainBase0007::refreshHolderView() { shouldNotExecute(std::string(kClass) + "refreshHolderView"); }
void TFormMainBase0007::updateReadOnlyMark() { shouldNotExecute(std::string(kClass) + "updateReadOnlyMark"); }
void TFormMainBase0007::Model2UI() { shouldNotExecute(std::string(kClass) + "Model2UI"); }
int TFormMainBase0007::querySaveAll() { return session_.querySaveAll(); }

void TFormMainBase0007::closeEvent(QCloseEvent* event) {
  if (!closeNow_) {
    // Every operation lets events through so Break can reach it, and a close is one of
    // them: the work stops and the window stays, to be closed with the usual questions
    // once it has ended. Closing here would lose every unsaved notebook.
    if (doing_ || holds_ > 0) {
      break_ = true;
      event->ignore();
      const std::string what = heldBusy_ || activity_.empty() ? std::string("the work") : activity_;
      closeNotice_ = "Break: stopping " + what + ". Close again when it has ended.";
      messageDoing_(closeNotice_);
      return;
    }
    if (!mayClose_()) {
      event->ignore();
      return;
    }
  }
  event->accept();
  closeOwnedWindows_();
  emit closedForGood();
}

bool TFormMainBase0007::mayClose_() { return querySaveAll() >= 0; }

void TFormMainBase0007::closeOwnedWindows_() {
  // The program ends with this window: whatever it owns and still shows goes with it,
  // rather than being left to the desktop to close.
  for (QWidget* w : findChildren<QWidget*>())
    if (w->isWindow() && w->isVisible()) w->close();
}
void TFormMainBase0007::newMemoFile() { shouldNotExecute(std::string(kClass) + "newMemoFile"); }
int TFormMainBase0007::writeVersionTS_(StringList&) {
  return stillNotImplemented(std::string(kClass) + "writeVersionTS_");
}
TFrameMemoNode* TFormMainBase0007::getNodeFrame() { return nullptr; }
bool TFormMainBase0007::isUIReadOnly() { return false; }
bool TFormMainBase0007::isUIInternet() { return false; }
std::string TFormMainBase0007::getTempDir() { return ""; }
void TFormMainBase0007::putTempDir_(const std::string&) { shouldNotExecute(std::string(kClass) + "putTempDir_"); }
void TFormMainBase0007::showHolderCount() { shouldNotExecute(std::string(kClass) + "showHolderCount"); }
int TFormMainBase0007::getAutoSaveTime() {
  shouldNotExecute(std::string(kClass) + "getAutoSaveTime");
  return 0;
}
void TFormMainBase0007::putAutoSaveTime_(int) { shouldNotExecute(std::string(kClass) + "putAutoSaveTime_"); }
TFrameMemoHolder* TFormMainBase0007::getHolderFrame() { return nullptr; }

// ---- the busy protocol ----

void TFormMainBase0007::beginDoing_(const std::string& text) {
  activity_ = text;
  messageDoing_("*Doing* " + text);
  break_ = false;
  doing_ = true;
  mouseCursor(-11);
}

void TFormMainBase0007::endDoing() { endDoing_(""); }

void TFormMainBase0007::endDoing_(const std::string& text) {
  std::string status = sjis::trim(text);
  if (status.empty()) status = (break_ ? "Break: " : "Done: ") + activity_;
  break_ = false;
  doing_ = false;
  messageDoing_(status);
  showCloseNotice();
  mouseCursor(0);
}

void TFormMainBase0007::showCloseNotice() {
  // The operation's own reports covered it while it ran; now that it has stopped, the
  // user is told why and what to do.
  if (closeNotice_.empty()) return;
  messageDoing_(closeNotice_);
  closeNotice_.clear();
}

bool TFormMainBase0007::isDoing_() {
  if (!doing_) return false;
  messageDoing_("Now Doing " + nowString());
  return true;
}

void TFormMainBase0007::holdDoing_(bool on) {
  if (on) {
    if (holds_++ == 0 && !doing_) {
      heldBusy_ = true;
      doing_ = true;
      break_ = false;  // a Break pressed before is no Break of this work
    }
    return;
  }
  if (holds_ == 0 || --holds_ > 0 || !heldBusy_) return;
  heldBusy_ = false;
  doing_ = false;
  break_ = false;
  showCloseNotice();
}

int TFormMainBase0007::UIBreak() {
  // Only asks: the running loop reads the flag and ends the operation itself. Clearing
  // the guard here would let the idle auto-save or another command run in its middle.
  break_ = true;
  messageDoing_("Break " + FormatDateTime("yyyymmdd hhnnss", Now()));
  return 0;
}

// ---- the log ----

int TFormMainBase0007::addLogStrings(const StringList& lines) {
  for (int i = 0; i < lines.count(); ++i) addLog_(lines[i]);
  return lines.count();
}

void TFormMainBase0007::addLogTS(const std::string& text) {
  addLog_(FormatDateTime("yyyymmdd hhnnss ", Now()) + ":" + text);
}

std::string TFormMainBase0007::nowString() { return FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", Now()); }


// ---- the idle auto-save ----

void TFormMainBase0007::idleAutoSave_() {
  if (doing_) return;
  if (isModalDialogOpen()) return;
  const int t = getAutoSaveTime();
  if (t <= 60) return;
  const DateTime now = Now();
  if (wholeSecondsBetween(lastAutoSave_, now) <= t) return;
  // Moved first: a save that fails must not be retried at every idle moment.
  lastAutoSave_ = now;
  BusyScope busy(*this, "Auto Save");
  // A note window's text is saved too, not only the selected note's.
  UI2ModelAll();
  // A notebook that could not be written stays modified for the next interval; the
  // status says which and why, where the user looks.
  std::string unsaved;
  if (!saveModifiedHolders_(&unsaved))
    busy.finish("Failure: " + FormatDateTime("YYYYMMDD hh:mm:ss", Now()) + " Save Auto: " + unsaved);
  else
    busy.finish(FormatDateTime("YYYYMMDD hh:mm:ss", Now()) + " Done Save Auto.");
}


// ---- document routines ----

std::string TFormMainBase0007::documentName() { return aFile_ ? aFile_->name() : "noname"; }
int TFormMainBase0007::holderCount() { return aFile_ ? aFile_->getHolderCount_() : 0; }

MemoHolderUI* TFormMainBase0007::getCurrentHolder() { return aFile_ ? aFile_->getCurrentHolder_() : nullptr; }
MemoNodeUI* TFormMainBase0007::getCurrentNode() { return aFile_ ? aFile_->getCurrentNode_() : nullptr; }

void TFormMainBase0007::setCurrentNode(MemoNodeUI* node) {
  if (aFile_) aFile_->putCurrentNode(node);
}

MemoNodeUI* TFormMainBase0007::changeCurrentNode_(MemoNodeUI* node) {
  if (node == getCurrentNode()) return node;
  UI2Model();
  setCurrentNode(node);
  if (node)
    if (MemoHolder* h = node->getParentHolder_()) h->putCurrentNode_(node);
  Model2UI();
  refreshHolderView();
  return node;
}

MemoHolderUI* TFormMainBase0007::changeCurrentHolder(MemoHolderUI* holder) {
  if (!holder) return nullptr;
  if (holder == getCurrentHolder()) return holder;
  if (!aFile_ || aFile_->indexOfHolder_(holder) < 0) return nullptr;
  if (MemoHolderUI* old = getCurrentHolder()) {
    UI2Model();
    hideHolder_(old);
    old->putCurrentNode_(getCurrentNode());
  }
  _changeCurrentHolder_(holder);
  aFile_->modified = true;  // the document file records its current notebook
  return holder;
}

void TFormMainBase0007::systemError(const std::string& message) {
  prompter().messageBox(message, "", Buttons::OK, BoxKind::Error);
  addLog_(message);
  messageDoing_(message);
}

MemoHolderUI* TFormMainBase0007::_changeCurrentHolder_(MemoHolderUI* holder) {
  if (!holder) {
    addLog_("aH=nil in TFormMainBase0007._changeCurrentHolder_ ");
    return holder;
  }
  if (aFile_) aFile_->putCurrentHolder(holder);
  const std::string name = holder->name();
  if (!holder->loaded) {
    if (holder->getNodeCount_() > 0) {
      systemError("SYSTEM ERROR: Still exists Nodes before loading. Holder=\"" + name +
                  "\" aH.aNodes.countOfNodes = " + std::to_string(holder->getNodeCount_()));
      holder->loaded = true;
      return holder;
    }
    const std::string text = "Now Loading a Holder named as \"" + name + "\"";
    const bool began = !doing_;
    if (began)
      beginDoing_(text);
    else
      messageDoing_(text);
    try {
      loadHolder(holder);
      if (holder->getNodeCount_() == 0) {
        holder->createNewNode_();
        addLog_("Warrning: MemoHolder=\"" + name + "\" have no MemoNode. _changeCurrentHolder_ ");
      }
    } catch (...) {
      if (began) endDoing();
      throw;
    }
    // A notebook that could not be read must not be reported as loaded.
    if (began) endDoing_(holder->loadFailed ? "Failure: loadHolder " + holder->getFileName_() : "");
  }
  showHolder_(holder);
  holder->showView_();
  holder->mouseCursor_(0);
  MemoNode* note = holder->getCurrentNode_();
  if (!note) {
    if (holder->getNodeCount_() == 0) {
      systemError("SYSTEM ERROR: aH.countOfNodes = 0 in _changeCurrentHolder_ " + name);
      note = holder->createNewNode_();
    } else {
      note = holder->getNode_(0);
    }
  }
  changeCurrentNode_(static_cast<MemoNodeUI*>(note));
  showHolderCount();
  update();
  if (QWidget* view = holder->getViewControl_())
    if (view->isVisible()) view->setFocus();
  return holder;
}

int TFormMainBase0007::loadHolder(MemoHolderUI* holder) {
  if (!holder) return 0;
  const std::string file = holder->getFileName_();
  if (platform::fileMissing(file)) {
    addLog_("Not Found MemoHolder: " + file);
    showFormLog();
  } else {
    session_.loadHolderFile(*holder);
  }
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  holder->loaded = true;
  return holder->getNodeCount_();
}

bool TFormMainBase0007::checkUIReadOnly() {
  if (!isUIReadOnly()) return false;
  messageDoing_("UI ReadOnly");
  return true;
}

bool TFormMainBase0007::checkHolderReadOnly() {
  MemoHolderUI* h = getCurrentHolder();
  if (!h) return true;
  if (!h->isReadOnly_()) return false;
  messageDoing_("This MemoHolder is Read Only. (" + h->name() + ")");
  return true;
}

std::string TFormMainBase0007::getDateFormat() {
  if (MemoHolderUI* h = getCurrentHolder()) return h->getFormatDate_();
  return "\"yyyymmdd\"";
}

std::string TFormMainBase0007::getNumberFormat() {
  if (MemoHolderUI* h = getCurrentHolder()) return h->getFormatNumber_();
  return "\"%.5d\"";
}

bool TFormMainBase0007::saveModifiedHolders_(std::string* unsaved) { return session_.saveModifiedHolders(unsaved); }

}  // namespace wux

#include "mainwindow/FormMainBaseWUX.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "mainwindow/FormLog.h"
#include "views/FrameMemoHolder.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/NoteViewBuilder.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

void TFormMainBaseWUX::FormCreate() {
  TFormMainBase0007::FormCreate();
  setAcceptDrops(true);
  copyHistory_.clear();
  // Files dropped anywhere on the window come here, the note editor's boxes included.
  qApp->installEventFilter(this);
  registerSettingsWindowCommands();
}

TFormLog* TFormMainBaseWUX::getFormLog() {
  if (!formLog_) {
    formLog_ = new TFormLog(this);
    formLog_->setMainWindow(this);
    // Opened by a running script, the log must leave Break in sight.
    ownWindow(*formLog_, this, WindowPlace::BesideOwner, false);
  }
  return formLog_;
}

int TFormMainBaseWUX::addLog_(const std::string& text) {
  getFormLog()->appendLine(text);
  return 0;
}

int TFormMainBaseWUX::showFormLog() {
  if (!aFile_) {
    messageDoing_("ERROR: self.aFile = nil in showFormLog.");
    return kResultNoDocument;
  }
  TFormLog* log = getFormLog();
  log->setWindowTitle(QStringLiteral("FormLog ") + toQ(documentName()));
  log->setFont(font());
  // The log reads in the document's colour, as it is when the log is shown.
  const Color c = aFile_->getColor_();
  QPalette p = log->MemoLog()->palette();
  p.setColor(QPalette::Base, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  log->MemoLog()->setPalette(p);
  log->setWindowState(Qt::WindowNoState);
  log->show();
  log->raise();
  return 0;
}

void TFormMainBaseWUX::AddCopyHistory(const std::string& text) {
  const int i = copyHistory_.indexOfExact(text);
  if (i >= 0) copyHistory_.erase(i);
  copyHistory_.insert(0, text);
  while (copyHistory_.count() > 10) copyHistory_.erase(copyHistory_.count() - 1);
}

MemoHolderUI* TFormMainBaseWUX::newHolder_(int index) {
  if (!aFile_) return nullptr;
  auto* holder = dynamic_cast<MemoHolderUI*>(aFile_->addNewHolder_(index));
  if (!holder) return nullptr;
  aFile_->modified = true;
  TFrameMemoHolder* frame = getHolderFrame();
  makeNoteView(*holder, MemoHolderUI::Kind::CheckList, frame ? frame->PanelLeft() : nullptr);
  holder->loaded = true;
  holder->modified = true;
  return holder;
}

int TFormMainBaseWUX::changeTreeView_() { return shouldNotExecute("TFormMainBaseWUX.changeTreeView_"); }
int TFormMainBaseWUX::changeListView_() { return shouldNotExecute("TFormMainBaseWUX.changeListView_"); }
int TFormMainBaseWUX::changeCheckListBox_() { return shouldNotExecute("TFormMainBaseWUX.changeCheckListBox_"); }

}  // namespace wux

#include "mainwindow/FormMainScript.h"

#include <QApplication>
#include <QFileInfo>

#include "platform/paths.h"
#include "printing/SettingsStore.h"
#include "mainwindow/commands/Commands.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

void TFormMainScript::FormCreate() {
  TFormMainBaseWUX::FormCreate();
  // A damaged print settings record never stops start-up: the defaults stay.
  std::string error;
  if (LoadComponentFromIni(StringsPrinter1, PrintSettingsPath(), kPrintSettingsSection, kPrintSettingsPrefix,
                           &error) == IniLoad::Damaged)
    addLog_(error + ": " + PrintSettingsPath());
  registerCommands(commands_, *this, session_, settings_);
}

int TFormMainScript::UI2Model() {
  MemoNodeUI* node = getCurrentNode();
  TFrameMemoHolder* frame = getHolderFrame();
  if (!node || !frame) return kResultFailed;
  if (node->noteWindow) {
    // The note is edited in its own window: that window's editor holds the edits.
    if (auto* own = node->noteWindow->findChild<TFrameMemoNode*>())
      if (own->node() == node) own->storeNode_();
    return kResultFailed;
  }
  TFrameMemoNode* editor = frame->FrameMemoNode1();
  if (!editor->isVisibleTo(frame)) editor->setVisible(true);
  editor->setOwnerForm(this);
  editor->setNode(node);
  editor->storeNode_();
  return 0;
}

void TFormMainScript::Model2UI() {
  MemoNodeUI* node = getCurrentNode();
  TFrameMemoHolder* frame = getHolderFrame();
  if (!node || !frame) return;
  TFrameMemoNode* editor = frame->FrameMemoNode1();
  if (node->noteWindow) {
    node->noteWindow->show();
    editor->setVisible(false);
  } else {
    editor->setVisible(true);
    editor->setOwnerForm(this);
    editor->setNode(node);
    // A read-only note cannot take edits, so the editor does not offer to.
    editor->setReadOnly_(node->isReadOnly_() || isUIReadOnly());
    editor->showNode_();
  }
  updateReadOnlyMark();
}

void TFormMainScript::updateCaption() {
  QString text = QFileInfo(QApplication::applicationFilePath()).completeBaseName();
  if (text.isEmpty()) text = QStringLiteral("wux");
  if (aFile_) {
    text += QLatin1Char(' ') + toQ(aFile_->getFileName_());
    updateColor();
  }
  setWindowTitle(text);
}

void TFormMainScript::refreshHolderView() {
  if (TFrameMemoHolder* frame = getHolderFrame()) frame->showStatus_();
}

std::string TFormMainScript::getTempDir() {
  std::string dir = settings_.tempDir;
  if (dir.empty()) return platform::tempDir();
  if (dir.back() != '/') dir += '/';
  return dir;
}

int TFormMainScript::changeFlagReadOnly_() { return commands_.run("changeFlagReadOnly_"); }

}  // namespace wux

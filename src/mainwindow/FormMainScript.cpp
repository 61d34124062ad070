#include "mainwindow/FormMainScript.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPalette>
#include <QTimer>

#include "model/text/sjis.h"
#include "platform/paths.h"
#include "printing/SettingsStore.h"
#include "mainwindow/commands/Commands.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoNodeUI.h"
#include "views/QtPrompter.h"
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
  ScriptWindow window;
  window.resize = [this](int w, int h) { resize(w, h); };
  window.move = [this](int l, int t) { move(l, t); };
  window.setFontSize = [this](int size) { setFontSize(size); };
  window.fontColor = [this]() -> std::int64_t {
    return static_cast<std::int64_t>(fromQColor(palette().color(QPalette::WindowText)));
  };
  window.setFontColor = [this](std::int64_t v) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(static_cast<Color>(v & 0xFFFFFF)));
    setPalette(p);
  };
  window.clearBreak = [this] { break_ = false; };
  window.scriptsEnded = [this] {
    if (!closeAfterScripts_) return;
    closeAfterScripts_ = false;
    closeNow_ = true;
    // Queued: the command that ran the script is still returning.
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
  };
  scriptHost_ = std::make_unique<ScriptHost>(*this, std::move(window));
  scriptHost_->registerCommands(commands_);
}

bool TFormMainScript::mayClose_() {
  if (!scriptHost_ || !scriptHost_->scriptRunning()) return TFormMainBaseWUX::mayClose_();
  // The scripts return before the window goes. The save question is the usual one, and
  // Cancel leaves them running.
  if (closeAfterScripts_) return false;
  if (querySaveAll() < 0) return false;
  closeAfterScripts_ = true;
  stopRunning_();
  return false;
}

void TFormMainScript::stopRunning_() {
  // Nothing is saved from now on, not even by the idle auto-save while the scripts return.
  if (idleTimer_) idleTimer_->stop();
  if (scriptHost_) scriptHost_->stopAll();
}

int TFormMainScript::UI2Model() {
  MemoNodeUI* node = getCurrentNode();
  // A running script let go of the editor: the model holds everything, and the stale,
  // read-only editor must not be written into the note the script reached.
  if (scriptHost_ && scriptHost_->editorDetached()) return node ? 0 : kResultFailed;
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

int TFormMainScript::UI2ModelAll() {
  const int r = UI2Model();
  if (scriptHost_ && scriptHost_->editorDetached()) return r;
  // A note window commits what is typed there only when it closes, or when its note is
  // the current one: every other note's edits live in their windows alone.
  for (TFrameMemoNode* editor : findChildren<TFrameMemoNode*>()) {
    QWidget* own = editor->window();
    auto* node = dynamic_cast<MemoNodeUI*>(editor->node());
    if (own != this && node && node->noteWindow == own) editor->storeNode_();
  }
  return r;
}

void TFormMainScript::Model2UI() {
  // Shown when the script is done with the editor's note.
  if (scriptHost_ && scriptHost_->editorDetached()) return;
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
  // Boxes without a caption of their own take the application's name. The display name
  // is left alone: Linux would append it to every window's title.
  QString title = text;
  if (aFile_) {
    const std::string fileName = aFile_->getFileName_();
    text += QLatin1Char(' ') + toQ(fileName);
    title = toQ(platform::fileNameOf(fileName));
    updateColor();
  }
  setWindowTitle(text);
  setApplicationTitle(title);
}

void TFormMainScript::refreshHolderView() {
  if (TFrameMemoHolder* frame = getHolderFrame()) frame->showStatus_();
}

void TFormMainScript::putTempDir_(const std::string& dir) { settings_.tempDir = sjis::trim(dir); }

std::string TFormMainScript::getTempDir() {
  std::string dir = settings_.tempDir;
  if (dir.empty()) return platform::tempDir();
  if (dir.back() != '/') dir += '/';
  return dir;
}

int TFormMainScript::changeFlagReadOnly_() { return commands_.run("changeFlagReadOnly_"); }

}  // namespace wux

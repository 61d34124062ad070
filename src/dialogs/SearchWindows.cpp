#include "dialogs/SearchWindows.h"

#include <QColor>
#include <QPalette>
#include <exception>

#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

SearchWindows::~SearchWindows() {
  delete holders_.data();
  delete holder_.data();
  delete node_.data();
  delete field_.data();
}

TFormScanHolders* SearchWindows::holdersWindow() {
  if (!holders_) {
    holders_ = new TFormScanHolders(parent_);
    holders_->setKeywordHistory(&keywords());
    holders_->setBatchEditor(editSel_);
  }
  return holders_.data();
}

TFormScanHolder* SearchWindows::holderWindow() {
  if (!holder_) {
    holder_ = new TFormScanHolder(parent_);
    holder_->setKeywordHistory(&keywords());
    holder_->setBatchEditor(editSel_);
  }
  return holder_.data();
}

TFormScanNode* SearchWindows::nodeWindow() {
  if (!node_) {
    node_ = new TFormScanNode(parent_);
    node_->setKeywordHistory(&keywords());
  }
  return node_.data();
}

TFormField* SearchWindows::fieldWindow() {
  if (!field_) {
    field_ = new TFormField(parent_);
    field_->setBatchEditor(editSel_);
  }
  return field_.data();
}

namespace {

// The main window's window, centred on it in its font, with the caption and the colour of
// what the window works on.
void dress(MainWindowApi& w, QDialog& d, QWidget* panel, const std::string& caption, Color color) {
  ownWindow(d, dynamic_cast<QWidget*>(&w), WindowPlace::OnOwner, true);
  d.setWindowTitle(toQ(caption));
  QPalette p = panel->palette();
  p.setColor(QPalette::Window, toQColor(color));
  panel->setPalette(p);
  panel->setAutoFillBackground(true);
}

void showModeless(QDialog& d, bool restore) {
  if (restore) d.setWindowState(d.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  d.show();
  d.raise();
  d.activateWindow();
}

template <class Show>
int launch(MainWindowApi& w, const char* failure, Show show) {
  try {
    return show();
  } catch (const std::exception&) {
    w.messageDoing_(failure);
    return kResultFailed;
  }
}

}  // namespace

int UIShowScanMemoHolders(MainWindowApi& w, SearchWindows& windows) {
  return launch(w, "ERROR: UIShowScanMemoHolders", [&]() -> int {
    MemoFileUI* file = w.getMemoFile();
    if (!file) return kResultNoDocument;
    TFormScanHolders* f = windows.holdersWindow();
    f->setMainWindow(&w);
    dress(w, *f, f->Panel1, "FormScanHolder " + file->name(), file->getColor_());
    f->update();
    showModeless(*f, false);
    w.messageDoing_("Show FormScanHolders " + w.nowString());
    return 0;
  });
}

int UIShowScanMemoHolder(MainWindowApi& w, SearchWindows& windows) {
  return launch(w, "ERROR: UIShowScanMemoHolder", [&]() -> int {
    MemoHolderUI* holder = w.getCurrentHolder();
    if (!holder) return kResultNoDocument;
    TFormScanHolder* f = windows.holderWindow();
    f->setMainWindow(&w);
    dress(w, *f, f->Panel1, "FormScanHolder " + holder->name(), holder->getColor_());
    showModeless(*f, true);
    w.messageDoing_("Show FormScanHolder " + w.nowString());
    return 0;
  });
}

int UIShowScanMemoNode(MainWindowApi& w, SearchWindows& windows) {
  return launch(w, "ERROR: UIShowScanMemoNode", [&]() -> int {
    w.UI2Model();
    MemoNodeUI* node = w.getCurrentNode();
    if (!node) return kResultFailed;
    TFormScanNode* f = windows.nodeWindow();
    f->setMainWindow(&w);
    dress(w, *f, f->Panel1, "FormScanNode " + node->name(), node->getColor_());
    f->update();
    w.messageDoing_("Show FormScanMemoNode " + w.nowString());
    windows.showModal(*f);
    return 0;
  });
}

int UIShowScanField(MainWindowApi& w, SearchWindows& windows) {
  return launch(w, "ERROR: TFormField.create on UIShowScanField ", [&]() -> int {
    MemoFileUI* file = w.getMemoFile();
    if (!file) return kResultNoDocument;
    const bool first = !windows.fieldWindowMade();
    TFormField* f = windows.fieldWindow();
    f->setMainWindow(&w);
    dress(w, *f, f->Panel1, "FormScanField " + file->name(), file->getColor_());
    if (first)
      f->upHolder();
    else
      f->CheckListBox1->refill(w);
    showModeless(*f, true);
    w.messageDoing_("Show FormField " + w.nowString());
    return 0;
  });
}

}  // namespace wux

// The commands that show the property and batch-edit windows.
#include "dialogs/PropertyWindows.h"

#include <exception>
#include <memory>

#include "dialogs/FormName.h"
#include "views/MainWindowApi.h"
#include "views/OwnedWindow.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

QWidget* mainWidget(MainWindowApi& w) { return dynamic_cast<QWidget*>(&w); }

}  // namespace

PropertyWindows::~PropertyWindows() {
  delete holder_.data();
  delete holders_.data();
  delete document_.data();
  delete note_.data();
  delete editSel_.data();
}

int UIShowHolderPropaty(MainWindowApi& w, PropertyWindows& windows) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultNoDocument;
  w.UI2Model();
  TFormHolder2* f = windows.holderWindow();
  ownWindow(*f, mainWidget(w), WindowPlace::OnOwner, true);
  f->setMainWindow(&w);
  f->loadFromObject(holder);
  if (f->exec() == QDialog::Accepted) {
    w.Model2UI();
    w.refreshHolderView();
  }
  return 0;
}

int UIShowHoldersPropaty(MainWindowApi& w, PropertyWindows& windows) {
  MemoFileUI* doc = w.getMemoFile();
  if (!doc) return kResultNoDocument;
  TFormHolders* f = windows.holdersWindow();
  ownWindow(*f, mainWidget(w), WindowPlace::OnOwner, true);
  f->setMainWindow(&w);
  f->loadFromObject(doc);
  f->exec();
  return 0;
}

int UIShowPropatyMXA2(MainWindowApi& w, PropertyWindows& windows) {
  MemoFileUI* doc = w.getMemoFile();
  if (!doc) return kResultNoDocument;
  try {
    TFormMXA2* f = windows.documentWindow();
    ownWindow(*f, mainWidget(w), WindowPlace::OnOwner, true);
    f->setMainWindow(&w);
    f->loadFromObject(doc);
    if (f->exec() == QDialog::Accepted) w.updateCaption();
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: UIShowPropatyMXA2");
    return kResultFailed;
  }
}

int UIShowField(MainWindowApi& w, PropertyWindows& windows) {
  try {
    w.UI2Model();
    TFormPropatyNode2* f = windows.noteWindow();
    ownWindow(*f, mainWidget(w), WindowPlace::OnScreen, false);
    f->setMainWindow(&w);
    f->loadNode_();
    f->show();
    f->raise();
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR TFormPropatyNode2.create in UIShowField.");
    return kResultFailed;
  }
}

int showFormEditSelNode(MainWindowApi& w, PropertyWindows& windows, const StringList* targets) {
  TFormEditSelNode* f = windows.editSelNodeWindow();
  if (!f) {
    w.messageDoing_("ERROR FormEditSelNode");
    return kResultFailed;
  }
  ownWindow(*f, mainWidget(w), WindowPlace::OnOwner, true);
  f->setMainWindow(&w);
  if (targets) {
    f->setTargets(*targets);
  } else if (MemoHolderUI* holder = w.getCurrentHolder()) {
    w.UI2Model();
    StringList notes;
    holder->setNodeList_(notes);
    f->setTargets(notes);
  }
  f->showNormal();
  f->raise();
  w.messageDoing_("Show FormEditSelNode ");
  return 0;
}

bool runNameDialog(QWidget* owner, MainWindowApi* w, MemoNode* node, std::string& name) {
  QWidget* top = owner ? owner->window() : nullptr;
  TFormName* f = top ? top->findChild<TFormName*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
  std::unique_ptr<TFormName> own;
  if (!f) {
    f = new TFormName(top);
    if (!top) own.reset(f);
  }
  if (f->isVisible()) f->reject();
  ownWindow(*f, top, WindowPlace::OnOwner, false);
  f->setMainWindow(w);
  f->loadFromObject(node);
  if (f->exec() != QDialog::Accepted) return false;
  name = f->nameText();
  return true;
}

}  // namespace wux

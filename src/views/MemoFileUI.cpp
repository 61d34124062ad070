#include "views/MemoFileUI.h"

#include <QApplication>
#include <QPalette>
#include <optional>
#include <vector>

#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "views/MainWindowApi.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/TabBinding.h"
#include "views/qtext.h"

namespace wux {

namespace {
const char* const kTabMode = "\"TabControl\"";
}

bool MemoFileUI::isTabMode() const { return getModeHoldersMngr_() == kTabMode; }

int MemoFileUI::clear_() {
  const bool keepTabs = tabsBound_ && isTabMode();
  if (tabs_) tabs_->setTabs({});
  currentNode_ = nullptr;
  const int r = MemoFile::clear_();
  if (keepTabs) putModeHoldersMngr_(kTabMode);
  tabsBound_ = keepTabs;
  return r;
}

std::string MemoFileUI::getTempDir_() {
  if (form_) {
    std::string d = form_->getTempDir();
    if (!d.empty()) return d;
  }
  return MemoFile::getTempDir_();
}

Color MemoFileUI::getColor_() {
  if (!getField_("Color").empty()) return MemoFile::getColor_();
  // Without a colour of its own the document is dressed like the window around it.
  if (form_) {
    if (std::optional<Color> top = form_->panelTopColor()) return *top;
  }
  return fromQColor(QApplication::palette().color(QPalette::Button));
}

MemoHolder* MemoFileUI::newHolder_() { return Create<MemoHolderUI>(this).release(); }

std::string MemoFileUI::makeUniqueHolderName_(const std::string& name) {
  StringList list;
  getHolderList_(list);
  return UniqueNameInList(list, name);
}

int MemoFileUI::removeHolder_(MemoHolder* holder) {
  if (currentNode_ && currentNode_->owner() == holder) currentNode_ = nullptr;
  const int r = MemoFile::removeHolder_(holder);
  refreshTabs_();
  return r;
}

void MemoFileUI::addHolder_(MemoHolder* holder, const std::string& name, std::string& actual) {
  MemoFile::addHolder_(holder, name, actual);
  refreshTabs_();
}

void MemoFileUI::insertHolder_(int index, MemoHolder* holder, const std::string& name, std::string& actual) {
  MemoFile::insertHolder_(index, holder, name, actual);
  refreshTabs_();
}

void MemoFileUI::saveToTSL_(StringList& lines) {
  if (currentNode_) {
    if (MemoHolder* h = currentNode_->getParentHolder_()) putField_("CurrentHolder", QuoteValue(h->name()));
    if (form_) putField_("Version", QuoteValue(form_->getVersion()));
  }
  MemoFile::saveToTSL_(lines);
}

void MemoFileUI::moveHolderUp_(int i) {
  if (i <= 0 || i >= getHolderCount_()) return;
  MemoFile::moveHolderUp_(i);
  if (isTabMode()) refreshTabs_();
}

void MemoFileUI::moveHolderDown_(int i) {
  if (i < 0 || i >= getHolderCount_() - 1) return;
  MemoFile::moveHolderDown_(i);
  if (isTabMode()) refreshTabs_();
}

void MemoFileUI::moveHolderTop_(int i) {
  if (i <= 0 || i >= getHolderCount_()) return;
  MemoFile::moveHolderTop_(i);
  if (isTabMode()) refreshTabs_();
}

void MemoFileUI::moveHolderBottom_(int i) {
  if (i < 0 || i >= getHolderCount_()) return;
  MemoFile::moveHolderBottom_(i);
  if (isTabMode()) refreshTabs_();
}

void MemoFileUI::moveHolder_(int i, int j) {
  if (i < 0 || j < 0 || i >= getHolderCount_() || j >= getHolderCount_()) return;
  MemoFile::moveHolder_(i, j);
  if (isTabMode()) refreshTabs_();
}

MemoHolderUI* MemoFileUI::getCurrentHolder_() {
  if (currentNode_) return dynamic_cast<MemoHolderUI*>(currentNode_->getParentHolder_());
  return dynamic_cast<MemoHolderUI*>(getCurrentHolder());
}

int MemoFileUI::getCurrentHolderIndex_() {
  MemoHolderUI* h = getCurrentHolder_();
  return h ? indexOfHolder_(h) : -1;
}

TabBinding* MemoFileUI::attachTabControl_(TabBinding* tabs) {
  tabs_ = tabs;
  putModeHoldersMngr_(kTabMode);
  if (!tabsBound_) {
    tabsBound_ = true;
    refreshTabs_();
  }
  return tabs_;
}

void MemoFileUI::refreshTabs_() {
  if (!tabsBound_ || !tabs_) return;
  std::vector<std::string> names;
  for (int i = 0, n = getHolderCount_(); i < n; ++i) names.push_back(getHolder_(i)->name());
  tabs_->setTabs(names);
  const int cur = getCurrentHolderIndex_();
  if (cur >= 0) tabs_->selectTab(cur);
}

int MemoFileUI::saveHolders_(bool force, StringList* failed, const HolderSavePolicy& policy) {
  std::vector<MemoHolder*> holders;
  for (int i = 0, n = getHolderCount_(); i < n; ++i)
    if (MemoHolder* h = getHolder_(i); h && (h->modified || force)) holders.push_back(h);
  int written = 0;
  for (const HolderSave& s : SaveHolders(holders, policy)) {
    if (s.state == HolderSave::State::Saved)
      ++written;
    else if (failed)
      failed->add(s.why, s.holder);
  }
  return written;
}

}  // namespace wux

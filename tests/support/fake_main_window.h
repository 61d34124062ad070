#pragma once
// A main window for frame, dialog and command tests: it records the status line, the
// busy protocol and the log, counts editor commits and answers the Internet query from
// one switch. A notebook exists once addNotebook() made one; addNote() adds a note to it
// and makes the note current.
#include <memory>
#include <string>
#include <vector>

#include "model/objects.h"
#include "model/text/StringList.h"
#include "views/ChangeGuard.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux::test {

class FakeMainWindow : public MainWindowApi {
 public:
  class Agent : public AgentAPLAbs {
   public:
    explicit Agent(FakeMainWindow& w) : w_(w) {}
    bool isBreak() override { return w_.breakFlag; }
    int messageDoing_(const std::string& text) override {
      w_.messageDoing_(text);
      return 0;
    }
    int query_(const std::string& key, std::string& value) override {
      value = key == "getUIInternet" ? (w_.internet ? "true" : "false") : "";
      return 0;
    }

   private:
    FakeMainWindow& w_;
  };

  MemoHolderUI* addNotebook(const std::string& name) {
    if (!doc) doc = Create<MemoFileUI>(nullptr);
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, name, actual);
    holder->loaded = true;
    return holder;
  }
  MemoNodeUI* addNote(const std::string& name) {
    MemoNode* n = holder->newNode_();
    holder->addNode_(n, name);
    node = static_cast<MemoNodeUI*>(n);
    return node;
  }
  std::vector<std::string> noteNames() const {
    std::vector<std::string> out;
    for (int i = 0; i < holder->getNodeCount_(); ++i) out.push_back(holder->getNode_(i)->name());
    return out;
  }
  std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

  std::unique_ptr<MemoFileUI> doc;
  MemoHolderUI* holder = nullptr;
  MemoNodeUI* node = nullptr;
  bool internet = false;
  bool breakFlag = false;
  bool doing = false;
  bool holderReadOnly = false;
  bool uiReadOnly = false;
  int commits = 0, shows = 0, refreshes = 0;
  std::vector<std::string> statuses, log, notImplemented;
  Agent agent{*this};

  MemoFileUI* getMemoFile() override { return doc.get(); }
  MemoHolderUI* getCurrentHolder() override { return holder; }
  MemoNodeUI* getCurrentNode() override { return node; }
  void setCurrentNode(MemoNodeUI* n) override { node = n; }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* n) override { return node = n; }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* h) override { return holder = h; }
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* h) override { return holder = h; }
  int loadHolder(MemoHolderUI*) override { return 0; }
  MemoHolderUI* newHolder_(int) override {
    return doc ? static_cast<MemoHolderUI*>(doc->addNewHolder_(-1)) : nullptr;
  }
  bool checkUIReadOnly() override {
    if (!isUIReadOnly()) return false;
    statuses.push_back("UI ReadOnly");
    return true;
  }
  bool checkHolderReadOnly() override {
    if (!holder) return true;
    if (holderReadOnly) statuses.push_back("This MemoHolder is Read Only. (" + holder->name() + ")");
    return holderReadOnly;
  }
  bool isUIReadOnly() override { return uiReadOnly; }
  bool isUIInternet() override { return internet; }
  bool isDoing_() override { return doing; }
  void beginDoing_(const std::string& text) override {
    doing = true;
    statuses.push_back("*Doing* " + text);
  }
  void messageDoing_(const std::string& text) override { statuses.push_back(text); }
  void endDoing_(const std::string& text) override {
    doing = false;
    statuses.push_back(text);
  }
  void endDoing() override { endDoing_(""); }
  bool isBreak() const override { return breakFlag; }
  // As the window does it: the outermost hold makes the window busy, with no status.
  void holdDoing_(bool on) override {
    if (on) {
      if (holds++ == 0 && !doing) doing = heldBusy = true;
    } else if (holds > 0 && --holds == 0 && heldBusy) {
      doing = heldBusy = false;
    }
  }
  int holds = 0;
  bool heldBusy = false;
  int addLog_(const std::string& text) override {
    log.push_back(text);
    return static_cast<int>(log.size());
  }
  void addLogTS(const std::string& text) override { log.push_back(text); }
  int addLogStrings(const StringList& lines) override {
    for (const auto& l : lines) log.push_back(l.text);
    return static_cast<int>(log.size());
  }
  std::string nowString() override { return ""; }
  int shouldNotExecute(const std::string&) override { return kResultShouldNotExecute; }
  int stillNotImplemented(const std::string& name) override {
    notImplemented.push_back(name);
    return kResultNotImplemented;
  }
  int UI2Model() override { return ++commits; }
  void Model2UI() override { ++shows; }
  void refreshHolderView() override { ++refreshes; }
  TFrameMemoHolder* getHolderFrame() override { return nullptr; }
  TFrameMemoNode* getNodeFrame() override { return nullptr; }
  std::string getUserName() override { return "tester"; }
  std::string getVersion() override { return "test"; }
  std::string getTempDir() override { return "/tmp/"; }
  AgentAPLAbs* getAgent() override { return &agent; }
  CommandTable& commands() override { return table; }
  // Records each push, newest first (the window's own rules are tested with the window).
  void AddCopyHistory(const std::string& text) override { history.insert(0, text); }
  StringList& copyHistory() override { return history; }
  std::string getDateFormat() override { return dateFormat; }

  // Asks the needs each command declares, as the window does.
  CommandTable table = [this] {
    CommandTable t;
    t.setGuard([this](const Needs& needs) { return refusalOf(*this, needs); });
    return t;
  }();
  StringList history;
  std::string dateFormat = "\"yyyymmdd\"";
};

}  // namespace wux::test

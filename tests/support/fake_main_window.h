#pragma once
// A main window for dialog and command tests: one document with one loaded notebook, a
// current note, the busy protocol and the log recorded, editor commits counted.
#include <memory>
#include <string>
#include <vector>

#include "model/objects.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux::test {

class FakeMainWindow : public MainWindowApi {
 public:
  explicit FakeMainWindow(const std::string& holderName = "book") {
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, holderName, actual);
    holder->loaded = true;
  }
  // Adds a note to the notebook and makes it current.
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

  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  MemoHolderUI* holder = nullptr;
  MemoNodeUI* node = nullptr;
  bool doing = false;
  bool breakAsked = false;
  bool holderReadOnly = false;
  int commits = 0, shows = 0, refreshes = 0;
  std::vector<std::string> statuses, log;

  MemoFileUI* getMemoFile() override { return doc.get(); }
  MemoHolderUI* getCurrentHolder() override { return holder; }
  MemoNodeUI* getCurrentNode() override { return node; }
  void setCurrentNode(MemoNodeUI* n) override { node = n; }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* n) override { return node = n; }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* h) override { return holder = h; }
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* h) override { return holder = h; }
  int loadHolder(MemoHolderUI*) override { return 0; }
  bool checkUIReadOnly() override { return false; }
  bool checkHolderReadOnly() override {
    if (!holder) return true;
    if (holderReadOnly) statuses.push_back("This MemoHolder is Read Only. (" + holder->name() + ")");
    return holderReadOnly;
  }
  bool isUIReadOnly() override { return false; }
  bool isUIInternet() override { return true; }
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
  bool isBreak() const override { return breakAsked; }
  int addLog_(const std::string& text) override {
    log.push_back(text);
    return static_cast<int>(log.size());
  }
  void addLogTS(const std::string& text) override { log.push_back(text); }
  int addLogStrings(const StringList& lines) override {
    for (const auto& l : lines) log.push_back(l.text);
    return static_cast<int>(log.size());
  }
  std::string nowString() override { return "20261206 120000"; }
  int shouldNotExecute(const std::string&) override { return kResultShouldNotExecute; }
  int stillNotImplemented(const std::string&) override { return kResultNotImplemented; }
  int UI2Model() override { return ++commits; }
  void Model2UI() override { ++shows; }
  void refreshHolderView() override { ++refreshes; }
  TFrameMemoHolder* getHolderFrame() override { return nullptr; }
  TFrameMemoNode* getNodeFrame() override { return nullptr; }
  std::string getUserName() override { return "tester"; }
  std::string getVersion() override { return "test"; }
  std::string getTempDir() override { return "/tmp"; }
  AgentAPLAbs* getAgent() override { return nullptr; }
};

}  // namespace wux::test

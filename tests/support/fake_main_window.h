#pragma once
// A main window for frame tests: it records the status line and answers the Internet
// query from one switch. Everything else does nothing.
#include <string>
#include <vector>

#include "model/objects.h"
#include "model/text/StringList.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

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

  bool internet = false;
  bool breakFlag = false;
  std::vector<std::string> statuses;
  std::vector<std::string> notImplemented;
  Agent agent{*this};

  std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

  MemoFileUI* getMemoFile() override { return nullptr; }
  MemoHolderUI* getCurrentHolder() override { return nullptr; }
  MemoNodeUI* getCurrentNode() override { return nullptr; }
  void setCurrentNode(MemoNodeUI*) override {}
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* node) override { return node; }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* holder) override { return holder; }
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* holder) override { return holder; }
  int loadHolder(MemoHolderUI*) override { return 0; }
  MemoHolderUI* newHolder_(int) override { return nullptr; }
  bool checkUIReadOnly() override { return false; }
  bool checkHolderReadOnly() override { return false; }
  bool isUIReadOnly() override { return false; }
  bool isUIInternet() override { return internet; }
  bool isDoing_() override { return false; }
  void beginDoing_(const std::string&) override {}
  void messageDoing_(const std::string& text) override { statuses.push_back(text); }
  void endDoing_(const std::string&) override {}
  void endDoing() override {}
  bool isBreak() const override { return false; }
  int addLog_(const std::string&) override { return 0; }
  void addLogTS(const std::string&) override {}
  int addLogStrings(const StringList&) override { return 0; }
  std::string nowString() override { return ""; }
  int shouldNotExecute(const std::string&) override { return kResultShouldNotExecute; }
  int stillNotImplemented(const std::string& name) override {
    notImplemented.push_back(name);
    return kResultNotImplemented;
  }
  int UI2Model() override { return 0; }
  void Model2UI() override {}
  void refreshHolderView() override {}
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

  CommandTable table;
  StringList history;
  std::string dateFormat = "\"yyyymmdd\"";
};

}  // namespace wux::test

#pragma once
// A script desktop for tests: events are callbacks the test queues; every call is
// recorded.
#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "script/ScriptDesktop.h"

namespace wux {

class FakeDesktop : public ScriptDesktop {
 public:
  std::function<void()> onProcessMessages;   // called by every processMessages
  std::deque<std::function<void()>> events;  // waitForMessages runs the next one
  std::deque<std::string> inputs;            // answers of inputBox; empty: cancelled
  std::deque<int> boxAnswers;                // answers of messageBox; empty: IDOK
  int shellResult = 42;
  int pumps = 0;
  std::vector<std::string> asked;  // "input:..", "box:..", "shell:.." records
  std::vector<std::uint32_t> sleeps;

  void processMessages() override {
    ++pumps;
    if (onProcessMessages) onProcessMessages();
  }
  // Throws when the test queued no event (a wait that would block forever).
  void waitForMessages() override {
    if (events.empty()) throw std::logic_error("FakeDesktop: waiting with no event queued");
    auto ev = std::move(events.front());
    events.pop_front();
    ev();
  }
  bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) override {
    asked.push_back("input:" + caption + "|" + prompt + "|" + value);
    if (inputs.empty()) return false;
    value = inputs.front();
    inputs.pop_front();
    return true;
  }
  int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) override {
    asked.push_back("box:" + text + "|" + caption + "|" + std::to_string(flags));
    if (boxAnswers.empty()) return 1;
    int a = boxAnswers.front();
    boxAnswers.pop_front();
    return a;
  }
  int shellOpen(const std::string& path, const std::string& params) override {
    asked.push_back("shell:" + path + "|" + params);
    return shellResult;
  }
  void sleep(std::uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
};

}  // namespace wux

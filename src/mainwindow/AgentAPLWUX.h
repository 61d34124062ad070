#pragma once
// The main window's agent: how model and frame code reaches the window (break flag,
// status line, named queries) without knowing it.
#include "model/objects.h"

namespace wux {

class MainWindowApi;

class AgentAPLWUX : public AgentAPLAbs {
 public:
  explicit AgentAPLWUX(MainWindowApi* form) : form_(form) {}
  void detach() { form_ = nullptr; }

  bool isBreak() override;
  int messageDoing_(const std::string& text) override;
  int query_(const std::string& key, std::string& value) override;

 private:
  MainWindowApi* form_;
};

}  // namespace wux

#include "mainwindow/AgentAPLWUX.h"

#include "views/MainWindowApi.h"

namespace wux {

bool AgentAPLWUX::isBreak() { return form_ && form_->isBreak(); }

int AgentAPLWUX::messageDoing_(const std::string& text) {
  if (form_) form_->messageDoing_(text);
  return 0;
}

int AgentAPLWUX::query_(const std::string& key, std::string& value) {
  std::function<bool()> internetOn;
  if (MainWindowApi* form = form_) internetOn = [form] { return form->isUIInternet(); };
  return answerQuery_(key, value, internetOn);
}

}  // namespace wux

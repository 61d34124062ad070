#include "mainwindow/AgentAPLWUX.h"

#include "model/strutil.h"
#include "views/MainWindowApi.h"

namespace wux {

bool AgentAPLWUX::isBreak() { return form_ && form_->isBreak(); }

int AgentAPLWUX::messageDoing_(const std::string& text) {
  if (form_) form_->messageDoing_(text);
  return 0;
}

int AgentAPLWUX::query_(const std::string& key, std::string& value) {
  if (!form_) return 0;
  value = key == "getUIInternet" ? BoolToText(form_->isUIInternet()) : "";
  return 0;
}

}  // namespace wux

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
  // An unknown key, or no window, answers the empty text: never what the caller held.
  value.clear();
  if (form_ && key == "getUIInternet") value = BoolToText(form_->isUIInternet());
  return 0;
}

}  // namespace wux

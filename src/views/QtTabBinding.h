#pragma once
// The notebook tabs of the program: a QTabBar kept in step with the document.
#include <QTabBar>

#include "views/TabBinding.h"

namespace wux {

class QtTabBinding : public TabBinding {
 public:
  explicit QtTabBinding(QTabBar* bar) : bar_(bar) {}
  void setTabs(const std::vector<std::string>& captions) override;
  void selectTab(int index) override;
  int tabCount() const override { return bar_->count(); }
  // True while the document changes the tabs (not the user).
  bool updating() const { return updating_; }

 private:
  QTabBar* bar_;
  bool updating_ = false;
};

}  // namespace wux

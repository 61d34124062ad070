#pragma once
// How the document keeps a row of notebook tabs in step: a QTabBar in the program, a
// fake in tests. Tab i always stands for notebook i.
#include <string>
#include <vector>

namespace wux {

class TabBinding {
 public:
  virtual ~TabBinding() = default;
  virtual void setTabs(const std::vector<std::string>& captions) = 0;  // Shift_JIS
  virtual void selectTab(int index) = 0;
  virtual int tabCount() const = 0;
};

}  // namespace wux

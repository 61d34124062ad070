#include "views/QtTabBinding.h"

#include "views/qtext.h"

namespace wux {

void QtTabBinding::setTabs(const std::vector<std::string>& captions) {
  updating_ = true;
  const int keep = bar_->currentIndex();
  while (bar_->count() > static_cast<int>(captions.size())) bar_->removeTab(bar_->count() - 1);
  for (size_t i = 0; i < captions.size(); ++i) {
    const int n = static_cast<int>(i);
    if (n < bar_->count())
      bar_->setTabText(n, toQ(captions[i]));
    else
      bar_->addTab(toQ(captions[i]));
  }
  if (keep >= 0 && keep < bar_->count()) bar_->setCurrentIndex(keep);
  updating_ = false;
}

void QtTabBinding::selectTab(int index) {
  if (index < 0 || index >= bar_->count()) return;
  updating_ = true;
  bar_->setCurrentIndex(index);
  updating_ = false;
}

}  // namespace wux

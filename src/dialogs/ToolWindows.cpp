#include "dialogs/ToolWindows.h"

#include <exception>

#include "views/MainWindowApi.h"

namespace wux {

ToolWindows::~ToolWindows() {
  delete browser_.data();
  delete contentView_.data();
  delete tagViewer_.data();
}

TFormWB* ToolWindows::browser() {
  if (!browser_) browser_ = new TFormWB(parent_);
  return browser_.data();
}

TFormContentView* ToolWindows::contentView() {
  if (!contentView_) contentView_ = new TFormContentView(parent_);
  return contentView_.data();
}

TFormTAGLParser* ToolWindows::tagViewer() {
  if (!tagViewer_) tagViewer_ = new TFormTAGLParser(parent_);
  return tagViewer_.data();
}

int showFormWB(MainWindowApi& w, ToolWindows& windows) {
  try {
    TFormWB* wb = windows.browser();
    wb->setWindowState(Qt::WindowNoState);
    wb->show();
    wb->raise();
    w.messageDoing_("Show FormWB " + w.nowString());
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("Failure: FormWB.create.");
    return kResultFailed;
  }
}

int showContentView(MainWindowApi& w, ToolWindows& windows) {
  TFormContentView* view = windows.contentView();
  view->setMainWindow(&w);
  view->show();
  view->raise();
  view->UpdateClick();
  return 0;
}

int showTagViewer(MainWindowApi& w, ToolWindows& windows, std::function<ParsedFile()> lastParsed) {
  TFormTAGLParser* viewer = windows.tagViewer();
  viewer->setMainWindow(&w, std::move(lastParsed));
  viewer->show();
  viewer->raise();
  return 0;
}

}  // namespace wux

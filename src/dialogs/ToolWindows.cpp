#include "dialogs/ToolWindows.h"

#include <exception>

#include "platform/files.h"
#include "views/MainWindowApi.h"

namespace wux {

ToolWindows::~ToolWindows() {
  delete about_.data();
  delete browser_.data();
  delete contentView_.data();
  delete tagViewer_.data();
}

TFormAbout* ToolWindows::about() {
  if (!about_) about_ = new TFormAbout(parent_);
  return about_.data();
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

std::string ToolWindows::aboutImageFile(const std::string& exeDir, const std::string& setting) {
  for (const char* name : {"wux.jpg", "wux.bmp"})
    if (platform::fileExists(exeDir + name)) return exeDir + name;
  if (!setting.empty() && platform::fileExists(setting)) return setting;
  return std::string();
}

int showFormAbout(MainWindowApi& w, ToolWindows& windows, int ms) {
  try {
    TFormAbout* about = windows.about();
    const std::string image = ToolWindows::aboutImageFile(w.getExeDir(), std::string());
    about->setAboutImage_(image.empty() ? w.getExeDir() + "wux.jpg" : image);
    about->showAbout_(ms);
    w.messageDoing_("Done: Show FormAbout. Close After 5 seconds.");
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: FormAbout = nil in getFormAbout.");
    return kResultFailed;
  }
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

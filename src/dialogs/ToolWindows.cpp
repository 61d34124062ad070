#include "dialogs/ToolWindows.h"

#include <exception>

#include "model/records/MemoHolder.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"
#include "views/OwnedWindow.h"

namespace wux {

ToolWindows::~ToolWindows() {
  delete browser_.data();
  delete contentView_.data();
  delete tagViewer_.data();
}

TFormWB* ToolWindows::browser() {
  if (!browser_) {
    browser_ = new TFormWB(parent_);
    if (parent_) browser_->setFont(parent_->window()->font());
  }
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
    // Its size stays as made; each showing puts it on the main window, wholly on the
    // screen (a manager may otherwise open it partly below the screen's bottom).
    ownWindow(*wb, windows.owner(), WindowPlace::OnOwner, true);
    wb->TFrameWB1()->setOwnerWindow(&w);
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

int showFormWBURL(MainWindowApi& w, ToolWindows& windows, const std::string& text, const std::string& title) {
  if (sjis::trim(text).empty()) {
    w.messageDoing_("Cancel: Memo is nothing in UIMemo2WB.");
    return kResultFailed;
  }
  if (int r = showFormWB(w, windows); r != 0) return r;
  TFrameWB* frame = windows.browser()->TFrameWB1();
  frame->loadFromString_(text);
  frame->setLocation_(title);
  return 0;
}

namespace {

// The type a browser knows an icon by.
std::string browserMimeType(const std::string& type) {
  const std::string t = sjis::lower(type);
  return t == "image/ico" ? "image/x-icon" : t;
}

// A picture note that links to its file: a local file that exists or a web address.
int showLinkedPicture(MainWindowApi& w, TFrameWB* frame, const std::string& name) {
  if (platform::isAbsolutePath(name) || (name.size() > 1 && name[1] == ':')) {
    if (std::string why; platform::fileState(name, &why) != platform::FileState::Regular) {
      w.messageDoing_(why.empty() ? "Not Found " + name : "Failure: " + why);
      return kResultFailed;
    }
    frame->navigateAddress_(name);
    return 0;
  }
  const std::string head = sjis::lower(name.substr(0, 5));
  if (head == "http:" || head == "https") {
    frame->navigateAddress_(name);
    return 0;
  }
  w.messageDoing_("Cancel: BAT Filename " + name);
  return kResultFailed;
}

}  // namespace

int memoNode2WB(MainWindowApi& w, ToolWindows& windows) {
  w.UI2Model();
  MemoNodeUI* node = w.getCurrentNode();
  if (!w.getHolderFrame() || !node) return kResultFailed;
  const std::string type = Dequote(node->getContentType_());
  const std::string enc = Dequote(node->getTransferEncoding_());
  std::string name = sjis::trim(Dequote(node->getField_("Filename")));
  const bool link = node->getField_("FlagLink") == "\"true\"";
  if (sjis::startsWith(name, ".")) {
    MemoHolder* holder = node->getParentHolder_();
    name = platform::resolvePath(name, holder ? platform::dirOf(holder->getFileName_()) : std::string());
  }
  if (enc == "URL") {
    if (name.empty()) return showFormWBURL(w, windows, node->body().text(), node->name());
    if (int r = showFormWB(w, windows); r != 0) return r;
    windows.browser()->TFrameWB1()->navigateAddress_(name);
    return 0;
  }
  if (sjis::startsWith(sjis::lower(type), "image")) {
    if (int r = showFormWB(w, windows); r != 0) return r;
    TFrameWB* frame = windows.browser()->TFrameWB1();
    if (link) return showLinkedPicture(w, frame, name);
    const TContent* content = node->content();
    const std::string* data = content ? content->data() : nullptr;
    if (!data || data->empty()) {
      w.messageDoing_("Cancel: Stream is empty.");
      return kResultFailed;
    }
    frame->loadContent_(*data, browserMimeType(type));
    frame->setLocation_(node->name());
    return 0;
  }
  // The editor was just committed: the note's text is the editor's.
  return showFormWBURL(w, windows, node->body().text(), node->name());
}

int selected2WB(MainWindowApi& w, ToolWindows& windows) {
  TFrameMemoHolder* holder = w.getHolderFrame();
  MemoNodeUI* node = w.getCurrentNode();
  if (!holder || !node) return kResultFailed;
  return showFormWBURL(w, windows, holder->FrameMemoNode1()->activeSelText_(), "Selected: " + node->name());
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

#pragma once
// The single-instance windows the main window opens: the web browser window, the
// content view and the tag viewer. Each is made on first use and kept.
#include <QPointer>
#include <functional>
#include <string>

#include "dialogs/SmallWindows.h"
#include "dialogs/TagViewer.h"

namespace wux {

class MainWindowApi;

class ToolWindows {
 public:
  // With a parent, the windows go when it goes; whatever is left goes with this.
  explicit ToolWindows(QWidget* parent = nullptr) : parent_(parent) {}
  ~ToolWindows();
  ToolWindows(const ToolWindows&) = delete;
  ToolWindows& operator=(const ToolWindows&) = delete;

  TFormWB* browser();
  TFormContentView* contentView();
  TFormTAGLParser* tagViewer();
  bool hasTagViewer() const { return tagViewer_ != nullptr; }
  QWidget* owner() const { return parent_; }

 private:
  QWidget* parent_;
  QPointer<TFormWB> browser_;
  QPointer<TFormContentView> contentView_;
  QPointer<TFormTAGLParser> tagViewer_;
};

// The commands' work, each answering as its command does.
int showFormWB(MainWindowApi& w, ToolWindows& windows);
// The browser window showing `text` as a page, `title` on its location line: -1 for a
// blank text.
int showFormWBURL(MainWindowApi& w, ToolWindows& windows, const std::string& text, const std::string& title);
// The current note in the browser window: its address, its picture or its text.
int memoNode2WB(MainWindowApi& w, ToolWindows& windows);
// The editor's selected text in the browser window.
int selected2WB(MainWindowApi& w, ToolWindows& windows);
int showContentView(MainWindowApi& w, ToolWindows& windows);
int showTagViewer(MainWindowApi& w, ToolWindows& windows, std::function<ParsedFile()> lastParsed);

}  // namespace wux

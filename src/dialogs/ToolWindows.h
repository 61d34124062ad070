#pragma once
// The single-instance windows the main window opens: the web browser window, the
// content view and the tag viewer. Each is made on first use and kept.
#include <QPointer>
#include <functional>

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

 private:
  QWidget* parent_;
  QPointer<TFormWB> browser_;
  QPointer<TFormContentView> contentView_;
  QPointer<TFormTAGLParser> tagViewer_;
};

// The commands' work, each answering as its command does.
int showFormWB(MainWindowApi& w, ToolWindows& windows);
int showContentView(MainWindowApi& w, ToolWindows& windows);
int showTagViewer(MainWindowApi& w, ToolWindows& windows, std::function<ParsedFile()> lastParsed);

}  // namespace wux

#pragma once
// Small windows around the main window: the content view and the web browser window.
#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTreeWidget;

namespace wux {

class MainWindowApi;
class TFrameWB;
class WebBrowser;

// Shows the current note by its content type: the text, an HTML page, a JPEG picture;
// any other type shows nothing.
class TFormContentView : public QWidget {
  Q_OBJECT
 public:
  explicit TFormContentView(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { main_ = w; }

  void UpdateClick();
  // Which view shows: "memo", "web", "tree", "image" or "" (none).
  std::string shownView() const;

  QLabel* StaticText1() const { return name_; }
  QLabel* Image1() const { return image_; }
  QPlainTextEdit* Memo1() const { return memo_; }
  QTreeWidget* TreeView1() const { return tree_; }
  TFrameWB* WebBrowser1() const { return web_; }

 private:
  TFrameWB* ensureWeb();

  MainWindowApi* main_ = nullptr;
  QWidget* area_;
  QLabel* name_;
  QLabel* image_;
  QPlainTextEdit* memo_;
  QTreeWidget* tree_;
  TFrameWB* web_ = nullptr;
};

// A window that hosts the web page frame; its status texts go to its status bar.
class TFormWB : public QWidget {
  Q_OBJECT
 public:
  explicit TFormWB(QWidget* parent = nullptr, WebBrowser* browser = nullptr);
  TFrameWB* TFrameWB1() const { return frame_; }
  QStatusBar* StatusBar1() const { return status_; }
  void messageStatus_(const std::string& text);
  std::string statusText() const;

 private:
  TFrameWB* frame_;
  QStatusBar* status_;
};

}  // namespace wux

#pragma once
// Small windows around the main window: the content view, the about box and the web
// browser window.
#include <QPixmap>
#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTimer;
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

// The splash and about box: a picture (or, without one, the file name in large type)
// that closes itself when its countdown runs out.
class TFormAbout : public QWidget {
  Q_OBJECT
 public:
  explicit TFormAbout(QWidget* parent = nullptr);
  // 0 when the ".jpg" or ".bmp" file was shown; -1 otherwise (the name is shown instead).
  int setAboutImage_(const std::string& path);
  // Shows the box for `ms` milliseconds.
  void showAbout_(int ms);
  // One timer tick (the timer calls it every 200 ms).
  void Timer1Timer();
  int countdown() const { return countdown_; }
  bool timerOn() const;
  void toggleTimer();

  QLabel* Image1() const { return image_; }
  QLabel* Label1() const { return label_; }
  QTimer* Timer1() const { return timer_; }

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void scalePicture();
  QLabel* image_;
  QLabel* label_;
  QTimer* timer_;
  QPixmap picture_;
  int countdown_ = 3000;
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

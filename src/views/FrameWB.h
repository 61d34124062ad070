#pragma once
// The web page frame: a browser with back, forward, reload, stop and home buttons and
// the location line. The note editor shows "URL" notes and GIF pictures in it. The page
// is rendered by the installed browser engine (WebBrowser.h); reads of the page (source,
// links) wait for the engine for a bounded time and report a timeout as a failure.
#include <QWidget>
#include <functional>
#include <string>

#include "model/text/StringList.h"

class QLabel;
class QPushButton;

namespace wux {

class MainWindowApi;
class MemoNode;
class TFrameMemoNode;
class WebBrowser;

class TFrameWB : public QWidget {
  Q_OBJECT
 public:
  // Takes `browser` (made from the installed engine when null).
  explicit TFrameWB(QWidget* parent = nullptr, WebBrowser* browser = nullptr);

  void setHost(TFrameMemoNode* host) { host_ = host; }
  TFrameMemoNode* host() const { return host_; }
  // The main window whose Internet switch a frame without a note editor follows.
  void setOwnerWindow(MainWindowApi* owner) { owner_ = owner; }
  // The note whose page a frame without a note editor shows next: the page's relative
  // addresses count from its notebook's folder.
  void setShownNote_(const MemoNode* node);
  // Where status texts go when no note editor hosts the frame (a window of its own).
  void setMessageSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  // Shows a Shift_JIS HTML text as the document. Result 0.
  int loadFromString_(const std::string& html);
  int loadFromStream_(const std::string& bytes) { return loadFromString_(bytes); }
  // Shows bytes of another type (a GIF picture) as the document.
  void loadContent_(const std::string& bytes, const std::string& mimeType);
  // The page's source as Shift_JIS into `out`: its size, or -1 without a document or
  // when the engine did not answer in time (reported).
  long long saveToStream_(std::string& out);
  void navigate_(const std::string& path);
  void navigateFilename_();
  // Goes to a full path or an address, host or not (the browser window's way).
  void navigateAddress_(const std::string& address);
  // Appends the address of every link of the page; the count, or -1 as above.
  int getLinkList_(StringList& list);
  void openInExternalBrowser_(const std::string& url);
  void message_(const std::string& text);
  void setCursor_(int cursor);
  // The location line; the note editor writes "*Memo*" there for a note's own page.
  void setLocation_(const std::string& text);
  std::string location() const;

  // The page shown in place of an Internet address while Internet access is off:
  // "Offinternet.html" in the program's folder.
  void showOffline_();

  // Buttons and menus.
  void GoBackBtnClick();
  void GoForwardBtnClick();
  void ReLoadBtnClick();
  void StopBtnClick();
  void HomeBtnClick();
  void NewNodeBtnClick();
  void NewURLBtnClick();
  void IEBtnClick();
  void SaveAsClick();
  void CopyLocationClick();

  QPushButton* GoBackBtn() const { return back_; }
  QPushButton* GoForwardBtn() const { return forward_; }
  QPushButton* StopBtn() const { return stop_; }
  QLabel* StaticText1() const { return location_; }
  WebBrowser* browser() const { return browser_; }

  // How long reads of the page wait for the engine.
  static int readTimeoutMs;

 protected:
  // The wheel scrolls the page; it must not reach the notebook view and change notes.
  void wheelEvent(QWheelEvent* e) override;

 private:
  void commandStateChange();
  void documentComplete(bool ok);
  bool internetOn() const;
  // The folder of the notebook whose note the frame shows; empty for none.
  std::string notebookFolder() const;
  // Tells the engine that folder before a load: the page may load scripts from there.
  void applyNotebookFolder();
  // False, said, when the page shown has no address (a note's own page).
  bool hasAddress();
  void showLocation(const std::string& text);
  // A read of the page shown (its source, character set or links); false, reported,
  // when the engine did not answer in time.
  template <class T>
  bool readPage(void (WebBrowser::*read)(std::function<void(const T&)>), T& out);

  TFrameMemoNode* host_ = nullptr;
  MainWindowApi* owner_ = nullptr;
  std::string shownFolder_;
  std::function<void(const std::string&)> sink_;
  WebBrowser* browser_;
  // The last document asked for was a text, not an address; the location line its host
  // then set is shown again whenever that document is.
  bool fromText_ = false;
  std::string givenLocation_;
  // The address asked for last, until its load finished.
  std::string asked_;
  QPushButton* back_;
  QPushButton* forward_;
  QPushButton* stop_;
  QLabel* location_;
};

}  // namespace wux

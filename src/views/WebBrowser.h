#pragma once
// The browser engine behind the web page frame. The frame's logic (paths, history
// buttons, the Internet switch, reading pages back) talks only to this interface, so it
// runs against a fake in tests; the program installs the real engine at start-up. Without
// one installed, a plain stand-in shows HTML and local files only.
#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>

class QWidget;

namespace wux {

class WebBrowser : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // The widget that renders pages; owned by the browser's parent widget.
  virtual QWidget* widget() = 0;

  // Shows `data` as a document of the MIME type given ("text/html;charset=Shift_JIS",
  // "image/gif"); relative links resolve against `base`. Any size is shown whole.
  virtual void setContent(const QByteArray& data, const QString& mimeType, const QUrl& base) = 0;
  virtual void navigate(const QUrl& url) = 0;
  virtual void back() = 0;
  virtual void forward() = 0;
  virtual void reload() = 0;
  virtual void stop() = 0;
  virtual void home() = 0;

  virtual bool canGoBack() const = 0;
  virtual bool canGoForward() const = 0;
  virtual bool isBusy() const = 0;
  // False until a first document was asked for.
  virtual bool hasDocument() const = 0;
  // True while the page shown is the document last given to `setContent` (a note's own
  // page, a picture), which has no address of its own; false once a link, an address or
  // the history led elsewhere.
  virtual bool showsGivenContent() const = 0;
  virtual QUrl url() const = 0;

  // Reads of the page shown; the answer comes later, on the GUI thread, or never when
  // the page goes away first.
  virtual void readSource(std::function<void(const QString&)> done) = 0;
  // The character set the page was decoded with ("UTF-8", "Shift_JIS", ...); an engine
  // that cannot tell answers an empty text, and the page counts as Shift_JIS.
  virtual void readCharset(std::function<void(const QString&)> done) { done(QString()); }
  // The addresses of the page's "a" elements that carry an address, in document order.
  virtual void readLinks(std::function<void(const QStringList&)> done) = 0;

  // With Internet off, the engine refuses every http:, https:, ws: and ftp: request,
  // loopback addresses included; local pages and files still load. The switch is asked
  // at each request: a page shown while Internet was on sends nothing once it is turned
  // off. Off until a switch is given.
  void setInternetSwitch(std::function<bool()> on) { internetSwitch_ = std::move(on); }
  void setInternetAllowed(bool allowed) {
    setInternetSwitch([allowed] { return allowed; });
  }
  bool internetAllowed() const { return internetSwitch_ && internetSwitch_(); }
  // The folder of the notebook whose note shows the next page (empty for none): a local
  // page of that note may load scripts and style sheets from there too.
  virtual void setNotebookFolder(const QString& folder) { (void)folder; }

 signals:
  void loadStarted();
  void loadFinished(bool ok);
  // Back, forward or busy may have changed.
  void stateChanged();

 private:
  std::function<bool()> internetSwitch_;
};

using WebBrowserFactory = std::function<WebBrowser*(QWidget* parent)>;
// Installs the engine the web frames are made with; an empty factory restores the
// stand-in. Returns the previous factory.
WebBrowserFactory setWebBrowserFactory(WebBrowserFactory factory);
WebBrowser* makeWebBrowser(QWidget* parent);

}  // namespace wux

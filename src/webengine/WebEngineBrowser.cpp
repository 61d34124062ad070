#include "webengine/WebEngineBrowser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <cstdlib>
#include <memory>
#include <utility>

#include "views/WebBrowser.h"
#include "webengine/LocalPages.h"
#include "webengine/PeerConnections.h"

namespace wux {

namespace {

// Every address that leaves the machine or reaches a server, loopback included.
bool isInternet(const QUrl& url) {
  const QString s = url.scheme().toLower();
  return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ws") ||
         s == QLatin1String("wss") || s == QLatin1String("ftp");
}

// Guards one page's requests: Internet requests are refused while its frame's switch is
// off (the page's scripts, images and redirects too, not only its first address), and
// requests of local files and pages follow the local pages' rules.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
 public:
  RequestGuard(WebBrowser* browser, QObject* parent)
      : QWebEngineUrlRequestInterceptor(parent), browser_(browser) {}
  // The folder of the notebook whose note shows the page (a path; empty for none).
  QString notebookFolder;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl& url = info.requestUrl();
    if (isInternet(url) && !(browser_ && browser_->internetAllowed())) info.block(true);
    else if (url.isLocalFile() || localpages::isLocalPage(url))
      localpages::admitLocal(info, info.firstPartyUrl(), notebookFolder);
  }

 private:
  QPointer<WebBrowser> browser_;
};

// Engine switches the program needs, added to those the user gives. Both hold for the
// whole process: no page reads back what a canvas drew (a local picture draws on it
// untainted), and peer connections never use UDP (their traffic bypasses the guard).
const char* const kEngineSwitches[] = {"--disable-reading-from-canvas",
                                       "--force-webrtc-ip-handling-policy=disable_non_proxied_udp"};

// A frame never shows a blob the page made: its document would share the page's origin,
// and the page could reach its window before the engine has run the peer connection
// guard in it (a frame's srcdoc, the other such document, is isolated by the guard).
class Page : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    return isMainFrame || url.scheme() != QLatin1String("blob");
  }
};

// Above this the engine does not take a page inline (it travels as a data address).
constexpr qsizetype kInlineLimit = 1536 * 1024;

class WebEngineBrowser : public WebBrowser {
 public:
  explicit WebEngineBrowser(QWidget* parent) : WebBrowser(parent), view_(new QWebEngineView(parent)) {
    page_ = new Page(view_);
    guard_ = new RequestGuard(this, page_);
    page_->setUrlRequestInterceptor(guard_);
    page_->scripts().insert(peerConnectionGuard());
    QWebEngineSettings* s = page_->settings();
    // Local pages show under the program's own scheme (LocalPages.h); a folder listed
    // by the engine itself stays a file: page, which must not read other origins.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
    view_->setPage(page_);
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
      busy_ = true;
      emit loadStarted();
      emit stateChanged();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
      busy_ = false;
      if (std::exchange(givenPending_, false)) given_ = page_->url();
      emit stateChanged();
      emit loadFinished(ok);
    });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::stateChanged);
  }

  QWidget* widget() override { return view_; }

  ~WebEngineBrowser() override { localpages::forget(served_); }

  void setContent(const QByteArray& data, const QString& mimeType, const QUrl& base) override {
    hasDocument_ = true;
    localpages::forget(served_);
    served_ = QUrl();
    given_ = QUrl();
    givenPending_ = true;
    // A page that belongs in a folder is served as a local page there; so is one too
    // large for the engine to take inline.
    if (base.isLocalFile() || data.size() > kInlineLimit) {
      served_ = localpages::serve(data, mimeType, base);
      given_ = served_;
      givenPending_ = false;
      page_->load(served_);
      return;
    }
    page_->setContent(data, mimeType, base);
  }

  void navigate(const QUrl& url) override {
    hasDocument_ = true;
    givenPending_ = false;
    page_->load(url);
  }
  void back() override { page_->triggerAction(QWebEnginePage::Back); }
  void forward() override { page_->triggerAction(QWebEnginePage::Forward); }
  void reload() override { page_->triggerAction(QWebEnginePage::Reload); }
  void stop() override { page_->triggerAction(QWebEnginePage::Stop); }
  void home() override { navigate(QUrl(QStringLiteral("about:blank"))); }
  bool canGoBack() const override { return page_->history()->canGoBack(); }
  bool canGoForward() const override { return page_->history()->canGoForward(); }
  bool isBusy() const override { return busy_; }
  bool hasDocument() const override { return hasDocument_; }
  bool showsGivenContent() const override {
    // A reload shows a local page under a new host, a link within it adds a fragment:
    // the same document all the same.
    auto document = [](QUrl url) {
      if (localpages::isLocalPage(url)) url.setHost(QString());
      return url.adjusted(QUrl::RemoveFragment);
    };
    return givenPending_ || (given_.isValid() && document(page_->url()) == document(given_));
  }
  QUrl url() const override { return localpages::toFile(page_->url()); }

  void readSource(std::function<void(const QString&)> done) override {
    page_->toHtml([done = std::move(done)](const QString& html) { done(html); });
  }
  void readCharset(std::function<void(const QString&)> done) override {
    page_->runJavaScript(QStringLiteral("document.characterSet"),
                         [done = std::move(done)](const QVariant& v) { done(v.toString()); });
  }
  void readLinks(std::function<void(const QStringList&)> done) override {
    page_->runJavaScript(
        QStringLiteral("Array.prototype.filter.call(document.links, function (e) { return e.tagName === 'A'; })"
                       ".map(function (e) { return e.href; })"),
        [done = std::move(done)](const QVariant& v) {
          QStringList links;
          for (const QString& l : v.toStringList())
            links << (localpages::isLocalPage(QUrl(l)) ? localpages::toFile(QUrl(l)).toString(QUrl::FullyEncoded) : l);
          done(links);
        });
  }

  void setNotebookFolder(const QString& folder) override { guard_->notebookFolder = folder; }

 private:
  QWebEngineView* view_;
  QWebEnginePage* page_;
  RequestGuard* guard_;
  QUrl served_;
  // The address the engine gave the content last given, once it is shown.
  QUrl given_;
  bool givenPending_ = false;
  bool busy_ = false;
  bool hasDocument_ = false;
};

// The engine's view draws through the graphics card: the first one shown in a window
// makes the toolkit give that window a new native window, which the window manager
// would place anew. A window placed once (it moved since it was shown) keeps the place
// and size it had; one shown for the first time is the window manager's to place.
class WindowPlaceKeeper : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if ((type != QEvent::WinIdChange && type != QEvent::Move) || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!w->isWindow() || !w->isVisible()) return false;
    if (type == QEvent::Move)
      w->setProperty(kPlaced, true);
    else if (w->property(kPlaced).toBool())
      w->setGeometry(w->geometry());  // before the new native window is made, for its hints
    return false;
  }

 private:
  static constexpr const char* kPlaced = "wuxPlaced";
};

}  // namespace

void prepareWebEngine() {
  if (!QCoreApplication::instance()) QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  const char* given = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
  QByteArray flags = given ? QByteArray(given) : QByteArray();
  const QList<QByteArray> words = flags.split(' ');
  for (const char* s : kEngineSwitches)
    if (!words.contains(QByteArray(s))) flags += (flags.isEmpty() ? "" : " ") + QByteArray(s);
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.constData(), 1);
  localpages::registerScheme();
}

void installWebEngine() {
  localpages::installHandler();
  static WindowPlaceKeeper* keeper = nullptr;
  if (!keeper) {
    keeper = new WindowPlaceKeeper(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(keeper);
  }
  setWebBrowserFactory([](QWidget* parent) -> WebBrowser* { return new WebEngineBrowser(parent); });
}

}  // namespace wux

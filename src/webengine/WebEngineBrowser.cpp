#include "webengine/WebEngineBrowser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <cstdlib>
#include <memory>

#include "views/WebBrowser.h"

namespace wux {

namespace {

// Every address that leaves the machine or reaches a server, loopback included.
bool isInternet(const QUrl& url) {
  const QString s = url.scheme().toLower();
  return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ws") ||
         s == QLatin1String("wss") || s == QLatin1String("ftp");
}

// What a page may take from the user's files. A page shows the pictures, style sheets,
// scripts, fonts and media beside it as a browser does; a script never reads a file's
// content itself (XMLHttpRequest, fetch, workers, objects), and a frame shows only files
// in the page's own folder or below, since a page's script can read what its frames show.
// `page` is the address the page belongs to.
bool fileRequestAllowed(const QWebEngineUrlRequestInfo& info, const QUrl& page) {
  using R = QWebEngineUrlRequestInfo;
  switch (info.resourceType()) {
    case R::ResourceTypeMainFrame:
    case R::ResourceTypeStylesheet:
    case R::ResourceTypeScript:
    case R::ResourceTypeImage:
    case R::ResourceTypeFontResource:
    case R::ResourceTypeMedia:
    case R::ResourceTypeFavicon:
      return true;
    case R::ResourceTypeSubFrame: {
      if (!page.isLocalFile()) return false;
      QString folder = page.adjusted(QUrl::RemoveFilename | QUrl::NormalizePathSegments).path();
      if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
      return info.requestUrl().adjusted(QUrl::NormalizePathSegments).path().startsWith(folder);
    }
    default:
      return false;
  }
}

// Guards one page's requests: Internet requests are refused while its frame's switch is
// off (the page's scripts, images and redirects too, not only its first address), and
// requests of local files as above.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  bool allowed = false;
  // A page too large to take inline is shown from a temporary file; it belongs where
  // its base address says (nowhere when empty), not in the temporary folder.
  QUrl tempPage;
  QUrl tempBase;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl& url = info.requestUrl();
    const QUrl page = info.firstPartyUrl() == tempPage ? tempBase : info.firstPartyUrl();
    if (!allowed && isInternet(url)) info.block(true);
    else if (url.isLocalFile() && !fileRequestAllowed(info, page)) info.block(true);
  }
};

// Above this the engine does not take a page inline (it travels as a data address);
// larger pages are shown from a temporary file.
constexpr qsizetype kInlineLimit = 1536 * 1024;

class WebEngineBrowser : public WebBrowser {
 public:
  explicit WebEngineBrowser(QWidget* parent) : WebBrowser(parent), view_(new QWebEngineView(parent)) {
    page_ = new QWebEnginePage(view_);
    guard_ = new RequestGuard(page_);
    page_->setUrlRequestInterceptor(guard_);
    QWebEngineSettings* s = page_->settings();
    // Local pages take what sits beside them and, with Internet on, remote pictures and
    // styles as a browser does; the guard keeps their scripts from reading the files.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
    view_->setPage(page_);
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
      busy_ = true;
      emit loadStarted();
      emit stateChanged();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
      busy_ = false;
      emit stateChanged();
      emit loadFinished(ok);
    });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::stateChanged);
  }

  QWidget* widget() override { return view_; }

  void setContent(const QByteArray& data, const QString& mimeType, const QUrl& base) override {
    hasDocument_ = true;
    if (data.size() <= kInlineLimit) {
      temp_.reset();
      page_->setContent(data, mimeType, base);
      return;
    }
    const bool html = mimeType.startsWith(QLatin1String("text/html"));
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/wux-page-XXXXXX") +
                                                 (html ? QStringLiteral(".html") : QStringLiteral(".bin")));
    bool ok = file->open();
    if (ok && html) {
      const int at = mimeType.indexOf(QLatin1String("charset="));
      const QByteArray charset = at >= 0 ? mimeType.mid(at + 8).toLatin1() : QByteArray("Shift_JIS");
      ok = file->write("<meta charset=\"" + charset + "\">\n") > 0;
      // Addresses in the page still count from where the page belongs, not the file.
      if (ok && base.isValid())
        ok = file->write("<base href=\"" + base.toEncoded() + "\">\n") > 0;
    }
    ok = ok && file->write(data) == data.size() && file->flush();
    if (!ok) {
      page_->setHtml(QStringLiteral("<p>The page could not be written to a temporary file.</p>"));
      return;
    }
    file->close();
    const QUrl url = QUrl::fromLocalFile(file->fileName());
    guard_->tempPage = url;
    guard_->tempBase = base;
    temp_ = std::move(file);
    page_->load(url);
  }

  void navigate(const QUrl& url) override {
    hasDocument_ = true;
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
  QUrl url() const override { return page_->url(); }

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
        [done = std::move(done)](const QVariant& v) { done(v.toStringList()); });
  }

  void setInternetAllowed(bool allowed) override { guard_->allowed = allowed; }
  bool internetAllowed() const override { return guard_->allowed; }

 private:
  QWebEngineView* view_;
  QWebEnginePage* page_;
  RequestGuard* guard_;
  std::unique_ptr<QTemporaryFile> temp_;
  bool busy_ = false;
  bool hasDocument_ = false;
};

}  // namespace

void prepareWebEngine() {
  if (!QCoreApplication::instance()) QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
}

void installWebEngine() {
  setWebBrowserFactory([](QWidget* parent) -> WebBrowser* { return new WebEngineBrowser(parent); });
}

}  // namespace wux

#include "webengine/WebEngineBrowser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
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

// Refuses Internet requests of one page while its frame's switch is off: the page's
// scripts, images and redirects are stopped by the engine, not only its first address.
class InternetGuard : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  bool allowed = false;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    if (!allowed && isInternet(info.requestUrl())) info.block(true);
  }
};

// Above this the engine does not take a page inline (it travels as a data address);
// larger pages are shown from a temporary file.
constexpr qsizetype kInlineLimit = 1536 * 1024;

class WebEngineBrowser : public WebBrowser {
 public:
  explicit WebEngineBrowser(QWidget* parent) : WebBrowser(parent), view_(new QWebEngineView(parent)) {
    page_ = new QWebEnginePage(view_);
    guard_ = new InternetGuard(page_);
    page_->setUrlRequestInterceptor(guard_);
    QWebEngineSettings* s = page_->settings();
    // An HTML note received from elsewhere must not read the user's files or send them.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
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
    }
    ok = ok && file->write(data) == data.size() && file->flush();
    if (!ok) {
      page_->setHtml(QStringLiteral("<p>The page could not be written to a temporary file.</p>"));
      return;
    }
    file->close();
    const QUrl url = QUrl::fromLocalFile(file->fileName());
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
  InternetGuard* guard_;
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

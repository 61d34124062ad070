#include "views/WebBrowser.h"

#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "views/qtext.h"

namespace wux {

namespace {

// Shows HTML text and local files, nothing from the network. Used where no engine is
// installed (the command-line drivers and the test programs that do not need one).
class StandInBrowser : public WebBrowser {
 public:
  explicit StandInBrowser(QWidget* parent) : WebBrowser(parent), view_(new QTextBrowser(parent)) {
    view_->setOpenLinks(false);
    connect(view_, &QTextBrowser::backwardAvailable, this, &WebBrowser::stateChanged);
    connect(view_, &QTextBrowser::forwardAvailable, this, &WebBrowser::stateChanged);
  }
  QWidget* widget() override { return view_; }
  void setContent(const QByteArray& data, const QString& mimeType, const QUrl& base) override {
    hasDocument_ = true;
    given_ = true;
    url_ = base;
    if (mimeType.startsWith(QLatin1String("text/html")))
      view_->setHtml(toQ(std::string_view(data.constData(), static_cast<std::size_t>(data.size()))));
    else
      view_->setPlainText(mimeType);
    finished();
  }
  void navigate(const QUrl& url) override {
    hasDocument_ = true;
    given_ = false;
    url_ = url;
    if (url.isLocalFile())
      view_->setSource(url);
    else if (internetAllowed())
      view_->setPlainText(url.toString());
    else
      view_->setPlainText(QStringLiteral("Blocked: ") + url.toString());
    finished();
  }
  void back() override {
    given_ = false;
    view_->backward();
  }
  void forward() override {
    given_ = false;
    view_->forward();
  }
  void reload() override { view_->reload(); }
  void stop() override {}
  void home() override { view_->home(); }
  bool canGoBack() const override { return view_->isBackwardAvailable(); }
  bool canGoForward() const override { return view_->isForwardAvailable(); }
  bool isBusy() const override { return false; }
  bool hasDocument() const override { return hasDocument_; }
  bool showsGivenContent() const override { return given_; }
  QUrl url() const override { return url_; }
  void readSource(std::function<void(const QString&)> done) override { done(view_->toHtml()); }
  void readLinks(std::function<void(const QStringList&)> done) override {
    QStringList links;
    for (QTextBlock b = view_->document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QString href = it.fragment().charFormat().anchorHref();
        if (!href.isEmpty() && (links.isEmpty() || links.back() != href)) links << url_.resolved(QUrl(href)).toString();
      }
    done(links);
  }

 private:
  void finished() {
    emit loadStarted();
    emit stateChanged();
    emit loadFinished(true);
  }
  QTextBrowser* view_;
  QUrl url_;
  bool hasDocument_ = false;
  bool given_ = false;
};

WebBrowserFactory& factory() {
  static WebBrowserFactory f;
  return f;
}

}  // namespace

WebBrowserFactory setWebBrowserFactory(WebBrowserFactory f) {
  WebBrowserFactory previous = std::move(factory());
  factory() = std::move(f);
  return previous;
}

WebBrowser* makeWebBrowser(QWidget* parent) {
  if (factory()) return factory()(parent);
  return new StandInBrowser(parent);
}

}  // namespace wux

#pragma once
// A browser engine that renders nothing: it keeps a history of what it was asked to
// show, answers reads from fixed texts, and reports each load at once.
#include <QWidget>
#include <vector>

#include "views/WebBrowser.h"

namespace wux::test {

class FakeBrowser : public WebBrowser {
 public:
  struct Shown {
    QUrl url;
    QByteArray content;
    QString mimeType;
  };
  explicit FakeBrowser(QWidget* parent) : WebBrowser(parent), view_(new QWidget(parent)) {}

  std::vector<Shown> history;
  int at = -1;
  QString source = QStringLiteral("<html></html>");
  QStringList links;
  QString charset;  // empty: the engine cannot tell
  bool answers = true;  // false: reads never answer
  int stops = 0;
  bool busy = false;
  bool failNext = false;  // the next navigation fails and leaves the page as it was

  const Shown* current() const { return at >= 0 ? &history[static_cast<std::size_t>(at)] : nullptr; }

  QWidget* widget() override { return view_; }
  void setContent(const QByteArray& data, const QString& mimeType, const QUrl& base) override {
    push({base, data, mimeType});
  }
  void navigate(const QUrl& url) override {
    if (failNext) {
      failNext = false;
      emit loadStarted();
      emit loadFinished(false);
      return;
    }
    push({url, {}, {}});
  }
  void back() override { move(-1); }
  void forward() override { move(1); }
  void reload() override { loaded(); }
  void stop() override { ++stops; busy = false; }
  void home() override { navigate(QUrl(QStringLiteral("about:blank"))); }
  bool canGoBack() const override { return at > 0; }
  bool canGoForward() const override { return at + 1 < static_cast<int>(history.size()); }
  bool isBusy() const override { return busy; }
  bool hasDocument() const override { return at >= 0; }
  bool showsGivenContent() const override { return current() && !current()->mimeType.isEmpty(); }
  QUrl url() const override { return current() ? current()->url : QUrl(); }
  void readSource(std::function<void(const QString&)> done) override {
    if (answers) done(source);
  }
  void readCharset(std::function<void(const QString&)> done) override {
    if (answers) done(charset);
  }
  void readLinks(std::function<void(const QStringList&)> done) override {
    if (answers) done(links);
  }

 private:
  void push(Shown s) {
    history.resize(static_cast<std::size_t>(at + 1));
    history.push_back(std::move(s));
    at = static_cast<int>(history.size()) - 1;
    loaded();
  }
  void move(int by) {
    at += by;
    loaded();
  }
  void loaded() {
    emit loadStarted();
    emit stateChanged();
    emit loadFinished(true);
  }
  QWidget* view_;
};

}  // namespace wux::test

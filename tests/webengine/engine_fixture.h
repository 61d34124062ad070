#pragma once
// What the engine's tests share: the engine started the way the program starts it, a
// loopback HTTP server, and a note editor whose web frame runs on the engine.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/files.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include "views/views_support.h"
#include "webengine/WebEngineBrowser.h"

namespace wux::test {

// The engine's switches are fixed for the process when it starts: the program's own come
// from the same call as in the program.
inline QApplication& engineApp() {
  static QApplication& app = [] () -> QApplication& {
    // No GPU offscreen, and no sandbox for a test run as root.
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
    prepareWebEngine();
    QApplication& a = test::qtApp();
    installWebEngine();
    return a;
  }();
  return app;
}

// Serves one page with two links and a 9 x 4 picture ("/pic.png") on 127.0.0.1 and
// counts every request it gets.
class LoopbackServer {
 public:
  LoopbackServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        ++connections;
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
          buffer_[s] += s->readAll();
          if (!buffer_[s].contains("\r\n\r\n")) return;
          const QByteArray path = buffer_[s].split(' ').value(1);
          buffer_.remove(s);
          paths.push_back(path.toStdString());
          const bool picture = path == "/pic.png";
          const QByteArray body = path == "/" ? page()
                                  : picture   ? QByteArray::fromStdString(test::imageBytes("PNG", 9, 4))
                                              : QByteArray("not here");
          const QByteArray type = picture ? "image/png" : "text/html; charset=Shift_JIS";
          s->write("HTTP/1.1 " + QByteArray(path == "/" || picture ? "200 OK" : "404 Not Found") +
                   "\r\nContent-Type: " + type + "\r\nConnection: close\r\nContent-Length: " +
                   QByteArray::number(body.size()) + "\r\n\r\n" + body);
          s->disconnectFromHost();
        });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
      }
    });
  }
  std::string url(const char* path = "/") const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
  }
  std::vector<std::string> paths;
  int connections = 0;

 private:
  QByteArray page() const {
    return "<html><body><p>\x93\xFA\x96\x7B</p><a href=\"/first\">one</a> <a href=\"" +
           QByteArray::fromStdString(url("/second")) + "\">two</a></body></html>";
  }
  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffer_;
};

// Runs the event loop until `done` holds or the time is up.
inline bool waitUntil(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  bool held = false;
  while (!(held = done()) && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return held;
}

class WebEngineTest : public ::testing::Test {
 protected:
  QApplication& app_ = engineApp();
  test::FixedWorld world;
  test::Notebook book{"web", "memo"};
  test::FakeMainWindow win;
  TFrameMemoNode editor;
  LoopbackServer server;

  WebEngineTest() { editor.setOwnerForm(&win); }
  void show(MemoNode* n) {
    editor.setNode(n);
    editor.showNode_();
  }
  MemoNodeUI* urlNote(const std::string& name, const std::string& filename) {
    MemoNodeUI* n = book.node(name);
    n->putField_("Content-Transfer-Encoding", "\"URL\"");
    n->putField_("Filename", "\"" + filename + "\"");
    return n;
  }
  // Runs a script in the page shown and waits for its value.
  QVariant evaluate(const QString& script) {
    auto* view = qobject_cast<QWebEngineView*>(editor.webFrame()->browser()->widget());
    auto answer = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [answer](const QVariant& v) { *answer = v; });
    waitUntil([&] { return answer->has_value(); });
    return answer->value_or(QVariant());
  }
  // The script a hostile page starts with: put(key, value) reports what one way got,
  // begin() counts one more way going, and the page's last end() makes `window.done`.
  static constexpr const char* kReport =
      "<script>var report = {}, pending = 1;"
      "function begin() { ++pending; } function end() { if (--pending == 0) window.done = report; }"
      "function put(key, value) { report[key] = value; end(); }</script>";
  // Shows `n` and waits for its page's report.
  QVariantMap reportOf(MemoNode* n) {
    show(n);
    QVariantMap done;
    EXPECT_TRUE(waitUntil([&] {
      if (!editor.webFrame()->browser()->isBusy()) done = evaluate(QStringLiteral("window.done")).toMap();
      return !done.isEmpty();
    })) << evaluate(QStringLiteral("JSON.stringify(report) + ' pending ' + pending")).toString().toStdString();
    return done;
  }
  // Waits until the engine finished the page asked for last.
  bool loaded() {
    return waitUntil([&] { return !editor.webFrame()->browser()->isBusy() && editor.webFrame()->browser()->url().isValid(); });
  }
};

// A note whose page belongs beside its notebook, in the folder "notes" of a temporary
// folder.
class NotebookFolderTest : public WebEngineTest {
 protected:
  test::TempDir tmp;
  MemoNodeUI* note = nullptr;

  NotebookFolderTest() {
    book.doc->directory = tmp.path.string() + "/notes/";
    std::filesystem::create_directories(tmp.path / "notes");
    note = urlNote("memo", "");
  }
  void write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(platform::writeFileAtomic(tmp.str(name), bytes));
  }
};

}  // namespace wux::test

// The web frame on the real browser engine, with pages from a loopback HTTP server that
// the test runs itself. Few and bounded: each test starts the engine once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <functional>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include "views/views_support.h"
#include "webengine/WebEngineBrowser.h"

using namespace wux;

namespace {

QApplication& engineApp() {
  // No GPU offscreen, and no sandbox for a test run as root.
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
  prepareWebEngine();
  QApplication& app = test::qtApp();
  installWebEngine();
  return app;
}

// Serves one page with two links on 127.0.0.1 and counts every request it gets.
class LoopbackServer {
 public:
  LoopbackServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
          buffer_[s] += s->readAll();
          if (!buffer_[s].contains("\r\n\r\n")) return;
          const QByteArray path = buffer_[s].split(' ').value(1);
          buffer_.remove(s);
          paths.push_back(path.toStdString());
          const QByteArray body = path == "/" ? page() : QByteArray("not here");
          s->write("HTTP/1.1 " + QByteArray(path == "/" ? "200 OK" : "404 Not Found") +
                   "\r\nContent-Type: text/html; charset=Shift_JIS\r\nConnection: close\r\nContent-Length: " +
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

 private:
  QByteArray page() const {
    return "<html><body><p>\x93\xFA\x96\x7B</p><a href=\"/first\">one</a> <a href=\"" +
           QByteArray::fromStdString(url("/second")) + "\">two</a></body></html>";
  }
  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffer_;
};

// Runs the event loop until `done` holds or the time is up.
bool waitUntil(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
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
  // Waits until the engine finished the page asked for last.
  bool loaded() {
    return waitUntil([&] { return !editor.webFrame()->browser()->isBusy() && editor.webFrame()->browser()->url().isValid(); });
  }
};

TEST_F(WebEngineTest, ShowsPagesFromTheServerAndFromNotesAndReadsThemBack) {
  win.internet = true;
  show(urlNote("web", server.url()));
  TFrameWB* wb = editor.webFrame();
  ASSERT_TRUE(waitUntil([&] { return wb->location() == server.url(); })) << wb->location();
  ASSERT_FALSE(server.paths.empty());
  EXPECT_EQ(server.paths.front(), "/");
  StringList links;
  ASSERT_EQ(wb->getLinkList_(links), 2);
  EXPECT_EQ(links[0], server.url("/first"));
  EXPECT_EQ(links[1], server.url("/second"));
  std::string source;
  ASSERT_GT(wb->saveToStream_(source), 0);
  EXPECT_NE(source.find("<p>\x93\xFA\x96\x7B</p>"), std::string::npos);

  // A note's own Shift_JIS text, larger than what the engine takes inline, comes whole.
  MemoNodeUI* memo = urlNote("memo", "");
  std::string big = "<p>\x93\xFA\x96\x7B</p><pre>";
  while (big.size() < 2500 * 1024) big += std::string(1023, 'x') + "\n";
  memo->body().setText(big + "</pre><p id=\"end\">end</p>");
  show(memo);
  EXPECT_EQ(wb->location(), "*Memo*");
  ASSERT_TRUE(waitUntil([&] {
    std::string s;
    return wb->saveToStream_(s) > 0 && s.find("<p id=\"end\">end</p>") != std::string::npos &&
           s.find("<p>\x93\xFA\x96\x7B</p>") != std::string::npos;
  }));
}

TEST_F(WebEngineTest, WithInternetOffTheServerSeesNoRequest) {
  show(urlNote("web", server.url()));
  TFrameWB* wb = editor.webFrame();
  EXPECT_EQ(win.statuses.back(), "Disable Access Internet. web");
  EXPECT_TRUE(wb->location().ends_with("/Offinternet.html"));

  // A note's own page reaching for the server is stopped by the engine.
  MemoNodeUI* memo = urlNote("memo", "");
  memo->body().setText("<img src=\"" + server.url("/img") + "\"><script>fetch('" + server.url("/js") +
                       "').catch(function () {});</script><p>local</p>");
  show(memo);
  ASSERT_TRUE(waitUntil([&] {
    std::string s;
    return wb->saveToStream_(s) > 0 && s.find("<p>local</p>") != std::string::npos;
  }));
  ASSERT_TRUE(loaded());

  // Asked directly, past the note editor's own check, the engine still refuses.
  wb->navigate_(server.url("/direct"));
  ASSERT_TRUE(waitUntil([&] { return wb->location() == server.url("/direct"); })) << wb->location();
  EXPECT_TRUE(server.paths.empty()) << server.paths.front();

  // Switched on, the same address is fetched.
  win.internet = true;
  wb->navigate_(server.url());
  ASSERT_TRUE(waitUntil([&] { return !server.paths.empty(); }));
}

}  // namespace

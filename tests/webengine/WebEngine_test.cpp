// The web frame on the real browser engine, with pages from a loopback HTTP server that
// the test runs itself. Few and bounded: each test starts the engine once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <memory>
#include <optional>
#include <filesystem>
#include <functional>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include "platform/files.h"
#include "support/RecordingPrompter.h"
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

// Serves one page with two links and a 9 x 4 picture ("/pic.png") on 127.0.0.1 and
// counts every request it gets.
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
  // Runs a script in the page shown and waits for its value.
  QVariant evaluate(const QString& script) {
    auto* view = qobject_cast<QWebEngineView*>(editor.webFrame()->browser()->widget());
    auto answer = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [answer](const QVariant& v) { *answer = v; });
    waitUntil([&] { return answer->has_value(); });
    return answer->value_or(QVariant());
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

// A page beside the notebook: a picture, a style sheet, a file a script tries to read,
// and a frame of a file outside the page's folder.
class LocalPageTest : public WebEngineTest {
 protected:
  test::TempDir tmp;
  MemoNodeUI* note = nullptr;

  LocalPageTest() {
    book.doc->directory = tmp.path.string() + "/notes/";
    std::filesystem::create_directories(tmp.path / "notes");
    write("notes/pic.png", test::imageBytes("PNG", 7, 5));
    write("notes/style.css", "#p { color: rgb(0, 128, 0); }");
    write("notes/secret.txt", "SECRET");
    write("outside.html", "<p>OUTSIDE</p>");
    note = urlNote("memo", "");
  }
  void write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(platform::writeFileAtomic(tmp.str(name), bytes));
  }
  // The page's markup: what it shows, and scripts that record what they could read.
  std::string page() const {
    return "<html><head><link rel=\"stylesheet\" href=\"style.css\"></head><body>"
           "<img id=\"pic\" src=\"pic.png\"><img id=\"remote\" src=\"" + server.url("/pic.png") + "\">"
           "<p id=\"p\">text</p><iframe id=\"outside\" src=\"../outside.html\"></iframe><script>"
           "var x = new XMLHttpRequest(); x.open('GET', 'secret.txt');"
           "x.onload = function () { window.xhr = 'read ' + x.responseText; };"
           "x.onerror = function () { window.xhr = 'refused'; }; x.send();"
           "fetch('secret.txt').then(function (r) { return r.text(); })"
           ".then(function (t) { window.fetched = 'read ' + t; }, function () { window.fetched = 'refused'; });"
           "</script></body></html>";
  }
  // Shows the note and waits until the engine finished its page.
  bool showLoaded() {
    // The engine reports a load only from its event loop, so it is counted from here.
    show(note);
    int loads = 0;
    QMetaObject::Connection c = QObject::connect(editor.webFrame()->browser(), &WebBrowser::loadFinished,
                                                 [&loads] { ++loads; });
    const bool loaded = waitUntil([&] { return loads > 0; });
    QObject::disconnect(c);
    return loaded;
  }
  // ... and until its pictures and its scripts are done.
  bool showSettled() {
    return showLoaded() && waitUntil([&] {
      return evaluate(QStringLiteral(
                          "document.readyState == 'complete' && !!window.xhr && !!window.fetched && "
                          "Array.prototype.every.call(document.images, function (i) { return i.complete; })"))
          .toBool();
    });
  }
  int naturalWidth(const char* id) {
    return evaluate(QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id))).toInt();
  }
  std::string text(const char* script) { return evaluate(QString::fromLatin1(script)).toString().toStdString(); }
  void expectLocalPartsShownAndFilesUnread() {
    ASSERT_TRUE(showSettled());
    EXPECT_EQ(naturalWidth("pic"), 7);
    EXPECT_EQ(text("getComputedStyle(document.getElementById('p')).color"), "rgb(0, 128, 0)");
    EXPECT_EQ(text("window.xhr"), "refused");
    EXPECT_EQ(text("window.fetched"), "refused");
    // A frame outside the page's folder stays empty, so no script reads it.
    EXPECT_TRUE(evaluate(QStringLiteral("(function () {"
                                        " var d = document.getElementById('outside').contentDocument;"
                                        " return !d || d.body.innerText.indexOf('OUTSIDE') < 0; })()"))
                    .toBool());
  }
};

TEST_F(LocalPageTest, AnHtmlNoteShowsItsPicturesAndStylesAndRemoteOnesOnlyWithInternetOn) {
  note->body().setText(page());
  expectLocalPartsShownAndFilesUnread();
  EXPECT_EQ(naturalWidth("remote"), 0);
  EXPECT_TRUE(server.paths.empty()) << server.paths.front();

  win.internet = true;
  expectLocalPartsShownAndFilesUnread();
  EXPECT_EQ(naturalWidth("remote"), 9);
  EXPECT_EQ(server.paths, std::vector<std::string>{"/pic.png"});
}

TEST_F(LocalPageTest, ANoteTooLargeToTakeInlineStillFindsItsPictures) {
  std::string padding = "<!--";
  while (padding.size() < 2000 * 1024) padding += std::string(1023, 'x') + "\n";
  note->body().setText(padding + "-->" + page());
  expectLocalPartsShownAndFilesUnread();
}

TEST_F(LocalPageTest, APageFileBesideTheNotebookShowsItsPicturesAndStyles) {
  write("notes/page.html", page());
  note->putField_("Filename", "\".\\page.html\"");
  expectLocalPartsShownAndFilesUnread();
  EXPECT_TRUE(editor.webFrame()->location().ends_with("/notes/page.html")) << editor.webFrame()->location();
  EXPECT_EQ(naturalWidth("remote"), 0);
  EXPECT_TRUE(server.paths.empty());
}

// Save As: the page is written in the character set it was read in, and reads back as
// the same text; characters that set cannot hold are kept as references.
TEST_F(LocalPageTest, SaveAsKeepsThePageInItsOwnCharset) {
  RecordingPrompter rec;
  ScopedPrompter usePrompter(&rec);
  auto showFile = [&](const std::string& name) {
    note->putField_("Filename", "\"" + tmp.str(name) + "\"");
    show(note);
    EXPECT_TRUE(waitUntil([&] { return editor.webFrame()->location().ends_with(name); }));
    EXPECT_TRUE(waitUntil([&] { return text("document.readyState") == "complete"; }));
    return evaluate(QStringLiteral("document.body.innerText")).toString();
  };
  auto saveAs = [&](const std::string& name) {
    rec.inputs.push_back(tmp.str(name));
    editor.webFrame()->SaveAsClick();
    std::string bytes;
    EXPECT_TRUE(platform::readFile(tmp.str(name), bytes)) << name;
    return bytes;
  };
  // "日本 €" in UTF-8 and in Shift_JIS, where the euro sign is a reference.
  write("utf8.html", "<html><head><meta charset=\"utf-8\"></head>"
                     "<body><p>\xE6\x97\xA5\xE6\x9C\xAC \xE2\x82\xAC</p></body></html>");
  write("sjis.html", "<html><head><meta charset=\"Shift_JIS\"></head>"
                     "<body><p>\x93\xFA\x96\x7B &#8364;</p></body></html>");
  for (const std::string name : {"utf8", "sjis"}) {
    const QString shown = showFile(name + ".html");
    EXPECT_EQ(shown, QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC \xE2\x82\xAC")) << name;
    const std::string saved = saveAs(name + "-saved.html");
    if (name == "utf8") {
      EXPECT_NE(saved.find("<meta charset=\"utf-8\">"), std::string::npos) << saved;
      EXPECT_NE(saved.find("<p>\xE6\x97\xA5\xE6\x9C\xAC \xE2\x82\xAC</p>"), std::string::npos) << saved;
    } else {
      EXPECT_NE(saved.find("<p>\x93\xFA\x96\x7B &#8364;</p>"), std::string::npos) << saved;
    }
    EXPECT_EQ(showFile(name + "-saved.html"), shown) << name;
  }

  // A note's own page was read as Shift_JIS and is saved so.
  note->putField_("Filename", "\"\"");
  note->body().setText("<p>\x93\xFA\x96\x7B &#8364;</p>");
  ASSERT_TRUE(showLoaded());
  EXPECT_NE(saveAs("memo.html").find("<p>\x93\xFA\x96\x7B &#8364;</p>"), std::string::npos);
}

}  // namespace

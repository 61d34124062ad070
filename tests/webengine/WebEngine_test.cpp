// The web frame on the real browser engine, with pages from a loopback HTTP server that
// the test runs itself. Few and bounded: each test starts the engine once.
#include <gtest/gtest.h>

#include "support/RecordingPrompter.h"
#include "support/file_text.h"
#include "webengine/engine_fixture.h"

using namespace wux;

namespace {

using test::LoopbackServer;
using test::WebEngineTest;
using test::waitUntil;

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

TEST_F(WebEngineTest, APageShownWithInternetOnSendsNothingOnceItIsTurnedOff) {
  win.internet = true;
  show(urlNote("web", server.url()));
  ASSERT_TRUE(waitUntil([&] { return editor.webFrame()->location() == server.url(); }));
  const std::size_t before = server.paths.size();
  win.internet = false;
  evaluate(QStringLiteral("window.refused = 0; fetch('/after').catch(function () { ++refused; });"
                          "var i = new Image(); i.onerror = function () { ++refused; }; i.src = '/after.png'; 0"));
  ASSERT_TRUE(waitUntil([&] { return evaluate(QStringLiteral("refused")).toInt() == 2; }));
  // Turned on again, the page reaches the server, which shows its requests went out.
  win.internet = true;
  evaluate(QStringLiteral("fetch('/again').catch(function () {}); 0"));
  ASSERT_TRUE(waitUntil([&] { return server.paths.back() == "/again"; }));
  EXPECT_EQ(std::vector<std::string>(server.paths.begin() + before, server.paths.end()),
            std::vector<std::string>{"/again"});
}

// A page beside the notebook: a picture, a style sheet, a file a script tries to read,
// and a frame of a file outside the page's folder.
class LocalPageTest : public test::NotebookFolderTest {
 protected:
  LocalPageTest() {
    write("notes/pic.png", test::imageBytes("PNG", 7, 5));
    write("notes/style.css", "#p { color: rgb(0, 128, 0); }");
    write("notes/secret.txt", "SECRET");
    write("outside.html", "<p>OUTSIDE</p>");
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
    return test::existingFileText(tmp.str(name));
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

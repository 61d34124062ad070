// With Internet off nothing leaves a page: peer connections (WebRTC) send neither UDP
// (a STUN server) nor TCP (a TURN server over TCP), whatever window the page takes them
// from, and HTTP is refused. The three listeners are on loopback.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QUdpSocket>

#include "webengine/engine_fixture.h"

using namespace wux;

namespace {

using test::waitUntil;

class PeerConnectionTest : public test::WebEngineTest {
 protected:
  QUdpSocket stun;
  QTcpServer turn;

  PeerConnectionTest() {
    EXPECT_TRUE(stun.bind(QHostAddress::LocalHost, 0));
    EXPECT_TRUE(turn.listen(QHostAddress::LocalHost, 0));
  }

  // Each way to a peer connection the page tries: its own window, fresh frames reached
  // at once (by the element, by index, after write, innerHTML, a shadow tree, a frame's
  // own fresh frame), a frame whose own script tries, and a frame the parser made.
  std::string page() const {
    return "<body>" + (kReport + ("<script>"
           "var config = {iceServers: [{urls: 'stun:127.0.0.1:" + std::to_string(stun.localPort()) + "'},"
           "  {urls: 'turn:127.0.0.1:" + std::to_string(turn.serverPort()) + "?transport=tcp', username: 'u', credential: 'p'}]};"
           "function peer(w) {"
           "  try { var PC = w.RTCPeerConnection || w.webkitRTCPeerConnection; if (!PC) return 'none';"
           "    var pc = new PC(config); pc.createDataChannel('d');"
           "    pc.createOffer().then(function (o) { return pc.setLocalDescription(o); }); return 'made';"
           "  } catch (e) { return 'threw ' + e; } }"
           "function attempt(way, w) { begin(); put(way, peer(w)); }"
           "function fresh(parent) { var f = document.createElement('iframe'); parent.appendChild(f); return f; }"
           "attempt('own', window);"
           "attempt('element', fresh(document.body).contentWindow);"
           "var n = window.length; fresh(document.body); attempt('index', window[n]);"
           "n = window.length; document.write('<iframe></iframe>'); attempt('written', window[n]);"
           "var div = document.createElement('div'); document.body.appendChild(div);"
           "n = window.length; div.innerHTML = '<iframe></iframe>'; attempt('innerHTML', window[n]);"
           "var host = document.createElement('div'); document.body.appendChild(host);"
           "var root = host.attachShadow({mode: 'open'}); root.innerHTML = '<iframe></iframe>';"
           "var shadowed = root.firstChild.contentWindow; attempt('shadow', shadowed);"
           // The same window, held, after its frame went to a new empty page.
           "shadowed.location = 'about:blank';"
           "watch('shadow renavigated', function () { return shadowed; }, root.firstChild);"
           "var outer = fresh(document.body).contentWindow; var inner = outer.document.createElement('iframe');"
           "outer.document.body.appendChild(inner); attempt('nested', outer[0]);"
           // A frame's own document still runs its scripts, which have no peer connection either.
           "addEventListener('message', function (e) { put(e.data.way, e.data.result); });"
           "var s = document.createElement('iframe'); s.srcdoc = '<script>var r;"
           "try { var pc = new RTCPeerConnection(parent.config); pc.createDataChannel(\"d\");"
           "pc.createOffer().then(function (o) { return pc.setLocalDescription(o); }); r = \"made\"; }"
           "catch (e) { r = \"ran without\"; } parent.postMessage({way: \"srcdoc script\", result: r}, \"*\");<\\/script>';"
           "begin(); document.body.appendChild(s);"
           // Windows that appear later: the page looks for a peer connection on each turn
           // for a while, and until the frame (if any) has loaded.
           "function watch(way, find, frame) { begin(); var turns = 0, channel = new MessageChannel();"
           "  if (frame && frame.addEventListener) frame.addEventListener('load', function () { frame.loaded = true; });"
           "  var look = function () { var w = null; try { w = find(); } catch (e) {}"
           "    var found = false; try { found = !!(w && (w.RTCPeerConnection || w.webkitRTCPeerConnection)); } catch (e) {}"
           "    if (found) put(way, peer(w));"
           "    else if (++turns < 1000 || (frame && !frame.loaded && turns < 5000)) channel.port2.postMessage(0);"
           "    else put(way, 'none'); };"
           "  channel.port1.onmessage = look; look(); }"
           // Frames that go to a new page of the page's own origin, many of each, as the
           // page catches such a window before the guard only now and then.
           "function many(way, go) { var group = {loaded: false}, from = window.length, count = 0;"
           "  for (var i = 0; i < 24; ++i) { var f = fresh(document.body);"
           "    f.onload = function () { if (++count == 24) group.loaded = true; }; go(f); }"
           "  watch(way, function () { for (var k = from; k < from + 24; ++k) {"
           "    try { if (window[k].RTCPeerConnection) return window[k]; } catch (e) {} } return null; }, group); }"
           "many('renavigated', function (f) { f.src = 'about:blank'; });"
           "many('blob', function (f) { f.src = URL.createObjectURL(new Blob(['<p>blob</p>'], {type: 'text/html'})); });"
           "many('javascript', function (f) { f.src = \"javascript:'<p>js</p>'\"; });"
           "many('srcdoc', function (f) { f.srcdoc = '<p>quiet</p>'; });"
           "var big = fresh(document.body); var bigAt = window.length - 1;"
           "big.src = URL.createObjectURL(new Blob(['<p>' + 'x'.repeat(1 << 20) + '</p>'], {type: 'text/html'}));"
           "watch('big blob', function () { return window[bigAt]; }, big);"
           "var o = document.createElement('object'); o.type = 'text/html'; o.data = 'about:blank';"
           "document.body.appendChild(o); var objectAt = window.length;"
           "watch('object', function () { return window[objectAt]; });"
           "attempt('opened', window.open('about:blank'));"
           "fetch('" + server.url("/fetched") + "').catch(function () {});"
           "</script><iframe id=\"parsed\"></iframe><script>attempt('parsed', window[window.length - 1]);"
           "</script><div id=\"declared\"><template shadowroot=\"open\"><iframe></iframe></template></div><script>"
           "var declared = document.getElementById('declared').shadowRoot.firstChild, held = declared.contentWindow;"
           "attempt('declared shadow', held); held.location = 'about:blank';"
           "watch('declared shadow renavigated', function () { return held; }, declared); end();"
           "</script><img src=\"" + server.url("/img") + "\">"));
  }
};

TEST_F(PeerConnectionTest, WithInternetOffNoPeerConnectionSendsAnything) {
  MemoNodeUI* memo = urlNote("memo", "");
  memo->body().setText(page());
  const QVariantMap report = reportOf(memo);
  const std::string text = QJsonDocument::fromVariant(report).toJson(QJsonDocument::Compact).toStdString();
  // Every way was tried, the frame's own script too; none made a connection.
  EXPECT_EQ(report.size(), 19) << text;
  EXPECT_EQ(report.value("srcdoc script").toString(), QStringLiteral("ran without")) << text;
  for (auto it = report.begin(); it != report.end(); ++it)
    EXPECT_NE(it.value().toString(), QStringLiteral("made")) << it.key().toStdString();
  // The engine gathers candidates at once; a second more shows no late packet.
  waitUntil([&] { return stun.hasPendingDatagrams() || turn.hasPendingConnections(); }, 1500);
  EXPECT_FALSE(stun.hasPendingDatagrams()) << text;
  EXPECT_FALSE(turn.hasPendingConnections());
  EXPECT_EQ(server.connections, 0);
}

}  // namespace

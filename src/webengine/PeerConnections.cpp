#include "webengine/PeerConnections.h"

namespace wux {

namespace {

// Everything it calls is taken before the page runs, so the page cannot bend it by
// replacing built-ins. The frames of a window are swept when a node is inserted (at once,
// by the insertion event), when a frame loads (an empty page a frame goes to gets this
// script only later), after the parser adds nodes (by an observer, which runs before the
// parser's next script), after document.open/write and execCommand (which add nodes
// without the event), and when a frame's window or document is asked for (frames in a
// shadow tree are reached only so; their tree is watched from then on); a window that
// window.open gives back is swept before the page has it.
constexpr const char* kScript = R"JS(
(function () {
  'use strict';
  var apply = Reflect.apply, deleteProperty = Reflect.deleteProperty;
  var getDesc = Object.getOwnPropertyDescriptor, define = Object.defineProperty;
  var protoOf = Object.getPrototypeOf, setProto = Object.setPrototypeOf;
  var has = WeakSet.prototype.has, add = WeakSet.prototype.add;
  var listen = EventTarget.prototype.addEventListener;
  var hooked = new WeakSet();
  var names = ['RTCPeerConnection', 'webkitRTCPeerConnection'];
  // A property's descriptor, wherever on the chain it lives; it never inherits.
  function descriptor(o, name) {
    for (; o; o = protoOf(o)) {
      var d = getDesc(o, name);
      if (d) { setProto(d, null); return d; }
    }
    return null;
  }
  var lengthOf = descriptor(window, 'length').get;
  var viewOf = descriptor(Document.prototype, 'defaultView').get;
  var rootOf = Node.prototype.getRootNode;
  var ownerOf = descriptor(Node.prototype, 'ownerDocument').get;
  var frameOwners = ['HTMLIFrameElement', 'HTMLFrameElement', 'HTMLObjectElement', 'HTMLEmbedElement'];
  var windowsOf = [];
  for (var f = 0; f < 3; ++f) windowsOf[f] = descriptor(window[frameOwners[f]].prototype, 'contentWindow').get;
  var srcdoc = descriptor(HTMLIFrameElement.prototype, 'srcdoc');
  var getAttribute = Element.prototype.getAttribute, setAttribute = Element.prototype.setAttribute;
  var hasAttribute = Element.prototype.hasAttribute, select = Element.prototype.querySelectorAll;
  var selectInDocument = Document.prototype.querySelectorAll, lower = String.prototype.toLowerCase;
  var indexOf = String.prototype.indexOf;
  var isolated = 'allow-scripts allow-forms allow-popups allow-modals allow-pointer-lock allow-downloads';

  function sweep(w) {
    try {
      for (var i = 0; i < names.length; ++i) deleteProperty(w, names[i]);
      hook(w);
    } catch (e) {
      return;  // another origin: its documents run this script themselves
    }
    var n = 0;
    try { n = apply(lengthOf, w, []); } catch (e) { return; }
    for (var k = 0; k < n; ++k) {
      var child = null;
      try { child = w[k]; } catch (e) {}
      if (child) sweep(child);
    }
  }
  function sweepDocument(d) {
    var w = null;
    try { w = apply(viewOf, d, []); } catch (e) {}
    if (w) { arm(w); sweep(w); }
  }
  function onInsert() { sweep(this); }
  function onLoad() { sweepDocument(this); }
  function arm(w) {
    try {
      apply(listen, w, ['DOMNodeInserted', onInsert, true]);
      // A frame that goes to a new empty page commits it and fires its load at once;
      // a frame's load does not reach the window.
      apply(listen, w.document, ['load', onLoad, true]);
    } catch (e) {}
  }

  // A frame's srcdoc is a document of the page's own origin, reachable from the page
  // before the engine has run this script in it. Written into a frame that is sandboxed
  // (scripts still run), it is an origin of its own instead. This runs as an observer:
  // before the frame can show anything.
  function isolate(frame) {
    try {
      if (!apply(hasAttribute, frame, ['srcdoc'])) return;
      var sandbox = apply(getAttribute, frame, ['sandbox']);
      if (sandbox !== null && apply(indexOf, apply(lower, sandbox, []), ['allow-same-origin']) < 0) return;
      apply(setAttribute, frame, ['sandbox', isolated]);
      apply(srcdoc.set, frame, [apply(srcdoc.get, frame, [])]);  // starts it again, sandboxed
    } catch (e) {}
  }
  function isolateIn(root, inDocument) {
    var frames;
    try { frames = apply(inDocument ? selectInDocument : select, root, ['iframe[srcdoc]']); } catch (e) { return; }
    for (var i = 0; i < frames.length; ++i) isolate(frames[i]);
  }
  var watched = {childList: true, subtree: true, attributes: true, attributeFilter: ['srcdoc', 'sandbox']};

  // A shadow tree keeps its insertions and its frames' loads to itself: the page reaches
  // its frames only through their elements, whose tree is then watched as well.
  function onTree(e) {
    var d = null;
    try { d = apply(ownerOf, this, []); } catch (x) {}
    if (d) sweepDocument(d);
    for (var i = 0; i < windowsOf.length; ++i) {
      var w = null;
      try { w = apply(windowsOf[i], e.target, []); } catch (x) {}
      if (w) sweep(w);
    }
  }
  function armTree(root) {
    try {
      apply(listen, root, ['DOMNodeInserted', onTree, true]);
      apply(listen, root, ['load', onTree, true]);
      var d = apply(ownerOf, root, []), w = apply(viewOf, d, []);
      var observer = new w.MutationObserver(function () { isolateIn(root, false); });
      apply(w.MutationObserver.prototype.observe, observer, [root, watched]);
      isolateIn(root, false);
    } catch (e) {}
  }
  function armTreeOf(node) {
    var root = null;
    try { root = apply(rootOf, node, []); } catch (e) {}
    if (root && apply(ownerOf, root, [])) armTree(root);  // a document has no owner
  }

  // Runs `then` after a method or getter of `proto`, with its result and receiver.
  function after(proto, name, then) {
    var d = proto && getDesc(proto, name);
    if (!d) return;
    setProto(d, null);
    var key = typeof d.value === 'function' ? 'value' : 'get';
    var original = d[key];
    if (typeof original !== 'function') return;
    d[key] = function () {
      var result;
      try { result = apply(original, this, arguments); } finally { then(result, this); }
      return result;
    };
    define(proto, name, d);
  }
  // document.open with three arguments opens a window, as window.open does.
  function sweepReceiver(result, receiver) { sweepDocument(receiver); if (result && result !== receiver) sweep(result); }
  function sweepWindow(result) { if (result) sweep(result); }
  function sweepFrameWindow(result, frame) { sweepWindow(result); armTreeOf(frame); }
  function sweepFrameDocument(result, frame) { if (result) sweepDocument(result); armTreeOf(frame); }
  var documentMethods = ['open', 'write', 'writeln', 'execCommand'];

  function hook(w) {
    var docProto = w.Document.prototype;
    if (apply(has, hooked, [docProto])) return;
    apply(add, hooked, [docProto]);
    arm(w);
    var observer = new w.MutationObserver(function () { isolateIn(w.document, true); sweep(w); });
    apply(w.MutationObserver.prototype.observe, observer, [w.document, watched]);
    isolateIn(w.document, true);
    for (var i = 0; i < documentMethods.length; ++i) after(docProto, documentMethods[i], sweepReceiver);
    after(w, 'open', sweepWindow);
    for (var j = 0; j < frameOwners.length; ++j) {
      var owner = w[frameOwners[j]];
      var proto = owner ? owner.prototype : null;
      after(proto, 'contentWindow', sweepFrameWindow);
      after(proto, 'contentDocument', sweepFrameDocument);
      after(proto, 'getSVGDocument', sweepFrameDocument);
    }
  }

  sweep(window);
})();
)JS";

}  // namespace

QWebEngineScript peerConnectionGuard() {
  QWebEngineScript script;
  script.setName(QStringLiteral("wux-peer-connections"));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(true);
  script.setSourceCode(QString::fromLatin1(kScript));
  return script;
}

}  // namespace wux

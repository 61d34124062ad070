#pragma once
// Pages get no peer connections (WebRTC): their UDP and TCP traffic goes past the request
// guard, so the Internet switch could not hold it back.
#include <QWebEngineScript>

namespace wux {

// Runs in every document of a page before the page's own scripts. It takes the peer
// connection away from the document and, at once, from every frame made inside it: a
// fresh frame's window is reachable from the page before the engine runs this script in
// the frame itself. A frame's srcdoc gets an origin of its own for the same reason; the
// engine keeps frames from blobs (WebEngineBrowser.cpp).
QWebEngineScript peerConnectionGuard();

}  // namespace wux

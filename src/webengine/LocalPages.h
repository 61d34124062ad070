#pragma once
// Local pages (a note's own page, an HTML file, what such a page frames) are shown under
// an address scheme of the program's own instead of file:. Under file: every document
// shares one origin, so a page's script could read the notebooks beside it through a
// frame. Here every document gets a host of its own that nothing else gets, so no page
// reaches into another; what a page may load is decided by `admitLocal`. The addresses
// stay inside the engine: `toFile` turns them back into file: addresses for the location
// line, new notes and links.
#include <QByteArray>
#include <QString>
#include <QUrl>

class QWebEngineUrlRequestInfo;

namespace wux::localpages {

// Before the application object is made (the engine reads schemes at start-up).
void registerScheme();
// After it: serves the scheme on the default profile.
void installHandler();

bool isLocalPage(const QUrl& url);
// A local page's address as a file: address (a note's own page: its folder); any other
// address unchanged.
QUrl toFile(const QUrl& url);

// Shows `data` (of type `mimeType`) as a document whose relative addresses count from
// `folder` (a file: address of a folder; empty for none). Returns the address to load;
// the document stays served there until `forget`.
QUrl serve(const QByteArray& data, const QString& mimeType, const QUrl& folder);
void forget(const QUrl& address);

// Decides a request of a local file or page made for a document at `page` (its first
// party): blocks it, redirects it to a host of its own, or lets it pass. Scripts, style
// sheets and media load only from the page's folder and below and from `notebookFolder` (a
// path, may be empty) and below; frames only from the page's folder and below; pictures
// and fonts from anywhere; nothing else (XMLHttpRequest, fetch, workers, objects).
// Pictures and media come from an origin that is not the page's, so no script reads them.
void admitLocal(QWebEngineUrlRequestInfo& info, const QUrl& page, const QString& notebookFolder);

}  // namespace wux::localpages

#include "webengine/LocalPages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QSet>
#include <QUrlQuery>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace wux::localpages {

namespace {

const QByteArray kScheme = QByteArrayLiteral("wuxlocal");
// The query item that names a document served from memory (a note's own page).
const QString kServed = QStringLiteral("wux-page");

using R = QWebEngineUrlRequestInfo;

struct Served {
  QByteArray data;
  QByteArray mimeType;
};

QHash<QString, Served>& served() {
  static QHash<QString, Served> documents;
  return documents;
}

// Hosts handed out for one document each: a document request is let through under such a
// host once, and only for the kind of frame it was made for; any other document request
// is sent to a new one. So no two documents ever share an origin.
QHash<QString, R::ResourceType>& tickets() {
  static QHash<QString, R::ResourceType> hosts;
  return hosts;
}

QString randomName() {
  return QString::number(QRandomGenerator::global()->generate64(), 16);
}

QString issueHost(R::ResourceType type) {
  const QString host = QStringLiteral("h") + randomName();
  tickets().insert(host, type);
  return host;
}

bool takeTicket(const QString& host, R::ResourceType type) {
  auto it = tickets().find(host);
  if (it == tickets().end() || it.value() != type) return false;
  tickets().erase(it);
  return true;
}

// Pictures and media reach a page from a file: address, which is never the page's origin:
// the engine shows and plays them but keeps their pixels and samples from every script.
// A request for one goes first to a host handed out for it alone, whose handler refuses a
// request in CORS mode (its answer would count as readable) and redirects the rest to the
// file: address, with a ticket that lets that one request through.
QSet<QString>& shownHosts() {
  static QSet<QString> hosts;
  return hosts;
}
QHash<QString, QString>& shownFiles() {
  static QHash<QString, QString> files;
  return files;
}
const QString kShownTicket = QStringLiteral("wux-shown");

QString servedName(const QUrl& url) {
  return isLocalPage(url) ? QUrlQuery(url).queryItemValue(kServed) : QString();
}

// The file a local address names, as a clean absolute path.
QString pathOf(const QUrl& url) { return QDir::cleanPath(url.path(QUrl::FullyDecoded)); }

// A folder's path as a clean prefix ending in "/"; empty stays empty.
QString asFolder(const QString& folder) {
  if (folder.isEmpty()) return QString();
  const QString path = QDir::cleanPath(folder);
  return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// The folder of a local document; empty for any other address.
QString folderOf(const QUrl& page) {
  if (!page.isLocalFile() && !isLocalPage(page)) return QString();
  QString path = page.path(QUrl::FullyDecoded);
  path.truncate(path.lastIndexOf(QLatin1Char('/')) + 1);
  return asFolder(path);
}

bool under(const QString& path, const QString& folder) { return !folder.isEmpty() && path.startsWith(folder); }

// In the page's folder or the notebook's, or below.
bool besidePage(const QString& path, const QUrl& page, const QString& notebookFolder) {
  return under(path, folderOf(page)) || under(path, asFolder(notebookFolder));
}

// Whoever asks for a local file must be local too: a remote page reads nothing here.
bool localInitiator(const QWebEngineUrlRequestInfo& info) {
  const QUrl from = info.initiator();
  return from.isEmpty() || from.scheme() == QLatin1String("file") || isLocalPage(from);
}

class Handler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    const QUrl url = job->requestUrl();
    const QString name = servedName(url);
    if (!name.isEmpty()) {
      auto it = served().constFind(name);
      if (it == served().constEnd()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
      }
      auto* buffer = new QBuffer(job);
      buffer->setData(it->data);
      buffer->open(QIODevice::ReadOnly);
      job->reply(it->mimeType, buffer);
      return;
    }
    const QString path = pathOf(url);
    if (shownHosts().remove(url.host())) {
      if (job->requestHeaders().contains("Origin")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
      }
      const QString ticket = randomName();
      QUrl to = QUrl::fromLocalFile(path);
      to.setQuery(kShownTicket + QLatin1Char('=') + ticket);
      shownFiles().insert(ticket, path);
      job->redirect(to);
      return;
    }
    auto* file = new QFile(path, job);
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
      job->fail(QWebEngineUrlRequestJob::UrlNotFound);
      return;
    }
    // Named by extension, else by content, as the engine does with file: addresses
    // (a notebook shows as text).
    static const QMimeDatabase types;
    job->reply(types.mimeTypeForFile(path).name().toLatin1(), file);
  }
};

}  // namespace

void registerScheme() {
  static bool done = false;
  if (done) return;
  done = true;
  QWebEngineUrlScheme scheme(kScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  // Pictures given as file: addresses still show; the guard keeps the rest away.
  scheme.setFlags(QWebEngineUrlScheme::LocalAccessAllowed);
  QWebEngineUrlScheme::registerScheme(scheme);
}

void installHandler() {
  QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
  if (profile->urlSchemeHandler(kScheme)) return;
  profile->installUrlSchemeHandler(kScheme, new Handler(QCoreApplication::instance()));
}

bool isLocalPage(const QUrl& url) { return url.scheme() == QLatin1String(kScheme); }

QUrl toFile(const QUrl& url) {
  if (!isLocalPage(url)) return url;
  QUrl file = QUrl::fromLocalFile(url.path(QUrl::FullyDecoded));
  if (url.hasQuery() && servedName(url).isEmpty()) file.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
  if (url.hasFragment()) file.setFragment(url.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
  return file;
}

QUrl serve(const QByteArray& data, const QString& mimeType, const QUrl& folder) {
  const QString name = randomName();
  served().insert(name, Served{data, mimeType.toLatin1()});
  QUrl url;
  url.setScheme(QString::fromLatin1(kScheme));
  url.setHost(issueHost(R::ResourceTypeMainFrame));
  // Without a folder the page has nothing beside it: a path under a file is no folder.
  QString path = folder.isLocalFile() ? folder.toLocalFile() : QStringLiteral("/dev/null/");
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  url.setPath(path);
  url.setQuery(kServed + QLatin1Char('=') + name);
  return url;
}

void forget(const QUrl& address) { served().remove(servedName(address)); }

void admitLocal(QWebEngineUrlRequestInfo& info, const QUrl& page, const QString& notebookFolder) {
  const QUrl url = info.requestUrl();
  if (!localInitiator(info)) {
    info.block(true);
    return;
  }
  const QString path = pathOf(url);
  const auto type = info.resourceType();
  switch (type) {
    case R::ResourceTypeMainFrame:
    case R::ResourceTypeSubFrame: {
      // A frame shows only what lies beside its page or below.
      if (type == R::ResourceTypeSubFrame && !under(path, folderOf(page))) {
        info.block(true);
        return;
      }
      // A folder opened in the window is listed by the engine itself.
      if (type == R::ResourceTypeMainFrame && servedName(url).isEmpty() && QFileInfo(path).isDir()) {
        if (!url.isLocalFile()) info.redirect(QUrl::fromLocalFile(asFolder(path)));
        return;
      }
      if (isLocalPage(url) && takeTicket(url.host(), type)) return;
      QUrl to = url;
      to.setScheme(QString::fromLatin1(kScheme));
      to.setHost(issueHost(type));
      info.redirect(to);
      return;
    }
    case R::ResourceTypeStylesheet:
    case R::ResourceTypeScript: {
      // Of the right kind only: a notebook file read as a script or a style sheet would
      // show pieces of itself in error messages and style rules.
      const bool script = type == R::ResourceTypeScript;
      const bool kind = script ? path.endsWith(QLatin1String(".js"), Qt::CaseInsensitive) ||
                                     path.endsWith(QLatin1String(".mjs"), Qt::CaseInsensitive)
                               : path.endsWith(QLatin1String(".css"), Qt::CaseInsensitive);
      if (!kind || !besidePage(path, page, notebookFolder)) info.block(true);
      return;
    }
    case R::ResourceTypeMedia:
      // A medium's failure tells a file from a folder from nothing: only those beside.
      if (!besidePage(path, page, notebookFolder)) {
        info.block(true);
        return;
      }
      [[fallthrough]];
    case R::ResourceTypeImage:
    case R::ResourceTypeFavicon: {
      if (isLocalPage(url) && shownHosts().contains(url.host())) return;
      if (url.isLocalFile()) {
        const QString ticket = QUrlQuery(url).queryItemValue(kShownTicket);
        if (!ticket.isEmpty() && shownFiles().take(ticket) == path) return;
      }
      QUrl to;
      to.setScheme(QString::fromLatin1(kScheme));
      to.setHost(QStringLiteral("s") + randomName());
      to.setPath(path);
      shownHosts().insert(to.host());
      info.redirect(to);
      return;
    }
    case R::ResourceTypeFontResource:
      return;
    default:
      info.block(true);
  }
}

}  // namespace wux::localpages

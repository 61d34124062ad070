#include "views/FrameWB.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>
#include <utility>

#include "model/Prompter.h"
#include "model/objects.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/charrefs.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "views/Clipboard.h"
#include "views/CommandTable.h"
#include "views/DesktopOpen.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/WebBrowser.h"
#include "views/qtext.h"

namespace wux {

int TFrameWB::readTimeoutMs = 10000;

namespace {

// Runs the engine's asynchronous read and waits for its answer, at most `ms`. The
// answer may still come after a timeout; it then lands in the shared state and is
// dropped.
template <class T, class Start>
bool waitFor(Start start, T& out, int ms) {
  struct State {
    bool done = false;
    T value;
    QEventLoop loop;
  };
  auto st = std::make_shared<State>();
  start([st](const T& v) {
    st->value = v;
    st->done = true;
    st->loop.quit();
  });
  if (!st->done) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &st->loop, &QEventLoop::quit);
    timer.start(ms);
    st->loop.exec();
  }
  if (st->done) out = st->value;
  return st->done;
}

// "http://x", "file:///a", "about:blank" carry a scheme; "C:\a" and ".\a" do not.
bool hasScheme(const std::string& p) {
  const std::size_t colon = p.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = p[i];
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
    if (!ok) return false;
  }
  return true;
}

QUrl addressOf(const std::string& p) {
  if (hasScheme(p)) return QUrl(toQ(p));
  return QUrl::fromLocalFile(toQ(platform::resolvePath(p)));
}

// The folder of the note's notebook file, or empty when the note is in no notebook.
std::string notebookDir(const MemoNode* node) {
  MemoHolder* holder = node ? node->getParentHolder_() : nullptr;
  return holder ? platform::dirOf(holder->getFileName_()) : std::string();
}

QPushButton* button(QWidget* parent, QLayout* layout, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  layout->addWidget(b);
  return b;
}

}  // namespace

TFrameWB::TFrameWB(QWidget* parent, WebBrowser* browser) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("PanelTop"));
  // At least its designed height; larger fonts make it taller.
  panel->setMinimumHeight(65);
  auto* pl = new QVBoxLayout(panel);
  pl->setContentsMargins(2, 2, 2, 2);
  auto* row = new QHBoxLayout();
  back_ = button(panel, row, "GoBackBtn", "<<");
  forward_ = button(panel, row, "GoForwardBtn", ">>");
  auto* reload = button(panel, row, "ReLoadBtn", "Reload");
  stop_ = button(panel, row, "StopBtn", "Stop");
  auto* home = button(panel, row, "HomeBtn", "Home");
  auto* newNode = button(panel, row, "NewNodeBtn", "NewNode");
  auto* newURL = button(panel, row, "NewURLBtn", "WebBrowser");
  auto* ie = button(panel, row, "IEBtn", "IE");
  row->addStretch(1);
  pl->addLayout(row);
  location_ = new QLabel(panel);
  location_->setObjectName(QStringLiteral("StaticText1"));
  location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  location_->setContextMenuPolicy(Qt::CustomContextMenu);
  pl->addWidget(location_);
  layout->addWidget(panel);

  browser_ = browser ? browser : makeWebBrowser(this);
  browser_->setParent(this);
  browser_->widget()->setParent(this);
  layout->addWidget(browser_->widget(), 1);

  forward_->setEnabled(false);
  stop_->setEnabled(false);
  connect(back_, &QPushButton::clicked, this, &TFrameWB::GoBackBtnClick);
  connect(forward_, &QPushButton::clicked, this, &TFrameWB::GoForwardBtnClick);
  connect(reload, &QPushButton::clicked, this, &TFrameWB::ReLoadBtnClick);
  connect(stop_, &QPushButton::clicked, this, &TFrameWB::StopBtnClick);
  connect(home, &QPushButton::clicked, this, &TFrameWB::HomeBtnClick);
  connect(newNode, &QPushButton::clicked, this, &TFrameWB::NewNodeBtnClick);
  connect(newURL, &QPushButton::clicked, this, &TFrameWB::NewURLBtnClick);
  connect(ie, &QPushButton::clicked, this, &TFrameWB::IEBtnClick);
  browser_->setInternetSwitch([this] { return internetOn(); });
  connect(browser_, &WebBrowser::stateChanged, this, &TFrameWB::commandStateChange);
  connect(browser_, &WebBrowser::loadStarted, this, &TFrameWB::commandStateChange);
  connect(browser_, &WebBrowser::loadFinished, this, &TFrameWB::documentComplete);

  panel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(panel, &QWidget::customContextMenuRequested, this, [this, panel](const QPoint& at) {
    QMenu menu;
    menu.addAction(QStringLiteral("SaveAs"), this, &TFrameWB::SaveAsClick);
    menu.exec(panel->mapToGlobal(at));
  });
  connect(location_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    menu.addAction(QStringLiteral("Copy"), this, &TFrameWB::CopyLocationClick);
    menu.exec(location_->mapToGlobal(at));
  });
}

// ---- reports ----

void TFrameWB::message_(const std::string& text) {
  if (host_)
    host_->message_(text);
  else if (sink_)
    sink_(text);
  else
    prompter().messageBox(text, "", Buttons::OK);
}

void TFrameWB::setCursor_(int cursor) {
  for (QWidget* w : {static_cast<QWidget*>(this), browser_->widget()}) {
    if (cursor == -11)
      w->setCursor(Qt::WaitCursor);
    else
      w->unsetCursor();
  }
}

void TFrameWB::setLocation_(const std::string& text) {
  if (fromText_) givenLocation_ = text;
  showLocation(text);
}

void TFrameWB::showLocation(const std::string& text) {
  location_->setText(toQ(text));
  location_->repaint();
}

std::string TFrameWB::location() const { return fromQ(location_->text()); }

// ---- the Internet switch ----

bool TFrameWB::internetOn() const {
  MainWindowApi* owner = host_ ? host_->ownerForm() : owner_;
  AgentAPLAbs* agent = owner ? owner->getAgent() : nullptr;
  std::string answer;
  if (agent) agent->query_("getUIInternet", answer);
  return answer == "true";
}

void TFrameWB::setShownNote_(const MemoNode* node) { shownFolder_ = notebookDir(node); }

std::string TFrameWB::notebookFolder() const { return host_ ? notebookDir(host_->node()) : shownFolder_; }

void TFrameWB::applyNotebookFolder() {
  browser_->setNotebookFolder(toQ(notebookFolder()));
}

// ---- documents ----

int TFrameWB::loadFromString_(const std::string& html) {
  applyNotebookFolder();
  fromText_ = true;
  givenLocation_.clear();
  asked_.clear();
  const std::string dir = notebookFolder();
  const QUrl base = dir.empty() ? QUrl() : QUrl::fromLocalFile(toQ(dir));
  browser_->setContent(QByteArray(html.data(), static_cast<qsizetype>(html.size())),
                       QStringLiteral("text/html;charset=Shift_JIS"), base);
  return 0;
}

void TFrameWB::loadContent_(const std::string& bytes, const std::string& mimeType) {
  applyNotebookFolder();
  fromText_ = true;
  givenLocation_.clear();
  asked_.clear();
  browser_->setContent(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), toQ(mimeType), QUrl());
}

template <class T>
bool TFrameWB::readPage(void (WebBrowser::*read)(std::function<void(const T&)>), T& out) {
  if (waitFor<T>([this, read](auto done) { (browser_->*read)(std::move(done)); }, out, readTimeoutMs)) return true;
  message_("Timeout: the page did not answer.");
  return false;
}

long long TFrameWB::saveToStream_(std::string& out) {
  if (!browser_->hasDocument()) return -1;
  QString source;
  if (!readPage(&WebBrowser::readSource, source)) return -1;
  out = fromQ(source);
  return static_cast<long long>(out.size());
}

int TFrameWB::getLinkList_(StringList& list) {
  if (!browser_->hasDocument()) return 0;
  QStringList links;
  if (!readPage(&WebBrowser::readLinks, links)) return -1;
  for (const QString& l : links) list.add(fromQ(l));
  return static_cast<int>(links.size());
}

// ---- navigation ----

void TFrameWB::navigate_(const std::string& path) {
  if (!host_) return;
  std::string p = path;
  const std::string dir = notebookDir(host_->node());
  if (!dir.empty()) {
    if (p.empty()) p = dir;
    // Relative to the notebook file, without moving the process's current folder.
    if (!p.empty() && p[0] == '.') p = platform::resolvePath(p, dir);
  }
  navigateAddress_(p);
}

void TFrameWB::navigateAddress_(const std::string& address) {
  applyNotebookFolder();
  fromText_ = false;
  if (browser_->isBusy()) browser_->stop();
  const QUrl url = addressOf(address);
  asked_ = fromQ(url.toString());
  browser_->navigate(url);
}

void TFrameWB::navigateFilename_() {
  if (!host_ || !host_->node()) return;
  navigate_(sjis::trim(Dequote(host_->node()->getField_("Filename"))));
}

void TFrameWB::showOffline_() {
  const std::string page = fromQ(QCoreApplication::applicationDirPath()) + "/Offinternet.html";
  if (platform::fileExists(page)) {
    navigate_(page);
    return;
  }
  loadFromString_("<html><body><h1>Offline</h1><p>Internet access is off.</p></body></html>");
  setLocation_(page);
}

void TFrameWB::openInExternalBrowser_(const std::string& url) {
  // The desktop's own browser stands in for the external one.
  if (url.empty()) {
    message_("No address to open.");
    return;
  }
  if (const std::string why = platform::openWithDesktop(url); !why.empty()) message_(why);
}

void TFrameWB::wheelEvent(QWheelEvent* e) { e->accept(); }

// ---- engine events ----

void TFrameWB::commandStateChange() {
  back_->setEnabled(browser_->canGoBack());
  forward_->setEnabled(browser_->canGoForward());
  stop_->setEnabled(browser_->isBusy());
}

void TFrameWB::documentComplete(bool ok) {
  commandStateChange();
  // A failed load leaves the engine at the page before: the line names what was asked.
  const std::string asked = std::exchange(asked_, std::string());
  // A note's own page (or a picture) keeps the line its host gave it while it is shown.
  if ((ok || asked.empty()) && browser_->showsGivenContent()) {
    showLocation(givenLocation_);
    return;
  }
  const std::string address = ok || asked.empty() ? fromQ(browser_->url().toString()) : asked;
  showLocation(address);
  message_(address);
}

// ---- buttons ----

void TFrameWB::GoBackBtnClick() {
  if (!browser_->canGoBack()) {
    message_("Can not Go Back.");
    return;
  }
  fromText_ = false;
  browser_->back();
  message_("GoBack");
}

void TFrameWB::GoForwardBtnClick() {
  if (!browser_->canGoForward()) {
    message_("Can not Go Forward.");
    return;
  }
  fromText_ = false;
  browser_->forward();
  message_("GoForward");
}

void TFrameWB::ReLoadBtnClick() {
  if (browser_->isBusy()) browser_->stop();
  browser_->reload();
}

void TFrameWB::StopBtnClick() { browser_->stop(); }

void TFrameWB::HomeBtnClick() {
  if (host_) {
    host_->storeNode_();
    host_->showNode_();
    return;
  }
  browser_->home();
}

bool TFrameWB::hasAddress() {
  // A note's own page lives in no file: its base address is only its notebook's folder.
  if (!browser_->showsGivenContent()) return true;
  message_("Exit: this page has no address");
  return false;
}

void TFrameWB::NewNodeBtnClick() {
  // Only a note editor of the main window (or of a note window with one) makes notes.
  MainWindowApi* owner = host_ ? host_->ownerForm() : nullptr;
  if (!owner || !hasAddress()) return;
  const std::string url = fromQ(browser_->url().toString());
  owner->commands().run("newMemoNodeKind_", {url, "3"});
}

void TFrameWB::NewURLBtnClick() {
  if (!hasAddress()) return;
  OpenURLOrFile(fromQ(browser_->url().toString()));
}

void TFrameWB::IEBtnClick() {
  if (hasAddress()) openInExternalBrowser_(fromQ(browser_->url().toString()));
}

void TFrameWB::SaveAsClick() {
  if (!browser_->hasDocument()) {
    message_("Cancel:Document is empty.");
    return;
  }
  std::string path;
  if (!prompter().saveFileName("SaveAs", "HTML|*.html;*.htm|All|*.*", path) || path.empty()) return;
  // The file is written in the character set the page was read in, which its own
  // declaration names; a note's own page was read as Shift_JIS.
  QString source, charset;
  if (!readPage(&WebBrowser::readSource, source) || !readPage(&WebBrowser::readCharset, charset)) return;
  const QByteArray utf8 = source.toUtf8();
  const std::string page = platform::encodeWithCharRefs(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), charset.toStdString());
  std::string error;
  if (!platform::writeFileAtomic(path, page, &error)) message_("Can not write " + path + ": " + error);
}

void TFrameWB::CopyLocationClick() { clipboard().setText(fromQ(location_->text())); }

}  // namespace wux

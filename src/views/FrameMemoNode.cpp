#include "views/FrameMemoNode.h"

#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "model/BraceTree.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/content.h"
#include "model/lists.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/BraceTreeView.h"
#include "views/FrameImage.h"
#include "views/FrameWB.h"
#include "views/MainWindowApi.h"
#include "views/qtext.h"
#include "platform/textconv.h"

namespace wux {

namespace {

// The editor's lines exactly as shown: one line per line break, so a last empty line
// survives showing and committing (the string list's own text reading would drop it).
// A line the user left as it was shown keeps its original bytes, even when those have no
// exact Unicode form; only lines that were typed are converted.
// Characters of converted lines that Shift_JIS cannot hold are added to `lost`.
StringList linesOf(const QPlainTextEdit* edit, const StringList* original, std::vector<char32_t>* lost = nullptr) {
  StringList l;
  const QString text = edit->toPlainText();
  if (text.isEmpty()) return l;
  QHash<QString, int> before;
  if (original)
    for (int i = original->count() - 1; i >= 0; --i) before.insert(toQ((*original)[i]), i);
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    auto kept = before.constFind(line);
    if (kept != before.cend()) {
      l.add((*original)[kept.value()]);
      continue;
    }
    l.add(fromQ(line));
    if (lost)
      for (char32_t cp : line.toUcs4())
        if (!platform::sjisHolds(cp) && std::find(lost->begin(), lost->end(), cp) == lost->end()) lost->push_back(cp);
  }
  return l;
}

// A tree load or write: the window counts as busy meanwhile, without a status text of
// its own, so that only Break acts; and all input is let in, so that Break can be
// pressed. The editor itself takes no input meanwhile: a click or a key there could
// re-enter the load, or commit while the text is being written.
class TreeWork : public QObject {
 public:
  TreeWork(QWidget* editor, MainWindowApi* owner) : editor_(editor), owner_(owner) {
    if (owner_) {
      owner_->holdDoing_(true);
      statusBefore_ = owner_->getStatusText();
    }
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~TreeWork() override {
    QCoreApplication::instance()->removeEventFilter(this);
    if (owner_) owner_->holdDoing_(false);
  }
  TreeWork(const TreeWork&) = delete;
  TreeWork& operator=(const TreeWork&) = delete;
  BraceProgress progress() const {
    return {owner_ ? owner_->getAgent() : nullptr, [] { QCoreApplication::processEvents(); }};
  }
  // Whether the work put a progress count into the status line; such a count must not
  // be the last word once the work is over.
  bool countShown() const { return owner_ && owner_->getStatusText() != statusBefore_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ContextMenu:
      case QEvent::Wheel:
      case QEvent::DragEnter:
      case QEvent::Drop: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == editor_ || editor_->isAncestorOf(w))) return true;
        break;
      }
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* editor_;
  MainWindowApi* owner_;
  std::string statusBefore_;
};

// An empty editor cannot tell no lines from one empty line; both count as the same.
bool sameLines(const StringList& a, const StringList& b) {
  auto blank = [](const StringList& l) { return l.count() == 0 || (l.count() == 1 && l[0].empty()); };
  if (blank(a) && blank(b)) return true;
  if (a.count() != b.count()) return false;
  for (int i = 0; i < a.count(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// What an editor was last filled with. Text the user did not touch is not written back:
// bytes that have no Unicode form (or two) would otherwise change by merely showing.
const char* const kShown = "wuxShown";

// Set on an editor that shows its lines cut: what it holds is not the note's text.
const char* const kCut = "wuxCut";

bool isCut(const QObject* w) { return w->property(kCut).toBool(); }

// The lines cut to what the editor can show: each line to the line limit (at a
// character's start), and the whole after the text limit. Empty when nothing is cut,
// so that a note of ordinary size is never copied.
std::optional<StringList> cutForEditor(const StringList& lines) {
  const std::size_t lineMax = TFrameMemoNode::kShownLineBytes;
  const std::size_t textMax = TFrameMemoNode::kShownTextBytes;
  std::size_t total = 0;
  bool cut = false;
  for (int i = 0; i < lines.count() && !cut; ++i) {
    total += lines[i].size() + 1;
    cut = lines[i].size() > lineMax || total > textMax;
  }
  if (!cut) return std::nullopt;
  StringList shown;
  total = 0;
  for (int i = 0; i < lines.count() && total < textMax; ++i) {
    const std::string_view line = lines[i];
    const std::size_t room = std::min(lineMax, textMax - total);
    const std::string_view part = line.size() <= room ? line : line.substr(0, sjis::charStart(line, room));
    shown.add(std::string(part));
    total += part.size() + 1;
  }
  return shown;
}

bool untouched(const QObject* w, const QString& now) {
  const QVariant shown = w->property(kShown);
  return shown.isValid() && shown.toString() == now;
}

void markShown(QObject* w, const QString& text) { w->setProperty(kShown, text); }

QPlainTextEdit* makeMemo(QWidget* parent, const char* name) {
  auto* m = new QPlainTextEdit(parent);
  m->setObjectName(QString::fromLatin1(name));
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  return m;
}

}  // namespace

TFrameMemoNode::TFrameMemoNode(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  name_ = new QLabel(this);
  name_->setObjectName(QStringLiteral("StaticText_name"));
  name_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(name_);
  cutStatus_ = new QLabel(this);
  cutStatus_->setObjectName(QStringLiteral("StatusCut"));
  cutStatus_->setWordWrap(true);
  cutStatus_->hide();
  layout->addWidget(cutStatus_);

  split_ = new QSplitter(Qt::Vertical, this);
  split_->setChildrenCollapsible(true);
  content_ = new QStackedWidget(split_);
  content_->setObjectName(QStringLiteral("Panel1"));

  panelMemo_ = new QWidget(content_);
  panelMemo_->setObjectName(QStringLiteral("PanelMemo"));
  auto* pm = new QVBoxLayout(panelMemo_);
  pm->setContentsMargins(0, 0, 0, 0);
  pm->setSpacing(0);
  memo_ = makeMemo(panelMemo_, "MemoNode0");
  memoStatus_ = new QLabel(panelMemo_);
  memoStatus_->setObjectName(QStringLiteral("StatusBar1"));
  pm->addWidget(memo_, 1);
  pm->addWidget(memoStatus_);
  content_->addWidget(panelMemo_);

  // The web frame and the brace tree are made when first needed: a browser engine is
  // costly to start.
  imageView_ = new TFrameImage(content_);
  imageView_->setEditor(this);
  content_->addWidget(imageView_);

  comment_ = makeMemo(split_, "Memo_comment");
  fields_ = makeMemo(split_, "Memo_Fields");
  split_->addWidget(content_);
  split_->addWidget(comment_);
  split_->addWidget(fields_);
  split_->setStretchFactor(0, 1);
  split_->setSizes({400, 120, 120});
  layout->addWidget(split_, 1);
  buildMenus();
}

// ---- heights of the comment and fields editors ----

int TFrameMemoNode::heightOf(QWidget* w) const {
  const QList<int> sizes = split_->sizes();
  const int i = split_->indexOf(w);
  return i >= 0 && i < sizes.size() ? sizes[i] : 0;
}

void TFrameMemoNode::setHeight(QWidget* w, int h) {
  QList<int> sizes = split_->sizes();
  const int i = split_->indexOf(w);
  if (i < 0 || i >= sizes.size()) return;
  const int delta = h - sizes[i];
  sizes[i] = h;
  sizes[0] = std::max(0, sizes[0] - delta);
  split_->setSizes(sizes);
}

// A box counts as shown while it is at least 2 pixels high, however it was closed: by
// the menu or dragged shut with the splitter. A box dragged shut is hidden as far as
// ticks, toggles and loading a note go, so one click reopens it.
bool TFrameMemoNode::boxShown(QWidget* w) const { return !w->isHidden() && heightOf(w) >= 2; }

void TFrameMemoNode::collapse(QWidget* w, int& remembered) {
  if (w->isHidden()) return;
  if (const int h = heightOf(w); h >= 2) remembered = h;
  setHeight(w, 0);
  w->setVisible(false);
}

void TFrameMemoNode::expand(QWidget* w, int remembered) {
  if (boxShown(w)) return;
  w->setVisible(true);
  const int h = remembered >= 2 ? remembered : static_cast<int>(std::lround(0.2 * heightOf(content_)));
  setHeight(w, h >= 2 ? h : 120);
}

void TFrameMemoNode::hideFields_() { collapse(fields_, fieldsHeight_); }
void TFrameMemoNode::hideComment_() { collapse(comment_, commentHeight_); }
void TFrameMemoNode::showFields_() { expand(fields_, fieldsHeight_); }
void TFrameMemoNode::showComment_() { expand(comment_, commentHeight_); }
bool TFrameMemoNode::fieldsShown() const { return boxShown(fields_); }
bool TFrameMemoNode::commentShown() const { return boxShown(comment_); }

// ---- small parts ----

void TFrameMemoNode::clear_() {
  name_->clear();
  memo_->clear();
  comment_->clear();
  for (QObject* w : {static_cast<QObject*>(name_), static_cast<QObject*>(memo_), static_cast<QObject*>(comment_),
                     static_cast<QObject*>(fields_)})
    w->setProperty(kShown, QVariant());
  for (QPlainTextEdit* e : {memo_, comment_, fields_}) {
    e->setProperty(kCut, false);
    e->setReadOnly(readOnly_);
  }
  showCutStatus();
  shown_ = nullptr;
}

void TFrameMemoNode::fill(QPlainTextEdit* edit, const StringList* lines) {
  const std::optional<StringList> cut = lines ? cutForEditor(*lines) : std::nullopt;
  const QString text = cut ? linesToQ(*cut) : lines ? linesToQ(*lines) : QString();
  edit->setPlainText(text);
  edit->setProperty(kShown, text);
  edit->setProperty(kCut, cut.has_value());
  edit->setReadOnly(readOnly_ || cut);
  showCutStatus();
}

std::string TFrameMemoNode::cutStatus() const { return cutStatus_->isHidden() ? "" : fromQ(cutStatus_->text()); }

void TFrameMemoNode::showCutStatus() {
  std::string parts;
  auto add = [&](const char* part) { parts += (parts.empty() ? "" : ", ") + std::string(part); };
  // The text editor counts only while it is the content shown.
  if (isCut(memo_) && !content_->isHidden() && content_->currentWidget() == panelMemo_) add("text");
  if (isCut(comment_)) add("comment");
  if (isCut(fields_)) add("fields");
  const std::string text = parts.empty()
                               ? std::string()
                               : "Too long to edit: " + parts + " shown cut and read-only; the note is saved as it was read.";
  cutStatus_->setText(toQ(text));
  cutStatus_->setVisible(!text.empty());
}

void TFrameMemoNode::setReadOnly_(bool flag) {
  readOnly_ = flag;
  for (QPlainTextEdit* e : {memo_, comment_, fields_}) e->setReadOnly(flag || isCut(e));
  if (braceTree_) braceTree_->setReadOnly(flag || (holdsNode() && node_->isReadOnly_()));
}

void TFrameMemoNode::setCursor_(int cursor) {
  if (webFrame_) webFrame_->setCursor_(cursor);
  for (QWidget* w : {static_cast<QWidget*>(memo_), static_cast<QWidget*>(comment_), static_cast<QWidget*>(fields_),
                     static_cast<QWidget*>(name_), static_cast<QWidget*>(imageView_),
                     static_cast<QWidget*>(braceTree_)}) {
    if (!w) continue;
    if (cursor == -11)
      w->setCursor(Qt::WaitCursor);
    else
      w->unsetCursor();
  }
}

bool TFrameMemoNode::ownerIsMainWindow() const { return owner_ && owner_->mainWindow() == owner_; }

void TFrameMemoNode::message_(const std::string& text) {
  // An editor that nobody shows a status for stays silent: a box would stop whoever
  // drives it (a script, a test, a window being built).
  if (owner_)
    owner_->messageDoing_(text);
  else if (statusSink_)
    statusSink_(text);
}

void TFrameMemoNode::setNameText(const std::string& sjisName) { name_->setText(toQ(sjisName)); }
std::string TFrameMemoNode::nameText() const { return fromQ(name_->text()); }

std::string TFrameMemoNode::contentView() const {
  QWidget* w = content_->currentWidget();
  if (content_->isHidden()) return "";
  if (w == panelMemo_) return "text";
  if (w == imageView_) return "image";
  if (w && w == webFrame_) return "web";
  if (w && w == braceTree_) return "tree";
  return "";
}

void TFrameMemoNode::showPanel(QWidget* w) {
  content_->setVisible(w != nullptr);
  if (w) content_->setCurrentWidget(w);
}

// ---- show ----

void TFrameMemoNode::showNode_() {
  if (!node_) return;
  shown_ = node_;
  showContent_();
  loadFields_();
  loadComment_();
  loadName_();
  showCutStatus();
  if (!cutStatus().empty()) message_(cutStatus());
}

void TFrameMemoNode::loadFields_() {
  if (!node_) return;
  fill(fields_, node_->fieldList());
  const bool empty = sjis::trim(fromQ(fields_->toPlainText())).empty();
  if (!empty && !fieldsShown()) showFields_();
  if (empty && fieldsShown()) hideFields_();
}

void TFrameMemoNode::loadComment_() {
  if (!node_) return;
  if (StringList* c = node_->comment()) {
    fill(comment_, c);
    if (!sjis::trim(c->text()).empty())
      showComment_();
    else
      hideComment_();
  } else {
    fill(comment_, nullptr);
    hideComment_();
  }
}

void TFrameMemoNode::loadName_() {
  if (!node_) return;
  setNameText(node_->name());
  markShown(name_, name_->text());
}

void TFrameMemoNode::showContent_() {
  if (!node_ || !owner_) return;
  const std::string encoding = node_->getField_("Content-Transfer-Encoding");
  // A linked file is imported once; a failure is tried again on the next show.
  if (encoding != "\"URL\"" && node_->getField_("FlagLink") == "\"true\"" && !node_->linkedFileLoaded) {
    const std::string file = sjis::trim(Dequote(node_->getField_("Filename")));
    if (file.empty()) {
      message_("FlagLink=\"true\" but not found Filename=\"\" name=" + node_->name());
    } else if (std::string why; !node_->loadForReading_(why)) {
      // Tried again at the next showing. A file refused for its size says so after the
      // usual words, and in the log.
      ShowNotImplementedSource(why);
      std::string text = "FlagLink=\"true\" but not found Filename=\"" + file + "\" name=" + node_->name();
      if (IsTooLargeToOpen(why)) {
        text += " " + why;
        owner_->addLog_(why);
      }
      message_(text);
    }
  }
  // A tree edit belongs to the note it was made on; no other note's commit writes it.
  treeModified_ = false;
  if (encoding == "\"binary\"") {
    const std::string type = node_->getContentType_();
    const std::string* data = node_->content() ? node_->content()->data() : nullptr;
    if (!data) {
      showPanel(nullptr);
      return;
    }
    if (type == "\"image/gif\"") {
      // The engine takes the picture's bytes directly: no temporary file is written.
      TFrameWB* wb = ensureWebFrame();
      showPanel(wb);
      wb->loadContent_(*data, "image/gif");
      wb->setLocation_(Dequote(node_->getField_("Filename")));
    } else if (TFrameImage::shows(type)) {
      showPanel(imageView_);
      imageView_->loadContent(type, *data);
    } else {
      showPanel(nullptr);
    }
    return;
  }
  if (encoding == "\"URL\"") {
    TFrameWB* wb = ensureWebFrame();
    showPanel(wb);
    const std::string file = sjis::trim(Dequote(node_->getField_("Filename")));
    if (file.empty()) {
      if (sjis::trim(node_->body().text()).empty()) {
        message_("Memo=\"\".");
        wb->loadFromString_("Memo=\"\".");
      } else {
        wb->loadFromString_(node_->body().text());
      }
      wb->setLocation_("*Memo*");
    } else {
      const std::string prefix = sjis::lower(file.substr(0, 5));
      std::string internet;
      if (AgentAPLAbs* agent = owner_->getAgent()) agent->query_("getUIInternet", internet);
      if (internet != "true" && (prefix == "http:" || prefix == "https")) {
        wb->showOffline_();
        message_("Disable Access Internet. " + node_->name());
      } else {
        wb->navigateFilename_();
      }
    }
    return;
  }
  if (encoding == "\"Poser\"" || encoding == "\"PoserLike\"") {
    TBraceTreeView* tree = ensureBraceTree();
    tree->setReadOnly(readOnly_ || node_->isReadOnly_());
    showPanel(tree);
    int loaded;
    bool counted;
    {
      TreeWork busy(this, owner_);
      loaded = tree->loadBody(node_->body(), encoding == "\"Poser\"", busy.progress());
      counted = busy.countShown();
    }
    if (loaded == -1)
      message_("Break: Load Brace Tree " + node_->name());
    else if (loaded >= 0 && counted)
      message_("Done: Load Brace Tree " + node_->name());
    if (loaded == kBraceTooDeep) {
      // Such a text is shown, and kept, as it is: no tree ever rewrites it.
      message_("Too deep for the tree: shown as text");
      fill(memo_, &node_->body());
      showPanel(panelMemo_);
      showCutStatus();
    }
    return;
  }
  fill(memo_, &node_->body());
  showPanel(panelMemo_);
  showCutStatus();
}

// ---- commit ----

bool TFrameMemoNode::storeContent_() {
  if (!holdsNode() || content_->isHidden()) return false;
  if (braceTree_ && content_->currentWidget() == braceTree_) return treeModified_ && storeTree();
  if (content_->currentWidget() != panelMemo_ || isCut(memo_)) return false;
  if (untouched(memo_, memo_->toPlainText())) return false;
  StringList edited = linesOf(memo_, &node_->body(), &lost_);
  markShown(memo_, memo_->toPlainText());
  if (sameLines(edited, node_->body())) return false;
  node_->body() = edited;
  return true;
}

// The tree replaces the text only when it was read whole and written whole; either
// failure keeps the text as it was and says so. A text that changes counts as a change,
// so the notebook is saved with it.
bool TFrameMemoNode::storeTree() {
  if (!braceTree_->loadedWhole()) {
    message_("The tree was not read whole: the text of " + node_->name() + " is kept.");
    return false;
  }
  const BraceTree tree = braceTree_->tree();
  StringList written;
  int result = 0;
  bool counted = false;
  if (!tree.empty()) {
    TreeWork busy(this, owner_);
    result = SaveBraceTree(tree, written, busy.progress());
    counted = busy.countShown();
  }
  if (result < 0) {
    message_("Break: the text of " + node_->name() + " is kept.");
    return false;
  }
  if (counted) message_("Done: Save Brace Tree " + node_->name());
  if (sameLines(written, node_->body())) return false;
  node_->body() = written;
  return true;
}

bool TFrameMemoNode::storeComment_() {
  if (!holdsNode() || isCut(comment_)) return false;
  if (untouched(comment_, comment_->toPlainText())) return false;
  StringList edited = linesOf(comment_, node_->comment(), &lost_);
  markShown(comment_, comment_->toPlainText());
  if (!sjis::trim(edited.text()).empty()) {
    // Only a comment whose text differs counts as a change.
    if (node_->comment() && sameLines(*node_->comment(), edited)) return false;
    node_->ensureComment() = edited;
    return true;
  }
  if (StringList* c = node_->comment()) {
    if (c->count() == 0) return false;
    c->clear();
    return true;
  }
  return false;
}

bool TFrameMemoNode::storeFields_() {
  if (!holdsNode() || isCut(fields_)) return false;
  if (untouched(fields_, fields_->toPlainText())) return false;
  StringList edited = linesOf(fields_, node_->fieldList(), &lost_);
  markShown(fields_, fields_->toPlainText());
  StringList* current = node_->fieldList();
  if (current ? sameLines(*current, edited) : edited.count() == 0) return false;
  if (current) {
    *current = edited;
  } else {
    for (int i = 0; i < edited.count(); ++i) node_->putField_(edited.name(i), edited.valueFromIndex(i));
  }
  return true;
}

bool TFrameMemoNode::storeName_() {
  if (!holdsNode()) return false;
  if (untouched(name_, name_->text())) return false;
  const std::string wanted = sjis::trim(nameText());
  if (wanted.empty()) {
    message_("Do not rename Empty characters.");
    return false;
  }
  if (wanted == node_->name() || !node_->owner()) return false;
  std::string actual;
  node_->putName_(wanted, actual);
  const std::string given = node_->name();
  if (given != wanted) setNameText(given);
  markShown(name_, name_->text());
  return true;
}

bool TFrameMemoNode::storeNode_() {
  // A read-only editor (the switch, a running script) holds nothing the note may take.
  if (!holdsNode() || readOnly_ || node_->isReadOnly_()) return false;
  lost_.clear();
  const bool contentChanged = storeContent_();
  const bool commentChanged = storeComment_();
  const bool fieldsChanged = storeFields_();
  const bool nameChanged = storeName_();
  const bool changed = contentChanged || commentChanged || fieldsChanged || nameChanged;
  MemoHolder* holder = node_->getParentHolder_();
  auto touch = [&] {
    if (holder) holder->modified = true;
  };
  if (changed) touch();
  if (contentChanged) node_->contentModified = true;

  const std::string author = "\"" + (owner_ ? owner_->getUserName() : std::string("noname")) + "\"";
  const std::string stamp = "\"" + FormatDateTime("YYYYMMDD hhmmsszzz", Now()) + "\"";
  auto stampField = [&](const char* name, const std::string& value) {
    if (node_->getIndexField_(name) < 0) return;
    node_->putField_(name, value);
    touch();
  };
  if (changed) {
    stampField("Authors", author);
    stampField("LastModified", stamp);
  }
  stampField("LastAccessed", stamp);
  stampField("LastReader", author);
  // Typed characters that became "?" are named, never dropped without a word.
  if (!lost_.empty()) message_(platform::unstorableText(lost_));
  lost_.clear();
  return changed;
}

// ---- the web frame and the brace tree ----

TFrameWB* TFrameMemoNode::ensureWebFrame() {
  if (!webFrame_) {
    webFrame_ = new TFrameWB(content_);
    webFrame_->setObjectName(QStringLiteral("FrameWB1"));
    webFrame_->setHost(this);
    content_->addWidget(webFrame_);
  }
  return webFrame_;
}

TBraceTreeView* TFrameMemoNode::ensureBraceTree() {
  if (!braceTree_) {
    braceTree_ = new TBraceTreeView(content_);
    content_->addWidget(braceTree_);
    braceTree_->setMessageSink([this](const std::string& text) { message_(text); });
    braceTree_->setHistorySink([this](const std::string& text) { history(text); });
    connect(braceTree_, &TBraceTreeView::edited, this, [this] { treeModified_ = true; });
    connect(braceTree_, &TBraceTreeView::toTextRequested, this, &TFrameMemoNode::toText_);
  }
  return braceTree_;
}

void TFrameMemoNode::switchEncoding(const char* encoding) {
  if (!holdsNode()) return;
  if (readOnly_ || node_->isReadOnly_()) {
    message_("Stop: This MemoNode is Read Only. (" + node_->name() + ")");
    return;
  }
  storeNode_();
  if (node_->getField_("Content-Transfer-Encoding") != encoding) {
    node_->putField_("Content-Transfer-Encoding", encoding);
    if (MemoHolder* holder = node_->getParentHolder_()) holder->modified = true;
  }
  showNode_();
}

void TFrameMemoNode::toText_() { switchEncoding("\"text\""); }
void TFrameMemoNode::toPoser_() { switchEncoding("\"Poser\""); }
void TFrameMemoNode::toPoserLike_() { switchEncoding("\"PoserLike\""); }

// ---- selection replacement ----

void TFrameMemoNode::replaceSel_(QPlainTextEdit* edit, const std::string& text) { replaceSel_(edit, toQ(text)); }

void TFrameMemoNode::replaceSel_(QPlainTextEdit* edit, const QString& text) {
  if (!edit || edit->isReadOnly()) return;
  QTextCursor c = edit->textCursor();
  const int start = std::min(c.selectionStart(), c.selectionEnd());
  const std::string selected = fromQ(c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
  if (!sjis::trim(selected).empty()) pasteBuffer_.setText(selected);
  // Generated lines come joined by CR LF; the editor breaks lines with LF alone.
  QString inserted = text;
  inserted.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  c.insertText(inserted);
  c.setPosition(start);
  c.setPosition(start + static_cast<int>(inserted.size()), QTextCursor::KeepAnchor);
  edit->setTextCursor(c);
}

StringList TFrameMemoNode::editorLines(const QPlainTextEdit* edit) const {
  const StringList* original = nullptr;
  if (holdsNode()) original = edit == memo_ ? &node_->body() : edit == comment_ ? node_->comment() : node_->fieldList();
  return linesOf(edit, original);
}

bool TFrameMemoNode::renameTo(const std::string& wanted) {
  // The name commands rename at once: a read-only editor must not offer that path.
  if (readOnly_) {
    message_(kNameReadOnly);
    return false;
  }
  if (holdsNode() && node_->owner()) {
    std::string actual;
    node_->putName_(wanted, actual);
    setNameText(node_->name());
    markShown(name_, name_->text());
  } else {
    setNameText(wanted);
  }
  return true;
}

void TFrameMemoNode::replaceNodeMemoSel_(const std::string& text) { replaceSel_(memo_, text); }

QPlainTextEdit* TFrameMemoNode::getActiveMemo_() const {
  if (comment_->hasFocus()) return comment_;
  if (fields_->hasFocus()) return fields_;
  return memo_;
}

void TFrameMemoNode::replaceActiveMemoSel_(const std::string& text) { replaceSel_(getActiveMemo_(), text); }

}  // namespace wux

// The note editor's commands: its popup menus, the clipboard, generated text, the name
// and field-line commands, and the line operations the main window's text commands
// call. They work on the editor's controls only; the note changes when the editor is
// committed, except for renames, which happen at once. The line work itself is done by
// the model's pure functions (lists.h, lineops.h).
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>

#include "model/Prompter.h"
#include "model/clock.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "views/Clipboard.h"
#include "views/CommandTable.h"
#include "views/FrameImage.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/DesktopOpen.h"
#include "views/qtext.h"

namespace wux {

namespace {

// The platform hands over at most this many bytes of clipboard text to a field value.
constexpr std::size_t kClipboardFieldBytes = 249;

QString selectedQText(const QTextCursor& c) {
  return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

std::string selectedText(const QTextCursor& c) { return fromQ(selectedQText(c)); }

// The editor line that holds the caret, and putting a new text in its place.
std::string caretLine(const QPlainTextEdit* e) { return fromQ(e->textCursor().block().text()); }

void replaceCaretLine(QPlainTextEdit* e, const std::string& line) {
  QTextCursor c = e->textCursor();
  c.movePosition(QTextCursor::StartOfBlock);
  c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  c.insertText(toQ(line));
}

void deleteCaretLine(QPlainTextEdit* e) {
  QTextCursor c = e->textCursor();
  c.movePosition(QTextCursor::StartOfBlock);
  if (!c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor)) {
    // The last line: its break before it goes with it.
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    if (c.block().previous().isValid()) {
      c.movePosition(QTextCursor::StartOfBlock);
      c.movePosition(QTextCursor::PreviousCharacter);
      c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
      c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
  }
  c.removeSelectedText();
}

// Replaces an editor's whole text as one undoable step.
void putAllText(QPlainTextEdit* e, const QString& text) {
  if (e->isReadOnly()) return;
  QTextCursor c(e->document());
  c.select(QTextCursor::Document);
  c.insertText(text);
}

std::string removeLineBreaks(std::string text) {
  std::erase_if(text, [](char ch) { return ch == '\r' || ch == '\n'; });
  return text;
}

// The file-name part of a path: the text after its last separator or drive colon.
std::string extractFileName(const std::string& path) {
  const std::size_t cut = sjis::findLastOf(path, "\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

// ---- helpers ----

QPlainTextEdit* TFrameMemoNode::focusedMemo_() const {
  for (QPlainTextEdit* e : {memo_, comment_, fields_})
    if (e->hasFocus()) return e;
  return nullptr;
}

void TFrameMemoNode::history(const std::string& text) {
  if (owner_) owner_->AddCopyHistory(text);
}

void TFrameMemoNode::report(const std::string& text) {
  if (owner_) owner_->editorReport_(text);
}

std::string TFrameMemoNode::activeSelText_() const { return selectedText(getActiveMemo_()->textCursor()); }

template <class Edit>
auto TFrameMemoNode::editSelection(Edit edit) {
  QPlainTextEdit* e = getActiveMemo_();
  const std::string selected = selectedText(e->textCursor());
  StringList lines;
  lines.setText(selected);
  auto result = edit(lines);
  std::string text = lines.join("\n");
  // A selection that ended with a line break keeps it, so the next line stays apart.
  if (!selected.empty() && selected.back() == '\n' && lines.count() > 0) text += '\n';
  replaceSel_(e, text);
  return result;
}

template <class Edit>
auto TFrameMemoNode::editWholeMemo(Edit edit) {
  StringList lines = editorLines(memo_);
  // An editor text that ends with a line break has no last empty line of its own.
  const bool finalBreak = lines.count() > 1 && lines[lines.count() - 1].empty();
  if (finalBreak) lines.erase(lines.count() - 1);
  auto result = edit(lines);
  QString text = linesToQ(lines);
  if (finalBreak) text += QLatin1Char('\n');
  putAllText(memo_, text);
  return result;
}

// ---- clipboard ----

void TFrameMemoNode::copySel_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  // The clipboard gets the text as the editor holds it; only the history and the
  // count speak Shift_JIS.
  const QString text = selectedQText(e->textCursor());
  clipboard().setUnicodeText(text);
  const std::string sjisText = fromQ(text);
  history(sjisText);
  message_("Copy " + std::to_string(sjisText.size()));
}

void TFrameMemoNode::cutSel_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  QTextCursor c = e->textCursor();
  const QString text = selectedQText(c);
  const std::string sjisText = fromQ(text);
  history(sjisText);
  clipboard().setUnicodeText(text);
  c.removeSelectedText();
  e->setTextCursor(c);
  message_("Cut " + std::to_string(sjisText.size()));
}

void TFrameMemoNode::paste_() {
  if (!owner_ || owner_->isDoing_()) return;
  if (!clipboard().image().isNull()) {
    // A picture becomes a note of its own, and the new note's picture frame takes it.
    if (owner_->commands().run("UINewNodeImage") < 0) return;
    TFrameMemoNode* made = owner_->getNodeFrame();
    if (made && made->imageFrame() && made->contentView() == "image") made->imageFrame()->paste_();
    return;
  }
  const QString text = clipboard().unicodeText();
  if (text.isEmpty()) {
    owner_->messageDoing_("no text");
    // From a note window it reaches the main window's status line as well.
    if (MainWindowApi* w = owner_->mainWindow(); w && w != owner_) w->messageDoing_("no text");
    return;
  }
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  if (e == memo_)
    replaceSel_(memo_, text);
  else
    e->textCursor().insertText(text);
}

void TFrameMemoNode::undo_() {
  // The editor's own undo passes its read-only state.
  QPlainTextEdit* e = focusedMemo_();
  if (e && !e->isReadOnly()) e->undo();
}

void TFrameMemoNode::selectAll_() {
  if (QPlainTextEdit* e = focusedMemo_()) e->selectAll();
}

void TFrameMemoNode::selectAllCopy_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  e->selectAll();
  const QString text = e->toPlainText();
  clipboard().setUnicodeText(text);
  history(fromQ(text));
}

void TFrameMemoNode::selectAllCut_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  const QString text = e->toPlainText();
  clipboard().setUnicodeText(text);
  putAllText(e, QString());
  history(fromQ(text));
}

void TFrameMemoNode::selectAllPaste_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  const QString text = clipboard().unicodeText();
  putAllText(e, text);
  e->selectAll();
  history(fromQ(text));
}

// ---- generated text ----

void TFrameMemoNode::pasteName_() {
  const std::string text = nameText();
  replaceActiveMemoSel_(text);
  history(text);
  message_("Paste Name " + text);
}

void TFrameMemoNode::pasteDate_() {
  // The pattern is the main window's current notebook's; a note window has none.
  std::string pattern = owner_ ? Dequote(owner_->getDateFormat()) : std::string();
  std::string text = pattern.empty() ? std::string() : FormatDateTime(pattern, Now());
  if (text.empty()) text = FormatDateTime("yyyymmdd", Now());
  replaceActiveMemoSel_(text);
  message_("Paste Date " + text);
}

void TFrameMemoNode::pasteTime_() {
  const std::string text = FormatDateTime("hh:nn:ss", Now());
  replaceActiveMemoSel_(text);
  history(text);
  message_("Paste Time " + text);
}

void TFrameMemoNode::pasteFromBuffer_() {
  // The buffer is read first: the replacement below refills it.
  std::string text = pasteBuffer_.join("\n");
  replaceActiveMemoSel_(text);
  history(text);
}

void TFrameMemoNode::pasteLine_() {
  replaceActiveMemoSel_(kSeparatorLine);
  history(kSeparatorLine);
}

void TFrameMemoNode::pasteMemoToComment_() {
  const std::string text = fromQ(memo_->toPlainText());
  replaceSel_(comment_, text);
  message_("Paste Memo  size=" + std::to_string(text.size()));
}

std::vector<std::string> TFrameMemoNode::pasteHistoryCaptions_() {
  std::vector<std::string> captions;
  if (!owner_) return captions;
  const StringList& h = owner_->copyHistory();
  for (int i = 0; i < h.count() && i < 10; ++i) captions.push_back(HistoryCaption(h[i]));
  if (captions.empty()) report("Paste Word List is empty. " + FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", Now()));
  return captions;
}

void TFrameMemoNode::pasteHistory_(int index) {
  if (!owner_ || index < 0 || index >= owner_->copyHistory().count()) return;
  const std::string entry = owner_->copyHistory()[index];
  replaceActiveMemoSel_(entry);
  history(entry);
  report("Paste Histroy " + entry);
}

void TFrameMemoNode::copyPlus_(NoteCopyParts parts) {
  copyWork_.clear();
  copyWork_ = NoteCopyLines(nameText(), editorLines(memo_), editorLines(comment_), editorLines(fields_), parts);
  clipboard().setText(copyWork_.text());
  copyWork_.clear();
}

// ---- shell ----

void TFrameMemoNode::explorerSel_() {
  const std::string target = sjis::trim(activeSelText_());
  if (target.empty()) {
    prompter().messageBox("Not selected", "", Buttons::OK, BoxKind::Warning);
    return;
  }
  OpenURLOrFile(target);
}

void TFrameMemoNode::shellSel_() {
  const std::string target = sjis::trim(selectedText(memo_->textCursor()));
  if (target.empty()) return;
  const std::string head = sjis::lower(target.substr(0, 5));
  if (head == "https" || head == "http:" || head == "file:") {
    OpenWithDesktopOrSay(target);
    return;
  }
  if (sjis::endsWith(target, "\\") || sjis::endsWith(target, "/")) {
    if (platform::dirExists(target))
      OpenWithDesktopOrSay(target, true);
    else
      prompter().messageBox(target + " not exists", "", Buttons::OK);
    return;
  }
  // Programs and documents alike go to the desktop's opener, which knows what runs them.
  if (platform::fileMissing(target)) {
    prompter().messageBox(target + " not exists", "", Buttons::OK, BoxKind::Confirmation);
    return;
  }
  OpenWithDesktopOrSay(target);
}

namespace {
// A cursor writes past the editor's read-only state, which stops only typing: the
// text would wait there for the next commit once the switch is off.
void appendLines(QPlainTextEdit* to, const QString& text) {
  if (to->isReadOnly()) return;
  QTextCursor c(to->document());
  c.movePosition(QTextCursor::End);
  if (!to->toPlainText().isEmpty()) c.insertText(QStringLiteral("\n"));
  c.insertText(text);
}
}  // namespace

void TFrameMemoNode::memoToFields_() { appendLines(fields_, memo_->toPlainText()); }

void TFrameMemoNode::fieldsToMemo_() { appendLines(memo_, fields_->toPlainText()); }

// ---- the name ----

void TFrameMemoNode::copyName_() {
  const std::string name = nameText();
  clipboard().setText(name);
  history(name);
  message_("Copy Name " + name);
}

void TFrameMemoNode::replaceNameFromClipboard_() {
  const std::string text = removeLineBreaks(sjis::trim(clipboard().text()));
  if (text.empty()) return;
  if (!renameTo(text)) return;
  history(text);
  if (owner_) owner_->mainWindow()->messageDoing_("Replace Name " + nameText());
}

void TFrameMemoNode::addNameFromClipboard_(bool withBlank) {
  const std::string text = removeLineBreaks(sjis::trim(clipboard().text()));
  if (text.empty()) return;
  if (!renameTo(nameText() + (withBlank ? " " : "") + text)) return;
  message_((withBlank ? "Add+ Name " : "Add Name ") + nameText());
}

void TFrameMemoNode::extractFilenameName_() {
  if (!renameTo(extractFileName(nameText()))) return;
  history(nameText());
  message_("ExtractFilename " + nameText());
}

void TFrameMemoNode::prefixName_(const std::string& mark) {
  if (!renameTo(mark + " " + nameText())) return;
  message_("Change Name " + nameText());
}

void TFrameMemoNode::replaceNameSel_() {
  const std::string text = removeLineBreaks(activeSelText_());
  if (sjis::trim(text).empty()) {
    message_("Cancel: Repalce Name : New name is empty!");
    return;
  }
  if (!renameTo(text)) return;
  message_("Repalce Name " + nameText());
}

void TFrameMemoNode::addNameSel_() {
  const std::string text = removeLineBreaks(activeSelText_());
  if (!renameTo(nameText() + text)) return;
  message_("Add Name " + text);
}

void TFrameMemoNode::addNamePlusSel_() {
  const std::string text = removeLineBreaks(activeSelText_());
  if (!renameTo(nameText() + " " + text)) return;
  message_("Add Name +  " + text);
}

// ---- field lines ----

void TFrameMemoNode::copyFieldName_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  const std::string name = SplitFieldLine(caretLine(e)).name;
  clipboard().setText(name);
  history(name);
  report("Copy Name " + name);
}

void TFrameMemoNode::copyFieldValue_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  const FieldLine f = SplitFieldLine(caretLine(e));
  const std::string value = f.hasEquals ? f.bare() : f.value;
  clipboard().setText(value);
  history(value);
  report("Copy Value " + value);
}

void TFrameMemoNode::copyFieldValueQuoted_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  const std::string value = SplitFieldLine(caretLine(e)).value;
  clipboard().setText(value);
  history(value);
}

void TFrameMemoNode::copyFieldExtractFilename_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e) return;
  const FieldLine f = SplitFieldLine(caretLine(e));
  const std::string name = extractFileName(f.hasEquals ? f.bare() : f.value);
  clipboard().setText(name);
  history(name);
  report("Copy ExtractFilename " + name);
}

void TFrameMemoNode::cutFieldLine_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  const std::string line = caretLine(e);
  clipboard().setText(line);
  deleteCaretLine(e);
  history(line);
  report("Cut Line " + line);
}

void TFrameMemoNode::cutFieldValue_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  const FieldLine f = SplitFieldLine(caretLine(e));
  const std::string value = f.hasEquals ? f.bare() : f.value;
  clipboard().setText(value);
  replaceCaretLine(e, FieldLineWithoutValue(f));
  history(value);
  report("Cut Value " + value);
}

void TFrameMemoNode::pasteField_(const std::string& line) { replaceSel_(fields_, line); }

void TFrameMemoNode::pasteFieldUID_() {
  if (!node_) return;
  pasteField_("UID=" + node_->newUID_());
}

void TFrameMemoNode::pasteFieldStamp_(const std::string& name) {
  pasteField_(name + "=\"" + FormatDateTime("yyyymmdd hhnnsszzz", Now()) + "\"");
}

void TFrameMemoNode::pastePlusPlus_() {
  QPlainTextEdit* e = focusedMemo_();
  if (!e || e->isReadOnly()) return;
  const FieldLine f = SplitFieldLine(caretLine(e));
  const std::string oldValue = f.hasEquals ? f.bare() : std::string();
  const std::string newValue = CutToBytes(clipboard().text(), kClipboardFieldBytes);
  clipboard().setText(oldValue);
  replaceCaretLine(e, FieldLineWithValue(f, newValue));
  history(f.value);
  report("Paste++ " + newValue);
}

void TFrameMemoNode::sortActive_() {
  QPlainTextEdit* e = getActiveMemo_();
  StringList lines = editorLines(e);
  lines.sort();
  putAllText(e, linesToQ(lines));
  message_("Sort Fields Area");
}

// ---- operations of the main window's text commands ----

int TFrameMemoNode::sortLines_() {
  return editWholeMemo([](StringList& l) {
    l.sort();
    return l.count();
  });
}

int TFrameMemoNode::numberLines_() {
  return editWholeMemo([](StringList& l) { return NumberLines(l, "%.5d:", 1); });
}

void TFrameMemoNode::sortUniqueLines_() {
  editWholeMemo([](StringList& l) {
    SortUnique(l);
    return 0;
  });
}

void TFrameMemoNode::markDuplicateLines_() {
  editWholeMemo([](StringList& l) { return MarkDuplicateLines(l); });
}

void TFrameMemoNode::clearMemo_() { putAllText(memo_, QString()); }

long long TFrameMemoNode::countWord_(const std::string& word) { return CountInStrings(editorLines(memo_), word); }

void TFrameMemoNode::convertCRTagSel_() {
  editSelection([](StringList& l) {
    StringList words;
    TextToWordList(l, words, false);
    l = std::move(words);
    return 0;
  });
}

int TFrameMemoNode::addHeadEachLine_(const std::string& text) {
  return editSelection([&](StringList& l) { return PrependToLines(l, text); });
}

int TFrameMemoNode::addTailEachLine_(const std::string& text) {
  return editSelection([&](StringList& l) { return AppendToLines(l, text); });
}

void TFrameMemoNode::cutHeadCharSel_() {
  editSelection([](StringList& l) {
    DeleteFirstCharOfLines(l);
    return 0;
  });
}

void TFrameMemoNode::deleteEmptyLinesSel_() {
  editSelection([](StringList& l) { return DeleteBlankLinesCount(l); });
}

void TFrameMemoNode::trimLinesSel_() {
  editSelection([](StringList& l) { return TrimLines(l); });
}

void TFrameMemoNode::sortSel_() {
  editSelection([](StringList& l) {
    l.sort();
    return 0;
  });
}

int TFrameMemoNode::setNumberSel_(const std::string& format) {
  return editSelection([&](StringList& l) { return NumberLines(l, format, 1); });
}

void TFrameMemoNode::reverseSel_() {
  editSelection([](StringList& l) {
    ReverseLines(l);
    return 0;
  });
}

int TFrameMemoNode::splitCommaSel_() {
  return editSelection([this](StringList& l) {
    splitWork_.clear();
    splitWork_ = l;
    const int n = SplitAfterCommas(splitWork_);
    l = splitWork_;
    splitWork_.clear();
    return n;
  });
}

int TFrameMemoNode::joinLinesSel_() {
  return editSelection([](StringList& l) { return JoinLines(l); });
}

int TFrameMemoNode::setFieldLine_(const std::string& name, const std::string& value) {
  StringList lines = editorLines(fields_);
  if (lines.count() == 1 && lines[0].empty()) lines.clear();
  int i = lines.indexOfName(name);
  if (i < 0)
    i = lines.add(name + "=" + value);
  else
    lines.set(i, lines.name(i) + "=" + value);
  putAllText(fields_, linesToQ(lines));
  return i;
}

bool TFrameMemoNode::isMouseOverFields_() const {
  return fields_->isVisible() && fields_->rect().adjusted(1, 1, -1, -1).contains(fields_->mapFromGlobal(QCursor::pos()));
}

bool TFrameMemoNode::isMouseOverComment_() const {
  return comment_->isVisible() &&
         comment_->rect().adjusted(1, 1, -1, -1).contains(comment_->mapFromGlobal(QCursor::pos()));
}

// ---- caret position ----

std::string TFrameMemoNode::caretPositionText_(const QPlainTextEdit* edit) const {
  const QTextCursor c = edit->textCursor();
  // Columns count bytes of the Shift_JIS text, as every position of the editor does.
  const std::string before = fromQ(c.block().text().left(c.positionInBlock()));
  return CaretPositionText(c.blockNumber() + 1LL, static_cast<long long>(before.size()) + 1);
}

std::string TFrameMemoNode::caretStatus() const { return fromQ(memoStatus_->text()); }

namespace {
TFrameMemoNode::NameDialog& nameDialog() {
  static TFrameMemoNode::NameDialog dialog;
  return dialog;
}
}  // namespace

void TFrameMemoNode::setNameDialog(NameDialog dialog) { nameDialog() = std::move(dialog); }

void TFrameMemoNode::renameDialog_() {
  if (!node_) return;
  if (readOnly_ || node_->isReadOnly_()) return message_(kNameReadOnly);
  std::string name;
  if (!nameDialog() || !nameDialog()(this, owner_, node_, name)) return;
  name = sjis::trim(name);
  if (name.empty()) return message_("Do not rename Empty characters.");
  if (name != sjis::trim(nameText())) {
    renameTo(name);
    if (MemoHolder* h = node_->getParentHolder_()) h->modified = true;
  }
}

bool TFrameMemoNode::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (watched == name_ && t == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    renameDialog_();
    return true;
  }
  if (t == QEvent::MouseButtonPress && (watched == memo_->viewport() || watched == comment_->viewport() ||
                                        watched == fields_->viewport())) {
    // The press moves the caret only after this filter; the position is read then.
    QPointer<QObject> target = watched;
    QMetaObject::invokeMethod(
        this, [this, target] { if (target) showCaretStatus(target); }, Qt::QueuedConnection);
  }
  if (t == QEvent::KeyRelease || t == QEvent::MouseButtonRelease) showCaretStatus(watched);
  return QWidget::eventFilter(watched, event);
}

void TFrameMemoNode::showCaretStatus(QObject* watched) {
  if (watched == memo_ || watched == memo_->viewport()) {
    memoStatus_->setText(toQ(caretPositionText_(memo_)));
    memoStatus_->repaint();
  } else if (owner_ && (watched == comment_ || watched == comment_->viewport() || watched == fields_ ||
                        watched == fields_->viewport())) {
    QPlainTextEdit* e = focusedMemo_();
    if (!e) e = (watched == comment_ || watched == comment_->viewport()) ? comment_ : fields_;
    owner_->messageDoing_(caretPositionText_(e));
  }
}

// ---- characters Shift_JIS cannot hold ----

void TFrameMemoNode::markUnstorable(QPlainTextEdit* edit) {
  QList<QTextEdit::ExtraSelection> marks;
  QTextCharFormat mark;
  mark.setBackground(QColor(255, 160, 160));
  mark.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  mark.setUnderlineColor(Qt::red);
  mark.setToolTip(QStringLiteral("not stored in Shift_JIS"));
  const QString text = edit->toPlainText();
  for (qsizetype i = 0; i < text.size();) {
    const QChar ch = text[i];
    // A replacement character stands for bytes of the note that have no Unicode form;
    // the lines holding them keep their bytes unless edited.
    if (ch.unicode() < 0x80 || ch.unicode() == 0xFFFD) {
      ++i;
      continue;
    }
    char32_t cp = ch.unicode();
    qsizetype len = 1;
    if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(ch, text[i + 1]);
      len = 2;
    }
    if (!platform::sjisHolds(cp)) {
      QTextEdit::ExtraSelection sel;
      sel.cursor = QTextCursor(edit->document());
      sel.cursor.setPosition(static_cast<int>(i));
      sel.cursor.setPosition(static_cast<int>(i + len), QTextCursor::KeepAnchor);
      sel.format = mark;
      marks.append(sel);
    }
    i += len;
  }
  edit->setExtraSelections(marks);
}

// ---- popup menus ----

void TFrameMemoNode::buildMenus() {
  auto item = [this](QMenu* menu, const char* caption, auto fn) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, fn);
    return a;
  };
  auto attach = [this](QWidget* w, QMenu* menu) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, menu,
            [w, menu](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
  };
  auto clipboardItems = [&](QMenu* m) {
    std::vector<QAction*> editing;
    item(m, "Copy(&C)", [this] { copySel_(); });
    editing.push_back(item(m, "Cut(&T)", [this] { cutSel_(); }));
    editing.push_back(item(m, "Paste(&P)", [this] { paste_(); }));
    editing.push_back(item(m, "Undo(&U)", [this] { undo_(); }));
    item(m, "SelectAll(&A)", [this] { selectAll_(); });
    QMenu* all = m->addMenu(QStringLiteral("SelectAll"));
    item(all, "Normal", [this] { selectAll_(); });
    item(all, "&&Copy", [this] { selectAllCopy_(); });
    item(all, "&&Cut", [this] { selectAllCut_(); });
    item(all, "&&Paste", [this] { selectAllPaste_(); });
    return editing;
  };
  auto pastePlus = [&](QMenu* m, bool comment) {
    QMenu* p = m->addMenu(QStringLiteral("Paste+"));
    item(p, "Name", [this] { pasteName_(); });
    item(p, "Date", [this] { pasteDate_(); });
    item(p, "Time", [this] { pasteTime_(); });
    item(p, "Buffer", [this] { pasteFromBuffer_(); });
    item(p, "Line", [this] { pasteLine_(); });
    if (comment) item(p, "Memo", [this] { pasteMemoToComment_(); });
    return p;
  };
  auto markToName = [&](QMenu* m) {
    QMenu* n = m->addMenu(QStringLiteral("Mark To Name"));
    item(n, "Replace", [this] { replaceNameSel_(); });
    item(n, "Add", [this] { addNameSel_(); });
    item(n, "Add+", [this] { addNamePlusSel_(); });
  };

  auto* text = new QMenu(this);
  text->setObjectName(QStringLiteral("PopupMenuMemo"));
  std::vector<QAction*> editing = clipboardItems(text);
  editing.push_back(pastePlus(text, false)->menuAction());
  // Ten items made once and shown as far as the history goes. The submenu is never
  // offered empty: Qt does not open a menu without a visible item, and once it has
  // tried, the pointer no longer opens it even when it has items again. An empty history
  // shows a disabled line saying so.
  QMenu* hist = text->addMenu(QStringLiteral("Paste History"));
  std::vector<QAction*> entries;
  for (int i = 0; i < 10; ++i) {
    QAction* a = hist->addAction(QString());
    a->setObjectName(QStringLiteral("PasteHistory%1").arg(i * 10 + 1, 3, 10, QLatin1Char('0')));
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, i] { pasteHistory_(i); });
    entries.push_back(a);
  }
  QAction* none = hist->addAction(QStringLiteral("Paste Word List is empty."));
  none->setEnabled(false);
  connect(hist, &QMenu::aboutToShow, this, [this, entries, none] {
    const std::vector<std::string> captions = pasteHistoryCaptions_();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      entries[i]->setVisible(i < captions.size());
      // Captions are shown as written: an "&" in a copied text is no accelerator.
      if (i < captions.size()) entries[i]->setText(toQ(captions[i]).replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
    none->setVisible(captions.empty());
  });
  QMenu* copy = text->addMenu(QStringLiteral("Copy+"));
  item(copy, "Name+Memo", [this] { copyPlus_(NoteCopyParts::NameMemo); });
  item(copy, "Name+Memo+Comment", [this] { copyPlus_(NoteCopyParts::NameMemoComment); });
  item(copy, "Name+Memo+Comment+Fields", [this] { copyPlus_(NoteCopyParts::NameMemoCommentFields); });
  markToName(text);
  item(text, "Explorer", [this] { explorerSel_(); });
  item(text, "Shell", [this] { shellSel_(); });
  item(text, "Eval", [] { prompter().messageBox("Still Not Implimented", "", Buttons::OK); })->setVisible(false);
  editing.push_back(item(text, "Memo>>Fiels", [this] { memoToFields_(); }));
  editing.push_back(item(text, "Memo<<Fields", [this] { fieldsToMemo_(); }));
  editing.push_back(item(text, "->Poser", [this] { toPoser_(); }));
  editing.push_back(item(text, "->PoserLike", [this] { toPoserLike_(); }));
  connect(text, &QMenu::aboutToShow, this, [this, editing] {
    for (QAction* a : editing) a->setEnabled(!readOnly_);
  });
  attach(memo_, text);

  auto* comment = new QMenu(this);
  comment->setObjectName(QStringLiteral("PopupMenuComment"));
  clipboardItems(comment);
  pastePlus(comment, true);
  markToName(comment);
  item(comment, "Explorer", [this] { explorerSel_(); });
  attach(comment_, comment);

  auto* fields = new QMenu(this);
  fields->setObjectName(QStringLiteral("PopupMenuFields"));
  clipboardItems(fields);
  QMenu* fcopy = fields->addMenu(QStringLiteral("Copy+"));
  item(fcopy, "name", [this] { copyFieldName_(); });
  item(fcopy, "Value", [this] { copyFieldValue_(); });
  item(fcopy, "\"Value\"", [this] { copyFieldValueQuoted_(); });
  item(fcopy, "ExtractFilename", [this] { copyFieldExtractFilename_(); });
  QMenu* fcut = fields->addMenu(QStringLiteral("Cut+"));
  item(fcut, "Line", [this] { cutFieldLine_(); });
  item(fcut, "Value", [this] { cutFieldValue_(); });
  QMenu* fpaste = fields->addMenu(QStringLiteral("Paste+"));
  for (const char* line : {"Content-Transfer-Encoding=\"URL\"", "Content-Transfer-Encoding=\"binary\"",
                           "Filename=\"\"", "Link=\"\"", "FlagLink=\"true\"", "FlagWheel=\"true\""}) {
    const std::string caption = line;
    item(fpaste, line, [this, caption] { pasteField_(caption); });
  }
  item(fpaste, "UID", [this] { pasteFieldUID_(); });
  item(fpaste, "Created", [this] { pasteFieldStamp_("Created"); });
  item(fpaste, "LastModified", [this] { pasteFieldStamp_("LastModified"); });
  item(fields, "Paste++", [this] { pastePlusPlus_(); });
  item(fields, "Sort", [this] { sortActive_(); });
  attach(fields_, fields);

  auto* name = new QMenu(this);
  name->setObjectName(QStringLiteral("PopupMenu1"));
  item(name, "Copy(&C)", [this] { copyName_(); });
  item(name, "Replace(&R)", [this] { replaceNameFromClipboard_(); });
  item(name, "Add(&A)", [this] { addNameFromClipboard_(false); });
  item(name, "Add+", [this] { addNameFromClipboard_(true); });
  item(name, "ExtractFilename", [this] { extractFilenameName_(); });
  for (const char* mark : {"●", "★"}) {
    const std::string sjisMark = fromQ(QString::fromUtf8(mark));
    item(name, mark, [this, sjisMark] { prefixName_(sjisMark); });
  }
  item(name, "Rename", [this] { renameDialog_(); });
  attach(name_, name);
  name_->installEventFilter(this);

  for (QPlainTextEdit* e : {memo_, comment_, fields_}) {
    e->installEventFilter(this);
    e->viewport()->installEventFilter(this);
    connect(e, &QPlainTextEdit::textChanged, this, [this, e] { markUnstorable(e); });
  }
}

}  // namespace wux

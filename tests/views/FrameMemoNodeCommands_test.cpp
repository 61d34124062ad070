// The note editor's own commands, run on an editor showing a note, with a fake main
// window, a fake clipboard and a recording launcher: what they leave in the editors, on
// the clipboard, in the copy history and in the status line. Last, the same editor
// against the desktop's own clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include "model/text/sjis.h"
#include "platform/launcher.h"
#include "platform/textconv.h"
#include "support/FakeClipboard.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/BraceTreeView.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

const std::string kSo = sj("ソ");   // second byte 0x5C
const std::string kHyo = sj("表");  // second byte 0x5C

// An editor showing a note in an active window, with a fake main window.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    frame.setOwnerForm(&window);
    frame.resize(600, 500);
    frame.show();
    frame.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    show("note");
  }
  void show(const std::string& name) {
    frame.setNode(book.node(name));
    frame.showNode_();
  }
  MemoNodeUI* note() { return first_; }
  QPlainTextEdit* memo() { return frame.MemoNode0(); }
  QPlainTextEdit* fields() { return frame.Memo_Fields(); }
  void setText(QPlainTextEdit* e, const std::string& sjisText) {
    if (e == fields()) frame.showFields_();  // a collapsed editor takes no focus
    e->setPlainText(toQ(sjisText));
    focus(e);
  }
  std::string text(QPlainTextEdit* e) { return fromQ(e->toPlainText()); }
  std::string selected(QPlainTextEdit* e) {
    return fromQ(e->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
  }
  void focus(QPlainTextEdit* e) {
    e->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(e->hasFocus());
  }
  // Selects whole lines first..last (from 0) of an editor.
  void selectLines(QPlainTextEdit* e, int first, int last) {
    QTextCursor c(e->document()->findBlockByNumber(first));
    c.setPosition(e->document()->findBlockByNumber(last).position() +
                      e->document()->findBlockByNumber(last).length() - 1,
                  QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  }
  void caretToLine(QPlainTextEdit* e, int line) {
    e->setTextCursor(QTextCursor(e->document()->findBlockByNumber(line)));
  }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter prompter_{&rec};
  test::FakeMainWindow window;
  test::Notebook book{{std::string("note"), std::string("other")}};
  TFrameMemoNode frame;
  MemoNodeUI* first_ = book.node("note");  // kept: renames change what the name finds
};

// ... with a fake clipboard and a recording launcher.
class EditorCommandsTest : public EditorTest {
 protected:
  test::FakeClipboard clip;
  platform::RecordingLauncher launched;
  platform::ScopedLauncher launcher_{&launched};
};

TEST_F(EditorCommandsTest, WholeTextLineOperations) {
  setText(memo(), "b\na\na");
  EXPECT_EQ(frame.numberLines_(), 3);
  EXPECT_EQ(text(memo()), "00001:b\n00002:a\n00003:a");

  setText(memo(), "b\na\na");
  frame.markDuplicateLines_();
  EXPECT_EQ(text(memo()), "b\na\n* a");
  frame.sortUniqueLines_();
  EXPECT_EQ(text(memo()), "* a\na\nb");

  // A final line break stays one, and is no line of its own to sort.
  setText(memo(), "z\ny\n");
  EXPECT_EQ(frame.sortLines_(), 2);
  EXPECT_EQ(text(memo()), "y\nz\n");

  setText(memo(), "abc ABC\nxabcx");
  EXPECT_EQ(frame.countWord_("abc"), 3);
  frame.clearMemo_();
  EXPECT_EQ(text(memo()), "");
  // One undo brings the whole text back.
  memo()->undo();
  EXPECT_EQ(text(memo()), "abc ABC\nxabcx");
}

TEST_F(EditorCommandsTest, SelectionOperationsKeepTheResultSelected) {
  setText(memo(), "keep\n a \n\n b \nlast");
  selectLines(memo(), 1, 3);
  frame.trimLinesSel_();
  EXPECT_EQ(text(memo()), "keep\na\n\nb\nlast");
  EXPECT_EQ(selected(memo()), "a\n\nb");
  // What the first operation replaced is in the paste buffer.
  EXPECT_EQ(frame.pasteBuffer().join("|"), " a || b ");
  frame.deleteEmptyLinesSel_();
  EXPECT_EQ(text(memo()), "keep\na\nb\nlast");
  EXPECT_EQ(frame.addHeadEachLine_(">"), 2);
  EXPECT_EQ(frame.addTailEachLine_("<BR>"), 2);
  EXPECT_EQ(text(memo()), "keep\n>a<BR>\n>b<BR>\nlast");
  frame.cutHeadCharSel_();
  frame.reverseSel_();
  EXPECT_EQ(selected(memo()), "b<BR>\na<BR>");
  frame.sortSel_();
  EXPECT_EQ(selected(memo()), "a<BR>\nb<BR>");
  EXPECT_EQ(frame.joinLinesSel_(), 2);
  EXPECT_EQ(text(memo()), "keep\na<BR>b<BR>\nlast");

  setText(memo(), "one,two,three");
  memo()->selectAll();
  EXPECT_EQ(frame.splitCommaSel_(), 3);
  EXPECT_EQ(text(memo()), "one,\ntwo,\nthree");

  setText(memo(), "a\nb\nc\nd\ne\nf\ng\nh\ni\nj");
  memo()->selectAll();
  EXPECT_EQ(frame.setNumberSel_("%2d"), 10);
  EXPECT_EQ(text(memo()), " 1a\n 2b\n 3c\n 4d\n 5e\n 6f\n 7g\n 8h\n 9i\n10j");
  memo()->selectAll();
  EXPECT_EQ(frame.setNumberSel_("%s"), -1);  // refused by the safe formatter
  EXPECT_EQ(text(memo()), " 1a\n 2b\n 3c\n 4d\n 5e\n 6f\n 7g\n 8h\n 9i\n10j");

  // An empty selection changes nothing.
  caretToLine(memo(), 0);
  EXPECT_EQ(frame.joinLinesSel_(), 0);
  EXPECT_EQ(frame.addHeadEachLine_("#"), 0);
  EXPECT_EQ(text(memo()).substr(0, 3), " 1a");
}

TEST_F(EditorCommandsTest, JapaneseTextKeepsItsCharactersThroughEveryOperation) {
  const std::string a = kSo + "," + kHyo, b = kHyo + kSo, c = "  " + kSo + "  ";
  setText(memo(), a + "\n" + b + "\n" + b + "\n" + c);
  frame.markDuplicateLines_();
  EXPECT_EQ(text(memo()), a + "\n" + b + "\n* " + b + "\n" + c);
  memo()->selectAll();
  frame.trimLinesSel_();
  memo()->selectAll();
  EXPECT_EQ(frame.splitCommaSel_(), 5);
  EXPECT_EQ(text(memo()), kSo + ",\n" + kHyo + "\n" + b + "\n* " + b + "\n" + kSo);
  memo()->selectAll();
  frame.cutHeadCharSel_();
  EXPECT_EQ(text(memo()), ",\n\n" + kSo + "\n " + b + "\n");
  memo()->selectAll();
  // The selection ends in a line break (the emptied last line), which stays.
  EXPECT_EQ(frame.joinLinesSel_(), 4);
  EXPECT_EQ(text(memo()), "," + kSo + " " + b + "\n");
  EXPECT_EQ(frame.countWord_(kSo), 2);
  frame.numberLines_();
  EXPECT_EQ(text(memo()), "00001:," + kSo + " " + b + "\n");
  // The commit stores the same bytes.
  frame.storeNode_();
  EXPECT_EQ(note()->body()[0], "00001:," + kSo + " " + b);
}

TEST_F(EditorCommandsTest, ClipboardAndCopyHistory) {
  setText(memo(), "hello world");
  QTextCursor c = memo()->textCursor();
  c.setPosition(0);
  c.setPosition(5, QTextCursor::KeepAnchor);
  memo()->setTextCursor(c);
  frame.copySel_();
  EXPECT_EQ(clip.text_, "hello");
  EXPECT_EQ(window.status(), "Copy 5");
  frame.cutSel_();
  EXPECT_EQ(text(memo()), " world");
  EXPECT_EQ(window.status(), "Cut 5");

  clip.text_ = "pasted";
  frame.paste_();
  EXPECT_EQ(text(memo()), "pasted world");
  EXPECT_EQ(selected(memo()), "pasted");
  clip.text_.clear();
  frame.paste_();
  EXPECT_EQ(window.status(), "no text");

  // Captions: 40 bytes whole, 41 cut with the length.
  window.history.clear();
  EXPECT_TRUE(frame.pasteHistoryCaptions_().empty());
  EXPECT_EQ(window.status().rfind("Paste Word List is empty. 2026/12/06 12:34:56:789", 0), 0u) << window.status();
  const std::string forty(40, 'x');
  window.AddCopyHistory(forty + "y");
  window.AddCopyHistory(forty);
  const auto captions = frame.pasteHistoryCaptions_();
  ASSERT_EQ(captions.size(), 2u);
  EXPECT_EQ(captions[0], forty);
  EXPECT_EQ(captions[1], forty + "...41");
  setText(memo(), "");
  frame.pasteHistory_(1);
  EXPECT_EQ(text(memo()), forty + "y");
  EXPECT_EQ(window.status(), "Paste Histroy " + forty + "y");
  EXPECT_EQ(window.history[0], forty + "y");
  frame.pasteHistory_(99);  // beyond the history: nothing
  EXPECT_EQ(text(memo()), forty + "y");

  // Generated text goes over the selection and into the history where it should.
  window.history.clear();
  setText(memo(), "");
  frame.pasteTime_();
  EXPECT_EQ(text(memo()), "12:34:56");
  EXPECT_EQ(window.status(), "Paste Time 12:34:56");
  window.dateFormat = "\"YYYY-MM-DD\"";
  setText(memo(), "");
  frame.pasteDate_();
  EXPECT_EQ(text(memo()), "2026-12-06");
  window.dateFormat = "\"\"";
  setText(memo(), "");
  frame.pasteDate_();
  EXPECT_EQ(text(memo()), "20261206");
  frame.pasteLine_();
  EXPECT_EQ(text(memo()), kSeparatorLine);
  ASSERT_EQ(window.history.count(), 2);  // the time and the line, not the dates
  frame.pasteFromBuffer_();
  EXPECT_EQ(text(memo()), "20261206");
}

TEST_F(EditorCommandsTest, CopyOfTheWholeNote) {
  setText(memo(), "text");
  frame.Memo_comment()->setPlainText(QStringLiteral("remark"));
  fields()->setPlainText(QStringLiteral("Link=\"abc\""));
  frame.copyPlus_(NoteCopyParts::NameMemoCommentFields);
  StringList copied;
  copied.setText(clip.text_);
  ASSERT_EQ(copied.count(), 7);
  EXPECT_EQ(copied[0], "note");
  EXPECT_EQ(copied[2], "text");
  EXPECT_EQ(copied[4], "remark");
  EXPECT_EQ(copied[6], "Link=\"abc\"");
  EXPECT_EQ(copied[5], kSeparatorFields);
}

TEST_F(EditorCommandsTest, FieldLineCommands) {
  setText(fields(), "Link=\"abc\"\nfoo");
  caretToLine(fields(), 0);
  frame.cutFieldValue_();
  EXPECT_EQ(text(fields()), "Link=\"\"\nfoo");
  EXPECT_EQ(clip.text_, "abc");
  EXPECT_EQ(window.status(), "Cut Value abc");

  clip.text_ = "xyz";
  caretToLine(fields(), 1);
  frame.pastePlusPlus_();
  EXPECT_EQ(text(fields()), "Link=\"\"\n=\"xyz\"");
  EXPECT_EQ(clip.text_, "");
  EXPECT_EQ(window.status(), "Paste++ xyz");

  // The clipboard gives a field value at most 249 bytes, ending on a whole character.
  clip.text_ = std::string(248, 'q') + kSo;
  caretToLine(fields(), 0);
  frame.pastePlusPlus_();
  EXPECT_EQ(text(fields()), "Link=\"" + std::string(248, 'q') + "\"\n=\"xyz\"");

  setText(fields(), "plain\nFilename=\"C:\\dir\\file.txt\"");
  caretToLine(fields(), 0);
  frame.copyFieldName_();
  EXPECT_EQ(clip.text_, "");
  caretToLine(fields(), 1);
  frame.copyFieldValue_();
  EXPECT_EQ(clip.text_, "C:\\dir\\file.txt");
  frame.copyFieldValueQuoted_();
  EXPECT_EQ(clip.text_, "\"C:\\dir\\file.txt\"");
  frame.copyFieldExtractFilename_();
  EXPECT_EQ(clip.text_, "file.txt");
  frame.cutFieldLine_();
  EXPECT_EQ(text(fields()), "plain");
  EXPECT_EQ(clip.text_, "Filename=\"C:\\dir\\file.txt\"");

  EXPECT_EQ(frame.setFieldLine_("Tag", "\"1\""), 1);
  EXPECT_EQ(frame.setFieldLine_("tag", "\"2\""), 1);
  EXPECT_EQ(text(fields()), "plain\nTag=\"2\"");
  frame.sortActive_();
  EXPECT_EQ(text(fields()), "plain\nTag=\"2\"");
  EXPECT_EQ(window.status(), "Sort Fields Area");
}

TEST_F(EditorCommandsTest, NameCommandsRenameAtOnce) {
  setText(memo(), "other\nmore");
  selectLines(memo(), 0, 0);
  frame.replaceNameSel_();
  // "other" is taken: the notebook's unique name is given and shown.
  EXPECT_NE(note()->name(), "note");
  EXPECT_NE(note()->name(), "other");
  EXPECT_EQ(frame.nameText(), note()->name());
  EXPECT_EQ(window.status(), "Repalce Name " + note()->name());

  caretToLine(memo(), 1);
  frame.replaceNameSel_();
  EXPECT_EQ(window.status(), "Cancel: Repalce Name : New name is empty!");

  clip.text_ = "  fresh\r\n ";
  frame.replaceNameFromClipboard_();
  EXPECT_EQ(note()->name(), "fresh");
  EXPECT_EQ(window.status(), "Replace Name fresh");
  clip.text_ = "tail";
  frame.addNameFromClipboard_(true);
  EXPECT_EQ(note()->name(), "fresh tail");
  clip.text_ = "C:\\dir\\pic.png";
  frame.replaceNameFromClipboard_();
  frame.extractFilenameName_();
  EXPECT_EQ(note()->name(), "pic.png");
  frame.copyName_();
  EXPECT_EQ(clip.text_, "pic.png");
}

TEST_F(EditorCommandsTest, CaretPositionAndShell) {
  setText(memo(), "first\n" + kSo + "x");
  caretToLine(memo(), 0);
  QTest::keyRelease(memo(), Qt::Key_Shift);
  EXPECT_EQ(frame.caretStatus(), "        1:   1");
  QTextCursor c = memo()->textCursor();
  c.setPosition(7);  // after the double-byte character of line 2
  memo()->setTextCursor(c);
  QTest::keyRelease(memo(), Qt::Key_Shift);
  EXPECT_EQ(frame.caretStatus(), "        2:   3");

  setText(memo(), "  http://example.invalid/page  ");
  memo()->selectAll();
  frame.shellSel_();
  ASSERT_EQ(launched.calls.size(), 1u);
  EXPECT_EQ(launched.calls[0].target, "http://example.invalid/page");

  test::TempDir tmp;
  setText(memo(), tmp.str("missing") + "/");
  memo()->selectAll();
  frame.shellSel_();
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back(), tmp.str("missing") + "/ not exists");
  setText(memo(), tmp.path.string() + "/");
  memo()->selectAll();
  frame.shellSel_();
  ASSERT_EQ(launched.calls.size(), 2u);
  EXPECT_EQ(launched.calls[1].verb, "explore");

  // A missing file says so in a confirmation box; Explorer with nothing selected warns.
  setText(memo(), tmp.str("missing.txt"));
  memo()->selectAll();
  frame.shellSel_();
  EXPECT_EQ(rec.kindOf(tmp.str("missing.txt") + " not exists"), BoxKind::Confirmation);
  setText(memo(), "   ");
  memo()->selectAll();
  frame.explorerSel_();
  EXPECT_EQ(rec.kindOf("Not selected"), BoxKind::Warning);
  EXPECT_EQ(launched.calls.size(), 2u);

  // From the menu: a desktop that takes nothing is said in a box, with the reason.
  launched.result = false;
  QAction* shell = nullptr;
  for (QAction* a : frame.findChild<QMenu*>(QStringLiteral("PopupMenuMemo"))->actions())
    if (a->text() == QStringLiteral("Shell")) shell = a;
  ASSERT_NE(shell, nullptr);
  for (const std::string& target : {std::string("http://example.invalid/page"), tmp.path.string() + "/"}) {
    setText(memo(), target);
    memo()->selectAll();
    rec.asked.clear();
    shell->trigger();
    EXPECT_EQ(rec.messages(), std::vector<std::string>{"could not open " + target + ": " + launched.reason});
  }
}

TEST_F(EditorCommandsTest, PopupMenusOfferTheCommands) {
  auto* text = frame.findChild<QMenu*>(QStringLiteral("PopupMenuMemo"));
  ASSERT_NE(text, nullptr);
  auto action = [](QMenu* menu, const QString& caption) -> QAction* {
    for (QAction* a : menu->actions())
      if (a->text() == caption) return a;
    return nullptr;
  };
  ASSERT_NE(action(text, QStringLiteral("Paste(&P)")), nullptr);
  ASSERT_NE(action(text, QStringLiteral("Copy(&C)")), nullptr);
  frame.setReadOnly_(true);
  emit text->aboutToShow();
  EXPECT_FALSE(action(text, QStringLiteral("Paste(&P)"))->isEnabled());
  EXPECT_FALSE(action(text, QStringLiteral("Paste+"))->isEnabled());
  EXPECT_TRUE(action(text, QStringLiteral("Copy(&C)"))->isEnabled());
  EXPECT_FALSE(action(text, QStringLiteral("->Poser"))->isEnabled());
  EXPECT_FALSE(action(text, QStringLiteral("->PoserLike"))->isEnabled());
  EXPECT_FALSE(action(text, QStringLiteral("Memo>>Fiels"))->isEnabled());
  EXPECT_FALSE(action(text, QStringLiteral("Memo<<Fields"))->isEnabled());
  frame.setReadOnly_(false);
  emit text->aboutToShow();
  EXPECT_TRUE(action(text, QStringLiteral("Paste(&P)"))->isEnabled());

  // The history submenu is filled as it opens; choosing an item pastes its entry.
  window.AddCopyHistory("a&b");
  QMenu* history = action(text, QStringLiteral("Paste History"))->menu();
  ASSERT_NE(history, nullptr);
  emit history->aboutToShow();
  ASSERT_TRUE(history->actions()[0]->isVisible());
  EXPECT_FALSE(history->actions()[1]->isVisible());
  EXPECT_EQ(history->actions()[0]->text(), QStringLiteral("a&&b"));
  setText(memo(), "");
  history->actions()[0]->trigger();
  EXPECT_EQ(this->text(memo()), "a&b");

  for (const char* name : {"PopupMenuComment", "PopupMenuFields", "PopupMenu1"})
    EXPECT_NE(frame.findChild<QMenu*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(EditorCommandsTest, AReadOnlyNoteKeepsItsEncodingAndShowsItsTreeReadOnly) {
  // A read-only editor takes no text from the frame's own operations.
  setText(memo(), "kept");
  frame.setReadOnly_(true);
  frame.clearMemo_();
  frame.replaceActiveMemoSel_("inserted");
  setText(fields(), "A=\"1\"");
  frame.memoToFields_();
  frame.fieldsToMemo_();
  EXPECT_EQ(text(memo()), "kept");
  EXPECT_EQ(text(fields()), "A=\"1\"");
  // Undo too: the fields' menu offers it whatever the state.
  frame.setReadOnly_(false);
  setText(fields(), "B=2");
  QTest::keyClicks(fields(), "3");
  const std::string typed = text(fields());
  frame.setReadOnly_(true);
  frame.undo_();
  EXPECT_EQ(text(fields()), typed);
  // The name items say they refused, not that they renamed.
  setText(memo(), "new name");
  memo()->selectAll();
  frame.setReadOnly_(true);
  frame.replaceNameSel_();
  EXPECT_EQ(window.status(), "Read Only Mode! Can not Change Node name.");
  frame.setReadOnly_(false);

  note()->putReadOnly_(true);
  const std::string encoding = note()->getField_("Content-Transfer-Encoding");
  frame.toPoser_();
  EXPECT_EQ(note()->getField_("Content-Transfer-Encoding"), encoding);
  EXPECT_EQ(window.status(), "Stop: This MemoNode is Read Only. (note)");

  note()->putField_("Content-Transfer-Encoding", "\"Poser\"");
  note()->body().setText("a\r\n{\r\nb\r\n}\r\n");
  show("note");
  auto* tree = frame.findChild<TBraceTreeView*>();
  ASSERT_TRUE(tree && tree->isVisible());
  tree->setFocus();
  tree->setCurrentItem(tree->topLevelItem(0));
  QTest::keyClick(tree, Qt::Key_F2);  // the edit key opens no editor
  EXPECT_EQ(QApplication::focusWidget(), tree);
  tree->deleteNode_();
  EXPECT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(note()->body().text(), "a\r\n{\r\nb\r\n}\r\n");
}

// Paste History is never offered empty: without entries it opens on a line saying so,
// which chooses nothing.
TEST_F(EditorCommandsTest, AnEmptyPasteHistorySaysSoInItsMenu) {
  auto* text = frame.findChild<QMenu*>(QStringLiteral("PopupMenuMemo"));
  QMenu* history = nullptr;
  for (QAction* a : text->actions())
    if (a->text() == QStringLiteral("Paste History")) history = a->menu();
  ASSERT_NE(history, nullptr);
  window.copyHistory().clear();
  QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5));
  QApplication::sendEvent(memo()->viewport(), &request);
  history->popup(text->pos());
  QStringList shown;
  for (QAction* a : history->actions())
    if (a->isVisible()) shown << a->text() + (a->isEnabled() ? "" : " (disabled)");
  EXPECT_EQ(shown, QStringList{"Paste Word List is empty. (disabled)"});
  EXPECT_EQ(window.status().rfind("Paste Word List is empty. ", 0), 0u);
  history->hide();
  text->hide();
}

TEST_F(EditorCommandsTest, CharactersShiftJisCannotHoldAreMarkedAndNamed) {
  setText(memo(), "");
  memo()->insertPlainText(QString::fromUtf8("a\u20AC\u00E9\U0001F600\u301Cb"));
  const auto marks = memo()->extraSelections();
  ASSERT_EQ(marks.size(), 3);
  EXPECT_EQ(marks[0].cursor.selectedText(), QString::fromUtf8("\u20AC"));
  EXPECT_EQ(marks[2].cursor.selectedText(), QString::fromUtf8("\U0001F600"));
  frame.storeNode_();
  EXPECT_EQ(window.status(), "Warrning: not stored in Shift_JIS: U+20AC U+00E9 U+1F600");
  // The wave dash has a Shift_JIS form; the others became "?".
  EXPECT_EQ(note()->body()[0], "a???" + sj("\u301C") + "b");
  // Text that Shift_JIS holds raises no word.
  window.statuses.clear();
  setText(memo(), kSo);
  EXPECT_TRUE(memo()->extraSelections().isEmpty());
  frame.storeNode_();
  EXPECT_TRUE(window.statuses.empty());
}

// The editor against the desktop's own clipboard: its popup items move text as the
// editor holds it, characters Shift_JIS cannot hold included, and report those on
// commit as typed ones are. Also the popup's full set of items and the caret status.
const QString kForeign = QStringLiteral("a\u20AC\u00E9b");  // "a€éb": € and é are not Shift_JIS

class EditorClipboardTest : public EditorTest {
 protected:
  ~EditorClipboardTest() override { QGuiApplication::clipboard()->clear(); }
  QMenu* popup(const char* name) { return frame.findChild<QMenu*>(QString::fromLatin1(name)); }
  // The item of a popup (or of its submenus) with this caption.
  QAction* item(const char* menu, const QString& caption) {
    QMenu* m = popup(menu);
    if (!m) return nullptr;
    for (QMenu* sub : m->findChildren<QMenu*>())
      for (QAction* a : sub->actions())
        if (a->text() == caption) return a;
    for (QAction* a : m->actions())
      if (a->text() == caption) return a;
    return nullptr;
  }
  void run(const char* caption) {
    QAction* a = item("PopupMenuMemo", QString::fromUtf8(caption));
    ASSERT_NE(a, nullptr) << caption;
    a->trigger();
  }
  void focusMemo() { focus(memo()); }
  QString clipboardText() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(EditorClipboardTest, MenuClipboardItemsMoveTextWholeAndCommitReportsWhatShiftJisLoses) {
  // Paste(&P): the clipboard's text reaches the editor whole, marked on commit.
  focusMemo();
  QGuiApplication::clipboard()->setText(kForeign);
  run("Paste(&P)");
  EXPECT_EQ(memo()->toPlainText(), kForeign);
  window.statuses.clear();
  frame.storeNode_();
  EXPECT_EQ(window.status(), "Warrning: not stored in Shift_JIS: U+20AC U+00E9");

  // Copy and Cut put the selection on the clipboard as the editor holds it.
  QGuiApplication::clipboard()->clear();
  memo()->selectAll();
  run("Copy(&C)");
  EXPECT_EQ(clipboardText(), kForeign);
  QGuiApplication::clipboard()->clear();
  memo()->selectAll();
  run("Cut(&T)");
  EXPECT_EQ(clipboardText(), kForeign);
  EXPECT_EQ(memo()->toPlainText(), QString());

  // The Select All items do the same with the whole text.
  QGuiApplication::clipboard()->setText(QStringLiteral("x\u20ACy"));
  run("&&Paste");
  EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x\u20ACy"));
  QGuiApplication::clipboard()->clear();
  run("&&Copy");
  EXPECT_EQ(clipboardText(), QStringLiteral("x\u20ACy"));
  QGuiApplication::clipboard()->clear();
  run("&&Cut");
  EXPECT_EQ(clipboardText(), QStringLiteral("x\u20ACy"));
  EXPECT_EQ(memo()->toPlainText(), QString());
}

TEST_F(EditorClipboardTest, PopupOffersSelectAllAndAHiddenEval) {
  for (const char* menu : {"PopupMenuMemo", "PopupMenuComment", "PopupMenuFields"})
    EXPECT_NE(item(menu, QStringLiteral("SelectAll(&A)")), nullptr) << menu;
  memo()->setPlainText(QStringLiteral("all of it"));
  focusMemo();
  run("SelectAll(&A)");
  EXPECT_EQ(memo()->textCursor().selectedText(), QStringLiteral("all of it"));

  QAction* eval = item("PopupMenuMemo", QStringLiteral("Eval"));
  ASSERT_NE(eval, nullptr);
  EXPECT_FALSE(eval->isVisible());
  eval->trigger();
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Still Not Implimented"});
}

TEST_F(EditorClipboardTest, CaretStatusFollowsAMousePress) {
  memo()->setPlainText(QStringLiteral("first\nsecond line\nthird"));
  focusMemo();
  memo()->moveCursor(QTextCursor::Start);
  const QRect line2 = memo()->cursorRect(QTextCursor(memo()->document()->findBlockByNumber(1)));
  // Pressed (not yet released) at the start of the second line.
  QTest::mousePress(memo()->viewport(), Qt::LeftButton, {}, line2.center() + QPoint(1, 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame.caretStatus(), "        2:   1");
  QTest::mouseRelease(memo()->viewport(), Qt::LeftButton, {}, line2.center() + QPoint(1, 0));
}

}  // namespace
}  // namespace wux

namespace wux {
namespace {

// An editor that nobody gives a status line reports nowhere: no box stops the user.
TEST(EditorWithoutOwner, ReportsToItsSinkOrNowhere) {
  test::qtApp();
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  test::Notebook book{{std::string("note")}};
  TFrameMemoNode frame;
  frame.setNode(book.node("note"));
  frame.showNode_();
  frame.setReadOnly_(true);
  frame.show();
  QTest::mouseClick(frame.StaticText_name(), Qt::LeftButton);  // read-only: it only says why not
  EXPECT_TRUE(rec.asked.empty());
  std::vector<std::string> said;
  frame.setStatusSink([&](const std::string& text) { said.push_back(text); });
  QTest::mouseClick(frame.StaticText_name(), Qt::LeftButton);
  EXPECT_EQ(said, (std::vector<std::string>{"Read Only Mode! Can not Change Node name."}));
}

}  // namespace
}  // namespace wux

// The note editor against the desktop's own clipboard: its popup items move text as the
// editor holds it, characters Shift_JIS cannot hold included, and report those on
// commit as typed ones are. Also the popup's full set of items and the caret status.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

const QString kForeign = QStringLiteral("a\u20AC\u00E9b");  // "a€éb": € and é are not Shift_JIS

class EditorClipboardTest : public ::testing::Test {
 protected:
  EditorClipboardTest() {
    frame.setOwnerForm(&window);
    frame.resize(600, 500);
    frame.show();
    frame.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.setNode(book.node("note"));
    frame.showNode_();
  }
  ~EditorClipboardTest() override { QGuiApplication::clipboard()->clear(); }
  QPlainTextEdit* memo() { return frame.MemoNode0(); }
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
  void focusMemo() {
    memo()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(memo()->hasFocus());
  }
  QString clipboardText() { return QGuiApplication::clipboard()->text(); }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter prompter_{&rec};
  test::FakeMainWindow window;
  test::Notebook book{{std::string("note")}};
  TFrameMemoNode frame;
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

// The windows around the main window through the command table: note windows, the log,
// the browser window, the content view and the tag viewer.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QCheckBox>
#include <QTest>
#include <QTreeView>

#include "dialogs/NoteWindow.h"
#include "dialogs/SmallWindows.h"
#include "dialogs/TagTreeModel.h"
#include "dialogs/TagViewer.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "platform/files.h"
#include "support/FakeClipboard.h"
#include "support/fake_browser.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

class WindowCommandsTest : public test::NewDocumentTest {
 protected:
  WindowCommandsTest() : NewDocumentTest({2026, 12, 6, 8, 0, 0, 0}) {}
};

TEST_F(WindowCommandsTest, NoteWindowsEditTheNoteAndGoWithIt) {
  test::addNotes(holder(), {"second"});
  current()->body().setText("first text");
  holder()->modified = false;
  EXPECT_EQ(run("UIShowFormMemoNode"), 0);
  EXPECT_EQ(run("UIShowFormMemoNode"), 0);
  auto windows = form->findChildren<TFormMemoNode*>();
  ASSERT_EQ(windows.size(), 2u);
  TFormMemoNode* f = windows.back();
  EXPECT_EQ(f->width(), static_cast<int>(std::lround(form->width() * 0.96)));
  EXPECT_EQ(current()->noteWindow, f);
  // The main editor steps aside while the note is in its own window.
  EXPECT_FALSE(form->getHolderFrame()->FrameMemoNode1()->isVisibleTo(form->getHolderFrame()));

  f->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("edited in its window"));
  f->close();
  EXPECT_EQ(current()->body().text(), "edited in its window\r\n");
  EXPECT_TRUE(holder()->modified);

  // Deleting the note with its other window open: the note goes to the waste notebook
  // and the window still edits it there; a new document frees it, and the window lets go.
  QPointer<TFormMemoNode> other = windows.front();
  MemoNodeUI* note = current();
  ASSERT_EQ(other->node(), note);
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->node(), note);
  form->newMemoFile();
  ASSERT_TRUE(other);
  EXPECT_TRUE(other->noteGone());
  EXPECT_EQ(other->node(), nullptr);
  other->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(other);

  // A read-only window leaves the note to the main editor: what is typed there stays.
  form->getHolderFrame()->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("before"));
  EXPECT_EQ(run("UIShowFormMemoNodeReadOnly"), 0);
  TFormMemoNode* ro = form->findChildren<TFormMemoNode*>().back();
  EXPECT_TRUE(ro->readOnly());
  EXPECT_EQ(current()->body().text(), "before\r\n");
  EXPECT_EQ(current()->noteWindow, nullptr);
  form->getHolderFrame()->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("typed in the main editor"));
  form->UI2Model();
  EXPECT_EQ(current()->body().text(), "typed in the main editor\r\n");

  // Cleared, the window takes the note over with what the main editor had.
  QTest::mouseClick(ro->CheckBox_UIReadOnly(), Qt::LeftButton);
  EXPECT_EQ(current()->noteWindow, ro);
  EXPECT_EQ(fromQ(ro->FrameMemoNode1()->MemoNode0()->toPlainText()), "typed in the main editor");
  ro->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("now in the window"));
  form->UI2Model();
  EXPECT_EQ(current()->body().text(), "now in the window\r\n");
  ro->close();
}

TEST_F(WindowCommandsTest, LogWindowFollowsTheLog) {
  form->addLog_("made before it is shown");
  form->getMemoFile()->putField_("Color", "\"clAqua\"");
  EXPECT_EQ(run("UIShowFormLog"), 0);
  EXPECT_EQ(status().rfind("Show FormLog ", 0), 0u);
  TFormLog* log = form->getFormLog();
  EXPECT_TRUE(log->isVisible());
  // The log reads in the document's colour as it is when the log is shown.
  EXPECT_EQ(log->MemoLog()->palette().color(QPalette::Base), QColor(0, 255, 255));
  form->getMemoFile()->putField_("Color", "\"clYellow\"");
  EXPECT_EQ(run("UIShowFormLog"), 0);
  EXPECT_EQ(log->MemoLog()->palette().color(QPalette::Base), QColor(255, 255, 0));
  const int before = log->lines().count();
  form->addLog_("one more line");
  EXPECT_EQ(log->lines().count(), before + 1);
  EXPECT_EQ(log->lines()[before], "one more line");

  test::FakeClipboard clip;
  log->CopyAllClick();
  EXPECT_NE(clip.text().find("one more line"), std::string::npos);

  const int notes = holder()->getNodeCount_();
  log->NewNodeClick();
  EXPECT_EQ(holder()->getNodeCount_(), notes + 1);
  EXPECT_NE(current()->body().text().find("one more line"), std::string::npos);

  log->ClearClick();
  EXPECT_EQ(log->lines().count(), 0);

  TFormLog alone;
  alone.NewNodeClick();
  EXPECT_EQ(rec.messages().back(), "aForm = nil");
}

TEST(LogWindow, LongLinesWrapOnTheScreenOnly) {
  test::qtApp();
  TFormLog log;
  log.resize(300, 200);
  log.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
  const std::string line = "Launch " + std::string(200, 'x') + " end";
  log.appendLine(line);
  auto* memo = log.findChild<QPlainTextEdit*>(QStringLiteral("MemoLog"));
  ASSERT_NE(memo, nullptr);
  QApplication::processEvents();
  const QTextBlock block = memo->document()->firstBlock();
  ASSERT_NE(block.layout(), nullptr);
  EXPECT_GT(block.layout()->lineCount(), 1);
  EXPECT_EQ(memo->horizontalScrollBar()->maximum(), 0);
  ASSERT_EQ(log.lines().count(), 1);
  EXPECT_EQ(log.lines()[0], line);
}

TEST_F(WindowCommandsTest, BrowserWindowAndContentView) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  QFont f = form->font();
  f.setPointSize(15);
  form->setFont(f);
  EXPECT_EQ(run("UIShowFormWB"), 0);
  EXPECT_EQ(status().rfind("Show FormWB ", 0), 0u);
  ASSERT_NE(form->findChild<TFormWB*>(), nullptr);
  // The browser window reads in the main window's font.
  EXPECT_EQ(form->findChild<TFormWB*>()->font().pointSize(), 15);

  current()->body().setText("shown");
  EXPECT_EQ(run("UIShowFormContentView"), 0);
  auto* view = form->findChild<TFormContentView*>();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->shownView(), "memo");
  EXPECT_EQ(fromQ(view->Memo1()->toPlainText()), "shown");
  setWebBrowserFactory(previous);
}

TEST_F(WindowCommandsTest, TagViewerShowsTheLastNotebookRead) {
  // A notebook of two notes, read back; then a file cut short.
  std::string error;
  {
    std::unique_ptr<MemoHolder> book(Create<MemoHolder>(nullptr));
    book->loaded = true;
    for (const char* name : {"n1", "n2"}) {
      MemoNode* n = book->newNode_();
      n->body().setText(std::string("text of ") + name);
      book->addNode_(n, name);
    }
    ASSERT_GT(book->saveToFile_(tmp.str("book.mxh"), &error), 0) << error;
  }
  MemoHolderUI* opened = form->documentSession().openHolder(tmp.str("book.mxh"));
  ASSERT_NE(opened, nullptr);

  EXPECT_EQ(run("UIShowFormTAGLParser"), 0);
  auto* viewer = form->findChild<TFormTAGLParser*>();
  ASSERT_NE(viewer, nullptr);
  viewer->ViewTreeClick();
  TagTreeModel& m = *viewer->treeModel();
  const QModelIndex top = m.index(0, 0);
  m.fetchMore(top);
  bool holderShown = false;
  for (int i = 0; i < m.rowCount(top); ++i) holderShown |= m.label(m.index(i, 0, top)).rfind("<Holder", 0) == 0;
  EXPECT_TRUE(holderShown);

  viewer->ViewWordListClick();
  const std::string words = fromQ(viewer->Memo1()->toPlainText());
  EXPECT_EQ(words.rfind("00001:<", 0), 0u);

  // A file cut short: its messages are there to read.
  std::string text;
  ASSERT_TRUE(platform::readFile(tmp.str("book.mxh"), text));
  platform::writeFileAtomic(tmp.str("cut.mxh"), text.substr(0, text.find("</Record>") + 9));
  form->documentSession().openHolder(tmp.str("cut.mxh"));
  viewer->ViewMessageClick();
  EXPECT_FALSE(fromQ(viewer->Memo1()->toPlainText()).empty());
  EXPECT_EQ(form->documentSession().lastParsedFile(), tmp.str("cut.mxh"));
}

}  // namespace
}  // namespace wux

// Note windows, the content view and the browser window, against the
// fake main window.
#include "dialogs/NoteWindow.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/SmallWindows.h"
#include "platform/files.h"
#include "support/picture_bytes.h"
#include "support/FakeClipboard.h"
#include "support/RecordingPrompter.h"
#include "support/fake_browser.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include "views/qtext.h"
#include "views/views_support.h"

using namespace wux;
using test::FakeMainWindow;

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class NoteWindowTest : public ::testing::Test {
 protected:
  NoteWindowTest() {
    test::qtApp();
    w.addNotebook("book");
    note = w.addNote("first");
    note->body().setText("hello");
  }
  ~NoteWindowTest() override { flushDeletes(); }
  TFormMemoNode* open(bool readOnly) {
    TFormMemoNode* f = nullptr;
    EXPECT_EQ(showNoteWindow(w, nullptr, readOnly, &f), 0);
    return f;
  }
  std::string editorText(TFormMemoNode* f) { return fromQ(f->FrameMemoNode1()->MemoNode0()->toPlainText()); }

  RecordingPrompter rec;
  ScopedPrompter usePrompter{&rec};
  FakeMainWindow w;
  MemoNodeUI* note = nullptr;
};

TEST_F(NoteWindowTest, EditingInTheWindowReachesTheNotebookOnClose) {
  w.holder->modified = false;
  TFormMemoNode* f = open(false);
  EXPECT_EQ(w.status(), "Done: Show FormMemoNode");
  EXPECT_EQ(fromQ(f->StaticText_Holder()->text()), "book");
  EXPECT_EQ(note->noteWindow, f);
  EXPECT_EQ(editorText(f), "hello");
  EXPECT_GT(w.shows, 0);  // the main window hands the note over to the window

  QPlainTextEdit* memo = f->FrameMemoNode1()->MemoNode0();
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, " world");
  f->close();
  EXPECT_EQ(note->body().text(), "hello world\r\n");
  EXPECT_TRUE(w.holder->modified);
  EXPECT_EQ(note->noteWindow, nullptr);
}

TEST_F(NoteWindowTest, ReadOnlyWindowChangesNothingUntilItsBoxIsCleared) {
  test::FakeClipboard clip;
  clip.setText("pasted");
  w.holder->modified = false;
  TFormMemoNode* f = open(true);
  EXPECT_EQ(w.status(), "Done: Show FormMemoNodeReadOnly");
  EXPECT_TRUE(f->CheckBox_UIReadOnly()->isChecked());
  TFrameMemoNode* frame = f->FrameMemoNode1();
  QPlainTextEdit* memo = frame->MemoNode0();
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, "typed");
  frame->paste_();
  frame->addNameFromClipboard_(true);
  QTest::keyClicks(frame->Memo_comment(), "comment");
  w.UI2Model();
  f->close();
  EXPECT_EQ(note->body().text(), "hello\r\n");
  EXPECT_EQ(note->name(), "first");
  EXPECT_FALSE(w.holder->modified);

  // Cleared, the box lets the same window edit.
  f = open(true);
  QTest::mouseClick(f->CheckBox_UIReadOnly(), Qt::LeftButton);
  EXPECT_FALSE(f->readOnly());
  memo = f->FrameMemoNode1()->MemoNode0();
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, "!");
  // Checking it again keeps what was typed meanwhile.
  f->setReadOnly(true);
  EXPECT_EQ(note->body().text(), "hello!\r\n");
  f->close();
  EXPECT_TRUE(w.holder->modified);
}

TEST_F(NoteWindowTest, AWindowOutlivesItsNoteSafely) {
  TFormMemoNode* f = open(false);
  TFormMemoNode* second = open(false);
  EXPECT_NE(f, second);
  QTest::keyClicks(f->FrameMemoNode1()->MemoNode0(), "unsaved ");
  w.holder->removeNode_(note);
  delete note;
  for (TFormMemoNode* win : {f, second}) {
    EXPECT_TRUE(win->noteGone());
    EXPECT_EQ(win->node(), nullptr);
    EXPECT_TRUE(win->FrameMemoNode1()->readOnly());
  }
  // What was typed stays on screen to be copied out.
  EXPECT_EQ(editorText(f), "unsaved hello");
  EXPECT_NE(f->statusText().find("deleted"), std::string::npos);
  f->close();
  second->close();
  flushDeletes();

  // A window closed before its note goes unregisters itself.
  MemoNodeUI* other = w.addNote("other");
  TFormMemoNode* third = open(false);
  third->close();
  flushDeletes();
  w.holder->removeNode_(other);
  delete other;

  // The whole document going with a window open.
  w.addNote("last");
  TFormMemoNode* fourth = open(false);
  w.node = nullptr;
  w.holder = nullptr;
  w.doc.reset();
  EXPECT_TRUE(fourth->noteGone());
  fourth->close();
}

TEST_F(NoteWindowTest, RefusedWithoutANote) {
  w.node = nullptr;
  EXPECT_EQ(showNoteWindow(w, nullptr, false), kResultFailed);
}

TEST_F(NoteWindowTest, AgentReportsToTheWindowAndAsksTheMainWindow) {
  TFormMemoNode* f = open(false);
  AgentAPLMemoNode& agent = f->agent();
  std::string value = "x";
  w.internet = false;
  agent.query_("getUIInternet", value);
  EXPECT_EQ(value, "false");
  w.internet = true;
  agent.query_("getUIInternet", value);
  EXPECT_EQ(value, "true");
  // Any other key empties what the caller held.
  agent.query_("other", value);
  EXPECT_EQ(value, "");
  EXPECT_FALSE(agent.isBreak());
  agent.messageDoing_("busy here");
  EXPECT_EQ(f->statusText(), "busy here");
  // The frame's own reports go to the window, not the main window's status line.
  const auto before = w.statuses.size();
  f->FrameMemoNode1()->message_("from the frame");
  EXPECT_EQ(f->statusText(), "from the frame");
  EXPECT_EQ(w.statuses.size(), before);
  f->close();

  // Without a window every key answers the empty text.
  AgentAPLMemoNode unlinked;
  value = "kept";
  unlinked.query_("getUIInternet", value);
  EXPECT_EQ(value, "");
}

TEST_F(NoteWindowTest, SaveAsWithoutAMainWindowWritesTheContent) {
  test::TempDir tmp;
  TFormMemoNode f(nullptr);
  f.showNote(note);
  note->putContentStream_("raw bytes", "\"application/octet-stream\"", "\"binary\"");
  note->putField_("Content-Transfer-Encoding", "\"binary\"");
  f.chooseSaveFile = [&](std::string& path) {
    EXPECT_EQ(path, "first");  // no Filename field: the name text
    path = tmp.str("out.bin");
    return true;
  };
  f.SaveAsClick();
  std::string written;
  ASSERT_TRUE(platform::readFile(tmp.str("out.bin"), written));
  EXPECT_EQ(written, "raw bytes");
}

TEST_F(NoteWindowTest, ShowMenuFollowsTheBoxes) {
  TFormMemoNode* f = open(false);
  TFrameMemoNode* frame = f->FrameMemoNode1();
  f->resize(600, 500);
  f->show();
  frame->showComment_();
  f->ShowMenuPopup();
  EXPECT_EQ(f->showCommentAction()->isChecked(), frame->commentShown());
  f->CommentClick();
  f->ShowMenuPopup();
  EXPECT_FALSE(f->showCommentAction()->isChecked());
  f->close();
}

// ---- content view ----

std::string jpegBytes() { return test::solidPicture(Qt::red, 8, 6, "JPEG").toStdString(); }

TEST_F(NoteWindowTest, ContentViewShowsByContentType) {
  TFormContentView view;
  view.UpdateClick();  // no main window: nothing
  EXPECT_EQ(view.shownView(), "");
  view.setMainWindow(&w);

  view.UpdateClick();  // no type: plain text
  EXPECT_EQ(view.shownView(), "memo");
  EXPECT_EQ(fromQ(view.Memo1()->toPlainText()), "hello");
  EXPECT_EQ(fromQ(view.StaticText1()->text()), "first");

  note->putField_("Content-Type", "\"TEXT/PLAIN\"");
  view.UpdateClick();
  EXPECT_EQ(view.shownView(), "memo");

  note->putContentStream_(jpegBytes(), "\"image/jpeg\"", "\"binary\"");
  note->putField_("Content-Type", "\"image/jpeg\"");
  view.UpdateClick();
  EXPECT_EQ(view.shownView(), "image");
  ASSERT_FALSE(view.Image1()->pixmap().isNull());
  EXPECT_EQ(view.Image1()->pixmap().size(), QSize(8, 6));

  // Only the exact types: the extension table's "text/plan", the bare "text" and
  // anything unknown show nothing.
  for (const char* type : {"\"text/plan\"", "\"text\"", "\"application/x-unknown\""}) {
    note->putField_("Content-Type", type);
    view.UpdateClick();
    EXPECT_EQ(view.shownView(), "") << type;
  }

  note->putField_("Content-Type", "\"multipart/mixed\"");
  view.UpdateClick();
  EXPECT_EQ(view.shownView(), "");
}

TEST_F(NoteWindowTest, ContentViewShowsAPageInItsBrowser) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  {
    TFormContentView view;
    view.setMainWindow(&w);
    w.doc->directory = "/srv/notes/";
    note->putField_("Content-Type", "\"text/html\"");
    note->body().setText("<p>page</p>");
    view.UpdateClick();
    EXPECT_EQ(view.shownView(), "web");
    auto* browser = static_cast<test::FakeBrowser*>(view.WebBrowser1()->browser());
    ASSERT_NE(browser->current(), nullptr);
    EXPECT_NE(browser->current()->content.indexOf("<p>page</p>"), -1);
    // Relative pictures are read beside the note's notebook; Internet is the main window's.
    EXPECT_EQ(browser->current()->url, QUrl::fromLocalFile(QString::fromStdString(w.doc->directory)));
    EXPECT_FALSE(browser->internetAllowed());
    w.internet = true;
    EXPECT_TRUE(browser->internetAllowed());
  }
  setWebBrowserFactory(previous);
}

// ---- browser window ----

TEST(BrowserWindow, StatusTextsGoToItsStatusBar) {
  test::qtApp();
  RecordingPrompter rec;
  ScopedPrompter usePrompter{&rec};
  TFormWB wb(nullptr, new test::FakeBrowser(nullptr));
  wb.TFrameWB1()->GoBackBtnClick();
  EXPECT_EQ(wb.statusText(), "Can not Go Back.");
  EXPECT_TRUE(rec.messages().empty());
}

TEST(BrowserWindow, ShowsThePageWithoutTheFramesButtonPanel) {
  test::qtApp();
  TFormWB wb(nullptr, new test::FakeBrowser(nullptr));
  wb.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&wb));
  EXPECT_EQ(wb.TFrameWB1()->window(), &wb);
  auto* panel = wb.TFrameWB1()->findChild<QWidget*>(QStringLiteral("PanelTop"));
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(wb.TFrameWB1()->GoBackBtn()->isVisible());
  EXPECT_TRUE(wb.TFrameWB1()->browser()->widget()->isVisible());
}

}  // namespace

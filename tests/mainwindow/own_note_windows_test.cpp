// Windows that work on one note while the main window moves on: a note window saves
// and prints its own note, the note property window applies to the note it shows, and
// a pasted picture becomes an image note holding that picture. Each leaves the main
// window's current note and what is typed in its editor alone.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <cstdlib>
#include <optional>

#include "dialogs/FormName.h"
#include "dialogs/FormPropatyNode2.h"
#include "dialogs/NoteWindow.h"
#include "form_fixture.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "printing/StringsPrinter.h"
#include "printing/print_support.h"
#include "support/FakeClipboard.h"
#include "support/gui_input.h"
#include "support/picture_bytes.h"
#include "views/FrameImage.h"
#include "views/qtext.h"

namespace wux {
namespace {

// Clicks a radio button on its indicator.
void clickRadio(QRadioButton* r) { QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2)); }

class OwnNoteWindowsTest : public test::NewDocumentTest {
 protected:
  OwnNoteWindowsTest() : NewDocumentTest({2026, 12, 7, 9, 30, 0, 0}) {}
  void SetUp() override {
    NewDocumentTest::SetUp();
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldXdg = old;
    setenv("XDG_CONFIG_HOME", tmp.str("config").c_str(), 1);
    form->getStringsPrinter().setShowProgress(false);
    form->getStringsPrinter().setPdfOutput(tmp.str("out.pdf"));
    a = current();
    std::string actual;
    a->putName_("A", actual);
    a->body().setText("a text");
    b = note("B", "b text");
  }
  void TearDown() override {
    NewDocumentTest::TearDown();
    if (oldXdg)
      setenv("XDG_CONFIG_HOME", oldXdg->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }
  MemoNodeUI* note(const std::string& name, const std::string& body) {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    n->body().setText(body);
    form->changeCurrentNode_(n);
    return n;
  }
  // A note window for `n`, opened the way the menu opens it; then B is chosen again.
  TFormMemoNode* windowFor(MemoNodeUI* n) {
    form->changeCurrentNode_(n);
    EXPECT_EQ(run("UIShowFormMemoNode"), 0);
    TFormMemoNode* f = form->findChildren<TFormMemoNode*>().back();
    form->changeCurrentNode_(b);
    return f;
  }
  // The note property window the last UIShowField showed.
  TFormPropatyNode2* propertyWindow() {
    if (auto* f = form->findChild<TFormPropatyNode2*>(); f && f->isVisible()) return f;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* f = qobject_cast<TFormPropatyNode2*>(top); f && f->isVisible()) return f;
    return nullptr;
  }
  void typeAtEnd(QPlainTextEdit* e, const char* text) {
    e->moveCursor(QTextCursor::End);
    QTest::keyClicks(e, QString::fromUtf8(text));
  }
  // The main window still has B, its editor shows B with what was typed there.
  void expectMainWindowKeptB() {
    EXPECT_EQ(current(), b);
    EXPECT_EQ(editor()->node(), b);
    EXPECT_EQ(fromQ(editor()->MemoNode0()->toPlainText()), "b text typed");
  }

  std::optional<std::string> oldXdg;
  MemoNodeUI* a = nullptr;
  MemoNodeUI* b = nullptr;
};

TEST_F(OwnNoteWindowsTest, NoteWindowSavesItsOwnNoteAndLeavesTheMainEditorAlone) {
  TFormMemoNode* f = windowFor(a);
  typeAtEnd(f->FrameMemoNode1()->MemoNode0(), " more");
  typeAtEnd(editor()->MemoNode0(), " typed");
  rec.inputs.push_back(tmp.str("a.txt"));
  test::click(f, QStringLiteral("SaveAs"));

  std::string written;
  ASSERT_TRUE(platform::readFile(tmp.str("a.txt"), written));
  EXPECT_EQ(written, "a text more\r\n");
  EXPECT_EQ(a->getField_("Filename"), "\"" + tmp.str("a.txt") + "\"");
  EXPECT_NE(fromQ(f->FrameMemoNode1()->Memo_Fields()->toPlainText()).find("Filename="), std::string::npos);
  expectMainWindowKeptB();
  form->UI2Model();
  EXPECT_EQ(b->body().text(), "b text typed\r\n");
  EXPECT_EQ(a->body().text(), "a text more\r\n");
  f->close();
}

TEST_F(OwnNoteWindowsTest, NoteWindowPrintsItsOwnNoteAndAFailureReadsAsOne) {
  TFormMemoNode* f = windowFor(a);
  typeAtEnd(f->FrameMemoNode1()->MemoNode0(), " more");
  typeAtEnd(editor()->MemoNode0(), " typed");
  test::actionOf(f, QStringLiteral("Print"))->trigger();
  EXPECT_TRUE(sjis::startsWith(f->statusText(), "Printed ")) << f->statusText();
  const auto pages = test::pdfPages(tmp.str("out.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("a text more"), std::string::npos);
  expectMainWindowKeptB();

  // A picture that cannot be read prints nothing, and the window does not say printed.
  MemoNodeUI* broken = note("broken", "");
  broken->putContentStream_("not a picture", "image/jpeg", "base64");
  broken->putContentType_("image/jpeg");
  TFormMemoNode* g = windowFor(broken);
  test::actionOf(g, QStringLiteral("Print"))->trigger();
  EXPECT_TRUE(sjis::startsWith(g->statusText(), "Failure")) << g->statusText();
  EXPECT_EQ(current(), b);
  f->close();
  g->close();
}

TEST_F(OwnNoteWindowsTest, APageTakesWhatIsTypedInAnotherNotesWindow) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scoped{&launcher};
  TFormMemoNode* f = windowFor(a);
  typeAtEnd(f->FrameMemoNode1()->MemoNode0(), " more");
  ASSERT_EQ(run("UISaveHolderHTML"), 0);
  std::string page;
  ASSERT_TRUE(platform::readFile(platform::changeExt(holder()->getFileName_(), ".html"), page));
  EXPECT_NE(page.find("a text more"), std::string::npos);
  f->close();
}

TEST_F(OwnNoteWindowsTest, HardCopiesPrintOnThePrinterChosenInPrinterSetup) {
  const std::string pdf = tmp.str("out.pdf");
  ASSERT_EQ(run("UIHardCopy"), 0);
  EXPECT_EQ(status(), "Done: UIHardCopy. Check Printer.");
  EXPECT_EQ(test::pdfPageCount(pdf), 1);
  std::filesystem::remove(pdf);

  TFormMemoNode* f = windowFor(a);
  test::actionOf(f, QStringLiteral("HardCopy"))->trigger();
  EXPECT_EQ(f->statusText(), "Done: HardCopy. Check Printer.");
  EXPECT_EQ(test::pdfPageCount(pdf), 1);

  // A device that cannot start fails with the print commands' own reason.
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
  const std::string noPrinter = "no printer found. Choose Print to File (PDF) in File > Printer Setup.";
  form->getStringsPrinter().setPdfOutput("");
  EXPECT_EQ(run("UIHardCopy"), kResultFailed);
  EXPECT_EQ(status(), "Failure: UIHardCopy. " + noPrinter);
  form->getStringsPrinter().setPdfOutput("");
  test::actionOf(f, QStringLiteral("HardCopy"))->trigger();
  EXPECT_EQ(f->statusText(), "Failure: HardCopy. " + noPrinter);
  f->close();
}

TEST_F(OwnNoteWindowsTest, PropertyWindowAppliesToTheNoteItShows) {
  MemoNodeUI* marked = note("marked", "");
  marked->setMarked_(true);
  form->changeCurrentNode_(a);
  ASSERT_EQ(run("UIShowField"), 0);
  TFormPropatyNode2* f = propertyWindow();
  ASSERT_NE(f, nullptr);
  clickRadio(f->RadioGroup_flagLink->button(0));
  // Another note becomes current while the window stays open.
  form->changeCurrentNode_(b);
  test::click(f, QStringLiteral("OK"));
  EXPECT_EQ(a->getField_("FlagLink"), "\"true\"");
  EXPECT_EQ(b->getField_("FlagLink"), "");

  // BasicPut, on the note shown and on the marked notes of its notebook.
  form->changeCurrentNode_(a);
  ASSERT_EQ(run("UIShowField"), 0);
  f = propertyWindow();
  ASSERT_NE(f, nullptr);
  form->changeCurrentNode_(b);
  f->ComboBox_Field->setEditText(QStringLiteral("Tag"));
  f->ComboBox_value->setEditText(QStringLiteral("x"));
  test::click(f, QStringLiteral("BasicPut"));
  EXPECT_EQ(a->getField_("Tag"), "\"x\"");
  EXPECT_EQ(b->getField_("Tag"), "");
  // Marked notes are those of the shown note's notebook, even with another current.
  MemoHolderUI* first = holder();
  MemoHolderUI* other = form->newHolder_(-1);
  auto* elsewhere = static_cast<MemoNodeUI*>(other->createNewNode_());
  elsewhere->setMarked_(true);
  ASSERT_EQ(form->changeCurrentHolder(other), other);
  clickRadio(f->RadioGroup_EditTarget->button(1));
  f->ComboBox_Field->setEditText(QStringLiteral("Mark"));
  test::click(f, QStringLiteral("BasicPut"));
  EXPECT_EQ(marked->getField_("Mark"), "\"x\"");
  EXPECT_EQ(elsewhere->getField_("Mark"), "");
  ASSERT_EQ(form->changeCurrentHolder(first), first);
  form->changeCurrentNode_(b);

  // The note it shows is deleted: nothing changes, and the status line says so.
  MemoNodeUI* gone = note("gone", "");
  ASSERT_EQ(run("UIShowField"), 0);
  form->changeCurrentNode_(b);
  holder()->removeNode_(gone);
  delete gone;
  clickRadio(f->RadioGroup_EditTarget->button(0));
  clickRadio(f->RadioGroup_flagLink->button(0));
  test::click(f, QStringLiteral("OK"));
  EXPECT_EQ(b->getField_("FlagLink"), "");
  EXPECT_EQ(status(), "Cancel: the MemoNode of this window was deleted. Nothing changed.");
  f->close();
}

TEST_F(OwnNoteWindowsTest, PastingAPictureMakesAnImageNoteHoldingIt) {
  QImage picture(30, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QGuiApplication::clipboard()->setImage(picture);
  const int before = holder()->getNodeCount_();
  editor()->MemoNode0()->setFocus();
  QMenu* popup = editor()->findChild<QMenu*>(QStringLiteral("PopupMenuMemo"));
  ASSERT_NE(popup, nullptr);
  test::actionOf(popup, QStringLiteral("Paste(&P)"))->trigger();
  QGuiApplication::clipboard()->clear();

  ASSERT_EQ(holder()->getNodeCount_(), before + 1);
  MemoNodeUI* made = current();
  ASSERT_NE(made, b);
  EXPECT_EQ(made->getContentType_(), "\"image/bmp\"");
  ASSERT_NE(made->content(), nullptr);
  ASSERT_NE(made->content()->data(), nullptr);
  const std::string& bytes = *made->content()->data();
  QImage stored;
  ASSERT_TRUE(stored.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size())));
  EXPECT_EQ(stored.size(), QSize(30, 20));
  EXPECT_EQ(QColor(stored.pixel(15, 10)), QColor(Qt::red));
  ASSERT_NE(editor()->imageFrame(), nullptr);
  EXPECT_EQ(editor()->imageFrame()->picture().size(), QSize(30, 20));
}

// Gives `e` the keyboard focus in its active window, as a click would.
void focus(QPlainTextEdit* e) {
  QWidget* top = e->window();
  top->show();
  top->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(top));
  e->setFocus();
  QCoreApplication::processEvents();
  ASSERT_TRUE(e->hasFocus());
}

// The menu item `caption` of the popup `menu` of `frame`, after the popup was opened, as
// a user opens it.
QAction* popupItem(QWidget& frame, const char* menu, const char* caption) {
  auto* popup = frame.findChild<QMenu*>(QString::fromLatin1(menu));
  if (!popup) return nullptr;
  popup->popup(QPoint(0, 0));
  QAction* found = test::actionOf(popup, QString::fromUtf8(caption));
  popup->hide();
  return found;
}

TEST_F(OwnNoteWindowsTest, APictureInANoteWindowIsNeverSavedAsTheMainWindowsNote) {
  MemoNodeUI* image = note("picture", "");
  image->putContentStream_(test::solidPicture(Qt::blue, 8, 8).toStdString(), "image/png", "base64");
  image->putContentType_("image/png");
  TFormMemoNode* f = windowFor(image);
  ASSERT_EQ(current(), b);
  ASSERT_NE(f->FrameMemoNode1()->imageFrame(), nullptr);
  QAction* saveAs = popupItem(*f->FrameMemoNode1()->imageFrame(), "PopupMenu1", "SaveAs");
  ASSERT_TRUE(saveAs && !saveAs->isEnabled());
  rec.inputs.push_back(tmp.str("wrong.txt"));
  saveAs->trigger();
  f->FrameMemoNode1()->imageFrame()->saveAs_();
  EXPECT_EQ(rec.inputs.size(), 1u);  // nothing asked where to save
  EXPECT_FALSE(platform::fileExists(tmp.str("wrong.txt")));
  EXPECT_EQ(b->getField_("Filename"), "");
  f->close();

  // In the main window the picture's SaveAs saves the current note, the picture.
  form->changeCurrentNode_(image);
  ASSERT_NE(editor()->imageFrame(), nullptr);
  saveAs = popupItem(*editor()->imageFrame(), "PopupMenu1", "SaveAs");
  ASSERT_TRUE(saveAs && saveAs->isEnabled());
  rec.inputs = {tmp.str("picture.png")};
  saveAs->trigger();
  EXPECT_TRUE(platform::fileExists(tmp.str("picture.png")));
}

TEST_F(OwnNoteWindowsTest, ANoteWindowsEditorKeepsToItselfWhatTheMainEditorShares) {
  test::FakeClipboard clip;
  holder()->putField_("FormatDate", "\"yyyy-mm-dd\"");
  TFormMemoNode* f = windowFor(a);
  TFrameMemoNode* own = f->FrameMemoNode1();
  QPlainTextEdit* memo = own->MemoNode0();
  focus(memo);
  memo->selectAll();
  const std::size_t historyBefore = static_cast<std::size_t>(form->copyHistory().count());

  // A copy and the field-line commands add nothing to the main window's history, and
  // the field-line commands say nothing.
  popupItem(*own, "PopupMenuMemo", "Copy(&C)")->trigger();
  EXPECT_EQ(clip.text_, "a text");
  own->showFields_();
  QPlainTextEdit* fields = own->Memo_Fields();
  fields->setPlainText(QStringLiteral("Link=\"abc\""));
  focus(fields);
  const std::string mainStatus = status();
  f->setStatusText("");
  for (const char* item : {"name", "Value", "ExtractFilename"}) {
    QAction* copyPlus = popupItem(*own, "PopupMenuFields", "Copy+");
    ASSERT_TRUE(copyPlus && test::actionOf(copyPlus->menu(), QString::fromLatin1(item))) << item;
    test::actionOf(copyPlus->menu(), QString::fromLatin1(item))->trigger();
  }
  EXPECT_EQ(clip.text_, "abc");
  EXPECT_EQ(static_cast<std::size_t>(form->copyHistory().count()), historyBefore);
  EXPECT_EQ(f->statusText(), "");
  EXPECT_EQ(status(), mainStatus);

  // Paste History lists nothing from the main window's history.
  form->AddCopyHistory("from the main window");
  focus(memo);
  auto* text = own->findChild<QMenu*>(QStringLiteral("PopupMenuMemo"));
  QMenu* history = test::actionOf(text, QStringLiteral("Paste History"))->menu();
  history->popup(QPoint(0, 0));
  for (QAction* entry : history->actions())
    if (entry->objectName().startsWith(QStringLiteral("PasteHistory"))) EXPECT_FALSE(entry->isVisible());
  history->hide();

  // Date is "yyyymmdd", not the main window's notebook's pattern.
  memo->selectAll();
  test::actionOf(test::actionOf(text, QStringLiteral("Paste+"))->menu(), QStringLiteral("Date"))->trigger();
  EXPECT_EQ(fromQ(memo->toPlainText()), "20261207");

  // "no text" shows on both status lines.
  clip.text_.clear();
  clip.unicode_.clear();
  popupItem(*own, "PopupMenuMemo", "Paste(&P)")->trigger();
  EXPECT_EQ(f->statusText(), "no text");
  EXPECT_EQ(status(), "no text");
  f->close();
}

// A note window's name line works on the note it shows: the name editor's date comes
// in the pattern of that note's notebook, and a name taken from the clipboard is
// reported in the main window's status line.
TEST_F(OwnNoteWindowsTest, ANoteWindowsNameLineWorksOnItsOwnNotesNotebook) {
  test::FakeClipboard clip;
  holder()->putField_("FormatDate", "\"yyyy.mm.dd\"");
  TFormMemoNode* f = windowFor(a);
  MemoHolderUI* other = form->newHolder_(-1);
  other->putField_("FormatDate", "\"yyyy-mm-dd\"");
  form->changeCurrentHolder(other);
  ASSERT_EQ(form->getCurrentHolder(), other);

  test::whenModal<TFormName>([](TFormName* d) {
    d->setCalendarDate({2026, 12, 7, 0, 0, 0, 0});
    d->button(QStringLiteral("Calendar"), QStringLiteral("Set"))->click();
    d->OKBtn()->click();
  });
  QTest::mouseClick(f->FrameMemoNode1()->StaticText_name(), Qt::LeftButton);
  EXPECT_EQ(a->name().substr(0, 10), "2026.12.07");

  clip.text_ = "Renamed";
  f->setStatusText("");
  popupItem(*f->FrameMemoNode1(), "PopupMenu1", "Replace(&R)")->trigger();
  EXPECT_EQ(a->name(), "Renamed");
  EXPECT_EQ(status(), "Replace Name Renamed");
  EXPECT_EQ(f->statusText(), "");
  f->close();
}

// While the current note is shown in its own window the main editor is hidden; the
// list keeps its width.
TEST_F(OwnNoteWindowsTest, TheListKeepsItsWidthWhileTheNoteIsInItsOwnWindow) {
  form->resize(800, 500);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  QWidget* list = form->getHolderFrame()->PanelLeft();
  const int width = list->width();
  TFormMemoNode* f = windowFor(a);
  form->changeCurrentNode_(a);
  QApplication::processEvents();
  EXPECT_FALSE(editor()->isVisible());
  EXPECT_EQ(list->width(), width);
  f->close();
}

// A comment box dragged shut with the splitter is a hidden box: its Show tick is off
// and one click on it opens the box again.
TEST_F(OwnNoteWindowsTest, ACommentDraggedShutReadsAsHiddenAndOneClickReopensIt) {
  a->ensureComment().setText("a comment");
  TFormMemoNode* f = windowFor(a);
  f->resize(500, 500);
  f->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
  TFrameMemoNode* own = f->FrameMemoNode1();
  QPlainTextEdit* comment = own->Memo_comment();
  ASSERT_TRUE(own->commentShown());
  // The handle above the comment, dragged down to the bottom (the note has no fields).
  auto* split = qobject_cast<QSplitter*>(comment->parentWidget());
  ASSERT_NE(split, nullptr);
  QSplitterHandle* above = split->handle(split->indexOf(comment));
  ASSERT_NE(above, nullptr);
  const QPoint start = above->rect().center();
  const QPoint end = above->mapFrom(split, QPoint(start.x(), split->height() + 10));
  auto send = [above](QEvent::Type type, const QPoint& at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, above->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held, Qt::NoModifier);
    QApplication::sendEvent(above, &e);
  };
  send(QEvent::MouseButtonPress, start, Qt::LeftButton);
  for (int step = 1; step <= 5; ++step) send(QEvent::MouseMove, start + (end - start) * step / 5, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, end, Qt::NoButton);
  ASSERT_LT(comment->height(), 2);

  QAction* tick = test::actionOf(f, QStringLiteral("Comment"));
  ASSERT_NE(tick, nullptr);
  emit qobject_cast<QMenu*>(tick->parent())->aboutToShow();
  EXPECT_FALSE(tick->isChecked());
  tick->trigger();
  QApplication::processEvents();
  EXPECT_GE(split->sizes().at(split->indexOf(comment)), 2);
  EXPECT_TRUE(own->commentShown());
  f->close();
}

}  // namespace
}  // namespace wux

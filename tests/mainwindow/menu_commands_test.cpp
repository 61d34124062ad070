// The menu layer's own commands through the command table: the window's size, the
// notebook-wide edits, the fields window, the icon note, the browser window, the status
// bar, the jump mark and the diagnostics.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QIcon>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "dialogs/MenuForms.h"
#include "dialogs/SmallWindows.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/MenuCommands.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "support/FakeClipboard.h"
#include "support/fake_browser.h"
#include "support/fake_main_window.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

bool sameRect(const WindowRect& a, const WindowRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

class SizedWindow : public test::FakeMainWindow {
 public:
  WindowRect rect{100, 50, 640, 480};
  WindowRect screen{0, 0, 1024, 768};
  WindowRect getWindowRect() override { return rect; }
  void setWindowRect(const WindowRect& r) override { rect = r; }
  WindowRect getScreenRect() override { return screen; }
};

TEST(MenuWindowPlace, SizeItemsFitTheScreenAndMovePosJumpsSideways) {
  SizedWindow w;
  registerMenuCommands(w.table, w);
  EXPECT_EQ(w.table.run("FitFormSizeAndPos", {"1152"}), 0);
  EXPECT_TRUE(sameRect(w.rect, {3, 3, 1024, 768}));
  EXPECT_EQ(w.table.run("FitFormSizeAndPos", {"800"}), 0);
  EXPECT_TRUE(sameRect(w.rect, {3, 3, 800, 600}));
  // A width of no listed size takes the screen's height.
  EXPECT_TRUE(sameRect(FitFormRect(900, {0, 0, 1024, 768}), {3, 3, 900, 768}));
  EXPECT_EQ(w.table.run("FitFormSizeAndPos", {"wide"}), kResultFailed);
  EXPECT_TRUE(sameRect(w.rect, {3, 3, 800, 600}));

  // Not more than one width from the left edge: to the right; else back to the left.
  EXPECT_EQ(w.table.run("MovePos"), 0);
  EXPECT_EQ(w.rect.left, 803);
  EXPECT_EQ(w.table.run("MovePos"), 0);
  EXPECT_EQ(w.rect.left, 3);
}

class MenuCommandsTest : public test::NewDocumentTest {
 protected:
  MenuCommandsTest() : NewDocumentTest({2026, 12, 6, 9, 30, 0, 0}) {}
  MemoNodeUI* note(int i) { return static_cast<MemoNodeUI*>(holder()->getNode_(i)); }
  // Replaces the editor's text and commits it to the current note.
  void type(const std::string& text) {
    editor()->MemoNode0()->setPlainText(toQ(text));
    form->UI2Model();
  }
};

TEST_F(MenuCommandsTest, TheRealWindowTakesItsSizeAndPlace) {
  const WindowRect screen = form->getScreenRect();
  ASSERT_GT(screen.width, 0);
  EXPECT_EQ(run("FitFormSizeAndPos", {"640"}), 0);
  const WindowRect expected = FitFormRect(640, screen);
  EXPECT_TRUE(sameRect(form->getWindowRect(), expected));
  EXPECT_EQ(run("MovePos"), 0);
  EXPECT_EQ(form->getWindowRect().left, 3 + expected.width);
}

TEST_F(MenuCommandsTest, SetUpdateAndTheEachCommandsChangeEveryNote) {
  test::addNotes(holder(), {"C:\\notes\\b.txt", "plain"});
  // "●Title: 20040523"; then "●題 ２００４" in full-width digits.
  type("first line\n\x81\x9CTitle: 20040523\n");
  note(1)->body().setText("\x81\x9C\x91\xE8 \x82\x51\x82\x4F\x82\x4F\x82\x53\r\n");
  holder()->modified = false;
  EXPECT_EQ(run("SetUpdate"), 2);
  EXPECT_EQ(note(0)->getField_("Update"), "\"040523\"");
  // Two characters, not two bytes: no half of a double-byte digit is left.
  EXPECT_EQ(note(1)->getField_("Update"), "\"\x82\x4F\x82\x53\"");
  EXPECT_EQ(note(2)->getField_("Update"), "");
  EXPECT_TRUE(holder()->modified);
  EXPECT_EQ(status(), "Done: Set Update count=2");

  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("ExtractFilenameEach"), kResultFailed);
  EXPECT_EQ(status(), "UI ReadOnly");
  form->uiReadOnlyBox()->setChecked(false);

  const std::string dir = platform::dirOf(holder()->getFileName_());
  note(2)->putField_("Filename", "\"" + dir + "sub/a.txt\"");
  note(0)->putField_("Filename", "\"http://example.invalid/a\"");
  EXPECT_EQ(run("SetRelativePathEach"), 3);
  EXPECT_EQ(note(2)->getField_("Filename"), "\"./sub/a.txt\"");
  EXPECT_EQ(note(0)->getField_("Filename"), "\"http://example.invalid/a\"");
  EXPECT_EQ(status(), "Done: Set Relative Paht MemoHolder=3");

  holder()->modified = false;
  EXPECT_EQ(run("ExtractFilenameEach"), 3);
  EXPECT_NE(holder()->findNodeByName_("b.txt"), nullptr);
  EXPECT_NE(holder()->findNodeByName_("plain"), nullptr);
  EXPECT_TRUE(holder()->modified);
  EXPECT_EQ(status(), "Done: ExtractFilename MemoHolder=3");
}

TEST_F(MenuCommandsTest, FieldsWindowRoundTripKeepsUntouchedBytes) {
  // "≒" of the NEC row reads back from the screen as another code of the same sign.
  const std::string nec = "Mark=\"\x87\x90\"";
  ASSERT_NE(fromQ(toQ(nec)), nec);
  StringList& fields = *holder()->fieldList();
  fields.clear();
  fields.add(nec);
  fields.add("Color=\"red\"");
  holder()->modified = false;

  auto onWindow = [](std::function<void(TFormHolderFields&)> act) {
    QTimer::singleShot(0, [act] {
      auto* f = qobject_cast<TFormHolderFields*>(QApplication::activeModalWidget());
      if (f) act(*f);
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    });
  };
  std::string title;
  onWindow([&](TFormHolderFields& f) {
    title = fromQ(f.windowTitle());
    f.Memo1()->appendPlainText(QStringLiteral("Added=\"1\"\n"));
    f.accept();
  });
  EXPECT_EQ(run("ShowFormHolderFields"), 0);
  EXPECT_EQ(title, "FormHolderFields  " + holder()->name());
  ASSERT_EQ(fields.count(), 3);
  EXPECT_EQ(fields[0], nec);
  EXPECT_EQ(fields[1], "Color=\"red\"");
  EXPECT_EQ(fields[2], "Added=\"1\"");
  EXPECT_TRUE(holder()->modified);

  // Cancel, and OK without a change, leave the notebook as it was.
  holder()->modified = false;
  onWindow([](TFormHolderFields& f) {
    f.Memo1()->setPlainText(QStringLiteral("Gone=\"1\""));
    f.reject();
  });
  EXPECT_EQ(run("ShowFormHolderFields"), kResultFailed);
  onWindow([](TFormHolderFields& f) { f.accept(); });
  EXPECT_EQ(run("ShowFormHolderFields"), 0);
  EXPECT_EQ(fields.count(), 3);
  EXPECT_EQ(fields[0], nec);
  EXPECT_FALSE(holder()->modified);
}

// An icon theme of one red picture for the type of `file`, in force for the object's life.
struct RedIconTheme {
  explicit RedIconTheme(const test::TempDir& dir, const std::string& file)
      : paths(QIcon::themeSearchPaths()), name(QIcon::themeName()) {
    const std::filesystem::path root = dir.path / "icons" / "wuxtest";
    std::filesystem::create_directories(root / "32x32" / "mimetypes");
    std::ofstream(root / "index.theme") << "[Icon Theme]\nName=wuxtest\nDirectories=32x32/mimetypes\n\n"
                                           "[32x32/mimetypes]\nSize=32\nType=Fixed\n";
    const QString icon = QMimeDatabase().mimeTypeForFile(QString::fromStdString(file)).iconName();
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    red.save(QString::fromStdString((root / "32x32" / "mimetypes").string()) + "/" + icon + ".png");
    QIcon::setThemeSearchPaths({QString::fromStdString((dir.path / "icons").string())});
    QIcon::setThemeName(QStringLiteral("wuxtest"));
  }
  ~RedIconTheme() {
    QIcon::setThemeName(name);
    QIcon::setThemeSearchPaths(paths);
  }
  QStringList paths;
  QString name;
};

TEST_F(MenuCommandsTest, IconNoteTakesThePictureOfTheFileType) {
  const std::string file = tmp.str("letter.txt");
  std::ofstream(file) << "hello";
  RedIconTheme theme(tmp, file);
  const int before = holder()->getNodeCount_();

  rec.inputs.push_back(file);
  EXPECT_EQ(run("NewNodeImageIconFromFile"), 0);
  ASSERT_EQ(holder()->getNodeCount_(), before + 1);
  MemoNodeUI* icon = current();
  EXPECT_EQ(icon->name(), tmp.str("letter.ico"));
  EXPECT_EQ(icon->getField_("Filename"), "\"" + tmp.str("letter.ico") + "\"");
  EXPECT_EQ(icon->getField_("Content-Type"), "\"image/ico\"");
  ASSERT_NE(icon->content(), nullptr);
  const std::string& bytes = *icon->content()->data();
  // One 32x32 image of 32 bits; its first pixel (blue, green, red, alpha) is red.
  ASSERT_GT(bytes.size(), 66u);
  EXPECT_EQ(bytes.substr(0, 7), std::string("\0\0\1\0\1\0\x20", 7));
  EXPECT_EQ(bytes.substr(62, 4), std::string("\0\0\xFF\xFF", 4));
  EXPECT_EQ(status(), "Done: New Node Image Icon From File " + file);

  // A file that is not there makes no note at all.
  rec.inputs.push_back(tmp.str("missing.txt"));
  EXPECT_EQ(run("NewNodeImageIconFromFile"), kResultNoNode);
  EXPECT_EQ(holder()->getNodeCount_(), before + 1);
  EXPECT_EQ(status(), "failure: New Node Image Icon");
}

TEST_F(MenuCommandsTest, BrowserWindowShowsTextsAddressesAndPictures) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  EXPECT_EQ(run("UIMemo2WB", {" \r\n ", "empty"}), kResultFailed);
  EXPECT_EQ(status(), "Cancel: Memo is nothing in UIMemo2WB.");
  EXPECT_EQ(form->findChild<TFormWB*>(), nullptr);

  EXPECT_EQ(run("UIMemo2WB", {"<p>page</p>", "Title"}), 0);
  auto* wb = form->findChild<TFormWB*>();
  ASSERT_NE(wb, nullptr);
  auto* fake = static_cast<test::FakeBrowser*>(wb->TFrameWB1()->browser());
  EXPECT_EQ(fake->current()->content, QByteArray("<p>page</p>"));
  EXPECT_EQ(wb->TFrameWB1()->location(), "Title");

  // A text note: the editor's text, just committed, under the note's name.
  type("typed text");
  EXPECT_EQ(run("UIMemoNode2WB"), 0);
  EXPECT_EQ(fake->current()->content, QByteArray("typed text\r\n"));
  EXPECT_EQ(wb->TFrameWB1()->location(), current()->name());

  // The selection alone.
  QTextCursor c = editor()->MemoNode0()->textCursor();
  c.setPosition(6);
  c.setPosition(10, QTextCursor::KeepAnchor);
  editor()->MemoNode0()->setTextCursor(c);
  EXPECT_EQ(run("UISelected2WB"), 0);
  EXPECT_EQ(fake->current()->content, QByteArray("text"));
  EXPECT_EQ(wb->TFrameWB1()->location(), "Selected: " + current()->name());

  // An address relative to the notebook's file.
  current()->putField_("Content-Transfer-Encoding", "\"URL\"");
  current()->putField_("Filename", "\"./page.html\"");
  form->Model2UI();
  EXPECT_EQ(run("UIMemoNode2WB"), 0);
  const std::string page = platform::dirOf(holder()->getFileName_()) + "page.html";
  EXPECT_EQ(fake->current()->url, QUrl::fromLocalFile(QString::fromStdString(page)));
  // The window follows the main window's Internet switch, on at start.
  EXPECT_TRUE(fake->internetAllowed());

  // A picture: its bytes; a linked one only when it is a file or a web address.
  current()->putField_("Content-Transfer-Encoding", "\"binary\"");
  current()->putField_("Content-Type", "\"image/png\"");
  current()->putField_("Filename", "");
  form->Model2UI();
  EXPECT_EQ(run("UIMemoNode2WB"), kResultFailed);
  EXPECT_EQ(status(), "Cancel: Stream is empty.");
  const std::string png = test::imageBytes("PNG", 4, 4);
  current()->putContentStream_(png, "image/png", "8bit");
  form->Model2UI();
  EXPECT_EQ(run("UIMemoNode2WB"), 0);
  EXPECT_EQ(fake->current()->content.toStdString(), png);
  EXPECT_EQ(fake->current()->mimeType, QStringLiteral("image/png"));
  current()->putField_("FlagLink", "\"true\"");
  current()->putField_("Filename", "\"run.bat\"");
  form->Model2UI();
  EXPECT_EQ(run("UIMemoNode2WB"), kResultFailed);
  EXPECT_EQ(status(), "Cancel: BAT Filename run.bat");
  current()->putField_("Filename", "\"" + tmp.str("gone.png") + "\"");
  form->Model2UI();
  EXPECT_EQ(run("UIMemoNode2WB"), kResultFailed);
  EXPECT_EQ(status(), "Not Found " + tmp.str("gone.png"));
  setWebBrowserFactory(previous);
}

TEST_F(MenuCommandsTest, SaveAsAndExplorerOpensTheFolderOfTheSavedFile) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scoped(&launcher);
  type("saved text");
  EXPECT_EQ(run("SaveAsAndExplorer"), kResultFailed);  // the save dialog cancelled
  EXPECT_TRUE(launcher.calls.empty());
  rec.inputs.push_back(tmp.str("saved.txt"));
  EXPECT_EQ(run("SaveAsAndExplorer"), 0);
  EXPECT_TRUE(std::filesystem::exists(tmp.path / "saved.txt"));
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "explore");
  EXPECT_EQ(launcher.calls[0].target, tmp.path.string() + "/");

  // Saved elsewhere while the note keeps its name: the folder of the file just saved.
  std::filesystem::create_directories(tmp.path / "other");
  rec.inputs.push_back(tmp.str("other/copy.txt"));
  rec.answers = {Answer::No};  // keep "Filename" as it was
  EXPECT_EQ(run("SaveAsAndExplorer"), 0);
  EXPECT_EQ(current()->getField_("Filename"), "\"" + tmp.str("saved.txt") + "\"");
  ASSERT_EQ(launcher.calls.size(), 2u);
  EXPECT_EQ(launcher.calls[1].verb, "explore");
  EXPECT_EQ(launcher.calls[1].target, tmp.str("other") + "/");
}

TEST_F(MenuCommandsTest, JumpMarkLetsGoOfAFreedNote) {
  test::addNotes(holder(), {"second"});
  MemoNodeUI* first = note(0);
  form->changeCurrentNode_(first);
  EXPECT_EQ(run("SetJumpMark"), 0);
  EXPECT_EQ(form->getJumpMark(), first);
  EXPECT_EQ(status(), "Done: Jump Set " + first->name());
  // Deleted, the note waits in the waste notebook; a new document frees it.
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(form->getJumpMark(), first);
  form->newMemoFile();
  EXPECT_EQ(form->getJumpMark(), nullptr);

  // Moved to another note, the mark no longer watches the first.
  test::addNotes(holder(), {"other"});
  form->changeCurrentNode_(note(0));
  run("SetJumpMark");
  form->changeCurrentNode_(note(1));
  run("SetJumpMark");
  EXPECT_EQ(form->getJumpMark(), note(1));
  form->newMemoFile();
  EXPECT_EQ(form->getJumpMark(), nullptr);

  EXPECT_EQ(run("UIJumpNotImplemented", {"Push"}), kResultNotImplemented);
  EXPECT_EQ(rec.messages().back(), "Still not implemented. Push");
}

TEST_F(MenuCommandsTest, StatusBarReadOnlyFlagAndListings) {
  test::FakeClipboard clip;
  EXPECT_EQ(run("T1MessageDo"), 0);
  const std::string message = "Test Do " + form->nowString();
  EXPECT_EQ(status(), message);
  EXPECT_EQ(run("CopyStatusText"), 0);
  EXPECT_EQ(clip.text(), message);
  type("");
  EXPECT_EQ(run("StatusBar2SEL"), 0);
  EXPECT_EQ(fromQ(editor()->MemoNode0()->toPlainText()), message);
  EXPECT_EQ(run("ClearStatus"), 0);
  EXPECT_EQ(status(), "");

  type("");
  EXPECT_EQ(run("UIVersion2SEL"), -1);  // what scripts have always been told
  const std::string version = fromQ(editor()->MemoNode0()->toPlainText());
  EXPECT_NE(version.find("Version 00.15.05f\n"), std::string::npos);
  EXPECT_TRUE(status().ends_with(" Ver 00.15.05f")) << status();
  test::addNotes(holder(), {"listed"});
  type("");
  EXPECT_EQ(run("UINodesList2SEL"), 0);
  EXPECT_NE(fromQ(editor()->MemoNode0()->toPlainText()).find("listed"), std::string::npos);

  // The note's own read-only flag, committed first and saved with the notebook.
  type("kept");
  editor()->MemoNode0()->setPlainText(QStringLiteral("kept and typed"));
  holder()->modified = false;
  EXPECT_EQ(run("changeFlagReadOnly_"), 0);
  EXPECT_TRUE(current()->isReadOnly_());
  EXPECT_EQ(current()->body().text(), "kept and typed\r\n");
  EXPECT_TRUE(editor()->readOnly());
  EXPECT_EQ(form->statusPanel(0), "RO");
  EXPECT_TRUE(holder()->modified);
  form->beginDoing_("Scan");
  EXPECT_EQ(run("changeFlagReadOnly_"), kResultFailed);
  form->endDoing();
  EXPECT_TRUE(current()->isReadOnly_());
  EXPECT_EQ(run("changeFlagReadOnly_"), 0);
  EXPECT_FALSE(current()->isReadOnly_());
  EXPECT_EQ(form->statusPanel(0), "");

  form->uiReadOnlyBox()->setChecked(true);
  const std::size_t asked = rec.messages().size();
  EXPECT_EQ(run("UISortFieldHolder"), kResultFailed);
  EXPECT_EQ(rec.messages().size(), asked);
  form->uiReadOnlyBox()->setChecked(false);
  EXPECT_EQ(run("UIGroupTreeHolder"), kResultNotImplemented);
  EXPECT_EQ(rec.messages().back(), "Still not implemented. TFormMainMenu.UIGroupTreeHolder");
}

TEST_F(MenuCommandsTest, DiagnosticsReportToStatusAndLog) {
  EXPECT_EQ(run("T1CurMemo"), 0);
  EXPECT_EQ(status(), "*** " + current()->name() + "***");
  EXPECT_TRUE(form->getFormLog()->isVisible());

  EXPECT_EQ(run("T1FrameMemoNode"), 0);
  EXPECT_EQ(rec.messages().back(), "Memo.readOnly=false\r\nComment.readOnly=false\r\nFields.readOnly=false");

  // The log's line `back` places from its end.
  auto logLine = [this](int back) {
    const StringList log = form->getFormLog()->lines();
    return back <= log.count() ? log[log.count() - back] : std::string("(none)");
  };
  test::addNotes(holder(), {"two"});
  EXPECT_EQ(run("T1NodesList"), 2);
  EXPECT_EQ(logLine(4), "#NodesList " + holder()->name());
  EXPECT_EQ(logLine(2), "two");
  EXPECT_EQ(logLine(1), "count=2");
  EXPECT_EQ(run("T1NodesListPlus"), 2);
  EXPECT_EQ(logLine(2), "1 two level=-1 marked=false");

  EXPECT_EQ(run("T1Report"), 0);
  EXPECT_NE(status().find("aH.aUITV = nil"), std::string::npos) << status();
  EXPECT_EQ(run("T1ModeHoldersMngr"), 0);
  EXPECT_EQ(status(), "ModeHoldersMngr=");

  EXPECT_EQ(run("UIListYearThis"), 365);

  for (const char* name : {"T3GroupTree", "T3SelField"}) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
      if (QWidget* d = QApplication::activeModalWidget()) {
        shown = d->windowTitle();
        d->close();
      }
    });
    EXPECT_EQ(run(name), 0);
    EXPECT_EQ(shown, QString::fromLatin1(name).replace(QLatin1String("T3"), QLatin1String("Form")));
  }
}

}  // namespace
}  // namespace wux

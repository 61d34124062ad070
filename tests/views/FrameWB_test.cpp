// The web page frame in the note editor, against a browser engine that renders nothing:
// which address or text reaches the engine, the buttons, the Internet switch and reads.
#include "views/FrameWB.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/RecordingPrompter.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "support/fake_browser.h"
#include "support/fake_main_window.h"
#include "support/file_text.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/WebBrowser.h"
#include "views_support.h"

using namespace wux;

namespace {

class FrameWBTest : public ::testing::Test {
 protected:
  // The application comes before every widget of the fixture.
  QApplication& app_ = test::qtApp();
  FrameWBTest() {
    previous_ = setWebBrowserFactory([this](QWidget* parent) {
      browser = new test::FakeBrowser(parent);
      return browser;
    });
    book.doc->directory = dir.path.string();
    editor.setOwnerForm(&win);
  }
  ~FrameWBTest() override { setWebBrowserFactory(previous_); }

  MemoNodeUI* urlNote(const std::string& name, const std::string& filename) {
    MemoNodeUI* n = book.node(name);
    n->putField_("Content-Transfer-Encoding", "\"URL\"");
    n->putField_("Filename", "\"" + filename + "\"");
    return n;
  }
  void show(MemoNode* n) {
    editor.setNode(n);
    editor.showNode_();
  }
  TFrameWB* wb() { return editor.webFrame(); }
  std::string shownText() { return browser->current()->content.toStdString(); }

  WebBrowserFactory previous_;
  test::TempDir dir;
  test::Notebook book{"page", "memo", "remote"};
  test::FakeMainWindow win;
  TFrameMemoNode editor;
  test::FakeBrowser* browser = nullptr;
};

TEST_F(FrameWBTest, LocalAddressesAreTakenFromTheNotebookFolder) {
  show(urlNote("page", ".\\page.html"));
  EXPECT_EQ(editor.contentView(), "web");
  ASSERT_TRUE(browser->current());
  EXPECT_EQ(browser->url(), QUrl::fromLocalFile(QString::fromStdString(dir.str("page.html"))));
  EXPECT_EQ(wb()->location(), browser->url().toString().toStdString());
  EXPECT_EQ(win.status(), wb()->location());

  // An empty path opens the notebook's folder; an absolute one is taken as it is.
  wb()->navigate_("");
  EXPECT_EQ(browser->url(), QUrl::fromLocalFile(QString::fromStdString(dir.path.string() + "/")));
  wb()->navigate_("/srv/x.html");
  EXPECT_EQ(browser->url(), QUrl::fromLocalFile(QStringLiteral("/srv/x.html")));
  // Without a host the frame goes nowhere.
  TFrameWB lone(nullptr, new test::FakeBrowser(nullptr));
  lone.navigate_("/srv/x.html");
  EXPECT_FALSE(static_cast<test::FakeBrowser*>(lone.browser())->current());
}

TEST_F(FrameWBTest, ANoteWithoutAddressShowsItsOwnTextAndHomeShowsItAgain) {
  MemoNodeUI* n = urlNote("memo", "");
  n->body().setText("<p>hi</p>\r\n<p>\x93\xFA\x96\x7B</p>");  // Shift_JIS as the note keeps it
  show(n);
  EXPECT_EQ(wb()->location(), "*Memo*");
  EXPECT_EQ(browser->current()->mimeType, QStringLiteral("text/html;charset=Shift_JIS"));
  EXPECT_EQ(shownText(), "<p>hi</p>\r\n<p>\x93\xFA\x96\x7B</p>\r\n");

  n->body().setText("<p>changed</p>");
  wb()->HomeBtnClick();
  EXPECT_EQ(shownText(), "<p>changed</p>\r\n");
  EXPECT_EQ(wb()->location(), "*Memo*");

  n->body().clear();
  show(n);
  EXPECT_EQ(shownText(), "Memo=\"\".");
  EXPECT_EQ(win.statuses.front(), "Memo=\"\".");
}

// After every load the location line names the page shown, or what was asked for when
// the load failed; "*Memo*" stays only while the note's own page is shown.
TEST_F(FrameWBTest, TheLocationLineFollowsEveryLoad) {
  MemoNodeUI* n = urlNote("memo", "");
  n->body().setText("<a href=\"x.html\">x</a>");
  show(n);
  EXPECT_EQ(wb()->location(), "*Memo*");
  const QUrl link = QUrl::fromLocalFile(QString::fromStdString(dir.str("x.html")));
  browser->navigate(link);  // the engine follows a link of the page
  EXPECT_EQ(wb()->location(), link.toString().toStdString());
  wb()->GoBackBtnClick();
  EXPECT_EQ(wb()->location(), "*Memo*");
  browser->failNext = true;
  wb()->navigate_("/no/such/fifo");
  EXPECT_EQ(wb()->location(), "file:///no/such/fifo");
}

TEST_F(FrameWBTest, ANotesOwnPageHasNoAddressForNewNodeOrTheBrowsers) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  int made = 0;
  win.table.add("newMemoNodeKind_", [&](const CommandArgs&) { return ++made, 0; });
  MemoNodeUI* n = urlNote("memo", "");
  n->body().setText("<p>own</p>");
  editor.show();
  show(n);
  for (const char* name : {"NewNodeBtn", "NewURLBtn", "IEBtn"}) {
    win.statuses.clear();
    QTest::mouseClick(wb()->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    EXPECT_EQ(win.status(), "Exit: this page has no address") << name;
  }
  EXPECT_EQ(made, 0);
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(FrameWBTest, HistoryButtonsFollowTheEngine) {
  TFrameWB fresh(nullptr, new test::FakeBrowser(nullptr));
  fresh.setHost(&editor);
  EXPECT_FALSE(fresh.GoForwardBtn()->isEnabled());
  fresh.GoBackBtn()->click();
  EXPECT_EQ(win.status(), "Can not Go Back.");
  fresh.GoForwardBtnClick();
  EXPECT_EQ(win.status(), "Can not Go Forward.");
  fresh.SaveAsClick();
  EXPECT_EQ(win.status(), "Cancel:Document is empty.");

  show(urlNote("page", "/a.html"));
  wb()->navigate_("/b.html");
  EXPECT_TRUE(wb()->GoBackBtn()->isEnabled());
  EXPECT_FALSE(wb()->GoForwardBtn()->isEnabled());
  wb()->GoBackBtnClick();
  EXPECT_EQ(win.status(), "GoBack");
  EXPECT_EQ(wb()->location(), "file:///a.html");
  EXPECT_TRUE(wb()->GoForwardBtn()->isEnabled());
  wb()->GoForwardBtnClick();
  EXPECT_EQ(win.status(), "GoForward");
  EXPECT_EQ(wb()->location(), "file:///b.html");

  browser->busy = true;
  wb()->ReLoadBtnClick();
  EXPECT_EQ(browser->stops, 1);
}

TEST_F(FrameWBTest, InternetOffShowsTheOfflinePageAndTheEngineRefusesTheNetwork) {
  show(urlNote("remote", "https://example.org/"));
  EXPECT_EQ(win.status(), "Disable Access Internet. remote");
  EXPECT_TRUE(wb()->location().ends_with("/Offinternet.html"));
  EXPECT_FALSE(browser->internetAllowed());
  for (const auto& shown : browser->history) EXPECT_NE(shown.url.scheme(), QStringLiteral("https"));

  // A local page is still opened, with the network still refused.
  show(urlNote("page", "/a.html"));
  EXPECT_EQ(browser->url(), QUrl::fromLocalFile(QStringLiteral("/a.html")));
  EXPECT_FALSE(browser->internetAllowed());

  win.internet = true;
  show(book.node("remote"));
  EXPECT_EQ(browser->url(), QUrl(QStringLiteral("https://example.org/")));
  EXPECT_TRUE(browser->internetAllowed());
}

TEST_F(FrameWBTest, ExternalBrowserAndReadsOfThePage) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  win.internet = true;
  show(urlNote("remote", "http://127.0.0.1:9/x"));
  wb()->IEBtnClick();
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].target, "http://127.0.0.1:9/x");

  browser->links = {QStringLiteral("http://a/1"), QStringLiteral("http://a/2")};
  StringList links{"kept"};
  EXPECT_EQ(wb()->getLinkList_(links), 2);
  EXPECT_EQ(links.text(), "kept\r\nhttp://a/1\r\nhttp://a/2\r\n");
  browser->source = QString::fromUtf8("<p>\xE6\x97\xA5</p>");
  std::string page;
  EXPECT_EQ(wb()->saveToStream_(page), 9);
  EXPECT_EQ(page, "<p>\x93\xFA</p>");

  // Save As writes the page's source to the file chosen.
  RecordingPrompter rec;
  ScopedPrompter usePrompter(&rec);
  rec.inputs.push_back(dir.str("saved.html"));
  wb()->SaveAsClick();
  std::string saved;
  ASSERT_TRUE(platform::readFile(dir.str("saved.html"), saved));
  EXPECT_EQ(saved, "<p>\x93\xFA</p>");

  // An engine that never answers fails the read after the bounded wait.
  browser->answers = false;
  const int timeout = TFrameWB::readTimeoutMs;
  TFrameWB::readTimeoutMs = 20;
  EXPECT_EQ(wb()->getLinkList_(links), -1);
  EXPECT_EQ(wb()->saveToStream_(page), -1);
  TFrameWB::readTimeoutMs = timeout;
  EXPECT_EQ(win.status(), "Timeout: the page did not answer.");
}

TEST_F(FrameWBTest, SaveAsWritesThePageInTheCharsetItWasReadIn) {
  show(urlNote("page", "/a.html"));
  RecordingPrompter rec;
  ScopedPrompter usePrompter(&rec);
  auto saveAs = [&](const char* charset, const char* html) {
    browser->charset = QString::fromLatin1(charset);
    browser->source = QString::fromUtf8(html);
    rec.inputs.push_back(dir.str("saved.html"));
    wb()->SaveAsClick();
    return test::existingFileText(dir.str("saved.html"));
  };
  // "日本 €é" and a character no Japanese set holds.
  const char* text = "<meta charset=x><p>\xE6\x97\xA5\xE6\x9C\xAC \xE2\x82\xAC\xC3\xA9\xF0\x9F\x98\x80</p>";
  EXPECT_EQ(saveAs("UTF-8", text), std::string(text));
  EXPECT_EQ(saveAs("Shift_JIS", text), "<meta charset=x><p>\x93\xFA\x96\x7B &#8364;&#233;&#128512;</p>");
  EXPECT_EQ(saveAs("windows-1252", text), "<meta charset=x><p>&#26085;&#26412; \x80\xE9&#128512;</p>");
  EXPECT_EQ(saveAs("EUC-JP", text), "<meta charset=x><p>\xC6\xFC\xCB\xDC &#8364;\x8F\xAB\xB1&#128512;</p>");
  // A stateful set is back in ASCII before each reference and at the end.
  EXPECT_EQ(saveAs("ISO-2022-JP", text),
            "<meta charset=x><p>\x1B$BF|K\\\x1B(B &#8364;&#233;&#128512;</p>");
  EXPECT_EQ(saveAs("UTF-16LE", "a\xE2\x82\xAC"), std::string("\xFF\xFE" "a\0\xAC\x20", 6));
  // A set this system does not know keeps ASCII and references.
  EXPECT_EQ(saveAs("x-unheard-of", text), "<meta charset=x><p>&#26085;&#26412; &#8364;&#233;&#128512;</p>");
  // An engine that cannot tell: the page counts as Shift_JIS, as the notes are.
  EXPECT_EQ(saveAs("", text), "<meta charset=x><p>\x93\xFA\x96\x7B &#8364;&#233;&#128512;</p>");
}

TEST_F(FrameWBTest, GifPicturesShowInTheBrowserWithoutATemporaryFile) {
  MemoNodeUI* n = book.node("page");
  n->putContentStream_("GIF89a-bytes", "\"image/gif\"", "\"binary\"");
  n->putField_("Content-Transfer-Encoding", "\"binary\"");
  n->putField_("Content-Type", "\"image/gif\"");
  show(n);
  EXPECT_EQ(editor.contentView(), "web");
  EXPECT_EQ(browser->current()->mimeType, QStringLiteral("image/gif"));
  EXPECT_EQ(shownText(), "GIF89a-bytes");
}

// The button panel keeps its designed height with small fonts and grows with large ones.
TEST_F(FrameWBTest, ButtonPanelIsAtLeast65High) {
  for (int points : {5, 9, 200}) {
    TFrameWB frame(nullptr, new test::FakeBrowser(nullptr));
    QFont font = frame.font();
    font.setPointSize(points);
    frame.setFont(font);
    frame.resize(3000, 1200);
    frame.show();
    QCoreApplication::processEvents();
    auto* panel = frame.findChild<QWidget*>(QStringLiteral("PanelTop"));
    ASSERT_NE(panel, nullptr);
    EXPECT_GE(panel->height(), 65) << points;
    auto* button = frame.findChild<QPushButton*>(QStringLiteral("HomeBtn"));
    EXPECT_GE(button->height(), button->sizeHint().height()) << points;
    EXPECT_LE(button->geometry().bottom(), panel->height()) << points;
  }
}

}  // namespace

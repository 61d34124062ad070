// New child notes made from the current note's content, through the command table: hex
// dumps, grep, CSV pages, Japanese conversions, page sources, link lists and folders.
#include <gtest/gtest.h>

#include <QCheckBox>

#include "form_fixture.h"
#include "model/lists.h"
#include "model/records/records_support.h"
#include "support/fake_browser.h"
#include "support/FakeClipboard.h"
#include "views/views_support.h"

namespace wux {
namespace {

class NoteContentTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  NoteContentTest() : FormTest({2026, 12, 6, 9, 30, 0, 125}) {}
  void SetUp() override {
    previousFactory = setWebBrowserFactory([this](QWidget* parent) {
      browser = new test::FakeBrowser(parent);
      return browser;
    });
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
  }
  void TearDown() override {
    FormTest::TearDown();
    setWebBrowserFactory(previousFactory);
  }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoNodeUI* current() { return form->getCurrentNode(); }
  // A note with the given body and fields ("name=value" with the value stored as given), made current.
  MemoNodeUI* source(const std::string& name, const std::string& body,
                     std::initializer_list<std::pair<std::string, std::string>> fields = {}) {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    n->body().setText(body);
    for (const auto& [field, value] : fields) n->putField_(field, value);
    form->changeCurrentNode_(n);
    return n;
  }

  test::TempDir tmp;
  test::FakeBrowser* browser = nullptr;
  WebBrowserFactory previousFactory;
  test::FakeClipboard clip;
};

TEST_F(NoteContentTest, BinaryDumpNeedsBinaryContent) {
  source("plain", "text");
  const int before = holder()->getNodeCount_();
  EXPECT_EQ(run("UINewChildBinDump"), kResultFailed);
  EXPECT_EQ(status(), "Cacel:Current MemoNode did not have binary content. plain");
  EXPECT_EQ(holder()->getNodeCount_(), before);

  MemoNodeUI* bin = source("bytes", "");
  bin->putContentStream_(std::string("\x00\x01\x02\xff", 4), "application/octet-stream", "8bit");
  bin->putField_("Content-Transfer-Encoding", "\"binary\"");
  EXPECT_EQ(run("UINewChildBinDump"), 0);
  EXPECT_EQ(status(), "Done: New Child Bin->DumpText : bytes");
  StringList expected;
  HexDumpStream(expected, std::string("\x00\x01\x02\xff", 4), 16);
  EXPECT_EQ(current()->body(), expected);
  EXPECT_NE(current(), bin);
}

TEST_F(NoteContentTest, GrepMakesAChildOfTheMatchingLines) {
  MemoNodeUI* src = source("src", "a\r\nb\r\nab\r\n");
  src->newUID_();
  EXPECT_EQ(run("UINewChildGrep5", {"a", "0", "0", "1", "0"}), 0);
  MemoNodeUI* made = current();
  ASSERT_NE(made, src);
  EXPECT_EQ(made->body().text(), "b\r\n");
  const std::string name = made->name();
  EXPECT_EQ(name, "20261207 Grep a NOT ");  // the name it was made with, then the grep
  EXPECT_EQ(made->getField_("ParentNodeID"), src->getField_("UID"));
  EXPECT_EQ(status(), "Done: New Child Grep5 : a");

  form->changeCurrentNode_(src);
  EXPECT_EQ(run("UINewChildGrep5", {"A", "1", "0", "0", "1"}), 0);
  EXPECT_EQ(current()->body().text(), "      1: a\r\n      3: ab\r\n");
  EXPECT_EQ(current()->name().substr(current()->name().size() - 7), " Grep A");
}

TEST_F(NoteContentTest, PagesAndConversionsOfTextNotes) {
  source("table", "h1,h2\r\n1,2\r\n", {{"Filename", "\"t.csv\""}});
  EXPECT_EQ(run("UINewChildCSV2HTML"), 0);
  EXPECT_EQ(current()->getField_("Filename"), "\"t.html\"");
  StringList page;
  CsvToHtmlPage(holder()->findNodeByName_("table")->body(), page, "table", "wux.exe " + form->getVersion());
  EXPECT_EQ(current()->body(), page);

  source("kana", "\x82\xa0\r\n", {{"Filename", "\"a.txt\""}});
  EXPECT_EQ(run("UINewChildSJIS2JIS"), 0);
  EXPECT_EQ(current()->body().text(), "\x1b$B$\"\x1b(J\r\n");
  EXPECT_EQ(current()->getField_("Filename"), "\"a.sjis\"");
  EXPECT_EQ(status(), "Done: New Child SJIS2JIS : " + current()->name());
  EXPECT_EQ(run("UINewChildJIS2SJIS"), 0);
  EXPECT_EQ(current()->body().text(), "\x82\xa0\r\n");
  EXPECT_EQ(run("UINewChildCodeConvert", {"UTF8"}), kResultFailed);

  MemoNodeUI* bin = source("pic", "");
  bin->putField_("Content-Transfer-Encoding", "\"binary\"");
  const int before = holder()->getNodeCount_();
  EXPECT_EQ(run("UINewChildCSV2HTML"), kResultFailed);
  EXPECT_EQ(status(), "Stop: Current MemoNode is binary.");
  EXPECT_EQ(run("UINewChildEUC2SJIS"), kResultFailed);
  EXPECT_EQ(status(), "Stop: Current MemoNode is binary.");
  EXPECT_EQ(holder()->getNodeCount_(), before);
}

TEST_F(NoteContentTest, SourcesOfWebNotesFoldersAndFiles) {
  std::filesystem::create_directories(tmp.path / "site");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("site/page.html"), "<html>\r\n<a href=\"x.html\">x</a>\r\n</html>\r\n"));
  testing::LoopbackServer server(tmp.str("site"));
  ASSERT_TRUE(server.ready());
  const std::string url = server.url("/page.html");
  form->uiInternetBox()->setChecked(true);

  MemoNodeUI* web = source("web", "", {{"Content-Transfer-Encoding", "\"URL\""}, {"Filename", "\"" + url + "\""}});
  web->newUID_();
  form->Model2UI();
  const int length = run("UINewChildDownloadeed");
  MemoNodeUI* page = current();
  ASSERT_NE(page, web) << status();
  EXPECT_EQ(page->body().text(), "<html>\r\n<a href=\"x.html\">x</a>\r\n</html>\r\n");
  EXPECT_EQ(length, static_cast<int>(page->body().text().size()));
  EXPECT_EQ(page->name(), "SOURCE " + url);
  EXPECT_EQ(page->getField_("Link"), "\"" + url + "\"");
  EXPECT_EQ(page->getField_("Created"), "\"2026/12/06 09:30:00:125\"");
  EXPECT_EQ(page->getField_("ParentNodeID"), web->getField_("UID"));
  EXPECT_EQ(status(), "Done: New Child DownLoaded : SOURCE " + url);

  // The link list is the one of the page the note's frame shows.
  form->changeCurrentNode_(web);
  ASSERT_NE(browser, nullptr);
  browser->links = {QStringLiteral("http://127.0.0.1/x.html"), QStringLiteral("http://127.0.0.1/y.html")};
  EXPECT_GT(run("UINewChildURLLink"), 0);
  EXPECT_EQ(current()->name(), "LINKS " + url);
  EXPECT_EQ(current()->body().text(), "http://127.0.0.1/x.html\r\nhttp://127.0.0.1/y.html\r\n");

  // With Internet access off nothing is fetched.
  form->uiInternetBox()->setChecked(false);
  form->changeCurrentNode_(web);
  const int before = holder()->getNodeCount_();
  EXPECT_EQ(run("UINewChildDownloadeed"), kResultNoNode);
  EXPECT_EQ(status(), "Failure: New Child DownLoaded " + url + ": Internet access is off");
  EXPECT_EQ(run("UINewChildURLLink"), kResultNoNode);
  EXPECT_EQ(status(), "Failure: New Child URL Link " + url + ": Internet access is off");
  EXPECT_EQ(holder()->getNodeCount_(), before);

  // A link to a folder lists its files; to a missing name, says so.
  source("dir", "", {{"Content-Transfer-Encoding", "\"URL\""}, {"Filename", "\"file://" + tmp.str("site") + "\""}});
  EXPECT_GT(run("UINewChildDownloadeed"), 0);
  EXPECT_EQ(current()->name(), "FileList " + tmp.str("site") + "/");
  EXPECT_EQ(current()->body().text(), tmp.str("site/page.html") + "\r\n");
  source("gone", "", {{"Content-Transfer-Encoding", "\"URL\""}, {"Filename", "\"" + tmp.str("none") + "\""}});
  EXPECT_EQ(run("UINewChildDownloadeed"), kResultNoNode);
  EXPECT_EQ(status(), "ERROR: Not Found 10 " + tmp.str("none"));

  // A note with a file: the file read in; a binary note: its content in Base64.
  source("linked", "", {{"Filename", "\"" + tmp.str("site/page.html") + "\""}});
  EXPECT_GT(run("UINewChildDownloadeed"), 0);
  EXPECT_EQ(current()->name(), "SOURCE " + tmp.str("site/page.html"));
  EXPECT_EQ(current()->body().count(), 3);
  MemoNodeUI* bin = source("bin", "");
  bin->putContentStream_("abc", "application/octet-stream", "8bit");
  bin->putField_("Content-Transfer-Encoding", "\"binary\"");
  EXPECT_GT(run("UINewChildDownloadeed"), 0);
  EXPECT_EQ(current()->name(), "SOURCE bin");
  EXPECT_EQ(current()->body().text(), "YWJj\r\n");
}

TEST_F(NoteContentTest, CopyNameAndRefusals) {
  source("named", "");
  EXPECT_EQ(run("UICopyName"), 0);
  EXPECT_EQ(clip.text_, "named");
  EXPECT_EQ(status(), "Copied Current MemoNode Name \"named\"");

  const int before = holder()->getNodeCount_();
  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("UINewChildGrep5", {"a"}), kResultFailed);
  form->uiReadOnlyBox()->setChecked(false);
  holder()->putReadOnly_(true);
  EXPECT_EQ(run("UINewChildSJIS2JIS"), kResultFailed);
  EXPECT_EQ(status(), "This MemoHolder is Read Only. (" + holder()->name() + ")");
  EXPECT_EQ(holder()->getNodeCount_(), before);
}

}  // namespace
}  // namespace wux

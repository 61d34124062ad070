// The tag viewer: its own HTML parse and write-back, the last parsed file of the main
// window, and the tree model that makes items only as they are opened.
#include "dialogs/TagViewer.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <cerrno>

#include "dialogs/TagTreeModel.h"
#include "platform/files.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/qtext.h"
#include "views/views_support.h"

using namespace wux;

namespace {

std::string memoText(const TFormTAGLParser& v) { return fromQ(v.Memo1()->toPlainText()); }

// The labels of the children of `parent`, opening it first.
std::vector<std::string> children(TagTreeModel& m, const QModelIndex& parent) {
  if (m.canFetchMore(parent)) m.fetchMore(parent);
  std::vector<std::string> out;
  for (int i = 0; i < m.rowCount(parent); ++i) out.push_back(m.label(m.index(i, 0, parent)));
  return out;
}

QModelIndex childLabelled(TagTreeModel& m, const QModelIndex& parent, const std::string& label) {
  if (m.canFetchMore(parent)) m.fetchMore(parent);
  for (int i = 0; i < m.rowCount(parent); ++i)
    if (m.label(m.index(i, 0, parent)) == label) return m.index(i, 0, parent);
  return {};
}

class TagViewerTest : public ::testing::Test {
 protected:
  TagViewerTest() { test::qtApp(); }
  RecordingPrompter rec;
  ScopedPrompter usePrompter{&rec};
  test::TempDir tmp;
  test::FakeMainWindow w;
};

TEST_F(TagViewerTest, OpensAnHtmlFileAndWritesItsTreeBack) {
  const std::string page = tmp.str("page.html");
  platform::writeFileAtomic(page, "<HTML><BODY BGCOLOR=\"white\"><P>one<BR>two</BODY></HTML>\r\n");
  TFormTAGLParser v;
  v.setMainWindow(&w, [] { return ParsedFile{}; });
  rec.inputs.push_back(page);
  v.OpenClick();
  EXPECT_EQ(v.currentFile(), page);
  EXPECT_TRUE(v.messages().empty());
  EXPECT_EQ(v.words().count(), 8);

  TagTreeModel& m = *v.treeModel();
  ASSERT_EQ(m.rowCount(), 1);
  const QModelIndex top = m.index(0, 0);
  EXPECT_EQ(m.label(top), "/");
  const QModelIndex html = childLabelled(m, top, "<HTML>");
  ASSERT_TRUE(html.isValid());
  const QModelIndex body = childLabelled(m, html, "ELEMENT:BODY");
  ASSERT_TRUE(body.isValid());
  EXPECT_EQ(children(m, body).front(), "ATTLIST:");
  const QModelIndex attlist = m.index(0, 0, body);
  EXPECT_EQ(children(m, attlist), std::vector<std::string>{"BGCOLOR=\"white\""});

  // A click on an attribute line shows its value, looked up in its element.
  v.treeItemClicked(body);
  v.treeItemClicked(m.index(0, 0, attlist));

  v.ViewCR2ImageClick();
  const std::string image = memoText(v);
  EXPECT_NE(image.find("<BODY"), std::string::npos);

  rec.inputs.push_back(tmp.str("copy.html"));
  EXPECT_TRUE(v.SaveAsClick());
  EXPECT_EQ(v.currentFile(), tmp.str("copy.html"));
  StringList written;
  written.loadFromFile(tmp.str("copy.html"));
  EXPECT_EQ(written.text(), StringList([&] {
              StringList l;
              l.setText(image);
              return l;
            }()).text());

  // Save right after open writes the parsed tree over the file.
  v.openFile(tmp.str("copy.html"));
  EXPECT_TRUE(v.SaveClick());
}

// A failed Open changes nothing, so Save still writes the tree of the file that was open,
// to that file, and never an empty file over the one that failed.
TEST_F(TagViewerTest, AFailedOpenChangesNothing) {
  const std::string page = tmp.str("page.html"), gone = tmp.str("gone.html");
  platform::writeFileAtomic(page, "<HTML><BODY><P>one</BODY></HTML>\r\n");
  TFormTAGLParser v;
  v.setMainWindow(&w, [] { return ParsedFile{}; });
  v.openFile(page);
  v.ViewCR2ImageClick();
  const std::string pane = memoText(v);
  const int items = v.treeModel()->rowCount();

  rec.inputs.push_back(gone);
  v.OpenClick();
  EXPECT_EQ(v.currentFile(), page);
  EXPECT_EQ(memoText(v), pane);
  EXPECT_EQ(v.treeModel()->rowCount(), items);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Could not open " + gone + "\r\n" + platform::reasonText(ENOENT)});
  EXPECT_TRUE(v.SaveClick());
  EXPECT_FALSE(platform::fileExists(gone));
  std::string written;
  ASSERT_TRUE(platform::readFile(page, written));
  EXPECT_NE(written.find("<BODY"), std::string::npos);
}

TEST_F(TagViewerTest, WithoutAMainWindowTheTreeStaysEmpty) {
  const std::string page = tmp.str("p.html");
  platform::writeFileAtomic(page, "<HTML><P>x</HTML>");
  TFormTAGLParser v;
  v.openFile(page);
  EXPECT_EQ(v.words().count(), 4);
  EXPECT_EQ(v.treeModel()->rowCount(), 0);
  v.ViewTreeClick();
  v.ViewMessageClick();
  EXPECT_EQ(memoText(v), "");
  v.ViewCR2ImageClick();  // the own tree needs no main window
  EXPECT_NE(memoText(v).find("<HTML>"), std::string::npos);
}

TEST_F(TagViewerTest, ShowsTheLastParsedFile) {
  ParsedFile last;
  last.name = "book.mxh";
  last.text = "<Holder name=\"b\">\r\n<Record name=\"n1\">text</Record>\r\n<Broken>\r\n</Holder>\r\n";
  last.messages.add("ERROR not closed <Broken>");
  TFormTAGLParser v;
  v.setMainWindow(&w, [&] { return last; });

  v.ViewCurFileClick();
  EXPECT_EQ(memoText(v), "<Holder name=\"b\">\n<Record name=\"n1\">text</Record>\n<Broken>\n</Holder>");
  v.ViewWordListClick();
  const std::string words = memoText(v);
  EXPECT_EQ(words.substr(0, 24), "00001:<Holder name=\"b\">\n");
  EXPECT_NE(words.find("00006:</Holder>"), std::string::npos);
  v.ViewMessageClick();
  EXPECT_EQ(memoText(v), "ERROR not closed <Broken>");

  v.ViewTreeClick();
  TagTreeModel& m = *v.treeModel();
  const QModelIndex holder = childLabelled(m, m.index(0, 0), "<Holder name=\"b\">");
  ASSERT_TRUE(holder.isValid());
  const auto records = children(m, holder);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front(), "ELEMENT:Record");
}

TEST_F(TagViewerTest, TreeModelMakesItemsOnlyAsTheyAreOpened) {
  auto tree = std::make_shared<TTAGNode>();
  std::string text = "<Holder>";
  for (int i = 0; i < 2000; ++i) text += "<Record name=\"n" + std::to_string(i) + "\"><Body>line</Body></Record>";
  text += "</Holder>";
  StringList errors;
  ASSERT_EQ(TTAGNode::ParseXmlText(tree.get(), text, errors), 0);
  TagTreeModel m;
  m.setTree(tree);
  EXPECT_EQ(m.itemsMade(), 2);  // "/" and the Holder line
  const QModelIndex holder = m.index(0, 0, m.index(0, 0));
  EXPECT_TRUE(m.hasChildren(holder));
  EXPECT_EQ(m.rowCount(holder), 0);
  EXPECT_EQ(children(m, holder).size(), 2000u);
  // Each record brings its attribute list, still closed.
  EXPECT_EQ(m.itemsMade(), 2 + 2000 + 2000 + 2000);
  m.setTree(nullptr);
  EXPECT_EQ(m.rowCount(), 0);
}

TEST_F(TagViewerTest, DroppedFilesAreListed) {
  TFormTAGLParser v;
  v.dropFiles({QStringLiteral("/tmp/a.txt"), QString(300, QLatin1Char('x'))});
  const std::string text = memoText(v);
  EXPECT_EQ(text.substr(0, 11), "/tmp/a.txt\n");
  EXPECT_EQ(text.size(), 11u + 255u);
}

}  // namespace

// Pages from template notes: notebook page, calendar, week page and single-note page,
// checked byte for byte under a fixed clock.
#include "model/htmlgen.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "support/RecordingPrompter.h"
#include "model/errors.h"
#include "model/records/records_support.h"
#include "platform/textconv.h"
#include "support/data_files.h"

using namespace wux;

namespace {

// A document with one notebook and a clock that stands at 2024-03-09 13:05:07.
struct Book {
  FixedClock clock{DateTime{2024, 3, 9, 13, 5, 7, 0}};
  Clock* prevClock = setClock(&clock);
  std::unique_ptr<MemoFile> doc{Create<MemoFile>(nullptr)};
  MemoHolder* holder;
  explicit Book(const std::string& name) : holder(wux::testing::addBook(*doc, name)) {}
  ~Book() { setClock(prevClock); }

  MemoNode* add(const std::string& name, StringList body = {}, StringList comment = {}) {
    MemoNode* n = holder->newNode_();
    holder->addNode_(n, name);
    n->body() = std::move(body);
    if (!comment.empty()) n->ensureComment() = std::move(comment);
    return n;
  }
};

// Tree levels by note, for pages of a notebook shown as a tree; in use while it lives.
struct StubLevels : NodeLevelProvider {
  std::map<const MemoNode*, int> level;
  const NodeLevelProvider* prev = setNodeLevelProvider(this);
  ~StubLevels() { setNodeLevelProvider(prev); }
  int getLevel_(const MemoNode& n) const override {
    auto it = level.find(&n);
    return it == level.end() ? 0 : it->second;
  }
};

bool has(const StringList& lines, const std::string& text) { return lines.indexOfExact(text) >= 0; }

}  // namespace

TEST(HtmlNotebookPage, TemplatesLevelsCommentsAndEscaping) {
  Book b("Diary");
  b.add("*HTML BODY HEADER", {"<H1>%holder.name%</H1>", "a line without the sign is dropped",
                              "<P>%Date% %TIME%</P>"});
  b.add("*HTML BODY", {"  BGCOLOR=\"#FFFFEE\"  "});
  b.add("*HTML NODE HEADER LEVEL=1", {"<H3>%NODE.NAME%</H3>"});
  b.add("*HTML NODE FOOTER", {"<!-- end %node.name% -->"});
  b.add("*Draft", {"neither template nor content"});
  MemoNode* alpha = b.add("Alpha & Co", {"x < y", " indented"}, {"a \"q\""});
  MemoNode* beta = b.add("Beta", {"b1"});
  beta->putField_("HTML_HEADER", "\"B\"");  // no B header: its level's header
  MemoNode* gamma = b.add("Gamma", {"<b>bold</b>"}, {"c1"});
  gamma->putField_("FlagHTMLMemoAddBR", "\"false\"");
  MemoNode* delta = b.add("Delta", {}, {"   "});
  MemoNode* link = b.add("Link");
  link->putField_("Content-Transfer-Encoding", "\"URL\"");
  link->putField_("Filename", "\"http://x.org/?a=1&b=2\"");

  StubLevels levels;
  levels.level = {{alpha, 0}, {beta, 1}, {gamma, 1}, {delta, 2}, {link, 0}};

  StringList page;
  EXPECT_EQ(exportPageHTML_(*b.holder, page), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/notebook.html"));
}

TEST(HtmlNotebookPage, TableOfContentsStaysBalancedForOddLevels) {
  Book b("Tree");
  MemoNode* a = b.add("a");
  MemoNode* c = b.add("c");
  MemoNode* d = b.add("d");
  StubLevels levels;
  levels.level = {{a, -2}, {c, 3}, {d, 1}};
  HTMLGEN gen(b.holder, &levels);
  StringList pairs;
  gen.collectNodes_(b.holder->setNodeList_(pairs));
  StringList page;
  gen.writePage_("Tree", page);
  // A jump from level 0 to 3 opens three quotes, and every one is closed again.
  EXPECT_EQ(page.text(), readTestData("htmlgen/odd_levels.html"));
}

TEST(HtmlNotebookPage, HeaderChoiceByFieldThenLevelThenDefault) {
  Book b("H");
  MemoNode* hA = b.add("*HTML NODE HEADER A");
  MemoNode* h2 = b.add("*HTML NODE HEADER LEVEL=2");
  MemoNode* hDef = b.add("*HTML NODE HEADER");
  MemoNode* fB = b.add("*HTML NODE FOOTER B");
  MemoNode* n = b.add("n");
  StubLevels levels;
  levels.level = {{n, 2}};
  HTMLGEN gen(b.holder, &levels);
  StringList pairs;
  gen.collectNodes_(b.holder->setNodeList_(pairs));
  ASSERT_EQ(gen.contentNodes().count(), 1);

  EXPECT_EQ(gen.chooseNodeHeader_(*n), h2);
  n->putField_("HTML_HEADER", "\"A\"");
  EXPECT_EQ(gen.chooseNodeHeader_(*n), hA);
  n->putField_("HTML_HEADER", "\"B\"");
  EXPECT_EQ(gen.chooseNodeHeader_(*n), h2);
  levels.level[n] = 7;
  EXPECT_EQ(gen.chooseNodeHeader_(*n), hDef);
  EXPECT_EQ(gen.chooseNodeFooter_(*n), nullptr);
  n->putField_("HTML_FOOTER", "\"B\"");
  EXPECT_EQ(gen.chooseNodeFooter_(*n), fB);
}

TEST(HtmlNotebookPage, CommentFlagOffAndUrlSections) {
  Book b("Links");
  MemoNode* settings = b.add("*HTML");
  settings->putField_("FlagHTMLComment", "\"false\"");
  b.add("*HTML URL MemoNode", {"<LI>%NODE.NAME%</LI>"});
  b.add("20240305 Plain", {"text"}, {"secret comment"});
  MemoNode* url = b.add("Site", {"body of a link"}, {"another comment"});
  url->putField_("Content-Transfer-Encoding", "\"URL\"");
  url->putField_("Filename", "\"http://example.org/\"");

  // No comments on either page; the link note's section is the template alone.
  StringList page;
  EXPECT_EQ(exportPageHTML_(*b.holder, page), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/no_comments.html"));
  StringList cal;
  EXPECT_EQ(exportCalendarHTML_(*b.holder, cal, DateTime{2024, 3, 1}), 0);
  EXPECT_EQ(cal.text(), readTestData("htmlgen/no_comments_calendar.html"));
}

TEST(HtmlNotebookPage, ImageAndCsvContent) {
  Book b("Media");
  MemoNode* img = b.add("pic");
  img->putField_("Content-Type", "\"image/png\"");
  img->putField_("Filename", "\"D:\\img\\" + sj("表") + "\\a.png\"");
  img->putField_("Width", "\"40\"");
  MemoNode* linked = b.add("pic2");
  linked->putField_("Content-Type", "\"image/jpeg\"");
  linked->putField_("Filename", "\"./b.jpg\"");
  linked->putField_("Link", "\"http://h/?q=a&b\"");
  MemoNode* csv = b.add("table", {"a,<b>,", "c"});
  csv->putField_("Content-Type", "\"text/csv\"");

  HTMLGEN gen(b.holder);
  StringList pairs;
  gen.collectNodes_(b.holder->setNodeList_(pairs));
  StringList out;
  gen.writeNodeContent_(*img, out, true);
  gen.writeNodeContent_(*linked, out, true);
  gen.writeNodeContent_(*csv, out, true);
  // The second byte of a double-byte character is never taken for a backslash.
  EXPECT_EQ(out.text(), readTestData("htmlgen/content.html"));
}

TEST(HtmlCalendar, MarchOf2024ShowsSixRowsWithTheLastDay) {
  Book b("Cal");
  b.add("*HTML NODE FOOTER", {"<!-- %NODE.NAME% -->"});
  b.add("20240305 Dentist", {"at 10"});
  b.add("Shopping", {"undated: today"});  // the clock stands at 9 March 2024
  b.add("20240331", {"last day"});
  b.add("2024-03-05  Call <Bob>", {"later"});

  StringList page;
  EXPECT_EQ(exportCalendarHTML_(*b.holder, page, DateTime{2024, 3, 20}), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/calendar.html"));
}

TEST(HtmlCalendar, MonthStartingOnSaturday) {
  Book b("Cal");
  b.add("20250331 end of month");
  StringList page;
  // 1 March 2025 is a Saturday: six rows, from 23 February to 5 April.
  EXPECT_EQ(exportCalendarHTML_(*b.holder, page, DateTime{2025, 3, 1}), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/calendar_saturday.html"));
  StringList bad;
  EXPECT_THROW(exportCalendarHTML_(*b.holder, bad, DateTime{2025, 13, 1}), RangeError);
}

TEST(HtmlCalendar, NameToDate) {
  FixedClock clock(DateTime{2024, 3, 9, 13, 5, 7, 0});
  Clock* prev = setClock(&clock);
  EXPECT_EQ(HTMLGEN::nameToDate_("20240305"), (DateTime{2024, 3, 5}));
  EXPECT_EQ(HTMLGEN::nameToDate_(" 2023/12/24 "), (DateTime{2023, 12, 24}));
  EXPECT_EQ(HTMLGEN::nameToDate_("2025"), (DateTime{2025, 3, 9}));
  EXPECT_EQ(HTMLGEN::nameToDate_("00000005"), (DateTime{2024, 3, 5}));
  EXPECT_EQ(HTMLGEN::nameToDate_("20240230"), clock.now());  // impossible: now
  DateTime d;
  EXPECT_TRUE(HTMLGEN::nameToDate("memo", d));  // every part missing: today
  EXPECT_EQ(d, (DateTime{2024, 3, 9}));
  EXPECT_FALSE(HTMLGEN::nameToDate("20241301", d));
  EXPECT_TRUE(HTMLGEN::nameToDate(sj("令和") + "20240101", d));
  EXPECT_EQ(d, (DateTime{2024, 1, 1}));
  setClock(prev);
}

TEST(HtmlTemplates, BodyAttributesKeepTheTemplatesLineBreaks) {
  Book b("B");
  b.add("*HTML BODY", {"", "  BGCOLOR=white", "TEXT=black  ", ""});
  StringList page;
  exportPageHTML_(*b.holder, page);
  EXPECT_TRUE(page.text().find("</HEAD>\r\n<BODY BGCOLOR=white\r\nTEXT=black>\r\n<HR>\r\n") !=
              std::string::npos)
      << page.text();
}

TEST(HtmlTemplates, ExpansionReplacesTokensOnceAndDropsPlainLines) {
  Book b("Book %DATE%");
  MemoNode* t = b.add("*HTML BODY HEADER",
                      {"<h1>%Holder.Name%</h1>", "no sign here", "%NODE.NAME% at %date% %Time%", "100%"});
  StringList out;
  EXPECT_EQ(expandTemplate_(*t, b.holder, out), 0);
  EXPECT_EQ(out.join("\n"),
            "<h1>Book %DATE%</h1>\n"
            "*HTML BODY HEADER at 2024/03/09 13:05:07\n"
            "100%");
  out.clear();
  expandTemplateFor_(*t, nullptr, "a<b", out);
  EXPECT_EQ(out[0], "<h1>%Holder.Name%</h1>");
  EXPECT_EQ(out[1], "a&lt;b at 2024/03/09 13:05:07");
}

TEST(HtmlWeekPage, EveryContentNoteWithEscapedBody) {
  Book b("Week <1>");
  b.add("*HTML", {"not a template here, nor content"});
  b.add("*HTML NODE HEADER A", {"<H2>%NODE.NAME%</H2>"});
  b.add("*HTML NODE FOOTER", {"<!-- %NODE.NAME% -->"});
  b.add("Mon & Tue", {"He said \"hi\" & <b>", ""}, {"comments are not shown"});
  b.add("20240101 other");

  StringList page;
  EXPECT_EQ(exportWeekHTML_(*b.holder, page, DateTime{2024, 3, 4}), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/week.html"));
}

TEST(HtmlNotePage, JpegNoteWithTemplatesAndComment) {
  Book b("Photos");
  b.add("*HTML NODE HEADER", {"<H2>%NODE.NAME%</H2>"});
  b.add("*HTML BODY FOOTER", {"<P>%holder.name%</P>"});
  b.add("*HTML NODE HEADER A", {"<H1>not used here</H1>"});
  MemoNode* cat = b.add("Cat & Dog", {}, {"cute & <fluffy>"});
  cat->putField_("Content-Type", "\"image/jpeg\"");
  cat->putField_("Content-Transfer-Encoding", "\"binary\"");
  cat->putField_("Filename", "\"C:\\pics\\cat.jpg\"");

  StringList page;
  EXPECT_EQ(exportHTML_(*cat, page), 0);
  EXPECT_EQ(page.text(), readTestData("htmlgen/note.html"));

  // A text note without templates or notebook.
  std::unique_ptr<MemoNode> lone(Create<MemoNode>(nullptr));
  lone->body().add("<x>");
  StringList p2;
  exportHTML_(*lone, p2);
  EXPECT_TRUE(has(p2, "<a name=\"0\"></a>"));
  EXPECT_TRUE(has(p2, "&lt;x&gt;<BR>"));
}

TEST(HtmlNotePage, ACommentListGetsItsBlockEvenWhenBlankOrEmpty) {
  Book b("Notes");
  auto block = [](MemoNode& n) {
    StringList page;
    exportHTML_(n, page);
    const int start = page.indexOfExact("<blockquote>");
    const int end = page.indexOfExact("</blockquote>");
    if (start < 0 || end < start) return std::string("none");
    std::string out;
    for (int i = start + 1; i < end; ++i) out += page[i] + "|";
    return out;
  };
  MemoNode* blank = b.add("blank", {"text"}, {"  "});
  EXPECT_EQ(block(*blank), "<HR>|  <BR>|");
  MemoNode* empty = b.add("empty", {"text"});
  empty->ensureComment();
  EXPECT_EQ(block(*empty), "<HR>|");
  EXPECT_EQ(block(*b.add("none", {"text"})), "none");
}

TEST(HtmlExport, DispatchByNamingKind) {
  Book b("Numbers");
  b.add("00001", {"one"});
  StringList page;
  for (const std::string kind : {"Number", "Glossary"}) {  // no page for these kinds
    b.holder->putField_("NewNodeName", "\"" + kind + "\"");
    EXPECT_EQ(exportHTML_(*b.holder, page), 0);
    EXPECT_TRUE(page.empty()) << kind;
  }
  for (const std::string kind : {"\"Daily\"", "\"number\"", "Number"}) {  // others: the page
    b.holder->putField_("NewNodeName", kind);
    page.clear();
    EXPECT_EQ(exportHTML_(*b.holder, page), 0);
    EXPECT_TRUE(has(page, "one<BR>")) << kind;
  }

  RecordingPrompter rec;
  ScopedPrompter scoped(&rec);
  EXPECT_EQ(exportCalendar_(*b.holder), -1);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Still Not Implimented.");
}

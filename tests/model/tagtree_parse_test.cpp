#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/data_files.h"
#include "model/lists.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "tagtree_support.h"
#include "platform/textconv.h"

using namespace wux;
using namespace wux::tagtest;

namespace {

V wordsOf(std::string_view text, bool breaks = false) {
  StringList words;
  EXPECT_EQ(TextToWordList(text, words, breaks), 0);
  return linesOf(words);
}

// A tag as "name|flags|attribute|...": flags "/" when self-closing, "end" for an end tag.
std::string tag(std::string_view word) {
  std::string name;
  StringList attrs;
  bool selfClosing = false, endTag = false;
  TTAGNode::ParseTagText(word, name, attrs, selfClosing, endTag);
  std::string r = name + "|" + (selfClosing ? "/" : "") + (endTag ? "end" : "");
  for (const auto& a : attrs) r += "|" + a.text;
  return r;
}

}  // namespace

TEST(TagWords, SplitsTagsFromTextAcrossLineBreaks) {
  // Breaks are dropped between text: "a" and "b" join into one piece.
  EXPECT_EQ(wordsOf("<x>a\r\nb</x>"), (V{"<x>", "ab", "</x>"}));
  // A quoted ">" does not end the tag.
  EXPECT_EQ(wordsOf("<a t=\"1>2\">z</a>"), (V{"<a t=\"1>2\">", "z", "</a>"}));
  // Blank text between tags is no word; text with content keeps its blanks.
  EXPECT_EQ(wordsOf("<a>  \r\n\t<b>  x </b>"), (V{"<a>", "<b>", "  x ", "</b>"}));
  // Text after the last tag and an unterminated tag give nothing.
  EXPECT_EQ(wordsOf("<a>tail"), (V{"<a>"}));
  EXPECT_EQ(wordsOf("x<a t=\"open>"), (V{"x"}));
  EXPECT_EQ(wordsOf("<a"), V{});
  // A break inside a tag separates like a blank; inside quotes it is kept.
  EXPECT_EQ(wordsOf("<a x=\"1\"\r\ny=\"2\r\n3\">"), (V{"<a x=\"1\" y=\"2\r\n3\">"}));
  // With the flag, each break outside a tag is a word of its own; CR LF and LF LF are
  // one break each.
  EXPECT_EQ(wordsOf("<a>x\r\ny\n\n\r<b>", true), (V{"<a>", "x", "<CR/>", "y", "<CR/>", "<CR/>", "<b>"}));
  // Double-byte text passes through whole.
  std::string jp = sj("日本語のメモ");
  EXPECT_EQ(wordsOf("<a>" + jp + "<BR/>"), (V{"<a>", jp, "<BR/>"}));
}

// Runs of text and tags of every length, so that each stop byte falls at every place
// of a block the splitter looks at whole.
TEST(TagWords, StopsAreFoundAtEveryPlace) {
  for (std::size_t n = 0; n < 70; ++n) {
    const std::string x(n, 'x'), y(n % 23, sj("本")[0]), q(n, 'q');
    const std::string tag = "<t v=\"" + q + ">" + q + "\" w=\"" + x + "\">";
    const std::string text = x + "\r\n" + y + "<a>" + x + "\n" + tag + "\r" + q + "</a>" + x;
    // Breaks vanish between text; text after the last tag is lost.
    V expected;
    if (n > 0) expected.push_back(x + y);
    expected.push_back("<a>");
    if (n > 0) expected.push_back(x);
    expected.push_back(tag);
    if (n > 0) expected.push_back(q);
    expected.push_back("</a>");
    EXPECT_EQ(wordsOf(text), expected) << n;

    // Entities are resolved wherever they stand in a text word, across a break too.
    TTAGNode root;
    StringList errors;
    const std::string xml = "<a>" + x + "&lt;" + y + "&\r\nlt;" + q + "</a><a>" + q + "&amp" + "</a><a>&" + x + "</a>";
    ASSERT_EQ(TTAGNode::ParseXmlText(&root, std::string_view(xml), errors), 0);
    ASSERT_EQ(root.count(), 3);
    EXPECT_EQ(linesOf(*root.element(0)), V{x + "<" + y + "<" + q}) << n;
    EXPECT_EQ(linesOf(*root.element(1)), V{q + "&amp"}) << n;
    EXPECT_EQ(linesOf(*root.element(2)), V{"&" + x}) << n;
  }
}

TEST(TagWords, ListLinesAreJoinedWithBreaks) {
  StringList lines{"  <Record name=\"a\">", "body", "text<BR/>", "  </Record>", "tail"};
  StringList words;
  TextToWordList(lines, words, false);
  EXPECT_EQ(linesOf(words), (V{"<Record name=\"a\">", "bodytext", "<BR/>", "</Record>"}));
  // The list is replaced, not appended to.
  TextToWordList(StringList{"<a>"}, words, false);
  EXPECT_EQ(linesOf(words), V{"<a>"});
}

TEST(TagWords, MalformedInputNeverFails) {
  std::string nasty("<a\0b>\x81<\x82\"", 9);
  nasty += std::string(std::size_t{100} << 20, '<');  // 100 MB of "<"
  StringList words;
  EXPECT_EQ(TextToWordList(nasty, words, false), 0);
  EXPECT_EQ(linesOf(words), (V{std::string("<a\0b>", 5), "\x81"}));
  // A tag of a great many blank-separated pieces takes linear time, not minutes.
  std::string wide = "<x";
  for (int i = 0; i < 200000; ++i) wide += " a  ";
  std::string parsed = tag(wide + "/>");
  EXPECT_EQ(std::count(parsed.begin(), parsed.end(), '|'), 200001);
  std::string nul("x\0y<z>\x81", 8);
  EXPECT_EQ(wordsOf(nul), (V{std::string("x\0y", 3), "<z>"}));
}

TEST(TagText, NameFlagsAndAttributes) {
  EXPECT_EQ(tag("<BR/>"), "BR|/");
  EXPECT_EQ(tag(" <BR /> "), "BR|/");
  EXPECT_EQ(tag("</Record>"), "Record|end");
  EXPECT_EQ(tag("<Record name=\"my note\">"), "Record||name=\"my note\"");
  // A bare name gets an empty quoted value, except when it is the last piece.
  EXPECT_EQ(tag("<x a b=1>"), "x||a=\"\"|b=1");
  EXPECT_EQ(tag("<x b=1 a>"), "x||b=1|a");
  // Blanks around "=" all give name="value".
  EXPECT_EQ(tag("<x a = \"1\" b= \"2\" c =\"3\" d=\"4\" e= f='5' g=\"\">"),
            "x||a=\"1\"|b=\"2\"|c=\"3\"|d=\"4\"|e=\"\"|f='5'|g=\"\"");
  // Values are unescaped.
  EXPECT_EQ(tag("<F v=\"&lt;b&gt; &amp;lt; &quot;\"/>"), "F|/|v=\"<b> &lt; \"\"");
  EXPECT_TRUE(tag("<>").starts_with("|"));
  EXPECT_TRUE(tag("< / >").starts_with("|"));
}

// Tags as the writers write them are read in one pass; every other form goes through
// the general split. Both must agree on any tag, near misses of the common form above
// all: the attributes of every Field element depend on it.
TEST(TagText, CommonFormReadsAsTheGeneralSplit) {
  auto general = [](std::string_view r) {
    StringList pieces, attrs;
    SplitToStringsQuoted(r, pieces, " \t");
    DeleteBlankLinesCount(pieces);
    std::string name = pieces[0];
    pieces.erase(0);
    TTAGNode::NormalizeAttributes(pieces, attrs);
    std::string out = name + "|";
    for (const auto& a : attrs) out += "|" + UnescapeHTML(a.text);
    return out;
  };
  const std::string names[] = {"Field", "a=b", sj("本"), "R\x7F"};
  const std::string seps[] = {" ", "  ", "\t", "", " \x01"};
  const std::string attrs[] = {"a=\"1\"", "b=\"x y\"", "c=\"&lt;&amp;&quot;\"", "d=''", "e", "f=1",
                               "=\"2\"", "g=\"\"\"h\"", "i=\"\"", "j= \"3\"", sj("k=\"本\""), "l=\"4\"m",
                               "n=\"'\"", "o=\"a\tb\"", "p=\"\"\"", "q=\"x\"\""};
  const std::string tails[] = {"", " ", "\t"};
  unsigned seed = 7;
  auto pick = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string r = names[pick(4)];
    const unsigned count = pick(round < 1000 ? 3 : 20);
    for (unsigned k = 0; k < count; ++k) r += seps[pick(5)] + attrs[pick(16)];
    r += tails[pick(3)];
    EXPECT_EQ(tag("<" + r + ">"), general(r)) << r;
  }
  EXPECT_EQ(tag("<Field a=\"1\" b=\"&lt;\" />"), "Field|/|a=\"1\"|b=\"<\"");
}

// The whole tree of a document file (with an internal subset: what follows it is a text
// line of the root) and of a notebook file, with entities resolved.
TEST(XmlParser, ReadsDocumentAndNotebookFiles) {
  for (std::string name : {"document", "notebook"}) {
    TTAGNode root;
    StringList errors;
    ASSERT_EQ(parse(root, readTestData("model/" + name + ".xml"), errors), 0);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(dump(root), readTestData("model/" + name + ".tree")) << name;
  }
  TTAGNode root;
  StringList errors;
  parse(root, readTestData("model/document.xml"), errors);
  TTAGNode* file = TTAGNode::FindChildTag(&root, "File");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(TTAGNode::FindChildTag(&root, "FILE"), nullptr);
  EXPECT_EQ(TTAGNode::FindChildTag(&root, " "), nullptr);
  EXPECT_EQ(TTAGNode::AttributeValue(file->element(0), "currentholder"), sj("\"日記\""));
}

TEST(XmlParser, ReportsMismatchedAndStrayEndTags) {
  const std::string mismatch = sj(" タグの開始と終了が一致しない。");
  struct Case {
    const char* rootName;
    std::string_view text;
    V errors;
  } cases[] = {
      {"", "<Holder><Record name=\"a\">x<BR/></record></Holder>",
       {"4:</record>", mismatch + "Record record in TTAGNode._fromXMLWorldList_aOUT_"}},
      // The root has no name, so a surplus end tag at the top is a mismatch.
      {"", "<a></a></File>", {"2:</File>", mismatch + " File in TTAGNode._fromXMLWorldList_aOUT_"}},
      {"", "<a><></a>", {}},
      // A named root can be closed; what follows has nowhere to go.
      {"R", "</R>text<a>", {"1:text", "R aTTNC = nil in TTAGNode._FromXMLWordList_aOUT_"}},
      {"R", "</R><a>",
       {"ERROR Current TAG is nil. Probabry TAG's ireko not matichline number = 1 word=<a> in  _FromXMLWordList_aOUT_ "}},
      {"R", "</R></R>", {"1:</R>", sj("いきなり終了タグがあらわれた。") + "R  in TTAGNode._fromXMLWorldList_aOUT_"}},
  };
  for (const auto& c : cases) {
    TTAGNode root;
    if (*c.rootName) root.setTagName(c.rootName);
    StringList errors;
    EXPECT_EQ(parse(root, c.text, errors), -1) << c.text;
    EXPECT_EQ(linesOf(errors), c.errors) << c.text;
    if (c.text == cases[0].text) {  // the tree built so far stays under the root
      TTAGNode* rec = TTAGNode::FindChildTag(TTAGNode::FindChildTag(&root, "Holder"), "Record");
      ASSERT_NE(rec, nullptr);
      EXPECT_EQ(rec->endTagName(), "record");
    }
  }
}

TEST(XmlParser, EveryRoadGivesTheSameTree) {
  std::string text = sj("<Holder name=\"h\">\r\n  <Record name=\"a\">\r\nlong body text of a note 本文 &amp; x<BR/>\r\n");
  StringList lines;
  lines.setText(text);
  StringList words;
  TextToWordList(lines, words, false);
  TTAGNode copied, moved, onePass;
  StringList errors;
  ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(&copied, words, errors), 0);
  ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(&moved, std::move(words), errors), 0);
  ASSERT_EQ(TTAGNode::ParseXmlText(&onePass, lines, errors), 0);
  for (TTAGNode* root : {&copied, &moved, &onePass}) {
    TTAGNode* rec = TTAGNode::FindChildTag(TTAGNode::FindChildTag(root, "Holder"), "Record");
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(linesOf(*rec), (V{sj("long body text of a note 本文 & x"), "<BR/>"}));
  }
  // Errors name the same word numbers; the words after the error are not read.
  TTAGNode c;
  EXPECT_EQ(TTAGNode::ParseXmlText(&c, std::string_view("<a>x</b><c>"), errors), -1);
  EXPECT_EQ(linesOf(errors), (V{"2:</b>", sj(" タグの開始と終了が一致しない。") + "a b in TTAGNode._fromXMLWorldList_aOUT_"}));
  EXPECT_EQ(c.count(), 1);
}

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../support/data_files.h"
#include "model/tagtree.h"
#include "tagtree_support.h"
#include "platform/textconv.h"

using namespace wux;
using namespace wux::tagtest;

namespace {

// Records each item as its label indented by its depth (labels only, without the
// indent, when `indent` is off: a very deep tree would need its depth squared in bytes).
struct RecordingSink : TagTreeSink {
  bool indent = true;
  V rows;
  std::vector<std::size_t> depth;
  std::vector<std::unique_ptr<StringList>> kept;
  std::vector<TObject*> data;
  Item addItem(Item parent, const std::string& label, TObject* obj) override {
    std::size_t d = parent ? depth[reinterpret_cast<std::size_t>(parent) - 1] + 1 : 0;
    depth.push_back(d);
    data.push_back(obj);
    rows.push_back(indent ? std::string(2 * d, ' ') + label : label);
    return reinterpret_cast<Item>(depth.size());
  }
  Item addItemWithText(Item parent, const std::string& label, std::unique_ptr<StringList> full) override {
    kept.push_back(std::move(full));
    return addItem(parent, label, nullptr);
  }
};

}  // namespace

TEST(HtmlParser, BuildsNestedElementsFromTheDictionary) {
  TTAGNode root;
  StringList errors;
  ASSERT_EQ(parse(root, "<html><body bgcolor=red><p>Hello &lt;you&gt;<br>world</p>end</BODY></html>", errors, true), 0);
  // Tags take the dictionary's name, not the written one. P and BR hold nothing; the end tag
  // of P closes BODY, so "end" lands in HTML.
  EXPECT_EQ(dump(root), "<html> => [HTML||BODY]\n  <body bgcolor=red> => [BODY|bgcolor=red |p]\n    <p> => [P||]\n"
                        "    Hello &lt;you&gt;\n    <br> => [BR||]\n    world\n  end\n");
  EXPECT_EQ(TTAGNode::AttributeValue(root.element(0)->element(0), "BGCOLOR"), "red");
  EXPECT_EQ(root.element(0)->definition()->name(), "HTML");
}

TEST(HtmlParser, ReportsUnknownTagsWithTheirWordNumber) {
  TTAGNode root;
  StringList errors;
  EXPECT_EQ(parse(root, "<HTML><BODY>\r\n<P>a<BLINK>b</BLINK></BODY></HTML>", errors, true), -1);
  EXPECT_EQ(linesOf(errors), (V{"4:<BLINK>", sj("未知のタグを見つけた ") + "BLINK in TTAGNode._FromWordList_aDict_"}));
  // The tree built so far stays.
  EXPECT_EQ(root.element(0)->element(0)->tagName(), "BODY");

  // Comments of any spelling are the "!--" entry.
  TTAGNode comment;
  errors.clear();
  EXPECT_EQ(parse(comment, "<!--x--><!DOCTYPE html>", errors, true), 0);
  EXPECT_EQ(comment.element(0)->tagName(), "!--");
  EXPECT_EQ(comment.element(1)->tagName(), "!DOCTYPE");

  // One end tag too many closes the root; what follows has nowhere to go.
  TTAGNode over;
  errors.clear();
  EXPECT_EQ(parse(over, "<B>x</B></B>y<I>", errors, true), -1);
  EXPECT_EQ(linesOf(errors), (V{"4:y", "B in TTAGNode._FromWordList_aDict_"}));
  errors.clear();
  TTAGNode over2;
  EXPECT_EQ(parse(over2, "<B></B></B><I>", errors, true), -1);
  EXPECT_EQ(linesOf(errors), V{sj("ERROR カレントタグが nil になった。恐らくタグの入れ子が不一致 line number = ") +
                               "3 word=<I> in  _FromWordList_aDict_aOUT_ "});
}

TEST(HtmlParser, CustomDictionaryKinds) {
  StringList dict;
  dict.add("X=1");
  dict.add("BAD=1");
  dict.add("HR=4");
  TTAGNode::BuildTagDefinitions(dict);
  // A bare-tag definition is shared, not copied; a foreign class is refused.
  TDEFTAG* bare = new TDEFTAG04("HR");
  delete dict.object(2);
  dict.setObject(2, bare);
  TDEFTAG* plain = new TDEFTAG("BAD");
  delete dict.object(1);
  dict.setObject(1, plain);

  StringList words{"<x a=\"1\">", "t", "<hr>", "</x>", "<bad>"};
  TTAGNode root;
  StringList errors;
  EXPECT_EQ(TTAGNode::_FromWordList_aDict_(&root, words, dict, errors), -1);
  EXPECT_EQ(linesOf(errors), (V{"4:<bad>", "bad" + sj("　未知の型定義 in TTAGNode._FromWordList_aDict_")}));
  TTAGNode* x = root.element(0);
  EXPECT_EQ(x->bareTag(1), bare);
  StringList out;
  TTAGNode::WriteTo(&root, out);
  EXPECT_EQ(linesOf(out), (V{"<X a=\"1\" >", "t", "<HR>", "</X>"}));
  root.clear();
  TTAGNode::FreeTagDefinitions(dict);
}

TEST(TagWriter, WritesAnHtmlPageBackByteForByte) {
  std::string page = readTestData("model/page.html");
  TTAGNode root;
  StringList errors;
  ASSERT_EQ(parse(root, page, errors, true), 0);
  StringList out;
  TTAGNode::WriteTo(&root, out);
  EXPECT_EQ(out.text(), readTestData("model/page_written.html"));

  // A raw-text element writes every line as it is, children too.
  TTAGNode title;
  title.setDefinition(dynamic_cast<const TDEFTAG*>(
      TTAGNode::EnsureHtmlTagDictionary().object(TTAGNode::EnsureHtmlTagDictionary().indexOfName("TITLE"))));
  title.add("a");
  TTAGNode::addNew___(&title, "<b>", "b", nullptr);
  out.clear();
  TTAGNode::WriteTo(&title, out);
  EXPECT_EQ(linesOf(out), (V{"<TITLE>", "a", "<b>", "</TITLE>"}));

  // A node without definition writes only what its children write.
  out.clear();
  TTAGNode xml;
  StringList words{"<a>", "x", "<b/>", "</a>"};
  ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(&xml, words, errors), 0);
  TTAGNode::WriteTo(&xml, out);
  EXPECT_EQ(out.count(), 0);
}

TEST(TagTree, DeepNestingNeitherOverflowsNorLeaks) {
  const int depth = 100000;
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<div>";
  text += "x";
  for (int i = 0; i < depth; ++i) text += "</div>";
  StringList words;
  TextToWordList(text, words, false);
  {
    auto root = std::make_unique<TTAGNode>();
    StringList errors;
    ASSERT_EQ(TTAGNode::ParseHtml(root.get(), words, errors), 0);
    StringList out;
    TTAGNode::WriteTo(root.get(), out);
    ASSERT_EQ(out.count(), 2 * depth + 1);
    EXPECT_EQ(out[depth], "x");
    RecordingSink sink;
    sink.indent = false;
    EXPECT_EQ(TTAGNode::FillTreeView(root.get(), sink, nullptr), depth + 1);
    EXPECT_EQ(sink.depth.back(), static_cast<std::size_t>(depth));
    TTAGNode::ClearTree(root.get());
    EXPECT_EQ(root->count(), 0);
  }
  {
    auto root = std::make_unique<TTAGNode>();
    StringList errors;
    ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(root.get(), std::move(words), errors), 0);
  }  // the destructor frees all levels
}

TEST(TagTree, AttributeAccessors) {
  TTAGNode bare;
  std::string n, v;
  EXPECT_EQ(TTAGNode::AttributeCount(&bare) + TTAGNode::AttributesText(&bare).size(), 0u);
  EXPECT_EQ(TTAGNode::AttributeAt(&bare, 0, n, v), -1);

  TTAGNode root;
  StringList words{"<Field Name=\"v 1\" b=2 flag/>"};
  StringList errors;
  ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(&root, words, errors), 0);
  TTAGNode* f = root.element(0);
  EXPECT_EQ(TTAGNode::AttributeCount(f), 3);
  EXPECT_EQ(TTAGNode::AttributesText(f), "Name=\"v 1\" b=2 flag ");
  EXPECT_EQ(TTAGNode::AttributesAsText(f), "Name=\"v 1\"\r\nb=2\r\nflag\r\n");
  EXPECT_EQ(TTAGNode::AttributeValue(f, "name"), "\"v 1\"");
  EXPECT_EQ(TTAGNode::AttributeLine(f, 1), "b=2");
  EXPECT_EQ(TTAGNode::AttributeLine(f, -1), "");
  // The result, the name and the value of the attribute at an index.
  auto at = [&](int i) { return std::to_string(TTAGNode::AttributeAt(f, i, n, v)) + " " + n + "=" + v; };
  EXPECT_EQ(at(1), "1 b=2");
  EXPECT_EQ(at(2), "0 flag=");
  EXPECT_EQ(at(3).substr(0, 3), "-2 ");
}

TEST(TagTree, DumpsATreeForTheViewer) {
  std::string longText(300, 'x');
  StringList words{"<?xml v=\"1\"?>", "<File name=\"d\">", "t", "<BR/>", "<Holder>", longText, "</Holder>",
                   "</File>", "]>"};
  TTAGNode root;
  StringList errors;
  ASSERT_EQ(TTAGNode::_FromXMLWordList_aOUT_(&root, words, errors), 0);
  RecordingSink sink;
  int n = TTAGNode::FillTreeView(&root, sink, nullptr);
  // Top: the lines with an object; below: every line.
  EXPECT_EQ(n, 2 + 3 + 1);
  EXPECT_EQ(sink.rows, (V{"<?xml v=\"1\"?>", "<File name=\"d\">", "  #PCDATA:t", "  ELEMENT:BR", "  ELEMENT:Holder",
                          "    #PCDATA-OVER:" + std::string(240, 'x'), "]>"}));
  // The cut label keeps the full text as its data.
  ASSERT_EQ(sink.kept.size(), 1u);
  EXPECT_EQ((*sink.kept[0])[0], longText);
  EXPECT_EQ(sink.data[1], root.element(1));

  TTAGNode html;
  StringList htmlWords{"<HTML>", "<!-- c -->", "<BODY a=1 b=2>", "</BODY>", "</HTML>"};
  ASSERT_EQ(TTAGNode::ParseHtml(&html, htmlWords, errors), 0);
  RecordingSink s2;
  EXPECT_EQ(TTAGNode::FillTreeView(&html, s2, nullptr), 3);
  EXPECT_EQ(s2.rows, (V{"<HTML>", "  SPECIAL:!--", "  ELEMENT:BODY", "    ATTLIST:", "      a=1", "      b=2"}));
}

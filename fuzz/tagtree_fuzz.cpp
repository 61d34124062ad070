// Every document and notebook file goes through the word splitter and the parsers, and a
// damaged or hostile file must never crash, hang or read astray. Besides surviving, the
// one-pass reader must build exactly the tree of the two-step road, and every word must
// have the shape the parsers rely on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/tagtree.h"
#include "model/text/StringList.h"

using namespace wux;

namespace {

struct CountingSink : TagTreeSink {
  std::intptr_t n = 0;
  Item addItem(Item, const std::string&, TObject*) override { return reinterpret_cast<Item>(++n); }
  Item addItemWithText(Item, const std::string&, std::unique_ptr<StringList>) override {
    return reinterpret_cast<Item>(++n);
  }
};

// A flat image of a tree, iteratively: texts, tag names, end tags and attributes.
std::string dump(const TTAGNode& root) {
  std::string out;
  std::vector<std::pair<const TTAGNode*, int>> stack{{&root, 0}};
  while (!stack.empty()) {
    auto& [node, i] = stack.back();
    if (i >= node->count()) {
      out += ")" + node->endTagName();
      stack.pop_back();
      continue;
    }
    const TTAGNode* n = node;
    int at = i++;
    out += "|" + (*n)[at];
    if (TTAGNode* c = n->element(at)) {
      out += "(" + c->tagName() + "[" + TTAGNode::AttributesText(c) + "]";
      stack.push_back({c, 0});
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  StringList lines;
  lines.setText(text);

  StringList words;
  TextToWordList(lines, words, false);
  for (const auto& w : words) {
    if (w.text.empty()) std::abort();
    // A tag word runs from "<" to ">"; a text word holds no "<" and is not blank.
    if (w.text[0] == '<') {
      if (w.text.back() != '>') std::abort();
    } else {
      bool blank = true;
      for (unsigned char c : w.text) blank = blank && c <= 0x20;
      if (blank || w.text.find('<') != std::string::npos) std::abort();
    }
  }
  StringList flat, withBreaks;
  TextToWordList(text, flat, false);
  TextToWordList(lines, withBreaks, true);

  // The two roads to a tree agree, errors included.
  TTAGNode twoStep, onePass;
  StringList errors1, errors2;
  int r1 = TTAGNode::_FromXMLWordList_aOUT_(&twoStep, words, errors1);
  int r2 = TTAGNode::ParseXmlText(&onePass, lines, errors2);
  if (r1 != r2 || errors1.text() != errors2.text() || dump(twoStep) != dump(onePass)) std::abort();

  StringList out;
  TTAGNode::WriteTo(&twoStep, out);
  CountingSink sink;
  TTAGNode::FillTreeView(&twoStep, sink, nullptr);

  TTAGNode html;
  StringList errors3;
  TTAGNode::ParseHtml(&html, withBreaks, errors3);
  TTAGNode::WriteTo(&html, out);
  TTAGNode::FillTreeView(&html, sink, nullptr);

  // What the HTML writer gives back parses again.
  StringList again;
  TextToWordList(out, again, false);
  TTAGNode html2;
  TTAGNode::ParseHtml(&html2, again, errors3);
  TTAGNode::ClearTree(&html);
  return 0;
}

#pragma once
// Shared pieces of the tag tree tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/tagtree.h"

namespace wux::tagtest {

using V = std::vector<std::string>;

inline V linesOf(const StringList& l) {
  V v;
  for (const auto& line : l) v.push_back(line.text);
  return v;
}

// Parses text split into words, as XML or through the HTML tag dictionary.
inline int parse(TTAGNode& root, std::string_view text, StringList& errors, bool html = false) {
  StringList lines, words;
  lines.setText(text);
  TextToWordList(lines, words, false);
  return html ? TTAGNode::ParseHtml(&root, words, errors) : TTAGNode::_FromXMLWordList_aOUT_(&root, words, errors);
}

// The tree as text, an entry a line indented by its depth; an element's line is followed by
// " => [tag|attributes|end tag]". Every element must know its parent.
inline std::string dump(TTAGNode& n, int depth = 0) {
  std::string out;
  for (int i = 0; i < n.count(); ++i) {
    out += std::string(2 * depth, ' ') + n[i];
    TTAGNode* e = n.object(i) ? n.element(i) : nullptr;
    if (!e) {
      out += "\n";
      continue;
    }
    EXPECT_EQ(e->parent(), &n) << n[i];
    out += " => [" + e->tagName() + "|" + TTAGNode::AttributesText(e) + "|" + e->endTagName() + "]\n";
    out += dump(*e, depth + 1);
  }
  return out;
}

}  // namespace wux::tagtest

// The tag tree itself: ownership, writing, the attribute accessors, the HTML dictionary
// and the tree dump of the tag viewer.
#include "model/tagtree.h"

#include <iterator>
#include <typeinfo>
#include <vector>

#include "model/Prompter.h"
#include "model/text/sjis.h"

namespace wux {

namespace {

// Shared by every tree read with break marks; nothing owns or frees it.
TObject breakMark;

// Trees hold millions of lines: the exact-type test spares a dynamic_cast per line.
TTAGNode* asNode(TObject* obj) {
  if (!obj || obj == &breakMark) return nullptr;
  if (typeid(*obj) == typeid(TTAGNode)) return static_cast<TTAGNode*>(obj);
  return dynamic_cast<TTAGNode*>(obj);
}
const TDEFTAG* asDef(TObject* obj) {
  return obj && obj != &breakMark ? dynamic_cast<const TDEFTAG*>(obj) : nullptr;
}

// Frees the elements below `node` without recursion: each freed node's lines are emptied
// before it is deleted, so no destructor ever walks further down.
void freeChildren(TTAGNode* node) {
  // Most nodes hold a few elements or none (a note and its Field and Comment): their
  // stack lives here, and only a wider tree takes memory for one.
  TTAGNode* near[32];
  std::size_t depth = 0;
  std::vector<TTAGNode*> far;
  auto collect = [&](TTAGNode* n) {
    for (const auto& line : n->lines()) {
      TTAGNode* c = asNode(line.object);
      if (!c) continue;
      if (depth < std::size(near))
        near[depth++] = c;
      else
        far.push_back(c);
    }
    n->StringList::clear();
  };
  collect(node);
  while (depth > 0 || !far.empty()) {
    TTAGNode* n;
    if (!far.empty()) {
      n = far.back();
      far.pop_back();
    } else {
      n = near[--depth];
    }
    collect(n);
    delete n;
  }
}

std::string startTag(const std::string& name, const TTAGNode* node) {
  const StringList* a = node ? node->attributes() : nullptr;
  if (!a || a->empty()) return "<" + name + ">";
  std::string s = "<" + name + " ";
  for (const auto& line : a->lines()) {
    s += line.text;
    s += ' ';
  }
  s += '>';
  return s;
}

std::string bareTagText(const TDEFTAG* def) { return "<" + def->name() + ">"; }

// Writes `top` as an element of kind `def` and everything below it by the definitions of
// the descendants, with an explicit stack. Definitions of other classes than the four
// built-in kinds are asked through their own WriteNode.
void writeTree(const TTAGNode* top, const TDEFTAG* topDef, StringList& out) {
  struct Frame {
    const TTAGNode* node;
    const TDEFTAG* def;  // nullptr: a node without definition (children only)
    int next;
  };
  std::vector<Frame> stack;
  auto enter = [&](const TTAGNode* n, const TDEFTAG* d) {
    if (!d) {
      if (n) stack.push_back({n, nullptr, 0});
      return;
    }
    const std::type_info& t = typeid(*d);
    if (t == typeid(TDEFTAG01)) {
      out.add(startTag(d->name(), n));
      if (n)
        stack.push_back({n, d, 0});
      else
        out.add("</" + d->name() + ">");
    } else if (t == typeid(TDEFTAG02)) {
      out.add(startTag(d->name(), n));
      if (n)
        for (const auto& line : n->lines()) out.add(line.text);
      out.add("</" + d->name() + ">");
    } else if (t == typeid(TDEFTAG03)) {
      out.add(startTag(d->name(), n));
    } else if (t == typeid(TDEFTAG04)) {
      out.add(bareTagText(d));
    } else {
      d->WriteNode(n, out);
    }
  };
  enter(top, topDef);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next >= f.node->count()) {
      if (f.def) out.add("</" + f.def->name() + ">");
      stack.pop_back();
      continue;
    }
    const StringList::Line& line = f.node->lines()[static_cast<std::size_t>(f.next++)];
    const bool mixed = f.def != nullptr;
    if (TTAGNode* child = asNode(line.object)) {
      enter(child, child->definition());  // may grow the stack: `f` is not used after this
    } else if (const TDEFTAG* def = asDef(line.object)) {
      out.add(bareTagText(def));
    } else if (!line.object && mixed) {
      out.add(line.text);
    }
  }
}

constexpr std::size_t kLabelMax = 240;

// The longest prefix of at most `max` bytes that does not split a double-byte character.
std::string cutLabel(const std::string& s, std::size_t max) {
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t len = sjis::charLen(s, i);
    if (i + len > max) break;
    i += len;
  }
  return s.substr(0, i);
}

TagTreeSink::Item addLabelled(TagTreeSink& view, TagTreeSink::Item parent, const char* prefix,
                              const char* overPrefix, const std::string& text, TObject* data) {
  if (text.size() <= kLabelMax) return view.addItem(parent, prefix + text, data);
  auto full = std::make_unique<StringList>();
  full->add(text);
  return view.addItemWithText(parent, overPrefix + cutLabel(text, kLabelMax), std::move(full));
}

const char* const kHtmlTags[][2] = {
    {"!--", "3"},     {"!DOCTYPE", "3"}, {"A", "1"},        {"ADDRESS", "1"},  {"B", "1"},
    {"BASEFONT", "3"}, {"BODY", "1"},    {"BR", "4"},       {"CAPTION", "1"},  {"CENTER", "1"},
    {"COLGROUP", "1"}, {"COL", "1"},     {"DIV", "1"},      {"FONT", "1"},     {"FORM", "1"},
    {"FRAMESET", "1"}, {"H1", "1"},      {"H2", "1"},       {"H3", "1"},       {"H4", "1"},
    {"HEAD", "1"},     {"HR", "3"},      {"HTML", "1"},     {"I", "1"},        {"IFRAME", "1"},
    {"ILAYER", "1"},   {"INPUT", "3"},   {"IMG", "3"},      {"LAYER", "1"},    {"LI", "4"},
    {"META", "3"},     {"NOFLAMES", "1"}, {"NOLAYER", "1"}, {"OPTION", "1"},   {"P", "4"},
    {"SCRIPT", "1"},   {"SELECT", "1"},  {"SMALL", "1"},    {"SPAN", "3"},     {"STYLE", "1"},
    {"TABLE", "1"},    {"TBODY", "1"},   {"TFOOT", "1"},    {"THEAD", "1"},    {"TITLE", "2"},
    {"TD", "1"},       {"TH", "1"},      {"TR", "1"},
};
static_assert(sizeof(kHtmlTags) / sizeof(kHtmlTags[0]) == 48);

}  // namespace

// --- Definitions --------------------------------------------------------------------

void TDEFTAG::WriteNode(const TTAGNode*, StringList&) const {}
void TDEFTAG01::WriteNode(const TTAGNode* node, StringList& lines) const { writeTree(node, this, lines); }
void TDEFTAG02::WriteNode(const TTAGNode* node, StringList& lines) const { writeTree(node, this, lines); }
void TDEFTAG03::WriteNode(const TTAGNode* node, StringList& lines) const { writeTree(node, this, lines); }
void TDEFTAG04::WriteNode(const TTAGNode*, StringList& lines) const { lines.add(bareTagText(this)); }

// --- Node ---------------------------------------------------------------------------

TTAGNode::~TTAGNode() { freeChildren(this); }

TObject* TTAGNode::BreakMark() { return &breakMark; }

void TTAGNode::releaseElement(int i) {
  Line& line = at(i);
  TTAGNode* child = asNode(line.object);
  if (!child) return;
  line.object = nullptr;
  std::string().swap(line.text);
  FreeTree(child);
}

StringList& TTAGNode::ensureAttributes() {
  if (!attributes_) attributes_ = std::make_unique<StringList>();
  return *attributes_;
}

TTAGNode* TTAGNode::element(int i) const { return asNode(object(i)); }
const TDEFTAG* TTAGNode::bareTag(int i) const { return asDef(object(i)); }

TTAGNode* TTAGNode::addNew___(TTAGNode* parent, std::string word, std::string name,
                              StringList* attributes, const TDEFTAG* def) {
  if (!parent) {
    ShowMessage("ERROR: self = nil word = " + word + " in TTAGNode.addNew___ ");
    return nullptr;
  }
  if (def && dynamic_cast<const TDEFTAG04*>(def)) {
    // Bare tags share their definition; the tree does not own it.
    parent->add(std::move(word), const_cast<TDEFTAG*>(def));
    return nullptr;
  }
  auto node = std::make_unique<TTAGNode>();
  node->parent_ = parent;
  node->tagName_ = def ? def->name() : std::move(name);
  node->definition_ = def;
  if (attributes) {
    node->attributes_ = std::make_unique<StringList>(std::move(*attributes));
    attributes->clear();
  }
  TTAGNode* raw = node.get();
  if (parent->empty()) parent->reserve(8);  // elements that hold anything hold several lines
  parent->add(std::move(word), raw);
  node.release();
  return raw;
}

void TTAGNode::ClearTree(TTAGNode* node) {
  if (!node) return;
  freeChildren(node);
  // The room the lines took goes too: a reader that clears each element once read must
  // not keep the line space of every element of a large file.
  node->StringList::operator=(StringList());
}

void TTAGNode::FreeTree(TTAGNode* node) { delete node; }

TTAGNode* TTAGNode::FindChildTag(const TTAGNode* node, std::string_view name) {
  if (!node || sjis::trim(name).empty()) return nullptr;
  for (const auto& line : node->lines())
    if (TTAGNode* c = asNode(line.object))
      if (c->tagName_ == name) return c;
  return nullptr;
}

void TTAGNode::WriteTo(const TTAGNode* node, StringList& lines) {
  if (!node) return;
  if (node->definition_)
    node->definition_->WriteNode(node, lines);
  else
    writeTree(node, nullptr, lines);
}

// --- Attributes ---------------------------------------------------------------------

int TTAGNode::AttributeCount(const TTAGNode* node) {
  const StringList* a = node ? node->attributes() : nullptr;
  return a ? a->count() : 0;
}

std::string TTAGNode::AttributesText(const TTAGNode* node) {
  const StringList* a = node ? node->attributes() : nullptr;
  std::string s;
  if (!a) return s;
  for (const auto& line : a->lines()) {
    s += line.text;
    s += ' ';
  }
  return s;
}

std::string TTAGNode::AttributeValue(const TTAGNode* node, std::string_view name) {
  const StringList* a = node ? node->attributes() : nullptr;
  if (!a) return {};
  return a->value(sjis::upper(name));
}

std::string TTAGNode::AttributeLine(const TTAGNode* node, int index) {
  const StringList* a = node ? node->attributes() : nullptr;
  if (!a || index < 0 || index >= a->count()) return {};
  return (*a)[index];
}

int TTAGNode::AttributeAt(const TTAGNode* node, int index, std::string& name, std::string& value) {
  const StringList* a = node ? node->attributes() : nullptr;
  if (!a) return -1;
  if (index < 0 || index >= a->count()) return -2;
  const std::string& line = (*a)[index];
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) {
    name = line;
    value.clear();
    return 0;
  }
  name = sjis::trim(std::string_view(line).substr(0, eq));
  value = sjis::trim(std::string_view(line).substr(eq + 1));
  return index;
}

std::string TTAGNode::AttributesAsText(const TTAGNode* node) {
  const StringList* a = node ? node->attributes() : nullptr;
  return a ? a->text() : std::string();
}

// --- Dictionary ---------------------------------------------------------------------

void TTAGNode::FillHtmlTagDictionary(StringList& list) {
  for (const auto& row : kHtmlTags) list.add(std::string(row[0]) + "=" + row[1]);
}

void TTAGNode::BuildTagDefinitions(StringList& list) {
  for (int i = 0; i < list.count(); ++i) {
    std::string name = list.name(i);
    std::string kind = sjis::trim(list.valueFromIndex(i));
    TDEFTAG* def;
    if (kind == "1")
      def = new TDEFTAG01(name);
    else if (kind == "2")
      def = new TDEFTAG02(name);
    else
      def = new TDEFTAG03(name);
    list.setObject(i, def);
  }
}

void TTAGNode::FreeTagDefinitions(StringList& list) { FreeObjects(list); }

const StringList& TTAGNode::EnsureHtmlTagDictionary() {
  // Made once and kept for the whole run: every HTML tree points into it.
  static const StringList* dict = [] {
    auto* l = new StringList;
    l->setSorted(true);
    FillHtmlTagDictionary(*l);
    BuildTagDefinitions(*l);
    return l;
  }();
  return *dict;
}

// --- Tree dump ----------------------------------------------------------------------

TagTreeSink::Item TTAGNode::addLineItem(TagTreeSink& view, TagTreeSink::Item under, const StringList::Line& line,
                                        TTAGNode*& descend) {
  descend = nullptr;
  TTAGNode* child = asNode(line.object);
  if (!line.object) return addLabelled(view, under, "#PCDATA:", "#PCDATA-OVER:", line.text, nullptr);
  if (!child || child->tagName_.empty()) return view.addItem(under, line.text, line.object);
  const std::string& name = child->tagName_;
  TagTreeSink::Item it;
  if (name[0] == '!' || name[0] == '?') {
    it = addLabelled(view, under, "SPECIAL:", "SPECIAL-OVER:", name, child);
  } else {
    it = addLabelled(view, under, "ELEMENT:", "ELEMENT-OVER:", name, child);
    if (AttributeCount(child) > 0) {
      TagTreeSink::Item list = view.addItem(it, "ATTLIST:", nullptr);
      for (const auto& a : child->attributes_->lines()) view.addItem(list, a.text, nullptr);
    }
  }
  descend = child;
  return it;
}

int TTAGNode::FillTreeLevel(const TTAGNode* node, TagTreeSink& view, TagTreeSink::Item parent,
                            const std::function<void(TagTreeSink::Item, const TTAGNode*)>& below) {
  if (!node) return 0;
  for (const auto& line : node->lines()) {
    TTAGNode* descend = nullptr;
    TagTreeSink::Item it = addLineItem(view, parent, line, descend);
    if (descend && !descend->empty() && below) below(it, descend);
  }
  return node->count();
}

int TTAGNode::FillTreeView(const TTAGNode* root, TagTreeSink& view, TagTreeSink::Item parent) {
  if (!root) return 0;
  struct Frame {
    const TTAGNode* node;
    TagTreeSink::Item item;
    int next;
  };
  int count = 0;
  std::vector<Frame> stack;
  for (const auto& top : root->lines()) {
    TagTreeSink::Item item = view.addItem(parent, top.text, top.object);
    if (!top.object) continue;
    ++count;
    TTAGNode* first = asNode(top.object);
    if (!first || first->empty()) continue;
    stack.push_back({first, item, 0});
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.next >= f.node->count()) {
        stack.pop_back();
        continue;
      }
      const StringList::Line& line = f.node->lines()[static_cast<std::size_t>(f.next++)];
      ++count;
      TTAGNode* descend = nullptr;
      TagTreeSink::Item it = addLineItem(view, f.item, line, descend);
      if (descend) stack.push_back({descend, it, 0});
    }
  }
  return count;
}

}  // namespace wux

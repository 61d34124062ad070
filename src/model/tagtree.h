#pragma once
// Tag trees: every document and notebook file is read by splitting its text into words
// (tags and text pieces) and building a tree of TTAGNode from them. The same tree, with a
// small HTML tag dictionary and a second parser, serves the tag viewer, which writes a
// tree back to text and shows it as a tree.
//
// Nothing here recurses along the depth of a tree: parsing, writing, freeing and the tree
// dump all keep their own stacks, so a hostile file nested a million levels deep costs
// memory, not the process.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/text/StringList.h"

namespace wux {

class TTAGNode;

// A tag definition of the HTML dictionary; shared by every node that uses it and owned
// by the dictionary that made it.
class TDEFTAG : public TObject {
 public:
  explicit TDEFTAG(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  // Appends the text form of an element of this kind; the base writes nothing.
  virtual void WriteNode(const TTAGNode* node, StringList& lines) const;

 private:
  std::string name_;
};

// Start tag, mixed content, end tag.
class TDEFTAG01 : public TDEFTAG {
 public:
  using TDEFTAG::TDEFTAG;
  void WriteNode(const TTAGNode* node, StringList& lines) const override;
};
// Start tag, raw text lines, end tag.
class TDEFTAG02 : public TDEFTAG {
 public:
  using TDEFTAG::TDEFTAG;
  void WriteNode(const TTAGNode* node, StringList& lines) const override;
};
// Empty element: the start tag only.
class TDEFTAG03 : public TDEFTAG {
 public:
  using TDEFTAG::TDEFTAG;
  void WriteNode(const TTAGNode* node, StringList& lines) const override;
};
// Bare tag: "<NAME>", no attributes.
class TDEFTAG04 : public TDEFTAG {
 public:
  using TDEFTAG::TDEFTAG;
  void WriteNode(const TTAGNode* node, StringList& lines) const override;
};

// Where FillTreeView puts its items; the tag viewer adapts a tree widget to this.
// Labels are Shift_JIS.
class TagTreeSink {
 public:
  using Item = void*;  // opaque handle; nullptr is the top level
  virtual ~TagTreeSink() = default;
  // Adds an item under `parent` carrying `data` (not owned) and returns it.
  virtual Item addItem(Item parent, const std::string& label, TObject* data) = 0;
  // Adds an item whose label was cut short; the item keeps the full text.
  virtual Item addItemWithText(Item parent, const std::string& label,
                               std::unique_ptr<StringList> fullText) = 0;
};

// A node of a parsed tag document. Its lines are its content in document order:
//  - no object: a text line (the XML parser has already unescaped it);
//  - a TTAGNode object: a child element, owned by this node; the line's text is the raw
//    start tag that opened it;
//  - a TDEFTAG object: a bare tag; the definition belongs to its dictionary.
// Lines must be removed through ClearTree/clear(), never by erase or setObject, or the
// children they carry are lost.
class TTAGNode : public StringList, public TObject {
 public:
  TTAGNode() = default;
  ~TTAGNode() override;
  TTAGNode(const TTAGNode&) = delete;
  TTAGNode& operator=(const TTAGNode&) = delete;

  TTAGNode* parent() const { return parent_; }
  const std::string& tagName() const { return tagName_; }
  void setTagName(std::string name) { tagName_ = std::move(name); }
  const std::string& endTagName() const { return endTagName_; }
  const TDEFTAG* definition() const { return definition_; }
  // Where the start tag of this element begins in the text that ParseXmlText read in
  // one piece; npos for elements made any other way.
  std::size_t sourceOffset() const { return sourceOffset_; }
  void setDefinition(const TDEFTAG* def) { definition_ = def; }

  // The attribute list (name=value lines, values with their quotes as written), or
  // nullptr when the tag had none.
  const StringList* attributes() const { return attributes_.get(); }
  StringList& ensureAttributes();

  // The child element or bare tag on line i (nullptr for other lines); i is checked.
  TTAGNode* element(int i) const;
  const TDEFTAG* bareTag(int i) const;

  // Moves the text of line i out, leaving the line empty, for a reader that frees the
  // tree after reading it; i is checked.
  std::string takeText(int i) { return std::move(at(i).text); }
  // Hands the attribute list over (nullptr when there is none); the node keeps none.
  std::unique_ptr<StringList> takeAttributes() { return std::move(attributes_); }

  // Frees the element on line i with everything below it, for a reader that walks on
  // and never looks back: the line stays, as an empty text line. i is checked.
  void releaseElement(int i);

  // Frees every child element and empties the lines (the base clear would leak them).
  void clear() { ClearTree(this); }

  // --- Building -------------------------------------------------------------------
  // Appends a new element (or, for a TDEFTAG04 definition, the bare tag itself) to
  // `parent` under the line `word`. Elements made with a definition take its name; the
  // attribute lines are moved in. Returns the new element (nullptr for a bare tag or when
  // there is no parent, which is reported in a message box).
  static TTAGNode* addNew___(TTAGNode* parent, std::string word, std::string name,
                             StringList* attributes, const TDEFTAG* def = nullptr);

  // --- Parsing ----------------------------------------------------------------------
  // Builds the tree under `root` from words as XML. 0 on success, -1 on error with the
  // lines of the error appended to `errors`; the tree built so far stays under the root.
  static int _FromXMLWordList_aOUT_(TTAGNode* root, const StringList& words, StringList& errors);
  // The same, taking the texts of the words instead of copying them (the list is left
  // empty).
  static int _FromXMLWordList_aOUT_(TTAGNode* root, StringList&& words, StringList& errors);
  // TextToWordList and _FromXMLWordList_aOUT_ in one pass, each word going straight
  // from the text into the tree: the way to read a document or notebook file.
  static int ParseXmlText(TTAGNode* root, const StringList& lines, StringList& errors);
  // `onClosed`, when given, is called with each element as its end tag closes it; it may
  // read the element and free its children (ClearTree), so that a large file is never
  // held as a whole tree.
  // With `breakMarks` every word that is exactly "<BR/>" becomes a mark instead of an
  // element: notebooks hold one per line of text, and the record readers need nothing
  // of them but where they stand. A text line just before it carries the mark (the
  // text, then the break); otherwise it is a line of its own, without text, carrying
  // BreakMark(). Such a tree is for the record readers only (not written, nor shown).
  static int ParseXmlText(TTAGNode* root, std::string_view text, StringList& errors,
                          const std::function<void(TTAGNode*)>& onClosed = {}, bool breakMarks = false);
  // The object of the lines that ParseXmlText puts for "<BR/>" with `breakMarks`.
  static TObject* BreakMark();
  // HTML through the shared dictionary.
  static int ParseHtml(TTAGNode* root, const StringList& words, StringList& errors);
  // HTML through any dictionary of NAME=kind rows carrying their definitions. End tags
  // close whatever element is open; an element written "<X/>" is never entered.
  static int _FromWordList_aDict_(TTAGNode* root, const StringList& words,
                                  const StringList& dictionary, StringList& errors);

  // Analyses one tag word: its name, its attribute lines (unescaped), whether it closes
  // itself ("<BR/>") and whether it is an end tag ("</P>"). An empty name means the word
  // held no tag.
  static void ParseTagText(std::string_view word, std::string& name, StringList& attributes,
                           bool& selfClosing, bool& endTag);
  // Joins the pieces of a tag after its name into name="value" lines.
  static void NormalizeAttributes(const StringList& pieces, StringList& attributes);

  // --- Writing and walking ----------------------------------------------------------------
  // A node with a definition is written by it; one without writes its child elements and
  // bare tags in order (its own text lines are not written).
  static void WriteTo(const TTAGNode* node, StringList& lines);
  // Frees every child element with all its descendants and empties the lines; the node,
  // its names and attributes stay.
  static void ClearTree(TTAGNode* node);
  // Frees a whole tree, the node included (a node no parent holds any more).
  static void FreeTree(TTAGNode* node);
  // First child element named exactly `name` (case matters); nullptr for a blank name.
  static TTAGNode* FindChildTag(const TTAGNode* node, std::string_view name);

  // --- Attributes (all safe on a node without an attribute list) -------------------------
  static int AttributeCount(const TTAGNode* node);
  // Every attribute line followed by one blank.
  static std::string AttributesText(const TTAGNode* node);
  // Value (quotes kept) of the attribute named `name`, letter case ignored; empty if none.
  static std::string AttributeValue(const TTAGNode* node, std::string_view name);
  static std::string AttributeLine(const TTAGNode* node, int index);
  // -1 without a list, -2 for an index outside it; for a name=value line the trimmed
  // parts and the index; for a line without "=" the whole line as name and 0.
  static int AttributeAt(const TTAGNode* node, int index, std::string& name, std::string& value);
  static std::string AttributesAsText(const TTAGNode* node);

  // --- Tree dump and dictionary ---------------------------------------------------------
  // Dumps the tree for the tag viewer; returns the number of items counted (lines with an
  // object at the top, every line below).
  static int FillTreeView(const TTAGNode* root, TagTreeSink& view, TagTreeSink::Item parent);
  // One level of the same dump, for a view that fills its items as they are opened: the
  // items for the lines of an element (an element's attribute list included) under
  // `parent`; `below` is told each item whose element has lines of its own to show
  // later. Returns the number of lines.
  static int FillTreeLevel(const TTAGNode* node, TagTreeSink& view, TagTreeSink::Item parent,
                           const std::function<void(TagTreeSink::Item, const TTAGNode*)>& below);

  // The shared HTML dictionary, made on first use and kept for the whole run.
  static const StringList& EnsureHtmlTagDictionary();
  // Adds the 48 NAME=kind rows of the HTML dictionary.
  static void FillHtmlTagDictionary(StringList& list);
  // Attaches a new definition to every NAME=kind row (kind 1: TDEFTAG01, 2: TDEFTAG02,
  // others TDEFTAG03). The definitions belong to the list's owner: FreeTagDefinitions
  // frees them with the rows.
  static void BuildTagDefinitions(StringList& list);
  static void FreeTagDefinitions(StringList& list);

 private:
  // The item of one line of an element; `descend` is the element to dump below it.
  static TagTreeSink::Item addLineItem(TagTreeSink& view, TagTreeSink::Item under, const StringList::Line& line,
                                       TTAGNode*& descend);

  TTAGNode* parent_ = nullptr;
  std::string tagName_;
  std::string endTagName_;
  const TDEFTAG* definition_ = nullptr;
  std::unique_ptr<StringList> attributes_;  // most elements (every "<BR/>") have none
  std::size_t sourceOffset_ = std::string_view::npos;

  friend struct TagParser;
  friend struct XmlBuilder;
};

// Splits the text of `lines` (each line ended by CR LF) into tag words and text pieces,
// replacing the contents of `words`. With `lineBreaks` each break outside a tag also
// gives the word "<CR/>". Returns 0.
int TextToWordList(const StringList& lines, StringList& words, bool lineBreaks);
// The same over one text.
int TextToWordList(std::string_view text, StringList& words, bool lineBreaks);

}  // namespace wux

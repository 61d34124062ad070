// Scan, grep, replace and the field scan over a document's notebooks, without a window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/records/MemoFile.h"
#include "model/search.h"

using namespace wux;

namespace {

template <class Result>
std::vector<std::string> texts(const Result& r) {
  std::vector<std::string> out;
  for (const auto& l : r.lines) out.emplace_back(l.text);
  return out;
}

MemoNode* addNote(MemoHolder& h, const std::string& name, const std::string& body) {
  MemoNode* n = h.newNode_();
  h.addNode_(n, name);
  n->body().setText(body);
  return n;
}

MemoHolder* addHolder(MemoFile& f, const std::string& name) {
  MemoHolder* h = f.addNewHolder_(-1);
  std::string actual;
  h->putName_(name, actual);
  return h;
}

// Notebook A: n1 "apple pie", n2 "banana"; notebook B: n3 "Apple".
class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = Create<MemoFile>(nullptr);
    a = addHolder(*file, "A");
    b = addHolder(*file, "B");
    n1 = addNote(*a, "n1", "apple pie");
    n2 = addNote(*a, "n2", "banana");
    n3 = addNote(*b, "n3", "Apple");
  }
  std::vector<MemoHolder*> both() { return HoldersByName(*file, {"A", "B"}); }

  std::unique_ptr<MemoFile> file;
  MemoHolder *a = nullptr, *b = nullptr;
  MemoNode *n1 = nullptr, *n2 = nullptr, *n3 = nullptr;
  SearchControl control;
};

TEST_F(SearchTest, ScanListsMatchingNotesInNotebookOrder) {
  std::vector<std::string> progress;
  control.status = [&](const std::string& s) { progress.push_back(s); };
  SearchResult r = ScanNotes(both(), "apple", {}, true, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A n1", "B n3"}));
  EXPECT_EQ(r.status, "*Done Scan* count=2 keyWord=apple");
  EXPECT_EQ(progress, (std::vector<std::string>{"*Scanning* apple A", "*Scanning* apple B"}));
  EXPECT_EQ(r.lines[1].note.resolve(*file), n3);

  EXPECT_EQ(texts(ScanNotes(both(), "apple", {}, false, control)), (std::vector<std::string>{"A n1"}));
  SearchParts namesOnly{true, false, false, false};
  SearchResult none = ScanNotes(both(), "apple", namesOnly, true, control);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_EQ(none.status, "*Done Scan* No match KeyWord=apple");
  // Names missing from the document are skipped; no notebook at all finds nothing.
  EXPECT_EQ(HoldersByName(*file, {"gone", "B"}).size(), 1u);
  EXPECT_EQ(ScanNotes({}, "apple", {}, true, control).status, "*Done Scan* No match KeyWord=apple");
}

TEST_F(SearchTest, GrepWordsEachMatchingLine) {
  n2->ensureComment().setText("no apple here\r\nnothing");
  GrepResult r = GrepNotes(both(), "apple", {}, true, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A:n1:Memo:000001:      1: apple pie",
                                                "A:n2:Comment:000001:      1: no apple here",
                                                "B:n3:Memo:000001:      1: Apple"}));
  EXPECT_EQ(r.status, "*Done Grep* count=3 KeyWord=apple");
  EXPECT_EQ(GrepNotes(both(), "cherry", {}, true, control).status, "*Done Grep* No match KeyWord=cherry");

  // Hits are counted per part; line numbers stand seven wide.
  std::string many;
  for (int i = 1; i <= 12345678; i *= 3) many += (i == 1 || i > 1000000 ? "Cherry " : "x") + std::to_string(i) + "\r\n";
  n2->body().setText(many);
  n2->putField_("Kind", "\"cherry\"");
  EXPECT_EQ(texts(GrepNotes(both(), "cherry", {}, true, control)),
            (std::vector<std::string>{"A:n2:Memo:000001:      1: Cherry 1", "A:n2:Memo:000002:     14: Cherry 1594323",
                                      "A:n2:Memo:000003:     15: Cherry 4782969", "A:n2:Fields:000001:      1: Kind=\"cherry\""}));
  SearchResult rep = ReplaceNotes(both(), "CHERRY", "plum", {}, true, control);
  EXPECT_EQ(texts(rep), (std::vector<std::string>{"A:n2:replace Memo 000001", "A:n2:replace Memo 000014",
                                                  "A:n2:replace Memo 000015", "A:n2:replace Field 000001"}));
  EXPECT_EQ(n2->body()[13], "plum 1594323");
}

TEST_F(SearchTest, GrepReadsUnloadedNotebooksThroughTheLoaderAndSkipsMissingOnes) {
  MemoHolder* c = addHolder(*file, "C");
  MemoHolder* d = addHolder(*file, "D");
  c->loaded = d->loaded = false;
  std::vector<std::string> asked;
  control.load = [&](MemoHolder& h) {
    asked.push_back(h.name());
    if (h.name() != "C") return false;  // D's file is missing
    addNote(h, "c1", "apple tart");
    h.loaded = true;
    return true;
  };
  GrepResult r = GrepNotes(HoldersByName(*file, {"C", "D"}), "apple", {}, true, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"C:c1:Memo:000001:      1: apple tart"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"C", "D"}));
  EXPECT_FALSE(d->loaded);
  EXPECT_EQ(d->getNodeCount_(), 0);
}

TEST_F(SearchTest, ReplaceLogsEachPlaceAndMarksOnlyChangedNotebooks) {
  SearchResult r = ReplaceNotes(HoldersByName(*file, {"A"}), "apple", "pear", {}, false, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A:n1:replace Memo 000001"}));
  EXPECT_EQ(r.status, "*Done Replace* count=1 KeyWord=apple");
  EXPECT_EQ(n1->body().text(), "pear pie\r\n");
  EXPECT_TRUE(a->modified);
  EXPECT_FALSE(b->modified);

  // An empty replacement deletes the keyword; ignoring case reaches "Apple".
  SearchResult del = ReplaceNotes(both(), "APPLE", "", {}, true, control);
  EXPECT_EQ(texts(del), (std::vector<std::string>{"B:n3:replace Memo 000001"}));
  EXPECT_EQ(n3->body().text(), "\r\n");
  EXPECT_TRUE(b->modified);
  EXPECT_EQ(ReplaceNotes(both(), "kiwi", "x", {}, true, control).status, "*Done Replace* No match KeyWord=kiwi");
}

TEST_F(SearchTest, ReplaceInNamesShowsTheNewName) {
  SearchParts namesOnly{true, false, false, false};
  SearchResult r = ReplaceNotes(both(), "n", "note", namesOnly, false, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A:note1:replace name note1", "A:note2:replace name note2",
                                                "B:note3:replace name note3"}));
  EXPECT_EQ(a->findNodeByName_("note1"), n1);
}

TEST_F(SearchTest, AReplacedNameThatIsTakenNamesTheNameTheNoteGot) {
  SearchParts namesOnly{true, false, false, false};
  SearchResult r = ReplaceNotes({a}, "1", "2", namesOnly, false, control);
  ASSERT_NE(n1->name(), "n2");  // the notebook keeps its names apart
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A:" + n1->name() + ":replace name " + n1->name()}));
}

TEST_F(SearchTest, DoubleByteKeywordsMatchOnlyWholeCharacters) {
  // Shift_JIS: "\x95\x5C" and "\x83\x5C" end in the byte of "\\"; "\x83\x41" ends in "A".
  MemoHolder* j = addHolder(*file, "J");
  addNote(*j, "table", "\x95\x5C\x8E\xA6");     // a word whose first character ends in 0x5C
  addNote(*j, "slash", "C:\\dir");              // a real backslash
  addNote(*j, "kana", "\x83\x5C\x83\x41");      // two characters ending in 0x5C and "A"
  addNote(*j, "wide", "\x82\x60");              // a full-width capital A
  auto only = [&](const std::string& kw, bool ic) { return texts(ScanNotes({j}, kw, {false, true, false, false}, ic, control)); };
  EXPECT_EQ(only("\x95\x5C", true), (std::vector<std::string>{"J table"}));
  EXPECT_EQ(only("\\", true), (std::vector<std::string>{"J slash"}));
  EXPECT_EQ(only("\x5C\x83", false), (std::vector<std::string>{}));  // across two characters
  EXPECT_EQ(only("a", true), (std::vector<std::string>{}));          // never a folded second byte
  EXPECT_EQ(only("\x82\x81", true), (std::vector<std::string>{}));   // full-width letters are not folded
  EXPECT_EQ(texts(GrepNotes({j}, "\\", {}, true, control)),
            (std::vector<std::string>{"J:slash:Memo:000001:      1: C:\\dir"}));
  SearchResult r = ReplaceNotes({j}, "\\", "/", {false, true, false, false}, true, control);
  EXPECT_EQ(texts(r), (std::vector<std::string>{"J:slash:replace Memo 000001"}));
  EXPECT_EQ(j->findNodeByName_("table")->body().text(), "\x95\x5C\x8E\xA6\r\n");
}

TEST_F(SearchTest, BreakStopsTheSearch) {
  for (int i = 0; i < 600; ++i) addNote(*b, "more", "apple");
  int asked = 0;
  control.isBreak = [&] { return ++asked > 2; };
  SearchResult r = ScanNotes(both(), "apple", {}, true, control);
  EXPECT_TRUE(r.stopped);
  EXPECT_LT(r.lines.size(), 600u);
  EXPECT_GT(r.lines.size(), 0u);
}

TEST_F(SearchTest, LinesOfDeletedNotesAndClosedNotebooksResolveToNothing) {
  SearchResult r = ScanNotes(both(), "a", {}, true, control);
  ASSERT_EQ(r.lines.size(), 3u);
  a->removeNode_(n2);
  delete n2;
  // A new note may well be made where the deleted one stood; it is not the old line's note.
  MemoNode* fresh = addNote(*a, "n2", "banana");
  EXPECT_EQ(r.lines[0].note.resolve(*file), n1);
  EXPECT_EQ(r.lines[1].note.resolve(*file), nullptr);
  EXPECT_EQ(LiveNotes(*file).resolve(r.lines[1].note), nullptr);
  EXPECT_EQ(NoteRef(fresh).resolve(*file), fresh);

  file->removeHolder_(b);
  delete b;
  EXPECT_EQ(r.lines[2].note.resolve(*file), nullptr);
  EXPECT_EQ(NoteRef().resolve(*file), nullptr);

  // A note moved to another notebook is still the same note.
  MemoHolder* c = addHolder(*file, "C");
  a->removeNode_(n1);
  c->addNode_(n1, "n1");
  EXPECT_EQ(r.lines[0].note.resolve(*file), n1);
}

// n1 and n3 carry Color="clRed"; n2 carries a field but no Color; n4 has no fields.
class FieldSearchTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    n1->putField_("Color", "\"clRed\"");
    n3->putField_("Color", "\"clRed\"");
    n2->putField_("Size", "\"10\"");
    addNote(*a, "n4", "no fields");
  }
  SearchResult scan(FieldScanOptions o) { return FieldScan(both(), o, control); }
  static FieldScanOptions opts(const std::string& field, const std::string& value = "") {
    FieldScanOptions o;
    o.field = field;
    o.value = value;
    return o;
  }
};

TEST_F(FieldSearchTest, ScanByNameAndItsInverse) {
  SearchResult r = scan(opts("Color"));
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A : n1 : Color=\"clRed\"", "B : n3 : Color=\"clRed\""}));
  EXPECT_EQ(r.status, "*Done: Scan Field count=2 KeyWord=Color");
  FieldScanOptions no = opts("Color");
  no.invert = true;
  SearchResult inv = scan(no);
  EXPECT_EQ(texts(inv), (std::vector<std::string>{"A : n2 : Color="}));
  EXPECT_EQ(inv.status, "*Done: Not Scan Field count=1 KeyWord=Color");
  FieldScanOptions exact = opts("color");
  exact.ignoreCase = false;
  EXPECT_EQ(scan(exact).status, "*Done: Scan Filed No match");
  // The name test is a plain substring of the fields text: a value matches too.
  EXPECT_EQ(scan(opts("clred")).lines.size(), 2u);
}

TEST_F(FieldSearchTest, ScanByValue) {
  FieldScanOptions eq = opts("Color", "CLRED");
  eq.both = true;
  EXPECT_EQ(scan(eq).lines.size(), 2u);
  eq.ignoreCase = false;
  EXPECT_TRUE(scan(eq).lines.empty());
  FieldScanOptions inc = opts("Color", "Re");
  inc.both = inc.include = true;
  EXPECT_EQ(scan(inc).lines.size(), 2u);
  // An empty value equals an absent field: the notes with fields but no Color.
  FieldScanOptions empty = opts("Color", "");
  empty.both = true;
  EXPECT_EQ(texts(scan(empty)), (std::vector<std::string>{"A : n2 : Color="}));
}

TEST_F(FieldSearchTest, SetReplaceAndDeleteRewriteTheLines) {
  SearchResult r = scan(opts("Color"));
  FieldReplace(*file, r, "Color", "cl", "x");
  EXPECT_EQ(r.status, "*Done: Replace count=2/2 KeyWord=Color");
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A : n1 : Color=\"xRed\"", "B : n3 : Color=\"xRed\""}));
  EXPECT_EQ(n3->getField_("Color"), "\"xRed\"");
  EXPECT_TRUE(a->modified && b->modified);

  // A replacement equal to the text found changes nothing.
  r = scan(opts("Color"));
  FieldReplace(*file, r, "Color", "xRed", "xRed");
  EXPECT_EQ(r.status, "*Done: Replace count=0/2 KeyWord=Color");

  r = scan(opts("Color"));
  FieldSet(*file, r, "Color", "\"clBlue\"");  // quotes given are quoted again
  EXPECT_EQ(r.status, "*Done: Set count=2 KeyWord=Color");
  EXPECT_EQ(n1->getField_("Color"), "\"\"clBlue\"\"");
  EXPECT_EQ(r.lines[0].text, "A : n1 : Color=\"\"clBlue\"\"");

  r = scan(opts("Color"));
  FieldDelete(*file, r, "Color");
  EXPECT_EQ(r.status, "*Done: Delete Field count=2 KeyWord=Color");
  EXPECT_EQ(texts(r), (std::vector<std::string>{"A : n1", "B : n3"}));
  EXPECT_EQ(n1->getIndexField_("Color"), -1);

  SearchResult none = scan(opts("Color"));
  FieldSet(*file, none, "Color", "v");
  EXPECT_EQ(none.status, "No MemoNode.");
}

TEST_F(FieldSearchTest, ChangesSkipNotesDeletedAfterTheScan) {
  SearchResult r = scan(opts("Color"));
  b->removeNode_(n3);
  delete n3;
  FieldSet(*file, r, "Color", "clBlue");
  EXPECT_EQ(r.status, "*Done: Set count=1 KeyWord=Color");
  EXPECT_EQ(r.lines[1].text, "B : n3 : Color=\"clRed\"");
  EXPECT_FALSE(b->modified);
}

TEST(SearchLinesTest, ManyLinesAndOneLongerThanABlockKeepTheirTexts) {
  SearchLines lines;
  const std::string big(3u << 20, 'x');
  lines.add("first", NoteRef());
  lines.add(big, NoteRef());
  for (int i = 0; i < 100000; ++i) lines.add("line " + std::to_string(i), NoteRef());
  ASSERT_EQ(lines.size(), 100002u);
  EXPECT_EQ(lines[0].text, "first");
  EXPECT_EQ(lines[1].text, big);
  EXPECT_EQ(lines[100001].text, "line 99999");
  const std::string all = lines.joined('\n');
  EXPECT_EQ(all.substr(0, 7), "first\nx");
  EXPECT_EQ(all.substr(all.size() - 21), "line 99998\nline 99999");
  lines.clear();
  EXPECT_TRUE(lines.empty());
}

}  // namespace

// Applying property values to notebooks, documents and notes, without a window.
#include "dialogs/PropertyData.h"

#include <gtest/gtest.h>

#include <QString>

#include "model/clock.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/qtext.h"

using namespace wux;
using test::FakeMainWindow;

namespace {

std::string sj(const char* utf8) { return fromQ(QString::fromUtf8(utf8)); }

class PropertyDataTest : public ::testing::Test {
 protected:
  PropertyDataTest() {
    test::qtApp();
    holder = w.addNotebook(sj("帳面"));
    a = w.addNote("a");
    b = w.addNote("b");
    c = w.addNote("c");
  }
  FakeMainWindow w;
  MemoHolderUI* holder;
  MemoNode *a, *b, *c;
};

TEST_F(PropertyDataTest, NotebookShowsWhatItUsesAndStoresEachControl) {
  holder->putField_("NewNodeName", "\"number\"");
  holder->putField_("NewNodeOption", "\"current\"");
  holder->putField_("To", "\"x@example.com\"");
  HolderProps p = loadHolderProps(*holder);
  EXPECT_EQ(p.newNodeName, "Number");  // stored lower-case, shown as the item
  EXPECT_EQ(p.newNodeOption, "Current");
  EXPECT_EQ(p.formatNumber, "%.5d");  // the format new notes actually get
  EXPECT_EQ(p.formatDate, "YYYYMMDD");
  EXPECT_EQ(p.fileExt, ".mxh");
  EXPECT_EQ(p.nodeCount, 3);
  EXPECT_EQ(p.mail[2], "x@example.com");
  EXPECT_FALSE(p.color.has_value());

  HolderProps e = p;
  e.newNodeName = "Glossary";
  e.newNodeOption = "Plain";
  e.fileExt = ".mhz";
  e.formatDate = "YYYY/MM/DD ";
  e.selectNodeName = sj("  選択  ");
  e.sort = true;
  e.ascending = false;
  e.extra = true;
  e.sameName = true;
  e.color = 0x0000FF;
  e.memo = sj("帳面のメモ");
  e.mail[2] = "  ";
  e.mail[0] = " smtp.example.com ";
  int uiSwitches = 0;
  e.readOnly = true;
  storeHolderProps(*holder, p, e, [&] { ++uiSwitches; });

  EXPECT_EQ(uiSwitches, 1);
  EXPECT_TRUE(holder->modified);
  EXPECT_EQ(holder->getField_("NewNodeName"), "\"Glossary\"");
  EXPECT_EQ(holder->getField_("NewNodeOption"), "\"Plain\"");
  EXPECT_EQ(holder->getField_("FileExt"), "\".mhz\"");
  EXPECT_EQ(holder->getField_("FormatDate"), "\"YYYY/MM/DD \"");  // not trimmed
  EXPECT_EQ(holder->getField_("SelectNodeName"), "\"" + sj("選択") + "\"");
  EXPECT_TRUE(holder->getFlagSort_());
  EXPECT_FALSE(holder->getFlagAscending_());
  EXPECT_TRUE(holder->getFlagExtra_());
  EXPECT_TRUE(holder->getFlagSameName_());
  EXPECT_TRUE(holder->isReadOnly_());
  EXPECT_EQ(holder->getColor_(), 0x0000FFu);
  EXPECT_EQ(holder->body().text(), sj("帳面のメモ") + "\r\n");
  EXPECT_EQ(holder->getIndexField_("To"), -1);
  EXPECT_EQ(holder->getField_("SMTPServer"), "\"smtp.example.com\"");

  // The notebook's own text is saved in a field of its own.
  const std::string file = holder->saveToText_();
  EXPECT_NE(file.find("NewNodeName=\"Glossary\""), std::string::npos);
  EXPECT_NE(file.find("<Field FlagSameName=\"true\"/>"), std::string::npos);
  EXPECT_NE(file.find("<Field FlagReadOnly=\"true\"/>"), std::string::npos);
  EXPECT_NE(file.find("<Field HolderMemo=\"" + sj("帳面のメモ") + "&lt;BR/&gt;\"/>"), std::string::npos);

  // Switching off: the window's own read-only state is left alone; clearing removes.
  HolderProps p2 = loadHolderProps(*holder);
  EXPECT_TRUE(p2.readOnly);
  EXPECT_EQ(p2.color, 0x0000FFu);
  HolderProps e2 = p2;
  e2.readOnly = false;
  e2.sameName = false;
  e2.selectNodeName.clear();
  storeHolderProps(*holder, p2, e2, [&] { ++uiSwitches; });
  EXPECT_EQ(uiSwitches, 1);
  EXPECT_FALSE(holder->isReadOnly_());
  EXPECT_EQ(holder->getIndexField_("FlagSameName"), -1);
  EXPECT_EQ(holder->getIndexField_("SelectNodeName"), -1);
}

TEST_F(PropertyDataTest, DocumentKeepsItsColourAndItsMemo) {
  MemoFile& doc = *w.doc;
  doc.body().setText("own text");
  DocProps p = loadDocProps(doc);
  EXPECT_EQ(p.memo, "own text");
  DocProps e = p;
  EXPECT_FALSE(storeDocProps(doc, p, e));  // nothing changed
  EXPECT_FALSE(doc.modified);
  e.memo = "changed\r\nsecond";
  EXPECT_TRUE(storeDocProps(doc, p, e));
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.body().text(), "changed\r\nsecond\r\n");
  EXPECT_EQ(doc.getIndexField_("Color"), -1);  // no colour chosen
  doc.modified = false;
  p = loadDocProps(doc);
  e = p;
  e.color = 0x00FF00;
  EXPECT_TRUE(storeDocProps(doc, p, e));
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.getField_("Color"), QuoteValue(ColorToName(0x00FF00)));
  EXPECT_EQ(doc.body().text(), "changed\r\nsecond\r\n");
}

TEST_F(PropertyDataTest, OneNoteTakesEveryControl) {
  w.node = static_cast<MemoNodeUI*>(a);
  a->putField_("Created", "\"old\"");
  NoteProps p = loadNoteProps(*a);
  EXPECT_EQ(p.flagLink, -1);
  EXPECT_TRUE(p.created);
  EXPECT_EQ(p.holderName, sj("帳面"));
  NoteProps e = p;
  e.creater = e.modified = true;
  e.filename = " \"f.txt\" ";
  const auto targets = targetNotes(w, EditTarget::CurrentNode);
  ASSERT_EQ(targets.size(), 1u);
  applyNoteProps(targets, true, p, e, sj("利用者"), "\"20261206 220000\"");
  EXPECT_EQ(a->getField_("FlagLink"), "\"false\"");  // nothing chosen still writes false
  EXPECT_EQ(a->getField_("Creater"), "\"" + sj("利用者") + "\"");
  EXPECT_EQ(a->getField_("Created"), "\"old\"");  // never overwritten
  EXPECT_EQ(a->getField_("Modified"), "\"20261206 220000\"");
  EXPECT_EQ(a->getField_("Filename"), "\"f.txt\"");
  EXPECT_EQ(a->getIndexField_("Color"), -1);  // white and no colour before
  EXPECT_TRUE(holder->modified);
}

TEST_F(PropertyDataTest, SeveralNotesTakeOnlyWhatChanged) {
  w.node = static_cast<MemoNodeUI*>(a);
  a->putField_("FlagLink", "\"true\"");
  b->putMarked_(true);
  c->putMarked_(true);
  c->putField_("Filename", "\"keep\"");
  NoteProps p = loadNoteProps(*a);
  NoteProps e = p;
  e.color = 0x0000FF;
  const auto marked = targetNotes(w, EditTarget::MarkedNodes);
  ASSERT_EQ(marked.size(), 2u);
  applyNoteProps(marked, false, p, e, "u", "\"t\"");
  EXPECT_EQ(b->getIndexField_("FlagLink"), -1);
  EXPECT_EQ(c->getField_("Filename"), "\"keep\"");
  EXPECT_EQ(b->getColor_(), 0x0000FFu);
  EXPECT_EQ(c->getColor_(), 0x0000FFu);
  EXPECT_EQ(a->getIndexField_("Color"), -1);

  EXPECT_EQ(targetNotes(w, EditTarget::CurrentHolder).size(), 3u);
  w.addNotebook("other");
  w.addNote("d");
  EXPECT_EQ(targetNotes(w, EditTarget::AllHolders).size(), 4u);
}

TEST_F(PropertyDataTest, BasicPutQuotesOnce) {
  const std::vector<MemoNode*> notes{a, b};
  EXPECT_EQ(putFieldOnNotes(notes, "  ", "x"), -1);
  EXPECT_EQ(putFieldOnNotes(notes, " Tag ", " \"abc\" "), 2);
  EXPECT_EQ(a->getField_("Tag"), "\"abc\"");
  EXPECT_EQ(b->getField_("Tag"), "\"abc\"");
  putFieldOnNotes(notes, "Empty", "");
  EXPECT_EQ(a->getField_("Empty"), "\"\"");
}

TEST_F(PropertyDataTest, BatchEditOfNamesTextsCommentsAndFields) {
  const std::vector<MemoNode*> notes{a, b, c};
  EXPECT_EQ(renameNotes(notes, NamePlace::AddTailPlus, "x"), 3);
  EXPECT_EQ(w.noteNames(), (std::vector<std::string>{"a x", "b x", "c x"}));
  renameNotes(notes, NamePlace::InsertHead, sj("済"));
  EXPECT_EQ(a->name(), sj("済a x"));
  renameNotes(notes, NamePlace::InsertHeadPlus, "*");
  renameNotes(notes, NamePlace::AddTail, "!");
  EXPECT_EQ(c->name(), sj("* 済c x!"));
  renameNotes({a}, NamePlace::Replace, sj("新しい名前"));
  EXPECT_EQ(a->name(), sj("新しい名前"));

  a->body().setText("one\r\ntwo");
  b->putField_("Content-Transfer-Encoding", "\"binary\"");
  b->body().setText("AAAA");
  EXPECT_EQ(editBodies(notes, LinesPlace::InsertHead, sj("見出し\r\n二行目")), 2);
  EXPECT_EQ(a->body().text(), sj("見出し\r\n二行目\r\none\r\ntwo\r\n"));
  EXPECT_EQ(b->body().text(), "AAAA\r\n");
  editBodies(notes, LinesPlace::AddTail, "end");
  EXPECT_EQ(a->body()[a->body().count() - 1], "end");
  editBodies(notes, LinesPlace::Replace, "only");
  EXPECT_EQ(c->body().text(), "only\r\n");

  EXPECT_EQ(c->comment(), nullptr);
  EXPECT_EQ(editComments(notes, LinesPlace::AddTail, sj("注")), 3);
  ASSERT_NE(c->comment(), nullptr);
  EXPECT_EQ(c->comment()->text(), sj("注") + "\r\n");
  editComments(notes, LinesPlace::InsertHead, "first");
  EXPECT_EQ((*b->comment())[0], "first");

  EXPECT_EQ(putFieldOnNotes(notes, "Tag", ""), 3);
  EXPECT_EQ(c->getField_("Tag"), "\"\"");
  EXPECT_EQ(deleteFieldOnNotes(notes, "Tag"), 3);
  EXPECT_EQ(c->getIndexField_("Tag"), -1);
  EXPECT_TRUE(holder->modified);
}

TEST_F(PropertyDataTest, TargetListForgetsDeletedNotes) {
  NoteTargets t;
  t.add(a);
  t.add(b);
  t.add(c);
  ASSERT_EQ(t.live(w.doc.get()).size(), 3u);
  holder->removeNode_(b);
  delete b;
  EXPECT_EQ(t.live(w.doc.get()), (std::vector<MemoNode*>{a, c}));
  renameNotes(t.live(w.doc.get()), NamePlace::AddTail, "1");
  t.refresh(w.doc.get());
  EXPECT_EQ(t.count(), 2);
  EXPECT_EQ(t.live(w.doc.get()).size(), 2u);
  EXPECT_TRUE(t.live(nullptr).empty());
}

TEST_F(PropertyDataTest, TargetsLeaveOutWhatMayNotChange) {
  c->putReadOnly_(true);
  MemoHolderUI* locked = w.addNotebook("locked");
  w.addNote("d");
  locked->putReadOnly_(true);
  w.holder = holder;
  auto* first = static_cast<MemoNodeUI*>(a);
  EXPECT_EQ(targetNotes(w, *first, EditTarget::AllHolders), (std::vector<MemoNode*>{a, b}));
  // One note says why it is refused; the switch refuses every target.
  EXPECT_TRUE(targetNotes(w, *static_cast<MemoNodeUI*>(c), EditTarget::CurrentNode).empty());
  EXPECT_EQ(w.status(), "Stop: This MemoNode is Read Only. (c)");
  w.uiReadOnly = true;
  EXPECT_TRUE(targetNotes(w, *first, EditTarget::CurrentHolder).empty());
  EXPECT_EQ(w.status(), "UI ReadOnly");
}

TEST_F(PropertyDataTest, UnchangedNotebookPropertiesLeaveItUnmodified) {
  holder->modified = false;
  const HolderProps p = loadHolderProps(*holder);
  storeHolderProps(*holder, p, p, nullptr);
  EXPECT_FALSE(holder->modified);
}

TEST(History, UsedTextGoesToTheTopOnce) {
  StringList h;
  pushHistory(h, "a");
  pushHistory(h, "b");
  pushHistory(h, "a");
  EXPECT_EQ(h.text(), "a\r\nb\r\n");
}

}  // namespace

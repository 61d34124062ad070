// The notebook's list operations in each working kind, without a window.
#include <gtest/gtest.h>

#include "support/qt_app.h"

#include "model/strutil.h"
#include "views/TabBinding.h"
#include "views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;
using test::Notebook;

TEST(MemoHolderUI, ContainerUntilTheFirstBuild) {
  test::FixedWorld world;
  Notebook nb({"b", "a", "c"});
  EXPECT_EQ(nb.holder->workingKind(), Kind::Nodes);
  EXPECT_EQ(nb.holder->getModeNodesMngr_(), "\"Nodes\"");
  EXPECT_EQ(nb.order(), "b a c ");
  EXPECT_EQ(nb.holder->getNode_(3), nullptr);
  EXPECT_EQ(nb.holder->getNode_(-1), nullptr);

  nb.holder->buildView_(Kind::CheckList);
  EXPECT_TRUE(nb.holder->viewBuilt());
  EXPECT_EQ(nb.holder->getModeNodesMngr_(), "\"CheckListBox\"");
  EXPECT_EQ(nb.order(), "b a c ");  // the first build takes the file order
  EXPECT_EQ(nb.node("a")->getLevel_(), -1);
}

TEST(MemoHolderUI, CheckListOperations) {
  test::FixedWorld world;
  Notebook nb({"one", "Two", "three"});
  MemoHolderUI* h = nb.holder;
  h->buildView_(Kind::CheckList);

  // Find ignores letter case here; names are made unique among the lines.
  EXPECT_EQ(h->findNodeByName_("TWO"), nb.node("Two"));
  EXPECT_EQ(h->makeUniqueNodeName_("two"), "two_01");
  EXPECT_EQ(h->makeUniqueNodeName_("four"), "four");

  MemoNode* n = h->newNode_();
  EXPECT_EQ(h->addNode_(n, "four"), 3);
  MemoNode* m = h->newNode_();
  EXPECT_EQ(h->insertNode_(m, "zero", 0), 0);
  EXPECT_EQ(nb.order(), "zero one Two three four ");
  EXPECT_EQ(h->nodes()->children().join(","), "zero,one,Two,three,four");  // saved as shown
  EXPECT_EQ(h->getNodeCount_(), 5);
  EXPECT_EQ(h->indexOfNode_(n), 4);
  EXPECT_EQ(h->getNextNode_(n), nullptr);
  EXPECT_EQ(h->getPrevNode_(n), nb.node("three"));
  EXPECT_EQ(h->getFirstNode_(), m);
  EXPECT_EQ(h->getLastNode_(), n);
  EXPECT_EQ(h->getNode_(5), nullptr);

  // Marks: check boxes count, and a mark through the note marks the notebook modified.
  h->modified = false;
  nb.node("one")->setMarked_(true);
  nb.node("three")->setMarked_(true);
  EXPECT_TRUE(h->modified);
  EXPECT_EQ(h->getMarkedCount_(), 2);
  StringList marked;
  h->getMarkedList_(marked);
  EXPECT_EQ(marked.join(","), "one,three");

  // Renames reach the line; removal hands the note over and forgets it as current.
  std::string actual;
  nb.node("Two")->putName_("deux", actual);
  EXPECT_EQ(nb.order(), "zero one deux three four ");
  h->putCurrentNode_(n);
  EXPECT_EQ(h->getCurrentNode_(), n);
  EXPECT_EQ(h->removeNode_(n), 4);
  EXPECT_EQ(h->getCurrentNode_(), nullptr);
  EXPECT_EQ(h->indexOfNode_(n), -1);
  EXPECT_EQ(h->removeNode_(n), -1);
  delete n;
  EXPECT_EQ(nb.order(), "zero one deux three ");

  // A sorted check list keeps its lines in name order after a rename.
  h->putFlagSort_(true);
  nb.node("zero")->putName_("vier", actual);
  EXPECT_EQ(nb.order(), "deux one three vier ");

  // A note put into the container behind the list's back stays in the notebook.
  MemoNode* stray = h->newNode_();
  h->nodes()->addChildRaw_(stray, "stray", actual);
  stray->setOwner(h);
  h->addNode_(h->newNode_(), "after");
  StringList saved;
  h->saveToTSL_(saved);
  EXPECT_GE(saved.indexOf("  <Record name=\"stray\">"), 0);
}

TEST(MemoHolderUI, TreeOperations) {
  test::FixedWorld world;
  Notebook nb({"root|R", "child|C|R", "other"});
  MemoHolderUI* h = nb.holder;
  h->buildView_(Kind::Tree);
  EXPECT_EQ(nb.order(), "root .child other ");
  EXPECT_EQ(h->getModeNodesMngr_(), "\"TreeView\"");
  EXPECT_EQ(h->findNodeByName_("CHILD"), nullptr);  // exact names in the tree
  EXPECT_EQ(h->findNodeByName_("child"), nb.node("child"));
  EXPECT_EQ(h->makeUniqueNodeName_("child"), "child");

  // A note added while the current note is a child of R becomes R's last child.
  h->putCurrentNode_(nb.node("child"));
  MemoNode* added = h->newNode_();
  EXPECT_EQ(h->addNode_(added, "added"), 2);
  EXPECT_EQ(nb.order(), "root .child .added other ");
  EXPECT_EQ(added->getField_("ParentNodeID"), "\"R\"");
  EXPECT_EQ(h->getCurrentNode_(), added);

  // Insert goes right after the current note whatever the index says.
  h->putCurrentNode_(nb.node("root"));
  MemoNode* ins = h->newNode_();
  h->insertNode_(ins, "inserted", 0);
  EXPECT_EQ(nb.order(), "root .child .added inserted other ");
  EXPECT_TRUE(ins->getField_("ParentNodeID").empty());
  EXPECT_EQ(h->nodes()->children().join(","), "root,child,added,inserted,other");  // saved as shown

  // Re-parenting moves the branch; under its own descendant it is refused.
  nb.node("other")->putParentNode_(nb.node("child"));
  EXPECT_EQ(nb.order(), "root .child ..other .added inserted ");
  nb.node("root")->putParentNode_(nb.node("other"));
  EXPECT_EQ(nb.order(), "root .child ..other .added inserted ");
  // ... and the file says what the tree shows, or a reload would nest it differently.
  EXPECT_TRUE(nb.node("root")->getField_("ParentNodeID").empty());
  nb.node("child")->putParentNode_(nb.node("child"));
  EXPECT_EQ(nb.node("child")->getField_("ParentNodeID"), "\"R\"");

  // Removing a branch removes its subtree from the list; nothing dangles.
  MemoNode* root = nb.node("root");
  h->putCurrentNode_(nb.node("other"));
  EXPECT_EQ(h->removeNode_(root), 0);
  EXPECT_EQ(nb.order(), "inserted ");
  EXPECT_EQ(h->getCurrentNode_(), nullptr);
  EXPECT_EQ(h->getNodeCount_(), 1);
  delete root;
  h->clear_();
  EXPECT_EQ(h->getNodeCount_(), 0);
  EXPECT_FALSE(h->viewBuilt());
}

TEST(MemoHolderUI, ListOperationsAndSwitchingKinds) {
  test::FixedWorld world;
  Notebook nb({"p|P", "q|Q|P", "r|R|Q", "s"});
  MemoHolderUI* h = nb.holder;
  h->buildView_(Kind::Tree);
  EXPECT_EQ(nb.order(), "p .q ..r s ");
  h->buildView_(Kind::List);
  EXPECT_EQ(nb.order(), "p q r s ");  // the tree's pre-order, flat
  EXPECT_EQ(h->findNodeByName_("P"), nullptr);
  MemoNode* n = h->newNode_();
  h->insertNode_(n, "new", 1);
  EXPECT_EQ(nb.order(), "p new q r s ");
  h->buildView_(Kind::CheckList);
  EXPECT_EQ(nb.order(), "p new q r s ");
  h->buildView_(Kind::Tree);
  EXPECT_EQ(nb.order(), "p .q ..r new s ");
  h->buildView_(Kind::Tree);  // rebuilding the kind shown loses nothing
  EXPECT_EQ(nb.order(), "p .q ..r new s ");
}

TEST(MemoHolderUI, CopiesListingsAndIcons) {
  test::qtApp();  // pictures need the application object
  test::FixedWorld world;
  Notebook nb({"a", "b|U1"});
  MemoHolderUI* h = nb.holder;
  h->buildView_(Kind::CheckList);
  h->putCurrentNode_(nb.node("a"));
  h->modified = false;
  MemoNode* copy = h->addCopy_(nb.node("b"));
  EXPECT_TRUE(h->modified);
  EXPECT_EQ(nb.order(), "b a b ");  // before the current note in a check list
  EXPECT_NE(copy->getField_("UID"), "\"U1\"");
  EXPECT_FALSE(copy->getField_("UID").empty());

  StringList csv;
  EXPECT_EQ(h->makeCSVText_(csv), 3);
  EXPECT_EQ(csv[0], "# views_tests noname:book  20261206 123456");  // the running program's file name
  EXPECT_EQ(csv[1], "b");

  // Icon notes: "icon <number> <name>" with image/ico content.
  Notebook icons({"icon 0 open", "icon 1 closed", "plain"});
  const std::string ico = test::imageBytes("ICO", 16, 16);
  for (const char* nm : {"icon 0 open", "icon 1 closed"}) {
    icons.node(nm)->putContentStream_(ico, "\"image/ico\"", "\"binary\"");
    icons.node(nm)->putField_("Content-Type", "\"image/ico\"");
  }
  MemoHolderUI* ih = icons.holder;
  ih->buildView_(Kind::Tree);
  EXPECT_EQ(ih->makeIconList_(), 2);
  EXPECT_EQ(ih->iconMap().join(","), "open=0,closed=1");
  MemoNode* plain = icons.node("plain");
  plain->putField_("icon", "\"closed\"");
  EXPECT_EQ(ih->iconIndexOf_(plain), 1);
  EXPECT_FALSE(ih->iconOf_(plain).isNull());
  NoteItemModel* tm = ih->model(Kind::Tree);
  EXPECT_TRUE(tm->data(tm->indexOfItem(ih->itemOf(plain)), Qt::DecorationRole).isValid());
  plain->putField_("icon", "\"7\"");
  EXPECT_EQ(ih->iconIndexOf_(plain), 7);
  EXPECT_TRUE(ih->iconOf_(plain).isNull());  // image 7 does not exist
  plain->putField_("icon", "\"x7\"");
  EXPECT_EQ(ih->iconIndexOf_(plain), -1);
  std::string actual;
  icons.node("icon 0 open")->putName_("icon 2 open", actual);
  EXPECT_EQ(ih->makeIconList_(), -1);  // numbers 1 and 2: no complete sequence from 0
}

TEST(MemoFileUI, TabsStayInStep) {
  test::FixedWorld world;
  struct FakeTabs : TabBinding {
    std::vector<std::string> tabs;
    int selected = -1;
    void setTabs(const std::vector<std::string>& c) override { tabs = c; }
    void selectTab(int i) override { selected = i; }
    int tabCount() const override { return static_cast<int>(tabs.size()); }
  } tabs;
  Notebook nb({"n"}, "first");
  MemoFileUI& doc = *nb.doc;
  doc.attachTabControl_(&tabs);
  EXPECT_EQ(tabs.tabs, std::vector<std::string>{"first"});
  EXPECT_EQ(doc.getModeHoldersMngr_(), "\"TabControl\"");
  std::string actual;
  doc.addHolder_(doc.newHolder_(), "second", actual);
  EXPECT_EQ(tabs.tabs.size(), 2u);
  doc.putCurrentNode(nb.node("n"));
  doc.moveHolderDown_(0);
  EXPECT_EQ(tabs.tabs, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(tabs.selected, 1);
  doc.moveHolderUp_(0);  // the first cannot go up: nothing
  EXPECT_EQ(tabs.tabs[0], "second");
  doc.getHolder_(0)->putName_("zweite", actual);
  EXPECT_EQ(tabs.tabs[0], "zweite");

  // Cleared and refilled, the document stays bound to its tabs.
  doc.clear_();
  EXPECT_TRUE(tabs.tabs.empty());
  doc.addHolder_(doc.newHolder_(), "again", actual);
  EXPECT_EQ(tabs.tabs, std::vector<std::string>{"again"});
}

TEST(MemoFileUI, CurrentNotebookAndVersionGoIntoTheDocument) {
  test::FixedWorld world;
  Notebook nb({"n"}, "Books");
  StringList lines;
  nb.doc->saveToTSL_(lines);
  EXPECT_EQ(nb.doc->getField_("CurrentHolder"), "");  // no current note: untouched
  nb.doc->putCurrentNode(nb.node("n"));
  EXPECT_EQ(nb.doc->getCurrentHolder_(), nb.holder);
  EXPECT_EQ(nb.doc->getCurrentHolderIndex_(), 0);
  lines.clear();
  nb.doc->saveToTSL_(lines);
  EXPECT_EQ(nb.doc->getField_("CurrentHolder"), "\"Books\"");

  // Confirming an overwrite is the default; only "true" asks.
  EXPECT_TRUE(nb.node("n")->isConfirmOverwrite_());
  for (const char* value : {"\"false\"", "\"yes\""}) {
    nb.node("n")->putField_("FlagConfirmOverwrite", value);
    EXPECT_FALSE(nb.node("n")->isConfirmOverwrite_()) << value;
  }
}

TEST(MemoFileUI, SaveHoldersKeepsWhatCouldNotBeWritten) {
  test::FixedWorld world;
  test::TempDir tmp;
  Notebook nb({"n"}, "kept");
  MemoFileUI& doc = *nb.doc;
  doc.directory = tmp.path.string() + "/";
  MemoHolderUI* a = nb.holder;
  a->modified = true;
  std::string actual;
  // A notebook never loaded whose file has notes: saving reads it first.
  auto* b = static_cast<MemoHolderUI*>(doc.newHolder_());
  doc.addHolder_(b, "onDisk", actual);
  {
    Notebook other({"x", "y"}, "onDisk");
    other.doc->directory = doc.directory;
    ASSERT_GT(other.holder->saveToFile_(other.holder->getFileName_()), 0);
  }
  b->modified = true;
  StringList failed;
  EXPECT_EQ(doc.saveHolders_(false, &failed), 2);
  EXPECT_FALSE(a->modified);
  EXPECT_FALSE(b->modified);
  EXPECT_EQ(b->getNodeCount_(), 2);
  EXPECT_EQ(failed.count(), 0);

  // A write that fails leaves the flag set.
  a->modified = true;
  doc.directory = tmp.str("missing/folder/");
  EXPECT_EQ(doc.saveHolders_(false, &failed), 0);
  EXPECT_TRUE(a->modified);
  ASSERT_EQ(failed.count(), 1);
  EXPECT_EQ(failed.object(0), a);
  EXPECT_EQ(failed[0], "cannot write " + a->getFileName_() + ": no such file or directory");
}

}  // namespace
}  // namespace wux

// Order, marks, nesting and transfer of notes through the command table.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "dialogs/FormSelectHolder.h"
#include "form_fixture.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "support/data_files.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/NoteViews.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

class NoteOrderTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  NoteOrderTest() : FormTest({2026, 12, 6, 8, 0, 0, 250}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
  }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  // The current notebook holding exactly the notes given ("name|UID|ParentNodeID").
  void notes(std::initializer_list<std::string> names) {
    // A placeholder stays current while the old notes go, so nothing refers to them.
    test::addNotes(holder(), {"~placeholder"});
    MemoNode* keep = holder()->getNode_(holder()->getNodeCount_() - 1);
    form->changeCurrentNode_(static_cast<MemoNodeUI*>(keep));
    dropAllBut(keep);
    test::addNotes(holder(), names);
    form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->getNode_(1)));
    dropAllBut(nullptr, keep);
    holder()->modified = false;
  }
  void dropAllBut(MemoNode* keep, MemoNode* only = nullptr) {
    for (int i = holder()->getNodeCount_() - 1; i >= 0; --i) {
      MemoNode* gone = holder()->getNode_(i);
      if (gone == keep || (only && gone != only)) continue;
      if (holder()->removeNode_(gone) >= 0) delete gone;
    }
  }
  // The user picks the note in the notebook's view, which takes the focus.
  void select(const std::string& name) {
    form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_(name)));
    if (QWidget* view = holder()->getViewControl_()) view->setFocus(Qt::MouseFocusReason);
  }
  void tick(std::initializer_list<const char*> names) {
    for (const char* n : names) holder()->findNodeByName_(n)->putMarked_(true);
  }
  std::string order(MemoHolderUI* h = nullptr) { return test::order(h ? h : holder()); }
  MemoHolderUI* book(const std::string& name) {
    return dynamic_cast<MemoHolderUI*>(form->getMemoFile()->findHolderByName_(name));
  }
  MemoHolderUI* addBook(const std::string& name) {
    MemoHolderUI* h = form->newHolder_(-1);
    std::string actual;
    h->putName_(name, actual);
    return h;
  }
  // The notebook saved and read back into a fresh notebook shown as a tree.
  std::string reloaded(MemoHolderUI* h) {
    const std::string path = tmp.path.string() + "/reloaded.mxh";
    EXPECT_GE(h->saveToFile_(path), 0);
    std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
    auto* copy = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(copy, "copy", actual);
    StringList messages;
    EXPECT_EQ(ReadHolderFile(*copy, path, messages), 0) << messages.text();
    copy->buildView_(MemoHolderUI::Kind::Tree);
    return order(copy);
  }

  // A notebook of the notes given, shown once as the user would have opened it, after
  // which the current notebook is current again.
  MemoHolderUI* openedBook(const std::string& name, std::initializer_list<std::string> names) {
    MemoHolderUI* back = holder();
    MemoHolderUI* h = addBook(name);
    test::addNotes(h, names);
    form->changeCurrentHolder(h);
    form->changeCurrentHolder(back);
    return h;
  }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  // What the window shows: the tab's notebook | each shown view's notebook and selected
  // item | the editor's notebook and note.
  std::string shown() {
    MemoFileUI* doc = form->getMemoFile();
    const int tab = form->tabControl()->currentIndex();
    std::string out = tab >= 0 && tab < doc->getHolderCount_() ? doc->getHolder_(tab)->name() : "-";
    out += " |";
    for (int i = 0; i < doc->getHolderCount_(); ++i) {
      auto* h = dynamic_cast<MemoHolderUI*>(doc->getHolder_(i));
      auto* view = h ? dynamic_cast<NoteViewBinding*>(h->getViewControl_()) : nullptr;
      if (!view || !view->widget()->isVisibleTo(form.get())) continue;
      NoteItem* selected = view->selectedItem();
      out += " " + h->name() + ":" + (selected ? selected->text() : "-");
    }
    MemoNode* n = editor()->node();
    MemoHolder* owner = n ? n->getParentHolder_() : nullptr;
    return out + " | " + (owner ? owner->name() : "-") + ":" + (n ? n->name() : "-");
  }
  MemoHolderUI* trush() { return book("Trush"); }
  // Answers the notebook chooser with the line named `name` (empty: "New Holder").
  void chooseInWindow(const std::string& name) {
    test::whenModal<TFormSelectHolder>([name](TFormSelectHolder* d) {
      if (name.empty()) return QTest::mouseClick(d->button(QStringLiteral("New Holder")), Qt::LeftButton);
      const auto found = d->ListBox1()->findItems(toQ(name), Qt::MatchExactly);
      ASSERT_EQ(found.size(), 1) << name;
      d->ListBox1()->setCurrentItem(found[0]);
      QTest::mouseClick(d->button(QStringLiteral("OK")), Qt::LeftButton);
    });
  }

  void cancelChooser() {
    test::whenModal<TFormSelectHolder>(
        [](TFormSelectHolder* d) { QTest::mouseClick(d->button(QStringLiteral("CANCEL")), Qt::LeftButton); });
  }

  test::TempDir tmp;
};

TEST_F(NoteOrderTest, CheckListMovesTheSelectedLine) {
  notes({"A", "B", "C", "D", "E"});
  select("C");
  EXPECT_EQ(run("UIMoveNodeUp"), 0);
  EXPECT_EQ(order(), "A C B D E ");
  EXPECT_TRUE(holder()->modified);
  EXPECT_EQ(form->getCurrentNode()->name(), "C");

  select("A");
  holder()->modified = false;
  run("UIMoveNodeUp");
  run("UIMoveNodeTop");
  EXPECT_EQ(order(), "A C B D E ");
  EXPECT_FALSE(holder()->modified);  // nothing moved

  run("UIMoveNodeDown");
  EXPECT_EQ(order(), "C A B D E ");
  run("UIMoveNodeBottom");
  EXPECT_EQ(order(), "C B D E A ");
  run("UIMoveNodeDown");
  EXPECT_EQ(order(), "C B D E A ");
  select("D");
  run("UIMoveNodeTop");
  EXPECT_EQ(order(), "D C B E A ");

  holder()->putReadOnly_(true);
  EXPECT_EQ(run("UIMoveNodeBottom"), kResultHolderReadOnly);
  EXPECT_EQ(order(), "D C B E A ");
}

// Top, Up, Down and Bottom move the view's item only while the view has the focus, Left
// and Right only in a focused tree: with the editor focused the keys are the editor's.
TEST_F(NoteOrderTest, OrderCommandsActOnlyInTheFocusedView) {
  notes({"A", "B", "C"});
  select("B");
  editor()->MemoNode0()->setFocus(Qt::MouseFocusReason);
  for (const char* name : {"UIMoveNodeTop", "UIMoveNodeUp", "UIMoveNodeDown", "UIMoveNodeBottom"})
    EXPECT_EQ(run(name), 0) << name;
  EXPECT_EQ(order(), "A B C ");
  holder()->getViewControl_()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(run("UIMoveNodeTop"), 0);
  EXPECT_EQ(order(), "B A C ");

  notes({"P|P", "Q|Q", "R|R"});
  run("changeTreeView_");
  select("Q");
  editor()->MemoNode0()->setFocus(Qt::MouseFocusReason);
  run("UIMoveNodeRight");
  run("UIMoveNodeDown");
  EXPECT_EQ(order(), "P Q R ");
  holder()->getViewControl_()->setFocus(Qt::TabFocusReason);
  run("UIMoveNodeRight");
  EXPECT_EQ(order(), "P .Q R ");
  editor()->MemoNode0()->setFocus(Qt::MouseFocusReason);
  run("UIMoveNodeLeft");
  EXPECT_EQ(order(), "P .Q R ");
  holder()->getViewControl_()->setFocus(Qt::TabFocusReason);
  run("UIMoveNodeLeft");
  EXPECT_EQ(order(), "P Q R ");
}

TEST_F(NoteOrderTest, GatheringMarkedNotesAfterTheCurrentOne) {
  notes({"A", "B", "C", "D", "E"});
  tick({"A"});
  select("B");
  EXPECT_EQ(run("UIMoveMarksSelf"), 0);
  EXPECT_EQ(order(), "B A C D E ");

  notes({"A", "B", "C", "D", "E"});
  tick({"D", "E"});
  select("A");
  run("UIMoveMarksSelf");
  EXPECT_EQ(order(), "A D E B C ");

  // Marks on both sides of the current note.
  notes({"A", "B", "C", "D", "E"});
  tick({"A", "E"});
  select("C");
  run("UIMoveMarksSelf");
  EXPECT_EQ(order(), "B C A E D ");

  // Every note marked: nothing to gather around.
  notes({"A", "B"});
  tick({"A", "B"});
  run("UIMoveMarksSelf");
  EXPECT_EQ(order(), "A B ");
}

TEST_F(NoteOrderTest, MarkAllClearAndInvert) {
  notes({"A", "B", "C"});
  tick({"B"});
  auto marks = [&] {
    std::string out;
    for (int i = 0; i < holder()->getNodeCount_(); ++i) out += holder()->getNode_(i)->isMarked_() ? '1' : '0';
    return out;
  };
  run("UIReverseMarks");
  EXPECT_EQ(marks(), "101");
  EXPECT_TRUE(holder()->modified);
  run("UIMarkAll");
  EXPECT_EQ(marks(), "111");
  run("UIUnMarks");
  EXPECT_EQ(marks(), "000");
}

TEST_F(NoteOrderTest, SortingAndReversingEachView) {
  notes({"d", "B", "a", "C"});
  EXPECT_EQ(run("UISortMemoHolder"), 4);
  EXPECT_EQ(order(), "a B C d ");
  EXPECT_EQ(status(), "Done:UISortMemoHolder");
  // The check list stays sorted: a new line takes its place by name, after its equals.
  test::addNotes(holder(), {"b"});
  EXPECT_EQ(order(), "a B b C d ");
  EXPECT_EQ(run("UIReverseMemoHolder"), 5);
  EXPECT_EQ(order(), "d C b B a ");
  test::addNotes(holder(), {"A"});  // reversed: no longer kept sorted
  EXPECT_EQ(order(), "d C b B a A ");

  notes({"b", "c", "a"});
  run("changeListView_");
  ASSERT_EQ(holder()->workingKind(), MemoHolderUI::Kind::List);
  run("UIReverseMemoHolder");
  EXPECT_EQ(order(), "c b a ");
  run("UISortMemoHolder");
  EXPECT_EQ(order(), "a b c ");

  notes({"R1|1", "c1|11|1", "R2|2", "c2|21|2", "R3|3", "c3|31|3"});
  run("changeTreeView_");
  ASSERT_EQ(holder()->workingKind(), MemoHolderUI::Kind::Tree);
  run("UIReverseMemoHolder");
  EXPECT_EQ(order(), "R3 .c3 R2 .c2 R1 .c1 ");
  run("UISortMemoHolder");
  EXPECT_EQ(order(), "R1 .c1 R2 .c2 R3 .c3 ");
}

TEST_F(NoteOrderTest, TreeNestingAndChildOrder) {
  notes({"P|P", "Q|Q"});
  run("changeTreeView_");
  select("Q");
  EXPECT_EQ(run("UIMoveNodeRight"), 0);
  EXPECT_EQ(order(), "P .Q ");
  EXPECT_EQ(holder()->findNodeByName_("Q")->getField_("ParentNodeID"), "\"P\"");
  run("UIMoveNodeRight");  // its previous item is its parent
  EXPECT_EQ(order(), "P .Q ");
  EXPECT_EQ(run("UIMoveNodeLeft"), 0);
  EXPECT_EQ(order(), "P Q ");
  EXPECT_EQ(holder()->findNodeByName_("Q")->getField_("ParentNodeID"), "");

  // After a deeper item the note joins that item's level.
  notes({"A|A", "b|b|A", "x|x|b", "C"});
  run("changeTreeView_");
  ASSERT_EQ(order(), "A .b ..x C ");
  select("C");
  run("UIMoveNodeRight");
  EXPECT_EQ(order(), "A .b ..x ..C ");
  EXPECT_EQ(holder()->findNodeByName_("C")->getField_("ParentNodeID"), "\"b\"");
  select("x");
  run("UIMoveNodeUp");  // the first child stays
  run("UIMoveNodeLeft");
  EXPECT_EQ(order(), "A .b ..C .x ");
  EXPECT_EQ(holder()->findNodeByName_("x")->getField_("ParentNodeID"), "\"A\"");
  run("UIMoveNodeTop");
  EXPECT_EQ(order(), "A .x .b ..C ");

  select("A");
  EXPECT_EQ(run("UIReverseChild1"), 2);
  EXPECT_EQ(order(), "A .b ..C .x ");
  EXPECT_EQ(status(), "Done:UIReverseChild1 count=2");
  run("UIReverseChild1");
  EXPECT_EQ(run("UISortChild1"), 2);
  EXPECT_EQ(order(), "A .b ..C .x ");
  EXPECT_EQ(reloaded(holder()), "A .b ..C .x ");

  // A parent without a UID gets one before its new child links to it.
  notes({"P", "Q"});
  run("changeTreeView_");
  select("Q");
  run("UIMoveNodeRight");
  const std::string uid = holder()->findNodeByName_("P")->getField_("UID");
  EXPECT_NE(Dequote(uid), "");
  EXPECT_EQ(holder()->findNodeByName_("Q")->getField_("ParentNodeID"), uid);
  EXPECT_EQ(reloaded(holder()), "P .Q ");
}

TEST_F(NoteOrderTest, MovingOneNoteToAnotherNotebook) {
  MemoHolderUI* n1 = holder();
  notes({"X"});
  addBook("N2");
  form->changeCurrentHolder(n1);
  EXPECT_EQ(run("UIMove1To", {"N2"}), 0);
  ASSERT_EQ(n1->getNodeCount_(), 1);
  EXPECT_NE(n1->getNode_(0)->name(), "X");  // a new empty note took its place
  EXPECT_EQ(book("N2")->findNodeByName_("X") != nullptr, true);
  EXPECT_EQ(holder(), book("N2"));
  EXPECT_TRUE(n1->modified);
  EXPECT_TRUE(book("N2")->modified);

  EXPECT_EQ(run("UIMove1To", {"N2"}), 0);
  EXPECT_EQ(status(), "Source Holder is Distination Holder !");

  // Without an argument the user picks the notebook in the chooser; Cancel moves nothing.
  const int before = holder()->getNodeCount_();
  cancelChooser();
  EXPECT_EQ(run("UIMove1To"), 0);
  EXPECT_EQ(holder()->getNodeCount_(), before);
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 2);
}

// The chooser offers the notebooks the command allows, in the main window's font, and a
// chosen line is the notebook it names, whatever its row.
TEST_F(NoteOrderTest, TransfersTakeTheNotebookFromTheChooser) {
  MemoHolderUI* n1 = holder();
  const std::string first = n1->name();
  notes({"A", "B", "C"});
  MemoHolderUI* n2 = openedBook("N2", {"Z"});
  MemoHolderUI* n3 = openedBook("N3", {"Y"});
  QFont font = form->font();
  font.setPointSize(23);
  form->setFont(font);
  std::vector<std::string> lines;
  bool currentOffered = true;
  int pointSize = 0;
  auto look = [&](TFormSelectHolder* d) {
    lines.clear();
    for (int i = 0; i < d->ListBox1()->count(); ++i) lines.push_back(fromQ(d->ListBox1()->item(i)->text()));
    currentOffered = d->button(QStringLiteral("Current"))->isEnabled();
    pointSize = d->font().pointSize();
  };

  select("B");
  test::whenModal<TFormSelectHolder>([&](TFormSelectHolder* d) {
    look(d);
    d->ListBox1()->setCurrentRow(1);  // N3, the document's third notebook
    QTest::mouseClick(d->button(QStringLiteral("OK")), Qt::LeftButton);
  });
  EXPECT_EQ(run("UIMove1To"), 0);
  EXPECT_EQ(lines, (std::vector<std::string>{"N2", "N3"}));
  EXPECT_FALSE(currentOffered);
  EXPECT_EQ(pointSize, 23);
  EXPECT_EQ(order(n3), "Y B ");
  EXPECT_EQ(order(n2), "Z ");
  EXPECT_EQ(order(n1), "A C ");
  EXPECT_EQ(form->getCurrentHolder(), n3);

  // A copy may go into its own notebook: the source is listed and "Current" offered.
  form->changeCurrentHolder(n1);
  select("A");
  test::whenModal<TFormSelectHolder>([&](TFormSelectHolder* d) {
    look(d);
    QTest::mouseClick(d->button(QStringLiteral("Current")), Qt::LeftButton);
  });
  EXPECT_EQ(run("UICopy1To"), 0);
  EXPECT_EQ(lines, (std::vector<std::string>{first, "N2", "N3"}));
  EXPECT_TRUE(currentOffered);
  EXPECT_EQ(order(n1), "A C A ");
  cancelChooser();
  EXPECT_EQ(run("UICopy1To"), 0);
  EXPECT_EQ(order(n1), "A C A ");

  // Marked notes onto their own notebook go nowhere; Cancel changes nothing; a line
  // chosen moves them.
  tick({"C"});
  test::whenModal<TFormSelectHolder>(
      [&](TFormSelectHolder* d) { QTest::mouseClick(d->button(QStringLiteral("Current")), Qt::LeftButton); });
  EXPECT_EQ(run("UIMoveMarksTo"), 0);
  EXPECT_EQ(status(), "Source Holder is Distination Holder !");
  cancelChooser();
  EXPECT_EQ(run("UIMoveMarksTo"), 0);
  EXPECT_EQ(order(n1), "A C A ");
  chooseInWindow("N2");
  EXPECT_EQ(run("UIMoveMarksTo"), 0);
  EXPECT_EQ(order(n2), "Z C ");
  EXPECT_EQ(order(n1), "A A ");

  // "New Holder": a new notebook at the end; a notebook named as the argument still goes.
  form->changeCurrentHolder(n1);
  chooseInWindow("");
  EXPECT_EQ(run("UIMove1To"), 0);
  ASSERT_EQ(form->getMemoFile()->getHolderCount_(), 4);
  EXPECT_EQ(order(holder()), "A ");
  EXPECT_EQ(form->getMemoFile()->indexOfHolder_(holder()), 3);
  form->changeCurrentHolder(n3);
  EXPECT_EQ(run("UICopy1To", {"N2"}), 0);
  EXPECT_EQ(order(n2), "Z C B ");
}

// After a move the tab, the view, its selected item and the editor all show the moved
// note in its new notebook, so Delete acts on what the user sees; the source keeps a
// current note of its own.
TEST_F(NoteOrderTest, AfterAMoveTheWindowShowsTheMovedNote) {
  MemoHolderUI* n1 = holder();
  const std::string first = n1->name();
  notes({"A", "B", "C"});
  MemoHolderUI* n2 = openedBook("N2", {"Z"});
  select("B");
  ASSERT_EQ(shown(), first + " | " + first + ":B | " + first + ":B");

  EXPECT_EQ(run("UIMove1To", {"N2"}), 0);
  EXPECT_EQ(shown(), "N2 | N2:B | N2:B");
  EXPECT_EQ(n1->getCurrentNode_()->name(), "C");  // the note that took its place
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(order(n2), "Z ");
  EXPECT_EQ(order(trush()), "B ");
  EXPECT_EQ(order(n1), "A C ");
  form->changeCurrentHolder(n1);
  EXPECT_EQ(shown(), first + " | " + first + ":C | " + first + ":C");

  // A branch without siblings leaves a new note current in its tree.
  notes({"P|P", "c|c|P", "g|g|c", "S|S"});
  run("changeTreeView_");
  select("c");
  EXPECT_EQ(run("UIMove1To", {"N2"}), 0);
  EXPECT_EQ(shown(), "N2 | N2:c | N2:c");
  MemoNode* left = n1->getCurrentNode_();
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(order(n1), "P S " + left->name() + " ");
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(n2->findNodeByName_("c"), nullptr);
  EXPECT_NE(trush()->findNodeByName_("c"), nullptr);

  // Marked notes, the current one among them: the last moved note is shown.
  MemoHolderUI* n3 = openedBook("N3", {"A", "B", "C", "D"});
  form->changeCurrentHolder(n3);
  select("B");
  tick({"B", "C"});
  EXPECT_EQ(run("UIMoveMarksTo", {"N2"}), 0);
  EXPECT_EQ(shown(), "N2 | N2:C | N2:C");
  EXPECT_EQ(n3->getCurrentNode_()->name(), "D");
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(n2->findNodeByName_("C"), nullptr);
  EXPECT_NE(n2->findNodeByName_("B"), nullptr);
  form->changeCurrentHolder(n3);
  EXPECT_EQ(shown(), "N3 | N3:D | N3:D");
}

// A copy is shown as a moved note is; Delete takes the copy, never the original.
TEST_F(NoteOrderTest, AfterACopyTheWindowShowsTheCopy) {
  MemoHolderUI* n1 = holder();
  notes({"A", "B"});
  MemoHolderUI* n2 = openedBook("N2", {"Z"});
  select("B");
  EXPECT_EQ(run("UICopy1To", {"N2"}), 0);
  EXPECT_EQ(shown(), "N2 | N2:B | N2:B");
  EXPECT_NE(editor()->node(), n1->findNodeByName_("B"));
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(order(n2), "Z ");
  EXPECT_EQ(order(n1), "A B ");

  form->changeCurrentHolder(n1);
  tick({"A"});
  chooseInWindow("N2");
  EXPECT_EQ(run("UICopyMarksTo"), 1);
  EXPECT_EQ(shown(), "N2 | N2:A | N2:A");
  EXPECT_EQ(run("UIDeleteMemoNode"), 0);
  EXPECT_EQ(order(n2), "Z ");
  EXPECT_EQ(order(n1), "A B ");
}

TEST_F(NoteOrderTest, TreeBranchesMoveAndCopyWhole) {
  MemoHolderUI* src = holder();
  notes({"R|R", "C|C|R", "G|G|C", "S|S"});
  run("changeTreeView_");
  MemoHolderUI* dest = addBook("Dest");
  dest->buildView_(MemoHolderUI::Kind::Tree);
  form->changeCurrentHolder(src);
  select("R");
  EXPECT_EQ(run("UICopy1To", {src->name()}), 0);
  select("R");
  run("UICopy1To", {src->name()});
  EXPECT_EQ(src->getNodeCount_(), 10);
  std::set<std::string> uids;
  for (int i = 0; i < src->getNodeCount_(); ++i) uids.insert(src->getNode_(i)->getField_("UID"));
  EXPECT_EQ(uids.size(), 10u);
  EXPECT_EQ(reloaded(src), "R .C ..G S R_00 .C_01 ..G_02 R_01 .C_02 ..G_03 ");

  // Into another notebook: the copies link to each other, the originals stay.
  form->changeCurrentHolder(src);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(src->getNode_(0)));
  EXPECT_EQ(run("UICopy1To", {"Dest"}), 0);
  EXPECT_EQ(src->getNodeCount_(), 10);
  EXPECT_EQ(readTestData("mainwindow/copied_branch.mxh"), dest->saveToText_());
  EXPECT_EQ(reloaded(dest), "R .C ..G ");

  form->changeCurrentHolder(src);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(src->getNode_(0)));
  EXPECT_EQ(run("UIMove1To", {"Dest"}), 0);
  EXPECT_EQ(order(dest), "R .C ..G R .C ..G ");
  EXPECT_EQ(src->getCurrentNode_()->name(), "S");  // the next sibling follows
  EXPECT_EQ(readTestData("mainwindow/moved_branch.mxh"), dest->saveToText_());
  EXPECT_EQ(reloaded(dest), "R .C ..G R_00 .C_01 ..G_02 ");
}

TEST_F(NoteOrderTest, ACopiedChildKeepsItsParentOnlyInItsOwnNotebook) {
  MemoHolderUI* src = holder();
  notes({"P|P", "c|c|P", "g|g|c", "d|d|P", "S|S"});
  run("changeTreeView_");
  MemoHolderUI* other = openedBook("Other", {"Z"});
  select("c");
  EXPECT_EQ(run("UICopy1To", {src->name()}), 0);
  EXPECT_EQ(order(src), "P .c ..g .d .c ..g S ");
  MemoNode* copy = form->getCurrentNode();
  EXPECT_NE(copy, src->findNodeByName_("c"));
  EXPECT_EQ(copy->getField_("ParentNodeID"), "\"P\"");
  EXPECT_EQ(reloaded(src), "P .c ..g .d .c_01 ..g_02 S ");  // read back, names are unique

  select("d");
  EXPECT_EQ(run("UICopy1To", {"Other"}), 0);
  EXPECT_EQ(order(other), "Z d ");
  EXPECT_EQ(form->getCurrentNode()->getField_("ParentNodeID"), "");
}

// The read-only switch stops every transfer; a read-only notebook may be copied from,
// never written into, and a refused transfer leaves every note where it was.
TEST_F(NoteOrderTest, TransfersRespectReadOnly) {
  MemoHolderUI* n1 = holder();
  notes({"A", "B", "C"});
  MemoHolderUI* n2 = openedBook("N2", {"Z"});
  select("B");
  tick({"A"});
  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("UIMove1To", {"N2"}), kResultUIReadOnly);
  EXPECT_EQ(run("UICopy1To", {"N2"}), kResultUIReadOnly);
  EXPECT_EQ(run("UIMoveMarksTo", {"N2"}), kResultUIReadOnly);
  EXPECT_EQ(status(), "UI ReadOnly");
  EXPECT_EQ(order(n2), "Z ");
  form->uiReadOnlyBox()->setChecked(false);

  n2->putReadOnly_(true);
  for (const char* name : {"UIMove1To", "UICopy1To", "UIMoveMarksTo"}) {
    EXPECT_EQ(run(name, {"N2"}), kResultHolderReadOnly) << name;
    EXPECT_EQ(status(), "This MemoHolder is Read Only. (N2)") << name;
  }
  EXPECT_EQ(order(n2), "Z ");
  EXPECT_EQ(order(n1), "A B C ");
  EXPECT_EQ(form->getCurrentHolder(), n1);
  EXPECT_EQ(form->getCurrentNode()->name(), "B");

  n2->putReadOnly_(false);
  n1->putReadOnly_(true);
  EXPECT_EQ(run("UIMove1To", {"N2"}), kResultHolderReadOnly);
  EXPECT_EQ(run("UICopy1To", {"N2"}), 0);
  EXPECT_EQ(order(n2), "Z B ");
  EXPECT_EQ(order(n1), "A B C ");
}

TEST_F(NoteOrderTest, MovingMarkedNotes) {
  MemoHolderUI* src = holder();
  notes({"A", "B", "C"});
  addBook("Dest");
  form->changeCurrentHolder(src);
  EXPECT_EQ(run("UIMoveMarksTo", {"Dest"}), 0);
  EXPECT_EQ(status(), "Nothing Node Marked.");
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Nothing Node Marked.");
  EXPECT_EQ(rec.kindOf("Nothing Node Marked."), BoxKind::Confirmation);
  EXPECT_EQ(order(src), "A B C ");

  // A marked parent goes; its unmarked child stays, lifted to the parent's level.
  notes({"P|P", "k|k|P", "m|m|P", "Q|Q"});
  run("changeTreeView_");
  tick({"P", "m"});
  EXPECT_EQ(run("UIMoveMarksTo", {"Dest"}), 0);
  EXPECT_EQ(order(src), "k Q ");
  EXPECT_EQ(src->findNodeByName_("k")->getField_("ParentNodeID"), "");
  MemoHolderUI* dest = book("Dest");
  EXPECT_EQ(holder(), dest);
  EXPECT_EQ(form->getCurrentNode()->name(), "m");
  EXPECT_NE(dest->findNodeByName_("P"), nullptr);
  EXPECT_TRUE(src->modified);
  EXPECT_TRUE(dest->modified);
  // The notes go in before the empty notebook is shown: no note is made for it.
  EXPECT_EQ(reloaded(dest), "P .m ");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Nothing Node Marked."});  // no system error
}

TEST_F(NoteOrderTest, TreeChildrenListedRenamedAndCloned) {
  notes({"P|P", "a/x.txt|a|P", "g|g|a", "b\\y.txt|b|P"});
  EXPECT_EQ(run("UIListChild1"), 0);
  EXPECT_EQ(status(), "Not TreeView");
  run("changeTreeView_");
  select("P");
  QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();
  memo->clear();
  run("UIListChild");
  EXPECT_EQ(status(), "Done:UIListChild count Of Child=3");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("a/x.txt\n  g\nb\\y.txt\n"));

  EXPECT_EQ(run("UIExtractFilenameChild1"), 0);
  EXPECT_EQ(status(), "Done:UIExtractFilenameChild1 count=2");
  EXPECT_EQ(order(), "P .x.txt ..g .y.txt ");

  select("g");
  EXPECT_EQ(run("UIExtractFilenameChild1"), 0);
  EXPECT_EQ(status(), "No Child");
  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("UICloneMemoNodeAndChild"), 0);  // refused: no copy, 0 as when none came back
  form->uiReadOnlyBox()->setChecked(false);
  EXPECT_EQ(run("UICloneMemoNodeAndChild"), 1);
  EXPECT_EQ(status(), "Done: Clone MemoNode And Child");
  EXPECT_EQ(order(), "P .x.txt ..g ...g .y.txt ");
  EXPECT_NE(form->getCurrentNode()->getField_("UID"), "\"g\"");
  EXPECT_EQ(form->getCurrentNode()->getField_("ParentNodeID"), "\"g\"");
}

TEST_F(NoteOrderTest, NewParentAboveTheRootsOrBetweenANoteAndItsChildren) {
  notes({"A|A", "a1|a1|A", "a2|a2|A", "B|B"});
  run("changeTreeView_");
  select("A");
  EXPECT_EQ(run("UINewRootNode"), 0);
  EXPECT_EQ(status(), "Done:UINewRootNode count=2");
  const std::string made = holder()->getNode_(1)->name();
  EXPECT_EQ(order(), "A ." + made + " ..a1 ..a2 B ");
  EXPECT_EQ(form->getCurrentNode()->name(), "A");

  EXPECT_EQ(run("UINewRootNodeTV"), 0);
  EXPECT_EQ(status(), "Done:UINewRootNodeTV count=2");
  const std::string top = holder()->getNode_(0)->name();
  EXPECT_EQ(order(), top + " .A .." + made + " ...a1 ...a2 .B ");
  // Read back, the two new notes of one name differ in name but keep their places.
  auto levels = [](std::string o) {
    o.erase(std::remove_if(o.begin(), o.end(), [](char c) { return c != '.' && c != ' '; }), o.end());
    return o;
  };
  EXPECT_EQ(levels(reloaded(holder())), levels(order()));
}

TEST_F(NoteOrderTest, ListViewStyles) {
  notes({"A"});
  EXPECT_EQ(run("UIViewStyleIcon"), 0);
  EXPECT_EQ(status(), "aH.aUILV = nil");
  run("changeListView_");
  EXPECT_EQ(run("UIViewStyleSmallIcon"), 0);
  EXPECT_EQ(status(), "Done: Change SmallIcon ViewStyle.");
  EXPECT_EQ(form->getHolderFrame()->listViewStyle(), NoteListView::SmallIcon);
}

}  // namespace
}  // namespace wux

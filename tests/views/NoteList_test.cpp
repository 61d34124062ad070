#include "views/NoteList.h"

#include <gtest/gtest.h>

namespace wux {
namespace {

struct FakeNote : TObject {
  std::string uid, parentId;
  int* alive;
  FakeNote(std::string u, std::string p, int* counter) : uid(std::move(u)), parentId(std::move(p)), alive(counter) {
    ++*alive;
  }
  ~FakeNote() override { --*alive; }
};

class NoteListTest : public ::testing::Test {
 protected:
  NoteItem* add(const std::string& name, const std::string& uid = "", const std::string& parent = "",
                NoteItem* under = nullptr) {
    return list.append(std::make_unique<FakeNote>(uid, parent, &alive), name, under);
  }
  std::string names() const {
    std::string out;
    for (int i = 0; i < list.count(); ++i) {
      const NoteItem* it = list.itemAt(i);
      out += std::string(static_cast<size_t>(it->level()), '.') + it->text() + " ";
    }
    return out;
  }
  void nest() {
    list.nestBy([](TObject* n) { return static_cast<FakeNote*>(n)->uid; },
                [](TObject* n) { return static_cast<FakeNote*>(n)->parentId; });
  }
  int alive = 0;
  NoteList list;
};

TEST_F(NoteListTest, OrderLookupsAndOwnership) {
  add("a");
  NoteItem* b = add("b");
  add("b1", "", "", b);
  add("c");
  EXPECT_EQ(names(), "a b .b1 c ");
  EXPECT_EQ(list.count(), 4);
  EXPECT_EQ(list.itemAt(4), nullptr);
  EXPECT_EQ(list.itemAt(-1), nullptr);
  EXPECT_EQ(list.indexOf(b->note()), 1);
  EXPECT_EQ(list.nextItem(b)->text(), "b1");
  EXPECT_EQ(list.prevItem(list.itemAt(0)), nullptr);
  EXPECT_EQ(list.indexOf(nullptr), -1);

  // Taking a note hands it over; its subtree leaves the list but stays alive until clear.
  std::unique_ptr<TObject> taken = list.take(b->note());
  EXPECT_EQ(names(), "a c ");
  EXPECT_EQ(alive, 4);
  taken.reset();
  EXPECT_EQ(alive, 3);
  list.clear();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(list.count(), 0);

  NoteItem* p = add("p");
  add("q", "", "", p);
  add("r", "", "", list.itemAt(1));
  auto all = list.takeSubtree(p->note());
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(list.count(), 0);

  // Notes owned elsewhere are only referred to.
  FakeNote outside("", "", &alive);
  NoteItem* o = list.appendRef(&outside, "o");
  list.appendRef(new FakeNote("", "", &alive), "o1", o);  // owned by nobody: freed below
  std::vector<TObject*> removed = list.remove(&outside);
  ASSERT_EQ(removed.size(), 2u);
  EXPECT_EQ(removed[0], &outside);
  delete removed[1];
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(list.remove(&outside).empty());
}

TEST_F(NoteListTest, NestingByParentKey) {
  // Written in pre-order, a child before its parent, a missing parent, and a cycle.
  add("root", "U1");
  add("child", "U2", "u1");  // keys compare without letter case
  add("grand", "U3", "U2");
  add("early", "U5", "U4");  // parent comes later in the file
  add("late", "U4");
  add("orphan", "U6", "NOPE");
  add("x", "X1", "Y1");
  add("y", "Y1", "X1");
  add("self", "S1", "S1");
  nest();
  EXPECT_EQ(names(), "root .child ..grand late .early orphan y .x self ");

  // Nesting the same tree again changes nothing; flattening keeps item order.
  nest();
  EXPECT_EQ(names(), "root .child ..grand late .early orphan y .x self ");
  list.flatten();
  EXPECT_EQ(names(), "root child grand late early orphan y x self ");
  nest();
  // Of two notes naming each other, the first in item order goes below the other.
  EXPECT_EQ(names(), "root .child ..grand late .early orphan x .y self ");
}

TEST_F(NoteListTest, DeepChainNestsAndExpandsWithoutRecursion) {
  // Each note the child of the one before, written children first: one pass must nest it
  // all, and opening every branch must not recurse once per level.
  const int depth = 200000;
  for (int i = depth - 1; i >= 0; --i)
    add("n" + std::to_string(i), "U" + std::to_string(i), i ? "U" + std::to_string(i - 1) : "");
  nest();
  ASSERT_EQ(list.rootCount(), 1);
  EXPECT_EQ(list.root(0)->text(), "n0");
  EXPECT_EQ(list.itemAt(depth - 1)->parent(), list.itemAt(depth - 2));
  ExpandAll(list, true);
  EXPECT_TRUE(list.itemAt(depth - 2)->expanded());
  EXPECT_EQ(CollapseChildren(list.root(0), true), depth - 2);
}

TEST_F(NoteListTest, MovesRefuseCycles) {
  NoteItem* a = add("a");
  NoteItem* a1 = add("a1", "", "", a);
  NoteItem* b = add("b");
  EXPECT_FALSE(list.moveToLastChild(a, a1));
  EXPECT_FALSE(list.moveBefore(a, a1));
  EXPECT_TRUE(list.moveBefore(b, a1));
  EXPECT_EQ(names(), "a .b .a1 ");
  EXPECT_TRUE(list.moveToRoot(b, 0));
  EXPECT_EQ(names(), "b a .a1 ");
}

TEST_F(NoteListTest, TreeItemRoutines) {
  NoteItem* r1 = add("r1");
  NoteItem* c1 = add("c1", "", "", r1);
  NoteItem* c2 = add("c2", "", "", r1);
  NoteItem* g = add("g", "", "", c2);
  NoteItem* c3 = add("c3", "", "", r1);
  NoteItem* r2 = add("r2");
  NoteItem* r3 = add("r3");
  EXPECT_EQ(names(), "r1 .c1 .c2 ..g .c3 r2 r3 ");

  EXPECT_EQ(NodeIndexPath(g, 0, ""), "0/1/0");
  EXPECT_EQ(NodeIndexPath(c2, 1, ""), "1/2");
  EXPECT_EQ(NodeIndexPath(nullptr, 0, ""), "");
  EXPECT_EQ(NodeIndexPath(g, 1, "%.2d"), "01/02/01");
  EXPECT_EQ(NodeIndexPath(g, 0, "%s%n"), "0/1/0");  // a format that is refused: decimal

  EXPECT_EQ(PrevSameLevel(c3), c2);
  EXPECT_EQ(NextSameLevel(c1), c2);
  EXPECT_EQ(NextSameLevel(c3), nullptr);
  EXPECT_EQ(PrevSameLevel(r2), r1);

  // Collects only the items below: a branch's last item collects nothing of the notes
  // that follow it on shallower levels.
  StringList sub;
  CollectSubTree(r1, sub);
  EXPECT_EQ(sub.join(","), "c1,c2,g,c3");
  sub.clear();
  CollectSubTree(c2, sub);
  EXPECT_EQ(sub.join(","), "g");
  sub.clear();
  CollectSubTree(g, sub);
  EXPECT_EQ(sub.join(","), "");

  ReverseChildren(r1);
  EXPECT_EQ(names(), "r1 .c3 .c2 ..g .c1 r2 r3 ");
  ReverseChildren(c2);  // one child: nothing
  EXPECT_EQ(names(), "r1 .c3 .c2 ..g .c1 r2 r3 ");

  // After the last root: the end of the root level. After a child: right behind it.
  list.setExpanded(c2, true);
  MoveNodeAfter(c2, r3);
  EXPECT_EQ(names(), "r1 .c3 .c1 r2 r3 c2 .g ");
  EXPECT_TRUE(c2->expanded());
  MoveNodeAfter(r2, c3);
  EXPECT_EQ(names(), "r1 .c3 .r2 .c1 r3 c2 .g ");
  MoveNodeAfter(r3, r1);
  EXPECT_EQ(names(), "r1 .c3 .r2 .c1 r3 c2 .g ");

  EXPECT_EQ(ExpandChildren(r1, false), 0);
  list.setExpanded(c2, false);
  EXPECT_EQ(ExpandChildren(nullptr, true), 0);
  list.moveToLastChild(c2, r1);
  EXPECT_EQ(ExpandChildren(r1, true), 1);
  EXPECT_EQ(CollapseChildren(r1, false), 1);
}

}  // namespace
}  // namespace wux

#include "model/objects.h"

#include <gtest/gtest.h>

#include "support/RecordingPrompter.h"
#include "model/errors.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"

using namespace wux;

namespace {

int gAlive = 0;

// A leaf that counts live instances and is copied for real.
class Leaf : public TObjectNamed {
 public:
  explicit Leaf(TObjectNamed* owner) : TObjectNamed(owner) { ++gAlive; }
  ~Leaf() override { --gAlive; }
  int clear_() override {
    value = "cleared";
    return 0;
  }
  TObjectNamed* deepCopy() const override { return DeepCopyOf(*this); }
  void copyFrom_(const TObjectNamed& src) override {
    if (auto* l = dynamic_cast<const Leaf*>(&src)) value = l->value;
  }
  std::string value;
};

class Box : public TObjectParentEX {
 public:
  using TObjectParentEX::TObjectParentEX;
  TObjectNamed* deepCopy() const override { return DeepCopyOf(*this); }
};

std::vector<std::string> names(const TObjectParent& p) {
  std::vector<std::string> r;
  for (const auto& l : p.children()) r.push_back(l.text);
  return r;
}

std::string add(TObjectParent& p, const std::string& name) {
  std::string actual;
  p.addChild_(Create<Leaf>(&p).release(), name, actual);
  return actual;
}

}  // namespace

TEST(UniqueName, ClashesAreNumberedByTheRule) {
  std::unique_ptr<TObjectParent> p(Create<TObjectParent>(nullptr));
  for (const char* n : {"a", "b", "c", "memo"}) add(*p, n);
  std::vector<std::string> got;
  for (const char* n : {"Memo", "Memo", "A", "fresh"}) got.push_back(add(*p, n));
  EXPECT_EQ(got, (std::vector<std::string>{"Memo_03", "Memo_04", "A_00", "fresh"}));

  StringList l{"Note1"};
  EXPECT_EQ(UniqueNameInList(l, "note1"), "note2");
  l.add("note2");
  EXPECT_EQ(UniqueNameInList(l, "note1"), "note3");
  StringList nines{"a9", "a0"};
  EXPECT_EQ(UniqueNameInList(nines, "a9"), "a1");
  std::string r = "old";
  UniqueNameInList(nullptr, "x", r);
  EXPECT_EQ(r, "x");
}

TEST(UniqueName, DoubleByteNamesAndTheHundredTryLimit) {
  const std::string kA = "\x83\x41", kDi = "\x83\x61";
  StringList l{kDi, kA + "1"};
  EXPECT_EQ(UniqueNameInList(l, kA), kA);  // not a case variant of kDi
  EXPECT_EQ(UniqueNameInList(l, kA + "1"), kA + "2");

  StringList full{"n"};
  for (int i = 0; i < 100; ++i) full.add("n_" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  EXPECT_EQ(UniqueNameInList(full, "n"), "n_100");
  full.add("N_100");
  EXPECT_EQ(UniqueNameInList(full, "N"), "N_101");
}

// The naming rule walked naively, line by line, as the yardstick of the indexed one.
std::string naiveUniqueName(const StringList& list, const std::string& name) {
  auto taken = [&](const std::string& n) {
    for (const auto& l : list)
      if (sjis::sameText(l.text, n)) return true;
    return false;
  };
  if (!taken(name)) return name;
  int k = 0;
  while (!sjis::sameText(list[k], name)) ++k;
  char buf[32];
  std::snprintf(buf, sizeof buf, "_%.2d", k);
  std::string r = HasDigit(name) ? IncNumberStr(name) : name + buf;
  for (long long tries = 0; taken(r);) {
    r = IncNumberStr(r);
    if (++tries >= 100) {
      std::snprintf(buf, sizeof buf, "_%.2lld", tries);
      r = name + buf;
    }
  }
  return r;
}

TEST(UniqueName, ManyEqualNamesWrapAtNinetyNineThenCount) {
  std::unique_ptr<TObjectParent> p(Create<TObjectParent>(nullptr));
  for (int i = 0; i < 5; ++i) add(*p, "other" + std::string(1, static_cast<char>('a' + i)));
  std::vector<std::string> got;
  for (int i = 0; i < 300; ++i) got.push_back(add(*p, i % 2 ? "Note" : "note"));
  EXPECT_EQ(got[0], "note");
  EXPECT_EQ(got[1], "Note_05");  // the clash is with line 5
  EXPECT_EQ(got[95], "Note_99");
  EXPECT_EQ(got[96], "note_00");  // past _99 the number wraps to _00
  EXPECT_EQ(got[100], "note_04");
  EXPECT_EQ(got[101], "Note_100");  // then the hundredth try and on
  EXPECT_EQ(got[299], "Note_298");

  // Taking one name out frees it for the next clash.
  std::unique_ptr<TObjectNamed> freed(p->detachChild_(p->findChild_("note_50")));
  EXPECT_EQ(add(*p, "NOTE"), "NOTE_50");
  EXPECT_EQ(add(*p, "NOTE"), "NOTE_299");
}

TEST(UniqueName, IndexedContainersNameAsTheRuleDoesThroughEveryChange) {
  // Random adds, inserts, renames, removals, moves and sorts over a few clashing names;
  // after each step the container must name as the plain rule does over its lines.
  std::unique_ptr<Box> p(Create<Box>(nullptr));
  unsigned seed = 7;
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  const std::vector<std::string> pool = {"x", "X", "x_03", "a9", "A0", "memo", "Memo1", "x_99", "\x83\x41"};
  for (int step = 0; step < 2000; ++step) {
    const std::string name = pool[rnd(static_cast<unsigned>(pool.size()))];
    const std::string expected = naiveUniqueName(p->children(), name);
    std::string actual;
    const int count = p->childCount();
    switch (rnd(8)) {
      case 0:
      case 1:
      case 2: {
        // The answer is the new child's line, sorted or not.
        Leaf* leaf = Create<Leaf>(p.get()).release();
        const int at = p->addChild_(leaf, name, actual);
        ASSERT_EQ(p->child(at), leaf) << "step " << step;
        break;
      }
      case 3:
        p->insertChild_(static_cast<int>(rnd(static_cast<unsigned>(count) + 1)), Create<Leaf>(p.get()).release(), name, actual);
        break;
      case 4:
        if (count == 0) continue;
        {
          // Renaming a child to its own name renames nothing.
          TObjectNamed* c = p->child(static_cast<int>(rnd(static_cast<unsigned>(count))));
          if (p->children().indexOf(name) == p->children().indexOfObject(c)) continue;
          p->putNameChild_as_(c, name, actual);
        }
        break;
      case 5:
        if (count == 0) continue;
        delete p->detachChild_(p->child(static_cast<int>(rnd(static_cast<unsigned>(count)))));
        continue;
      case 6:
        if (count > 1) p->moveChildUp_(p->child(static_cast<int>(rnd(static_cast<unsigned>(count)))));
        continue;
      default:
        p->flagSort = rnd(3) == 0;
        p->flagAscending = rnd(2) == 0;
        p->resort_();
        continue;
    }
    ASSERT_EQ(actual, expected) << "step " << step << " name " << name;
  }
  EXPECT_GT(p->childCount(), 100);
}

TEST(ObjectTree, NamesLiveInTheOwner) {
  RecordingPrompter rec;
  ScopedPrompter use(&rec);
  std::unique_ptr<TObjectParent> p(Create<TObjectParent>(nullptr));
  EXPECT_EQ(p->name(), "noname");
  Leaf* a = Create<Leaf>(p.get()).release();
  EXPECT_EQ(a->value, "cleared");  // the most derived clear_ ran
  EXPECT_EQ(a->name(), "");        // not added yet
  std::string actual;
  p->addChild_(a, "Alpha", actual);
  add(*p, "beta");
  EXPECT_EQ(a->name(), "Alpha");

  // Case alone is not applied; an empty name changes nothing; a clash is numbered.
  auto rename = [&](const char* n) {
    a->putName_(n, actual);
    return actual + "/" + a->name();
  };
  EXPECT_EQ(rename("ALPHA"), "/Alpha");
  a->putName_("", actual);
  EXPECT_EQ(a->name(), "Alpha");
  EXPECT_EQ(rename("Beta"), "Beta_01/Beta_01");
  EXPECT_EQ(rename("gamma"), "gamma/gamma");
  EXPECT_EQ(names(*p), (std::vector<std::string>{"gamma", "beta"}));

  EXPECT_EQ(p->findChild_("GAMMA"), a);
  EXPECT_EQ(p->findChild_(" gamma "), nullptr);
  EXPECT_EQ(p->findChildLoose_(" \tGAMMA\r\n"), a);

  Leaf orphan(nullptr);
  orphan.putName_("x", actual);
  EXPECT_EQ(actual, "noname");
  EXPECT_TRUE(rec.messages().empty());
}

TEST(ObjectTree, InsertPlacesAndMoves) {
  std::unique_ptr<TObjectParent> p(Create<TObjectParent>(nullptr));
  for (const char* n : {"a", "b", "c"}) add(*p, n);
  std::string actual;
  Leaf* x = Create<Leaf>(p.get()).release();
  EXPECT_EQ(p->insertChild_(1, x, "B", actual), 1);
  EXPECT_EQ(actual, "B_01");
  EXPECT_EQ(p->insertChild_(10, Create<Leaf>(p.get()).release(), "z", actual), 4);
  Leaf* neg = Create<Leaf>(p.get()).release();
  EXPECT_THROW(p->insertChild_(-1, neg, "n", actual), RangeError);
  delete neg;
  EXPECT_EQ(names(*p), (std::vector<std::string>{"a", "B_01", "b", "c", "z"}));

  auto* first = p->child(0);
  auto* last = p->child(4);
  EXPECT_EQ((std::vector<int>{first->moveUp_(), last->moveDown_(), x->moveUp_(), x->moveDown_(), x->moveDown_()}),
            (std::vector<int>{0, 4, 0, 1, 2}));
  EXPECT_EQ(names(*p), (std::vector<std::string>{"a", "b", "B_01", "c", "z"}));
  EXPECT_EQ(p->child(2), x);

  Leaf orphan(nullptr);
  EXPECT_EQ(orphan.moveUp_(), -1);
  Leaf notContainer(nullptr);
  Leaf inLeaf(&notContainer);
  EXPECT_EQ(inLeaf.moveDown_(), -1);
  Leaf stranger(p.get());  // owner set, but not in the list
  EXPECT_EQ(stranger.moveUp_(), -1);
}

TEST(ObjectTree, SortedContainersAscendingAndDescending) {
  std::unique_ptr<Box> p(Create<Box>(nullptr));
  for (const char* n : {"b", "A", "c"}) add(*p, n);
  p->flagSort = true;
  p->flagAscending = false;
  add(*p, "B2");
  EXPECT_EQ(names(*p), (std::vector<std::string>{"c", "B2", "b", "A"}));
  std::string actual;
  p->insertChild_(0, Create<Leaf>(p.get()).release(), "a0", actual);
  EXPECT_EQ(names(*p).front(), "a0");  // stays until the next add or rename
  p->child(0)->putName_("d", actual);
  EXPECT_EQ(names(*p), (std::vector<std::string>{"d", "c", "B2", "b", "A"}));
  p->flagAscending = true;
  p->resort_();
  EXPECT_EQ(names(*p), (std::vector<std::string>{"A", "b", "B2", "c", "d"}));

  p->clear_();
  EXPECT_FALSE(p->flagSort);
  EXPECT_TRUE(p->flagAscending);
  EXPECT_EQ(p->childCount(), 0);
}

TEST(ObjectTree, OwnersDestroyEveryChildOnce) {
  gAlive = 0;
  {
    std::unique_ptr<TObjectParent> p(Create<TObjectParent>(nullptr));
    add(*p, "a");
    std::string actual;
    p->addChildRaw_(nullptr, "no object", actual);
    add(*p, "after the gap");
    TObjectParent* inner = Create<TObjectParent>(p.get()).release();
    p->addChild_(inner, "inner", actual);
    add(*inner, "deep");
    Leaf* twice = Create<Leaf>(p.get()).release();
    p->addChildRaw_(twice, "t", actual);
    p->addChildRaw_(twice, "t", actual);
    EXPECT_EQ(gAlive, 4);

    p->clear_();
    EXPECT_EQ(gAlive, 0);
    EXPECT_EQ(p->childCount(), 0);

    add(*p, "kept");
    Leaf* d = Create<Leaf>(p.get()).release();
    p->addChild_(d, "detached", actual);
    EXPECT_EQ(p->detachChild_(d), d);
    EXPECT_EQ(d->owner(), nullptr);
    EXPECT_EQ(p->detachChild_(d), nullptr);
    delete d;
    EXPECT_EQ(gAlive, 1);
  }
  EXPECT_EQ(gAlive, 0);
}

TEST(ObjectTree, CopiesAreDeepAndKeepNames) {
  gAlive = 0;
  {
    std::unique_ptr<Box> src(Create<Box>(nullptr));
    src->flagSort = true;
    std::string actual;
    Leaf* l = Create<Leaf>(src.get()).release();
    l->value = "v";
    src->addChild_(l, "one", actual);
    src->addChildRaw_(Create<Leaf>(src.get()).release(), "ONE", actual);
    std::unique_ptr<TObjectNamed> copy(src->deepCopy());
    auto* box = dynamic_cast<Box*>(copy.get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(names(*box), (std::vector<std::string>{"one", "ONE"}));
    EXPECT_TRUE(box->flagSort);
    ASSERT_NE(box->child(0), l);
    EXPECT_EQ(static_cast<Leaf*>(box->child(0))->value, "v");
    EXPECT_EQ(box->child(0)->owner(), box);
    EXPECT_EQ(gAlive, 4);
    box->copyFrom_(*src);  // the children held before are not leaked
    EXPECT_EQ(gAlive, 4);
  }
  EXPECT_EQ(gAlive, 0);
}

TEST(ObjectTree, BaseOperationsReportTheirMessages) {
  RecordingPrompter rec;
  ScopedPrompter use(&rec);
  TObjectNamed base(nullptr);
  Leaf inBase(&base);
  EXPECT_EQ(inBase.name(), "");
  std::string actual = "kept";
  inBase.putName_("x", actual);
  EXPECT_EQ(actual, "kept");
  std::unique_ptr<TObjectNamed> copy(base.deepCopy());
  EXPECT_EQ(copy->owner(), nullptr);
  EXPECT_TRUE(TObjectNamed::checkNIL(nullptr));
  EXPECT_FALSE(TObjectNamed::checkNIL(&base));
  EXPECT_EQ(ShouldNotExecute("X.y "), -100);
  EXPECT_EQ(StillNotImplemented("X.z "), -101);
  EXPECT_EQ(rec.messages(),
            (std::vector<std::string>{
                "Should not execute. self.classname=TObjectNamed in TObjectNamed.getNameChild_ ",
                "Should not execute. TObjectNamed.putNameChild_as_ ",
                sj("このメソッドは実行できない。in TObjectNamed.deepCopy "), "TObjectNamed.checkNIL",
                "Should not execute. X.y ", "Still not implemented. X.z "}));
}

TEST(ObjectTree, AgentWithoutWindowAnswersNeutrally) {
  RecordingPrompter rec;
  ScopedPrompter use(&rec);
  AgentAPLAbs agent;
  EXPECT_FALSE(agent.isBreak());
  std::string value = "stale";
  EXPECT_EQ(agent.query_("getUIInternet", value), 0);
  EXPECT_EQ(value, "");
  EXPECT_EQ(agent.messageDoing_("busy"), 0);
  EXPECT_EQ(rec.messages(), std::vector<std::string>(3, "Still not implemented. "));
  EXPECT_EQ(agent.progress, 0u);
  agent.progress = 0xFFFFFFFFu;
  EXPECT_EQ(agent.incProgress(), 0u);
}

#include "model/text/StringList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "model/errors.h"
#include "support/file_text.h"

using namespace wux;

TEST(StringListNameValue, NameIsTextBeforeFirstEqualsNotTrimmed) {
  StringList l;
  l.add("Key=a=b");
  l.add(" Key =x");
  EXPECT_EQ(l.value("key"), "a=b");
  EXPECT_EQ(l.value(" KEY "), "x");
  EXPECT_EQ(l.value("missing"), "");
  EXPECT_EQ(l.indexOfName("KEY"), 0);
}

TEST(StringListNameValue, AssignRewritesAppendsOrDeletes) {
  StringList l;
  l.setValue("a", "1");
  l.setValue("b", "2");
  l.setValue("A", "3");
  ASSERT_EQ(l.count(), 2);
  EXPECT_EQ(l[0], "A=3");
  l.setValue("a", "");
  ASSERT_EQ(l.count(), 1);
  EXPECT_EQ(l[0], "b=2");
  l.setValue("zzz", "");
  EXPECT_EQ(l.count(), 1);
}

TEST(StringListText, SplitsAtEveryBreakAndSavesCrLf) {
  StringList l;
  l.setText("a\r\nb\rc\nd\r\n");
  ASSERT_EQ(l.count(), 4);
  EXPECT_EQ(l[3], "d");
  EXPECT_EQ(l.text(), "a\r\nb\r\nc\r\nd\r\n");
  l.setText("x\n\ny");
  ASSERT_EQ(l.count(), 3);
  EXPECT_EQ(l[1], "");
  l.setText(std::string("n\0ul", 4));
  EXPECT_EQ(l[0].size(), 4u);
  l.setText("");
  EXPECT_EQ(l.count(), 0);
  l.setText("\r\n");
  ASSERT_EQ(l.count(), 1);
  EXPECT_EQ(l[0], "");
}

TEST(StringListText, FileRoundTripIsByteExact) {
  auto dir = std::filesystem::temp_directory_path() / "wux_sl_test";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "a.txt").string();
  StringList l{"\x83\x41\x83\x5C", "", "end"};
  ASSERT_TRUE(l.saveToFile(path));
  const std::string bytes = test::osFileText(path);
  EXPECT_EQ(bytes, "\x83\x41\x83\x5C\r\n\r\nend\r\n");
  StringList r;
  r.loadFromFile(path);
  EXPECT_EQ(r, l);
  EXPECT_THROW(r.loadFromFile((dir / "missing").string()), Error);
  EXPECT_FALSE(l.saveToFile((dir / "no/such/dir/x").string()));
  std::filesystem::remove_all(dir);
}

TEST(StringListLookup, IgnoresAsciiCaseButNotSecondBytes) {
  StringList l{"Memo", "\x83\x41"};
  EXPECT_EQ(l.indexOf("MEMO"), 0);
  EXPECT_EQ(l.indexOf("\x83\x61"), -1);
  EXPECT_EQ(l.indexOfExact("memo"), -1);
}

TEST(StringListSort, CaseInsensitiveStableAndTotal) {
  StringList l{"b", "B", "a", "A", "c"};
  TObject tag;
  l.setObject(0, &tag);
  l.sort();
  EXPECT_EQ(l.join(","), "A,a,B,b,c");
  EXPECT_EQ(l.object(3), &tag);
}

TEST(StringListSort, SortedListInsertsInPlaceAndFinds) {
  StringList l;
  l.setSorted(true);
  l.setDuplicates(StringList::Duplicates::Ignore);
  l.add("zeta");
  l.add("Alpha");
  l.add("mid");
  l.add("ALPHA");
  EXPECT_EQ(l.join(","), "Alpha,mid,zeta");
  EXPECT_EQ(l.indexOf("MID"), 1);
  EXPECT_EQ(l.indexOf("nope"), -1);
}

TEST(StringListRange, OutOfRangeThrowsInsteadOfUndefinedBehaviour) {
  StringList l{"a"};
  EXPECT_THROW(l.get(1), RangeError);
  EXPECT_THROW(l.get(-1), RangeError);
  EXPECT_THROW(l.erase(5), RangeError);
  EXPECT_THROW(l.insert(3, "x"), RangeError);
  EXPECT_THROW(l.move(0, 1), RangeError);
  EXPECT_EQ(l.count(), 1);
  l.insert(1, "b");
  l.move(1, 0);
  EXPECT_EQ(l.join(","), "b,a");
}

namespace {
struct Counted : TObject {
  explicit Counted(int& alive) : alive(alive) { ++alive; }
  ~Counted() override { --alive; }
  int& alive;
};
}  // namespace

TEST(StringListOwnedObjects, FreedOnceEachAndOnlyThosePicked) {
  int alive = 0;
  StringList l;
  auto* shared = new Counted(alive);
  l.add("a", shared);
  l.add("b", new Counted(alive));
  l.add("c");
  l.add("a again", shared);  // one object on two lines is freed once
  l.add("d", new Counted(alive));
  EXPECT_EQ(FreeObjectsWhere(l, [&](TObject* o) { return o != shared; }), 2);
  EXPECT_EQ(l.join(","), "a,c,a again");
  EXPECT_EQ(alive, 1);
  FreeObjects(l);
  EXPECT_TRUE(l.empty());
  EXPECT_EQ(alive, 0);
}

// Many names come and go, in any letter case, double-byte names among them (whose
// second bytes may be letters that must not fold): the index answers as a walk over
// the lines does, through its growth and after every removal.
TEST(StringListNameIndex, AgreesWithTheLinesOverManyChanges) {
  StringList indexed, plain;
  indexed.setNameIndex(true);
  unsigned seed = 11;
  auto pick = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  auto nameOf = [](unsigned k) {
    std::string n = (k % 3 == 0) ? "Note" : (k % 3 == 1) ? "NOTE" : "\x83\x41";
    if (k % 5 == 0) n += "\x83\x61";
    return n + std::to_string(k % 400);
  };
  for (int step = 0; step < 6000; ++step) {
    const std::string name = nameOf(pick(1200));
    if (pick(3) != 0 || plain.empty()) {
      indexed.add(name);
      plain.add(name);
    } else {
      const int at = static_cast<int>(pick(static_cast<unsigned>(plain.count())));
      indexed.erase(at);
      plain.erase(at);
    }
    const std::string probe = nameOf(pick(1200));
    ASSERT_EQ(indexed.contains(probe), plain.indexOf(probe) >= 0) << step << " " << probe;
    ASSERT_EQ(indexed.indexOf(probe), plain.indexOf(probe)) << step << " " << probe;
  }
  for (int i = plain.count() - 1; i >= 0; --i) indexed.erase(i);
  EXPECT_FALSE(indexed.contains(nameOf(0)));
}

TEST(StringListNameIndex, FollowsEveryChangeOfTheLines) {
  StringList l;
  l.setNameIndex(true);
  l.add("Alpha");
  l.add("beta");
  l.insert(0, "gamma");
  EXPECT_TRUE(l.contains("ALPHA"));
  EXPECT_EQ(l.indexOf("alpha"), 1);
  l.set(1, "delta");
  EXPECT_FALSE(l.contains("alpha"));
  l.setValue("beta", "1");  // "beta" stays, "beta=1" comes
  EXPECT_TRUE(l.contains("BETA"));
  l.setValue("beta", "2");
  EXPECT_FALSE(l.contains("beta=1"));
  EXPECT_TRUE(l.contains("beta=2"));
  l.erase(l.indexOf("gamma"));
  EXPECT_FALSE(l.contains("gamma"));
  l.move(0, 2);
  l.sort();
  EXPECT_EQ(l.indexOf("DELTA"), l.indexOfExact("delta"));
  StringList other{"x", "y"};
  l = other;  // the index follows an assignment
  EXPECT_TRUE(l.contains("X"));
  EXPECT_FALSE(l.contains("delta"));
  l.setText("p\r\nq\r\n");
  EXPECT_TRUE(l.contains("Q"));
  EXPECT_FALSE(l.contains("x"));
  l = StringList{"m"};
  EXPECT_EQ(l.indexOf("M"), 0);
  l.clear();
  EXPECT_FALSE(l.contains("m"));
}

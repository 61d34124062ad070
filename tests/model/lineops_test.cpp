// What the editor's text commands make of lines: comma splits and joins, the whole-note
// copies, field-line edits, byte cuts that never split a character, and the listings of
// field values and notebook files.
#include <gtest/gtest.h>

#include "model/lineops.h"
#include "model/text/sjis.h"
#include "records/records_support.h"

namespace wux {
namespace {

// Characters whose second byte is "\" (0x5C) or "," look-alikes never split or match.
const std::string kSo = sj("ソ");     // 83 5C
const std::string kHyo = sj("表");    // 95 5C
const std::string kNou = sj("能");    // 94 5C

TEST(EditorLines, CommaSplitAndJoinKeepDoubleByteCharacters) {
  StringList l{"a,b,c", "", kHyo + "," + kSo + kNou, "x,"};
  EXPECT_EQ(SplitAfterCommas(l), 7);
  EXPECT_EQ(l.join("|"), "a,|b,|c||" + kHyo + ",|" + kSo + kNou + "|x,");
  StringList three{"one,two,three"};
  EXPECT_EQ(SplitAfterCommas(three), 3);

  EXPECT_EQ(JoinLines(l), 7);
  ASSERT_EQ(l.count(), 1);
  EXPECT_EQ(l[0], "a,b,c" + kHyo + "," + kSo + kNou + "x,");
  StringList none;
  EXPECT_EQ(JoinLines(none), 0);
  EXPECT_EQ(none.count(), 0);
}

TEST(EditorLines, WholeNoteCopies) {
  const StringList text{"body"}, comment{"remark"}, fields{"Link=\"abc\""};
  StringList all = NoteCopyLines("note", text, comment, fields, NoteCopyParts::NameMemoCommentFields);
  ASSERT_EQ(all.count(), 7);
  EXPECT_EQ(all.join("\n"), std::string("note\n") + kSeparatorMemo + "\nbody\n" + kSeparatorComment + "\nremark\n" +
                                kSeparatorFields + "\nLink=\"abc\"");
  EXPECT_EQ(std::string(kSeparatorMemo).size(), 59u);
  EXPECT_EQ(std::string(kSeparatorComment).size(), 59u);
  EXPECT_EQ(std::string(kSeparatorFields).size(), 59u);
  EXPECT_EQ(NoteCopyLines("n", text, comment, fields, NoteCopyParts::NameMemo).join("|"),
            std::string("n|") + kSeparatorMemo + "|body|remark");
  EXPECT_EQ(NoteCopyLines("n", text, comment, fields, NoteCopyParts::NameMemoComment).count(), 5);
}

TEST(EditorLines, FieldLines) {
  FieldLine f = SplitFieldLine("Link=\"abc\"");
  EXPECT_TRUE(f.hasEquals);
  EXPECT_EQ(f.name, "Link");
  EXPECT_EQ(f.value, "\"abc\"");
  EXPECT_EQ(f.bare(), "abc");
  EXPECT_EQ(FieldLineWithoutValue(f), "Link=\"\"");
  EXPECT_EQ(FieldLineWithValue(f, "xyz"), "Link=\"xyz\"");

  FieldLine plain = SplitFieldLine("foo");
  EXPECT_FALSE(plain.hasEquals);
  EXPECT_EQ(plain.name, "");
  EXPECT_EQ(plain.value, "foo");
  EXPECT_EQ(FieldLineWithValue(plain, "xyz"), "=\"xyz\"");

  // The first "=" splits, even when the value holds more; a second byte "=" does not.
  EXPECT_EQ(SplitFieldLine("a=b=c").value, "b=c");
  const std::string name = sj("表示");
  EXPECT_EQ(SplitFieldLine(name + "=\"1\"").name, name);
}

TEST(EditorLines, CutsAtBytesNeverSplitACharacter) {
  const std::string forty(40, 'x');
  EXPECT_EQ(HistoryCaption(forty), forty);
  EXPECT_EQ(HistoryCaption(forty + "y"), forty + "...41");
  const std::string hundred(100, 'z');
  EXPECT_EQ(HistoryCaption(hundred), std::string(40, 'z') + "...100");
  // 39 bytes and a double-byte character across the fortieth byte: the character goes.
  const std::string straddle = std::string(39, 'a') + kSo + "b";
  EXPECT_EQ(HistoryCaption(straddle), std::string(39, 'a') + "...42");
  EXPECT_EQ(CutToBytes(kHyo + kSo, 3), kHyo);
  EXPECT_EQ(CutToBytes(kHyo + kSo, 4), kHyo + kSo);
  EXPECT_EQ(CutToBytes("abc", 10), "abc");
}

TEST(EditorLines, NumbersCountsAndCaret) {
  EXPECT_EQ(AutoNumberFormat(0), "%1d");
  EXPECT_EQ(AutoNumberFormat(9), "%1d");
  EXPECT_EQ(AutoNumberFormat(10), "%2d");
  EXPECT_EQ(AutoNumberFormat(1234567890), "%10d");
  EXPECT_EQ(CountWordReport(2, "abc"), "2times,  \"abc\"");
  EXPECT_EQ(CaretPositionText(1, 1), "        1:   1");
  EXPECT_EQ(CaretPositionText(12345, 67), "    12345:  67");
}

TEST(EditorListings, FieldValuesInNotebookOrder) {
  testing::FixedWorld world;
  auto doc = testing::newDoc("/tmp/doc.mxa");
  MemoHolder* h = testing::addBook(*doc, "book");
  testing::addNote(*h, "N1")->putField_("Tag", "\"x\"");
  testing::addNote(*h, "N2");
  StringList out;
  NameValueListing(*h, "Tag", false, "\"YYYYMMDD\"", out);
  EXPECT_EQ(out.join("|"), "# wux.exe \"YYYYMMDD\"|name, Tag|N1,\"x\"|N2,");
  out.clear();
  NameValueListing(*h, "Tag", true, "\"YYYYMMDD\"", out);
  EXPECT_EQ(out[2], "\"x\",N1");
  EXPECT_EQ(out[3], ",N2");
}

TEST(EditorListings, NotebookFilesAreCheckedWithoutRegardToCase) {
  testing::FixedWorld world;
  testing::TempDir tmp;
  auto doc = testing::newDoc(tmp.str("doc.mxa"));
  testing::addBook(*doc, "nb");
  testing::addBook(*doc, "Upper");
  testing::addBook(*doc, "gone");
  std::filesystem::create_directories(tmp.path / "sub");
  for (const char* f : {"nb.mxh", "upper.mxh", "sub/stray.mxh", "notes.txt"})
    ASSERT_TRUE(platform::writeFileAtomic(tmp.str(f), "x"));
  StringList out;
  bool abort = false;
  EXPECT_TRUE(CheckHolderFilesListing(*doc, out, abort));
  ASSERT_GE(out.count(), 4);
  EXPECT_EQ(out[0], tmp.str("nb.mxh") + " exists");
  EXPECT_EQ(out[1], tmp.str("Upper.mxh") + " not exists");
  EXPECT_EQ(out[2], tmp.str("gone.mxh") + " not exists");
  EXPECT_EQ(out[3], "");
  StringList found;
  for (int i = 4; i < out.count(); ++i) found.add(out[i]);
  found.sort();
  EXPECT_EQ(found.join("|"), "nb.mxh included|stray.mxh not include|upper.mxh included");
}

}  // namespace
}  // namespace wux

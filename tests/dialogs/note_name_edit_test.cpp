// The name editor's word, number, cut and date operations, on Japanese names.
#include "dialogs/NoteNameEdit.h"

#include <gtest/gtest.h>

#include <QString>

#include "views/qtext.h"

using namespace wux;
using namespace wux::namedit;

namespace {

std::string sj(const char* utf8) { return fromQ(QString::fromUtf8(utf8)); }

TEST(NoteNameEdit, WordsGoInAndOutByPosition) {
  const std::string name = sj("20241207 会議 メモ 残り");
  EXPECT_EQ(insertWord1(name, sj("★")), sj("★ 20241207 会議 メモ 残り"));
  EXPECT_EQ(insertWord2(name, sj("日")), sj("20241207 日 会議 メモ 残り"));
  EXPECT_EQ(insertWord3(name, sj("○")), sj("20241207 会議 ○ メモ 残り"));
  EXPECT_EQ(cutWord1(name), sj("会議 メモ 残り"));
  EXPECT_EQ(cutWord2(name), sj("20241207 メモ 残り"));
  EXPECT_EQ(cutWord3(name), sj("20241207 会議 残り"));
  // Missing words count as empty: their blanks stay.
  EXPECT_EQ(cutWord2(sj("会議")), sj("会議 "));
  EXPECT_EQ(insertWord3(sj("会議"), "*"), sj("会議  * "));
  // The first insertion keeps the name as it is; the others trim it first.
  EXPECT_EQ(insertWord1(sj(" 会議 "), "*"), sj("*  会議 "));
  EXPECT_EQ(insertWord2(sj(" 会議 表"), "*"), sj("会議 * 表"));
}

TEST(NoteNameEdit, NumbersStepInTheirWord) {
  EXPECT_EQ(stepWord1(sj("第09回 会議"), true), sj("第10回 会議"));
  EXPECT_EQ(stepWord1(sj("0100 会議"), false), sj("0099 会議"));
  EXPECT_EQ(stepWord1(sj("会議 12"), true), sj("会議 12"));  // no digit in the first word
  EXPECT_EQ(stepWord2(sj("会議 12 表"), true), sj("会議 13 表"));
  EXPECT_EQ(stepWord2(sj("会議 第12 表"), true), sj("会議 第12 表"));  // not all digits
  // Inc10 and Dec10 step the last number by ten.
  EXPECT_EQ(stepLastNumber(sj("写真\\旅行1.2\\画像009.jpg"), true), sj("写真\\旅行1.2\\画像019.jpg"));
  EXPECT_EQ(stepLastNumber(sj("画像25"), false), sj("画像15"));
}

TEST(NoteNameEdit, CutsRespectDoubleByteCharacters) {
  // 表 is 0x95 0x5C in Shift_JIS: its second byte is no backslash.
  const std::string name = sj("表示\\資料.txt");
  EXPECT_EQ(extractFileName(name), sj("資料.txt"));
  EXPECT_EQ(extractFileName(sj("表示")), sj("表示"));
  EXPECT_EQ(removeExtension(name), sj("表示\\資料"));
  EXPECT_EQ(removeExtension(sj("a.b\\表")), sj("a.b\\表"));
  EXPECT_EQ(cutHead(sj("会議 メモ")), sj(" メモ"));
  EXPECT_EQ(cutTail(sj("会議 メモ")), sj("会議 "));
}

TEST(NoteNameEdit, CalendarDateCompletesTheFirstWordFromToday) {
  const DateTime today{2024, 12, 7, 10, 0, 0, 0};
  EXPECT_EQ(calendarDateText(sj("5 会議"), today), "20241205");
  EXPECT_EQ(calendarDateText(sj("123 会議"), today), "20240123");
  EXPECT_EQ(calendarDateText(sj("45 会議"), today), "20241207");  // above 31
  EXPECT_EQ(calendarDateText(sj("会議"), today), "20241207");
  EXPECT_EQ(calendarDateText("1231", today), "20241231");
  EXPECT_EQ(calendarDateText("51231", today), "20251231");
  EXPECT_EQ(calendarDateText("0701011", today), "20701011");
  EXPECT_EQ(calendarDateText(sj("第20230405号"), today), "20230405");
}

TEST(NoteNameEdit, DateReplacesTheFirstDatedWord) {
  EXPECT_EQ(putDate(sj("20240101 会議"), "20241207"), sj("20241207 会議"));
  EXPECT_EQ(putDate(sj("★ 20240101 会議 メモ"), "20241207"), sj("★ 20241207 会議 メモ"));
  EXPECT_EQ(putDate(sj("会議 メモ 表"), "20241207"), sj("20241207 メモ 表"));
  EXPECT_EQ(putDate(sj("会議"), "20241207"), "20241207 ");
}

}  // namespace

// The main window's text commands, run through the command table on the note editor:
// line operations, counts, listings of fields and notebook files, and the date and
// number sets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>

#include "form_fixture.h"
#include "model/records/MemoFile.h"
#include "platform/files.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

class EditorTextCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  EditorTextCommandsTest() : FormTest({2026, 12, 6, 12, 34, 56, 789}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  QPlainTextEdit* memo() { return editor()->MemoNode0(); }
  void type(const std::string& sjisText) { memo()->setPlainText(toQ(sjisText)); }
  std::string text() { return fromQ(memo()->toPlainText()); }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  StringList names() {
    StringList l;
    holder()->setNodeList_(l);
    return l;
  }
};

TEST_F(EditorTextCommandsTest, LineCommandsOnTheEditor) {
  type("b\na\na");
  EXPECT_EQ(run("UINumberLines"), 0);
  EXPECT_EQ(text(), "00001:b\n00002:a\n00003:a");
  type("b\na\na");
  EXPECT_EQ(run("UIMarkDup"), 0);
  EXPECT_EQ(text(), "b\na\n* a");

  type("a\nb\nc\nd\ne\nf\ng\nh\ni\nj");
  memo()->selectAll();
  EXPECT_EQ(run("UISetNumberSELAuto"), 10);
  EXPECT_EQ(text(), " 1a\n 2b\n 3c\n 4d\n 5e\n 6f\n 7g\n 8h\n 9i\n10j");
  EXPECT_EQ(status(), "Done: UISetNumberSEL_ Format=%2d Count Of Line=10");
  memo()->selectAll();
  EXPECT_EQ(run("UISetNumberSEL_", {"%n"}), -1);  // never reaches a printf
  EXPECT_EQ(text().substr(0, 4), " 1a\n");

  type("x\ny");
  memo()->selectAll();
  EXPECT_EQ(run("UIAddHeadQuote"), 0);
  EXPECT_EQ(run("UIAddTailSEL", {"<BR>"}), 0);
  EXPECT_EQ(text(), ">x<BR>\n>y<BR>");
  rec.inputs.push_back("- ");
  EXPECT_EQ(run("UIAddHeadAny"), 2);
  EXPECT_EQ(status(), "UIAddHeadAny - ");
  EXPECT_EQ(run("UIAddTailAny"), -1);  // cancelled
  EXPECT_EQ(status(), "Cancel: Add Tail Any");
  EXPECT_EQ(run("UIOneLine"), 0);
  EXPECT_EQ(text(), "- >x<BR>- >y<BR>");

  // With the interface read-only the editing commands are refused.
  form->uiReadOnlyBox()->setChecked(true);
  memo()->selectAll();
  EXPECT_EQ(run("UIAddHeadSEL", {"#"}), -1);
  EXPECT_EQ(run("UISortSEL"), -1);
  EXPECT_EQ(status(), "UI ReadOnly");
  EXPECT_EQ(text(), "- >x<BR>- >y<BR>");
}

TEST_F(EditorTextCommandsTest, CountWord) {
  type("abc ABC");
  rec.inputs.push_back(" abc ");
  EXPECT_EQ(run("UICountWord"), 2);
  EXPECT_EQ(status(), "2times,  \"abc\"");
  rec.inputs.push_back("   ");
  EXPECT_EQ(run("UICountWord"), -1);
  // The box offers the selection.
  QTextCursor c = memo()->textCursor();
  c.setPosition(0);
  c.setPosition(3, QTextCursor::KeepAnchor);
  memo()->setTextCursor(c);
  rec.inputs.clear();
  run("UICountWord");
  ASSERT_FALSE(rec.asked.empty());
  EXPECT_EQ(rec.asked.back().kind, "input");
}

TEST_F(EditorTextCommandsTest, ListingsReplaceTheSelection) {
  MemoHolderUI* h = form->newHolder_(-1);
  test::addNotes(h, {"N1", "N2"});
  h->findNodeByName_("N1")->putField_("Tag", "\"x\"");
  ASSERT_EQ(form->changeCurrentHolder(h), h);
  type("");
  rec.inputs.push_back("Tag");
  EXPECT_EQ(run("UIMakeListNameValue"), 0);
  EXPECT_EQ(text(), "# wux.exe \"YYYYMMDD\"\nname, Tag\nN1,\"x\"\nN2,");
  EXPECT_EQ(status(), "Done: Make List Name, Field Value");

  type("");
  EXPECT_EQ(run("UIFieldsList2Sel"), 1);
  EXPECT_EQ(text(), "Tag");
  type("");
  EXPECT_EQ(run("UIHolderList2Sel"), 0);
  EXPECT_EQ(text(), "new\n" + h->name());
  h->findNodeByName_("N2")->putMarked_(true);
  type("");
  EXPECT_EQ(run("UIMarkList2Sel"), 0);
  EXPECT_EQ(text(), "N2");

  type("");
  const int csvLines = run("UICSV2Sel");
  EXPECT_GE(csvLines, 3);
  EXPECT_EQ(static_cast<int>(memo()->document()->blockCount()), csvLines);
  type("");
  EXPECT_EQ(run("UIFileMXA2Sel"), 0);
  EXPECT_NE(text().find(h->name()), std::string::npos);
}

TEST_F(EditorTextCommandsTest, NotebookFilesAreChecked) {
  test::TempDir tmp;
  form->getMemoFile()->putFileName_(tmp.str("doc.mxa"));
  MemoHolderUI* nb = form->newHolder_(-1);
  std::string actual;
  nb->putName_("nb", actual);
  ASSERT_EQ(nb->name(), "nb");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("nb.mxh"), "x"));
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("stray.mxh"), "x"));
  type("");
  EXPECT_EQ(run("checkHolderFiles"), 0);
  StringList lines;
  lines.setText(text());
  EXPECT_GE(lines.indexOfExact(tmp.str("new.mxh") + " not exists"), 0) << text();
  EXPECT_GE(lines.indexOfExact(tmp.str("nb.mxh") + " exists"), 0) << text();
  EXPECT_GE(lines.indexOfExact("nb.mxh included"), 0) << text();
  EXPECT_GE(lines.indexOfExact("stray.mxh not include"), 0) << text();
}

TEST_F(EditorTextCommandsTest, NumberAndDateSets) {
  const int before = holder()->getNodeCount_();
  rec.inputs = {"50", "10"};
  const int result = run("UIListNumbers");
  EXPECT_EQ(result, holder()->indexOfNode_(holder()->findNodeByName_("00050")));  // the last made, current
  EXPECT_EQ(holder()->getNodeCount_(), before + 41);
  EXPECT_NE(holder()->findNodeByName_("00010"), nullptr);
  EXPECT_NE(holder()->findNodeByName_("00050"), nullptr);
  EXPECT_EQ(holder()->findNodeByName_("00009"), nullptr);
  EXPECT_EQ(holder()->findNodeByName_("00051"), nullptr);
  EXPECT_TRUE(holder()->modified);

  const int afterNumbers = holder()->getNodeCount_();
  rec.inputs = {"202413"};
  EXPECT_EQ(run("UIListMonth"), -1);
  EXPECT_EQ(holder()->getNodeCount_(), afterNumbers);
  rec.inputs = {"202402"};
  EXPECT_EQ(run("UIListMonth"), 29);
  EXPECT_NE(holder()->findNodeByName_("20240229"), nullptr);
  EXPECT_EQ(form->getCurrentNode(), holder()->findNodeByName_("20240229"));
  rec.inputs = {"0"};
  EXPECT_EQ(run("UIListYear"), -1);
  rec.inputs.clear();
  EXPECT_EQ(run("UIListYear"), -1);  // cancelled

  // The week of Sunday 2026-12-06 runs from Monday the 30th of November.
  EXPECT_EQ(run("UIListWeekThis"), 7);
  EXPECT_NE(holder()->findNodeByName_("20261130"), nullptr);
  EXPECT_NE(holder()->findNodeByName_("20261206"), nullptr);
  // December's next month is January of the next year.
  EXPECT_EQ(run("UIListMonthNext"), 31);
  EXPECT_NE(holder()->findNodeByName_("20270131"), nullptr);
}

TEST_F(EditorTextCommandsTest, TypedCharactersShiftJisCannotHoldAreReported) {
  type("");
  QTest::keyClicks(memo(), QStringLiteral("price 5"));
  QTest::sendKeyEvent(QTest::Click, memo(), Qt::Key_unknown, QString::fromUtf8("\u20AC"), Qt::NoModifier);
  ASSERT_EQ(memo()->extraSelections().size(), 1);
  form->UI2Model();
  EXPECT_EQ(status(), "Warrning: not stored in Shift_JIS: U+20AC");
  EXPECT_EQ(form->getCurrentNode()->body()[0], "price 5?");
}

}  // namespace
}  // namespace wux

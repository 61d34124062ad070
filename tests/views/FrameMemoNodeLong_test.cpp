// Notes too long to edit: the editor shows them cut and read-only, says so, and never
// writes the cut text back; a note within the limits is shown whole and edited as ever.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>

#include "platform/textconv.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

constexpr std::size_t kLine = TFrameMemoNode::kShownLineBytes;
constexpr std::size_t kText = TFrameMemoNode::kShownTextBytes;

// `bytes` bytes of "ab" and a double-byte character: a cut may fall inside one.
std::string mixedLine(std::size_t bytes) {
  const std::string unit = "ab" + sj("表");
  std::string s;
  while (s.size() + unit.size() <= bytes) s += unit;
  return s.append(bytes - s.size(), 'x');
}

class LongNoteTest : public ::testing::Test {
 protected:
  LongNoteTest() {
    frame.setOwnerForm(&window);
    frame.show();
  }
  void show(MemoNode* note) {
    frame.setNode(note);
    frame.showNode_();
  }
  // Each line shown is the start of the note's line at its place, within the limit.
  static void expectCut(const QPlainTextEdit* e, const StringList& original) {
    EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
    const QStringList shown = e->toPlainText().split(QLatin1Char('\n'));
    ASSERT_LE(shown.size(), original.count());
    for (int i = 0; i < shown.size(); ++i) {
      const std::string line = fromQ(shown[i]);
      ASSERT_LE(line.size(), kLine) << i;
      ASSERT_EQ(original[i].compare(0, line.size(), line), 0) << i;
    }
  }
  // Types at the end of the editor and commits, as leaving the note would.
  bool typeAndCommit(QPlainTextEdit* e) {
    e->setFocus();
    QTest::keyClick(e, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(e, "typed");
    return frame.storeNode_();
  }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter prompter_{&rec};
  test::FakeMainWindow window;
  test::Notebook book{{std::string("long"), std::string("short")}};
  MemoNodeUI* note = book.node("long");
  TFrameMemoNode frame;
};

TEST_F(LongNoteTest, AVeryLongLineIsShownCutReadOnlyAndKeptAsItWasRead) {
  note->body().add("first");
  note->body().add(mixedLine(3 * kLine + 1));
  const StringList before = note->body();
  show(note);
  QPlainTextEdit* memo = frame.MemoNode0();
  expectCut(memo, before);
  EXPECT_EQ(memo->blockCount(), 2);
  const std::string status = "Too long to edit: text shown cut and read-only; the note is saved as it was read.";
  EXPECT_EQ(frame.cutStatus(), status);
  EXPECT_EQ(window.status(), status);

  // Neither typing nor a command writing into the editor reaches the note.
  EXPECT_FALSE(typeAndCommit(memo));
  frame.replaceNodeMemoSel_("pasted");
  frame.setReadOnly_(false);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_FALSE(frame.storeNode_());
  EXPECT_EQ(note->body().text(), before.text());
  EXPECT_FALSE(book.holder->modified);

  // A note at the limits exactly is shown whole and edited as ever.
  MemoNodeUI* whole = book.node("short");
  whole->body().add(mixedLine(kLine));
  show(whole);
  EXPECT_EQ(frame.cutStatus(), "");
  EXPECT_EQ(fromQ(memo->toPlainText()), mixedLine(kLine));
  EXPECT_TRUE(typeAndCommit(memo));
  EXPECT_EQ(whole->body()[0], mixedLine(kLine) + "typed");
}

TEST_F(LongNoteTest, ALongTextOfShortLinesAndLongCommentAndFieldsAreCutTheSameWay) {
  for (std::size_t i = 0; i < kText / 100 + 50; ++i) note->body().add(mixedLine(99));  // 100 bytes a line
  note->ensureComment().add(mixedLine(kLine + 7));
  note->putField_("Long", "\"" + mixedLine(kLine + 3) + "\"");
  const StringList body = note->body(), comment = *note->comment(), fields = *note->fieldList();
  show(note);
  expectCut(frame.MemoNode0(), body);
  EXPECT_NEAR(frame.MemoNode0()->blockCount(), static_cast<int>(kText / 100), 1);
  expectCut(frame.Memo_comment(), comment);
  expectCut(frame.Memo_Fields(), fields);
  EXPECT_EQ(frame.cutStatus(),
            "Too long to edit: text, comment, fields shown cut and read-only; the note is saved as it was read.");
  for (QPlainTextEdit* e : {frame.MemoNode0(), frame.Memo_comment(), frame.Memo_Fields()}) EXPECT_FALSE(typeAndCommit(e));
  EXPECT_EQ(note->body().count(), body.count());
  EXPECT_EQ(note->comment()->text(), comment.text());
  EXPECT_EQ(note->fieldList()->text(), fields.text());
}

}  // namespace
}  // namespace wux

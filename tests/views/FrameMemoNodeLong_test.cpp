// Notes too long to edit: the editor shows them cut and read-only, says so, and never
// writes the cut text back into the note; a note within the limits is shown whole and
// edited as ever.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

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

// A line of `bytes` bytes of "ab" and a double-byte character, so that a cut at any
// byte may fall inside a character.
std::string mixedLine(std::size_t bytes) {
  const std::string unit = "ab" + sj("表");
  std::string s;
  s.reserve(bytes);
  while (s.size() + unit.size() <= bytes) s += unit;
  s.append(bytes - s.size(), 'x');
  return s;
}

StringList linesOf(std::initializer_list<std::string> lines) {
  StringList l;
  for (const std::string& s : lines) l.add(s);
  return l;
}

class LongNoteTest : public ::testing::Test {
 protected:
  LongNoteTest() {
    frame.setOwnerForm(&window);
    frame.resize(600, 500);
    frame.show();
    frame.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
  }
  void show(const std::string& name) {
    frame.setNode(book.node(name));
    frame.showNode_();
  }
  // Every line the editor shows is the start of the note's line at the same place.
  static void expectPrefixes(const QPlainTextEdit* e, const StringList& original) {
    const QStringList shown = e->toPlainText().split(QLatin1Char('\n'));
    ASSERT_LE(shown.size(), original.count());
    for (int i = 0; i < shown.size(); ++i) {
      const std::string line = fromQ(shown[i]);
      ASSERT_LE(line.size(), kLine) << i;
      ASSERT_EQ(original[i].compare(0, line.size(), line), 0) << i;
    }
  }
  // Types into the editor with the keyboard and commits, as leaving the note would.
  bool typeAndCommit(QPlainTextEdit* e) {
    if (e != frame.MemoNode0()) (e == frame.Memo_comment() ? frame.showComment_() : frame.showFields_());
    e->setFocus();
    QCoreApplication::processEvents();
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
  TFrameMemoNode frame;
};

TEST_F(LongNoteTest, AVeryLongLineIsShownCutReadOnlyAndKeptAsItWasRead) {
  MemoNodeUI* note = book.node("long");
  note->body() = linesOf({"first", mixedLine(3 * kLine + 1), "last"});
  const StringList before = note->body();
  show("long");

  QPlainTextEdit* memo = frame.MemoNode0();
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->blockCount(), 3);
  expectPrefixes(memo, before);
  EXPECT_GT(fromQ(memo->document()->findBlockByNumber(1).text()).size(), kLine - 2);
  const std::string status = "Too long to edit: text shown cut and read-only; the note is saved as it was read.";
  EXPECT_EQ(frame.cutStatus(), status);
  EXPECT_TRUE(frame.findChild<QLabel*>("StatusCut")->isVisible());
  EXPECT_EQ(window.status(), status);

  // Neither typing nor a command that writes into the editor reaches the note.
  EXPECT_FALSE(typeAndCommit(memo));
  frame.replaceNodeMemoSel_("pasted");
  frame.setReadOnly_(false);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_FALSE(frame.storeNode_());
  EXPECT_EQ(note->body().text(), before.text());
  EXPECT_FALSE(book.holder->modified);

  // The next note is shown whole and edited as ever.
  show("short");
  EXPECT_FALSE(memo->isReadOnly());
  EXPECT_EQ(frame.cutStatus(), "");
  EXPECT_FALSE(frame.findChild<QLabel*>("StatusCut")->isVisible());
  EXPECT_TRUE(typeAndCommit(memo));
  EXPECT_EQ(book.node("short")->body().text(), "typed\r\n");
}

TEST_F(LongNoteTest, ALongTextOfShortLinesIsCutAtItsSizeAndOneWithinTheLimitsIsWhole) {
  MemoNodeUI* note = book.node("long");
  const std::string line = mixedLine(99);  // 100 bytes a line with its break
  for (std::size_t i = 0; i < kText / 100 + 50; ++i) note->body().add(line);
  const StringList before = note->body();
  show("long");
  QPlainTextEdit* memo = frame.MemoNode0();
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_LE(static_cast<std::size_t>(memo->blockCount()), kText / 100 + 1);
  EXPECT_GE(static_cast<std::size_t>(memo->blockCount()), kText / 100 - 1);
  expectPrefixes(memo, before);
  EXPECT_NE(frame.cutStatus(), "");
  EXPECT_FALSE(typeAndCommit(memo));
  EXPECT_EQ(note->body().count(), before.count());

  // At the limits exactly, nothing is cut.
  MemoNodeUI* whole = book.node("short");
  whole->body() = linesOf({mixedLine(kLine), "x"});
  show("short");
  EXPECT_FALSE(memo->isReadOnly());
  EXPECT_EQ(frame.cutStatus(), "");
  EXPECT_EQ(fromQ(memo->toPlainText()), mixedLine(kLine) + "\nx");
}

TEST_F(LongNoteTest, TheCommentAndFieldsAreCutAndKeptTheSameWay) {
  MemoNodeUI* note = book.node("long");
  note->body() = linesOf({"short text"});
  note->ensureComment() = linesOf({mixedLine(kLine + 7)});
  note->putField_("Long", "\"" + mixedLine(kLine + 3) + "\"");
  const std::string comment = note->comment()->text();
  const std::string fields = note->fieldList()->text();
  show("long");
  EXPECT_EQ(frame.cutStatus(),
            "Too long to edit: comment, fields shown cut and read-only; the note is saved as it was read.");
  EXPECT_TRUE(frame.Memo_comment()->isReadOnly());
  EXPECT_TRUE(frame.Memo_Fields()->isReadOnly());
  expectPrefixes(frame.Memo_comment(), *note->comment());
  expectPrefixes(frame.Memo_Fields(), *note->fieldList());
  // The text itself is short and stays editable.
  EXPECT_FALSE(frame.MemoNode0()->isReadOnly());
  EXPECT_FALSE(typeAndCommit(frame.Memo_comment()));
  EXPECT_FALSE(typeAndCommit(frame.Memo_Fields()));
  EXPECT_TRUE(typeAndCommit(frame.MemoNode0()));
  EXPECT_EQ(note->comment()->text(), comment);
  EXPECT_EQ(note->fieldList()->text(), fields);
  EXPECT_EQ(note->body().text(), "short texttyped\r\n");
}

}  // namespace
}  // namespace wux

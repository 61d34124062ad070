// The search windows open through the command table of the real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/FormEditSelNode.h"

#include "dialogs/FormField.h"
#include "dialogs/FormScanHolders.h"
#include "form_fixture.h"
#include "support/gui_input.h"

namespace wux {
namespace {

class SearchCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  SearchCommandsTest() : FormTest({2026, 12, 6, 21, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  template <class W>
  W* shown() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* f = dynamic_cast<W*>(w); f && f->isVisible()) return f;
    return nullptr;
  }
};

TEST_F(SearchCommandsTest, TheNotebookAndFieldWindowsOpenLinkedToTheWindow) {
  EXPECT_EQ(form->commands().run("UIShowScanMemoHolders"), 0);
  EXPECT_EQ(status(), "Show FormScanHolders 2026/12/06 21:00:00:000");
  auto* holders = shown<TFormScanHolders>();
  ASSERT_NE(holders, nullptr);
  EXPECT_EQ(holders->mainWindow(), form.get());
  EXPECT_EQ(holders->CheckListBox1->count(), 1);
  // The keywords go to the document session's history.
  holders->ComboBox1->setEditText("kiwi");
  holders->scan();
  EXPECT_EQ(form->documentSession().searchKeywords()[0], "kiwi");
  holders->close();

  EXPECT_EQ(form->commands().run("UIShowScanField"), 0);
  auto* field = shown<TFormField>();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->CheckListBox1->tickedNames().size(), 1u);
  field->close();
}

TEST_F(SearchCommandsTest, EditSelectHandsTheFoundNotesToTheWindowsBatchEditor) {
  test::addNotes(form->getCurrentHolder(), {"kiwi one", "plum", "kiwi two"});
  form->getCurrentHolder()->getNode_(1)->putField_("Color", "\"red\"");
  form->getCurrentHolder()->getNode_(3)->putField_("Color", "\"blue\"");
  TFormEditSelNode* first = nullptr;
  // The target lines are the list's line numbers; the notebook's own item names the notes.
  auto batchEditor = [&](int expected, const std::string& firstLine = "0") {
    auto* f = shown<TFormEditSelNode>();
    EXPECT_NE(f, nullptr);
    if (!f) return;
    if (!first) first = f;
    EXPECT_EQ(f, first);  // one batch editor for the whole window
    EXPECT_EQ(f->targetCount() > 0 ? f->ListBox2()->text(0).toStdString() : "", firstLine);
    EXPECT_EQ(f->targetCount(), expected);
    EXPECT_EQ(f->ListBox2()->count(), expected);
    f->close();
  };

  ASSERT_EQ(form->commands().run("UIShowScanMemoHolders"), 0);
  auto* holders = shown<TFormScanHolders>();
  ASSERT_NE(holders, nullptr);
  test::click(holders, "ALL");
  holders->ComboBox1->setEditText("kiwi");
  holders->scan();
  test::click(holders, "Edit Select");
  EXPECT_EQ(holders->status().find("ERROR"), std::string::npos) << holders->status();
  EXPECT_EQ(status(), "Show FormEditSelNode ");
  batchEditor(2);
  holders->close();

  ASSERT_EQ(form->commands().run("UIShowScanMemoHolder"), 0);
  auto* holder = shown<TFormScanHolder>();
  ASSERT_NE(holder, nullptr);
  holder->ComboBox1->setEditText("plum");
  holder->scan();
  test::click(holder, "Edit Select");
  EXPECT_EQ(holder->status().find("ERROR"), std::string::npos) << holder->status();
  batchEditor(1);
  holder->close();

  ASSERT_EQ(form->commands().run("UIShowScanField"), 0);
  auto* field = shown<TFormField>();
  ASSERT_NE(field, nullptr);
  field->ComboBox_Field->setEditText("Color");
  test::click(field, "Scan");
  test::click(field, "Edit Sel");
  EXPECT_EQ(field->status().find("ERROR"), std::string::npos) << field->status();
  batchEditor(2);
  field->close();

  // The notebook menu's item shows the same window.
  ASSERT_EQ(form->commands().run("showFormEditSelNode"), 0);
  batchEditor(4, form->getCurrentHolder()->getNode_(0)->name());
}

TEST_F(SearchCommandsTest, ScanAndGrepSeeTextJustTyped) {
  QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();
  memo->setFocus();
  QTest::keyClicks(memo, "zebra");
  ASSERT_EQ(form->commands().run("UIShowScanMemoHolders"), 0);
  auto* holders = shown<TFormScanHolders>();
  ASSERT_NE(holders, nullptr);
  test::click(holders, "ALL");
  holders->ComboBox1->setEditText("zebra");
  test::click(holders, "Grep");
  EXPECT_EQ(holders->grepLines().size(), 1u);
  holders->scan();
  EXPECT_EQ(holders->status(), "*Done Scan* count=1 keyWord=zebra");
  holders->close();
}

}  // namespace
}  // namespace wux

// The search windows open through the command table of the real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>

#include "dialogs/FormField.h"
#include "dialogs/FormScanHolders.h"
#include "form_fixture.h"

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

}  // namespace
}  // namespace wux

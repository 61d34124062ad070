// Every command the main window knows is in its command table, and the buttons reach
// their commands through it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <iostream>
#include <sstream>

#include "form_fixture.h"
#include "support/data_files.h"
#include "support/gui_input.h"
#include "views/CommandTable.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {
namespace {

class CommandTableWindowTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  CommandTableWindowTest() : FormTest({2026, 12, 6, 21, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  void click(const char* caption) { test::click(form->panelTop(), caption); }
};

TEST_F(CommandTableWindowTest, EveryCommandIsRegistered) {
  const CommandTable& table = form->commands();
  std::istringstream names(readTestData("mainwindow/command-names.txt"));
  int count = 0;
  for (std::string name; std::getline(names, name);) {
    if (name.empty()) continue;
    ++count;
    EXPECT_TRUE(table.contains(name)) << name;
  }
  EXPECT_GT(count, 200);

  const auto notBuilt = table.names(CommandTable::State::NotBuiltYet);
  std::cout << "Commands not built yet (" << notBuilt.size() << "):";
  for (const std::string& n : notBuilt) std::cout << ' ' << n;
  std::cout << "\nCommands left at the not-implemented notice:";
  for (const std::string& n : table.names(CommandTable::State::LeftOpen)) std::cout << ' ' << n;
  std::cout << std::endl;
}

TEST_F(CommandTableWindowTest, OpeningSavingAndWindowsWaitWhileAnOperationRuns) {
  form->beginDoing_("Grep");
  for (const char* name : {"UIOpenMemoFile", "UISaveAllHolders", "SaveFileAndAllHolders", "UISendMail",
                           "UIShowFormMemoNode", "UIShowFormMemoNodeReadOnly"})
    EXPECT_LT(form->commands().run(name), 0) << name;
  form->endDoing_("Grep");
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(form->commands().run("UIShowFormMemoNode"), 0);
}

TEST_F(CommandTableWindowTest, PlaceholdersAndNoticesAnswerWithTheNotice) {
  CommandTable& table = form->commands();
  const auto notBuilt = table.names(CommandTable::State::NotBuiltYet);
  for (const std::string& name : notBuilt) {
    // Each names its layer and itself, e.g. "Still not implemented. TFormMainScript.UIOneLine".
    EXPECT_EQ(table.run(name), kResultNotImplemented) << name;
    const std::string notice = rec.messages().back();
    EXPECT_EQ(notice.rfind("Still not implemented. TFormMain", 0), 0u) << notice;
    EXPECT_TRUE(notice.ends_with("." + name)) << notice;
  }
  EXPECT_EQ(table.run("UINewChildHTMLPage"), kResultFailed);
  EXPECT_EQ(rec.messages().back(), "Still not implemented. TFormMainScript.UINewChildHTMLPage");
  EXPECT_EQ(table.run("UIShowManualLocal"), kResultFailed);
  EXPECT_EQ(table.state("UIShowManualLocal"), CommandTable::State::LeftOpen);
}

TEST_F(CommandTableWindowTest, ToolButtonsRunTheirCommands) {
  MemoHolderUI* first = form->getCurrentHolder();
  MemoNodeUI* firstNote = form->getCurrentNode();
  click("New");
  EXPECT_EQ(status(), "Done: New MemoNode");
  EXPECT_EQ(first->getNodeCount_(), 2);
  EXPECT_TRUE(first->modified);
  ASSERT_NE(form->getCurrentNode(), firstNote);

  MemoNodeUI* top = static_cast<MemoNodeUI*>(first->getNode_(0));
  MemoNodeUI* below = static_cast<MemoNodeUI*>(first->getNode_(1));
  form->changeCurrentNode_(top);
  click("DOWN");
  EXPECT_EQ(form->getCurrentNode(), below);
  EXPECT_EQ(status(), "Done: Change CurrentNode Next: " + below->name());
  EXPECT_EQ(form->commands().run("UIChangeCurrentNodeNext"), kResultFailed);
  EXPECT_EQ(status(), "Not Change CurrentNode Next.");
  EXPECT_EQ(form->commands().run("UIChangeCurrentNodePre"), 0);  // the new index
  EXPECT_EQ(form->getCurrentNode(), top);
  EXPECT_EQ(status(), "Done: Change CurrentNode Pre: " + top->name());

  // New notebooks: after the current one, first, last.
  click("Holder");
  MemoFileUI* file = form->getMemoFile();
  ASSERT_EQ(file->getHolderCount_(), 2);
  EXPECT_EQ(form->getCurrentHolder(), file->getHolder_(1));
  EXPECT_EQ(status(), "Done: New MemoHolder " + file->getHolder_(1)->name());
  EXPECT_EQ(form->getCurrentHolder()->getNodeCount_(), 1);
  EXPECT_EQ(form->commands().run("UINewHolderLeft"), 0);
  EXPECT_EQ(form->getCurrentHolder(), file->getHolder_(0));
  EXPECT_EQ(status(), "Done: New Holder Left");
  EXPECT_EQ(form->commands().run("UINewHolderRight"), 0);
  EXPECT_EQ(form->getCurrentHolder(), file->getHolder_(3));
  EXPECT_EQ(file->getHolder_(1), first);

  // Busy or read-only, nothing is made.
  form->beginDoing_("Scan");
  click("New");
  EXPECT_EQ(form->getCurrentHolder()->getNodeCount_(), 1);
  form->endDoing();
  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(form->commands().run("newMemoNode_"), kResultFailed);
  EXPECT_EQ(form->commands().run("UINewHolder"), kResultFailed);
  EXPECT_EQ(status(), "UI ReadOnly");
  EXPECT_EQ(file->getHolderCount_(), 4);
}

}  // namespace
}  // namespace wux

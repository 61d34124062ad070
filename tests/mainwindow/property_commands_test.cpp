// The property, order, note, batch-edit and name windows opened through the command
// table on the real main window, down to what the saved files hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormHolder2.h"
#include "dialogs/FormHolders.h"
#include "dialogs/FormMXA2.h"
#include "dialogs/FormName.h"
#include "dialogs/FormPropatyNode2.h"
#include "dialogs/FormSelectHolder.h"
#include "form_fixture.h"
#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "support/file_text.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

std::string sj(const char* utf8) { return fromQ(QString::fromUtf8(utf8)); }


class PropertyCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  PropertyCommandsTest() : FormTest({2026, 12, 6, 22, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
    test::addNotes(holder(), {sj("会議"), "b", "c"});
  }
  int run(const std::string& name) { return form->commands().run(name); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  MemoNodeUI* note(const std::string& name) { return static_cast<MemoNodeUI*>(holder()->findNodeByName_(name)); }
  test::TempDir tmp;
};

TEST_F(PropertyCommandsTest, NotebookPropertiesReachTheSavedNotebook) {
  for (const char* name : {"UIShowHolderPropaty", "UIShowHoldersPropaty", "UIShowPropatyMXA2", "UIShowField",
                           "showFormEditSelNode", "UIRenameDialog", "UICopyMarksTo"})
    EXPECT_EQ(form->commands().state(name), CommandTable::State::Built) << name;
  holder()->body().setText("own text");
  test::whenModal<TFormHolder2>([](TFormHolder2* d) {
    d->RadioGroup_Type->button(2)->setChecked(true);
    d->CheckBox_FlagSameName->setChecked(true);
    d->CheckBox_FlagReadOnly->setChecked(true);
    d->StaticText_Color->setColor(0x0000FF);
    d->Memo_Memo->setPlainText(QString::fromUtf8("帳面の覚え"));
    d->OKBtn()->click();
  });
  EXPECT_EQ(run("UIShowHolderPropaty"), 0);
  EXPECT_TRUE(holder()->modified);
  EXPECT_TRUE(form->isUIReadOnly());  // a notebook made read-only turns the interface read-only
  const std::string path = tmp.str("book.mxh");
  ASSERT_GT(holder()->saveToFile_(path), 0);
  const std::string file = test::fileText(path);
  EXPECT_NE(file.find("NewNodeName=\"Number\""), std::string::npos) << file;
  EXPECT_NE(file.find("<Field FlagSameName=\"true\"/>"), std::string::npos);
  EXPECT_NE(file.find("<Field FlagReadOnly=\"true\"/>"), std::string::npos);
  EXPECT_NE(file.find("Color=\"" + ColorToName(0x0000FF) + "\""), std::string::npos);
  EXPECT_NE(file.find("<Field HolderMemo=\"" + sj("帳面の覚え") + "&lt;BR/&gt;\"/>"), std::string::npos);
  EXPECT_EQ(holder()->body().text(), sj("帳面の覚え\r\n"));
  {
    // Opened again, the memo is the notebook's own text, not a note's.
    std::unique_ptr<MemoHolder> back(Create<MemoHolder>(nullptr));
    StringList messages;
    ASSERT_EQ(ReadHolderFile(*back, path, messages), 0);
    EXPECT_EQ(back->body().text(), sj("帳面の覚え\r\n"));
    for (int i = 0; i < back->getNodeCount_(); ++i)
      EXPECT_EQ(back->getNode_(i)->body().text().find(sj("帳面の覚え")), std::string::npos);
  }

  // Cancel changes nothing.
  test::whenModal<TFormHolder2>([](TFormHolder2* d) {
    d->RadioGroup_Type->button(0)->setChecked(true);
    d->CANCELBtn()->click();
  });
  run("UIShowHolderPropaty");
  EXPECT_EQ(holder()->getField_("NewNodeName"), "\"Number\"");
}

TEST_F(PropertyCommandsTest, DocumentPropertiesAndNotebookOrder) {
  form->newHolder_(-1);
  std::string actual;
  form->getMemoFile()->getHolder_(1)->putName_("second", actual);
  form->getMemoFile()->modified = false;
  test::whenModal<TFormHolders>([](TFormHolders* d) {
    d->ListBox1()->setCurrentRow(1);
    d->Top();
    d->CANCELBtn()->click();
  });
  EXPECT_EQ(run("UIShowHoldersPropaty"), 0);
  EXPECT_EQ(form->getMemoFile()->getHolder_(0)->name(), "second");  // moves are not undone
  EXPECT_TRUE(form->getMemoFile()->modified);

  form->getMemoFile()->body().setText("doc memo");
  test::whenModal<TFormMXA2>([](TFormMXA2* d) {
    d->StaticText_Color->setColor(0x00FF00);
    d->Memo_Memo->setPlainText(QStringLiteral("kept\nas typed"));
    d->OKBtn()->click();
  });
  EXPECT_EQ(run("UIShowPropatyMXA2"), 0);
  const std::string path = tmp.str("doc.mxa");
  ASSERT_GT(form->getMemoFile()->saveToFile_(path), 0);
  const std::string file = test::fileText(path);
  EXPECT_NE(file.find("Color=\"" + ColorToName(0x00FF00) + "\""), std::string::npos) << file;
  EXPECT_EQ(file.find("doc memo"), std::string::npos);
  EXPECT_NE(file.find("kept<BR/>\r\nas typed<BR/>\r\n"), std::string::npos) << file;
  std::unique_ptr<MemoFile> back(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*back, path, messages), 0);
  EXPECT_EQ(back->body().text(), "kept\r\nas typed\r\n");
}

TEST_F(PropertyCommandsTest, NoteWindowCommitsTheEditorFirst) {
  form->changeCurrentNode_(note(sj("会議")));
  editor()->MemoNode0()->setPlainText(QString::fromUtf8("打ったばかり"));
  EXPECT_EQ(run("UIShowField"), 0);
  TFormPropatyNode2* d = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TFormPropatyNode2*>(top); f && f->isVisible()) d = f;
  ASSERT_NE(d, nullptr);
  d->CheckBox_Creater->setChecked(true);
  d->OK();
  MemoNodeUI* n = note(sj("会議"));
  EXPECT_EQ(n->body().text(), sj("打ったばかり\r\n"));
  EXPECT_EQ(n->getField_("FlagLink"), "\"false\"");
  EXPECT_FALSE(n->getField_("Creater").empty());
  EXPECT_TRUE(holder()->modified);
  // The editor shows what was applied, so a later commit keeps it.
  form->UI2Model();
  EXPECT_EQ(n->getField_("FlagLink"), "\"false\"");
}

TEST_F(PropertyCommandsTest, BatchEditOpensOnTheNotebook) {
  EXPECT_EQ(run("showFormEditSelNode"), 0);
  TFormEditSelNode* d = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TFormEditSelNode*>(top); f && f->isVisible()) d = f;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->targetCount(), holder()->getNodeCount_());
  EXPECT_EQ(status(), "Show FormEditSelNode ");
  d->ComboBox_Field->setEditText(QStringLiteral("Tag"));
  d->ComboBox_Value->setEditText(QString::fromUtf8("値"));
  d->setField();
  for (int i = 0; i < holder()->getNodeCount_(); ++i)
    EXPECT_EQ(holder()->getNode_(i)->getField_("Tag"), "\"" + sj("値") + "\"");
  d->close();
}

TEST_F(PropertyCommandsTest, CopyMarksToAChosenOrNewNotebook) {
  EXPECT_EQ(run("UICopyMarksTo"), -1);
  EXPECT_EQ(rec.messages().back(), "Nothing Node Marked.");
  EXPECT_EQ(rec.kindOf("Nothing Node Marked."), BoxKind::Warning);
  note("b")->putMarked_(true);
  note("c")->putMarked_(true);
  MemoHolderUI* source = holder();
  test::whenModal<TFormSelectHolder>([](TFormSelectHolder* d) { d->button(QStringLiteral("CANCEL"))->click(); });
  EXPECT_EQ(run("UICopyMarksTo"), -1);
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 1);

  test::whenModal<TFormSelectHolder>([](TFormSelectHolder* d) { d->button(QStringLiteral("New Holder"))->click(); });
  EXPECT_EQ(run("UICopyMarksTo"), 2);
  ASSERT_EQ(form->getMemoFile()->getHolderCount_(), 2);
  MemoHolderUI* target = holder();
  EXPECT_NE(target, source);
  ASSERT_EQ(target->getNodeCount_(), 2);
  EXPECT_EQ(target->getNode_(0)->name(), "b");
  EXPECT_EQ(form->getCurrentNode()->name(), "c");
  EXPECT_NE(form->getCurrentNode(), static_cast<MemoNode*>(source->findNodeByName_("c")));
  EXPECT_TRUE(target->modified);
  EXPECT_EQ(source->getNodeCount_(), 4);  // the new document's own note and the three
}

TEST_F(PropertyCommandsTest, RenameDialogRenamesTheNote) {
  form->changeCurrentNode_(note(sj("会議")));
  test::whenModal<TFormName>([](TFormName* d) {
    d->button(QStringLiteral("$1"), QString::fromUtf8("★"))->click();
    d->OKBtn()->click();
  });
  EXPECT_EQ(run("UIRenameDialog"), 0);
  EXPECT_EQ(form->getCurrentNode()->name(), sj("★ 会議"));
  EXPECT_EQ(editor()->nameText(), sj("★ 会議"));

  // Emptied: refused with a message, the name stays.
  test::whenModal<TFormName>([](TFormName* d) {
    d->button(QString(), QStringLiteral("Clear"))->click();
    d->OKBtn()->click();
  });
  run("UIRenameDialog");
  EXPECT_EQ(form->getCurrentNode()->name(), sj("★ 会議"));

  // A click on the name line opens the same dialog, which keeps its history: the blank
  // text accepted last on top.
  test::whenModal<TFormName>([](TFormName* d) {
    EXPECT_EQ(d->ComboBox_Name()->itemText(0), QString());
    EXPECT_EQ(d->ComboBox_Name()->itemText(1), QString::fromUtf8("★ 会議 "));
    d->button(QString(), QStringLiteral("CH1"))->click();
    d->OKBtn()->click();
  });
  QTest::mouseClick(editor()->StaticText_name(), Qt::LeftButton);
  EXPECT_EQ(form->getCurrentNode()->name(), sj("会議"));

  // A read-only note is not renamed.
  form->getCurrentNode()->putField_("FlagReadOnly", "\"true\"");
  EXPECT_EQ(run("UIRenameDialog"), -1);
  EXPECT_EQ(status(), "flagReadOnly=\"true\"");
  form->getCurrentNode()->removeField_("FlagReadOnly");

  form->uiReadOnlyBox()->setChecked(true);
  EXPECT_EQ(run("UIRenameDialog"), -1);
  EXPECT_EQ(status(), "UIReadOnly=\"true\"");
}

// The name editor opens ready for typing: the name box has the focus with the name
// selected, so typed text, blanks included, replaces the name and Enter accepts it.
TEST_F(PropertyCommandsTest, TheNameEditorTakesTypingIntoTheName) {
  form->changeCurrentNode_(note(sj("会議")));
  test::whenModal<TFormName>([](TFormName* d) {
    QWidget* typing = d->focusWidget();
    ASSERT_NE(typing, nullptr);
    EXPECT_TRUE(typing == d->ComboBox_Name() || d->ComboBox_Name()->isAncestorOf(typing));
    QTest::keyClicks(typing, QStringLiteral("New name"));
    QTest::keyClick(typing, Qt::Key_Return);
  });
  QTest::mouseClick(editor()->StaticText_name(), Qt::LeftButton);
  EXPECT_EQ(form->getCurrentNode()->name(), "New name");
}

}  // namespace
}  // namespace wux

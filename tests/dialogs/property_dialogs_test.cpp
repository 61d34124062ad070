// The property, order, chooser, note, batch-edit and name dialogs, offscreen: controls
// set and buttons pressed as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTest>

#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormHolder2.h"
#include "dialogs/FormHolders.h"
#include "dialogs/FormMXA2.h"
#include "dialogs/FormName.h"
#include "dialogs/FormPropatyNode2.h"
#include "dialogs/FormSelectHolder.h"
#include "model/clock.h"
#include "support/FakeClipboard.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/gui_input.h"
#include "support/qt_app.h"
#include "views/Clipboard.h"
#include "views/qtext.h"

using namespace wux;
using test::FakeMainWindow;

namespace {

std::string sj(const char* utf8) { return fromQ(QString::fromUtf8(utf8)); }

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    test::qtApp();
    setClock(&clock);
    holder = w.addNotebook(sj("日記"));
    a = w.addNote(sj("会議 メモ"));
    b = w.addNote("b");
    c = w.addNote("c");
  }
  ~DialogTest() override { setClock(nullptr); }
  FixedClock clock{{2024, 12, 7, 9, 30, 0, 0}};
  RecordingPrompter rec;
  ScopedPrompter scoped{&rec};
  FakeMainWindow w;
  MemoHolderUI* holder;
  MemoNodeUI *a, *b, *c;
};

TEST_F(DialogTest, NotebookDialogShowsAndStoresItsControls) {
  holder->putField_("NewNodeName", "\"number\"");
  holder->putField_("NewNodeOption", "\"Select\"");
  holder->putField_("POPServer", "\"pop.example.com\"");
  TFormHolder2 f;
  f.setMainWindow(&w);
  f.loadFromObject(holder);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Holder Propaty"));
  EXPECT_TRUE(f.RadioGroup_Type->button(2)->isChecked());
  EXPECT_TRUE(f.RadioGroup_NewNodeOP->button(3)->isChecked());
  EXPECT_EQ(f.ComboBox_FormatNumber->currentText(), QStringLiteral("%.5d"));
  EXPECT_EQ(f.StaticText_CountOfNodes->text(), QStringLiteral("3"));
  EXPECT_EQ(f.mailEdit(1)->text(), QStringLiteral("pop.example.com"));

  // CANCEL stores nothing.
  f.RadioGroup_Type->button(1)->setChecked(true);
  f.CANCELBtn()->click();
  EXPECT_EQ(holder->getField_("NewNodeName"), "\"number\"");

  f.loadFromObject(holder);
  f.RadioGroup_Type->button(0)->setChecked(true);
  f.RadioGroup_FileExt->button(1)->setChecked(true);
  f.ComboBox_FormatDate->setEditText(QString::fromUtf8("YYYY\"年\"MM\"月\"DD\"日(\"ddd\")\" "));
  f.Edit_SelectNodeName->setText(QString::fromUtf8(" 選ぶ "));
  f.CheckBox_FlagSort->setChecked(true);
  f.RadioGroup_Sort->button(1)->setChecked(true);
  f.CheckBox_FlagSameName->setChecked(true);
  f.CheckBox_FlagExtra->setChecked(true);
  f.Memo_Memo->setPlainText(QString::fromUtf8("一行目\n二行目"));
  f.StaticText_Color->setColor(0x00FFFF);
  f.mailEdit(1)->clear();
  f.mailEdit(2)->setText(QStringLiteral("to@example.com"));
  f.OKBtn()->click();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(holder->getField_("NewNodeName"), "\"Daily\"");
  EXPECT_EQ(holder->getField_("FileExt"), "\".mhz\"");
  EXPECT_EQ(holder->getFormatDate_(), "\"" + sj("YYYY\"年\"MM\"月\"DD\"日(\"ddd\")\" ") + "\"");
  EXPECT_EQ(holder->getField_("SelectNodeName"), "\"" + sj("選ぶ") + "\"");
  EXPECT_TRUE(holder->getFlagSort_());
  EXPECT_FALSE(holder->getFlagAscending_());
  EXPECT_TRUE(holder->getFlagSameName_());
  EXPECT_TRUE(holder->getFlagExtra_());
  EXPECT_EQ(holder->body().text(), sj("一行目\r\n二行目\r\n"));
  EXPECT_EQ(holder->getColor_(), 0x00FFFFu);
  EXPECT_EQ(holder->getIndexField_("POPServer"), -1);
  EXPECT_EQ(holder->getField_("To"), "\"to@example.com\"");
  EXPECT_TRUE(holder->modified);

  // Without a main window nothing is stored.
  TFormHolder2 loose;
  loose.loadFromObject(holder);
  loose.CheckBox_FlagSort->setChecked(false);
  loose.OKBtn()->click();
  EXPECT_TRUE(holder->getFlagSort_());
}

TEST_F(DialogTest, DocumentDialogStoresTheColourAndTheMemo) {
  w.doc->body().setText("doc text");
  TFormMXA2 f;
  f.setMainWindow(&w);
  f.loadFromObject(w.doc.get());
  EXPECT_EQ(f.windowTitle(), QStringLiteral("File Propaty"));
  EXPECT_EQ(f.Memo_Memo->toPlainText(), QStringLiteral("doc text"));
  for (QLineEdit* e : f.findChildren<QLineEdit*>()) EXPECT_TRUE(e->text().isEmpty());  // mail page
  f.OKBtn()->click();
  EXPECT_FALSE(w.doc->modified);  // nothing changed
  f.loadFromObject(w.doc.get());
  f.Memo_Memo->setPlainText(QStringLiteral("changed\nsecond line"));
  f.OKBtn()->click();
  EXPECT_EQ(w.doc->getIndexField_("Color"), -1);
  EXPECT_TRUE(w.doc->modified);
  EXPECT_EQ(w.doc->body().text(), "changed\r\nsecond line\r\n");
  w.doc->modified = false;
  f.loadFromObject(w.doc.get());
  f.StaticText_Color->setColor(0xFF0000);
  f.OKBtn()->click();
  EXPECT_EQ(w.doc->getColor_(), 0xFF0000u);
  EXPECT_TRUE(w.doc->modified);
  EXPECT_EQ(w.doc->body().text(), "changed\r\nsecond line\r\n");
}

TEST_F(DialogTest, OrderDialogMovesNotebooksAtOnce) {
  w.addNotebook("two");
  w.addNotebook("three");
  TFormHolders f;
  f.loadFromObject(w.doc.get());
  auto order = [&] {
    std::vector<std::string> names;
    for (int i = 0; i < w.doc->getHolderCount_(); ++i) names.push_back(w.doc->getHolder_(i)->name());
    return names;
  };
  ASSERT_EQ(f.ListBox1()->count(), 3);
  f.UP();  // nothing selected: nothing moves
  f.ListBox1()->setCurrentRow(0);
  f.UP();
  EXPECT_EQ(order(), (std::vector<std::string>{sj("日記"), "two", "three"}));
  EXPECT_FALSE(w.doc->modified);
  f.Down();
  EXPECT_EQ(order(), (std::vector<std::string>{"two", sj("日記"), "three"}));
  EXPECT_EQ(f.ListBox1()->currentRow(), 1);
  f.Bottom();
  f.Bottom();  // already last
  EXPECT_EQ(order(), (std::vector<std::string>{"two", "three", sj("日記")}));
  f.Top();
  f.dropMove(0, 2);
  EXPECT_EQ(order(), (std::vector<std::string>{"two", "three", sj("日記")}));
  EXPECT_EQ(fromQ(f.ListBox1()->item(2)->text()), sj("日記"));
  EXPECT_TRUE(w.doc->modified);
  f.CANCELBtn()->click();  // the moves stay
  EXPECT_EQ(order().front(), "two");
}

TEST_F(DialogTest, ChooserOffersTheCurrentNotebookAndANewOne) {
  MemoHolderUI* first = holder;
  w.addNotebook("two");
  w.holder = first;
  TFormSelectHolder f;
  f.setMainWindow(&w);
  f.fill();
  EXPECT_EQ(f.ListBox1()->count(), 2);
  EXPECT_EQ(f.selectedIndex(), 0);
  f.ListBox1()->setCurrentRow(1);
  f.button(QStringLiteral("OK"))->click();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(f.selectedIndex(), 1);
  f.button(QStringLiteral("Current"))->click();
  EXPECT_EQ(f.selectedIndex(), 0);
  f.button(QStringLiteral("New Holder"))->click();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(f.selectedIndex(), -1);
  f.button(QStringLiteral("CANCEL"))->click();
  EXPECT_EQ(f.result(), QDialog::Rejected);
}

TEST_F(DialogTest, NoteWindowAppliesToItsTargets) {
  w.node = a;
  a->putField_("FlagLink", "\"yes\"");
  a->putField_("Filename", "\"a.txt\"");
  TFormPropatyNode2 f;
  f.setMainWindow(&w);
  f.loadNode_();
  EXPECT_EQ(fromQ(f.StaticText_Holder->text()), sj("日記"));
  EXPECT_EQ(fromQ(f.StaticText_Name->text()), sj("会議 メモ"));
  EXPECT_TRUE(f.RadioGroup_flagLink->button(1)->isChecked());  // any other value reads false
  EXPECT_EQ(f.StaticText_Filename->text(), QStringLiteral("\"a.txt\""));
  f.CheckBox_Created->setChecked(true);
  const int commitsBefore = w.commits;
  f.OK();
  EXPECT_GT(w.commits, commitsBefore);  // the editor is committed first
  EXPECT_EQ(a->getField_("FlagLink"), "\"false\"");
  EXPECT_EQ(a->getField_("Created"), "\"20241207 093000\"");
  EXPECT_EQ(b->getIndexField_("Created"), -1);

  // BasicPut on marked notes: none marked warns; then the two marked get the field.
  f.RadioGroup_EditTarget->button(1)->setChecked(true);
  f.ComboBox_Field->setEditText(QStringLiteral(" Tag "));
  f.ComboBox_value->setEditText(QStringLiteral("\"abc\""));
  f.BasicPut();
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"No Node !"}));
  EXPECT_EQ(rec.kindOf("No Node !"), BoxKind::Warning);
  b->putMarked_(true);
  c->putMarked_(true);
  f.BasicPut();
  EXPECT_EQ(b->getField_("Tag"), "\"abc\"");
  EXPECT_EQ(c->getField_("Tag"), "\"abc\"");
  EXPECT_EQ(a->getIndexField_("Tag"), -1);

  // OK on all notes of the notebook changes only what was changed.
  f.RadioGroup_EditTarget->button(2)->setChecked(true);
  f.loadNode_();
  f.CheckBox_Modified->setChecked(true);
  f.OK();
  for (MemoNode* n : {static_cast<MemoNode*>(a), static_cast<MemoNode*>(b), static_cast<MemoNode*>(c)})
    EXPECT_EQ(n->getField_("Modified"), "\"20241207 093000\"");
  EXPECT_EQ(b->getIndexField_("FlagLink"), -1);
  EXPECT_EQ(b->getIndexField_("Filename"), -1);
}

TEST_F(DialogTest, BatchEditWindowEditsEveryTarget) {
  TFormEditSelNode f;
  f.setMainWindow(&w);
  f.editName(NamePlace::AddTail);
  EXPECT_EQ(f.statusText(), "No MemoNode selected.");
  StringList targets;
  holder->setNodeList_(targets);
  f.setTargets(targets);
  EXPECT_EQ(f.ListBox2()->count(), 3);

  f.ComboBox_name->setEditText(QStringLiteral("  "));
  f.editName(NamePlace::AddTail);
  EXPECT_EQ(f.statusText(), "Empty KeyWord");
  f.ComboBox_name->setEditText(QString::fromUtf8("済"));
  test::buttonOf(&f, QStringLiteral("Add Tail+"))->click();
  EXPECT_EQ(f.statusText(), "Done: Add Tail Name+3");
  EXPECT_EQ(w.noteNames(), (std::vector<std::string>{sj("会議 メモ 済"), sj("b 済"), sj("c 済")}));
  // The list still reaches the renamed notes.
  f.ComboBox_name->setEditText(QStringLiteral("*"));
  f.editName(NamePlace::InsertHeadPlus);
  EXPECT_EQ(f.statusText(), "Done: Insert Head Name+ 3");
  EXPECT_EQ(b->name(), sj("* b 済"));

  b->putField_("Content-Transfer-Encoding", "\"binary\"");
  f.editMemo(LinesPlace::InsertHead);
  EXPECT_EQ(f.statusText(), "Empty!");
  f.Memo_Memo->setPlainText(QString::fromUtf8("先頭"));
  f.editMemo(LinesPlace::InsertHead);
  EXPECT_EQ(f.statusText(), "Done: Insert Head Memo 2");
  EXPECT_EQ(b->body().count(), 0);
  f.Memo_Comment->setPlainText(QString::fromUtf8("注記"));
  f.editComment(LinesPlace::AddTail);
  EXPECT_EQ(f.statusText(), "Done: Insert add Tail Comment 3");
  EXPECT_EQ(b->comment()->text(), sj("注記\r\n"));

  f.setField();
  EXPECT_EQ(f.statusText(), "Field is Empty.");
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"Field is Empty."}));
  EXPECT_EQ(rec.kindOf("Field is Empty."), BoxKind::Warning);
  f.ComboBox_Field->setEditText(QStringLiteral("Tag"));
  f.ComboBox_Value->setEditText(QStringLiteral(""));
  f.setField();
  EXPECT_EQ(f.statusText(), "*Done Set Field count=3 Field=Tag Value=\"\"");
  EXPECT_EQ(c->getField_("Tag"), "\"\"");
  f.ComboBox_Value->setEditText(QStringLiteral("v"));
  f.setField();
  f.ComboBox_Value->setEditText(QStringLiteral("v"));
  f.setField();
  EXPECT_EQ(f.ComboBox_Value->count(), 2);  // "v" once, at the top, then ""
  EXPECT_EQ(f.ComboBox_Value->itemText(0), QStringLiteral("v"));
  EXPECT_EQ(f.ComboBox_Field->count(), 1);
  f.ComboBox_Field->setEditText(QStringLiteral("Tag"));
  f.ComboBox_Value->setEditText(QStringLiteral("w"));
  f.deleteField();
  EXPECT_EQ(f.statusText(), "*Done: Delete Field count=3 KeyWord=Tag");
  EXPECT_EQ(a->getIndexField_("Tag"), -1);
  // "Delete" keeps both histories too.
  EXPECT_EQ(f.ComboBox_Value->itemText(0), QStringLiteral("w"));
  EXPECT_EQ(f.ComboBox_Field->count(), 1);

  // A note deleted after the hand-over is left alone, and the status counts it gone.
  holder->removeNode_(c);
  delete c;
  f.ComboBox_name->setEditText(QStringLiteral("!"));
  f.editName(NamePlace::AddTail);
  EXPECT_EQ(f.statusText(), "Done: Add Tail Name 2 (gone: 1)");

  f.ComboBox_Field->setEditText(QString());
  a->putField_("Zeta", "\"1\"");
  a->putField_("Alpha", "\"1\"");
  f.updateField();
  EXPECT_GE(f.ComboBox_Field->count(), 2);
  EXPECT_LT(f.ComboBox_Field->findText(QStringLiteral("Alpha")), f.ComboBox_Field->findText(QStringLiteral("Zeta")));
}

TEST_F(DialogTest, NameEditorWorksOnJapaneseNames) {
  test::FakeClipboard clip;
  MemoNodeUI* dated = w.addNote(sj("5 予定 表"));
  TFormName f;
  f.setMainWindow(&w);
  f.loadFromObject(dated);
  EXPECT_EQ(fromQ(f.windowTitle()), "Change MemoNode's Name : noname : " + sj("日記"));
  EXPECT_EQ(f.nameText(), sj("5 予定 表 "));
  EXPECT_EQ(f.calendarDate().day, 5);
  EXPECT_EQ(f.calendarDate().month, 12);

  f.button(QStringLiteral("$1"), QStringLiteral("Inc"))->click();
  EXPECT_EQ(f.nameText(), sj("6 予定 表"));
  f.button(QStringLiteral("$2"), QString::fromUtf8("土"))->click();
  EXPECT_EQ(f.nameText(), sj("6 土 予定 表"));
  f.button(QStringLiteral("$3"), QStringLiteral("cut3"))->click();
  EXPECT_EQ(f.nameText(), sj("6 土 表"));
  f.button(QStringLiteral("$1"), QString::fromUtf8("★"))->click();
  EXPECT_EQ(f.nameText(), sj("★ 6 土 表"));
  f.setCalendarDate({2025, 1, 2, 0, 0, 0, 0});
  f.button(QStringLiteral("Calendar"), QStringLiteral("Set"))->click();
  EXPECT_EQ(f.nameText(), sj("★ 20250102 土 表"));
  f.button(QStringLiteral("Calendar"), QStringLiteral("<<"))->click();
  EXPECT_EQ(f.calendarDate().year, 2024);
  f.button(QString(), QStringLiteral("CT1"))->click();
  EXPECT_EQ(f.nameText(), sj("★ 20250102 土 "));
  f.button(QString(), QStringLiteral("CH1"))->click();
  EXPECT_EQ(f.nameText(), sj(" 20250102 土 "));
  f.button(QString(), QStringLiteral("Reset"))->click();
  EXPECT_EQ(f.nameText(), sj("5 予定 表"));
  f.button(QString(), QStringLiteral("All"))->click();
  f.button(QString(), QStringLiteral("COPY"))->click();
  EXPECT_EQ(clip.text(), sj("5 予定 表"));
  clip.setText(sj("貼付"));
  f.button(QString(), QStringLiteral("Paste"))->click();
  EXPECT_EQ(f.nameText(), sj("貼付"));
  f.button(QString(), QStringLiteral("Clear"))->click();
  EXPECT_EQ(f.nameText(), "");

  // Accepting the same text twice keeps one history entry.
  f.setNameText(sj("新しい名前"));
  f.OKBtn()->click();
  f.setNameText(sj("新しい名前"));
  f.OKBtn()->click();
  EXPECT_EQ(f.ComboBox_Name()->count(), 1);
  EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(DialogTest, NameEditorOkPutsEvenABlankNameAtTheTopOfTheHistory) {
  TFormName f;
  f.setMainWindow(&w);
  f.loadFromObject(w.addNote("first"));
  f.show();
  QTest::mouseClick(f.OKBtn(), Qt::LeftButton);
  ASSERT_EQ(f.ComboBox_Name()->count(), 1);
  f.loadFromObject(w.addNote("second"));
  f.show();
  f.button(QString(), QStringLiteral("Clear"))->click();
  QTest::mouseClick(f.OKBtn(), Qt::LeftButton);
  ASSERT_EQ(f.ComboBox_Name()->count(), 2);
  EXPECT_EQ(f.ComboBox_Name()->itemText(0), QString());
  f.show();
  f.setNameText("  ");
  QTest::mouseClick(f.OKBtn(), Qt::LeftButton);
  ASSERT_EQ(f.ComboBox_Name()->count(), 3);
  EXPECT_EQ(f.ComboBox_Name()->itemText(0), QStringLiteral("  "));
  EXPECT_EQ(f.ComboBox_Name()->itemText(1), QString());
}

// A user selects part of the name and clicks COPY or Paste: the click takes the focus
// away from the name box, and Qt drops its selection with it.
TEST_F(DialogTest, NameEditorCopyAndPasteActOnTheSelectionMadeBeforeTheClick) {
  test::FakeClipboard clip;
  MemoNodeUI* note = w.addNote(sj("会議 メモ 残り"));
  TFormName f;
  f.setMainWindow(&w);
  f.loadFromObject(note);
  f.show();
  QApplication::setActiveWindow(&f);
  QLineEdit* box = f.ComboBox_Name()->lineEdit();
  box->setFocus();
  if (!box->hasFocus()) GTEST_SKIP() << "no keyboard focus on this platform";
  QPushButton* copy = f.button(QString(), QStringLiteral("COPY"));
  QPushButton* paste = f.button(QString(), QStringLiteral("Paste"));

  clip.setText("kept");
  box->setSelection(3, 3);  // メモ and the blank after it
  QTest::mouseClick(copy, Qt::LeftButton);
  EXPECT_TRUE(copy->hasFocus());
  EXPECT_EQ(clip.text(), sj("メモ "));

  clip.setText(sj("表 "));
  QTest::mouseClick(paste, Qt::LeftButton);
  EXPECT_EQ(f.nameText(), sj("会議 表 残り "));

  // Without a selection Paste puts the text at the caret, as the box would.
  box->setFocus();
  box->deselect();
  box->setCursorPosition(0);
  clip.setText("x");
  QTest::mouseClick(paste, Qt::LeftButton);
  EXPECT_EQ(f.nameText(), sj("x会議 表 残り "));
  f.close();
}

}  // namespace

// The search, grep and field scan windows against a small main window holding a real
// document: notebooks A (n1 "apple pie", n2 "banana") and B (n3 "Apple").
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <filesystem>
#include <fstream>

#include "dialogs/SearchWindows.h"
#include "support/FakeClipboard.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/gui_input.h"
#include "support/qt_app.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {
namespace {

// A main window over a real document; it records the editor protocol and the loads.
class DocWindow : public test::FakeMainWindow {
 public:
  DocWindow() : file(Create<MemoFileUI>(nullptr)) {
    table.add("newMemoNode_", [this] {
      MemoHolderUI* h = getCurrentHolder();
      auto* n = static_cast<MemoNodeUI*>(h->createNewNode_());
      changeCurrentNode_(n);
      calls.push_back("new note");
      return 0;
    });
  }
  MemoFileUI* getMemoFile() override { return file.get(); }
  MemoHolderUI* getCurrentHolder() override { return file->getCurrentHolder_(); }
  MemoNodeUI* getCurrentNode() override { return file->getCurrentNode_(); }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* node) override {
    file->putCurrentNode(node);
    calls.push_back("note " + node->name());
    return node;
  }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* holder) override {
    file->putCurrentHolder(holder);
    calls.push_back("notebook " + holder->name());
    return holder;
  }
  int loadHolder(MemoHolderUI* holder) override {
    calls.push_back("load " + holder->name());
    auto* n = holder->newNode_();
    holder->addNode_(n, "c1");
    n->body().setText("apple from file");
    holder->loaded = true;
    return 1;
  }
  bool isDoing_() override { return doing; }
  bool isBreak() const override { return breakFlag; }
  bool checkUIReadOnly() override { return uiReadOnly; }
  int UI2Model() override {
    calls.push_back("UI2Model");
    return 0;
  }
  void Model2UI() override { calls.push_back("Model2UI"); }

  std::unique_ptr<MemoFileUI> file;
  std::vector<std::string> calls;
  bool doing = false;
  bool uiReadOnly = false;
};

class SearchWindowsTest : public ::testing::Test {
 protected:
  SearchWindowsTest() { test::qtApp(); }
  void SetUp() override {
    a = addHolder("A");
    b = addHolder("B");
    n1 = addNote(a, "n1", "apple pie");
    n2 = addNote(a, "n2", "banana");
    n3 = addNote(b, "n3", "Apple");
    w.file->putCurrentHolder(a);
    w.file->putCurrentNode(n1);
  }
  MemoHolderUI* addHolder(const std::string& name) {
    auto* h = static_cast<MemoHolderUI*>(w.file->addNewHolder_(-1));
    std::string actual;
    h->putName_(name, actual);
    return h;
  }
  MemoNodeUI* addNote(MemoHolderUI* h, const std::string& name, const std::string& body) {
    auto* n = static_cast<MemoNodeUI*>(h->newNode_());
    h->addNode_(n, name);
    n->body().setText(body);
    return n;
  }
  TFormScanHolders* holdersWindow(const std::string& keyword) {
    TFormScanHolders* f = windows.holdersWindow();
    f->setMainWindow(&w);
    f->update();
    f->selectAll();
    f->ComboBox1->setEditText(toQ(keyword));
    return f;
  }
  template <class List>
  static std::vector<std::string> items(List* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
      if constexpr (std::is_same_v<List, LinesList>)
        out.push_back(fromQ(list->text(i)));
      else
        out.push_back(fromQ(list->item(i)->text()));
    }
    return out;
  }

  RecordingPrompter rec;
  ScopedPrompter scoped{&rec};
  DocWindow w;
  SearchWindows windows;
  MemoHolderUI *a = nullptr, *b = nullptr;
  MemoNodeUI *n1 = nullptr, *n2 = nullptr, *n3 = nullptr;
};

TEST_F(SearchWindowsTest, ScanListsTheTickedNotebooksAndKeepsTheKeyword) {
  TFormScanHolders* f = holdersWindow("apple");
  f->scan();
  EXPECT_EQ(items(f->ListBox2), (std::vector<std::string>{"A n1", "B n3"}));
  EXPECT_EQ(f->status(), "*Done Scan* count=2 keyWord=apple");
  EXPECT_EQ(windows.keywords().items()[0], "apple");
  EXPECT_EQ(f->ComboBox1->itemText(0), "apple");
  EXPECT_TRUE(rec.asked.empty());

  f->unselect();
  f->scan();
  EXPECT_EQ(f->status(), "*Done Scan* No match KeyWord=apple");
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"*Done Scan* No match KeyWord=apple"}));
  EXPECT_EQ(rec.kindOf("*Done Scan* No match KeyWord=apple"), BoxKind::Confirmation);

  f->ComboBox1->setEditText("");
  f->scan();
  EXPECT_EQ(f->status(), "KeyWord is Empty.");
  EXPECT_EQ(rec.messages().back(), "KeyWord is Empty.");
  EXPECT_EQ(rec.kindOf("KeyWord is Empty."), BoxKind::Warning);

  // Without a main window, or while an operation runs, nothing happens.
  f->ComboBox1->setEditText("apple");
  w.doing = true;
  f->scan();
  EXPECT_EQ(f->status(), "KeyWord is Empty.");
  w.doing = false;
  f->setMainWindow(nullptr);
  f->scan();
  EXPECT_EQ(f->status(), "KeyWord is Empty.");
}

TEST_F(SearchWindowsTest, UpdateKeepsTheTicksOfTheSameNotebooks) {
  TFormScanHolders* f = holdersWindow("apple");
  f->unselect();
  f->CheckListBox1->setTicked(1, true);  // B
  addHolder("C");
  f->update();
  ASSERT_EQ(f->CheckListBox1->count(), 3);
  EXPECT_EQ(f->CheckListBox1->tickedNames(), (std::vector<std::string>{"B"}));
  f->selectCurrent();
  EXPECT_EQ(f->CheckListBox1->tickedNames(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(SearchWindowsTest, GrepWordsLinesAndReadsOnlyNotebooksWhoseFileExists) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "wux-search-grep";
  fs::create_directories(dir);
  w.file->putFileName_((dir / "doc.mxa").string());
  MemoHolderUI* c = addHolder("C");
  MemoHolderUI* d = addHolder("D");
  MemoHolderUI* e = addHolder("E");  // a folder: there, so the window's loading reports it
  c->loaded = d->loaded = e->loaded = false;
  std::ofstream(c->getFileName_()) << "x";
  fs::remove(d->getFileName_());
  fs::create_directories(e->getFileName_());

  TFormScanHolders* f = holdersWindow("apple");
  f->PageControl1->setCurrentWidget(f->TabSheet_List);
  f->grep();
  EXPECT_EQ(f->PageControl1->currentWidget(), f->TabSheet_Grep);
  const std::string text = fromQ(f->Memo_Grep->toPlainText());
  EXPECT_EQ(text,
            "A:n1:Memo:000001:      1: apple pie\nB:n3:Memo:000001:      1: Apple\n"
            "C:c1:Memo:000001:      1: apple from file\nE:c1:Memo:000001:      1: apple from file");
  EXPECT_EQ(f->status(), "*Grep* apple E");
  EXPECT_EQ(w.calls, (std::vector<std::string>{"UI2Model", "load C", "load E"}));
  EXPECT_FALSE(d->loaded);

  f->ComboBox1->setEditText("cherry");
  f->grep();
  EXPECT_EQ(f->status(), "No match");
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"No match"}));
  EXPECT_EQ(rec.kindOf("No match"), BoxKind::Confirmation);
  fs::remove_all(dir);
}

TEST_F(SearchWindowsTest, ReplaceCommitsTheEditorFirstAndShowsAfter) {
  TFormScanHolders* f = holdersWindow("apple");
  f->ComboBox2->setEditText("pear");
  f->CheckBox_Ignore->setChecked(false);
  f->replace();
  EXPECT_EQ(items(f->ListBox2), (std::vector<std::string>{"A:n1:replace Memo 000001"}));
  EXPECT_EQ(f->status(), "*Done Replace* count=1 KeyWord=apple");
  EXPECT_EQ(w.calls, (std::vector<std::string>{"UI2Model", "Model2UI"}));
  EXPECT_EQ(n1->body().text(), "pear pie\r\n");
  EXPECT_TRUE(a->modified);
  EXPECT_FALSE(b->modified);

  // A read-only notebook is left as it is; the switched-off interface refuses.
  b->putReadOnly_(true);
  f->CheckBox_Ignore->setChecked(true);
  f->replace();
  EXPECT_EQ(n3->body().text(), "Apple\r\n");
  // So is a note read-only by its own flag.
  n1->putReadOnly_(true);
  f->ComboBox1->setEditText("pear");
  f->replace();
  EXPECT_EQ(n1->body().text(), "pear pie\r\n");
  w.uiReadOnly = true;
  f->ComboBox1->setEditText("banana");
  f->replace();
  EXPECT_EQ(n2->body().text(), "banana\r\n");
}

TEST_F(SearchWindowsTest, LinesOfDeletedNotesAreInertAndLiveOnesGoToTheirNote) {
  TFormScanHolders* f = holdersWindow("apple");
  f->scan();
  f->clickLine(1);
  EXPECT_EQ(w.calls, (std::vector<std::string>{"UI2Model", "notebook B", "note n3"}));
  b->removeNode_(n3);
  delete n3;
  w.calls.clear();
  f->clickLine(1);
  EXPECT_TRUE(w.calls.empty());
  EXPECT_EQ(f->status(), "Exit: the MemoNode of this line is gone.");
  f->mark(true);
  EXPECT_TRUE(n1->isMarked_());
  EXPECT_EQ(f->status(), "Done: Mark count=2 (gone: 1)");
  EXPECT_EQ(w.calls, (std::vector<std::string>{"UI2Model", "Model2UI"}));
  f->mark(false);
  EXPECT_FALSE(n1->isMarked_());
}

TEST_F(SearchWindowsTest, BreakStopsALongScan) {
  for (int i = 0; i < 600; ++i) addNote(b, "more", "apple");
  TFormScanHolders* f = holdersWindow("apple");
  w.breakFlag = true;
  f->scan();
  EXPECT_EQ(f->status(), "Break: Scan apple");
  EXPECT_LT(f->ListBox2->count(), 600);
}

TEST_F(SearchWindowsTest, NewNoteAndEditSelectTakeTheListedNotes) {
  TFormScanHolders* f = holdersWindow("apple");
  f->scan();
  f->editSelect();
  EXPECT_EQ(f->status(), "ERROR: FormEditSelNode = nil in TFormScanHolders.");
  StringList handed;
  f->setBatchEditor([&](StringList& targets) {
    handed = targets;
    return true;
  });
  f->editSelect();
  ASSERT_EQ(handed.count(), 2);
  EXPECT_EQ(handed[1], "1");
  EXPECT_EQ(handed.object(1), n3);
  f->clearList();
  f->editSelect();
  EXPECT_EQ(f->status(), "No MemoNode selected.");
  f->copyHolder();
  f->moveHolder();
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"Still  Not Impliment", "Still Not Impliment"}));
}

TEST_F(SearchWindowsTest, TheCurrentNotebookWindowSearchesOnlyIt) {
  TFormScanHolder* f = windows.holderWindow();
  f->setMainWindow(&w);
  f->ComboBox1->setEditText("apple");
  f->scan();
  EXPECT_EQ(items(f->ListBox2), (std::vector<std::string>{"A n1"}));
  EXPECT_EQ(f->status(), "*Done Scan* apple 1");
  f->grep();
  EXPECT_EQ(f->status(), "*Done Grep* count=1 KeyWord=apple");
  f->ComboBox1->setEditText("kiwi");
  f->scan();
  EXPECT_EQ(f->status(), "*Done Scan* No match");
  EXPECT_EQ(rec.kindOf("*Done Scan* No match"), BoxKind::Warning);
  EXPECT_EQ(windows.keywords().items()[0], "kiwi");
}

TEST_F(SearchWindowsTest, NoteWindowFindsAndReplacesInCopiesOnly) {
  n1->body().setText("a cat, a Cat, a cat");
  TFormScanNode* f = windows.nodeWindow();
  f->setMainWindow(&w);
  f->update();
  EXPECT_EQ(fromQ(f->StaticText_Name->text()), "n1");
  f->ComboBox1->setEditText("cat");
  f->scan(TFormScanNode::PageMemo);
  f->findNext(TFormScanNode::PageMemo, "Cat");
  EXPECT_EQ(f->RichEdit_Memo->textCursor().selectionStart(), 9);
  f->ComboBox_ReplaceMemo->setEditText("dog");
  f->replace(TFormScanNode::PageMemo);
  EXPECT_EQ(f->replaceBox(TFormScanNode::PageMemo)->replaceText->text(), "dog");
  f->replaceFirst(TFormScanNode::PageMemo);
  f->replaceFirst(TFormScanNode::PageMemo);
  EXPECT_EQ(fromQ(f->RichEdit_Memo->toPlainText()), "a dog, a Cat, a dog");
  f->replaceFirst(TFormScanNode::PageMemo);
  EXPECT_EQ(rec.messages(), (std::vector<std::string>{"Could not find \"cat\" in Memo1."}));
  EXPECT_EQ(rec.kindOf("Could not find \"cat\" in Memo1."), BoxKind::Error);
  EXPECT_EQ(n1->body().text(), "a cat, a Cat, a cat\r\n");

  f->grep();
  EXPECT_EQ(fromQ(f->Memo_Grep->toPlainText()), "A:n1:Memo:000001:      1: a cat, a Cat, a cat");
  EXPECT_EQ(f->status(), "*Done Grep* count=1 KeyWord=cat");
  f->newNode();
  EXPECT_EQ(w.calls.back(), "new note");
}

// n1 and n3 carry Color="clRed", n2 a field but no Color.
class FieldWindowTest : public SearchWindowsTest {
 protected:
  void SetUp() override {
    SearchWindowsTest::SetUp();
    n1->putField_("Color", "\"clRed\"");
    n3->putField_("Color", "\"clRed\"");
    n2->putField_("Size", "\"10\"");
    f = windows.fieldWindow();
    f->setMainWindow(&w);
    f->upHolder();
    f->CheckListBox1->tickAll(true);
    f->ComboBox_Field->setEditText("Color");
  }
  TFormField* f = nullptr;
};

TEST_F(FieldWindowTest, UpHolderTicksTheCurrentNotebookOnlyAndUpdateKeepsTheTicks) {
  // Both ticked; a notebook added since shows up unticked.
  addHolder("C");
  test::click(f, "Up Holder");
  EXPECT_EQ(items(f->CheckListBox1), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(f->CheckListBox1->tickedNames(), std::vector<std::string>{"A"});
  w.file->putCurrentHolder(b);
  w.file->putCurrentNode(n3);
  test::click(f, "Up Holder");
  EXPECT_EQ(f->CheckListBox1->tickedNames(), std::vector<std::string>{"B"});

  TFormScanHolders* h = holdersWindow("apple");  // every notebook ticked
  h->CheckListBox1->setTicked(0, false);
  test::click(h, "Update");
  EXPECT_EQ(h->CheckListBox1->tickedNames(), (std::vector<std::string>{"B", "C"}));
}

TEST_F(FieldWindowTest, TypedNamesAreTrimmedAndNamesAFileCannotHoldAreRefused) {
  QLineEdit* name = f->ComboBox_Field->lineEdit();
  name->clear();
  QTest::keyClicks(name, "Color ");
  test::click(f, "Scan");
  EXPECT_EQ(f->status(), "*Done: Scan Field count=2 KeyWord=Color");
  f->ComboBox_ReplaceValue->setEditText("clBlue");
  test::click(f, "Set");
  EXPECT_EQ(n1->getField_("Color"), "\"clBlue\"");
  EXPECT_EQ(n1->fieldList()->count(), 1);
  for (const char* bad : {"a=b", "a\"b", "<a", "a b"}) {
    name->clear();
    QTest::keyClicks(name, bad);
    test::click(f, "Delete");
    const std::string why = std::string("Field name may not hold =, a blank, a quote, <, > or a control character: ") + bad;
    EXPECT_EQ(f->status(), why);
    EXPECT_EQ(rec.kindOf(why), BoxKind::Warning);
  }
  EXPECT_EQ(n3->getField_("Color"), "\"clBlue\"");
}

TEST_F(SearchWindowsTest, ResultLinesAreClickedSelectedAndCopiedAsAPersonDoes) {
  test::FakeClipboard clip;
  TFormScanHolders* f = holdersWindow("apple");
  f->show();
  f->PageControl1->setCurrentWidget(f->TabSheet_List);
  f->scan();
  LinesList* list = f->ListBox2;
  w.calls.clear();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
  EXPECT_EQ(w.calls, (std::vector<std::string>{"notebook B", "note n3"}));

  f->grep();
  LinesView* text = f->Memo_Grep;
  const int line = text->fontMetrics().lineSpacing();
  QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(1, line / 2));
  QTest::keyClick(text, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(text, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clip.text(), "A:n1:Memo:000001:      1: apple pie\nB:n3:Memo:000001:      1: Apple");
  // A drag from the start of the second line to the fifth column.
  QTest::mousePress(text->viewport(), Qt::LeftButton, {}, QPoint(1, line + line / 2));
  QMouseEvent move(QEvent::MouseMove, QPointF(1 + text->fontMetrics().horizontalAdvance("B:n3"), line + line / 2),
                   text->viewport()->mapToGlobal(QPointF(0, 0)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(text->viewport(), &move);
  QTest::mouseRelease(text->viewport(), Qt::LeftButton);
  QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clip.text(), "B:n3");
  f->close();
}

TEST_F(SearchWindowsTest, ALineShownCutIsCopiedWholeAndADoubleClickTakesAWord) {
  test::FakeClipboard clip;
  const std::vector<std::string> lines{"alpha beta gamma", std::string(kMostShownBytes + 10, 'y') + "END"};
  LinesView view;
  view.setSource({[&] { return lines.size(); }, [&](std::size_t i) { return std::string_view(lines[i]); }});
  view.resize(300, 200);
  view.show();
  const int line = view.fontMetrics().lineSpacing();
  QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(3 + view.fontMetrics().horizontalAdvance("alpha be"), line / 2));
  EXPECT_EQ(fromQ(view.selectedText()), "beta");
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clip.text(), lines[0] + "\n" + lines[1]);
  EXPECT_EQ(ShownLineText(lines[1]).size(), static_cast<qsizetype>(kMostShownBytes));
}

TEST_F(FieldWindowTest, ScanAndScanNot) {
  EXPECT_EQ(f->scan(), 2);
  EXPECT_EQ(items(f->ListBox2), (std::vector<std::string>{"A : n1 : Color=\"clRed\"", "B : n3 : Color=\"clRed\""}));
  EXPECT_EQ(f->status(), "*Done: Scan Field count=2 KeyWord=Color");
  EXPECT_EQ(f->scan(true), 1);
  EXPECT_EQ(f->status(), "*Done: Not Scan Field count=1 KeyWord=Color");
  f->ScanOp_Both->setChecked(true);
  f->ComboBox_Value->setEditText("CLRED");
  EXPECT_EQ(f->scan(), 2);
  f->CheckListBox1->tickAll(false);
  EXPECT_EQ(f->scan(), -1);
  EXPECT_EQ(f->status(), "no MemoHolder selected.");
  f->ComboBox_Field->setEditText("");
  EXPECT_EQ(f->scan(), -1);
  EXPECT_EQ(f->status(), "Field is Empty.");
  EXPECT_EQ(rec.kindOf("Field is Empty."), BoxKind::Warning);
}

TEST_F(FieldWindowTest, ReplaceSetAndDeleteChangeTheListedNotes) {
  f->ComboBox_Value->setEditText("cl");
  f->ComboBox_ReplaceValue->setEditText("x");
  f->replace();
  EXPECT_EQ(f->status(), "*Done: Replace count=2/2 KeyWord=Color");
  EXPECT_EQ(n1->getField_("Color"), "\"xRed\"");
  EXPECT_EQ(w.calls.back(), "Model2UI");
  f->ComboBox_ReplaceValue->setEditText("clBlue");
  f->set();
  EXPECT_EQ(f->status(), "*Done: Set count=2 KeyWord=Color");
  EXPECT_EQ(n3->getField_("Color"), "\"clBlue\"");
  b->putReadOnly_(true);
  f->deleteField();
  EXPECT_EQ(f->status(), "*Done: Delete Field count=1 KeyWord=Color");
  EXPECT_EQ(n1->getIndexField_("Color"), -1);
  EXPECT_EQ(n3->getField_("Color"), "\"clBlue\"");
  f->ComboBox_Field->setEditText("Nothing");
  f->set();
  EXPECT_EQ(f->status(), "No MemoNode.");
}

TEST_F(FieldWindowTest, FieldNamesValuesAndDeletedNotes) {
  w.file->putCurrentNode(nullptr);
  w.file->putCurrentHolder(a);
  f->fieldNames();
  EXPECT_EQ(f->ComboBox_Field->itemText(0), "Color");
  f->values(f->ComboBox_Value);
  EXPECT_EQ(f->ComboBox_Value->currentText(), "clRed");
  f->ComboBox_Field->setEditText(" ");
  f->values(f->ComboBox_Value);
  EXPECT_EQ(f->status(), "Field name is empty.");

  f->ComboBox_Field->setEditText("Color");
  f->scan();
  a->removeNode_(n1);
  delete n1;
  f->mark(true);
  EXPECT_TRUE(n3->isMarked_());
  f->clickLine(0);
  EXPECT_EQ(f->status(), "Exit: the MemoNode of this line is gone.");
}

TEST_F(SearchWindowsTest, LaunchersLinkAndCaptionTheWindows) {
  EXPECT_EQ(UIShowScanMemoHolders(w, windows), 0);
  EXPECT_TRUE(windows.holdersWindow()->isVisible());
  EXPECT_EQ(windows.holdersWindow()->windowTitle(), "FormScanHolder noname");
  EXPECT_EQ(windows.holdersWindow()->CheckListBox1->count(), 2);
  EXPECT_EQ(w.status().rfind("Show FormScanHolders ", 0), 0u);
  EXPECT_EQ(UIShowScanMemoHolder(w, windows), 0);
  EXPECT_EQ(windows.holderWindow()->windowTitle(), "FormScanHolder A");
  bool shown = false;
  windows.showModal = [&](QDialog& d) { shown = d.windowTitle() == "FormScanNode n1"; };
  EXPECT_EQ(UIShowScanMemoNode(w, windows), 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(UIShowScanField(w, windows), 0);
  EXPECT_EQ(windows.fieldWindow()->CheckListBox1->tickedNames(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(w.status().rfind("Show FormField ", 0), 0u);
  for (QWidget* win : {static_cast<QWidget*>(windows.holdersWindow()), static_cast<QWidget*>(windows.holderWindow()),
                       static_cast<QWidget*>(windows.fieldWindow())})
    win->close();
}

}  // namespace
}  // namespace wux

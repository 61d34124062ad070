// Work on many notes at once: Save Each (Over) with linked notes, the batch editor's
// targets, and read-only notebooks and switch in the batch windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "dialogs/ExportWindows.h"
#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormScanHolders.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/file_text.h"
#include "support/gui_input.h"
#include "support/linked_notes.h"

namespace wux {
namespace {

using test::click;

void addTail(TFormEditSelNode* editor, const char* text) {
  editor->ComboBox_name->lineEdit()->clear();
  QTest::keyClicks(editor->ComboBox_name->lineEdit(), text);
  click(editor, "Add Tail");
}

template <class W>
W* shownWindow() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<W*>(top); f && f->isVisible()) return f;
  return nullptr;
}

class BatchNotesTest : public test::NewDocumentTest {
 protected:
  BatchNotesTest() : NewDocumentTest({2026, 12, 7, 9, 0, 0, 0}) {}

  std::string dir() const { return tmp.path.string() + "/"; }
  // A note linked to `file`, added without being shown (so its file is not read).
  MemoNodeUI* linked(const std::string& name, const std::string& file) {
    return static_cast<MemoNodeUI*>(test::addLinkedNote(*holder(), name, file));
  }
  void write(const std::string& path, const std::string& bytes) {
    platform::makeDirs(platform::dirOf(path));
    ASSERT_TRUE(platform::writeFileAtomic(path, bytes)) << path;
  }
  TFormEditSelNode* batchEditor() {
    EXPECT_EQ(run("showFormEditSelNode"), 0);
    return shownWindow<TFormEditSelNode>();
  }
  // Save Each from the table, set up by `prepare`, run; answers its log.
  std::vector<std::string> saveEach(const std::function<void(TFormSaveEach&)>& prepare = {}) {
    std::vector<std::string> log;
    test::whenModal<TFormSaveEach>([&](TFormSaveEach* d) {
      d->clearLog();
      if (prepare) prepare(*d);
      click(d, "Save Each");
      log = d->logLines();
      statusInWindow = status();
    });
    run("UIShowFormSaveEach_");
    return log;
  }
  static std::string notSaved(const std::string& name, const std::string& file) {
    return "Not Save name=" + name + " Filename=\"" + file + "\" (the linked file itself)";
  }
  static bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // The file list from the table, on its "Make Nodes" page with one line.
  TFormFileList* fileList() {
    auto* files = run("UIShowFileList") == 0 ? shownWindow<TFormFileList>() : nullptr;
    if (!files) return nullptr;
    files->findChild<QTabWidget*>()->setCurrentIndex(1);
    StringList lines;
    lines.add(dir() + "one.txt");
    files->setLines(lines);
    return files;
  }
  std::string statusInWindow;  // the main status while Save Each was open
};

TEST_F(BatchNotesTest, SaveEachNeverEmptiesTheLinkedFileItself) {
  const std::string bytes = test::imageBytes("JPG", 120, 90);
  write(dir() + "photo.jpg", bytes);
  write(dir() + "src/pic.jpg", bytes);
  linked("photo", dir() + "photo.jpg");  // lies in the window's default folder
  linked("pic", dir() + "src/pic.jpg");
  linked("lost", dir() + "src/lost.jpg");
  rec.answers = {Answer::Yes, Answer::Yes, Answer::Yes};

  std::vector<std::string> log = saveEach();
  EXPECT_EQ(test::fileText(dir() + "photo.jpg"), bytes);
  EXPECT_TRUE(has(log, notSaved("photo", dir() + "photo.jpg")));
  // Another target gets the file's bytes, read first.
  EXPECT_EQ(test::fileText(dir() + "pic.jpg"), bytes);
  EXPECT_TRUE(has(log, "Failure: Save lost : " + dir() + "lost.jpg : not found: " + dir() + "src/lost.jpg"));
  EXPECT_FALSE(platform::fileExists(dir() + "lost.jpg"));
  EXPECT_EQ(log.back(), "Failure: lost: not found: " + dir() + "src/lost.jpg");
  EXPECT_TRUE(rec.asked.empty());

  // Without a save folder the target is the note's own file: still never written.
  log = saveEach([](TFormSaveEach& d) { d.CheckBox_DefineSaveDirectory->setChecked(false); });
  EXPECT_EQ(test::fileText(dir() + "src/pic.jpg"), bytes);
  EXPECT_EQ(test::fileText(dir() + "photo.jpg"), bytes);
  EXPECT_TRUE(has(log, notSaved("photo", dir() + "photo.jpg")));

  // Shown (and so read) but unchanged, it has nothing to write onto its own file.
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_("photo")));
  log = saveEach([](TFormSaveEach& d) { d.CheckBox_DefineSaveDirectory->setChecked(true); });
  EXPECT_TRUE(has(log, notSaved("photo", dir() + "photo.jpg")));
  EXPECT_EQ(test::fileText(dir() + "photo.jpg"), bytes);
}

TEST_F(BatchNotesTest, SaveEachOverNeverEmptiesTheLinkedFileItself) {
  const std::string bytes = test::imageBytes("JPG", 120, 90);
  write(dir() + "photo.jpg", bytes);
  MemoNodeUI* own = linked("photo", dir() + "photo.jpg");
  MemoNodeUI* lost = linked("lost", dir() + "lost.jpg");
  own->setMarked_(true);
  lost->setMarked_(true);
  rec.answers = {Answer::Yes, Answer::Yes};
  EXPECT_EQ(run("UISaveMarks"), holder()->getNodeCount_());
  EXPECT_EQ(test::fileText(dir() + "photo.jpg"), bytes);
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_TRUE(logHas(notSaved("photo", dir() + "photo.jpg")));
  // A missing linked file is its own target too: nothing to read, nothing written.
  EXPECT_TRUE(logHas(notSaved("lost", dir() + "lost.jpg")));
  EXPECT_FALSE(platform::fileExists(dir() + "lost.jpg"));
  EXPECT_EQ(status(), "Done: Save Marks 0 / 2");

  // Shown but unchanged, it is not written either.
  form->changeCurrentNode_(own);
  EXPECT_EQ(run("UISaveMarks"), holder()->getNodeCount_());
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(test::fileText(dir() + "photo.jpg"), bytes);
  EXPECT_EQ(status(), "Done: Save Marks 0 / 2");
}

TEST_F(BatchNotesTest, SaveEachOverWritesALinkedTextOnlyWhenChangedKeepingItsLineEnds) {
  const std::string file = dir() + "notes.txt";
  write(file, "first line\nsecond line\nthird one\n");
  MemoNodeUI* n = linked("notes", file);
  n->setMarked_(true);
  form->changeCurrentNode_(n);
  rec.answers = {Answer::Yes};
  run("UISaveMarks");
  EXPECT_EQ(test::fileText(file), "first line\nsecond line\nthird one\n");
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_TRUE(logHas(notSaved("notes", file)));

  editor()->MemoNode0()->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor()->MemoNode0(), " 4th");
  run("UISaveMarks");
  EXPECT_EQ(test::fileText(file), "first line\nsecond line\nthird one 4th\n");
  EXPECT_EQ(status(), "Done: Save Marks 1 / 1");
}

TEST_F(BatchNotesTest, BatchEditNeverTouchesANoteMadeWhereAFreedTargetLived) {
  MemoNodeUI* keep = note("keep", "");
  MemoNodeUI* doomed = note("doomed", "");
  auto* editor = batchEditor();
  ASSERT_NE(editor, nullptr);
  const int lines = editor->ListBox2()->count();

  // The notebook lets go of a target, and a new note is made at the very address it had.
  form->changeCurrentNode_(keep);
  holder()->removeNode_(doomed);
  void* at = doomed;
  doomed->~MemoNodeUI();
  auto* made = new (at) MemoNodeUI(holder());
  made->clear_();
  holder()->addNode_(made, "new");
  form->refreshHolderView();

  addTail(editor, "_EDITED");
  EXPECT_NE(holder()->findNodeByName_("keep_EDITED"), nullptr);
  EXPECT_EQ(made->name(), "new") << "the new note was edited in place of the freed one";
  EXPECT_TRUE(editor->statusText().ends_with(" (gone: 1)")) << editor->statusText();
  // The gone target's line went with it.
  EXPECT_EQ(editor->targetCount(), lines - 1);
  ASSERT_EQ(editor->ListBox2()->count(), lines - 1);
  for (int i = 0; i < lines - 1; ++i) EXPECT_NE(editor->ListBox2()->text(i), "doomed");
  editor->close();
}

TEST_F(BatchNotesTest, BatchFieldNamesAreTrimmedAndRefusedWhenAFileCannotHoldThem) {
  MemoNodeUI* n = note("n", "", {"Color=\"red\""});
  auto* editor = batchEditor();
  ASSERT_NE(editor, nullptr);
  editor->findChild<QTabWidget*>()->setCurrentIndex(3);
  QLineEdit* field = editor->ComboBox_Field->lineEdit();
  QTest::keyClicks(field, "Color ");
  QTest::keyClicks(editor->ComboBox_Value->lineEdit(), "blue");
  click(editor, "Set");
  EXPECT_EQ(n->getField_("Color"), "\"blue\"");
  field->clear();
  QTest::keyClicks(field, "Color>");
  click(editor, "Delete");
  const std::string why = "Field name may not hold =, a blank, a quote, <, > or a control character: Color>";
  EXPECT_EQ(editor->statusText(), why);
  EXPECT_EQ(rec.kindOf(why), BoxKind::Warning);
  EXPECT_EQ(n->getField_("Color"), "\"blue\"");
  editor->close();
}

TEST_F(BatchNotesTest, ReadOnlySwitchStopsBatchEditMakeNodesAndSaveEach) {
  MemoNodeUI* n = note("n", "text", {"Filename=\"" + dir() + "out/n.txt\""});
  auto* editor = batchEditor();
  ASSERT_NE(editor, nullptr);
  TFormFileList* files = fileList();
  ASSERT_NE(files, nullptr);

  QTest::mouseClick(form->uiReadOnlyBox(), Qt::LeftButton);
  ASSERT_TRUE(form->isUIReadOnly());

  form->messageDoing_("");
  addTail(editor, "_x");
  EXPECT_EQ(n->name(), "n");
  EXPECT_EQ(status(), "UI ReadOnly");

  const int notebooks = form->getMemoFile()->getHolderCount_();
  const int notes = holder()->getNodeCount_();
  for (bool current : {false, true}) {
    files->setOptions(true, true, false, current);
    form->messageDoing_("");
    click(files, "Make Nodes");
    EXPECT_EQ(status(), "UI ReadOnly") << current;
  }
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), notebooks);
  EXPECT_EQ(holder()->getNodeCount_(), notes);

  std::vector<std::string> log = saveEach([](TFormSaveEach& d) { d.CheckBox_ChangeFilename->setChecked(true); });
  EXPECT_EQ(statusInWindow, "UI ReadOnly");
  EXPECT_FALSE(platform::fileExists(dir() + "n.txt"));
  EXPECT_TRUE(log.empty());

  // Saving without changing the names changes no note: the switch does not stop it.
  log = saveEach([](TFormSaveEach& d) { d.CheckBox_ChangeFilename->setChecked(false); });
  EXPECT_TRUE(has(log, "Save n : " + dir() + "n.txt"));
  EXPECT_EQ(n->getField_("Filename"), "\"" + dir() + "out/n.txt\"");
}

TEST_F(BatchNotesTest, ReadOnlyNotebooksKeepTheirNotes) {
  MemoHolderUI* writable = holder();
  MemoNodeUI* mine = note("kiwi mine", "");
  MemoNodeUI* flagged = note("kiwi flagged", "");
  flagged->putReadOnly_(true);
  MemoHolderUI* locked = form->newHolder_(-1);
  ASSERT_NE(locked, nullptr);
  form->changeCurrentHolder(locked);
  MemoNodeUI* theirs = note("kiwi theirs", "");
  locked->putField_("FlagReadOnly", "\"true\"");
  form->changeCurrentHolder(writable);

  // The search over every notebook hands both notes to the batch editor.
  ASSERT_EQ(run("UIShowScanMemoHolders"), 0);
  auto* search = shownWindow<TFormScanHolders>();
  ASSERT_NE(search, nullptr);
  click(search, "ALL");
  search->ComboBox1->setEditText("kiwi");
  search->findChild<QTabWidget*>()->setCurrentIndex(0);  // the "List" page
  search->scan();
  click(search, "Edit Select");
  auto* editor = shownWindow<TFormEditSelNode>();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->targetCount(), 3);
  addTail(editor, "!");
  EXPECT_EQ(mine->name(), "kiwi mine!");
  EXPECT_EQ(theirs->name(), "kiwi theirs");
  EXPECT_EQ(flagged->name(), "kiwi flagged");
  EXPECT_EQ(editor->statusText(), "Done: Add Tail Name 1");
  editor->close();
  search->close();

  // Make Nodes into a read-only current notebook says so and makes nothing.
  form->changeCurrentHolder(locked);
  TFormFileList* files = fileList();
  ASSERT_NE(files, nullptr);
  files->setOptions(true, true, false, true);
  const int lockedNotes = locked->getNodeCount_();
  click(files, "Make Nodes");
  EXPECT_EQ(status(), "This MemoHolder is Read Only. (" + locked->name() + ")");
  EXPECT_EQ(locked->getNodeCount_(), lockedNotes);
  // A new notebook is no read-only one.
  files->setOptions(true, true, false, false);
  click(files, "Make Nodes");
  EXPECT_EQ(status(), "Done: count=1");
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 3);
  files->close();

  // Save Each may not change the file names of a read-only notebook's notes.
  form->changeCurrentHolder(locked);
  theirs->putField_("Filename", "\"" + dir() + "theirs.txt\"");
  const std::vector<std::string> log = saveEach([](TFormSaveEach& d) { d.CheckBox_ChangeFilename->setChecked(true); });
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(platform::fileExists(dir() + "theirs.txt"));
  EXPECT_EQ(statusInWindow, "This MemoHolder is Read Only. (" + locked->name() + ")");
}

}  // namespace
}  // namespace wux

// The road of an edit through the main window: the editor is committed before every
// switch, a commit that changes a note marks and stamps it, the auto-save writes
// notebooks only, and the view kind follows ModeNodesMngr.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include "form_fixture.h"
#include "support/held_key.h"
#include "platform/files.h"
#include "platform/textconv.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/NoteViews.h"
#include "views/views_support.h"

namespace wux {
namespace {

class CaptionCountingForm : public TFormMainWUXX13c {
 public:
  CaptionCountingForm() = default;
  int captions = 0;
  bool hadDocumentAtFirstCaption = false;
  void updateCaption() override {
    if (captions++ == 0) hadDocumentAtFirstCaption = getMemoFile() != nullptr;
    TFormMainWUXX13c::updateCaption();
  }
};

class EditorProtocolTest : public test::FormTest<CaptionCountingForm> {
 protected:
  EditorProtocolTest() : FormTest({2026, 12, 6, 8, 0, 0, 250}) {}
  void SetUp() override {
    setenv("USERNAME", "tester", 1);
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
  }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  void type(const char* text) { editor()->MemoNode0()->setPlainText(QString::fromUtf8(text)); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoNodeUI* current() { return form->getCurrentNode(); }
  MemoNodeUI* addNote(const std::string& name) {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    return n;
  }

  test::TempDir tmp;
};

TEST_F(EditorProtocolTest, CreationAndTheNewDocument) {
  // A virtual called while the window is made reaches the most derived layer.
  EXPECT_GE(form->captions, 1);
  EXPECT_TRUE(form->hadDocumentAtFirstCaption);
  EXPECT_EQ(form->getUserName(), "tester");

  // One notebook with one note, shown in a check list; the document is not modified.
  MemoFileUI* doc = form->getMemoFile();
  ASSERT_EQ(doc->getHolderCount_(), 1);
  EXPECT_EQ(holder()->name(), "new");
  EXPECT_EQ(holder()->getNodeCount_(), 1);
  EXPECT_FALSE(doc->modified);
  ASSERT_NE(current(), nullptr);
  EXPECT_EQ(form->tabControl()->count(), 1);
  EXPECT_NE(dynamic_cast<NoteCheckListView*>(holder()->getViewControl_()), nullptr);
  EXPECT_EQ(form->statusPanel(1), "1");
  EXPECT_EQ(form->getHolderFrame()->statusText(), "1 / 1");
  EXPECT_EQ(editor()->node(), current());
}

TEST_F(EditorProtocolTest, SwitchingNotesAndNotebooksCommitsFirst) {
  MemoNodeUI* first = current();
  MemoNodeUI* second = addNote("second");
  type("first line\nsecond line");
  EXPECT_EQ(form->changeCurrentNode_(second), second);
  ASSERT_EQ(first->body().count(), 2);
  EXPECT_EQ(first->body()[1], "second line");
  EXPECT_EQ(editor()->MemoNode0()->toPlainText(), QString());

  // Japanese text is kept as Shift_JIS in the note.
  type("日本語");
  MemoHolderUI* firstBook = holder();
  MemoHolderUI* other = form->newHolder_(-1);
  other->createNewNode_();
  EXPECT_EQ(form->changeCurrentHolder(other), other);
  EXPECT_EQ(second->body()[0], sj("日本語"));
  EXPECT_EQ(holder(), other);
  EXPECT_EQ(form->tabControl()->currentIndex(), 1);
  EXPECT_TRUE(form->getMemoFile()->modified);

  // Back by the tab: the notebook's own current note comes back.
  form->tabControl()->setCurrentIndex(0);
  EXPECT_EQ(holder(), firstBook);
  EXPECT_EQ(current(), second);

  // A notebook that is not in the document changes nothing.
  std::unique_ptr<MemoHolderUI> stray(Create<MemoHolderUI>(nullptr));
  EXPECT_EQ(form->changeCurrentHolder(stray.get()), nullptr);
  EXPECT_EQ(holder(), firstBook);

  // Busy, a tab click is refused and the tabs go back.
  form->beginDoing_("Work");
  form->tabControl()->setCurrentIndex(1);
  EXPECT_EQ(holder(), firstBook);
  EXPECT_EQ(form->tabControl()->currentIndex(), 0);
  form->endDoing();
}

TEST_F(EditorProtocolTest, SideKeysChangeNotebooks) {
  MemoHolderUI* first = holder();
  MemoHolderUI* second = form->newHolder_(-1);
  second->createNewNode_();
  // No notebook before the first nor after the last.
  const std::pair<Qt::Key, MemoHolderUI*> steps[] = {
      {Qt::Key_Left, first}, {Qt::Key_Right, second}, {Qt::Key_Right, second}, {Qt::Key_Left, first}};
  for (const auto& [key, expected] : steps) {
    test::clickKey(holder()->getViewControl_(), key);
    EXPECT_EQ(holder(), expected);
  }
  // Held down, a key still switches once, when let go; while held the view stays put.
  MemoHolderUI* third = form->newHolder_(-1);
  third->createNewNode_();
  form->changeCurrentHolder(first);
  QWidget* view = holder()->getViewControl_();
  QTest::simulateEvent(view, true, Qt::Key_Right, Qt::NoModifier, QString(), false);
  EXPECT_EQ(holder(), first);
  QTest::simulateEvent(view, false, Qt::Key_Right, Qt::NoModifier, QString(), false);
  test::letKeysSettle();
  EXPECT_EQ(holder(), second);
  test::holdKey(holder()->getViewControl_(), Qt::Key_Right, 4);
  EXPECT_EQ(holder(), third);
}

TEST_F(EditorProtocolTest, CommitMarksAndStamps) {
  MemoNodeUI* n = current();
  MemoHolderUI* h = holder();
  TFrameMemoNode* ed = editor();

  // Nothing changed and no stamp fields: the notebook stays as it was.
  form->UI2Model();
  h->modified = false;
  EXPECT_EQ(form->UI2Model(), 0);
  EXPECT_FALSE(h->modified);

  // Lines survive showing and committing as they are, a last empty one included.
  n->body().setText("one\r\n\r\nbytes \xFF\x81 without a Unicode form\r\n");
  n->ensureComment().add("\x80");
  form->Model2UI();
  form->UI2Model();
  EXPECT_FALSE(h->modified);
  ASSERT_EQ(n->body().count(), 3);
  EXPECT_EQ(n->body()[2], "bytes \xFF\x81 without a Unicode form");
  EXPECT_EQ((*n->comment())[0], "\x80");
  n->comment()->clear();
  type("new first line\none\n\nbytes \xEF\xBF\xBD\xEF\xBF\xBD without a Unicode form");
  form->UI2Model();
  EXPECT_EQ(n->body()[0], "new first line");
  EXPECT_EQ(n->body()[3], "bytes \xFF\x81 without a Unicode form");  // untouched line, same bytes

  // A note with stamp fields: access stamps on every commit, the others on change.
  n->putField_("LastAccessed", "\"\"");
  n->putField_("Authors", "\"\"");
  n->putField_("LastModified", "\"\"");
  form->Model2UI();
  form->UI2Model();
  EXPECT_TRUE(h->modified);
  EXPECT_EQ(n->getField_("LastAccessed"), "\"20261206 080000250\"");
  EXPECT_EQ(n->getField_("Authors"), "\"\"");

  ed->Memo_comment()->setPlainText(QStringLiteral("a comment"));
  form->UI2Model();
  EXPECT_EQ(n->getField_("Authors"), "\"tester\"");
  EXPECT_EQ(n->getField_("LastModified"), "\"20261206 080000250\"");
  ASSERT_NE(n->comment(), nullptr);
  EXPECT_EQ((*n->comment())[0], "a comment");

  // The same comment again is no change: the author stamp is not rewritten.
  n->putField_("Authors", "\"someone\"");
  form->Model2UI();
  form->UI2Model();
  EXPECT_EQ(n->getField_("Authors"), "\"someone\"");

  // Renaming through the name line gives the notebook's unique name.
  addNote("taken");
  form->Model2UI();
  ed->setNameText("taken");
  form->UI2Model();
  EXPECT_EQ(n->name(), "taken_01");
  EXPECT_EQ(ed->nameText(), "taken_01");
  ed->setNameText("  ");
  form->UI2Model();
  EXPECT_EQ(n->name(), "taken_01");
  EXPECT_EQ(status(), "Do not rename Empty characters.");
}

TEST_F(EditorProtocolTest, ClosingWithUnsavedChangesAsks) {
  form->show();
  type("unsaved");
  rec.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(form->close());
  EXPECT_EQ(rec.messages().back().rfind("Sould I Save a MemoHolder named as \"\r\n", 0), 0u);
  EXPECT_EQ(current()->body()[0], "unsaved");  // committed before the question
  rec.answers.push_back(Answer::No);
  EXPECT_TRUE(form->close());
}

TEST_F(EditorProtocolTest, ReadOnlyNoteIsNotChanged) {
  MemoNodeUI* n = current();
  n->body().setText("kept");
  n->putField_("FlagReadOnly", "\"true\"");
  form->Model2UI();
  EXPECT_TRUE(editor()->MemoNode0()->isReadOnly());
  EXPECT_EQ(form->statusPanel(0), "RO");
  holder()->modified = false;
  type("changed");
  form->UI2Model();
  EXPECT_EQ(n->body()[0], "kept");
  EXPECT_FALSE(holder()->modified);
}

TEST_F(EditorProtocolTest, AutoSaveWritesNotebooksNotTheDocument) {
  MemoHolderUI* h = holder();
  form->putAutoSaveTime_(61);
  type("to be saved");
  clock.set(DateTime{2026, 12, 6, 8, 1, 2, 250});
  form->idleAutoSave_();
  const std::string file = h->getFileName_();
  ASSERT_TRUE(platform::fileExists(file)) << file;
  std::string text;
  platform::readFile(file, text);
  EXPECT_NE(text.find("to be saved"), std::string::npos);
  EXPECT_FALSE(h->modified);
  EXPECT_FALSE(platform::fileExists(form->getMemoFile()->getFileName_()));
  EXPECT_EQ(status(), "20261206 08:01:02 Done Save Auto.");
}

TEST_F(EditorProtocolTest, ViewKindFollowsModeNodesMngr) {
  MemoHolderUI* h = holder();
  EXPECT_EQ(form->changeTreeView_(), 0);
  EXPECT_EQ(h->getModeNodesMngr_(), "\"TreeView\"");
  EXPECT_NE(dynamic_cast<NoteTreeView*>(h->getViewControl_()), nullptr);
  EXPECT_TRUE(h->getViewControl_()->isVisibleTo(form.get()));

  auto shows = [&](const char* mode) -> QWidget* {
    MemoHolderUI* other = form->newHolder_(-1);
    other->createNewNode_();
    other->putField_("ModeNodesMngr", mode);
    form->changeCurrentHolder(other);
    return other->getViewControl_();
  };
  EXPECT_NE(dynamic_cast<NoteListView*>(shows("\"ListView\"")), nullptr);
  EXPECT_NE(dynamic_cast<NoteCheckListView*>(shows("\"Nodes\"")), nullptr);
  EXPECT_NE(dynamic_cast<NoteTreeView*>(shows("\"TreeView\"")), nullptr);
  EXPECT_EQ(shows("\"Bogus\""), nullptr);
}

TEST_F(EditorProtocolTest, ANoteInItsOwnWindowIsCommittedThere) {
  // Edits typed into a note's own window reach the note before anything reads the model
  // (the auto-save, a command, closing the program).
  MemoNodeUI* note = current();
  auto window = std::make_unique<QWidget>();
  auto* frame = new TFrameMemoNode(window.get());
  frame->setOwnerForm(form.get());
  frame->setNode(note);
  frame->showNode_();
  note->noteWindow = window.get();
  frame->MemoNode0()->setPlainText(QStringLiteral("typed in the window"));
  holder()->modified = false;
  EXPECT_EQ(form->UI2Model(), -1);
  ASSERT_EQ(note->body().count(), 1);
  EXPECT_EQ(note->body()[0], "typed in the window");
  EXPECT_TRUE(holder()->modified);
  note->noteWindow = nullptr;
}

TEST_F(EditorProtocolTest, ACommitWritesOnlyIntoTheNoteTheEditorShows) {
  MemoNodeUI* first = current();
  first->body().setText("keep me");
  first->putField_("x", "\"1\"");
  form->Model2UI();
  MemoNodeUI* second = addNote("second");
  second->body().setText("second body");

  // An emptied editor holds nothing to commit.
  editor()->clear_();
  EXPECT_EQ(form->UI2Model(), 0);
  EXPECT_EQ(first->body().text(), "keep me\r\n");
  EXPECT_EQ(first->getField_("x"), "\"1\"");

  // Text typed for one note never lands in another that was made current behind the
  // editor's back.
  form->Model2UI();
  type("meant for the first");
  form->setCurrentNode(second);
  form->UI2Model();
  EXPECT_EQ(second->body().text(), "second body\r\n");
  EXPECT_EQ(second->fieldList() ? second->fieldList()->count() : 0, 0);
}

TEST_F(EditorProtocolTest, ANotebookThatFailsToLoadSaysSo) {
  auto* broken = static_cast<MemoHolderUI*>(form->getMemoFile()->addNewHolder_(-1));
  broken->loaded = false;
  const std::string file = broken->getFileName_();
  ASSERT_TRUE(platform::writeFileAtomic(file, "not a notebook at all"));
  EXPECT_EQ(form->changeCurrentHolder(broken), broken);
  EXPECT_TRUE(broken->loadFailed);
  EXPECT_EQ(status(), "Failure: loadHolder " + file);
  // Whatever is typed there, the file stays as it was.
  std::string data;
  broken->modified = true;
  form->getMemoFile()->saveHolders_(false, nullptr);
  ASSERT_TRUE(platform::readFile(file, data));
  EXPECT_EQ(data, "not a notebook at all");
}

}  // namespace
}  // namespace wux

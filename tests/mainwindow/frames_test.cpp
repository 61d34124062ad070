// The notebook frame and the note editor inside the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <set>

#include "form_fixture.h"
#include "support/fake_browser.h"
#include "views/BraceTreeView.h"
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/GrepDialogApi.h"
#include "views/NoteViewBuilder.h"
#include "views/NoteViews.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

class CommitCountingForm : public TFormMainWUXX13c {
 public:
  CommitCountingForm() = default;
  int commits = 0;
  int UI2Model() override {
    if (getCurrentNode()) ++commits;
    return TFormMainWUXX13c::UI2Model();
  }
};

// A notebook of four notes, "a" current, in a check list; "b" is a's child, "c" b's.
class FramesTest : public test::FormTest<CommitCountingForm> {
 protected:
  FramesTest() : FormTest({2026, 12, 6, 12, 34, 56, 789}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    frame = form->getHolderFrame();
    h = form->newHolder_(-1);
    test::addNotes(h, {"a|A", "b|B|A", "c|C|B", "d|D"});
    ASSERT_EQ(form->changeCurrentHolder(h), h);
    form->changeCurrentNode_(node("a"));
    form->commits = 0;
  }
  MemoNodeUI* node(const char* name) { return static_cast<MemoNodeUI*>(h->findNodeByName_(name)); }
  NoteItem* item(const char* name) { return h->itemOf(node(name)); }
  std::string order() { return test::order(h); }
  // The user clicks the note's line in the notebook view: the view's selection moves there.
  void pick(const char* name) {
    QAbstractItemView* view = h->getViewBinding_()->widget();
    view->selectionModel()->setCurrentIndex(h->model(Kind::CheckList)->indexOfItem(item(name)),
                                            QItemSelectionModel::ClearAndSelect);
  }

  TFrameMemoHolder* frame = nullptr;
  MemoHolderUI* h = nullptr;
};

TEST_F(FramesTest, ClickMakesCurrentAfterCommitting) {
  frame->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("typed"));
  h->modified = false;
  frame->ViewClick(item("a"));  // the current note: nothing at all
  EXPECT_EQ(form->commits, 0);
  EXPECT_FALSE(h->modified);
  frame->ViewClick(item("c"));
  EXPECT_EQ(form->getCurrentNode(), node("c"));
  EXPECT_EQ(node("a")->body()[0], "typed");
  EXPECT_TRUE(h->modified);
  EXPECT_EQ(frame->showStatus_(), 2);
  EXPECT_EQ(frame->statusText(), "3 / 4");

  // The wheel walks the notes; a web page note keeps it unless FlagWheel says so.
  frame->wheelStep(true);
  EXPECT_EQ(form->getCurrentNode(), node("d"));
  frame->wheelStep(true);
  EXPECT_EQ(form->getCurrentNode(), node("d"));
  node("d")->putField_("Content-Transfer-Encoding", "\"URL\"");
  frame->wheelStep(false);
  EXPECT_EQ(form->getCurrentNode(), node("d"));
  node("d")->putField_("FlagWheel", "\"true\"");
  frame->wheelStep(false);
  EXPECT_EQ(form->getCurrentNode(), node("c"));

  form->beginDoing_("Work");  // busy: the click is refused and the selection goes back
  frame->ViewClick(item("d"));
  EXPECT_EQ(form->getCurrentNode(), node("c"));
}

TEST_F(FramesTest, WhileABraceTreeLoadsOnlyTheBreakButtonActs) {
  std::string body = "top\r\n{\r\n";
  for (int i = 0; i < 5000; ++i) body += "item " + std::to_string(i) + "\r\n";
  node("d")->putField_("Content-Transfer-Encoding", "\"PoserLike\"");
  node("d")->body().setText(body);
  bool busy = false;
  std::string statusDuring;
  MemoNodeUI* currentAfterClick = nullptr;
  QTimer::singleShot(0, [&] {
    busy = form->doing();
    statusDuring = status();
    // A click on another note in the notebook view is refused...
    pick("c");
    currentAfterClick = form->getCurrentNode();
    // ...and Break is pressed.
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BreakBtn")), Qt::LeftButton);
  });
  form->messageDoing_("before");
  form->changeCurrentNode_(node("d"));
  EXPECT_TRUE(busy);
  EXPECT_EQ(statusDuring, "before");
  EXPECT_EQ(currentAfterClick, node("d"));
  EXPECT_EQ(form->getCurrentNode(), node("d"));
  TBraceTreeView* tree = frame->FrameMemoNode1()->braceTree();
  ASSERT_TRUE(tree);
  EXPECT_FALSE(tree->loadedWhole());
  EXPECT_FALSE(form->doing());
  EXPECT_FALSE(form->isBreak());
  EXPECT_EQ(node("d")->body().text(), body);

  // Closing the window meanwhile is a Break as well: nothing is asked, the window stays.
  form->changeCurrentNode_(node("c"));
  bool closed = true;
  QTimer::singleShot(0, [&] { closed = form->close(); });
  form->changeCurrentNode_(node("d"));
  EXPECT_FALSE(closed);
  EXPECT_FALSE(tree->loadedWhole());
  EXPECT_TRUE(rec.messages().empty());
}

// A long tree counts its progress in the status line; once read or written the line
// says the work is over instead of keeping the last count.
TEST_F(FramesTest, ABraceTreeLoadAndWriteEndWithAClosingStatus) {
  // As deep as a tree may be, with a hundred items at the bottom.
  std::string body;
  for (int i = 0; i < kBraceMaxDepth - 1; ++i) body += "level " + std::to_string(i) + "\r\n{\r\n";
  for (int i = 0; i < 100; ++i) body += "leaf " + std::to_string(i) + "\r\n";
  for (int i = 0; i < kBraceMaxDepth - 1; ++i) body += "}\r\n";
  node("d")->putField_("Content-Transfer-Encoding", "\"PoserLike\"");
  node("d")->body().setText(body);
  pick("d");
  TBraceTreeView* tree = frame->FrameMemoNode1()->braceTree();
  ASSERT_TRUE(tree);
  ASSERT_TRUE(tree->loadedWhole());
  EXPECT_EQ(status(), "Done: Load Brace Tree d");

  // Cloned at the bottom, then committed by a click on another note: the tree is written.
  QTreeWidgetItem* deep = tree->topLevelItem(0);
  while (deep->childCount() == 1) deep = deep->child(0);
  tree->setCurrentItem(deep->child(0));
  tree->cloneNode_();
  pick("c");
  EXPECT_NE(node("d")->body().text(), body);
  EXPECT_EQ(status(), "Done: Save Brace Tree d");

  // One level deeper is no tree: shown as text, and said so.
  node("b")->putField_("Content-Transfer-Encoding", "\"PoserLike\"");
  node("b")->body().setText("top\r\n{\r\n" + body + "}\r\n");
  pick("b");
  EXPECT_EQ(status(), "Too deep for the tree: shown as text");
}

TEST_F(FramesTest, TheViewShowsTheNotebooksColourAndTheDocumentTheWindows) {
  // A notebook read with a colour is shown in it; so is each kind switched to.
  MemoHolderUI* red = form->newHolder_(-1);
  test::addNotes(red, {"r"});
  red->putField_("Color", "\"clRed\"");
  ASSERT_EQ(form->changeCurrentHolder(red), red);
  for (const char* command : {"", "changeTreeView_", "changeListView_", "changeCheckListBox_"}) {
    if (*command) {
      ASSERT_EQ(form->commands().run(command), 0) << command;
    }
    QWidget* view = red->getViewControl_();
    ASSERT_NE(view, nullptr) << command;
    view->resize(200, 300);
    auto* items = qobject_cast<QAbstractItemView*>(view);
    const QImage shot = (items ? items->viewport() : view)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() - 5), QColor(Qt::red)) << command;  // below the notes
    EXPECT_EQ(view->palette().color(QPalette::Text), QColor(Qt::black)) << command;
  }
  // The document has no colour: it wears the top panel's.
  auto* top = form->findChild<QWidget*>("PanelTop");
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(toQColor(form->getMemoFile()->getColor_()), top->palette().color(QPalette::Window));
}

TEST_F(FramesTest, CheckBoxOfTheCurrentNoteKeepsTheEditorInStep) {
  TFrameMemoNode* ed = frame->FrameMemoNode1();
  ed->Memo_Fields()->setPlainText(QStringLiteral("UID=\"A\"\nNote=\"typed\""));
  NoteItemModel* m = h->model(Kind::CheckList);
  m->setData(m->indexOfItem(item("a")), Qt::Checked, Qt::CheckStateRole);
  EXPECT_TRUE(node("a")->isMarked_());
  EXPECT_EQ(node("a")->getField_("Note"), "\"typed\"");  // committed before
  EXPECT_TRUE(ed->Memo_Fields()->toPlainText().contains(QStringLiteral("flagMarked")));
}

TEST_F(FramesTest, DropsReorderAndRenestAndAreSaved) {
  h->modified = false;
  frame->CheckListBoxDragDrop(item("a"), nullptr);  // below the last line: to the end
  EXPECT_EQ(order(), "b c d a ");
  EXPECT_TRUE(h->modified);
  frame->CheckListBoxDragDrop(item("a"), item("a"));  // on itself: nothing
  EXPECT_EQ(order(), "b c d a ");

  makeNoteView(*h, Kind::Tree, frame->PanelLeft());
  EXPECT_EQ(order(), "d a .b ..c ");  // the links nest what the flat order held
  EXPECT_EQ(frame->showStatus_(), 1);
  EXPECT_EQ(frame->statusText(), "[1]   2 / 4");

  h->modified = false;
  frame->TreeViewDragDrop(item("a"), item("c"));  // onto its own descendant: refused
  EXPECT_EQ(status(), "Don't Move.");
  EXPECT_EQ(order(), "d a .b ..c ");
  EXPECT_FALSE(h->modified);

  frame->TreeViewDragDrop(item("d"), item("c"));  // becomes c's previous sibling
  EXPECT_EQ(order(), "a .b ..d ..c ");
  EXPECT_EQ(node("d")->getField_("ParentNodeID"), "\"B\"");
  EXPECT_TRUE(h->modified);
  frame->TreeViewDragDrop(item("c"), item("a"));  // to the root level: the link goes
  EXPECT_EQ(order(), "c a .b ..d ");
  EXPECT_EQ(node("c")->getIndexField_("ParentNodeID"), -1);
}

TEST_F(FramesTest, EditorShowsContentKinds) {
  TFrameMemoNode* ed = frame->FrameMemoNode1();
  EXPECT_EQ(ed->contentView(), "text");
  EXPECT_TRUE(ed->fieldsShown());
  auto* bare = static_cast<MemoNodeUI*>(h->newNode_());
  h->addNode_(bare, "bare");
  form->changeCurrentNode_(bare);
  EXPECT_FALSE(ed->fieldsShown());  // no fields: collapsed
  EXPECT_FALSE(ed->commentShown());
  ed->showComment_();  // the [Form] menu opens it to type in
  EXPECT_TRUE(ed->commentShown());
  EXPECT_TRUE(ed->Memo_comment()->isVisibleTo(ed));
  MemoNodeUI* url = node("b");
  url->putField_("Content-Transfer-Encoding", "\"URL\"");
  url->putField_("Filename", "\"https://example.org/\"");
  form->uiInternetBox()->setChecked(false);
  form->changeCurrentNode_(url);
  EXPECT_EQ(ed->contentView(), "web");
  EXPECT_EQ(status(), "Disable Access Internet. b");
  EXPECT_TRUE(ed->fieldsShown());
  // The text view is not committed while another view shows.
  h->modified = false;
  ed->MemoNode0()->setPlainText(QStringLiteral("ignored"));
  EXPECT_FALSE(ed->storeContent_());
  EXPECT_FALSE(ed->storeFields_());
  EXPECT_FALSE(ed->storeComment_());
  EXPECT_FALSE(ed->storeName_());
  ed->storeNode_();
  EXPECT_EQ(url->body().count(), 0);
  EXPECT_FALSE(h->modified);

  // Binary image content shows as a picture.
  MemoNodeUI* pic = node("c");
  pic->putContentStream_(test::imageBytes("PNG", 4, 3), "\"image/png\"", "\"binary\"");
  pic->putField_("Content-Transfer-Encoding", "\"binary\"");
  pic->putField_("Content-Type", "\"image/png\"");
  form->changeCurrentNode_(pic);
  EXPECT_EQ(ed->contentView(), "image");

  // A link to a "file:" address cannot be read yet, and the user is told so.
  MemoNodeUI* link = node("d");
  link->putField_("FlagLink", "\"true\"");
  link->putField_("Filename", "\"file:///notes/a.txt\"");
  rec.asked.clear();
  form->changeCurrentNode_(link);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Still Not Implimented. "});
  EXPECT_EQ(status(), "FlagLink=\"true\" but not found Filename=\"file:///notes/a.txt\" name=d");

  // Selection replacement selects what it put in and keeps what it replaced.
  form->changeCurrentNode_(node("a"));
  ed->MemoNode0()->setPlainText(QStringLiteral("one two"));
  QTextCursor c = ed->MemoNode0()->textCursor();
  c.setPosition(4);
  c.setPosition(7, QTextCursor::KeepAnchor);
  ed->MemoNode0()->setTextCursor(c);
  ed->replaceNodeMemoSel_("three");
  EXPECT_EQ(ed->MemoNode0()->toPlainText(), QStringLiteral("one three"));
  EXPECT_EQ(ed->MemoNode0()->textCursor().selectedText(), QStringLiteral("three"));
  EXPECT_EQ(ed->pasteBuffer().text(), "two\r\n");
}

TEST_F(FramesTest, TheWebPagesNewNodeButtonMakesAURLNoteForThePageShown) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  MemoNodeUI* page = node("d");
  page->putField_("Content-Transfer-Encoding", "\"URL\"");
  page->putField_("Filename", "\"http://127.0.0.1:9/page.html\"");
  form->uiInternetBox()->setChecked(true);
  form->changeCurrentNode_(page);
  TFrameWB* web = frame->FrameMemoNode1()->webFrame();
  ASSERT_NE(web, nullptr);
  auto* button = web->findChild<QPushButton*>(QStringLiteral("NewNodeBtn"));
  ASSERT_NE(button, nullptr);
  const int notes = h->getNodeCount_();
  rec.asked.clear();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_EQ(h->getNodeCount_(), notes + 1);
  MemoNodeUI* made = form->getCurrentNode();
  ASSERT_NE(made, page);
  EXPECT_EQ(made->getParentHolder_(), h);
  EXPECT_EQ(made->getField_("Content-Transfer-Encoding"), "\"URL\"");
  EXPECT_EQ(made->getField_("Filename"), "\"http://127.0.0.1:9/page.html\"");
  setWebBrowserFactory(previous);
}

void menuItems(QMenu* menu, std::vector<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->menu())
      menuItems(a->menu(), out);
    else if (!a->isSeparator())
      out.push_back(a);
  }
}

TEST_F(FramesTest, CloneXWithZeroMakesOneCopy) {
  const int before = h->getNodeCount_();
  rec.inputs = {"0"};
  frame->cloneCurrent_(0);
  EXPECT_EQ(h->getNodeCount_(), before + 1);
  EXPECT_EQ(frame->cloneCountText(), "0");
  frame->cloneCurrent_(2);
  EXPECT_EQ(h->getNodeCount_(), before + 3);
}

TEST_F(FramesTest, ContextMenusRunRegisteredCommandsAndActOnTheItemUnderThePointer) {
  std::vector<QAction*> items;
  for (QMenu* m : {frame->PopupMenuLB(), frame->PopupMenuTV(), frame->PopupMenuLV()}) menuItems(m, items);
  for (QAction* a : items) {
    const std::string name = TFrameMemoHolder::commandOf(a);
    if (!name.empty()) {
      EXPECT_TRUE(form->commands().contains(name)) << name;
    }
  }
  EXPECT_TRUE(form->commands().contains("cloneMemoNode_"));
  EXPECT_TRUE(form->commands().contains("UINewChildGrep5"));
  ASSERT_TRUE(frame->grepDialog);
  EXPECT_NE(frame->grepDialog(), nullptr);  // the window's one keyword dialog

  // The right button over an item makes its note current before the menu shows.
  form->changeTreeView_();
  auto* tree = dynamic_cast<NoteTreeView*>(h->viewControl(Kind::Tree));
  ASSERT_NE(tree, nullptr);
  form->resize(800, 600);
  form->show();
  tree->doItemsLayout();
  const QRect at = tree->visualRect(h->model(Kind::Tree)->indexOfItem(item("d")));
  emit tree->customContextMenuRequested(at.center());
  EXPECT_EQ(form->getCurrentNode(), node("d"));
  EXPECT_TRUE(frame->PopupMenuTV()->isVisible());
  frame->PopupMenuTV()->close();

  // Every item, in every view kind, on a small notebook: nothing breaks.
  class CancelGrep : public GrepDialogApi {
   public:
    bool ask() override { return false; }
    std::string keyword() const override { return ""; }
    int option() const override { return 0; }
    bool ignoreCase() const override { return true; }
    bool numbered() const override { return false; }
    bool inverted() const override { return false; }
  } grep;
  frame->grepDialog = [&grep]() -> GrepDialogApi* { return &grep; };
  // Items that open a modal window are answered by closing it, as a user would.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  closer.start(5);
  // The document has no folder of its own: what the items write (an HTML page of the
  // notebook, ...) goes to the current folder, which must not be where the tests run.
  auto entries = [](const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
  };
  const std::filesystem::path runFolder = std::filesystem::current_path();
  const std::set<std::string> runFolderBefore = entries(runFolder);
  test::TempDir scratch;
  struct Cwd {
    std::filesystem::path before = std::filesystem::current_path();
    explicit Cwd(const std::filesystem::path& to) { std::filesystem::current_path(to); }
    ~Cwd() { std::filesystem::current_path(before); }
  } inScratch(scratch.path);
  for (int (TFormMainWUXX13c::*change)() : {&TFormMainWUXX13c::changeCheckListBox_, &TFormMainWUXX13c::changeTreeView_,
                                            &TFormMainWUXX13c::changeListView_}) {
    (form.get()->*change)();
    for (QAction* a : items) {
      if (form->isDoing_()) form->endDoing();
      a->trigger();
    }
  }
  EXPECT_GT(h->getNodeCount_(), 0);
  EXPECT_EQ(entries(runFolder), runFolderBefore);
}

}  // namespace
}  // namespace wux

// The notebook frame and the note editor against a small fake of the main window.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>

#include "model/Prompter.h"
#include "support/qt_app.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/NoteViews.h"
#include "views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

// Just enough of a main window: a current note, a status line, the busy flag.
class FakeMain : public MainWindowApi {
 public:
  MemoFileUI* doc = nullptr;
  TFrameMemoHolder* frame = nullptr;
  std::string status;
  bool busy = false, uiReadOnly = false;
  int commits = 0;

  MemoFileUI* getMemoFile() override { return doc; }
  MemoHolderUI* getCurrentHolder() override { return doc->getCurrentHolder_(); }
  MemoNodeUI* getCurrentNode() override { return doc->getCurrentNode_(); }
  void setCurrentNode(MemoNodeUI* n) override { doc->putCurrentNode(n); }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* n) override {
    if (n == getCurrentNode()) return n;
    UI2Model();
    setCurrentNode(n);
    n->holderUI()->putCurrentNode_(n);
    Model2UI();
    return n;
  }
  MemoHolderUI* changeCurrentHolder(MemoHolderUI* h) override { return h; }
  MemoHolderUI* _changeCurrentHolder_(MemoHolderUI* h) override { return h; }
  int loadHolder(MemoHolderUI*) override { return 0; }
  bool checkUIReadOnly() override { return uiReadOnly; }
  bool checkHolderReadOnly() override { return false; }
  bool isUIReadOnly() override { return uiReadOnly; }
  bool isUIInternet() override { return false; }
  bool isDoing_() override { return busy; }
  void beginDoing_(const std::string&) override { busy = true; }
  void messageDoing_(const std::string& t) override { status = t; }
  void endDoing_(const std::string&) override { busy = false; }
  void endDoing() override { busy = false; }
  bool isBreak() const override { return false; }
  int addLog_(const std::string&) override { return 0; }
  void addLogTS(const std::string&) override {}
  int addLogStrings(const StringList& l) override { return l.count(); }
  std::string nowString() override { return ""; }
  int shouldNotExecute(const std::string&) override { return -100; }
  int stillNotImplemented(const std::string&) override { return -101; }
  int UI2Model() override {
    if (!getCurrentNode()) return -1;
    ++commits;
    frame->FrameMemoNode1()->setOwnerForm(this);
    frame->FrameMemoNode1()->setNode(getCurrentNode());
    frame->FrameMemoNode1()->storeNode_();
    return 0;
  }
  void Model2UI() override {
    frame->FrameMemoNode1()->setOwnerForm(this);
    frame->FrameMemoNode1()->setNode(getCurrentNode());
    frame->FrameMemoNode1()->showNode_();
  }
  void refreshHolderView() override {}
  TFrameMemoHolder* getHolderFrame() override { return frame; }
  TFrameMemoNode* getNodeFrame() override { return frame->FrameMemoNode1(); }
  std::string getUserName() override { return "me"; }
  std::string getVersion() override { return "v"; }
  std::string getTempDir() override { return "/tmp/"; }
  AgentAPLAbs* getAgent() override { return nullptr; }
};

class FramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::qtApp();
    frame = std::make_unique<TFrameMemoHolder>();
    main.doc = nb.doc.get();
    main.frame = frame.get();
    frame->setMainWindow(&main);
    frame->setHolder(nb.holder);
    frame->init_();
  }
  void show(Kind kind) {
    QWidget* w = kind == Kind::Tree ? nb.holder->makeTreeView_(frame->PanelLeft())
                                    : nb.holder->makeCheckListBox_(frame->PanelLeft());
    frame->attachTreeView_(w);
    nb.holder->showView_();
    main.setCurrentNode(nb.node("a"));
    nb.holder->putCurrentNode_(nb.node("a"));
    main.Model2UI();
  }
  NoteItem* item(const char* name) { return nb.holder->itemOf(nb.node(name)); }

  test::FixedWorld world;
  test::Notebook nb{{"a|A", "b|B|A", "c|C|B", "d|D"}};
  FakeMain main;
  std::unique_ptr<TFrameMemoHolder> frame;
};

TEST_F(FramesTest, ClickMakesCurrentAfterCommitting) {
  show(Kind::CheckList);
  frame->FrameMemoNode1()->MemoNode0()->setPlainText(QStringLiteral("typed"));
  nb.holder->modified = false;
  frame->ViewClick(item("a"));  // the current note: nothing at all
  EXPECT_EQ(main.commits, 0);
  EXPECT_FALSE(nb.holder->modified);
  frame->ViewClick(item("c"));
  EXPECT_EQ(main.getCurrentNode(), nb.node("c"));
  EXPECT_EQ(nb.node("a")->body()[0], "typed");
  EXPECT_TRUE(nb.holder->modified);
  EXPECT_EQ(frame->showStatus_(), 2);
  EXPECT_EQ(frame->statusText(), "3 / 4");

  // The wheel walks the notes; a web page note keeps it unless FlagWheel says so.
  frame->wheelStep(true);
  EXPECT_EQ(main.getCurrentNode(), nb.node("d"));
  frame->wheelStep(true);
  EXPECT_EQ(main.getCurrentNode(), nb.node("d"));
  nb.node("d")->putField_("Content-Transfer-Encoding", "\"URL\"");
  frame->wheelStep(false);
  EXPECT_EQ(main.getCurrentNode(), nb.node("d"));
  nb.node("d")->putField_("FlagWheel", "\"true\"");
  frame->wheelStep(false);
  EXPECT_EQ(main.getCurrentNode(), nb.node("c"));

  main.busy = true;  // busy: the click is refused and the selection goes back
  frame->ViewClick(item("d"));
  EXPECT_EQ(main.getCurrentNode(), nb.node("c"));
}

TEST_F(FramesTest, CheckBoxOfTheCurrentNoteKeepsTheEditorInStep) {
  show(Kind::CheckList);
  TFrameMemoNode* ed = frame->FrameMemoNode1();
  ed->Memo_Fields()->setPlainText(QStringLiteral("UID=\"A\"\nNote=\"typed\""));
  NoteItemModel* m = nb.holder->model(Kind::CheckList);
  m->setData(m->indexOfItem(item("a")), Qt::Checked, Qt::CheckStateRole);
  EXPECT_TRUE(nb.node("a")->isMarked_());
  EXPECT_EQ(nb.node("a")->getField_("Note"), "\"typed\"");  // committed before
  EXPECT_TRUE(ed->Memo_Fields()->toPlainText().contains(QStringLiteral("flagMarked")));
}

TEST_F(FramesTest, DropsReorderAndRenestAndAreSaved) {
  show(Kind::CheckList);
  nb.holder->modified = false;
  frame->CheckListBoxDragDrop(item("a"), nullptr);  // below the last line: to the end
  EXPECT_EQ(nb.order(), "b c d a ");
  EXPECT_TRUE(nb.holder->modified);
  frame->CheckListBoxDragDrop(item("a"), item("a"));  // on itself: nothing
  EXPECT_EQ(nb.order(), "b c d a ");

  nb.holder->makeTreeView_(frame->PanelLeft());
  EXPECT_EQ(nb.order(), "d a .b ..c ");  // the links nest what the flat order held
  EXPECT_EQ(frame->showStatus_(), 1);
  EXPECT_EQ(frame->statusText(), "[1]   2 / 4");

  nb.holder->modified = false;
  frame->TreeViewDragDrop(item("a"), item("c"));  // onto its own descendant: refused
  EXPECT_EQ(main.status, "Don't Move.");
  EXPECT_EQ(nb.order(), "d a .b ..c ");
  EXPECT_FALSE(nb.holder->modified);

  frame->TreeViewDragDrop(item("d"), item("c"));  // becomes c's previous sibling
  EXPECT_EQ(nb.order(), "a .b ..d ..c ");
  EXPECT_EQ(nb.node("d")->getField_("ParentNodeID"), "\"B\"");
  EXPECT_TRUE(nb.holder->modified);
  frame->TreeViewDragDrop(item("c"), item("a"));  // to the root level: the link goes
  EXPECT_EQ(nb.order(), "c a .b ..d ");
  EXPECT_EQ(nb.node("c")->getIndexField_("ParentNodeID"), -1);
}

TEST_F(FramesTest, EditorShowsContentKinds) {
  show(Kind::CheckList);
  TFrameMemoNode* ed = frame->FrameMemoNode1();
  EXPECT_EQ(ed->contentView(), "text");
  EXPECT_TRUE(ed->fieldsShown());
  auto* bare = static_cast<MemoNodeUI*>(nb.holder->newNode_());
  nb.holder->addNode_(bare, "bare");
  main.changeCurrentNode_(bare);
  EXPECT_FALSE(ed->fieldsShown());  // no fields: collapsed
  EXPECT_FALSE(ed->commentShown());
  ed->showComment_();  // the [Form] menu opens it to type in
  EXPECT_TRUE(ed->commentShown());
  EXPECT_TRUE(ed->Memo_comment()->isVisibleTo(ed));
  MemoNodeUI* url = nb.node("b");
  url->putField_("Content-Transfer-Encoding", "\"URL\"");
  url->putField_("Filename", "\"https://example.org/\"");
  main.changeCurrentNode_(url);
  EXPECT_EQ(ed->contentView(), "web");
  EXPECT_EQ(main.status, "Disable Access Internet. b");
  EXPECT_TRUE(ed->fieldsShown());
  // The text view is not committed while another view shows.
  nb.holder->modified = false;
  ed->MemoNode0()->setPlainText(QStringLiteral("ignored"));
  EXPECT_FALSE(ed->storeContent_());
  EXPECT_FALSE(ed->storeFields_());
  EXPECT_FALSE(ed->storeComment_());
  EXPECT_FALSE(ed->storeName_());
  ed->storeNode_();
  EXPECT_EQ(url->body().count(), 0);
  EXPECT_FALSE(nb.holder->modified);

  // Binary image content shows as a picture.
  QImage img(4, 3, QImage::Format_RGB32);
  img.fill(Qt::red);
  QByteArray png;
  QBuffer buf(&png);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  MemoNodeUI* pic = nb.node("c");
  pic->putContentStream_(std::string(png.constData(), static_cast<size_t>(png.size())), "\"image/png\"",
                         "\"binary\"");
  pic->putField_("Content-Transfer-Encoding", "\"binary\"");
  pic->putField_("Content-Type", "\"image/png\"");
  main.changeCurrentNode_(pic);
  EXPECT_EQ(ed->contentView(), "image");

  // Selection replacement selects what it put in and keeps what it replaced.
  main.changeCurrentNode_(nb.node("a"));
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

}  // namespace
}  // namespace wux

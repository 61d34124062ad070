// The notebook frame on its own: a small main window stands in for the real one, and a
// command table that records what the frame runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QDropEvent>
#include <QMimeData>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include "views/FrameWB.h"
#include "views/WebBrowser.h"
#include <QTest>
#include <QWheelEvent>

#include "platform/files.h"
#include "support/RecordingPrompter.h"
#include "support/data_files.h"
#include "support/held_key.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/GrepDialogApi.h"
#include "views/NoteViewBuilder.h"
#include "views/NoteViews.h"
#include "views/qtext.h"
#include "views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

// Keeps the current note the way the real window does, and a busy switch.
class Window : public test::FakeMainWindow {
 public:
  MemoNodeUI* current = nullptr;
  bool busy = false;
  std::vector<std::pair<std::string, CommandArgs>> ran;

  MemoNodeUI* getCurrentNode() override { return current; }
  MemoNodeUI* changeCurrentNode_(MemoNodeUI* node) override {
    current = node;
    if (node) node->getParentHolder_()->putCurrentNode_(node);
    return node;
  }
  bool isDoing_() override { return busy; }
  bool readOnly = false;
  bool isUIReadOnly() override { return readOnly; }
  void beginDoing_(const std::string&) override { busy = true; }
  void endDoing_(const std::string& text) override {
    busy = false;
    if (!text.empty()) statuses.push_back(text);
  }
  // Every name a menu item runs answers here and is recorded.
  void recordCommand(const std::string& name) {
    if (!table.contains(name))
      table.add(name, [this, name](const CommandArgs& a) {
        ran.emplace_back(name, a);
        return 0;
      });
  }
};

class FakeGrep : public GrepDialogApi {
 public:
  bool confirm = true;
  std::string text;
  int opt = 0;
  bool ignore = true, number = false, invert = false;
  bool ask() override { return confirm; }
  std::string keyword() const override { return text; }
  int option() const override { return opt; }
  bool ignoreCase() const override { return ignore; }
  bool numbered() const override { return number; }
  bool inverted() const override { return invert; }
};

void allActions(QMenu* menu, std::vector<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->menu())
      allActions(a->menu(), out);
    else if (!a->isSeparator())
      out.push_back(a);
  }
}

class FrameTest : public ::testing::Test {
 protected:
  explicit FrameTest(std::initializer_list<std::string> notes = {"a|A", "b|B", "c|C"}) : book(notes) {
    window.holder = book.holder;
    frame.setMainWindow(&window);
    frame.setHolder(book.holder);
    frame.init_();
    window.changeCurrentNode_(book.node("a"));
  }
  void show(Kind kind) {
    QWidget* w = makeNoteView(*book.holder, kind, frame.PanelLeft());
    if (kind == Kind::CheckList) frame.attachCheckListBox_(w);
    if (kind == Kind::Tree) frame.attachTreeView_(w);
    if (kind == Kind::List) frame.attachListView_(w);
    book.holder->showView_();
  }
  MemoNodeUI* node(const std::string& n) { return book.node(n); }
  NoteItem* item(const std::string& n) { return book.holder->itemOf(node(n)); }
  std::string currentName() { return window.current ? window.current->name() : ""; }
  // The check list shown in an active frame with the keyboard focus; nullptr where the
  // platform gives no focus.
  QAbstractItemView* showFocusedCheckList() {
    show(Kind::CheckList);
    auto* view = dynamic_cast<NoteCheckListView*>(book.holder->viewControl(Kind::CheckList));
    if (!view) {
      ADD_FAILURE() << "no check list";
      return nullptr;
    }
    frame.resize(400, 300);
    frame.show();
    QApplication::setActiveWindow(&frame);
    view->setFocus();
    return QApplication::focusWidget() == view ? view : nullptr;
  }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter scoped{&rec};
  test::Notebook book;
  Window window;
  TFrameMemoHolder frame;
};

TEST_F(FrameTest, NameEditsRenameTheCurrentNote) {
  show(Kind::CheckList);
  MemoNodeUI* a = node("a");
  auto renamed = [&](const std::string& from, TFrameMemoHolder::NameEdit edit) {
    std::string actual;
    a->putName_(from, actual);
    frame.renameCurrent_(edit);
    return a->name();
  };
  using NE = TFrameMemoHolder::NameEdit;
  EXPECT_EQ(renamed("9 apples", NE::Inc1), "0 apples");  // no digit is added
  EXPECT_EQ(frame.FrameMemoNode1()->nameText(), "0 apples");
  EXPECT_EQ(renamed("a10 x", NE::Dec1), "a09 x");
  EXPECT_EQ(renamed("  Item 9 ", NE::Inc1), "Item 9");  // its first word has no digit
  EXPECT_EQ(renamed("7", NE::Inc1), "8");
  EXPECT_EQ(renamed("old  rest of it", NE::Cut1), "rest of it");
  EXPECT_EQ(renamed("C:\\dir\\file.txt", NE::ExtractFilename), "file.txt");
  EXPECT_EQ(renamed("http:name", NE::ExtractFilename), "name");

  window.statuses.clear();
  EXPECT_EQ(renamed("single", NE::Cut1), "single");
  EXPECT_EQ(window.status(), "Do not rename empty characters.");

  QApplication::clipboard()->setText(QStringLiteral(" pasted\r\nname \n"));
  EXPECT_EQ(renamed("x", NE::Paste), "pastedname");
  QApplication::clipboard()->setText(QStringLiteral("\r\n  "));
  window.statuses.clear();
  EXPECT_EQ(renamed("kept", NE::Paste), "kept");
  EXPECT_EQ(window.status(), "Do not rename empty characters.");
  frame.renameCurrent_(NE::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));

  // The Mark items put their caption in front.
  std::vector<QAction*> items;
  allActions(frame.PopupMenuLB(), items);
  for (QAction* a : items)
    if (a->text() == QString::fromUtf8("\xe2\x98\x85")) a->trigger();
  EXPECT_EQ(toQ(a->name()), QString::fromUtf8("\xe2\x98\x85 kept"));

  // Busy: only ExtractFilename goes on.
  window.busy = true;
  EXPECT_EQ(renamed("d:\\a b", NE::Inc1), "d:\\a b");
  EXPECT_EQ(renamed("d:\\a b", NE::ExtractFilename), "a b");
  window.busy = false;
  EXPECT_EQ(renamed("/home/me/notes.txt", NE::ExtractFilename), "notes.txt");

  // A note that may not change keeps its name, whichever item is picked.
  auto markItem = [&] {
    for (QAction* item : items)
      if (item->text() == QString::fromUtf8("\xe2\x97\x8f")) item->trigger();
    return a->name();
  };
  std::string actual;
  a->putName_("/x/third", actual);
  book.holder->modified = false;
  window.readOnly = true;
  EXPECT_EQ(markItem(), "/x/third");
  EXPECT_EQ(window.status(), "UI ReadOnly");
  window.readOnly = false;
  a->putReadOnly_(true);
  book.holder->modified = false;
  EXPECT_EQ(markItem(), "/x/third");
  frame.renameCurrent_(NE::ExtractFilename);
  EXPECT_EQ(a->name(), "/x/third");
  EXPECT_EQ(window.status(), "Stop: This MemoNode is Read Only. (/x/third)");
  EXPECT_FALSE(book.holder->modified);
}

TEST_F(FrameTest, NoteNamesGoIntoTheEditorAndTheStyleMenuShowsTheStyle) {
  show(Kind::List);
  frame.pasteNodeList_();
  EXPECT_EQ(frame.FrameMemoNode1()->MemoNode0()->toPlainText(), QStringLiteral("a\nb\nc"));

  EXPECT_EQ(frame.setListViewStyle_(NoteListView::SmallIcon), 0);
  EXPECT_EQ(frame.setListViewStyle_(7), -1);
  QMenu* styles = nullptr;
  for (QAction* a : frame.PopupMenuLV()->actions())
    if (a->menu() && a->text() == QStringLiteral("ViewStyle")) styles = a->menu();
  ASSERT_NE(styles, nullptr);
  emit styles->aboutToShow();
  ASSERT_EQ(styles->actions().size(), 4);
  EXPECT_TRUE(styles->actions()[1]->isChecked());
  EXPECT_FALSE(styles->actions()[3]->isChecked());
}

TEST_F(FrameTest, ClonesAskForTheCountOfX) {
  window.recordCommand("cloneMemoNode_");
  frame.cloneCurrent_(3);
  EXPECT_EQ(frame.cloneCountText(), "15");
  rec.inputs = {"0", "", "99999999999", "abc"};
  frame.cloneCurrent_(0);  // "0": once, and "0" is offered next time
  EXPECT_EQ(frame.cloneCountText(), "0");
  frame.cloneCurrent_(0);  // OK with nothing: no clone at all
  frame.cloneCurrent_(0);  // beyond any count: once
  frame.cloneCurrent_(0);  // not a number: once
  frame.cloneCurrent_(0);  // cancelled: the command with 0
  ASSERT_EQ(window.ran.size(), 5u);
  EXPECT_EQ(window.ran[0].second, CommandArgs{"3"});
  EXPECT_EQ(window.ran[1].second, CommandArgs{"1"});
  EXPECT_EQ(window.ran[2].second, CommandArgs{"1"});
  EXPECT_EQ(window.ran[3].second, CommandArgs{"1"});
  EXPECT_EQ(window.ran[4].second, CommandArgs{"0"});
  EXPECT_EQ(frame.cloneCountText(), "abc");
  EXPECT_EQ(rec.asked.back().text, "Input Number");
}

TEST_F(FrameTest, GrepTakesItsKeywordAndSwitchesFromTheDialog) {
  window.recordCommand("UINewChildGrep5");
  frame.newChildGrep_("");  // no dialog to ask: nothing
  frame.newChildGrep_("<img");  // the fixed keywords with the defaults
  FakeGrep grep;
  frame.grepDialog = [&]() -> GrepDialogApi* { return &grep; };
  grep.confirm = false;
  frame.newChildGrep_("");
  EXPECT_EQ(window.status(), "Cancel \"New Child Grep\"");
  grep.confirm = true;
  grep.text = "   ";
  frame.newChildGrep_("");
  EXPECT_EQ(window.status(), "Cancel \"New Child Grep Any\"");
  grep.text = " word ";
  grep.opt = 2;
  grep.ignore = false;
  grep.invert = true;
  frame.newChildGrep_("");
  frame.newChildGrep_("<a href");  // the dialog's settings as they stand now
  ASSERT_EQ(window.ran.size(), 3u);
  // pattern, ignore case, position, NOT, numbers
  EXPECT_EQ(window.ran[0].second, (CommandArgs{"<img", "1", "0", "0", "0"}));
  EXPECT_EQ(window.ran[1].second, (CommandArgs{"word", "0", "2", "1", "0"}));
  EXPECT_EQ(window.ran[2].second, (CommandArgs{"<a href", "0", "2", "1", "0"}));
}

TEST_F(FrameTest, EveryMenuItemRunsItsCommandOrItsFrameHandler) {
  std::vector<QAction*> items;
  for (QMenu* m : {frame.PopupMenuLB(), frame.PopupMenuTV(), frame.PopupMenuLV()}) allActions(m, items);
  int commands = 0;
  for (QAction* a : items)
    if (!TFrameMemoHolder::commandOf(a).empty()) {
      window.recordCommand(TFrameMemoHolder::commandOf(a));
      ++commands;
    }
  window.recordCommand("cloneMemoNode_");
  window.recordCommand("UINewChildGrep5");
  EXPECT_GT(commands, 60);
  show(Kind::List);
  for (QAction* a : items) {
    window.ran.clear();
    a->trigger();
    const std::string name = TFrameMemoHolder::commandOf(a);
    if (name.empty()) continue;
    ASSERT_EQ(window.ran.size(), 1u) << name;
    EXPECT_EQ(window.ran[0].first, name);
  }
  // While busy only the "always" items run their command (which asks the guard itself).
  window.busy = true;
  window.ran.clear();
  for (QAction* a : items)
    if (!TFrameMemoHolder::commandOf(a).empty()) a->trigger();
  std::vector<std::string> always;
  for (auto& r : window.ran) always.push_back(r.first);
  EXPECT_EQ(always, (std::vector<std::string>{"UICopyName", "UIShowFormMemoNode", "UISetRelativePath"}));
}

TEST_F(FrameTest, WheelMovesByWholeNotchesAndLeavesWebPagesAlone) {
  frame.wheelTurn_(-60);
  EXPECT_EQ(currentName(), "a");
  frame.wheelTurn_(-60);
  EXPECT_EQ(currentName(), "b");
  frame.wheelTurn_(-300);  // two notches; the half waits
  EXPECT_EQ(currentName(), "c");  // the last note stays
  frame.wheelTurn_(90);  // a turn back starts afresh
  EXPECT_EQ(currentName(), "c");
  frame.wheelTurn_(30);
  EXPECT_EQ(currentName(), "b");

  node("b")->putField_("Content-Transfer-Encoding", "\"URL\"");
  frame.wheelTurn_(-120);
  EXPECT_EQ(currentName(), "b");
  node("b")->putField_("FlagWheel", "\"true\"");
  frame.wheelTurn_(-120);
  EXPECT_EQ(currentName(), "c");
}

// One wheel notch (down unless `dy` says up), delivered to `w` as the mouse over it would.
void turnWheelOver(QWidget* w, int dy = -120) {
  const QPointF at(2, 2);
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

TEST_F(FrameTest, WheelOverTheViewWalksTheNotesUnlessATextBoxHasTheFocus) {
  QAbstractItemView* view = showFocusedCheckList();
  if (!view) GTEST_SKIP() << "no keyboard focus on this platform";
  turnWheelOver(view->viewport());
  EXPECT_EQ(currentName(), "b");
  frame.FrameMemoNode1()->MemoNode0()->setFocus();
  turnWheelOver(view->viewport());
  EXPECT_EQ(currentName(), "b");
}

TEST_F(FrameTest, TheWheelWalksTheNotesOverTheWholeFrame) {
  if (!showFocusedCheckList()) GTEST_SKIP() << "no keyboard focus on this platform";
  auto* statusLine = frame.findChild<QLabel*>(QStringLiteral("StatusBar2"));
  ASSERT_NE(statusLine, nullptr);
  turnWheelOver(statusLine);
  EXPECT_EQ(currentName(), "b");
  turnWheelOver(frame.FrameMemoNode1());
  EXPECT_EQ(currentName(), "c");
  // Outside the frame the wheel is not the frame's.
  QWidget elsewhere;
  elsewhere.show();
  window.changeCurrentNode_(node("a"));
  turnWheelOver(&elsewhere);
  EXPECT_EQ(currentName(), "a");
}

TEST_F(FrameTest, AWheelTurnThatWalksNoNoteScrollsThePageUnderThePointer) {
  QAbstractItemView* view = showFocusedCheckList();
  if (!view) GTEST_SKIP() << "no keyboard focus on this platform";
  MemoNodeUI* b = node("b");
  b->putField_("Content-Transfer-Encoding", "\"URL\"");
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += "<p>line</p>";
  b->body().setText("<html><body>" + lines + "</body></html>");
  window.changeCurrentNode_(b);
  frame.FrameMemoNode1()->setOwnerForm(&window);
  frame.FrameMemoNode1()->setNode(b);
  frame.FrameMemoNode1()->showNode_();
  auto* page = qobject_cast<QAbstractScrollArea*>(frame.FrameMemoNode1()->webFrame()->browser()->widget());
  ASSERT_NE(page, nullptr);
  view->setFocus();
  QScrollBar* bar = page->verticalScrollBar();
  turnWheelOver(page->viewport());
  EXPECT_EQ(currentName(), "b");
  EXPECT_GT(bar->value(), 0);
  // Up over a page scrolls it even on a note the wheel may leave.
  b->putField_("FlagWheel", "\"true\"");
  const int down = bar->value();
  turnWheelOver(page->viewport(), 120);
  EXPECT_EQ(currentName(), "b");
  EXPECT_LT(bar->value(), down);
  turnWheelOver(page->viewport());
  EXPECT_EQ(currentName(), "c");
}

TEST_F(FrameTest, ARightClickMakesTheItemCurrentInTheTreeOnly) {
  frame.resize(400, 300);
  frame.show();
  for (Kind k : {Kind::CheckList, Kind::List, Kind::Tree}) {
    SCOPED_TRACE(static_cast<int>(k));
    show(k);
    auto* view = dynamic_cast<QAbstractItemView*>(book.holder->viewControl(k));
    ASSERT_NE(view, nullptr);
    view->setVisible(true);
    view->setEnabled(true);
    view->doItemsLayout();
    window.changeCurrentNode_(node("a"));
    book.holder->putCurrentNode_(node("a"));
    book.holder->modified = false;
    const QRect onB = view->visualRect(book.holder->model(k)->indexOfItem(item("b")));
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, onB.center());
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    const bool tree = k == Kind::Tree;
    EXPECT_EQ(currentName(), tree ? "b" : "a");
    EXPECT_EQ(book.holder->modified, tree);
    view->setVisible(false);
  }
}

TEST_F(FrameTest, IndexesOutsideTheListAnswerNoNote) {
  for (Kind k : {Kind::Nodes, Kind::CheckList, Kind::Tree, Kind::List}) {
    if (k != Kind::Nodes) show(k);
    EXPECT_EQ(book.holder->getNode_(-1), nullptr);
    EXPECT_EQ(book.holder->getNode_(3), nullptr);
    EXPECT_EQ(book.holder->getNode_(1000000), nullptr);
    EXPECT_EQ(book.holder->getNode_(2), node("c"));
  }
}

TEST_F(FrameTest, CheckListDropsMoveOneLine) {
  show(Kind::CheckList);
  book.holder->modified = false;
  frame.CheckListBoxDragDrop(item("a"), nullptr);
  EXPECT_EQ(book.order(), "b c a ");
  EXPECT_TRUE(book.holder->modified);
  frame.CheckListBoxDragDrop(item("a"), item("b"));
  EXPECT_EQ(book.order(), "a b c ");

  // A real drop on the view: its position names the target line.
  auto* view = dynamic_cast<NoteCheckListView*>(book.holder->viewControl(Kind::CheckList));
  ASSERT_NE(view, nullptr);
  frame.resize(400, 300);
  frame.show();
  view->doItemsLayout();
  book.holder->putCurrentNode_(node("c"));
  const QRect first = view->visualRect(book.holder->model(Kind::CheckList)->indexOfItem(item("a")));
  view->dropAt(first.center());
  EXPECT_EQ(book.order(), "c a b ");
}

// What Qt's drag and drop asks of a view: the drag-over's answer, and the drop itself,
// both delivered to the viewport with the data the model gave for the selection.
bool dragOverAccepted(QAbstractItemView* view, const QMimeData* data, const QPoint& at) {
  QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &enter);
  QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &move);
  return enter.isAccepted() && move.isAccepted();
}

bool dropOn(QAbstractItemView* view, const QMimeData* data, const QPoint& at) {
  QDropEvent drop(QPointF(at), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &drop);
  return drop.isAccepted();
}

// The selection's data as a drag of it carries.
std::unique_ptr<QMimeData> dragOf(QAbstractItemView* view) {
  return std::unique_ptr<QMimeData>(view->model()->mimeData(view->selectionModel()->selectedIndexes()));
}

TEST_F(FrameTest, EveryViewDragsByMovingAndOnlyTheCheckListAndTheTreeTakeDrops) {
  for (Kind k : {Kind::CheckList, Kind::Tree, Kind::List}) {
    show(k);
    NoteItemModel* model = book.holder->model(k);
    SCOPED_TRACE(static_cast<int>(k));
    EXPECT_TRUE(model->supportedDragActions() & Qt::MoveAction);
    EXPECT_TRUE(model->supportedDropActions() & Qt::MoveAction);
    std::unique_ptr<QMimeData> data(model->mimeData({model->indexOfItem(item("b"))}));
    ASSERT_TRUE(data);
    EXPECT_EQ(model->canDropMimeData(data.get(), Qt::MoveAction, -1, -1, {}), k != Kind::List);
    EXPECT_FALSE(model->canDropMimeData(data.get(), Qt::CopyAction, -1, -1, {}));
    // What another view dragged is not this view's to move.
    NoteItemModel* other = book.holder->model(k == Kind::Tree ? Kind::CheckList : Kind::Tree);
    std::unique_ptr<QMimeData> foreign(other->mimeData({other->indexOfItem(item("b"))}));
    EXPECT_FALSE(model->canDropMimeData(foreign.get(), Qt::MoveAction, -1, -1, {}));
  }
}

TEST_F(FrameTest, ADropOnTheCheckListMovesTheLineUnlessTheInterfaceIsReadOnly) {
  show(Kind::CheckList);
  auto* view = dynamic_cast<NoteCheckListView*>(book.holder->viewControl(Kind::CheckList));
  ASSERT_NE(view, nullptr);
  frame.resize(400, 300);
  frame.show();
  view->doItemsLayout();
  book.holder->putCurrentNode_(node("a"));
  const QPoint onC = view->visualRect(book.holder->model(Kind::CheckList)->indexOfItem(item("c"))).center();
  auto data = dragOf(view);

  window.readOnly = true;
  EXPECT_FALSE(dragOverAccepted(view, data.get(), onC));
  EXPECT_FALSE(dropOn(view, data.get(), onC));
  EXPECT_EQ(book.order(), "a b c ");

  window.readOnly = false;
  EXPECT_TRUE(dragOverAccepted(view, data.get(), onC));
  EXPECT_TRUE(dropOn(view, data.get(), onC));
  EXPECT_EQ(book.order(), "b c a ");

  // A file from the desktop is not the view's: it goes on to the window.
  QMimeData file;
  file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.txt"))});
  EXPECT_FALSE(dragOverAccepted(view, &file, onC));
  EXPECT_FALSE(dropOn(view, &file, onC));

  // The list view takes no drop at all.
  show(Kind::List);
  auto* list = dynamic_cast<NoteListView*>(book.holder->viewControl(Kind::List));
  ASSERT_NE(list, nullptr);
  list->show();
  list->doItemsLayout();
  list->selectItem(item("a"));
  auto listData = dragOf(list);
  EXPECT_FALSE(list->viewport()->acceptDrops());
  EXPECT_FALSE(dragOverAccepted(list, listData.get(), QPoint(5, 5)));
}

// What the notebook writer walks: its own container of notes.
std::string containerOrder(MemoHolderUI* h) {
  const StringList& c = h->nodes()->children();
  std::string out;
  for (int i = 0; i < c.count(); ++i) out += static_cast<MemoNode*>(c.object(i))->name() + " ";
  return out;
}

class BigFrameTest : public FrameTest {
 protected:
  BigFrameTest() : FrameTest({"n0|U0", "n1|U1|U0", "n2|U2|U0", "n3|U3", "n4|U4", "n5|U5|U4", "n6|U6"}) {}
};

TEST_F(BigFrameTest, DropsKeepTheSavedOrderInStep) {
  show(Kind::CheckList);
  frame.CheckListBoxDragDrop(item("n0"), nullptr);
  frame.CheckListBoxDragDrop(item("n6"), item("n1"));
  frame.CheckListBoxDragDrop(item("n4"), item("n4"));
  EXPECT_EQ(book.order(), "n6 n1 n2 n3 n4 n5 n0 ");
  EXPECT_EQ(containerOrder(book.holder), book.order());
  show(Kind::Tree);
  EXPECT_EQ(book.order(), "n6 n3 n4 .n5 n0 .n1 .n2 ");
  frame.TreeViewDragDrop(item("n0"), item("n3"));  // a branch of three, forward
  frame.TreeViewDragDrop(item("n4"), item("n2"));  // a branch into another
  EXPECT_EQ(book.order(), "n6 n0 .n1 .n4 ..n5 .n2 n3 ");
  EXPECT_EQ(containerOrder(book.holder), "n6 n0 n1 n4 n5 n2 n3 ");
  frame.TreeViewDragDrop(std::vector<NoteItem*>{item("n3"), item("n5")}, item("n6"));
  EXPECT_EQ(containerOrder(book.holder), "n3 n5 n6 n0 n1 n4 n2 ");
}

class TreeFrameTest : public FrameTest {
 protected:
  TreeFrameTest() : FrameTest({"P|P", "C|C|P", "X|X"}) {}
};

TEST_F(TreeFrameTest, DropsRenestAndRefuseCycles) {
  show(Kind::Tree);
  EXPECT_EQ(book.order(), "P .C X ");
  frame.TreeViewDragDrop(item("C"), item("X"));
  EXPECT_EQ(book.order(), "P C X ");
  EXPECT_EQ(node("C")->getIndexField_("ParentNodeID"), -1);

  frame.TreeViewDragDrop(item("C"), item("P"));
  frame.TreeViewDragDrop(item("C"), item("X"));
  book.holder->noteList().moveToLastChild(item("C"), item("P"));
  node("C")->putParentNodeID_(node("P"));
  book.holder->modified = false;
  window.statuses.clear();
  frame.TreeViewDragDrop(item("P"), item("C"));  // onto its own child
  EXPECT_EQ(window.status(), "Don't Move.");
  EXPECT_EQ(book.order(), "P .C X ");
  EXPECT_FALSE(book.holder->modified);

  // Several at once: each in front of the target, in selection order.
  frame.TreeViewDragDrop(std::vector<NoteItem*>{item("X"), item("C")}, item("P"));
  EXPECT_EQ(book.order(), "X C P ");
  EXPECT_TRUE(book.holder->modified);
  EXPECT_EQ(node("C")->getIndexField_("ParentNodeID"), -1);
  window.statuses.clear();
  frame.TreeViewDragDrop(std::vector<NoteItem*>{item("X"), item("P")}, item("P"));
  EXPECT_EQ(window.status(), "Don't Move.");
  EXPECT_EQ(book.order(), "X C P ");
}

TEST_F(TreeFrameTest, ADropOnTheTreeRenestsAndRefusesItsOwnBranch) {
  show(Kind::Tree);
  auto* tree = dynamic_cast<NoteTreeView*>(book.holder->viewControl(Kind::Tree));
  ASSERT_NE(tree, nullptr);
  frame.resize(400, 300);
  frame.show();
  book.holder->noteList().setExpanded(item("P"), true);
  tree->doItemsLayout();
  NoteItemModel* model = book.holder->model(Kind::Tree);
  auto at = [&](const char* n) { return tree->visualRect(model->indexOfItem(item(n))).center(); };

  tree->selectItem(item("P"));
  auto branch = dragOf(tree);
  // Over its own child the drag is taken, so that the drop can say why nothing moves.
  EXPECT_TRUE(dragOverAccepted(tree, branch.get(), at("C")));
  window.statuses.clear();
  EXPECT_TRUE(dropOn(tree, branch.get(), at("C")));
  EXPECT_EQ(window.status(), "Don't Move.");
  EXPECT_EQ(book.order(), "P .C X ");

  tree->selectItem(item("X"));
  auto x = dragOf(tree);
  window.readOnly = true;
  EXPECT_FALSE(dragOverAccepted(tree, x.get(), at("C")));
  window.readOnly = false;
  EXPECT_TRUE(dragOverAccepted(tree, x.get(), at("C")));
  EXPECT_TRUE(dropOn(tree, x.get(), at("C")));
  EXPECT_EQ(book.order(), "P .X .C ");
  EXPECT_EQ(node("X")->getField_("ParentNodeID"), "\"P\"");
}

class BranchFrameTest : public FrameTest {
 protected:
  BranchFrameTest() : FrameTest({"P|P", "C|C|P", "G|G|C", "X|X"}) {}
  // The tree laid out in a shown frame.
  NoteTreeView* shownTree() {
    show(Kind::Tree);
    frame.resize(400, 300);
    frame.show();
    return dynamic_cast<NoteTreeView*>(book.holder->viewControl(Kind::Tree));
  }
  QModelIndex row(const char* n) { return book.holder->model(Kind::Tree)->indexOfItem(item(n)); }
  QRect rect(NoteTreeView* tree, const char* n) {
    tree->doItemsLayout();
    return tree->visualRect(row(n));
  }
  QPoint arrow(NoteTreeView* tree, const char* n) { return tree->branchRect(rect(tree, n), item(n)->level()).center(); }
};

TEST_F(BranchFrameTest, TheBranchArrowOpensAndClosesAndAClosedBranchTakesTheCurrentNote) {
  NoteTreeView* tree = shownTree();
  ASSERT_NE(tree, nullptr);
  EXPECT_FALSE(row("C").isValid());  // closed: no row for its child
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, arrow(tree, "P"));
  EXPECT_TRUE(item("P")->expanded());
  EXPECT_EQ(row("C").row(), 1);
  EXPECT_EQ(row("X").row(), 2);
  EXPECT_EQ(tree->selectedItem(), nullptr);  // the arrow selects nothing

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, arrow(tree, "C"));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect(tree, "G").center());
  EXPECT_EQ(currentName(), "G");
  // Closing the branch that holds the current note makes the branch current.
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, arrow(tree, "P"));
  EXPECT_FALSE(item("P")->expanded());
  EXPECT_TRUE(item("C")->expanded());  // kept for the next opening
  EXPECT_FALSE(row("G").isValid());
  EXPECT_EQ(currentName(), "P");
  EXPECT_EQ(tree->selectedItem(), item("P"));
  EXPECT_EQ(row("X").row(), 1);
}

TEST_F(BranchFrameTest, DoubleClickAndKeysOpenAndCloseTheCurrentBranch) {
  NoteTreeView* tree = shownTree();
  ASSERT_NE(tree, nullptr);
  // A double click arrives as a click, then the double click.
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect(tree, "P").center());
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect(tree, "P").center());
  EXPECT_EQ(currentName(), "P");
  EXPECT_TRUE(item("P")->expanded());
  EXPECT_FALSE(row("G").isValid());
  QTest::keyClick(tree, Qt::Key_Minus);
  EXPECT_FALSE(item("P")->expanded());
  QTest::keyClick(tree, Qt::Key_Asterisk);  // with everything below
  EXPECT_TRUE(item("C")->expanded());
  EXPECT_EQ(row("G").row(), 2);
  EXPECT_EQ(tree->selectedItem(), item("P"));
  QTest::keyClick(tree, Qt::Key_Minus);
  QTest::keyClick(tree, Qt::Key_Plus);
  EXPECT_EQ(row("X").row(), 3);
  // A branch closed by a command, not the user: the view follows, the note stays.
  book.holder->putCurrentNode_(node("G"));
  window.current = node("G");
  CollapseChildren(item("P"), false);
  EXPECT_EQ(tree->selectedItem(), item("C"));
  EXPECT_EQ(currentName(), "G");
}

TEST_F(TreeFrameTest, KeysAndStatusFollowItemOrder) {
  show(Kind::Tree);
  auto* tree = dynamic_cast<NoteTreeView*>(book.holder->viewControl(Kind::Tree));
  ASSERT_NE(tree, nullptr);
  book.holder->noteList().setExpanded(item("P"), false);  // collapsed: C still counts
  window.changeCurrentNode_(node("P"));
  frame.showStatus_();
  EXPECT_EQ(frame.statusText(), "[0]   1 / 3");
  test::clickKey(tree, Qt::Key_Down);  // one press, one note
  EXPECT_EQ(currentName(), "C");
  EXPECT_EQ(frame.showStatus_(), 1);
  EXPECT_EQ(frame.statusText(), "[0/0]   2 / 3");
  test::clickKey(tree, Qt::Key_Down);
  EXPECT_EQ(currentName(), "X");
  test::clickKey(tree, Qt::Key_Up);
  EXPECT_EQ(currentName(), "C");
  test::clickKey(tree, Qt::Key_Down);
  test::holdKey(tree, Qt::Key_Up, 3);  // held: one note, when let go
  EXPECT_EQ(currentName(), "C");
  frame.ViewClick(item("X"));
  frame.showStatus_();
  EXPECT_EQ(frame.statusText(), "[1]   3 / 3");
}

TEST_F(TreeFrameTest, TheStatusOfADeepNoteLeavesTheFrameItsWidth) {
  // Each level adds to the index path the status line shows.
  MemoNode* n = nullptr;
  for (int i = 0; i < 500; ++i) {
    n = book.holder->newNode_();
    n->putField_("UID", "\"D" + std::to_string(i) + "\"");
    n->putField_("ParentNodeID", i ? "\"D" + std::to_string(i - 1) + "\"" : std::string("\"X\""));
    book.holder->addNode_(n, "d" + std::to_string(i));
  }
  show(Kind::Tree);
  frame.resize(400, 300);
  frame.show();
  frame.showStatus_();
  const int width = frame.PanelLeft()->minimumSizeHint().width();
  window.changeCurrentNode_(static_cast<MemoNodeUI*>(n));
  frame.showStatus_();
  EXPECT_EQ(frame.statusText().substr(0, 8), "[1/0/0/0");
  EXPECT_EQ(frame.PanelLeft()->minimumSizeHint().width(), width);
}

TEST_F(FrameTest, CheckListKeyMovesOneLine) {
  show(Kind::CheckList);
  auto* view = dynamic_cast<NoteCheckListView*>(book.holder->viewControl(Kind::CheckList));
  ASSERT_NE(view, nullptr);
  book.holder->putCurrentNode_(node("a"));
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(currentName(), "b");
}

class QueryFrameTest : public FrameTest {
 protected:
  QueryFrameTest() : FrameTest({"query", "one", "two"}) {
    StringList& q = node("query")->body();
    q.add("# the columns");
    q.add("  Title 200");
    q.add("Date");
    q.add("");
    q.add("Size x");
    node("one")->putField_("Title", "\"First, really\"");
    node("one")->putField_("Date", "\"20261206\"");
    node("two")->putField_("Size", "\"12\"");
  }
  test::TempDir tmp;
};

TEST_F(QueryFrameTest, ShowQueryFillsColumnsAndSaveAsCSVWritesThem) {
  EXPECT_EQ(frame.showQuery_(), -1);  // no list view
  show(Kind::List);
  EXPECT_EQ(frame.showQuery_(), 0);  // no query note named: the name column alone
  EXPECT_EQ(book.holder->listColumns().text(), "name\r\n");
  EXPECT_EQ(window.status(), "Done");

  book.holder->putField_("QueryNode", "\"query\"");
  EXPECT_EQ(frame.showQuery_(), 3);
  EXPECT_EQ(book.holder->listColumns().text(), "name\r\nTitle\r\nDate\r\nSize\r\n");
  EXPECT_EQ(book.holder->listColumnWidths()[1], 200);
  EXPECT_EQ(book.holder->listColumnWidths()[2], 40);  // ten per letter
  EXPECT_EQ(book.holder->listColumnWidths()[3], 40);
  EXPECT_EQ(window.statuses[window.statuses.size() - 2], "3 / 3");
  EXPECT_EQ(frame.listViewStyle(), 3);
  NoteItemModel* m = book.holder->model(Kind::List);
  EXPECT_EQ(m->columnCount(), 4);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Title"));
  EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("\"First, really\""));
  // The report shows the columns under a header, as wide as the query asked.
  auto* lv = dynamic_cast<NoteListView*>(book.holder->viewControl(Kind::List));
  ASSERT_NE(lv, nullptr);
  EXPECT_FALSE(lv->header()->isHidden());
  EXPECT_EQ(lv->header()->sectionSize(1), 200);
  frame.setListViewStyle_(NoteListView::List);
  EXPECT_TRUE(lv->header()->isHidden());
  frame.setListViewStyle_(NoteListView::Report);
  frame.resize(500, 300);
  frame.show();
  QApplication::processEvents();
  EXPECT_GT(lv->viewport()->geometry().top(), lv->header()->geometry().top());
  lv->grab();  // paints the rows column by column

  const std::string csv = tmp.str("out.csv");
  rec.inputs = {csv};
  EXPECT_EQ(frame.saveAsCSV_(), 3);
  EXPECT_FALSE(window.busy);
  std::string saved;
  ASSERT_TRUE(platform::readFile(csv, saved));
  EXPECT_EQ(saved, readTestData("views/query.csv"));

  rec.inputs = {tmp.str("missing/out.csv")};  // a folder that is not there
  EXPECT_EQ(frame.saveAsCSV_(), -1);
  EXPECT_NE(window.status().find("Failure: Save As CSV"), std::string::npos);
  EXPECT_EQ(frame.saveAsCSV_(), -1);  // cancelled
}

}  // namespace
}  // namespace wux

// The menu bar, tool bar and pop-ups as the user meets them: their captions, what the
// busy state and the read-only switch do to them, and a walk that clicks every item.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>

#include "dialogs/ExportWindows.h"
#include "form_fixture.h"
#include "mainwindow/Application.h"
#include "mainwindow/MainMenuTable.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "support/data_files.h"
#include "support/fake_browser.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/WebBrowser.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

// The window's notice ("Still not implemented. " + class and operation) or the model's
// ("Still Not Implimented.").
bool isNotice(const std::string& text) {
  return text.rfind("Still not implemented. ", 0) == 0 || text.rfind("Still Not Implimented.", 0) == 0;
}

// A menu item with the table entry it was built from.
struct Item {
  std::string path;  // "[Holder]/Extra/Sort Field"
  QAction* action;
  const menu::MenuEntry* entry;
};

class MainMenuTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  MainMenuTest() : FormTest({2026, 12, 7, 3, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    smallDocument();
  }
  void smallDocument() {
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
    test::addNotes(holder(), {"second", "third"});
    holder()->modified = false;
  }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  QPlainTextEdit* memo() { return editor()->MemoNode0(); }
  std::vector<QMenu*> topMenus() {
    std::vector<QMenu*> out;
    for (QAction* a : form->menuBar()->actions())
      if (a->menu()) out.push_back(a->menu());
    return out;
  }
  QMenu* topMenu(const char* title) {
    for (QMenu* m : topMenus())
      if (m->title() == QString::fromUtf8(title)) return m;
    ADD_FAILURE() << "no menu " << title;
    return nullptr;
  }
  static void allActions(QMenu* menu, std::vector<QAction*>& out) {
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      out.push_back(a);
      if (a->menu()) allActions(a->menu(), out);
    }
  }
  // Every item of the bar paired with its table entry; the bar is built in table order.
  std::vector<Item> menuItems() {
    std::vector<const menu::MenuEntry*> entries;
    for (const menu::MenuEntry& e : menu::mainMenu())
      if (!menu::isSeparator(e.caption)) entries.push_back(&e);
    std::vector<Item> out;
    std::size_t i = 0;
    for (QMenu* top : topMenus()) {
      const std::string title = top->title().toStdString();
      std::vector<QAction*> actions;
      allActions(top, actions);
      ++i;  // the top menu's own entry
      for (QAction* a : actions) {
        if (i >= entries.size()) break;
        QString path = QString::fromStdString(title) + "/";
        if (auto* parentMenu = qobject_cast<QMenu*>(a->parent()); parentMenu && parentMenu != top)
          path += parentMenu->title() + "/";
        out.push_back({(path + a->text()).toStdString(), a, entries[i++]});
      }
    }
    EXPECT_EQ(i, entries.size());
    return out;
  }
  QAction* item(const std::string& path) {
    for (const Item& it : menuItems())
      if (it.path == path) return it.action;
    ADD_FAILURE() << "no item " << path;
    return nullptr;
  }
  QAction* tabItem(const char* caption) {
    for (QAction* a : form->tabPopup()->actions())
      if (a->text() == QLatin1String(caption)) return a;
    ADD_FAILURE() << "no tab item " << caption;
    return nullptr;
  }
  QWidget* tool(const char* objectName) {
    return form->panelTop()->findChild<QWidget*>(QLatin1String(objectName));
  }
  bool noticeSince(std::size_t from) {
    for (std::size_t i = from; i < rec.asked.size(); ++i)
      if (rec.asked[i].kind == "message" && isNotice(rec.asked[i].text)) return true;
    return false;
  }

  test::TempDir tmp;
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scopedLauncher{&launcher};
};

// The menu bar as the user reads it: one line per item, indented by its depth.
TEST_F(MainMenuTest, CaptionsAndItemCountsPerTopMenu) {
  QString dump;
  std::vector<int> counts;
  std::function<void(QMenu*, int)> list = [&](QMenu* menu, int depth) {
    for (QAction* a : menu->actions()) {
      dump += QString(depth * 2, ' ') + (a->isSeparator() ? QStringLiteral("-") : a->text()) + "\n";
      ++counts.back();
      if (a->menu()) list(a->menu(), depth + 1);
    }
  };
  for (QMenu* top : topMenus()) {
    dump += top->title() + "\n";
    counts.push_back(0);
    list(top, 1);
  }
  EXPECT_EQ(dump.toStdString(), readTestData("mainwindow/main_menu.txt"));
  EXPECT_EQ(counts, (std::vector<int>{20, 44, 12, 38, 30, 47, 14, 4, 16, 4, 4, 6, 12, 9, 3}));
  EXPECT_EQ(item("&File/&Open File")->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(item("&File/Save All Holders")->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_TRUE(item("&File/Save(No Message)")->shortcut().isEmpty());

  QStringList tabs;
  for (QAction* a : form->tabPopup()->actions()) tabs << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(tabs, (QStringList{"Rename", "Rename other", "-", "New", "New Left", "New Right", "Clone", "-", "->",
                               "<-", "-", "Delete"}));
  ASSERT_EQ(form->statusPopup()->actions().size(), 1);
  EXPECT_EQ(form->statusPopup()->actions()[0]->text(), QStringLiteral("Copy(&C)"));

  // The tool bar, left to right, with its hints.
  QStringList tools;
  QLayout* row = form->panelTop()->layout();
  for (int i = 0; i < row->count(); ++i)
    if (QWidget* w = row->itemAt(i)->widget()) {
      auto* b = qobject_cast<QAbstractButton*>(w);
      tools << b->text() + "|" + b->toolTip();
    }
  EXPECT_EQ(tools, (QStringList{"New|Create New MemoNode. ( text type )", "SAVE|Save Current Holder.", "Break|Break ",
                                "ReadOnly|", "Exit|Exit force. not save files.", "Done|Break force.",
                                "URL|Create New MemoNode. ( URL Type)", "Image|Create New MemoNode. ( Image Type )",
                                "Scan|Make the List of MemoNode matched by keyword. ", "Holder|", "Internet|", "UP|",
                                "DOWN|"}));
  EXPECT_FALSE(form->uiReadOnlyBox()->isChecked());
  EXPECT_TRUE(form->uiInternetBox()->isChecked());
}

// Each item's command and argument, against the list written from the documented menus.
TEST_F(MainMenuTest, EveryItemRunsTheDocumentedCommandWithItsArgument) {
  struct Expected {
    std::string path, command, arg;
  };
  std::vector<Expected> expected;
  std::istringstream lines(readTestData("mainwindow/menu_commands.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
    ASSERT_TRUE(a != std::string::npos && b != std::string::npos) << line;
    std::string command = line.substr(a + 1, b - a - 1);
    if (command[0] == '=') command.erase(0, 1);
    expected.push_back({line.substr(0, a), command, line.substr(b + 1)});
  }
  const std::vector<Item> items = menuItems();
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& it = items[i];
    const Expected& want = expected[i];
    std::string path = it.path;
    if (it.action->menu()) {  // a submenu is named once, under its top menu
      const std::size_t top = path.find('/');
      path = path.substr(0, top + 1) + it.action->text().toStdString();
    }
    EXPECT_EQ(path, want.path);
    const std::string command = *it.entry->command ? it.entry->command : "-";
    const std::string arg = (it.entry->flags & menu::kCaptionArg) ? it.entry->caption
                            : it.entry->arg                        ? it.entry->arg
                                                                   : "-";
    EXPECT_EQ(command, want.command) << want.path;
    EXPECT_EQ(arg, want.arg) << want.path;
  }
}

TEST_F(MainMenuTest, TheMarkMenusSaveEachWindowSavesTheMarkedNotesOnly) {
  for (const auto& [path, marked] : {std::pair<const char*, bool>{"MarkNode/Show FormSaveEach", true},
                                     std::pair<const char*, bool>{"[Holder]/Each/Show FormSaveEach", false}}) {
    std::optional<bool> markedOnly;
    QTimer::singleShot(0, [&] {
      if (auto* d = qobject_cast<TFormSaveEach*>(QApplication::activeModalWidget())) {
        markedOnly = d->CheckBox_MarkNodeOnly->isChecked();
        d->reject();
      }
    });
    item(path)->trigger();
    EXPECT_EQ(markedOnly, std::optional<bool>(marked)) << path;
  }
}

TEST_F(MainMenuTest, BusyDisablesEveryDroppedMenuButTheDiagnostics) {
  auto drop = [&](bool busy) {
    for (QMenu* top : topMenus()) {
      emit top->aboutToShow();
      const bool diagnostics = top->title().startsWith('T');
      std::vector<QAction*> actions;
      allActions(top, actions);
      for (QAction* a : actions)
        EXPECT_EQ(a->isEnabled(), diagnostics || !busy)
            << top->title().toStdString() << "/" << a->text().toStdString() << " busy=" << busy;
    }
  };
  form->beginDoing_("Long");
  drop(true);
  EXPECT_EQ(status(), "Now Doing 2026/12/07 03:00:00:000");
  // A disabled item cannot start anything; a guarded one run anyway does nothing either.
  const int notes = holder()->getNodeCount_();
  item("[MemoNode]/New")->trigger();
  QTest::mouseClick(static_cast<QPushButton*>(tool("NewNodeBtn")), Qt::LeftButton);
  EXPECT_EQ(holder()->getNodeCount_(), notes);
  form->endDoing();
  drop(false);

  // The check marks follow the notebook and the editor when a menu drops.
  QMenu* holderMenu = topMenu("[Holder]");
  ASSERT_EQ(form->commands().run("changeTreeView_"), 0);
  emit holderMenu->aboutToShow();
  EXPECT_TRUE(item("[Holder]/TreeView")->isChecked());
  EXPECT_FALSE(item("[Holder]/CheckListBox")->isChecked());
  editor()->showComment_();
  editor()->hideFields_();
  emit topMenu("[Form]")->aboutToShow();
  EXPECT_TRUE(item("[Form]/Comment")->isChecked());
  EXPECT_FALSE(item("[Form]/Field")->isChecked());
  item("[Form]/Comment")->trigger();
  EXPECT_FALSE(editor()->commentShown());
  // A read-only notebook's notes offer no read-only switch of their own.
  holder()->putField_("FlagReadOnly", "\"true\"");
  emit topMenu("[MemoNode]")->aboutToShow();
  EXPECT_FALSE(item("[MemoNode]/ReadOnly")->isVisible());
  holder()->putField_("FlagReadOnly", "\"false\"");
  emit topMenu("[MemoNode]")->aboutToShow();
  EXPECT_TRUE(item("[MemoNode]/ReadOnly")->isVisible());
}

TEST_F(MainMenuTest, ReadOnlySwitchLocksCreationAndDeletion) {
  const char* writableTools[] = {"NewNodeBtn", "NewURLBtn", "NewImageBtn"};
  const char* writableTabs[] = {"Rename", "New", "Delete"};
  form->uiReadOnlyBox()->click();
  for (const char* t : writableTools) EXPECT_FALSE(tool(t)->isEnabled()) << t;
  for (const char* t : writableTabs) EXPECT_FALSE(tabItem(t)->isEnabled()) << t;
  EXPECT_TRUE(tool("SaveBtn")->isEnabled());
  EXPECT_TRUE(tabItem("New Left")->isEnabled());
  EXPECT_TRUE(memo()->isReadOnly());

  // The menu bar's Delete items stay clickable; their commands refuse.
  form->newHolder_(-1);
  const int notes = holder()->getNodeCount_();
  for (const char* path : {"[Holder]/Delete", "[MemoNode]/Delete"}) {
    form->messageDoing_("");
    item(path)->trigger();
    EXPECT_EQ(status(), "UI ReadOnly") << path;
  }
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 2);
  EXPECT_EQ(holder()->getNodeCount_(), notes);

  form->uiReadOnlyBox()->click();
  for (const char* t : writableTools) EXPECT_TRUE(tool(t)->isEnabled()) << t;
  for (const char* t : writableTabs) EXPECT_TRUE(tabItem(t)->isEnabled()) << t;
  EXPECT_FALSE(memo()->isReadOnly());

  // Clicked while busy, the switch applies nothing and stays as it was.
  form->beginDoing_("Long");
  form->uiReadOnlyBox()->click();
  EXPECT_FALSE(form->isUIReadOnly());
  EXPECT_TRUE(tool("NewNodeBtn")->isEnabled());
  form->endDoing();
}

TEST_F(MainMenuTest, ReadOnlySwitchKeepsTheSavedNotebookFromEveryTextItem) {
  form->getMemoFile()->putFileName_(tmp.str("ro.mxa"));
  std::string actual;
  holder()->putName_("Book", actual);
  form->show();
  QApplication::setActiveWindow(form.get());
  memo()->setFocus();
  QTest::keyClicks(memo(), QStringLiteral("precious text"));
  QTest::mouseClick(tool("SaveBtn"), Qt::LeftButton);
  std::string saved;
  ASSERT_TRUE(platform::readFile(tmp.str("Book.mxh"), saved)) << status();
  ASSERT_NE(saved.find("precious text"), std::string::npos);

  QTest::mouseClick(form->uiReadOnlyBox(), Qt::LeftButton);
  ASSERT_TRUE(form->isUIReadOnly());
  for (const char* path : {"[MemoNode]/Clear", "[MemoNode]/Sort", "[MemoNode]/NoDup", "[MemoNode]/Number",
                           "[MemoNode]/Mark Dup", "[MarkWord]/trim", "[MarkWord]/,LF", "[MarkWord]/OneLine",
                           "[MarkWord]/TAGWordList", "[MarkWord]/List/Holders", "[MarkWord]/List/Mark Nodes",
                           "[MarkWord]/Check Holder", "[MemoNode]/Extra/Set Relative Path", "[MemoNode]/Extra/ReLoad"}) {
    form->messageDoing_("");
    memo()->selectAll();
    item(path)->trigger();
    EXPECT_EQ(status(), "UI ReadOnly") << path;
  }
  EXPECT_EQ(memo()->toPlainText(), QStringLiteral("precious text"));
  EXPECT_FALSE(holder()->modified);
  QTest::mouseClick(tool("SaveBtn"), Qt::LeftButton);
  ASSERT_TRUE(platform::readFile(tmp.str("Book.mxh"), saved));
  EXPECT_NE(saved.find("precious text"), std::string::npos);
}

TEST_F(MainMenuTest, TabFromTheNoteListPassesTheToolBarSwitches) {
  form->show();
  QApplication::setActiveWindow(form.get());
  QWidget* list = holder()->getViewControl_();
  list->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), list);
  for (int i = 0; i < 12; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), form->uiReadOnlyBox()) << i;
    EXPECT_NE(QApplication::focusWidget(), form->uiInternetBox()) << i;
  }
  EXPECT_FALSE(form->isUIReadOnly());
}

TEST_F(MainMenuTest, AddHeadItemsPutTheirCaptionBeforeEachLine) {
  memo()->setPlainText(QStringLiteral("one\ntwo"));
  memo()->selectAll();
  item("[MarkWord]/Add Head/\u25CF")->trigger();
  EXPECT_EQ(memo()->toPlainText(), QString::fromUtf8("\u25CFone\n\u25CFtwo"));
  memo()->selectAll();
  item("[MarkWord]/Add Head/>")->trigger();
  memo()->selectAll();
  item("[MarkWord]/Set Number/%.2d")->trigger();
  EXPECT_EQ(memo()->toPlainText(), QString::fromUtf8("01>\u25CFone\n02>\u25CFtwo"));
}

TEST_F(MainMenuTest, InternetSwitchShowsAWebNoteAtOnce) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  form->uiInternetBox()->click();
  EXPECT_EQ(status(), "turn off internet access");
  form->uiInternetBox()->click();
  EXPECT_EQ(status(), "turn on internet access");
  form->uiInternetBox()->click();
  MemoNodeUI* web = form->getCurrentNode();
  web->putField_("Content-Transfer-Encoding", "\"URL\"");
  web->putField_("Filename", "\"http://127.0.0.1:9/\"");
  form->Model2UI();
  auto* browser = editor()->findChild<test::FakeBrowser*>();
  const std::size_t shownBefore = browser ? browser->history.size() : 0;
  form->uiInternetBox()->click();
  browser = editor()->findChild<test::FakeBrowser*>();
  ASSERT_NE(browser, nullptr);
  ASSERT_GT(browser->history.size(), shownBefore);
  EXPECT_EQ(browser->current()->url, QUrl(QStringLiteral("http://127.0.0.1:9/")));
  setWebBrowserFactory(previous);
}

// Every item of every menu, every tool button and switch, and every pop-up item, clicked
// on a small document in each view kind: nothing may crash, hang or throw, and only the
// items whose command is left open answer with the not-implemented notice.
TEST_F(MainMenuTest, EveryItemRunsItsCommand) {
  auto previous = setWebBrowserFactory([](QWidget* parent) { return new test::FakeBrowser(parent); });
  // The desktop registration and shortcut items write into the user's folders.
  const char* vars[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i) {
    if (const char* v = std::getenv(vars[i])) saved[i] = v;
    setenv(vars[i], tmp.str("home").c_str(), 1);
  }
  // A new document's files land in the current folder.
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(tmp.path);
  std::vector<std::string> errors;
  Application::setErrorSink([&](const std::string& what) { errors.push_back(what); });
  form->getStringsPrinter().setShowProgress(false);
  form->getStringsPrinter().setPdfOutput(tmp.str("out.pdf"));
  // Modal windows and pop-ups the items open are answered with Cancel.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* p = QApplication::activePopupWidget()) p->close();
    if (QWidget* m = QApplication::activeModalWidget()) {
      if (auto* d = qobject_cast<QDialog*>(m))
        d->reject();
      else
        m->close();
    }
  });
  closer.start(5);
  std::set<QWidget*> before;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) before.insert(w);
  auto closeNewWindows = [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w != form.get() && !before.count(w)) w->close();
  };
  // Runs one click and checks what it answered.
  auto click = [&](const std::string& what, const std::string& command, bool leftOpen, auto&& doIt) {
    SCOPED_TRACE(what);
    if (command == "UITerminateForce") rec.answers.push_back(Answer::No);
    const std::size_t from = rec.asked.size();
    const std::size_t errorsBefore = errors.size();
    doIt();
    closeNewWindows();
    const bool notice = noticeSince(from);
    if (leftOpen) {
      EXPECT_TRUE(notice) << what << " should answer the notice";
    } else {
      EXPECT_FALSE(notice) << what << " (" << command << ") answered " << rec.asked.back().text;
    }
    for (std::size_t i = errorsBefore; i < errors.size(); ++i) ADD_FAILURE() << what << " threw " << errors[i];
    rec.answers.clear();
  };

  int clicked = 0;
  int leaves = 0;
  for (const Item& it : menuItems()) leaves += it.action->menu() ? 0 : 1;
  for (const char* view : {"changeCheckListBox_", "changeTreeView_", "changeListView_"}) {
    std::string lastTop;
    for (const Item& it : menuItems()) {
      if (it.action->menu()) continue;
      // Each top menu starts from the same small document in this view kind.
      const std::string top = it.path.substr(0, it.path.find('/'));
      if (top != lastTop) {
        lastTop = top;
        smallDocument();
        form->commands().run(view);
      }
      emit topMenu(top.c_str())->aboutToShow();
      ASSERT_TRUE(it.action->isEnabled()) << it.path;
      click(std::string(view) + " " + it.path, it.entry->command, it.entry->flags & menu::kLeftOpen,
            [&] { it.action->trigger(); });
      ++clicked;
    }
    smallDocument();
    form->commands().run(view);
    for (const menu::ToolEntry& e : menu::toolBar()) {
      auto* b = qobject_cast<QAbstractButton*>(tool(e.objectName));
      ASSERT_NE(b, nullptr) << e.objectName;
      const int times = e.kind == menu::ToolKind::Button ? 1 : 2;  // a switch goes back
      for (int i = 0; i < times; ++i) click(e.objectName, e.command, false, [&] { b->click(); });
    }
    for (QMenu* popup : {form->tabPopup(), form->statusPopup()}) {
      std::size_t i = 0;
      const auto entries = popup == form->tabPopup() ? menu::tabPopup() : menu::statusPopup();
      for (QAction* a : popup->actions()) {
        const menu::PopupEntry& e = entries[i++];
        if (a->isSeparator()) continue;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption));
        click(e.caption, e.command, false, [&] { a->trigger(); });
      }
    }
    click("status bar", menu::statusClickCommand(), false,
          [&] { QTest::mouseClick(form->statusBar()->findChildren<QLabel*>().back(), Qt::LeftButton); });
  }
  EXPECT_EQ(clicked, 3 * leaves);
  EXPECT_GT(leaves, 200);

  closer.stop();
  std::filesystem::current_path(cwd);
  Application::setErrorSink(nullptr);
  setWebBrowserFactory(previous);
  for (int i = 0; i < 3; ++i) {
    if (saved[i])
      setenv(vars[i], saved[i]->c_str(), 1);
    else
      unsetenv(vars[i]);
  }
}

// Ctrl+S typed in the editor saves what was typed: the notebook file and the document.
TEST_F(MainMenuTest, CtrlSSavesTheDocumentAndEveryModifiedNotebook) {
  MemoFileUI* doc = form->getMemoFile();
  doc->putFileName_(tmp.str("keys.mxa"));
  std::string actual;
  holder()->putName_("Typed", actual);
  form->newHolder_(-1)->putName_("Other", actual);
  form->show();
  QApplication::setActiveWindow(form.get());
  memo()->setFocus();
  QTest::keyClicks(memo(), QStringLiteral("saved by the key"));
  QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier);

  std::string notebook, document;
  ASSERT_TRUE(platform::readFile(tmp.str("Typed.mxh"), notebook)) << status();
  EXPECT_NE(notebook.find("saved by the key"), std::string::npos);
  ASSERT_TRUE(platform::readFile(tmp.str("keys.mxa"), document));
  EXPECT_NE(document.find("<Holder name=\"Other\">"), std::string::npos);
  EXPECT_TRUE(platform::fileExists(tmp.str("Other.mxh")));  // new, so modified
  EXPECT_FALSE(holder()->modified);
  EXPECT_FALSE(doc->modified);
  EXPECT_EQ(status(), "Done: Save All Holders");
}

}  // namespace
}  // namespace wux

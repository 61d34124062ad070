// The notebook frame's context menus, one per view kind, and the items the frame
// handles itself: name edits, clones, grep, the list view's query columns and its CSV.
#include <charconv>

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "model/Prompter.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/ChangeGuard.h"
#include "views/Clipboard.h"
#include "views/CommandTable.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/GrepDialogApi.h"
#include "views/MainWindowApi.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/NoteViews.h"
#include "views/qtext.h"

namespace wux {

namespace {

const char* const kCommandProperty = "wuxCommand";

// Builds one menu: items that run a command through the table, items the frame
// handles, submenus.
class MenuBuilder {
 public:
  MenuBuilder(TFrameMemoHolder* frame, QMenu* menu) : frame_(frame), menu_(menu) {}
  // Runs `command`; refused while an operation runs unless `always`.
  QAction* cmd(const char* caption, const char* command, bool always = false,
               std::vector<std::string> args = {}) {
    QAction* a = menu_->addAction(QString::fromUtf8(caption));
    a->setProperty(kCommandProperty, QString::fromLatin1(command));
    TFrameMemoHolder* f = frame_;
    const std::string name = command;
    QObject::connect(a, &QAction::triggered, f, [f, name, always, args] { f->runMenuCommand(name, always, args); });
    return a;
  }
  QAction* own(const char* caption, std::function<void()> handler) {
    QAction* a = menu_->addAction(QString::fromUtf8(caption));
    if (handler) QObject::connect(a, &QAction::triggered, frame_, std::move(handler));
    return a;
  }
  MenuBuilder sub(const char* caption) {
    QMenu* m = menu_->addMenu(QString::fromUtf8(caption));
    return MenuBuilder(frame_, m);
  }
  void separator() { menu_->addSeparator(); }
  QMenu* menu() const { return menu_; }

 private:
  TFrameMemoHolder* frame_;
  QMenu* menu_;
};

// A whole decimal number that fits an int; false for anything else.
bool readCount(const std::string& text, int& out) {
  const std::string t = sjis::trim(text);
  const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
  return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
}

const char* const kMark1 = "\xe2\x97\x8f";  // ● in UTF-8
const char* const kMark2 = "\xe2\x98\x85";  // ★

void addNew(MenuBuilder m) {
  m.cmd("Text", "newMemoNode_");
  m.cmd("URL", "UINewMemoNodeURL");
  m.cmd("Image", "UINewNodeImage");
  m.cmd("Screen", "UINewNodeImageScreen");
}

void addMoves(MenuBuilder& m, const char* up) {
  m.cmd("Top", "UIMoveNodeTop");
  m.cmd(up, "UIMoveNodeUp");
  m.cmd("Down", "UIMoveNodeDown");
  m.cmd("Bottom", "UIMoveNodeBottom");
}

}  // namespace

std::string TFrameMemoHolder::commandOf(const QAction* item) {
  return item ? item->property(kCommandProperty).toString().toStdString() : std::string();
}

void TFrameMemoHolder::runMenuCommand(const std::string& name, bool always, const std::vector<std::string>& args) {
  if (!ready()) return;
  // "always" items leave the busy test to their command.
  if (!always && main_->isDoing_()) return;
  main_->commands().run(name, args);
}

void TFrameMemoHolder::buildMenus() {
  using NE = NameEdit;
  std::pair<QAction*, QAction*> treeMarks{nullptr, nullptr};
  auto rename = [this](MenuBuilder r, bool withNumbers) -> std::pair<QAction*, QAction*> {
    r.cmd("Dialog", "UIRenameDialog");
    QAction* m1 = r.own(kMark1, nullptr);
    QAction* m2 = r.own(kMark2, nullptr);
    for (QAction* m : {m1, m2})
      connect(m, &QAction::triggered, this, [this, m] { renameCurrent_(NE::Mark, fromQ(m->text())); });
    // The marks are set afresh each time the submenu opens.
    connect(r.menu(), &QMenu::aboutToShow, this, [m1, m2] {
      m1->setText(QString::fromUtf8(kMark1));
      m2->setText(QString::fromUtf8(kMark2));
    });
    r.own("Cut1", [this] { renameCurrent_(NE::Cut1); });
    if (withNumbers) {
      r.own("Inc1", [this] { renameCurrent_(NE::Inc1); });
      r.own("Dec1", [this] { renameCurrent_(NE::Dec1); });
      r.own("ExtractFilename", [this] { renameCurrent_(NE::ExtractFilename); });
    }
    r.own("Copy", [this] { renameCurrent_(NE::Copy); });
    r.own("Paste", [this] { renameCurrent_(NE::Paste); });
    return {m1, m2};
  };
  auto clone = [this](MenuBuilder c, std::initializer_list<int> counts) {
    for (int n : counts) c.own(std::to_string(n).c_str(), [this, n] { cloneCurrent_(n); });
    c.own("X", [this] { cloneCurrent_(0); });
  };

  // ---- check list ----
  menuLB_ = new QMenu(this);
  menuLB_->setObjectName(QStringLiteral("PopupMenuLB"));
  {
    MenuBuilder m(this, menuLB_);
    addNew(m.sub("New"));
    rename(m.sub("Rename"), false);
    clone(m.sub("Clone"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    m.cmd("CopyTo", "UICopy1To");
    m.cmd("MoveTo", "UIMove1To");
    m.cmd("Delete", "UIDeleteMemoNode");
    m.cmd("Read Window", "UIShowFormMemoNodeReadOnly");
    m.separator();
    addMoves(m, "UP");
    m.separator();
    m.cmd("SaveAs", "UISaveAsMemoNode");
    m.cmd("Scan Holder", "UIShowScanMemoHolder");
    m.cmd("Scan Node", "UIShowScanMemoNode");
  }

  // ---- tree ----
  menuTV_ = new QMenu(this);
  menuTV_->setObjectName(QStringLiteral("PopupMenuTV"));
  {
    MenuBuilder m(this, menuTV_);
    addNew(m.sub("New"));
    MenuBuilder child = m.sub("New Child");
    child.cmd("Clone", "UICloneMemoNodeAndChild");
    child.cmd("Text", "UINewChild");
    child.cmd("URL", "UINewChildURL");
    child.cmd("Image", "UINewChildImage");
    child.cmd("Screen", "UINewChildImageScreen");
    MenuBuilder url = child.sub("URL");
    url.cmd("Source", "UINewChildDownloadeed");
    url.cmd("Links", "UINewChildURLLink");
    MenuBuilder conv = child.sub("Convert");
    conv.cmd("Bin->Text", "UINewChildBinDump");
    conv.cmd("EUC->SJIS", "UINewChildEUC2SJIS");
    conv.cmd("JIS->SJIS", "UINewChildJIS2SJIS");
    conv.cmd("SJIS->JIS", "UINewChildSJIS2JIS");
    conv.cmd("CSV->HTML", "UINewChildCSV2HTML");
    MenuBuilder grep = child.sub("Grep");
    grep.own("Any", [this] { newChildGrep_(""); });
    grep.own("<a href", [this] { newChildGrep_("<a href"); });
    grep.own("<img", [this] { newChildGrep_("<img"); });
    child.cmd("Execute", "UINewChildExecuted");
    child.cmd("HTML", "UINewChildHTML");
    child.cmd("HTML2", "UINewChildHTML2");
    child.cmd("HTML Calendar", "UINewChildHTMLCalendar");
    child.cmd("HTML Page", "UINewChildHTMLPage");
    treeMarks = rename(m.sub("Rename"), true);
    clone(m.sub("Clone"), {1, 2, 3, 4, 5, 10});
    m.cmd("Copy Name", "UICopyName", true);
    m.cmd("CopyTo", "UICopy1To");
    m.cmd("MoveTo", "UIMove1To");
    m.cmd("Delete", "UIDeleteMemoNode");
    MenuBuilder extra = m.sub("Extra");
    extra.cmd("Open Link", "UIOpenLink");
    extra.cmd("Open Filename", "UIOpenFilename");
    extra.cmd("Read Window", "UIShowFormMemoNodeReadOnly");
    extra.cmd("Other Window", "UIShowFormMemoNode", true);
    extra.cmd("Set Relative Path", "UISetRelativePath", true);
    MenuBuilder tv = m.sub("TreeView");
    tv.cmd("List Level=0", "UIListLevel0");
    tv.cmd("List Level=0+", "UIListLevel0Plus");
    tv.cmd("Expand All", "UIExpandAll");
    tv.cmd("Unexpand", "UIUnexpand");
    tv.cmd("Update Level", "UIUpdateLevel");
    tv.cmd("New RootNode", "UINewRootNodeTV");
    MenuBuilder c1 = m.sub("Child1");
    c1.cmd("List", "UIListChild1");
    c1.cmd("Sort", "UISortChild1");
    c1.cmd("Reverse", "UIReverseChild1");
    c1.cmd("Set Relative Path", "UISetRelativepathChild1");
    c1.cmd("ExtractFilename", "UIExtractFilenameChild1");
    c1.cmd("New Childs", "UINewChilds");
    c1.cmd("Expand", "UIExpandChild1");
    c1.cmd("Unexpand", "UIUnExpandChild1");
    MenuBuilder c = m.sub("Child");
    c.cmd("List", "UIListChild");
    c.cmd("New RootNode", "UINewRootNode");
    m.separator();
    addMoves(m, "UP");
    m.cmd("->", "UIMoveNodeRight");
    m.cmd("<-", "UIMoveNodeLeft");
  }

  // ---- list ----
  menuLV_ = new QMenu(this);
  menuLV_->setObjectName(QStringLiteral("PopupMenuLV"));
  {
    MenuBuilder m(this, menuLV_);
    addNew(m.sub("New"));
    // Only sets the marks of the tree menu's Rename items; it renames nothing.
    m.own("Rename", [treeMarks] {
      treeMarks.first->setText(QString::fromUtf8(kMark1));
      treeMarks.second->setText(QString::fromUtf8(kMark2));
    });
    clone(m.sub("Clone"), {1, 2, 3, 4, 5});
    m.cmd("CopyTo", "UICopy1To");
    m.cmd("MoveTo", "UIMove1To");
    m.own("Save As CSV", [this] { saveAsCSV_(); });
    m.cmd("Delete", "UIDeleteMemoNode");
    m.cmd("Read Window", "UIShowFormMemoNodeReadOnly");
    MenuBuilder style = m.sub("ViewStyle");
    auto* group = new QActionGroup(style.menu());
    const char* const names[4][2] = {{"Icon", "UIViewStyleIcon"},
                                     {"SmallIcon", "UIViewStyleSmallIcon"},
                                     {"List", "UIViewStyleList"},
                                     {"Report", "UIViewStyleReport"}};
    std::vector<QAction*> styles;
    for (const auto& n : names) {
      QAction* a = style.cmd(n[0], n[1]);
      a->setCheckable(true);
      group->addAction(a);
      styles.push_back(a);
    }
    connect(style.menu(), &QMenu::aboutToShow, this, [this, styles] {
      const int s = listViewStyle();
      if (s >= 0 && s < static_cast<int>(styles.size())) styles[static_cast<size_t>(s)]->setChecked(true);
    });
    m.cmd("Set Query", "UISetQuery");
    m.cmd("Jump Query", "UIJumpQuery");
    m.own("Show Query", [this] { showQuery_(); });
    m.separator();
    addMoves(m, "Up");
  }
}

void TFrameMemoHolder::popupMenu(QWidget* control, const QPoint& at) {
  if (!ready()) return;
  auto* view = dynamic_cast<QAbstractItemView*>(control);
  auto* binding = dynamic_cast<NoteViewBinding*>(control);
  QMenu* menu = dynamic_cast<NoteTreeView*>(control)   ? menuTV_
                : dynamic_cast<NoteListView*>(control) ? menuLV_
                                                       : menuLB_;
  if (view && binding && menu == menuTV_) {
    // In the tree the menu acts on the item under the pointer: it becomes current first.
    // The lists' menus act on the current note.
    if (NoteItem* it = binding->noteModel()->itemOf(view->indexAt(at))) {
      if (it != binding->selectedItem()) binding->selectItem(it);
      ViewClick(it);
    }
  }
  menu->popup(control->mapToGlobal(at));
}

// ---- name edits ----

bool TFrameMemoHolder::renameTo(MemoNodeUI* note, const std::string& name) {
  std::string actual;
  note->putName_(name, actual);
  nodeFrame_->setNameText(note->name());
  showStatus_();
  return true;
}

namespace {
// The name after its last "\", "/" or ":" (a file name from a path).
std::string afterLastDelimiter(const std::string& name) {
  const std::size_t i = sjis::findLastOf(name, "\\/:");
  return i == std::string::npos ? name : name.substr(i + 1);
}
}  // namespace

void TFrameMemoHolder::renameCurrent_(NameEdit edit, const std::string& mark) {
  if (!ready()) return;
  if (edit != NameEdit::ExtractFilename && main_->isDoing_()) return;
  MemoNodeUI* note = main_->getCurrentNode();
  if (!note) return;
  if (edit != NameEdit::Copy && refusedToChange(*main_, *note)) return;
  const std::string old = note->name();
  std::string rest;
  switch (edit) {
    case NameEdit::Mark:
      renameTo(note, mark + " " + old);
      return;
    case NameEdit::Cut1: {
      SplitFirstWord(sjis::trim(old), rest);
      rest = sjis::trim(rest);
      if (rest.empty()) {
        messageDoing_("Do not rename empty characters.");
        return;
      }
      renameTo(note, rest);
      return;
    }
    case NameEdit::Paste: {
      const std::string text = clipboard().text();
      std::string flat;
      for (char c : text)
        if (c != '\r' && c != '\n') flat += c;
      flat = sjis::trim(flat);
      if (flat.empty()) {
        messageDoing_("Do not rename empty characters.");
        return;
      }
      renameTo(note, flat);
      return;
    }
    case NameEdit::Copy:
      clipboard().setText(old);
      return;
    case NameEdit::Inc1:
    case NameEdit::Dec1: {
      const std::string trimmed = sjis::trim(old);
      std::string first = SplitFirstWord(trimmed, rest);
      if (!HasDigit(first)) {
        renameTo(note, trimmed);
        return;
      }
      first = edit == NameEdit::Inc1 ? IncNumberStr(first) : DecNumberStr(first);
      renameTo(note, rest.empty() ? first : first + " " + rest);
      return;
    }
    case NameEdit::ExtractFilename:
      renameTo(note, afterLastDelimiter(old));
      return;
  }
}

// ---- clones and grep ----

void TFrameMemoHolder::cloneCurrent_(int tag) {
  if (!ready() || main_->isDoing_()) return;
  int count = tag;
  if (tag == 0) {
    std::string text = cloneCount_;
    if (!prompter().inputBox("Clone", "Input Number", text)) {
      main_->commands().run("cloneMemoNode_", {"0"});
      return;
    }
    if (text.empty()) return;
    cloneCount_ = text;
    if (!readCount(text, count) || count < 1) count = 1;
  }
  main_->commands().run("cloneMemoNode_", {std::to_string(count)});
}

void TFrameMemoHolder::newChildGrep_(const std::string& keyword) {
  if (!ready() || refusalOf(*main_, Needs::changesHolder())) return;
  GrepDialogApi* dialog = grepDialog ? grepDialog() : nullptr;
  std::string pattern = keyword;
  if (pattern.empty()) {
    if (!dialog) return;
    if (!dialog->ask()) {
      messageDoing_("Cancel \"New Child Grep\"");
      return;
    }
    pattern = sjis::trim(dialog->keyword());
    if (pattern.empty()) {
      messageDoing_("Cancel \"New Child Grep Any\"");
      return;
    }
  }
  // The grep command's words: pattern, ignore case, position option (0 normal, 1 head,
  // 2 tail), inverted, line numbers; flags as "1" or "0".
  auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
  main_->commands().run("UINewChildGrep5", {pattern, flag(dialog ? dialog->ignoreCase() : true),
                                            std::to_string(dialog ? dialog->option() : 0),
                                            flag(dialog && dialog->inverted()), flag(dialog && dialog->numbered())});
}

// ---- the list view ----

namespace {
NoteListView* listViewOf(MemoHolderUI* holder) {
  return holder ? dynamic_cast<NoteListView*>(holder->viewControl(MemoHolderUI::Kind::List)) : nullptr;
}
}  // namespace

int TFrameMemoHolder::listViewStyle() const {
  NoteListView* lv = listViewOf(holder_);
  return lv ? static_cast<int>(lv->style()) : -1;
}

int TFrameMemoHolder::setListViewStyle_(int style) {
  NoteListView* lv = listViewOf(holder_);
  if (!lv || style < 0 || style > 3) return -1;
  lv->setStyle(static_cast<NoteListView::Style>(style));
  if (style == NoteListView::Report && holder_->listColumns().count() == 0)
    holder_->addListColumn_("name", lv->width());
  return 0;
}

int TFrameMemoHolder::showQuery_() {
  if (!ready() || main_->isDoing_() || holder_->workingKind() != MemoHolderUI::Kind::List) return -1;
  NoteListView* lv = listViewOf(holder_);
  holder_->clearListColumns_();
  main_->UI2Model();
  holder_->addListColumn_("name", lv ? lv->width() : 0);
  auto done = [this] {
    setListViewStyle_(NoteListView::Report);
    holder_->listColumnsChanged_();
    messageDoing_("Done");
  };
  MemoNode* query = holder_->findNodeByName_(Dequote(holder_->getField_("QueryNode")));
  if (!query) {
    done();
    return 0;
  }
  const StringList& lines = query->body();
  for (int i = 0; i < lines.count(); ++i) {
    const std::string line = sjis::trim(lines[i]);
    if (line.empty() || line[0] == '#') continue;
    std::string rest, rest2;
    const std::string field = SplitFirstWord(line, rest);
    const std::string widthText = SplitFirstWord(rest, rest2);
    int width = 0;
    if (!readCount(widthText, width) || width < 1) width = 10 * static_cast<int>(field.size());
    holder_->addListColumn_(field, width);
  }
  StringList notes;
  holder_->setNodeList_(notes);
  const StringList& columns = holder_->listColumns();
  const int n = notes.count();
  for (int i = 0; i < n; ++i) {
    auto* note = static_cast<MemoNode*>(notes.object(i));
    std::vector<std::string>& cells = holder_->listCells()[note];
    cells.clear();
    for (int c = 1; c < columns.count(); ++c) cells.push_back(note->getField_(columns[c]));
    messageDoing_(std::to_string(i + 1) + " / " + std::to_string(n));
  }
  done();
  return n;
}

int TFrameMemoHolder::saveAsCSV_() {
  if (!ready() || main_->isDoing_() || holder_->workingKind() != MemoHolderUI::Kind::List) return -1;
  std::string path = platform::changeExt(holder_->getFileName_(), ".csv");
  if (!prompter().saveFileName("Save As CSV", "CSV|*.csv|All|*.*", path) || path.empty()) return -1;
  BusyScope busy(*main_, "Save As CSV");
  StringList lines;
  const int n = holder_->makeCSVText_(lines);
  std::string error;
  if (!platform::writeFileAtomic(path, lines.text(), &error)) {
    busy.finish("Failure: Save As CSV: " + error);
    return -1;
  }
  return n;
}

}  // namespace wux

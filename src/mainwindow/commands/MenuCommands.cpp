// Commands of the menu items that do more than call one command: the window's size
// and place, the notebook-wide edits of the [Holder] menu, the icon note, the status
// bar, the jump mark, the T1 diagnostics and the T3 forms.
#include <QDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <exception>
#include <memory>
#include <vector>

#include "dialogs/MenuForms.h"
#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/MenuCommands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/clock.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "views/Clipboard.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

WindowRect FitFormRect(int tagWidth, const WindowRect& screen) {
  struct Size {
    int width, height;
  };
  static constexpr Size kSizes[] = {{1600, 1200}, {1280, 1024}, {1152, 864}, {1024, 768}, {800, 600}, {640, 480}};
  int height = screen.height;
  for (const Size& s : kSizes)
    if (s.width == tagWidth) height = s.height;
  return {3, 3, std::min(tagWidth, screen.width), std::min(height, screen.height)};
}

namespace {

const char* const kMenuClass = "TFormMainMenu.";

// The one notebook-fields window, made on first use and kept with the window.
struct MenuWindows {
  explicit MenuWindows(QWidget* p) : parent(p) {}
  ~MenuWindows() { delete fields.data(); }
  TFormHolderFields* holderFields() {
    if (!fields) fields = new TFormHolderFields(parent);
    return fields.data();
  }
  QWidget* parent;
  QPointer<TFormHolderFields> fields;
};

TFrameMemoNode* editor(MainWindowApi& w) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  return frame ? frame->FrameMemoNode1() : nullptr;
}


// The notes of a notebook in view order, taken before a change that may re-sort them.
std::vector<MemoNode*> notesOf(MemoHolderUI* holder) {
  std::vector<MemoNode*> notes;
  for (int i = 0, n = holder->getNodeCount_(); i < n; ++i) notes.push_back(holder->getNode_(i));
  return notes;
}

const char* boolText(bool b) { return b ? "true" : "false"; }

// ---- the window ----

int fitFormSizeAndPos(MainWindowApi& w, const std::string& tag) {
  const std::string text = sjis::trim(tag);
  int width = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
  if (error != std::errc() || end != text.data() + text.size() || width <= 0) {
    w.messageDoing_("Stop: FitFormSizeAndPos " + text + " is not a width");
    return kResultFailed;
  }
  w.setWindowRect(FitFormRect(width, w.getScreenRect()));
  return 0;
}

// The window jumps one window-width sideways: back when there is room to the left.
int movePos(MainWindowApi& w) {
  WindowRect r = w.getWindowRect();
  r.left = r.width <= r.left ? r.left - r.width : r.left + r.width;
  w.setWindowRect(r);
  return 0;
}

// ---- [Holder] ----

// "●Title: 20040523" gives Update="040523": the headline's rest after its first word,
// less its first two characters.
int setUpdate(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  w.UI2Model();
  int count = 0;
  for (MemoNode* note : notesOf(holder)) {
    std::string rest;
    SplitFirstWord(sjis::trim(note->getHeadline_()), rest);
    std::size_t cut = 0;
    for (int i = 0; i < 2 && cut < rest.size(); ++i) cut += sjis::charLen(rest, cut);
    const std::string update = rest.substr(std::min(cut, rest.size()));
    if (update.empty()) continue;
    note->putField_("Update", QuoteValue(update));
    ++count;
  }
  // The new fields are saved with the notebook only when it counts as modified.
  if (count > 0) holder->modified = true;
  w.Model2UI();
  w.messageDoing_("Done: Set Update count=" + std::to_string(count));
  return count;
}

int eachNote(MainWindowApi& w, bool relative) {
  MemoHolderUI* holder = w.getCurrentHolder();
  const std::vector<MemoNode*> notes = notesOf(holder);
  if (notes.empty()) {
    w.messageDoing_("No MemoNode.");
    return 0;
  }
  if (relative) w.UI2Model();
  {
    BusyScope busy(w, std::string(relative ? "Set Relative Paht MemoHolder=" : "ExtractFilename MemoHolder=") +
                          std::to_string(notes.size()));
    const std::string base = holder->getFileName_();
    for (MemoNode* note : notes) {
      if (relative) {
        note->makeRelativePath_("Filename", base);
        continue;
      }
      const std::string name = note->name();
      const std::size_t cut = platform::lastSeparator(name);
      if (cut == std::string::npos) continue;
      std::string actual;
      note->putName_(name.substr(cut + 1), actual);
    }
    holder->modified = true;
  }
  if (relative) w.Model2UI();
  w.refreshHolderView();
  return static_cast<int>(notes.size());
}

int showFormHolderFields(MainWindowApi& w, MenuWindows& windows) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    w.messageDoing_("Exit: Current MemoHolder is nil.");
    return kResultNoDocument;
  }
  StringList* fields = holder->fieldList();
  TFormHolderFields* form = nullptr;
  try {
    form = windows.holderFields();
  } catch (const std::exception&) {
  }
  if (!form || !fields) {
    w.messageDoing_("Failure: FormHolderFields = nil.");
    return kResultFailed;
  }
  form->loadLines(holder->name(), *fields);
  if (form->exec() != QDialog::Accepted) return kResultFailed;
  if (!form->changed()) return 0;
  const StringList lines = form->lines();
  fields->clear();
  for (const auto& line : lines) fields->add(line.text);
  holder->modified = true;
  w.refreshHolderView();
  w.messageDoing_("Done: FormHolderFields " + holder->name());
  return 0;
}

// Sort Field and Group Tree exist only as menu items (their read-only refusals are
// declared where they are registered).
CommandFn refusedOrNotice(MainWindowApi& w, const std::string& name) {
  return [&w, name](const CommandArgs&) {
    return w.stillNotImplemented(kMenuClass + name);
  };
}

// ---- NewNode ----

// The picture the desktop shows for the file's type; null when the file is not there.
QImage fileTypeIcon(const std::string& path) {
  const QFileInfo info(toQ(path));
  if (!info.isFile() || !info.isReadable()) return QImage();
  const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
  QIcon icon = QIcon::fromTheme(mime.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
  if (icon.isNull()) icon = QFileIconProvider().icon(info);
  return icon.isNull() ? QImage() : icon.pixmap(32, 32).toImage();
}

int newNodeImageIconFromFile(MainWindowApi& w) {
  std::string path;
  if (!prompter().openFileName("Image Icon from File", "All files|*", path)) return kResultFailed;
  path = sjis::trim(path);
  if (path.empty()) return kResultFailed;
  // The read-only refusals come after the file dialog.
  if (const std::optional<int> refused = w.commands().refusal("NewNodeImageIconFromFile")) return *refused;
  BusyScope busy(w, "New Node Image Icon From File " + path);
  // The icon first: a file without one leaves no note behind.
  const QImage icon = fileTypeIcon(path);
  MemoNodeUI* node = icon.isNull() || icon.width() > 255 || icon.height() > 255
                         ? nullptr
                         : newMemoNodeKind(w, "", NoteKind::Icon);
  if (!node) {
    busy.finish("failure: New Node Image Icon");
    return kResultNoNode;
  }
  node->putContentStream_(iconFileBytes(icon), "image/ico", "8bit");
  node->contentModified = true;
  const std::string name = platform::changeExt(path, ".ico");
  std::string actual;
  node->putName_(name, actual);
  node->putField_("Filename", QuoteValue(name));
  w.Model2UI();
  w.refreshHolderView();
  return 0;
}

// ---- the note and the document ----

int changeFlagReadOnly(MainWindowApi& w) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) {
    w.messageDoing_("ERROR: Current MemoNode = nil");
    return kResultFailed;
  }
  // What was typed goes in before the note stops taking edits.
  w.UI2Model();
  const bool on = node->getField_("FlagReadOnly") != "\"true\"";
  node->putReadOnly_(on);
  w.getCurrentHolder()->modified = true;
  w.Model2UI();
  w.messageDoing_(std::string("Done: FlagReadOnly=") + boolText(on) + " " + node->name());
  return 0;
}

// ---- the status bar and the jump mark ----

int statusBar2Sel(MainWindowApi& w) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  const std::string text = w.getStatusText();
  e->replaceActiveMemoSel_(text);
  return 0;
}

int setJumpMark(MainWindowApi& w) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) {
    w.messageDoing_("ERROR: Current MemoNode = nil");
    return kResultFailed;
  }
  w.setJumpMark(node);
  w.messageDoing_("Done: Jump Set " + node->name());
  return 0;
}

// ---- T1 diagnostics ----

int curMemo(MainWindowApi& w) {
  MemoNodeUI* node = w.getCurrentNode();
  w.messageDoing_(node ? "*** " + node->name() + "***" : "*nil*");
  w.showFormLog();
  return 0;
}

int report(MainWindowApi& w) {
  StringList lines;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    lines.add("aH = nil");
  } else {
    auto control = [holder](MemoHolderUI::Kind kind, const char* name) {
      QWidget* c = holder->viewControl(kind);
      return std::string(name) + (c ? std::string(c->metaObject()->className()) : std::string("nil"));
    };
    lines.add("aH = " + holder->name());
    lines.add(control(MemoHolderUI::Kind::CheckList, "aH.aUILB ="));
    lines.add(control(MemoHolderUI::Kind::Tree, "aH.aUITV = "));
  }
  w.addLogStrings(lines);
  w.messageDoing_(lines.join(" "));
  return 0;
}

int frameMemoNode(MainWindowApi& w) {
  TFrameMemoNode* e = editor(w);
  if (!e) {
    w.messageDoing_("Exit: FrameMemoHolder = nil");
    return kResultFailed;
  }
  ShowMessage(std::string("Memo.readOnly=") + boolText(e->MemoNode0()->isReadOnly()) + "\r\n" +
              "Comment.readOnly=" + boolText(e->Memo_comment()->isReadOnly()) + "\r\n" +
              "Fields.readOnly=" + boolText(e->Memo_Fields()->isReadOnly()));
  return 0;
}

// The notes of the notebook into the log, one line each, with their place and level.
int nodesList(MainWindowApi& w, bool plus) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) {
    w.messageDoing_("Exit: Current MemoHolder is nil.");
    return kResultFailed;
  }
  StringList names;
  holder->setNodeList_(names);
  StringList lines;
  lines.add("#NodesList " + holder->name());
  for (int i = 0; i < names.count(); ++i) {
    if (!plus) {
      lines.add(names[i]);
      continue;
    }
    auto* note = names.objectAs<MemoNode>(i);
    lines.add(std::to_string(i) + " " + names[i] + " level=" + std::to_string(note ? note->getLevel_() : -1) +
              " marked=" + boolText(note && note->isMarked_()));
  }
  lines.add("count=" + std::to_string(names.count()));
  w.addLogStrings(lines);
  w.showFormLog();
  w.messageDoing_("#NodesList count=" + std::to_string(names.count()));
  return names.count();
}

int modeHoldersMngr(MainWindowApi& w) {
  MemoFileUI* doc = w.getMemoFile();
  if (!doc) return kResultNoDocument;
  w.messageDoing_("ModeHoldersMngr=" + doc->getField_("ModeHoldersMngr"));
  return 0;
}

template <class Form>
int showEmptyForm(MainWindowApi& w) {
  Form form(dynamic_cast<QWidget*>(&w));
  form.exec();
  return 0;
}

}  // namespace

void registerMenuCommands(CommandTable& table, MainWindowApi& w) {
  auto windows = std::make_shared<MenuWindows>(dynamic_cast<QWidget*>(&w));
  table.add("toggleCommentBox", [&w] {
    TFrameMemoNode* e = editor(w);
    if (!e) return static_cast<int>(kResultFailed);
    e->commentShown() ? e->hideComment_() : e->showComment_();
    return 0;
  });
  table.add("toggleFieldBox", [&w] {
    TFrameMemoNode* e = editor(w);
    if (!e) return static_cast<int>(kResultFailed);
    e->fieldsShown() ? e->hideFields_() : e->showFields_();
    return 0;
  });

  // [Form]
  table.add("FitFormSizeAndPos", [&w](const CommandArgs& a) { return fitFormSizeAndPos(w, commandArg(a, 0)); });
  table.add("MovePos", [&w] { return movePos(w); });

  // [Holder]
  table.add("SetUpdate", Needs::changesHolder(), [&w] { return setUpdate(w); });
  table.add("SetRelativePathEach", Needs::changesHolder(), [&w] { return eachNote(w, true); });
  table.add("ExtractFilenameEach", Needs::changesHolder(), [&w] { return eachNote(w, false); });
  table.add("ShowFormHolderFields", Needs::changesHolder(), std::function<int()>([&w, windows] { return showFormHolderFields(w, *windows); }));
  table.add("UISortFieldHolder", Needs::changesHolder(), refusedOrNotice(w, "UISortFieldHolder"), CommandTable::State::LeftOpen);
  table.add("UIGroupTreeHolder", Needs::changesHolder(), refusedOrNotice(w, "UIGroupTreeHolder"), CommandTable::State::LeftOpen);

  // NewNode, [MemoNode], File
  table.add("NewNodeImageIconFromFile", Needs::notBusy().uiWritable(kResultUIReadOnly).holderWritable(kResultHolderReadOnly).afterDialog(), [&w] { return newNodeImageIconFromFile(w); });
  table.add("UIListYearThis", Needs{}.uiWritable().holderWritable(), [&w] { return newNodesYear(w, Now().year); });
  table.add("changeFlagReadOnly_", Needs::changesHolder(), [&w] { return changeFlagReadOnly(w); });

  // The status bar and Jump
  table.add("StatusBar2SEL", Needs::changesNote(), [&w] { return statusBar2Sel(w); });
  table.add("CopyStatusText", [&w] {
    clipboard().setText(w.getStatusText());
    return 0;
  });
  table.add("ClearStatus", [&w] {
    w.messageDoing_("");
    return 0;
  });
  table.add("SetJumpMark", [&w] { return setJumpMark(w); });
  table.add("UIJumpNotImplemented",
            [&w](const CommandArgs& a) { return w.stillNotImplemented(commandArg(a, 0)); },
            CommandTable::State::LeftOpen);

  // T1 and T3
  table.add("T1CurMemo", [&w] { return curMemo(w); });
  table.add("T1Report", [&w] { return report(w); });
  table.add("T1UI2Model", [&w] { return w.UI2Model(); });
  table.add("T1Model2UI", [&w] {
    w.Model2UI();
    return 0;
  });
  table.add("T1HoldersCount", [&w] {
    w.showHolderCount();
    return 0;
  });
  table.add("T1FrameMemoNode", [&w] { return frameMemoNode(w); });
  table.add("T1NodesList", [&w] { return nodesList(w, false); });
  table.add("T1NodesListPlus", [&w] { return nodesList(w, true); });
  table.add("T1ModeHoldersMngr", [&w] { return modeHoldersMngr(w); });
  table.add("T1MessageDo", [&w] {
    w.messageDoing_("Test Do " + w.nowString());
    return 0;
  });
  table.add("T3GroupTree", [&w] { return showEmptyForm<TFormGroupTree>(w); });
  table.add("T3SelField", [&w] { return showEmptyForm<TFormSelField>(w); });
}

}  // namespace wux

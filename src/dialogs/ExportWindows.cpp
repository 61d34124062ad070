#include "dialogs/ExportWindows.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "model/htmlgen.h"
#include "model/lists.h"
#include "model/records/MemoFile.h"
#include "model/Prompter.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "views/Clipboard.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

QDate toQDate(const DateTime& d) { return QDate(d.year, d.month, d.day); }
DateTime fromQDate(const QDate& d) { return DateTime{d.year(), d.month(), d.day(), 0, 0, 0, 0}; }

QButtonGroup* radioGroup(QWidget* owner, QBoxLayout* into, const char* title,
                         std::initializer_list<const char*> items, int checked) {
  auto* box = new QGroupBox(QString::fromUtf8(title), owner);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  int i = 0;
  for (const char* item : items) {
    auto* b = new QRadioButton(QString::fromUtf8(item), box);
    layout->addWidget(b);
    group->addButton(b, i);
    if (i++ == checked) b->setChecked(true);
  }
  into->addWidget(box);
  return group;
}

QCheckBox* checkBox(QWidget* owner, QBoxLayout* into, const char* text, bool on) {
  auto* c = new QCheckBox(QString::fromUtf8(text), owner);
  c->setChecked(on);
  into->addWidget(c);
  return c;
}

QPushButton* button(QWidget* owner, QBoxLayout* into, const char* text) {
  auto* b = new QPushButton(QString::fromUtf8(text), owner);
  into->addWidget(b);
  return b;
}

StringList editorLines(const QPlainTextEdit* edit) {
  StringList l;
  l.setText(fromQ(edit->toPlainText()));
  return l;
}

void setEditorLines(QPlainTextEdit* edit, const StringList& lines) {
  std::string text;
  for (int i = 0; i < lines.count(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  edit->setPlainText(toQ(text));
}

// The folder a note's relative file name is taken from: its notebook's.
std::string notebookDir(MemoHolder* holder) { return holder ? platform::dirOf(holder->getFileName_()) : std::string(); }

}  // namespace

// ---- calendar options ----------------------------------------------------------------

TFormHTMLCalendar::TFormHTMLCalendar(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormHTMLCalendar"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  MonthCalendar1 = new QCalendarWidget(this);
  layout->addWidget(MonthCalendar1);
  setDate(Now());
  title_ = radioGroup(this, layout, "Title", {"$1 $X", "$1 $2 $X", "$1 $2 $3 $X"}, 0);
  CheckBox_EmptyNode = checkBox(this, layout, "Empty MemoNode", false);
  CheckBox_Comment = checkBox(this, layout, "Comment", true);
  auto* row = new QHBoxLayout;
  layout->addLayout(row);
  month_ = button(this, row, "CREATE Month");
  week_ = button(this, row, "CREATE Week");
  cancel_ = button(this, row, "CANCEL");
  connect(month_, &QPushButton::clicked, this, [this] {
    kind_ = "Month";
    accept();
  });
  connect(week_, &QPushButton::clicked, this, [this] {
    kind_ = "Week";
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

DateTime TFormHTMLCalendar::date() const { return fromQDate(MonthCalendar1->selectedDate()); }
void TFormHTMLCalendar::setDate(const DateTime& date) { MonthCalendar1->setSelectedDate(toQDate(date)); }

// ---- save each -------------------------------------------------------------------------

TFormSaveEach::TFormSaveEach(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormSaveEach"));
  auto* layout = new QVBoxLayout(this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  layout->addWidget(Memo1);
  CheckBox_ConfirmWriteOver = checkBox(this, layout, "Confirm Write Over", true);
  CheckBox_DefineSaveDirectory = checkBox(this, layout, "Define Save Directory", true);
  CheckBox_MarkNodeOnly = checkBox(this, layout, "Mark Node Only", false);
  CheckBox_ChangeFilename = checkBox(this, layout, "Change Filename", false);
  StaticText1 = new QLabel(this);
  StaticText1->setFrameShape(QFrame::Box);
  layout->addWidget(StaticText1);
  auto* row = new QHBoxLayout;
  layout->addLayout(row);
  connect(button(this, row, "Save Each"), &QPushButton::clicked, this, [this] { saveEach(); });
  connect(button(this, row, "Set Directory"), &QPushButton::clicked, this, [this] { chooseDirectory(); });
  connect(button(this, row, "Clear"), &QPushButton::clicked, this, [this] { clearLog(); });
  connect(button(this, row, "Break"), &QPushButton::clicked, this, [this] { requestBreak(); });
  connect(button(this, row, "Close"), &QPushButton::clicked, this, &QDialog::close);
  StaticText1->installEventFilter(this);
}

bool TFormSaveEach::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StaticText1 && event->type() == QEvent::MouseButtonRelease) {
    chooseDirectory();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormSaveEach::setDirectory(const std::string& dir) { StaticText1->setText(toQ(dir)); }
std::string TFormSaveEach::directory() const { return fromQ(StaticText1->text()); }
void TFormSaveEach::log(const std::string& line) { Memo1->appendPlainText(toQ(line)); }
void TFormSaveEach::clearLog() { Memo1->clear(); }

std::vector<std::string> TFormSaveEach::logLines() const {
  const StringList l = editorLines(Memo1);
  std::vector<std::string> out;
  for (int i = 0; i < l.count(); ++i) out.push_back(l[i]);
  return out;
}

void TFormSaveEach::chooseDirectory() {
  std::string start = sjis::trim(directory());
  if (start.empty() && w_ && w_->getMemoFile()) start = w_->getMemoFile()->getFileDir_();
  const QString chosen = QFileDialog::getExistingDirectory(this, QString(), toQ(start));
  if (chosen.isEmpty()) return;
  std::string dir = fromQ(chosen);
  if (platform::lastSeparator(dir) != dir.size() - 1) dir += '/';
  setDirectory(dir);
}

int TFormSaveEach::saveEach() {
  if (!w_ || running_) return kResultFailed;
  MemoHolderUI* holder = w_->getCurrentHolder();
  std::string last = "ERROR: SaveEach";
  if (!holder) {
    log(last);
    return kResultFailed;
  }
  // Changing the file names changes the notebook.
  if (CheckBox_ChangeFilename->isChecked() && (w_->checkUIReadOnly() || w_->checkHolderReadOnly()))
    return kResultFailed;
  running_ = true;
  w_->UI2ModelAll();
  StringList notes;
  std::string firstFailure;  // a note that could not be read: the closing line
  holder->setNodeList_(notes);
  int count = 0;
  const std::string dir = sjis::trim(directory());
  for (int i = 0; i < notes.count(); ++i) {
    auto* node = notes.objectAs<MemoNode>(i);
    if (!node) continue;
    if (CheckBox_MarkNodeOnly->isChecked() && !node->isMarked_()) continue;
    const std::string name = notes[i];
    std::string path = Dequote(sjis::trim(node->getField_("Filename")));
    if (path.empty()) {
      log("Not Save name=" + name + " Filename=\"\"");
      continue;
    }
    QCoreApplication::processEvents();  // lets Break through
    if (break_) {
      log("*Break*");
      break;
    }
    if (CheckBox_DefineSaveDirectory->isChecked() && !dir.empty()) path = dir + platform::fileNameOf(path);
    path = platform::resolvePath(path, notebookDir(holder));
    std::string why;
    const MemoNode::SaveStep step = node->saveStep_(path, why);
    if (step == MemoNode::SaveStep::Keep) {
      log(MemoNode::keptLinkedFileLine(name, path));
      continue;
    }
    if (step == MemoNode::SaveStep::Refuse) {
      log("Failure: Save " + name + " : " + path + " : " + why);
      w_->addLog_(MemoNode::unreadText(name, why));
      if (firstFailure.empty()) firstFailure = MemoNode::unreadText(name, why);
      continue;
    }
    if (CheckBox_ConfirmWriteOver->isChecked() && platform::fileExists(path)) {
      const Answer a = prompter().messageBox("Shall I Write Over \"" + path + "\" ?", "FormSaveEach",
                                             Buttons::YesNoCancel, BoxKind::Confirmation);
      if (a == Answer::No) {
        log("Should Not Save name=\"" + name + "\" Filename=\"" + path + "\"");
        continue;
      }
      if (a != Answer::Yes) {
        log("*Cancel*");
        break;
      }
      log("*Write Over Filename=\"" + path + "\"");
    }
    if (node->exportContent_(path, &why) < 0) {
      log("Failure: Save " + name + " : " + path + " : " + why);
      continue;
    }
    log("Save " + name + " : " + path);
    ++count;
    if (CheckBox_ChangeFilename->isChecked()) {
      // Stored with its quotes like every field value, so the file reads it back whole.
      node->putField_("Filename", QuoteValue(path));
      holder->modified = true;
    }
  }
  last = firstFailure.empty() ? "Done: count of the Files saved=" + std::to_string(count) : firstFailure;
  log(last);
  break_ = false;
  running_ = false;
  return count;
}

// ---- monthly calendar pages ---------------------------------------------------------

TFormMakeFileHTML::TFormMakeFileHTML(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Make HTML"));
  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox(QStringLiteral("Calender Monthly"), this);
  auto* inner = new QVBoxLayout(box);
  DateTimePicker_StartMonthly = new QDateEdit(box);
  DateTimePicker_EndMonthly = new QDateEdit(box);
  for (QDateEdit* d : {DateTimePicker_StartMonthly, DateTimePicker_EndMonthly}) {
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    inner->addWidget(d);
  }
  CheckBox_OnlyMonth = checkBox(box, inner, "Only Month", true);
  connect(button(box, inner, "Make HTML"), &QPushButton::clicked, this, [this] { makeHTML(); });
  layout->addWidget(box);
  // The other kinds of pages are not made yet: their groups are there, doing nothing.
  for (const char* title : {"List", "Main Contents", "Calender Weekly"}) {
    auto* idle = new QGroupBox(QString::fromUtf8(title), this);
    auto* idleLayout = new QVBoxLayout(idle);
    button(idle, idleLayout, "Make HTML")->setEnabled(false);
    layout->addWidget(idle);
  }
  connect(button(this, layout, "Close"), &QPushButton::clicked, this, &QDialog::close);
  const QDate today = toQDate(Now());
  DateTimePicker_StartMonthly->setDate(today);
  DateTimePicker_EndMonthly->setDate(today.addMonths(1));
  // Its controls alone would make it too narrow for its title: "Make HTML" shows whole.
  resize(std::max(kMakeHTMLMinWidth, sizeHint().width()), sizeHint().height());
}

void TFormMakeFileHTML::setRange(const DateTime& start, const DateTime& end, bool onlyMonth) {
  DateTimePicker_StartMonthly->setDate(toQDate(start));
  DateTimePicker_EndMonthly->setDate(toQDate(end));
  CheckBox_OnlyMonth->setChecked(onlyMonth);
}

std::vector<std::string> TFormMakeFileHTML::makeHTML() {
  std::vector<std::string> written;
  MemoHolderUI* holder = w_ ? w_->getCurrentHolder() : nullptr;
  if (!holder) return written;
  w_->UI2ModelAll();
  const DateTime s = fromQDate(DateTimePicker_StartMonthly->date());
  const DateTime e = CheckBox_OnlyMonth->isChecked() ? s : fromQDate(DateTimePicker_EndMonthly->date());
  // Months are compared whole, so the end month is made whatever its day.
  const int last = e.year * 12 + e.month - 1;
  // The pages go beside the notebook's file; the name cannot carry a path.
  std::string dir = notebookDir(holder);
  if (dir.empty()) dir = platform::currentDir();
  const std::string base = dir + SanitizeFileName(holder->name()) + "_";
  UnreadNotes unread;
  for (int m = s.year * 12 + s.month - 1; m <= last; ++m) {
    DateTime month = s;
    month.year = m / 12;
    month.month = m % 12 + 1;
    month.day = std::min(s.day, DaysInMonth(month.year, month.month));
    StringList page;
    std::string error;
    const std::string file = base + FormatDateTime("YYYYMM", month) + ".html";
    try {
      exportCalendarHTML_(*holder, page, month, &unread);
    } catch (const std::exception& ex) {
      w_->messageDoing_(std::string("Failure: Make HTML ") + ex.what());
      return written;
    }
    if (!platform::writeFileAtomic(file, page.text(), &error)) {
      w_->messageDoing_("Failure: " + error);
      return written;
    }
    written.push_back(file);
  }
  // A note left out of the pages (logged once, though each month read it) closes it.
  for (std::size_t i = 0; i < unread.size(); ++i)
    if (std::find(unread.begin(), unread.begin() + i, unread[i]) == unread.begin() + i) w_->addLog_(unread[i]);
  w_->messageDoing_(unread.empty() ? "Done: Make HTML " + std::to_string(written.size()) : unread.front());
  return written;
}

// ---- file list -------------------------------------------------------------------------

TFormFileList::TFormFileList(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormFileList"));
  setAcceptDrops(true);
  auto* outer = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  outer->addWidget(tabs);

  auto* listPage = new QWidget(tabs);
  auto* listLayout = new QVBoxLayout(listPage);
  Memo1 = new QPlainTextEdit(listPage);
  Memo1->setAcceptDrops(false);
  listLayout->addWidget(Memo1);
  dropMode_ = radioGroup(listPage, listLayout, "DragAndDrop",
                         {"FileName           (C:\\wux\\noname.mxa)", "Extract FileName (noname.mxa)",
                          "Expand Sub Dir    ", "Directory Only", "Poser"},
                         ExtractFileName);
  // Ten buttons in two rows, so the window fits a small screen in a large font.
  auto* row = new QHBoxLayout;
  listLayout->addLayout(row);
  auto* row2 = new QHBoxLayout;
  listLayout->addLayout(row2);
  connect(button(listPage, row, "Close"), &QPushButton::clicked, this, &QDialog::close);
  connect(button(listPage, row, "CopyAll"), &QPushButton::clicked, this, [this] { copyAll(); });
  connect(button(listPage, row, "Clear"), &QPushButton::clicked, this, [this] { clearList(); });
  connect(button(listPage, row, "Add Head"), &QPushButton::clicked, this, [this] {
    std::string word = " ";
    if (prompter().inputBox("Add Head", "Head word", word)) addHead(word);
  });
  connect(button(listPage, row, "DEL Head"), &QPushButton::clicked, this, [this] { deleteHead(); });
  connect(button(listPage, row2, "Num"), &QPushButton::clicked, this, [this] { numberLines(); });
  connect(button(listPage, row2, "Sort"), &QPushButton::clicked, this, [this] { sortLines(); });
  connect(button(listPage, row2, "Break"), &QPushButton::clicked, this, [this] { requestBreak(); });
  connect(button(listPage, row2, "Link HTML"), &QPushButton::clicked, this, [this] { linkHTML(); });
  connect(button(listPage, row2, "Add Tail"), &QPushButton::clicked, this, [this] {
    std::string word = " ";
    if (prompter().inputBox("Add Tail", "Tail word", word)) addTail(word);
  });
  tabs->addTab(listPage, QStringLiteral("File List"));

  auto* makePage = new QWidget(tabs);
  auto* makeLayout = new QVBoxLayout(makePage);
  CheckBox_Filename = checkBox(makePage, makeLayout, "Filename", true);
  CheckBox_ExtractFilename = checkBox(makePage, makeLayout, "Name:=ExtractFilename()", true);
  CheckBox_Link = checkBox(makePage, makeLayout, "Link", false);
  holderMode_ = radioGroup(makePage, makeLayout, "Holder", {"New Holder", "Current Holder"}, 0);
  Memo2 = new QPlainTextEdit(makePage);
  Memo2->setPlainText(QStringLiteral("FlagLink=\"true\"\nCreated=\"20040102\"\nModified=\"20040102\""));
  makeLayout->addWidget(Memo2);
  auto* makeRow = new QHBoxLayout;
  makeLayout->addLayout(makeRow);
  connect(button(makePage, makeRow, "Make Nodes"), &QPushButton::clicked, this, [this] { makeNodes(); });
  connect(button(makePage, makeRow, "Clear"), &QPushButton::clicked, this, [this] { Memo2->clear(); });
  connect(button(makePage, makeRow, "Close Form"), &QPushButton::clicked, this, &QDialog::close);
  tabs->addTab(makePage, QStringLiteral("Make Nodes"));
}

void TFormFileList::setDropMode(DropMode mode) { dropMode_->button(mode)->setChecked(true); }
TFormFileList::DropMode TFormFileList::dropMode() const { return static_cast<DropMode>(dropMode_->checkedId()); }

StringList TFormFileList::lines() const { return editorLines(Memo1); }
void TFormFileList::setLines(const StringList& lines) { setEditorLines(Memo1, lines); }
StringList TFormFileList::fieldLines() const { return editorLines(Memo2); }
void TFormFileList::setFieldLines(const StringList& lines) { setEditorLines(Memo2, lines); }

void TFormFileList::setOptions(bool filename, bool extractName, bool link, bool currentHolder) {
  CheckBox_Filename->setChecked(filename);
  CheckBox_ExtractFilename->setChecked(extractName);
  CheckBox_Link->setChecked(link);
  holderMode_->button(currentHolder ? 1 : 0)->setChecked(true);
}

void TFormFileList::addDropped(const std::vector<std::string>& paths) {
  break_ = false;
  const DropMode mode = dropMode();
  if (mode == Poser) return;
  const bool expanding = mode == ExpandSubDir || mode == DirectoryOnly;
  const MessagePump pump = [] { QCoreApplication::processEvents(); };
  StringList list = lines();
  for (const std::string& path : paths) {
    if (expanding) {
      pump();
      if (break_) break;
    }
    switch (mode) {
      case FullPath:
        list.add(path);
        break;
      case ExtractFileName:
        list.add(platform::fileNameOf(path));
        break;
      case ExpandSubDir:
      case DirectoryOnly:
        if (platform::dirExists(path)) {
          if (mode == ExpandSubDir)
            ListFilesRecursive(list, path, break_, pump);
          else
            ListDirsRecursive(list, path, break_, pump);
        }
        list.add(path);
        break;
      case Poser:
        break;
    }
  }
  setLines(list);
}

void TFormFileList::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TFormFileList::dropEvent(QDropEvent* e) {
  std::vector<std::string> paths;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(platform::fromOsName(url.toLocalFile().toStdString()));
  e->acceptProposedAction();
  addDropped(paths);
}

void TFormFileList::editLines(const std::function<void(StringList&)>& edit) {
  StringList list = lines();
  edit(list);
  setLines(list);
}

void TFormFileList::addHead(const std::string& word) {
  editLines([&](StringList& l) { PrependToLines(l, word); });
}
void TFormFileList::addTail(const std::string& word) {
  editLines([&](StringList& l) { AppendToLines(l, word); });
}
void TFormFileList::deleteHead() {
  editLines([](StringList& l) {
    for (int i = 0; i < l.count(); ++i) {
      std::string rest;
      SplitFirstWord(l[i], rest);
      l.set(i, rest);
    }
  });
}
void TFormFileList::sortLines() {
  editLines([](StringList& l) { l.sort(); });
}
void TFormFileList::numberLines() {
  editLines([](StringList& l) { NumberLines(l, "%.5d ", 1); });
}
void TFormFileList::linkHTML() {
  editLines([](StringList& l) {
    for (int i = 0; i < l.count(); ++i) l.set(i, "<a href=\"" + l[i] + "\" >" + l[i] + "</a>");
  });
}
void TFormFileList::copyAll() {
  Memo1->selectAll();
  clipboard().setText(fromQ(Memo1->toPlainText()));
}
void TFormFileList::clearList() { Memo1->clear(); }

int TFormFileList::makeNodes() {
  const StringList list = lines();
  if (!w_ || sjis::trim(list.text()).empty() || w_->isDoing_() || w_->checkUIReadOnly()) return kResultFailed;
  const bool intoCurrent = holderMode_->checkedId() == 1;
  if (intoCurrent && w_->checkHolderReadOnly()) return kResultFailed;
  w_->UI2Model();
  MemoHolderUI* holder = nullptr;
  MemoNode* templ = nullptr;
  if (intoCurrent) {
    holder = w_->getCurrentHolder();
    if (holder) templ = holder->findNodeByName_("*");
  } else {
    holder = w_->newHolder_(-1);
    if (holder) holder->loaded = true;
  }
  if (!holder) return kResultFailed;

  // The field lines, each applied as written; a line without "=" takes the value of
  // the line before it that had one.
  std::vector<std::pair<std::string, std::string>> fields;
  const StringList fieldText = fieldLines();
  std::string value;
  for (int i = 0; i < fieldText.count(); ++i) {
    const std::string line = sjis::trim(fieldText[i]);
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');  // '=' is never a second byte
    if (eq == std::string::npos) {
      fields.emplace_back(line, value);
    } else {
      value = line.substr(eq + 1);
      fields.emplace_back(line.substr(0, eq), value);
    }
  }

  MemoNode* last = nullptr;
  int made = 0;
  for (int i = 0; i < list.count(); ++i) {
    const std::string path = sjis::trim(list[i]);
    if (path.empty()) continue;
    const std::string name = CheckBox_ExtractFilename->isChecked() ? platform::fileNameOf(path) : path;
    MemoNode* node = templ ? holder->addCopy_(templ) : holder->createNewNode_();
    if (!node) continue;
    std::string actual;
    node->putName_(name, actual);
    if (CheckBox_Filename->isChecked()) node->putField_("Filename", QuoteValue(path));
    if (CheckBox_Link->isChecked()) node->putField_("Link", QuoteValue(path));
    for (const auto& [field, v] : fields) node->putField_(field, v);
    last = node;
    ++made;
  }
  if (last) holder->putCurrentNode_(last);
  holder->modified = true;
  if (MemoFileUI* doc = w_->getMemoFile()) doc->modified = true;
  if (w_->getCurrentHolder() == holder) {
    if (last) w_->changeCurrentNode_(static_cast<MemoNodeUI*>(last));
    w_->refreshHolderView();
  } else {
    w_->changeCurrentHolder(holder);
  }
  w_->messageDoing_("Done: count=" + std::to_string(made));
  return made;
}

}  // namespace wux

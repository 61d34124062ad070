// Commands of note creation and deletion.
#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImageWriter>
#include <QPlainTextEdit>
#include <QWidget>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "dialogs/FormSelectHolder.h"
#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/format.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/ChangeGuard.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/ScreenGrabber.h"
#include "views/qtext.h"

namespace wux {

namespace {

const char* const kTrush = "Trush";

// The picture as the bytes of a file of `format` ("BMP"); empty when the toolkit
// cannot write it.
std::string imageBytes(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (image.isNull() || !writer.write(image)) return std::string();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A picture's content on the note, as the notes of images carry it.
void putPicture(MemoNode* node, const std::string& bytes, const std::string& type) {
  node->putContentStream_(bytes, type, "8bit");
  node->putField_("Content-Transfer-Encoding", "\"binary\"");
  node->putField_("Content-Type", QuoteValue(type));
  node->contentModified = true;
}

// A new image note's content: the notebook's model picture, else the program's default
// picture, else a blank bitmap with a file name of its own beside the notebook.
void makeImage(MainWindowApi& w, MemoHolderUI* holder, MemoNode* node, const std::string& path) {
  if (MemoNode* model = holder->findNodeByName_("*DefaultImage")) {
    node->copyFrom_(*model);
    return;
  }
  const std::string fallback = w.getExeDir() + "DefaultImage.jpg";
  if (!w.getExeDir().empty() && platform::fileExists(fallback) && node->importContent_(fallback, "") >= 0) return;
  node->newBlankImage_();
  std::string base = path;
  if (base.empty()) base = node->name();
  if (base.empty()) base = FormatDateTime("yyyymmddhhnnss", Now());
  const std::string today = FormatDateTime("yyyymmdd", Now());
  if (base == today) {
    std::string count;
    FormatInt("%.2d", holder->getNodeCount_(), count);
    base = today + "_" + count;
  }
  std::string actual;
  node->putName_(base + ".bmp", actual);
  node->putField_("Filename", QuoteValue(".\\" + node->name()));
}

void makeIcon(MemoNode* node) {
  QIcon icon = QApplication::windowIcon();
  QImage image = icon.isNull() ? QImage() : icon.pixmap(16, 16).toImage();
  if (image.isNull() || image.width() > 255 || image.height() > 255) {
    image = QImage(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::white);
  }
  putPicture(node, iconFileBytes(image), "image/ico");
}

// Deletes a note that was just made and could not be completed.
void dropNewNote(MemoHolderUI* holder, MemoNode* node) {
  if (holder->removeNode_(node) >= 0) delete node;
}

std::string editorText(MainWindowApi& w) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  return frame ? fromQ(frame->FrameMemoNode1()->MemoNode0()->toPlainText()) : std::string();
}

// ---- the commands that make one note ----

// What the creation commands need, as their table answers a refusal: -1 busy, -8 the
// interface is read-only, -7 the notebook is read-only or there is none. The child
// commands answer -1 for every refusal.
constexpr Needs kCreates = Needs::notBusy().uiWritable(kResultUIReadOnly).holderWritable(kResultHolderReadOnly);
constexpr Needs kCreatesChild = Needs::changesHolder();
// The date and number sets: the interface and the notebook writable.
constexpr Needs kSets = Needs{}.uiWritable().holderWritable();

// Runs `make` as the operation `title`; -1 when no note was made. `make` may set the
// closing text; without one it is `failure` when no note was made, else the protocol's
// "Done: " + title.
using MakeNote = std::function<MemoNodeUI*(std::string& end)>;
int creation(MainWindowApi& w, const std::string& title, const std::string& failure, const MakeNote& make,
             int noNote = kResultFailed) {
  BusyScope busy(w, title);
  std::string end;
  const bool made = make(end) != nullptr;
  busy.finish(!made && end.empty() ? failure : end);
  return made ? 0 : noNote;
}

// A file chosen by the user, or empty when cancelled.
bool chooseFile(const std::string& title, std::string& path) {
  return prompter().openFileName(title, "All Files|*.*", path) && !path.empty();
}

// The address for a new URL note: an empty or unchanged answer is the program's page,
// and without one it counts as cancelled.
bool askURL(MainWindowApi& w, const std::string& caption, const std::string& prompt, std::string& url) {
  url = "http://";
  if (!prompter().inputBox(caption, prompt, url)) return false;
  url = sjis::trim(url);
  if (url.empty() || url == "http://") url = sjis::trim(w.getCmURL());
  return !url.empty();
}

int newChildOf(MainWindowApi& w, const std::string& title, NoteKind kind, const std::string& path,
               const std::string& done, const std::string& failure) {
  MemoNodeUI* parent = w.getCurrentNode();
  if (!parent) return kResultFailed;
  return creation(
      w, title, failure,
      [&](std::string& end) {
        MemoNodeUI* node = newMemoNodeKind(w, path, kind);
        if (!node) return node;
        makeChildOf(w, node, parent);
        // A web note is reported by the address asked for: its name may have been made
        // unique.
        if (!done.empty()) end = done + (kind == NoteKind::URL ? path : node->name());
        return node;
      },
      kResultFailed);
}

// Takes a picture of the screen with the window out of the way; the reason when it fails.
bool grabScreen(MainWindowApi& w, QImage& image, std::string& error) {
  QWidget* window = w.getHolderFrame() ? w.getHolderFrame()->window() : nullptr;
  const bool wasVisible = window && window->isVisible();
  if (wasVisible) window->hide();
  QApplication::processEvents();
  const bool ok = screenGrabber().grab(image, error);
  if (wasVisible) window->show();
  QApplication::processEvents();
  return ok;
}

// A screen capture as a new image note (a child of the current note with `asChild`).
// Without a picture of the screen no note is made.
int newImageScreen(MainWindowApi& w, const std::string& title, bool asChild) {
  MemoNodeUI* parent = w.getCurrentNode();
  if (asChild && !parent) return kResultFailed;
  const std::string failure = "failure: New Node Image Screen";
  return creation(
      w, title, failure,
      [&](std::string& end) -> MemoNodeUI* {
        QImage image;
        std::string error;
        if (!grabScreen(w, image, error)) {
          end = failure + ": " + error;
          w.addLogTS(failure + ": " + error);
          return nullptr;
        }
        const std::string bytes = imageBytes(image, "BMP");
        if (bytes.empty()) {
          end = failure + ": the picture could not be stored";
          return nullptr;
        }
        MemoNodeUI* node = newMemoNodeKind(w, "", NoteKind::Image);
        if (!node) return nullptr;
        putPicture(node, bytes, "image/bmp");
        if (asChild) makeChildOf(w, node, parent);
        w.Model2UI();
        end = "Done: New Node Image Screen";
        return node;
      },
      kResultNoNode);
}

// ---- series ----

// The name of a new note of a dated series: its date. Where the notebook keeps names
// unique and another note has that name already, the date with "_" and two digits: the
// rule that steps a number would name the note by another day, one the series may
// still have to make. The note's own temporary name does not count as a clash.
std::string seriesName(MemoHolderUI* holder, MemoNode* node, const std::string& date) {
  auto taken = [&](const std::string& name) {
    MemoNode* other = holder->findNodeByName_(name);
    return other && other != node && holder->makeUniqueNodeName_(name) != name;
  };
  if (!taken(date)) return date;
  const int clash = holder->indexOfNode_(holder->findNodeByName_(date));
  for (int k = clash < 0 ? 0 : clash % 100, tries = 0; tries < 100; ++tries, k = (k + 1) % 100) {
    std::string digits;
    FormatInt("%.2d", k, digits);
    if (!taken(date + "_" + digits)) return date + "_" + digits;
  }
  return holder->makeUniqueNodeName_(date + "_00");
}

// A note per day from `first`, `days` days, named by the notebook's date pattern.
int newNodesDays(MainWindowApi& w, const DateTime& first, int days) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return 0;
  std::string pattern = Dequote(holder->getFormatDate_());
  if (pattern.empty()) pattern = "YYYYMMDD ddd ";
  w.UI2Model();
  MemoNode* last = nullptr;
  int made = 0;
  for (; made < days; ++made) {
    MemoNode* node = holder->createNewNode_();
    if (!node) break;
    std::string actual;
    node->putName_(seriesName(holder, node, FormatDateTime(pattern, AddDays(first, made))), actual);
    last = node;
  }
  holder->modified = true;
  if (last) w.changeCurrentNode_(static_cast<MemoNodeUI*>(last));
  w.refreshHolderView();
  return made;
}

bool validYear(long long year) { return year >= 1 && year <= 9999; }

}  // namespace

int newNodesYear(MainWindowApi& w, long long year) {
  if (!validYear(year)) {
    w.messageDoing_("Stop: year out of range (1..9999): " + std::to_string(year));
    return kResultFailed;
  }
  const int y = static_cast<int>(year);
  return newNodesDays(w, DateTime{y, 1, 1}, DaysInMonth(y, 2) == 29 ? 366 : 365);
}

int newNodesMonth(MainWindowApi& w, long long year, long long month) {
  if (!validYear(year) || month < 1 || month > 12) {
    w.messageDoing_("Stop: no such month: " + std::to_string(year) + "/" + std::to_string(month));
    return kResultFailed;
  }
  const int y = static_cast<int>(year), m = static_cast<int>(month);
  return newNodesDays(w, DateTime{y, m, 1}, DaysInMonth(y, m));
}

int newNodesWeek(MainWindowApi& w, const DateTime& date) {
  if (!validYear(date.year)) {
    w.messageDoing_("Stop: year out of range (1..9999): " + std::to_string(date.year));
    return kResultFailed;
  }
  // Monday of the week: DayOfWeek counts Sunday as 1.
  const int sinceMonday = (DayOfWeek(date) + 5) % 7;
  return newNodesDays(w, AddDays(DateTime{date.year, date.month, date.day}, -sinceMonday), 7);
}

int newNodesNumber(MainWindowApi& w, long long from, long long to) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultNoDocument;
  std::string pattern = Dequote(holder->getFormatNumber_());
  if (pattern.empty()) pattern = "%.5d ";
  IntFormat format;
  if (!ParseIntFormat(pattern, format)) {
    w.messageDoing_("Stop: not a number format: " + pattern);
    return kResultFailed;
  }
  // A notebook counts its notes in an int: a range that would pass that is refused
  // before anything is made. The difference is taken in unsigned arithmetic, where it
  // cannot overflow.
  if (from <= to) {
    const unsigned long long wanted = static_cast<unsigned long long>(to) - static_cast<unsigned long long>(from) + 1;
    const unsigned long long room = static_cast<unsigned long long>(INT_MAX - holder->getNodeCount_());
    if (wanted == 0 || wanted > room) {
      w.messageDoing_("Stop: too many notes for one notebook: " + std::to_string(from) + " to " + std::to_string(to));
      return kResultFailed;
    }
  }
  w.UI2Model();
  MemoNode* last = nullptr;
  for (long long n = from; n <= to; ++n) {
    MemoNode* node = holder->createNewNode_();
    if (!node) break;
    std::string actual;
    node->putName_(FormatInt(format, n), actual);
    last = node;
    if (n == to) break;  // `to` may be the largest number there is
  }
  if (last) {
    holder->modified = true;
    // A tree selects each note it takes: the editor follows, or typing would go to a
    // note the view no longer shows.
    w.changeCurrentNode_(static_cast<MemoNodeUI*>(last));
  }
  // The refresh of the notebook frame's status answers the current note's index.
  TFrameMemoHolder* frame = w.getHolderFrame();
  return frame ? frame->showStatus_() : kResultFailed;
}

namespace {

int newNodesWeekText(MainWindowApi& w, const std::string& dateText) {
  DateTime date;
  const std::string digits = DigitsOnly(dateText);
  if (digits.size() != 8 || !TryDigitsToDateTime(digits, date) || !validYear(date.year)) {
    w.messageDoing_("Stop: not a date: " + dateText);
    return kResultFailed;
  }
  return newNodesWeek(w, date);
}

long long numberArg(const CommandArgs& args, std::size_t i, bool& ok) {
  const std::string text = sjis::trim(commandArg(args, i));
  try {
    std::size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used == text.size()) return v;
  } catch (const std::exception&) {
  }
  ok = false;
  return 0;
}

// Runs `fn` on the numbers of the arguments, or stops with a message when one is not a number.
int withNumbers(MainWindowApi& w, const CommandArgs& args, std::size_t count,
                const std::function<int(const std::vector<long long>&)>& fn) {
  bool ok = true;
  std::vector<long long> v;
  for (std::size_t i = 0; i < count; ++i) v.push_back(numberArg(args, i, ok));
  if (!ok) {
    w.messageDoing_("Stop: a number is needed.");
    return kResultFailed;
  }
  return fn(v);
}

// ---- clones ----

int cloneMemoNode(MainWindowApi& w, long long n) {
  if (n < 1) return 0;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || !w.getCurrentNode()) return 0;
  const std::string count = std::to_string(n);
  BusyScope busy(w, "Clone MemoNode " + count);
  w.UI2Model();
  MemoNodeUI* source = w.getCurrentNode();
  MemoNode* copy = nullptr;
  int made = 0;
  for (long long i = 0; i < n; ++i) {
    copy = holder->addCopy_(source);
    if (!copy) {
      busy.finish("failure: Clone MemoNode");
      return made;
    }
    ++made;
  }
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(copy));
  w.refreshHolderView();
  busy.finish("Done: Clone MemoNode " + count);
  return made;
}

// ---- deletion into the waste notebook ----

MemoHolderUI* getTrushHolder(MainWindowApi& w) {
  MemoFileUI* file = w.getMemoFile();
  return file ? dynamic_cast<MemoHolderUI*>(file->findHolderByName_(kTrush)) : nullptr;
}

// Adds a note taken out of its notebook to the waste notebook, made on first use.
MemoHolderUI* moveToTrush(MainWindowApi& w, MemoNode* node, const std::string& name) {
  MemoHolderUI* trush = getTrushHolder(w);
  if (trush) {
    if (!trush->loaded) w.loadHolder(trush);
    trush->addNode_(node, name);
  } else {
    trush = w.newHolder_(-1);
    if (!trush) {
      delete node;  // unreachable with a document: a note is only deleted from one
      return nullptr;
    }
    trush->hideView_();
    std::string actual;
    trush->putName_(kTrush, actual);
    trush->addNode_(node, name);
    trush->putCurrentNode_(node);
  }
  trush->modified = true;
  if (MemoFileUI* file = w.getMemoFile()) file->refreshTabs_();
  return trush;
}

void closeWindowOf(MemoNode* node) {
  auto* ui = dynamic_cast<MemoNodeUI*>(node);
  if (ui && ui->noteWindow) ui->noteWindow->close();
}

// Notes taken out of their notebook, with their names, on their way to the waste
// notebook. They go there only once the notebook has a current note again, so that
// nothing in between can store the editor into a note that has left.
using Taken = std::vector<std::pair<MemoNode*, std::string>>;

void takeNote(MemoHolderUI* holder, MemoNode* node, Taken& taken) {
  std::string name = node->name();
  closeWindowOf(node);
  if (holder->removeNode_(node) >= 0) taken.emplace_back(node, std::move(name));
}

// Ends a deletion: `next` becomes current, then the notes taken go to the waste notebook.
void finishDeletion(MainWindowApi& w, MemoHolderUI* holder, MemoNode* next, const Taken& taken) {
  w.setCurrentNode(nullptr);
  holder->modified = true;
  if (next) w.changeCurrentNode_(static_cast<MemoNodeUI*>(next));
  for (const auto& [node, name] : taken) moveToTrush(w, node, name);
}

// Found as the document finds notebooks by name, so any spelling of "Trush" is the one.
bool isTrush(MainWindowApi& w, MemoHolderUI* holder) { return holder == getTrushHolder(w); }

std::string deleteOneNode(MainWindowApi& w, MemoHolderUI* holder) {
  if (isTrush(w, holder)) return "Can not remove it on the Trush MemoHolder";
  if (holder->getNodeCount_() <= 1) return "Could Not delete. Because There is One Node.";
  MemoNode* node = w.getCurrentNode();
  if (!node) return "ERROR: Current MemoNode = nil";
  MemoNode* next = holder->getNextNode_(node);
  if (!next) next = holder->getFirstNode_();
  Taken taken;
  takeNote(holder, node, taken);
  finishDeletion(w, holder, next, taken);
  return std::string();
}

std::string deleteTreeNode(MainWindowApi& w, MemoHolderUI* holder) {
  if (isTrush(w, holder)) return "Can not remove it on Trush MemoHolder.";
  if (holder->getNodeCount_() < 2) return "Could Not delete. Because There is One Node.";
  MemoNode* node = w.getCurrentNode();
  if (!node) return "ERROR: self.getCurMemoNode = nil";
  NoteList& list = holder->noteList();
  NoteItem* item = list.itemOf(node);
  if (!item) return "ERROR: aM.aUITN = nil";
  const int level = item->level();
  NoteItem* next = nullptr;
  for (NoteItem* it = list.nextItem(item); it && !next; it = list.nextItem(it))
    if (it->level() <= level) next = it;
  for (NoteItem* it = list.prevItem(item); it && !next; it = list.prevItem(it))
    if (it->level() <= level) next = it;
  if (!next) next = item->parent();
  if (!next) return "Don't Delete !";
  auto* nextNode = static_cast<MemoNodeUI*>(next->note());
  // Children before their parents, so each removal takes out exactly one note.
  StringList branch;
  CollectSubTree(item, branch);
  std::vector<MemoNode*> order;
  for (int i = branch.count() - 1; i >= 0; --i) order.push_back(static_cast<MemoNode*>(branch.object(i)));
  order.push_back(node);
  Taken taken;
  for (MemoNode* n : order) takeNote(holder, n, taken);
  finishDeletion(w, holder, nextNode, taken);
  return std::string();
}

int UIDeleteMemoNode(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultHolderReadOnly;
  // What was typed into the note goes to the waste notebook with it.
  w.UI2Model();
  const bool tree = Dequote(holder->getModeNodesMngr_()) == "TreeView" &&
                    holder->workingKind() == MemoHolderUI::Kind::Tree;
  BusyScope busy(w, "UIDeleteMemoNode");
  busy.finish(tree ? deleteTreeNode(w, holder) : deleteOneNode(w, holder));
  w.refreshHolderView();
  return 0;
}

int UIDeleteMarkNodes(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || isTrush(w, holder)) return kResultFailed;
  const std::string mode = Dequote(holder->getModeNodesMngr_());
  if (mode == "TreeView" || mode == "ListView") {
    ShowMessage("Still Not implimented");
    return kResultFailed;
  }
  if (mode != "CheckListBox") return kResultFailed;
  w.UI2Model();
  BusyScope busy(w, "Delete MarkNodes CLB");
  StringList marked;
  holder->getMarkedList_(marked);
  if (marked.empty()) {
    busy.finish("No Mark MemoNode.");
    return 0;
  }
  MemoNode* current = w.getCurrentNode();
  MemoNode* next = current;
  if (current && current->isMarked_()) {
    next = nullptr;
    for (MemoNode* n = holder->getNextNode_(current); n && !next; n = holder->getNextNode_(n))
      if (!n->isMarked_()) next = n;
    for (MemoNode* n = holder->getPrevNode_(current); n && !next; n = holder->getPrevNode_(n))
      if (!n->isMarked_()) next = n;
  }
  w.setCurrentNode(nullptr);
  Taken taken;
  for (int i = 0; i < marked.count(); ++i) takeNote(holder, static_cast<MemoNode*>(marked.object(i)), taken);
  if (holder->getNodeCount_() == 0) next = holder->createNewNode_();
  if (!next) next = holder->getFirstNode_();
  finishDeletion(w, holder, next, taken);
  w.refreshHolderView();
  busy.finish("Done " + std::to_string(marked.count()) + " Nodes deleted.");
  return marked.count();
}

// ---- notes from the editor's lines ----

}  // namespace

MemoHolderUI* importCSVNodes(MainWindowApi& w, const StringList& lines) {
  if (lines.count() < 3) return nullptr;
  const std::string header = sjis::trim(lines[1]);
  if (header.empty()) return nullptr;
  StringList names;
  SplitToStringsQuoted(header, names, ",");
  if (names.empty()) return nullptr;
  MemoHolderUI* holder = w.newHolder_(-1);
  if (!holder) return nullptr;
  for (int i = 2; i < lines.count(); ++i) {
    MemoNode* node = holder->createNewNode_();
    if (!node) break;
    StringList values;
    SplitToStringsQuoted(lines[i], values, ",");
    for (int j = 0; j < names.count() && j < values.count(); ++j) {
      std::string name = sjis::trim(names[j]);
      if (name.empty()) FormatInt("%.2d", j + 1, name);
      std::string value = sjis::trim(values[j]);
      if (value.empty() || value[0] != '"') value = QuoteValue(value);
      node->putField_(name, value);
    }
  }
  return holder;
}

namespace {

int UICSV2Holder(MainWindowApi& w) {
  if (!w.getHolderFrame()) return kResultFailed;
  w.UI2Model();
  BusyScope busy(w, "CSV -> Holder");
  StringList lines;
  lines.setText(editorText(w));
  MemoHolderUI* holder = importCSVNodes(w, lines);
  if (!holder) {
    busy.finish("Stop: CSV needs a first line, a line of field names and lines of values.");
    return kResultFailed;
  }
  std::string actual;
  holder->putName_("CSV", actual);
  holder->loaded = true;
  if (holder->getNodeCount_() == 0) holder->createNewNode_();
  if (MemoFileUI* file = w.getMemoFile()) file->modified = true;
  w.changeCurrentHolder(holder);
  return holder->getNodeCount_();
}

// A note per non-empty line of the editor, named by it and linked to it as a file.
int linesToNotes(MainWindowApi& w, bool newHolder) {
  if (!w.getHolderFrame()) return kResultFailed;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultHolderReadOnly;
  w.UI2Model();
  const std::string title = newHolder ? "UIMemoNode2Holder" : "UIMemoNode2NewNodes";
  BusyScope busy(w, title);
  StringList lines;
  lines.setText(editorText(w));
  if (newHolder) {
    // A notebook the window can show: its view built and counted as loaded.
    holder = w.newHolder_(-1);
    if (!holder) {
      busy.finish("Failure: " + title);
      return kResultFailed;
    }
  }
  MemoNode* model = holder->findNodeByName_("*");
  int count = 0;
  MemoNode* last = nullptr;
  for (int i = 0; i < lines.count(); ++i) {
    const std::string line = sjis::trim(lines[i]);
    if (line.empty()) continue;
    MemoNode* node = model ? holder->addCopy_(model) : holder->createNewNode_();
    if (!node) break;
    std::string actual;
    node->putName_(line, actual);
    node->putField_("Filename", QuoteValue(line));
    last = node;
    ++count;
  }
  if (holder->getNodeCount_() == 0) last = holder->createNewNode_();
  holder->modified = true;
  if (MemoFileUI* file = w.getMemoFile()) file->modified = true;
  if (newHolder) {
    if (last) holder->putCurrentNode_(last);
    w.changeCurrentHolder(holder);
  } else {
    w.refreshHolderView();
  }
  busy.finish("Done:" + title + " count=" + std::to_string(count));
  return count;
}

// ---- tree utilities ----

// Runs `fn` on the tree of the current notebook, when it shows one.
int onTree(MainWindowApi& w, const std::string& title, const std::function<std::string(MemoHolderUI&, NoteList&)>& fn) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder || Dequote(holder->getModeNodesMngr_()) != "TreeView" ||
      holder->workingKind() != MemoHolderUI::Kind::Tree)
    return kResultFailed;
  BusyScope busy(w, title);
  busy.finish(fn(*holder, holder->noteList()));
  return 0;
}

void replaceEditorSel(MainWindowApi& w, const StringList& lines) {
  if (TFrameMemoHolder* frame = w.getHolderFrame()) frame->FrameMemoNode1()->replaceNodeMemoSel_(lines.join("\r\n"));
}

int listLevel0(MainWindowApi& w, bool withCounts) {
  return onTree(w, withCounts ? "List Level=0+" : "List Level=0", [&](MemoHolderUI&, NoteList& list) {
    StringList out;
    for (int i = 0; i < list.rootCount(); ++i) {
      NoteItem* root = list.root(i);
      out.add(withCounts ? root->text() + " " + std::to_string(root->childCount()) : root->text());
    }
    replaceEditorSel(w, out);
    return "Done count=" + std::to_string(out.count());
  });
}

int expandAll(MainWindowApi& w, bool expand) {
  return onTree(w, expand ? "Expand All" : "Unexpand", [&](MemoHolderUI&, NoteList& list) {
    ExpandAll(list, expand);
    return std::string();
  });
}

int expandChild1(MainWindowApi& w, bool expand) {
  const std::string title = expand ? "UIExpandChild1" : "UIUnExpandChild1";
  return onTree(w, title, [&](MemoHolderUI& holder, NoteList&) {
    NoteItem* item = holder.itemOf(w.getCurrentNode());
    const int n = !item ? 0 : expand ? ExpandChildren(item, false) : CollapseChildren(item, false);
    return title + " count=" + std::to_string(n);
  });
}

int updateLevel(MainWindowApi& w) {
  return onTree(w, "Update Level", [&](MemoHolderUI& holder, NoteList& list) {
    w.UI2Model();
    for (int i = 0; i < list.count(); ++i) {
      NoteItem* item = list.itemAt(i);
      auto* note = static_cast<MemoNode*>(item->note());
      // A note read-only by its own flag keeps its level.
      if (mayChange(w, *note)) note->putField_("Level", QuoteValue(std::to_string(item->level())));
    }
    holder.modified = true;
    w.Model2UI();
    return std::string();
  });
}

// Copies the marked notes into a notebook the user picks (or a new one); the copies
// keep their names and the last becomes current. The number copied.
int UICopyMarksTo(MainWindowApi& w, HolderChooser& chooser) {
  MemoHolderUI* holder = w.getCurrentHolder();
  MemoFileUI* doc = w.getMemoFile();
  if (!holder || !doc) return kResultFailed;
  StringList marked;
  holder->getMarkedList_(marked);
  if (marked.empty()) {
    prompter().messageBox("Nothing Node Marked.", "Warning", Buttons::OK, BoxKind::Warning);
    return kResultFailed;
  }
  MemoHolderUI* chosen = nullptr;
  if (!chooser.window()) return kResultNoChooser;
  if (!chooser.choose(w, chosen)) return kResultFailed;
  w.UI2Model();
  MemoHolderUI* target = chosen ? chosen : w.newHolder_(-1);
  if (!target) return kResultFailed;
  if (target->isReadOnly_()) {
    w.messageDoing_("This MemoHolder is Read Only. (" + target->name() + ")");
    return kResultHolderReadOnly;
  }
  // The copies go in before the notebook is shown, so a new notebook is never shown empty.
  if (!target->loaded) w.loadHolder(target);
  MemoNode* last = nullptr;
  for (int i = 0; i < marked.count(); ++i)
    if (auto* n = marked.objectAs<MemoNode>(i)) {
      last = n->cloneNode_();
      target->addNode_(last, marked[i]);
    }
  target->modified = true;
  if (last) target->putCurrentNode_(last);
  w.changeCurrentHolder(target);
  if (auto* lastUI = dynamic_cast<MemoNodeUI*>(last)) w.changeCurrentNode_(lastUI);
  w.refreshHolderView();
  w.messageDoing_("Done: Copy Marks To " + target->name() + " " + std::to_string(marked.count()));
  return marked.count();
}

}  // namespace

// An icon file holding the picture as one 32-bit image. Written here rather than by
// the toolkit, whose writer leaves the transparency mask's bytes unset: the same icon
// must always give the same note.
std::string iconFileBytes(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  const int maskRow = ((w + 31) / 32) * 4;
  const std::uint32_t pixels = static_cast<std::uint32_t>(w * h * 4);
  const std::uint32_t size = 40 + pixels + static_cast<std::uint32_t>(maskRow * h);
  std::string out;
  auto put16 = [&out](std::uint32_t v) { out += char(v & 0xFF), out += char((v >> 8) & 0xFF); };
  auto put32 = [&put16](std::uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  put16(0), put16(1), put16(1);                                    // icon file, one image
  out += char(w & 0xFF), out += char(h & 0xFF), out += '\0', out += '\0';  // width, height, colours
  put16(1), put16(32), put32(size), put32(6 + 16);                 // planes, bits, size, offset
  put32(40), put32(static_cast<std::uint32_t>(w)), put32(static_cast<std::uint32_t>(h * 2));
  put16(1), put16(32), put32(0), put32(pixels), put32(0), put32(0), put32(0), put32(0);
  for (int y = h - 1; y >= 0; --y) {  // bottom row first
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) put32(row[x]);
  }
  out.append(static_cast<std::size_t>(maskRow * h), '\0');  // the alpha channel carries transparency
  return out;
}

// ---- the general maker ----

MemoNodeUI* newMemoNodeKind(MainWindowApi& w, const std::string& rawPath, NoteKind kind, std::string* error) {
  if (w.checkUIReadOnly() || w.checkHolderReadOnly()) return nullptr;
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return nullptr;
  std::string path = sjis::trim(rawPath);
  // A URL note needs an address: without one, and without the program's page, none.
  if (kind == NoteKind::URL && path.empty()) path = sjis::trim(w.getCmURL());
  if (kind == NoteKind::URL && path.empty()) return nullptr;
  w.UI2Model();
  auto* node = static_cast<MemoNodeUI*>(holder->createNewNode_());
  if (!node) return nullptr;
  std::string actual;
  switch (kind) {
    case NoteKind::Text:
      if (!path.empty()) {
        const bool relative = path[0] == '.';
        const std::string full =
            relative ? platform::resolvePath(path, platform::dirOf(holder->getFileName_())) : path;
        std::string why;
        if (node->importContent_(full, relative ? path : std::string(), &why) < 0) {
          dropNewNote(holder, node);
          if (error) *error = why;
          w.addLogTS("Failure: new note from " + path + ": " + why);
          ShowNotImplementedSource(why);
          return nullptr;
        }
        node->putName_(path, actual);
        if (const std::string lost = logLostCharacters(w, *node, path); !lost.empty() && error) *error = lost;
      }
      break;
    case NoteKind::Image:
      makeImage(w, holder, node, path);
      break;
    case NoteKind::Icon:
      makeIcon(node);
      break;
    case NoteKind::URL:
      node->putField_("Content-Transfer-Encoding", "\"URL\"");
      node->putField_("Filename", QuoteValue(path));
      node->putName_(path, actual);
      break;
    case NoteKind::Poser:
      node->putField_("Content-Transfer-Encoding", "\"Poser\"");
      break;
    case NoteKind::PoserLike:
      node->putField_("Content-Transfer-Encoding", "\"PoserLike\"");
      break;
  }
  if (node->getIndexField_("Creater") >= 0) node->putField_("Creater", QuoteValue(w.getUserName()));
  w.changeCurrentNode_(node);
  holder->modified = true;
  w.refreshHolderView();
  return node;
}

void makeChildOf(MainWindowApi& w, MemoNode* child, MemoNode* parent) {
  child->putParentNode_(parent);
  w.changeCurrentNode_(static_cast<MemoNodeUI*>(child));
  w.Model2UI();
  w.refreshHolderView();
}

void registerNoteCreationCommands(CommandTable& table, MainWindowApi& w, std::shared_ptr<HolderChooser> chooser) {
  table.add("newMemoNode_", Needs::changesHolder(), [&w]() -> int {
    BusyScope busy(w, "New MemoNode");
    if (!newMemoNodeKind(w, "", NoteKind::Text)) busy.finish("Failure: New MemoNode");
    return 0;
  });
  table.add("newMemoNodeKind_", [&w](const CommandArgs& args) -> int {
    return withNumbers(w, {commandArg(args, 1)}, 1, [&](const std::vector<long long>& v) -> int {
      if (v[0] < 0 || v[0] > 5) return kResultFailed;
      return newMemoNodeKind(w, commandArg(args, 0), static_cast<NoteKind>(v[0])) ? 0 : kResultNoNode;
    });
  });
  table.add("UINewNodeImage", kCreates, [&w]() -> int {
    return creation(w, "New Node Image", "failure: New Node Image",
                    [&](std::string&) { return newMemoNodeKind(w, "", NoteKind::Image); });
  });
  table.add("UINewNodeImageScreen", kCreates, [&w]() -> int { return newImageScreen(w, "New Node Image Screen", false); });
  table.add("UINewChildImageScreen", kCreatesChild, [&w]() -> int { return newImageScreen(w, "New Child Image Screen", true); });
  table.add("UINewMemoNodePoser", kCreates, [&w]() -> int {
    return creation(w, "New MemoNode Poser", "Failure: New MemoNode Poser",
                    [&](std::string&) { return newMemoNodeKind(w, "", NoteKind::Poser); });
  });
  table.add("UINewMemoNodePoserLike", kCreates, [&w]() -> int {
    return creation(w, "New MemoNode PoserLike", "Failure: New MemoNode PoserLike",
                    [&](std::string&) { return newMemoNodeKind(w, "", NoteKind::PoserLike); });
  });
  table.add("UINewMemoNodeFile", kCreates, [&w]() -> int {
    std::string name;
    if (!chooseFile("New MemoNode File", name)) {
      w.messageDoing_("Cancel: New MemoNode File");
      return kResultFailed;
    }
    return creation(w, "New MemoNode File " + name, "Failure: New MemoNode File " + name, [&](std::string& end) {
      std::string why;
      MemoNodeUI* node = newMemoNodeKind(w, name, NoteKind::Text, &why);
      if (!why.empty()) end = node ? why : "Failure: New MemoNode File " + name + ": " + why;
      return node;
    });
  });
  auto urlNote = [&w](const std::string& title, const std::string& url) -> int {
    return creation(w, title, "Failure: " + title + " " + url, [&](std::string& end) {
      MemoNodeUI* node = newMemoNodeKind(w, url, NoteKind::URL);
      if (node) end = "Done: " + title + " " + url;
      return node;
    });
  };
  table.add("UINewMemoNodeURL", kCreates, [&w, urlNote]() -> int {
    std::string url;
    if (!askURL(w, "New MemoNode URL", "Input URL", url)) {
      w.messageDoing_("Cancel \"New MemoNode URL\"");
      return kResultFailed;
    }
    return urlNote("New MemoNode URL", url);
  });
  table.add("UINewMemoNodeURLDirectory", kCreates, [&w, urlNote]() -> int {
    std::string dir = platform::currentDir();
    if (!prompter().directoryName("New MemoNode URL Directory", dir) || sjis::trim(dir).empty()) {
      w.messageDoing_("Cancel \"New MemoNode URL Directory\"");
      return kResultFailed;
    }
    dir = sjis::trim(dir);
    if (platform::lastSeparator(dir) != dir.size() - 1) dir += "/";
    return urlNote("New MemoNode URL", dir);
  });
  table.add("UINewMemoNodeURLFile", kCreates, [&w, urlNote]() -> int {
    std::string name;
    if (!chooseFile("New MemoNode URL File", name)) {
      w.messageDoing_("Cancel: New MemoNode URL File");
      return kResultFailed;
    }
    return urlNote("New MemoNode URL File", name);
  });
  table.add("UINewChild", kCreatesChild, [&w]() -> int {
    return newChildOf(w, "New Child", NoteKind::Text, "", "Done: New Child : ", "Failure: New Child");
  });
  table.add("UINewChildImage", kCreatesChild, [&w]() -> int {
    return newChildOf(w, "New Child Image", NoteKind::Image, "", "", "Failure: New Child Image");
  });
  table.add("UINewChildURL", kCreatesChild, [&w]() -> int {
    std::string url;
    if (!w.getCurrentNode()) return kResultFailed;
    if (!askURL(w, "New Child URL MemoNode", "URL", url)) {
      w.messageDoing_("Cancel \"New Child URL\"");
      return kResultFailed;
    }
    return newChildOf(w, "New Child URL", NoteKind::URL, url, "Done: New Child URL ", "Failure: New Child URL");
  });
  table.add("UINewChilds", noticeOnly(w, "TFormMainScript.UINewChilds", kResultNotImplemented),
            CommandTable::State::LeftOpen);

  table.add("newNodesYear_", kSets, [&w](const CommandArgs& a) -> int {
    return withNumbers(w, a, 1, [&](const std::vector<long long>& v) -> int { return newNodesYear(w, v[0]); });
  });
  table.add("newNodesMonth_", kSets, [&w](const CommandArgs& a) -> int {
    return withNumbers(w, a, 2, [&](const std::vector<long long>& v) -> int { return newNodesMonth(w, v[0], v[1]); });
  });
  table.add("newNodesWeek_", kSets, [&w](const CommandArgs& a) -> int { return newNodesWeekText(w, commandArg(a, 0)); });
  table.add("newNodesNumber_", kSets, [&w](const CommandArgs& a) -> int {
    return withNumbers(w, a, 2, [&](const std::vector<long long>& v) -> int { return newNodesNumber(w, v[0], v[1]); });
  });
  table.add("cloneMemoNode_", Needs::changesHolder(0), [&w](const CommandArgs& a) -> int {
    return withNumbers(w, a, 1, [&](const std::vector<long long>& v) -> int { return cloneMemoNode(w, v[0]); });
  });
  table.add("cloneMemoNode1_", Needs::changesHolder(0), [&w]() -> int { return cloneMemoNode(w, 1); });

  table.add("UIDeleteMemoNode", kCreates, [&w]() -> int { return UIDeleteMemoNode(w); });
  table.add("UIDeleteMarkNodes", kCreates, [&w]() -> int { return UIDeleteMarkNodes(w); });
  table.add("UICopyMarksTo", Needs::notBusy().uiWritable(kResultUIReadOnly), [&w, chooser]() -> int { return UICopyMarksTo(w, *chooser); });
  table.add("UICSV2Holder", Needs::notBusy().uiWritable(kResultUIReadOnly), [&w]() -> int { return UICSV2Holder(w); });
  table.add("UIMemoNode2NewNodes", kCreates, [&w]() -> int { return linesToNotes(w, false); });
  table.add("UIMemoNode2Holder", Needs::notBusy().uiWritable(kResultUIReadOnly), [&w]() -> int { return linesToNotes(w, true); });

  table.add("UIListLevel0", Needs::changesNote(), [&w]() -> int { return listLevel0(w, false); });
  table.add("UIListLevel0Plus", Needs::changesNote(), [&w]() -> int { return listLevel0(w, true); });
  table.add("UIExpandAll", Needs::notBusy(), [&w]() -> int { return expandAll(w, true); });
  table.add("UIUnexpand", Needs::notBusy(), [&w]() -> int { return expandAll(w, false); });
  table.add("UIExpandChild1", Needs::notBusy(), [&w]() -> int { return expandChild1(w, true); });
  table.add("UIUnExpandChild1", Needs::notBusy(), [&w]() -> int { return expandChild1(w, false); });
  table.add("UIUpdateLevel", kCreates, [&w]() -> int { return updateLevel(w); });
}

}  // namespace wux

// Commands of new child notes made from a note's content.
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <functional>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/content.h"
#include "model/jcode.h"
#include "model/lists.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/download.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "views/Clipboard.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/FrameWB.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

bool isBinary(const MemoNode* node) { return node->getField_("Content-Transfer-Encoding") == "\"binary\""; }

std::string contentBytes(const MemoNode* node) {
  const TContent* c = node->content();
  return c && c->data() ? *c->data() : std::string();
}

// What every new-child command needs: free, the interface and the notebook writable.
constexpr Needs kMakesChild = Needs::changesHolder();

// A new text note whose body is `lines`; nullptr when none could be made.
MemoNodeUI* newNoteWith(MainWindowApi& w, const StringList& lines) {
  MemoNodeUI* node = newMemoNodeKind(w, "", NoteKind::Text);
  if (node) node->body() = lines;
  return node;
}

std::string renamed(MemoNode* node, const std::string& name) {
  std::string actual;
  node->putName_(name, actual);
  return node->name();
}

// The operation `title` fails unless it says otherwise; its source is the current note,
// stored first. nullptr, closing with `noSource`, when there is none.
MemoNodeUI* sourceNote(MainWindowApi& w, BusyScope& busy, const std::string& title, const std::string& noSource) {
  busy.finish("Failure: " + title);
  w.UI2Model();
  MemoNodeUI* source = w.getCurrentNode();
  if (!source) busy.finish(noSource);
  return source;
}

int binDump(MainWindowApi& w) {
  const std::string title = "New Child Bin->DumpText";
  BusyScope busy(w, title);
  MemoNodeUI* source = sourceNote(w, busy, title, "ERROR: Current MemoNode = nil");
  if (!source) return kResultFailed;
  const std::string sourceName = source->name();
  if (!isBinary(source)) {
    busy.finish("Cacel:Current MemoNode did not have binary content. " + sourceName);
    return kResultFailed;
  }
  StringList dump;
  HexDumpStream(dump, contentBytes(source), 16);
  if (!newNoteWith(w, dump)) return kResultNoNode;
  w.Model2UI();
  busy.finish("Done: " + title + " : " + sourceName);
  return 0;
}

bool flagArg(const CommandArgs& args, std::size_t i) {
  const std::string v = sjis::lower(sjis::trim(commandArg(args, i)));
  return v == "1" || v == "true" || v == "yes";
}

// args: pattern, ignore case, position (0 anywhere, 1 head, 2 tail), invert, line numbers.
int grep5(MainWindowApi& w, const CommandArgs& args) {
  const std::string pattern = commandArg(args, 0);
  const std::string title = "New Child Grep5";
  BusyScope busy(w, title);
  MemoNodeUI* source = sourceNote(w, busy, title, "Failure: " + title);
  if (!source) return kResultFailed;
  int mode = 0;
  const std::string modeText = sjis::trim(commandArg(args, 2));
  if (IsAllDigits(modeText) && !modeText.empty() && modeText.size() < 3) mode = std::stoi(modeText);
  const bool invert = flagArg(args, 3);
  StringList lines;
  FilterLines(source->body(), pattern, lines, flagArg(args, 1), flagArg(args, 4), invert, mode);
  MemoNodeUI* node = newNoteWith(w, lines);
  if (!node) return kResultNoNode;
  renamed(node, node->name() + " Grep " + pattern + (invert ? " NOT " : ""));
  makeChildOf(w, node, source);
  busy.finish("Done: " + title + " : " + pattern);
  return 0;
}

// A local name as the link notes write them: "file:///" dropped, relative names taken
// from the notebook's folder.
std::string localName(MemoNode* source, std::string name) {
  if (sjis::lower(name.substr(0, 8)) == "file:///") name = name.substr(7);
  if (!name.empty() && name[0] == '.') {
    MemoHolder* holder = source->getParentHolder_();
    name = platform::resolvePath(name, holder ? platform::dirOf(holder->getFileName_()) : std::string());
  }
  return name;
}

bool isWebAddress(const std::string& address) {
  const std::string head = sjis::lower(address.substr(0, 5));
  return head == "http:" || head == "https";
}

// The address a link note shows: what its page frame went to, else its own address.
// With Internet access off the frame shows a stand-in page, never the note's.
std::string linkAddress(MainWindowApi& w, MemoNode* source) {
  const std::string own = sjis::trim(Dequote(source->getField_("Filename")));
  if (isWebAddress(own) && !w.isUIInternet()) return own;
  TFrameMemoHolder* frame = w.getHolderFrame();
  TFrameMemoNode* editor = frame ? frame->FrameMemoNode1() : nullptr;
  if (editor && editor->node() == source && editor->webFrame()) {
    const std::string shown = sjis::trim(editor->webFrame()->location());
    if (!shown.empty() && shown != "*Memo*") return shown;
  }
  return own;
}

// The page at a web address as its server sends it; false with the reason.
bool fetchPage(const std::string& url, StringList& lines, std::string& error) {
  const std::string temp = platform::tempDir() + "wux-page-" + std::to_string(QCoreApplication::applicationPid()) + ".tmp";
  bool ok = platform::downloadToFile(url, temp, &error);
  std::string bytes;
  if (ok && !platform::readFile(temp, bytes)) {
    ok = false;
    error = "cannot read the downloaded page";
  }
  QFile::remove(toQ(temp));
  if (ok) lines.setText(bytes);
  return ok;
}

// The links of the page the note's web frame shows.
bool pageLinks(MainWindowApi& w, MemoNode* source, StringList& lines, std::string& error) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  TFrameMemoNode* editor = frame ? frame->FrameMemoNode1() : nullptr;
  if (!editor || editor->node() != source || !editor->webFrame()) {
    error = "the page is not shown";
    return false;
  }
  if (editor->webFrame()->getLinkList_(lines) < 0) {
    error = "the page did not answer";
    return false;
  }
  return true;
}

// A note from a local name: the file read in, or the list of a folder's files.
MemoNodeUI* fromLocal(MainWindowApi& w, MemoNode* source, const std::string& address, std::string& error) {
  const std::string name = localName(source, address);
  if (platform::dirExists(name)) {
    std::string dir = name;
    if (platform::lastSeparator(dir) != dir.size() - 1) dir += "/";
    StringList files;
    ListFiles(files, dir);
    MemoNodeUI* node = newNoteWith(w, files);
    if (node) renamed(node, "FileList " + dir);
    return node;
  }
  std::string why;
  const platform::FileState state = platform::fileState(name, &why);
  if (state == platform::FileState::Regular) return newMemoNodeKind(w, name, NoteKind::Text, &error);
  error = state == platform::FileState::Missing ? "ERROR: Not Found 10 " + name : "ERROR: " + why;
  return nullptr;
}

// The source (or, with `links`, the link list) of the current note as a new child note.
int downloaded(MainWindowApi& w, bool links) {
  const std::string title = links ? "New Child URL Link" : "New Child DownLoaded";
  const std::string nilText = links ? "ERROR: aMC=nil in UINewChildURLLink" : "ERROR: aMC=nil in UINewChildDownloadeed";
  BusyScope busy(w, title);
  MemoNodeUI* source = sourceNote(w, busy, title, "ERROR: Parent MemoNode(Current MemoNode)=nil");
  if (!source) return kResultFailed;
  MemoNodeUI* made = nullptr;
  std::string error;
  std::string address;
  const bool link = source->getField_("Content-Transfer-Encoding") == "\"URL\"";
  if (!link) {
    const std::string file = Dequote(source->getField_("Filename"));
    if (isBinary(source)) {
      StringList lines;
      const std::string bytes = contentBytes(source);
      TContent::encodeBase64_(&bytes, lines);
      made = newNoteWith(w, lines);
      if (made) renamed(made, "SOURCE " + source->name());
    } else if (!file.empty()) {
      made = newMemoNodeKind(w, localName(source, file), NoteKind::Text, &error);
      if (made) renamed(made, "SOURCE " + file);
    } else {
      const int r = w.commands().run("UICloneMemoNodeAndChild");
      busy.finish(r != 1 ? "Failure: " + title : "Done: " + title + " : " + source->name());
      return r == 1 ? r : kResultFailed;
    }
  } else {
    address = linkAddress(w, source);
    if (isWebAddress(address)) {
      StringList lines;
      // Off, the frame shows a stand-in page: neither its source nor its links are the note's.
      bool got = false;
      if (!w.isUIInternet())
        error = "Internet access is off";
      else
        got = links ? pageLinks(w, source, lines, error) : fetchPage(address, lines, error);
      if (got) {
        made = newNoteWith(w, lines);
        if (made) renamed(made, (links ? "LINKS " : "SOURCE ") + address);
      } else {
        error = "Failure: " + title + " " + address + ": " + error;
      }
    } else {
      made = fromLocal(w, source, address, error);
    }
  }
  if (!made) {
    busy.finish(error.empty() ? nilText : error);
    return kResultNoNode;
  }
  if (link) made->putField_("Link", QuoteValue(address));
  made->putField_("Created", QuoteValue(FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", Now())));
  makeChildOf(w, made, source);
  busy.finish("Done: " + title + " : " + made->name());
  const std::string text = made->body().text();
  return static_cast<int>(std::min<std::size_t>(text.size(), 0x7fffffff));
}

// A new note made from the body of the current text note by `make`, with the source's
// file name given `ext`.
int fromBody(MainWindowApi& w, const std::string& title, const std::string& ext,
             const std::function<void(MemoNode&, StringList&)>& make) {
  BusyScope busy(w, title);
  MemoNodeUI* source = sourceNote(w, busy, title, "ERROR: Current MemoNode = nil");
  if (!source) return kResultFailed;
  if (isBinary(source)) {
    busy.finish("Stop: Current MemoNode is binary.");
    return kResultFailed;
  }
  StringList out;
  make(*source, out);
  const std::string file = Dequote(source->getField_("Filename"));
  MemoNodeUI* node = newNoteWith(w, out);
  if (!node) {
    busy.finish("ERROR: newNode.");
    return kResultNoNode;
  }
  if (!file.empty()) node->putField_("Filename", QuoteValue(platform::changeExt(file, ext)));
  w.Model2UI();
  busy.finish("Done: " + title + " : " + node->name());
  return 0;
}

int csvToHtml(MainWindowApi& w) {
  return fromBody(w, "New Child CSV->HTML", ".html", [&w](MemoNode& source, StringList& out) {
    CsvToHtmlPage(source.body(), out, source.name(), "wux.exe " + w.getVersion());
  });
}

int codeConvert(MainWindowApi& w, const std::string& kind) {
  using Convert = void (*)(const StringList&, StringList&);
  Convert convert = kind == "EUC2SJIS"   ? EucToSjisStrings
                    : kind == "JIS2SJIS" ? JisToSjisStrings
                    : kind == "SJIS2JIS" ? SjisToJisStrings
                                         : nullptr;
  if (!convert) {
    w.messageDoing_("Stop: no such conversion: " + kind);
    return kResultFailed;
  }
  return fromBody(w, "New Child " + kind, ".sjis",
                  [convert](MemoNode& source, StringList& out) { convert(source.body(), out); });
}

int copyName(MainWindowApi& w) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!node) return kResultFailed;
  clipboard().setText(node->name());
  w.messageDoing_("Copied Current MemoNode Name \"" + node->name() + "\"");
  return 0;
}

}  // namespace

void registerNoteContentCommands(CommandTable& table, MainWindowApi& w) {
  table.add("UINewChildBinDump", kMakesChild, [&w]() -> int { return binDump(w); });
  table.add("UINewChildGrep5", kMakesChild, [&w](const CommandArgs& a) -> int { return grep5(w, a); });
  table.add("UINewChildDownloadeed", kMakesChild, [&w]() -> int { return downloaded(w, false); });
  table.add("UINewChildURLLink", kMakesChild, [&w]() -> int { return downloaded(w, true); });
  table.add("UINewChildCSV2HTML", kMakesChild, [&w]() -> int { return csvToHtml(w); });
  table.add("UINewChildCodeConvert", kMakesChild, [&w](const CommandArgs& a) -> int { return codeConvert(w, commandArg(a, 0)); });
  table.add("UINewChildEUC2SJIS", kMakesChild, [&w]() -> int { return codeConvert(w, "EUC2SJIS"); });
  table.add("UINewChildJIS2SJIS", kMakesChild, [&w]() -> int { return codeConvert(w, "JIS2SJIS"); });
  table.add("UINewChildSJIS2JIS", kMakesChild, [&w]() -> int { return codeConvert(w, "SJIS2JIS"); });
  table.add("UICopyName", Needs::notBusy(), [&w]() -> int { return copyName(w); });
}

}  // namespace wux

#include "model/records/MemoHolder.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

#include "model/format.h"
#include "model/lists.h"
#include "model/records/HolderSave.h"
#include "model/records/MemoFile.h"
#include "model/records/ZTextWriter.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {
namespace {

const char* kTrue = "\"true\"";

std::string boolText(bool b) { return b ? "\"true\"" : "\"false\""; }

// Leading blanks skipped, then decimal digits up to the first other character; digits
// that would overflow are not taken.
int leadingInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    long long next = v * 10 + (text[i] - '0');
    if (next > INT_MAX) break;
    v = next;
  }
  return static_cast<int>(v);
}

std::string withoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

// The settings rows written from fields and typed members; any other notebook field is
// written after them so that nothing the user set is lost.
const char* const kRowNames[] = {"curIndex",      "NewNodeName",  "FormatDate",    "FlagExtra",
                                 "FlagSameName",  "FileExt",      "FlagReadOnly",  "NewNodeOption",
                                 "FileName",      "ModeNodesMngr", "Color",        "QueryNode",
                                 "flagSort",      "flagAscending", "flagAccount",  "flagAutoReLoad",
                                 "ReloadMinutes", "TimeReLoad",    "flagAutoSave", "SaveMinutes",
                                 "TimeSaved",     "CountSave",     "FlagLoaded",   "HolderMemo"};

// The notebook's own lines (its memo) travel in one field: a text piece inside the
// notebook element would join the last note. The value is the lines as a body is written,
// each escaped and ended by "<BR/>", and the field writer escapes that again, so no line
// break and no "<BR/>" typed by the user can be mistaken for one.
const char* const kMemoField = "HolderMemo";
const std::string_view kMemoBreak = "<BR/>";

std::string memoFieldValue(const StringList& lines) {
  std::string value;
  for (const auto& l : lines) {
    value += EscapeHTML(l.text);
    value += kMemoBreak;
  }
  return value;
}

void memoFromFieldValue(const std::string& value, StringList& lines) {
  lines.clear();
  std::size_t start = 0;
  while (start < value.size()) {
    std::size_t end = value.find(kMemoBreak, start);
    if (end == std::string::npos) end = value.size();
    lines.add(UnescapeHTML(std::string_view(value).substr(start, end - start)));
    start = end + kMemoBreak.size();
  }
}

}  // namespace

MemoHolder::MemoHolder(TObjectNamed* owner) : MemoBasic(owner) {}

MemoHolder::~MemoHolder() {
  if (nodes_) nodes_->clear_();
}

int MemoHolder::clear_() {
  MemoBasic::clear_();
  current_ = nullptr;
  modified = loaded = loadFailed = false;
  ownFiles_.clear();  // emptied to be filled again: by the next read or write
  flagAccount = flagAutoReLoad = flagAutoSave = false;
  ReloadMinutes = SaveMinutes = 0;
  TimeReLoad = TimeSaved = Now();
  CountSave = 0;
  if (nodes_) {
    nodes_->clear_();
  } else {
    nodes_ = Create<TObjectParentEX>(this);
  }
  return 0;
}

void MemoHolder::getNameChild_(const TObjectNamed* child, std::string& name) const { nodes_->getNameChild_(child, name); }

int MemoHolder::putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) {
  return nodes_->putNameChild_as_(child, newName, actual);
}

TObjectNamed* MemoHolder::deepCopy() const { return DeepCopyOf(*this); }

void MemoHolder::copyFrom_(const TObjectNamed& source) {
  MemoBasic::copyFrom_(source);
  auto* src = dynamic_cast<const MemoHolder*>(&source);
  if (!src || src == this) return;
  modified = src->modified;
  loaded = src->loaded;
  flagAccount = src->flagAccount;
  flagAutoReLoad = src->flagAutoReLoad;
  ReloadMinutes = src->ReloadMinutes;
  TimeReLoad = src->TimeReLoad;
  flagAutoSave = src->flagAutoSave;
  SaveMinutes = src->SaveMinutes;
  TimeSaved = src->TimeSaved;
  const StringList& list = src->nodes_->children();
  for (int i = 0; i < list.count(); ++i) {
    if (auto* node = list.objectAs<MemoNode>(i)) addNode_(node->cloneNode_(), list[i]);
  }
  putField_("ModeNodesMngr", "\"Nodes\"");
  current_ = nullptr;
  int ci = src->current_ ? list.indexOfObject(src->current_) : -1;
  MemoNode* c = ci >= 0 ? getNode_(ci) : nullptr;
  putCurrentNode_(c ? c : getFirstNode_());
}

std::string MemoHolder::getTempDir_() {
  if (MemoFile* f = getParentFile_()) return f->getTempDir_();
  return MemoBasic::getTempDir_();
}

bool MemoHolder::isReadOnly_() {
  if (getField_("FlagReadOnly") == kTrue) return true;
  if (MemoFile* f = getParentFile_()) return f->isReadOnly_();
  return false;
}

MemoFile* MemoHolder::getParentFile_() const {
  TObjectNamed* o = owner();
  if (auto* f = dynamic_cast<MemoFile*>(o)) return f;
  if (o) return dynamic_cast<MemoFile*>(o->owner());
  return nullptr;
}

// ---- notes ----------------------------------------------------------------------------

MemoNode* MemoHolder::newNode_() { return Create<MemoNode>(this).release(); }

std::string MemoHolder::makeUniqueNodeName_(const std::string& name) {
  if (getFlagSameName_()) return name;
  std::string unique;
  nodes_->uniqueChildName_(name, unique);
  return unique;
}

std::string MemoHolder::getFormatDate_() {
  std::string v = getField_("FormatDate");
  return v.empty() ? "\"YYYYMMDD\"" : v;
}

std::string MemoHolder::getFormatNumber_() {
  std::string v = getField_("FormatNumber");
  return v.empty() ? "\"%.5d\"" : v;
}

MemoNode* MemoHolder::createNewChildNode_(MemoNode* parent) {
  MemoNode* node = createNewNode_();
  if (node) node->putParentNode_(parent);
  return node;
}

int MemoHolder::getNodeCount_() { return nodes_->children().count(); }

int MemoHolder::getMarkedCount_() {
  int n = 0;
  const StringList& list = nodes_->children();
  for (int i = 0; i < list.count(); ++i) {
    auto* node = list.objectAs<MemoNode>(i);
    if (node && node->isMarked_()) ++n;
  }
  return n;
}

StringList& MemoHolder::getMarkedList_(StringList& list) {
  const StringList& c = nodes_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* node = c.objectAs<MemoNode>(i);
    if (node && node->isMarked_()) list.add(c[i], node);
  }
  return list;
}

StringList& MemoHolder::setNodeList_(StringList& list) {
  const StringList& c = nodes_->children();
  for (int i = 0; i < c.count(); ++i) list.add(c[i], c.object(i));
  return list;
}

int MemoHolder::indexOfNode_(MemoNode* node) {
  if (!node) return -1;
  return nodes_->children().indexOfObject(node);
}

MemoNode* MemoHolder::getPrevNode_(MemoNode* node) {
  int i = indexOfNode_(node);
  return i > 0 ? getNode_(i - 1) : nullptr;
}

MemoNode* MemoHolder::getNextNode_(MemoNode* node) {
  int i = indexOfNode_(node);
  return i >= 0 ? getNode_(i + 1) : nullptr;
}

MemoNode* MemoHolder::getFirstNode_() { return getNode_(0); }
MemoNode* MemoHolder::getLastNode_() { return getNode_(getNodeCount_() - 1); }

MemoNode* MemoHolder::getNode_(int index) {
  const StringList& c = nodes_->children();
  if (index < 0 || index >= c.count()) return nullptr;
  return c.objectAs<MemoNode>(index);
}

MemoNode* MemoHolder::findNodeByName_(const std::string& name) {
  const StringList& c = nodes_->children();
  int i = c.indexOfExact(name);
  return i < 0 ? nullptr : c.objectAs<MemoNode>(i);
}

int MemoHolder::removeNode_(MemoNode* node) {
  current_ = nullptr;
  int i = indexOfNode_(node);
  if (i >= 0) nodes_->detachChild_(node);
  return i;
}

int MemoHolder::addNode_(MemoNode* node, const std::string& name) {
  if (!node) return -1;
  node->setOwner(this);
  std::string actual;
  if (getFlagSameName_()) {
    nodes_->addChildRaw_(node, name, actual);
  } else {
    nodes_->addChild_(node, name, actual);
  }
  node->setOwner(this);  // a note's owner is its notebook, not the notes list
  return 0;
}

void MemoHolder::addNodeRaw_(MemoNode* node, const std::string& name) {
  node->setOwner(this);
  std::string actual;
  nodes_->addChildRaw_(node, name, actual);
  node->setOwner(this);
}

int MemoHolder::insertNode_(MemoNode* node, const std::string& name, int index) {
  if (!node) return -1;
  node->setOwner(this);
  std::string actual;
  if (index < 0) index = 0;
  if (getFlagSameName_()) {
    nodes_->insertChildRaw_(index, node, name, actual);
  } else {
    nodes_->insertChild_(index, node, name, actual);
    nodes_->resort_();
  }
  node->setOwner(this);
  return 0;
}

MemoNode* MemoHolder::getCurrentNode_() { return current_; }

int MemoHolder::putCurrentNode_(MemoNode* node) {
  int i = indexOfNode_(node);
  current_ = i < 0 ? nullptr : node;
  return i;
}

void MemoHolder::putColor_(Color color) { putField_("Color", QuoteValue(ColorToName(color))); }

MemoNode* MemoHolder::createNewNode_() {
  std::string option = sjis::lower(Dequote(getNewNodeOption_()));
  MemoNode* node;
  if (option == "plain") {
    node = newNode_();
  } else {
    MemoNode* tmpl = nullptr;
    if (option == "current") {
      tmpl = current_;
    } else if (option == "select") {
      std::string sel = Dequote(getField_("SelectNodeName"));
      if (!sel.empty()) tmpl = findNodeByName_(sel);
    } else if (option.empty() || option == "normal") {
      tmpl = findNodeByName_("*");
    }
    if (!tmpl) tmpl = findNodeByName_("*");
    node = tmpl ? tmpl->cloneNode_() : newNode_();
  }

  std::string kind = sjis::lower(Dequote(getNewNodeName_()));
  std::string name;
  if (kind.empty() || kind == "daily") {
    name = FormatDateTime(Dequote(getFormatDate_()), Now());
  } else if (kind == "glossary") {
    name = current_ ? current_->name() : "*New*";
  } else if (kind == "number") {
    // A number format that is not acceptable falls back to the default one.
    if (!FormatInt(Dequote(getFormatNumber_()), getNodeCount_(), name)) FormatInt("%.5d", getNodeCount_(), name);
  } else {
    name = "*New*";
  }
  name = makeUniqueNodeName_(name);

  int at = current_ ? indexOfNode_(current_) : -1;
  if (at >= 0) {
    insertNode_(node, name, at);
  } else {
    addNode_(node, name);
  }
  if (node->getIndexField_("Created") >= 0) {
    node->putField_("Created", QuoteValue(FormatDateTime("YYYYMMDD hhnnsszzz", Now())));
  }
  if (node->getIndexField_("UID") >= 0) node->newUID_();
  return node;
}

// ---- settings -------------------------------------------------------------------------

bool MemoHolder::getFlagSort_() const { return nodes_->flagSort; }

void MemoHolder::putFlagSort_(bool on) {
  nodes_->flagSort = on;
  putField_("flagSort", boolText(on));
  nodes_->resort_();
}

bool MemoHolder::getFlagAscending_() const { return nodes_->flagAscending; }

void MemoHolder::putFlagAscending_(bool on) {
  nodes_->flagAscending = on;
  putField_("flagAscending", boolText(on));
  nodes_->resort_();
}

bool MemoHolder::getFlagExtra_() const { return getField_("FlagExtra") == kTrue; }
void MemoHolder::putFlagExtra_(bool on) { putField_("FlagExtra", boolText(on)); }
bool MemoHolder::getFlagSameName_() const { return getField_("FlagSameName") == kTrue; }

std::string MemoHolder::getFileExt_() const {
  std::string v = getField_("FileExt");
  return v.empty() ? "\".mxh\"" : v;
}

std::string MemoHolder::getNewNodeName_() const {
  std::string v = getField_("NewNodeName");
  return v.empty() ? "\"Daily\"" : v;
}

std::string MemoHolder::getNewNodeOption_() const {
  std::string v = getField_("NewNodeOption");
  return v.empty() ? "\"Normal\"" : v;
}

std::string MemoHolder::getModeNodesMngr_() const {
  std::string v = getField_("ModeNodesMngr");
  return v.empty() ? "\"Nodes\"" : v;
}

int MemoHolder::getFieldNames_(StringList& list) {
  int added = 0;
  std::unordered_set<std::string> seen;
  for (int i = 0; i < list.count(); ++i) seen.insert(sjis::lower(list.name(i)));
  const StringList& c = nodes_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* node = c.objectAs<MemoNode>(i);
    if (!node || !node->fieldList()) continue;
    for (const auto& l : *node->fieldList()) {
      std::string n = StringList::nameOf(l.text);
      if (seen.insert(sjis::lower(n)).second) {
        list.add(n);
        ++added;
      }
    }
  }
  return added;
}

int MemoHolder::getFieldValues_(const std::string& name, StringList& list) {
  int added = 0;
  std::unordered_set<std::string> seen(list.begin() == list.end() ? 0 : 64);
  for (const auto& l : list) seen.insert(l.text);
  const StringList& c = nodes_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* node = c.objectAs<MemoNode>(i);
    if (!node) continue;
    std::string v = Dequote(node->getField_(name));
    if (!v.empty() && seen.insert(v).second) {
      list.add(v);
      ++added;
    }
  }
  return added;
}

std::string MemoHolder::getFileName_() {
  if (getFlagExtra_()) {
    std::string f = Dequote(getField_("Filename"));
    if (!f.empty()) return f;
  }
  std::string dir;
  if (MemoFile* doc = getParentFile_()) {
    dir = platform::dirOf(doc->getFileName_());
  } else {
    dir = platform::currentDir();
  }
  std::string name = SanitizeFileName(this->name());
  // The extension comes from files: one that is not a plain extension could lead the
  // notebook's file out of the document's folder.
  std::string ext = Dequote(getFileExt_());
  if (ext.size() < 2 || ext[0] != '.' || SanitizeFileName(ext) != ext) ext = ".mxh";
  std::string path = dir + platform::changeExt(name, ext);
  if (path.empty()) path = platform::currentDir() + "noname.mxh";
  return path;
}

// ---- file -----------------------------------------------------------------------------

void MemoHolder::saveToTSL_(StringList& lines) { appendTextLines(lines, saveToText_()); }

std::string MemoHolder::saveToText_() {
  std::string out;
  writeText_(out, nullptr);
  return out;
}

void MemoHolder::writeText_(std::string& out, const std::function<void(std::string&)>* flush) {
  std::size_t estimate = 4096;
  const StringList& c = nodes_->children();
  for (int i = 0; i < c.count(); ++i) {
    if (auto* node = c.objectAs<MemoNode>(i)) {
      estimate += 96 + c[i].size();
      for (const auto& l : node->body()) estimate += l.text.size() + 8;
      if (node->content() && node->content()->data()) estimate += node->content()->data()->size() * 4 / 3 + 8;
    }
  }
  const std::size_t kPiece = 1u << 20;
  out.reserve(flush ? kPiece + (kPiece >> 2) : estimate + estimate / 16);
  const DateTime now = Now();
  out += "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n";
  out += "<!-- " + FormatDateTime("yyyymmdd hhnnss", now) + " -->\r\n";
  out += "<!DOCTYPE Holder [<!ENTITY quot \"&#34;\">]>\r\n";
  out += "<Holder name=\"" + EscapeHTML(name()) + "\">\r\n";

  std::unordered_set<std::string> written;
  auto row = [&](const std::string& n, const std::string& value) {
    out += "  <Field " + n + "=" + value + "/>\r\n";
    written.insert(sjis::lower(n));
  };
  auto fixed = [&](const std::string& n) {
    out += "  <Field " + n + "=\"true\"/>\r\n";
    written.insert(sjis::lower(n));
  };
  if (current_ && indexOfNode_(current_) >= 0) row("curIndex", "\"" + EscapeHTML(sjis::trim(current_->name())) + "\"");
  row("NewNodeName", QuoteEscaped(sjis::trim(getNewNodeName_())));
  std::string fd = getField_("FormatDate");
  std::string fdl = sjis::lower(Dequote(fd));
  if (!fdl.empty() && fdl != "yyyymmdd") row("FormatDate", QuoteEscaped(fd));
  std::string fn = getField_("FormatNumber");
  std::string fnl = sjis::lower(Dequote(fn));
  if (!fnl.empty() && fnl != "%5d") row("FormatNumber", QuoteEscaped(fn));
  bool extra = getFlagExtra_();
  if (extra) fixed("FlagExtra");
  if (getFlagSameName_()) fixed("FlagSameName");
  if (getFileExt_() != "\".mxh\"") row("FileExt", QuoteEscaped(getFileExt_()));
  if (getField_("FlagReadOnly") == kTrue) fixed("FlagReadOnly");
  if (getNewNodeOption_() != "\"Normal\"") row("NewNodeOption", QuoteEscaped(getNewNodeOption_()));
  if (extra) row("FileName", "\"" + EscapeHTML(getFileName_()) + "\"");
  std::string mode = getModeNodesMngr_();
  if (!mode.empty() && mode != "\"Nodes\"" && mode != "\"CheckListBox\"") row("ModeNodesMngr", QuoteEscaped(mode));
  if (!getField_("Color").empty()) row("Color", QuoteEscaped(getField_("Color")));
  if (!getField_("QueryNode").empty()) row("QueryNode", QuoteEscaped(getField_("QueryNode")));
  row("flagSort", boolText(getFlagSort_()));
  row("flagAscending", boolText(getFlagAscending_()));
  row("flagAccount", boolText(flagAccount));
  row("flagAutoReLoad", boolText(flagAutoReLoad));
  row("ReloadMinutes", QuoteValue(std::to_string(ReloadMinutes)));
  row("TimeReLoad", QuoteValue(FormatDateTime("YYYYMMDD hhnnss", TimeReLoad)));
  row("flagAutoSave", boolText(flagAutoSave));
  row("SaveMinutes", QuoteValue(std::to_string(SaveMinutes)));
  row("TimeSaved", QuoteValue(FormatDateTime("YYYYMMDD hhnnss", TimeSaved)));
  row("CountSave", QuoteValue(std::to_string(CountSave)));
  if (body().count() > 0) row(kMemoField, "\"" + EscapeHTML(memoFieldValue(body())) + "\"");

  // Every other setting (template note, mail keys, a number format the rows skip...).
  std::unordered_set<std::string> skip = written;
  for (const char* n : kRowNames) {
    std::string l = sjis::lower(n);
    skip.insert(l);
  }
  skip.insert("filename");
  for (const auto& l : *fieldList()) {
    std::size_t eq = l.text.find('=');
    if (eq == std::string::npos) continue;
    std::string n = safeFieldName(l.text.substr(0, eq));
    if (n.empty() || !skip.insert(sjis::lower(n)).second) continue;
    out += "  <Field " + EscapeHTML(n) + "=" + QuoteEscaped(sjis::trim(std::string_view(l.text).substr(eq + 1))) + "/>\r\n";
  }

  for (int i = 0; i < c.count(); ++i) {
    if (auto* node = c.objectAs<MemoNode>(i)) node->writeRecordText_(out, "  ", c[i]);
    if (flush && out.size() >= kPiece) {
      (*flush)(out);
      out.reserve(kPiece + (kPiece >> 2));
    }
  }
  out += "</Holder>\r\n";
}

long long MemoHolder::saveToFile_(const std::string& fileName, std::string* error, const ConfirmOverwrite& confirm,
                                  const ConfirmOverwrite& confirmForeign) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return -1LL;
  };
  // A FIFO or a device under the name is refused before anybody is asked about it.
  if (std::string refused = platform::refusedTarget(fileName); !refused.empty()) return fail(refused);
  const bool ownName = SameNotebookFile(fileName, getFileName_());
  const bool overDamaged = loadFailed && ownName;
  if (overDamaged && !(confirm && confirm(fileName)))
    return fail("The notebook file " + fileName + " could not be read whole; it is not saved over.");
  // Another name was chosen in a save dialog, which asked about an existing file itself.
  if (ownName && !ownsFile(fileName) && platform::fileExists(fileName) &&
      !(confirmForeign && confirmForeign(fileName)))
    return fail(ForeignFileText(fileName) + " Not saved over it.");
  if (CountSave < INT_MAX) ++CountSave;  // a counter read from a file may already be at the top
  TimeSaved = Now();
  std::string ext = sjis::lower(platform::extOf(fileName));
  if (ext != ".mxh" && ext != ".mhz") return fail("A notebook is saved as \".mxh\" or \".mhz\", not " + fileName);
  std::string why;
  long long size = -1;
  if (ext == ".mxh") {
    const std::string text = saveToText_();
    if (platform::writeFileAtomic(fileName, text, &why)) size = static_cast<long long>(text.size());
  } else {
    ZTextWriter z;
    std::string out;
    const std::function<void(std::string&)> flush = [&z](std::string& piece) { z.write(piece); };
    writeText_(out, &flush);
    z.write(out);
    if (!z.finish()) {
      why = "cannot compress " + fileName;
    } else if (platform::writeFileAtomic(fileName, z.compressed(), &why)) {
      size = static_cast<long long>(z.bytesIn());
    }
  }
  if (size < 0) return fail(why);
  if (overDamaged) loadFailed = false;  // the user chose this content for the file
  claimFile(fileName);
  return size;
}

long long MemoHolder::saveAsFile_(const std::string& fileName, std::string* error, const ConfirmOverwrite& confirm,
                                  const ConfirmOverwrite& confirmForeign) {
  MemoFile* doc = getParentFile_();
  const std::string full = platform::resolvePath(platform::toSlashes(fileName));
  if (MemoHolder* other = doc ? doc->holderInFile_(full, this) : nullptr) {
    if (error) *error = SharedFileText(other->name(), name(), other->getFileName_());
    return -1;
  }
  // Saved as the file it lives in already, the notebook stays as it is found now (after
  // its name, unless it is stored elsewhere).
  const std::string own = getFileName_();
  const bool moves = !SameNotebookFile(own, full);
  LinkRebase rebased = RebaseRelativeLinks(*this, platform::dirOf(platform::resolvePath(own)), platform::dirOf(full));
  const long long size = saveToFile_(full, error, confirm, confirmForeign);
  if (size < 0) {
    rebased.putBack();
    return size;
  }
  if (moves) {
    // Kept as a notebook stored elsewhere is: the reference names its file.
    putFlagExtra_(true);
    putField_("Filename", QuoteValue(full));
    putField_("FileExt", QuoteValue(sjis::lower(platform::extOf(full))));
    if (doc) doc->modified = true;
  }
  loadFailed = false;  // the file holds exactly the notes in memory
  return size;
}

bool MemoHolder::ownsFile(const std::string& fileName) const {
  for (const std::string& own : ownFiles_)
    if (SameNotebookFile(own, fileName)) return true;
  return false;
}

void MemoHolder::claimFile(const std::string& fileName) {
  if (!ownsFile(fileName)) ownFiles_.push_back(platform::resolvePath(fileName));
}

bool SameNotebookFile(const std::string& a, const std::string& b) {
  // Letter case aside: the documents go to file systems that do not tell "Diary.mxh"
  // from "diary.mxh", where two such notebooks would write one file.
  return sjis::lower(platform::resolvePath(platform::toSlashes(a))) ==
             sjis::lower(platform::resolvePath(platform::toSlashes(b))) ||
         platform::sameFile(a, b);
}

std::string SharedFileText(const std::string& first, const std::string& second, const std::string& file) {
  return "The notebooks \"" + first + "\" and \"" + second + "\" would be saved to the same file " +
         platform::resolvePath(file) + ". Save one of them to another file with [Holder] > SaveAs";
}

std::string ForeignFileText(const std::string& fileName) {
  return "A file named " + platform::resolvePath(fileName) + " already exists, and this document did not write it.";
}

// ---- reading --------------------------------------------------------------------------

int MemoHolder::_readTAG_(TTAGNode* element) { return readFromTree_(element, false); }

int MemoHolder::readFromTree_(TTAGNode* element, bool releaseRecords) {
  if (!element || !tagIs(element, "Holder")) return -1;
  TreeReading reading;
  reading.sameName = getFlagSameName_();
  readTreeLines_(element, reading, releaseRecords);
  return readTreeEnd_();
}

void MemoHolder::readTreeLines_(TTAGNode* element, TreeReading& reading, bool releaseRecords) {
  MemoNode*& last = reading.last;
  bool& sameName = reading.sameName;
  const auto& lines = element->lines();
  for (std::size_t i = reading.next; i < lines.size(); ++i) {
    if (!lines[i].object || lines[i].object == TTAGNode::BreakMark()) {
      // A mark's own line has no text: the break of a plain text line, as a "BR" element
      // here, adds nothing.
      if (last && (!lines[i].object || !lines[i].text.empty())) last->body().add(lines[i].text);
      continue;
    }
    TTAGNode* child = element->element(static_cast<int>(i));
    if (!child) continue;
    if (tagIs(child, "Record")) {
      // Names are written trimmed, so they are read trimmed: two notes whose names differ
      // only in surrounding blanks must not become equal on the next reading.
      std::string name = sjis::trim(Dequote(TTAGNode::AttributeValue(child, "name")));
      if (name.empty()) name = FormatDateTime("YYYYMMDD hhmmss", Now()) + " ";
      MemoNode* node = newNode_();
      // The notes list's name index tells a clash in O(1): the unique-name search runs
      // only for a name that clashes, so large notebooks read in linear time.
      if (!sameName && nodes_->children().contains(name)) name = makeUniqueNodeName_(name);
      addNodeRaw_(node, name);
      node->readRecord_(child, releaseRecords);
      if (releaseRecords) element->releaseElement(static_cast<int>(i));
      last = node;
    } else if (tagIs(child, "Field")) {
      _readTAGFields_(child);
      sameName = getFlagSameName_();
    }
  }
  reading.next = lines.size();
}

int MemoHolder::readTreeEnd_() {
  // The memo lives in the body; its field is only how the file carries it.
  if (getIndexField_(kMemoField) >= 0) {
    memoFromFieldValue(Dequote(sjis::trim(getField_(kMemoField))), body());
    removeField_(kMemoField);
  }
  std::string cur = Dequote(getField_("curIndex"));
  current_ = cur.empty() ? nullptr : findNodeByName_(cur);
  nodes_->flagSort = false;
  putFlagSort_(getField_("flagSort") == kTrue);
  putFlagAscending_(getField_("flagAscending") == kTrue);
  flagAccount = getField_("flagAccount") == kTrue;
  flagAutoReLoad = getField_("flagAutoReLoad") == kTrue;
  flagAutoSave = getField_("flagAutoSave") == kTrue;
  ReloadMinutes = leadingInt(Dequote(getField_("ReloadMinutes")));
  SaveMinutes = leadingInt(Dequote(getField_("SaveMinutes")));
  CountSave = leadingInt(Dequote(getField_("CountSave")));
  std::string reload = getField_("TimeReLoad");
  TimeReLoad = reload.empty() ? Now() : DigitsToDateTime(withoutBlanks(Dequote(reload)));
  TimeSaved = DigitsToDateTime(withoutBlanks(Dequote(getField_("TimeSaved"))));
  return 0;
}

}  // namespace wux

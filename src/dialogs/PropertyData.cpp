// Applying the property dialogs' values to documents, notebooks and notes.
#include "dialogs/PropertyData.h"

#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/text/sjis.h"
#include "views/ChangeGuard.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {

namespace {

const char* const kTrueQ = "\"true\"";

// The item of `items` equal to `value` without regard to case, else the first.
std::string pickItem(const std::string& value, std::initializer_list<const char*> items) {
  for (const char* item : items)
    if (sjis::sameText(value, item)) return item;
  return *items.begin();
}

void markChanged(MemoNode* node) {
  if (MemoHolder* h = node->getParentHolder_()) h->modified = true;
}

StringList linesOf(const std::string& text) {
  StringList lines;
  lines.setText(text);
  return lines;
}

void editLines(StringList& target, LinesPlace place, const std::string& text) {
  const StringList input = linesOf(text);
  switch (place) {
    case LinesPlace::InsertHead:
      for (int i = input.count() - 1; i >= 0; --i) target.insert(0, input[i]);
      break;
    case LinesPlace::Replace: target.setText(text); break;
    case LinesPlace::AddTail:
      for (const auto& l : input) target.add(l.text);
      break;
  }
}

}  // namespace

const std::array<const char*, 8> kMailKeys = {"SMTPServer", "POPServer", "To",      "CC",
                                              "BCC",        "From",      "ReplyTo", "UserID"};

void putTrimmedOrRemove(MemoBasic& rec, const std::string& name, const std::string& text) {
  const std::string v = sjis::trim(text);
  if (v.empty())
    rec.removeField_(name);
  else
    rec.putField_(name, QuoteValue(v));
}

void putQuoted(MemoBasic& rec, const std::string& name, const std::string& text) {
  rec.putField_(name, QuoteValue(text));
}

void putTrueOrRemove(MemoBasic& rec, const std::string& name, bool on) {
  if (on)
    rec.putField_(name, kTrueQ);
  else
    rec.removeField_(name);
}

void putRequoted(MemoBasic& rec, const std::string& name, const std::string& text) {
  rec.putField_(name, QuoteValue(Dequote(sjis::trim(text))));
}

void putUnquotedAsTyped(MemoBasic& rec, const std::string& name, const std::string& text) {
  rec.putField_(name, QuoteValue(Dequote(text)));
}

void putIfEmpty(MemoBasic& rec, const std::string& name, const std::string& value) {
  if (rec.getField_(name).empty()) rec.putField_(name, value);
}

void putAsShown(MemoBasic& rec, const std::string& name, const std::string& text) { rec.putField_(name, text); }

void putNoteColor(MemoBasic& rec, Color color) {
  if (!rec.getField_("Color").empty() || color != 0xFFFFFF) rec.putField_("Color", QuoteValue(ColorToName(color)));
}

// ---- notebook ----

HolderProps loadHolderProps(MemoHolder& holder) {
  HolderProps p;
  p.name = holder.name();
  p.fileName = holder.getFileName_();
  p.nodeCount = holder.getNodeCount_();
  p.queryNode = Dequote(holder.getField_("QueryNode"));
  p.countSave = holder.CountSave;
  p.timeSaved = FormatDateTime("YYYYMMDD hhnnsszzz", holder.TimeSaved);
  p.newNodeName = pickItem(Dequote(holder.getNewNodeName_()), {"Daily", "Glossary", "Number"});
  p.newNodeOption = pickItem(Dequote(holder.getNewNodeOption_()), {"Normal", "Plain", "Current", "Select"});
  p.fileExt = holder.getFileExt_() == "\".mxh\"" ? ".mxh" : ".mhz";
  p.formatDate = Dequote(holder.getFormatDate_());
  p.formatNumber = Dequote(holder.getFormatNumber_());
  p.selectNodeName = Dequote(holder.getField_("SelectNodeName"));
  p.sort = holder.getFlagSort_();
  p.ascending = holder.getFlagAscending_();
  p.readOnly = holder.getField_("FlagReadOnly") == kTrueQ;
  p.extra = holder.getFlagExtra_();
  p.sameName = holder.getField_("FlagSameName") == kTrueQ;
  if (!holder.getField_("Color").empty()) p.color = holder.getColor_();
  p.memo = holder.body().join("\r\n");
  for (std::size_t i = 0; i < kMailKeys.size(); ++i) p.mail[i] = Dequote(holder.getField_(kMailKeys[i]));
  return p;
}

void storeHolderProps(MemoHolder& holder, const HolderProps& loaded, const HolderProps& edited,
                      const std::function<void()>& uiReadOnlyOn) {
  if (edited == loaded) return;
  auto stored = [&holder] {
    const StringList* fields = holder.fieldList();
    return (fields ? fields->text() : std::string()) + '\0' + holder.body().text();
  };
  const std::string before = stored();
  putQuoted(holder, "NewNodeName", edited.newNodeName);
  putTrimmedOrRemove(holder, "SelectNodeName", edited.selectNodeName);
  putQuoted(holder, "FormatDate", edited.formatDate);
  putQuoted(holder, "FormatNumber", edited.formatNumber);
  putQuoted(holder, "NewNodeOption", edited.newNodeOption);
  putQuoted(holder, "FileExt", edited.fileExt);
  if (edited.sort != holder.getFlagSort_()) holder.putFlagSort_(edited.sort);
  if (edited.ascending != holder.getFlagAscending_()) holder.putFlagAscending_(edited.ascending);
  if (edited.readOnly != loaded.readOnly) {
    if (edited.readOnly && uiReadOnlyOn) uiReadOnlyOn();
    holder.putReadOnly_(edited.readOnly);
  }
  if (edited.sameName != loaded.sameName) putTrueOrRemove(holder, "FlagSameName", edited.sameName);
  if (edited.extra != loaded.extra) holder.putFlagExtra_(edited.extra);
  if (edited.color && edited.color != loaded.color) holder.putColor_(*edited.color);
  holder.body().setText(edited.memo);
  for (std::size_t i = 0; i < kMailKeys.size(); ++i) putTrimmedOrRemove(holder, kMailKeys[i], edited.mail[i]);
  if (stored() != before) holder.modified = true;
}

// ---- document ----

DocProps loadDocProps(MemoFile& doc) {
  DocProps p;
  p.fileName = doc.getFileName_();
  p.name = doc.name();
  if (!Dequote(doc.getField_("Color")).empty()) p.color = NameToColor(Dequote(doc.getField_("Color")));
  p.memo = doc.body().join("\r\n");
  return p;
}

bool storeDocProps(MemoFile& doc, const DocProps& loaded, const DocProps& edited) {
  bool changed = false;
  if (edited.color && edited.color != loaded.color) {
    doc.putField_("Color", QuoteValue(ColorToName(*edited.color)));
    changed = true;
  }
  // The memo is the document's own lines, which its file keeps.
  if (edited.memo != loaded.memo) {
    doc.body().setText(edited.memo);
    changed = true;
  }
  if (changed) doc.modified = true;
  return changed;
}

// ---- notes ----

NoteProps loadNoteProps(MemoNode& node) {
  NoteProps p;
  if (MemoHolder* h = node.getParentHolder_()) p.holderName = h->name();
  p.noteName = node.name();
  p.color = node.getColor_();
  const std::string link = node.getField_("FlagLink");
  p.flagLink = node.getIndexField_("FlagLink") < 0 ? -1 : (link == kTrueQ ? 1 : 0);
  p.creater = !node.getField_("Creater").empty();
  p.created = !node.getField_("Created").empty();
  p.modified = !node.getField_("Modified").empty();
  p.filename = node.getField_("Filename");
  return p;
}

std::vector<MemoNode*> targetNotes(MainWindowApi& w, EditTarget target) {
  MemoNodeUI* node = w.getCurrentNode();
  if (!w.getCurrentHolder() || !node) return {};
  return targetNotes(w, *node, target);
}

std::vector<MemoNode*> targetNotes(MainWindowApi& w, MemoNodeUI& node, EditTarget target) {
  std::vector<MemoNode*> out;
  MemoHolderUI* holder = node.holderUI();
  if (!holder) return out;
  // The switch refuses every target, with its word; one note says why it is refused;
  // a batch leaves out the notes that may not change.
  if (w.checkUIReadOnly()) return out;
  StringList list;
  auto take = [&out, &w](const StringList& l) {
    for (int i = 0; i < l.count(); ++i)
      if (auto* n = l.objectAs<MemoNode>(i); n && mayChange(w, *n)) out.push_back(n);
  };
  switch (target) {
    case EditTarget::CurrentNode:
      if (!refusedToChange(w, node)) out.push_back(&node);
      break;
    case EditTarget::MarkedNodes: take(holder->getMarkedList_(list)); break;
    case EditTarget::CurrentHolder: take(holder->setNodeList_(list)); break;
    case EditTarget::AllHolders:
      if (MemoFileUI* doc = w.getMemoFile())
        for (int i = 0; i < doc->getHolderCount_(); ++i) {
          list.clear();
          take(doc->getHolder_(i)->setNodeList_(list));
        }
      break;
  }
  return out;
}

int applyNoteProps(const std::vector<MemoNode*>& notes, bool singleNote, const NoteProps& loaded,
                   const NoteProps& edited, const std::string& userName, const std::string& stamp) {
  for (MemoNode* n : notes) {
    if (singleNote || edited.color != loaded.color) putNoteColor(*n, edited.color);
    if (singleNote || edited.flagLink != loaded.flagLink)
      putAsShown(*n, "FlagLink", edited.flagLink == 1 ? "\"true\"" : "\"false\"");
    if (edited.creater && (singleNote || !loaded.creater)) putIfEmpty(*n, "Creater", QuoteValue(userName));
    if (edited.created && (singleNote || !loaded.created)) putIfEmpty(*n, "Created", stamp);
    if (edited.modified && (singleNote || !loaded.modified)) putIfEmpty(*n, "Modified", stamp);
    const std::string file = sjis::trim(edited.filename);
    if (!file.empty() && (singleNote || edited.filename != loaded.filename)) putAsShown(*n, "Filename", file);
    markChanged(n);
  }
  return static_cast<int>(notes.size());
}

int putFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name, const std::string& value) {
  const std::string field = sjis::trim(name);
  if (field.empty()) return -1;
  for (MemoNode* n : notes) {
    putRequoted(*n, field, value);
    markChanged(n);
  }
  return static_cast<int>(notes.size());
}

// ---- batch edit ----

int renameNotes(const std::vector<MemoNode*>& notes, NamePlace place, const std::string& text) {
  int count = 0;
  for (MemoNode* n : notes) {
    const std::string old = n->name();
    std::string name;
    switch (place) {
      case NamePlace::InsertHead: name = text + old; break;
      case NamePlace::InsertHeadPlus: name = text + " " + old; break;
      case NamePlace::Replace: name = text; break;
      case NamePlace::AddTail: name = old + text; break;
      case NamePlace::AddTailPlus: name = old + " " + text; break;
    }
    std::string actual;
    n->putName_(name, actual);
    markChanged(n);
    ++count;
  }
  return count;
}

int editBodies(const std::vector<MemoNode*>& notes, LinesPlace place, const std::string& text) {
  int count = 0;
  for (MemoNode* n : notes) {
    if (n->getField_("Content-Transfer-Encoding") == "\"binary\"") continue;
    editLines(n->body(), place, text);
    markChanged(n);
    ++count;
  }
  return count;
}

int editComments(const std::vector<MemoNode*>& notes, LinesPlace place, const std::string& text) {
  for (MemoNode* n : notes) {
    editLines(n->ensureComment(), place, text);
    markChanged(n);
  }
  return static_cast<int>(notes.size());
}

int setFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name, const std::string& value) {
  for (MemoNode* n : notes) {
    putUnquotedAsTyped(*n, name, value);
    markChanged(n);
  }
  return static_cast<int>(notes.size());
}

int deleteFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name) {
  for (MemoNode* n : notes) {
    n->removeField_(name);
    markChanged(n);
  }
  return static_cast<int>(notes.size());
}

void NoteTargets::add(MemoNode* node, std::string text) {
  if (!node) return;
  items_.emplace_back(node);
  texts_.push_back(std::move(text));
}

std::vector<MemoNode*> NoteTargets::live(MemoFile* doc, int* gone) const {
  std::vector<MemoNode*> out;
  if (doc) {
    const LiveNotes notes(*doc);
    for (const NoteRef& ref : items_)
      if (MemoNode* n = notes.resolve(ref)) out.push_back(n);
  }
  if (gone) *gone = count() - static_cast<int>(out.size());
  return out;
}

std::vector<MemoNode*> NoteTargets::keepLive(MemoFile* doc, int* gone) {
  if (gone) *gone = 0;
  if (!doc) return {};
  const LiveNotes notes(*doc);
  std::vector<MemoNode*> out;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    MemoNode* n = notes.resolve(items_[i]);
    if (!n) continue;
    out.push_back(n);
    items_[kept] = items_[i];
    texts_[kept++] = std::move(texts_[i]);
  }
  if (gone) *gone = static_cast<int>(items_.size() - kept);
  items_.resize(kept);
  texts_.resize(kept);
  return out;
}

void pushHistory(StringList& history, const std::string& text) {
  const int i = history.indexOfExact(text);
  if (i >= 0) history.erase(i);
  history.insert(0, text);
}

}  // namespace wux

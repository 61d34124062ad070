#pragma once
// What the property dialogs show and edit, as plain values, and the steps that apply
// them to the model. A dialog fills one of these from its controls; the apply step
// needs no window.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/search.h"
#include "model/strutil.h"
#include "model/text/StringList.h"

namespace wux {

class MainWindowApi;
class MemoBasic;
class MemoFile;
class MemoHolder;
class MemoNode;
class MemoNodeUI;

// ---- the field rules; each is one rule of one control ----
// The trimmed text, quoted; an empty text removes the field.
void putTrimmedOrRemove(MemoBasic& rec, const std::string& name, const std::string& text);
// The text as typed, quoted.
void putQuoted(MemoBasic& rec, const std::string& name, const std::string& text);
// "true" quoted when on; off removes the field.
void putTrueOrRemove(MemoBasic& rec, const std::string& name, bool on);
// A value the user may type with or without quotes: trimmed, unquoted, quoted again
// ("" for an empty text).
void putRequoted(MemoBasic& rec, const std::string& name, const std::string& text);
// The text as typed, unquoted and quoted again ("" for an empty text).
void putUnquotedAsTyped(MemoBasic& rec, const std::string& name, const std::string& text);
// Only when the record has no value for the field yet.
void putIfEmpty(MemoBasic& rec, const std::string& name, const std::string& value);
// The text exactly as shown (its own quotes, if any, included).
void putAsShown(MemoBasic& rec, const std::string& name, const std::string& text);
// A note's colour: written when the note has a colour already or the colour is not white.
void putNoteColor(MemoBasic& rec, Color color);

// ---- notebook ----
extern const std::array<const char*, 8> kMailKeys;  // SMTPServer ... UserID

struct HolderProps {
  // Shown only.
  std::string name, fileName, queryNode, timeSaved;
  int nodeCount = 0, countSave = 0;
  // Edited.
  std::string newNodeName = "Daily";    // "Daily", "Glossary", "Number"
  std::string newNodeOption = "Normal"; // "Normal", "Plain", "Current", "Select"
  std::string fileExt = ".mxh";         // ".mxh", ".mhz"
  std::string formatDate, formatNumber, selectNodeName;
  bool sort = false, ascending = true, readOnly = false, extra = false, sameName = false;
  std::optional<Color> color;
  std::string memo;  // the notebook's own lines, joined by CR LF
  std::array<std::string, 8> mail;  // in the order of kMailKeys
  bool operator==(const HolderProps&) const = default;
};

HolderProps loadHolderProps(MemoHolder& holder);
// Writes `edited` into the notebook; `loaded` tells what the user changed. Switching
// read-only on first calls `uiReadOnlyOn`. The notebook is marked modified only when a
// stored value changed, so an unchanged notebook is not asked about at exit.
void storeHolderProps(MemoHolder& holder, const HolderProps& loaded, const HolderProps& edited,
                      const std::function<void()>& uiReadOnlyOn);

// ---- document ----
struct DocProps {
  std::string fileName, name, memo;
  std::optional<Color> color;
};
DocProps loadDocProps(MemoFile& doc);
// The colour and the memo; the document is marked modified when either changed.
bool storeDocProps(MemoFile& doc, const DocProps& loaded, const DocProps& edited);

// ---- notes ----
enum class EditTarget { CurrentNode, MarkedNodes, CurrentHolder, AllHolders };

struct NoteProps {
  std::string holderName, noteName;
  int flagLink = -1;  // -1 none chosen, 0 false, 1 true
  bool creater = false, created = false, modified = false;
  std::string filename;  // as stored, quotes included
  Color color = 0xFFFFFF;
};

NoteProps loadNoteProps(MemoNode& node);
// The notes a target names, in order; none without a notebook or note.
std::vector<MemoNode*> targetNotes(MainWindowApi& w, EditTarget target);
// The same, from `node` and its notebook instead of what is current.
std::vector<MemoNode*> targetNotes(MainWindowApi& w, MemoNodeUI& node, EditTarget target);
// Applies the note attributes. On the one current note every control is applied; on
// several notes only those the user changed from `loaded`. `stamp` is the quoted time
// for Created and Modified. Each changed note's notebook is marked modified.
int applyNoteProps(const std::vector<MemoNode*>& notes, bool singleNote, const NoteProps& loaded,
                   const NoteProps& edited, const std::string& userName, const std::string& stamp);
// One field on every note (the value re-quoted); -1 for an empty name, else the count.
int putFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name, const std::string& value);

// ---- batch edit ----
enum class NamePlace { InsertHead, InsertHeadPlus, Replace, AddTail, AddTailPlus };
enum class LinesPlace { InsertHead, Replace, AddTail };

int renameNotes(const std::vector<MemoNode*>& notes, NamePlace place, const std::string& text);
// Notes with binary content keep their body and are not counted.
int editBodies(const std::vector<MemoNode*>& notes, LinesPlace place, const std::string& text);
int editComments(const std::vector<MemoNode*>& notes, LinesPlace place, const std::string& text);
// The batch edit's field (value as typed, re-quoted); the number of notes.
int setFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name, const std::string& value);
int deleteFieldOnNotes(const std::vector<MemoNode*>& notes, const std::string& name);

// A list of notes that may outlive some of them: a note is given out only while some
// notebook of the document still holds that very note. Notes are held by address and
// serial number, so a new note made where a freed one lived is not taken for it.
class NoteTargets {
 public:
  void clear() {
    items_.clear();
    texts_.clear();
  }
  // A target with the text of its line.
  void add(MemoNode* node, std::string text = {});
  int count() const { return static_cast<int>(items_.size()); }
  std::string_view text(std::size_t i) const { return texts_.at(i); }
  // The notes still there, in order; `gone` (when given) counts the others.
  std::vector<MemoNode*> live(MemoFile* doc, int* gone = nullptr) const;
  // Forgets the notes gone, their lines with them, and answers the others as live()
  // does. Without a document nothing is forgotten.
  std::vector<MemoNode*> keepLive(MemoFile* doc, int* gone = nullptr);
  void refresh(MemoFile* doc) { keepLive(doc); }

 private:
  std::vector<NoteRef> items_;
  std::vector<std::string> texts_;  // line for line with items_
};

// Moves a used text to the top of a history (once).
void pushHistory(StringList& history, const std::string& text);

}  // namespace wux

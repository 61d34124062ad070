#pragma once
// HTML pages built from a notebook's template notes (notes named "*HTML ..."): the
// notebook page, the month calendar, the week page and the single-note page.
//
// A generator lives for one page. Text that comes from a note or a notebook name is
// escaped; only template lines and note text the user marked as HTML (the AddBR flags
// set to "false") reach the page as written.
#include <string>
#include <string_view>
#include <vector>

#include "model/clock.h"
#include "model/text/StringList.h"

namespace wux {

class MemoHolder;
class MemoNode;

// The tree level of a note in its notebook's view. By default a note answers for itself
// (a note outside any view is at level 0, a screen-bound one at its depth in the tree);
// tests and other front ends may install their own answer.
class NodeLevelProvider {
 public:
  virtual ~NodeLevelProvider() = default;
  virtual int getLevel_(const MemoNode& node) const = 0;
};

// Every note at level 0: a flat table of contents.
class FlatNodeLevels : public NodeLevelProvider {
 public:
  int getLevel_(const MemoNode&) const override { return 0; }
};

// The notes a page left out because their linked file could not be read, each as its
// closing text (MemoNode::unreadText), in the order met.
using UnreadNotes = std::vector<std::string>;

// The provider in force (the notes' own answer unless replaced); nullptr restores that.
// Returns the one in force before (nullptr for the default), ready to be put back.
const NodeLevelProvider* setNodeLevelProvider(const NodeLevelProvider* p);
const NodeLevelProvider& nodeLevelProvider();

class HTMLGEN {
 public:
  // `holder` names the notebook for "%HOLDER.NAME%" (may be null); `levels` answers
  // tree levels (null: the provider in force).
  explicit HTMLGEN(const MemoHolder* holder = nullptr, const NodeLevelProvider* levels = nullptr);

  // Forgets every template and empties the content list.
  void resetTemplates_();
  // Sorts (name, note) pairs into templates and content notes and reads the comment flag.
  // A linked note is read first; one whose file cannot be read is left out (unread()).
  void collectNodes_(const StringList& pairs);
  const UnreadNotes& unread() const { return unread_; }

  // The template for a note's section on the notebook page, or null.
  const MemoNode* chooseNodeHeader_(const MemoNode& node) const;
  const MemoNode* chooseNodeFooter_(const MemoNode& node) const;

  // A note's text, image, link or table, then its comment when `flagComment`.
  void writeNodeContent_(const MemoNode& node, StringList& lines, bool flagComment) const;

  // The notebook page and the month calendar of the month of `date` (an impossible
  // month throws RangeError before anything is written).
  void writePage_(const std::string& title, StringList& lines) const;
  void writeCalendar_(const std::string& title, StringList& lines, const DateTime& date) const;

  // The date a note name begins with: the first eight digits of the trimmed text as
  // YYYYMMDD, missing or zero parts taken from today; an impossible date gives now.
  static DateTime nameToDate_(std::string_view text);
  // The same reading, false for an impossible date (which lands on no calendar cell).
  // A name without digits takes today's date, so such a note shows on today's cell.
  static bool nameToDate(std::string_view text, DateTime& out);

  const StringList& contentNodes() const { return content_; }
  bool flagComment() const { return flagComment_; }

 private:
  friend int exportWeekHTML_(MemoHolder&, StringList&, const DateTime&, UnreadNotes*);
  friend int exportHTML_(MemoNode&, StringList&, UnreadNotes*);

  enum Kind {
    kSettings,
    kBodyHeader,
    kBodyFooter,
    kBody,
    kHead,
    kNodeHeader,
    kNodeFooter,
    kHeaderLevel0,  // .. kHeaderLevel0 + 3
    kFooterLevel0 = kHeaderLevel0 + 4,
    kHeaderA = kFooterLevel0 + 4,
    kHeaderB,
    kFooterA,
    kFooterB,
    kUrlNode,
    kKindCount
  };
  // Which template names a collection recognises.
  enum class Templates { All, PageOnly };

  // `readContent`: the content notes are read too (the single-note page needs only the
  // templates).
  void collect_(const StringList& pairs, Templates which, bool readContent = true);
  const MemoNode* choose_(const MemoNode& node, const char* field, Kind a, Kind b, Kind level0,
                          Kind plain) const;
  // Expands a template's "%" lines; `node` names the note for "%NODE.NAME%".
  void expand_(const MemoNode* tmpl, const std::string& nodeName, StringList& lines) const;
  void expandOwn_(const MemoNode* tmpl, StringList& lines) const;
  void writeHead_(const std::string& escapedTitle, StringList& lines) const;
  void writeEnd_(StringList& lines) const;
  void writeSectionTitle_(const std::string& name, StringList& lines) const;

  const MemoHolder* holder_;
  const NodeLevelProvider* levels_;
  const MemoNode* templ_[kKindCount] = {};
  StringList content_;
  bool flagComment_ = true;
  UnreadNotes unread_;
};

// Copies the template's lines that hold "%" with "%HOLDER.NAME%", "%NODE.NAME%",
// "%DATE%" and "%TIME%" replaced (any letter case; names escaped). Returns 0.
int expandTemplate_(const MemoNode& node, const MemoHolder* holder, StringList& lines);
// The same with another note's name standing for "%NODE.NAME%".
int expandTemplateFor_(const MemoNode& node, const MemoHolder* holder,
                       const std::string& nodeName, StringList& lines);

// Export entry points of a notebook; each appends a whole page to `lines`, without the
// notes whose linked file could not be read (added to `unread` when given).
int exportPageHTML_(MemoHolder& holder, StringList& lines, UnreadNotes* unread = nullptr);
int exportCalendarHTML_(MemoHolder& holder, StringList& lines, const DateTime& date, UnreadNotes* unread = nullptr);
// Every content note in the notebook's own order; `date` does not select notes.
int exportWeekHTML_(MemoHolder& holder, StringList& lines, const DateTime& date, UnreadNotes* unread = nullptr);
// By the notebook's naming kind: "Glossary" and "Number" notebooks give no page (0).
int exportHTML_(MemoHolder& holder, StringList& lines, UnreadNotes* unread = nullptr);
// Not available: says so and returns -1.
int exportCalendar_(MemoHolder& holder);

// The single-note page; -1 and no page when the note's linked file cannot be read.
int exportHTML_(MemoNode& node, StringList& lines, UnreadNotes* unread = nullptr);

}  // namespace wux

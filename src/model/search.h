#pragma once
// Searches over a document's notebooks: scan (which notes match), grep (which lines
// match), replace, and the field scan with its set, replace and delete. Each returns
// its result lines, each line holding its note weakly, and the status text that ends
// it; the search windows only show these and act on them.
//
// A result outlives nothing it names: a note deleted or a notebook closed after the
// search is found gone when the line is used (NoteRef::resolve), never followed.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wux {

class MemoFile;
class MemoHolder;
class MemoNode;

// A note held by address and serial number: it answers the note only while that very
// note is still in one of the document's notebooks.
class NoteRef {
 public:
  NoteRef() = default;
  explicit NoteRef(MemoNode* node);
  // The note, or nullptr when it has left the document (or the notebook that held it
  // was closed). A gone note is never touched.
  MemoNode* resolve(MemoFile& file) const;
  bool empty() const { return node_ == nullptr; }

 private:
  friend class LiveNotes;
  MemoNode* node_ = nullptr;
  std::uint64_t serial_ = 0;
};

// The live notes of a document at one moment, for resolving many lines at once.
class LiveNotes {
 public:
  explicit LiveNotes(MemoFile& file);
  MemoNode* resolve(const NoteRef& ref) const;

 private:
  std::unordered_map<const void*, std::uint64_t> live_;
};

struct SearchLine {
  std::string text;
  NoteRef note;
  // The notebook and note part a field scan line begins with, kept to reword the line.
  std::string head;
};

// Result lines held compactly, for the searches that may find a million lines: the
// texts one after another in large blocks, each line with its note. A line costs its
// text and 32 bytes.
class SearchLines {
 public:
  struct Line {
    std::string_view text;
    NoteRef note;
  };
  class const_iterator {
   public:
    const_iterator(const SearchLines* lines, std::size_t i) : lines_(lines), i_(i) {}
    Line operator*() const { return (*lines_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

   private:
    const SearchLines* lines_;
    std::size_t i_;
  };

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  Line operator[](std::size_t i) const;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }
  void add(std::string_view text, const NoteRef& note);
  // A line of at most `most` bytes written in place: `fill(char* at)` writes it and
  // answers its end.
  template <class Fill>
  void add(std::size_t most, const NoteRef& note, Fill fill) {
    char* at = room(most);
    push(at, static_cast<std::size_t>(fill(at) - at), note);
  }
  void clear();
  // Every line, each but the last followed by `separator`.
  std::string joined(char separator) const;

 private:
  struct Entry {
    std::uint32_t block;
    std::uint32_t offset;
    std::size_t size;
    NoteRef note;
  };
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0, used = 0;
  };
  char* room(std::size_t most);
  void push(char* at, std::size_t size, const NoteRef& note);
  std::vector<Block> blocks_;
  std::deque<Entry> entries_;
};

struct SearchResult {
  std::vector<SearchLine> lines;
  // The text that ends the search in the status line.
  std::string status;
  // The search was stopped by the user before it went through every notebook.
  bool stopped = false;
  // Notes changed (replace, field set/replace/delete).
  int changed = 0;
};

// Which parts of a note are searched.
struct SearchParts {
  bool name = true;
  bool memo = true;
  bool comment = true;
  bool fields = true;
};

// How a long search reports, is stopped and reaches notebooks not read yet. Every
// member may be left empty.
struct SearchControl {
  // A progress text for the status line.
  std::function<void(const std::string&)> status;
  // Asked every few hundred notes; true stops the search.
  std::function<bool()> isBreak;
  // Reads a notebook that is not loaded; false leaves it out of the search.
  std::function<bool(MemoHolder&)> load;
  // Asked of each notebook once it is loaded; false leaves it out (a read-only one
  // where the search changes notes).
  std::function<bool(MemoHolder&)> accept;
  // Asked of each note where the search changes notes; false leaves it out, uncounted.
  std::function<bool(MemoNode&)> acceptNote;
};

// The notebooks of `file` named in `names`, in that order; names not in the document
// are skipped.
std::vector<MemoHolder*> HoldersByName(MemoFile& file, const std::vector<std::string>& names);

// Notes matching `keyword`: lines "<notebook> <note>". Each notebook's progress text is
// "*Scanning* " + keyword + " " + notebook.
SearchResult ScanNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                       const SearchParts& parts, bool ignoreCase, SearchControl& control);

// What a grep found: its lines (there may be very many), the status text that ends it,
// whether the user stopped it.
struct GrepResult {
  SearchLines lines;
  std::string status;
  bool stopped = false;
};

// Matching lines: "<notebook>:<note>:<where>:<number>:<line>" as MemoBasic::grep_ words
// them. Each notebook's progress text is "*Grep* " + keyword + " " + notebook.
GrepResult GrepNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                       const SearchParts& parts, bool ignoreCase, SearchControl& control);

// Replaces `keyword` by `replacement` ("" deletes it); one line per replaced place,
// "<notebook>:<note>:<what MemoBasic::replace_ logs>". A notebook it changes is marked
// modified. `progress`: whether each notebook gets its "*Scanning* " text.
SearchResult ReplaceNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                          const std::string& replacement, const SearchParts& parts, bool ignoreCase,
                          SearchControl& control, bool progress = true);

// ---- fields ----------------------------------------------------------------------------

struct FieldScanOptions {
  std::string field;
  std::string value;     // compared with the unquoted stored value when `both` is on
  bool ignoreCase = true;
  bool both = false;     // "Both": the value test takes the place of the name test
  bool include = false;  // value test: false "Equal", true "Include"
  bool invert = false;   // "Scan Not": list the notes that fail the test
};

// Notes that carry fields, tested by the field name (a plain substring of their fields
// text) or by the field's value: "<notebook> : <note> : <field>=<stored value>".
SearchResult FieldScan(const std::vector<MemoHolder*>& holders, const FieldScanOptions& options,
                       SearchControl& control);

// On the lines of a field scan: set the field to `value` in double quotes; replace
// `find` by `replacement` inside its stored value, ignoring case; or delete it. Each
// rewrites the lines, marks changed notebooks modified and sets the done text. Lines
// whose note is gone are left as they are and not counted.
void FieldSet(MemoFile& file, SearchResult& scan, const std::string& field, const std::string& value);
void FieldReplace(MemoFile& file, SearchResult& scan, const std::string& field, const std::string& find,
                  const std::string& replacement);
void FieldDelete(MemoFile& file, SearchResult& scan, const std::string& field);

}  // namespace wux

#include "model/search.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/text/sjis.h"

namespace wux {

namespace {

// How many notes pass between two questions whether the user asked to stop.
constexpr int kBreakEvery = 256;

// The most lines a result list reserves room for at once.
constexpr std::size_t kMostAhead = std::size_t{1} << 20;

// Room for the lines the notebooks still to come are likely to add, going by those done
// (a little over, so that a close guess does not end in a doubling of the list). A
// refused reservation is no failure: the list then grows as lines come.
void reserveAhead(std::vector<SearchLine>& lines, std::size_t done, std::size_t left) {
  if (done == 0 || left == 0 || lines.empty()) return;
  const std::size_t guess = lines.size() / done * left;
  const std::size_t want = lines.size() + std::min(guess + guess / 16 + 16, kMostAhead);
  if (want <= lines.capacity()) return;
  try {
    lines.reserve(want);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

// Compact lines are never moved as they grow.
void reserveAhead(SearchLines&, std::size_t, std::size_t) {}

// Walks the notes of the notebooks in their notebook order, loading the ones not read
// yet, reporting each notebook and asking for Break now and then. `visit` gets the
// notebook, the note's name and the note.
template <class Result, class Visit>
void forEachNote(const std::vector<MemoHolder*>& holders, SearchControl& control, const std::string& statusPrefix,
                 Result& result, Visit visit) {
  int sinceBreak = 0;
  StringList pairs;
  std::size_t done = 0;
  for (std::size_t h = 0; h < holders.size(); ++h) {
    MemoHolder* holder = holders[h];
    if (!holder) continue;
    reserveAhead(result.lines, done, holders.size() - h);
    if (control.isBreak && control.isBreak()) {
      result.stopped = true;
      return;
    }
    const std::string holderName = holder->name();
    if (control.status && !statusPrefix.empty()) control.status(statusPrefix + holderName);
    if (!holder->loaded && !(control.load && control.load(*holder))) continue;
    if (control.accept && !control.accept(*holder)) continue;
    pairs.clear();
    holder->setNodeList_(pairs);
    for (int i = 0; i < pairs.count(); ++i) {
      if (++sinceBreak >= kBreakEvery) {
        sinceBreak = 0;
        if (control.isBreak && control.isBreak()) {
          result.stopped = true;
          return;
        }
      }
      auto* node = dynamic_cast<MemoNode*>(pairs.object(i));
      if (node && (!control.acceptNote || control.acceptNote(*node))) visit(*holder, holderName, pairs[i], *node);
    }
    ++done;
  }
}

std::string countText(std::size_t n) { return std::to_string(n); }

char* putText(char* out, std::string_view s) {
  std::memcpy(out, s.data(), s.size());
  return out + s.size();
}

// Result lines "<notebook>:<note>:<rest>" of one note, each written into one string of
// the size it needs; a short one is put together on the stack and copied once.
class LineBuilder {
 public:
  LineBuilder(const std::string& holderName, const std::string& noteName) : holder_(holderName), note_(noteName) {}
  // `fill(char* at)` writes the rest, at most `most` bytes, and returns its end.
  // The line added to `lines`, written in place.
  template <class Fill>
  void addTo(SearchLines& lines, const NoteRef& note, std::size_t most, Fill fill) const {
    lines.add(holder_.size() + note_.size() + 2 + most, note, [&](char* at) { return fill(head(at)); });
  }
  template <class Fill>
  std::string line(std::size_t most, Fill fill) const {
    const std::size_t room = holder_.size() + note_.size() + 2 + most;
    if (room <= kOnStack) {
      char buf[kOnStack];
      const char* end = fill(head(buf));
      return std::string(buf, static_cast<std::size_t>(end - buf));
    }
    std::string t(room, '\0');
    const char* end = fill(head(t.data()));
    t.resize(static_cast<std::size_t>(end - t.data()));
    return t;
  }

 private:
  static constexpr std::size_t kOnStack = 256;
  char* head(char* out) const {
    out = putText(out, holder_);
    *out++ = ':';
    out = putText(out, note_);
    *out++ = ':';
    return out;
  }
  const std::string& holder_;
  const std::string& note_;
};

}  // namespace

// ---- weak note references --------------------------------------------------------------

NoteRef::NoteRef(MemoNode* node) : node_(node), serial_(node ? node->serial() : 0) {}

MemoNode* NoteRef::resolve(MemoFile& file) const {
  if (!node_) return nullptr;
  const StringList& holders = file.holders()->children();
  for (int h = 0; h < holders.count(); ++h) {
    auto* holder = dynamic_cast<MemoHolder*>(holders.object(h));
    // Only addresses are compared until the note is known to be alive.
    if (holder && holder->nodes()->children().indexOfObject(node_) >= 0)
      return node_->serial() == serial_ ? node_ : nullptr;
  }
  return nullptr;
}

LiveNotes::LiveNotes(MemoFile& file) {
  const StringList& holders = file.holders()->children();
  for (int h = 0; h < holders.count(); ++h) {
    auto* holder = dynamic_cast<MemoHolder*>(holders.object(h));
    if (!holder) continue;
    const StringList& notes = holder->nodes()->children();
    for (int i = 0; i < notes.count(); ++i)
      if (auto* node = dynamic_cast<MemoNode*>(notes.object(i))) live_.emplace(node, node->serial());
  }
}

MemoNode* LiveNotes::resolve(const NoteRef& ref) const {
  auto it = live_.find(ref.node_);
  return it != live_.end() && it->second == ref.serial_ ? ref.node_ : nullptr;
}

// ---- compact result lines -------------------------------------------------------------

namespace {
// A block's size: large enough that its bookkeeping is nothing beside its lines.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
}  // namespace

SearchLines::Line SearchLines::operator[](std::size_t i) const {
  const Entry& e = entries_.at(i);
  return {std::string_view(blocks_[e.block].bytes.get() + e.offset, e.size), e.note};
}

char* SearchLines::room(std::size_t most) {
  if (blocks_.empty() || blocks_.back().size - blocks_.back().used < most) {
    Block b;
    b.size = std::max(kBlockBytes, most);
    b.bytes.reset(new char[b.size]);
    blocks_.push_back(std::move(b));
  }
  Block& b = blocks_.back();
  return b.bytes.get() + b.used;
}

void SearchLines::push(char* at, std::size_t size, const NoteRef& note) {
  Block& b = blocks_.back();
  const std::size_t offset = static_cast<std::size_t>(at - b.bytes.get());
  entries_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(offset), size, note});
  // A block made for one long line takes no more: every offset stays below a block's size.
  b.used = b.size > kBlockBytes ? b.size : offset + size;
}

void SearchLines::add(std::string_view text, const NoteRef& note) {
  add(text.size(), note, [&](char* at) { return putText(at, text); });
}

void SearchLines::clear() {
  entries_.clear();
  blocks_.clear();
}

std::string SearchLines::joined(char separator) const {
  std::size_t bytes = 0;
  for (const Entry& e : entries_) bytes += e.size + 1;
  std::string out;
  out.reserve(bytes);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i) out += separator;
    out.append((*this)[i].text);
  }
  return out;
}

std::vector<MemoHolder*> HoldersByName(MemoFile& file, const std::vector<std::string>& names) {
  std::vector<MemoHolder*> out;
  for (const std::string& name : names)
    if (MemoHolder* h = file.findHolderByName_(name)) out.push_back(h);
  return out;
}

// ---- keyword searches ------------------------------------------------------------------

SearchResult ScanNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                       const SearchParts& parts, bool ignoreCase, SearchControl& control) {
  SearchResult r;
  const sjis::Finder finder(keyword, ignoreCase);
  forEachNote(holders, control, "*Scanning* " + keyword + " ", r,
              [&](MemoHolder&, const std::string& holderName, const std::string& noteName, MemoNode& node) {
                // The name in hand: asking a note its name searches its notebook for it.
                if ((parts.name && finder.find(noteName) != std::string::npos) ||
                    node.matchParts_(finder, parts.memo, parts.comment, parts.fields)) {
                  std::string head;
                  head.reserve(holderName.size() + 1 + noteName.size());
                  head.append(holderName).append(" ").append(noteName);
                  r.lines.push_back({head, NoteRef(&node), std::move(head)});
                }
              });
  r.status = r.lines.empty() ? "*Done Scan* No match KeyWord=" + keyword
                             : "*Done Scan* count=" + countText(r.lines.size()) + " keyWord=" + keyword;
  return r;
}

// Grep and replace build every result line once, in place, as MemoBasic::grep_ and
// replace_ word it: over a whole document, copies and joins of line parts would cost
// more than the search itself.
GrepResult GrepNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                     const SearchParts& parts, bool ignoreCase, SearchControl& control) {
  GrepResult r;
  const sjis::Finder finder(keyword, ignoreCase);
  forEachNote(holders, control, "*Grep* " + keyword + " ", r,
              [&](MemoHolder&, const std::string& holderName, const std::string& noteName, MemoNode& node) {
                const LineBuilder build(holderName, noteName);
                const NoteRef ref(&node);
                if (parts.name && finder.find(noteName) != std::string::npos) {
                  build.addTo(r.lines, ref, 5 + noteName.size(),
                              [&](char* at) { return putText(putText(at, "Name:"), noteName); });
                }
                auto grepLines = [&](const StringList* list, std::string_view part) {
                  if (!list) return;
                  int hit = 0, number = 0;
                  for (const StringList::Line& line : *list) {
                    ++number;
                    if (finder.find(line.text) == std::string::npos) continue;
                    ++hit;
                    build.addTo(r.lines, ref, part.size() + MemoBasic::kWordsRoom + line.text.size(), [&](char* at) {
                      return putText(MemoBasic::putGrepWords(at, part, hit, number), line.text);
                    });
                  }
                };
                if (parts.memo) grepLines(&node.body(), "Memo:");
                if (parts.comment) grepLines(node.comment(), "Comment:");
                if (parts.fields) grepLines(node.fieldList(), "Fields:");
              });
  r.status = r.lines.empty() ? "*Done Grep* No match KeyWord=" + keyword
                             : "*Done Grep* count=" + countText(r.lines.size()) + " KeyWord=" + keyword;
  return r;
}

SearchResult ReplaceNotes(const std::vector<MemoHolder*>& holders, const std::string& keyword,
                          const std::string& replacement, const SearchParts& parts, bool ignoreCase,
                          SearchControl& control, bool progress) {
  SearchResult r;
  const sjis::Finder finder(keyword, ignoreCase);
  forEachNote(holders, control, progress ? "*Scanning* " + keyword + " " : std::string(), r,
              [&](MemoHolder& holder, const std::string& holderName, const std::string& noteName, MemoNode& node) {
                const std::size_t before = r.lines.size();
                std::string newName;
                const std::string* name = &noteName;
                std::size_t first;
                if (parts.name && (first = finder.find(noteName)) != std::string::npos) {
                  std::string renamed = finder.replaceAll(noteName, replacement, first);
                  if (renamed != noteName) {
                    std::string actual;
                    node.putName_(renamed, actual);
                    newName = node.name();
                    name = &newName;
                    r.lines.push_back({
                        // The name the note got, after the notebook's rule for equal names.
                        LineBuilder(holderName, newName).line(13 + newName.size(), [&](char* at) {
                          return putText(putText(at, "replace name "), newName);
                        }),
                        NoteRef(&node), {}});
                  }
                }
                const LineBuilder build(holderName, *name);
                auto replaceLines = [&](StringList* list, std::string_view what) {
                  MemoBasic::replaceInLines(list, finder, replacement, [&](int i) {
                    r.lines.push_back({build.line(what.size() + MemoBasic::kWordsRoom,
                                                  [&](char* out) { return MemoBasic::putReplaceWords(out, what, i + 1); }),
                                       NoteRef(&node), {}});
                  });
                };
                if (parts.memo) replaceLines(&node.body(), "replace Memo ");
                if (parts.comment) replaceLines(node.comment(), "replace Comment ");
                if (parts.fields) replaceLines(node.fieldList(), "replace Field ");
                if (r.lines.size() == before) return;
                holder.modified = true;
                ++r.changed;
              });
  r.status = r.lines.empty() ? "*Done Replace* No match KeyWord=" + keyword
                             : "*Done Replace* count=" + countText(r.lines.size()) + " KeyWord=" + keyword;
  return r;
}

// ---- fields ----------------------------------------------------------------------------

SearchResult FieldScan(const std::vector<MemoHolder*>& holders, const FieldScanOptions& o, SearchControl& control) {
  SearchResult r;
  const std::string& f = o.field;
  forEachNote(holders, control, std::string(), r,
              [&](MemoHolder&, const std::string& holderName, const std::string& noteName, MemoNode& node) {
                const StringList* fields = node.fieldList();
                if (!fields || fields->empty()) return;
                const std::string stored = node.getField_(f);
                bool hit;
                if (!o.both) {
                  // A plain substring of the whole fields text: a name inside another
                  // field's name or value counts too.
                  const std::string text = fields->text();
                  hit = (o.ignoreCase ? sjis::findIgnoreCase(text, f) : sjis::find(text, f)) != std::string::npos;
                } else {
                  const std::string bare = Dequote(stored);
                  if (!o.include)
                    hit = o.ignoreCase ? sjis::sameText(bare, o.value) : bare == o.value;
                  else
                    hit = (o.ignoreCase ? sjis::findIgnoreCase(bare, o.value) : sjis::find(bare, o.value)) !=
                          std::string::npos;
                }
                if (hit == o.invert) return;
                std::string head = holderName + " : " + noteName;
                r.lines.push_back({head + " : " + f + "=" + stored, NoteRef(&node), std::move(head)});
              });
  const std::string w = o.invert ? " Not " : " ";
  r.status = r.lines.empty() ? "*Done:" + w + "Scan Filed No match"
                             : "*Done:" + w + "Scan Field count=" + countText(r.lines.size()) + " KeyWord=" + f;
  return r;
}

namespace {

// Runs `change` on the live note of every line; it answers whether the note changed.
template <class Change>
int forEachLive(MemoFile& file, SearchResult& scan, Change change) {
  LiveNotes live(file);
  int done = 0;
  for (SearchLine& line : scan.lines) {
    MemoNode* node = live.resolve(line.note);
    if (!node) continue;
    ++done;
    if (change(*node, line)) {
      ++scan.changed;
      if (MemoHolder* h = node->getParentHolder_()) h->modified = true;
    }
  }
  return done;
}

}  // namespace

void FieldSet(MemoFile& file, SearchResult& scan, const std::string& field, const std::string& value) {
  scan.changed = 0;
  if (scan.lines.empty()) {
    scan.status = "No MemoNode.";
    return;
  }
  const std::string quoted = QuoteValue(value);
  const int n = forEachLive(file, scan, [&](MemoNode& node, SearchLine& line) {
    const bool changed = node.getField_(field) != quoted;
    node.putField_(field, quoted);
    line.text = line.head + " : " + field + "=" + quoted;
    return changed;
  });
  scan.status = "*Done: Set count=" + std::to_string(n) + " KeyWord=" + field;
}

void FieldReplace(MemoFile& file, SearchResult& scan, const std::string& field, const std::string& find,
                  const std::string& replacement) {
  scan.changed = 0;
  if (scan.lines.empty()) {
    scan.status = "No MemoNode.";
    return;
  }
  const int n = forEachLive(file, scan, [&](MemoNode& node, SearchLine& line) {
    const std::string stored = node.getField_(field);
    const std::string value = sjis::replaceAll(stored, find, replacement, true);
    line.text = line.head + " : " + field + "=" + value;
    if (value == stored) return false;
    node.putField_(field, value);
    return true;
  });
  char counts[64];
  std::snprintf(counts, sizeof counts, "%d/%d", scan.changed, n);
  scan.status = std::string("*Done: Replace count=") + counts + " KeyWord=" + field;
}

void FieldDelete(MemoFile& file, SearchResult& scan, const std::string& field) {
  scan.changed = 0;
  if (scan.lines.empty()) {
    scan.status = "No MemoNode.";
    return;
  }
  const int n = forEachLive(file, scan, [&](MemoNode& node, SearchLine& line) {
    line.text = line.head;
    return node.getIndexField_(field) >= 0 && !node.removeField_(field).empty();
  });
  scan.status = "*Done: Delete Field count=" + std::to_string(n) + " KeyWord=" + field;
}

}  // namespace wux

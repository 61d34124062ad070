#pragma once
// Texts the note editor and the main window's text commands make from lines: the
// whole-note copies, the field-line edits, the copy-history captions and the listings
// of a notebook's fields and of a document's notebook files. Everything here is a pure
// function of its arguments; the editor only reads its controls, calls these and puts
// the result back.
#include <string>
#include <string_view>

#include "model/lists.h"

namespace wux {

class MemoFile;
class MemoHolder;

// ---- whole-note copies --------------------------------------------------------------
inline constexpr const char* kSeparatorMemo = "**** **** **** **** **** Memo **** **** **** **** **** ****";
inline constexpr const char* kSeparatorComment = "**** **** **** **** **** Comment * **** **** **** **** ****";
inline constexpr const char* kSeparatorFields = "**** **** **** **** **** Fields ** **** **** **** **** ****";
inline constexpr const char* kSeparatorLine = "**** **** **** **** **** **** **** **** **** **** **** ****";

enum class NoteCopyParts { NameMemo, NameMemoComment, NameMemoCommentFields };
// The name line, the separators and the parts' lines, in the order the parts name.
// NameMemo puts the comment right after the text, without a separator.
StringList NoteCopyLines(std::string_view name, const StringList& text, const StringList& comment,
                         const StringList& fields, NoteCopyParts parts);

// ---- field lines (name="value") -----------------------------------------------------
struct FieldLine {
  bool hasEquals = false;
  std::string name;   // before the first "=" (empty without one)
  std::string value;  // after it as written, quotes included (the whole line without one)
  std::string bare() const;  // the value without its quotes
};
FieldLine SplitFieldLine(std::string_view line);
// The line with its value emptied: the name, "=" and two double quotes.
std::string FieldLineWithoutValue(const FieldLine& f);
// The line given a new value: the name, "=" and the value in double quotes.
std::string FieldLineWithValue(const FieldLine& f, std::string_view value);

// ---- cutting texts at byte counts ----------------------------------------------------
// At most `bytes` bytes of the text, ending on a whole character: a cut never leaves the
// first byte of a double-byte character behind.
std::string CutToBytes(std::string_view text, std::size_t bytes);
// How an entry of the copy history is shown: whole up to 40 bytes, else its first 40
// bytes (fewer when a double-byte character would be split), "..." and its length.
std::string HistoryCaption(std::string_view entry);

// ---- numbering and counting ---------------------------------------------------------
// "%<d>d" where d is the number of decimal digits of `lineCount` (1 for 0..9).
std::string AutoNumberFormat(long long lineCount);
// "<count>times,  \"<word>\"".
std::string CountWordReport(long long count, std::string_view word);
// The caret's line and column, both from 1, as the editors' status shows them.
std::string CaretPositionText(long long line, long long column);

// ---- listings -----------------------------------------------------------------------
// "# wux.exe " + the date format (as stored, with its quotes), "name, " + the field,
// then one line per note in the notebook's order: name,value (or value,name) with the
// value as stored.
void NameValueListing(MemoHolder& holder, std::string_view field, bool valueFirst, std::string_view dateFormat,
                      StringList& out);
// Each notebook's file with " exists" / " not exists", an empty line, then every
// notebook file under the document's folder with " included" when the document holds a
// notebook of that name (letter case aside), else " not include". False when the
// listing of the folder was broken off by `abort`.
bool CheckHolderFilesListing(MemoFile& doc, StringList& out, bool& abort, const MessagePump& pump = {});

}  // namespace wux

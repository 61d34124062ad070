#pragma once
// Whole-list utilities: zlib-compressed list files (".z", the compressed notebook and
// the stream inside the archive), directory listings, line editing, the CSV page, the
// hex dump and running a command line into a list.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "model/text/StringList.h"

namespace wux {

// ---- zlib streams -------------------------------------------------------------------
// One zlib stream (RFC 1950: header 78 9C at the default level 6, Adler-32 trailer) with
// nothing before or after it.
std::string ZCompress(std::string_view data, int level = 6);
// The most one zlib stream may inflate to: 2 GiB, or a quarter of the physical memory
// when that is less, so that a small crafted file cannot take the machine's memory.
std::size_t InflateLimit();
// Tests lower the limit; 0 gives the default back.
void SetInflateLimitForTests(std::size_t bytes);
// The message of a stream refused for its inflated size: "too large to open: " + name.
std::string TooLargeToOpen(const std::string& name);
// Whether a reason is that message.
bool IsTooLargeToOpen(const std::string& reason);

enum class ZStatus { Ok, Damaged, TooLarge };
// Inflates one complete zlib stream. Damaged (and `out` emptied) when the data is not a
// zlib stream or ends before the stream's end marker; TooLarge (`out` emptied) when it
// would inflate past InflateLimit(). `error` then says why.
ZStatus ZInflateChecked(std::string_view z, std::string& out, std::string* error = nullptr);
// The same; false for either failure.
bool ZInflate(std::string_view z, std::string& out, std::string* error = nullptr);
// The same, raising Error.
std::string ZInflateOrThrow(std::string_view z);

// ---- compressed list files ----------------------------------------------------------
// Saves the list's text (CR LF after each line) compressed; the file is replaced only
// once the whole of it is written. Returns the uncompressed size, or -1 on failure
// (the old file is then untouched).
long long SaveStringsCompressed(const StringList& list, const std::string& path);
// Empty the list and fill it from a compressed list file. A missing file or a stream
// that does not inflate raises Error and leaves the list as it was. Returns 0.
int LoadStringsCompressed(StringList& list, const std::string& path);
int LoadStringsCompressedBuffered(StringList& list, const std::string& path);
// Non-raising form: false and a message in `error` on failure.
bool TryLoadStringsCompressed(StringList& list, const std::string& path, std::string* error = nullptr);
// Inflates `source` into `target`; the target is written only when the whole stream
// inflated, and then replaced at once. 0 on success, -1 on any failure (the reason in
// `error`: TooLargeToOpen(source) for a stream past the limit).
int DecompressFile(const std::string& source, const std::string& target, std::string* error = nullptr);
// For a name ending in ".z" (any letter case): DecompressFile into the name without the
// extension. -1 for any other name (nothing written).
int DecompressZFile(const std::string& path, std::string* error = nullptr);
// The name DecompressZFile writes ("" for a name without the ".z" extension).
std::string DecompressedZName(const std::string& path);

// ---- directory listings -------------------------------------------------------------
// Called once per subdirectory met, so that a long listing lets the user press Break
// (which sets the abort flag). The GUI passes its event processing.
using MessagePump = std::function<void()>;
// Full paths ("/"-separated) of the files (everything that is not a directory) directly
// in `dir`, in enumeration order; returns the number appended. A symbolic link to a
// directory is neither listed nor entered, so links can never make a listing loop.
// An empty or unreadable folder name lists nothing.
int ListFiles(StringList& list, const std::string& dir);
// As ListFiles, then every subdirectory recursively; after each subdirectory the abort
// flag is tested and, when set, the listing unwinds.
int ListFilesRecursive(StringList& list, const std::string& dir, bool& abort, const MessagePump& pump = {});
// Directories only, recursively, each after its own subdirectories (post-order).
int ListDirsRecursive(StringList& list, const std::string& dir, bool& abort, const MessagePump& pump = {});
int AppendStrings(StringList& target, const StringList& source);

// ---- line editing (in place) --------------------------------------------------------
void DeleteBlankLines(StringList& list);
int DeleteBlankLinesCount(StringList& list);  // number of lines deleted
int TrimLines(StringList& list);              // returns the line count
void DeleteFirstCharOfLines(StringList& list);
int AppendToLines(StringList& list, std::string_view text);
int PrependToLines(StringList& list, std::string_view text);
// Line i becomes the format applied to start + i, then the line. A blank format means
// "%.8d:". The format goes through the safe formatter (format.h): a format it rejects
// leaves the list unchanged and gives -1; otherwise the line count. A number that
// overflows raises OverflowError (the list is then unchanged).
int NumberLines(StringList& list, std::string_view format, long long start);
void ReverseLines(StringList& list);
// Sorts (case-insensitive, ties by bytes, so equal-folding lines are grouped in a fixed
// order) and deletes every line exactly equal to the one after it.
void SortUnique(StringList& list);
// Every line equal to the one before it (as that one was before marking) gets "* ".
int MarkDuplicateLines(StringList& list);
// Each line split after every single-byte ",": each piece keeps its comma, the rest after
// the last comma is the last piece (dropped when empty). Returns the new line count.
int SplitAfterCommas(StringList& list);
// All lines joined into one without separator; returns the former line count (0 for an
// empty list, which stays empty).
int JoinLines(StringList& list);
// Non-overlapping occurrences of `text` in all lines, both lower-cased.
long long CountInStrings(const StringList& list, std::string_view text);
// Appends to `target` the source lines that match (or, inverted, those that do not).
// mode 0: the pattern occurs anywhere (an empty pattern matches nothing); 1: the line
// starts with it; 2: it ends with it (an empty pattern matches everything); other modes
// match every line. With numbers, a kept line is "%7d: " of its source number (from 1)
// followed by the line.
void FilterLines(const StringList& source, std::string_view pattern, StringList& target, bool ignoreCase,
                 bool withNumbers, bool invert, int mode);

// ---- CSV page, hex dump, command runner ---------------------------------------------
void CsvToTableRows(const StringList& csv, StringList& out);
void CsvToHtmlPage(const StringList& csv, StringList& out, std::string_view caption, std::string_view generator);
// "#size=", a column header and one line per group of `bytesPerLine` bytes:
// address (10 hex digits), byte sum modulo 256, the bytes. Returns the data size.
// `bytesPerLine` below 1 raises RangeError.
long long HexDumpStream(StringList& out, std::string_view data, int bytesPerLine);
// Runs the command line through the shell in `dir` (the current folder when empty) and
// appends every output line, each starting with `prefix`. A last line without a final
// LF is appended too. 0, or -1 when the command could not be started; `exitStatus`,
// when given, receives the command's exit code.
int RunCommandToStrings(StringList& list, const std::string& dir, const std::string& command,
                        std::string_view prefix, int* exitStatus = nullptr);

}  // namespace wux

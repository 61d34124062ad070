#include "model/lists.h"
#include "platform/textconv.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <limits>
#include <system_error>

#include "model/errors.h"
#include "model/format.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/process.h"

namespace wux {

namespace fs = std::filesystem;

// ---- zlib streams -------------------------------------------------------------------

namespace {

constexpr std::size_t kChunk = 1u << 20;

// Ends a zlib stream however its function is left (a failed allocation included).
struct ZEnd {
  z_stream& zs;
  bool deflating;
  ~ZEnd() { deflating ? deflateEnd(&zs) : inflateEnd(&zs); }
};

}  // namespace

std::string ZCompress(std::string_view data, int level) {
  z_stream zs{};
  if (deflateInit(&zs, level) != Z_OK) throw Error("zlib: cannot start compression");
  ZEnd end{zs, true};
  std::string out;
  out.resize(deflateBound(&zs, static_cast<uLong>(std::min<std::size_t>(data.size(), 1u << 30))) + 64);
  std::size_t produced = 0;
  std::size_t consumed = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    std::size_t inNow = std::min(data.size() - consumed, kChunk * 64);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + consumed));
    zs.avail_in = static_cast<uInt>(inNow);
    int flush = consumed + inNow == data.size() ? Z_FINISH : Z_NO_FLUSH;
    do {
      if (out.size() - produced < kChunk / 4) out.resize(out.size() + kChunk);
      zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
      std::size_t room = std::min(out.size() - produced, std::size_t{1} << 30);
      zs.avail_out = static_cast<uInt>(room);
      rc = deflate(&zs, flush);
      produced += room - zs.avail_out;
      if (rc == Z_STREAM_ERROR) throw Error("zlib: compression failed");
    } while (zs.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    consumed += inNow - zs.avail_in;
  }
  out.resize(produced);
  return out;
}

namespace {

std::atomic<std::size_t> inflateLimitForTests{0};

ZStatus inflateAll(std::string_view z, std::string& out, std::string* error) {
  out.clear();
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) {
    if (error) *error = "zlib: cannot start decompression";
    return ZStatus::Damaged;
  }
  ZEnd end{zs, false};
  // The buffer never grows past one byte over the limit: reaching that byte is the
  // proof that the stream is too large, and the memory spent on it stays bounded.
  const std::size_t cap = InflateLimit() + 1;
  out.resize(std::min({std::max<std::size_t>(z.size() * 4, 4096), std::size_t{1} << 28, cap}));
  std::size_t produced = 0;
  std::size_t consumed = 0;
  int rc = Z_OK;
  while (true) {
    std::size_t inNow = std::min(z.size() - consumed, std::size_t{1} << 30);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(z.data() + consumed));
    zs.avail_in = static_cast<uInt>(inNow);
    if (out.size() == produced) {
      if (out.size() >= cap) {
        if (error) *error = "too large to open";
        out.clear();
        out.shrink_to_fit();
        return ZStatus::TooLarge;
      }
      out.resize(std::min(cap, out.size() + std::max(std::size_t{4096}, out.size() / 2)));
    }
    std::size_t room = std::min(out.size() - produced, std::size_t{1} << 30);
    zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    zs.avail_out = static_cast<uInt>(room);
    rc = inflate(&zs, Z_NO_FLUSH);
    produced += room - zs.avail_out;
    consumed += inNow - zs.avail_in;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_OK) continue;
    if (rc == Z_BUF_ERROR && zs.avail_out == 0) continue;  // only needed more room
    const char* why = rc == Z_BUF_ERROR ? "the compressed data ends before its end marker"
                      : rc == Z_MEM_ERROR ? "out of memory"
                                          : "the data is not a valid zlib stream";
    if (error) *error = why;
    out.clear();
    return ZStatus::Damaged;
  }
  if (produced >= cap) {
    if (error) *error = "too large to open";
    out.clear();
    out.shrink_to_fit();
    return ZStatus::TooLarge;
  }
  out.resize(produced);
  return ZStatus::Ok;
}

}  // namespace

std::size_t InflateLimit() {
  if (std::size_t forTests = inflateLimitForTests.load()) return forTests;
  constexpr std::size_t kDefault = std::size_t{2} << 30;
  const std::size_t quarter = platform::physicalMemoryBytes() / 4;
  return quarter > 0 && quarter < kDefault ? quarter : kDefault;
}

void SetInflateLimitForTests(std::size_t bytes) { inflateLimitForTests.store(bytes); }

namespace {
constexpr std::string_view kTooLarge = "too large to open: ";
}  // namespace

std::string TooLargeToOpen(const std::string& name) { return std::string(kTooLarge) + name; }
bool IsTooLargeToOpen(const std::string& reason) { return reason.starts_with(kTooLarge); }

ZStatus ZInflateChecked(std::string_view z, std::string& out, std::string* error) {
  try {
    return inflateAll(z, out, error);
  } catch (const std::bad_alloc&) {
    // Memory ran out below the limit: a failed load, not a crash.
    out.clear();
    out.shrink_to_fit();
    if (error) *error = "out of memory";
    return ZStatus::Damaged;
  }
}

bool ZInflate(std::string_view z, std::string& out, std::string* error) {
  return ZInflateChecked(z, out, error) == ZStatus::Ok;
}

std::string ZInflateOrThrow(std::string_view z) {
  std::string out, err;
  if (!ZInflate(z, out, &err)) throw Error("Cannot decompress: " + err);
  return out;
}

// ---- compressed list files ----------------------------------------------------------

long long SaveStringsCompressed(const StringList& list, const std::string& path) {
  std::string text = list.text();
  std::string z;
  try {
    z = ZCompress(text);
  } catch (const Error&) {
    return -1;
  }
  if (!platform::writeFileAtomic(path, z)) return -1;
  return static_cast<long long>(text.size());
}

bool TryLoadStringsCompressed(StringList& list, const std::string& path, std::string* error) {
  std::string z;
  if (!platform::readFile(path, z)) {
    if (error) *error = "Cannot open " + path;
    return false;
  }
  std::string text, why;
  if (const ZStatus st = ZInflateChecked(z, text, &why); st != ZStatus::Ok) {
    if (error) *error = st == ZStatus::TooLarge ? TooLargeToOpen(path) : path + ": " + why;
    return false;
  }
  list.clear();
  list.setText(text);
  return true;
}

int LoadStringsCompressed(StringList& list, const std::string& path) {
  std::string error;
  if (!TryLoadStringsCompressed(list, path, &error)) throw Error(error);
  return 0;
}

// The file is read and inflated whole either way; both names stay for their callers.
int LoadStringsCompressedBuffered(StringList& list, const std::string& path) {
  return LoadStringsCompressed(list, path);
}

int DecompressFile(const std::string& source, const std::string& target, std::string* error) {
  std::string z, text, why;
  if (!platform::readFile(source, z)) {
    if (error) *error = "Cannot open " + source;
    return -1;
  }
  if (const ZStatus st = ZInflateChecked(z, text, &why); st != ZStatus::Ok) {
    if (error) *error = st == ZStatus::TooLarge ? TooLargeToOpen(source) : source + ": " + why;
    return -1;
  }
  std::string().swap(z);
  if (!platform::writeFileAtomic(target, text)) {
    if (error) *error = "Cannot write " + target;
    return -1;
  }
  return 0;
}

std::string DecompressedZName(const std::string& path) {
  if (path.size() < 3) return "";
  std::string ext = sjis::lower(path.substr(path.size() - 2));
  if (ext != ".z") return "";
  std::string base = path.substr(0, path.size() - 2);
  if (base.back() == '/') return "";
  return base;
}

int DecompressZFile(const std::string& path, std::string* error) {
  std::string target = DecompressedZName(path);
  if (target.empty()) return -1;
  return DecompressFile(path, target, error);
}

// ---- directory listings -------------------------------------------------------------

namespace {

enum class Kind { File, Dir, Skip };

Kind kindOf(const fs::directory_entry& e) {
  std::error_code ec;
  if (e.is_symlink(ec)) {
    // Never enter a linked directory (a link can point at its own ancestor).
    if (fs::is_directory(e.path(), ec)) return Kind::Skip;
    return Kind::File;
  }
  if (e.is_directory(ec)) return Kind::Dir;
  return Kind::File;
}

std::string withSlash(const std::string& dir) {
  if (!dir.empty() && dir.back() == '/') return dir;
  return dir + "/";
}

enum class What { Files, FilesRecursive, DirsRecursive };

int listDir(StringList& list, const std::string& dir, What what, bool* abort, const MessagePump& pump) {
  if (dir.empty()) return 0;  // no folder named: nothing to list (never the root)
  std::string base = withSlash(dir);
  std::error_code ec;
  fs::directory_iterator it(fs::path(platform::osPath(dir)), ec), end;
  int count = 0;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = platform::fromOsName(it->path().filename().string());
    if (name == "." || name == "..") continue;
    Kind k = kindOf(*it);
    if (k == Kind::File) {
      if (what != What::DirsRecursive) {
        list.add(base + name);
        ++count;
      }
    } else if (k == Kind::Dir && what != What::Files) {
      if (pump) pump();
      count += listDir(list, base + name, what, abort, pump);
      if (*abort) break;
      if (what == What::DirsRecursive) {
        list.add(base + name);
        ++count;
      }
    }
  }
  return count;
}

}  // namespace

int ListFiles(StringList& list, const std::string& dir) {
  return listDir(list, dir, What::Files, nullptr, {});
}

int ListFilesRecursive(StringList& list, const std::string& dir, bool& abort, const MessagePump& pump) {
  return listDir(list, dir, What::FilesRecursive, &abort, pump);
}

int ListDirsRecursive(StringList& list, const std::string& dir, bool& abort, const MessagePump& pump) {
  return listDir(list, dir, What::DirsRecursive, &abort, pump);
}

int AppendStrings(StringList& target, const StringList& source) {
  int n = source.count();  // the target may be the source
  for (int i = 0; i < n; ++i) target.add(source[i]);
  return n;
}

// ---- line editing -------------------------------------------------------------------

int DeleteBlankLinesCount(StringList& list) {
  // Kept lines move forward in one pass and the tail is cut from the end: erasing each
  // blank line in place would make a list of many short pieces (a tag of a hostile file
  // split at its blanks) cost quadratic time.
  const int n = list.count();
  int kept = 0;
  for (int i = 0; i < n; ++i) {
    if (sjis::trim(list[i]).empty()) continue;
    if (i != kept) list.exchange(i, kept);
    ++kept;
  }
  for (int i = n - 1; i >= kept; --i) list.erase(i);
  return n - kept;
}

void DeleteBlankLines(StringList& list) { DeleteBlankLinesCount(list); }

int TrimLines(StringList& list) {
  for (int i = 0; i < list.count(); ++i) list.set(i, sjis::trim(list[i]));
  return list.count();
}

void DeleteFirstCharOfLines(StringList& list) {
  for (int i = 0; i < list.count(); ++i) list.set(i, DeleteFirstChar(list[i]));
}

int AppendToLines(StringList& list, std::string_view text) {
  for (int i = 0; i < list.count(); ++i) list.set(i, list[i] + std::string(text));
  return list.count();
}

int PrependToLines(StringList& list, std::string_view text) {
  for (int i = 0; i < list.count(); ++i) list.set(i, std::string(text) + list[i]);
  return list.count();
}

int NumberLines(StringList& list, std::string_view format, long long start) {
  IntFormat f;
  std::string fmt = sjis::trim(format).empty() ? std::string("%.8d:") : std::string(format);
  if (!ParseIntFormat(fmt, f)) return -1;
  int n = list.count();
  if (n > 0 && start > std::numeric_limits<long long>::max() - (n - 1))
    throw OverflowError("Line numbers beyond the largest integer");
  for (int i = 0; i < n; ++i) list.set(i, FormatInt(f, start + i) + list[i]);
  return n;
}

void ReverseLines(StringList& list) {
  for (int i = 0, j = list.count() - 1; i < j; ++i, --j) list.exchange(i, j);
}

void SortUnique(StringList& list) {
  list.sort();
  for (int i = 0; i + 1 < list.count();) {
    if (list[i] == list[i + 1]) list.erase(i);
    else ++i;
  }
}

int MarkDuplicateLines(StringList& list) {
  if (list.count() < 2) return 0;
  int marked = 0;
  std::string before = list[0];
  for (int i = 1; i < list.count(); ++i) {
    std::string current = list[i];
    if (current == before) {
      list.set(i, "* " + current);
      ++marked;
    }
    before = std::move(current);
  }
  return marked;
}

int SplitAfterCommas(StringList& list) {
  StringList out;
  for (const auto& l : list) {
    std::string_view line = l.text;
    std::size_t from = 0;
    for (std::size_t comma; (comma = sjis::findFirstOf(line, ",", from)) != std::string::npos; from = comma + 1)
      out.add(std::string(line.substr(from, comma + 1 - from)));
    if (from < line.size() || from == 0) out.add(std::string(line.substr(from)));
  }
  list = std::move(out);
  return list.count();
}

int JoinLines(StringList& list) {
  const int n = list.count();
  if (n == 0) return 0;
  std::string joined = list.join("");
  list.clear();
  list.add(std::move(joined));
  return n;
}

long long CountInStrings(const StringList& list, std::string_view text) {
  std::string needle = sjis::lower(text);
  long long total = 0;
  for (const auto& l : list) total += CountSubstr(sjis::lower(l.text), needle);
  return total;
}

void FilterLines(const StringList& source, std::string_view pattern, StringList& target, bool ignoreCase,
                 bool withNumbers, bool invert, int mode) {
  std::string pat = ignoreCase ? sjis::lower(pattern) : std::string(pattern);
  // A search needs no lowered copy of each line: grep runs it over whole documents.
  const sjis::Finder finder(pattern, ignoreCase);
  int n = source.count();  // the target may be the source
  for (int i = 0; i < n; ++i) {
    if (mode == 0) {
      if ((finder.find(source[i]) != std::string::npos) == invert) continue;
    } else {
      std::string line = ignoreCase ? sjis::lower(source[i]) : source[i];
      bool match;
      switch (mode) {
        case 1: match = line.size() >= pat.size() && sjis::startsWith(line, pat); break;
        case 2: match = line.size() >= pat.size() && (pat.empty() || sjis::endsWith(line, pat)); break;
        default: match = true;
      }
      if (match == invert) continue;
    }
    if (withNumbers) {
      IntFormat f;
      f.width = 7;
      target.add(FormatInt(f, i + 1) + ": " + source[i]);
    } else {
      target.add(source[i]);
    }
  }
}

// ---- CSV page, hex dump, command runner ---------------------------------------------

void CsvToTableRows(const StringList& csv, StringList& out) {
  int n = csv.count();  // the output may be the input
  StringList cells;
  for (int i = 0; i < n; ++i) {
    out.add("  <tr>");
    SplitToStrings(csv[i], cells, ",");
    for (const auto& c : cells) out.add("    <td>" + (c.text.empty() ? std::string("&nbsp;") : c.text) + "</td>");
    out.add("  </tr>");
  }
}

void CsvToHtmlPage(const StringList& csv, StringList& out, std::string_view caption, std::string_view generator) {
  StringList rows;
  CsvToTableRows(csv, rows);
  out.add("<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">");
  out.add("<html>");
  out.add("<head>");
  out.add("   <meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">");
  out.add("   <meta name=\"GENERATOR\" content=\"" + std::string(generator) + "\">");
  out.add("</head>");
  out.add("<body>");
  out.add("<center><table BORDER >");
  out.add("<caption>" + std::string(caption) + "</caption>");
  AppendStrings(out, rows);
  out.add("</table></center>");
  out.add("</body>");
  out.add("</html>");
}

namespace {

void appendHex(std::string& s, unsigned long long v, int digits) {
  static const char set[] = "0123456789ABCDEF";
  std::string d;
  do {
    d.insert(d.begin(), set[v & 15]);
    v >>= 4;
  } while (v != 0);
  if (d.size() < static_cast<std::size_t>(digits)) d.insert(0, digits - d.size(), '0');
  s += d;
}

}  // namespace

long long HexDumpStream(StringList& out, std::string_view data, int bytesPerLine) {
  if (bytesPerLine < 1) throwRange("HexDumpStream bytes per line", bytesPerLine, 1 << 30);
  out.add("#size=" + std::to_string(data.size()));
  std::string header = "#Address :Sum:";
  for (int c = 0; c < bytesPerLine; ++c) {
    appendHex(header, static_cast<unsigned>(c % 256), 2);
    header += ' ';
  }
  out.add(std::move(header));
  std::size_t per = static_cast<std::size_t>(bytesPerLine);
  for (std::size_t off = 0; off < data.size(); off += per) {
    std::size_t len = std::min(per, data.size() - off);
    unsigned sum = 0;
    std::string bytes;
    for (std::size_t k = 0; k < len; ++k) {
      unsigned char b = static_cast<unsigned char>(data[off + k]);
      sum = (sum + b) & 0xFF;
      appendHex(bytes, b, 2);
      bytes += ' ';
    }
    std::string line;
    appendHex(line, off, 10);
    line += ':';
    appendHex(line, sum, 2);
    line += ':';
    out.add(line + bytes);
  }
  return static_cast<long long>(data.size());
}

int RunCommandToStrings(StringList& list, const std::string& dir, const std::string& command,
                        std::string_view prefix, int* exitStatus) {
  std::string pre(prefix);
  bool started = platform::runCommandLines(
      dir, command, [&](std::string&& line, bool) { list.add(pre + line); }, exitStatus);
  return started ? 0 : -1;
}

}  // namespace wux

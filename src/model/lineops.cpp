#include "model/lineops.h"

#include "model/format.h"
#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {

StringList NoteCopyLines(std::string_view name, const StringList& text, const StringList& comment,
                         const StringList& fields, NoteCopyParts parts) {
  StringList out;
  out.add(std::string(name));
  out.add(kSeparatorMemo);
  out.append(text);
  if (parts != NoteCopyParts::NameMemo) out.add(kSeparatorComment);
  out.append(comment);
  if (parts == NoteCopyParts::NameMemoCommentFields) {
    out.add(kSeparatorFields);
    out.append(fields);
  }
  return out;
}

std::string FieldLine::bare() const { return Dequote(value); }

FieldLine SplitFieldLine(std::string_view line) {
  FieldLine f;
  const std::size_t eq = sjis::findFirstOf(line, "=");
  if (eq == std::string::npos) {
    f.value = std::string(line);
    return f;
  }
  f.hasEquals = true;
  f.name = std::string(line.substr(0, eq));
  f.value = std::string(line.substr(eq + 1));
  return f;
}

std::string FieldLineWithoutValue(const FieldLine& f) { return f.name + "=\"\""; }

std::string FieldLineWithValue(const FieldLine& f, std::string_view value) {
  return f.name + "=\"" + std::string(value) + "\"";
}

std::string CutToBytes(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return std::string(text);
  // The byte at the cut belongs to the dropped part; when it is a second byte, its
  // first byte goes too.
  return std::string(text.substr(0, sjis::charStart(text, bytes)));
}

std::string HistoryCaption(std::string_view entry) {
  constexpr std::size_t kShown = 40;
  if (entry.size() <= kShown) return std::string(entry);
  return CutToBytes(entry, kShown) + "..." + std::to_string(entry.size());
}

std::string AutoNumberFormat(long long lineCount) {
  int digits = 1;
  for (long long n = lineCount; n >= 10; n /= 10) ++digits;
  return "%" + std::to_string(digits) + "d";
}

std::string CountWordReport(long long count, std::string_view word) {
  return std::to_string(count) + "times,  \"" + std::string(word) + "\"";
}

std::string CaretPositionText(long long line, long long column) {
  IntFormat lineFormat, columnFormat;
  lineFormat.width = 9;
  columnFormat.width = 4;
  return FormatInt(lineFormat, line) + ":" + FormatInt(columnFormat, column);
}

void NameValueListing(MemoHolder& holder, std::string_view field, bool valueFirst, std::string_view dateFormat,
                      StringList& out) {
  out.add("# wux.exe " + std::string(dateFormat));
  out.add("name, " + std::string(field));
  StringList notes;
  holder.setNodeList_(notes);
  const std::string name(field);
  for (int i = 0; i < notes.count(); ++i) {
    const auto* node = notes.objectAs<MemoNode>(i);
    const std::string value = node ? node->getField_(name) : std::string();
    out.add(valueFirst ? value + "," + notes[i] : notes[i] + "," + value);
  }
}

bool CheckHolderFilesListing(MemoFile& doc, StringList& out, bool& abort, const MessagePump& pump) {
  for (int i = 0; i < doc.getHolderCount_(); ++i) {
    MemoHolder* h = doc.getHolder_(i);
    const std::string file = h->getFileName_();
    out.add(file + (platform::fileExists(file) ? " exists" : " not exists"));
  }
  out.add("");
  StringList files;
  const std::string dir = platform::dirOf(doc.getFileName_());
  if (!dir.empty()) ListFilesRecursive(files, dir, abort, pump);
  const StringList& names = doc.holders()->children();
  for (int i = 0; i < files.count(); ++i) {
    if (sjis::lower(platform::extOf(files[i])) != ".mxh") continue;
    const std::string file = platform::fileNameOf(files[i]);
    const std::string name = platform::changeExt(file, "");
    out.add(file + (names.indexOf(name) >= 0 ? " included" : " not include"));
  }
  return !abort;
}

}  // namespace wux

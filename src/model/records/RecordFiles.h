#pragma once
// Reading notebook and document files and unpacking archives. Messages go into
// `messages`, one per line; nothing here asks the user anything.
#include <functional>
#include <string>
#include <vector>

#include "model/records/HolderSave.h"
#include "model/text/StringList.h"

namespace wux {

class MemoFile;
class MemoHolder;

// Reads a notebook file (".mhz" compressed, or plain text when it has no zlib header;
// any other name as text) into `holder`. 0: read, the notebook is loaded. -2: the file
// does not exist; the notebook stays empty and counts as loaded. -1: the file could not
// be read or parsed; the notebook is left as it was and marked `loadFailed`, so it will
// not be saved over that file. -1 too for a file cut short (its Holder element never
// closed) or a compressed one damaged part-way: the notes before the cut or the damage
// are read and the notebook counts as loaded, but it stays marked `loadFailed` all the
// same. An empty file reads as an empty notebook (0).
// `elementName`, when given, receives the notebook name the file itself records.
int ReadHolderFile(MemoHolder& holder, const std::string& path, StringList& messages,
                   std::string* elementName = nullptr);
// ReadHolderFile from the notebook's own file name.
int LoadHolder(MemoHolder& holder, StringList& messages);
// Reads a document file into `doc` (notebook references only) and sets its file name to
// `path`. 0, or -1 with the reason in `messages`.
int ReadDocumentFile(MemoFile& doc, const std::string& path, StringList& messages);
// The same from the file's text, already read (through the lock, say).
int ReadDocumentText(MemoFile& doc, const std::string& path, const std::string& data, StringList& messages);
// Answers whether an existing file may be replaced (given its path). The caller asks the
// user "Overwrite OK? " and the path; without an answer nothing is replaced.
using OverwriteQuestion = std::function<bool(const std::string& path)>;
// Unpacks a ".maz" archive into `targetDir` (the archive's own folder when empty). Each
// part is written under the last component of its stored name; parts whose name would
// leave the folder are refused; an existing file that already holds the part's bytes is
// left as it is without a question, any other is replaced only when `overwrite` says
// so. Every part left out is named in `messages` with the reason. Returns the number of
// files unpacked (written, or found already holding their part), -1 when the archive
// cannot be read; `written` receives their full paths, in archive order (the document
// first). An archive cut short
// before its closing boundary unpacks the parts before the cut and says so in
// `messages`.
// `onPart`, when given, hears each part's target path before it is written (or left out
// because the user kept the file there).
int UnpackArchive(const std::string& archive, const std::string& targetDir, std::vector<std::string>& written,
                  StringList& messages, const OverwriteQuestion& overwrite = {},
                  const std::function<void(const std::string& target)>& onPart = {});
// The file name a stored archive part name is written under; empty when refused.
std::string ArchivePartFileName(const std::string& stored);
// The name an archive stores a file's part under.
std::string ArchivePartName(const std::string& path);
// A document read from an archive unpacked into `dir`: its notebooks stored elsewhere
// are read from their copies unpacked beside it, never from where they were packed.
void UseUnpackedNotebooks(MemoFile& doc, const std::string& dir);

// What a save of several files did: the files written and those that keep their old
// content (or stay missing), each in the order tried, and one line per failure.
struct SaveReport {
  std::vector<std::string> written;
  std::vector<std::string> notWritten;
  StringList messages;
  bool ok() const { return notWritten.empty(); }
};
// The folder of `fileName` as the file system will see it, in one letter case, for
// telling whether two files share a folder; an empty folder is the current one.
std::string FolderKey(const std::string& fileName);

// Writes the document's notebooks, each to its own file in its own file form, then the
// document to `path` (".mxa"), only when every notebook was written: a document never
// references a notebook file that was not saved. With `onlyModified` only modified
// notebooks are written. Written notebooks lose their modified flag, the document too
// when it was written; the others keep it. Nothing at all is written when two notebooks
// would share one file. Each notebook is saved by the one notebook save (HolderSave.h),
// asking what `policy` asks; one cancelled writes nothing at all. Notebooks carried into
// another folder name their linked files from there.
bool SaveDocumentAndHolders(MemoFile& doc, const std::string& path, bool onlyModified, SaveReport& report,
                            const HolderSavePolicy& policy = {});

}  // namespace wux

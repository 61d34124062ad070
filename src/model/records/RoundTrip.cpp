#include "model/records/RoundTrip.h"

#include <cstdlib>
#include <filesystem>

#include "model/records/RecordFiles.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux {
namespace {

std::string lastMessage(const StringList& messages, const std::string& fallback) {
  for (int i = messages.count() - 1; i >= 0; --i)
    if (!messages[i].empty()) return messages[i];
  return fallback;
}

// Every notebook read, as the program reads them on demand; one left without notes
// gets its first note as when the program shows it.
bool loadAllHolders(OpenedRecords& out, std::string& error) {
  MemoFile& doc = *out.doc;
  for (int i = 0; i < doc.getHolderCount_(); ++i) {
    MemoHolder* h = doc.getHolder_(i);
    StringList messages;
    const int r = LoadHolder(*h, messages);
    out.messages.append(messages);
    if (r != 0) {
      error = lastMessage(messages, "cannot read notebook " + h->name());
      return false;
    }
    if (h->getNodeCount_() == 0) h->createNewNode_();
  }
  return true;
}

}  // namespace

OpenedRecords::~OpenedRecords() {
  doc.reset();
  if (!unpackDir.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(platform::osPath(unpackDir), ec);
  }
}

bool OpenRecords(const std::string& in, OpenedRecords& out, std::string& error) {
  std::string ext = sjis::lower(platform::extOf(in));
  out.doc = Create<MemoFile>(nullptr);
  StringList& messages = out.messages;
  if (ext == ".mxa") {
    if (ReadDocumentFile(*out.doc, in, messages) != 0) {
      error = lastMessage(messages, "cannot read " + in);
      return false;
    }
    return loadAllHolders(out, error);
  }
  if (ext == ".mxh" || ext == ".mhz") {
    out.doc->putFileName_(platform::changeExt(in, ".mxa"));
    MemoHolder* h = out.doc->newHolder_();
    std::string actual;
    out.doc->addHolder_(h, platform::changeExt(platform::fileNameOf(in), ""), actual);
    if (ReadHolderFile(*h, in, messages) != 0) {
      error = lastMessage(messages, "cannot read " + in);
      return false;
    }
    if (h->getNodeCount_() == 0) h->createNewNode_();
    out.lone = h;
    return true;
  }
  if (ext == ".maz") {
    std::string tmpl = platform::osPath(platform::tempDir() + "wux-maz-XXXXXX");
    if (!::mkdtemp(tmpl.data())) {
      error = "cannot make a temporary folder in " + platform::tempDir();
      return false;
    }
    out.unpackDir = platform::fromOsName(tmpl) + "/";
    std::vector<std::string> written;
    if (UnpackArchive(in, out.unpackDir, written, messages) <= 0) {
      error = lastMessage(messages, "cannot unpack " + in);
      return false;
    }
    if (ReadDocumentFile(*out.doc, written.front(), messages) != 0) {
      error = lastMessage(messages, "cannot read the document in " + in);
      return false;
    }
    UseUnpackedNotebooks(*out.doc, out.unpackDir);
    return loadAllHolders(out, error);
  }
  error = "unknown file type: " + in;
  return false;
}

bool WriteRecords(OpenedRecords& opened, const std::string& path, std::string& error) {
  MemoFile& doc = *opened.doc;
  std::string ext = sjis::lower(platform::extOf(path));
  if (ext == ".mxh" || ext == ".mhz") {
    if (!opened.lone) {
      error = "a document cannot be written as a notebook file: " + path;
      return false;
    }
    if (opened.lone->saveToFile_(path, &error) < 0) return false;
    return true;
  }
  if (ext == ".mxa") {
    doc.putFileName_(path);
    const std::string dir = platform::dirOf(doc.getFileName_());
    for (int i = 0; i < doc.getHolderCount_(); ++i) {
      MemoHolder* h = doc.getHolder_(i);
      if (h->getFlagExtra_())
        h->putField_("Filename", QuoteValue(dir + platform::fileNameOf(h->getFileName_())));
    }
    SaveReport report;
    const bool ok = SaveDocumentAndHolders(doc, doc.getFileName_(), false, report);
    opened.messages.append(report.messages);
    if (!ok) error = lastMessage(report.messages, "cannot write " + path);
    return ok;
  }
  if (ext == ".maz") {
    doc.putFileName_(platform::changeExt(path, ".mxa"));
    std::vector<std::string> leftOut;
    std::string why;
    const long long r = doc.saveMAZ_(path, &leftOut, &why);
    if (!why.empty()) opened.messages.add(why);
    if (r < 0 || !leftOut.empty()) {
      error = lastMessage(opened.messages, "cannot write " + path);
      return false;
    }
    return true;
  }
  error = "unknown file type: " + path;
  return false;
}

}  // namespace wux

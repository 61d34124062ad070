#include "model/records/RoundTrip.h"

#include <cstdlib>
#include <filesystem>

#include "model/records/RecordFiles.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux {
namespace {

std::string firstMessage(const StringList& messages, const std::string& fallback) {
  for (int i = messages.count() - 1; i >= 0; --i)
    if (!messages[i].empty()) return messages[i];
  return fallback;
}

bool loadAllHolders(MemoFile& doc, std::string& error) {
  for (int i = 0; i < doc.getHolderCount_(); ++i) {
    MemoHolder* h = doc.getHolder_(i);
    StringList messages;
    if (LoadHolder(*h, messages) != 0) {
      error = firstMessage(messages, "cannot read notebook " + h->name());
      return false;
    }
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
  StringList messages;
  if (ext == ".mxa") {
    if (ReadDocumentFile(*out.doc, in, messages) != 0) {
      error = firstMessage(messages, "cannot read " + in);
      return false;
    }
    return loadAllHolders(*out.doc, error);
  }
  if (ext == ".mxh" || ext == ".mhz") {
    out.doc->putFileName_(platform::changeExt(in, ".mxa"));
    MemoHolder* h = out.doc->newHolder_();
    std::string actual;
    out.doc->addHolder_(h, platform::changeExt(platform::fileNameOf(in), ""), actual);
    std::string name;
    if (ReadHolderFile(*h, in, messages, &name) != 0) {
      error = firstMessage(messages, "cannot read " + in);
      return false;
    }
    if (!name.empty()) h->putName_(name, actual);
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
      error = firstMessage(messages, "cannot unpack " + in);
      return false;
    }
    if (ReadDocumentFile(*out.doc, written.front(), messages) != 0) {
      error = firstMessage(messages, "cannot read the document in " + in);
      return false;
    }
    return loadAllHolders(*out.doc, error);
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
    if (opened.lone->saveToFile_(path) < 0) {
      error = "cannot write " + path;
      return false;
    }
    return true;
  }
  if (ext == ".mxa") {
    doc.putFileName_(path);
    if (doc.saveToFile_(path) < 0) {
      error = "cannot write " + path;
      return false;
    }
    std::string dir = platform::dirOf(doc.getFileName_());
    for (int i = 0; i < doc.getHolderCount_(); ++i) {
      MemoHolder* h = doc.getHolder_(i);
      std::string file = dir + platform::fileNameOf(h->getFileName_());
      if (h->saveToFile_(file) < 0) {
        error = "cannot write " + file;
        return false;
      }
    }
    return true;
  }
  if (ext == ".maz") {
    doc.putFileName_(platform::changeExt(path, ".mxa"));
    std::vector<std::string> leftOut;
    if (doc.saveMAZ_(path, &leftOut) < 0 || !leftOut.empty()) {
      error = "cannot write " + path;
      return false;
    }
    return true;
  }
  error = "unknown file type: " + path;
  return false;
}

}  // namespace wux

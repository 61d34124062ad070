// The notebook and document readers and the archive unpacker meet files from disks,
// mail and other programs: arbitrary bytes must never crash them, a notebook that was
// read must write back to a text that reads back to the same text, a notebook read
// from the whole tree of its text (as the tag viewer holds it) must be the same as the
// one the notebook reader made, and an archive may only ever write inside its own
// folder.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/clock.h"
#include "model/lists.h"
#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "model/tagtree.h"
#include "platform/files.h"
#include "platform/paths.h"

using namespace wux;
namespace fs = std::filesystem;

namespace {

struct World {
  std::string dir;
  FixedClock clock{DateTime{2026, 12, 6, 12, 34, 56, 789}};
  SeededRandom random{7};
  World() {
    // libFuzzer ends without running destructors: folders of runs that are gone are
    // removed here instead.
    const std::string prefix = "wux-records-fuzz-";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(platform::tempDir(), ec)) {
      const std::string n = e.path().filename().string();
      if (n.rfind(prefix, 0) != 0) continue;
      const long pid = std::atol(n.c_str() + prefix.size());
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(e.path(), ec);
    }
    dir = platform::tempDir() + prefix + std::to_string(::getpid()) + "/";
    fs::remove_all(dir, ec);
    fs::create_directories(dir + "inner");
    setClock(&clock);
    setRandomSource(&random);
  }
  ~World() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

World& world() {
  static World w;
  return w;
}

// Two writings that should be the same and are not: where they part, then stop.
[[noreturn]] void differ(const char* what, const std::string& a, const std::string& b) {
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  const std::size_t from = at > 200 ? at - 200 : 0;
  std::fprintf(stderr, "%s differ at byte %zu:\n--- first\n%s\n--- second\n%s\n---\n", what, at,
               a.substr(from, 400).c_str(), b.substr(from, 400).c_str());
  std::abort();
}

std::string writeOut(MemoHolder& h) {
  StringList lines;
  h.saveToTSL_(lines);
  return lines.text();
}

// The notebook as read from the whole tree of `text`, written out; empty when the text
// holds no notebook.
std::string readWhole(const std::string& text) {
  TTAGNode root;
  StringList errors;
  if (TTAGNode::ParseXmlText(&root, std::string_view(text), errors) != 0) std::abort();
  TTAGNode* element = TTAGNode::FindChildTag(&root, "Holder");
  if (!element) return {};
  std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
  doc->putFileName_(world().dir + "doc.mxa");
  MemoHolder* h = doc->newHolder_();
  std::string actual;
  doc->addHolder_(h, "book", actual);
  h->_readTAG_(element);
  return writeOut(*h);
}

// `text`: what the file holds once inflated, when that is known.
void readNotebook(const std::string& file, const std::string& bytes, const std::string* text) {
  World& w = world();
  if (!platform::writeFileAtomic(file, bytes)) return;
  std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
  doc->putFileName_(w.dir + "doc.mxa");
  MemoHolder* h = doc->newHolder_();
  std::string actual;
  doc->addHolder_(h, "book", actual);
  StringList messages;
  if (ReadHolderFile(*h, file, messages) != 0) return;
  const std::string first = writeOut(*h);
  if (text) {
    const std::string whole = readWhole(*text);
    if (!whole.empty() && whole != first) differ("notebook reader and whole tree", first, whole);
  }
  // Notes that share a name in a notebook sorted downwards swap places on every reading.
  if (h->getFlagSameName_() && h->getFlagSort_() && !h->getFlagAscending_()) return;

  MemoHolder* again = doc->newHolder_();
  doc->addHolder_(again, "book2", actual);
  std::string renamed;
  h->putName_("other", renamed);
  again->putName_("book", renamed);
  const std::string copy = w.dir + "again.mxh";
  if (!platform::writeFileAtomic(copy, first)) return;
  if (ReadHolderFile(*again, copy, messages) != 0) std::abort();
  const std::string second = writeOut(*again);
  if (second != first) differ("first and second writing", first, second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  World& w = world();
  const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0: {
      // Text that looks compressed is inflated by the reader first.
      const bool zlib = body.size() >= 2 && (body[0] & 0x0F) == 8 && (static_cast<unsigned char>(body[0]) >> 4) <= 7 &&
                        ((static_cast<unsigned char>(body[0]) << 8) | static_cast<unsigned char>(body[1])) % 31 == 0;
      readNotebook(w.dir + "book.mxh", body, zlib ? nullptr : &body);
      break;
    }
    case 1:
      readNotebook(w.dir + "book.mhz", ZCompress(body), &body);
      break;
    case 2: {
      if (!platform::writeFileAtomic(w.dir + "doc.mxa", body)) break;
      std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
      StringList messages;
      if (ReadDocumentFile(*doc, w.dir + "doc.mxa", messages) == 0) {
        StringList lines;
        doc->saveToTSL_(lines);
      }
      break;
    }
    case 3: {
      const std::string archive = w.dir + "inner/a.maz";
      if (!platform::writeFileAtomic(archive, ZCompress(body))) break;
      std::vector<std::string> written;
      StringList messages;
      UnpackArchive(archive, "", written, messages);
      for (const auto& p : written) {
        if (platform::dirOf(p) != w.dir + "inner/") std::abort();
      }
      for (const auto& e : fs::directory_iterator(w.dir)) {
        const std::string n = e.path().filename().string();
        if (n != "inner" && n != "book.mxh" && n != "book.mhz" && n != "doc.mxa" && n != "again.mxh") std::abort();
      }
      for (const auto& e : fs::directory_iterator(w.dir + "inner")) fs::remove_all(e.path());
      break;
    }
  }
  return 0;
}

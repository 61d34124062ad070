#pragma once
// Shared pieces of the record tests: a temporary folder, a fixed clock and random source,
// a recording prompter, and a loopback web server.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "support/RecordingPrompter.h"
#include "support/file_text.h"
#include "model/clock.h"
#include "model/records/MemoFile.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux::testing {

using test::fileText;

inline int freePort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  int port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

inline bool canConnect(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

// python3 -m http.server serving `dir` on 127.0.0.1 for the lifetime of the object.
class LoopbackServer {
 public:
  explicit LoopbackServer(const std::string& dir) : port_(freePort()) {
    pid_ = ::fork();
    if (pid_ == 0) {
      std::string port = std::to_string(port_);
      int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
      ::execlp("python3", "python3", "-m", "http.server", port.c_str(), "--bind", "127.0.0.1",
               "--directory", dir.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 200 && !canConnect(port_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ~LoopbackServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  bool ready() const { return canConnect(port_); }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  int port_;
  pid_t pid_ = -1;
};

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string tmpl = platform::tempDir() + "wux-rec-XXXXXX";
    path = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
  }
  std::string str(const std::string& name = "") const { return (path / name).string(); }
  std::string dir() const { return path.string() + "/"; }
};

// Lines joined by CR LF, each line ended by one.
inline std::string crlf(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// Documents for the tests: notebooks added as if loaded, notes with a text.
inline std::unique_ptr<MemoFile> newDoc(const std::string& path) {
  std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
  doc->putFileName_(path);
  return doc;
}

inline MemoHolder* addBook(MemoFile& doc, const std::string& name) {
  MemoHolder* h = doc.newHolder_();
  std::string actual;
  doc.addHolder_(h, name, actual);
  h->loaded = true;
  return h;
}

inline MemoNode* addNote(MemoHolder& h, const std::string& name, const std::string& body = "") {
  MemoNode* n = h.newNode_();
  h.addNode_(n, name);
  n->body().setText(body);
  return n;
}

// Every note of a notebook as readable text, for comparing notebooks and for golden files:
// name, mark, fields, text, comment and content bytes (decimal), one line each.
inline std::string describeNotes(MemoHolder& h) {
  auto block = [](const char* label, const StringList* l) {
    std::string s;
    if (l)
      for (const auto& line : *l) s += std::string("  ") + label + line.text + "\n";
    return s;
  };
  std::string out;
  for (int i = 0; i < h.getNodeCount_(); ++i) {
    MemoNode* n = h.getNode_(i);
    out += "note " + n->name() + (n->isMarked_() ? " (marked)\n" : "\n") + block("field ", n->fieldList()) +
           block("text  ", &n->body()) + block("note  ", n->comment());
    if (!n->content()) continue;
    out += "  content";
    if (const std::string* d = n->content()->data())
      for (unsigned char c : *d) out += " " + std::to_string(c);
    else
      out += " (no data)";
    out += "\n";
  }
  return platform::sjisToUtf8(out);
}

// The notebook's settings as its getters see them, then its notes.
inline std::string describe(MemoHolder& h) {
  std::string s = "settings " + h.getModeNodesMngr_() + " " + h.getFormatNumber_() + " " + h.getFormatDate_() +
                  " " + h.getFileExt_() + " " + h.getNewNodeName_() + " " + h.getNewNodeOption_() +
                  " sort=" + std::to_string(h.getFlagSort_()) + " autosave=" + std::to_string(h.flagAutoSave) +
                  " minutes=" + std::to_string(h.SaveMinutes) + " saves=" + std::to_string(h.CountSave) + " readonly=" + std::to_string(h.isReadOnly_()) +
                  " current=" + std::to_string(h.indexOfNode_(h.getCurrentNode_())) + " color=" + h.getField_("Color") +
                  " query=" + h.getField_("QueryNode") + "\n";
  return platform::sjisToUtf8(s) + describeNotes(h);
}

// Fixes the clock at 2026-12-06 12:34:56.789 and seeds the random source; records
// every message instead of showing it.
class FixedWorld {
 public:
  FixedWorld()
      : clock_(DateTime{2026, 12, 6, 12, 34, 56, 789}), random_(42), prompter_(&recorder) {
    prevClock_ = setClock(&clock_);
    prevRandom_ = setRandomSource(&random_);
  }
  ~FixedWorld() {
    setClock(prevClock_);
    setRandomSource(prevRandom_);
  }
  FixedClock& clock() { return clock_; }
  RecordingPrompter recorder;

 private:
  FixedClock clock_;
  SeededRandom random_;
  ScopedPrompter prompter_;
  Clock* prevClock_ = nullptr;
  RandomSource* prevRandom_ = nullptr;
};

}  // namespace wux::testing

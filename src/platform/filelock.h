#pragma once
// A document held open and locked for the whole session (the file-lock mode). The lock
// is flock(2), advisory: it keeps out every other wux holding a lock on the same file,
// not programs that never ask for one.
#include <sys/types.h>

#include <string>

namespace wux::platform {

class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile() { release(); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Opens `path` (program text) for reading and writing and takes an exclusive lock
  // without waiting. Any file held before is released first. False, with the reason in
  // `error`, when the file cannot be opened or another holder has the lock.
  bool open(const std::string& path, std::string* error = nullptr);
  void release();
  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

  // The whole content, read through the held descriptor.
  bool readAll(std::string& out, std::string* error = nullptr);
  // Replaces the content in place, keeping the file (and the lock on it). The new text
  // goes whole into a temporary file beside the document first, so the document is
  // touched only once the text exists complete on disk; should copying it in fail
  // part-way, that temporary file keeps the new text and `error` names it.
  bool rewrite(const std::string& data, std::string* error = nullptr);

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace wux::platform

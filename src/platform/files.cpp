#include "platform/files.h"

#include "platform/textconv.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace wux::platform {
namespace {

WriteCall writeCall = nullptr;

ssize_t writeSome(int fd, const void* data, std::size_t size) {
  return writeCall ? writeCall(fd, data, size) : ::write(fd, data, size);
}

std::string folderOf(const std::string& osPath) {
  std::size_t slash = osPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : osPath.substr(0, slash);
}

std::string baseOf(const std::string& osPath) {
  std::size_t slash = osPath.rfind('/');
  return slash == std::string::npos ? osPath : osPath.substr(slash + 1);
}

// The file a chain of symbolic links ends at; the path itself when it is no link. A
// chain that does not end (a loop) answers empty.
std::string throughLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return {};
    target.resize(static_cast<std::size_t>(n));
    path = target[0] == '/' ? target : folderOf(path) + "/" + target;
  }
  return {};
}

// ".name.<16 hex digits>.tmp": the temporaries this writer makes for "name".
bool isOurTemporary(const std::string& entry, const std::string& base) {
  const std::size_t head = base.size() + 2, tail = 4;
  if (entry.size() != head + 16 + tail || entry[0] != '.' || entry.compare(1, base.size(), base) != 0 ||
      entry[head - 1] != '.' || entry.compare(head + 16, tail, ".tmp") != 0)
    return false;
  for (std::size_t i = head; i < head + 16; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(entry[i])) || std::isupper(static_cast<unsigned char>(entry[i])))
      return false;
  return true;
}

// Temporaries of `base` left by writes that were killed. A writer holds a lock on its
// temporary while it lives, so one that can be locked has no writer any more.
void removeStaleTemporaries(const std::string& dir, const std::string& base) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    const std::string entry = e->d_name;
    if (!isOurTemporary(entry, base)) continue;
    const std::string path = (dir == "/" ? std::string("/") : dir + "/") + entry;
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(d);
}

std::string notRegular(const std::string& name) { return name + " is not a regular file"; }

void syncFolder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // some file systems cannot sync a folder; the rename itself stands
  ::close(fd);
}

// Writes `data` to a new temporary beside `base` in `dir`, flushed and synced, and keeps
// it open and locked (the lock tells a later write that it is not stale). `mode` >= 0
// gives it those permissions. Its descriptor, or -1 with `err` (nothing left behind).
int writeTemporary(const std::string& dir, const std::string& base, const std::string& data, int mode,
                   std::string& tmp, int& err) {
  static std::mt19937_64 rng{std::random_device{}()};
  int fd = -1;
  err = EEXIST;
  for (int tries = 0; tries < 20 && fd < 0; ++tries) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(rng()));
    tmp = (dir == "/" ? std::string("/") : dir + "/") + "." + base + suffix;
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      err = errno;
      return -1;
    }
  }
  if (fd < 0) return -1;
  ::flock(fd, LOCK_EX | LOCK_NB);
  if (mode >= 0) ::fchmod(fd, static_cast<mode_t>(mode));
  err = 0;
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = writeSome(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (n == 0) {
      err = ENOSPC;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string reasonText(int err) {
  std::string r = std::strerror(err);
  if (!r.empty()) r[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(r[0])));
  return r;
}

WriteCall setWriteCall(WriteCall call) {
  WriteCall prev = writeCall;
  writeCall = call;
  return prev;
}

FileState fileState(const std::string& path, std::string* reason, std::uint64_t* size) {
  if (path.empty()) return FileState::Missing;
  struct stat st{};
  if (::stat(osPath(path).c_str(), &st) != 0) {
    // ENOTDIR: a part of the path is a file, so nothing can be under it.
    if (errno == ENOENT || errno == ENOTDIR) return FileState::Missing;
    if (reason) *reason = path + ": " + reasonText(errno);
    return FileState::Unreadable;
  }
  if (!S_ISREG(st.st_mode)) {
    if (reason) *reason = notRegular(path);
    return FileState::Unreadable;
  }
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  return FileState::Regular;
}

bool readFile(const std::string& name, std::string& out, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  auto refuse = [&](mode_t mode) { return fail(S_ISDIR(mode) ? reasonText(EISDIR) : notRegular(name)); };
  const std::string path = osPath(name);
  // Looked at before opening: opening a device can have effects of its own.
  struct stat st{};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return refuse(st.st_mode);
  // Non-blocking, so that a FIFO put there since cannot hold the open; never a terminal.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(reasonText(errno));
  const bool examined = ::fstat(fd, &st) == 0;
  const int statError = errno;
  if (!examined || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return examined ? refuse(st.st_mode) : fail(reasonText(statError));
  }
  out.clear();
  // A file that grows while it is read (a log) stops at the size it had.
  std::size_t left = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  out.reserve(left);
  char buf[65536];
  while (left > 0) {
    ssize_t n = ::read(fd, buf, left < sizeof buf ? left : sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return fail(reasonText(err));
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
    left -= static_cast<std::size_t>(n);
  }
  ::close(fd);
  return true;
}

std::string refusedTarget(const std::string& name) {
  struct stat st{};
  if (::stat(osPath(name).c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return S_ISDIR(st.st_mode) ? "cannot write " + name + ": " + reasonText(EISDIR) : notRegular(name);
}

bool writeFileAtomic(const std::string& name, const std::string& data, std::string* error) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  auto failWith = [&](int err) { return fail("cannot write " + name + ": " + reasonText(err)); };
  // Written through a link: replacing the link by a file would leave the user's real
  // file with the old content.
  const std::string path = throughLinks(osPath(name));
  if (path.empty()) return failWith(ELOOP);
  const std::string dir = folderOf(path);
  const std::string base = baseOf(path);
  if (base.empty()) return failWith(EISDIR);

  if (std::string refused = refusedTarget(name); !refused.empty()) return fail(refused);
  struct stat target{};
  const bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists &&
      ((target.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES)))
    return fail("is write-protected: " + name);

  std::string tmp;
  int err = 0;
  const int fd = writeTemporary(dir, base, data, exists ? static_cast<int>(target.st_mode & 07777) : -1, tmp, err);
  if (fd < 0) return failWith(err);
  // Keeps the permissions of the file being replaced (given above).
  if (::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    ::close(fd);
    return failWith(err);
  }
  ::close(fd);  // the data is on disk already (fsync above)
  syncFolder(dir);
  removeStaleTemporaries(dir, base);
  return true;
}

NewFile createNewFile(const std::string& name, const std::string& data, std::string* error) {
  auto fail = [&](int err) {
    if (error) *error = "cannot write " + name + ": " + reasonText(err);
    return NewFile::Failed;
  };
  const std::string path = osPath(name);
  const std::string dir = folderOf(path);
  const std::string base = baseOf(path);
  if (base.empty()) return fail(EISDIR);
  std::string tmp;
  int err = 0;
  const int fd = writeTemporary(dir, base, data, -1, tmp, err);
  if (fd < 0) return fail(err);
  // A link, unlike a rename, never replaces what is there: the name is taken whole or
  // not at all.
  const bool linked = ::link(tmp.c_str(), path.c_str()) == 0;
  err = linked ? 0 : errno;
  ::unlink(tmp.c_str());
  ::close(fd);
  if (linked) {
    syncFolder(dir);
    return NewFile::Created;
  }
  if (err == EEXIST) return NewFile::Exists;
  if (err != EPERM && err != EOPNOTSUPP && err != ENOSYS) return fail(err);
  // A file system without links: created exclusively, and taken away again when the
  // bytes do not all arrive.
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (out < 0) return errno == EEXIST ? NewFile::Exists : fail(errno);
  std::size_t done = 0;
  err = 0;
  while (done < data.size() && err == 0) {
    const ssize_t n = writeSome(out, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      err = n < 0 ? errno : ENOSPC;
    else
      done += static_cast<std::size_t>(n);
  }
  if (!err && ::fsync(out) != 0) err = errno;
  ::close(out);
  if (err) {
    ::unlink(path.c_str());
    return fail(err);
  }
  return NewFile::Created;
}

bool fileExists(const std::string& path) { return fileState(path) == FileState::Regular; }

bool fileMissing(const std::string& path) { return fileState(path) == FileState::Missing; }

bool modifiedLater(const std::string& path, const std::string& than) {
  struct stat a{}, b{};
  if (::stat(osPath(path).c_str(), &a) != 0 || ::stat(osPath(than).c_str(), &b) != 0) return false;
  if (a.st_mtim.tv_sec != b.st_mtim.tv_sec) return a.st_mtim.tv_sec > b.st_mtim.tv_sec;
  return a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

bool isExecutableFile(const std::string& path) {
  const std::string os = osPath(path);
  struct stat st{};
  return ::stat(os.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(os.c_str(), X_OK) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  struct stat sa{}, sb{};
  if (::stat(osPath(a).c_str(), &sa) != 0 || ::stat(osPath(b).c_str(), &sb) != 0) return a == b;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool dirExists(const std::string& path) {
  struct stat st{};
  return ::stat(osPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const std::string& path, std::string* error) {
  if (::unlink(osPath(path).c_str()) == 0 || errno == ENOENT) return true;
  if (error) *error = "cannot remove " + path + ": " + reasonText(errno);
  return false;
}

}  // namespace wux::platform

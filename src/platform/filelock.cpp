#include "platform/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux::platform {

namespace {
bool fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}
}  // namespace

bool LockedFile::open(const std::string& path, std::string* error) {
  release();
  const std::string os = osPath(path);
  // A FIFO or a device is never held as a document: reading it would wait or never end.
  if (std::string why; fileState(path, &why) == FileState::Unreadable) return fail(error, why);
  int fd = ::open(os.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(error, path + ": " + reasonText(errno));
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return fail(error, path + " is not a regular file");
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    ::close(fd);
    return fail(error, path + ": " + (e == EWOULDBLOCK ? std::string("locked by another program") : reasonText(e)));
  }
  fd_ = fd;
  path_ = path;
  return true;
}

void LockedFile::release() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
  fd_ = -1;
  path_.clear();
}

bool LockedFile::readAll(std::string& out, std::string* error) {
  if (fd_ < 0) return fail(error, "no file is held");
  out.clear();
  if (::lseek(fd_, 0, SEEK_SET) < 0) return fail(error, path_ + ": " + reasonText(errno));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(error, path_ + ": " + reasonText(errno));
    if (n == 0) return true;
    out.append(buf, static_cast<std::size_t>(n));
  }
}

bool LockedFile::rewrite(const std::string& data, std::string* error) {
  if (fd_ < 0) return fail(error, "no file is held");
  const std::string copy = dirOf(path_) + "." + fileNameOf(path_) + ".wux-new";
  std::string why;
  if (!writeFileAtomic(copy, data, &why)) return fail(error, why);
  auto broken = [&](int e) {
    return fail(error, path_ + ": " + reasonText(e) + "; the new text is kept in " + copy);
  };
  if (::lseek(fd_, 0, SEEK_SET) < 0) return broken(errno);
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return broken(n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  if (::ftruncate(fd_, static_cast<off_t>(data.size())) != 0) return broken(errno);
  if (::fsync(fd_) != 0) return broken(errno);
  ::unlink(osPath(copy).c_str());
  return true;
}

}  // namespace wux::platform

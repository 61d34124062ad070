// Saving as trusted editors do: the old file or the new one, never half of either; the
// link, the protection and the reason of a failure all respected.
#include "platform/files.h"
#include "platform/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "support/file_text.h"

namespace fs = std::filesystem;
using namespace wux::platform;

namespace {

using wux::test::fileText;

struct Folder {
  fs::path path;
  Folder() {
    std::string tmpl = (fs::temp_directory_path() / "wux-files-XXXXXX").string();
    path = ::mkdtemp(tmpl.data());
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string str(const std::string& name) const { return (path / name).string(); }
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (auto& e : fs::directory_iterator(path)) names.insert(e.path().filename().string());
    return names;
  }
};

void put(const std::string& p, const std::string& data) { std::ofstream(p, std::ios::binary) << data; }

// A disk that fills up after a few bytes.
ssize_t fullDisk(int fd, const void* data, std::size_t size) {
  if (size > 5) return ::write(fd, data, 5);
  errno = ENOSPC;
  return -1;
}

ssize_t brokenDisk(int, const void*, std::size_t) {
  errno = EIO;
  return -1;
}

}  // namespace

TEST(AtomicWrite, StaleTemporariesGoAtTheNextSuccessfulSave) {
  Folder dir;
  const std::string target = dir.str("a.mxh");
  // Left behind by three killed saves of a.mxh ...
  put(dir.str(".a.mxh.00000000deadbeef.tmp"), "half");
  put(dir.str(".a.mxh.0123456789abcdef.tmp"), "half");
  put(dir.str(".a.mxh.fedcba9876543210.tmp"), "half");
  // ... and files that only look like them, or belong to another file or a live save.
  put(dir.str(".b.mxh.00000000deadbeef.tmp"), "other file");
  put(dir.str(".a.mxh.0123456789ABCDEF.tmp"), "not our spelling");
  put(dir.str(".a.mxh.0123.tmp"), "too short");
  put(dir.str("a.mxh.00000000deadbeef.tmp"), "not hidden");
  put(dir.str(".a.mxh.1111111111111111.tmp"), "being written");
  int live = ::open(dir.str(".a.mxh.1111111111111111.tmp").c_str(), O_RDONLY);
  ASSERT_GE(live, 0);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);

  // A failed save removes nothing.
  WriteCall prev = setWriteCall(brokenDisk);
  EXPECT_FALSE(writeFileAtomic(target, "new"));
  setWriteCall(prev);
  EXPECT_EQ(dir.entries().size(), 8u);

  std::string error;
  ASSERT_TRUE(writeFileAtomic(target, "new", &error)) << error;
  ::close(live);
  EXPECT_EQ(fileText(target), "new");
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"a.mxh", ".b.mxh.00000000deadbeef.tmp",
                                                    ".a.mxh.0123456789ABCDEF.tmp", ".a.mxh.0123.tmp",
                                                    "a.mxh.00000000deadbeef.tmp", ".a.mxh.1111111111111111.tmp"}));
}

TEST(AtomicWrite, ProtectedTargetsLinksAndFailuresKeepTheUsersFile) {
  Folder dir;
  std::string error;

  // Write-protected in a writable folder: refused, even for a user who could override it.
  const std::string locked = dir.str("locked.mxh");
  put(locked, "old");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(writeFileAtomic(locked, "new", &error));
  EXPECT_EQ(error, "is write-protected: " + locked);
  EXPECT_EQ(fileText(locked), "old");

  // A link is written through: it stays a link and the file it names gets the data,
  // with a relative link resolved from the link's own folder.
  fs::create_directory(dir.path / "real");
  const std::string real = dir.str("real/notes.mxh");
  put(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/notes.mxh", dir.path / "link.mxh");
  fs::create_symlink(dir.path / "link.mxh", dir.path / "link2.mxh");
  ASSERT_TRUE(writeFileAtomic(dir.str("link2.mxh"), "through two links", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.path / "link.mxh"));
  EXPECT_TRUE(fs::is_symlink(dir.path / "link2.mxh"));
  EXPECT_EQ(fileText(real), "through two links");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"locked.mxh", "real", "link.mxh", "link2.mxh"}));
  // A link that leads round in a circle is no file at all.
  fs::create_symlink("loop2", dir.path / "loop1");
  fs::create_symlink("loop1", dir.path / "loop2");
  EXPECT_FALSE(writeFileAtomic(dir.str("loop1"), "x", &error));
  EXPECT_NE(error.find("too many levels of symbolic links"), std::string::npos) << error;

  // A full disk part-way through: the reason is named, the old file stays, nothing is left.
  const std::string book = dir.str("book.mxh");
  put(book, "old");
  WriteCall prev = setWriteCall(fullDisk);
  EXPECT_FALSE(writeFileAtomic(book, "a text longer than five bytes", &error));
  setWriteCall(prev);
  EXPECT_EQ(error, "cannot write " + book + ": no space left on device");
  EXPECT_EQ(fileText(book), "old");

  // A folder squatting on the name.
  fs::create_directory(dir.path / "squat.mxh");
  EXPECT_FALSE(writeFileAtomic(dir.str("squat.mxh"), "x", &error));
  EXPECT_EQ(error, "cannot write " + dir.str("squat.mxh") + ": is a directory");
  // A folder that is not there.
  EXPECT_FALSE(writeFileAtomic(dir.str("none/x.mxh"), "x", &error));
  EXPECT_EQ(error, "cannot write " + dir.str("none/x.mxh") + ": no such file or directory");
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"locked.mxh", "real", "link.mxh", "link2.mxh", "loop1", "loop2",
                                                  "book.mxh", "squat.mxh"}));
}

// "Not Found" is only for a name with nothing behind it: a name that is there but cannot
// be read is not missing, and reading it says why.
TEST(Files, OnlyANameWithNothingBehindItIsMissing) {
  Folder f;
  put(f.str("plain.mxh"), "notes");
  EXPECT_FALSE(fileMissing(f.str("plain.mxh")));
  EXPECT_TRUE(fileMissing(f.str("none.mxh")));
  EXPECT_TRUE(fileMissing(f.str("plain.mxh/under.mxh")));  // a file is no folder
  EXPECT_TRUE(fileMissing(""));
  ASSERT_EQ(::symlink("gone.mxh", f.str("dangling.mxh").c_str()), 0);
  EXPECT_TRUE(fileMissing(f.str("dangling.mxh")));

  std::string data = "left", why;
  ASSERT_EQ(::symlink("loop.mxh", f.str("loop.mxh").c_str()), 0);
  EXPECT_FALSE(fileMissing(f.str("loop.mxh")));
  EXPECT_FALSE(readFile(f.str("loop.mxh"), data, &why));
  EXPECT_EQ(why, reasonText(ELOOP));

  fs::create_directory(f.path / "folder.mxh");
  EXPECT_FALSE(fileMissing(f.str("folder.mxh")));
  why.clear();
  EXPECT_FALSE(readFile(f.str("folder.mxh"), data, &why));
  EXPECT_EQ(why, reasonText(EISDIR));
}

// A FIFO or a device under a note's or a notebook's name is neither read (a FIFO waits
// for a writer, /dev/zero never ends) nor replaced by a plain file; the three states
// tell missing from there-but-unusable, with the reason. (Only files of the test's own
// folder are ever written to: a device of the system is only read.)
TEST(Files, SpecialFilesAreNeitherReadNorReplaced) {
  Folder f;
  const std::string fifo = f.str("fifo.mxh"), link = f.str("link.mxh");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  ASSERT_EQ(::symlink("fifo.mxh", link.c_str()), 0);
  put(f.str("plain.mxh"), "notes");

  std::string why, data = "left";
  std::uint64_t size = 0;
  EXPECT_EQ(fileState(f.str("plain.mxh"), &why, &size), FileState::Regular);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(fileState(f.str("none.mxh")), FileState::Missing);
  EXPECT_EQ(fileState(f.path.string(), &why), FileState::Unreadable);
  EXPECT_EQ(why, f.path.string() + " is not a regular file");
  for (const std::string& p : {fifo, link, std::string("/dev/zero")}) {
    EXPECT_EQ(fileState(p, &why), FileState::Unreadable) << p;
    EXPECT_EQ(why, p + " is not a regular file");
    EXPECT_FALSE(readFile(p, data, &why)) << p;
    EXPECT_EQ(why, p + " is not a regular file");
    LockedFile held;
    EXPECT_FALSE(held.open(p, &why)) << p;
    EXPECT_EQ(why, p + " is not a regular file");
    if (p == "/dev/zero") continue;
    EXPECT_FALSE(writeFileAtomic(p, "x", &why)) << p;
    EXPECT_EQ(why, p + " is not a regular file");
  }
  ASSERT_EQ(::symlink("loop.mxh", f.str("loop.mxh").c_str()), 0);
  EXPECT_EQ(fileState(f.str("loop.mxh"), &why), FileState::Unreadable);
  EXPECT_EQ(why, f.str("loop.mxh") + ": " + reasonText(ELOOP));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(f.entries(), (std::set<std::string>{"fifo.mxh", "link.mxh", "plain.mxh", "loop.mxh"}));
}

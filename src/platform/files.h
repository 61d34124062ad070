#pragma once
// File access that never leaves a half-written file where a good one was.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace wux::platform {

// Paths are program text (Shift_JIS) and are converted for the file system here.

// What is behind a name, links followed: nothing (or nothing under a link in it), a
// regular file, or something that is there but is no regular file or cannot be examined
// (a folder, a FIFO, a device, a link loop, a folder without permission).
enum class FileState { Missing, Regular, Unreadable };
// For Unreadable, `reason` (when given) says why: "<path> is not a regular file", or the
// path and the system's reason. For Regular, `size` (when given) is its size in bytes.
FileState fileState(const std::string& path, std::string* reason = nullptr, std::uint64_t* size = nullptr);

// Reads a whole regular file; false when it cannot be opened or read, and then `error`
// (when given) is the reason: the system's ("permission denied", "is a directory"), or
// "<path> is not a regular file" for a FIFO or a device, which are never read (a FIFO would
// wait for a writer, a device could deliver without end). Reads at most the size the
// file had when it was opened.
bool readFile(const std::string& path, std::string& out, std::string* error = nullptr);
// Writes to a temporary file in the target's folder, flushes and fsyncs it, renames it
// over the target and fsyncs the folder. A target that is a symbolic link is written
// through the link (the link stays, the file it names gets the data); a target without
// any write permission is refused ("is write-protected: <path>"), and so is a target
// that is there but is no regular file, such as a device or a FIFO ("<path> is not a
// regular file"): a device must never become a plain file. On any failure the
// old file is untouched, the temporary file is removed, false is returned and `error`
// (when given) names the path and the reason. After a successful write, temporaries of
// the same target left by an earlier write that was killed are removed.
bool writeFileAtomic(const std::string& path, const std::string& data, std::string* error = nullptr);
// Creates the file `name` holding `data`, never replacing anything: the bytes are written
// and synced beside it first and appear under the name only whole. Exists when the name
// is taken; Failed with `error` (the path and the reason), leaving nothing behind.
enum class NewFile { Created, Exists, Failed };
NewFile createNewFile(const std::string& name, const std::string& data, std::string* error = nullptr);
// fileState(path) == Regular: for callers that only need a readable kind of file.
bool fileExists(const std::string& path);
// fileState(path) == Missing: what "Not Found" means. A name that exists but cannot be
// examined or read is not missing; fileState tells why.
bool fileMissing(const std::string& path);
// Why writeFileAtomic would refuse `path` before writing a byte: something is there
// that is no regular file ("<path> is not a regular file"; for a folder "cannot write
// <path>: is a directory"). Empty when it may be written. Callers that ask a question
// about the target first ask this, so nobody is asked about a target that is refused.
std::string refusedTarget(const std::string& path);
// A regular file this process may run.
bool isExecutableFile(const std::string& path);
bool dirExists(const std::string& path);
// Whether the file `path` was last modified later than the file `than`; false when
// either cannot be looked at.
bool modifiedLater(const std::string& path, const std::string& than);
// Whether two names reach one file (through links and relative forms alike); names of
// files that do not exist are compared as texts. An empty name reaches nothing.
bool sameFile(const std::string& a, const std::string& b);
// Removes a file; true when it is gone afterwards (a file that was never there counts).
// On failure `error` (when given) names the path and the reason.
bool removeFile(const std::string& path, std::string* error = nullptr);

// The reason of a failed system call, as a message ends with it: "no space left on device".
std::string reasonText(int err);

// For tests: replaces the call that writes the temporary file's bytes (nullptr restores
// ::write), so a full disk or an I/O error can be simulated. Returns the previous one.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
WriteCall setWriteCall(WriteCall call);

}  // namespace wux::platform

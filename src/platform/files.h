#pragma once
// File access that never leaves a half-written file where a good one was.
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace wux::platform {

// Paths are program text (Shift_JIS) and are converted for the file system here.

// Reads a whole file; false when it cannot be opened or read, and then `error` (when
// given) is the system's reason ("permission denied").
bool readFile(const std::string& path, std::string& out, std::string* error = nullptr);
// Writes to a temporary file in the target's folder, flushes and fsyncs it, renames it
// over the target and fsyncs the folder. A target that is a symbolic link is written
// through the link (the link stays, the file it names gets the data); a target without
// any write permission is refused ("is write-protected: <path>"). On any failure the
// old file is untouched, the temporary file is removed, false is returned and `error`
// (when given) names the path and the reason. After a successful write, temporaries of
// the same target left by an earlier write that was killed are removed.
bool writeFileAtomic(const std::string& path, const std::string& data, std::string* error = nullptr);
// Creates the file `name` holding `data`, never replacing anything: the bytes are written
// and synced beside it first and appear under the name only whole. Exists when the name
// is taken; Failed with `error` (the path and the reason), leaving nothing behind.
enum class NewFile { Created, Exists, Failed };
NewFile createNewFile(const std::string& name, const std::string& data, std::string* error = nullptr);
// A regular file that can be examined. False also for a name that is there but cannot be
// examined (a link loop, a folder without permission) or is no file: see fileMissing.
bool fileExists(const std::string& path);
// Nothing is there under the name (nor under a link in it): what "Not Found" means. A name
// that exists but cannot be examined or read is not missing; reading it tells why.
bool fileMissing(const std::string& path);
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

#pragma once
// File access that never leaves a half-written file where a good one was.
#include <string>

namespace wux::platform {

// Paths are program text (Shift_JIS) and are converted for the file system here.

// Reads a whole file; false when it cannot be opened or read.
bool readFile(const std::string& path, std::string& out);
// Writes to a temporary file in the same folder, flushes and fsyncs it, then renames it
// over `path`. On any failure the old file is untouched, the temporary file is removed
// and false is returned.
bool writeFileAtomic(const std::string& path, const std::string& data);
bool fileExists(const std::string& path);
bool dirExists(const std::string& path);

}  // namespace wux::platform

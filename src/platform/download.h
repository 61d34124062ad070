#pragma once
// Fetching a web address into a local file. The target is written only when the whole
// transfer succeeded: the bytes go to a temporary file beside it, which is renamed over
// the target at the end, so a failed or interrupted download never leaves a partial file.
#include <string>

namespace wux::platform {

struct DownloadOptions {
  long connectTimeoutSeconds = 20;
  long totalTimeoutSeconds = 300;
  long maxRedirects = 10;
};

// Downloads `url` (http or https only) to `path`, following redirects; an HTTP status of
// 400 or above is a failure. On failure returns false, leaves `path` as it was and puts
// a one-line reason into `error` when given. `path` is program text (Shift_JIS).
bool downloadToFile(const std::string& url, const std::string& path, std::string* error = nullptr,
                    const DownloadOptions& options = {});

}  // namespace wux::platform

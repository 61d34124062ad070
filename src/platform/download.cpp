#include "platform/download.h"

#include "platform/curlglobal.h"
#include "platform/textconv.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace wux::platform {
namespace {

struct Sink {
  int fd = -1;
  bool failed = false;
};

size_t writeChunk(char* data, size_t size, size_t n, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t total = size * n;
  size_t done = 0;
  while (done < total) {
    ssize_t w = ::write(sink->fd, data + done, total - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      sink->failed = true;
      return 0;  // makes curl stop with a write error
    }
    done += static_cast<size_t>(w);
  }
  return total;
}

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

bool downloadToFile(const std::string& url, const std::string& name, std::string* error,
                    const DownloadOptions& options) {
  const std::string path = osPath(name);
  if (path.empty()) {
    setError(error, "no target file name");
    return false;
  }
  initCurlOnce();

  std::string dir = ".";
  std::size_t slash = path.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : path.substr(0, slash);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmpl = (dir == "/" ? std::string("/") : dir + "/") + "." + base + ".part-XXXXXX";
  std::string tmp = tmpl;
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    setError(error, std::string("cannot create a file in ") + dir + ": " + std::strerror(errno));
    return false;
  }

  // mkstemp makes the file private; a downloaded file gets the usual permissions.
  ::fchmod(fd, 0644);
  Sink sink;
  sink.fd = fd;
  CURL* curl = curl_easy_init();
  if (!curl) {
    ::close(fd);
    ::unlink(tmp.c_str());
    setError(error, "cannot start a transfer");
    return false;
  }
  char curlError[CURL_ERROR_SIZE] = {0};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "wux");
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeChunk);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);

  CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);

  bool ok = rc == CURLE_OK && !sink.failed;
  if (!ok) {
    std::string why = sink.failed ? std::string("cannot write ") + tmp
                      : curlError[0] ? std::string(curlError)
                                     : std::string(curl_easy_strerror(rc));
    setError(error, why);
  }
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    setError(error, std::string("cannot write ") + tmp);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    setError(error, std::string("cannot write ") + tmp);
  }
  if (ok) {
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
      ok = false;
      setError(error, std::string("cannot rename to ") + path + ": " + std::strerror(errno));
    }
  }
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace wux::platform

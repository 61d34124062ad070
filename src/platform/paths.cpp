#include "platform/paths.h"

#include "platform/textconv.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace wux::platform {
namespace {

bool isLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Calls f(pos) for every single-byte character position.
template <class F>
void forEachSingle(std::string_view s, F f) {
  for (std::size_t i = 0; i < s.size();) {
    if (i + 1 < s.size() && isLead(static_cast<unsigned char>(s[i])) &&
        isTrail(static_cast<unsigned char>(s[i + 1]))) {
      i += 2;
      continue;
    }
    f(i);
    ++i;
  }
}

std::vector<std::string> splitParts(std::string_view path) {
  std::vector<std::string> parts;
  std::string slashed = toSlashes(path);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= slashed.size(); ++i) {
    if (i == slashed.size() || slashed[i] == '/') {
      parts.emplace_back(slashed.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

std::string tempDir() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? fromOsName(t) : std::string("/tmp/");
  if (dir.back() != '/') dir += '/';
  return dir;
}

namespace {
// An XDG base folder: the variable when set, else `fallback` under the home folder.
std::string xdgDir(const char* variable, const char* fallback) {
  const char* xdg = std::getenv(variable);
  std::string base;
  if (xdg && *xdg) {
    base = fromOsName(xdg);
  } else {
    const char* home = std::getenv("HOME");
    base = (home && *home) ? fromOsName(home) : std::string(".");
    if (base.back() != '/') base += '/';
    base += fallback;
  }
  if (base.back() != '/') base += '/';
  return base;
}
}  // namespace

std::string configHomeDir() { return xdgDir("XDG_CONFIG_HOME", ".config"); }
std::string dataHomeDir() { return xdgDir("XDG_DATA_HOME", ".local/share"); }
std::string settingsDir() { return configHomeDir() + "wux/"; }

std::string currentDir() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return "./";
    buf.resize(buf.size() * 2);
  }
  std::string dir = fromOsName(buf.data());
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string toSlashes(std::string_view path) {
  std::string out(path);
  forEachSingle(path, [&](std::size_t i) {
    if (out[i] == '\\') out[i] = '/';
  });
  return out;
}

std::size_t lastSeparator(std::string_view path) {
  std::size_t last = std::string::npos;
  forEachSingle(path, [&](std::size_t i) {
    if (path[i] == '/' || path[i] == '\\') last = i;
  });
  return last;
}

std::string fileNameOf(std::string_view path) {
  std::size_t p = lastSeparator(path);
  return std::string(p == std::string::npos ? path : path.substr(p + 1));
}

std::string dirOf(std::string_view path) {
  std::size_t p = lastSeparator(path);
  return p == std::string::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string extOf(std::string_view path) {
  std::string name = fileNameOf(path);
  std::size_t dot = std::string::npos;
  forEachSingle(name, [&](std::size_t i) {
    if (name[i] == '.') dot = i;
  });
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string changeExt(std::string_view path, std::string_view ext) {
  std::string old = extOf(path);
  std::string out(path.substr(0, path.size() - old.size()));
  out += ext;
  return out;
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && (path[0] == '/'); }

std::string normalizePath(std::string_view path) {
  bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::vector<std::string> parts = splitParts(path);
  bool trailing = !parts.empty() && parts.back().empty() && parts.size() > 1;
  std::vector<std::string> out;
  for (const std::string& p : parts) {
    if (p.empty() || p == ".") continue;
    if (p == "..") {
      if (!out.empty() && out.back() != "..") {
        out.pop_back();
      } else if (!absolute) {
        out.push_back(p);
      }
      continue;
    }
    out.push_back(p);
  }
  std::string result = absolute ? "/" : "";
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i) result += '/';
    result += out[i];
  }
  if (trailing && !out.empty()) result += '/';
  if (result.empty()) result = ".";
  return result;
}

std::string resolvePath(std::string_view name, std::string_view baseDir) {
  std::string slashed = toSlashes(name);
  if (isAbsolutePath(slashed)) return normalizePath(slashed);
  std::string base = baseDir.empty() ? currentDir() : toSlashes(baseDir);
  if (base.back() != '/') base += '/';
  return normalizePath(base + slashed);
}

std::string relativePath(std::string_view target, std::string_view base) {
  std::string baseDir = toSlashes(base);
  // A base that is a file name counts by its directory.
  if (baseDir.empty() || baseDir.back() != '/') baseDir = dirOf(baseDir);
  std::vector<std::string> t = splitParts(normalizePath(target));
  std::vector<std::string> b = splitParts(normalizePath(baseDir.empty() ? "." : baseDir));
  auto dropEmpty = [](std::vector<std::string>& v) {
    std::vector<std::string> r;
    for (auto& s : v)
      if (!s.empty() && s != ".") r.push_back(s);
    v = std::move(r);
  };
  dropEmpty(t);
  dropEmpty(b);
  std::size_t common = 0;
  while (common < t.size() && common < b.size() && t[common] == b[common]) ++common;
  std::string out;
  if (common == b.size()) out = "./";
  for (std::size_t i = common; i < b.size(); ++i) out += "../";
  for (std::size_t i = common; i < t.size(); ++i) {
    out += t[i];
    if (i + 1 < t.size()) out += '/';
  }
  return out;
}

bool makeDirs(const std::string& dir) {
  std::string d = toSlashes(dir);
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  if (d.empty()) return false;
  const std::string os = osPath(d);
  struct stat st{};
  if (::stat(os.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::size_t slash = d.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (!makeDirs(d.substr(0, slash))) return false;
  }
  if (::mkdir(os.c_str(), 0777) != 0 && errno != EEXIST) return false;
  return ::stat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace wux::platform

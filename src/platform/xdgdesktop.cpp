#include "platform/xdgdesktop.h"

#include <algorithm>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/textconv.h"

namespace wux::platform {

namespace {

// The escapes every string value of a desktop entry understands.
void appendStringEscaped(std::string& out, char c) {
  switch (c) {
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\t': out += "\\t"; break;
    case '\r': out += "\\r"; break;
    default: out += c;
  }
}

std::string trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// The text as lines, each with its own line end (the last may have none).
std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l;
  return out;
}

constexpr std::string_view kDefaults = "[Default Applications]";

bool isSectionHeader(const std::string& line) { return trimmed(line).starts_with('['); }
bool isDefaultsHeader(const std::string& line) { return trimmed(line) == kDefaults; }

// "key=value" split at the first "=", both trimmed; false for other lines.
bool keyValue(const std::string& line, std::string& key, std::string& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = trimmed(std::string_view(line).substr(0, eq));
  value = trimmed(std::string_view(line).substr(eq + 1));
  return !key.empty();
}

bool isOneOf(const std::string& key, const std::vector<std::string>& mimeTypes) {
  return std::find(mimeTypes.begin(), mimeTypes.end(), key) != mimeTypes.end();
}

// The end of the section whose header is at `header`: the next header, or the end.
std::size_t sectionEnd(const std::vector<std::string>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && !isSectionHeader(lines[i])) ++i;
  return i;
}

}  // namespace

std::string desktopEntryString(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // A leading blank would be taken for the blank after "=".
    if (i == 0 && utf8[i] == ' ')
      out += "\\s";
    else
      appendStringEscaped(out, utf8[i]);
  }
  return out;
}

std::string desktopExecArgument(std::string_view utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) appendStringEscaped(out, c);
  return out;
}

std::string addDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                   const std::string& desktopId) {
  std::vector<std::string> lines = splitLines(text);
  std::vector<std::string> missing = mimeTypes;
  std::size_t insertAt = std::string::npos;
  for (std::size_t h = 0; h < lines.size(); ++h) {
    if (!isDefaultsHeader(lines[h])) continue;
    const std::size_t end = sectionEnd(lines, h);
    std::size_t lastEntry = h;
    for (std::size_t i = h + 1; i < end; ++i) {
      std::string key, value;
      if (!trimmed(lines[i]).empty()) lastEntry = i;
      if (!keyValue(lines[i], key, value) || !isOneOf(key, mimeTypes)) continue;
      const bool crlf = lines[i].ends_with("\r\n");
      lines[i] = key + "=" + desktopId + (crlf ? "\r\n" : "\n");
      std::erase(missing, key);
    }
    if (insertAt == std::string::npos) insertAt = lastEntry + 1;
  }
  if (missing.empty()) return joinLines(lines);

  // New lines end as the file's lines do.
  const std::string eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::vector<std::string> added;
  for (const std::string& type : missing) added.push_back(type + "=" + desktopId + eol);
  if (insertAt == std::string::npos) {
    if (!lines.empty() && !lines.back().ends_with('\n')) lines.back() += eol;
    if (!lines.empty() && !trimmed(lines.back()).empty()) lines.emplace_back(eol);
    lines.emplace_back(std::string(kDefaults) + eol);
    insertAt = lines.size();
  } else if (insertAt == lines.size() && !lines.back().ends_with('\n')) {
    lines.back() += eol;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(), added.end());
  return joinLines(lines);
}

std::string removeDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                      const std::string& desktopId) {
  std::vector<std::string> lines = splitLines(text);
  std::size_t h = 0;
  while (h < lines.size()) {
    if (!isDefaultsHeader(lines[h])) {
      ++h;
      continue;
    }
    std::size_t end = sectionEnd(lines, h);
    bool removedAny = false;
    for (std::size_t i = h + 1; i < end;) {
      std::string key, value;
      if (keyValue(lines[i], key, value) && isOneOf(key, mimeTypes) &&
          (value == desktopId || value == desktopId + ";")) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        --end;
        removedAny = true;
      } else {
        ++i;
      }
    }
    const bool empty = std::all_of(lines.begin() + static_cast<std::ptrdiff_t>(h + 1),
                                   lines.begin() + static_cast<std::ptrdiff_t>(end),
                                   [](const std::string& l) { return trimmed(l).empty(); });
    if (removedAny && empty) {
      // The blank line that set the section apart goes with it.
      std::size_t from = h;
      if (from > 0 && trimmed(lines[from - 1]).empty()) --from;
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.begin() + static_cast<std::ptrdiff_t>(end));
      h = from;
    } else {
      h = end;
    }
  }
  return joinLines(lines);
}

std::string desktopDir() {
  std::string answer;
  int status = -1;
  const bool ran = runCommandLines("", "xdg-user-dir DESKTOP", [&](std::string&& line, bool) {
    if (answer.empty()) answer = std::move(line);
  }, &status);
  std::string dir;
  if (ran && status == 0 && isAbsolutePath(answer)) {
    dir = answer;
  } else {
    const char* home = std::getenv("HOME");
    dir = (home && *home) ? fromOsName(home) : std::string(".");
    if (dir.back() != '/') dir += '/';
    dir += "Desktop";
  }
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace wux::platform

#include "model/records/MemoBasic.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>

#include "model/Prompter.h"
#include "model/clock.h"
#include "model/errors.h"
#include "model/lists.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/download.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux {
namespace {

struct ExtRow {
  const char* exts;  // blank-separated, each with its dot
  const char* type;
  const char* encoding;
  bool body;
};

// Which files become a note's content part and which become its text.
const ExtRow kExtTable[] = {
    {".jpe .jpg .jpeg", "image/jpeg", "binary", false},
    {".bmp", "image/bmp", "binary", false},
    {".png", "image/png", "binary", false},
    {".tif", "image/tiff", "binary", false},
    {".gif", "image/gif", "binary", false},
    {".ico", "image/ico", "binary", false},
    {".wmf .emf", "image/x-wmf", "binary", false},
    {".txt .log .asm .awk .csh .dtd .sh .eml .el .lsp .lisp .ini .bat .wsh .pas .inc .pl .bas .c .cpp "
     ".h .py .rb .php .csv",
     "text/plan", "8bit", true},
    {".cr2 .lt2 .pz3 .pz2 .pp2 .hd2 .fc2", "text/plan", "Poser", true},
    {".tv", "text/plan", "PoserLike", true},
    {".html .htm .shtml .shtm .phtml .phtm", "text/html", "8bit", true},
    {".xml", "text/xml", "8bit", true},
    {".sgm .sgml", "test/sgml", "8bit", true},
    {".css", "text/css", "8bit", true},
    {".js", "text/javascript", "8bit", true},
    {".java", "text/x-java-source", "8bit", true},
    {".tex", "application/x-tex", "8bit", true},
};

const ExtRow* findExt(const std::string& ext) {
  if (ext.empty()) return nullptr;
  for (const ExtRow& row : kExtTable) {
    std::string_view list = row.exts;
    std::size_t start = 0;
    while (start < list.size()) {
      std::size_t end = list.find(' ', start);
      if (end == std::string_view::npos) end = list.size();
      if (list.substr(start, end - start) == ext) return &row;
      start = end + 1;
    }
  }
  return nullptr;
}

bool containsText(const std::string& text, const std::string& pattern, bool ignoreCase) {
  return (ignoreCase ? sjis::findIgnoreCase(text, pattern) : sjis::find(text, pattern)) != std::string::npos;
}

// A 24-bit BMP of the given size, every pixel white.
std::string whiteBitmap(int width, int height) {
  const int rowSize = (width * 3 + 3) / 4 * 4;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(rowSize * height);
  const std::uint32_t fileSize = 54 + imageSize;
  std::string out;
  auto u16 = [&](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  out += "BM";
  u32(fileSize);
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<std::uint32_t>(width));
  u32(static_cast<std::uint32_t>(height));
  u16(1);
  u16(24);
  u32(0);
  u32(imageSize);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  std::string row(static_cast<std::size_t>(rowSize), '\0');
  for (int x = 0; x < width * 3; ++x) row[static_cast<std::size_t>(x)] = static_cast<char>(0xFF);
  for (int y = 0; y < height; ++y) out += row;
  return out;
}

// A ".sh" file or one that starts "#!" is a script for this system's shell, which takes
// a CR before the line end as part of the line's last word: it is written with LF alone.
std::string bodyText(const StringList& body, const std::string& fileName) {
  const bool script = sjis::lower(platform::extOf(fileName)) == ".sh" ||
                      (!body.empty() && body[0].compare(0, 2, "#!") == 0);
  if (!script) return body.text();
  return body.empty() ? std::string() : body.join("\n") + "\n";
}

}  // namespace

std::string QuoteValue(const std::string& bare) { return "\"" + bare + "\""; }
std::string QuoteEscaped(const std::string& stored) { return "\"" + EscapeHTML(Dequote(stored)) + "\""; }

MemoBasic::MemoBasic(TObjectNamed* owner) : TObjectNamed(owner) {}
MemoBasic::~MemoBasic() = default;

int MemoBasic::clear_() {
  TObjectNamed::clear_();
  if (body_) body_->clear(); else body_ = std::make_unique<StringList>();
  if (fields_) fields_->clear(); else fields_ = std::make_unique<StringList>();
  if (content_) content_->clear_();
  return 0;
}

TObjectNamed* MemoBasic::deepCopy() const { return DeepCopyOf(*this); }

void MemoBasic::copyFrom_(const TObjectNamed& source) {
  TObjectNamed::copyFrom_(source);
  auto* src = dynamic_cast<const MemoBasic*>(&source);
  if (!src || src == this) return;
  if (!fields_) fields_ = std::make_unique<StringList>();
  if (!body_) body_ = std::make_unique<StringList>();
  if (src->fields_) *fields_ = *src->fields_; else fields_->clear();
  if (src->body_) *body_ = *src->body_; else body_->clear();
  if (src->comment_) {
    ensureComment() = *src->comment_;
  } else if (comment_) {
    comment_->clear();
  }
  if (src->content_) {
    ensureContent().clear_();
    content_->copyFrom_(*src->content_);
  } else {
    freeContent();
  }
  lostOnLoad_ = src->lostOnLoad_;
  lostFrom_ = src->lostFrom_;
  read_ = src->read_;
}

StringList& MemoBasic::ensureComment() {
  if (!comment_) comment_ = std::make_unique<StringList>();
  return *comment_;
}

TContent& MemoBasic::ensureContent() {
  if (!content_) content_ = Create<TContent>(nullptr);
  return *content_;
}

void MemoBasic::freeContent() { content_.reset(); }

// ---- fields ---------------------------------------------------------------------------

int MemoBasic::getIndexField_(const std::string& name) const {
  if (!fields_) return -1;
  return fields_->indexOfName(name);
}

std::string MemoBasic::getField_(const std::string& name) const {
  int i = getIndexField_(name);
  return i < 0 ? std::string() : fields_->valueFromIndex(i);
}

int MemoBasic::putField_(const std::string& name, const std::string& value) {
  if (!fields_) fields_ = std::make_unique<StringList>();
  int i = fields_->indexOfName(name);
  if (i < 0) return fields_->add(name + "=" + value);
  fields_->setValue(name, value);
  return i;
}

std::string MemoBasic::removeField_(const std::string& name) {
  int i = getIndexField_(name);
  if (i < 0) return std::string();
  std::string line = fields_->get(i);
  fields_->erase(i);
  return line;
}

bool MemoBasic::isReadOnly_() { return getField_("FlagReadOnly") == "\"true\""; }

void MemoBasic::putReadOnly_(bool flag) { putField_("FlagReadOnly", flag ? "\"true\"" : "\"false\""); }

std::string MemoBasic::newUID_() {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.8lld", static_cast<long long>(1 + Random(99999998)));
  std::string uid = QuoteValue(FormatDateTime("YYYYMMDD_hhnnsszzz", Now()) + "_" + digits);
  putField_("UID", uid);
  return uid;
}

Color MemoBasic::getColor_() {
  std::string v = Dequote(getField_("Color"));
  if (v.empty()) return 0xFFFFFF;
  return NameToColor(v);
}

std::string MemoBasic::getTempDir_() { return platform::tempDir(); }

// ---- content --------------------------------------------------------------------------

int MemoBasic::buildContent_() {
  if (getField_("Content-Type").empty() && content_) {
    freeContent();
    return -1;
  }
  if (!content_) ensureContent().parseMIME_(*body_);
  return 0;
}

long long MemoBasic::putContentStream_(const std::string& data, const std::string& contentType,
                                       const std::string& encoding) {
  TContent& c = ensureContent();
  c.contentType = contentType;
  c.transferEncoding = encoding;
  return c.loadFromStream_(data);
}

long long MemoBasic::putContentFile_(const std::string& fileName, const std::string& contentType,
                                     const std::string& encoding) {
  TContent& c = ensureContent();
  c.contentType = contentType;
  c.transferEncoding = encoding;
  return c.loadFromFile_(fileName);
}

void MemoBasic::putContentHeader_(const std::string& fileName, const std::string& contentType,
                                  const std::string& encoding) {
  putField_("Content-Type", QuoteValue(contentType));
  putField_("Filename", QuoteValue(fileName));
  putField_("Content-Transfer-Encoding", QuoteValue(encoding));
}

long long MemoBasic::loadContentFile_(const std::string& fileName, std::string& contentType,
                                      std::string& encoding) {
  const ExtRow* row = findExt(sjis::lower(platform::extOf(fileName)));
  contentType = row ? row->type : "application/octet-stream";
  encoding = row ? row->encoding : "binary";
  if (row && row->body) {
    std::string bytes;
    if (!platform::readFile(fileName, bytes)) throw Error("Cannot open file " + fileName);
    platform::ForeignText text = platform::readForeignText(bytes);
    body_->setText(text.sjis);
    if (text.utf8)
      putField_("Charset", "\"UTF-8\"");
    else if (getIndexField_("Charset") >= 0)
      removeField_("Charset");
    lostOnLoad_ = std::move(text.lost);
    lostFrom_ = lostOnLoad_.empty() ? std::string() : fileName;
    rememberRead_(fileName, &text.form);
    return 0;
  }
  const long long result = putContentFile_(fileName, contentType, encoding);
  if (result >= 0) rememberRead_(fileName, nullptr);
  return result;
}

void MemoBasic::rememberRead_(const std::string& file, const platform::TextForm* form) {
  read_ = FileRead{};
  read_.file = file;
  read_.text = form != nullptr;
  if (form) {
    read_.form = *form;
    read_.lines = body_->text();
  } else if (content_ && content_->data()) {
    read_.bytesHash = std::hash<std::string>{}(*content_->data());
    read_.bytesSize = content_->data()->size();
  }
}

bool MemoBasic::changedSinceRead_() const {
  if (read_.file.empty()) return true;
  if (read_.text) return body_->text() != read_.lines;
  const std::string* data = content_ ? content_->data() : nullptr;
  return !data || data->size() != read_.bytesSize || std::hash<std::string>{}(*data) != read_.bytesHash;
}

namespace {
std::atomic<std::uint64_t> largestForTests{0};
}  // namespace

std::uint64_t LargestFileToRead() {
  const std::uint64_t forTests = largestForTests.load();
  return forTests ? forTests : std::uint64_t{512} << 20;
}

void SetLargestFileToReadForTests(std::uint64_t bytes) { largestForTests.store(bytes); }

bool ShowNotImplementedSource(const std::string& why) {
  if (why != kNotImplementedSource) return false;
  ShowMessage(why);
  return true;
}

long long MemoBasic::importContent_(const std::string& source, const std::string& name, std::string* error) {
  auto fail = [&](long long result, const std::string& why) {
    if (error) *error = why;
    return result;
  };
  std::string head = sjis::lower(source.substr(0, 5));
  std::string contentType, encoding;
  long long result;
  std::string file = source;
  if (head == "http:" || head == "https") {
    file = getTempDir_() + URLToLocalFileName(source);
    std::string why;
    if (!platform::downloadToFile(source, file, &why)) return fail(-2, "cannot download " + source + ": " + why);
  } else if (head == "file:") {
    return fail(-1, kNotImplementedSource);
  } else {
    std::uint64_t size = 0;
    if (platform::fileState(source, nullptr, &size) != platform::FileState::Regular)
      return fail(-1, "not found: " + source);
    if (size > LargestFileToRead()) return fail(-1, TooLargeToOpen(source));
  }
  try {
    result = loadContentFile_(file, contentType, encoding);
  } catch (const std::exception& e) {
    return fail(-1, "cannot read " + file + ": " + e.what());
  }
  if (result >= 0) putContentHeader_(name.empty() ? source : name, contentType, encoding);
  return result;
}

long long MemoBasic::newBlankImage_() {
  TContent& c = ensureContent();
  c.contentType = "image/bmp";
  c.transferEncoding = "8bit";
  long long size = c.loadFromStream_(whiteBitmap(30, 30));
  putField_("Content-Transfer-Encoding", "\"binary\"");
  putField_("Content-Type", "\"image/bmp\"");
  return size;
}

void MemoBasic::writeLinkPage_(StringList& lines) {
  std::string title = EscapeHTML(name());
  lines.add("<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">");
  lines.add("<html>");
  lines.add("  <head>");
  lines.add("    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">");
  lines.add("    <meta name=\"GENERATOR\" content=\"wux.exe\">");
  lines.add("    <title>" + title + "</title>");
  lines.add("  </head>");
  lines.add("  <body>");
  lines.add("    <a href=" + getField_("Filename") + " >");
  lines.add("      " + title);
  lines.add("    </a>");
  lines.add("  </body>");
  lines.add("</html>");
}

long long MemoBasic::exportContent_(const std::string& fileName, std::string* error) {
  auto fail = [&](long long result, const std::string& why) {
    if (error) *error = why;
    return result;
  };
  try {
    std::string encoding = getField_("Content-Transfer-Encoding");
    std::string ext = sjis::lower(platform::extOf(fileName));
    bool zTarget = ext == ".z";
    // A ".z" target is only written for a note whose own file is a ".z" file.
    bool zAllowed = zTarget && sjis::lower(platform::extOf(Dequote(getField_("Filename")))) == ".z";
    const std::string notZ = "only a note of a \".z\" file is written as " + fileName;
    std::string dir = platform::dirOf(fileName);
    if (!dir.empty() && !platform::dirExists(dir) && !platform::makeDirs(dir))
      return fail(-1, "cannot make the folder " + dir);
    std::string why;
    if (encoding == "\"binary\"") {
      if (!content_ || !content_->data()) return fail(-2, "the note has no content to write to " + fileName);
      if (zTarget && !zAllowed) return fail(-2, notZ);
      if (!platform::writeFileAtomic(fileName, *content_->data(), &why)) return fail(-1, why);
      if (!read_.text && platform::sameFile(fileName, read_.file)) rememberRead_(read_.file, nullptr);
      return static_cast<long long>(content_->data()->size());
    }
    if (encoding == "\"URL\"") {
      StringList page;
      writeLinkPage_(page);
      std::string text = page.text();
      if (!platform::writeFileAtomic(fileName, text, &why)) return fail(-1, why);
      return static_cast<long long>(text.size());
    }
    if (zTarget && !zAllowed) return fail(-1, notZ);
    std::string text = bodyText(*body_, fileName);
    // Back into the file the text came from, it keeps that file's form; elsewhere a text
    // read from UTF-8 stays UTF-8.
    const bool own = read_.text && platform::sameFile(fileName, read_.file);
    const bool utf8 = own ? read_.form.utf8 : sjis::lower(Dequote(getField_("Charset"))) == "utf-8";
    if (utf8) {
      std::string previous;
      const bool exists = platform::readFile(fileName, previous);
      if (exists && !lostOnLoad_.empty() && platform::sameFile(fileName, lostFrom_) &&
          prompter().messageBox("Some characters of " + fileName + " could not be read (" +
                                    platform::unstorableText(lostOnLoad_) + ") and would be lost. Overwrite it?",
                                "", Buttons::YesNo, Answer::No) != Answer::Yes)
        return fail(-1, "not overwritten: characters of " + fileName + " would be lost");
      if (!own) text = platform::writeForeignText(text, previous);
    }
    if (own) text = platform::writeTextForm(text, read_.form);
    if (!platform::writeFileAtomic(fileName, text, &why)) return fail(-1, why);
    if (utf8 && platform::sameFile(fileName, lostFrom_)) {
      lostOnLoad_.clear();
      lostFrom_.clear();
    }
    if (own) read_.lines = body_->text();
    return static_cast<long long>(text.size());
  } catch (const std::exception& e) {
    return fail(-1, "cannot write " + fileName + ": " + e.what());
  }
}

// ---- search ---------------------------------------------------------------------------

bool MemoBasic::match_(const std::string& pattern, bool ignoreCase, bool inName, bool inBody, bool inComment,
                       bool inFields) {
  if (pattern.empty()) return false;
  if (inName && containsText(name(), pattern, ignoreCase)) return true;
  return matchParts_(sjis::Finder(pattern, ignoreCase), inBody, inComment, inFields);
}

bool MemoBasic::matchParts_(const sjis::Finder& finder, bool inBody, bool inComment, bool inFields) const {
  // A pattern without a line break matches inside one line: no joined copy is needed.
  const bool oneLine = finder.needle().find_first_of("\r\n") == std::string::npos;
  auto in = [&](const StringList* list) {
    if (!list) return false;
    if (!oneLine) return finder.find(list->text()) != std::string::npos;
    for (const StringList::Line& line : *list)
      if (finder.find(line.text) != std::string::npos) return true;
    return false;
  };
  return (inBody && in(body_.get())) || (inComment && in(comment_.get())) || (inFields && in(fields_.get()));
}

namespace {
// `v` (not negative) in decimal, at least `digits` digits, right-aligned in `width`.
char* putNumber(char* out, long long v, int digits, int width) {
  char buf[24];
  char* end = buf + sizeof buf;
  char* p = end;
  unsigned long long u = v < 0 ? 0 : static_cast<unsigned long long>(v);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (end - p < digits) *--p = '0';
  for (int pad = width - static_cast<int>(end - p); pad > 0; --pad) *out++ = ' ';
  std::memcpy(out, p, static_cast<std::size_t>(end - p));
  return out + (end - p);
}

char* putText(char* out, std::string_view s) {
  std::memcpy(out, s.data(), s.size());
  return out + s.size();
}
}  // namespace

char* MemoBasic::putGrepWords(char* out, std::string_view part, int hit, int lineNo) {
  out = putNumber(putText(out, part), hit, 6, 0);
  *out++ = ':';
  out = putNumber(out, lineNo, 1, 7);
  *out++ = ':';
  *out++ = ' ';
  return out;
}

char* MemoBasic::putReplaceWords(char* out, std::string_view what, int lineNo) {
  return putNumber(putText(out, what), lineNo, 6, 0);
}

void MemoBasic::replaceInLines(StringList* list, const sjis::Finder& finder, const std::string& replacement,
                               const std::function<void(int)>& changed) {
  if (!list) return;
  for (int i = 0; i < list->count(); ++i) {
    const std::string& old = list->get(i);
    const std::size_t first = finder.find(old);
    if (first == std::string::npos) continue;
    std::string line = finder.replaceAll(old, replacement, first);
    if (line == old) continue;
    list->set(i, std::move(line));
    changed(i);
  }
}

bool MemoBasic::replace_(const std::string& find, const std::string& replacement, StringList& log, bool inName,
                         bool inBody, bool inComment, bool inFields, bool ignoreCase) {
  if (find.empty()) return false;
  const sjis::Finder finder(find, ignoreCase);
  if (inName) {
    std::string old = name();
    const std::size_t first = finder.find(old);
    std::string renamed = first == std::string::npos ? old : finder.replaceAll(old, replacement, first);
    if (renamed != old) {
      std::string actual;
      putName_(renamed, actual);
      log.add("replace name " + renamed);
    }
  }
  auto replaceLines = [&](StringList* list, std::string_view what) {
    replaceInLines(list, finder, replacement, [&](int i) {
      char words[64];
      log.add(std::string(words, putReplaceWords(words, what, i + 1)));
    });
  };
  if (inBody) replaceLines(body_.get(), "replace Memo ");
  if (inComment) replaceLines(comment_.get(), "replace Comment ");
  if (inFields) replaceLines(fields_.get(), "replace Field ");
  return false;
}

bool MemoBasic::grep_(const std::string& pattern, bool ignoreCase, StringList& out, bool inName, bool inBody,
                      bool inComment, bool inFields) {
  if (pattern.empty()) return false;
  const sjis::Finder finder(pattern, ignoreCase);
  bool found = false;
  if (inName) {
    std::string n = name();
    if (finder.find(n) != std::string::npos) {
      out.add("Name:" + n);
      found = true;
    }
  }
  auto grepLines = [&](const StringList* list, std::string_view part) {
    if (!list) return;
    int hit = 0;
    for (int i = 0; i < list->count(); ++i) {
      const std::string& line = list->get(i);
      if (finder.find(line) == std::string::npos) continue;
      char words[64];
      const char* end = putGrepWords(words, part, ++hit, i + 1);
      std::string text;
      text.reserve(static_cast<std::size_t>(end - words) + line.size());
      text.append(words, static_cast<std::size_t>(end - words)).append(line);
      out.add(std::move(text));
      found = true;
    }
  };
  if (inBody) grepLines(body_.get(), "Memo:");
  if (inComment) grepLines(comment_.get(), "Comment:");
  if (inFields) grepLines(fields_.get(), "Fields:");
  return found;
}

// ---- XML-like pieces ------------------------------------------------------------------

namespace {
// Bytes a field name cannot carry into a file. None of them can be the second byte of a
// double-byte character, so a name may be looked at byte by byte.
bool unsafeNameByte(unsigned char u) { return u <= 0x20 || u == 0x7F || u == '"' || u == '\'' || u == '<' || u == '>'; }
}  // namespace

std::string MemoBasic::safeFieldName(const std::string& name) {
  std::string out = sjis::trim(name);
  for (char& c : out) {
    if (unsafeNameByte(static_cast<unsigned char>(c))) c = '_';
  }
  return out;
}

std::string MemoBasic::typedFieldName(const std::string& typed, std::string& error) {
  std::string name = sjis::trim(typed);
  error.clear();
  if (name.empty()) {
    error = "Field is Empty.";
  } else if (std::any_of(name.begin(), name.end(),
                         [](char c) { return c == '=' || unsafeNameByte(static_cast<unsigned char>(c)); })) {
    error = "Field name may not hold =, a blank, a quote, <, > or a control character: " + name;
  }
  return name;
}

void MemoBasic::appendEscaped(std::string& out, std::string_view s) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char* rep;
    switch (s[i]) {
      case '&': rep = "&amp;"; break;
      case '<': rep = "&lt;"; break;
      case '>': rep = "&gt;"; break;
      case '"': rep = "&quot;"; break;
      default: continue;
    }
    out.append(s.data() + start, i - start);
    out += rep;
    start = i + 1;
  }
  out.append(s.data() + start, s.size() - start);
}

void MemoBasic::appendTextLines(StringList& lines, std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.add(std::string(text.substr(start, end - start)));
    start = end + 2;
  }
}

bool MemoBasic::tagIs(const TTAGNode* element, std::string_view name) {
  std::string_view t = element->tagName();
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= 0x20) t.remove_prefix(1);
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= 0x20) t.remove_suffix(1);
  return t == name;
}

namespace {
bool isBlank(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 0x20) return false;
  return true;
}
std::string_view trimView(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}
// A stored value as a file holds it between its quotes: the stored quotes are dropped
// (a single leading quote too, as Dequote does).
std::string_view bareValue(std::string_view value) {
  value = trimView(value);
  if (!value.empty() && value.front() == '"') {
    value.remove_prefix(1);
    if (!value.empty() && value.back() == '"') value.remove_suffix(1);
  }
  return value;
}
}  // namespace

int MemoBasic::writeFieldElement_(const StringList* fields, std::string& out, std::string_view indent, int skipIndex,
                                  int overrideIndex, std::string_view overrideValue) {
  if (!fields || fields->count() == 0) return 0;
  bool blank = true;
  for (const auto& l : *fields) {
    if (!isBlank(l.text)) {
      blank = false;
      break;
    }
  }
  if (blank) return 0;
  const std::size_t mark = out.size();
  out += indent;
  out += "  <Field ";
  int written = 0;
  for (int i = 0; i < fields->count(); ++i) {
    if (i == skipIndex) continue;
    std::string_view text = fields->get(i);
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) continue;
    // A line without a name ("=value") is written as it is and reads back the same.
    std::string name = safeFieldName(std::string(text.substr(0, eq)));
    appendEscaped(out, name);
    out += "=\"";
    appendEscaped(out, bareValue(i == overrideIndex ? overrideValue : text.substr(eq + 1)));
    out += "\" ";
    ++written;
  }
  // Lines without a name=value pair write nothing; an empty element would say the same.
  if (written == 0) {
    out.resize(mark);
    return 0;
  }
  out += "/>\r\n";
  return written;
}

int MemoBasic::writeCommentText_(std::string& out, std::string_view indent) {
  if (!comment_) return -1;
  bool blank = true;
  for (const auto& l : *comment_) {
    if (!isBlank(l.text)) {
      blank = false;
      break;
    }
  }
  if (blank) return -1;
  out += indent;
  out += "  <Comment>\r\n";
  for (const auto& l : *comment_) {
    appendEscaped(out, l.text);
    out += "<BR/>\r\n";
  }
  out += indent;
  out += "  </Comment>\r\n";
  return comment_->count();
}

int MemoBasic::writeBodyText_(std::string& out) {
  for (const auto& l : *body_) {
    appendEscaped(out, l.text);
    out += "<BR/>\r\n";
  }
  return body_->count();
}

int MemoBasic::_writeTSLFieldList_(const StringList* fields, StringList& lines, const std::string& indent) {
  std::string out;
  int n = writeFieldElement_(fields, out, indent);
  appendTextLines(lines, out);
  return n;
}

int MemoBasic::_writeTSLFields_(StringList& lines, const std::string& indent) {
  if (!fields_) return -1;
  return _writeTSLFieldList_(fields_.get(), lines, indent);
}

int MemoBasic::_writeTSLComment_(StringList& lines, const std::string& indent) {
  std::string out;
  int n = writeCommentText_(out, indent);
  appendTextLines(lines, out);
  return n;
}

int MemoBasic::_writeTSLBody_(StringList& lines) {
  std::string out;
  int n = writeBodyText_(out);
  appendTextLines(lines, out);
  return n;
}

int MemoBasic::_writeTSL_deep_(StringList& lines, const std::string& indent) {
  _writeTSLFields_(lines, indent);
  int n = _writeTSLBody_(lines);
  _writeTSLComment_(lines, indent);
  return n;
}

int MemoBasic::_readTAG_(TTAGNode*) { return 0; }

void MemoBasic::_readTAGFields_(TTAGNode* element) { readFields(element, false); }

namespace {
// A field is held as it will be written: a name with a control byte in it
// ("Content-Transfer-Encoding\x16") or a value with bytes outside its quotes
// (=\x01"base64") would otherwise mean one thing now and another once saved and read
// again. Empty when the line may stay as it is.
std::string asWritten(const std::string& line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {};  // not written at all
  bool nameHeld = true;
  for (std::size_t i = 0; i < eq && nameHeld; ++i) nameHeld = !unsafeNameByte(static_cast<unsigned char>(line[i]));
  std::string_view value = std::string_view(line).substr(eq + 1);
  const bool valueHeld = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (nameHeld && valueHeld) return {};
  value = bareValue(value);
  std::string out = nameHeld ? line.substr(0, eq) : MemoBasic::safeFieldName(line.substr(0, eq));
  out += "=\"";
  out += value;
  out += '"';
  return out;
}
}  // namespace

void MemoBasic::readFields(TTAGNode* element, bool take) {
  if (!fields_) fields_ = std::make_unique<StringList>();
  if (!element) return;
  const StringList* attributes = element->attributes();
  if (!attributes) return;
  const bool append = fields_->count() == 0;
  if (append && take) {
    *fields_ = std::move(*element->takeAttributes());
    for (int i = 0; i < fields_->count(); ++i) {
      std::string held = asWritten(fields_->get(i));
      if (!held.empty()) fields_->set(i, std::move(held));
    }
    return;
  }
  if (append) fields_->reserve(static_cast<std::size_t>(attributes->count()));
  for (const auto& a : *attributes) {
    std::string held = asWritten(a.text);
    const std::string& line = held.empty() ? a.text : held;
    if (append) {
      fields_->add(line);
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) {
      putField_(line, "");
    } else {
      putField_(line.substr(0, eq), line.substr(eq + 1));
    }
  }
}

void MemoBasic::_readTAGComment_(TTAGNode* element) { readComment(element, false); }

void MemoBasic::readComment(TTAGNode* element, bool take) {
  StringList& c = ensureComment();
  c.clear();
  if (!element) return;
  readElementLines(element, c, [](TTAGNode*) {}, take);
}

void MemoBasic::readElementLines(TTAGNode* element, StringList& out,
                                 const std::function<void(TTAGNode*)>& onElement, bool take) {
  std::string running;
  const auto& lines = element->lines();
  const TObject* const mark = TTAGNode::BreakMark();
  std::size_t marks = 0;
  for (const auto& line : lines) marks += line.object == mark;
  if (marks) out.reserve(static_cast<std::size_t>(out.count()) + marks);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TObject* object = lines[i].object;
    if (!object || object == mark) {
      // A line's text is most often the whole of it: taken, it is never copied.
      if (take && running.empty())
        running = element->takeText(static_cast<int>(i));
      else
        running += lines[i].text;
      if (!object) continue;
      out.add(std::move(running));
      running.clear();
      continue;
    }
    TTAGNode* child = element->element(static_cast<int>(i));
    if (!child) continue;
    if (tagIs(child, "BR")) {
      out.add(std::move(running));
      running.clear();
    } else {
      onElement(child);
    }
  }
  // Text that a hand-edited file left after the last line break is kept, not dropped.
  running = sjis::trimRight(running);
  if (!running.empty()) out.add(std::move(running));
}

}  // namespace wux

#include "model/content.h"

#include <vector>

#include "model/errors.h"
#include "model/jcode.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"

namespace wux {

namespace {

// Deeper nesting than any real message: a crafted one stops here instead of the stack.
constexpr int kMaxMimeDepth = 64;

bool blank(std::string_view s) { return sjis::trim(s).empty(); }

// A header parameter's value: up to the closing quote when quoted, else up to ";".
std::string paramValue(std::string_view rest) {
  std::string s = sjis::trimLeft(rest);
  if (!s.empty() && s[0] == '"') {
    std::size_t close = s.find('"', 1);  // '"' is never a second byte
    return close == std::string::npos ? s.substr(1) : s.substr(1, close - 1);
  }
  std::size_t semi = sjis::findFirstOf(s, ";");
  if (semi != std::string::npos) s.resize(semi);
  return sjis::trim(s);
}

}  // namespace

TContent::~TContent() = default;

std::string& TContent::ensureData() {
  if (!data_) data_ = std::make_unique<std::string>();
  return *data_;
}

TContent* TContent::part(int i) const {
  if (!parts_) throwRange("TContent.part", i, 0);
  return dynamic_cast<TContent*>(parts_->child(i));
}

int TContent::clear_() {
  TObjectNamed::clear_();
  if (parts_) parts_->clear_();
  return 0;
}

void TContent::copyFrom_(const TObjectNamed& source) {
  TObjectNamed::copyFrom_(source);
  const auto* src = dynamic_cast<const TContent*>(&source);
  if (!src || src == this) return;
  fileName = src->fileName;
  if (src->data_) ensureData() = *src->data_;
  else data_.reset();
  if (src->parts_) {
    if (!parts_) parts_ = std::make_unique<TObjectParent>(this);
    parts_->copyFrom_(*src->parts_);
  } else if (parts_) {
    parts_->clear_();
    parts_.reset();
  }
  contentType = src->contentType;
  transferEncoding = src->transferEncoding;
  disposition = src->disposition;
  attachmentFileName = src->attachmentFileName;
  boundary = src->boundary;
}

TObjectNamed* TContent::deepCopy() const { return DeepCopyOf(*this); }

long long TContent::loadFromFile_(const std::string& path) {
  if (platform::fileMissing(path)) return -1;
  fileName = path;
  std::string bytes;
  if (!platform::readFile(path, bytes)) return -2;
  ensureData() = std::move(bytes);
  return static_cast<long long>(data_->size());
}

long long TContent::loadFromStream_(std::string_view source) {
  ensureData().assign(source);
  return static_cast<long long>(data_->size());
}

int TContent::encodeBase64_(const std::string* stream, StringList& lines) {
  if (!stream) return -1;
  std::string_view s(*stream);
  for (std::size_t off = 0; off < s.size(); off += 57) lines.add(Base64Encode(s.substr(off, 57)));
  return 0;
}

int TContent::decodeBase64_(std::string* stream, const StringList& lines) {
  if (!stream) return -1;
  std::size_t size = 0;
  for (const auto& l : lines) size += l.text.size() / 4 * 3;
  stream->clear();
  stream->reserve(size);
  for (const auto& l : lines) Base64DecodeAppend(l.text, *stream);
  return 0;
}

std::string TContent::safePartFileName(std::string_view value) {
  std::string name = sjis::trim(value);
  std::size_t cut = sjis::findLastOf(name, "\\/:");
  if (cut != std::string::npos) name.erase(0, cut + 1);
  name = sjis::trim(name);
  if (name.empty() || name == "." || name == "..") return "";
  return name;
}

int TContent::parseMIME_(const StringList& lines) { return parseMIME(lines, 0); }

int TContent::parseMIME(const StringList& lines, int depth) {
  if (parts_) parts_->clear_();
  int n = lines.count();
  int i = 0;
  while (i < n && blank(lines[i])) ++i;

  // Header block, folded lines joined to the line they continue.
  std::vector<std::string> headers;
  for (; i < n; ++i) {
    const std::string& l = lines[i];
    if (blank(l)) {
      ++i;
      break;
    }
    if ((l[0] == ' ' || l[0] == '\t') && !headers.empty()) headers.back() += l;
    else headers.push_back(l);
  }
  int bodyStart = i;

  std::string marker;
  for (const std::string& h : headers) {
    std::size_t colon = sjis::findFirstOf(h, ":");
    if (colon == std::string::npos) continue;
    std::string name = sjis::lower(std::string_view(h).substr(0, colon));
    std::string value = sjis::trim(std::string_view(h).substr(colon + 1));
    if (name == "content-type") {
      contentType = value;
      std::size_t semi = sjis::findFirstOf(value, ";");
      if (semi != std::string::npos) {
        contentType = sjis::lower(sjis::trim(std::string_view(value).substr(0, semi)));
        std::string params = value.substr(semi + 1);
        std::size_t b = sjis::find(params, "boundary=");
        if (sjis::startsWith(contentType, "multipart") && b != std::string::npos) {
          std::string v = paramValue(std::string_view(params).substr(b + 9));
          if (!v.empty()) marker = "--" + v;
        }
      }
    } else if (name == "content-transfer-encoding") {
      transferEncoding = sjis::lower(value);
    } else if (name == "content-disposition") {
      std::size_t f = sjis::find(value, "filename=");
      if (f != std::string::npos) fileName = safePartFileName(paramValue(std::string_view(value).substr(f + 9)));
    }
  }

  if (sjis::startsWith(contentType, "multipart")) {
    if (marker.empty() || depth >= kMaxMimeDepth) return 0;
    std::string closing = marker + "--";
    std::unique_ptr<StringList> collected;
    for (int k = bodyStart; k < n; ++k) {
      const std::string& l = lines[k];
      std::string t = sjis::trim(l);
      if (t != marker && t != closing) {
        if (collected) collected->add(l);
        continue;
      }
      if (collected) {
        std::unique_ptr<TContent> sub(Create<TContent>(nullptr));
        sub->parseMIME(*collected, depth + 1);
        if (!parts_) parts_ = std::make_unique<TObjectParent>(this);
        std::string partName = sjis::trim(sub->fileName);
        if (partName.empty()) partName = sub->contentType;
        if (partName.empty()) partName = "text/plain";
        sub->setOwner(parts_.get());
        std::string actual;
        parts_->addChild_(sub.get(), partName, actual);
        sub.release();
      }
      collected = std::make_unique<StringList>();
    }
    return 0;
  }

  StringList body;
  for (int k = bodyStart; k < n; ++k) body.add(lines[k]);
  std::string& stream = ensureData();
  if (transferEncoding == "base64") {
    decodeBase64_(&stream, body);
    transferEncoding = "binary";
  } else {
    stream = body.text();
  }
  return 0;
}

}  // namespace wux

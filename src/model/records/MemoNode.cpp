#include "model/records/MemoNode.h"

#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {

int MemoNode::clear_() {
  MemoBasic::clear_();
  linkedFileLoaded = false;
  contentModified = false;
  return 0;
}

TObjectNamed* MemoNode::deepCopy() const { return cloneNode_(); }

void MemoNode::copyFrom_(const TObjectNamed& source) { MemoBasic::copyFrom_(source); }

MemoNode* MemoNode::cloneNode_() const { return DeepCopyOf(*this); }

int MemoNode::getLevel_() { return 0; }

std::string MemoNode::getTempDir_() {
  if (MemoHolder* h = getParentHolder_()) return h->getTempDir_();
  return MemoBasic::getTempDir_();
}

Color MemoNode::getColor_() { return MemoBasic::getColor_(); }

bool MemoNode::isReadOnly_() {
  if (getField_("FlagReadOnly") == "\"true\"") return true;
  if (MemoHolder* h = getParentHolder_()) return h->isReadOnly_();
  return false;
}

bool MemoNode::isMarked_() const { return getField_("flagMarked") == "\"true\""; }
void MemoNode::putMarked_(bool flag) { putField_("flagMarked", flag ? "\"true\"" : "\"false\""); }

std::string MemoNode::getContentType_() const {
  std::string v = getField_("Content-Type");
  return v.empty() ? "\"text\"" : v;
}

void MemoNode::putContentType_(const std::string& type) { putField_("Content-Type", QuoteValue(sjis::trim(type))); }

std::string MemoNode::getTransferEncoding_() const {
  std::string v = getField_("Content-Transfer-Encoding");
  return v.empty() ? "\"8bit\"" : v;
}

MemoHolder* MemoNode::getParentHolder_() const { return dynamic_cast<MemoHolder*>(owner()); }

MemoFile* MemoNode::getParentFile_() const {
  MemoHolder* h = getParentHolder_();
  return h ? h->getParentFile_() : nullptr;
}

std::string MemoNode::getFieldInherited_(const std::string& name) const {
  if (name.empty()) return std::string();
  std::string v = getField_(name);
  if (!v.empty()) return v;
  MemoHolder* h = getParentHolder_();
  if (!h) return v;
  v = h->getField_(name);
  if (!v.empty()) return v;
  if (MemoFile* f = h->getParentFile_()) v = f->getField_(name);
  return v;
}

void MemoNode::putParentNodeID_(MemoNode* parent) {
  if (!parent) return;
  std::string uid = parent->getField_("UID");
  if (Dequote(uid).empty()) uid = parent->newUID_();
  putField_("ParentNodeID", QuoteValue(Dequote(uid)));
}

// A parent without a UID gets one, so that the link survives a reload.
void MemoNode::putParentNode_(MemoNode* parent) { putParentNodeID_(parent); }

std::string MemoNode::makeRelativePath_(const std::string& fieldName, const std::string& base) {
  std::string value = sjis::trim(Dequote(getField_(fieldName)));
  if (value.empty() || value[0] == '.' || sjis::startsWith(value, "http") || value.size() < 2) return {};
  if (!platform::isAbsolutePath(platform::toSlashes(value))) return {};
  std::string rel = platform::relativePath(value, base);
  if (rel.empty() || rel[0] != '.') rel = "./" + rel;
  std::string quoted = QuoteValue(rel);
  putField_(fieldName, quoted);
  return quoted;
}

std::string MemoNode::getHeadline_() const {
  if (getField_("Content-Transfer-Encoding") == "\"binary\"") return {};
  static const std::string bullet = "\x81\x9C";  // the full-width bullet
  auto scan = [&](const StringList* list) -> std::string {
    if (!list) return {};
    for (const auto& l : *list) {
      std::string t = sjis::trim(l.text);
      if (t.size() > 1 && sjis::startsWith(t, bullet)) return t;
    }
    return {};
  };
  std::string h = scan(&body());
  if (h.empty()) h = scan(comment());
  return h;
}

long long MemoNode::loadLinkedFile_(std::string* error) {
  const std::string name = Dequote(getField_("Filename"));
  if (name.empty()) return 0;
  // Relative names are taken from the notebook file's folder without touching the
  // process's current directory.
  const long long result = importContent_(linkedFilePath_(), name[0] == '.' ? name : std::string(), error);
  linkedFileLoaded = result >= 0;
  return result + 1;
}

bool MemoNode::isLinkedFile_() const {
  return getField_("FlagLink") == "\"true\"" && getField_("Content-Transfer-Encoding") != "\"URL\"";
}

std::string MemoNode::linkedFilePath_() const {
  const std::string name = Dequote(getField_("Filename"));
  if (name.empty() || name[0] != '.') return name;
  std::string baseDir;
  if (MemoHolder* h = getParentHolder_()) baseDir = platform::dirOf(h->getFileName_());
  return platform::resolvePath(name, baseDir);
}

bool MemoNode::loadForReading_(std::string& why) {
  if (!isLinkedFile_() || linkedFileLoaded) return true;
  // FlagLink without a file name keeps its text in the note.
  if (sjis::trim(Dequote(getField_("Filename"))).empty()) return true;
  if (loadLinkedFile_(&why) > 0) return true;
  if (why.empty()) why = "cannot read " + linkedFilePath_();
  return false;
}

MemoNode::SaveStep MemoNode::saveStep_(const std::string& target, std::string& why) {
  if (!isLinkedFile_()) return SaveStep::Write;
  const std::string linked = sjis::trim(linkedFilePath_());
  if (linked.empty()) return SaveStep::Write;
  if (!platform::sameFile(target, platform::resolvePath(linked))) return loadForReading_(why) ? SaveStep::Write : SaveStep::Refuse;
  if (linkedFileLoaded) return changedSinceRead_() ? SaveStep::Write : SaveStep::Keep;
  const bool holdsNothing = body_->empty() && !(content_ && content_->data() && !content_->data()->empty());
  if (holdsNothing) return SaveStep::Keep;
  why = "the file was never read, so the note's text is not written over it: " + linked;
  return SaveStep::Refuse;
}

std::string MemoNode::keptLinkedFileLine(const std::string& name, const std::string& target) {
  return "Not Save name=" + name + " Filename=\"" + target + "\" (the linked file itself)";
}

int MemoNode::decodeBase64Body_() {
  if (sjis::lower(getField_("Content-Transfer-Encoding")) != "\"base64\"") return -1;
  TContent& c = ensureContent();
  TContent::decodeBase64_(&c.ensureData(), *body_);
  putField_("Content-Transfer-Encoding", "\"binary\"");
  body_->clear();
  return 0;
}

int MemoNode::writeRecord_(StringList& lines, const std::string& indent) {
  std::string out;
  int r = writeRecordText_(out, indent, name());
  appendTextLines(lines, out);
  return r;
}

int MemoNode::writeRecordText_(std::string& out, std::string_view indent, std::string_view name) {
  out += indent;
  out += "<Record name=\"";
  std::string_view n = name;
  while (!n.empty() && static_cast<unsigned char>(n.front()) <= 0x20) n.remove_prefix(1);
  while (!n.empty() && static_cast<unsigned char>(n.back()) <= 0x20) n.remove_suffix(1);
  appendEscaped(out, n);
  out += "\">\r\n";

  const StringList& fields = *fieldList();
  const int encodingAt = fields.indexOfName("Content-Transfer-Encoding");
  const std::string encoding = encodingAt < 0 ? std::string() : fields.valueFromIndex(encodingAt);
  // An empty file name ("") is no file, as for loading the linked file: the text stays.
  const bool hasFilename = !Dequote(getField_("Filename")).empty();
  const int linkAt = fields.indexOfName("FlagLink");
  bool linked = linkAt >= 0 && fields.valueFromIndex(linkAt) == "\"true\"";
  int skip = -1;
  if (!hasFilename && linked) {
    skip = linkAt;  // a link without a file is no link: the text is stored
    linked = false;
  }
  // A note marked binary without any content bytes (its encoding field edited by hand)
  // keeps its text: emptying it would store nothing in its place.
  const bool binary =
      encoding == "\"binary\"" && (linked || (content_ && content_->data() && !content_->data()->empty()) ||
                                   body_->empty());
  if (!binary && encoding == "\"URL\"" && hasFilename) body_->clear();
  StringList base64;
  int overrideAt = -1;
  if (binary && !linked) {
    overrideAt = encodingAt;
    body_->clear();
    if (content_) TContent::encodeBase64_(content_->data(), base64);
  }
  writeFieldElement_(&fields, out, indent, skip, overrideAt, "\"base64\"");
  if (!linked) {
    if (binary) {
      for (const auto& l : base64) {
        out += l.text;
        out += "<BR/>\r\n";
      }
    } else {
      writeBodyText_(out);
    }
  }
  writeCommentText_(out, indent);
  if (binary) body_->clear();
  out += indent;
  out += "</Record>\r\n";
  return 0;
}

int MemoNode::_readTAG_(TTAGNode* element) { return readRecord_(element, false); }

int MemoNode::readRecord_(TTAGNode* element, bool take) {
  if (!element || !tagIs(element, "Record")) return -1;
  readElementLines(
      element, *body_,
      [this, take](TTAGNode* child) {
        if (tagIs(child, "Field")) {
          readFields(child, take);
        } else if (tagIs(child, "Comment")) {
          readComment(child, take);
        }
      },
      take);
  if (sjis::lower(getField_("Content-Transfer-Encoding")) == "\"base64\"") decodeBase64Body_();
  return 0;
}

}  // namespace wux

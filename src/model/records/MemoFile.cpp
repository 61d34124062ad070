#include "model/records/MemoFile.h"

#include <cstdio>

#include "model/jcode.h"
#include "model/lists.h"
#include "model/records/MemoHolder.h"
#include "model/records/RecordFiles.h"
#include "model/records/ZTextWriter.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {

MemoFile::MemoFile(TObjectNamed* owner) : MemoBasic(owner) {}

MemoFile::~MemoFile() {
  if (holders_) holders_->clear_();
}

int MemoFile::clear_() {
  MemoBasic::clear_();
  directory.clear();
  if (holders_) {
    holders_->clear_();
  } else {
    holders_ = Create<TObjectParent>(this);
  }
  current_ = nullptr;
  return 0;
}

void MemoFile::getNameChild_(const TObjectNamed* child, std::string& name) const { holders_->getNameChild_(child, name); }

int MemoFile::putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) {
  return holders_->putNameChild_as_(child, newName, actual);
}

void MemoFile::getName_(std::string& name) const {
  if (owner()) {
    MemoBasic::getName_(name);
  } else {
    name = ownName_;
  }
}

void MemoFile::putName_(const std::string& newName, std::string& actual) {
  if (owner()) {
    MemoBasic::putName_(newName, actual);
  } else {
    ownName_ = newName;
    actual = newName;
  }
}

std::string MemoFile::getModeHoldersMngr_() const {
  return modeHoldersMngr_.empty() ? "\"Holders\"" : modeHoldersMngr_;
}

// ---- notebooks ------------------------------------------------------------------------

MemoHolder* MemoFile::newHolder_() { return Create<MemoHolder>(this).release(); }

int MemoFile::getHolderCount_() { return holders_->children().count(); }

int MemoFile::indexOfHolder_(MemoHolder* holder) {
  if (!holder) return -1;
  return holders_->children().indexOfObject(holder);
}

MemoHolder* MemoFile::getHolder_(int index) {
  const StringList& c = holders_->children();
  if (index < 0 || index >= c.count()) return nullptr;
  return c.objectAs<MemoHolder>(index);
}

MemoHolder* MemoFile::findHolderByName_(const std::string& name) {
  const StringList& c = holders_->children();
  int i = c.indexOfExact(name);
  return i < 0 ? nullptr : c.objectAs<MemoHolder>(i);
}

StringList& MemoFile::getHolderList_(StringList& list) {
  const StringList& c = holders_->children();
  for (int i = 0; i < c.count(); ++i) list.add(c[i], c.object(i));
  return list;
}

std::string MemoFile::makeUniqueHolderName_(const std::string& name) {
  std::string unique;
  holders_->uniqueChildName_(name, unique);
  return unique;
}

MemoHolder* MemoFile::addNewHolder_(int index) {
  MemoHolder* h = newHolder_();
  h->loaded = true;  // made in memory: there is no file to read it from
  std::string actual;
  if (index >= 0 && index < getHolderCount_()) {
    insertHolder_(index, h, "new", actual);
  } else {
    addHolder_(h, "new", actual);
  }
  return h;
}

int MemoFile::removeHolder_(MemoHolder* holder) {
  current_ = nullptr;
  int i = indexOfHolder_(holder);
  if (i >= 0) holders_->detachChild_(holder);
  return i;
}

void MemoFile::addHolder_(MemoHolder* holder, const std::string& name, std::string& actual) {
  if (!holder) return;
  holder->setOwner(this);
  holders_->addChild_(holder, name, actual);
  holder->setOwner(this);
}

void MemoFile::insertHolder_(int index, MemoHolder* holder, const std::string& name, std::string& actual) {
  if (!holder) return;
  holder->setOwner(this);
  if (index < 0) index = 0;
  holders_->insertChild_(index, holder, name, actual);
  holder->setOwner(this);
}

void MemoFile::moveHolderUp_(int i) {
  if (i - 1 < 0 || i >= getHolderCount_()) return;
  holders_->children().exchange(i - 1, i);
}

void MemoFile::moveHolderDown_(int i) {
  if (i < 0 || i + 1 >= getHolderCount_()) return;
  holders_->children().exchange(i, i + 1);
}

void MemoFile::moveHolderTop_(int i) { moveHolder_(i, 0); }
void MemoFile::moveHolderBottom_(int i) { moveHolder_(i, getHolderCount_() - 1); }

void MemoFile::moveHolder_(int i, int j) {
  int n = getHolderCount_();
  if (i < 0 || i >= n || j < 0 || j >= n) return;
  holders_->children().move(i, j);
}

// ---- file names -----------------------------------------------------------------------

std::string MemoFile::getFileName_() {
  std::string f = Dequote(getField_("Filename"));
  if (!f.empty()) return f;
  std::string dir = sjis::trim(directory);
  if (!dir.empty() && platform::lastSeparator(dir) != dir.size() - 1) dir += '/';
  return dir + SanitizeFileName(name()) + ".mxa";
}

std::string MemoFile::getFileDir_() { return platform::dirOf(Dequote(getField_("Filename"))); }

int MemoFile::putFileName_(const std::string& name) {
  // Relative names are fixed against the current directory once, here, so that the
  // notebooks' files are found beside the document wherever the process runs later.
  std::string path = platform::isAbsolutePath(platform::toSlashes(name)) ? name : platform::resolvePath(name);
  putField_("Filename", QuoteValue(path));
  std::string actual;
  putName_(platform::changeExt(platform::fileNameOf(path), ""), actual);
  return 0;
}

MemoHolder* MemoFile::holderInFile_(const std::string& path, const MemoHolder* except) {
  const StringList& c = holders_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* h = c.objectAs<MemoHolder>(i);
    if (h && h != except && SameNotebookFile(h->getFileName_(), path)) return h;
  }
  return nullptr;
}

bool MemoFile::checkHolderFileNames_(std::string& message) {
  const StringList& c = holders_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* h = c.objectAs<MemoHolder>(i);
    if (!h) continue;
    const std::string file = h->getFileName_();
    for (int j = 0; j < i; ++j) {
      auto* earlier = c.objectAs<MemoHolder>(j);
      if (!earlier || !SameNotebookFile(earlier->getFileName_(), file)) continue;
      message = SharedFileText(c[j], c[i], file);
      return false;
    }
  }
  return true;
}

// ---- writing --------------------------------------------------------------------------

int MemoFile::_writeTSL_deep_(StringList& lines, const std::string& indent) {
  lines.add(indent + "<File name=\"" + EscapeHTML(name()) + "\">");
  _writeTSLFields_(lines, indent);
  _writeTSLBody_(lines);
  const StringList& c = holders_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* h = c.objectAs<MemoHolder>(i);
    if (!h) continue;
    lines.add(indent + "  <Holder name=\"" + EscapeHTML(c[i]) + "\">");
    lines.add(indent + "    <Field FlagLoaded=\"false\" />");
    if (h->getField_("FlagReadOnly") == "\"true\"") lines.add(indent + "    <Field FlagReadOnly=\"true\"/>");
    if (h->getFileExt_() != "\".mxh\"") lines.add(indent + "    <Field FileExt=" + QuoteEscaped(h->getFileExt_()) + "/>");
    // A notebook stored elsewhere is found again only through its own file name.
    const std::string extra = Dequote(h->getField_("Filename"));
    if (h->getFlagExtra_() && !extra.empty()) {
      lines.add(indent + "    <Field FlagExtra=\"true\"/>");
      lines.add(indent + "    <Field Filename=\"" + EscapeHTML(extra) + "\"/>");
    }
    lines.add(indent + "  </Holder>");
  }
  lines.add(indent + "</File>");
  return c.count();
}

void MemoFile::saveToTSL_(StringList& lines) {
  lines.add("<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>");
  lines.add("<!-- " + FormatDateTime("yyyymmdd hhnnss", Now()) + " -->");
  lines.add("<!DOCTYPE File [<!ENTITY quot \"&#34;\">]>");
  _writeTSL_deep_(lines, "");
}

long long MemoFile::saveToFile_(const std::string& name, std::string* error) {
  std::string ext = sjis::lower(platform::extOf(name));
  if (ext == ".maz") return saveMAZ_(name, nullptr, error);
  std::string why;
  if (ext != ".mxa") {
    why = "A document is saved as \".mxa\" or \".maz\", not " + name;
  } else if (checkHolderFileNames_(why)) {
    StringList lines;
    saveToTSL_(lines);
    std::string text = lines.text();
    if (platform::writeFileAtomic(name, text, &why)) return static_cast<long long>(text.size());
  }
  if (error) *error = why;
  return -1;
}


long long MemoFile::saveMAZ_(const std::string& name, std::vector<std::string>* leftOut, std::string* error) {
  std::string message;
  if (!checkHolderFileNames_(message)) {
    if (error) *error = message;
    return -1;
  }
  std::string notLoaded;
  char number[16];
  std::snprintf(number, sizeof number, "%.5lld", static_cast<long long>(Random(99999)));
  const std::string boundary = FormatDateTime("yyyymmddhhmmssmm", Now()) + number;

  // The archive text is compressed as it is made: a document of many large notebooks
  // never needs its whole text (let alone its Base64 form) in memory at once.
  ZTextWriter z;
  std::string text;
  auto line = [&](std::string_view l) {
    text += l;
    text += "\r\n";
  };
  line("MIME-Version: 1.0");
  line("Content-Type: multipart/mixed;");
  line("  boundary=\"" + boundary + "\"");
  line("Content-Transfer-Encoding: 8bit");
  line("");
  line("--" + boundary);
  line("Content-Type: text/xml; charset=x-sjis");
  line("Content-Transfer-Encoding: 8bit");
  line("Content-Disposition: inline;");
  line("  filename=\"" + ArchivePartName(platform::changeExt(getFileName_(), ".mxa")) + "\"");
  line("");
  StringList element;
  _writeTSL_deep_(element, "");
  text += element.text();
  line("");
  line("--" + boundary);

  // Collect the notebooks first: the closing boundary follows the last one written.
  std::vector<MemoHolder*> parts;
  const StringList& c = holders_->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* h = c.objectAs<MemoHolder>(i);
    if (!h) continue;
    if (!h->loaded) {
      StringList messages;
      if (LoadHolder(*h, messages) != 0) {
        notLoaded += (notLoaded.empty() ? "" : "\r\n") + ("Not Loaded: " + h->getFileName_());
        if (leftOut) leftOut->push_back(c[i]);
        continue;
      }
    }
    parts.push_back(h);
  }
  for (std::size_t p = 0; p < parts.size(); ++p) {
    MemoHolder* h = parts[p];
    line("Content-Type: text/xml; charset=x-sjis");
    line("Content-Transfer-Encoding: base64");
    line("Content-Disposition: attachment;");
    line("  filename=\"" + ArchivePartName(h->getFileName_()) + "\"");
    line("");
    // The notebook's text goes out as Base64 lines of 57 bytes each, made and compressed
    // while the text is still being written.
    std::string pending;
    auto encode = [&](bool last) {
      const std::size_t whole = last ? pending.size() : pending.size() / 57 * 57;
      if (whole == 0) return;
      const std::string b64 = Base64Encode(std::string_view(pending).substr(0, whole));
      for (std::size_t at = 0; at < b64.size(); at += 76) {
        text.append(b64, at, 76);
        text += "\r\n";
      }
      pending.erase(0, whole);
      if (text.size() >= (1u << 20)) z.write(text);
    };
    const std::function<void(std::string&)> flush = [&](std::string& piece) {
      pending += piece;
      piece.clear();
      encode(false);
    };
    std::string out;
    h->writeText_(out, &flush);
    flush(out);
    encode(true);
    line("");
    line(p + 1 == parts.size() ? "--" + boundary + "--" : "--" + boundary);
  }
  z.write(text);
  std::string why = "cannot compress " + name;
  if (!z.finish() || !platform::writeFileAtomic(name, z.compressed(), &why)) {
    if (error) *error = why;
    return -1;
  }
  if (error) *error = notLoaded;
  return static_cast<long long>(z.bytesIn());
}

// ---- reading --------------------------------------------------------------------------

int MemoFile::_readTAG_(TTAGNode* element) {
  if (!element || !tagIs(element, "File")) return -1;
  readElementLines(element, *body_, [this](TTAGNode* child) {
    if (tagIs(child, "Holder")) {
      std::string name = Dequote(TTAGNode::AttributeValue(child, "name"));
      if (name.empty()) name = FormatDateTime("YYYYMMDD hhmmss", Now()) + " ";
      MemoHolder* h = newHolder_();
      std::string actual;
      addHolder_(h, name, actual);
      h->_readTAG_(child);
      // A reference carries only these; anything else is the notebook file's business,
      // not the document's. A file name of its own comes only with FlagExtra and names a
      // notebook file: a document must not lead a later save over any other file.
      const std::string extra = Dequote(h->getField_("Filename"));
      const std::string extraExt = sjis::lower(platform::extOf(extra));
      const bool redirected = h->getFlagExtra_() && (extraExt == ".mxh" || extraExt == ".mhz");
      if (StringList* f = h->fieldList()) {
        for (int k = f->count() - 1; k >= 0; --k) {
          const std::string n = sjis::lower(f->name(k));
          if (n != "flagloaded" && n != "flagreadonly" && n != "fileext" && n != "flagsort" && n != "flagascending" &&
              !(redirected && (n == "flagextra" || n == "filename")))
            f->erase(k);
        }
      }
    } else if (tagIs(child, "Field")) {
      // Held as it will be written, like a notebook's or a note's fields: a name or value
      // a save would change must not mean one thing now and another after the save.
      _readTAGFields_(child);
    }
  });

  current_ = nullptr;
  if (getHolderCount_() > 0) {
    std::string cur = sjis::trim(Dequote(getField_("CurrentHolder")));
    if (cur.empty()) {
      current_ = getHolder_(0);
    } else {
      current_ = dynamic_cast<MemoHolder*>(holders_->findChildLoose_(cur));
    }
  }
  return 0;
}

}  // namespace wux

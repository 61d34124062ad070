#include "model/records/RecordFiles.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <iterator>
#include <string_view>

#include <zlib.h>

#include "model/content.h"
#include "model/lists.h"
#include "model/strutil.h"
#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {
namespace {

bool hasZlibHeader(const std::string& data) {
  if (data.size() < 2) return false;
  unsigned char cmf = static_cast<unsigned char>(data[0]);
  unsigned char flg = static_cast<unsigned char>(data[1]);
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

// The text a damaged or cut zlib stream still gives up to the fault; empty when it gives
// nothing. Output stops at the inflation limit, so a crafted stream cannot exhaust memory.
std::string inflatePrefix(const std::string& z) {
  std::string out;
  z_stream zs{};
  const std::size_t limit = InflateLimit();
  if (z.size() > (1u << 30) || inflateInit(&zs) != Z_OK) return out;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(z.data()));
  zs.avail_in = static_cast<uInt>(z.size());
  char buf[1 << 16];
  int rc = Z_OK;
  while (rc == Z_OK && out.size() <= limit) {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buf, sizeof buf - zs.avail_out);
    if (rc == Z_BUF_ERROR && zs.avail_out == 0) rc = Z_OK;
    if (rc == Z_OK && zs.avail_in == 0 && zs.avail_out != 0) break;
  }
  inflateEnd(&zs);
  return out;
}

// Parses a file's text; the first element named `tag`, or null with the reasons added
// to `messages`. `root` owns the tree. With `wordCount` the words are counted first (a
// document needs that); otherwise each word goes straight from the text into the tree,
// and no list of every word is ever held.
TTAGNode* parseFileText(const std::string& text, const char* tag, TTAGNode& root, int* wordCount,
                        StringList& messages, const std::function<void(TTAGNode*)>& onClosed = {},
                        bool breakMarks = false) {
  StringList errors;
  int rc = 0;
  if (wordCount) {
    StringList words;
    TextToWordList(text, words, false);
    *wordCount = words.count();
    rc = TTAGNode::_FromXMLWordList_aOUT_(&root, std::move(words), errors);
  } else {
    rc = TTAGNode::ParseXmlText(&root, text, errors, onClosed, breakMarks);
  }
  if (rc != 0) {
    messages.append(errors);
    return nullptr;
  }
  TTAGNode* element = TTAGNode::FindChildTag(&root, tag);
  if (!element) messages.add(std::string("No ") + tag + " element found.");
  return element;
}

// The parser does not report elements still open at the end of the text, so a file cut
// short (a crash while copying, a full disk on another system) parses "successfully"
// with its tail missing: only the missing end tag of the top element tells. An element
// that closes itself ("<Holder name="x"/>") has no end tag and is whole.
bool cutShort(const TTAGNode* element) {
  if (element->endTagName() == element->tagName()) return false;
  if (element->count() > 0) return true;
  const TTAGNode* parent = element->parent();
  if (!parent) return true;
  for (int i = 0; i < parent->count(); ++i)
    if (parent->element(i) == element) return !sjis::endsWith(sjis::trim((*parent)[i]), "/>");
  return true;
}

// A quoted value may hold a raw "<" or a line break, but a tag that holds the file's own
// structure after its start has swallowed it: a lost double quote joined the notes that
// follow into one value. Tags are looked at as the file wrote them (values escaped), so
// a value that merely mentions "<Record " is no damage.
// Notes are read, and their part of the tree freed, as each Record closes, so the
// notebook's tag words are looked at in the same steps, in document order. Each element
// knows where it began in the text, which tells the damaged tag's line.
class SwallowedStructure {
 public:
  explicit SwallowedStructure(const std::string& text) : text_(text) {}

  // Looks at the notebook element's words not seen yet, and at everything under them.
  void scanNew(const TTAGNode* holder) {
    if (line_ != 0) return;
    for (; next_ < holder->count() && line_ == 0; ++next_)
      if (const TTAGNode* child = holder->element(next_)) visit((*holder)[next_], child);
  }

  // The line where the first such tag begins, 0 when there is none, -1 when its line
  // cannot be told.
  int line() const { return line_; }

 private:
  void visit(const std::string& word, const TTAGNode* node) {
    static constexpr std::string_view kMarks[] = {"</Record>", "<Record ", "</Holder>", "<Field "};
    // Nearly every tag holds no "<" but its first: one look at the word tells.
    for (std::size_t lt = word.find('<', 1); lt != std::string::npos; lt = word.find('<', lt + 1)) {
      const std::string_view rest = std::string_view(word).substr(lt);
      if (std::none_of(std::begin(kMarks), std::end(kMarks), [&](std::string_view m) { return rest.starts_with(m); }))
        continue;
      const std::size_t at = node->sourceOffset();
      line_ = at >= text_.size()
                  ? -1
                  : 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
      return;
    }
    const auto& lines = node->lines();
    for (std::size_t i = 0; i < lines.size() && line_ == 0; ++i) {
      if (!lines[i].object || lines[i].object == TTAGNode::BreakMark()) continue;  // a note's lines
      if (const TTAGNode* child = node->element(static_cast<int>(i))) visit(lines[i].text, child);
    }
  }

  const std::string& text_;
  int next_ = 0;
  int line_ = 0;
};

}  // namespace

int ReadHolderFile(MemoHolder& holder, const std::string& path, StringList& messages, std::string* elementName) {
  // Only a file that is not there is missing: one that is there but cannot be read (a
  // link loop, a folder, no permission) could not be read whole and must not be saved over.
  if (platform::fileMissing(path)) {
    messages.add("Not Found MemoHolder: " + path);
    holder.loaded = true;
    holder.loadFailed = false;
    return -2;
  }
  // The file is this notebook's from now on, whatever its content turns out to be.
  holder.claimFile(path);
  std::string data, why;
  if (!platform::readFile(path, data, &why)) {
    messages.add("Cannot read the notebook file " + path + ": " + why);
    holder.loadFailed = true;
    return -1;
  }
  // A ".mhz" is normally compressed, but one unpacked from an archive holds plain text;
  // and a compressed notebook that was renamed still opens. Notebook text starts with
  // "<", which never looks like a zlib header.
  bool damagedStream = false;
  if (hasZlibHeader(data)) {
    std::string text, error;
    const ZStatus inflated = ZInflateChecked(data, text, &error);
    if (inflated == ZStatus::Ok) {
      data.swap(text);
    } else if (inflated == ZStatus::TooLarge) {
      messages.add(TooLargeToOpen(path));
      holder.loadFailed = true;
      return -1;
    } else if (sjis::lower(platform::extOf(path)) == ".mhz") {
      messages.add("The compressed notebook file " + path + " is damaged: " + error);
      // What inflates before the damage is still the user's notes: they are shown, and
      // the file is kept as it is (below).
      text = inflatePrefix(data);
      if (text.size() > InflateLimit()) {
        messages.add(TooLargeToOpen(path));
        holder.loadFailed = true;
        return -1;
      }
      if (text.find("<Holder") == std::string::npos) {
        holder.loadFailed = true;
        return -1;
      }
      data.swap(text);
      damagedStream = true;
    }
  }
  if (std::all_of(data.begin(), data.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; })) {
    // Nothing in it to keep (a file another program created and never filled): the
    // notebook starts empty and may be saved there, or it could never be saved at all.
    messages.add("The notebook file " + path + " is empty.");
    holder.loaded = true;
    holder.loadFailed = false;
    return 0;
  }
  // Each note is read as soon as its Record element closes, and that part of the tree
  // is freed, so a large notebook is never held as a whole tree beside its notes. A
  // file that fails to parse part-way takes back what was read from it.
  TTAGNode root;
  TTAGNode* element = nullptr;
  TTAGNode* streamed = nullptr;
  MemoHolder::TreeReading reading;
  SwallowedStructure swallowed(data);
  reading.sameName = holder.getFlagSameName_();
  const int notesBefore = holder.getNodeCount_();
  MemoNode* const currentBefore = holder.getCurrentNode_();
  const StringList fieldsBefore = holder.fieldList() ? *holder.fieldList() : StringList();
  const std::function<void(TTAGNode*)> onClosed = [&](TTAGNode* closed) {
    TTAGNode* parent = closed->parent();
    if (!parent || parent->parent() != &root) return;
    if (!streamed) {
      if (TTAGNode::FindChildTag(&root, "Holder") != parent) return;
      streamed = parent;
    }
    if (parent != streamed) return;
    swallowed.scanNew(streamed);
    holder.readTreeLines_(streamed, reading, true);
  };
  try {
    element = parseFileText(data, "Holder", root, nullptr, messages, onClosed, true);
  } catch (const std::exception& e) {
    messages.add(e.what());
    element = nullptr;
  }
  if (!element) {
    for (int i = holder.getNodeCount_() - 1; i >= notesBefore; --i) {
      MemoNode* note = holder.getNode_(i);
      holder.removeNode_(note);
      delete note;
    }
    if (StringList* fields = holder.fieldList()) *fields = fieldsBefore;
    holder.putCurrentNode_(currentBefore);
    messages.add("The notebook file " + path + " could not be read; it is left unchanged.");
    holder.loadFailed = true;
    return -1;
  }
  if (elementName) *elementName = Dequote(TTAGNode::AttributeValue(element, "name"));
  const bool damaged = damagedStream || cutShort(element);
  swallowed.scanNew(element);
  holder.readTreeLines_(element, reading, true);
  holder.readTreeEnd_();
  const int swallowedAt = swallowed.line();
  holder.loaded = true;
  if (swallowedAt != 0) {
    messages.add("The notebook file " + path + " is damaged" +
                 (swallowedAt > 0 ? " at line " + std::to_string(swallowedAt) : std::string()) +
                 ": a quoted value there runs on over the notes that follow it (a double quote is missing). "
                 "The notes found in it were read, but the file will not be saved over without your "
                 "confirmation; save the notebook under another name.");
    holder.loadFailed = true;
    return -1;
  }
  if (damaged) {
    // The notes before the cut are shown, but the damaged file stays as it is: saving
    // over it would make the loss final and hide it.
    messages.add("The notebook file " + path +
                 " was cut short or damaged. The notes found in it were read, but the file will not be saved "
                 "over; save the notebook under another name.");
    holder.loadFailed = true;
    return -1;
  }
  holder.loadFailed = false;
  return 0;
}

int LoadHolder(MemoHolder& holder, StringList& messages) {
  const std::string path = holder.getFileName_();
  const int r = ReadHolderFile(holder, path, messages);
  // A notebook stored elsewhere lives where it was read from, whatever path its file
  // recorded when it was written (before a move, or into an archive).
  if (r != -2 && holder.loaded && holder.getFlagExtra_()) holder.putField_("Filename", QuoteValue(path));
  return r;
}

int ReadDocumentFile(MemoFile& doc, const std::string& path, StringList& messages) {
  std::string data;
  if (!platform::readFile(path, data)) {
    messages.add("Cannot read the document file " + path);
    return -1;
  }
  return ReadDocumentText(doc, path, data, messages);
}

int ReadDocumentText(MemoFile& doc, const std::string& path, const std::string& data, StringList& messages) {
  if (data.size() < 100) {
    messages.add("The document file " + path + " is too short to be a document.");
    return -1;
  }
  TTAGNode root;
  int words = 0;
  TTAGNode* element = nullptr;
  try {
    element = parseFileText(data, "File", root, &words, messages);
  } catch (const std::exception& e) {
    messages.add(e.what());
  }
  if (words <= 4) {
    messages.add("The document file " + path + " holds too little to be a document.");
    return -1;
  }
  if (!element) {
    messages.add("The document file " + path + " could not be read.");
    return -1;
  }
  if (cutShort(element)) {
    // Its last notebook references are missing; a document saved from what is left
    // would drop those notebooks without a word.
    messages.add("The document file " + path +
                 " ends before its </File> end tag: it was cut short or damaged and is not opened. Its "
                 "notebooks can still be opened from their own files.");
    return -1;
  }
  doc._readTAG_(element);
  doc.putFileName_(path);
  return 0;
}

std::string ArchivePartFileName(const std::string& stored) {
  std::string name = sjis::trim(stored);
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); i += sjis::charLen(name, i)) {
    char c = name[i];
    if (sjis::charLen(name, i) == 1 && (c == '\\' || c == '/' || c == ':')) start = i + 1;
  }
  name = name.substr(start);
  if (name.empty() || name == "." || name == "..") return {};
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return {};
  return name;
}

std::string ArchivePartName(const std::string& path) {
  // Readers keep only the last component; a path holding a double quote or a line break
  // (possible outside Windows) would cut the quoted header short and unpack the part
  // under a wrong name, so it goes without its folder and with those characters made "_".
  if (path.find_first_of("\"\r\n") == std::string::npos) return path;
  std::string name = platform::fileNameOf(path);
  for (char& c : name)
    if (c == '"' || c == '\r' || c == '\n') c = '_';
  return name;
}

void UseUnpackedNotebooks(MemoFile& doc, const std::string& dir) {
  std::string folder = dir;
  if (!folder.empty() && platform::lastSeparator(folder) != folder.size() - 1) folder += '/';
  for (int i = 0; i < doc.getHolderCount_(); ++i) {
    MemoHolder* h = doc.getHolder_(i);
    if (!h || !h->getFlagExtra_()) continue;
    const std::string name = ArchivePartFileName(ArchivePartName(h->getFileName_()));
    if (!name.empty()) h->putField_("Filename", QuoteValue(folder + name));
  }
}

int UnpackArchive(const std::string& archive, const std::string& targetDir, std::vector<std::string>& written,
                  StringList& messages, const OverwriteQuestion& overwrite,
                  const std::function<void(const std::string& target)>& onPart) {
  std::string data, text, error;
  if (!platform::readFile(archive, data)) {
    messages.add("Cannot read the archive " + archive);
    return -1;
  }
  if (const ZStatus st = ZInflateChecked(data, text, &error); st != ZStatus::Ok) {
    messages.add(st == ZStatus::TooLarge ? TooLargeToOpen(archive) : "The archive " + archive + " is damaged: " + error);
    return -1;
  }
  std::string().swap(data);  // large archives: hold one form of the text at a time
  StringList lines;
  lines.setText(text);
  std::string().swap(text);
  std::unique_ptr<TContent> top(Create<TContent>(nullptr));
  top->parseMIME_(lines);
  // A part that no boundary line ends is dropped by the MIME reader without a word;
  // an archive whose text stops before its closing boundary has lost its last notebook.
  int last = lines.count() - 1;
  while (last >= 0 && sjis::trim(lines[last]).empty()) --last;
  const std::string closing = last >= 0 ? sjis::trim(lines[last]) : std::string();
  // The parts hold all that is needed now: the archive's text as lines goes before any
  // part is written, so a large archive is never in memory twice over.
  lines = StringList();
  TObjectParent* parts = top->parts();
  if (!parts || parts->children().count() == 0) {
    messages.add("The archive " + archive + " holds no parts.");
    return -1;
  }
  if (closing.size() < 5 || !sjis::startsWith(closing, "--") || !sjis::endsWith(closing, "--"))
    messages.add("The archive " + archive +
                 " ends before its closing boundary: it was cut short and its last part is missing. "
                 "The parts before the cut are unpacked.");
  std::string dir = targetDir.empty() ? platform::dirOf(archive) : targetDir;
  if (!dir.empty() && platform::lastSeparator(dir) != dir.size() - 1) dir += '/';
  const std::string self = platform::fileNameOf(archive);
  int count = 0;
  const StringList& c = parts->children();
  for (int i = 0; i < c.count(); ++i) {
    auto* part = c.objectAs<TContent>(i);
    if (!part) continue;
    std::string name = ArchivePartFileName(part->fileName);
    if (name.empty() || (targetDir.empty() && name == self)) {
      messages.add("Refused archive part name: " +
                   (part->fileName.empty() ? c[i] + " (a part without a file name)" : part->fileName));
      continue;
    }
    std::string path = dir + name;
    if (onPart) onPart(path);
    const std::string& bytes = part->data() ? *part->data() : std::string();
    if (platform::fileExists(path)) {
      // A file that already holds the part is left alone, and nobody is asked about it:
      // it is unpacked as it stands.
      std::string there;
      if (platform::readFile(path, there) && there == bytes) {
        written.push_back(path);
        ++count;
        continue;
      }
      // Beside the archive there may be newer files of the same names: each is replaced
      // only when the user says so.
      if (!(overwrite && overwrite(path))) {
        messages.add("Not overwritten: " + path);
        continue;
      }
    }
    std::string why;
    if (!platform::writeFileAtomic(path, bytes, &why)) {
      messages.add("Part " + part->fileName + " not unpacked: " + why);
      continue;
    }
    written.push_back(path);
    ++count;
  }
  return count;
}

std::string FolderKey(const std::string& fileName) {
  return sjis::lower(platform::dirOf(platform::resolvePath(platform::toSlashes(fileName))));
}

bool SaveDocumentAndHolders(MemoFile& doc, const std::string& path, bool onlyModified, SaveReport& report,
                            const HolderSavePolicy& policy) {
  if (policy.commit) policy.commit();
  HolderSavePolicy asking = policy;
  asking.commit = nullptr;
  std::string why;
  const std::string oldName = doc.getFileName_();
  // A document written into another folder moves there with the notebooks of its folder,
  // as Save As does: it must never name notebook files it left behind, and the old folder
  // keeps its files as they are. A notebook stored in a folder of its own stays there.
  const bool moved = FolderKey(path) != FolderKey(oldName);
  if (moved) {
    // Read while the notebooks are still looked for where they are.
    for (int i = 0; i < doc.getHolderCount_(); ++i) {
      MemoHolder* h = doc.getHolder_(i);
      if (!h || h->loaded) continue;
      const std::string file = h->getFileName_();
      StringList loadMessages;
      if (platform::fileMissing(file)) {
        h->loaded = true;  // nothing to carry: it is written empty, as its note list is
      } else if (LoadHolder(*h, loadMessages) == -1) {
        report.notWritten.push_back(file);
        report.messages.add("Not saved: " + file + " (it could not be read first)");
      }
    }
    if (!report.notWritten.empty()) {
      report.notWritten.push_back(path);
      report.messages.add("Not saved: " + path + " (kept as it was, so that it names no notebook file left unsaved)");
      return false;
    }
    doc.putFileName_(path);
  }
  if (!doc.checkHolderFileNames_(why)) {
    if (moved) doc.putFileName_(oldName);
    report.messages.add(why);
    report.notWritten.push_back(path);
    return false;
  }
  // The notebooks carried into the new folder name their linked files from there.
  std::vector<LinkRebase> rebased;
  const std::string oldDir = platform::dirOf(platform::resolvePath(platform::toSlashes(oldName)));
  const std::string newDir = platform::dirOf(platform::resolvePath(platform::toSlashes(path)));
  std::vector<HolderSave> saves;
  std::vector<bool> wasModified;
  for (int i = 0; i < doc.getHolderCount_(); ++i) {
    MemoHolder* h = doc.getHolder_(i);
    if (!h) continue;
    // Each notebook of the document's folder is needed in the new one, modified or not.
    const bool carried = moved && !h->getFlagExtra_();
    if (onlyModified && !h->modified && !carried) continue;
    wasModified.push_back(h->modified);
    saves.push_back(SettleHolderSave(*h, asking));
    if (carried) rebased.push_back(RebaseRelativeLinks(*h, oldDir, newDir));
    if (saves.back().state == HolderSave::State::Cancelled) break;
  }
  // The document stays where it was written last; so do the changes of notebooks that
  // were written only into the folder it did not move to.
  auto stayBehind = [&] {
    if (!moved) return;
    doc.putFileName_(oldName);
    for (LinkRebase& r : rebased) r.putBack();
    for (std::size_t i = 0; i < saves.size(); ++i)
      if (saves[i].state == HolderSave::State::Saved && wasModified[i] && !saves[i].holder->getFlagExtra_())
        saves[i].holder->modified = true;
  };
  if (const HolderSave* cancelled = FirstCancelled(saves)) {
    stayBehind();
    report.notWritten.push_back(cancelled->file);
    report.notWritten.push_back(path);
    report.messages.add("Cancel: " + cancelled->why + "; " + path + " is not written either");
    return false;
  }
  for (HolderSave& s : saves) {
    WriteHolderSave(s);
    if (s.state == HolderSave::State::Saved) {
      report.written.push_back(s.file);
      continue;
    }
    report.notWritten.push_back(s.file);
    report.messages.add("Not saved: " + s.why);
  }
  if (!report.notWritten.empty()) {
    stayBehind();
    report.notWritten.push_back(path);
    report.messages.add("Not saved: " + path + " (kept as it was, so that it names no notebook file left unsaved)");
    return false;
  }
  if (doc.saveToFile_(moved ? doc.getFileName_() : path, &why) < 0) {
    stayBehind();
    report.notWritten.push_back(path);
    report.messages.add("Not saved: " + why);
    return false;
  }
  doc.modified = false;
  report.written.push_back(moved ? doc.getFileName_() : path);
  return true;
}

}  // namespace wux

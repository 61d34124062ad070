#pragma once
// One note: a record owned by a notebook, stored in the notebook file as a Record
// element. Binary content travels as Base64 body lines in the file and lives in the
// content part in memory.
#include <string>

#include "model/records/MemoBasic.h"

namespace wux {

class MemoHolder;
class MemoFile;

class MemoNode : public MemoBasic {
 public:
  using MemoBasic::MemoBasic;
  int clear_() override;
  TObjectNamed* deepCopy() const override;
  void copyFrom_(const TObjectNamed& source) override;
  int _readTAG_(TTAGNode* element) override;
  // _readTAG_; with `take` the texts and fields are moved out of the element, which the
  // caller frees next.
  int readRecord_(TTAGNode* element, bool take);
  std::string getTempDir_() override;
  Color getColor_() override;
  bool isReadOnly_() override;

  virtual MemoNode* cloneNode_() const;
  // Links this note under `parent` (which gets a UID first when it has none).
  virtual void putParentNode_(MemoNode* parent);
  // The depth in a tree view; plain notes have no view and answer 0.
  virtual int getLevel_();

  int writeRecord_(StringList& lines, const std::string& indent);
  // The Record element appended to one text; `name` is the note's name as its notebook
  // holds it (the writer of a whole notebook knows it without a lookup).
  int writeRecordText_(std::string& out, std::string_view indent, std::string_view name);
  int decodeBase64Body_();

  bool isMarked_() const;
  void putMarked_(bool flag);
  std::string getContentType_() const;
  void putContentType_(const std::string& type);
  std::string getTransferEncoding_() const;
  MemoHolder* getParentHolder_() const;
  MemoFile* getParentFile_() const;
  std::string getFieldInherited_(const std::string& name) const;
  void putParentNodeID_(MemoNode* parent);
  // Makes the field's absolute path relative to `base` (a file, or a directory ending in
  // a separator); returns the quoted new value, or "" when nothing changed.
  std::string makeRelativePath_(const std::string& fieldName, const std::string& base);
  std::string getHeadline_() const;
  // 0 without a file name, else the import's result plus one (the reason of a failed
  // import in `error`). Only a successful import sets linkedFileLoaded, so a failed one
  // is tried again at the next need.
  long long loadLinkedFile_(std::string* error = nullptr);
  // Whether the body comes from the file `Filename` names (a link note's address is no
  // such file).
  bool isLinkedFile_() const;
  // The linked file as a full path (a name beginning with "." is taken from the
  // notebook file's folder); "" when `Filename` is empty.
  std::string linkedFilePath_() const;
  // The one way to the note's text and content for a reader that puts them somewhere
  // else (a page, a print, a mail, another file): a linked note whose file is not read
  // yet is read first, as showing it does. Reading leaves the notebook unmodified. False,
  // with the reason in `why`, when the file cannot be read.
  bool loadForReading_(std::string& why);
  // What saving the note to `target` (a full path) comes to. Onto another file a linked
  // note is written once its file is read. Its own linked file is written only with a
  // text changed since it was read; unchanged, or never read, the file is kept as it is
  // (Keep). A note never read that holds text of its own is refused: that text never
  // replaces the file unread. Refuse gives the reason in `why`.
  enum class SaveStep { Write, Keep, Refuse };
  SaveStep saveStep_(const std::string& target, std::string& why);
  // The closing text of a reader that left out a note whose file could not be read.
  static std::string unreadText(const std::string& name, const std::string& why) {
    return "Failure: " + name + ": " + why;
  }
  // The log line of a note whose own linked file was kept; `name` as the caller lists it.
  static std::string keptLinkedFileLine(const std::string& name, const std::string& target);

  bool linkedFileLoaded = false;
  bool contentModified = false;
};

}  // namespace wux

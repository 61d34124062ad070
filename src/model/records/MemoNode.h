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
  // Readies a note for a batch save to `target` (a full path): a linked note whose file
  // is not read yet is read first, so its content is written and not an empty body. It
  // is neither read nor written when `target` is that linked file itself: writing it
  // back unread would empty the file. False when the note must not be written, with the
  // log line saying why in `refusal`; `name` is the note's name as the caller lists it.
  bool readyForBatchSave_(const std::string& name, const std::string& target, std::string& refusal);

  bool linkedFileLoaded = false;
  bool contentModified = false;
};

}  // namespace wux

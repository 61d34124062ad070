#pragma once
// The open document: an ordered, named set of notebooks plus the document's own fields
// and text. The ".mxa" file holds only references to the notebooks, each of which lives
// in its own file; the ".maz" archive carries the document and every notebook.
#include <memory>
#include <string>
#include <vector>

#include "model/records/MemoHolder.h"

namespace wux {

class MemoFile : public MemoBasic {
 public:
  explicit MemoFile(TObjectNamed* owner = nullptr);
  ~MemoFile() override;

  int clear_() override;
  void getNameChild_(const TObjectNamed* child, std::string& name) const override;
  int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) override;
  void getName_(std::string& name) const override;
  void putName_(const std::string& newName, std::string& actual) override;
  int _writeTSL_deep_(StringList& lines, const std::string& indent) override;
  int _readTAG_(TTAGNode* element) override;

  virtual MemoHolder* newHolder_();
  virtual int getHolderCount_();
  virtual int indexOfHolder_(MemoHolder* holder);
  virtual MemoHolder* getHolder_(int index);
  virtual MemoHolder* findHolderByName_(const std::string& name);
  virtual StringList& getHolderList_(StringList& list);
  virtual std::string makeUniqueHolderName_(const std::string& name);
  virtual MemoHolder* addNewHolder_(int index);
  virtual int removeHolder_(MemoHolder* holder);
  virtual void addHolder_(MemoHolder* holder, const std::string& name, std::string& actual);
  virtual void insertHolder_(int index, MemoHolder* holder, const std::string& name, std::string& actual);
  virtual void saveToTSL_(StringList& lines);
  virtual void moveHolderUp_(int i);
  virtual void moveHolderDown_(int i);
  virtual void moveHolderTop_(int i);
  virtual void moveHolderBottom_(int i);
  virtual void moveHolder_(int i, int j);

  std::string getFileName_();
  std::string getFileDir_();
  int putFileName_(const std::string& name);
  // ".mxa": the document file; ".maz": the archive. The length of the text written, or
  // -1 when nothing was written, with the reason in `error`.
  long long saveToFile_(const std::string& name, std::string* error = nullptr);
  // Writes the archive of the document and every notebook. Notebooks that are not in
  // memory are read from their files first; one that cannot be read is left out (its
  // reference stays, so the notebook is still found in its own file), named in
  // `leftOut` and reported in `error` as "Not Loaded: " and its file name. The
  // uncompressed size, or -1 when nothing was written, with the reason in `error`.
  long long saveMAZ_(const std::string& name, std::vector<std::string>* leftOut = nullptr,
                     std::string* error = nullptr);
  std::string getModeHoldersMngr_() const;
  void putModeHoldersMngr_(const std::string& mode) { modeHoldersMngr_ = mode; }
  // False (and a message naming both) when two notebooks would be written to one file.
  bool checkHolderFileNames_(std::string& message);
  // The notebook other than `except` whose file `path` is, or nullptr.
  MemoHolder* holderInFile_(const std::string& path, const MemoHolder* except);

  MemoHolder* getCurrentHolder() const { return current_; }
  void putCurrentHolder(MemoHolder* h) { current_ = indexOfHolder_(h) >= 0 ? h : nullptr; }
  TObjectParent* holders() const { return holders_.get(); }

  bool modified = false;
  std::string directory;

 private:
  std::string ownName_ = "noname";
  std::string modeHoldersMngr_;
  std::unique_ptr<TObjectParent> holders_;
  MemoHolder* current_ = nullptr;
};

}  // namespace wux

#pragma once
// One notebook: an ordered, named set of notes plus its settings, kept partly as fields
// and partly as typed members. It lives in its own file: ".mxh" (text) or ".mhz" (the
// same text compressed with zlib).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/clock.h"
#include "model/records/MemoNode.h"

namespace wux {

class MemoFile;

class MemoHolder : public MemoBasic {
 public:
  explicit MemoHolder(TObjectNamed* owner = nullptr);
  ~MemoHolder() override;

  int clear_() override;
  void getNameChild_(const TObjectNamed* child, std::string& name) const override;
  int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) override;
  TObjectNamed* deepCopy() const override;
  void copyFrom_(const TObjectNamed& source) override;
  int _readTAG_(TTAGNode* element) override;
  // _readTAG_ that may also release each Record element of `element` once read: the
  // file reader owns the tree and so never holds two copies of a large notebook.
  virtual int readFromTree_(TTAGNode* element, bool releaseRecords);
  // The same in steps, while the file is still being parsed: each readTreeLines_ reads
  // the lines of the Holder element not read yet; readTreeEnd_ then sets the typed
  // settings from the fields.
  struct TreeReading {
    MemoNode* last = nullptr;
    bool sameName = false;
    std::size_t next = 0;
  };
  void readTreeLines_(TTAGNode* element, TreeReading& reading, bool releaseRecords);
  int readTreeEnd_();
  std::string getTempDir_() override;
  bool isReadOnly_() override;

  virtual MemoNode* newNode_();
  virtual std::string makeUniqueNodeName_(const std::string& name);
  virtual std::string getFormatDate_();
  virtual std::string getFormatNumber_();
  virtual MemoNode* createNewChildNode_(MemoNode* parent);
  virtual int getNodeCount_();
  virtual int getMarkedCount_();
  virtual StringList& getMarkedList_(StringList& list);
  virtual StringList& setNodeList_(StringList& list);
  virtual int indexOfNode_(MemoNode* node);
  virtual MemoNode* getPrevNode_(MemoNode* node);
  virtual MemoNode* getNextNode_(MemoNode* node);
  virtual MemoNode* getFirstNode_();
  virtual MemoNode* getLastNode_();
  virtual MemoNode* getNode_(int index);
  virtual MemoNode* findNodeByName_(const std::string& name);
  virtual int removeNode_(MemoNode* node);
  virtual int addNode_(MemoNode* node, const std::string& name);
  virtual int insertNode_(MemoNode* node, const std::string& name, int index);
  virtual MemoNode* getCurrentNode_();
  virtual int putCurrentNode_(MemoNode* node);
  virtual void putColor_(Color color);

  MemoNode* createNewNode_();
  bool getFlagSort_() const;
  void putFlagSort_(bool on);
  bool getFlagAscending_() const;
  void putFlagAscending_(bool on);
  bool getFlagExtra_() const;
  void putFlagExtra_(bool on);
  bool getFlagSameName_() const;
  std::string getFileExt_() const;
  std::string getNewNodeName_() const;
  std::string getNewNodeOption_() const;
  std::string getModeNodesMngr_() const;
  MemoFile* getParentFile_() const;
  int getFieldNames_(StringList& list);
  int getFieldValues_(const std::string& name, StringList& list);
  std::string getFileName_();
  void saveToTSL_(StringList& lines);
  // The whole notebook file as one text (what saveToTSL_ gives, joined by CR LF).
  std::string saveToText_();
  // The same text made piece by piece: whenever `out` has grown past about a megabyte,
  // `flush` is called to take it (and leave it empty). Without `flush` it all stays in
  // `out`.
  void writeText_(std::string& out, const std::function<void(std::string&)>* flush);
  // Answers whether a notebook whose own file could not be read whole may be saved over
  // that file (given its path); asked only for such a notebook.
  using ConfirmOverwrite = std::function<bool(const std::string& path)>;
  // Writes the notebook by the name's extension; the length of the text, or -1 when
  // nothing was written (unknown extension, failed write, a notebook whose own file
  // could not be read whole and would be overwritten without `confirm` agreeing, or one
  // whose own file name is taken by a file it never read nor wrote and would be
  // overwritten without `confirmForeign` agreeing), with the reason in `error`.
  long long saveToFile_(const std::string& fileName, std::string* error = nullptr,
                        const ConfirmOverwrite& confirm = {}, const ConfirmOverwrite& confirmForeign = {});
  // Save As: writes the notebook to `fileName` (".mxh" or ".mhz"), which it then lives in:
  // the document refers to that file from then on and counts as modified, and the notebook
  // counts as read whole. A file another notebook of the document lives in is refused.
  // Nothing changes unless the file is written. The result is saveToFile_'s.
  // Moved to another folder, the notes' relative links are rewritten to name the same
  // files from there first, and put back when the file is not written. The modified flag
  // is left to the caller.
  long long saveAsFile_(const std::string& fileName, std::string* error = nullptr,
                        const ConfirmOverwrite& confirm = {}, const ConfirmOverwrite& confirmForeign = {});
  // Whether this notebook has read or written the file `fileName` names. A file under
  // its name that it has not is another document's notebook as far as it knows ("new"
  // is every new notebook's name), and is not written over without a question.
  bool ownsFile(const std::string& fileName) const;
  void claimFile(const std::string& fileName);

  TObjectParentEX* nodes() const { return nodes_.get(); }

  bool modified = false;
  bool loaded = false;
  // Set when the notebook's file exists but could not be read: its notes are not in
  // memory, so saving over that file would destroy them. Cleared by a successful read.
  bool loadFailed = false;
  bool flagAccount = false;
  bool flagAutoReLoad = false;
  int ReloadMinutes = 0;
  DateTime TimeReLoad;
  bool flagAutoSave = false;
  int SaveMinutes = 0;
  DateTime TimeSaved;
  int CountSave = 0;

 protected:
  // Adds without the unique-name search; for readers that already know the name is new.
  void addNodeRaw_(MemoNode* node, const std::string& name);

 private:
  MemoNode* current_ = nullptr;
  std::unique_ptr<TObjectParentEX> nodes_;
  std::vector<std::string> ownFiles_;  // full paths
};

// What a notebook's question and refusal say of a file under its name that it never read
// nor wrote (the full path).
std::string ForeignFileText(const std::string& fileName);
// Whether two notebook file names name one file: the same full path without regard to
// letter case, or one file on disk reached by two names (a link). Every test of "the same
// notebook file" asks this.
bool SameNotebookFile(const std::string& a, const std::string& b);
// The refusal when two notebooks of a document would be saved to one file.
std::string SharedFileText(const std::string& first, const std::string& second, const std::string& file);

}  // namespace wux

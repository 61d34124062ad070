#pragma once
// The notebook class of the running program. Until its first view is built its notes
// are the notebook's own container, in file order. From then on the live note list is
// the notebook's ordered note list: every list operation reads and changes it, and the
// notebook is saved in its order (the tree in pre-order, collapsed branches included).
// The notes stay owned by the container, which is kept in the list's order, so clearing
// the notebook frees exactly the notes it holds and the notebook writer saves them in
// the order shown; the list orders, nests and names them.
#include <QIcon>
#include <QPointer>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "model/records/MemoHolder.h"
#include "views/NoteItemModel.h"
#include "views/NoteList.h"

class QWidget;

namespace wux {

class MemoNodeUI;
class NoteViewBinding;

class MemoHolderUI : public MemoHolder, private ListObserver {
 public:
  enum class Kind { None, Nodes, CheckList, Tree, List };

  explicit MemoHolderUI(TObjectNamed* owner = nullptr);
  ~MemoHolderUI() override;

  // ---- the notebook's list operations, by working kind ----
  int clear_() override;
  void getNameChild_(const TObjectNamed* child, std::string& name) const override;
  int putNameChild_as_(TObjectNamed* child, const std::string& newName, std::string& actual) override;
  void putName_(const std::string& newName, std::string& actual) override;
  MemoNode* newNode_() override;
  std::string makeUniqueNodeName_(const std::string& name) override;
  int getNodeCount_() override;
  int getMarkedCount_() override;
  StringList& getMarkedList_(StringList& list) override;
  StringList& setNodeList_(StringList& list) override;
  int indexOfNode_(MemoNode* node) override;
  MemoNode* getPrevNode_(MemoNode* node) override;
  MemoNode* getNextNode_(MemoNode* node) override;
  MemoNode* getFirstNode_() override;
  MemoNode* getLastNode_() override;
  MemoNode* getNode_(int index) override;
  MemoNode* findNodeByName_(const std::string& name) override;
  // Detaches the note (with its subtree in a tree view); the caller owns the note then.
  int removeNode_(MemoNode* node) override;
  // removeNode_ for many notes at once, in one change of the list; the caller owns each
  // note given (the notes below them that were not given stay with the notebook).
  void removeNodes_(const std::vector<MemoNode*>& notes);
  int addNode_(MemoNode* node, const std::string& name) override;
  int insertNode_(MemoNode* node, const std::string& name, int index) override;
  MemoNode* getCurrentNode_() override;
  int putCurrentNode_(MemoNode* node) override;
  void putColor_(Color color) override;
  // Gives a view control the notebook's colour as its background, with black text on
  // it whatever the desktop's theme (light text would vanish on a light colour).
  void paintView_(QWidget* control);

  MemoHolderUI* createCopy_();

  // ---- views ----
  // The list's kind: Nodes until a view is built, then the kind last built.
  Kind workingKind() const { return viewBuilt_ ? builtKind_ : Kind::Nodes; }
  bool viewBuilt() const { return viewBuilt_; }
  // The kind that ModeNodesMngr names ("Nodes" and empty: check list; None: no view).
  static Kind kindOfMode(const std::string& rawMode);
  // Converts the list to the kind and records it in ModeNodesMngr. No widgets.
  void buildView_(Kind kind);
  // The control showing the kind, when the view builder (NoteViewBuilder.h) made one.
  // The notebook only refers to it: the builder makes it, and it goes with the model.
  QWidget* viewControl(Kind kind) const;
  void setViewControl(Kind kind, QWidget* control);
  // Selects the note in the shown control without reporting it as the user's choice.
  void selectInView_(MemoNode* node);
  void showView_();
  void hideView_();
  QWidget* getViewControl_() const;
  NoteViewBinding* getViewBinding_() const;
  void mouseCursor_(int cursor);
  NoteItemModel* model(Kind kind);

  // ---- icons and tree state ----
  int makeIconList_();
  // name=index lines, one per icon note that was loaded (empty: none).
  const StringList& iconMap() const { return iconMap_; }
  // The icon index that a note's field `icon` selects; -1 for none.
  int iconIndexOf_(MemoNode* node) const;
  int iconCount() const { return iconCount_; }
  // The picture a note's `icon` field selects, when the notebook has it.
  QIcon iconOf_(MemoNode* node) const;
  void refreshIcons_();
  void applyFlagExpanded_();
  void _TV_after();
  int makeCSVText_(StringList& out);
  MemoNode* addCopy_(MemoNode* node);
  void closeNodeWindows_();

  // Columns and cells a list-view query filled (the first column is the name).
  StringList& listColumns() { return listColumns_; }
  const std::vector<int>& listColumnWidths() const { return listColumnWidths_; }
  void addListColumn_(const std::string& caption, int width);
  void clearListColumns_();
  // Tells the list view that its columns or cells changed.
  void listColumnsChanged_();
  std::unordered_map<const TObject*, std::vector<std::string>>& listCells() { return listCells_; }

  // A click on a check box; without a hook the note is simply marked.
  std::function<void(MemoNode*, bool)> checkClickHook;

  NoteList& noteList() { return list_; }
  NoteItem* itemOf(MemoNode* node) const { return list_.itemOf(node); }

 private:
  MemoNodeUI* noteAt(NoteItem* it) const;
  void addToContainer(MemoNode* node, const std::string& name);
  NoteItem* placeNew(MemoNode* node, const std::function<NoteItem*()>& op);
  void syncContainerName(MemoNode* node, const std::string& name);
  void freeViews();
  // The container follows the list, so that whatever walks the container (the notebook
  // writer above all) sees the notes in the order shown.
  void structureChanged() override;

  NoteList list_;
  // Notes below a removed branch: out of the notebook, alive until clear_.
  std::vector<std::unique_ptr<TObjectNamed>> removedBranches_;
  bool viewBuilt_ = false;
  bool deferSync_ = false;  // a new note is being placed: placeNew() keeps the container
  Kind builtKind_ = Kind::Nodes;
  std::unique_ptr<NoteItemModel> models_[3];
  QPointer<QWidget> controls_[3];  // not owned
  StringList iconMap_;
  int iconCount_ = 0;
  std::vector<QIcon> icons_;
  StringList listColumns_;
  std::vector<int> listColumnWidths_;
  std::unordered_map<const TObject*, std::vector<std::string>> listCells_;
};

}  // namespace wux

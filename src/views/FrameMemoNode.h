#pragma once
// The note editor: one note's name, content, comment and fields. It never decides when
// to show or commit; its owner calls showNode_() after choosing a note and storeNode_()
// before anything reads or changes the model. The model keeps Shift_JIS; only the
// widgets see Unicode.
#include <QWidget>

#include "model/text/StringList.h"

class QLabel;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;

namespace wux {

class MainWindowApi;
class MemoNode;
class TBraceTreeView;
class TFrameImage;
class TFrameWB;

class TFrameMemoNode : public QWidget {
  Q_OBJECT
 public:
  explicit TFrameMemoNode(QWidget* parent = nullptr);

  // The owner sets these right before showNode_ or storeNode_.
  void setNode(MemoNode* node) { node_ = node; }
  MemoNode* node() const { return node_; }
  void setOwnerForm(MainWindowApi* form) { owner_ = form; }
  MainWindowApi* ownerForm() const { return owner_; }

  void showNode_();
  // Commits the editor into the note; true when the note changed.
  bool storeNode_();
  void showContent_();
  void loadFields_();
  bool storeFields_();
  void loadComment_();
  bool storeComment_();
  void loadName_();
  bool storeName_();
  bool storeContent_();
  void clear_();
  void hideFields_();
  void hideComment_();
  void showFields_();
  void showComment_();
  bool fieldsShown() const;
  bool commentShown() const;
  void setReadOnly_(bool flag);
  bool readOnly() const { return readOnly_; }
  void setCursor_(int cursor);
  void message_(const std::string& text);

  // Puts text over an editor's selection and selects it; what it replaced (when not
  // blank) goes to the paste buffer.
  void replaceSel_(QPlainTextEdit* edit, const std::string& text);
  void replaceNodeMemoSel_(const std::string& text);
  void replaceActiveMemoSel_(const std::string& text);
  QPlainTextEdit* getActiveMemo_() const;

  // The controls, for the owner, the commands and the tests.
  QPlainTextEdit* MemoNode0() const { return memo_; }
  QPlainTextEdit* Memo_comment() const { return comment_; }
  QPlainTextEdit* Memo_Fields() const { return fields_; }
  QLabel* StaticText_name() const { return name_; }
  void setNameText(const std::string& sjisName);
  std::string nameText() const;
  const StringList& pasteBuffer() const { return pasteBuffer_; }
  // Which content view shows: "text", "image", "web", "tree" or "" (none).
  std::string contentView() const;
  // The web frame and the brace tree, made on first use (null until then).
  TFrameWB* webFrame() const { return webFrame_; }
  TBraceTreeView* braceTree() const { return braceTree_; }
  TFrameImage* imageFrame() const { return imageView_; }
  bool treeModified() const { return treeModified_; }
  // Commit, switch the note to text, "Poser" or "PoserLike" display, show it again.
  void toText_();
  void toPoser_();
  void toPoserLike_();

 private:
  void showPanel(QWidget* w);
  void setHeight(QWidget* w, int h);
  int heightOf(QWidget* w) const;
  void collapse(QWidget* w, bool& collapsed, int& remembered);
  void expand(QWidget* w, bool& collapsed, int remembered);
  TFrameWB* ensureWebFrame();
  TBraceTreeView* ensureBraceTree();
  bool storeTree();
  void switchEncoding(const char* encoding);

  MemoNode* node_ = nullptr;
  // The note whose text the editors hold (only compared, never followed): a commit
  // writes into no other note.
  const MemoNode* shown_ = nullptr;
  bool holdsNode() const { return node_ && node_ == shown_; }
  MainWindowApi* owner_ = nullptr;
  bool readOnly_ = false;
  bool treeModified_ = false;
  int fieldsHeight_ = 0;
  int commentHeight_ = 0;
  bool fieldsCollapsed_ = false;
  bool commentCollapsed_ = false;
  StringList pasteBuffer_, copyWork_, splitWork_;

  QLabel* name_;
  QSplitter* split_;
  QStackedWidget* content_;
  QWidget* panelMemo_;
  QPlainTextEdit* memo_;
  QLabel* memoStatus_;
  TFrameImage* imageView_;
  TFrameWB* webFrame_ = nullptr;
  TBraceTreeView* braceTree_ = nullptr;
  QPlainTextEdit* comment_;
  QPlainTextEdit* fields_;
};

}  // namespace wux

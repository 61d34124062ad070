#pragma once
// The note editor: one note's name, content, comment and fields. It never decides when
// to show or commit; its owner calls showNode_() after choosing a note and storeNode_()
// before anything reads or changes the model. The model keeps Shift_JIS; only the
// widgets see Unicode.
#include <QWidget>
#include <functional>
#include <vector>

#include "model/lineops.h"
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
  // Whether the owner is the main window itself: the copy history, the date pattern,
  // saving the note under a name and the field-line messages are the main window's.
  bool ownerIsMainWindow() const;

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
  // Reports to the owner's status line; without an owner, to the status sink when one
  // is set (a note window of its own), else nowhere.
  void message_(const std::string& text);
  void setStatusSink(std::function<void(const std::string&)> sink) { statusSink_ = std::move(sink); }

  // Puts text over an editor's selection and selects it; what it replaced (when not
  // blank) goes to the paste buffer.
  void replaceSel_(QPlainTextEdit* edit, const std::string& text);
  void replaceSel_(QPlainTextEdit* edit, const QString& text);
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
  // The line that says the note is too long to edit here and is shown cut; empty when
  // every part is shown whole.
  std::string cutStatus() const;

  // Past these the editor would take seconds to fill or to answer a key (Qt lays out a
  // line whole, and fills the whole text at once): a longer part of a note is shown cut
  // to them, read-only, and never committed.
  static constexpr std::size_t kShownLineBytes = 100'000;
  static constexpr std::size_t kShownTextBytes = 8'000'000;
  // The web frame and the brace tree, made on first use (null until then).
  TFrameWB* webFrame() const { return webFrame_; }
  TBraceTreeView* braceTree() const { return braceTree_; }
  TFrameImage* imageFrame() const { return imageView_; }
  bool treeModified() const { return treeModified_; }
  // Commit, switch the note to text, "Poser" or "PoserLike" display, show it again.
  void toText_();
  void toPoser_();
  void toPoserLike_();

  // ---- editor commands (FrameMemoNodeCommands.cpp) ----
  // The clipboard on the focused editor; history entries only with a main window.
  void copySel_();
  void cutSel_();
  void paste_();
  void undo_();
  void selectAll_();
  void selectAllCopy_();
  void selectAllCut_();
  void selectAllPaste_();
  // Generated text over the active editor's selection.
  void pasteName_();
  void pasteDate_();
  void pasteTime_();
  void pasteFromBuffer_();
  void pasteLine_();
  void pasteMemoToComment_();
  // The copy history as the "Paste History" items show it, and choosing item i.
  std::vector<std::string> pasteHistoryCaptions_();
  void pasteHistory_(int index);
  void copyPlus_(NoteCopyParts parts);
  void explorerSel_();
  void shellSel_();
  void memoToFields_();
  void fieldsToMemo_();
  // The name line's commands; each renames the note at once.
  void copyName_();
  void replaceNameFromClipboard_();
  void addNameFromClipboard_(bool withBlank);
  void extractFilenameName_();
  void prefixName_(const std::string& mark);
  void replaceNameSel_();
  void addNameSel_();
  void addNamePlusSel_();
  // The name dialog ("Rename", a click on the name line): the edited name replaces the
  // note's name at once. The dialog lives beside the dialogs and is installed here.
  void renameDialog_();
  using NameDialog = std::function<bool(QWidget* owner, MainWindowApi* w, MemoNode* node, std::string& name)>;
  static void setNameDialog(NameDialog dialog);
  // The field line that holds the caret of the focused editor.
  void copyFieldName_();
  void copyFieldValue_();
  void copyFieldValueQuoted_();
  void copyFieldExtractFilename_();
  void cutFieldLine_();
  void cutFieldValue_();
  void pasteField_(const std::string& line);
  void pasteFieldUID_();
  void pasteFieldStamp_(const std::string& name);
  void pastePlusPlus_();
  void sortActive_();
  // Operations of the main window's text commands.
  int sortLines_();
  int numberLines_();
  void sortUniqueLines_();
  void markDuplicateLines_();
  void clearMemo_();
  long long countWord_(const std::string& word);
  void convertCRTagSel_();
  int addHeadEachLine_(const std::string& text);
  int addTailEachLine_(const std::string& text);
  void cutHeadCharSel_();
  void deleteEmptyLinesSel_();
  void trimLinesSel_();
  void sortSel_();
  // The number of lines numbered, -1 for a format the safe formatter refuses.
  int setNumberSel_(const std::string& format);
  void reverseSel_();
  int splitCommaSel_();
  int joinLinesSel_();
  int setFieldLine_(const std::string& name, const std::string& value);
  bool isMouseOverFields_() const;
  bool isMouseOverComment_() const;
  // The selected text of the active editor (Shift_JIS, lines joined by LF).
  std::string activeSelText_() const;
  // The caret's line and column of an editor as its status shows them; the text view
  // shows its own in its status bar, the others go to the main window's status line.
  std::string caretPositionText_(const QPlainTextEdit* edit) const;
  std::string caretStatus() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Editor commands' helpers (FrameMemoNodeCommands.cpp).
  void buildMenus();
  // The caret's position of the editor `watched` belongs to, where its status shows.
  void showCaretStatus(QObject* watched);
  QPlainTextEdit* focusedMemo_() const;
  // The copy history and the reports only the main window's editor keeps; the owner
  // decides whether it is that editor.
  void history(const std::string& text);
  void report(const std::string& text);
  // False, saying so, when the editor is read-only.
  bool renameTo(const std::string& name);
  static constexpr const char* kNameReadOnly = "Read Only Mode! Can not Change Node name.";
  // Reads the active editor's selection as lines, lets `edit` change them and puts them
  // back selected; returns what `edit` returns.
  template <class Edit>
  auto editSelection(Edit edit);
  template <class Edit>
  auto editWholeMemo(Edit edit);
  // Marks the characters Shift_JIS cannot hold in an editor's text.
  void markUnstorable(QPlainTextEdit* edit);
  // An editor's lines; lines left as shown keep the note's bytes.
  StringList editorLines(const QPlainTextEdit* edit) const;
  // Characters typed since the last commit that Shift_JIS cannot hold.
  std::vector<char32_t> lost_;

 private:
  void showPanel(QWidget* w);
  void setHeight(QWidget* w, int h);
  int heightOf(QWidget* w) const;
  bool boxShown(QWidget* w) const;
  void collapse(QWidget* w, int& remembered);
  void expand(QWidget* w, int remembered);
  TFrameWB* ensureWebFrame();
  TBraceTreeView* ensureBraceTree();
  bool storeTree();
  void switchEncoding(const char* encoding);
  // Fills an editor with lines, cut when they are too long to edit (then read-only).
  void fill(QPlainTextEdit* edit, const StringList* lines);
  void showCutStatus();

  MemoNode* node_ = nullptr;
  // The note whose text the editors hold (only compared, never followed): a commit
  // writes into no other note.
  const MemoNode* shown_ = nullptr;
  bool holdsNode() const { return node_ && node_ == shown_; }
  MainWindowApi* owner_ = nullptr;
  std::function<void(const std::string&)> statusSink_;
  bool readOnly_ = false;
  bool treeModified_ = false;
  int fieldsHeight_ = 0;
  int commentHeight_ = 0;
  StringList pasteBuffer_, copyWork_, splitWork_;

  QLabel* name_;
  QLabel* cutStatus_;
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

#pragma once
// The tag viewer: what the program kept of the last document or notebook file it parsed
// (its text, words, tag tree and parse messages), and a parser of any file with the HTML
// tag dictionary whose tree it can write back out.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "model/tagtree.h"
#include "model/text/StringList.h"

class QPlainTextEdit;
class QTreeView;
class QModelIndex;

namespace wux {

class MainWindowApi;
class TagTreeModel;

// The last file the program parsed: its name, its text and the parser's messages.
struct ParsedFile {
  std::string name;
  std::string text;
  StringList messages;
};

class TFormTAGLParser : public QWidget {
  Q_OBJECT
 public:
  explicit TFormTAGLParser(QWidget* parent = nullptr);
  ~TFormTAGLParser() override;

  // The main window and where the last parsed file comes from; without them the view
  // buttons do nothing.
  void setMainWindow(MainWindowApi* w, std::function<ParsedFile()> lastParsed);

  // "&Open" with the file already chosen; OpenClick asks for it first.
  void openFile(const std::string& path);
  void OpenClick();
  // "&Save" writes the current file from the own tree; "Save &As" asks for a name
  // first. False when the file could not be written (reported in the text pane).
  bool SaveClick();
  bool SaveAsClick();
  void ViewCurFileClick();
  void ViewWordListClick();
  void ViewSaveImageClick();
  void ViewCR2ImageClick();
  void ViewMessageClick();
  void ViewTreeClick();
  void ExplorerClick();
  void VersionClick();
  void FontClick();
  void AssociateClick();
  // A click on a tree item.
  void treeItemClicked(const QModelIndex& index);
  // Files dropped on the window.
  void dropFiles(const QStringList& paths);

  const std::string& currentFile() const { return file_; }
  const StringList& messages() const { return messages_; }
  const StringList& words() const { return words_; }
  QPlainTextEdit* Memo1() const { return memo_; }
  QTreeView* TreeView1() const { return tree_; }
  TagTreeModel* treeModel() const { return model_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void showTree(std::shared_ptr<const TTAGNode> tree);
  void showLines(const StringList& lines);
  // The last parsed file, parsed again for its tree.
  std::shared_ptr<const TTAGNode> mainTree(ParsedFile& file);
  bool writeOwnTree();

  MainWindowApi* main_ = nullptr;
  std::function<ParsedFile()> lastParsed_;
  std::string file_;
  StringList text_, words_, messages_;
  std::shared_ptr<TTAGNode> own_;
  QPlainTextEdit* memo_;
  QTreeView* tree_;
  TagTreeModel* model_;
};

}  // namespace wux

#pragma once
// The tree view of a brace-structured note ("Poser", "PoserLike"): it shows the tree that
// model/BraceTree.h reads from the note's text, edits it through its popup menu, and
// gives the edited tree back for writing. Every edit, an in-place one included, is
// announced by edited().
#include <QTreeWidget>
#include <functional>
#include <string>

#include "model/BraceTree.h"

namespace wux {

class TBraceTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TBraceTreeView(QWidget* parent = nullptr);

  // Rebuilds the view from `body`; with `poser` the raw-kept blocks stay unparsed.
  // Result as LoadBraceTree's: -1 after a break, when the view holds only part;
  // kBraceTooDeep for a text nested too deep, when the view is left empty.
  int loadBody(const StringList& body, bool poser, const BraceProgress& progress);
  // False after a load that did not finish: such a view must not replace the text.
  bool loadedWhole() const { return loadedWhole_; }
  BraceTree tree() const;

  // A read-only note's tree is shown, never edited: no in-place edit, and the popup's
  // changing items are off.
  void setReadOnly(bool on);
  bool isReadOnly() const { return readOnly_; }

  // Where the commands report.
  void setMessageSink(std::function<void(const std::string&)> sink) { message_ = std::move(sink); }
  // Where copied and pasted texts are remembered (the main window's copy history).
  void setHistorySink(std::function<void(const std::string&)> sink) { history_ = std::move(sink); }

  // The popup menu's commands, on the selected item.
  void editNode_();
  void copyText_();
  void pasteText_();
  void addNode_();
  void addChildNode_();
  void deleteNode_();
  void cloneNode_();
  void expandNode_();
  void unexpandNode_();
  void notImplemented_();

  // The item's text as Shift_JIS: its original bytes while it shows them unchanged.
  static std::string textOf(const QTreeWidgetItem* item);
  static void setTextOf(QTreeWidgetItem* item, const std::string& text);

 signals:
  void edited();
  // "->text": show the note as text again.
  void toTextRequested();

 private:
  void say(const std::string& text) const;
  QTreeWidgetItem* insertAfter(QTreeWidgetItem* item);
  void startEdit(QTreeWidgetItem* item);

  // True (and the status says so) when the tree may not change.
  bool refused() const;

  bool readOnly_ = false;
  bool loadedWhole_ = true;
  bool filling_ = false;
  std::function<void(const std::string&)> message_;
  std::function<void(const std::string&)> history_;
};

}  // namespace wux

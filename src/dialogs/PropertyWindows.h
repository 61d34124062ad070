#pragma once
// The property and batch-edit windows of the main window and the commands that show
// them. Each window is made once, on first use, and kept; every showing links it to
// the main window and fills it afresh.
#include <QPointer>

#include "dialogs/FormEditSelNode.h"
#include "dialogs/FormHolder2.h"
#include "dialogs/FormHolders.h"
#include "dialogs/FormMXA2.h"
#include "dialogs/FormPropatyNode2.h"

namespace wux {

class MainWindowApi;

class PropertyWindows {
 public:
  explicit PropertyWindows(QWidget* parent = nullptr) : parent_(parent) {}
  ~PropertyWindows();
  PropertyWindows(const PropertyWindows&) = delete;
  PropertyWindows& operator=(const PropertyWindows&) = delete;

  TFormHolder2* holderWindow() { return get(holder_); }
  TFormHolders* holdersWindow() { return get(holders_); }
  TFormMXA2* documentWindow() { return get(document_); }
  TFormPropatyNode2* noteWindow() { return get(note_); }
  TFormEditSelNode* editSelNodeWindow() { return get(editSel_); }

 private:
  template <class W>
  W* get(QPointer<W>& p) {
    if (!p) p = new W(parent_);
    return p.data();
  }
  QWidget* parent_;
  QPointer<TFormHolder2> holder_;
  QPointer<TFormHolders> holders_;
  QPointer<TFormMXA2> document_;
  QPointer<TFormPropatyNode2> note_;
  QPointer<TFormEditSelNode> editSel_;
};

// The notebook's properties, modally: -9 without a notebook, else 0 (their command
// refuses while busy).
int UIShowHolderPropaty(MainWindowApi& w, PropertyWindows& windows);
// The notebook order, modally: -9 without a document, else 0 (refused while busy, too).
int UIShowHoldersPropaty(MainWindowApi& w, PropertyWindows& windows);
// The document's properties, modally: -9 without a document, else 0.
int UIShowPropatyMXA2(MainWindowApi& w, PropertyWindows& windows);
// The note property window, not modal, filled from the current note.
int UIShowField(MainWindowApi& w, PropertyWindows& windows);
// The batch-edit window, not modal, with `targets` (text and note per line) as its
// list; without a list, every note of the current notebook.
int showFormEditSelNode(MainWindowApi& w, PropertyWindows& windows, const StringList* targets = nullptr);
// The note-name editor for the note editor's rename: true with the edited text in
// `name` when the user accepted it. One editor per owner window, kept with its history.
bool runNameDialog(QWidget* owner, MainWindowApi* w, MemoNode* node, std::string& name);

}  // namespace wux

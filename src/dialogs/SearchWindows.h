#pragma once
// The commands that show the search windows and the field scan window. Each window is
// made once, on first use, and kept; every showing links it to the main window. The
// notebook search windows and the note window's grep share one keyword history.
#include <QPointer>

#include "dialogs/FormField.h"
#include "dialogs/FormScanHolders.h"
#include "dialogs/FormScanNode.h"

class QWidget;

namespace wux {

class MainWindowApi;

class SearchWindows {
 public:
  // With a parent, the windows go when it goes; whatever is left goes with this.
  explicit SearchWindows(QWidget* parent = nullptr) : parent_(parent) {}
  ~SearchWindows();
  SearchWindows(const SearchWindows&) = delete;
  SearchWindows& operator=(const SearchWindows&) = delete;

  TFormScanHolders* holdersWindow();
  TFormScanHolder* holderWindow();
  TFormScanNode* nodeWindow();
  TFormField* fieldWindow();
  bool fieldWindowMade() const { return field_ != nullptr; }
  KeywordHistory& keywords() { return history_ ? *history_ : keywords_; }
  // The history the windows share (not owned; set before the first window is made).
  void setKeywordHistory(KeywordHistory* history) { history_ = history; }
  // Where "Edit Select" and "Edit Sel" hand their notes (the batch-edit window).
  void setBatchEditor(BatchEditor editor) { editSel_ = std::move(editor); }
  // How the note window is shown: modal to the user, without waiting for it to close
  // (a command run from a menu or a script goes on at once); tests put their own in.
  std::function<void(QDialog&)> showModal = [](QDialog& d) {
    d.setWindowModality(Qt::ApplicationModal);
    d.show();
    d.raise();
    d.activateWindow();
  };

 private:
  QWidget* parent_;
  KeywordHistory keywords_;
  KeywordHistory* history_ = nullptr;
  BatchEditor editSel_;
  QPointer<TFormScanHolders> holders_;
  QPointer<TFormScanHolder> holder_;
  QPointer<TFormScanNode> node_;
  QPointer<TFormField> field_;
};

int UIShowScanMemoHolders(MainWindowApi& w, SearchWindows& windows);
int UIShowScanMemoHolder(MainWindowApi& w, SearchWindows& windows);
int UIShowScanMemoNode(MainWindowApi& w, SearchWindows& windows);
int UIShowScanField(MainWindowApi& w, SearchWindows& windows);

}  // namespace wux

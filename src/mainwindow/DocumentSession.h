#pragma once
// The document's files: reading a notebook from its file, writing the modified ones,
// the question before the window closes, and (as they are built) opening, saving and
// the archive. It works through the main-window interface, so it is tested without
// the window's layers; the window owns one and hands the file work to it.
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

namespace wux {

class DocumentSession {
 public:
  explicit DocumentSession(MainWindowApi& w) : w_(w) {}
  MainWindowApi& window() { return w_; }
  DocumentSession(const DocumentSession&) = delete;
  DocumentSession& operator=(const DocumentSession&) = delete;

  // Asked before the window closes: 0 lets it close, -1 keeps it open.
  int querySaveAll();
  // Reads the notebook from its file; a failure is logged and put in the status, and
  // the notebook keeps whatever the reader could take. -1 on failure, else 0.
  int loadHolderFile(MemoHolderUI& holder);
  // Writes every modified notebook to its own file (the auto-save); never the
  // document file. A notebook that fails stays modified and is logged.
  void saveModifiedHolders();

 private:
  MainWindowApi& w_;
};

// The document's commands (open, new, save, save as), from DocumentSession.cpp.
void registerDocumentSessionCommands(CommandTable& table, DocumentSession& session);

}  // namespace wux

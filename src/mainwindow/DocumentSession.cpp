#include "mainwindow/DocumentSession.h"

#include "model/Prompter.h"
#include "model/records/RecordFiles.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {

// Until the save questions of the open and save workflow take this over, closing with
// unsaved changes at least asks before they are thrown away.
int DocumentSession::querySaveAll() {
  MemoFileUI* file = w_.getMemoFile();
  bool modified = file && file->modified;
  for (int i = 0, n = file ? file->getHolderCount_() : 0; i < n && !modified; ++i)
    modified = file->getHolder_(i)->modified;
  if (!modified) return 0;
  return prompter().messageBox("Changes are not saved. Close without saving?", "", Buttons::YesNo) == Answer::Yes
             ? 0
             : kResultFailed;
}

int DocumentSession::loadHolderFile(MemoHolderUI& holder) {
  StringList messages;
  if (LoadHolder(holder, messages) != -1) return 0;
  w_.addLogStrings(messages);
  w_.messageDoing_("Failure: loadHolder " + holder.getFileName_());
  return kResultFailed;
}

void DocumentSession::saveModifiedHolders() {
  MemoFileUI* file = w_.getMemoFile();
  if (!file) return;
  StringList failed;
  file->saveHolders_(false, &failed);
  for (int i = 0; i < failed.count(); ++i) w_.addLogTS("Failure: Auto Save " + failed[i]);
}

void registerDocumentSessionCommands(CommandTable& table, DocumentSession& session) {
  (void)table;
  (void)session;
}

}  // namespace wux

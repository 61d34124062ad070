#pragma once
// The document's files: the open dispatcher and everything it opens (documents,
// archives, ".z" files, notebooks, web addresses, folders, other files), reading a
// notebook from its file, the save and save-as commands, the question before the
// document is closed or replaced, the file-lock mode and the search-keyword history.
// It works through the main-window interface, so it is tested without the window's
// layers; the window owns one and hands the file work to it. Its parts live in
// DocumentOpener.cpp (opening), NotebookFiles.cpp (the notebooks' own files) and
// DocumentSaver.cpp (saving and the close question).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/records/HolderSave.h"
#include "model/records/MemoHolder.h"
#include "model/text/StringList.h"
#include "platform/filelock.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

namespace wux {

class MemoNode;

class DocumentSession {
 public:
  explicit DocumentSession(MainWindowApi& w) : w_(w) {}
  MainWindowApi& window() { return w_; }
  DocumentSession(const DocumentSession&) = delete;
  DocumentSession& operator=(const DocumentSession&) = delete;

  // ---- opening ----
  // The open dispatcher: chooses by the name's kind what to do. -1 failed or refused,
  // 0 opened, 1 a note was made for a folder; -2 when the save question was cancelled.
  int open_(const std::string& name);
  // True when the dispatcher downloads `name` (an http:// or https:// address) rather
  // than reading a file.
  static bool isDownloaded(const std::string& name);
  // The file named on the command line: opened through the dispatcher even though the
  // start-up itself may count as a running operation.
  int openAtStartup(const std::string& name);
  int UIOpenMemoFile();
  int UIOpenURL();
  // Opens a document file in place, with the reopen and extension questions. With
  // `unpackedDir`, the document came out of an archive unpacked there.
  int openMemoFile(const std::string& name, const std::string& unpackedDir = {});
  // Reads and parses a document file into the document. -1 when it could not be read.
  int readMemoFile(const std::string& name);
  int decompressMemoFile(const std::string& name);
  // Opens a notebook file as a notebook of the document; a file a notebook already
  // lives in, or a notebook of its name, asks whether to read it again.
  MemoHolderUI* openHolder(const std::string& name);
  MemoHolderUI* openHolderFile(const std::string& name);
  MemoHolderUI* loadHolderAs(MemoHolderUI& holder, const std::string& name);
  // Reads the notebook from its file; a failure is logged and put in the status, and
  // the notebook keeps whatever the reader could take. -1 on failure, else 0.
  int loadHolderFile(MemoHolderUI& holder);
  void loadHolders_();
  // Before a notebook is read again from its file: commits the editor and, when the
  // notebook then holds unsaved changes, asks whether to drop them (Enter keeps them).
  // False when the user keeps them.
  bool mayDiscardChanges(MemoHolderUI& holder);
  // Empties a notebook that is about to be read again. Nothing may keep pointing at its
  // notes: its note windows close and the editor lets go of the note it shows.
  void emptyHolder(MemoHolderUI& holder);

  // ---- new and save ----
  int UINewFile();
  int UISaveFileWithMSG();
  int UISaveFileWithoutMSG();
  // The document save itself: the byte count, or -1 (the document stays modified) with
  // the reason in `failure` when it was not written.
  int saveMemoFile(std::string* failure = nullptr);
  // Ctrl+S: the document, then every modified notebook.
  int saveFileAndAllHolders();
  int saveAsMemoFile_(const std::string& ext);
  int UISaveAllHolders();
  // Writes every modified notebook to its own file (the auto-save); never the
  // document file. A notebook that fails stays modified and is logged. False when one
  // failed; `unsaved` then names what was not saved and why. Asks what `policy` asks:
  // by default nothing, so a notebook file the notebook never read nor wrote is left.
  bool saveModifiedHolders(std::string* unsaved = nullptr, const HolderSavePolicy& policy = {});

  // Asked before the window closes and before another document replaces this one:
  // 0 may go on, -1 keeps everything (cancelled, or a save it tried failed).
  int querySaveAll();
  // The exit commands ask every question again.
  void clearYesToAll() { yesToAll_ = false; }

  // A file name as the save questions show it: in full, whatever the document holds.
  static std::string fullName(const std::string& name);

  // ---- file-lock mode ----
  void setFileLock(bool on) { fileLock_ = on; }
  bool fileLock() const { return fileLock_; }
  // The file held locked, empty when none.
  std::string lockedFile() const { return lock_.path(); }

  // The program started for a document while another one is open; by default this
  // program's own executable.
  void setProgramPath(const std::string& path) { programPath_ = path; }
  std::string programPath() const;

  // ---- the last document or notebook file parsed, for the tag viewer ----
  // Only its name and messages are kept (a large notebook's text and tree would double
  // its memory); the text is read again when asked for.
  const std::string& lastParsedFile() const { return lastParsedFile_; }
  const StringList& lastParsedMessages() const { return lastParsedMessages_; }
  std::string lastParsedText() const;

  // ---- damaged files ----
  // The status that a document or notebook file read only in part left ("Failure: ..."
  // or "Warning: ..."), empty when none since it was cleared: what ends the open, so that
  // no "Done" hides the damage.
  const std::string& damageStatus() const { return damageStatus_; }
  void clearDamageStatus() { damageStatus_.clear(); }

  // ---- the new document of the start-up ----
  // Start-up made a new document because its default file is missing. While it holds only
  // what start-up made, opening a document replaces it in place without a question.
  void rememberStartupDocument();
  bool isStartupDocument();

  // ---- the search-keyword history, newest first ----
  void addSearchKeyword_(const std::string& keyword);
  const StringList& searchKeywords() const { return keywords_; }

 private:
  MemoFileUI* file() { return w_.getMemoFile(); }
  // The open steps of each kind, by extension (the dispatch table in the .cpp).
  int openZ(const std::string& name);
  int openArchive(const std::string& name);
  int openDocument(const std::string& name);
  int openNotebook(const std::string& name);
  int openWithoutExtension(const std::string& name);
  int openOtherFile(const std::string& name);
  int openFolder(const std::string& name);
  // Writes the document to its file in the form its extension names, through the lock
  // when that is held on this very file. The byte count, or -1 with the reason in `why`.
  long long writeDocument(const std::string& name, std::string& why);
  long long writeDocumentFile(const std::string& name, std::string& why);
  int saveAllHolders(std::string* failure);
  // Settles the save of every modified notebook, asking the user, then writes them
  // unless one was cancelled. The reasons of those not written go to `unsaved`; the
  // cancelled one, if any, is answered.
  const HolderSave* saveModifiedAsking(std::vector<HolderSave>& saves, std::string& unsaved);
  bool anythingModified();
  void tooShort(const std::string& message, const std::string& name);
  void keepParsed(const std::string& path, const StringList& messages);
  // Opens `name` once the menu has asked about unsaved work, so the dispatcher asks
  // nothing again; damageStatus() then tells of this open only.
  int openAfterSaveQuestion(const std::string& name);
  // Says that `file` could not be read whole: a message box, the log and the status.
  void reportDamaged(const std::string& file, const StringList& messages, int notesRead);

  MainWindowApi& w_;
  platform::LockedFile lock_;
  bool fileLock_ = false;
  bool yesToAll_ = false;
  bool startup_ = false;
  bool saveQuestionAsked_ = false;
  bool openCancelled_ = false;
  std::string programPath_;
  StringList keywords_;
  std::string lastParsedFile_;
  StringList lastParsedMessages_;
  std::string damageStatus_;
  // What start-up made, to tell it from a document the user changed.
  struct StartupDocument {
    const MemoHolder* holder = nullptr;
    std::string holderName, holderFields;
    const MemoNode* node = nullptr;
    std::string nodeName, nodeFields, fileName;
  };
  std::optional<StartupDocument> startupDocument_;
};

// The one notebook save's questions where the user saves (a command, Ctrl+S, the close
// question): every editor is committed first; "Make Directory ?", saving over a file that
// could not be read whole, and over another document's file (No: another file is chosen).
HolderSavePolicy AskingSavePolicy(MainWindowApi& w);

// The document's commands (open, new, save, save as).
void registerDocumentSessionCommands(CommandTable& table, DocumentSession& session);

}  // namespace wux

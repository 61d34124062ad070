#pragma once
// Where every command of the main window is registered. Each family of commands lives
// in its own file and registers its commands in its own function; a family takes the
// main-window interface, never the window. A command a family has not built yet
// answers through its placeholder (CommandNames.cpp) until the family registers it:
// adding a command touches only its family's file.
//
// Family                                          File
// the window's own commands                       ../FormMainBase0007_commands.cpp
// opening and saving the document                 ../DocumentSession.cpp
// notebook files and the notebook list            NotebookCommands.cpp
// settings, fonts and the batch-edit window       ../Settings.cpp
// note creation and deletion                      NoteCreationCommands.cpp
// new child notes from content                    NoteContentCommands.cpp
// note order, transfer and the tree               NoteOrderCommands.cpp
// note files                                      NoteFileCommands.cpp
// text operations and listings into the editor    EditorTextCommands.cpp
// HTML export and printing                        ExportPrintCommands.cpp
// the shell and the windows it opens              ShellCommands.cpp
// the mail windows                                MailCommands.cpp
// the property and batch-edit windows, the rename  PropertyCommands.cpp
// the search, grep and field scan windows         SearchCommands.cpp
// the windows around the main window              WindowCommands.cpp
// the menu layer's own items and view switches    ../FormMainMenu.cpp, MenuCommands.cpp
// running scripts (Eval, Execute, the routine     ../ScriptHost.cpp, registered by the layer
//   list), with the interpreter they need         that owns the interpreter
#include <memory>

#include "dialogs/ScanCommon.h"
#include "mainwindow/DocumentSession.h"
#include "mainwindow/Settings.h"
#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

class QWidget;

namespace wux {

class HolderChooser;
class MemoNode;

// Answered by a command that copies or moves notes when the notebook chooser cannot be
// had.
constexpr int kResultNoChooser = -8;

// Every family, placeholders first. The window calls it once at creation; the two
// families with state of their own (the document's files and the settings) get it too.
void registerCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session, Settings& settings);

// A placeholder for every command name the window knows, answering with the
// not-implemented notice ("Still not implemented. " + class and operation).
void registerPlaceholders(CommandTable& table, MainWindowApi& w);

void registerNotebookCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session);
// The notebook chooser is one window, shared by the commands that copy or move notes.
void registerNoteCreationCommands(CommandTable& table, MainWindowApi& w, std::shared_ptr<HolderChooser> chooser);
void registerNoteContentCommands(CommandTable& table, MainWindowApi& w);
void registerNoteOrderCommands(CommandTable& table, MainWindowApi& w, std::shared_ptr<HolderChooser> chooser);
void registerNoteFileCommands(CommandTable& table, MainWindowApi& w);
void registerEditorTextCommands(CommandTable& table, MainWindowApi& w);
void registerExportPrintCommands(CommandTable& table, MainWindowApi& w);
// The online manual's address comes from the settings.
void registerShellCommands(CommandTable& table, MainWindowApi& w, Settings& settings);
void registerMailCommands(CommandTable& table, MainWindowApi& w);
// Answers how the search windows reach the one batch-edit window it keeps.
BatchEditor registerPropertyCommands(CommandTable& table, MainWindowApi& w);
void registerSearchCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session,
                            BatchEditor batchEditor);
void registerMenuCommands(CommandTable& table, MainWindowApi& w);
void registerToolWindowCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session);

// Prints one note by its content type as a busy operation of `w`, whose status says why
// when it did not print; 0 when printed (ExportPrintCommands.cpp).
int printNoteReported(MainWindowApi& w, MemoNode& node);

// Prints the picture of `window` scaled to fit the page on the printer the print
// commands share (as chosen in Printer Setup). False with the reason, the one the other
// print commands give, when it could not print (ExportPrintCommands.cpp).
bool printWindowPicture(MainWindowApi& w, QWidget& window, std::string& why);

// After `node` read its content from `source`: the words naming the characters the
// file held that Shift_JIS cannot, logged with the time, or empty when none were lost
// (NoteFileCommands.cpp).
std::string logLostCharacters(MainWindowApi& w, const MemoNode& node, const std::string& source);

// A command that shows the not-implemented notice and answers `result`: for the few
// commands whose whole behaviour is that notice.
CommandFn noticeOnly(MainWindowApi& w, const std::string& owner, int result);

}  // namespace wux

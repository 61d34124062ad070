// Every command name the main window knows, with the class whose notice a placeholder
// shows. A family that builds a command registers it in its own file; the entry here
// stays and is simply replaced.
#include "mainwindow/commands/Commands.h"
#include "views/ChangeGuard.h"

#include "dialogs/FormSelectHolder.h"

namespace wux {

namespace {
struct Name {
  const char* name;
  const char* owner;
};

constexpr Name kNames[] = {
    // the window itself (FormMainBase0007_commands.cpp)
    {"UIBreak", "TFormMainBase0007"},
    {"UIClose", "TFormMainBase0007"},
    {"UICloseAllYes", "TFormMainBase0007"},
    {"UIExplorerCurrentDir", "TFormMainBase0007"},
    {"UIExplorerExeDir", "TFormMainBase0007"},
    {"UIExplorerFileDir", "TFormMainBase0007"},
    {"UIHardCopy", "TFormMainBase0007"},
    {"UITerminateForce", "TFormMainBase0007"},
    {"UIVersion", "TFormMainBase0007"},
    {"showFormLog", "TFormMainBaseWUX"},
    {"endDoing", "TFormMainBase0007"},
    // opening and saving the document (DocumentSession.cpp)
    {"UINewFile", "TFormMainScript"},
    {"UIOpenMemoFile", "TFormMainScript"},
    {"UIOpenURL", "TFormMainScript"},
    {"UISaveAllHolders", "TFormMainScript"},
    {"UISaveAsMAZ", "TFormMainScript"},
    {"UISaveAsMXA", "TFormMainScript"},
    {"UISaveFileWithMSG", "TFormMainScript"},
    {"UISaveFileWithoutMSG", "TFormMainScript"},
    // notebook files and the notebook list (NotebookCommands.cpp)
    {"UICloneHolder", "TFormMainScript"},
    {"UIDeleteHolder", "TFormMainScript"},
    {"UIHolderDown", "TFormMainScript"},
    {"UIHolderUp", "TFormMainScript"},
    {"UINewHolder", "TFormMainScript"},
    {"UINewHolderLeft", "TFormMainScript"},
    {"UINewHolderRight", "TFormMainScript"},
    {"UIOpenCSVHolder", "TFormMainScript"},
    {"UIOpenHolder", "TFormMainScript"},
    {"UIReLoadEach", "TFormMainScript"},
    {"UIReloadMemoHolder", "TFormMainScript"},
    {"UIRenameHolder", "TFormMainScript"},
    {"UIRenameOtherHolder", "TFormMainScript"},
    {"UISaveHolderAsMHZ", "TFormMainScript"},
    {"UISaveHolderAsMXH", "TFormMainScript"},
    {"UISaveHolderNoMSG", "TFormMainScript"},
    {"UISaveHolderWithMSG", "TFormMainScript"},
    {"UIShowFormSaveEach_", "TFormMainScript"},
    {"UIShowHoldersPropaty", "TFormMainScript"},
    // settings, fonts and the batch-edit window (FormMainBaseWUX_settings.cpp)
    {"UIFontDialog", "TFormMainScript"},
    {"UIFontSizeDec", "TFormMainScript"},
    {"UIFontSizeInc", "TFormMainScript"},
    {"showFormEditSelNode", "TFormMainBaseWUX"},
    // note creation and deletion (NoteCreationCommands.cpp)
    {"UICSV2Holder", "TFormMainScript"},
    {"UICopyMarksTo", "TFormMainScript"},
    {"UIDeleteMarkNodes", "TFormMainScript"},
    {"UIDeleteMemoNode", "TFormMainScript"},
    {"UIExpandAll", "TFormMainScript"},
    {"UIExpandChild1", "TFormMainScript"},
    {"UIListLevel0", "TFormMainScript"},
    {"UIListLevel0Plus", "TFormMainScript"},
    {"UIMemoNode2Holder", "TFormMainScript"},
    {"UIMemoNode2NewNodes", "TFormMainScript"},
    {"UINewChild", "TFormMainScript"},
    {"UINewChildImage", "TFormMainScript"},
    {"UINewChildImageScreen", "TFormMainScript"},
    {"UINewChildURL", "TFormMainScript"},
    {"UINewChilds", "TFormMainScript"},
    {"UINewMemoNodeFile", "TFormMainScript"},
    {"UINewMemoNodePoser", "TFormMainScript"},
    {"UINewMemoNodePoserLike", "TFormMainScript"},
    {"UINewMemoNodeURL", "TFormMainScript"},
    {"UINewMemoNodeURLDirectory", "TFormMainScript"},
    {"UINewMemoNodeURLFile", "TFormMainScript"},
    {"UINewNodeImage", "TFormMainScript"},
    {"UINewNodeImageScreen", "TFormMainScript"},
    {"UIUnExpandChild1", "TFormMainScript"},
    {"UIUnexpand", "TFormMainScript"},
    {"UIUpdateLevel", "TFormMainScript"},
    {"newMemoNode_", "TFormMainBaseWUX"},
    {"cloneMemoNode1_", "TFormMainBaseWUX"},
    // new child notes from content (NoteContentCommands.cpp)
    {"UICopyName", "TFormMainScript"},
    {"UINewChildBinDump", "TFormMainScript"},
    {"UINewChildCSV2HTML", "TFormMainScript"},
    {"UINewChildCodeConvert", "TFormMainScript"},
    {"UINewChildDownloadeed", "TFormMainScript"},
    {"UINewChildEUC2SJIS", "TFormMainScript"},
    {"UINewChildGrep5", "TFormMainScript"},
    {"UINewChildJIS2SJIS", "TFormMainScript"},
    {"UINewChildSJIS2JIS", "TFormMainScript"},
    {"UINewChildURLLink", "TFormMainScript"},
    {"UINewChildExecuted", "TFormMainScript"},
    // note order, transfer and the tree (NoteOrderCommands.cpp)
    {"UIChangeCurrentNodeNext", "TFormMainScript"},
    {"UIChangeCurrentNodePre", "TFormMainScript"},
    {"UICloneMemoNodeAndChild", "TFormMainScript"},
    {"UICopy1To", "TFormMainScript"},
    {"UIExtractFilenameChild1", "TFormMainScript"},
    {"UIListChild", "TFormMainScript"},
    {"UIListChild1", "TFormMainScript"},
    {"UIMarkAll", "TFormMainScript"},
    {"UIMove1To", "TFormMainScript"},
    {"UIMoveMarksSelf", "TFormMainScript"},
    {"UIMoveMarksTo", "TFormMainScript"},
    {"UIMoveNodeBottom", "TFormMainScript"},
    {"UIMoveNodeDown", "TFormMainScript"},
    {"UIMoveNodeLeft", "TFormMainScript"},
    {"UIMoveNodeRight", "TFormMainScript"},
    {"UIMoveNodeTop", "TFormMainScript"},
    {"UIMoveNodeUp", "TFormMainScript"},
    {"UINewRootNode", "TFormMainScript"},
    {"UINewRootNodeTV", "TFormMainScript"},
    {"UIReverseChild1", "TFormMainScript"},
    {"UIReverseMarks", "TFormMainScript"},
    {"UIReverseMemoHolder", "TFormMainScript"},
    {"UISetRelativePath", "TFormMainScript"},
    {"UISetRelativepathChild1", "TFormMainScript"},
    {"UISortChild1", "TFormMainScript"},
    {"UISortMemoHolder", "TFormMainScript"},
    {"UIUnMarks", "TFormMainScript"},
    {"UIViewStyleIcon", "TFormMainScript"},
    {"UIViewStyleList", "TFormMainScript"},
    {"UIViewStyleReport", "TFormMainScript"},
    {"UIViewStyleSmallIcon", "TFormMainScript"},
    // note files (NoteFileCommands.cpp)
    {"UIChangeNameFromField", "TFormMainScript"},
    {"UIExecuteNode", "TFormMainScript"},
    {"UIExistsFilename", "TFormMainScript"},
    {"UIExplorerFilenameMemoNode", "TFormMainScript"},
    {"UIExplorerLinkMemoNode", "TFormMainScript"},
    {"UIExplorerMemoHolder", "TFormMainScript"},
    {"UIJumpQuery", "TFormMainScript"},
    {"UIOpenFilename", "TFormMainScript"},
    {"UIOpenLink", "TFormMainScript"},
    {"UIReloadMemoNode", "TFormMainScript"},
    {"UIRenameDialog", "TFormMainScript"},
    {"UISaveAsMemoNode", "TFormMainScript"},
    {"UISaveMarks", "TFormMainScript"},
    {"UISetQuery", "TFormMainScript"},
    // text operations and listings into the editor (EditorTextCommands.cpp)
    {"UIAddHeadAny", "TFormMainScript"},
    {"UIAddHeadQuote", "TFormMainScript"},
    {"UIAddHeadSEL", "TFormMainScript"},
    {"UIAddHeadSpace", "TFormMainScript"},
    {"UIAddName", "TFormMainScript"},
    {"UIAddNamePlus", "TFormMainScript"},
    {"UIAddTailAny", "TFormMainScript"},
    {"UIAddTailSEL", "TFormMainScript"},
    {"UICSV2Sel", "TFormMainScript"},
    {"UICommaLF", "TFormMainScript"},
    {"UICountWord", "TFormMainScript"},
    {"UIDelHeadSEL", "TFormMainScript"},
    {"UIFieldsList2Sel", "TFormMainScript"},
    {"UIFileMXA2Sel", "TFormMainScript"},
    {"UIFunctionList2Sel", "TFormMainScript"},
    {"UIEval", "TFormMainScript"},
    {"UIEvalMemo", "TFormMainScript"},
    {"UIHolderList2Sel", "TFormMainScript"},
    {"UIListMonth", "TFormMainScript"},
    {"UIListMonthNext", "TFormMainScript"},
    {"UIListMonthThis", "TFormMainScript"},
    {"UIListNumbers", "TFormMainScript"},
    {"UIListNumbers1To10", "TFormMainScript"},
    {"UIListNumbers1To100", "TFormMainScript"},
    {"UIListNumbersPlus10", "TFormMainScript"},
    {"UIListWeekNext", "TFormMainScript"},
    {"UIListWeekPrev", "TFormMainScript"},
    {"UIListWeekThis", "TFormMainScript"},
    {"UIListYear", "TFormMainScript"},
    {"UIListYearNext", "TFormMainScript"},
    {"UIMakeListNameValue", "TFormMainScript"},
    {"UIMarkDup", "TFormMainScript"},
    {"UIMarkList2Sel", "TFormMainScript"},
    {"UINoDup", "TFormMainScript"},
    {"UINodesList2SEL", "TFormMainScript"},
    {"UINumberLines", "TFormMainScript"},
    {"UIOneLine", "TFormMainScript"},
    {"UIRemoveEmptyLineSEL", "TFormMainScript"},
    {"UIReplaceName", "TFormMainScript"},
    {"UIReverseSEL", "TFormMainScript"},
    {"UISetNumberSELAuto", "TFormMainScript"},
    {"UISetNumberSEL_", "TFormMainScript"},
    {"UISortLines", "TFormMainScript"},
    {"UISortSEL", "TFormMainScript"},
    {"UIVersion2SEL", "TFormMainScript"},
    {"trimLinesSel", "TFormMainScript"},
    {"clearMemo", "TFormMainScript"},
    {"checkHolderFiles", "TFormMainScript"},
    {"convertCRTagSel", "TFormMainScript"},
    // HTML export and printing (ExportPrintCommands.cpp)
    {"UIExportHolderCalendarHTML", "TFormMainScript"},
    {"UIExportHolderHTML", "TFormMainScript"},
    {"UINewChildHTML", "TFormMainScript"},
    {"UINewChildHTML2", "TFormMainScript"},
    {"UINewChildHTMLCalendar", "TFormMainScript"},
    {"UINewChildHTMLPage", "TFormMainScript"},
    {"UIPrintFormat", "TFormMainScript"},
    {"UIPrintMemoNode", "TFormMainScript"},
    {"UIPrintTest", "TFormMainScript"},
    {"UIPrinterSetup", "TFormMainScript"},
    {"UIPrintsHolder", "TFormMainScript"},
    {"UIPrintsMarkNode", "TFormMainScript"},
    {"UISaveHolderHTML", "TFormMainScript"},
    {"UISaveHolderHTMLCalendar", "TFormMainScript"},
    {"UISaveHolderListHTML", "TFormMainScript"},
    {"UISaveMemoNodeHTML", "TFormMainScript"},
    // the shell and the windows it opens (ShellCommands.cpp)
    {"UIAssociate", "TFormMainScript"},
    {"UICalc", "TFormMainScript"},
    {"UIMakeShortCutLink", "TFormMainScript"},
    {"UIMemo2WB", "TFormMainScript"},
    {"UIMemoNode2WB", "TFormMainScript"},
    {"UIReciveMail", "TFormMainScript"},
    {"UISelected2WB", "TFormMainScript"},
    {"UISendMail", "TFormMainScript"},
    {"UIShellExecute_", "TFormMainScript"},
    {"UIShowApplicationPropaty", "TFormMainScript"},
    {"UIShowField", "TFormMainScript"},
    {"UIShowFileList", "TFormMainScript"},
    {"UIShowFormAbout", "TFormMainScript"},
    {"UIShowFormLog", "TFormMainScript"},
    {"UIShowFormMemoNode", "TFormMainScript"},
    {"UIShowFormMemoNodeReadOnly", "TFormMainScript"},
    {"UIShowFormWB", "TFormMainScript"},
    {"UIShowHolderPropaty", "TFormMainScript"},
    {"UIShowMakeHTML", "TFormMainScript"},
    {"UIShowManualInternet", "TFormMainScript"},
    {"UIShowManualInternetE", "TFormMainScript"},
    {"UIShowManualLocal", "TFormMainScript"},
    {"UIShowPropatyMXA2", "TFormMainScript"},
    {"UIShowScanField", "TFormMainScript"},
    {"UIShowScanMemoHolder", "TFormMainScript"},
    {"UIShowScanMemoHolders", "TFormMainScript"},
    {"UIShowScanMemoNode", "TFormMainScript"},
    {"UIUnassociate", "TFormMainScript"},
    // the menu layer (MenuCommands.cpp)
    {"changeCheckListBox_", "TFormMainMenu"},
    {"changeTreeView_", "TFormMainMenu"},
    {"changeListView_", "TFormMainMenu"},
    {"changeFlagReadOnly_", "TFormMainMenu"},
    {"FitFormSizeAndPos", "TFormMainMenu"},
    {"MovePos", "TFormMainMenu"},
    {"SetUpdate", "TFormMainMenu"},
    {"SetRelativePathEach", "TFormMainMenu"},
    {"ExtractFilenameEach", "TFormMainMenu"},
    {"ShowFormHolderFields", "TFormMainMenu"},
    {"NewNodeImageIconFromFile", "TFormMainMenu"},
    {"SaveAsAndExplorer", "TFormMainMenu"},
    {"SaveFileAndAllHolders", "TFormMainMenu"},
    {"StatusBar2SEL", "TFormMainMenu"},
    {"CopyStatusText", "TFormMainMenu"},
    {"ClearStatus", "TFormMainMenu"},
    {"SetJumpMark", "TFormMainMenu"},
    {"UIJumpNotImplemented", "TFormMainMenu"},
    {"UISortFieldHolder", "TFormMainMenu"},
    {"UIGroupTreeHolder", "TFormMainMenu"},
    {"UIListYearThis", "TFormMainMenu"},
    {"T1CurMemo", "TFormMainMenu"},
    {"T1Report", "TFormMainMenu"},
    {"T1UI2Model", "TFormMainMenu"},
    {"T1Model2UI", "TFormMainMenu"},
    {"T1HoldersCount", "TFormMainMenu"},
    {"T1FrameMemoNode", "TFormMainMenu"},
    {"T1NodesList", "TFormMainMenu"},
    {"T1NodesListPlus", "TFormMainMenu"},
    {"T1ModeHoldersMngr", "TFormMainMenu"},
    {"T1MessageDo", "TFormMainMenu"},
    {"T3GroupTree", "TFormMainMenu"},
    {"T3SelField", "TFormMainMenu"},
};
}  // namespace

void registerPlaceholders(CommandTable& table, MainWindowApi& w) {
  for (const Name& n : kNames) {
    const std::string notice = std::string(n.owner) + "." + n.name;
    table.addPlaceholder(n.name, [&w, notice](const CommandArgs&) { return w.stillNotImplemented(notice); });
  }
}

CommandFn noticeOnly(MainWindowApi& w, const std::string& owner, int result) {
  return [&w, owner, result](const CommandArgs&) {
    w.stillNotImplemented(owner);
    return result;
  };
}

void registerCommands(CommandTable& table, MainWindowApi& w, DocumentSession& session, Settings& settings) {
  table.setGuard([&w](const Needs& needs) { return refusalOf(w, needs); });
  registerPlaceholders(table, w);
  registerDocumentSessionCommands(table, session);
  registerNotebookCommands(table, w, session);
  // The one notebook chooser lives as long as the table.
  auto chooser = std::make_shared<HolderChooser>();
  registerNoteCreationCommands(table, w, chooser);
  registerNoteContentCommands(table, w);
  registerNoteOrderCommands(table, w, chooser);
  registerNoteFileCommands(table, w);
  registerEditorTextCommands(table, w);
  registerExportPrintCommands(table, w);
  registerShellCommands(table, w, settings);
  registerMailCommands(table, w);
  BatchEditor batchEditor = registerPropertyCommands(table, w);
  registerSearchCommands(table, w, session, std::move(batchEditor));
  registerToolWindowCommands(table, w, session);
  registerMenuCommands(table, w);
}

}  // namespace wux

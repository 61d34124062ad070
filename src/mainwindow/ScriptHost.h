#pragma once
// The main window's side of the scripts: the window's own interpreter (PP1) with the
// host routines that turn the window's commands into script routines, the pool of
// runners that run scripts kept in notes, and the commands that run scripts (Eval,
// Eval Memo, Execute into a new child note, and the listing of the declared routines).
//
// While a script runs, the note editor is let go of as soon as a routine reads or
// changes notes: the model is then the one truth, and the editor (read-only meanwhile)
// shows the note the script reached only when a command needs it, when the script
// pauses and when it ends. So a script that walks thousands of notes never redraws the
// editor for each, and text typed into a stale editor can never land in another note.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "script/PPACo.h"
#include "script/PoorPascal.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"

namespace wux {

class CommandTable;
class MemoHolderUI;

// What the window itself offers scripts beyond its commands.
struct ScriptWindow {
  std::function<void(int width, int height)> resize;
  std::function<void(int left, int top)> move;
  std::function<void(int size)> setFontSize;
  // The window's font colour as a colour word ($00BBGGRR).
  std::function<std::int64_t()> fontColor;
  std::function<void(std::int64_t)> setFontColor;
  // Forgets a Break request that no running script took.
  std::function<void()> clearBreak;
  // The outermost running script has returned: nothing of a script is on the stack.
  std::function<void()> scriptsEnded;
};

class ScriptHost : private NoteWatcher {
 public:
  ScriptHost(MainWindowApi& w, ScriptWindow window);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  TPoorPascal& PP1() { return *pp1_; }
  // Registers UIEval, UIEvalMemo, UINewChildExecuted and UIFunctionList2Sel, and shows
  // the reached note before any command runs while the editor is let go of.
  void registerCommands(CommandTable& table);

  int UIEval();
  int UIEvalMemo();
  int UINewChildExecuted();
  int UIFunctionList2Sel();

  // The note named `node` in the notebook named `holder` (the current one when empty),
  // through a cache of the ten most recent look-ups; nullptr when there is none.
  MemoNodeUI* findMemoNodeByNames(const std::string& holder, const std::string& node);
  // The same note, its linked file read for a routine that reads its text; a file that
  // cannot be read is reported and answers nullptr.
  MemoNodeUI* findReadableNode(const std::string& holder, const std::string& node);
  // A runner that is not running, made and added to the pool when every one is busy.
  PPACo& getIdlePPARunner();
  int runnerCount() const { return static_cast<int>(pool_.size()); }
  PPACo& runner(int i) { return *pool_.at(static_cast<std::size_t>(i)).second; }

  // A script is in progress: running, pumping events or waiting in Pause.
  bool scriptRunning() const { return running_ > 0; }
  // The window is going away: every script in progress, paused or not, is stopped (it
  // ends at its next statement list) and no script starts any more.
  void stopAll();

  // The editor is let go of (the model holds the truth) while a script runs.
  bool editorDetached() const { return detached_; }
  // Shows the current note in the editor again when it was let go of.
  void attachEditor();

 private:
  struct Call;
  struct Routine {
    int index;
    const char* prototype;
    bool groupEnd;  // an empty line follows in the prototype list
    void (*run)(ScriptHost& h, Call& c);
  };
  static const std::vector<Routine>& routines();
  const Routine* routine(int index) const;

  void setupInterpreter(TPoorPascal& pp);
  PPACo& setupPPARunner(std::unique_ptr<PPACo> runner);
  // Runs `pp` on `source` (or the runner on its note), keeping the count of running
  // scripts, the Break flag and the editor right. Errors pass to the caller.
  void runScript(TPoorPascal& pp, const StringList& source);
  int evalInPP1(const std::string& text, bool failureEndsDoing);
  int runRunner(PPACo& runner, MemoNodeUI* note);
  struct RunScope;

  // Commits the editor once and lets it go of, so the model can be read and changed.
  void toModel();
  // Runs a command for a routine; `quiet` ones do not need the editor.
  int command(const std::string& name, const std::vector<std::string>& args = {}, bool quiet = false);
  void printBuf(const std::string& runnerName, const std::string& text);
  // Host routines that change a note: refused when the interface, the notebook or the
  // note is read-only.
  bool refusedChange(MemoNode* node);
  void changed(MemoNode* node);
  // Adds a line to the note's memo or comment (made when missing): the new line count,
  // or -1 without a note or when the change is refused.
  int addLine(MemoNode* node, bool toComment, const std::string& line);
  int moveTo(MemoNode* node);
  int newNamed(const std::string& command, const std::string& name);
  // The folder and the command line of a command note; false when the note names no
  // command line (the saved file itself is run then).
  bool commandLineOf(MemoNodeUI* note, const std::string& file, std::string& dir, std::string& cmd);

  void noteGone_(MemoNodeUI* node) override;
  void forget(MemoNodeUI* node);

  MainWindowApi& w_;
  ScriptWindow window_;
  std::unique_ptr<TPoorPascal> pp1_;
  std::unique_ptr<ScriptDesktop> desktop_;
  std::vector<std::pair<std::string, std::unique_ptr<PPACo>>> pool_;
  std::vector<std::pair<std::string, MemoNodeUI*>> cache_;  // newest first; a gone note reads nullptr
  int running_ = 0;       // scripts in progress
  bool detached_ = false;
  bool quiet_ = false;    // a command that needs no editor is running for a routine
  bool ending_ = false;   // stopAll was called
};

}  // namespace wux

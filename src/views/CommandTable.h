#pragma once
// Every command of the main window, by name, in one table. Menus, tool buttons, popups,
// keys and the script host run commands only through it, so a command has one entry
// point and one behaviour wherever it is called from.
//
// A command answers an int: 0 done, a positive count, or one of the negative codes of
// MainWindowApi.h. Commands that take words (a head text, a format, a file name) read
// them from their arguments; a missing argument reads as empty.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wux {

using CommandArgs = std::vector<std::string>;
using CommandFn = std::function<int(const CommandArgs&)>;

// What a command needs before it may run, declared once where it is registered. The
// table asks the window's guard (setGuard) before the command runs, so no command
// writes the busy or read-only refusal itself. Each need carries the result code the
// command answers when refused; the guard writes the reason into the status.
struct Needs {
  bool idle = false;      // refused while an operation runs
  bool ui = false;        // refused while the interface is read-only
  bool holder = false;    // refused on a read-only (or missing) current notebook
  bool note = false;      // refused on a current note read-only by its own flag
  bool atStart = true;    // false: the command asks at its own moment (CommandTable::refusal)
  int idleCode = -1, uiCode = -1, holderCode = -1, noteCode = -1;

  static constexpr Needs none() { return Needs{}; }
  // Refused while busy, nothing more.
  static constexpr Needs notBusy(int code = -1) { return Needs{}.whenIdle(code); }
  // Changes the current notebook: free, the interface and the notebook writable.
  static constexpr Needs changesHolder(int code = -1) { return notBusy(code).uiWritable(code).holderWritable(code); }
  // Changes the current note: the above and the note's own flag off.
  static constexpr Needs changesNote(int code = -1) { return changesHolder(code).noteWritable(code); }

  constexpr Needs whenIdle(int code = -1) const { Needs n = *this; n.idle = true; n.idleCode = code; return n; }
  constexpr Needs uiWritable(int code = -1) const { Needs n = *this; n.ui = true; n.uiCode = code; return n; }
  constexpr Needs holderWritable(int code = -1) const { Needs n = *this; n.holder = true; n.holderCode = code; return n; }
  constexpr Needs noteWritable(int code = -1) const { Needs n = *this; n.note = true; n.noteCode = code; return n; }
  // The read-only needs are asked by the command itself, after its dialog; busy still
  // refuses at once.
  constexpr Needs afterDialog() const { Needs n = *this; n.atStart = false; return n; }
  constexpr bool any() const { return idle || ui || holder || note; }
};

// The argument at `i`, or empty when the caller gave fewer.
const std::string& commandArg(const CommandArgs& args, std::size_t i);

class CommandTable {
 public:
  // How far a command is built.
  enum class State {
    Built,        // does its work
    NotBuiltYet,  // answers with the not-implemented notice until its family lands
    LeftOpen,     // the notice is all it will ever do
  };

  // Registers a command. It replaces a not-built-yet placeholder of the same name; a
  // second working registration of one name is a programming error (std::logic_error).
  void add(const std::string& name, CommandFn fn, State state = State::Built);
  void add(const std::string& name, std::function<int()> fn, State state = State::Built);
  // The same with what the command needs before it runs.
  void add(const std::string& name, Needs needs, CommandFn fn, State state = State::Built);
  void add(const std::string& name, Needs needs, std::function<int()> fn, State state = State::Built);
  // Registers the placeholder of a command not built yet. It never replaces anything.
  void addPlaceholder(const std::string& name, CommandFn fn);

  // Called before every command runs (the script host shows the editor again there).
  void setBeforeRun(std::function<void()> fn) { beforeRun_ = std::move(fn); }
  // Asks the window whether `needs` hold: nothing when they do, else the refusal's result
  // code (the guard has put the reason in the status). Without a guard every need holds.
  using Guard = std::function<std::optional<int>(const Needs&)>;
  void setGuard(Guard fn) { guard_ = std::move(fn); }

  // The refusal of a command registered with afterDialog(), asked at its own moment:
  // nothing when its read-only needs hold, else its result code.
  std::optional<int> refusal(const std::string& name) const;
  // What a command declared.
  Needs needs(const std::string& name) const;

  // Runs a command; an unknown name is a programming error (std::out_of_range).
  int run(const std::string& name, const CommandArgs& args = {}) const;

  bool contains(const std::string& name) const { return entries_.count(name) != 0; }
  State state(const std::string& name) const;
  // Every name, sorted; and those in one state.
  std::vector<std::string> names() const;
  std::vector<std::string> names(State state) const;

 private:
  struct Entry {
    CommandFn fn;
    State state;
    Needs needs;
  };
  const Entry& entry(const std::string& name) const;
  std::map<std::string, Entry> entries_;
  std::function<void()> beforeRun_;
  Guard guard_;
};

}  // namespace wux

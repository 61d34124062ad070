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
#include <string>
#include <vector>

namespace wux {

using CommandArgs = std::vector<std::string>;
using CommandFn = std::function<int(const CommandArgs&)>;

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
  // Registers the placeholder of a command not built yet. It never replaces anything.
  void addPlaceholder(const std::string& name, CommandFn fn);

  // Called before every command runs (the script host shows the editor again there).
  void setBeforeRun(std::function<void()> fn) { beforeRun_ = std::move(fn); }

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
  };
  std::map<std::string, Entry> entries_;
  std::function<void()> beforeRun_;
};

}  // namespace wux

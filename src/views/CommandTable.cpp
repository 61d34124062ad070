#include "views/CommandTable.h"

#include <stdexcept>

namespace wux {

const std::string& commandArg(const CommandArgs& args, std::size_t i) {
  static const std::string empty;
  return i < args.size() ? args[i] : empty;
}

void CommandTable::add(const std::string& name, CommandFn fn, State state) { add(name, Needs::none(), std::move(fn), state); }

void CommandTable::add(const std::string& name, std::function<int()> fn, State state) {
  add(name, Needs::none(), std::move(fn), state);
}

void CommandTable::add(const std::string& name, Needs needs, CommandFn fn, State state) {
  if (!fn) throw std::logic_error("Command without a body: " + name);
  auto it = entries_.find(name);
  if (it != entries_.end() && it->second.state != State::NotBuiltYet)
    throw std::logic_error("Command registered twice: " + name);
  entries_[name] = Entry{std::move(fn), state, needs};
}

void CommandTable::add(const std::string& name, Needs needs, std::function<int()> fn, State state) {
  if (!fn) throw std::logic_error("Command without a body: " + name);
  add(name, needs, CommandFn([f = std::move(fn)](const CommandArgs&) { return f(); }), state);
}

void CommandTable::addPlaceholder(const std::string& name, CommandFn fn) {
  if (!fn) throw std::logic_error("Command without a body: " + name);
  entries_.emplace(name, Entry{std::move(fn), State::NotBuiltYet, Needs::none()});
}

const CommandTable::Entry& CommandTable::entry(const std::string& name) const {
  auto it = entries_.find(name);
  if (it == entries_.end()) throw std::out_of_range("No command named " + name);
  return it->second;
}

int CommandTable::run(const std::string& name, const CommandArgs& args) const {
  const Entry& e = entry(name);
  if (beforeRun_) beforeRun_();
  if (guard_ && e.needs.any()) {
    Needs now = e.needs;
    if (!now.atStart) now.ui = now.holder = now.note = false;
    if (now.any())
      if (const std::optional<int> refused = guard_(now)) return *refused;
  }
  return e.fn(args);
}

std::optional<int> CommandTable::refusal(const std::string& name) const {
  Needs later = entry(name).needs;
  later.idle = false;
  if (!guard_ || !later.any()) return std::nullopt;
  return guard_(later);
}

Needs CommandTable::needs(const std::string& name) const { return entry(name).needs; }

CommandTable::State CommandTable::state(const std::string& name) const { return entry(name).state; }

std::vector<std::string> CommandTable::names() const {
  std::vector<std::string> out;
  for (const auto& [name, entry] : entries_) out.push_back(name);
  return out;
}

std::vector<std::string> CommandTable::names(State state) const {
  std::vector<std::string> out;
  for (const auto& [name, entry] : entries_)
    if (entry.state == state) out.push_back(name);
  return out;
}

}  // namespace wux

#include "model/records/HolderSave.h"

#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace wux {

namespace {

HolderSave stopped(HolderSave s, HolderSave::State state, const std::string& why) {
  s.state = state;
  s.why = why;
  return s;
}

}  // namespace

HolderSave SettleHolderSave(MemoHolder& holder, const HolderSavePolicy& policy, const std::string& asFile) {
  using State = HolderSave::State;
  HolderSave s;
  s.holder = &holder;
  // Never shown, its notes are still in its file: written empty, they would be lost. One
  // whose file could not be read is not read again: the question below keeps that file,
  // and a Save As elsewhere must still be able to keep what was typed into it.
  if (!holder.loaded && !holder.loadFailed) {
    StringList messages;
    if (LoadHolder(holder, messages) == -1) return stopped(s, State::Refused, "cannot read " + holder.getFileName_());
  }
  s.asFile = !asFile.empty();
  s.file = platform::resolvePath(platform::toSlashes(s.asFile ? asFile : holder.getFileName_()));
  MemoFile* doc = holder.getParentFile_();
  if (MemoHolder* other = doc ? doc->holderInFile_(s.file, &holder) : nullptr)
    return stopped(s, State::Refused, SharedFileText(other->name(), holder.name(), other->getFileName_()));
  // A folder, a FIFO or a device under the name is refused before anybody is asked.
  if (std::string refused = platform::refusedTarget(s.file); !refused.empty())
    return stopped(s, State::Refused, refused);
  if (holder.loadFailed && SameNotebookFile(s.file, holder.getFileName_())) {
    if (!(policy.overDamaged && policy.overDamaged(s.file)))
      return stopped(s, State::Refused, "The notebook file " + s.file + " could not be read whole; it is not saved over.");
    s.damagedAgreed = true;
  }
  // A file chosen in a save dialog was asked about there.
  s.foreignAgreed = s.asFile;
  if (!s.asFile && !holder.ownsFile(s.file) && platform::fileExists(s.file)) {
    if (!policy.foreign) return stopped(s, State::Refused, ForeignFileText(s.file) + " Not saved over it.");
    std::string elsewhere;
    switch (policy.foreign(holder, s.file, elsewhere)) {
      case ForeignAnswer::Overwrite: s.foreignAgreed = true; break;
      case ForeignAnswer::Elsewhere:
        if (!elsewhere.empty()) return SettleHolderSave(holder, policy, elsewhere);
        [[fallthrough]];
      case ForeignAnswer::Cancel: return stopped(s, State::Cancelled, s.file + " is not saved");
    }
  }
  const std::string dir = platform::dirOf(s.file);
  if (!dir.empty() && !platform::dirExists(dir) && policy.makeDirectory) {
    if (!policy.makeDirectory(dir))
      return stopped(s, State::Cancelled, "the folder " + dir + " was not made; " + s.file + " is not saved");
    s.makeFolder = true;
  }
  return s;
}

void WriteHolderSave(HolderSave& s) {
  if (s.state != HolderSave::State::Ready || !s.holder) return;
  MemoHolder& holder = *s.holder;
  const std::string dir = platform::dirOf(s.file);
  if (s.makeFolder && !platform::dirExists(dir) && !platform::makeDirs(dir)) {
    s.state = HolderSave::State::Failed;
    s.why = "Make Directory " + dir;
    return;
  }
  const bool damaged = s.damagedAgreed, foreign = s.foreignAgreed;
  const auto overDamaged = [damaged](const std::string&) { return damaged; };
  const auto overForeign = [foreign](const std::string&) { return foreign; };
  s.size = s.asFile ? holder.saveAsFile_(s.file, &s.why, overDamaged, overForeign)
                    : holder.saveToFile_(s.file, &s.why, overDamaged, overForeign);
  if (s.size < 0) {
    s.state = HolderSave::State::Failed;
    return;
  }
  holder.modified = false;
  s.state = HolderSave::State::Saved;
}

std::vector<HolderSave> SaveHolders(const std::vector<MemoHolder*>& holders, const HolderSavePolicy& policy) {
  if (policy.commit) policy.commit();
  std::vector<HolderSave> saves;
  for (MemoHolder* h : holders) {
    if (!h) continue;
    saves.push_back(SettleHolderSave(*h, policy));
    if (saves.back().state == HolderSave::State::Cancelled) return saves;
  }
  for (HolderSave& s : saves) WriteHolderSave(s);
  return saves;
}

const HolderSave* FirstCancelled(const std::vector<HolderSave>& saves) {
  for (const HolderSave& s : saves)
    if (s.state == HolderSave::State::Cancelled) return &s;
  return nullptr;
}

void LinkRebase::putBack() {
  for (auto c = changes.rbegin(); c != changes.rend(); ++c) c->node->putField_(c->field, c->before);
  changes.clear();
}

LinkRebase RebaseRelativeLinks(MemoHolder& holder, const std::string& oldDir, const std::string& newDir) {
  LinkRebase rebase;
  const auto folder = [](const std::string& dir) {
    std::string full = platform::resolvePath(platform::toSlashes(dir));
    while (full.size() > 1 && full.back() == '/') full.pop_back();
    return full;
  };
  const std::string from = folder(oldDir), to = folder(newDir);
  if (from == to) return rebase;
  StringList notes;
  holder.setNodeList_(notes);
  for (int i = 0; i < notes.count(); ++i) {
    auto* node = notes.objectAs<MemoNode>(i);
    if (!node) continue;
    for (const char* field : {"Filename", "FilenameLocal"}) {
      const std::string stored = node->getField_(field);
      const std::string name = sjis::trim(Dequote(stored));
      if (name.empty() || name[0] != '.') continue;
      const std::string target = platform::resolvePath(name, from + "/");
      const std::string relative = platform::relativePath(target, to + "/");
      rebase.changes.push_back({node, field, stored});
      node->putField_(field, QuoteValue(sjis::startsWith(relative, "./") ? relative : target));
    }
  }
  return rebase;
}

}  // namespace wux

#pragma once
// Saving a notebook to its file: the one operation behind every save of a notebook (the
// notebook commands, Ctrl+S and Save All, the close question, the auto-save, a document
// saved with its notebooks). The questions come in as a policy; the auto-save's asks
// nothing. Every question is settled before anything is written, so that a save of
// several notebooks writes nothing when one of them is cancelled. It is the only place
// that clears a notebook's modified flag after a save.
#include <functional>
#include <string>
#include <vector>

namespace wux {

class MemoHolder;
class MemoNode;

// The answer about a file under the notebook's name that this document never read nor
// wrote (another document's notebook, as far as it knows).
enum class ForeignAnswer { Overwrite, Elsewhere, Cancel };

struct HolderSavePolicy {
  // Commits what the editors hold; run once, before anything is settled.
  std::function<void()> commit;
  // The file's folder is missing: true makes it. Without it the folder is not made and
  // the write says why.
  std::function<bool(const std::string& dir)> makeDirectory;
  // The notebook's own file could not be read whole: true saves over it. Without it the
  // file is kept.
  std::function<bool(const std::string& path)> overDamaged;
  // A file another document wrote: Elsewhere with the chosen file in `elsewhere`.
  // Without it the file is kept and the notebook is not saved.
  std::function<ForeignAnswer(MemoHolder& holder, const std::string& path, std::string& elsewhere)> foreign;
};

struct HolderSave {
  enum class State { Ready, Refused, Cancelled, Saved, Failed };
  MemoHolder* holder = nullptr;
  State state = State::Ready;
  std::string file;  // where it is written
  bool asFile = false;  // it moves into `file` (Save As)
  bool damagedAgreed = false;
  bool foreignAgreed = false;
  bool makeFolder = false;  // the user agreed to make the missing folder
  long long size = -1;
  std::string why;  // Refused, Cancelled, Failed: the reason, naming the file
};

// Loads a notebook that was never loaded, then settles the file it goes to and asks what
// the policy asks. With `asFile` it is a Save As into that file, which the user chose.
HolderSave SettleHolderSave(MemoHolder& holder, const HolderSavePolicy& policy, const std::string& asFile = {});
// Writes a save settled Ready; a written notebook is no longer modified.
void WriteHolderSave(HolderSave& save);
// Commits, settles each notebook, then writes them all, unless one was cancelled: then
// nothing is written.
std::vector<HolderSave> SaveHolders(const std::vector<MemoHolder*>& holders, const HolderSavePolicy& policy);
// The first save cancelled, or nullptr.
const HolderSave* FirstCancelled(const std::vector<HolderSave>& saves);

// The relative links (`Filename`, `FilenameLocal`) of a notebook's notes rewritten to name
// the same files from another folder; put back by putBack().
class LinkRebase {
 public:
  void putBack();
  struct Change {
    MemoNode* node;
    std::string field, before;
  };
  std::vector<Change> changes;
};
// Relative names are read against `oldDir`; each becomes "./..." when its file lies
// below `newDir`, else its full path. Nothing changes when the folders are one.
LinkRebase RebaseRelativeLinks(MemoHolder& holder, const std::string& oldDir, const std::string& newDir);

}  // namespace wux

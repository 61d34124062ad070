#pragma once
// The note file commands other windows reuse: the note window saves its note as the
// main window does, and executing a note first saves it where its fields say.
#include <string>

namespace wux {

class MainWindowApi;
class MemoNode;

// Saves the note's content under a name the user chooses (proposed from its fields) and
// records the chosen name in its fields. 0 when written (the name in `savedAs`, when
// given), -1 otherwise.
int saveAsMemoNode_(MainWindowApi& w, MemoNode* node, std::string* savedAs = nullptr);

// What a save to the named file came to beyond the name: the note's own linked file
// kept as it is (nothing to write), or the closing text of a note that could not be
// read or may not be written there ("Failure: " + name + ": " + reason).
struct NamedFileSave {
  bool kept = false;
  std::string failure;
};

// Saves the note's content to the file its fields name, asking for a name only when
// `mayAsk` and the fields name none. Answers the full name saved, "" when nothing was.
// A linked note's own file, unchanged since it was read, counts as saved unwritten.
std::string saveMemoNodeToNamedFile(MainWindowApi& w, MemoNode* node, bool mayAsk = true,
                                    NamedFileSave* report = nullptr);

}  // namespace wux

#pragma once
// The one maker of new notes in the current notebook, shared by the families that make
// notes (creation, child notes from content).
#include <string>

#include "views/MainWindowApi.h"

namespace wux {

class MemoNode;
class MemoNodeUI;

// The kinds of new note; the numbers are what scripts pass.
enum class NoteKind { Text = 0, Image = 1, Icon = 2, URL = 3, Poser = 4, PoserLike = 5 };

// Makes a note of `kind` in the current notebook by the notebook's own rule and makes it
// current. Text: `path` names a file to import (relative to the notebook's folder when
// it begins with "."), and the note is named by it. Image: a picture from the notebook's
// "*DefaultImage" note, else "DefaultImage.jpg" beside the program, else a blank bitmap
// named after `path`. URL: `path` is the address. nullptr when refused (the status says
// why) or when the file could not be imported (the reason in `error`; no note is left).
MemoNodeUI* newMemoNodeKind(MainWindowApi& w, const std::string& path, NoteKind kind,
                            std::string* error = nullptr);

// Links `child` under `parent` and shows it.
void makeChildOf(MainWindowApi& w, MemoNode* child, MemoNode* parent);

}  // namespace wux

#pragma once
// The one maker of new notes in the current notebook, shared by the families that make
// notes (creation, child notes from content).
#include <string>

#include "model/clock.h"
#include "views/MainWindowApi.h"

class QImage;

namespace wux {

class MemoHolderUI;
class MemoNode;
class MemoNodeUI;
class StringList;

// The kinds of new note; the numbers are what scripts pass.
enum class NoteKind { Text = 0, Image = 1, Icon = 2, URL = 3, Poser = 4, PoserLike = 5 };

// Makes a note of `kind` in the current notebook by the notebook's own rule and makes it
// current. Text: `path` names a file to import (relative to the notebook's folder when
// it begins with "."), and the note is named by it. Image: a picture from the notebook's
// "*DefaultImage" note, else "DefaultImage.jpg" beside the program, else a blank bitmap
// named after `path`. URL: `path` is the address, empty for the program's page (no note
// when there is none either). nullptr when refused (the status says why) or when the
// file could not be imported (the reason in `error`; no note is left). A note made whose
// file held characters Shift_JIS cannot has them named in `error` and in the log.
MemoNodeUI* newMemoNodeKind(MainWindowApi& w, const std::string& path, NoteKind kind,
                            std::string* error = nullptr);

// The bytes of an icon file holding the picture (at most 255 pixels each way) as one
// 32-bit image: what icon notes carry as their content.
std::string iconFileBytes(const QImage& picture);

// Links `child` under `parent` and shows it.
void makeChildOf(MainWindowApi& w, MemoNode* child, MemoNode* parent);

// Series of new notes in the current notebook, named by its date or number pattern:
// one per day of a year, a month or the Monday-to-Sunday week holding `date`, or one per
// number from `from` to `to` (nothing when `to` is below `from`). The last new note
// becomes current. The dated series answer the number of notes made, the number series
// the current note's index; -1 when refused (years 1..9999, months 1..12, a number
// pattern the safe formatter refuses, a range too large for one notebook). The commands
// that call them declare the read-only needs.
int newNodesYear(MainWindowApi& w, long long year);
int newNodesMonth(MainWindowApi& w, long long year, long long month);
int newNodesWeek(MainWindowApi& w, const DateTime& date);
int newNodesNumber(MainWindowApi& w, long long from, long long to);

// A new notebook (at the end) from CSV lines: the first line is ignored, the second names
// the fields, each further line becomes a note. nullptr when the lines hold no names.
MemoHolderUI* importCSVNodes(MainWindowApi& w, const StringList& lines);

}  // namespace wux

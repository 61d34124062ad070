#pragma once
// The one answer to "may this change happen?". The command table asks it for the needs
// each command declares; the windows and frames that change notes outside the table
// (property and batch windows, the list's menus, the editor's commit) ask it too, so the
// busy and read-only rules live here and nowhere else.
#include "views/CommandTable.h"

namespace wux {

class MainWindowApi;
class MemoNode;

// Nothing when every need holds, else the result code of the first that does not; the status
// says why ("UI ReadOnly", "This MemoHolder is Read Only. (" + name + ")", "Stop: This
// MemoNode is Read Only. (" + name + ")", "Now Doing " + time).
std::optional<int> refusalOf(MainWindowApi& w, const Needs& needs);

// Whether `node` itself carries FlagReadOnly (its notebook aside).
bool ownFlagReadOnly(MemoNode& node);

// The batch rule: a note may be changed when the interface is writable, its notebook is
// writable and its own flag is off. Silent: batches skip such notes without counting them.
bool mayChange(MainWindowApi& w, MemoNode& node);

// The same rule for one note a window is about to change, with the reason in the status
// when it is refused: true means refused.
bool refusedToChange(MainWindowApi& w, MemoNode& node);

}  // namespace wux

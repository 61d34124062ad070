#pragma once
// The tool, property and print windows belong to the window that opens them: they stay
// in front of it and go with it, open where their kind of window opens, read in its font
// where they should, and never open partly off the screen.
class QWidget;

namespace wux {

enum class WindowPlace {
  OnOwner,   // centred on the owner window
  OnScreen,  // centred on the owner's screen (or the window's own without an owner)
  // Beside the owner window, clear of its top (tool bar) where the screen allows, at
  // its first showing only: later showings keep the place the user gave it.
  BesideOwner,
};

// Makes `window` a top-level window of `owner`'s window (kept in front of it, deleted
// with it), gives it that window's font when `ownerFont`, and has it placed at each
// showing from hidden. Call it before every showing: the font may have changed since.
// Without an owner only the placement applies.
void ownWindow(QWidget& window, QWidget* owner, WindowPlace place, bool ownerFont);

// Places a top-level window, shown or about to be, as `place` says and wholly on the
// screen, frame included: for a window that sizes itself as it is shown.
void placeWindow(QWidget& window, WindowPlace place);

// The room a window of `window`'s kind can fill on its screen without its frame leaving
// the available area.
struct ScreenRoom {
  int width = 0, height = 0;
};
ScreenRoom roomOnScreen(const QWidget& window);

}  // namespace wux

#pragma once
// What the shell family shares with the windows it opens.

namespace wux {

// A note window opens at 96% of the main window's width and height, each rounded to
// the nearest whole pixel.
struct WindowSize {
  int width = 0;
  int height = 0;
};
WindowSize NoteWindowSize(int mainWidth, int mainHeight);

}  // namespace wux

#pragma once
// What the menu layer's commands share with the tests.
#include "views/MainWindowApi.h"

namespace wux {

// The place and size of the window for a Size&&Pos item: the item's width with the
// height of that classic screen size (1600x1200 down to 640x480; the screen's height for
// any other width), both cut to the screen, the top left corner at (3, 3).
WindowRect FitFormRect(int tagWidth, const WindowRect& screen);

}  // namespace wux

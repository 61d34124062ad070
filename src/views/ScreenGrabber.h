#pragma once
// Taking a picture of the whole screen. Where the platform does not let a program see
// the screen (Wayland, a refused permission, no screen at all) the grab fails with its
// reason instead of handing back a black picture.
#include <QImage>
#include <string>

namespace wux {

class ScreenGrabber {
 public:
  virtual ~ScreenGrabber() = default;
  // The picture of the primary screen, or false with the reason in `error`.
  virtual bool grab(QImage& out, std::string& error) = 0;
};

// The grabber in force: the toolkit's own unless another is installed.
ScreenGrabber& screenGrabber();
// Installs `g` (not owned); nullptr restores the toolkit's grabber. Returns the previous one.
ScreenGrabber* setScreenGrabber(ScreenGrabber* g);

}  // namespace wux

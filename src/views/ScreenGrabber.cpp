#include "views/ScreenGrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace wux {

namespace {

class QtScreenGrabber : public ScreenGrabber {
 public:
  bool grab(QImage& out, std::string& error) override {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) {
      error = "the Wayland display does not let programs read the screen";
      return false;
    }
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
      error = "there is no screen to read";
      return false;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
      error = "no screen";
      return false;
    }
    const QPixmap shot = screen->grabWindow(0);
    if (shot.isNull()) {
      error = "the screen could not be read";
      return false;
    }
    out = shot.toImage();
    return true;
  }
};

QtScreenGrabber toolkitGrabber;
ScreenGrabber* installed = nullptr;

}  // namespace

ScreenGrabber& screenGrabber() { return installed ? *installed : toolkitGrabber; }

ScreenGrabber* setScreenGrabber(ScreenGrabber* g) {
  ScreenGrabber* prev = installed;
  installed = g;
  return prev;
}

}  // namespace wux

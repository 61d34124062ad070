#pragma once
// The about box, also the splash at start-up: a picture (or, without one, the name of
// the file that was meant) shown for a while, then hidden by its own timer.
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace wux {

class TFormAbout : public QWidget {
  Q_OBJECT
 public:
  explicit TFormAbout(QWidget* owner);

  // Shows the picture of a ".jpg" or ".bmp" file: 0. Any other or a missing file: the
  // file's name in large type in its place, -1.
  int loadImage_(const std::string& file);
  // Shows the box, centred on its owner, for `ms` milliseconds.
  void showFor_(int ms);
  // One tick of the timer: the time left shrinks; at none left the box hides.
  void tick_();
  int countdown() const { return countdown_; }
  QLabel* Image1() const { return image_; }
  QLabel* Label1() const { return label_; }
  QTimer* Timer1() const { return timer_; }
  // The pop-up menu; its "timer" item stops and restarts the countdown.
  QMenu* PopupMenu1() const { return popup_; }

 protected:
  // A click closes the box at once.
  void mouseReleaseEvent(QMouseEvent* e) override;
  // However the box goes, its pop-up goes with it.
  void hideEvent(QHideEvent* e) override;

 private:
  QLabel* image_;
  QLabel* label_;
  QTimer* timer_;
  QMenu* popup_;
  QAction* timerItem_;
  int countdown_ = 3000;
};

}  // namespace wux

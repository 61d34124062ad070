#include "views/OwnedWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace wux {

namespace {

// The window `w` belongs to, if any.
const QWidget* ownerOf(const QWidget& w) { return w.parentWidget() ? w.parentWidget()->window() : nullptr; }

QMargins marginsOf(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  const QRect inner = w.geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

// The frame the window manager puts around the window. Until the window is on the screen
// it is not known; the owner's frame is the best guess, since one manager frames both.
QMargins frameOf(const QWidget& w) {
  if (w.isVisible() && w.windowHandle()) {
    const QMargins m = marginsOf(w);
    if (!m.isNull()) return m;
  }
  const QWidget* owner = ownerOf(w);
  if (owner && owner->isVisible()) return marginsOf(*owner);
  return {};
}

// Moves the window's frame to `topLeft`, with `m` as its frame. Qt takes a position as
// the frame's only while it knows no native window; once it does, as the client area's
// offset by the frame it knows, which is none until the window manager has framed it.
void moveFrameTo(QWidget& w, const QPoint& topLeft, const QMargins& m) {
  if (!w.testAttribute(Qt::WA_WState_Created)) {
    w.move(topLeft);
    return;
  }
  const QPoint known = w.geometry().topLeft() - w.pos();
  w.move(topLeft + QPoint(m.left(), m.top()) - known);
}

QScreen* screenOf(const QWidget& w) {
  const QWidget* owner = ownerOf(w);
  if (owner && owner->isVisible())
    if (QScreen* s = QGuiApplication::screenAt(owner->frameGeometry().center())) return s;
  if (owner && owner->screen()) return owner->screen();
  if (w.screen()) return w.screen();
  return QGuiApplication::primaryScreen();
}

QRect availableFor(const QWidget& w) {
  QScreen* s = screenOf(w);
  return s ? s->availableGeometry() : QRect();
}

// `frame` moved, not resized, to lie on `area` as far as its size allows (the top left
// corner stays on the screen when it is larger: the title bar can still be reached).
QRect moveInto(QRect frame, const QRect& area) {
  if (frame.right() > area.right()) frame.moveRight(area.right());
  if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
  if (frame.left() < area.left()) frame.moveLeft(area.left());
  if (frame.top() < area.top()) frame.moveTop(area.top());
  return frame;
}

}  // namespace

namespace {

// To the right of the owner, else to its left; with room on neither side, over the
// owner's lower half, its top part (the tool bar) left clear.
QRect besideOwner(QWidget& w, QRect frame, const QRect& of, const QRect& area, const QMargins& m) {
  frame.moveTopLeft(QPoint(of.right() + 1, of.top()));
  if (area.isEmpty() || frame.right() <= area.right()) return frame;
  frame.moveTopRight(QPoint(of.left() - 1, of.top()));
  if (frame.left() >= area.left()) return frame;
  frame.moveTopRight(QPoint(std::min(of.right(), area.right()), of.center().y()));
  if (frame.bottom() > area.bottom()) {
    frame.setBottom(area.bottom());
    w.resize(w.width(), std::max(1, frame.height() - m.top() - m.bottom()));
  }
  return frame;
}

}  // namespace

void placeWindow(QWidget& w, WindowPlace where) {
  const QRect area = availableFor(w);
  const QMargins m = frameOf(w);
  QRect frame(QPoint(0, 0), w.size().grownBy(m));
  const QWidget* owner = ownerOf(w);
  if (where == WindowPlace::OnOwner && owner)
    frame.moveCenter(owner->frameGeometry().center());
  else if (where == WindowPlace::BesideOwner && owner)
    frame = besideOwner(w, frame, owner->frameGeometry(), area, m);
  else if (!area.isEmpty())
    frame.moveCenter(area.center());
  if (!area.isEmpty()) frame = moveInto(frame, area);
  moveFrameTo(w, frame.topLeft(), m);
}

namespace {

// Places its window each time it is shown from hidden. A window may still grow a little
// as it is first laid out on the screen, and a window manager may put it where it was
// asked before the last move: while it settles, a resize it did not get from the user
// (it has not been moved) places it again, and once settled, with its frame known, it is
// placed once more.
class Placer : public QObject {
 public:
  Placer(QWidget& window, WindowPlace where) : QObject(&window), window_(window), where_(where) {
    setObjectName(QStringLiteral("wuxWindowPlacer"));
    window.installEventFilter(this);
  }
  void setPlace(WindowPlace where) { where_ = where; }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != &window_) return false;
    if (e->type() == QEvent::Show && !e->spontaneous()) {
      if (where_ == WindowPlace::BesideOwner && placedOnce_) return false;
      placedOnce_ = true;
      place();
      settling_ = true;
      QPointer<QWidget> w(&window_);
      QTimer::singleShot(300, this, [this, w] {
        settling_ = false;
        if (w && w->isVisible()) place();
      });
    } else if (e->type() == QEvent::Resize && settling_ && window_.geometry().topLeft() == placedAt_) {
      place();
    }
    return false;
  }

 private:
  void place() {
    placeWindow(window_, where_);
    placedAt_ = window_.geometry().topLeft();
  }

  QWidget& window_;
  WindowPlace where_;
  bool settling_ = false;
  bool placedOnce_ = false;
  QPoint placedAt_;
};

}  // namespace

void ownWindow(QWidget& window, QWidget* owner, WindowPlace where, bool ownerFont) {
  QWidget* top = owner ? owner->window() : nullptr;
  if (top && top != &window && window.parentWidget() != top) {
    const bool shown = window.isVisible();
    Qt::WindowFlags flags = window.windowFlags();
    if (!(flags & Qt::Window)) flags |= Qt::Window;
    window.setParent(top, flags);
    if (shown) window.show();
  }
  if (ownerFont && top) window.setFont(top->font());
  if (auto* placer = window.findChild<Placer*>(QStringLiteral("wuxWindowPlacer"), Qt::FindDirectChildrenOnly))
    placer->setPlace(where);
  else
    new Placer(window, where);
}

ScreenRoom roomOnScreen(const QWidget& window) {
  const QRect area = availableFor(window);
  const QMargins m = frameOf(window);
  return {std::max(1, area.width() - m.left() - m.right()), std::max(1, area.height() - m.top() - m.bottom())};
}

}  // namespace wux

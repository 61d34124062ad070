#include "views/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace wux {

namespace {

bool isBox(const QWidget* w) { return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w); }

// The box the widget is or belongs to (an editable box's line edit), within its window.
QWidget* boxOf(QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (isBox(w)) return w;
    if (w->isWindow()) break;
  }
  return nullptr;
}

// Qt gives a box the focus from the wheel before any filter sees the turn, so a box
// must not take the focus from the wheel at all.
void refuseWheelFocus(QWidget* box) {
  if ((box->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
}

class WheelGuard : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Polish && event->type() != QEvent::Wheel) return false;
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Polish) {
      if (isBox(widget)) refuseWheelFocus(widget);
      return false;
    }
    QWidget* box = boxOf(widget);
    if (!box) return false;
    refuseWheelFocus(box);
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == box || box->isAncestorOf(focus))) return false;
    // Handled here but not accepted: Qt then offers the turn to the parent widgets.
    event->ignore();
    return true;
  }
};

}  // namespace

void installWheelGuard(QApplication& app) {
  static QPointer<WheelGuard> guard;
  if (guard) return;
  guard = new WheelGuard(&app);
  app.installEventFilter(guard);
}

}  // namespace wux

#include "printing/FormStrPreview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "printing/StringsPrinter.h"
#include "views/OwnedWindow.h"

namespace wux {

TFormStrPreview::TFormStrPreview(TStringsPrinter& printer, const std::vector<LaidOutPage>& pages, QWidget* parent)
    : QDialog(parent), pages_(pages), geometry_(printer.geometry()) {
  setWindowTitle(QStringLiteral("Preview"));
  setObjectName(QStringLiteral("FormStrPreview"));
  font_ = TStringsPrinter::deviceFont(printer.Font(), geometry_.dpi);
  const QScreen* screen = QApplication::primaryScreen();
  const double screenDpi = screen ? screen->logicalDotsPerInchX() : 96.0;
  screenRatio_ = geometry_.dpi > 0 ? screenDpi / geometry_.dpi : 1.0;

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  top->setContentsMargins(4, 4, 4, 4);
  auto button = [&](const char* name, const QString& text) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    top->addWidget(b);
    return b;
  };
  SpeedButton1 = button("SpeedButton1", QStringLiteral("|<"));
  SpeedButton2 = button("SpeedButton2", QStringLiteral("<"));
  SpeedButton3 = button("SpeedButton3", QStringLiteral(">"));
  SpeedButton4 = button("SpeedButton4", QStringLiteral(">|"));
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  top->addWidget(Label1);
  SpeedButton5 = button("SpeedButton5", QStringLiteral("Adjust Height"));
  SpeedButton6 = button("SpeedButton6", QStringLiteral("Adjust Width"));
  SpeedButton7 = button("SpeedButton7", QStringLiteral("100%"));
  top->addStretch();
  SpeedButton8 = button("SpeedButton8", QStringLiteral("Close"));
  box->addLayout(top);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setAlignment(Qt::AlignCenter);  // a page smaller than the box sits centred
  ScrollBox1->setBackgroundRole(QPalette::Dark);
  Image1 = new QLabel;
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setMouseTracking(true);
  Image1->installEventFilter(this);
  ScrollBox1->setWidget(Image1);
  ScrollBox1->viewport()->installEventFilter(this);
  box->addWidget(ScrollBox1, 1);

  connect(SpeedButton1, &QToolButton::clicked, this, [this] { ShowPage(0); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { ShowPage(index_ - 1); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { ShowPage(index_ + 1); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { ShowPage(static_cast<int>(pages_.size()) - 1); });
  connect(SpeedButton5, &QToolButton::clicked, this, [this] { SetZoom(Zoom::AdjustHeight); });
  connect(SpeedButton6, &QToolButton::clicked, this, [this] { SetZoom(Zoom::AdjustWidth); });
  connect(SpeedButton7, &QToolButton::clicked, this, [this] { SetZoom(Zoom::Actual); });
  connect(SpeedButton8, &QToolButton::clicked, this, &QDialog::accept);
  ShowPage(0);
}

void TFormStrPreview::Execute(TStringsPrinter& printer, const std::vector<LaidOutPage>& pages, QWidget* parent) {
  TFormStrPreview form(printer, pages, parent);
  ownWindow(form, parent, WindowPlace::OnOwner, false);
  form.SetZoom(Zoom::Actual);
  form.exec();
}

void TFormStrPreview::ShowPage(int index) {
  const int count = static_cast<int>(pages_.size());
  index_ = std::clamp(index, 0, std::max(0, count - 1));
  Label1->setText(QString::asprintf("%3d / %3d", count ? index_ + 1 : 0, count));
  SpeedButton1->setEnabled(index_ > 0);
  SpeedButton2->setEnabled(index_ > 0);
  SpeedButton3->setEnabled(index_ < count - 1);
  SpeedButton4->setEnabled(index_ < count - 1);
  redraw();
}

void TFormStrPreview::SetZoom(Zoom zoom) {
  zoom_ = zoom;
  redraw();
}

void TFormStrPreview::redraw() {
  // The whole sheet: the printable area and the unprintable border around it.
  const double paperW = geometry_.offsetLeft + geometry_.width + geometry_.offsetRight;
  const double paperH = geometry_.offsetTop + geometry_.height + geometry_.offsetBottom;
  if (paperW <= 0 || paperH <= 0) return;
  double scale = screenRatio_;
  if (zoom_ == Zoom::AdjustWidth) {
    const int room = ScrollBox1->width() - ScrollBox1->verticalScrollBar()->sizeHint().width() - 2;
    scale = std::max(1, room) / paperW;
  } else if (zoom_ == Zoom::AdjustHeight) {
    const int room = ScrollBox1->height() - ScrollBox1->horizontalScrollBar()->sizeHint().height() - 2;
    scale = std::max(1, room) / paperH;
  }
  const QSize size(std::max(1, static_cast<int>(std::lround(paperW * scale))),
                   std::max(1, static_cast<int>(std::lround(paperH * scale))));
  image_ = QImage(size, QImage::Format_RGB32);
  image_.fill(Qt::white);
  if (!pages_.empty()) {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(geometry_.offsetLeft, geometry_.offsetTop);
    painter.setClipRect(QRect(0, 0, geometry_.width, geometry_.height));
    TStringsPrinter::DrawPage(painter, pages_[index_], font_);
  }
  Image1->setPixmap(QPixmap::fromImage(image_));
  Image1->resize(size);
  updateCursor();
}

void TFormStrPreview::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (e->spontaneous()) return;  // back from minimised: the user's size stays
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  if (!screen) return;
  // The size the page asks for, but never so large that the frame leaves the screen: a
  // window manager would shrink or move it otherwise.
  const ScreenRoom room = roomOnScreen(*this);
  auto fitWidth = [&] {
    return std::min(room.width, image_.width() + ScrollBox1->verticalScrollBar()->sizeHint().width() + 16);
  };
  resize(fitWidth(), std::min(room.height, screen->geometry().height() / 6 * 5));
  // A page fitted to the height is only known at the new height; the width follows it.
  if (zoom_ == Zoom::AdjustHeight) resize(fitWidth(), height());
}

void TFormStrPreview::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (zoom_ != Zoom::Actual) redraw();
  else updateCursor();
}

void TFormStrPreview::updateCursor() {
  const QSize view = ScrollBox1->viewport()->size();
  const bool fits = image_.width() <= view.width() && image_.height() <= view.height();
  Image1->setCursor(fits ? Qt::ArrowCursor : Qt::OpenHandCursor);
}

bool TFormStrPreview::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ScrollBox1->viewport() && e->type() == QEvent::Wheel) {
    // The page moves by the wheel's own delta, not by lines of text.
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - static_cast<QWheelEvent*>(e)->angleDelta().y());
    return true;
  }
  if (watched == Image1) {
    if (e->type() == QEvent::MouseButtonPress) {
      dragFrom_ = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
    } else if (e->type() == QEvent::MouseMove) {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->buttons() & Qt::LeftButton) {
        const QPoint now = me->globalPosition().toPoint();
        const QPoint d = now - dragFrom_;
        dragFrom_ = now;
        ScrollBox1->horizontalScrollBar()->setValue(ScrollBox1->horizontalScrollBar()->value() - d.x());
        ScrollBox1->verticalScrollBar()->setValue(ScrollBox1->verticalScrollBar()->value() - d.y());
      } else {
        updateCursor();
      }
    }
  }
  return QDialog::eventFilter(watched, e);
}

}  // namespace wux

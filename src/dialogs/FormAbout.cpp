#include "dialogs/FormAbout.h"

#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "views/qtext.h"

namespace wux {

TFormAbout::TFormAbout(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FormAbout"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  image_ = new QLabel(this);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setScaledContents(true);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setAlignment(Qt::AlignCenter);
  v->addWidget(image_, 1);
  v->addWidget(label_);
  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(200);
  connect(timer_, &QTimer::timeout, this, [this] { tick_(); });
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  timerItem_ = popup_->addAction(QStringLiteral("timer"));
  timerItem_->setCheckable(true);
  timerItem_->setChecked(true);
  // Switched off, the box stays until it is clicked away.
  connect(timerItem_, &QAction::triggered, this, [this](bool on) {
    if (on)
      timer_->start();
    else
      timer_->stop();
  });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popup_->popup(mapToGlobal(at)); });
  resize(400, 300);
}

void TFormAbout::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  timer_->stop();
  close();
}

void TFormAbout::hideEvent(QHideEvent* e) {
  popup_->close();
  QWidget::hideEvent(e);
}

int TFormAbout::loadImage_(const std::string& file) {
  const std::string ext = sjis::lower(platform::extOf(file));
  QPixmap picture;
  if (platform::fileExists(file) && (ext == ".jpg" || ext == ".bmp") &&
      picture.load(QString::fromStdString(platform::osPath(file)), ext == ".jpg" ? "JPG" : "BMP")) {
    image_->setPixmap(picture);
    label_->clear();
    label_->hide();
    return 0;
  }
  const QString name = toQ(platform::fileNameOf(file));
  setWindowTitle(name);
  QFont big = label_->font();
  big.setPointSize(20);
  label_->setFont(big);
  label_->setText(name);
  label_->show();
  return -1;
}

void TFormAbout::showFor_(int ms) {
  countdown_ = ms;
  if (QWidget* owner = parentWidget()) {
    const QRect o = owner->frameGeometry();
    move(o.center() - rect().center());
  }
  show();
  raise();
  repaint();
  timer_->start();
}

void TFormAbout::tick_() {
  countdown_ -= timer_->interval();
  if (!label_->text().isEmpty()) label_->repaint();
  image_->repaint();
  if (countdown_ < 1) {
    timer_->stop();
    hide();
  }
}

}  // namespace wux

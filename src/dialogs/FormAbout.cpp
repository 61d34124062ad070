#include "dialogs/FormAbout.h"

#include <QFileInfo>
#include <QLabel>
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
  resize(400, 300);
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

#include "dialogs/SmallWindows.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QCoreApplication>

#include "model/text/sjis.h"
#include "views/FrameWB.h"
#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

// ---- content view ----------------------------------------------------------------------

TFormContentView::TFormContentView(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("ContentView"));
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(2, 2, 2, 2);
  auto* update = new QPushButton(QStringLiteral("Update"), panel);
  auto* hide = new QPushButton(QStringLiteral("Hide"), panel);
  row->addWidget(update);
  row->addWidget(hide);
  row->addStretch(1);
  connect(update, &QPushButton::clicked, this, [this] { UpdateClick(); });
  connect(hide, &QPushButton::clicked, this, [this] { close(); });

  area_ = new QWidget(this);
  auto* areaLayout = new QVBoxLayout(area_);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  image_ = new QLabel(area_);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  memo_ = new QPlainTextEdit(area_);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setReadOnly(true);
  tree_ = new QTreeWidget(area_);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setHeaderHidden(true);
  for (QWidget* w : {static_cast<QWidget*>(image_), static_cast<QWidget*>(memo_), static_cast<QWidget*>(tree_)}) {
    areaLayout->addWidget(w);
    w->hide();
  }
  name_ = new QLabel(this);
  name_->setObjectName(QStringLiteral("StaticText1"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  layout->addWidget(area_, 1);
  layout->addWidget(name_);
  resize(600, 450);
}

TFrameWB* TFormContentView::ensureWeb() {
  if (!web_) {
    web_ = new TFrameWB(area_);
    web_->setObjectName(QStringLiteral("WebBrowser1"));
    area_->layout()->addWidget(web_);
  }
  return web_;
}

std::string TFormContentView::shownView() const {
  if (!memo_->isHidden()) return "memo";
  if (web_ && !web_->isHidden()) return "web";
  if (!tree_->isHidden()) return "tree";
  if (!image_->isHidden()) return "image";
  return "";
}

void TFormContentView::UpdateClick() {
  if (!main_) return;
  MemoNodeUI* node = main_->getCurrentNode();
  if (!node) return;
  main_->UI2Model();
  name_->setText(toQ(node->name()));
  std::string type = sjis::lower(node->getField_("Content-Type"));
  if (type.empty()) type = "\"text/plain\"";
  image_->hide();
  tree_->hide();
  memo_->hide();
  if (web_) web_->hide();
  image_->clear();

  if (type == "\"text/plain\"") {
    memo_->setPlainText(toQ(node->body().join("\n")));
    memo_->show();
  } else if (type == "\"text/html\"") {
    TFrameWB* web = ensureWeb();
    web->show();
    web->loadFromString_(node->body().text());
  } else if (type == "\"multipart/mixed\"") {
    tree_->clear();
    node->buildContent_();
  } else if (type == "\"image/jpeg\"") {
    const TContent* content = node->content();
    const std::string* data = content ? content->data() : nullptr;
    if (data && !data->empty()) {
      QImage picture;
      if (picture.loadFromData(reinterpret_cast<const uchar*>(data->data()), static_cast<int>(data->size()),
                               "JPEG"))
        image_->setPixmap(QPixmap::fromImage(picture));
      else
        name_->setText(toQ(node->name() + "  (the JPEG picture could not be read)"));
    }
    image_->show();
  }
}

// ---- about box ---------------------------------------------------------------------------

TFormAbout::TFormAbout(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("About"));
  image_ = new QLabel(this);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setAlignment(Qt::AlignCenter);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setAlignment(Qt::AlignCenter);
  label_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(image_, 1);
  layout->addWidget(label_);
  timer_ = new QTimer(this);
  timer_->setInterval(200);
  connect(timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    QAction* a = menu.addAction(QStringLiteral("timer"), this, [this] { toggleTimer(); });
    a->setCheckable(true);
    a->setChecked(timerOn());
    menu.exec(mapToGlobal(at));
  });
  resize(400, 300);
}

int TFormAbout::setAboutImage_(const std::string& path) {
  const QString file = toQ(path);
  const QFileInfo info(file);
  const std::string ext = sjis::lower(fromQ(info.suffix()));
  QImage picture;
  if (info.exists() && (ext == "jpg" || ext == "bmp") &&
      picture.load(file, ext == "jpg" ? "JPEG" : "BMP")) {
    picture_ = QPixmap::fromImage(picture);
    scalePicture();
    label_->clear();
    label_->hide();
    return 0;
  }
  const QString name = info.fileName();
  setWindowTitle(name);
  QFont big = label_->font();
  big.setPointSize(20);
  label_->setFont(big);
  label_->setText(name);
  label_->show();
  return -1;
}

void TFormAbout::scalePicture() {
  if (!picture_.isNull()) image_->setPixmap(picture_.scaled(image_->size().expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio));
}

void TFormAbout::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  scalePicture();
}

void TFormAbout::showAbout_(int ms) {
  countdown_ = ms;
  if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
  show();
  raise();
  repaint();
  timer_->start();
}

void TFormAbout::Timer1Timer() {
  countdown_ -= timer_->interval();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (!label_->text().isEmpty()) label_->repaint();
  image_->repaint();
  if (countdown_ < 1) {
    timer_->stop();
    close();
  }
}

bool TFormAbout::timerOn() const { return timer_->isActive(); }

void TFormAbout::toggleTimer() {
  if (timer_->isActive())
    timer_->stop();
  else
    timer_->start();
}

void TFormAbout::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) {
    timer_->stop();
    close();
  }
}

// ---- web browser window ------------------------------------------------------------------

TFormWB::TFormWB(QWidget* parent, WebBrowser* browser) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("FormWB"));
  frame_ = new TFrameWB(this, browser);
  frame_->setObjectName(QStringLiteral("TFrameWB1"));
  frame_->setMessageSink([this](const std::string& text) { messageStatus_(text); });
  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("StatusBar1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame_, 1);
  layout->addWidget(status_);
  resize(800, 600);
}

void TFormWB::messageStatus_(const std::string& text) {
  status_->showMessage(toQ(text));
  status_->repaint();
}

std::string TFormWB::statusText() const { return fromQ(status_->currentMessage()); }

}  // namespace wux

#include "dialogs/SmallWindows.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    // The page follows the main window's Internet switch and finds its pictures beside
    // the note's notebook; nothing else of the main window is the page's.
    web->setOwnerWindow(main_);
    web->setShownNote_(node);
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

// ---- web browser window ------------------------------------------------------------------

TFormWB::TFormWB(QWidget* parent, WebBrowser* browser) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("FormWB"));
  frame_ = new TFrameWB(this, browser);
  frame_->setObjectName(QStringLiteral("TFrameWB1"));
  // The frame reports to this window, and its button panel stays hidden: the window is
  // a page to read, not a browser to drive.
  frame_->setMessageSink([this](const std::string& text) { messageStatus_(text); });
  if (auto* panel = frame_->findChild<QWidget*>(QStringLiteral("PanelTop"))) panel->hide();
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

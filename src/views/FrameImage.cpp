#include "views/FrameImage.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <cmath>

#include "model/Prompter.h"
#include "model/clock.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "views/Clipboard.h"
#include "views/CommandTable.h"
#include "views/FormCVTJpeg.h"
#include "views/FrameMemoNode.h"
#include "views/ImageCodec.h"
#include "views/MainWindowApi.h"
#include "views/qtext.h"

namespace wux {

// ---- the scale arithmetic ----

namespace scale {

namespace {
int number(const std::string& text) {
  const std::string t = sjis::trim(text);
  if (t.empty() || t.size() > 9) return 0;
  std::size_t i = t[0] == '-' || t[0] == '+' ? 1 : 0;
  if (i == t.size()) return 0;
  for (std::size_t j = i; j < t.size(); ++j)
    if (t[j] < '0' || t[j] > '9') return 0;
  return std::stoi(t);
}
int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

int parse(const std::string& text) { return std::max(1, number(text)); }

int step(const std::string& text, bool plus, double factor) {
  int p = number(text);
  const int d = roundEven(p * factor);
  if (d <= 0) p = 1;
  int result = plus ? p + d : p - d;
  // Only "+10%" may give 0 (and never does: p is at least 1 there).
  if (result == 0 && !(plus && factor < 0.2)) result = 1;
  return result;
}

int fit(int boxExtent, int pictureExtent) {
  if (pictureExtent <= 0) return 0;
  return roundEven(boxExtent * 100.0 / pictureExtent) - 1;
}

}  // namespace scale

// ---- the picture control ----

// Draws the picture into its own rectangle: stretched, or fitted with its proportions
// kept and centred. The scaled copy is made once per size, not on every paint.
class PictureView : public QWidget {
 public:
  explicit PictureView(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Image1")); }
  void setPicture(const QImage& image) {
    image_ = image;
    ownSize_ = false;
    cache_ = QPixmap();
    update();
  }
  void setProportional(bool on) {
    proportional_ = on;
    ownSize_ = false;
    cache_ = QPixmap();
    update();
  }
  // Draws the picture once at its own size from the top left corner, until the
  // picture or the way it is fitted changes.
  void drawOwnSize() {
    ownSize_ = true;
    cache_ = QPixmap();
    repaint();
  }
  void fitAgain() {
    if (!ownSize_) return;
    ownSize_ = false;
    cache_ = QPixmap();
    update();
  }
  // The rectangle the picture takes inside the control.
  QRect target() const {
    if (image_.isNull()) return {};
    QSize s = image_.size();
    if (ownSize_) return QRect(QPoint(0, 0), s);
    if (!proportional_) return rect();
    s.scale(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
  }
  // Makes the scaled copy now (painting would otherwise do it).
  void prepare() {
    const QRect t = target();
    if (t.isEmpty()) return;
    if (cache_.size() != t.size())
      cache_ = QPixmap::fromImage(image_.scaled(t.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    prepare();
    const QRect t = target();
    if (!t.isEmpty()) p.drawPixmap(t.topLeft(), cache_);
  }

 private:
  QImage image_;
  QPixmap cache_;
  bool proportional_ = true;
  bool ownSize_ = false;
};

namespace {

// The image takes the pixels over: a large photograph is not copied once more.
QImage toQImage(Raster&& r) {
  QImage::Format format;
  if (r.components == 1)
    format = QImage::Format_Grayscale8;
  else if (r.components == 3)
    format = QImage::Format_RGB888;
  else if (r.components == 4)
    format = r.bgrx ? QImage::Format_RGB32 : QImage::Format_RGBA8888;
  else
    return {};
  auto* pixels = new std::vector<std::uint8_t>(std::move(r.pixels));
  return QImage(
      pixels->data(), r.width, r.height, r.width * r.components, format,
      [](void* p) { delete static_cast<std::vector<std::uint8_t>*>(p); }, pixels);
}

Raster toRaster(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  Raster r;
  r.width = rgb.width();
  r.height = rgb.height();
  r.components = 3;
  r.pixels.resize(static_cast<std::size_t>(r.width) * r.height * 3);
  for (int y = 0; y < r.height; ++y)
    std::copy_n(rgb.constScanLine(y), static_cast<std::size_t>(r.width) * 3, r.pixels.data() + std::size_t(y) * r.width * 3);
  return r;
}

// A bitmap of the picture on white (a bitmap has no transparency).
QImage onWhite(const QImage& image) {
  QImage b(image.size(), QImage::Format_RGB32);
  b.fill(Qt::white);
  QPainter p(&b);
  p.drawImage(0, 0, image);
  return b;
}

QImage fromQtReader(const std::string& stream, const char* format) {
  QByteArray bytes(stream.data(), static_cast<qsizetype>(stream.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, format);
  // A forged header must not make the reader allocate without bound.
  const QSize s = reader.size();
  if (s.isValid() && (s.width() > kMaxPictureSide || s.height() > kMaxPictureSide ||
                      static_cast<long long>(s.width()) * s.height() > kMaxPicturePixels))
    return {};
  return reader.read();
}

std::string bmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  onWhite(image).save(&buffer, "BMP");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

const char* const kEmptyStream = "Draw White Box. aStrem.size = 0";

}  // namespace

// ---- the frame ----

TFrameImage::TFrameImage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FrameImage1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  panelTop_ = new QWidget(this);
  panelTop_->setObjectName(QStringLiteral("PanelTop"));
  auto* top = new QHBoxLayout(panelTop_);
  proportional_ = new QCheckBox(QStringLiteral("Proportional"), panelTop_);
  proportional_->setObjectName(QStringLiteral("CheckBox_Proportional"));
  proportional_->setChecked(true);
  scaleGroup_ = new QGroupBox(panelTop_);
  scaleGroup_->setObjectName(QStringLiteral("RadioGroup_Scale"));
  auto* radios = new QHBoxLayout(scaleGroup_);
  auto_ = new QRadioButton(QStringLiteral("Auto"), scaleGroup_);
  manual_ = new QRadioButton(QStringLiteral("Manual"), scaleGroup_);
  auto_->setChecked(true);
  radios->addWidget(auto_);
  radios->addWidget(manual_);
  manualGroup_ = new QGroupBox(panelTop_);
  manualGroup_->setObjectName(QStringLiteral("GroupBox_ScaleManual"));
  auto* manualRow = new QHBoxLayout(manualGroup_);
  scale_ = new QComboBox(manualGroup_);
  scale_->setObjectName(QStringLiteral("ComboBox_Scale"));
  makeEditableKeepingCase(scale_);
  for (const char* s : {"400", "300", "200", "150", "125", "100", "75", "50", "25", "10", "5"})
    scale_->addItem(QString::fromLatin1(s));
  scale_->setEditText(QStringLiteral("100"));
  auto* oneToOne = new QPushButton(QStringLiteral("100"), manualGroup_);
  oneToOne->setObjectName(QStringLiteral("Button2"));
  auto* width = new QPushButton(QStringLiteral("Width"), manualGroup_);
  width->setObjectName(QStringLiteral("AjustWidthBtn"));
  auto* height = new QPushButton(QStringLiteral("Height"), manualGroup_);
  height->setObjectName(QStringLiteral("AjustHeightBtn"));
  manualRow->addWidget(scale_);
  manualRow->addWidget(oneToOne);
  manualRow->addWidget(width);
  manualRow->addWidget(height);
  manualGroup_->setVisible(false);
  manualGroup_->setEnabled(false);
  size_ = new QLabel(panelTop_);
  size_->setObjectName(QStringLiteral("StaticText_Size"));
  top->addWidget(proportional_);
  top->addWidget(scaleGroup_);
  top->addWidget(manualGroup_);
  top->addWidget(size_);
  top->addStretch();
  panelTop_->setVisible(false);
  layout->addWidget(panelTop_);

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("ScrollBox1"));
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setWidgetResizable(true);
  image_ = new PictureView(scroll_);
  scroll_->setWidget(image_);
  layout->addWidget(scroll_, 1);

  connect(proportional_, &QCheckBox::toggled, this, [this](bool on) { image_->setProportional(on); });
  connect(manual_, &QRadioButton::toggled, this, [this](bool on) { setManual(on); });
  connect(scale_, &QComboBox::textActivated, this, [this] { applyScale_(); });
  connect(oneToOne, &QPushButton::clicked, this, [this] { scaleOneToOne_(); });
  connect(width, &QPushButton::clicked, this, [this] { fitWidth_(); });
  connect(height, &QPushButton::clicked, this, [this] { fitHeight_(); });
  buildPopup();
}

void TFrameImage::buildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  popup_->addAction(QStringLiteral("Copy"), this, [this] { copy_(); });
  popup_->addAction(QStringLiteral("Paste"), this, [this] { paste_(); });
  popup_->addAction(QStringLiteral("->JPEG"), this, [this] { toJpeg_(); });
  popup_->addAction(QStringLiteral("->BMP"), this, [this] { toBmp_(); });
  QAction* saveAs = popup_->addAction(QStringLiteral("SaveAs"), this, [this] { saveAs_(); });
  saveAs->setObjectName(QStringLiteral("SaveAs"));
  // Saving under a name is the main window's command on its current note: in a note
  // window that would be another note than the picture shown.
  connect(popup_, &QMenu::aboutToShow, saveAs, [this, saveAs] { saveAs->setEnabled(savesAs()); });
  popup_->addAction(QStringLiteral("Scale Auto"), this, [this] { scaleAuto_(); });
  QMenu* manual = popup_->addMenu(QStringLiteral("Scale Manual"));
  manual->addAction(QStringLiteral("1/1"), this, [this] { scaleOneToOne_(); });
  manual->addAction(QStringLiteral("+10%"), this, [this] { scaleStep_(true, 0.1); });
  manual->addAction(QStringLiteral("+50%"), this, [this] { scaleStep_(true, 0.5); });
  manual->addAction(QStringLiteral("-10%"), this, [this] { scaleStep_(false, 0.1); });
  manual->addAction(QStringLiteral("-50%"), this, [this] { scaleStep_(false, 0.5); });
  manual->addAction(QStringLiteral("Width"), this, [this] { fitWidth_(); });
  manual->addAction(QStringLiteral("Hight"), this, [this] { fitHeight_(); });
  popup_->addAction(QStringLiteral("Panel"), this, [this] { togglePanel_(); });
  QMenu* test = popup_->addMenu(QStringLiteral("*TEST"));
  test->addAction(QStringLiteral("*TEST JPEG->JPEG"), this, [this] { toJpeg_(false); });
  test->addAction(QStringLiteral("*TEST Clear"), this, [] {});
  test->addAction(QStringLiteral("Image1.Refresh"), this, [this] { image_->update(); });
  test->addAction(QStringLiteral("Image1.Repaint"), this, [this] { image_->repaint(); });
  test->addAction(QStringLiteral("Image1.Draw"), this, [this] { drawJpeg_(); });
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TFrameImage::contextMenuEvent(QContextMenuEvent* event) { popup_->popup(event->globalPos()); }

void TFrameImage::report(const std::string& text) {
  if (editor_)
    editor_->message_(text);
  else
    prompter().messageBox(text, "", Buttons::OK);
}

// ---- loading ----

void TFrameImage::show(const QImage& image, std::size_t size) {
  picture_ = image;
  pictureShown_ = true;
  image_->setPicture(picture_);
  size_->setText(QString::number(size));
  if (manual()) applyScale_();
}

void TFrameImage::showBlank(std::size_t size, bool reportEmpty) {
  QImage blank(50, 50, QImage::Format_RGB32);
  blank.fill(Qt::white);
  show(blank, size);
  pictureShown_ = false;
  if (reportEmpty) report(kEmptyStream);
}

void TFrameImage::loadJpeg(const std::string& stream) {
  if (stream.empty()) return showBlank(0, true);
  Raster r;
  std::string why;
  // Decoded straight into the layout the screen draws from (0xFFRRGGBB words).
  if (!decodeJpeg(stream, r, &why, QSysInfo::ByteOrder == QSysInfo::LittleEndian)) {
    showBlank(stream.size(), false);
    return report("Failure: " + why);
  }
  show(toQImage(std::move(r)), stream.size());
}

void TFrameImage::loadPng(const std::string& stream) {
  if (stream.empty()) return showBlank(0, true);
  Raster r;
  std::string why;
  if (!decodePng(stream, r, &why)) {
    showBlank(stream.size(), false);
    return report("Failure: " + why);
  }
  show(toQImage(std::move(r)), stream.size());
}

void TFrameImage::loadBitmap(const std::string& stream) {
  if (stream.empty()) return showBlank(0, false);
  QImage image = fromQtReader(stream, "BMP");
  if (image.isNull()) {
    showBlank(stream.size(), false);
    return report("Failure: the bitmap cannot be read.");
  }
  show(image, stream.size());
}

void TFrameImage::loadIcon(const std::string& stream) {
  if (stream.empty()) return showBlank(0, false);
  QImage image = fromQtReader(stream, "ICO");
  if (image.isNull()) {
    showBlank(stream.size(), false);
    return report("Failure: the icon cannot be read.");
  }
  show(image, stream.size());
}

void TFrameImage::loadMetafile(const std::string& stream) {
  if (stream.empty()) return showBlank(0, true);
  Raster r;
  std::string why;
  if (!renderWmf(stream, r, &why)) {
    // The bytes stay as they are; only this program cannot draw them.
    showBlank(stream.size(), false);
    return report("The picture type cannot be shown here: " + why);
  }
  show(toQImage(std::move(r)), stream.size());
}

bool TFrameImage::shows(const std::string& t) {
  return t == "\"image/jpeg\"" || t == "\"image/bmp\"" || t == "\"image/ico\"" || t == "\"image/png\"" ||
         t == "\"image/x-wmf\"";
}

bool TFrameImage::loadContent(const std::string& t, const std::string& stream) {
  if (t == "\"image/jpeg\"")
    loadJpeg(stream);
  else if (t == "\"image/bmp\"")
    loadBitmap(stream);
  else if (t == "\"image/ico\"")
    loadIcon(stream);
  else if (t == "\"image/png\"")
    loadPng(stream);
  else if (t == "\"image/x-wmf\"")
    loadMetafile(stream);
  else
    return false;
  return true;
}

// ---- scale ----

bool TFrameImage::manual() const { return manual_->isChecked(); }

QSize TFrameImage::shownSize() const { return image_->size(); }

void TFrameImage::drawJpeg_() {
  MemoNode* node = editor_ ? editor_->node() : nullptr;
  if (!pictureShown_ || !node || node->getContentType_() != "\"image/jpeg\"") return;
  image_->drawOwnSize();
}

void TFrameImage::setManual(bool on) {
  if (manual_->isChecked() != on) {
    // The radio's own signal comes back here.
    (on ? manual_ : auto_)->setChecked(true);
    return;
  }
  image_->fitAgain();
  manualGroup_->setEnabled(on);
  manualGroup_->setVisible(on);
  scroll_->setWidgetResizable(!on);
  if (on) applyScale_();
}

void TFrameImage::applyScale_() {
  const int p = scale::parse(scale_->currentText().toStdString());
  if (picture_.isNull()) return;
  image_->fitAgain();
  const int w = static_cast<int>(std::nearbyint(picture_.width() * static_cast<double>(p) / 100));
  const int h = static_cast<int>(std::nearbyint(picture_.height() * static_cast<double>(p) / 100));
  image_->resize(std::max(w, 1), std::max(h, 1));
}

void TFrameImage::scaleAuto_() { setManual(false); }

void TFrameImage::scaleOneToOne_() {
  setManual(true);
  scale_->setEditText(QStringLiteral("100"));
  applyScale_();
}

void TFrameImage::scaleStep_(bool plus, double factor) {
  setManual(true);
  scale_->setEditText(QString::number(scale::step(scale_->currentText().toStdString(), plus, factor)));
  applyScale_();
}

void TFrameImage::fitWidth_() {
  // An empty picture has nothing to fit.
  if (picture_.isNull() || picture_.width() <= 0) return;
  setManual(true);
  scale_->setEditText(QString::number(scale::fit(scroll_->viewport()->width(), picture_.width())));
  applyScale_();
}

void TFrameImage::fitHeight_() {
  if (picture_.isNull() || picture_.height() <= 0) return;
  setManual(true);
  scale_->setEditText(QString::number(scale::fit(scroll_->viewport()->height(), picture_.height())));
  applyScale_();
}

void TFrameImage::togglePanel_() { panelTop_->setVisible(panelTop_->isHidden()); }

// ---- clipboard ----

void TFrameImage::copy_() {
  MemoNode* node = editor_ ? editor_->node() : nullptr;
  if (!pictureShown_ || !node) return;
  const std::string type = node->getContentType_();
  if (type == "\"image/bmp\"")
    clipboard().setImage(picture_);
  else if (type == "\"image/jpeg\"" || type == "\"image/png\"")
    clipboard().setImage(onWhite(picture_));
  else
    report("no support format.");
}

bool TFrameImage::refusedReadOnly() {
  MemoNode* node = editor_ ? editor_->node() : nullptr;
  if (!node || !(editor_->readOnly() || node->isReadOnly_())) return false;
  report("Stop: the note is read-only.");
  return true;
}

void TFrameImage::paste_() {
  MemoNode* node = editor_ ? editor_->node() : nullptr;
  const QImage image = clipboard().image();
  if (!image.isNull() && node) {
    if (refusedReadOnly()) return;
    const std::string bytes = bmpBytes(image);
    node->putContentStream_(bytes, "image/bmp", "binary");
    editor_->storeFields_();
    node->putContentType_("image/bmp");
    // The bytes are saved only as binary content.
    node->putField_("Content-Transfer-Encoding", "\"binary\"");
    std::string name = Dequote(node->getField_("Filename"));
    if (name.empty()) name = FormatDateTime("yyyymmddhhnnss", Now());
    node->putField_("Filename", "\"" + platform::changeExt(name, ".bmp") + "\"");
    editor_->loadFields_();
    node->contentModified = true;
    if (MemoHolder* holder = node->getParentHolder_()) holder->modified = true;
    show(image, bytes.size());
    return;
  }
  report("Not Image");
  const std::string text = clipboard().text();
  if (text.empty()) return report("no text");
  MainWindowApi* owner = editor_ ? editor_->ownerForm() : nullptr;
  if (!owner) return;
  owner->commands().run("newMemoNode_");
  if (TFrameMemoNode* now = owner->getNodeFrame()) now->replaceNodeMemoSel_(text);
}

// ---- conversions ----

QImage TFrameImage::sourcePicture(bool withMetafile) {
  MemoNode* node = editor_ ? editor_->node() : nullptr;
  if (!node) return {};
  const std::string type = node->getContentType_();
  const std::string* data = node->content() ? node->content()->data() : nullptr;
  if (type == "\"image/jpeg\"" || type == "\"image/bmp\"" || type == "\"image/png\"") {
    if (pictureShown_) return onWhite(picture_);
    report("size = 0");
    return {};
  }
  if (type == "\"image/ico\"") {
    const QImage icon = data ? fromQtReader(*data, "ICO") : QImage();
    if (icon.isNull()) report("Failure: the icon cannot be read.");
    return icon.isNull() ? icon : onWhite(icon);
  }
  if (withMetafile && type == "\"image/x-wmf\"") {
    Raster r;
    std::string why;
    if (!data || !renderWmf(*data, r, &why)) {
      report("The picture type cannot be shown here: " + why);
      return {};
    }
    return onWhite(toQImage(std::move(r)));
  }
  report("not understand image format " + type);
  return {};
}

void TFrameImage::rewrite(const std::string& bytes, const char* ext, const char* type, bool rename) {
  MemoNode* node = editor_->node();
  const std::string oldName = Dequote(node->getField_("Filename"));
  const std::string newName =
      oldName.empty() ? FormatDateTime("yyyymmddhhnnss", Now()) + ext : platform::changeExt(oldName, ext);
  editor_->storeFields_();
  node->putField_("Filename", "\"" + newName + "\"");
  node->putContentType_(type);
  node->putField_("Content-Transfer-Encoding", "\"binary\"");
  editor_->loadFields_();
  node->putContentStream_(bytes, type, "binary");
  node->contentModified = true;
  MemoHolder* holder = node->getParentHolder_();
  if (holder) holder->modified = true;

  if (rename && node->owner()) {
    const std::string name = node->name();
    std::string wanted = name;
    if (name == oldName)
      wanted = newName;
    else if (platform::fileNameOf(name) == oldName)
      wanted = platform::fileNameOf(newName);
    else if (!platform::extOf(name).empty())
      wanted = platform::changeExt(name, ext);
    if (wanted != name) {
      std::string actual;
      node->putName_(wanted, actual);
    }
    editor_->loadName_();
  }
  editor_->showContent_();
}

void TFrameImage::toJpeg_(bool rename) {
  if (!editor_ || !editor_->node() || refusedReadOnly()) return;
  const std::string type = editor_->node()->getContentType_();
  if (!rename && type != "\"image/jpeg\"" && type != "\"image/bmp\"" && type != "\"image/ico\"") return;
  const QImage source = sourcePicture(false);
  if (source.isNull()) return;
  bool gray = grayscale_;
  int quality = quality_;
  if (!TFormCVTJpeg::instance().ask(gray, quality, window())) return;
  grayscale_ = gray;
  if (quality < 1 || quality > 100) return;
  quality_ = quality;
  std::string bytes, why;
  // A failed encoding leaves the note as it was: its picture must not be lost.
  if (!encodeJpeg(toRaster(source), quality, gray, bytes, &why) || bytes.empty()) {
    prompter().messageBox("size = 0 in [->JPEG]", "", Buttons::OK);
    report("Failure: ->JPEG " + why);
    return;
  }
  rewrite(bytes, ".jpg", "image/jpeg", rename);
}

void TFrameImage::toBmp_() {
  if (!editor_ || !editor_->node() || refusedReadOnly()) return;
  const QImage source = sourcePicture(true);
  if (source.isNull()) return;
  const std::string bytes = bmpBytes(source);
  if (bytes.empty()) return report("Failure: ->BMP");
  rewrite(bytes, ".bmp", "image/bmp", true);
}

bool TFrameImage::savesAs() const { return editor_ && editor_->ownerIsMainWindow(); }

void TFrameImage::saveAs_() {
  if (savesAs()) editor_->ownerForm()->commands().run("UISaveAsMemoNode");
}

}  // namespace wux

#include "views/FormCVTJpeg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "views/OwnedWindow.h"

namespace wux {

namespace {
constexpr int kPresets[3] = {20, 90, 95};
}

TFormCVTJpeg::TFormCVTJpeg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("JPEG"));
  auto* layout = new QVBoxLayout(this);
  mono_ = new QCheckBox(QStringLiteral("Mono"), this);
  mono_->setObjectName(QStringLiteral("CheckBox_Mono"));
  layout->addWidget(mono_);

  auto* group = new QGroupBox(QStringLiteral("Quality"), this);
  group->setObjectName(QStringLiteral("GroupBox2"));
  auto* g = new QVBoxLayout(group);
  quality_ = new QSlider(Qt::Horizontal, group);
  quality_->setObjectName(QStringLiteral("TrackBar_CompressionQuality"));
  quality_->setRange(1, 100);
  quality_->setSingleStep(1);
  quality_->setTickInterval(1);
  label_ = new QLabel(group);
  label_->setObjectName(QStringLiteral("Label_CompressionQuality"));
  QFont bold = label_->font();
  bold.setBold(true);
  label_->setFont(bold);
  auto* ends = new QHBoxLayout;
  ends->addWidget(new QLabel(QStringLiteral("Small Size<-"), group));
  ends->addStretch();
  ends->addWidget(label_);
  ends->addStretch();
  ends->addWidget(new QLabel(QStringLiteral("->Hight Quality"), group));
  g->addWidget(quality_);
  g->addLayout(ends);
  auto* presets = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    presets_[i] = new QPushButton(QString::number(kPresets[i]), group);
    const int q = kPresets[i];
    connect(presets_[i], &QPushButton::clicked, this, [this, q] { quality_->setValue(q); });
    presets->addWidget(presets_[i]);
  }
  g->addLayout(presets);
  layout->addWidget(group);
  connect(quality_, &QSlider::valueChanged, this, [this](int v) { label_->setText(QString::number(v)); });

  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
}

TFormCVTJpeg& TFormCVTJpeg::instance() {
  // Lives for the run, or until the window that owns it goes; then the next use makes
  // another.
  static QPointer<TFormCVTJpeg> dialog;
  if (!dialog) dialog = new TFormCVTJpeg(nullptr);
  return *dialog;
}

QPushButton* TFormCVTJpeg::presetButton(int quality) const {
  for (int i = 0; i < 3; ++i)
    if (kPresets[i] == quality) return presets_[i];
  return nullptr;
}

bool TFormCVTJpeg::ask(bool& grayscale, int& quality, QWidget* owner) {
  ownWindow(*this, owner, WindowPlace::OnOwner, false);
  mono_->setChecked(grayscale);
  quality_->setValue(quality);
  label_->setText(QString::number(quality));
  if (exec() != QDialog::Accepted) return false;
  grayscale = mono_->isChecked();
  bool number = false;
  const int q = label_->text().trimmed().toInt(&number);
  quality = number ? q : 0;
  return true;
}

}  // namespace wux

#pragma once
// The JPEG options asked before a picture is converted: gray or colour and the
// compression quality (1 small file, 100 best picture). One dialog serves the run.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace wux {

class TFormCVTJpeg : public QDialog {
  Q_OBJECT
 public:
  explicit TFormCVTJpeg(QWidget* parent = nullptr);
  // The one dialog of the run, made on first use.
  static TFormCVTJpeg& instance();

  // Shows the options in front of `owner`'s window and waits: true when closed with OK.
  // `quality` then holds the quality label's number (0 when it holds none), which the
  // caller checks.
  bool ask(bool& grayscale, int& quality, QWidget* owner = nullptr);

  QCheckBox* CheckBox_Mono() const { return mono_; }
  QSlider* TrackBar_CompressionQuality() const { return quality_; }
  QLabel* Label_CompressionQuality() const { return label_; }
  QPushButton* presetButton(int quality) const;
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }

 private:
  QCheckBox* mono_;
  QSlider* quality_;
  QLabel* label_;
  QPushButton* presets_[3];
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace wux

#pragma once
// The preview: the laid-out pages drawn exactly as they print, one at a time, at 100%
// or fitted to the window's width or height, scrolled by dragging or the wheel.
#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <vector>

#include "printing/PageLayout.h"

class QLabel;
class QScrollArea;
class QToolButton;

namespace wux {

class TStringsPrinter;

class TFormStrPreview : public QDialog {
  Q_OBJECT
 public:
  enum class Zoom { Actual, AdjustWidth, AdjustHeight };

  // The pages must outlive the window.
  TFormStrPreview(TStringsPrinter& printer, const std::vector<LaidOutPage>& pages, QWidget* parent = nullptr);
  // Shows the first page at 100% and runs the window modally.
  static void Execute(TStringsPrinter& printer, const std::vector<LaidOutPage>& pages, QWidget* parent = nullptr);

  void ShowPage(int index);
  void SetZoom(Zoom zoom);
  int pageIndex() const { return index_; }
  Zoom zoom() const { return zoom_; }
  // The page as shown, at the current zoom.
  const QImage& pageImage() const { return image_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void redraw();
  void updateCursor();

  const std::vector<LaidOutPage>& pages_;
  PageGeometry geometry_;
  QFont font_;
  double screenRatio_ = 1.0;  // screen pixels per printer pixel
  int index_ = 0;
  Zoom zoom_ = Zoom::Actual;
  QPoint dragFrom_;
  QImage image_;

  QToolButton* SpeedButton1;  // first
  QToolButton* SpeedButton2;  // previous
  QToolButton* SpeedButton3;  // next
  QToolButton* SpeedButton4;  // last
  QToolButton* SpeedButton5;  // adjust height
  QToolButton* SpeedButton6;  // adjust width
  QToolButton* SpeedButton7;  // 100%
  QToolButton* SpeedButton8;  // close
  QLabel* Label1;
  QScrollArea* ScrollBox1;
  QLabel* Image1;
};

}  // namespace wux

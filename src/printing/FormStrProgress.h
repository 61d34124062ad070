#pragma once
// The progress window of a layout: a text, a bar and Cancel. The layout calls Progress
// once in a while; that keeps the event loop alive so Cancel can be pressed, and the
// layout reads cancelled() after every line.
#include <QDialog>
#include <memory>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace wux {

class TFormStrProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TFormStrProgress(QWidget* owner = nullptr);
  // Made and shown with the caption as its text and the bar at 0.
  static std::unique_ptr<TFormStrProgress> Start(QWidget* owner, const std::string& caption);
  // Sets the text and the bar to done of total (total 0 counts as done), repaints and
  // processes pending events.
  void Progress(const std::string& text, int total, int done);
  bool cancelled() const { return cancelled_; }
  int percent() const;
  // Escape and the window's close button are Cancel: the window stays, with its Cancel
  // button in sight, until the job has stopped.
  void reject() override;

 private:
  QLabel* Label1;
  QProgressBar* ProgressBar1;
  QPushButton* Button1;
  bool cancelled_ = false;
};

}  // namespace wux

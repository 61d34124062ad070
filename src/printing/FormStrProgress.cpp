#include "printing/FormStrProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

TFormStrProgress::TFormStrProgress(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("TStringsPrinter"));
  setObjectName(QStringLiteral("FormStrProgress"));
  auto* box = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  Button1 = new QPushButton(QStringLiteral("Cancel"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  box->addWidget(Label1);
  box->addWidget(ProgressBar1);
  box->addWidget(Button1, 0, Qt::AlignHCenter);
  connect(Button1, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  resize(320, sizeHint().height());
}

std::unique_ptr<TFormStrProgress> TFormStrProgress::Start(QWidget* owner, const std::string& caption) {
  // Without an owner it belongs to the window in use: a modal dialog (the print settings)
  // would otherwise shut its Cancel button off.
  if (!owner) owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  auto form = std::make_unique<TFormStrProgress>(owner);
  form->Label1->setText(toQ(caption));
  form->ProgressBar1->setValue(0);
  ownWindow(*form, owner, WindowPlace::OnScreen, false);
  form->show();
  return form;
}

void TFormStrProgress::Progress(const std::string& text, int total, int done) {
  Label1->setText(toQ(text));
  if (total <= 0) total = done = 1;
  ProgressBar1->setValue(static_cast<int>(std::lround(100.0 * done / total)));
  repaint();
  QApplication::processEvents();
}

void TFormStrProgress::reject() { cancelled_ = true; }

int TFormStrProgress::percent() const { return ProgressBar1->value(); }

}  // namespace wux

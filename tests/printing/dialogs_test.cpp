// The settings dialog, the preview and the keyword help, driven through their controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>
#include <functional>

#include "model/Prompter.h"
#include "platform/textconv.h"
#include "print_support.h"
#include "printing/FormStrPreview.h"
#include "printing/FormStrProgress.h"
#include "printing/FormStringsPrint.h"
#include "support/RecordingPrompter.h"

namespace wux {
namespace {

using test::numberedLines;

struct Dialog : test::PrintFixture {
  TStringsPrinter source;
  StringList lines = numberedLines(40);
  std::unique_ptr<TFormStringsPrint> form;

  void open(const StringList* with) { form = std::make_unique<TFormStringsPrint>(source, with, nullptr); }
  QSpinBox* spin(const char* name) { return form->findChild<QSpinBox*>(QString::fromLatin1(name)); }
  void choose(const char* group, int index) {
    auto* box = form->findChild<QGroupBox*>(QString::fromLatin1(group));
    box->findChildren<QRadioButton*>().at(index)->click();
  }
  bool chosen(const char* group, int index) {
    auto* box = form->findChild<QGroupBox*>(QString::fromLatin1(group));
    return box->findChildren<QRadioButton*>().at(index)->isChecked();
  }
  TStringsPrinter& copy() { return form->StringsPrinter1(); }
};

TEST_F(Dialog, RangeFieldsWrapAndMarginsClamp) {
  open(&lines);
  for (const char* name : {"SpinEdit6", "SpinEdit7", "SpinEdit8", "SpinEdit9", "SpinEdit10", "SpinEdit11"}) {
    spin(name)->setValue(0);
    EXPECT_EQ(spin(name)->value(), 999999) << name;
    spin(name)->setValue(1000000);
    EXPECT_EQ(spin(name)->value(), 1) << name;
  }
  spin("SpinEdit7")->setValue(0);
  EXPECT_EQ(copy().LastPage(), 999999);
  spin("SpinEdit10")->setValue(1000000);
  EXPECT_EQ(copy().LastLine(), 1);

  spin("SpinEdit1")->setValue(150);
  EXPECT_EQ(spin("SpinEdit1")->value(), 100);
  EXPECT_EQ(copy().MarginLeft(), 100);
  spin("SpinEdit12")->setValue(-5);
  EXPECT_EQ(copy().MarginLine(), 0);
  EXPECT_EQ(source.MarginLeft(), 0);  // only the copy is edited
}

TEST_F(Dialog, LimitedRangesEnableTheirFieldsAndSetTheFirstNumber) {
  open(&lines);
  EXPECT_FALSE(spin("SpinEdit6")->isEnabled());
  choose("RadioGroup5", 1);
  EXPECT_TRUE(spin("SpinEdit6")->isEnabled());
  spin("SpinEdit6")->setValue(4);
  EXPECT_EQ(spin("SpinEdit8")->value(), 4);
  EXPECT_EQ(copy().FirstPageNumber(), 4);
  EXPECT_EQ(copy().RangeOption(), TStringsPrinterRangeOption::roLimited);
  choose("RadioGroup5", 0);
  EXPECT_FALSE(spin("SpinEdit7")->isEnabled());
  EXPECT_EQ(copy().FirstPageNumber(), 1);

  // Lines 10 to 12, numbered from 10: the range mode sets the first number.
  choose("RadioGroup6", 1);
  spin("SpinEdit9")->setValue(10);
  spin("SpinEdit10")->setValue(12);
  EXPECT_EQ(copy().FirstLineNumber(), 10);
  form->findChild<QAbstractButton*>(QStringLiteral("CheckBox1"))->click();
  const std::string pdf = file("range.pdf");
  copy().setPdfOutput(pdf);
  ASSERT_TRUE(copy().Print(lines));
  const std::string text = test::pdfPages(pdf).at(0);
  EXPECT_NE(text.find("10:line 10"), std::string::npos);
  EXPECT_NE(text.find("12:line 12"), std::string::npos);
  EXPECT_EQ(text.find("line 13"), std::string::npos);
}

TEST_F(Dialog, ShowsTheStoredSettings) {
  source.setRangeOption(TStringsPrinterRangeOption::roLimited);
  source.setStartPage(3);
  source.setLastPage(5);
  source.setFirstPageNumber(1);
  source.setLineRangeOption(TStringsPrinterRangeOption::roLimited);
  source.setStartLine(7);
  source.setLastLine(9);
  source.setFirstLineNumber(2);
  source.setColumnCount(2);
  source.setHeader("X%pY");
  source.setHeaderAlign(TStringsPrinterHeaderAlign::haRight);
  source.setFont(PrintFont{"IPAGothic", 12});
  open(&lines);
  EXPECT_EQ(spin("SpinEdit6")->value(), 3);
  EXPECT_EQ(spin("SpinEdit7")->value(), 5);
  EXPECT_EQ(spin("SpinEdit8")->value(), 1);
  EXPECT_TRUE(spin("SpinEdit6")->isEnabled());
  EXPECT_EQ(spin("SpinEdit9")->value(), 7);
  EXPECT_EQ(spin("SpinEdit10")->value(), 9);
  EXPECT_EQ(spin("SpinEdit11")->value(), 2);
  EXPECT_TRUE(chosen("RadioGroup6", 1));
  EXPECT_TRUE(chosen("RadioGroup1", 1));
  EXPECT_TRUE(chosen("RadioGroup2", 3));
  EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("X%pY"));
  EXPECT_EQ(copy().serialize(), source.serialize());
  EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("Label12"))->text(), QStringLiteral("DMPAPER_A4"));
}

TEST_F(Dialog, WithoutLinesThereIsNothingToPrint) {
  open(nullptr);
  for (const char* name : {"Button4", "Button5", "Button6"})
    EXPECT_FALSE(form->findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled()) << name;
  open(&lines);
  EXPECT_TRUE(form->findChild<QPushButton*>(QStringLiteral("Button5"))->isEnabled());
}

TEST_F(Dialog, HelpListsTheKeywords) {
  RecordingPrompter rec;
  ScopedPrompter use(&rec);
  open(&lines);
  form->findChild<QPushButton*>(QStringLiteral("Button3"))->click();
  ASSERT_EQ(rec.messages().size(), 1u);
  const std::string help = platform::sjisToUtf8(rec.messages()[0]);
  EXPECT_EQ(help.rfind("Header, Footer に利用出来るキーワードは以下の通りです。\r\n\r\n%p  ページ番号", 0), 0u);
  EXPECT_NE(help.find("%t  時間"), std::string::npos);
}

// Presses a button of the modal dialog once it is running.
void pressInModal(const char* button, std::function<void(TFormStringsPrint&)> edit = {}) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<TFormStringsPrint*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (edit) edit(*dialog);
    dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
  });
}

TEST_F(Dialog, OkGivesTheSettingsBackAndCancelKeepsThem) {
  auto setHeader = [](TFormStringsPrint& d) { d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText("H%p"); };
  pressInModal("Button2", setHeader);
  EXPECT_FALSE(ExecuteStringsPrintDialog(source, &lines));
  EXPECT_EQ(source.Header(), "");
  pressInModal("Button1", setHeader);
  EXPECT_TRUE(ExecuteStringsPrintDialog(source, &lines));
  EXPECT_EQ(source.Header(), "H%p");
}

TEST_F(Dialog, PrintClosesTheDialogAsOk) {
  const std::string pdf = file("dialog.pdf");
  source.setPdfOutput(pdf);  // the copy prints on the source's device
  pressInModal("Button5", [](TFormStringsPrint& d) { d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText("T"); });
  EXPECT_TRUE(ExecuteStringsPrintDialog(source, &lines));
  EXPECT_EQ(test::pdfPageCount(pdf), 1);
  EXPECT_EQ(source.Header(), "T");
}

TEST_F(Dialog, CancelStopsAPrintStartedFromTheDialog) {
  const std::string pdf = file("cancelled.pdf");
  source.setPdfOutput(pdf);
  const StringList many = numberedLines(3000);
  bool pressed = false;
  bool stillOpen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<TFormStringsPrint*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    // Pressed as soon as the progress window shows, while the dialog is still modal.
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TFormStrProgress*>(w); p && p->isVisible()) {
          // Through the window, as the window system delivers a click: a window that a
          // modal dialog blocks never sees it.
          auto* cancel = p->findChild<QPushButton*>(QStringLiteral("Button1"));
          QTest::mouseClick(p->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(p, cancel->rect().center()));
          pressed = true;
        }
    });
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button5")), Qt::LeftButton);
    stillOpen = d->isVisible();
    d->reject();
  });
  EXPECT_FALSE(ExecuteStringsPrintDialog(source, &many));
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(stillOpen);  // a cancelled print keeps the dialog for another try
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

struct Preview : test::PrintFixture {
  TStringsPrinter printer;
  std::vector<LaidOutPage> pages;
  Preview() {
    printer.setShowProgress(false);
    printer.setPdfOutput(file("preview.pdf"));
  }
  bool enabled(TFormStrPreview& p, int i) {
    return p.findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(i))->isEnabled();
  }
  QString label(TFormStrPreview& p) { return p.findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
};

TEST_F(Preview, PagesAndNavigation) {
  ASSERT_TRUE(printer.RenderPages(numberedLines(3), pages, "p"));
  TFormStrPreview one(printer, pages);
  EXPECT_EQ(label(one), QStringLiteral("  1 /   1"));
  for (int i = 1; i <= 4; ++i) EXPECT_FALSE(enabled(one, i));

  ASSERT_TRUE(printer.RenderPages(numberedLines(300), pages, "p"));
  ASSERT_GE(pages.size(), 3u);
  TFormStrPreview many(printer, pages);
  EXPECT_FALSE(enabled(many, 2));
  EXPECT_TRUE(enabled(many, 3));
  many.findChild<QToolButton*>(QStringLiteral("SpeedButton4"))->click();
  EXPECT_EQ(many.pageIndex(), static_cast<int>(pages.size()) - 1);
  EXPECT_FALSE(enabled(many, 4));
  EXPECT_TRUE(enabled(many, 1));
  many.ShowPage(-5);
  EXPECT_EQ(many.pageIndex(), 0);
}

TEST_F(Preview, ZoomModes) {
  ASSERT_TRUE(printer.RenderPages(numberedLines(3), pages, "p"));
  TFormStrPreview p(printer, pages);
  p.show();
  p.resize(500, 400);
  QApplication::processEvents();
  p.SetZoom(TFormStrPreview::Zoom::Actual);
  const QSize actual = p.pageImage().size();
  EXPECT_NEAR(actual.width() / double(actual.height()), 210.0 / 297.0, 0.01);
  p.findChild<QToolButton*>(QStringLiteral("SpeedButton6"))->click();
  EXPECT_EQ(p.zoom(), TFormStrPreview::Zoom::AdjustWidth);
  EXPECT_LT(p.pageImage().width(), 500);
  EXPECT_NEAR(p.pageImage().width() / double(p.pageImage().height()), 210.0 / 297.0, 0.01);
  p.findChild<QToolButton*>(QStringLiteral("SpeedButton5"))->click();
  EXPECT_LT(p.pageImage().height(), 400);
  // A fitted page follows the window's size.
  p.resize(500, 700);
  QApplication::processEvents();
  EXPECT_GT(p.pageImage().height(), 400);
}

// The ink of a page: the box around every pixel darker than mid grey.
QRect inkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

TEST_F(Preview, ShowsThePageAsItPrints) {
  printer.setLineNumber(true);
  printer.setColumnCount(2);
  printer.setMarginLeft(20);
  printer.setMarginTop(15);
  printer.setHeader("X%pY");
  printer.setHeaderAlign(TStringsPrinterHeaderAlign::haRight);
  ASSERT_TRUE(printer.Print(numberedLines(150, "preview ")));
  ASSERT_TRUE(printer.RenderPages(numberedLines(150, "preview "), pages, "p"));
  TFormStrPreview p(printer, pages);
  p.SetZoom(TFormStrPreview::Zoom::Actual);
  const QImage shown = p.pageImage();
  const int dpi = static_cast<int>(std::lround(shown.width() * 25.4 / 210.0));
  const std::string png = file("page");
  test::runCommand("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " '" + file("preview.pdf") + "' '" +
                   png + "'");
  QImage printed(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(printed.isNull());
  const QRect a = inkBox(shown), b = inkBox(printed);
  ASSERT_FALSE(a.isEmpty());
  EXPECT_NEAR(a.left(), b.left(), 3);
  EXPECT_NEAR(a.top(), b.top(), 3);
  EXPECT_NEAR(a.right(), b.right(), 3);
  EXPECT_NEAR(a.bottom(), b.bottom(), 3);
}

TEST_F(Preview, KeepsItsSizeWhollyOnTheScreenAndScrollsByTheWheel) {
  ASSERT_TRUE(printer.RenderPages(numberedLines(3), pages, "p"));
  QWidget owner;
  owner.setGeometry(500, 400, 260, 200);  // near a corner: centred on it, the preview would stick out
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  const QMargins frame(owner.geometry().left() - owner.frameGeometry().left(),
                       owner.geometry().top() - owner.frameGeometry().top(),
                       owner.frameGeometry().right() - owner.geometry().right(),
                       owner.frameGeometry().bottom() - owner.geometry().bottom());
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* p = qobject_cast<TFormStrPreview*>(QApplication::activeModalWidget());
    ASSERT_NE(p, nullptr);
    seen = true;
    QScreen* screen = owner.screen();
    const QRect area = screen->availableGeometry();
    EXPECT_TRUE(area.contains(p->frameGeometry()))
        << p->frameGeometry().x() << "," << p->frameGeometry().y() << " " << p->frameGeometry().width() << "x"
        << p->frameGeometry().height();
    auto* box = p->findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    const int asked = p->pageImage().width() + box->verticalScrollBar()->sizeHint().width() + 16;
    EXPECT_EQ(p->width(), std::min(asked, area.width() - frame.left() - frame.right()));
    EXPECT_EQ(p->height(), std::min(screen->geometry().height() / 6 * 5, area.height() - frame.top() - frame.bottom()));

    // One notch down moves the page by the notch's delta.
    QScrollBar* bar = box->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 240);
    bar->setValue(0);
    // (A wheel over the page reaches the box's viewport: the page itself takes none.)
    QWidget* viewport = box->viewport();
    const QPointF at(20, 20);
    QWheelEvent notch(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &notch);
    EXPECT_EQ(bar->value(), 120);
    p->accept();
  });
  TFormStrPreview::Execute(printer, pages, &owner);
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace wux

// How the property and search windows lay out what they show: sizes the windows keep,
// captions shown whole, nothing drawn over anything else.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "dialogs/FormHolder2.h"
#include "dialogs/FormHolders.h"
#include "dialogs/FormMXA2.h"
#include "dialogs/FormScanNode.h"
#include "support/qt_app.h"

namespace wux {
namespace {

QRect rectIn(const QWidget* w, const QWidget* in) { return QRect(w->mapTo(in, QPoint(0, 0)), w->size()); }

void showNow(QWidget& w) {
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

TEST(PropertyWindowLayout, WindowsKeepTheirWidthAndHeightLimits) {
  test::qtApp();
  TFormMXA2 document;
  TFormHolders order;
  for (QDialog* d : std::initializer_list<QDialog*>{&document, &order}) {
    showNow(*d);
    d->resize(640, 900);
    EXPECT_EQ(d->size(), QSize(350, 600)) << d->windowTitle().toStdString();
    d->resize(200, 100);
    EXPECT_EQ(d->size(), QSize(350, 450)) << d->windowTitle().toStdString();
  }
  // The notebook's window may be shorter and taller, never wider.
  TFormHolder2 notebook;
  showNow(notebook);
  EXPECT_EQ(notebook.width(), 350);
  notebook.resize(640, 320);
  EXPECT_EQ(notebook.size(), QSize(350, 320));
  notebook.resize(350, 800);
  EXPECT_EQ(notebook.height(), 800);
}

TEST(PropertyWindowLayout, NotebookPageShowsEveryCaptionWhole) {
  test::qtApp();
  TFormHolder2 notebook;
  showNow(notebook);
  auto* scroll = notebook.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
  const QWidget* view = scroll->viewport();
  int captions = 0;
  for (QAbstractButton* b : scroll->widget()->findChildren<QAbstractButton*>()) {
    if (b->text().isEmpty()) continue;
    ++captions;
    const QRect r = rectIn(b, view);
    EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    EXPECT_GE(r.left(), 0) << b->text().toStdString();
    EXPECT_LE(r.right(), view->width() - 1) << b->text().toStdString();
  }
  EXPECT_GE(captions, 17);  // the radio buttons, the four flags, "Color" and "Explorer"
}

TEST(PropertyWindowLayout, CloseMenuSitsAboveThePages) {
  test::qtApp();
  TFormHolder2 notebook;
  TFormMXA2 document;
  for (QDialog* d : std::initializer_list<QDialog*>{&notebook, &document}) {
    showNow(*d);
    auto* bar = d->findChild<QMenuBar*>();
    auto* tabs = d->findChild<QTabWidget*>();
    ASSERT_TRUE(bar && tabs);
    const std::string what = d->windowTitle().toStdString();
    EXPECT_FALSE(rectIn(bar, d).intersects(rectIn(tabs, d))) << what;
    EXPECT_GE(bar->height(), bar->sizeHint().height()) << what;
    EXPECT_EQ(bar->actions().value(0)->text().toStdString(), "&CLOSE") << what;
  }
}

TEST(SearchWindowLayout, ReplaceNameBoxLiesBelowTheName) {
  test::qtApp();
  TFormScanNode scan;
  scan.StaticText_Name->setText(QStringLiteral("a note's name"));
  showNow(scan);
  scan.PageControl1->setCurrentIndex(0);
  QWidget* page = scan.PageControl1->currentWidget();
  ASSERT_TRUE(scan.ComboBox_ReplaceName->isVisible());
  const QRect name = rectIn(scan.StaticText_Name, page);
  const QRect box = rectIn(scan.ComboBox_ReplaceName, page);
  EXPECT_FALSE(box.intersects(name));
  EXPECT_GE(box.top(), name.bottom());
}

}  // namespace
}  // namespace wux

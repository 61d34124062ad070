#pragma once
// Input as a person gives it, through Qt's own event paths: files dropped from a file
// manager, buttons clicked and menu items found by their captions.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <string>
#include <vector>

namespace wux::test {

// As a drag from the file manager: it enters the widget, then drops there.
inline void dropFiles(QWidget* target, const std::vector<std::string>& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& f : files) urls << QUrl::fromLocalFile(QString::fromStdString(f));
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());
}

// The push button of `top` with this caption: a shown one first, since a person sees only
// those; else any, for a window the test never shows. Null when there is none.
inline QPushButton* buttonOf(QWidget* top, const QString& caption) {
  QPushButton* hidden = nullptr;
  for (QPushButton* b : top->findChildren<QPushButton*>()) {
    if (b->text() != caption) continue;
    if (b->isVisible()) return b;
    if (!hidden) hidden = b;
  }
  return hidden;
}

// Clicked with the mouse, as a person clicks it; a missing button fails the test.
inline void click(QWidget* top, const QString& caption) {
  if (QPushButton* b = buttonOf(top, caption)) return QTest::mouseClick(b, Qt::LeftButton);
  ADD_FAILURE() << "no button " << caption.toStdString();
}

// The menu item of `top` (a window, a menu) with this caption; null when there is none.
inline QAction* actionOf(QWidget* top, const QString& caption) {
  for (QAction* a : top->findChildren<QAction*>())
    if (a->text() == caption) return a;
  return nullptr;
}

}  // namespace wux::test

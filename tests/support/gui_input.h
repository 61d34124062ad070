#pragma once
// Input as a person gives it, through Qt's own event paths: files dropped from a file
// manager, and the text of a file read back to see what a save wrote.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <string>
#include <vector>

#include "platform/files.h"

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

// The file's bytes; empty when it cannot be read.
inline std::string fileText(const std::string& path) {
  std::string s;
  platform::readFile(path, s);
  return s;
}

}  // namespace wux::test

// The image frame's "*TEST" > "Image1.Draw": the JPEG is drawn at its own size from
// the corner of the picture box, not fitted to it, until the picture is fitted again.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/FrameImage.h"
#include "views/FrameMemoNode.h"
#include "views/ImageCodec.h"
#include "views_support.h"

namespace wux {
namespace {

bool reddish(const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }

TEST(ImageDraw, DrawPutsTheJpegAtItsOwnSizeInTheCorner) {
  test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  test::FakeMainWindow win;
  test::Notebook book{"pic"};
  TFrameMemoNode editor;
  editor.setOwnerForm(&win);
  editor.resize(400, 300);
  editor.show();

  Raster red;
  red.width = 40;
  red.height = 20;
  red.components = 3;
  for (int i = 0; i < 40 * 20; ++i) red.pixels.insert(red.pixels.end(), {255, 0, 0});
  std::string jpeg;
  ASSERT_TRUE(encodeJpeg(red, 95, false, jpeg));
  MemoNodeUI* n = book.node("pic");
  n->putContentStream_(jpeg, "image/jpeg", "binary");
  n->putField_("Content-Transfer-Encoding", "\"binary\"");
  n->putContentType_("image/jpeg");
  editor.setNode(n);
  editor.showNode_();
  QCoreApplication::processEvents();
  TFrameImage* frame = editor.imageFrame();
  ASSERT_NE(frame, nullptr);
  auto* image = frame->findChild<QWidget*>(QStringLiteral("Image1"));
  ASSERT_NE(image, nullptr);
  ASSERT_GT(image->width(), 80);

  // Fitted, the picture fills the box's middle.
  QImage shown = image->grab().toImage();
  const QPoint middle(shown.width() / 2 + 60, shown.height() / 2);
  EXPECT_TRUE(reddish(shown.pixelColor(middle)));

  QAction* draw = nullptr;
  for (QAction* a : frame->findChildren<QAction*>())
    if (a->text() == QStringLiteral("Image1.Draw")) draw = a;
  ASSERT_NE(draw, nullptr);
  draw->trigger();
  shown = image->grab().toImage();
  EXPECT_TRUE(reddish(shown.pixelColor(2, 2)));
  EXPECT_TRUE(reddish(shown.pixelColor(37, 17)));
  EXPECT_FALSE(reddish(shown.pixelColor(45, 5)));
  EXPECT_FALSE(reddish(shown.pixelColor(middle)));
}

}  // namespace
}  // namespace wux

// The image frame inside the note editor: loading each picture type, the scale, the
// clipboard and the conversions that rewrite the note.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "support/FakeClipboard.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/gui_input.h"
#include "support/qt_app.h"
#include "views/FormCVTJpeg.h"
#include "views/FrameImage.h"
#include "views/FrameMemoNode.h"
#include "views/ImageCodec.h"
#include "views_support.h"

namespace wux {
namespace {

// A Windows metafile (placeable header) of a filled rectangle, 100 by 50 units.
std::string metafile() {
  std::string b;
  auto w16 = [&](int v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
  };
  auto w32 = [&](unsigned v) {
    w16(static_cast<int>(v & 0xFFFF));
    w16(static_cast<int>(v >> 16));
  };
  const int header[] = {0xCDD7, 0x9AC6, 0, 0, 0, 100, 50, 96, 0, 0};
  int sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= header[i];
  for (int v : header) w16(v);
  w16(sum);
  // Records: window origin and extent, a red brush, select it, a rectangle, the end.
  const std::vector<std::vector<int>> records = {
      {0x020B, 0, 0}, {0x020C, 50, 100}, {0x02FC, 0, 0x00FF, 0x0000, 0}, {0x012D, 0}, {0x041B, 40, 90, 10, 10},
      {0x0000}};
  int words = 9;
  for (const auto& r : records) words += 2 + static_cast<int>(r.size());
  w16(1);
  w16(9);
  w16(0x0300);
  w32(static_cast<unsigned>(words));
  w16(1);
  w32(7);
  w16(0);
  for (const auto& r : records) {
    w32(static_cast<unsigned>(2 + r.size()));
    for (int v : r) w16(v);
  }
  return b;
}

// The first bytes of an enhanced metafile: its header record and " EMF".
std::string enhancedMetafile() {
  std::string b(88, '\0');
  b[0] = 1;
  b[4] = 88;
  b.replace(40, 4, " EMF");
  return b;
}

std::string bmpOf(int width, int height, QColor colour) {
  QImage img(width, height, QImage::Format_RGB32);
  img.fill(colour);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "BMP");
  return bytes.toStdString();
}

// The bytes of a one-colour JPEG picture.
std::string jpegOf(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  Raster raster;
  raster.width = width;
  raster.height = height;
  raster.components = 3;
  for (int i = 0; i < width * height; ++i) raster.pixels.insert(raster.pixels.end(), {r, g, b});
  std::string jpeg;
  EXPECT_TRUE(encodeJpeg(raster, 95, false, jpeg));
  return jpeg;
}

std::string firstBase64Line(const std::string& data) {
  StringList lines;
  TContent::encodeBase64_(&data, lines);
  return lines.count() ? lines[0] : "";
}

// Answers the JPEG dialog while it waits.
void answerJpegDialog(std::function<void(TFormCVTJpeg&)> answer) {
  QTimer::singleShot(0, [answer] { answer(TFormCVTJpeg::instance()); });
}

class FrameImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor.setOwnerForm(&win);
    editor.resize(400, 300);
    win.table.add("newMemoNode_", [this] {
      ++newNotes;
      return 0;
    });
  }
  // Shows the note `name` with the picture bytes as its content.
  MemoNodeUI* show(const std::string& name, const std::string& type, const std::string& bytes,
                   const std::string& filename = "") {
    MemoNodeUI* n = book.node(name);
    n->putContentStream_(bytes, type, "binary");
    n->putField_("Content-Transfer-Encoding", "\"binary\"");
    n->putContentType_(type);
    if (!filename.empty()) n->putField_("Filename", "\"" + filename + "\"");
    editor.setNode(n);
    editor.showNode_();
    return n;
  }
  TFrameImage* frame() { return editor.imageFrame(); }
  std::string record(MemoNode* n) {
    std::string out;
    n->writeRecordText_(out, "  ", n->name());
    return out;
  }

  QApplication& app = test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter scoped{&rec};
  test::FakeClipboard clip;
  test::FakeMainWindow win;
  test::Notebook book{"p.bmp", "pic", "other"};
  TFrameMemoNode editor;
  int newNotes = 0;
};

TEST_F(FrameImageTest, ScaleArithmetic) {
  EXPECT_EQ(scale::parse("abc"), 1);
  EXPECT_EQ(scale::parse(" 150 "), 150);
  EXPECT_EQ(scale::parse("0"), 1);
  EXPECT_EQ(scale::step("100", true, 0.1), 110);
  EXPECT_EQ(scale::step("15", false, 0.5), 7);  // 7.5 rounds to 8
  EXPECT_EQ(scale::step("4", true, 0.1), 1);
  EXPECT_EQ(scale::step("1", false, 0.5), 1);
  EXPECT_EQ(scale::step("abc", true, 0.5), 1);
  EXPECT_EQ(scale::fit(300, 300), 99);
  EXPECT_EQ(scale::fit(300, 0), 0);

  // The frame applies them to the shown picture.
  show("pic", "image/png", test::imageBytes("PNG", 200, 100));
  frame()->ComboBox_Scale()->setEditText("abc");
  frame()->scaleStep_(true, 0.5);
  EXPECT_TRUE(frame()->manual());
  frame()->ComboBox_Scale()->setEditText("abc");
  frame()->applyScale_();
  EXPECT_EQ(frame()->shownSize(), QSize(2, 1));
  frame()->scaleOneToOne_();
  EXPECT_EQ(frame()->shownSize(), QSize(200, 100));
  frame()->scaleStep_(false, 0.5);
  EXPECT_EQ(frame()->ComboBox_Scale()->currentText(), "50");
  EXPECT_EQ(frame()->shownSize(), QSize(100, 50));
  frame()->scaleAuto_();
  EXPECT_FALSE(frame()->manual());
}

TEST_F(FrameImageTest, LoadersShowEachTypeOrABlankBox) {
  show("pic", "image/png", test::imageBytes("PNG", 7, 5));
  EXPECT_EQ(editor.contentView(), "image");
  EXPECT_EQ(frame()->picture().size(), QSize(7, 5));
  EXPECT_EQ(frame()->picture().pixelColor(3, 2), QColor(Qt::blue));

  show("pic", "image/jpeg", jpegOf(6, 4, 250, 120, 10));
  ASSERT_EQ(frame()->picture().size(), QSize(6, 4));
  const QColor c = frame()->picture().pixelColor(2, 2);
  EXPECT_NEAR(c.red(), 250, 6);
  EXPECT_NEAR(c.green(), 120, 6);
  EXPECT_NEAR(c.blue(), 10, 6);

  show("pic", "image/ico", test::imageBytes("ICO", 16, 16));
  EXPECT_EQ(frame()->picture().size(), QSize(16, 16));
  show("pic", "image/bmp", bmpOf(9, 4, Qt::red));
  EXPECT_EQ(frame()->picture().size(), QSize(9, 4));
  EXPECT_EQ(frame()->StaticText_Size()->text().toStdString(), std::to_string(bmpOf(9, 4, Qt::red).size()));

  // An empty stream: the blank box and, for JPEG, PNG and metafiles, the report.
  show("pic", "image/jpeg", "");
  EXPECT_EQ(frame()->picture().size(), QSize(50, 50));
  EXPECT_EQ(frame()->StaticText_Size()->text(), "0");
  EXPECT_EQ(win.status(), "Draw White Box. aStrem.size = 0");

  // Damaged bytes are reported, never fatal.
  show("pic", "image/jpeg", std::string("\xFF\xD8\xFF\xE0garbage", 11));
  EXPECT_EQ(frame()->picture().size(), QSize(50, 50));
  EXPECT_EQ(win.status().rfind("Failure: JPEG", 0), 0u) << win.status();
  show("pic", "image/png", "\x89PNG\r\n\x1a\nshort");
  EXPECT_EQ(win.status().rfind("Failure: PNG", 0), 0u) << win.status();

  // A Windows metafile is drawn; an enhanced one stays a blank box, its bytes untouched.
  show("pic", "image/x-wmf", metafile());
  ASSERT_EQ(frame()->picture().size(), QSize(100, 50)) << win.status();
  EXPECT_EQ(frame()->picture().pixelColor(50, 25).red(), 255);
  MemoNodeUI* emf = show("other", "image/x-wmf", enhancedMetafile());
  EXPECT_EQ(frame()->picture().size(), QSize(50, 50));
  EXPECT_NE(win.status().find("cannot be shown here"), std::string::npos) << win.status();
  frame()->toBmp_();
  EXPECT_EQ(*emf->content()->data(), enhancedMetafile());
  EXPECT_EQ(emf->getContentType_(), "\"image/x-wmf\"");
}

TEST_F(FrameImageTest, ClipboardCopyAndPaste) {
  show("pic", "image/ico", test::imageBytes("ICO", 16, 16));
  frame()->copy_();
  EXPECT_EQ(win.status(), "no support format.");
  EXPECT_TRUE(clip.image_.isNull());
  show("pic", "image/jpeg", "");
  frame()->copy_();  // nothing shown: nothing copied
  EXPECT_TRUE(clip.image_.isNull());
  show("pic", "image/png", test::imageBytes("PNG", 6, 3));
  frame()->copy_();
  EXPECT_EQ(clip.image_.size(), QSize(6, 3));

  // A pasted picture becomes the note's bitmap, named after the time.
  MemoNodeUI* n = book.node("other");
  show("other", "image/bmp", "");
  book.holder->modified = false;
  clip.image_ = QImage(5, 4, QImage::Format_RGB32);
  clip.image_.fill(Qt::green);
  frame()->paste_();
  EXPECT_EQ(n->getField_("Filename"), "\"20261206123456.bmp\"");
  EXPECT_EQ(n->getContentType_(), "\"image/bmp\"");
  EXPECT_EQ(firstBase64Line(*n->content()->data()).substr(0, 2), "Qk");
  EXPECT_TRUE(n->contentModified);
  EXPECT_TRUE(book.holder->modified);
  EXPECT_NE(editor.Memo_Fields()->toPlainText().indexOf("20261206123456.bmp"), -1);
  EXPECT_EQ(frame()->picture().size(), QSize(5, 4));

  // Text on the clipboard makes a new note; nothing at all says so.
  clip.image_ = QImage();
  clip.text_ = "hello";
  frame()->paste_();
  EXPECT_EQ(newNotes, 1);
  clip.text_.clear();
  frame()->paste_();
  EXPECT_EQ(win.status(), "no text");
  EXPECT_EQ(newNotes, 1);
}

TEST_F(FrameImageTest, JpegDialogBelongsToTheWindowThatAsks) {
  QWidget owner;
  editor.setParent(&owner);
  owner.setGeometry(100, 120, 500, 400);
  owner.show();
  show("p.bmp", "image/bmp", bmpOf(8, 8, QColor(0, 0, 200)), "p.bmp");
  QWidget* parent = nullptr;
  bool window = false;
  answerJpegDialog([&](TFormCVTJpeg& d) {
    parent = d.parentWidget();
    window = d.isWindow();
    d.CancelBtn()->click();
  });
  frame()->toJpeg_();
  EXPECT_EQ(parent, &owner);
  EXPECT_TRUE(window);
  editor.setParent(nullptr);  // the fixture's editor outlives this window
}

bool reddish(const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }

// "*TEST" > "Image1.Draw": the JPEG is drawn at its own size from the corner of the
// picture box, not fitted to it, until the picture is fitted again.
TEST_F(FrameImageTest, DrawPutsTheJpegAtItsOwnSizeInTheCorner) {
  editor.show();
  show("pic", "image/jpeg", jpegOf(40, 20, 255, 0, 0));
  QCoreApplication::processEvents();
  ASSERT_NE(frame(), nullptr);
  auto* image = frame()->findChild<QWidget*>(QStringLiteral("Image1"));
  ASSERT_NE(image, nullptr);
  ASSERT_GT(image->width(), 80);

  // Fitted, the picture fills the box's middle.
  QImage shown = image->grab().toImage();
  const QPoint middle(shown.width() / 2 + 60, shown.height() / 2);
  EXPECT_TRUE(reddish(shown.pixelColor(middle)));

  QAction* draw = test::actionOf(frame(), QStringLiteral("Image1.Draw"));
  ASSERT_NE(draw, nullptr);
  draw->trigger();
  shown = image->grab().toImage();
  EXPECT_TRUE(reddish(shown.pixelColor(2, 2)));
  EXPECT_TRUE(reddish(shown.pixelColor(37, 17)));
  EXPECT_FALSE(reddish(shown.pixelColor(45, 5)));
  EXPECT_FALSE(reddish(shown.pixelColor(middle)));
}

TEST_F(FrameImageTest, ConversionsRewriteTheNote) {
  MemoNodeUI* n = show("p.bmp", "image/bmp", bmpOf(32, 16, QColor(200, 40, 40)), "p.bmp");
  const std::string before = record(n);

  // Cancel, or a quality that is not a number, leaves the note byte for byte.
  answerJpegDialog([](TFormCVTJpeg& d) { d.CancelBtn()->click(); });
  frame()->toJpeg_();
  EXPECT_EQ(record(n), before);
  answerJpegDialog([](TFormCVTJpeg& d) {
    d.Label_CompressionQuality()->setText("abc");
    d.OKBtn()->click();
  });
  frame()->toJpeg_();
  EXPECT_EQ(record(n), before);

  // Mono at quality 20: one gray component, and the name follows the file name.
  answerJpegDialog([](TFormCVTJpeg& d) {
    EXPECT_FALSE(d.CheckBox_Mono()->isChecked());
    EXPECT_EQ(d.Label_CompressionQuality()->text(), "95");
    d.CheckBox_Mono()->setChecked(true);
    d.presetButton(20)->click();
    d.OKBtn()->click();
  });
  book.holder->modified = false;
  frame()->toJpeg_();
  EXPECT_EQ(n->getField_("Filename"), "\"p.jpg\"");
  EXPECT_EQ(n->name(), "p.jpg");
  EXPECT_EQ(editor.nameText(), "p.jpg");
  EXPECT_EQ(n->getContentType_(), "\"image/jpeg\"");
  EXPECT_EQ(firstBase64Line(*n->content()->data()).substr(0, 4), "/9j/");
  Raster decoded;
  ASSERT_TRUE(decodeJpeg(*n->content()->data(), decoded));
  EXPECT_EQ(decoded.components, 1);
  EXPECT_EQ(decoded.width, 32);
  EXPECT_TRUE(book.holder->modified);
  EXPECT_EQ(frame()->picture().size(), QSize(32, 16));  // shown again from the new bytes

  // The dialog remembers the last choice; ->BMP needs no dialog. A name without an
  // extension that differs from the file name stays.
  answerJpegDialog([](TFormCVTJpeg& d) {
    EXPECT_TRUE(d.CheckBox_Mono()->isChecked());
    EXPECT_EQ(d.Label_CompressionQuality()->text(), "20");
    d.CancelBtn()->click();
  });
  frame()->toJpeg_();
  MemoNodeUI* pic = show("pic", "image/png", test::imageBytes("PNG", 8, 8), "shot.png");
  frame()->toBmp_();
  EXPECT_EQ(pic->name(), "pic");
  EXPECT_EQ(pic->getField_("Filename"), "\"shot.bmp\"");
  EXPECT_EQ(pic->content()->data()->substr(0, 2), "BM");

  // A metafile converts to a bitmap of its drawing.
  MemoNodeUI* other = show("other", "image/x-wmf", metafile());
  frame()->toBmp_();
  EXPECT_EQ(other->getContentType_(), "\"image/bmp\"");
  EXPECT_EQ(other->getField_("Filename"), "\"20261206123456.bmp\"");
  EXPECT_EQ(frame()->picture().size(), QSize(100, 50));

  // A read-only note keeps its picture.
  other->putField_("FlagReadOnly", "\"true\"");
  const std::string readOnly = record(other);
  frame()->toBmp_();
  EXPECT_EQ(win.status(), "Stop: the note is read-only.");
  EXPECT_EQ(record(other), readOnly);
  other->removeField_("FlagReadOnly");

  // An unknown type is refused untouched.
  other->putContentType_("image/tiff");
  const std::string tiff = record(other);
  frame()->toBmp_();
  EXPECT_EQ(win.status(), "not understand image format \"image/tiff\"");
  EXPECT_EQ(record(other), tiff);
}

}  // namespace
}  // namespace wux

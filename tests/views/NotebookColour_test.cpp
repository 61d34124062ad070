// The notebook's colour on a view from its first build, with text readable on it; and
// the document's colour when it has none of its own. (Switching kinds in the main
// window: frames_test.)
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/NoteViewBuilder.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

TEST(NotebookColour, TheFirstBuildPaintsTheViewInTheNotebooksColourWithBlackText) {
  test::qtApp();
  test::Notebook book{{"a|A", "b|B|A"}};
  book.holder->putField_("Color", "\"clRed\"");
  QWidget panel;
  auto* view = qobject_cast<QAbstractItemView*>(makeNoteView(*book.holder, MemoHolderUI::Kind::Tree, &panel));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->palette().color(QPalette::Text), QColor(Qt::black));
  view->resize(200, 300);
  const QImage shot = view->viewport()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() - 5), QColor(Qt::red));  // below the notes
}

class TopPanelWindow : public test::FakeMainWindow {
 public:
  std::optional<Color> panelTopColor() override { return top; }
  std::optional<Color> top;
};

TEST(NotebookColour, ADocumentWithoutAColourTakesTheWindowsTopPanelOrTheButtonFace) {
  test::qtApp();
  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Button, QColor(10, 20, 30));
  QApplication::setPalette(palette);
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(10, 20, 30));
  TopPanelWindow window;
  doc->setForm(&window);
  window.top = fromQColor(QColor(40, 50, 60));
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(40, 50, 60));
  doc->putField_("Color", "\"clRed\"");
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(Qt::red));
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace wux

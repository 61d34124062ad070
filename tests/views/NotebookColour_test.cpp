// The document's colour when it has none of its own. (The notebook's colour on its
// views: frames_test.)
#include <gtest/gtest.h>

#include <QApplication>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

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

// The notebook's colour on its view, whichever kind is built and however often, with
// text that stays readable on it; and the document's colour when it has none of its own.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QPalette>
#include <QWidget>

#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "views/NoteViewBuilder.h"
#include "views/qtext.h"
#include "views/views_support.h"

namespace wux {
namespace {

using Kind = MemoHolderUI::Kind;

// The colour the view paints where no note is (below the last line).
QColor emptyAreaOf(QWidget* view) {
  view->resize(200, 300);
  auto* items = qobject_cast<QAbstractItemView*>(view);
  QWidget* painted = items ? items->viewport() : view;
  const QImage shot = painted->grab().toImage();
  return shot.pixelColor(shot.width() / 2, shot.height() - 5);
}

TEST(NotebookColour, EveryViewKindTakesTheNotebooksColourWithBlackText) {
  test::qtApp();
  test::FixedWorld world;
  test::Notebook book{{"a|A", "b|B|A", "c|C"}};
  book.holder->putField_("Color", "\"clRed\"");
  QWidget panel;
  // The first build (before any control exists), each switch of kind, and a rebuild of
  // a kind whose control is reused.
  for (Kind kind : {Kind::CheckList, Kind::Tree, Kind::List, Kind::CheckList, Kind::Tree}) {
    QWidget* view = makeNoteView(*book.holder, kind, &panel);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(Qt::red)) << static_cast<int>(kind);
    EXPECT_EQ(view->palette().color(QPalette::Text), QColor(Qt::black)) << static_cast<int>(kind);
    EXPECT_EQ(emptyAreaOf(view), QColor(Qt::red)) << static_cast<int>(kind);
  }
  // A colour put later reaches the view shown, with the text still black.
  book.holder->showView_();
  book.holder->putColor_(0x00FF00);  // green
  QWidget* tree = book.holder->viewControl(Kind::Tree);
  EXPECT_EQ(tree->palette().color(QPalette::Base), QColor(Qt::green));
  EXPECT_EQ(tree->palette().color(QPalette::Text), QColor(Qt::black));

  // Without a colour the view is white.
  test::Notebook plain{{"x"}};
  EXPECT_EQ(makeNoteView(*plain.holder, Kind::List, &panel)->palette().color(QPalette::Base), QColor(Qt::white));
}

class TopPanelWindow : public test::FakeMainWindow {
 public:
  std::optional<Color> panelTopColor() override { return top; }
  std::optional<Color> top;
};

TEST(NotebookColour, ADocumentWithoutAColourTakesTheWindowsTopPanelOrTheButtonFace) {
  test::qtApp();
  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  QPalette palette = QApplication::palette();
  const QPalette saved = palette;
  palette.setColor(QPalette::Button, QColor(10, 20, 30));
  QApplication::setPalette(palette);
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(10, 20, 30));

  TopPanelWindow window;
  doc->setForm(&window);
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(10, 20, 30));  // a window without a top panel
  window.top = fromQColor(QColor(40, 50, 60));
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(40, 50, 60));

  doc->putField_("Color", "\"clRed\"");
  EXPECT_EQ(toQColor(doc->getColor_()), QColor(Qt::red));
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace wux

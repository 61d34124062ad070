// A note window without a main window: what its editor and its print report lands on
// its own status bar, and a print that did not happen never reads as done.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QTest>

#include "dialogs/NoteWindow.h"
#include "model/text/sjis.h"
#include "support/RecordingPrompter.h"
#include "support/gui_input.h"
#include "support/qt_app.h"
#include "views/FrameMemoNode.h"
#include "views/views_support.h"

namespace wux {
namespace {

TEST(NoteWindowAlone, ReportsGoToItsStatusBarAndAFailedPrintSaysSo) {
  test::qtApp();
  test::FixedWorld world;
  RecordingPrompter rec;
  ScopedPrompter use{&rec};
  test::Notebook book{{std::string("alone")}};
  MemoNodeUI* note = book.node("alone");
  TFormMemoNode f(nullptr);
  f.showNote(note);
  f.show();
  // An emptied name is refused when the window commits on closing.
  f.FrameMemoNode1()->StaticText_name()->setText(QString());
  f.close();
  EXPECT_EQ(f.statusText(), "Do not rename Empty characters.");
  EXPECT_EQ(note->name(), "alone");
  EXPECT_TRUE(rec.messages().empty());

  // Print without a main window is a hard copy of the window. Without any printer it
  // cannot start, and the status says so.
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
  QAction* print = test::actionOf(&f, QStringLiteral("Print"));
  ASSERT_NE(print, nullptr);
  print->trigger();
  EXPECT_TRUE(sjis::startsWith(f.statusText(), "Failure: HardCopy")) << f.statusText();
}

}  // namespace
}  // namespace wux

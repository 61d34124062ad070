// HTML export and printing through the command table: the pages land beside the
// notebook and open on the desktop; notes print to PDF, pictures as their own pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <QSpinBox>
#include <QRadioButton>
#include <QLineEdit>
#include <QGroupBox>
#include <QTimer>
#include <cstdlib>
#include <optional>

#include "dialogs/ExportWindows.h"
#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "printing/FormStringsPrint.h"
#include "printing/SettingsStore.h"
#include "printing/print_support.h"
#include "support/data_files.h"
#include "support/file_text.h"
#include "support/linked_notes.h"
#include "support/picture_bytes.h"
#include "views/views_support.h"

namespace wux {
namespace {

class ExportPrintTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  ExportPrintTest() : FormTest({2024, 5, 23, 14, 5, 6, 7}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = dir();
    rename(holder(), "A");
  }
  int run(const std::string& name) { return form->commands().run(name); }
  std::string dir() const { return tmp.path.string() + "/"; }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  static void rename(TObjectNamed* o, const std::string& name) {
    std::string actual;
    o->putName_(name, actual);
  }
  MemoNodeUI* note(const std::string& name, const std::string& body = "") {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    n->body().setText(body);
    form->changeCurrentNode_(n);
    return n;
  }
  std::vector<std::string> opened() const {
    std::vector<std::string> out;
    for (const auto& c : launcher.calls) out.push_back(c.verb + " " + c.target);
    return out;
  }
  // Answers the next modal window by pressing one of its buttons.
  template <class Pick>
  void pressInModal(Pick pick) {
    QTimer::singleShot(0, [pick] {
      if (auto* w = qobject_cast<TFormHTMLCalendar*>(QApplication::activeModalWidget())) pick(*w)->click();
    });
  }

  test::TempDir tmp;
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scopedLauncher{&launcher};
};

TEST_F(ExportPrintTest, IndexOfNotebooksLinksEachListPage) {
  rename(form->getMemoFile(), "doc");
  rename(form->newHolder_(-1), "B");
  ASSERT_EQ(run("UISaveHolderListHTML"), 0);
  const std::string file = dir() + "holders_doc.html";
  EXPECT_EQ(test::existingFileText(file), readTestData("mainwindow/holders_index.html"));
  EXPECT_EQ(status(), "Done: 2024/05/23 14:05:06:007");
  EXPECT_EQ(opened(), std::vector<std::string>{"open " + file});
}

TEST_F(ExportPrintTest, IndexOfOneNotebookEndsItsLinkWithoutBar) {
  ASSERT_EQ(run("UISaveHolderListHTML"), 0);
  const std::string page = test::existingFileText(dir() + "holders_noname.html");
  EXPECT_NE(page.find("\r\n<a href=\"list_A.html\" target=\"left\">A</a> \r\n</BODY>\r\n"), std::string::npos);
}

TEST_F(ExportPrintTest, NotebookPageIsSavedBesideTheNotebookAndOpened) {
  note("first", "hello");
  ASSERT_EQ(run("UISaveHolderHTML"), 0);
  const std::string file = dir() + "A.html";
  EXPECT_EQ(status(), "Done: Make & Save & Open HTML File " + file);
  EXPECT_NE(test::existingFileText(file).find("hello"), std::string::npos);
  EXPECT_EQ(opened(), std::vector<std::string>{"open " + file});
}

TEST_F(ExportPrintTest, FailedPageWriteSaysWhyAndOpensNothing) {
  form->getMemoFile()->directory = dir() + "missing/";
  EXPECT_EQ(run("UISaveHolderHTML"), kResultFailed);
  EXPECT_EQ(status().rfind("Failure: ", 0), 0u) << status();
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(ExportPrintTest, APageTheDesktopCannotOpenIsWrittenAndTheStatusSaysSo) {
  note("first", "hello");
  const std::string page = dir() + "A.html";
  auto expectUnopened = [&](const std::string& file, const std::string& why) {
    EXPECT_EQ(status(), "Failure: could not open " + file + ": " + why);
    EXPECT_TRUE(platform::fileExists(file));
  };
  {
    // The real opener, with none on the path.
    platform::ScopedLauncher real{nullptr};
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir() + "no-such-folder").c_str(), 1);
    const int result = run("UISaveHolderHTML");
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(result, 0);
    expectUnopened(page, "xdg-open is not on the path");
    EXPECT_NE(test::existingFileText(page).find("hello"), std::string::npos);
  }
  launcher.result = false;
  launcher.reason = "cannot start /usr/bin/xdg-open: Permission denied";
  EXPECT_EQ(run("UIExportHolderHTML"), 0);
  expectUnopened(page, launcher.reason);
  pressInModal([](TFormHTMLCalendar& w) { return w.monthButton(); });
  EXPECT_EQ(run("UISaveHolderHTMLCalendar"), 0);
  expectUnopened(dir() + "A_202405.html", launcher.reason);
  rec.inputs.push_back(tmp.str("chosen.html"));
  EXPECT_EQ(run("UISaveMemoNodeHTML"), 0);
  expectUnopened(tmp.str("chosen.html"), launcher.reason);
  EXPECT_EQ(run("UISaveHolderListHTML"), 0);
  expectUnopened(dir() + "holders_noname.html", launcher.reason);
}

TEST_F(ExportPrintTest, LinkedNotesAreReadForThePageAndAnUnreadableOneIsLeftOut) {
  ASSERT_TRUE(platform::writeFileAtomic(dir() + "kept.txt", "words from the file\n"));
  test::addLinkedNote(*holder(), "kept", dir() + "kept.txt");
  test::addLinkedNote(*holder(), "gone", dir() + "gone.txt");
  holder()->modified = false;
  EXPECT_EQ(run("UISaveHolderHTML"), 0);
  const std::string page = test::existingFileText(dir() + "A.html");
  EXPECT_NE(page.find("words from the file<BR>"), std::string::npos);
  EXPECT_EQ(page.find("gone"), std::string::npos);
  EXPECT_EQ(status(), "Failure: gone: not found: " + dir() + "gone.txt");
  EXPECT_FALSE(holder()->modified);
}

TEST_F(ExportPrintTest, CalendarPagesAreNamedByWeekOrMonth) {
  note("20240523 meeting", "agenda");
  pressInModal([](TFormHTMLCalendar& w) { return w.weekButton(); });
  ASSERT_EQ(run("UISaveHolderHTMLCalendar"), 0);
  EXPECT_EQ(status(), "Done: Make & Save & Open HTML File " + dir() + "A_20240523.html");
  EXPECT_TRUE(platform::fileExists(dir() + "A_20240523.html"));

  pressInModal([](TFormHTMLCalendar& w) { return w.monthButton(); });
  ASSERT_EQ(run("UISaveHolderHTMLCalendar"), 0);
  EXPECT_EQ(status(), "Done: Make & Save & Open HTML File " + dir() + "A_202405.html");
  EXPECT_NE(test::existingFileText(dir() + "A_202405.html").find("agenda"), std::string::npos);

  pressInModal([](TFormHTMLCalendar& w) { return w.cancelButton(); });
  EXPECT_EQ(run("UISaveHolderHTMLCalendar"), 0);
  EXPECT_EQ(status(), "Cancel");
  EXPECT_EQ(launcher.calls.size(), 2u);
}

TEST_F(ExportPrintTest, NotePageGoesWhereTheUserChose) {
  note("page", "text of the page");
  rec.inputs.push_back(tmp.str("chosen.html"));
  ASSERT_EQ(run("UISaveMemoNodeHTML"), 0);
  EXPECT_EQ(status(), "Done: Make & Save & Open HTML File " + tmp.str("chosen.html"));
  EXPECT_NE(test::existingFileText(tmp.str("chosen.html")).find("text of the page"), std::string::npos);

  EXPECT_EQ(run("UISaveMemoNodeHTML"), 0);  // no answer: the dialog was cancelled
  EXPECT_EQ(status(), "Cancel: UISaveMemoNodeHTML");
  EXPECT_EQ(launcher.calls.size(), 1u);
}

TEST_F(ExportPrintTest, IncludedChildrenNeedATreeAndAFileName) {
  MemoNodeUI* page = note("page", "<p><!-- wux.exe part --></p><!-- other -->");
  EXPECT_EQ(run("UINewChildHTML2"), kResultUIReadOnly);
  EXPECT_EQ(status(), "Exit: Mode is not TreeView.");

  holder()->putField_("ModeNodesMngr", "\"TreeView\"");
  EXPECT_EQ(run("UINewChildHTML2"), kResultFailed);
  EXPECT_EQ(status(), "Exit: UINewChildHTML2 needs a Filename");
  EXPECT_FALSE(platform::fileExists(dir() + ".html"));

  page->putField_("Filename", "\"" + tmp.str("out.txt") + "\"");
  MemoNodeUI* child = note("part", "inside");
  child->putParentNode_(page);
  note("part", "not a child");
  form->changeCurrentNode_(page);
  ASSERT_EQ(run("UINewChildHTML2"), 0);
  EXPECT_EQ(test::existingFileText(tmp.str("out.html")), "<p>inside\r\n</p><!-- other -->\r\n");
  EXPECT_TRUE(rec.asked.empty());

  // A note kept in its own ".html" file: the page would replace its source, so it is
  // asked first; Enter (No) keeps the source with its include markers.
  const std::string own = tmp.str("own.html"), source = "<p><!-- wux.exe part --></p>\r\n";
  ASSERT_TRUE(platform::writeFileAtomic(own, source));
  page->putField_("Filename", "\"" + own + "\"");
  EXPECT_EQ(run("UINewChildHTML2"), kResultFailed);
  ASSERT_EQ(rec.asked.size(), 1u);
  EXPECT_EQ(rec.asked[0].text, "Overwrite ? " + own);
  EXPECT_EQ(rec.asked[0].defaultButton, Answer::No);
  EXPECT_EQ(test::existingFileText(own), source);
  rec.answers = {Answer::Yes};
  ASSERT_EQ(run("UINewChildHTML2"), 0);
  EXPECT_EQ(test::existingFileText(own), "<p>inside\r\n</p><!-- other -->\r\n");
}

TEST_F(ExportPrintTest, FileListNotesOpenInTheirNewNotebook) {
  TFormFileList list;
  list.setMainWindow(form.get());
  StringList files;
  files.add("/data/one.txt");
  files.add("/data/two.txt");
  list.setLines(files);
  EXPECT_EQ(list.makeNodes(), 2);
  EXPECT_EQ(form->getMemoFile()->getHolderCount_(), 2);
  ASSERT_NE(holder()->name(), "A");
  EXPECT_EQ(holder()->getNodeCount_(), 2);
  ASSERT_NE(form->getCurrentNode(), nullptr);
  EXPECT_EQ(form->getCurrentNode()->name(), "two.txt");
  EXPECT_EQ(status(), "Done: count=2");
}

TEST_F(ExportPrintTest, FileWindowsOpenThroughTheTable) {
  EXPECT_EQ(run("UIShowFileList"), 0);
  EXPECT_EQ(status().rfind("Show FormFileList ", 0), 0u) << status();
  EXPECT_EQ(run("UIShowMakeHTML"), 0);
  EXPECT_EQ(status().rfind("Show MakeHTML ", 0), 0u) << status();
  // It opens wide enough to show its title whole.
  TFormMakeFileHTML* makeHTML = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TFormMakeFileHTML*>(top); f && f->isVisible()) makeHTML = f;
  ASSERT_NE(makeHTML, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(makeHTML));
  EXPECT_GE(makeHTML->width(), 300);
  EXPECT_GE(makeHTML->width(), makeHTML->fontMetrics().horizontalAdvance(makeHTML->windowTitle()));

  // Save Each is modal: it starts in the document's folder with the marked-only choice.
  bool marked = false;
  std::string folder;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<TFormSaveEach*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    marked = d->CheckBox_MarkNodeOnly->isChecked();
    folder = d->directory();
    d->reject();
  });
  EXPECT_EQ(form->commands().run("UIShowFormSaveEach_", {"true"}), 0);
  EXPECT_TRUE(marked);
  EXPECT_EQ(folder, platform::dirOf(form->getMemoFile()->getFileName_()));
  EXPECT_EQ(status(), "Done: UIShowFormSaveEach_ ");

  form->beginDoing_("busy");
  EXPECT_EQ(form->commands().run("UIShowFormSaveEach_"), kResultNoDocument);
  form->endDoing();
}

// ---- printing -------------------------------------------------------------------------

using test::solidPicture;

class PrintCommandsTest : public ExportPrintTest {
 protected:
  void SetUp() override {
    ExportPrintTest::SetUp();
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldXdg = old;
    setenv("XDG_CONFIG_HOME", tmp.str("config").c_str(), 1);
    form->getStringsPrinter().setShowProgress(false);
    form->getStringsPrinter().setPdfOutput(tmp.str("out.pdf"));
  }
  void TearDown() override {
    ExportPrintTest::TearDown();
    if (oldXdg) setenv("XDG_CONFIG_HOME", oldXdg->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  std::optional<std::string> oldXdg;
  MemoNodeUI* image(const std::string& name, QColor colour, int w = 40, int h = 20) {
    return image(note(name), colour, w, h);
  }
  static MemoNodeUI* image(MemoNodeUI* n, QColor colour, int w, int h) {
    const QByteArray png = solidPicture(colour, w, h);
    n->putContentStream_(png.toStdString(), "image/png", "base64");
    n->putContentType_("image/png");
    return n;
  }
  // The colour at the middle of page 1 of a PDF, rendered small.
  QColor centreColour(const std::string& pdf) {
    const std::string png = tmp.str("page");
    test::runCommand("pdftoppm -r 20 -png -singlefile -f 1 -l 1 '" + pdf + "' '" + png + "'");
    QImage page(QString::fromStdString(png + ".png"));
    if (page.isNull()) return QColor();
    return page.pixelColor(page.width() / 2, page.height() / 2);
  }
};

TEST_F(PrintCommandsTest, EachImageNotePrintsItsOwnPicture) {
  image(static_cast<MemoNodeUI*>(holder()->getNode_(0)), Qt::red, 40, 20);
  image("green", Qt::green, 20, 60);
  image("blue", Qt::blue);
  ASSERT_EQ(holder()->getNodeCount_(), 3);
  ASSERT_EQ(run("UIPrintsHolder"), 3);
  EXPECT_EQ(status(), "Done: Holder prints 3 Pages.");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Shall I print 3 Pages ?."});
  EXPECT_EQ(rec.kindOf("Shall I print 3 Pages ?."), BoxKind::Confirmation);
  const QColor expected[] = {Qt::red, Qt::green, Qt::blue};
  for (int k = 1; k <= 3; ++k) {
    const std::string pdf = tmp.str("out-" + std::to_string(k) + ".pdf");
    EXPECT_EQ(test::pdfPageCount(pdf), 1) << pdf;
    const QColor c = centreColour(pdf);
    EXPECT_NEAR(c.red(), expected[k - 1].red(), 40) << k;
    EXPECT_NEAR(c.green(), expected[k - 1].green(), 40) << k;
    EXPECT_NEAR(c.blue(), expected[k - 1].blue(), 40) << k;
  }
}

TEST_F(PrintCommandsTest, ClosingTheWindowStopsTheNotebookPrintAndKeepsTheWindow) {
  note("two", "2");
  note("three", "3");
  holder()->modified = true;
  form->show();
  rec.answers = {Answer::OK};
  bool closed = true;
  QTimer::singleShot(0, [&] { closed = form->close(); });
  EXPECT_EQ(run("UIPrintsHolder"), 0);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(form->isVisible());
  // Once the print has stopped, the user reads why and what to do.
  EXPECT_EQ(status(), "Break: stopping Prints Holder. Close again when it has ended.");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Shall I print 3 Pages ?."});
  EXPECT_TRUE(holder()->modified);
}

TEST_F(PrintCommandsTest, NotebookPrintCanBeCancelled) {
  rec.answers.push_back(Answer::Cancel);
  EXPECT_EQ(run("UIPrintsHolder"), 0);
  EXPECT_EQ(status(), "Cannel: Holder prints.");
  EXPECT_FALSE(platform::fileExists(tmp.str("out.pdf")));
}

TEST_F(PrintCommandsTest, MarkedNotesOnly) {
  note("text one", "first line");
  EXPECT_EQ(run("UIPrintsMarkNode"), 0);
  EXPECT_EQ(status(), "Count of Node marked is 0");

  MemoNodeUI* marked = note("text two", "second note's line");
  marked->setMarked_(true);
  EXPECT_EQ(run("UIPrintsMarkNode"), 1);
  const auto pages = test::pdfPages(tmp.str("out.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("second note"), std::string::npos);
}

TEST_F(PrintCommandsTest, MarkedLinkedNotesPrintTheirFileAndAnUnreadableOneFails) {
  ASSERT_TRUE(platform::writeFileAtomic(dir() + "kept.txt", "words from the file\n"));
  static_cast<MemoNodeUI*>(test::addLinkedNote(*holder(), "kept", dir() + "kept.txt"))->setMarked_(true);
  static_cast<MemoNodeUI*>(test::addLinkedNote(*holder(), "gone", dir() + "gone.txt"))->setMarked_(true);
  EXPECT_EQ(run("UIPrintsMarkNode"), 2);
  const auto pages = test::pdfPages(tmp.str("out-1.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("words from the file"), std::string::npos);
  EXPECT_FALSE(platform::fileExists(tmp.str("out-2.pdf")));
  EXPECT_EQ(status(), "Failure: gone: not found: " + dir() + "gone.txt");
}

TEST_F(PrintCommandsTest, BrokenPictureIsLoggedNotPrinted) {
  MemoNodeUI* n = note("broken");
  n->putContentStream_("not a picture", "image/jpeg", "base64");
  n->putContentType_("image/jpeg");
  EXPECT_EQ(run("UIPrintMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Failure: the note holds no picture that can be read");
  EXPECT_FALSE(platform::fileExists(tmp.str("out.pdf")));
}

// Sets a page range in the Print Format window through its controls.
void choosePageRange(TFormStringsPrint& d, int first, int last) {
  d.findChild<QGroupBox*>(QStringLiteral("RadioGroup5"))->findChildren<QRadioButton*>().at(1)->click();
  d.findChild<QSpinBox*>(QStringLiteral("SpinEdit7"))->setValue(last);
  d.findChild<QSpinBox*>(QStringLiteral("SpinEdit6"))->setValue(first);
}

TEST_F(PrintCommandsTest, APageRangeThatLeavesNoPageIsAFailureNotAnEmptySuccess) {
  const std::string pdf = tmp.str("out.pdf");
  // Printed from the Print Format window of a long note, a range of 2-3 stays on.
  note("long", test::numberedLines(300).text());
  test::whenModal<TFormStringsPrint>([](TFormStringsPrint* d) {
    choosePageRange(*d, 2, 3);
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button5")), Qt::LeftButton);
  });
  ASSERT_EQ(run("UIPrintFormat"), 0);
  EXPECT_EQ(test::pdfPageCount(pdf), 2);
  std::filesystem::remove(pdf);

  // A one-page note has no page in it.
  note("short", "one line");
  const std::string reason = "no page of the note lies in the chosen page range";
  EXPECT_EQ(run("UIPrintMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Failure: " + reason);
  EXPECT_FALSE(platform::fileExists(pdf));
  EXPECT_EQ(run("UIPrintsHolder"), 3);
  EXPECT_EQ(status(), "Failure: 2/3 not printed: " + reason);

  // Print inside the window says why and stays open; nothing it holds is kept.
  bool stillOpen = false;
  test::whenModal<TFormStringsPrint>([&](TFormStringsPrint* d) {
    d->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText("changed");
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button5")), Qt::LeftButton);
    stillOpen = d->isVisible();
  });
  rec.asked.clear();
  EXPECT_EQ(run("UIPrintFormat"), 0);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{reason});
  EXPECT_EQ(form->getStringsPrinter().Header(), "");
  std::string stored;
  platform::readFile(PrintSettingsPath(), stored);
  EXPECT_EQ(stored.find("changed"), std::string::npos);
  EXPECT_FALSE(platform::fileExists(pdf));

  // Left with Escape, the window's work reads as cancelled.
  test::whenModal<TFormStringsPrint>([](TFormStringsPrint* d) { QTest::keyClick(d, Qt::Key_Escape); });
  EXPECT_EQ(run("UIPrintFormat"), 0);
  EXPECT_EQ(status(), "Cancel: print1");
}

// ---- a print that could not start ----

class FailedPrintTest : public PrintCommandsTest {
 protected:
  TStringsPrinter& printer() { return form->getStringsPrinter(); }
  // A PDF device without a file cannot start: the state without any printer installed.
  void breakDevice() { printer().setPdfOutput(""); }
  std::string pdf() { return tmp.str("out.pdf"); }
  void expectFailure(const std::string& command) {
    EXPECT_EQ(run(command), kResultFailed) << command;
    EXPECT_EQ(status().rfind("Failure: ", 0), 0u) << command << ": " << status();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
      EXPECT_EQ(status(), "Failure: no printer found. Choose Print to File (PDF) in File > Printer Setup.");
    }
  }
};

TEST_F(FailedPrintTest, TextNoteFailsWithTheReasonThenPrintsIntoTheChosenFile) {
  note("long", test::numberedLines(300).text());
  breakDevice();
  expectFailure("UIPrintMemoNode");
  EXPECT_FALSE(platform::fileExists(pdf()));

  printer().setPdfOutput(pdf());
  ASSERT_EQ(run("UIPrintMemoNode"), 0);
  EXPECT_EQ(status(), "Done: UIPrintMemoNode long");
  ASSERT_GT(printer().printedPageCount(), 1);
  EXPECT_EQ(test::pdfPageCount(pdf()), printer().printedPageCount());
}

TEST_F(FailedPrintTest, PictureAndOtherNotesFailWithTheReasonThenPrint) {
  image("picture", Qt::red);
  breakDevice();
  expectFailure("UIPrintMemoNode");
  EXPECT_TRUE(logHas("Failure: print A : picture"));
  expectFailure("UIPrintTest");
  printer().setPdfOutput(pdf());
  ASSERT_EQ(run("UIPrintMemoNode"), 0);
  EXPECT_EQ(test::pdfPageCount(pdf()), 1);

  MemoNodeUI* other = note("sound");
  other->putContentType_("audio/x-wav");
  breakDevice();
  expectFailure("UIPrintMemoNode");
  printer().setPdfOutput(pdf());
  ASSERT_EQ(run("UIPrintMemoNode"), 0);
  EXPECT_NE(test::pdfPages(pdf()).at(0).find("A : sound"), std::string::npos);

  note("plain", "typed text");
  breakDevice();
  expectFailure("UIPrintTest");
  printer().setPdfOutput(pdf());
  ASSERT_EQ(run("UIPrintTest"), 0);
  EXPECT_NE(test::pdfPages(pdf()).at(0).find("typed text"), std::string::npos);
}

TEST_F(FailedPrintTest, NotebookPrintTellsHowManyNotesFailed) {
  note("second", "text");
  breakDevice();
  EXPECT_EQ(run("UIPrintsHolder"), 2);
  EXPECT_EQ(status().rfind("Failure: 2/2 not printed: ", 0), 0u) << status();
  static_cast<MemoNodeUI*>(holder()->getNode_(0))->setMarked_(true);
  EXPECT_EQ(run("UIPrintsMarkNode"), 1);
  EXPECT_EQ(status().rfind("Failure: 1/1 not printed: ", 0), 0u) << status();
}

}  // namespace
}  // namespace wux

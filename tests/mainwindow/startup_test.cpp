// Start-up as the program runs it: the settings file from the user's settings folder,
// the splash, the file named on the command line; then what the settings give the
// running window: fonts, drops, the version report, the application properties.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDropEvent>
#include <QFontInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "dialogs/FormAbout.h"
#include "dialogs/FormPropatyApl.h"
#include "form_fixture.h"
#include "support/file_text.h"
#include "support/gui_input.h"
#include "mainwindow/FormLog.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/records/RecordFiles.h"
#include "platform/launcher.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux {
namespace {

// Can record what start-up and drops hand to the open dispatcher instead of opening.
class StartForm : public TFormMainWUXX13c {
 public:
  bool recordOpens = false;
  std::vector<std::string> opened;
  int openResult = 0;
  int openStartFile_(const std::string& name) override {
    if (!recordOpens) return TFormMainWUXX13c::openStartFile_(name);
    opened.push_back(name);
    return openResult;
  }
  int openDroppedFile_(const std::string& name) override {
    if (!recordOpens) return TFormMainWUXX13c::openDroppedFile_(name);
    opened.push_back(name);
    return openResult;
  }
};

class StartUp : public test::FormTest<StartForm> {
 protected:
  StartUp() : FormTest({2024, 5, 6, 7, 8, 9, 123}) {
    char tmpl[] = "/tmp/wux_startup_XXXXXX";
    dir_ = mkdtemp(tmpl);
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldXdg_ = old, hadXdg_ = true;
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  }
  ~StartUp() override {
    if (hadXdg_)
      setenv("XDG_CONFIG_HOME", oldXdg_.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(dir_);
  }
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
  }
  void writeSettings(const std::string& text) {
    ASSERT_TRUE(platform::makeDirs(platform::settingsDir()));
    ASSERT_TRUE(platform::writeFileAtomic(AppSettingsPath(), text));
  }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }
  std::string log() { return form->getFormLog()->lines().text(); }
  TFrameMemoNode* editor() { return form->getNodeFrame(); }
  void drop(QWidget* target, const std::vector<std::string>& files) { test::dropFiles(target, files); }

  std::filesystem::path dir_;
  std::string oldXdg_;
  bool hadXdg_ = false;
};

TEST_F(StartUp, WithoutASettingsFileTheDefaultsStayAndTheSplashShowsBriefly) {
  const QSize before = form->size();
  EXPECT_EQ(form->_loadINIFile_(), 0);
  EXPECT_NE(log().find("Not found ini file " + AppSettingsPath()), std::string::npos) << log();
  EXPECT_EQ(AppSettingsPath(), platform::settingsDir() + ProgramName() + ".ini");
  EXPECT_EQ(AppSettingsPath().rfind((dir_ / "config" / "wux").string(), 0), 0u);
  EXPECT_TRUE(form->getFormAbout()->isVisible());
  EXPECT_EQ(form->getFormAbout()->countdown(), 1800);
  EXPECT_EQ(form->size(), before);
  EXPECT_EQ(form->getAutoSaveTime(), 0);
  EXPECT_EQ(form->getTempDir(), platform::tempDir());
}

// A settings file that is there but cannot be read is not "Not found": it says why.
TEST_F(StartUp, ASettingsFileThatIsNoFileSaysWhy) {
  ASSERT_TRUE(platform::makeDirs(platform::settingsDir()));
  ASSERT_EQ(::mkfifo(AppSettingsPath().c_str(), 0666), 0);
  EXPECT_EQ(form->_loadINIFile_(), kResultFailed);
  EXPECT_NE(log().find("Failure: Could not read ini file " + AppSettingsPath() + ": " + AppSettingsPath() +
                       " is not a regular file"),
            std::string::npos)
      << log();
}

TEST_F(StartUp, TheSettingsFileShapesTheWindow) {
  platform::makeDirs(file("tmp"));
  writeSettings("FormWidth=100\r\nFormHeight=420\r\nFormTop=-20\r\nFormLeft=30\r\n"
                "AutoSaveTime=75\r\nTempDir=" + file("tmp") + "\r\nFlagFileLock=\"true\"\r\n"
                "PeriodShowAbout=400\r\nDefaultOpenFile=start.mxa\r\nSomething=else\r\n");
  form->show();
  form->setGeometry(100, 100, 760, 560);
  EXPECT_EQ(form->_loadINIFile_(), 0);
  EXPECT_NE(log().find("Load ini file = " + AppSettingsPath()), std::string::npos);
  EXPECT_NE(log().find("Ignored in ini file " + AppSettingsPath() + ": line 10"), std::string::npos) << log();
  // 100 reads as 300, and the tool bar does not keep the window wider.
  EXPECT_EQ(form->width(), 300);
  EXPECT_EQ(form->height(), 420);
  EXPECT_EQ(form->x(), 30);
  EXPECT_EQ(form->y(), 0);
  EXPECT_EQ(form->getAutoSaveTime(), 75);
  EXPECT_EQ(form->getTempDir(), file("tmp") + "/");
  EXPECT_TRUE(form->documentSession().fileLock());
  EXPECT_EQ(form->getDefaultFilename_(), platform::currentDir() + "start.mxa");
  EXPECT_EQ(form->getFormAbout()->countdown(), 2000);
  EXPECT_TRUE(form->getFormAbout()->isVisible());
  // The splash hides itself when its time is up.
  for (int i = 0; i < 10; ++i) form->getFormAbout()->tick_();
  EXPECT_FALSE(form->getFormAbout()->isVisible());
}

TEST_F(StartUp, AnUnquotedShowFlagKeepsTheSplashAwayAndAMissingTempDirIsLogged) {
  writeSettings("FlagShowAbout=true\nTempDir=/no/such/folder\nFontSize=3\n");
  form->_loadINIFile_();
  EXPECT_EQ(form->fontSize(), 5);
  EXPECT_FALSE(form->getFormAbout()->isVisible());
  EXPECT_NE(log().find("Not found Temp Directory: /no/such/folder"), std::string::npos);
  EXPECT_EQ(form->getTempDir(), platform::tempDir());
}

TEST_F(StartUp, RandomBytesAsTheSettingsFileStillStart) {
  std::mt19937 gen(99);
  for (int round = 0; round < 20; ++round) {
    std::string text(gen() % 2000, '\0');
    for (char& c : text) c = static_cast<char>(gen());
    if (round % 3 == 0) text = "FormWidth=" + std::to_string(gen()) + "9999999\nFontSize=" + text;
    writeSettings(text);
    EXPECT_NO_THROW(form->_loadINIFile_());
    EXPECT_GE(form->width(), 1);
    EXPECT_TRUE(form->fontSize() >= kMinFontSize && form->fontSize() <= kMaxFontSize);
  }
  writeSettings("FormHeight=500\n" + std::string(2 << 20, '#'));
  EXPECT_EQ(form->_loadINIFile_(), kResultFailed);
  EXPECT_NE(log().find("Failure: Could not read ini file " + AppSettingsPath()), std::string::npos);
  EXPECT_EQ(form->openArg1_({file("nothing.mxa")}), 0);
  EXPECT_EQ(status(), "Done: Not Found " + file("nothing.mxa"));
}

TEST_F(StartUp, AMissingCommandLineFileNamesTheNewDocument) {
  const std::string name = file("fresh");
  EXPECT_EQ(form->openArg1_({"  " + name + " "}), 0);
  EXPECT_TRUE(form->opened.empty());
  EXPECT_EQ(status(), "Done: Not Found " + name);
  EXPECT_NE(log().find("Not found \"" + name + "\""), std::string::npos);
  EXPECT_TRUE(form->getMemoFile()->modified);
  EXPECT_EQ(form->getMemoFile()->getFileName_(), name);
  const std::string caption = form->windowTitle().toStdString();
  EXPECT_EQ(caption.substr(caption.size() - name.size()), name);
  EXPECT_TRUE(form->getFormLog()->isVisible());
  // The first close asks whether to save what has no file yet.
  rec.answers.push_back(Answer::No);
  form->close();
  EXPECT_FALSE(rec.messages().empty());
}

TEST_F(StartUp, AnArchiveNamedWithoutExtensionIsUnpackedAndOpened) {
  // x.maz holds a document whose one notebook has one note.
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  platform::makeDirs(file("src"));
  d->putFileName_(file("src/x.mxa"));
  MemoHolder* h = d->addNewHolder_(-1);
  std::string actual;
  h->putName_("Packed", actual);
  h->loaded = true;
  MemoNode* n = h->newNode_();
  n->body().setText("inside");
  h->addNode_(n, "note");
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*d, file("src/x.mxa"), false, report));
  ASSERT_GT(d->saveMAZ_(file("x.maz")), 0);
  form->getCurrentHolder()->modified = false;  // the new document, its question answered

  EXPECT_EQ(form->openArg1_({file("x")}), 0);
  EXPECT_EQ(status(), "Done: Loaded " + file("x.maz"));
  EXPECT_EQ(form->getMemoFile()->getFileName_(), file("x.mxa"));
  EXPECT_EQ(form->getCurrentNode()->body()[0], "inside");
  EXPECT_TRUE(platform::fileExists(file("Packed.mxh")));

  // Another document dropped on the window opens in a program of its own.
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  // Its notebook file beside it came from the archive, not from this copy of the document.
  HolderSavePolicy overwrite;
  overwrite.foreign = [](MemoHolder&, const std::string&, std::string&) { return ForeignAnswer::Overwrite; };
  ASSERT_TRUE(SaveDocumentAndHolders(*d, file("other.mxa"), false, report, overwrite));
  drop(editor()->MemoNode0()->viewport(), {file("other.mxa")});
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].argument, file("other.mxa"));
  EXPECT_EQ(form->getMemoFile()->getFileName_(), file("x.mxa"));
}

TEST_F(StartUp, AFileThatCannotBeOpenedIsNotReportedLoaded) {
  form->recordOpens = true;
  form->openResult = kResultFailed;
  platform::writeFileAtomic(file("x.mxa"), "document");
  form->openArg1_({file("x")});
  EXPECT_EQ(form->opened, (std::vector<std::string>{file("x.mxa")}));
  EXPECT_EQ(status(), "Failure: Open Arg1 " + file("x.mxa"));
}

TEST_F(StartUp, WithoutArgumentsTheDefaultDocumentOfTheCurrentFolder) {
  const std::string before = platform::currentDir();
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  form->recordOpens = true;
  writeSettings("DefaultOpenFile=diary.txt\n");
  form->_loadINIFile_();
  platform::writeFileAtomic(file("diary.maz"), "archive");
  form->openArg1_({});
  EXPECT_EQ(form->opened, (std::vector<std::string>{platform::currentDir() + "diary.maz"}));
  ASSERT_EQ(chdir(before.c_str()), 0);
}

TEST_F(StartUp, FontStepsThroughTheCommandTable) {
  form->setFontSize(25);
  EXPECT_EQ(form->commands().run("UIFontSizeInc"), 27);
  EXPECT_EQ(status(), "Done: Increment FontSize 27");
  form->setFontSize(9);
  EXPECT_EQ(form->commands().run("UIFontSizeDec"), 8);
  EXPECT_EQ(status(), "Done: Decrement FontSize 8");
  form->setFontSize(5);
  EXPECT_EQ(form->commands().run("UIFontSizeDec"), 5);
  EXPECT_EQ(QFontInfo(form->font()).pointSize(), 5);

  form->chooseFont = [](QFont& f) {
    f.setPointSize(14);
    return true;
  };
  EXPECT_EQ(form->commands().run("UIFontDialog"), 14);
  EXPECT_EQ(status().rfind("FontSize=14 FontName=", 0), 0u) << status();
  form->chooseFont = [](QFont&) { return false; };
  EXPECT_EQ(form->commands().run("UIFontDialog"), 14);
  form->beginDoing_("Busy");
  EXPECT_EQ(form->commands().run("UIFontDialog"), kResultFailed);
  form->endDoing();
}

TEST_F(StartUp, DroppedFilesFollowTheDropMode) {
  const std::string a = file("a.txt"), b = file("b.txt");
  platform::writeFileAtomic(a, "line one\r\nline two\r\n");
  platform::writeFileAtomic(b, "b");
  QWidget* memo = editor()->MemoNode0()->viewport();
  form->recordOpens = true;

  form->settings().dropMode = Settings::DropFullName;
  drop(memo, {a, b});
  EXPECT_EQ(editor()->MemoNode0()->toPlainText().toStdString(), a + "\n" + b);
  editor()->MemoNode0()->clear();
  form->settings().dropMode = Settings::DropFileName;
  drop(memo, {a, b});
  EXPECT_EQ(editor()->MemoNode0()->toPlainText().toStdString(), "a.txt\nb.txt");
  EXPECT_TRUE(form->opened.empty());

  form->settings().dropMode = Settings::DropOpen;
  drop(memo, {a, b});
  EXPECT_EQ(form->opened, (std::vector<std::string>{a, b}));
  drop(editor()->Memo_comment()->viewport(), {a});
  EXPECT_EQ(editor()->Memo_comment()->toPlainText().toStdString(), "line one\nline two");
  drop(editor()->Memo_Fields()->viewport(), {a});
  drop(editor()->Memo_Fields()->viewport(), {b});
  EXPECT_EQ(editor()->Memo_Fields()->toPlainText().toStdString(), "Link=\"" + b + "\"");
  EXPECT_EQ(form->opened.size(), 2u);
  // Over the note list, where notes are dragged too, a file still goes to the window.
  auto* list = dynamic_cast<QAbstractItemView*>(form->getCurrentHolder()->getViewControl_());
  ASSERT_NE(list, nullptr);
  drop(list->viewport(), {b});
  EXPECT_EQ(form->opened, (std::vector<std::string>{a, b, b}));

  // A read-only note takes nothing by a drop.
  editor()->setReadOnly_(true);
  form->settings().dropMode = Settings::DropFullName;
  drop(memo, {a});
  EXPECT_EQ(status(), "Stop: This MemoNode is Read Only.");
}

TEST_F(StartUp, AUtf8FileDroppedOnTheCommentGoesInAsItsCharacters) {
  const std::string utf8 = file("u.txt"), shiftJis = file("s.txt");
  platform::writeFileAtomic(utf8, "\xEF\xBB\xBF東京都\r\né café\n");
  platform::writeFileAtomic(shiftJis, sj("東京都\r\n"));
  form->settings().dropMode = Settings::DropOpen;
  drop(editor()->Memo_comment()->viewport(), {utf8});
  drop(editor()->Memo_comment()->viewport(), {shiftJis});
  EXPECT_EQ(editor()->Memo_comment()->toPlainText(), QString::fromUtf8("東京都\né café\n東京都"));
}

TEST_F(StartUp, ATooLargeDroppedFileIsRefused) {
  const std::string big = file("big.txt");
  platform::writeFileAtomic(big, std::string(3145729, 'x'));
  drop(editor()->Memo_comment()->viewport(), {big});
  EXPECT_EQ(status(), "Too Large 3MB Over " + big);
  // Refused by its size before any of it is read: a terabyte would never fit in memory.
  const std::string huge = file("huge.txt");
  ASSERT_TRUE(platform::writeFileAtomic(huge, ""));
  std::filesystem::resize_file(huge, 1ULL << 40);
  drop(editor()->Memo_comment()->viewport(), {huge});
  EXPECT_EQ(status(), "Too Large 3MB Over " + huge);
  EXPECT_TRUE(editor()->Memo_comment()->toPlainText().isEmpty());
}

TEST_F(StartUp, VersionReport) {
  form->resize(640, 480);
  form->commands().run("UIVersion");
  ASSERT_EQ(rec.messages().size(), 1u);
  const std::string text = rec.messages()[0];
  EXPECT_EQ(rec.kindOf(text), BoxKind::Confirmation);
  EXPECT_NE(text.find("\nVersion 00.15.05f\nPrototype May 23, 2004\n(left,top)=("), std::string::npos) << text;
  EXPECT_NE(text.find("(width,height)=(640,480)\n\n"), std::string::npos) << text;
  EXPECT_NE(text.find("The count of Holders is 1\nThe count of MemoNodes is 1\naFields.count = "),
            std::string::npos)
      << text;
  EXPECT_NE(status().find(" Ver 00.15.05f May 23, 2004"), std::string::npos);
}

TEST_F(StartUp, DoneButtonEndsTheOperationAndSaysWhen) {
  form->beginDoing_("Long Work");
  ASSERT_TRUE(form->isDoing_());
  auto* done = form->findChild<QAbstractButton*>(QStringLiteral("DoneBtn2"));
  ASSERT_NE(done, nullptr);
  QTest::mouseClick(done, Qt::LeftButton);
  EXPECT_FALSE(form->isDoing_());
  EXPECT_EQ(status(), "Done: 2024/05/06 07:08:09:123");
}

TEST_F(StartUp, ApplicationPropertiesEditTheRunningSettings) {
  form->putAutoSaveTime_(90);
  form->setFontSize(11);
  TFormPropatyApl* props = form->getFormPropatyApl();
  props->chooseDirectory = [&](std::string& d) {
    d = dir_.string();
    return true;
  };
  form->chooseFont = [](QFont& f) {
    f.setPointSize(16);
    return true;
  };
  QTimer::singleShot(0, props, [&] {
    EXPECT_EQ(props->windowTitle().toStdString(), "Application Propaty");
    EXPECT_EQ(props->Edit_AutoSaveTime()->text().toStdString(), "90");
    props->Edit_AutoSaveTime()->setText("120x");
    props->Button6Click();
    props->FontBtnClick();
    props->accept();
  });
  EXPECT_EQ(form->commands().run("UIShowApplicationPropaty"), 0);
  EXPECT_EQ(form->getAutoSaveTime(), 120);
  EXPECT_EQ(form->getTempDir(), dir_.string() + "/");
  // The font chosen from the window lasts after it closes.
  EXPECT_EQ(form->fontSize(), 16);
  EXPECT_EQ(status().rfind("Close FormPropatyAPL2024/05/06 07:08:09:123", 0), 0u) << status();
}

}  // namespace
}  // namespace wux

namespace wux {
namespace {

TEST_F(StartUp, TheTemporaryFolderInUseIsTheOneThePropertiesWindowShowsAndOpens) {
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher(&launcher);
  TFormPropatyApl* props = form->getFormPropatyApl();
  ASSERT_EQ(props->getTempDir(), "");
  // With none set, "Explorer" opens the folder the program uses, and the chooser of
  // "SetTempDir" starts there.
  test::click(props, QStringLiteral("Explorer"));
  EXPECT_TRUE(rec.messages().empty());
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "explore");
  EXPECT_EQ(launcher.calls[0].target, platform::tempDir());
  std::string startedAt;
  props->chooseDirectory = [&](std::string& d) {
    startedAt = d;
    return false;
  };
  test::click(props, QStringLiteral("SetTempDir"));
  EXPECT_EQ(startedAt, platform::tempDir());

  // The folder is stored trimmed, from wherever it comes.
  form->putTempDir_("  " + dir_.string() + "/  ");
  EXPECT_EQ(form->getTempDir(), dir_.string() + "/");
  EXPECT_EQ(props->getTempDir(), dir_.string() + "/");
}

class StartUpDocument : public StartUp {
 protected:
  // Start-up in the scratch folder, whose default document is not there yet.
  void startWithoutDefaultFile() {
    form->newMemoFile();
    const std::string before = platform::currentDir();
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    form->openArg1_({});
    ASSERT_EQ(chdir(before.c_str()), 0);
    ASSERT_EQ(status(), "Done: Not Found " + file("noname.mxa"));
    ASSERT_TRUE(form->getMemoFile()->modified);
  }
  std::string writeReal() {
    std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
    d->putFileName_(file("real.mxa"));
    MemoHolder* h = d->addNewHolder_(-1);
    h->loaded = true;
    MemoNode* n = h->newNode_();
    n->body().setText("real text");
    h->addNode_(n, "note");
    SaveReport report;
    EXPECT_TRUE(SaveDocumentAndHolders(*d, file("real.mxa"), false, report));
    return file("real.mxa");
  }
  int openFromMenu(const std::string& name) {
    rec.inputs = {name};
    rec.asked.clear();
    return form->commands().run("UIOpenMemoFile");
  }
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher{&launcher};
};

TEST_F(StartUpDocument, TheFirstOpenReplacesTheUntouchedStartUpDocumentInPlace) {
  const std::string real = writeReal();
  startWithoutDefaultFile();
  // A click in the view marks it modified; it still holds only what start-up made.
  form->getCurrentHolder()->modified = true;
  EXPECT_EQ(openFromMenu(real), 0);
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_EQ(form->getMemoFile()->getFileName_(), real);
  EXPECT_EQ(form->getCurrentNode()->body()[0], "real text");

  // From now on a document is the user's: another one opens in a second window.
  EXPECT_EQ(openFromMenu(real), 0);
  EXPECT_EQ(launcher.calls.size(), 1u);
}

TEST_F(StartUpDocument, OnceChangedItIsAskedAboutAndKept) {
  const std::string real = writeReal();
  const std::string startName = file("noname.mxa");
  // Typed into its note (not yet committed).
  startWithoutDefaultFile();
  editor()->MemoNode0()->setFocus();
  QTest::keyClicks(editor()->MemoNode0(), QStringLiteral("mine"));
  rec.answers = {Answer::No, Answer::No};
  EXPECT_EQ(openFromMenu(real), 0);
  ASSERT_GE(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Shall I Save a MemoFile named as \r\n" + startName);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].argument, real);
  EXPECT_EQ(form->getMemoFile()->getFileName_(), startName);

  // A notebook renamed, or one added: changed as well.
  startWithoutDefaultFile();
  std::string actual;
  form->getCurrentHolder()->putName_("Diary", actual);
  rec.answers = {Answer::No, Answer::No};
  EXPECT_EQ(openFromMenu(real), 0);
  EXPECT_FALSE(rec.messages().empty());
  EXPECT_EQ(launcher.calls.size(), 2u);
  startWithoutDefaultFile();
  ASSERT_EQ(form->commands().run("UINewHolder"), 0);
  rec.answers = {Answer::No, Answer::No, Answer::No};
  EXPECT_EQ(openFromMenu(real), 0);
  EXPECT_EQ(launcher.calls.size(), 3u);
  EXPECT_EQ(form->getMemoFile()->getFileName_(), startName);
}

// Closes the window through a close event, as its close button, Exit and Ctrl+Q do.
void closeWindow(TFormMainWUXX13c& form) {
  form.show();
  form.close();
}

TEST_F(StartUpDocument, TheStartUpDocumentAsksBeforeWritingOverANotebookFileItNeverWrote) {
  writeReal();  // its notebook has every new notebook's name, "new"
  const std::string theirs = file("new.mxh");
  const std::string before = test::fileText(theirs);
  startWithoutDefaultFile();

  // Enter at every question: No to writing over it opens the dialog for another file;
  // cancelled there, the close is cancelled and nothing at all is written.
  rec.asked.clear();
  closeWindow(*form);
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(rec.asked.size(), 4u);
  EXPECT_NE(rec.asked[2].text.find(theirs + " already exists, and this document did not write it"), std::string::npos)
      << rec.asked[2].text;
  EXPECT_EQ(rec.asked[2].defaultButton, Answer::No);
  EXPECT_EQ(rec.asked[3].kind, "save");
  EXPECT_EQ(test::fileText(theirs), before);
  EXPECT_FALSE(platform::fileExists(file("noname.mxa")));
  EXPECT_TRUE(status().starts_with("Cancel: ") && status().find(theirs) != std::string::npos) << status();
  EXPECT_TRUE(form->getCurrentHolder()->modified);
}

// Another window holds the document locked: the new empty document left in its place
// has nothing to save until the user changes it, and then asks as any new one does.
TEST_F(StartUpDocument, AfterALockRefusalTheNewDocumentAsksNothingUntilChanged) {
  const std::string other = writeReal();
  const std::string theirs = file("new.mxh");
  const std::string before = test::fileText(theirs);
  const int fd = ::open(other.c_str(), O_RDWR);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  // Started in that folder, where the new document's files go.
  struct InFolder {
    std::string before = platform::currentDir();
    ~InFolder() { EXPECT_EQ(chdir(before.c_str()), 0); }
  } inFolder;
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  form->documentSession().setFileLock(true);
  form->openArg1_({other});
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Could Not Open " + other + " FlagFileLock=true"});

  rec.asked.clear();
  closeWindow(*form);
  EXPECT_TRUE(rec.asked.empty()) << rec.asked[0].text;
  EXPECT_FALSE(form->isVisible());

  // Changed: every question names the full path, and the other window's notebook stays.
  form->show();
  form->getNodeFrame()->MemoNode0()->setFocus();
  QTest::keyClicks(form->getNodeFrame()->MemoNode0(), QStringLiteral("mine"));
  rec.asked.clear();
  rec.answers = {Answer::Cancel};
  EXPECT_LT(form->commands().run("UISaveFileWithMSG"), 0);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Could I save the file named \"" + file("noname.mxa") + "\" ?"});
  rec.asked.clear();
  closeWindow(*form);
  ASSERT_EQ(rec.asked.size(), 3u);
  EXPECT_EQ(rec.asked[0].text, "Sould I Save a MemoHolder named as \"\r\n" + theirs + "\" ?");
  EXPECT_EQ(rec.asked[1].defaultButton, Answer::No);
  EXPECT_EQ(rec.asked[2].kind, "save");
  EXPECT_EQ(test::fileText(theirs), before);
  ::close(fd);
}

TEST_F(StartUp, AFolderOrAnAddressOnTheCommandLineOpensAsFileOpenOpensIt) {
  ASSERT_TRUE(platform::makeDirs(file("notes")));
  EXPECT_EQ(form->openArg1_({file("notes")}), 1);
  EXPECT_EQ(status(), "Done: Loaded " + file("notes"));
  EXPECT_EQ(form->getCurrentNode()->getField_("Content-Transfer-Encoding"), "\"URL\"");
  EXPECT_EQ(log().find("Not found"), std::string::npos);
  EXPECT_NE(form->getMemoFile()->getFileName_(), file("notes"));

  form->recordOpens = true;
  form->openArg1_({"https://example.com/page.mxa"});
  EXPECT_EQ(form->opened, (std::vector<std::string>{"https://example.com/page.mxa"}));
  EXPECT_EQ(status(), "Done: Loaded https://example.com/page.mxa");
}

// A saved document opened from the command line and closed untouched: nothing to save.
TEST_F(StartUpDocument, ADocumentOpenedFromTheCommandLineAndLeftAloneClosesWithoutAQuestion) {
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  d->putFileName_(file("kept.mxa"));
  for (const char* name : {"First", "Second"}) {
    MemoHolder* h = d->addNewHolder_(-1);
    std::string actual;
    h->putName_(name, actual);
    h->loaded = true;
    for (const char* text : {"one", "two"}) {
      MemoNode* n = h->newNode_();
      n->body().setText(text);
      h->addNode_(n, text);
    }
    h->putCurrentNode_(h->getNode_(1));
  }
  d->putField_("CurrentHolder", "\"Second\"");
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*d, file("kept.mxa"), false, report));

  // One written by hand, its notebook not read until shown.
  platform::writeFileAtomic(file("hand.mxa"),
                            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<!-- 20260101 090000 -->\r\n"
                            "<!DOCTYPE File [<!ENTITY quot \"&#34;\">]>\r\n<File name=\"hand\">\r\n"
                            "  <Holder name=\"Book\">\r\n    <Field FlagLoaded=\"false\" />\r\n  </Holder>\r\n"
                            "</File>\r\n");
  platform::writeFileAtomic(file("Book.mxh"),
                            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<!-- 20260101 090000 -->\r\n"
                            "<!DOCTYPE Holder [<!ENTITY quot \"&#34;\">]>\r\n<Holder name=\"Book\">\r\n"
                            "  <Field ModeNodesMngr=\"CheckListBox\"/>\r\n"
                            "  <Record name=\"first\">\r\n    <Field UID=\"F1\" />\r\nfirst text<BR/>\r\n  </Record>\r\n"
                            "  <Record name=\"second\">\r\n    <Field UID=\"S2\" />\r\nsecond text<BR/>\r\n  </Record>\r\n"
                            "</Holder>\r\n");

  form->show();
  for (const char* name : {"kept.mxa", "hand.mxa"}) {
    SCOPED_TRACE(name);
    form->newMemoFile();
    EXPECT_EQ(form->openArg1_({file(name)}), 0);
    ASSERT_EQ(status(), "Done: Loaded " + file(name));
    EXPECT_EQ(form->getCurrentHolder()->name(), name == std::string("kept.mxa") ? "Second" : "Book");
    QCoreApplication::processEvents();
    rec.asked.clear();
    rec.answers = {Answer::Cancel, Answer::Cancel, Answer::Cancel};
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(rec.messages().empty()) << rec.messages()[0];
  }
}

}  // namespace
}  // namespace wux

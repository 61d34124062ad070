// The document workflow through the window and its command table: what each kind of
// name opens, the texts of the open and save questions, save and save as, the close
// question, the file-lock mode and failed writes.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <unistd.h>


#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "model/lists.h"
#include "model/records/MemoHolder.h"
#include "model/text/sjis.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "support/file_text.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/QtPrompter.h"
#include "views/qtext.h"
#include "views/views_support.h"
#include "support/shortcut_bytes.h"

namespace wux {
namespace {

using Books = std::vector<std::pair<std::string, std::string>>;  // notebook name, note text

// Keeps every status text, also those a later one replaces at once.
class StatusForm : public TFormMainWUXX13c {
 public:
  std::vector<std::string> said;
  void messageDoing_(const std::string& text) override {
    said.push_back(text);
    TFormMainWUXX13c::messageDoing_(text);
  }
};

class DocumentTest : public test::FormTest<StatusForm> {
 protected:
  DocumentTest() : FormTest({2026, 12, 6, 9, 0, 0, 0}) {}
  void SetUp() override {
    FormTest::SetUp();
    fresh();
  }
  // The new document as start-up leaves it, its save question already answered.
  void fresh() {
    form->newMemoFile();
    form->getCurrentHolder()->modified = false;
  }
  DocumentSession& session() { return form->documentSession(); }
  MemoFileUI* doc() { return form->getMemoFile(); }
  int run(const std::string& command) { return form->commands().run(command); }
  std::string path(const std::string& name) { return tmp.str(name); }
  // A document on disk with one note per notebook; answers its path.
  std::string writeDoc(const std::string& file, const Books& books) {
    std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
    platform::makeDirs(platform::dirOf(file));
    d->putFileName_(file);
    for (const auto& [name, text] : books) {
      MemoHolder* h = d->addNewHolder_(-1);
      std::string actual;
      h->putName_(name, actual);
      h->loaded = true;
      MemoNode* n = h->newNode_();
      n->body().setText(text);
      h->addNode_(n, "note");
    }
    SaveReport report;
    EXPECT_TRUE(SaveDocumentAndHolders(*d, file, false, report));
    return file;
  }
  std::string noteText() {
    const StringList& b = form->getCurrentNode()->body();
    return b.count() ? b[0] : std::string();
  }

  test::TempDir tmp;
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher useLauncher{&launcher};
};

TEST_F(DocumentTest, DocumentsOpenInPlaceOnlyOverTheUntouchedNewDocument) {
  const std::string first = writeDoc(path("first.mxa"), {{"One", "one text"}, {"Two", "two text"}});
  // Work typed into the new document is asked about before a dropped file replaces it.
  form->getCurrentHolder()->modified = true;
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(session().open_(first), kResultOpenRefused);
  EXPECT_EQ(rec.messages().back().rfind("Sould I Save a MemoHolder named as", 0), 0u);
  EXPECT_EQ(doc()->getFileName_(), "noname.mxa");
  rec.answers = {Answer::No};
  EXPECT_EQ(session().open_(first), 0);
  EXPECT_EQ(doc()->getFileName_(), first);
  EXPECT_NE(fromQ(form->windowTitle()).find(first), std::string::npos);
  EXPECT_EQ(doc()->getHolderCount_(), 2);
  EXPECT_EQ(noteText(), "one text");
  EXPECT_FALSE(doc()->modified);
  EXPECT_TRUE(launcher.calls.empty());

  // Another document gets a program of its own, its name one argument as it is.
  const std::string odd = writeDoc(path("a \"quoted\" name.mxa"), {{"X", "x"}});
  EXPECT_EQ(session().open_(odd), 0);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "start");
  EXPECT_EQ(launcher.calls[0].target, session().programPath());
  EXPECT_EQ(launcher.calls[0].argument, odd);
  EXPECT_EQ(doc()->getFileName_(), first);  // this window keeps its document
}

TEST_F(DocumentTest, ArchivesAndCompressedFilesUnpackThenOpen) {
  const std::string source = writeDoc(path("src/packed.mxa"), {{"Packed", "inside"}});
  (void)source;
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*d, path("src/packed.mxa"), messages), 0);
  ASSERT_GT(d->saveMAZ_(path("packed.maz")), 0);

  EXPECT_EQ(session().open_(path("packed.maz")), 0);
  EXPECT_EQ(doc()->getFileName_(), path("packed.mxa"));
  EXPECT_EQ(noteText(), "inside");
  EXPECT_TRUE(platform::fileExists(path("Packed.mxh")));
  EXPECT_TRUE(rec.messages().empty());

  // Unpacking again asks before replacing a file that differs; Cancel keeps the file.
  fresh();
  ASSERT_TRUE(platform::writeFileAtomic(path("packed.mxa"), test::fileText(path("packed.mxa")) + "\r\n"));
  std::filesystem::last_write_time(path("packed.mxa"),
                                  std::filesystem::last_write_time(path("packed.maz")) - std::chrono::minutes(1));
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(session().open_(path("packed.maz")), 0);
  const auto asked = rec.messages();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "Overwrite OK? " + path("packed.mxa"));

  // A ".z" file is inflated beside itself, then opened by what it is.
  StringList lines;
  lines.setText("compressed note text");
  ASSERT_GE(SaveStringsCompressed(lines, path("note.txt.z")), 0);
  EXPECT_EQ(session().open_(path("note.txt.z")), 0);
  EXPECT_TRUE(platform::fileExists(path("note.txt")));
  EXPECT_EQ(fromQ(toQ(form->getCurrentNode()->name())), path("note.txt"));
}

TEST_F(DocumentTest, NotebooksFoldersOtherFilesAndNamesWithoutExtension) {
  const std::string home = writeDoc(path("home.mxa"), {{"Memo", "memo text"}});
  ASSERT_EQ(session().open_(home), 0);
  writeDoc(path("other/book.mxa"), {{"Book", "book text"}, {"memo", "other memo"}});

  // A notebook file of another folder opens read-only, kept where it is.
  EXPECT_EQ(session().open_(path("other/Book.mxh")), 0);
  MemoHolderUI* book = form->getCurrentHolder();
  EXPECT_EQ(book->name(), "Book");
  EXPECT_EQ(noteText(), "book text");
  EXPECT_EQ(book->getField_("FlagAbsolutePath"), "\"true\"");
  EXPECT_TRUE(book->isReadOnly_());
  EXPECT_TRUE(doc()->modified);

  // A notebook of a name already open: reload, another name, or nothing.
  const std::string question = path("other/memo.mxh") + "\r\nStill opened. \"MEMO\"\r\n" +
                               "Could I Reload ?(=Yes) / Open OtherName(=No) or (CANCEL) ";
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(session().open_(path("other/memo.mxh")), kResultFailed);
  EXPECT_EQ(rec.messages().back(), question);
  EXPECT_EQ(doc()->getHolderCount_(), 2);
  rec.answers = {Answer::No};
  EXPECT_EQ(session().open_(path("other/memo.mxh")), 0);
  EXPECT_EQ(form->getCurrentHolder()->name(), "memo_00");
  EXPECT_EQ(noteText(), "other memo");
  // Yes reads the file again into the notebook that lives in it, on screen or not; else
  // into the notebook of that name.
  MemoHolderUI* memo = static_cast<MemoHolderUI*>(doc()->getHolder_(0));
  MemoHolderUI* other = static_cast<MemoHolderUI*>(doc()->getHolder_(2));
  form->changeCurrentHolder(memo);
  EXPECT_EQ(noteText(), "memo text");
  rec.answers = {Answer::Yes, Answer::OK};
  EXPECT_EQ(session().open_(path("other/memo.mxh")), 0);
  EXPECT_EQ(form->getCurrentHolder(), other);
  EXPECT_EQ(other->getNodeCount_(), 1);
  EXPECT_EQ(noteText(), "other memo");

  // Without an extension the document kinds are tried in order: x.mxh only when
  // neither x.mxa nor x.maz is there.
  writeDoc(path("three/x.mxa"), {{"X", "x"}});
  std::remove(path("three/x.mxa").c_str());
  EXPECT_EQ(session().open_(path("three/X")), 0);
  EXPECT_EQ(form->getCurrentHolder()->name(), "X");
  EXPECT_EQ(session().open_(path("three/none")), kResultFailed);

  // A folder makes a URL note (1); any other file a note of its text (0).
  memo->putField_("FlagReadOnly", "\"false\"");
  form->changeCurrentHolder(memo);
  EXPECT_EQ(session().open_(path("other")), 1);
  EXPECT_EQ(form->getCurrentNode()->getField_("Content-Transfer-Encoding"), "\"URL\"");
  ASSERT_TRUE(platform::writeFileAtomic(path("plain.txt"), "plain words\r\n"));
  EXPECT_EQ(session().open_(path("plain.txt")), 0);
  EXPECT_EQ(form->getCurrentNode()->name(), path("plain.txt"));

  // A download that fails answers -1; the command says so.
  EXPECT_EQ(session().open_("http://127.0.0.1:1/nothing.mxa"), kResultFailed);
  rec.inputs = {"http://127.0.0.1:1/nothing.mxa"};
  rec.answers = {Answer::No, Answer::No, Answer::No, Answer::No, Answer::No};
  EXPECT_EQ(run("UIOpenURL"), kResultFailed);
  EXPECT_EQ(status(), "Can not load \"http://127.0.0.1:1/nothing.mxa\".");
  EXPECT_EQ(rec.kindOf("Can not load \"http://127.0.0.1:1/nothing.mxa\"."), BoxKind::Confirmation);

  // One that is there but is no file is not passed over: the user reads why.
  ASSERT_EQ(::mkfifo(path("three/pipe.mxa").c_str(), 0600), 0);
  EXPECT_EQ(session().open_(path("three/pipe")), kResultFailed);
  EXPECT_EQ(rec.messages().back(), "Could Not Open " + path("three/pipe.mxa") + " FlagFileLock=false");
}

TEST_F(DocumentTest, ShortcutsOpenTheirTarget) {
  writeDoc(path("linked/doc.mxa"), {{"Linked", "linked text"}});
  ASSERT_TRUE(platform::writeFileAtomic(path("book.lnk"), test::shortcutBytes(path("linked/"), "Linked.mxh")));
  EXPECT_EQ(session().open_(path("book.lnk")), 0);
  EXPECT_EQ(form->getCurrentHolder()->name(), "Linked");
  EXPECT_EQ(noteText(), "linked text");

  ASSERT_TRUE(platform::writeFileAtomic(path("gone.lnk"), test::shortcutBytes("D:\\gone\\", "x.mhz")));
  EXPECT_EQ(session().open_(path("gone.lnk")), kResultFailed);
  EXPECT_NE(status().find("D:\\gone\\x.mhz"), std::string::npos);
}

TEST_F(DocumentTest, ShortDamagedAndReopenedDocuments) {
  ASSERT_TRUE(platform::writeFileAtomic(path("short.mxa"), "<File name=\"s\"></File>"));
  session().open_(path("short.mxa"));
  EXPECT_TRUE(logHas("Too Short Size: " + path("short.mxa")));
  EXPECT_EQ(doc()->getFileName_(), path("short.mxa"));

  fresh();
  const std::string words(120, 'w');
  ASSERT_TRUE(platform::writeFileAtomic(path("words.mxa"), words));
  session().open_(path("words.mxa"));
  EXPECT_TRUE(logHas("Too Short Word: " + path("words.mxa")));
  EXPECT_TRUE(logHas(words));

  fresh();
  const std::string noFile =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<Other name=\"x\">\r\n<Holder name=\"a\"></Holder>\r\n"
      "</Other>\r\n";
  ASSERT_TRUE(platform::writeFileAtomic(path("nofile.mxa"), noFile));
  session().open_(path("nofile.mxa"));
  EXPECT_TRUE(logHas("BAT File: not found <File> " + path("nofile.mxa")));
  EXPECT_EQ(doc()->getHolderCount_(), 1);  // a usable document all the same

  // The open document again: asked first; Cancel leaves it as it is.
  fresh();
  const std::string file = writeDoc(path("again.mxa"), {{"A", "a"}});
  ASSERT_EQ(session().open_(file), 0);
  form->getCurrentNode()->body().setText("edited");
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(session().openMemoFile(file), 0);
  EXPECT_EQ(rec.messages().back().rfind(file + " ", 0), 0u);
  EXPECT_EQ(noteText(), "edited");
}

TEST_F(DocumentTest, SaveAndSaveAs) {
  const std::string file = writeDoc(path("doc.mxa"), {{"One", "1"}, {"Two", "2"}});
  ASSERT_EQ(session().open_(file), 0);
  doc()->modified = true;

  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UISaveFileWithMSG"), kResultFailed);
  EXPECT_EQ(rec.messages().back(), "Could I save the file named \"" + file + "\" ?");
  EXPECT_EQ(status(), "Cancel: UISaveFileWithMSG");
  EXPECT_TRUE(doc()->modified);

  const int n = run("UISaveFileWithoutMSG");
  EXPECT_EQ(n, static_cast<int>(test::fileText(file).size()));
  EXPECT_EQ(status(), "Done: Save MemoFole Size=" + std::to_string(n) + "bytes  " + file);
  EXPECT_FALSE(doc()->modified);

  // A folder that is not there is made only when the user agrees.
  doc()->putFileName_(path("new/sub/doc.mxa"));
  rec.answers = {Answer::Cancel};
  EXPECT_EQ(run("UISaveFileWithoutMSG"), kResultFailed);
  EXPECT_EQ(rec.messages().back(), "Make Directory ?  \"" + path("new/sub/") + "\"");
  EXPECT_FALSE(platform::dirExists(path("new")));
  EXPECT_GT(run("UISaveFileWithoutMSG"), 0);
  EXPECT_TRUE(platform::fileExists(path("new/sub/doc.mxa")));
  doc()->putFileName_(file);

  // The notebooks alone.
  form->getCurrentHolder()->modified = true;
  form->getCurrentNode()->body().setText("changed one");
  EXPECT_EQ(run("UISaveAllHolders"), 0);
  EXPECT_EQ(status(), "Done: Save All Holders");
  EXPECT_NE(test::fileText(path("One.mxh")).find("changed one"), std::string::npos);

  // Save as into another folder takes every notebook along, the unread one too.
  rec.inputs = {path("moved/doc2.mxa")};
  ASSERT_TRUE(platform::makeDirs(path("moved")));
  const int m = run("UISaveAsMXA");
  EXPECT_GT(m, 0);
  EXPECT_EQ(status(), "Done: Save As MemoFile Size=" + std::to_string(m) + "bytes  " + path("moved/doc2.mxa"));
  EXPECT_TRUE(platform::fileExists(path("moved/One.mxh")));
  EXPECT_NE(test::fileText(path("moved/Two.mxh")).find("2"), std::string::npos);
  EXPECT_EQ(doc()->getFileName_(), path("moved/doc2.mxa"));

  // Saved as an archive, the plain save writes the archive again.
  rec.inputs = {path("moved/doc2.maz")};
  EXPECT_GT(run("UISaveAsMAZ"), 0);
  std::remove(path("moved/doc2.maz").c_str());
  EXPECT_GT(run("UISaveFileWithoutMSG"), 0);
  std::string unpacked;
  EXPECT_TRUE(ZInflate(test::fileText(path("moved/doc2.maz")), unpacked));
  EXPECT_NE(unpacked.find("multipart/mixed"), std::string::npos);
}

TEST_F(DocumentTest, AnArchiveNamesTheNotebooksItLeftOut) {
  const std::string file = writeDoc(path("doc.mxa"), {{"One", "1"}, {"Two", "2"}});
  ASSERT_TRUE(platform::writeFileAtomic(path("Two.mxh"), "not a notebook at all\r\n"));
  ASSERT_EQ(session().open_(file), 0);
  rec.inputs = {path("doc.maz")};
  EXPECT_GT(run("UISaveAsMAZ"), 0);
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_NE(rec.messages().back().find("Not Loaded: " + path("Two.mxh")), std::string::npos);
  EXPECT_TRUE(logHas("Not Loaded: " + path("Two.mxh")));
}

TEST_F(DocumentTest, FailedSavesKeepTheOldFileAndTheModifiedFlag) {
  const std::string file = writeDoc(path("ro/doc.mxa"), {{"One", "1"}});
  ASSERT_EQ(session().open_(file), 0);
  const std::string before = test::fileText(file);
  doc()->modified = true;
  ASSERT_EQ(::chmod(path("ro").c_str(), 0555), 0);
  const bool rootCanWrite = ::access(path("ro").c_str(), W_OK) == 0;
  if (!rootCanWrite) {
    EXPECT_EQ(run("UISaveFileWithoutMSG"), kResultFailed);
    EXPECT_EQ(status().rfind("Failure: ", 0), 0u);
    EXPECT_TRUE(doc()->modified);
    EXPECT_EQ(test::fileText(file), before);
  }
  ::chmod(path("ro").c_str(), 0755);

  // A full disk, simulated: the same, and the close question keeps the window open.
  auto previous = platform::setWriteCall([](int, const void*, std::size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  });
  EXPECT_EQ(run("UISaveFileWithoutMSG"), kResultFailed);
  EXPECT_NE(status().find("no space left on device"), std::string::npos);
  EXPECT_TRUE(doc()->modified);
  EXPECT_EQ(test::fileText(file), before);
  rec.answers = {Answer::Yes};
  EXPECT_FALSE(form->close());
  platform::setWriteCall(previous);
}

TEST_F(DocumentTest, ASaveKilledHalfWayLeavesTheOldFileWhole) {
  const std::string file = writeDoc(path("crash/doc.mxa"), {{"One", "1"}});
  ASSERT_EQ(session().open_(file), 0);
  const std::string before = test::fileText(file);
  doc()->putField_("Color", "\"clBlue\"");
  const pid_t child = ::fork();
  if (child == 0) {
    // The process dies in the middle of writing the new text.
    platform::setWriteCall([](int fd, const void* data, std::size_t size) -> ssize_t {
      (void)!::write(fd, data, size / 2);
      ::raise(SIGKILL);
      return -1;
    });
    doc()->saveToFile_(file);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(test::fileText(file), before);
  // The next save goes through and clears what the killed one left behind.
  EXPECT_GT(run("UISaveFileWithoutMSG"), 0);
  EXPECT_NE(test::fileText(file).find("clBlue"), std::string::npos);
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path("crash"))) ++files;
  EXPECT_EQ(files, 2);  // the document and its notebook
}

TEST_F(DocumentTest, StartUpOpensNotebooksEvenWhileBusy) {
  writeDoc(path("start/doc.mxa"), {{"Start", "start text"}});
  form->beginDoing_("Start-up");
  EXPECT_EQ(session().openAtStartup(path("start/Start.mxh")), 0);
  form->endDoing();
  EXPECT_EQ(form->getCurrentHolder()->name(), "Start");
  EXPECT_EQ(noteText(), "start text");
}

TEST_F(DocumentTest, TheCloseQuestion) {
  const std::string file = writeDoc(path("close.mxa"), {{"One", "1"}, {"Two", "2"}});
  ASSERT_EQ(session().open_(file), 0);
  auto* one = static_cast<MemoHolderUI*>(doc()->getHolder_(0));
  auto* two = static_cast<MemoHolderUI*>(doc()->getHolder_(1));
  auto touch = [&] {
    doc()->modified = one->modified = two->modified = true;
  };
  const std::string askDoc = "Shall I Save a MemoFile named as \r\n" + file;
  const std::string askTwo = "Sould I Save a MemoHolder named as \"\r\n" + path("Two.mxh") + "\" ?";

  touch();
  rec.answers = {Answer::No, Answer::No, Answer::Cancel};
  EXPECT_FALSE(form->close());
  EXPECT_EQ(rec.messages().front(), askDoc);
  EXPECT_EQ(rec.messages().back(), askTwo);
  EXPECT_TRUE(doc()->modified);

  // Yes saves what it is asked about, No leaves it.
  rec.asked.clear();
  rec.answers = {Answer::Yes, Answer::No, Answer::Yes};
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(doc()->modified);
  EXPECT_TRUE(one->modified);
  EXPECT_FALSE(two->modified);
  EXPECT_NE(test::fileText(path("Two.mxh")).find("Two"), std::string::npos);  // the notebook was loaded first

  // Yes to all answers every later question too, until an exit command clears it.
  touch();
  rec.asked.clear();
  rec.answers = {Answer::YesToAll};
  EXPECT_TRUE(form->close());
  EXPECT_EQ(rec.messages().size(), 1u);
  EXPECT_FALSE(one->modified);
  touch();
  EXPECT_TRUE(form->close());
  EXPECT_EQ(rec.messages().size(), 1u);
  touch();
  rec.answers = {Answer::Cancel};
  form->show();
  EXPECT_EQ(run("UIClose"), 0);
  EXPECT_EQ(rec.messages().size(), 2u);
  EXPECT_TRUE(form->isVisible());

  // While an operation runs nothing is asked and the window stays: the close stops the
  // operation, and the questions come with the next close.
  form->beginDoing_("Long");
  EXPECT_FALSE(form->close());
  EXPECT_EQ(rec.messages().size(), 2u);
  EXPECT_TRUE(form->isBreak());
  form->endDoing();
  rec.answers = {Answer::Cancel};
  EXPECT_FALSE(form->close());
  EXPECT_EQ(rec.messages().size(), 3u);
}

TEST_F(DocumentTest, OpenCommandAndTheSearchKeywords) {
  const std::string file = writeDoc(path("menu.mxa"), {{"One", "1"}});
  rec.inputs = {file};
  EXPECT_EQ(run("UIOpenMemoFile"), 0);
  EXPECT_EQ(rec.asked.back().kind, "open");
  EXPECT_EQ(rec.asked.back().text, "MXA files (*.mxa)|*.mxa|MAZ files (*.maz)|*.maz|ALL files (*.*)|*.*");
  EXPECT_EQ(doc()->getFileName_(), file);
  form->beginDoing_("busy");
  EXPECT_EQ(run("UIOpenMemoFile"), kResultOpenRefused);
  form->endDoing();

  session().addSearchKeyword_("a");
  session().addSearchKeyword_("b");
  session().addSearchKeyword_("a");
  ASSERT_EQ(session().searchKeywords().count(), 2);
  EXPECT_EQ(session().searchKeywords()[0], "a");
  EXPECT_EQ(session().searchKeywords()[1], "b");
}

// flock from another process: 0 when it got the lock.
int lockFromChild(const std::string& file) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(file.c_str(), O_RDWR);
    ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(DocumentTest, LockModeHoldsTheDocumentUntilSaveAs) {
  const std::string file = writeDoc(path("locked.mxa"), {{"One", "1"}});
  session().setFileLock(true);
  ASSERT_EQ(session().open_(file), 0);
  EXPECT_TRUE(logHas("open " + file + " FlagFileLock=true"));
  EXPECT_EQ(lockFromChild(file), 1);

  struct stat before {};
  ::stat(file.c_str(), &before);
  doc()->putField_("Color", "\"clRed\"");
  EXPECT_GT(run("UISaveFileWithoutMSG"), 0);
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);  // rewritten in place, through the lock
  EXPECT_NE(test::fileText(file).find("clRed"), std::string::npos);
  EXPECT_EQ(lockFromChild(file), 1);

  rec.inputs = {path("free.mxa")};
  EXPECT_GT(run("UISaveAsMXA"), 0);
  EXPECT_TRUE(logHas("FlagFileLock=false in TFormMainScript.saveAsMemoFile_"));
  EXPECT_EQ(lockFromChild(file), 0);
  EXPECT_FALSE(session().fileLock());

  // A document another holder has locked is not opened.
  fresh();
  session().setFileLock(true);
  const int fd = ::open(file.c_str(), O_RDWR);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  session().open_(file);
  EXPECT_EQ(rec.messages().back(), "Could Not Open " + file + " FlagFileLock=true");
  EXPECT_EQ(doc()->getFileName_(), "noname.mxa");
  ::close(fd);
}

// A notebook whose quoted value runs on over the notes after it: the sound notes are read.
std::string damagedNotebook(const std::string& file, int& line) {
  std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
  for (int i = 1; i <= 20; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "n%02d", i);
    MemoNode* n = h->newNode_();
    h->addNode_(n, name);
    n->body().setText(std::string("body ") + name);
    n->putField_("k", std::string("\"v") + name + "\"");
  }
  std::string text = h->saveToText_();
  text = sjis::replaceAll(text, "k=\"vn03\"", "k=\"vn03");
  text = sjis::replaceAll(text, "k=\"vn06\"", "k=vn06\"");
  line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + text.find("k=\"vn03"), '\n'));
  platform::writeFileAtomic(file, text);
  return file;
}

TEST_F(DocumentTest, DamagedFilesAreSaidHoweverTheyAreOpened) {
  int line = 0;
  const std::string book = damagedNotebook(path("Book.mxh"), line);
  const std::string where = book + " could not be read whole at line " + std::to_string(line);

  // From the dispatcher (File > Open, a drop): a box, the log, and a warning that stays.
  EXPECT_EQ(session().open_(book), 0);
  ASSERT_FALSE(rec.messages().empty());
  EXPECT_EQ(rec.messages().back().rfind("The file " + where + ".\r\n17 notes read.\r\n", 0), 0u)
      << rec.messages().back();
  EXPECT_EQ(status(), "Warning: " + where + "; 17 notes read");
  EXPECT_TRUE(logHas("Warning: " + where));
  EXPECT_EQ(form->getCurrentHolder()->getNodeCount_(), 17);

  // From the command line: never "Done: Loaded".
  fresh();
  rec.asked.clear();
  form->openArg1_({book});
  EXPECT_EQ(status(), "Warning: " + where + "; 17 notes read");
  EXPECT_EQ(rec.messages().size(), 1u);

  // A document whose notebook is damaged: the notebook loads with the document.
  const std::string withBook = writeDoc(path("Book.mxa"), {{"Other", "other"}});
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*d, withBook, messages), 0);
  std::string actual;
  d->addHolder_(d->newHolder_(), "Book", actual);
  d->putField_("CurrentHolder", "\"Book\"");
  ASSERT_GT(d->saveToFile_(withBook), 0);
  fresh();
  rec.asked.clear();
  form->openArg1_({withBook});
  EXPECT_EQ(form->getCurrentHolder()->name(), "Book");
  EXPECT_EQ(status(), "Warning: " + where + "; 17 notes read");
  EXPECT_EQ(rec.messages().size(), 1u);

  // A document cut short: nothing of it is opened; its own lines go to the log.
  const std::string file = writeDoc(path("cut/doc.mxa"), {{"One", "1"}, {"Two", "2"}});
  std::string text = test::fileText(file);
  platform::writeFileAtomic(file, text.substr(0, text.find("</File>")));
  const std::string failed = "Failure: " + file + " could not be read whole; 0 notes read";
  fresh();
  rec.asked.clear();
  form->openArg1_({file});
  EXPECT_EQ(status(), failed);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0].rfind("The file " + file + " could not be read whole.\r\n0 notes read.\r\n", 0), 0u);
  EXPECT_EQ(doc()->getFileName_(), "noname.mxa");
  const auto lines = logLines();
  const auto at = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
  EXPECT_LT(at("**** BAT MXA File ****"), at("******** MXA File ****"));
  EXPECT_LT(at("******** MXA File ****"), at("  <Holder name=\"Two\">"));
  EXPECT_LT(at("  <Holder name=\"Two\">"), static_cast<long>(lines.size()));

  // And from the File menu: the failure stays in the status line.
  fresh();
  rec.inputs = {file};
  EXPECT_EQ(run("UIOpenMemoFile"), kResultFailed);
  EXPECT_EQ(status(), failed);
}

// Ctrl+S with a damaged notebook changed: that file is left as it was, and the status
// line says which file and why, not only that something failed.
TEST_F(DocumentTest, SaveAllHoldersNamesTheDamagedNotebookItDidNotSave) {
  int line = 0;
  const std::string book = damagedNotebook(path("Book.mxh"), line);
  const std::string before = test::fileText(book);
  const std::string file = writeDoc(path("Book.mxa"), {{"Other", "other"}});
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*d, file, messages), 0);
  std::string actual;
  d->addHolder_(d->newHolder_(), "Book", actual);
  d->putField_("CurrentHolder", "\"Book\"");
  ASSERT_GT(d->saveToFile_(file), 0);
  form->openArg1_({file});
  ASSERT_EQ(form->getCurrentHolder()->name(), "Book");
  rec.asked.clear();

  TFrameMemoNode* editor = form->getHolderFrame()->FrameMemoNode1();
  form->show();
  QApplication::setActiveWindow(form.get());
  editor->MemoNode0()->setFocus();
  QTest::keyClicks(editor->MemoNode0(), QStringLiteral("more"));
  rec.answers = {Answer::No};  // the question whether to save over the damaged file
  QTest::keyClick(editor->MemoNode0(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(status(), "Failure: Save All Holders: " + book + " could not be read whole, not saved");
  EXPECT_EQ(test::fileText(book), before);
  EXPECT_TRUE(form->getCurrentHolder()->modified);
}

TEST_F(DocumentTest, ARenamedArchiveWhoseDocumentIsKeptOpensThatDocument) {
  writeDoc(path("src/packed.mxa"), {{"Packed", "inside"}});
  std::unique_ptr<MemoFile> d(Create<MemoFile>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*d, path("src/packed.mxa"), messages), 0);
  ASSERT_GT(d->saveMAZ_(path("packed.maz")), 0);
  std::filesystem::copy_file(path("packed.maz"), path("copy.maz"));
  ASSERT_EQ(session().open_(path("packed.maz")), 0);
  const auto firstSaid = form->said;
  EXPECT_NE(std::find(firstSaid.begin(), firstSaid.end(), "Save " + path("packed.mxa")), firstSaid.end());
  EXPECT_NE(std::find(firstSaid.begin(), firstSaid.end(), "Save " + path("Packed.mxh")), firstSaid.end());

  // The copy's parts are already there byte for byte: nothing is asked, and the
  // document they name opens.
  fresh();
  form->said.clear();
  EXPECT_EQ(session().open_(path("copy.maz")), 0);
  EXPECT_EQ(doc()->getFileName_(), path("packed.mxa"));
  EXPECT_EQ(noteText(), "inside");
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_FALSE(platform::fileExists(path("copy.mxa")));
  EXPECT_NE(std::find(form->said.begin(), form->said.end(), "Save " + path("packed.mxa")), form->said.end());
}

// A text file opened from the File menu (or the command line, or a drop) whose UTF-8
// holds characters Shift_JIS cannot says which ones became "?", as New Node > File does.
TEST_F(DocumentTest, AFileOpenedAsANoteNamesTheCharactersItLost) {
  const std::string file = path("cafe.txt");
  ASSERT_TRUE(platform::writeFileAtomic(file, "\xC3\xA9 caf\xC3\xA9\n\xE2\x82\xAC" "100\n"));
  const std::string lost = "Warrning: not stored in Shift_JIS: U+00E9 U+20AC in " + file;
  rec.inputs = {file};
  EXPECT_EQ(run("UIOpenMemoFile"), 0);
  EXPECT_EQ(form->getCurrentNode()->name(), file);
  EXPECT_EQ(noteText(), "? caf?");
  EXPECT_EQ(status(), lost);
  EXPECT_TRUE(logHas(lost));
  // Named on the command line, the start-up's closing status says it too.
  fresh();
  EXPECT_EQ(form->openArg1_({file}), 0);
  EXPECT_EQ(form->getCurrentNode()->name(), file);
  EXPECT_EQ(status(), lost);

  // A file that loses nothing leaves no such word.
  ASSERT_TRUE(platform::writeFileAtomic(path("plain.txt"), "plain words\r\n"));
  form->said.clear();
  EXPECT_EQ(session().open_(path("plain.txt")), 0);
  for (const std::string& said : form->said) EXPECT_EQ(said.find("Warrning"), std::string::npos) << said;
}

// A notebook file there but unreadable (a link loop, a folder) is no missing file: the
// box says why, and it is not saved over unasked.
TEST_F(DocumentTest, ANotebookThatIsThereButCannotBeReadIsNotNotFound) {
  const std::string file = writeDoc(path("doc.mxa"), {{"One", "one"}, {"Two", "two"}, {"Three", "three"}});
  ASSERT_TRUE(platform::removeFile(path("Two.mxh")));
  ASSERT_EQ(::symlink("Two.mxh", path("Two.mxh").c_str()), 0);
  ASSERT_TRUE(platform::removeFile(path("Three.mxh")));
  ASSERT_TRUE(platform::makeDirs(path("Three.mxh")));
  ASSERT_EQ(session().open_(file), 0);
  ASSERT_EQ(form->getCurrentHolder()->name(), "One");

  QTabBar* tabs = form->tabControl();
  for (int tab : {1, 2}) {
    rec.asked.clear();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    MemoHolderUI* h = form->getCurrentHolder();
    ASSERT_EQ(h, doc()->getHolder_(tab));
    const std::string book = h->getFileName_();
    EXPECT_FALSE(logHas("Not Found MemoHolder: " + book));
    const std::string failure = "Failure: " + book + " could not be read whole; 0 notes read";
    EXPECT_NE(std::find(form->said.begin(), form->said.end(), failure), form->said.end());
    ASSERT_EQ(rec.messages().size(), 1u);
    const std::string reason = platform::reasonText(tab == 1 ? ELOOP : EISDIR);
    EXPECT_NE(rec.messages()[0].find("Cannot read the notebook file " + book + ": " + reason), std::string::npos)
        << rec.messages()[0];
    EXPECT_TRUE(h->loadFailed);

    // Its save asks first, and Enter keeps what is there; a folder is refused unasked.
    h->modified = true;
    rec.asked.clear();
    EXPECT_EQ(run("UISaveHolderNoMSG"), kResultFailed);
    ASSERT_EQ(rec.asked.size(), tab == 1 ? 1u : 0u);
    if (tab == 1) EXPECT_EQ(rec.asked[0].defaultButton, Answer::No);
  }
  EXPECT_FALSE(platform::fileExists(path("Two.mxh")));
  EXPECT_TRUE(platform::dirExists(path("Three.mxh")));

  // A notebook whose file is not there at all is still "Not Found", and starts empty.
  ASSERT_TRUE(platform::removeFile(path("One.mxh")));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
  EXPECT_EQ(run("UIReloadMemoHolder"), kResultFailed);
  EXPECT_EQ(status(), "Not Found MemoHolder: " + path("One.mxh"));
}

// Boxes without a caption of their own carry the document's file name.
TEST_F(DocumentTest, TheApplicationTitleIsTheDocumentsFileName) {
  const std::string file = writeDoc(path("titled.mxa"), {{"One", "one"}});
  const QString windowClass = QApplication::applicationName();
  ASSERT_EQ(session().open_(file), 0);
  EXPECT_EQ(applicationTitle(), QStringLiteral("titled.mxa"));
  EXPECT_EQ(QApplication::applicationName(), windowClass);

  QtPrompter boxes(form.get());
  QString caption;
  test::whenModal<QMessageBox>([&](QMessageBox* box) {
    caption = box->windowTitle();
    box->accept();
  });
  boxes.messageBox("a question", "", Buttons::OK);
  EXPECT_EQ(caption, QStringLiteral("titled.mxa"));

  fresh();
  EXPECT_EQ(applicationTitle(), QStringLiteral("noname.mxa"));
}

}  // namespace
}  // namespace wux

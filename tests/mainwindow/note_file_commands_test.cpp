// The files a note names: saving to them with their questions, executing, reloading,
// opening, names from fields and the query note, all run through the command table.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QPlainTextEdit>
#include <filesystem>

#include "form_fixture.h"
#include "mainwindow/FormLog.h"
#include "model/records/records_support.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/textconv.h"
#include "support/file_text.h"
#include "support/linked_notes.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/views_support.h"

namespace wux {
namespace {

class NoteFileCommandsTest : public test::FormTest<TFormMainWUXX13c> {
 protected:
  NoteFileCommandsTest() : FormTest({2026, 12, 6, 8, 0, 0, 250}) {}
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->putFileName_(tmp.str("doc.mxa"));
  }
  int run(const std::string& name) { return form->commands().run(name); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoNodeUI* current() { return form->getCurrentNode(); }
  MemoNodeUI* addNote(const std::string& name) {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    return n;
  }
  // The current note, with a text and the given fields, shown in the editor.
  MemoNodeUI* note(const std::string& text, std::initializer_list<std::pair<const char*, std::string>> fields) {
    MemoNodeUI* n = current();
    n->body().setText(text);
    for (const auto& [name, value] : fields) n->putField_(name, "\"" + value + "\"");
    form->Model2UI();
    return n;
  }

  test::TempDir tmp;
  platform::RecordingLauncher launcher;
  platform::ScopedLauncher scopedLauncher{&launcher};
};

TEST_F(NoteFileCommandsTest, SavingToTheNamedFileAndExecuting) {
  // A document file is never written over, so executing it does nothing.
  note("text", {{"Filename", "out.mxa"}});
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  EXPECT_FALSE(std::filesystem::exists(tmp.path / "out.mxa"));
  EXPECT_TRUE(launcher.calls.empty());

  // A relative name in a missing folder: the folder is asked for, then written.
  note("alpha\r\nbeta", {{"Filename", ".\\sub\\a.txt"}});
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UIExecuteNode"), 0);
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Make Directory? ,Not Exist File Path.\r\n" + tmp.str("sub") + "/");
  const std::string written = tmp.str("sub/a.txt");
  EXPECT_EQ(test::fileText(written), "alpha\r\nbeta\r\n");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "open");
  EXPECT_EQ(launcher.calls[0].target, written);
  EXPECT_EQ(status(), "Done: Exeute " + written);

  // Overwriting asks; No keeps the file as it was and runs nothing.
  note("changed", {});
  rec.asked.clear();
  rec.answers = {Answer::No};
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Overwrite ? " + written});
  EXPECT_EQ(test::fileText(written), "alpha\r\nbeta\r\n");

  // No to the folder question writes nothing.
  note("x", {{"Filename", tmp.str("other/b.txt")}});
  rec.answers = {Answer::No};
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  EXPECT_FALSE(std::filesystem::exists(tmp.path / "other"));

  // A shell script starts directly, its name one argument; an executable file too.
  launcher.calls.clear();
  note("echo hi", {{"Filename", tmp.str("run me.sh")}});
  EXPECT_EQ(run("UIExecuteNode"), 0);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].verb, "start");
  EXPECT_EQ(launcher.calls[0].target, "/bin/sh");
  EXPECT_EQ(launcher.calls[0].argument, tmp.str("run me.sh"));
  EXPECT_EQ(status(), "Done: Execute " + tmp.str("run me.sh"));
  chmod(tmp.str("run me.sh").c_str(), 0755);
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UIExecuteNode"), 0);
  EXPECT_EQ(launcher.calls.back().target, tmp.str("run me.sh"));
  EXPECT_EQ(launcher.calls.back().argument, "");
}

// A FIFO (or a device) named by a note is never replaced by a plain file: Execute and
// New Child > Execute refuse before any question, say why, and run nothing.
TEST_F(NoteFileCommandsTest, ASpecialFileIsNeverWrittenOver) {
  const std::string fifo = tmp.str("pipe"), refusal = "ERROR: could not overwrite on _UISaveMemoNode_. " + fifo;
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  for (const char* command : {"UIExecuteNode", "UINewChildExecuted"}) {
    note("echo hi", {{"Filename", fifo}, {"CommandLine", "true"}});
    rec.asked.clear();
    EXPECT_LT(run(command), 0) << command;
    EXPECT_EQ(rec.messages(), std::vector<std::string>{refusal + "\r\n" + fifo + " is not a regular file"});
    EXPECT_NE(form->getFormLog()->lines().text().find(refusal + " " + fifo + " is not a regular file"),
              std::string::npos);
    EXPECT_EQ(status().rfind("Done", 0), std::string::npos) << status();
  }
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(NoteFileCommandsTest, SaveMarksWritesEachTickedNoteWithItsChecks) {
  MemoNodeUI* a = note("note a", {{"FileName", tmp.str("a.txt")}});
  MemoNodeUI* b = addNote("b");
  b->body().setText("note b");
  b->putField_("Filename", "\"" + tmp.str("b.mxa") + "\"");  // never a document file
  MemoNodeUI* c = addNote("c");  // no file: no dialog either
  MemoNodeUI* d = addNote("d");  // not ticked
  d->putField_("Filename", "\"" + tmp.str("d.txt") + "\"");
  for (MemoNodeUI* n : {a, b, c}) n->setMarked_(true);
  // The answer is the lines of the check list, ticked or not.
  EXPECT_EQ(run("UISaveMarks"), 4);
  EXPECT_EQ(test::fileText(tmp.str("a.txt")), "note a\r\n");
  EXPECT_FALSE(std::filesystem::exists(tmp.path / "b.mxa"));
  EXPECT_FALSE(std::filesystem::exists(tmp.path / "d.txt"));
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(status(), "Done: Save Marks 1 / 3");

  // Saving again asks before writing over the file.
  rec.answers = {Answer::No};
  a->body().setText("changed");
  EXPECT_EQ(run("UISaveMarks"), 4);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Overwrite ? " + tmp.str("a.txt")});
  EXPECT_EQ(test::fileText(tmp.str("a.txt")), "note a\r\n");

  // A note that declines the question is written over without it.
  rec.asked.clear();
  a->putField_("FlagConfirmOverwrite", "\"false\"");
  EXPECT_EQ(run("UISaveMarks"), 4);
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(test::fileText(tmp.str("a.txt")), "changed\r\n");
}

TEST_F(NoteFileCommandsTest, SaveAsProposesAndRecordsTheName) {
  // A web note without a local copy: the document folder and the address's last part.
  MemoNodeUI* n = note("page", {{"Filename", "http://example.com/dir/page.txt"}});
  rec.inputs = {tmp.str("saved.txt")};
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  ASSERT_FALSE(rec.asked.empty());
  EXPECT_EQ(rec.asked[0].kind, "save");
  EXPECT_EQ(test::fileText(tmp.str("saved.txt")), "page\r\n");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Change Field named as \"FilenameLocal\" ?"});
  EXPECT_EQ(n->getField_("FilenameLocal"), "\"" + tmp.str("saved.txt") + "\"");
  EXPECT_EQ(n->getField_("Filename"), "\"http://example.com/dir/page.txt\"");

  // A note without a file name proposes its own name and takes the chosen one.
  MemoNodeUI* plain = addNote("a/b");
  form->changeCurrentNode_(plain);
  rec.asked.clear();
  rec.inputs = {};
  EXPECT_EQ(run("UISaveAsMemoNode"), kResultFailed);  // cancelled
  EXPECT_EQ(plain->getField_("Filename"), "");
  rec.inputs = {tmp.str("plain.txt")};
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  EXPECT_EQ(plain->getField_("Filename"), "\"" + tmp.str("plain.txt") + "\"");
  EXPECT_TRUE(holder()->modified);
}

TEST_F(NoteFileCommandsTest, ReadOnlyKeepsTheNoteAndItsFields) {
  MemoNodeUI* n = note("my precious edited text", {{"Filename", tmp.str("r.txt")}});
  platform::writeFileAtomic(tmp.str("r.txt"), "file text\r\n");
  holder()->putReadOnly_(true);
  holder()->modified = false;
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "This MemoHolder is Read Only. (" + holder()->name() + ")");
  EXPECT_EQ(run("UISetQuery"), kResultFailed);
  // Save As still writes the file, but no field of the note changes.
  n->putField_("flagSaveAsLog", "\"true\"");
  rec.inputs = {tmp.str("copy.txt")};
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  EXPECT_EQ(test::fileText(tmp.str("copy.txt")), "my precious edited text\r\n");
  EXPECT_TRUE(rec.messages().empty());
  EXPECT_EQ(n->getField_("Filename"), "\"" + tmp.str("r.txt") + "\"");
  EXPECT_EQ(n->getField_("Filename20261206"), "");
  EXPECT_EQ(n->body().text(), "my precious edited text\r\n");
  EXPECT_EQ(holder()->getField_("QueryNode"), "");
  EXPECT_FALSE(holder()->modified);
}

TEST_F(NoteFileCommandsTest, ExecuteRunsAnUnchangedLinkedFileAsItIsAndNeverWritesOneUnread) {
  const std::string script = tmp.str("run.sh"), big = tmp.str("big.txt");
  platform::writeFileAtomic(script, "echo hi\n");
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(test::addLinkedNote(*holder(), "run", script)));
  EXPECT_EQ(run("UIExecuteNode"), 0);
  EXPECT_TRUE(rec.asked.empty());
  EXPECT_EQ(test::fileText(script), "echo hi\n");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].argument, script);

  // A file past the limit is not read: showing, reloading and executing say so.
  platform::writeFileAtomic(big, std::string(64, 'b'));
  SetLargestFileToReadForTests(32);
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(test::addLinkedNote(*holder(), "big", big)));
  EXPECT_EQ(status(), "FlagLink=\"true\" but not found Filename=\"" + big + "\" name=big too large to open: " + big);
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Does Not exist. " + big + " too large to open: " + big);
  form->getHolderFrame()->FrameMemoNode1()->MemoNode0()->setPlainText("typed");
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  SetLargestFileToReadForTests(0);
  EXPECT_EQ(test::fileText(big), std::string(64, 'b'));
  EXPECT_EQ(status().rfind("Failure: big: ", 0), 0u) << status();
  EXPECT_EQ(launcher.calls.size(), 1u);
}

TEST_F(NoteFileCommandsTest, Reloading) {
  MemoNodeUI* n = note("old", {});
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Do not reload. because filename is empty.");

  // A relative name is read from the notebook's folder and stays relative.
  platform::writeFileAtomic(tmp.str("r.txt"), "new text\r\n");
  n->putField_("Filename", "\".\\r.txt\"");
  holder()->modified = false;
  EXPECT_EQ(run("UIReloadMemoNode"), 0);
  EXPECT_EQ(n->body().text(), "new text\r\n");
  EXPECT_EQ(n->getField_("Filename"), "\".\\r.txt\"");
  EXPECT_TRUE(holder()->modified);

  n->putField_("Filename", "\"" + tmp.str("gone.txt") + "\"");
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Does Not exist. " + tmp.str("gone.txt"));
  EXPECT_EQ(n->body().text(), "new text\r\n");

  // A web address in any case is fetched again and stays the note's Filename.
  test::TempDir served;
  form->putTempDir_(tmp.str(""));
  platform::writeFileAtomic(served.str("page.txt"), "served line\r\n");
  testing::LoopbackServer server(served.path.string());
  ASSERT_TRUE(server.ready()) << "python3 http.server did not start";
  const std::string address = "HTTP" + server.url("/page.txt").substr(4);
  n->putField_("Filename", "\"" + address + "\"");
  EXPECT_EQ(run("UIReloadMemoNode"), 0);
  EXPECT_EQ(n->body().text(), "served line\r\n");
  EXPECT_EQ(n->getField_("Filename"), "\"" + address + "\"");

  // A link note is only shown again.
  n->putField_("Content-Transfer-Encoding", "\"URL\"");
  n->putField_("Filename", "\"http://example.com/\"");
  const std::string fields = n->fieldList()->text();
  EXPECT_EQ(run("UIReloadMemoNode"), 0);
  EXPECT_EQ(n->fieldList()->text(), fields);
}

TEST_F(NoteFileCommandsTest, AFileAddressSaysInABoxThatItCannotBeReadYet) {
  MemoNodeUI* n = note("kept", {{"Filename", "FILE:///etc/hostname"}});
  rec.asked.clear();
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Still Not Implimented. "});
  EXPECT_EQ(rec.asked.at(0).kind, "message");
  EXPECT_EQ(status(), "Does Not exist. FILE:///etc/hostname");
  EXPECT_EQ(n->body().text(), "kept\r\n");

  // A missing file is only the status's.
  n->putField_("Filename", "\"" + tmp.str("gone.txt") + "\"");
  rec.asked.clear();
  EXPECT_EQ(run("UIReloadMemoNode"), kResultFailed);
  EXPECT_TRUE(rec.asked.empty());

  // Reloading every linked note of the notebook tells it once.
  for (const char* name : {"l1", "l2"}) {
    MemoNodeUI* link = addNote(name);
    link->putField_("FlagLink", "\"true\"");
    link->putField_("Filename", "\"file:///notes/a.txt\"");
  }
  rec.asked.clear();
  run("UIReLoadEach");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Still Not Implimented. "});

  // A new note from such an address.
  const int before = holder()->getNodeCount_();
  rec.asked.clear();
  rec.inputs.push_back("file:///etc/hostname");
  EXPECT_EQ(run("UINewMemoNodeFile"), kResultFailed);
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"Still Not Implimented. "});
  EXPECT_EQ(holder()->getNodeCount_(), before);
}

TEST_F(NoteFileCommandsTest, OpenExploreAndExists) {
  note("", {{"Filename", "/nonexistent"}});
  EXPECT_EQ(run("UIExistsFilename"), kResultFailed);
  EXPECT_EQ(status(), "File did not exists on Local. /nonexistent");
  EXPECT_EQ(run("UIExplorerFilenameMemoNode"), 0);
  EXPECT_EQ(status(), "Done: Explore /");

  // A missing file only warns; it is opened all the same.
  EXPECT_EQ(run("UIOpenFilename"), 0);
  EXPECT_EQ(status(), "WARRNING: File does not exists on Local. /nonexistent");
  EXPECT_EQ(launcher.calls.back().verb, "open");
  EXPECT_EQ(run("UIOpenLink"), kResultHolderReadOnly);
  EXPECT_EQ(status(), "Do not open. because Link is empty. ");

  current()->putField_("Link", "\"https://example.com/x\"");
  EXPECT_EQ(run("UIExplorerLinkMemoNode"), 0);
  EXPECT_EQ(status(), "Done: Open https://example.com/x");

  current()->putField_("Filename", "\"" + tmp.str("missing/f.txt") + "\"");
  EXPECT_EQ(run("UIExplorerFilenameMemoNode"), kResultFailed);
  EXPECT_EQ(status(), "Not found Directory " + tmp.str("missing/"));

  EXPECT_EQ(run("UIExplorerMemoHolder"), 0);
  EXPECT_EQ(status(), "Done:UIExplorerMemoHolder " + tmp.str(""));
  EXPECT_EQ(launcher.calls.back().verb, "explore");
}

TEST_F(NoteFileCommandsTest, OpeningAndExploringSayWhenTheDesktopTookNothing) {
  launcher.result = false;
  note("", {{"Filename", tmp.str("f.txt")}, {"Link", tmp.str("l.txt")}});
  auto expectUnopened = [&](int result, const std::string& target) {
    EXPECT_EQ(result, 0) << target;
    EXPECT_EQ(status(), "Failure: could not open " + target + ": " + launcher.reason);
  };
  expectUnopened(run("UIOpenFilename"), tmp.str("f.txt"));
  // The missing link's warning does not hide that nothing was shown.
  for (const char* command : {"UIExplorerFilenameMemoNode", "UIExplorerLinkMemoNode", "UIExplorerMemoHolder",
                              "UIExplorerFileDir"})
    expectUnopened(run(command), tmp.str(""));
  current()->putField_("Link", "\"https://example.com/x\"");
  expectUnopened(run("UIExplorerLinkMemoNode"), "https://example.com/x");
  expectUnopened(form->ShellExecuteOpen_(tmp.str("f.txt")), tmp.str("f.txt"));

  // Execute keeps its own words on the status and in the box; the log says why.
  rec.asked.clear();
  EXPECT_EQ(run("UIExecuteNode"), kResultFailed);
  EXPECT_EQ(status(), "ERROR: ShellExecute on ExecuteNode1Click.");
  EXPECT_EQ(rec.messages(), std::vector<std::string>{"ERROR: ShellExecute on ExecuteNode1Click."});
  const StringList log = form->getFormLog()->lines();
  ASSERT_GT(log.count(), 0);
  EXPECT_EQ(log[log.count() - 1],
            "ERROR: ShellExecute on ExecuteNode1Click. could not open " + tmp.str("f.txt") + ": " + launcher.reason);
}

TEST_F(NoteFileCommandsTest, NamesFromAFieldAndTheQueryNote) {
  MemoNodeUI* first = current();
  first->putField_("Title", "\"Alpha\"");
  MemoNodeUI* second = addNote("Say \"hi\"");
  MemoNodeUI* third = addNote("third");
  third->putField_("Title", "\"Alpha\"");

  rec.inputs = {"  "};
  EXPECT_EQ(run("UIChangeNameFromField"), kResultFailed);
  rec.inputs = {"Title"};
  EXPECT_EQ(run("UIChangeNameFromField"), 3);
  EXPECT_EQ(rec.asked.back().caption, "Change name from Field's Value");
  EXPECT_EQ(first->name(), "Alpha");
  EXPECT_EQ(second->name(), "_");
  EXPECT_EQ(second->getField_("OldName"), "\"Say 'hi'\"");
  EXPECT_NE(third->name(), "Alpha");  // names stay unique

  // The query note is remembered by name in the notebook and saved with it.
  form->changeCurrentNode_(second);
  std::string actual;
  second->putName_("K", actual);
  EXPECT_EQ(run("UISetQuery"), 0);
  EXPECT_NE(holder()->saveToText_().find("QueryNode=\"K\""), std::string::npos);
  form->changeCurrentNode_(first);
  EXPECT_EQ(run("UIJumpQuery"), 0);
  EXPECT_EQ(current(), second);
  holder()->putField_("QueryNode", "\"nobody\"");
  EXPECT_EQ(run("UIJumpQuery"), kResultFailed);
  EXPECT_EQ(status(), "Not found QueryNode named as nobody");
}

}  // namespace
}  // namespace wux

namespace wux {
namespace {

// Text files from elsewhere: UTF-8 (these are all valid Shift_JIS bytes as well) is read
// as UTF-8 and goes back to its file as it came; Shift_JIS stays Shift_JIS.
TEST_F(NoteFileCommandsTest, Utf8FilesOpenReadableAndSaveBackAsTheyCame) {
  struct Case {
    const char* file;
    std::string bytes;
    const char* shown;
  };
  const Case cases[] = {{"hello.txt", "こんにちは\n", "こんにちは"},
                        {"tokyo.txt", "東京都\r\n二行目", "東京都\n二行目"},
                        {"bom.txt", "\xEF\xBB\xBF東京都\nline\n", "東京都\nline"},
                        {"sjis.txt", sj("日本語\r\n"), "日本語"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = tmp.str(c.file);
    ASSERT_TRUE(platform::writeFileAtomic(path, c.bytes));
    rec.inputs = {path};
    ASSERT_EQ(run("UINewMemoNodeFile"), 0) << status();
    EXPECT_EQ(form->getNodeFrame()->MemoNode0()->toPlainText(), QString::fromUtf8(c.shown));
    const bool utf8 = std::string(c.file) != "sjis.txt";
    EXPECT_EQ(current()->getField_("Charset"), utf8 ? "\"UTF-8\"" : "");
    rec.asked.clear();
    rec.inputs = {path};
    EXPECT_EQ(run("UISaveAsMemoNode"), 0) << status();
    EXPECT_TRUE(rec.messages().empty());
    EXPECT_EQ(test::fileText(path), c.bytes);
  }

  // An edited note goes back in UTF-8 with its file's line breaks.
  form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder()->findNodeByName_(tmp.str("tokyo.txt"))));
  form->getNodeFrame()->MemoNode0()->setPlainText(QString::fromUtf8("東京都\n三行目"));
  rec.inputs = {tmp.str("tokyo.txt")};
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  EXPECT_EQ(test::fileText(tmp.str("tokyo.txt")), "東京都\r\n三行目");
}

TEST_F(NoteFileCommandsTest, AUtf8FileThatLostCharactersIsOverwrittenOnlyWhenAsked) {
  const std::string path = tmp.str("cafe.txt");
  const std::string bytes = "é café\n€100\n";
  ASSERT_TRUE(platform::writeFileAtomic(path, bytes));
  rec.inputs = {path};
  ASSERT_EQ(run("UINewMemoNodeFile"), 0);
  EXPECT_EQ(current()->body().text(), "? caf?\r\n?100\r\n");
  EXPECT_EQ(status(), "Warrning: not stored in Shift_JIS: U+00E9 U+20AC in " + path);
  EXPECT_EQ(run("UIReloadMemoNode"), 0);
  EXPECT_EQ(status(), "Warrning: not stored in Shift_JIS: U+00E9 U+20AC in " + path);

  rec.asked.clear();
  rec.inputs = {path};
  EXPECT_EQ(run("UISaveAsMemoNode"), kResultFailed);  // No is the default answer
  ASSERT_EQ(rec.messages().size(), 1u);
  EXPECT_EQ(rec.messages()[0], "Some characters of " + path +
                                   " could not be read (Warrning: not stored in Shift_JIS: U+00E9 U+20AC) and "
                                   "would be lost. Overwrite it?");
  EXPECT_EQ(rec.asked.back().buttons, Buttons::YesNo);
  EXPECT_EQ(rec.asked.back().defaultButton, Answer::No);
  EXPECT_EQ(test::fileText(path), bytes);
  EXPECT_EQ(status(), "Failure: MemoNode SaveAs " + path + ". not overwritten: characters of " + path +
                          " would be lost");

  // Another file is written without the question; the file itself only after a Yes.
  rec.asked.clear();
  rec.inputs = {tmp.str("copy.txt")};
  rec.answers = {Answer::No};  // keep the note's file name
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  EXPECT_EQ(test::fileText(tmp.str("copy.txt")), "? caf?\r\n?100\r\n");
  rec.inputs = {path};
  rec.answers = {Answer::Yes};
  EXPECT_EQ(run("UISaveAsMemoNode"), 0);
  EXPECT_EQ(test::fileText(path), "? caf?\n?100\n");
}

}  // namespace
}  // namespace wux

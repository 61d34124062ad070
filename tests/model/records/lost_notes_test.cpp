// The ways a user's notes used to go missing without a word: a notebook stored in
// another folder, a link without a file, a notebook closed in one tag, a save that
// stopped half-way and a file that lost two double quotes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "model/records/RoundTrip.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "records_support.h"
#include "support/data_files.h"

using namespace wux;
using namespace wux::testing;
namespace fs = std::filesystem;

namespace {

// A golden file with the test's folders in place of its markers.
std::string golden(const std::string& name, std::initializer_list<std::pair<const char*, std::string>> dirs) {
  std::string text = readTestData("records/" + name);
  for (const auto& [mark, dir] : dirs) text = sjis::replaceAll(text, mark, dir);
  return text;
}

std::string lines(const StringList& l) { return l.text(); }

std::string joined(const std::vector<std::string>& files) {
  std::string out;
  for (const auto& f : files) out += f + "\n";
  return out;
}

// Every notebook of an opened document, by name, for comparing two openings.
std::string describeAll(MemoFile& doc) {
  std::string out;
  for (int i = 0; i < doc.getHolderCount_(); ++i) out += "book " + doc.getHolder_(i)->name() + "\n" + describeNotes(*doc.getHolder_(i));
  return out;
}

}  // namespace

TEST(NotesNeverLost, NotebookStoredElsewhereSurvivesBothRoundTrips) {
  FixedWorld world;
  TempDir home, elsewhere, out;
  const std::string path = home.dir() + "Doc.mxa";
  auto doc = newDoc(path);
  addNote(*addBook(*doc, "Plain"), "p", "plain text\r\n");
  MemoHolder* stored = addBook(*doc, "Stored");
  stored->putFlagExtra_(true);
  stored->putField_("Filename", QuoteValue(elsewhere.dir() + sj("別の帳.mxh")));
  addNote(*stored, "s1", sj("よそのメモ\r\n"));
  addNote(*stored, "s2", "second\r\n");
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc, path, false, report)) << lines(report.messages);
  EXPECT_EQ(joined(report.written), joined({home.dir() + "Plain.mxh", elsewhere.dir() + sj("別の帳.mxh"), path}));
  EXPECT_EQ(fileText(path), golden("redirected.mxa", {{"@HOME@", home.dir()}, {"@ELSEWHERE@", elsewhere.dir()}}));
  const std::string expected = describeAll(*doc);

  // Opened again in place, the document finds the notebook where it was stored.
  OpenedRecords again;
  std::string error;
  ASSERT_TRUE(OpenRecords(path, again, error)) << error;
  EXPECT_EQ(describeAll(*again.doc), expected);
  // A reference that names anything but a notebook file is not followed.
  ASSERT_TRUE(platform::writeFileAtomic(
      path, sjis::replaceAll(fileText(path), sj("別の帳.mxh"), "passwd")));
  OpenedRecords refused;
  EXPECT_FALSE(OpenRecords(path, refused, error));
  EXPECT_EQ(error, "Not Found MemoHolder: " + home.dir() + "Stored.mxh");
  ASSERT_TRUE(SaveDocumentAndHolders(*doc, path, false, report));

  // Written elsewhere as a document and as an archive; then the originals go away.
  {
    OpenedRecords opened;
    ASSERT_TRUE(OpenRecords(path, opened, error)) << error;
    ASSERT_TRUE(WriteRecords(opened, out.dir() + "Copy.mxa", error)) << error;
    ASSERT_TRUE(WriteRecords(opened, out.dir() + "Packed.maz", error)) << error;
  }
  fs::remove_all(home.path);
  fs::remove_all(elsewhere.path);
  for (const char* copy : {"Copy.mxa", "Packed.maz"}) {
    OpenedRecords back;
    ASSERT_TRUE(OpenRecords(out.dir() + copy, back, error)) << copy << ": " << error;
    EXPECT_EQ(describeAll(*back.doc), expected) << copy;
    // Read from the copy, and saved there next time, whatever path the file recorded.
    const std::string folder = back.unpackDir.empty() ? out.dir() : back.unpackDir;
    EXPECT_EQ(back.doc->getHolder_(1)->getFileName_(), folder + sj("別の帳.mxh")) << copy;
  }
  // The copy of the document names the copy of the notebook.
  EXPECT_NE(fileText(out.dir() + "Copy.mxa").find("<Field Filename=\"" + out.dir() + sj("別の帳.mxh") + "\"/>"),
            std::string::npos);
}

TEST(NotesNeverLost, LinkAndUrlNotesWithAnEmptyFileNameKeepTheirText) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* h = addBook(*doc, "Links");
  MemoNode* link = addNote(*h, "link", "the text of a link without a file\r\n");
  link->putField_("FlagLink", "\"true\"");
  link->putField_("Filename", "\"\"");
  MemoNode* url = addNote(*h, "url", "notes about a page\r\n");
  url->putField_("Content-Transfer-Encoding", "\"URL\"");
  url->putField_("Filename", "\"\"");
  MemoNode* real = addNote(*h, "real link", "not stored\r\n");
  real->putField_("FlagLink", "\"true\"");
  real->putField_("Filename", "\"/notes/a.txt\"");
  const std::string file = h->getFileName_();
  ASSERT_GT(h->saveToFile_(file), 0);
  EXPECT_EQ(fileText(file), readTestData("records/empty_filename.mxh"));

  auto back = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* read = addBook(*back, "Links");
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*read, file, messages), 0) << lines(messages);
  EXPECT_EQ(read->getNode_(0)->body().text(), "the text of a link without a file\r\n");
  EXPECT_EQ(read->getNode_(1)->body().text(), "notes about a page\r\n");
  EXPECT_EQ(read->getNode_(2)->body().text(), "");
}

TEST(NotesNeverLost, NotebookClosedInOneTagOpensWithOneNewNote) {
  FixedWorld world;
  TempDir tmp;
  const std::string file = tmp.dir() + "x.mxh";
  ASSERT_TRUE(platform::writeFileAtomic(
      file, crlf({"<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>", "<!-- 20261206 123456 -->",
                  "<!DOCTYPE Holder [<!ENTITY quot \"&#34;\">]>", "<Holder name=\"x\"/>"})));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(file, opened, error)) << error;
  EXPECT_FALSE(opened.lone->loadFailed);
  ASSERT_EQ(opened.lone->getNodeCount_(), 1);
  EXPECT_EQ(opened.lone->getNode_(0)->name(), "20261206");
  // It is an ordinary notebook: saved back over its file.
  EXPECT_TRUE(WriteRecords(opened, file, error)) << error;
  // One left open at the end of the file is still a cut, not a closed tag.
  ASSERT_TRUE(platform::writeFileAtomic(file, "<Holder name=\"x\">\r\n"));
  auto doc = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* cut = addBook(*doc, "x");
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*cut, file, messages), -1);
  EXPECT_TRUE(cut->loadFailed);
}

TEST(NotesNeverLost, SaveStoppedByOneNotebookReportsEveryFileAndKeepsTheOldDocument) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.dir() + "Doc.mxa";
  auto doc = newDoc(path);
  for (const char* name : {"A", "B", "C"}) addNote(*addBook(*doc, name), "n", std::string(name) + " old\r\n");
  SaveReport first;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc, path, false, first)) << lines(first.messages);
  const std::string oldDocument = fileText(path);

  // Every notebook and the document change; then a folder takes B's file name.
  addBook(*doc, "D")->modified = true;
  doc->modified = true;
  for (int i = 0; i < 3; ++i) {
    doc->getHolder_(i)->getNode_(0)->body().setText("new\r\n");
    doc->getHolder_(i)->modified = true;
  }
  fs::remove(tmp.path / "B.mxh");
  fs::create_directory(tmp.path / "B.mxh");
  SaveReport report;
  EXPECT_FALSE(SaveDocumentAndHolders(*doc, path, true, report));
  EXPECT_EQ(joined(report.written), joined({tmp.dir() + "A.mxh", tmp.dir() + "C.mxh", tmp.dir() + "D.mxh"}));
  EXPECT_EQ(joined(report.notWritten), joined({tmp.dir() + "B.mxh", path}));
  EXPECT_EQ(lines(report.messages), golden("stopped_save_report.txt", {{"@DIR@", tmp.dir()}}));
  // The old document still names the notebooks it had, all of them still on disk.
  EXPECT_EQ(fileText(path), oldDocument);
  EXPECT_TRUE(doc->modified);
  EXPECT_TRUE(doc->getHolder_(1)->modified);
  EXPECT_FALSE(doc->getHolder_(0)->modified);
  EXPECT_FALSE(doc->getHolder_(2)->modified);

  // The folder gone, the next save writes what is left.
  fs::remove(tmp.path / "B.mxh");
  SaveReport next;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc, path, true, next)) << lines(next.messages);
  EXPECT_EQ(joined(next.written), joined({tmp.dir() + "B.mxh", path}));
  EXPECT_FALSE(doc->modified);
}

TEST(NotesNeverLost, FullDiskIsNamedAndTheNotebookStaysModified) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.dir() + "Doc.mxa";
  auto doc = newDoc(path);
  MemoHolder* h = addBook(*doc, "Book");
  addNote(*h, "n", "text\r\n");
  h->modified = true;
  platform::WriteCall prev = platform::setWriteCall([](int, const void*, std::size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  });
  SaveReport report;
  const bool saved = SaveDocumentAndHolders(*doc, path, true, report);
  platform::setWriteCall(prev);
  EXPECT_FALSE(saved);
  ASSERT_GE(report.messages.count(), 1);
  EXPECT_EQ(report.messages[0], "Not saved: cannot write " + tmp.dir() + "Book.mxh: no space left on device");
  EXPECT_TRUE(h->modified);
  EXPECT_FALSE(platform::fileExists(path));
}

TEST(NotesNeverLost, TwoLostQuotesAreReportedWithTheirLineAndNeverSavedOver) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* h = addBook(*doc, "Book");
  for (int i = 1; i <= 20; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "n%02d", i);
    addNote(*h, name, std::string("body ") + name + "\r\n")->putField_("k", std::string("\"v") + name + "\"");
  }
  const std::string file = h->getFileName_();
  ASSERT_GT(h->saveToFile_(file), 0);
  // The closing quote of note 3's value and the opening one of note 6's are gone.
  std::string text = fileText(file);
  text = sjis::replaceAll(text, "k=\"vn03\"", "k=\"vn03");
  text = sjis::replaceAll(text, "k=\"vn06\"", "k=vn06\"");
  ASSERT_TRUE(platform::writeFileAtomic(file, text));
  int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + text.find("k=\"vn03"), '\n'));

  auto back = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* read = addBook(*back, "Book");
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*read, file, messages), -1);
  ASSERT_EQ(messages.count(), 1);
  EXPECT_NE(messages[0].find("The notebook file " + file + " is damaged at line " + std::to_string(line) + ":"),
            std::string::npos)
      << messages[0];
  // What is sound is there; the file is not saved over unless the user says so.
  EXPECT_TRUE(read->loaded);
  EXPECT_TRUE(read->loadFailed);
  EXPECT_EQ(read->getNodeCount_(), 17);  // notes 4 to 6 ran into note 3's value
  EXPECT_EQ(read->findNodeByName_("n02")->body().text(), "body n02\r\n");
  EXPECT_EQ(read->findNodeByName_("n20")->body().text(), "body n20\r\n");
  std::string error;
  EXPECT_EQ(read->saveToFile_(file, &error), -1);
  EXPECT_NE(error.find(file), std::string::npos);
  std::vector<std::string> asked;
  auto refuse = [&](const std::string& p) {
    asked.push_back(p);
    return false;
  };
  EXPECT_EQ(read->saveToFile_(file, &error, refuse), -1);
  EXPECT_EQ(asked, std::vector<std::string>{file});
  EXPECT_EQ(fileText(file), text);
  EXPECT_GT(read->saveToFile_(tmp.dir() + "rescued.mxh"), 0);  // another name needs no question
  EXPECT_GT(read->saveToFile_(file, &error, [](const std::string&) { return true; }), 0);
  EXPECT_FALSE(read->loadFailed);

  // Raw "<" and line breaks inside quoted values are no damage, nor is a value that
  // speaks of the file's own tags.
  ASSERT_TRUE(platform::writeFileAtomic(
      file, crlf({"<Holder name=\"Book\">", "  <Field QueryNode=\"a<b & <c>\"/>", "  <Record name=\"r\">",
                  "    <Field note=\"two", "lines <Record\" />", "text<BR/>", "  </Record>", "</Holder>"})));
  MemoHolder* fine = addBook(*back, "Fine");
  messages.clear();
  EXPECT_EQ(ReadHolderFile(*fine, file, messages), 0) << lines(messages);
  EXPECT_FALSE(fine->loadFailed);
  fine->getNode_(0)->putField_("xml", "\"ends with </Record> and <Field a=1> and </Holder>\"");
  ASSERT_GT(fine->saveToFile_(file), 0);
  MemoHolder* same = addBook(*back, "Same");
  EXPECT_EQ(ReadHolderFile(*same, file, messages), 0) << lines(messages);
  EXPECT_EQ(same->getNode_(0)->getField_("xml"), "\"ends with </Record> and <Field a=1> and </Holder>\"");
}

TEST(NotesNeverLost, UnpackerNamesEveryPartItLeavesOut) {
  FixedWorld world;
  TempDir tmp, target;
  const std::string path = tmp.dir() + "Doc.mxa";
  auto doc = newDoc(path);
  for (const char* name : {"A", "B", "C", "D"}) addNote(*addBook(*doc, name), "n", "text\r\n");
  const std::string maz = tmp.dir() + "Doc.maz";
  ASSERT_GT(doc->saveMAZ_(maz), 0);
  ASSERT_TRUE(platform::makeDirs(target.dir() + "B.mxh"));  // a folder where a part goes
  ASSERT_TRUE(platform::writeFileAtomic(target.dir() + "C.mxh", "the user's newer C"));
  const std::string fifo = target.dir() + "D.mxh";  // never replaced, nobody asked about it
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  std::vector<std::string> written, asked;
  StringList messages;
  const OverwriteQuestion no = [&](const std::string& path) {
    asked.push_back(path);
    return false;
  };
  EXPECT_EQ(UnpackArchive(maz, target.dir(), written, messages, no), 2);
  EXPECT_EQ(joined(written), joined({target.dir() + "Doc.mxa", target.dir() + "A.mxh"}));
  EXPECT_EQ(joined(asked), joined({target.dir() + "C.mxh"}));
  EXPECT_EQ(lines(messages), crlf({"Part B.mxh not unpacked: cannot write " + target.dir() +
                                       "B.mxh: is a directory",
                                   "Not overwritten: " + target.dir() + "C.mxh",
                                   "Part D.mxh not unpacked: " + fifo + " is not a regular file"}));
  EXPECT_EQ(fileText(target.dir() + "C.mxh"), "the user's newer C");
  EXPECT_EQ(platform::fileState(fifo), platform::FileState::Unreadable);
}

// A document saved into another folder takes the notebooks of its folder along and
// leaves the old folder as it was; a notebook kept in a folder of its own stays there.
TEST(NotesNeverLost, SavedIntoAnotherFolderTheDocumentMovesWithItsNotebooks) {
  FixedWorld world;
  TempDir tmp;
  fs::create_directories(tmp.path / "old");
  fs::create_directories(tmp.path / "own");
  fs::create_directories(tmp.path / "new");
  const std::string old = tmp.dir() + "old/Doc.mxa";
  {
    auto doc = newDoc(old);
    for (const char* name : {"Unread", "Edited"}) addNote(*addBook(*doc, name), "n", std::string(name) + " text\r\n");
    MemoHolder* own = addBook(*doc, "Own");
    own->putFlagExtra_(true);
    own->putField_("Filename", QuoteValue(tmp.dir() + "own/Own.mxh"));
    addNote(*own, "n", "own text\r\n");
    SaveReport first;
    ASSERT_TRUE(SaveDocumentAndHolders(*doc, old, false, first)) << lines(first.messages);
  }
  auto before = [&] {
    std::string all;
    for (const auto& e : fs::directory_iterator(tmp.path / "old")) all += e.path().string() + fileText(e.path().string());
    return all;
  };
  const std::string oldFolder = before();

  // Opened again: one notebook read and changed, one never read.
  auto doc = newDoc(tmp.dir() + "unused.mxa");
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*doc, old, messages), 0) << lines(messages);
  MemoHolder* edited = doc->getHolder_(1);
  ASSERT_EQ(LoadHolder(*edited, messages), 0);
  edited->getNode_(0)->body().setText("changed\r\n");
  edited->modified = true;
  ASSERT_EQ(LoadHolder(*doc->getHolder_(2), messages), 0);

  const std::string moved = tmp.dir() + "new/Moved.mxa";
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*doc, moved, true, report)) << lines(report.messages);
  EXPECT_EQ(doc->getFileName_(), moved);
  EXPECT_EQ(doc->name(), "Moved");
  EXPECT_EQ(before(), oldFolder);  // nothing written into the old folder
  EXPECT_FALSE(fs::exists(tmp.path / "new" / "Own.mxh"));
  EXPECT_FALSE(edited->modified);
  EXPECT_FALSE(doc->modified);

  // Opened from the new folder, every notebook is found with its notes.
  auto back = newDoc(tmp.dir() + "unused.mxa");
  ASSERT_EQ(ReadDocumentFile(*back, moved, messages), 0) << lines(messages);
  ASSERT_EQ(back->getHolderCount_(), 3);
  const char* texts[] = {"Unread text\r\n", "changed\r\n", "own text\r\n"};
  for (int i = 0; i < 3; ++i) {
    MemoHolder* h = back->getHolder_(i);
    ASSERT_EQ(LoadHolder(*h, messages), 0) << h->getFileName_();
    EXPECT_EQ(h->getNode_(0)->body().text(), texts[i]);
  }
  EXPECT_EQ(back->getHolder_(0)->getFileName_(), tmp.dir() + "new/Unread.mxh");
  EXPECT_EQ(back->getHolder_(2)->getFileName_(), tmp.dir() + "own/Own.mxh");

  // A move that cannot be written leaves the document where it was, its changes still to save.
  fs::create_directories(tmp.path / "blocked" / "Unread.mxh");
  back->getHolder_(1)->modified = true;
  SaveReport stopped;
  EXPECT_FALSE(SaveDocumentAndHolders(*back, tmp.dir() + "blocked/Doc.mxa", true, stopped));
  EXPECT_EQ(back->getFileName_(), moved);
  EXPECT_TRUE(back->getHolder_(1)->modified);
  EXPECT_FALSE(fs::exists(tmp.path / "blocked" / "Doc.mxa"));
}

TEST(NotesNeverLost, FieldNamesWithControlBytesMeanTheSameAfterASave) {
  FixedWorld world;
  TempDir tmp;
  const std::string file = tmp.dir() + "Book.mxh";
  // A stray byte glued to a name or a value: the content is taken as a picture whether
  // or not the notebook was saved in between, and a name made only of such bytes stays
  // nameless.
  const std::string text = crlf({"<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>", "<Holder name=\"Book\">",
                                 "  <Record name=\"img\">",
                                 "    <Field Content-Type=\"image/png\" Content-Transfer-Encoding\x16=\"base64\" "
                                 "\x01\x02=\"x\" a\x7f" "b=\"y\" />",
                                 "AAEC\"<BR/>", "  </Record>", "  <Record name=\"pic\">",
                                 "    <Field Content-Type=\"image/png\" Content-Transfer-Encoding=\x01\x12\"base64\" "
                                 "flagMarked=true />",
                                 "AAEC&amp;<BR/>", "  </Record>", "</Holder>"});
  ASSERT_TRUE(platform::writeFileAtomic(file, text));
  auto doc = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* h = addBook(*doc, "Book");
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*h, file, messages), 0) << messages.text();
  MemoNode* n = h->findNodeByName_("img");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->getField_("Content-Transfer-Encoding"), "\"binary\"");
  EXPECT_EQ(n->getField_("a_b"), "\"y\"");
  // Bytes outside a value's quotes, or no quotes at all, are gone once saved as well.
  MemoNode* pic = h->findNodeByName_("pic");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->getField_("Content-Transfer-Encoding"), "\"binary\"");
  EXPECT_TRUE(pic->isMarked_());
  const std::string once = describeNotes(*h);
  ASSERT_GT(h->saveToFile_(file), 0);

  auto back = newDoc(tmp.dir() + "Doc.mxa");
  MemoHolder* again = addBook(*back, "Book");
  ASSERT_EQ(ReadHolderFile(*again, file, messages), 0) << messages.text();
  EXPECT_EQ(describeNotes(*again), once);
  const std::string saved = fileText(file);
  ASSERT_GT(again->saveToFile_(file), 0);
  const auto notes = [](const std::string& t) { return t.substr(t.find("<Record")); };
  EXPECT_EQ(notes(fileText(file)), notes(saved));
}

// The document's own fields are held as they will be written, as a notebook's are: a name
// with a stray byte names the same field before and after a save.
TEST(NotesNeverLost, DocumentFieldsMeanTheSameAfterASave) {
  FixedWorld world;
  TempDir tmp;
  const std::string file = tmp.dir() + "Doc.mxa";
  const std::string text = crlf({"<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>", "<File name=\"Doc\">",
                                 "  <Field CurrentHolder\x16=\"b\" Color=\x01\"red\" />",
                                 "  <Holder name=\"a\">", "    <Field FlagLoaded=\"false\" />", "  </Holder>",
                                 "  <Holder name=\"b\">", "    <Field FlagLoaded=\"false\" />", "  </Holder>",
                                 "</File>"});
  ASSERT_TRUE(platform::writeFileAtomic(file, text));
  auto doc = newDoc(file);
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*doc, file, messages), 0) << messages.text();
  ASSERT_NE(doc->getCurrentHolder(), nullptr);
  EXPECT_EQ(doc->getCurrentHolder()->name(), "b");
  EXPECT_EQ(doc->getField_("Color"), "\"red\"");

  // Saved as the window saves it: the current notebook is set first.
  doc->putField_("CurrentHolder", QuoteValue(doc->getCurrentHolder()->name()));
  const std::string fields = doc->fieldList()->text();
  ASSERT_GT(doc->saveToFile_(file), 0);
  const std::string saved = fileText(file);
  EXPECT_EQ(saved.find("CurrentHolder"), saved.rfind("CurrentHolder")) << saved;

  auto back = newDoc(file);
  ASSERT_EQ(ReadDocumentFile(*back, file, messages), 0) << messages.text();
  ASSERT_NE(back->getCurrentHolder(), nullptr);
  EXPECT_EQ(back->getCurrentHolder()->name(), "b");
  EXPECT_EQ(back->fieldList()->text(), fields);
}

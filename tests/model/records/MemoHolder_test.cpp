// Notebooks and documents in their four file forms: ".mxh", ".mhz", ".mxa" and ".maz".
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <memory>

#include "model/lists.h"
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

std::string binaryBytes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>((i * 37 + 11) & 0xFF);
  return s;
}

MemoNode* addImage(MemoHolder& h, const std::string& name, const std::string& bytes) {
  MemoNode* n = h.newNode_();
  h.addNode_(n, name);
  n->putContentStream_(bytes, "image/png", "binary");
  n->putField_("Content-Type", "\"image/png\"");
  n->putField_("Content-Transfer-Encoding", "\"binary\"");
  return n;
}

// The notes of two notebooks carry the same names, fields, texts and content bytes.
void expectSameNotes(MemoHolder& a, MemoHolder& b) { EXPECT_EQ(describeNotes(a), describeNotes(b)); }

}  // namespace

TEST(NotebookFile, SettingsRowsInOrderThenOtherFields) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "Settings");
  h->putField_("NewNodeName", "\"Number\"");
  h->putField_("FormatDate", "\"YYYY-MM-DD\"");
  h->putField_("FormatNumber", "\"%.3d\"");
  h->putFlagExtra_(true);
  h->putField_("Filename", "\"/x/extra.mxh\"");
  h->putField_("FlagSameName", "\"true\"");
  h->putField_("FileExt", "\".mhz\"");
  h->putReadOnly_(true);
  h->putField_("NewNodeOption", "\"Select\"");
  h->putField_("SelectNodeName", "\"tmpl\"");
  h->putField_("ModeNodesMngr", "\"TreeView\"");
  h->putColor_(0x0000FF);
  h->putField_("QueryNode", "\"q\"");
  h->putField_("FlagLoaded", "\"false\"");
  h->putField_("MailServer", "\"mail.example\"");
  h->putFlagSort_(true);
  h->flagAccount = true;
  h->ReloadMinutes = 15;
  h->SaveMinutes = 5;

  StringList lines;
  h->saveToTSL_(lines);
  EXPECT_EQ(lines.text(), readTestData("records/settings_rows.mxh"));

  // "%5d" has no settings row of its own but is still kept.
  h->putField_("FormatNumber", "\"%5d\"");
  lines.clear();
  h->saveToTSL_(lines);
  EXPECT_EQ(lines.indexOf("  <Field FormatNumber=\"%5d\"/>"), 25);
}

TEST(NotebookFile, HandWrittenFileSavesBackWithOnlyStampsChanged) {
  FixedWorld world;
  TempDir tmp;
  const std::string in = tmp.str("Hand & Co.mxh");  // a notebook opened is named after its file
  const std::string hand = readTestData("records/hand.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(in, hand));
  // Saving renews the header stamp, the save time and the save counter, nothing else.
  auto restamped = [&](const std::string& count) {
    std::string t = sjis::replaceAll(hand, "20260102 100000", "20261206 123456");
    return sjis::replaceAll(t, "CountSave=\"4\"", "CountSave=\"" + count + "\"");
  };
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(in, opened, error)) << error;
  ASSERT_NE(opened.lone, nullptr);
  EXPECT_EQ(opened.lone->name(), "Hand & Co");
  EXPECT_EQ(opened.lone->getCurrentNode_(), opened.lone->findNodeByName_("second"));
  EXPECT_TRUE(opened.lone->flagAutoSave);
  EXPECT_EQ(opened.lone->SaveMinutes, 10);
  const std::string out = tmp.str("out.mxh");
  ASSERT_TRUE(WriteRecords(opened, out, error)) << error;
  EXPECT_EQ(fileText(out), restamped("5"));

  // The same notebook compressed: a zlib stream that inflates to the same text.
  const std::string z = tmp.str("out.mhz");
  ASSERT_TRUE(WriteRecords(opened, z, error)) << error;
  std::string packed = fileText(z);
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed.substr(0, 2), "\x78\x9C");
  std::string inflated;
  ASSERT_TRUE(ZInflate(packed, inflated));
  EXPECT_EQ(inflated, restamped("6"));
  OpenedRecords again;
  ASSERT_TRUE(OpenRecords(z, again, error)) << error;
  expectSameNotes(*opened.lone, *again.lone);
}

TEST(NotebookFile, NamesOnReadingAndNewNotes) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("dup.mxh");
  // Notes "x", "X" and one without a name.
  const std::string text = readTestData("records/same_names.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(path, text));
  auto doc = newDoc(tmp.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "dup");
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*h, path, messages), 0) << messages.text();
  ASSERT_EQ(h->getNodeCount_(), 3);
  EXPECT_EQ(h->getNode_(0)->name(), "x");
  EXPECT_EQ(h->getNode_(1)->name(), "X_00");
  EXPECT_EQ(h->getNode_(2)->name(), "20261206 123456 ");
  EXPECT_EQ(h->getNode_(1)->body().text(), "b\r\n");

  ASSERT_TRUE(platform::writeFileAtomic(
      path, sjis::replaceAll(text, "\r\n\r\n", "\r\n  <Field FlagSameName=\"true\"/>\r\n")));
  MemoHolder* same = addBook(*doc, "same");
  ASSERT_EQ(ReadHolderFile(*same, path, messages), 0);
  EXPECT_EQ(same->getNode_(1)->name(), "X");

  // "Number" names count the notes; a new note goes before the current one.
  MemoHolder* num = addBook(*doc, "num");
  num->putField_("NewNodeName", "\"Number\"");
  for (const char* n : {"a", "b", "c"}) addNote(*num, n, "");
  num->putCurrentNode_(num->getNode_(1));
  MemoNode* made = num->createNewNode_();
  EXPECT_EQ(made->name(), "00003");
  EXPECT_EQ(num->indexOfNode_(made), 1);
  num->putField_("FormatNumber", "\"%5d\"");
  EXPECT_EQ(num->createNewNode_()->name(), "    4");
  num->putField_("FormatNumber", "\"%s%n\"");  // refused: falls back to the default
  EXPECT_EQ(num->createNewNode_()->name(), "00005");
  // A template note "*" is cloned and stamped.
  MemoNode* tmpl = addNote(*num, "*", "template text\r\n");
  tmpl->putField_("Created", "\"old\"");
  num->putField_("NewNodeName", "\"Daily\"");
  MemoNode* daily = num->createNewNode_();
  EXPECT_EQ(daily->name(), "20261206");
  EXPECT_EQ(daily->body().text(), "template text\r\n");
  EXPECT_EQ(daily->getField_("Created"), "\"20261206 123456789\"");

  // A dotted name keeps only the last dot's part replaced.
  MemoHolder* dotted = addBook(*doc, "a.b");
  EXPECT_EQ(dotted->getFileName_(), tmp.str("a.mxh"));
}

TEST(DocumentFile, GoldenFileAndReadBack) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("Doc.mxa");
  auto doc = newDoc(path);
  doc->putField_("CurrentHolder", "\"Two\"");
  doc->putField_("Version", "\"1.0\"");
  doc->body().add("doc text");
  MemoHolder* one = addBook(*doc, "One \"q\" &lt;");
  MemoHolder* two = addBook(*doc, "Two");
  two->putReadOnly_(true);
  two->putField_("FileExt", "\".mhz\"");
  addNote(*one, "n1", "text one\r\n");
  addNote(*two, "n2", "text two\r\n");

  ASSERT_GT(doc->saveToFile_(path), 0);
  EXPECT_EQ(fileText(path), sjis::replaceAll(readTestData("records/document.mxa"), "@PATH@", path));
  for (int i = 0; i < 2; ++i) {
    MemoHolder* h = doc->getHolder_(i);
    ASSERT_GT(h->saveToFile_(h->getFileName_()), 0);
  }
  EXPECT_TRUE(platform::fileExists(tmp.str("One _q_ &lt_.mxh")));
  EXPECT_TRUE(platform::fileExists(tmp.str("Two.mhz")));

  auto back = newDoc(tmp.str("unused.mxa"));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*back, path, messages), 0) << messages.text();
  ASSERT_EQ(back->getHolderCount_(), 2);
  EXPECT_EQ(back->getHolder_(0)->name(), "One \"q\" &lt;");
  EXPECT_EQ(back->getCurrentHolder(), back->getHolder_(1));
  EXPECT_EQ(back->name(), "Doc");
  EXPECT_FALSE(back->getHolder_(0)->loaded);
  EXPECT_TRUE(back->getHolder_(1)->isReadOnly_());
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(LoadHolder(*back->getHolder_(i), messages), 0) << messages.text();
    expectSameNotes(*doc->getHolder_(i), *back->getHolder_(i));
  }
  EXPECT_EQ(back->body().text(), "doc text\r\n");

  // A current-notebook name that matches nothing leaves none; an empty one the first.
  auto none = newDoc(tmp.str("x.mxa"));
  std::string text = fileText(path);
  text = sjis::replaceAll(text, "CurrentHolder=\"Two\"", "CurrentHolder=\"Three\"");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("x.mxa"), text));
  ASSERT_EQ(ReadDocumentFile(*none, tmp.str("x.mxa"), messages), 0);
  EXPECT_EQ(none->getCurrentHolder(), nullptr);
  EXPECT_EQ(doc->saveToFile_(tmp.str("Doc.txt")), -1);
}

TEST(DocumentFile, ReferencesCannotLeadNotebookFilesElsewhere) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("Doc.mxa");
  ASSERT_TRUE(platform::writeFileAtomic(path, readTestData("records/foreign_paths.mxa")));
  auto doc = newDoc(tmp.str("other.mxa"));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*doc, path, messages), 0) << messages.text();
  EXPECT_EQ(doc->getHolder_(0)->getFileName_(), tmp.str("A.mxh"));
  EXPECT_EQ(doc->getHolder_(0)->getField_("FlagLoaded"), "\"false\"");
  EXPECT_EQ(doc->getHolder_(1)->getFileName_(), tmp.str("B.mxh"));
}

TEST(DocumentFile, NotebookFileNameCollisionIsRefused) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("Doc.mxa");
  auto doc = newDoc(path);
  addBook(*doc, "Diary");
  addBook(*doc, "diary?");  // "diary_" on disk ...
  addBook(*doc, "DIARY_");  // ... and so is this one
  std::string error;
  EXPECT_EQ(doc->saveToFile_(path, &error), -1);
  EXPECT_FALSE(platform::fileExists(path));
  EXPECT_NE(error.find("same file"), std::string::npos) << error;
  error.clear();
  EXPECT_EQ(doc->saveMAZ_(tmp.str("Doc.maz"), nullptr, &error), -1);
  EXPECT_NE(error.find("same file"), std::string::npos) << error;
  EXPECT_FALSE(platform::fileExists(tmp.str("Doc.maz")));
  EXPECT_TRUE(world.recorder.asked.empty());
  std::string actual;
  doc->getHolder_(2)->putName_("Other", actual);
  EXPECT_GT(doc->saveToFile_(path), 0);
}

TEST(DocumentArchive, TwoNotebooksUnpackAndOpenIdentically) {
  FixedWorld world;
  TempDir tmp, target;
  const std::string path = tmp.str("Doc.mxa");
  auto doc = newDoc(path);
  MemoHolder* plain = addBook(*doc, "Plain");
  plain->putField_("FileExt", "\".mhz\"");
  addNote(*plain, "ascii", "line 1\r\n<tag> & \"q\"\r\n");
  addNote(*plain, sj("日本"), sj("本文です\r\n表示\r\n"));
  MemoHolder* images = addBook(*doc, "Images");
  addImage(*images, "img", binaryBytes(5000));
  addNote(*images, "after", "x\r\n");

  const std::string maz = tmp.str("Doc.maz");
  ASSERT_GT(doc->saveToFile_(maz), 0);
  std::string inflated;
  ASSERT_TRUE(ZInflate(fileText(maz), inflated));
  StringList lines;
  lines.setText(inflated);
  ASSERT_GT(lines.count(), 20);
  EXPECT_EQ(lines[0], "MIME-Version: 1.0");
  EXPECT_EQ(lines[1], "Content-Type: multipart/mixed;");
  const std::string b = lines[2].substr(std::string("  boundary=\"").size(), 21);
  EXPECT_EQ(lines[2], "  boundary=\"" + b + "\"");
  EXPECT_EQ(lines[5], "--" + b);
  EXPECT_EQ(lines[9], "  filename=\"" + path + "\"");
  EXPECT_EQ(lines[lines.count() - 1], "--" + b + "--");
  EXPECT_EQ(sjis::countOf(inflated, "Content-Disposition: attachment;"), 2u);
  EXPECT_NE(lines.indexOf("  filename=\"" + tmp.str("Plain.mhz") + "\""), -1);

  // Moved into an empty folder and unpacked there.
  const std::string moved = target.str("Doc.maz");
  fs::copy_file(maz, moved);
  std::vector<std::string> written;
  StringList messages;
  ASSERT_EQ(UnpackArchive(moved, "", written, messages), 3) << messages.text();
  EXPECT_EQ(written[0], target.str("Doc.mxa"));
  EXPECT_EQ(written[1], target.str("Plain.mhz"));
  EXPECT_EQ(written[2], target.str("Images.mxh"));
  auto back = newDoc(target.str("x.mxa"));
  ASSERT_EQ(ReadDocumentFile(*back, written[0], messages), 0) << messages.text();
  ASSERT_EQ(back->getHolderCount_(), 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(LoadHolder(*back->getHolder_(i), messages), 0) << messages.text();
    expectSameNotes(*doc->getHolder_(i), *back->getHolder_(i));
  }

  // The driver's path: ".maz" in, ".maz" out, reproducible under a fixed clock and seed.
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(moved, opened, error)) << error;
  ASSERT_TRUE(WriteRecords(opened, target.str("again.maz"), error)) << error;
  OpenedRecords twice;
  ASSERT_TRUE(OpenRecords(target.str("again.maz"), twice, error)) << error;
  for (int i = 0; i < 2; ++i) expectSameNotes(*doc->getHolder_(i), *twice.doc->getHolder_(i));
}

TEST(DocumentArchive, UnloadedNotebooksAreReadFirstOrLeftOut) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("Doc.mxa");
  auto doc = newDoc(path);
  MemoHolder* onDisk = addBook(*doc, "OnDisk");
  addNote(*onDisk, "kept", "from disk\r\n");
  ASSERT_GT(onDisk->saveToFile_(onDisk->getFileName_()), 0);
  ASSERT_GT(doc->saveToFile_(path), 0);
  MemoHolder* broken = addBook(*doc, "Broken");
  ASSERT_TRUE(platform::writeFileAtomic(broken->getFileName_(), "<Holder name=\"Broken\"><Record></Holder>"));
  doc->saveToFile_(path);

  auto reopened = newDoc(tmp.str("y.mxa"));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*reopened, path, messages), 0);
  std::vector<std::string> leftOut;
  std::string report;
  ASSERT_GT(reopened->saveMAZ_(tmp.str("Doc.maz"), &leftOut, &report), 0);
  ASSERT_EQ(leftOut.size(), 1u);
  EXPECT_EQ(leftOut[0], "Broken");
  EXPECT_EQ(report, "Not Loaded: " + tmp.str("Broken.mxh"));
  EXPECT_TRUE(reopened->getHolder_(0)->loaded);
  EXPECT_EQ(reopened->getHolder_(0)->getNode_(0)->body().text(), "from disk\r\n");

  // The notebook that failed to read is never saved over its file.
  MemoHolder* b = reopened->getHolder_(1);
  EXPECT_TRUE(b->loadFailed);
  EXPECT_EQ(b->getNodeCount_(), 0);
  EXPECT_EQ(b->saveToFile_(b->getFileName_()), -1);
  EXPECT_EQ(fileText(b->getFileName_()), "<Holder name=\"Broken\"><Record></Holder>");
}

TEST(DocumentArchive, ClimbingPartNamesWriteNothingOutside) {
  FixedWorld world;
  TempDir tmp;
  fs::create_directories(tmp.path / "inner");
  const std::string maz = tmp.str("inner/evil.maz");
  // Parts named "../evil1.txt", "..\..\evil2.txt", "C:evil3.txt", "/tmp/evil4.txt", "..", ".", ""
  // and "sub/../../evil5.txt".
  ASSERT_TRUE(platform::writeFileAtomic(maz, ZCompress(readTestData("records/climbing_parts.mime"))));
  std::vector<std::string> written;
  StringList messages;
  int n = UnpackArchive(maz, "", written, messages);
  EXPECT_EQ(n, 5);
  for (const auto& w : written) EXPECT_EQ(platform::dirOf(w), tmp.str("inner/")) << w;
  EXPECT_TRUE(platform::fileExists(tmp.str("inner/evil1.txt")));
  EXPECT_TRUE(platform::fileExists(tmp.str("inner/evil3.txt")));
  EXPECT_TRUE(platform::fileExists(tmp.str("inner/evil5.txt")));
  int outside = 0;
  for (auto& e : fs::directory_iterator(tmp.path)) outside += e.is_regular_file();
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(ArchivePartFileName("a\\b/c:d.mxh"), "d.mxh");
  EXPECT_EQ(ArchivePartFileName(".."), "");
  EXPECT_EQ(ArchivePartFileName(std::string("..\0x", 4)), "");

  // Not an archive at all.
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("inner/plain.maz"), "not compressed"));
  EXPECT_EQ(UnpackArchive(tmp.str("inner/plain.maz"), "", written, messages), -1);
}

TEST(NotebookFile, FailedWriteKeepsOldFileAndModifiedFlag) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "Book");
  addNote(*h, "n", std::string(20000, 'x') + "\r\n");
  const std::string file = h->getFileName_();
  ASSERT_TRUE(platform::writeFileAtomic(file, "old contents"));
  h->modified = true;

  if (geteuid() != 0) {
    fs::permissions(tmp.path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(h->saveToFile_(file), -1);
    fs::permissions(tmp.path, fs::perms::owner_all);
    EXPECT_EQ(fileText(file), "old contents");
  }
  // A file-size limit makes the write itself fail, even for root.
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  auto prevHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  long long r = h->saveToFile_(file);
  long long rz = doc->saveToFile_(tmp.str("Doc.mxa"));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, prevHandler);
  EXPECT_EQ(r, -1);
  EXPECT_GT(rz, 0);  // the small document file fits
  EXPECT_EQ(fileText(file), "old contents");
  EXPECT_TRUE(h->modified);
  int leftovers = 0;
  for (auto& e : fs::directory_iterator(tmp.path)) leftovers += e.path().filename().string()[0] == '.';
  EXPECT_EQ(leftovers, 0);
}

TEST(DocumentFile, NotebookMovesAndNotebookCopy) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.str("Doc.mxa"));
  for (const char* n : {"a", "b", "c", "d"}) addBook(*doc, n);
  auto order = [&] {
    StringList l;
    doc->getHolderList_(l);
    return l.join(",");
  };
  doc->moveHolderUp_(0);  // nothing above the first
  doc->moveHolderDown_(3);
  EXPECT_EQ(order(), "a,b,c,d");
  doc->moveHolderUp_(2);
  EXPECT_EQ(order(), "a,c,b,d");
  doc->moveHolderBottom_(0);
  EXPECT_EQ(order(), "c,b,d,a");
  doc->moveHolder_(3, 1);
  EXPECT_EQ(order(), "c,a,b,d");
  MemoHolder* fresh = doc->addNewHolder_(1);
  EXPECT_EQ(fresh->name(), "new");
  EXPECT_EQ(doc->addNewHolder_(-1)->name(), "new_01");
  EXPECT_EQ(order(), "c,new,a,b,d,new_01");
  EXPECT_EQ(doc->removeHolder_(fresh), 1);
  delete fresh;

  MemoHolder* src = doc->findHolderByName_("a");
  addNote(*src, "one", "1\r\n");
  addNote(*src, "two", "2\r\n");
  src->putCurrentNode_(src->getNode_(1));
  src->CountSave = 9;
  src->SaveMinutes = 3;
  std::unique_ptr<MemoHolder> copy(dynamic_cast<MemoHolder*>(src->deepCopy()));
  ASSERT_NE(copy, nullptr);
  expectSameNotes(*src, *copy);
  EXPECT_EQ(copy->getCurrentNode_(), copy->getNode_(1));
  EXPECT_EQ(copy->getNode_(0)->owner(), copy.get());
  EXPECT_EQ(copy->SaveMinutes, 3);
  EXPECT_EQ(copy->CountSave, 0);
  EXPECT_EQ(copy->getField_("ModeNodesMngr"), "\"Nodes\"");
}

// The memos typed in the notebook and document property windows: each is kept in its
// file and comes back as the record's own lines, none joining a note.
TEST(Memos, NotebookMemoHasAFieldOfItsOwnAndReadsBackIntoItsLines) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "Diary");
  addNote(*h, "last", "note text\r\n");
  const std::string memo =
      "first line\r\n  indented & <b>\"quoted\"</b>\r\n\r\ntyped <BR/> and &amp; as text\r\n\x93\xfa\x96\x7b\r\n";
  h->body().setText(memo);
  h->putField_("MailServer", "\"mail.example\"");
  const std::string path = tmp.str("Diary.mxh");
  ASSERT_GT(h->saveToFile_(path), 0);
  EXPECT_EQ(fileText(path), readTestData("records/notebook_memo.mxh"));

  auto back = newDoc(tmp.str("Doc.mxa"));
  MemoHolder* read = addBook(*back, "Diary");
  StringList messages;
  ASSERT_EQ(LoadHolder(*read, messages), 0) << messages.text();
  EXPECT_EQ(read->body().text(), memo);
  EXPECT_EQ(read->getIndexField_("HolderMemo"), -1);  // held as lines, not as a setting
  EXPECT_EQ(read->getField_("MailServer"), "\"mail.example\"");
  ASSERT_EQ(read->getNodeCount_(), 1);
  EXPECT_EQ(read->getNode_(0)->body().text(), "note text\r\n");
  EXPECT_EQ(read->CountSave, 1);
  // Written again, the same file (the save counter aside).
  ASSERT_GT(read->saveToFile_(path), 0);
  EXPECT_EQ(fileText(path), sjis::replaceAll(readTestData("records/notebook_memo.mxh"), "CountSave=\"1\"",
                                          "CountSave=\"2\""));

  // Without a memo no such field is written.
  read->body().clear();
  EXPECT_EQ(read->saveToText_().find("HolderMemo"), std::string::npos);
}

TEST(Memos, DocumentMemoIsTheDocumentsOwnLines) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.str("Doc.mxa");
  auto doc = newDoc(path);
  addBook(*doc, "One");
  const std::string memo = "about this document\r\n  <kept> & \"as typed\"\r\n\r\n\x93\xfa\x96\x7b\r\n";
  doc->body().setText(memo);
  ASSERT_GT(doc->saveToFile_(path), 0);
  EXPECT_EQ(fileText(path), sjis::replaceAll(readTestData("records/document_memo.mxa"), "@PATH@", path));

  auto back = newDoc(tmp.str("unused.mxa"));
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*back, path, messages), 0) << messages.text();
  EXPECT_EQ(back->body().text(), memo);
  ASSERT_EQ(back->getHolderCount_(), 1);
  EXPECT_EQ(back->getHolder_(0)->name(), "One");
}

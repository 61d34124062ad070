// Files laid out byte by byte as the Windows program writes them (tests/data/formats/):
// Shift_JIS, CR LF, double-byte characters whose second byte is "\" ("ソ" 83 5C, "表"
// 95 5C) or an ASCII letter ("ア" 83 41 beside "ヂ" 83 61). Each must open through the
// public readers with every note intact and save back with only its stamps changed.
#include <gtest/gtest.h>

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

namespace {

std::string data(const std::string& name) { return readTestData("formats/" + name); }

std::string inflated(const std::string& z) {
  std::string out;
  EXPECT_TRUE(ZInflate(z, out));
  return out;
}

// The stamps a save renews: the header comment, and for a saved notebook file its save
// time and counter.
std::string restamped(std::string text, const std::string& oldCount = "", const std::string& newCount = "") {
  text = sjis::replaceAll(text, "<!-- 20240315 101112 -->", "<!-- 20261206 123456 -->");
  text = sjis::replaceAll(text, "<!-- 20240315 101113 -->", "<!-- 20261206 123456 -->");
  if (!oldCount.empty()) {
    text = sjis::replaceAll(text, "TimeSaved=\"20240315 101112\"", "TimeSaved=\"20261206 123456\"");
    text = sjis::replaceAll(text, "CountSave=\"" + oldCount + "\"", "CountSave=\"" + newCount + "\"");
  }
  return text;
}

// Every note of the tree notebook, field by field and byte by byte; the binary note's
// content holds "\" bytes, a NUL, CR LF and bytes that are no text at all.
void expectTreeNotebook(MemoHolder& h) {
  EXPECT_EQ(describe(h), readTestData("records/tree_notebook.txt"));
  ASSERT_EQ(h.getNodeCount_(), 6);
  EXPECT_EQ(h.getNode_(0)->getField_(sj("表示")), sj("\"ソ表 \"引用\" & <山>\""));
  EXPECT_EQ(h.getNode_(1)->getField_(sj("ア")), "\"1\"");
  EXPECT_EQ(h.getNode_(1)->getField_(sj("ヂ")), "\"2\"");
}

// "ヂ" (83 61) and "ア" (83 41) differ only in what looks like letter case in their
// second bytes: two names, not one.
void expectPackedNotebook(MemoHolder& h) {
  EXPECT_EQ(describe(h), readTestData("records/packed_notebook.txt"));
  ASSERT_EQ(h.getNodeCount_(), 2);
  EXPECT_EQ(h.findNodeByName_(sj("ア")), h.getNode_(1));
}

// The document and its notebooks: the names the document gives them, and their data files.
const char* const kNames[] = {"メモ帳.mxa", "ソ表ノート.mxh", "圧縮.mhz", "読専.mxh"};
const char* const kFiles[] = {"doc.mxa", "tree.mxh", "packed.mhz", "readonly.mxh"};

// A notebook's text as an archive holds it: the ".mhz" one inflated.
std::string partText(int i) { return i == 2 ? inflated(data(kFiles[i])) : data(kFiles[i]); }

void layOut(const TempDir& dir) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(platform::writeFileAtomic(dir.dir() + sj(kNames[i]), data(kFiles[i])));
}

}  // namespace

TEST(WindowsFiles, NotebookTextOpensAndSavesBackWithOnlyStampsChanged) {
  FixedWorld world;
  TempDir tmp;
  const std::string in = tmp.dir() + sj("ソ表ノート.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(in, data("tree.mxh")));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(in, opened, error)) << error;
  ASSERT_NE(opened.lone, nullptr);
  EXPECT_EQ(opened.lone->name(), sj("ソ表ノート"));
  ASSERT_NO_FATAL_FAILURE(expectTreeNotebook(*opened.lone));
  const std::string notes = describeNotes(*opened.lone);

  const std::string out = tmp.dir() + sj("保存ソ.mxh");
  ASSERT_TRUE(WriteRecords(opened, out, error)) << error;
  EXPECT_EQ(fileText(out), restamped(data("tree.mxh"), "41", "42"));
  // The binary note's content is still there after the save.
  EXPECT_EQ(describeNotes(*opened.lone), notes);
}

TEST(WindowsFiles, CompressedNotebookOpensAndSavesBack) {
  FixedWorld world;
  TempDir tmp;
  const std::string in = tmp.dir() + sj("圧縮.mhz");
  ASSERT_TRUE(platform::writeFileAtomic(in, data("packed.mhz")));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(in, opened, error)) << error;
  ASSERT_NO_FATAL_FAILURE(expectPackedNotebook(*opened.lone));

  const std::string out = tmp.dir() + "again.mhz";
  ASSERT_TRUE(WriteRecords(opened, out, error)) << error;
  std::string packed = fileText(out);
  EXPECT_EQ(packed.substr(0, 2), "\x78\x9C");
  EXPECT_EQ(inflated(packed), restamped(inflated(data("packed.mhz")), "7", "8"));
}

TEST(WindowsFiles, DocumentOpensItsNotebooksAndSavesBack) {
  FixedWorld world;
  TempDir tmp, out;
  layOut(tmp);
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(tmp.dir() + sj("メモ帳.mxa"), opened, error)) << error;
  MemoFile& doc = *opened.doc;
  EXPECT_EQ(doc.name(), sj("メモ帳"));
  ASSERT_EQ(doc.getHolderCount_(), 3);
  EXPECT_EQ(doc.getHolder_(0)->name(), sj("ソ表ノート"));
  EXPECT_EQ(doc.getHolder_(1)->name(), sj("圧縮"));
  EXPECT_EQ(doc.getHolder_(2)->name(), sj("読専"));
  EXPECT_EQ(doc.getCurrentHolder(), doc.getHolder_(1));
  EXPECT_EQ(doc.getField_("Filename"), "\"" + tmp.dir() + sj("メモ帳.mxa") + "\"");
  EXPECT_EQ(doc.getField_("Version"), "\"wux 1.3\"");
  EXPECT_EQ(doc.getField_("MailFrom"), "\"a@example.com\"");
  EXPECT_EQ(doc.body().text(), sj("文書の本文ソ\r\n\r\n"));
  ASSERT_NO_FATAL_FAILURE(expectTreeNotebook(*doc.getHolder_(0)));
  ASSERT_NO_FATAL_FAILURE(expectPackedNotebook(*doc.getHolder_(1)));
  // Notes may share a name in this one.
  EXPECT_EQ(describe(*doc.getHolder_(2)), readTestData("records/readonly_notebook.txt"));
  // The lookup through note, notebook and document.
  EXPECT_EQ(doc.getHolder_(0)->getNode_(0)->getFieldInherited_("MailFrom"), "\"a@example.com\"");

  ASSERT_TRUE(WriteRecords(opened, out.dir() + sj("メモ帳.mxa"), error)) << error;
  std::string expected = restamped(data("doc.mxa"));
  expected = sjis::replaceAll(expected, sj("Filename=\"C:\\表\\メモ帳.mxa\""),
                              "Filename=\"" + out.dir() + sj("メモ帳.mxa") + "\"");
  EXPECT_EQ(fileText(out.dir() + sj("メモ帳.mxa")), expected);
  EXPECT_EQ(fileText(out.dir() + sj("ソ表ノート.mxh")), restamped(data("tree.mxh"), "41", "42"));
  EXPECT_EQ(inflated(fileText(out.dir() + sj("圧縮.mhz"))), restamped(inflated(data("packed.mhz")), "7", "8"));
  EXPECT_EQ(fileText(out.dir() + sj("読専.mxh")), restamped(data("readonly.mxh"), "2", "3"));
}

TEST(WindowsFiles, ArchiveUnpacksOpensAndSavesBack) {
  FixedWorld world;
  TempDir tmp, unpacked;
  const std::string maz = tmp.dir() + sj("メモ帳.maz");
  ASSERT_TRUE(platform::writeFileAtomic(maz, data("doc.maz")));

  // Every part lands beside the archive under the last part of its Windows name; the
  // notebook parts hold the notebook texts exactly, the ".mhz" one as plain text.
  std::vector<std::string> written;
  StringList messages;
  ASSERT_EQ(UnpackArchive(maz, unpacked.dir(), written, messages), 4) << messages.text();
  ASSERT_EQ(written.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(written[i], unpacked.dir() + sj(kNames[i]));
  for (int i = 1; i < 4; ++i) EXPECT_EQ(fileText(written[i]), partText(i)) << kFiles[i];
  const std::string docText = data("doc.mxa");
  EXPECT_EQ(fileText(written[0]), docText.substr(docText.find("<File")) + "\r\n");

  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(maz, opened, error)) << error;
  MemoFile& doc = *opened.doc;
  ASSERT_EQ(doc.getHolderCount_(), 3);
  ASSERT_NO_FATAL_FAILURE(expectTreeNotebook(*doc.getHolder_(0)));
  ASSERT_NO_FATAL_FAILURE(expectPackedNotebook(*doc.getHolder_(1)));
  EXPECT_EQ(doc.getCurrentHolder(), doc.getHolder_(1));

  // Written again: parts that differ only in their stamps.
  TempDir again, check;
  const std::string out = again.dir() + sj("メモ帳.maz");
  ASSERT_TRUE(WriteRecords(opened, out, error)) << error;
  StringList mime;
  mime.setText(inflated(fileText(out)));
  ASSERT_GT(mime.count(), 12);  // frame and boundary: DocumentArchive.TwoNotebooksUnpackAndOpenIdentically
  EXPECT_EQ(mime[6], "Content-Type: text/xml; charset=x-sjis");
  EXPECT_EQ(mime[9], "  filename=\"" + again.dir() + sj("メモ帳.mxa") + "\"");
  EXPECT_EQ(sjis::countOf(mime.text(), "Content-Transfer-Encoding: base64\r\n"), 3u);
  written.clear();
  ASSERT_EQ(UnpackArchive(out, check.dir(), written, messages), 4) << messages.text();
  for (int i = 1; i < 4; ++i) EXPECT_EQ(fileText(written[i]), restamped(partText(i))) << kFiles[i];
  std::string element = docText.substr(docText.find("<File"));
  element = sjis::replaceAll(element, sj("Filename=\"C:\\表\\メモ帳.mxa\""),
                             "Filename=\"" + again.dir() + sj("メモ帳.mxa") + "\"");
  EXPECT_EQ(fileText(written[0]), element + "\r\n");
}

TEST(DamagedFiles, NotebookCutShortIsShownButNeverSavedOver) {
  FixedWorld world;
  TempDir tmp;
  auto doc = newDoc(tmp.dir() + "doc.mxa");
  MemoHolder* h = doc->newHolder_();
  std::string actual;
  doc->addHolder_(h, "book", actual);
  const std::string path = tmp.dir() + "book.mxh";

  // Cut inside the Base64 text of the image note: what is left still parses.
  const std::string whole = data("tree.mxh");
  const std::string cut = whole.substr(0, whole.find("1vsgRW") + 10);
  ASSERT_TRUE(platform::writeFileAtomic(path, cut));
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*h, path, messages), -1);
  EXPECT_NE(messages.text().find("cut short"), std::string::npos) << messages.text();
  ASSERT_EQ(h->getNodeCount_(), 4);  // the notes before the cut are there to see
  EXPECT_EQ(h->getNode_(0)->body().text().substr(0, 4), sj("ソフ"));
  EXPECT_TRUE(h->loaded);
  EXPECT_TRUE(h->loadFailed);
  EXPECT_EQ(h->saveToFile_(path), -1);
  EXPECT_EQ(fileText(path), cut);
  EXPECT_GT(h->saveToFile_(tmp.dir() + "rescued.mxh"), 0);

  // Files that do not parse leave the notebook empty; no save may replace them.
  const std::string noEnd = sjis::replaceAll(whole, "  </Record>\r\n  <Record name=\"URL\">", "  <Record name=\"URL\">");
  const std::string lowerEnd = sjis::replaceAll(whole, "second &lt;c&gt;<BR/>\r\n    </Comment>\r\n  </Record>",
                                                "second &lt;c&gt;<BR/>\r\n    </Comment>\r\n  </record>");
  const std::string wide("\xFF\xFE<\0?\0x\0m\0l\0", 12);
  for (const std::string& bad : {noEnd, lowerEnd, wide}) {
    MemoHolder* fresh = doc->newHolder_();
    doc->addHolder_(fresh, "fresh", actual);
    const std::string file = fresh->getFileName_();
    ASSERT_TRUE(platform::writeFileAtomic(file, bad));
    messages.clear();
    EXPECT_EQ(ReadHolderFile(*fresh, file, messages), -1);
    EXPECT_FALSE(messages.empty());
    EXPECT_EQ(fresh->getNodeCount_(), 0);
    fresh->createNewNode_();  // what the window does with a notebook left without notes
    EXPECT_EQ(fresh->saveToFile_(file), -1);
    EXPECT_EQ(fileText(file), bad);
    doc->removeHolder_(fresh);
    delete fresh;
  }
  EXPECT_NE(messages.text().find("fresh.mxh"), std::string::npos);
  // An empty file holds nothing to lose: the notebook starts empty and saves there.
  MemoHolder* blank = doc->newHolder_();
  doc->addHolder_(blank, "blank", actual);
  ASSERT_TRUE(platform::writeFileAtomic(blank->getFileName_(), ""));
  messages.clear();
  EXPECT_EQ(ReadHolderFile(*blank, blank->getFileName_(), messages), 0);
  EXPECT_NE(messages.text().find("empty"), std::string::npos);
  blank->createNewNode_();
  EXPECT_GT(blank->saveToFile_(blank->getFileName_()), 0);

  // A compressed notebook cut short: what inflates before the cut is read, and the file
  // is kept; one cut before any notebook text shows nothing.
  MemoHolder* zbook = doc->newHolder_();
  doc->addHolder_(zbook, "packed", actual);
  zbook->putField_("FileExt", "\".mhz\"");
  const std::string z = zbook->getFileName_();
  const std::string packed = ZCompress(whole);
  for (std::size_t keep : {packed.size() * 3 / 4, packed.size() - 2, std::size_t{8}}) {
    ASSERT_TRUE(platform::writeFileAtomic(z, packed.substr(0, keep)));
    messages.clear();
    EXPECT_EQ(ReadHolderFile(*zbook, z, messages), -1);
    EXPECT_NE(messages.text().find("damaged"), std::string::npos);
    if (keep > 8) {
      ASSERT_GE(zbook->getNodeCount_(), 1);
      EXPECT_EQ(zbook->getNode_(0)->name(), sj("親ソ"));
    }
    EXPECT_EQ(zbook->saveToFile_(z), -1);
    EXPECT_EQ(fileText(z), packed.substr(0, keep));
    while (MemoNode* n = zbook->getFirstNode_()) {
      zbook->removeNode_(n);
      delete n;
    }
  }

  // Text in another encoding is kept byte for byte: only the stamps change.
  const std::string utf8 = platform::sjisToUtf8(whole);
  ASSERT_TRUE(platform::writeFileAtomic(path, utf8));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(path, opened, error)) << error;
  ASSERT_TRUE(WriteRecords(opened, tmp.dir() + "utf8.mxh", error)) << error;
  // The notebook is named after its file, as the program names a notebook it opens.
  EXPECT_EQ(fileText(tmp.dir() + "utf8.mxh"),
            sjis::replaceAll(restamped(utf8, "41", "42"), "<Holder name=\"" + platform::sjisToUtf8(sj("ソ表ノート")),
                             "<Holder name=\"book"));
}

TEST(DamagedFiles, DocumentAndArchiveCutShortSaySo) {
  FixedWorld world;
  TempDir tmp, unpacked;
  const std::string text = data("doc.mxa");
  const std::string cut = text.substr(0, text.find(sj("  <Holder name=\"読専\">")));
  ASSERT_TRUE(platform::writeFileAtomic(tmp.dir() + "cut.mxa", cut));
  auto doc = std::unique_ptr<MemoFile>(Create<MemoFile>(nullptr));
  StringList messages;
  EXPECT_EQ(ReadDocumentFile(*doc, tmp.dir() + "cut.mxa", messages), -1);
  EXPECT_NE(messages.text().find("cut short"), std::string::npos) << messages.text();

  // The archive text stops inside its last notebook part.
  std::string mime = inflated(data("doc.maz"));
  mime = mime.substr(0, mime.rfind("Content-Type: text/xml") + 300);
  ASSERT_TRUE(platform::writeFileAtomic(tmp.dir() + "cut.maz", ZCompress(mime)));
  std::vector<std::string> written;
  messages.clear();
  EXPECT_EQ(UnpackArchive(tmp.dir() + "cut.maz", unpacked.dir(), written, messages), 3);
  EXPECT_NE(messages.text().find("cut short"), std::string::npos) << messages.text();
  EXPECT_EQ(fileText(unpacked.dir() + sj("ソ表ノート.mxh")), data("tree.mxh"));

  // The compressed stream itself cut short.
  const std::string maz = data("doc.maz");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.dir() + "short.maz", maz.substr(0, maz.size() - 40)));
  written.clear();
  messages.clear();
  EXPECT_EQ(UnpackArchive(tmp.dir() + "short.maz", unpacked.dir(), written, messages), -1);
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(messages.empty());

  // The whole archive raises no complaint.
  messages.clear();
  written.clear();
  ASSERT_TRUE(platform::writeFileAtomic(tmp.dir() + "whole.maz", maz));
  EXPECT_EQ(UnpackArchive(tmp.dir() + "whole.maz", unpacked.dir(), written, messages,
                          [](const std::string&) { return true; }),
            4);
  EXPECT_TRUE(messages.empty()) << messages.text();
}

TEST(DamagedFiles, UnpackingAsksBeforeReplacingFilesBesideTheArchive) {
  FixedWorld world;
  TempDir tmp;
  const std::string maz = tmp.dir() + sj("メモ帳.maz");
  ASSERT_TRUE(platform::writeFileAtomic(maz, data("doc.maz")));
  const std::string newer = tmp.dir() + sj("ソ表ノート.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(newer, "newer notes"));
  std::vector<std::string> asked;
  bool answer = false;
  auto overwrite = [&](const std::string& path) {
    asked.push_back(path);
    return answer;
  };
  std::vector<std::string> written;
  StringList messages;
  EXPECT_EQ(UnpackArchive(maz, "", written, messages, overwrite), 3);
  EXPECT_EQ(asked, std::vector<std::string>{newer});
  EXPECT_EQ(fileText(newer), "newer notes");
  EXPECT_NE(messages.text().find("Not overwritten: " + newer), std::string::npos);
  // Without anyone to ask, nothing is replaced; the files that hold their part already
  // count as unpacked.
  messages.clear();
  written.clear();
  EXPECT_EQ(UnpackArchive(maz, "", written, messages), 3);
  EXPECT_EQ(sjis::countOf(messages.text(), "Not overwritten: "), 1u);
  EXPECT_EQ(written.size(), 3u);

  // Unpacked again: every file is there now; only the one that differs is asked about,
  // and OK replaces it.
  asked.clear();
  written.clear();
  answer = true;
  EXPECT_EQ(UnpackArchive(maz, "", written, messages, overwrite), 4);
  EXPECT_EQ(asked, std::vector<std::string>{newer});
  EXPECT_EQ(fileText(newer), data("tree.mxh"));
  EXPECT_TRUE(world.recorder.asked.empty());  // the file layer asks nobody itself
}

TEST(ArchiveParts, FolderNamesWithQuotesStillUnpackUnderTheRightNames) {
  FixedWorld world;
  TempDir tmp, unpacked;
  const std::string dir = tmp.dir() + "my \"quoted\" notes/";
  ASSERT_TRUE(platform::makeDirs(dir));
  layOut(tmp);
  for (const char* name : kNames)
    ASSERT_TRUE(platform::writeFileAtomic(dir + sj(name), fileText(tmp.dir() + sj(name))));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(dir + sj("メモ帳.mxa"), opened, error)) << error;
  ASSERT_GT(opened.doc->saveMAZ_(dir + "doc.maz"), 0);
  std::vector<std::string> written;
  StringList messages;
  ASSERT_EQ(UnpackArchive(dir + "doc.maz", unpacked.dir(), written, messages), 4) << messages.text();
  EXPECT_EQ(written[0], unpacked.dir() + sj("メモ帳.mxa"));
  EXPECT_EQ(written[1], unpacked.dir() + sj("ソ表ノート.mxh"));
  OpenedRecords back;
  ASSERT_TRUE(OpenRecords(written[0], back, error)) << error;
  ASSERT_NO_FATAL_FAILURE(expectTreeNotebook(*back.doc->getHolder_(0)));
}

TEST(WindowsFiles, DailyNamesFromAJapaneseDatePattern) {
  FixedWorld world;
  TempDir tmp;
  const std::string path = tmp.dir() + "daily.mxh";
  ASSERT_TRUE(platform::writeFileAtomic(
      path, crlf({"<Holder name=\"daily\">", "  <Field NewNodeName=\"Daily\"/>",
                  sj("  <Field FormatDate=\"YYYY年MM月DD日(ddd)\"/>"), "</Holder>"})));
  OpenedRecords opened;
  std::string error;
  ASSERT_TRUE(OpenRecords(path, opened, error)) << error;
  // A notebook without notes opens with one new note, named by its pattern: "年" is
  // 94 4E, and its second byte must not be read as the minutes letter.
  ASSERT_EQ(opened.lone->getNodeCount_(), 1);
  EXPECT_EQ(opened.lone->getNode_(0)->name(), sj("2026年12月06日(Sun)"));
}

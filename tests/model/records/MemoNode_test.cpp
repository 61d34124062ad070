// Notes and the record base: fields, the Record element, content import and export,
// search, replace and grep.
#include <gtest/gtest.h>

#include <memory>

#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "model/tagtree.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "records_support.h"
#include "support/data_files.h"

using namespace wux;
using namespace wux::testing;

namespace {

// A document with one notebook "Book", its file in `dir`.
struct Book {
  std::unique_ptr<MemoFile> doc;
  MemoHolder* holder;
  explicit Book(const std::string& dir) : doc(newDoc(dir + "doc.mxa")), holder(addBook(*doc, "Book")) {}
  MemoNode* add(const std::string& name) { return addNote(*holder, name); }
};

std::string recordText(MemoNode* n) {
  StringList lines;
  n->writeRecord_(lines, "  ");
  return lines.text();
}

}  // namespace

TEST(MemoFields, QuotedStorageAbsentEmptyAndCase) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* n = book.add("n");
  EXPECT_EQ(n->getField_("Color"), "");
  EXPECT_EQ(n->getIndexField_("Color"), -1);
  EXPECT_EQ(n->putField_("Color", "\"clRed\""), 0);
  EXPECT_EQ(n->putField_("Other", "\"x\""), 1);
  EXPECT_EQ(n->getField_("color"), "\"clRed\"");  // names match in any case
  EXPECT_EQ(n->getColor_(), 0x0000FFu);
  EXPECT_EQ(n->putField_("COLOR", "\"clBlue\""), 0);
  EXPECT_EQ(n->getField_("Color"), "\"clBlue\"");
  // An empty value deletes an existing field and appends a missing one as "name=".
  EXPECT_EQ(n->putField_("Color", ""), 0);
  EXPECT_EQ(n->getIndexField_("Color"), -1);
  EXPECT_EQ(n->getColor_(), 0xFFFFFFu);
  EXPECT_EQ(n->putField_("Empty", ""), 1);
  EXPECT_EQ(n->fieldList()->get(1), "Empty=");
  EXPECT_EQ(n->getField_("Empty"), n->getField_("Absent"));
  EXPECT_EQ(n->removeField_("other"), "Other=\"x\"");
  EXPECT_EQ(n->removeField_("other"), "");

  EXPECT_FALSE(n->isReadOnly_());
  book.holder->putReadOnly_(true);
  EXPECT_TRUE(n->isReadOnly_());  // the notebook's flag holds for its notes
  book.holder->putReadOnly_(false);
  n->putReadOnly_(true);
  EXPECT_EQ(n->getField_("FlagReadOnly"), "\"true\"");
  EXPECT_TRUE(n->isReadOnly_());

  std::string uid = n->newUID_();
  ASSERT_EQ(uid.size(), 1 + 18 + 1 + 8 + 1);
  EXPECT_EQ(uid.substr(0, 20), "\"20261206_123456789_");
  EXPECT_EQ(n->getField_("UID"), uid);
  EXPECT_NE(uid.substr(20, 8), "00000000");

  // Inherited lookup: the note, then its notebook, then the document.
  book.doc->putField_("MailServer", "\"doc.example\"");
  EXPECT_EQ(n->getFieldInherited_("MailServer"), "\"doc.example\"");
  book.holder->putField_("MailServer", "\"book.example\"");
  EXPECT_EQ(n->getFieldInherited_("mailserver"), "\"book.example\"");
  EXPECT_EQ(n->getFieldInherited_(""), "");

  // A parent without a UID gets one, so the link survives a reload.
  MemoNode* parent = book.add("parent");
  n->putParentNode_(parent);
  EXPECT_FALSE(parent->getField_("UID").empty());
  EXPECT_EQ(n->getField_("ParentNodeID"), parent->getField_("UID"));
}

TEST(MemoRecord, WrittenAndReadBackByteForByte) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* text = book.add("note<1>");
  text->putField_("Created", "\"20261206 123456789\"");
  text->putField_("my field", "plain value");
  text->putField_("Quote", "\"say \"hi\"\"");
  text->putField_("", "\"nameless\"");
  text->body().setText("a < b & \"c\"\r\n\r\n  indented\r\n");
  text->ensureComment().setText("first\r\nsecond\r\n");
  MemoNode* img = book.add("img");
  std::string bytes;
  for (int i = 0; i < 58; ++i) bytes += static_cast<char>(i);
  img->putContentStream_(bytes, "image/png", "binary");
  img->putField_("Content-Type", "\"image/png\"");
  img->putField_("Content-Transfer-Encoding", "\"binary\"");
  img->body().add("stale text is not written");
  book.holder->putCurrentNode_(text);

  const std::string file = tmp.str("Book.mxh");
  ASSERT_GT(book.holder->saveToFile_(file), 0);
  const std::string expected = readTestData("records/book.mxh");
  EXPECT_EQ(fileText(file), expected);
  EXPECT_EQ(img->body().count(), 0);  // binary notes keep no text after a write

  Book again(tmp.dir());
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*again.holder, file, messages), 0) << messages.text();
  // Fields gain their quotes ("my_field"); texts and content bytes come back whole.
  EXPECT_EQ(describe(*again.holder), readTestData("records/book_read_back.txt"));

  // Saved again with the same clock: the same bytes.
  const std::string file2 = tmp.str("Book2.mxh");
  again.holder->CountSave = 0;
  ASSERT_GT(again.holder->saveToFile_(file2), 0);
  std::string second = fileText(file2);
  EXPECT_EQ(second, expected);
}

TEST(MemoRecord, LinkAndUrlBodyRules) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* linked = book.add("linked");
  linked->putField_("FlagLink", "\"true\"");
  linked->putField_("Filename", "\"./a.txt\"");
  linked->body().add("from the file");

  MemoNode* unlinked = book.add("nofile");
  unlinked->putField_("FlagLink", "\"true\"");
  unlinked->body().add("kept");

  MemoNode* url = book.add("url");
  url->putField_("Content-Transfer-Encoding", "\"URL\"");
  url->putField_("Filename", "\"http://example.com/\"");
  url->body().add("dropped");

  // Marked binary by hand but holding no content bytes: the text is written, not wiped.
  MemoNode* relabelled = book.add("relabelled");
  relabelled->putField_("Content-Transfer-Encoding", "\"binary\"");
  relabelled->body().add("my text");
  const std::string written = recordText(relabelled);
  const std::string records = recordText(linked) + recordText(unlinked) + recordText(url) + written;
  EXPECT_EQ(records, readTestData("records/link_and_url_records.xml"));
  EXPECT_EQ(linked->body().count(), 1);  // the linked file's text stays in memory
  EXPECT_EQ(url->body().count(), 0);
  EXPECT_EQ(relabelled->body().text(), "my text\r\n");
  TTAGNode root;
  StringList errors;
  ASSERT_EQ(TTAGNode::ParseXmlText(&root, written, errors), 0);
  MemoNode* back = book.add("back");
  back->_readTAG_(root.element(0));
  EXPECT_EQ(back->body().text(), "my text\r\n");

  // A URL note exports as its link page.
  const std::string page = tmp.str("out/url.html");
  long long n = url->exportContent_(page);
  const std::string expected = readTestData("records/url_page.html");
  EXPECT_EQ(fileText(page), expected);
  EXPECT_EQ(n, static_cast<long long>(expected.size()));
  // Text notes export their body; a binary note without data writes nothing.
  EXPECT_EQ(unlinked->exportContent_(tmp.str("kept.txt")), 6);
  EXPECT_EQ(fileText(tmp.str("kept.txt")), "kept\r\n");
  MemoNode* empty = book.add("empty");
  empty->putField_("Content-Transfer-Encoding", "\"binary\"");
  std::string error;
  EXPECT_EQ(empty->exportContent_(tmp.str("none.bin"), &error), -2);
  EXPECT_FALSE(platform::fileExists(tmp.str("none.bin")));
  EXPECT_NE(error.find("no content"), std::string::npos) << error;
  // A failed write names its reason.
  ASSERT_TRUE(platform::makeDirs(tmp.str("taken.txt")));
  EXPECT_EQ(unlinked->exportContent_(tmp.str("taken.txt"), &error), -1);
  EXPECT_EQ(error, "cannot write " + tmp.str("taken.txt") + ": is a directory");
}

TEST(MemoContent, ShellScriptsAreWrittenWithLfAndOtherNotesKeepCrLf) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* cmd = book.add("cmd");
  cmd->body().setText("cd /tmp\r\npwd");
  // By the file's name: a ".sh" file, in any letter case, and a one-line note too.
  EXPECT_EQ(cmd->exportContent_(tmp.str("run.sh")), 12);
  EXPECT_EQ(fileText(tmp.str("run.sh")), "cd /tmp\npwd\n");
  EXPECT_EQ(cmd->exportContent_(tmp.str("RUN.SH")), 12);
  EXPECT_EQ(fileText(tmp.str("RUN.SH")), "cd /tmp\npwd\n");
  MemoNode* one = book.add("one");
  one->body().setText("pwd");
  one->exportContent_(tmp.str("one.sh"));
  EXPECT_EQ(fileText(tmp.str("one.sh")), "pwd\n");
  // The same text under another name keeps its bytes.
  cmd->exportContent_(tmp.str("run.txt"));
  EXPECT_EQ(fileText(tmp.str("run.txt")), "cd /tmp\r\npwd\r\n");
  cmd->exportContent_(tmp.str("sh"));
  EXPECT_EQ(fileText(tmp.str("sh")), "cd /tmp\r\npwd\r\n");

  // By the first line: "#!" only at its very start.
  MemoNode* bang = book.add("bang");
  bang->body().setText("#!/bin/sh\r\necho \x82\xa0\r\n");
  bang->exportContent_(tmp.str("tool"));
  EXPECT_EQ(fileText(tmp.str("tool")), "#!/bin/sh\necho \x82\xa0\n");
  MemoNode* indented = book.add("indented");
  indented->body().setText(" #!/bin/sh\r\nx");
  indented->exportContent_(tmp.str("indented"));
  EXPECT_EQ(fileText(tmp.str("indented")), " #!/bin/sh\r\nx\r\n");
  MemoNode* blank = book.add("blank");
  EXPECT_EQ(blank->exportContent_(tmp.str("blank.sh")), 0);
  EXPECT_EQ(fileText(tmp.str("blank.sh")), "");

  // A note read from a UTF-8 file goes back as UTF-8, a script with LF even over a
  // file that had CR LF.
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("u.sh"), "echo old\r\n"));
  MemoNode* utf = book.add("utf");
  utf->putField_("Charset", "\"UTF-8\"");
  utf->body().setText("echo \x82\xa0\r\nls");
  utf->exportContent_(tmp.str("u.sh"));
  EXPECT_EQ(fileText(tmp.str("u.sh")), "echo \xe3\x81\x82\nls\n");
}

TEST(MemoRecord, CommentAndBodyTextAfterLastBreakIsKept) {
  FixedWorld world;
  TempDir tmp;
  const std::string file = tmp.str("hand.mxh");
  ASSERT_TRUE(platform::writeFileAtomic(file, readTestData("records/text_after_last_break.mxh")));
  Book book(tmp.dir());
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*book.holder, file, messages), 0) << messages.text();
  MemoNode* r = book.holder->findNodeByName_("r");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->body().text(), "line one\r\ntail of body\r\n");
  EXPECT_EQ(r->comment()->text(), "c1\r\nc2 without break\r\n");
}

TEST(MemoContent, ImportByExtensionTable) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  // Binary files give their size, text files 0; the type follows the extension in any case.
  const struct {
    const char* file;
    std::string bytes;
    const char* given;
    long long result;
  } cases[] = {{"Photo.JPG", std::string("\xFF\xD8\xFF\xE0 jpeg", 9), "given.jpg", 9},
               {"notes.txt", "one\r\ntwo\r\n", "", 0},
               {"doc.sgml", "<x>\r\n", "", 0},
               {"a.xyz", "abc", "", 3}};
  for (const auto& c : cases) {
    ASSERT_TRUE(platform::writeFileAtomic(tmp.str(c.file), c.bytes));
    EXPECT_EQ(book.add(c.file)->importContent_(tmp.str(c.file), c.given), c.result) << c.file;
  }
  const std::string notes = sjis::replaceAll(describeNotes(*book.holder), tmp.dir(), "@DIR@/");
  EXPECT_EQ(notes, readTestData("records/imported_notes.txt"));

  MemoNode* other = book.holder->getNode_(3);
  std::string error;
  EXPECT_EQ(other->importContent_(tmp.str("missing.txt"), "", &error), -1);
  EXPECT_EQ(error, "not found: " + tmp.str("missing.txt"));
  EXPECT_EQ(other->importContent_("file:///etc/hostname", "", &error), -1);
  EXPECT_EQ(error, "Still Not Implimented. ");
  EXPECT_TRUE(world.recorder.asked.empty());  // the caller shows it

  MemoNode* blank = book.add("blank");
  EXPECT_EQ(blank->newBlankImage_(), 54 + 92 * 30);
  EXPECT_EQ(blank->content()->transferEncoding, "8bit");
  EXPECT_EQ(blank->getField_("Content-Transfer-Encoding"), "\"binary\"");
  EXPECT_EQ(blank->content()->data()->substr(0, 2), "BM");
}

TEST(MemoContent, ImportFromLoopbackServerAndFailure) {
  FixedWorld world;
  TempDir served, tmp;
  ASSERT_TRUE(platform::writeFileAtomic(served.str("page.txt"), "served line\r\n"));
  LoopbackServer server(served.str());
  ASSERT_TRUE(server.ready()) << "python3 http.server did not start";
  setenv("TMPDIR", tmp.str().c_str(), 1);
  Book book(tmp.dir());
  MemoNode* n = book.add("web");
  const std::string url = server.url("/page.txt");
  EXPECT_EQ(n->importContent_(url, ""), 0);
  EXPECT_EQ(n->body().text(), "served line\r\n");
  EXPECT_EQ(n->getField_("Filename"), "\"" + url + "\"");

  MemoNode* bad = book.add("bad");
  EXPECT_EQ(bad->importContent_(server.url("/missing.txt"), ""), -2);
  EXPECT_EQ(bad->importContent_("http://127.0.0.1:" + std::to_string(freePort()) + "/x.txt", ""), -2);
  EXPECT_EQ(bad->getField_("Filename"), "");
  unsetenv("TMPDIR");
}

TEST(MemoSearch, GrepReplaceAndDoubleByteText) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* n = book.add("Alpha note");
  n->body().setText("one apple\r\nno match\r\nApple pie\r\n");
  n->ensureComment().setText("apple comment\r\n");
  n->putField_("Fruit", "\"apple\"");

  StringList out;
  EXPECT_TRUE(n->grep_("apple", true, out, true, true, true, true));
  EXPECT_EQ(out.text(), crlf({"Memo:000001:      1: one apple", "Memo:000002:      3: Apple pie",
                              "Comment:000001:      1: apple comment", "Fields:000001:      1: Fruit=\"apple\""}));
  out.clear();
  EXPECT_TRUE(n->grep_("Alpha", false, out, true, false, false, false));
  EXPECT_EQ(out.text(), crlf({"Name:Alpha note"}));
  EXPECT_FALSE(n->grep_("", false, out, true, true, true, true));

  EXPECT_TRUE(n->match_("PIE", true, false, true, false, false));
  EXPECT_FALSE(n->match_("PIE", false, false, true, false, false));
  EXPECT_FALSE(n->match_("apple", true, false, false, false, false));

  StringList log;
  EXPECT_FALSE(n->replace_("apple", "pear", log, true, true, true, true, true));
  EXPECT_EQ(n->body().text(), "one pear\r\nno match\r\npear pie\r\n");
  EXPECT_EQ(log.text(), crlf({"replace Memo 000001", "replace Memo 000003", "replace Comment 000001",
                              "replace Field 000001"}));
  log.clear();
  n->replace_("Alpha", "Beta", log, true, false, false, false, false);
  EXPECT_EQ(n->name(), "Beta note");
  EXPECT_EQ(log.text(), crlf({"replace name Beta note"}));

  // Replacing never rescans its own output.
  log.clear();
  n->body().setText("a-a\r\n");
  n->replace_("a", "aa", log, false, true, false, false, false);
  EXPECT_EQ(n->body()[0], "aa-aa");

  // "ア" is 0x83 0x41 in Shift_JIS: its second byte is the letter A, which must not match.
  const std::string a = sj("ア");
  ASSERT_EQ(a, "\x83\x41");
  n->body().setText(a + "\r\n");
  EXPECT_FALSE(n->match_("A", false, false, true, false, false));
  EXPECT_FALSE(n->match_("a", true, false, true, false, false));
  log.clear();
  n->replace_("A", "B", log, false, true, false, false, true);
  EXPECT_EQ(n->body()[0], a);
  EXPECT_EQ(log.count(), 0);
  out.clear();
  EXPECT_FALSE(n->grep_("A", false, out, false, true, false, false));

  // The headline is the first body line that starts with the full-width bullet.
  n->body().setText("plain\r\n  " + sj("●見出し") + "  \r\n");
  EXPECT_EQ(n->getHeadline_(), sj("●見出し"));
}

TEST(MemoPaths, MakeRelativePathOnLinux) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  MemoNode* n = book.add("n");
  n->putField_("Filename", "\"/home/u/notes/img/a.png\"");
  EXPECT_EQ(n->makeRelativePath_("Filename", "/home/u/notes/Book.mxh"), "\"./img/a.png\"");
  EXPECT_EQ(n->getField_("Filename"), "\"./img/a.png\"");
  n->putField_("Link", "\"/home/u/other/b.txt\"");
  EXPECT_EQ(n->makeRelativePath_("Link", "/home/u/notes/"), "\"../other/b.txt\"");
  // Left alone: already relative, web addresses, Windows names, empty values.
  n->putField_("A", "\"./x.txt\"");
  n->putField_("B", "\"http://example.com/a\"");
  n->putField_("C", "\"C:\\notes\\a.txt\"");
  for (const char* f : {"A", "B", "C", "Missing"}) {
    std::string before = n->getField_(f);
    EXPECT_EQ(n->makeRelativePath_(f, "/home/u/notes/"), "") << f;
    EXPECT_EQ(n->getField_(f), before) << f;
  }

  // A linked file named relative to the notebook's folder, with "\" separators.
  std::filesystem::create_directories(tmp.path / "sub");
  ASSERT_TRUE(platform::writeFileAtomic(tmp.str("sub/a.txt"), "linked\r\n"));
  MemoNode* l = book.add("l");
  l->putField_("Filename", "\".\\sub\\a.txt\"");
  EXPECT_EQ(l->loadLinkedFile_(), 1);
  EXPECT_EQ(l->body().text(), "linked\r\n");
  EXPECT_EQ(l->getField_("Filename"), "\".\\sub\\a.txt\"");
  EXPECT_TRUE(l->linkedFileLoaded);
  // A file that cannot be read is not taken as read: the next need tries again.
  MemoNode* gone = book.add("gone");
  gone->putField_("Filename", "\"./sub/missing.txt\"");
  std::string why;
  EXPECT_LE(gone->loadLinkedFile_(&why), 0);
  EXPECT_EQ(why, "not found: " + tmp.str("sub/missing.txt"));
  EXPECT_FALSE(gone->linkedFileLoaded);
}

TEST(LinkedFiles, GoBackOnlyWhenChangedAndInTheFormTheyWereRead) {
  FixedWorld world;
  TempDir tmp;
  Book book(tmp.dir());
  const std::string utf8 = tmp.str("u.txt");
  ASSERT_TRUE(platform::writeFileAtomic(utf8, "\xEF\xBB\xBF" "\xE6\x97\xA5\xE6\x9C\xAC\n" "two"));
  MemoNode* n = book.add("u");
  n->putField_("FlagLink", "\"true\"");
  n->putField_("Filename", "\"" + utf8 + "\"");
  std::string why;
  // Never read: its own file is kept; for another target the file is read first.
  EXPECT_EQ(n->saveStep_(utf8, why), MemoNode::SaveStep::Keep);
  EXPECT_EQ(n->saveStep_(tmp.str("copy.txt"), why), MemoNode::SaveStep::Write);
  EXPECT_EQ(n->saveStep_(utf8, why), MemoNode::SaveStep::Keep);
  EXPECT_FALSE(book.holder->modified);
  n->body().add("x");
  ASSERT_EQ(n->saveStep_(utf8, why), MemoNode::SaveStep::Write);
  ASSERT_GE(n->exportContent_(utf8), 0);
  EXPECT_EQ(fileText(utf8), "\xEF\xBB\xBF" "\xE6\x97\xA5\xE6\x9C\xAC\n" "two\nx");
  // Text typed over a failed read never replaces the file unread.
  n->linkedFileLoaded = false;
  EXPECT_EQ(n->saveStep_(utf8, why), MemoNode::SaveStep::Refuse);
}

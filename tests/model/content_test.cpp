#include "model/content.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/data_files.h"
#include "model/errors.h"
#include "platform/files.h"
#include "records/records_support.h"

using namespace wux;

namespace {

std::unique_ptr<TContent> make() { return std::unique_ptr<TContent>(Create<TContent>(nullptr)); }

std::string bytes(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>((i * 37 + 11) & 0xFF);
  return s;
}

}  // namespace

TEST(ContentBase64, BlocksOf57BytesGive76CharacterLines) {
  StringList lines;
  EXPECT_EQ(TContent::encodeBase64_(nullptr, lines), -1);
  // Bytes encoded: the lines joined by "|".
  auto encoded = [](std::size_t n) {
    std::string s = bytes(n);
    StringList l;
    EXPECT_EQ(TContent::encodeBase64_(&s, l), 0);
    return l.join("|");
  };
  EXPECT_EQ(encoded(57), "CzBVep/E6Q4zWH2ix+wRNluApcrvFDleg6jN8hc8YYar0PUaP2SJrtP4HUJnjLHW+yBFao+02f4j");
  EXPECT_EQ(encoded(58), "CzBVep/E6Q4zWH2ix+wRNluApcrvFDleg6jN8hc8YYar0PUaP2SJrtP4HUJnjLHW+yBFao+02f4j|SA==");
  EXPECT_EQ(encoded(0), "");

  // Decoding into a reused, longer stream leaves exactly the payload.
  StringList big;
  std::string s1000 = bytes(1000);
  TContent::encodeBase64_(&s1000, big);
  std::string stream(5000, 'X');
  EXPECT_EQ(TContent::decodeBase64_(&stream, big), 0);
  EXPECT_EQ(stream, s1000);
  EXPECT_EQ(TContent::decodeBase64_(&stream, StringList{"YQ==", "YWJjx"}), 0);
  EXPECT_EQ(stream, "aabc");
  EXPECT_EQ(TContent::decodeBase64_(nullptr, big), -1);
}

TEST(ContentMime, NestedMultipartWithFoldedHeadersAndSafeNames) {
  std::string payload = bytes(100);
  // Folded headers, nested parts, a base64 part holding payload, and file names that
  // climb, are "..", or clash.
  StringList msg;
  msg.setText(readTestData("model/multipart.txt"));
  auto c = make();
  EXPECT_EQ(c->parseMIME_(msg), 0);
  EXPECT_EQ(c->contentType, "multipart/mixed");
  ASSERT_EQ(c->partCount(), 3);
  EXPECT_EQ(c->parts()->children()[0], "note.mxa");
  TContent* text = c->part(0);
  EXPECT_EQ(text->fileName, "note.mxa");
  EXPECT_EQ(text->transferEncoding, "8bit");
  ASSERT_NE(text->data(), nullptr);
  EXPECT_EQ(*text->data(), "line one\r\n  line two\r\n");
  EXPECT_EQ(text->name(), "note.mxa");

  TContent* alt = c->part(1);
  EXPECT_EQ(alt->contentType, "multipart/alternative");
  ASSERT_EQ(alt->partCount(), 2);
  TContent* image = alt->part(0);
  EXPECT_EQ(image->fileName, "passwd");  // the climbing path is cut to its last name
  EXPECT_EQ(image->transferEncoding, "binary");
  EXPECT_EQ(*image->data(), payload);
  EXPECT_EQ(alt->part(1)->fileName, "");  // ".." is refused: named by its type instead
  EXPECT_EQ(alt->parts()->children()[1], "Text/HTML");
  EXPECT_EQ(c->parts()->children()[2], "note.mxa_00");  // same file name: the unique form
  EXPECT_EQ(*c->part(2)->data(), "dup\r\n");

  // A deep copy carries the whole tree; re-parsing replaces the parts.
  std::unique_ptr<TObjectNamed> copy(c->deepCopy());
  auto* cc = dynamic_cast<TContent*>(copy.get());
  ASSERT_NE(cc, nullptr);
  ASSERT_EQ(cc->partCount(), 3);
  EXPECT_EQ(*cc->part(1)->part(0)->data(), payload);
  c->parseMIME_(StringList{"Content-Type: multipart/mixed; Boundary=outer", "", "--outer", "", "x", "--outer--"});
  EXPECT_EQ(c->partCount(), 0);  // a capital B is no boundary parameter
}

TEST(ContentMime, SafePartFileNames) {
  EXPECT_EQ(TContent::safePartFileName(" a.txt "), "a.txt");
  EXPECT_EQ(TContent::safePartFileName("C:evil.txt"), "evil.txt");
  EXPECT_EQ(TContent::safePartFileName("dir/sub\\x.mxh"), "x.mxh");
  EXPECT_EQ(TContent::safePartFileName("\x83\x5C.txt"), "\x83\x5C.txt");  // ソ ends in 0x5C: kept
  for (const char* bad : {"", "  ", ".", "..", "a/..", "x\\", "/"}) EXPECT_EQ(TContent::safePartFileName(bad), "") << bad;
}

TEST(ContentPayload, LoadsFilesAndStreamsAndCopies) {
  wux::testing::TempDir dir;
  std::string path = dir.str("p.bin");
  ASSERT_TRUE(platform::writeFileAtomic(path, std::string("a\0b", 3)));
  auto c = make();
  EXPECT_EQ(c->loadFromFile_(dir.str("missing")), -1);
  EXPECT_EQ(c->fileName, "");
  EXPECT_EQ(c->loadFromFile_(path), 3);
  EXPECT_EQ(c->fileName, path);
  EXPECT_EQ(c->loadFromStream_("xy"), 2);
  c->contentType = "image/jpeg";
  auto d = make();
  d->loadFromStream_("old");
  d->copyFrom_(*c);
  EXPECT_EQ(*d->data(), "xy");
  EXPECT_EQ(d->contentType, "image/jpeg");
  auto none = make();
  d->copyFrom_(*none);
  EXPECT_EQ(d->data(), nullptr);
  EXPECT_THROW(none->part(0), RangeError);
}

// What a hostile file meets: a compressed notebook, archive or ".z" file that would
// inflate past the limit stops with "too large to open" and writes nothing.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

#include "model/lists.h"
#include "model/records/RecordFiles.h"
#include "records_support.h"

namespace fs = std::filesystem;
using namespace wux;
using namespace wux::testing;

namespace {

// A valid zlib stream of `mebibytes` MiB of zero bytes, made without ever holding them:
// one fully flushed block of a mebibyte is repeated, then an empty last block and the
// checksum of the whole follow. 1 GiB packs into about 1 MB.
std::string zeroBomb(std::size_t mebibytes) {
  const std::string zeros(1 << 20, '\0');
  z_stream zs{};
  deflateInit(&zs, 9);
  auto pack = [&] {
    std::string out(zeros.size(), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    zs.avail_in = static_cast<uInt>(zeros.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FULL_FLUSH);
    out.resize(out.size() - zs.avail_out);
    return out;
  };
  std::string stream = pack();  // the header and the first block
  const std::string block = pack();
  deflateEnd(&zs);
  const uLong one = adler32(1, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size()));
  uLong sum = one;
  for (std::size_t i = 1; i < mebibytes; ++i) {
    stream += block;
    sum = adler32_combine(sum, one, static_cast<z_off_t>(zeros.size()));
  }
  stream += std::string("\x03\x00", 2);
  for (int shift = 24; shift >= 0; shift -= 8) stream += static_cast<char>((sum >> shift) & 0xFF);
  return stream;
}

long statusKB(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

// How far the memory in use rose above where it stood when the watch began. The
// process's own peak would count whatever tests ran before in the same process, so
// the peak is reset first (writing "5" to clear_refs) and measured from there.
class PeakGrowth {
 public:
  PeakGrowth() {
    std::ofstream("/proc/self/clear_refs") << "5";
    startKB_ = statusKB("VmRSS");
  }
  long megabytes() const { return (statusKB("VmHWM") - startKB_) / 1024; }

 private:
  long startKB_;
};

struct LowerLimit {
  explicit LowerLimit(std::size_t bytes) { SetInflateLimitForTests(bytes); }
  ~LowerLimit() { SetInflateLimitForTests(0); }
};

int filesIn(const TempDir& d) {
  int n = 0;
  for (auto& e : fs::directory_iterator(d.path)) n += e.is_regular_file();
  return n;
}

}  // namespace

TEST(InflationLimit, DefaultIsTwoGibibytesAtMostAndTheBombIsAValidStream) {
  std::string out;
  EXPECT_TRUE(ZInflate(zeroBomb(3), out));
  EXPECT_EQ(out, std::string(3 << 20, '\0'));
  EXPECT_GT(InflateLimit(), std::size_t{64} << 20);
  EXPECT_LE(InflateLimit(), std::size_t{2} << 30);
  {
    LowerLimit low(1000);
    EXPECT_EQ(InflateLimit(), 1000u);
  }
  EXPECT_GT(InflateLimit(), 1000u);
}

TEST(InflationLimit, OneMegabyteBombFailsCleanlyInEveryForm) {
  FixedWorld world;
  TempDir d;
  const std::string bomb = zeroBomb(1024);
  ASSERT_LT(bomb.size(), std::size_t{2} << 20);
  LowerLimit low(std::size_t{32} << 20);
  for (const char* name : {"bomb.mhz", "bomb.maz", "bomb.mxh.z"})
    ASSERT_TRUE(platform::writeFileAtomic(d.str(name), bomb));
  const PeakGrowth growth;

  std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*h, d.str("bomb.mhz"), messages), -1);
  EXPECT_EQ(messages.text(), "too large to open: " + d.str("bomb.mhz") + "\r\n");
  EXPECT_TRUE(h->loadFailed);  // never saved over the file it could not open
  EXPECT_EQ(h->getNodeCount_(), 0);

  messages.clear();
  std::vector<std::string> written;
  EXPECT_EQ(UnpackArchive(d.str("bomb.maz"), "", written, messages), -1);
  EXPECT_EQ(messages.text(), "too large to open: " + d.str("bomb.maz") + "\r\n");
  EXPECT_TRUE(written.empty());

  std::string error;
  EXPECT_EQ(DecompressZFile(d.str("bomb.mxh.z"), &error), -1);
  EXPECT_EQ(error, "too large to open: " + d.str("bomb.mxh.z"));
  EXPECT_FALSE(TryLoadStringsCompressed(messages, d.str("bomb.mhz"), &error));
  EXPECT_EQ(error, "too large to open: " + d.str("bomb.mhz"));

  EXPECT_EQ(filesIn(d), 3);  // nothing written beside the bombs
#ifdef __SANITIZE_ADDRESS__
  // The address sanitizer holds freed memory back (256 MB by default) before reuse.
  EXPECT_LT(growth.megabytes(), 200 + 256);
#else
  EXPECT_LT(growth.megabytes(), 200);
#endif
}

TEST(InflationLimit, StreamsUpToTheLimitStillOpen) {
  FixedWorld world;
  TempDir d;
  std::unique_ptr<MemoFile> doc = newDoc(d.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "Book");
  addNote(*h, "one", "text");
  ASSERT_GT(h->saveToFile_(d.str("Book.mhz")), 0);
  std::string text;
  ASSERT_TRUE(ZInflate(fileText(d.str("Book.mhz")), text));

  LowerLimit exact(text.size());
  std::unique_ptr<MemoHolder> back(Create<MemoHolder>(nullptr));
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*back, d.str("Book.mhz"), messages), 0) << messages.text();
  EXPECT_EQ(back->getNodeCount_(), 1);

  LowerLimit under(text.size() - 1);
  messages.clear();
  std::unique_ptr<MemoHolder> refused(Create<MemoHolder>(nullptr));
  EXPECT_EQ(ReadHolderFile(*refused, d.str("Book.mhz"), messages), -1);
  EXPECT_EQ(messages.text(), "too large to open: " + d.str("Book.mhz") + "\r\n");
}

TEST(EqualNames, NotebookAndDocumentOfOneNameReadWithTheRulesNames) {
  FixedWorld world;
  TempDir d;
  std::string book = "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<Holder name=\"b\">\r\n";
  book += "  <Record name=\"x_02\">\r\n  </Record>\r\n";
  for (int i = 0; i < 150; ++i) book += "  <Record name=\"" + std::string(i % 2 ? "X" : "x") + "\">\r\n  </Record>\r\n";
  book += "</Holder>\r\n";
  ASSERT_TRUE(platform::writeFileAtomic(d.str("b.mxh"), book));
  std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*h, d.str("b.mxh"), messages), 0) << messages.text();
  ASSERT_EQ(h->getNodeCount_(), 151);
  const std::vector<std::string> expected = {"x_02", "x", "X_01", "x_03", "X_04"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(h->getNode_(i)->name(), expected[static_cast<std::size_t>(i)]);
  EXPECT_EQ(h->getNode_(99)->name(), "x_99");
  EXPECT_EQ(h->getNode_(100)->name(), "X_00");  // wrapped past _99
  EXPECT_EQ(h->getNode_(101)->name(), "x_100");  // the hundredth try
  EXPECT_EQ(h->getNode_(150)->name(), "X_149");

  std::string doc = "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<File name=\"d\">\r\n";
  for (int i = 0; i < 120; ++i) doc += "  <Holder name=\"book\">\r\n  </Holder>\r\n";
  doc += "</File>\r\n";
  ASSERT_TRUE(platform::writeFileAtomic(d.str("d.mxa"), doc));
  std::unique_ptr<MemoFile> file(Create<MemoFile>(nullptr));
  ASSERT_EQ(ReadDocumentFile(*file, d.str("d.mxa"), messages), 0) << messages.text();
  ASSERT_EQ(file->getHolderCount_(), 120);
  EXPECT_EQ(file->getHolder_(1)->name(), "book_00");
  EXPECT_EQ(file->getHolder_(100)->name(), "book_99");
  EXPECT_EQ(file->getHolder_(101)->name(), "book_100");
  EXPECT_EQ(file->getHolder_(119)->name(), "book_118");
}

TEST(StreamedReading, AFileThatFailsPartWayLeavesTheNotebookAsItWas) {
  FixedWorld world;
  TempDir d;
  std::unique_ptr<MemoFile> doc = newDoc(d.str("Doc.mxa"));
  MemoHolder* h = addBook(*doc, "Book");
  addNote(*h, "kept", "old text");
  h->putField_("Color", "\"red\"");
  h->putCurrentNode_(h->getNode_(0));
  const std::string before = describe(*h);
  // Two sound notes and a field are read before the mismatched end tag is met.
  const std::string bad = crlf({"<Holder name=\"Book\">", "  <Field Color=\"blue\"/>", "  <Record name=\"one\">",
                                "a<BR/>", "  </Record>", "  <Record name=\"kept\">", "b<BR/>", "  </Record>",
                                "  <Record name=\"three\">", "c<BR/>", "  </Recrd>", "</Holder>"});
  ASSERT_TRUE(platform::writeFileAtomic(d.str("bad.mxh"), bad));
  StringList messages;
  EXPECT_EQ(ReadHolderFile(*h, d.str("bad.mxh"), messages), -1);
  EXPECT_EQ(describe(*h), before);
  EXPECT_EQ(h->getCurrentNode_(), h->getNode_(0));
  EXPECT_TRUE(h->loadFailed);
  EXPECT_EQ(messages[messages.count() - 1], "The notebook file " + d.str("bad.mxh") + " could not be read; it is left unchanged.");

  // The same file mended reads in order, each note read as its element closes.
  std::string good = bad;
  good.replace(good.find("</Recrd>"), 8, "</Record>");
  ASSERT_TRUE(platform::writeFileAtomic(d.str("good.mxh"), good));
  std::unique_ptr<MemoHolder> fresh(Create<MemoHolder>(nullptr));
  EXPECT_EQ(ReadHolderFile(*fresh, d.str("good.mxh"), messages), 0);
  ASSERT_EQ(fresh->getNodeCount_(), 3);
  EXPECT_EQ(fresh->getNode_(2)->name(), "three");
  EXPECT_EQ(fresh->getNode_(1)->body().text(), "b\r\n");
  EXPECT_EQ(fresh->getField_("Color"), "\"blue\"");
}

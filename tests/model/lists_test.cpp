#include "model/lists.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../support/data_files.h"
#include "../support/file_text.h"
#include "model/errors.h"
#include "platform/files.h"
#include "records/records_support.h"

using namespace wux;
namespace fs = std::filesystem;

namespace {

using wux::testing::TempDir;
using wux::test::existingFileText;

void writeRaw(const std::string& p, const std::string& data) { ASSERT_TRUE(platform::writeFileAtomic(p, data)); }

}  // namespace

TEST(CompressedList, SavedListReadsBackByBothLoadersAndByPythonZlib) {
  TempDir d;
  StringList l{"\x88\x9F\x83\x5C", "", "line three", std::string("nul\0byte", 8)};
  std::string p = d.str("list.txt.z");
  EXPECT_EQ(SaveStringsCompressed(l, p), static_cast<long long>(l.text().size()));
  EXPECT_EQ(existingFileText(p).substr(0, 2), "\x78\x9C");

  StringList a{"old"}, b;
  EXPECT_EQ(LoadStringsCompressed(a, p), 0);
  EXPECT_EQ(LoadStringsCompressedBuffered(b, p), 0);
  EXPECT_EQ(a, l);
  EXPECT_EQ(b, l);

  std::string out = d.str("py.out");
  std::string cmd = "python3 -c \"import zlib,sys; sys.stdout.buffer.write(zlib.decompress(open(sys.argv[1],'rb')"
                    ".read()))\" '" + p + "' > '" + out + "'";
  if (std::system("python3 -c 'import zlib' 2>/dev/null") == 0) {
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(existingFileText(out), l.text());
  }

  // An empty list is a valid stream too.
  StringList empty;
  EXPECT_EQ(SaveStringsCompressed(empty, p), 0);
  EXPECT_EQ(LoadStringsCompressed(a, p), 0);
  EXPECT_EQ(a.count(), 0);
}

TEST(CompressedList, BadStreamsFailAndLeaveTargetsIntact) {
  TempDir d;
  StringList l;
  for (int i = 0; i < 2000; ++i) l.add("line " + std::to_string(i));
  std::string good = d.str("good.z");
  ASSERT_GT(SaveStringsCompressed(l, good), 0);
  std::string z = existingFileText(good);

  std::string truncated = d.str("cut.z");
  writeRaw(truncated, z.substr(0, z.size() - 5));
  std::string garbage = d.str("junk.Z");
  writeRaw(garbage, "this is not zlib at all");

  StringList keep{"keep"};
  EXPECT_THROW(LoadStringsCompressed(keep, truncated), Error);
  EXPECT_THROW(LoadStringsCompressedBuffered(keep, garbage), Error);
  EXPECT_THROW(LoadStringsCompressed(keep, d.str("missing.z")), Error);
  std::string why;
  EXPECT_FALSE(TryLoadStringsCompressed(keep, truncated, &why));
  EXPECT_NE(why.find("end marker"), std::string::npos);
  EXPECT_EQ(keep, StringList{"keep"});

  // Inflating over an existing file leaves it untouched on failure.
  std::string target = d.str("cut");
  writeRaw(target, "precious");
  EXPECT_EQ(DecompressZFile(truncated), -1);
  EXPECT_EQ(existingFileText(target), "precious");
  EXPECT_EQ(DecompressZFile(garbage), -1);
  EXPECT_FALSE(fs::exists(d.str("junk")));
  EXPECT_EQ(DecompressFile(d.str("missing.z"), target), -1);
  EXPECT_EQ(existingFileText(target), "precious");
  // Only the temporary-free target and sources remain.
  int files = 0;
  for (auto& e : fs::directory_iterator(d.path)) files += e.is_regular_file();
  EXPECT_EQ(files, 4);

  // A good one inflates, whatever the case of ".z"; other names are refused.
  std::string upper = d.str("data.Z");
  fs::copy_file(good, upper);
  EXPECT_EQ(DecompressZFile(upper), 0);
  EXPECT_EQ(existingFileText(d.str("data")), l.text());
  EXPECT_EQ(DecompressZFile(good + ".gz"), -1);
  EXPECT_EQ(DecompressZFile(d.str("good.zip")), -1);
}

TEST(CompressedList, InMemoryHelpersRoundTrip) {
  std::string big;
  for (int i = 0; i < 300000; ++i) big += "row " + std::to_string(i * 7919LL) + "\r\n";
  std::string z = ZCompress(big);
  EXPECT_LT(z.size(), big.size() / 3);
  EXPECT_EQ(ZInflateOrThrow(z), big);
  EXPECT_EQ(ZInflateOrThrow(ZCompress("")), "");
  std::string out = "x";
  EXPECT_FALSE(ZInflate(z.substr(0, z.size() / 2), out));
  EXPECT_TRUE(out.empty());
  z[z.size() - 1] ^= 1;  // Adler-32 mismatch
  EXPECT_THROW(ZInflateOrThrow(z), Error);
}

TEST(DirectoryListing, ListsFilesRecursesPostOrderAndNeverFollowsLinkedDirectories) {
  TempDir d;
  fs::create_directories(d.path / "sub" / "deep");
  writeRaw(d.str("a.txt"), "a");
  writeRaw(d.str("sub/b.txt"), "b");
  writeRaw(d.str("sub/deep/c.txt"), "c");
  fs::create_directory_symlink(d.path, d.path / "sub" / "loop");  // a loop if followed
  fs::create_symlink(d.path / "a.txt", d.path / "sub" / "alink");

  StringList files;
  EXPECT_EQ(ListFiles(files, d.path.string()), 1);
  EXPECT_EQ(files[0], d.str("a.txt"));
  EXPECT_EQ(ListFiles(files, d.path.string() + "/"), 1);
  EXPECT_EQ(files[1], d.str("a.txt"));

  StringList all;
  bool abort = false;
  int pumped = 0;
  EXPECT_EQ(ListFilesRecursive(all, d.path.string(), abort, [&] { ++pumped; }), 4);
  all.sort();
  EXPECT_EQ(all, (StringList{d.str("a.txt"), d.str("sub/alink"), d.str("sub/b.txt"), d.str("sub/deep/c.txt")}));
  EXPECT_EQ(pumped, 2);

  StringList dirs;
  EXPECT_EQ(ListDirsRecursive(dirs, d.path.string(), abort), 2);
  EXPECT_EQ(dirs, (StringList{d.str("sub/deep"), d.str("sub")}));

  // Break pressed while the first subdirectory is listed: the listing unwinds.
  StringList partial;
  bool stop = false;
  ListFilesRecursive(partial, d.path.string(), stop, [&] { stop = true; });
  EXPECT_TRUE(partial.indexOf(d.str("sub/deep/c.txt")) >= 0);
  StringList none;
  EXPECT_EQ(ListFiles(none, d.str("no-such-dir")), 0);
  EXPECT_EQ(ListFiles(none, ""), 0);

  StringList t{"x"};
  EXPECT_EQ(AppendStrings(t, t), 1);
  EXPECT_EQ(t.count(), 2);
}

TEST(LineEditing, TrimPrefixSuffixBlankAndReverse) {
  StringList l{"  a ", "\t", "", " \x81\x40 "};  // the full-width blank is text
  EXPECT_EQ(DeleteBlankLinesCount(l), 2);
  EXPECT_EQ(TrimLines(l), 2);
  EXPECT_EQ(l, (StringList{"a", "\x81\x40"}));
  EXPECT_EQ(PrependToLines(l, "<"), 2);
  EXPECT_EQ(AppendToLines(l, ">"), 2);
  EXPECT_EQ(l[0], "<a>");
  TObject o1, o2;
  StringList r{"1", "2", "3"};
  r.setObject(0, &o1);
  r.setObject(2, &o2);
  ReverseLines(r);
  EXPECT_EQ(r, (StringList{"3", "2", "1"}));
  EXPECT_EQ(r.object(0), &o2);
  EXPECT_EQ(r.object(2), &o1);
}

TEST(LineEditing, NumberLinesUsesOnlyTheSafeFormatter) {
  StringList l{"x", "y"};
  EXPECT_EQ(NumberLines(l, "  ", 1), 2);
  EXPECT_EQ(l, (StringList{"00000001:x", "00000002:y"}));
  StringList m{"x", "y"};
  EXPECT_EQ(NumberLines(m, "%3d) ", 9), 2);
  EXPECT_EQ(m, (StringList{"  9) x", " 10) y"}));
  for (const char* bad : {"%s", "%n%d", "%d%d", "no directive"}) {
    StringList k{"x"};
    EXPECT_EQ(NumberLines(k, bad, 1), -1) << bad;
    EXPECT_EQ(k, StringList{"x"});
  }
  StringList big{"a", "b"};
  EXPECT_THROW(NumberLines(big, "%d", 9223372036854775807LL), OverflowError);
  EXPECT_EQ(big, (StringList{"a", "b"}));
}

TEST(LineEditing, SortUniqueAndDuplicateMarks) {
  StringList l{"b", "a", "b", "B", "a"};
  SortUnique(l);
  EXPECT_EQ(l, (StringList{"a", "B", "b"}));  // equal-folding lines in byte order
  StringList m{"x", "x", "x", "y", "x"};
  EXPECT_EQ(MarkDuplicateLines(m), 2);
  EXPECT_EQ(m, (StringList{"x", "* x", "* x", "y", "x"}));
}

TEST(LineEditing, FilterLinesModesInvertCaseAndNumbering) {
  StringList src{"Apple pie", "banana", "pineapple", "\x83\x41pple"};  // ア + "pple"
  struct Case {
    const char* pattern;
    bool ignoreCase, number, invert;
    int mode;
    StringList want;
  } cases[] = {
      {"apple", false, false, false, 0, {"pineapple"}},
      {"APPLE", true, true, false, 0, {"      1: Apple pie", "      3: pineapple"}},
      {"apple", true, true, true, 0, {"      2: banana", "      4: \x83\x41pple"}},
      {"pi", false, false, false, 1, {"pineapple"}},
      {"Ana", true, false, false, 2, {"banana"}},
      {"Apple", false, false, false, 2, {}},  // "A" is the second byte of ア
      {"", false, false, false, 0, {}},
      {"", false, false, false, 1, src},
      {"zzz", false, false, false, 7, src},
  };
  for (const auto& c : cases) {
    StringList out;
    FilterLines(src, c.pattern, out, c.ignoreCase, c.number, c.invert, c.mode);
    EXPECT_EQ(out, c.want) << c.pattern << " mode " << c.mode;
  }
}

TEST(LineEditing, FirstCharsCountsAndCsvPage) {
  StringList l{"\x88\x9F" "ab", "x", ""};
  DeleteFirstCharOfLines(l);
  EXPECT_EQ(l, (StringList{"ab", "", ""}));
  EXPECT_EQ(CountInStrings(StringList{"Aaa", "xAAx", "\x83\x41"}, "aa"), 2);
  StringList page;
  CsvToHtmlPage(StringList{"a,,<b>"}, page, "Cap", "wux");
  EXPECT_EQ(page.text(), readTestData("model/csv_page.html"));
}

TEST(HexDump, TwentyBytesAtSixteenPerLine) {
  std::string data;
  for (int i = 0; i < 20; ++i) data += static_cast<char>(i * 13);
  StringList out{"before"};
  EXPECT_EQ(HexDumpStream(out, data, 16), 20);
  EXPECT_EQ(out.text(), readTestData("model/hexdump.txt"));  // appended after "before"
  StringList e;
  EXPECT_EQ(HexDumpStream(e, "", 4), 0);
  EXPECT_EQ(e.count(), 2);
  EXPECT_THROW(HexDumpStream(e, "x", 0), RangeError);
}

TEST(CommandRunner, CollectsLinesWithPrefixInTheGivenFolder) {
  TempDir d;
  writeRaw(d.str("marker"), "");
  StringList l;
  EXPECT_EQ(RunCommandToStrings(l, d.path.string(), "echo err >&2; ls; printf 'a\\r\\nb\\n\\nlast'", "> "), 0);
  EXPECT_EQ(l, (StringList{"> err", "> marker", "> a", "> b", "> ", "> last"}));
  StringList m;
  EXPECT_EQ(RunCommandToStrings(m, "", "printf 'x\\n'", "#"), 0);
  EXPECT_EQ(m, StringList{"#x"});  // no trailing line made of the prefix alone
  StringList n;
  EXPECT_EQ(RunCommandToStrings(n, d.str("missing-dir"), "echo hi", ""), -1);
  EXPECT_EQ(n.count(), 0);
}

// Downloads against a loopback web server that the test starts, and the path helpers
// the records use to resolve stored names.
#include <gtest/gtest.h>

#include "platform/download.h"
#include "records_support.h"

namespace fs = std::filesystem;
using namespace wux;
using namespace wux::testing;

TEST(Download, LoopbackServerSuccessRedirectAndFailures) {
  TempDir served, out;
  std::string payload(70000, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7 + 3);
  ASSERT_TRUE(platform::writeFileAtomic(served.str("data.bin"), payload));
  fs::create_directory(served.path / "sub");
  ASSERT_TRUE(platform::writeFileAtomic(served.str("sub/index.html"), "<html>sub</html>\r\n"));

  LoopbackServer server(served.str());
  ASSERT_TRUE(server.ready()) << "python3 http.server did not start";

  std::string err;
  std::string target = out.str("got.bin");
  ASSERT_TRUE(platform::downloadToFile(server.url("/data.bin"), target, &err)) << err;
  EXPECT_EQ(fileText(target), payload);

  // "/sub" answers with a redirect to "/sub/".
  ASSERT_TRUE(platform::downloadToFile(server.url("/sub"), out.str("sub.html"), &err)) << err;
  EXPECT_EQ(fileText(out.str("sub.html")), "<html>sub</html>\r\n");

  // An HTTP error keeps the old file and leaves nothing beside it.
  ASSERT_TRUE(platform::writeFileAtomic(target, "old"));
  err.clear();
  EXPECT_FALSE(platform::downloadToFile(server.url("/missing.bin"), target, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(fileText(target), "old");
  EXPECT_FALSE(platform::downloadToFile(server.url("/missing.bin"), out.str("new.bin")));
  EXPECT_FALSE(platform::fileExists(out.str("new.bin")));

  // A closed port: nothing written.
  int closed = freePort();
  EXPECT_FALSE(platform::downloadToFile("http://127.0.0.1:" + std::to_string(closed) + "/x",
                                        out.str("closed.bin"), &err));
  EXPECT_FALSE(platform::fileExists(out.str("closed.bin")));
  // Only web addresses are fetched.
  EXPECT_FALSE(platform::downloadToFile("file:///etc/hostname", out.str("local.bin")));

  int files = 0;
  for (auto& e : fs::directory_iterator(out.path)) files += e.is_regular_file();
  EXPECT_EQ(files, 2);  // got.bin and sub.html, no temporary leftovers
}

TEST(Paths, StoredNamesResolveWithEitherSeparator) {
  EXPECT_EQ(platform::fileNameOf(".\\sub\\a.txt"), "a.txt");
  EXPECT_EQ(platform::dirOf("/n/sub/a.txt"), "/n/sub/");
  EXPECT_EQ(platform::extOf("/n/a.b/c"), "");
  EXPECT_EQ(platform::extOf("a.tar.GZ"), ".GZ");
  EXPECT_EQ(platform::changeExt("/n/a.b.mxh", ".mhz"), "/n/a.b.mhz");
  EXPECT_EQ(platform::changeExt("/n/ab", ".mxh"), "/n/ab.mxh");
  EXPECT_EQ(platform::resolvePath(".\\sub\\a.txt", "/n/notes/"), "/n/notes/sub/a.txt");
  EXPECT_EQ(platform::resolvePath("../x/./a.txt", "/n/notes"), "/n/x/a.txt");
  EXPECT_EQ(platform::resolvePath("/abs/a.txt", "/n"), "/abs/a.txt");
  EXPECT_EQ(platform::relativePath("/n/notes/sub/a.txt", "/n/notes/book.mxh"), "./sub/a.txt");
  EXPECT_EQ(platform::relativePath("/n/x/a.txt", "/n/notes/"), "../x/a.txt");
  // "ソ" is 0x83 0x5C in Shift_JIS: its second byte is not a separator.
  std::string so = "\x83\x5C.txt";
  EXPECT_EQ(platform::fileNameOf("/n/" + so), so);
  EXPECT_EQ(platform::toSlashes("a\\" + so), "a/" + so);

  std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(platform::tempDir(), "/var/tmp/");
  unsetenv("TMPDIR");
  EXPECT_EQ(platform::tempDir(), "/tmp/");
  if (!saved.empty()) setenv("TMPDIR", saved.c_str(), 1);
}

// Downloads against a loopback web server that the test starts, and the path helpers
// the records use to resolve stored names.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/download.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace fs = std::filesystem;
using namespace wux;

namespace {

int freePort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  int port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

bool canConnect(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

// python3 -m http.server serving `dir` on 127.0.0.1 for the lifetime of the object.
class LoopbackServer {
 public:
  explicit LoopbackServer(const std::string& dir) : port_(freePort()) {
    pid_ = ::fork();
    if (pid_ == 0) {
      std::string port = std::to_string(port_);
      int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
      ::execlp("python3", "python3", "-m", "http.server", port.c_str(), "--bind", "127.0.0.1",
               "--directory", dir.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 200 && !canConnect(port_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ~LoopbackServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool ready() const { return canConnect(port_); }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  int port_;
  pid_t pid_ = -1;
};

struct TempDir {
  fs::path path;
  TempDir() {
    std::string tmpl = platform::tempDir() + "wux-dl-XXXXXX";
    path = ::mkdtemp(tmpl.data());
  }
  ~TempDir() { fs::remove_all(path); }
  std::string str(const std::string& name = "") const { return (path / name).string(); }
};

std::string slurp(const std::string& p) {
  std::string s;
  platform::readFile(p, s);
  return s;
}

}  // namespace

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
  EXPECT_EQ(slurp(target), payload);

  // "/sub" answers with a redirect to "/sub/".
  ASSERT_TRUE(platform::downloadToFile(server.url("/sub"), out.str("sub.html"), &err)) << err;
  EXPECT_EQ(slurp(out.str("sub.html")), "<html>sub</html>\r\n");

  // An HTTP error keeps the old file and leaves nothing beside it.
  ASSERT_TRUE(platform::writeFileAtomic(target, "old"));
  err.clear();
  EXPECT_FALSE(platform::downloadToFile(server.url("/missing.bin"), target, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(slurp(target), "old");
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

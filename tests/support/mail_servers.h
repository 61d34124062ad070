#pragma once
// Real mail servers on loopback for the mail tests, each in a private temporary folder:
// an SMTP server (aiosmtpd under the system python) that stores what it receives, and
// a POP3 server (dovecot) serving an mbox of given messages to one user. Each answers
// `available()` false with a reason when its package is missing; the tests then skip.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/file_text.h"

namespace wux::test {

inline void writeWholeFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// A loopback port nobody listens on at the moment of asking.
inline int freeLoopbackPort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

// Whether something accepts connections on the loopback port, trying for at most about
// `attempts` times 20 ms (a server started in the background needs a moment to listen).
inline bool waitForListener(int port, int attempts) {
  for (int i = 0; i < attempts; ++i) {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    if (ok) return true;
    ::poll(nullptr, 0, 20);
  }
  return false;
}

// Waits about five seconds at most for a child to end, then kills it; always reaps it.
inline void reapChild(pid_t pid) {
  int status;
  for (int i = 0; i < 250 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) ::poll(nullptr, 0, 20);
  if (::waitpid(pid, &status, WNOHANG) == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
}

struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    char tmpl[] = "/tmp/wux_mail_XXXXXX";
    path = ::mkdtemp(tmpl);
    ::chmod(path.c_str(), 0755);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

class SmtpSink {
 public:
  SmtpSink() {
    std::filesystem::create_directory(dir_.path / "in");
    if (::access("/usr/bin/python3", X_OK) != 0) {
      reason_ = "/usr/bin/python3 is missing";
      return;
    }
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[1]);
      ::close(out[0]);
      const std::string script = std::string(WUX_TEST_DATA_DIR) + "/mail/smtp_sink.py";
      const std::string folder = (dir_.path / "in").string();
      ::execl("/usr/bin/python3", "python3", script.c_str(), folder.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    char c;
    // The server prints its port once it listens; ten seconds is far more than it needs.
    while (::poll(&p, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    if (line == "NOAIOSMTPD")
      reason_ = "python3-aiosmtpd is not installed (scripts/deps.sh installs it)";
    else if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
      port_ = std::stoi(line);
    else
      reason_ = "the SMTP test server did not start";
  }
  ~SmtpSink() {
    if (stdin_ >= 0) ::close(stdin_);
    // Closing its input ends the server.
    if (pid_ > 0) reapChild(pid_);
  }
  bool available() const { return port_ > 0; }
  const std::string& reason() const { return reason_; }
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
  // Message n (1-based) as received, and its envelope.
  std::string message(int n) const { return osFileText(file(n, ".eml")); }
  std::string recipients(int n) const { return osFileText(file(n, ".rcpt")); }
  std::string sender(int n) const { return osFileText(file(n, ".from")); }
  int count() const {
    int n = 0;
    while (std::filesystem::exists(file(n + 1, ".eml"))) ++n;
    return n;
  }

 private:
  std::filesystem::path file(int n, const char* ext) const {
    char name[16];
    std::snprintf(name, sizeof name, "%03d%s", n, ext);
    return dir_.path / "in" / name;
  }
  TempFolder dir_;
  pid_t pid_ = -1;
  int stdin_ = -1;
  int port_ = 0;
  std::string reason_;
};

class Pop3Server {
 public:
  static constexpr const char* kUser = "reader";
  static constexpr const char* kPassword = "s3cret-word";

  // `messages` become the mailbox, in this order (LF or CR LF lines).
  explicit Pop3Server(const std::vector<std::string>& messages) {
    if (::access(kDovecot, X_OK) != 0 || ::access("/usr/lib/dovecot/pop3", X_OK) != 0) {
      reason_ = "dovecot-pop3d is not installed (scripts/deps.sh installs it)";
      return;
    }
    const auto& d = dir_.path;
    std::filesystem::create_directory(d / "mail");
    std::string mbox;
    for (const std::string& m : messages) {
      mbox += "From sender@example.com Sun Dec  6 21:00:00 2026\n";
      std::string body;
      for (char c : m)
        if (c != '\r') body += c;
      // mbox quoting: a body line starting "From " would start a new message.
      std::istringstream lines(body);
      std::string line;
      while (std::getline(lines, line)) mbox += (line.rfind("From ", 0) == 0 ? ">" : "") + line + "\n";
      mbox += "\n";
    }
    writeWholeFile(d / "mail" / "inbox", mbox);
    writeWholeFile(d / "passwd", std::string(kUser) + ":{PLAIN}" + kPassword + "::::::\n");

    // As root, dovecot's own users run the service and "nobody" owns the mail; as
    // anyone else, everything runs as that user.
    std::string internalUser = "dovecot", loginUser = "dovenull";
    uid_t uid = 65534;
    gid_t gid = 65534;
    if (::getuid() != 0) {
      passwd* pw = ::getpwuid(::getuid());
      internalUser = loginUser = pw ? pw->pw_name : "nobody";
      uid = ::getuid();
      gid = ::getgid();
    } else {
      ::chown((d / "mail").c_str(), uid, gid);
      ::chown((d / "mail" / "inbox").c_str(), uid, gid);
    }
    port_ = freeLoopbackPort();
    std::ostringstream conf;
    conf << "base_dir = " << (d / "run").string() << "\n"
         << "state_dir = " << (d / "state").string() << "\n"
         << "log_path = " << (d / "log").string() << "\n"
         << "protocols = pop3\nlisten = 127.0.0.1\nssl = no\n"
         << "disable_plaintext_auth = no\nauth_mechanisms = plain\nauth_failure_delay = 0\n"
         << "login_trusted_networks = 127.0.0.0/8\n"
         << "default_internal_user = " << internalUser << "\n"
         << "default_login_user = " << loginUser << "\n"
         << "first_valid_uid = 1\n"
         << "mail_location = mbox:" << (d / "mail").string() << ":INBOX=" << (d / "mail" / "inbox").string()
         << "\n"
         << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " << (d / "passwd").string() << "\n}\n"
         << "userdb {\n  driver = static\n  args = uid=" << uid << " gid=" << gid
         << " home=" << (d / "mail").string() << "\n}\n"
         << "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = "
         << port_ << "\n  }\n}\n"
         << "service anvil {\n  chroot =\n}\n";
    writeWholeFile(d / "dovecot.conf", conf.str());
    // In the foreground the server stays this process's child, to be stopped and reaped.
    const std::string conf_path = (d / "dovecot.conf").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(kDovecot, "dovecot", "-F", "-c", conf_path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    if (pid_ < 0 || !waitForListener(port_, 250)) {
      reason_ = "the POP3 test server did not start: " + osFileText(d / "log");
      port_ = 0;
    }
  }
  ~Pop3Server() {
    if (pid_ > 0) {
      // The master takes its own processes down with it before it ends.
      ::kill(pid_, SIGTERM);
      reapChild(pid_);
    }
  }
  bool available() const { return port_ > 0; }
  const std::string& reason() const { return reason_; }
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
  // The mailbox as it stands (what dovecot wrote back after a session).
  std::string mailbox() const { return osFileText(dir_.path / "mail" / "inbox"); }

 private:
  static constexpr const char* kDovecot = "/usr/sbin/dovecot";
  TempFolder dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::string reason_;
};

// A server of a test's own on a loopback port: one thread takes each connection in
// turn and hands it to `session`, which answers it and closes it. A subclass calls
// start() when it is ready and finish() in its destructor, before its members go.
class LoopbackServer {
 public:
  LoopbackServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    ::listen(fd_, 4);
  }
  virtual ~LoopbackServer() { ::close(fd_); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }

 protected:
  virtual void session(int connection) = 0;
  void start() {
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c >= 0) session(c);
      }
    });
  }
  void finish() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<bool> stop_{false};

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

// A POP3 server on loopback holding one message that it sends in a way a real server
// should not: half of it and then the end of the connection (Cut), or all of it with
// its end line and then the end of the connection (WholeThenClose). It answers every
// connection the same way, so a client that comes back finds the message again.
class FakePop3 : public LoopbackServer {
 public:
  enum Mode { Cut, WholeThenClose };
  FakePop3(std::string message, Mode mode) : message_(std::move(message)), mode_(mode) { start(); }
  ~FakePop3() override { finish(); }
  // DELE commands received, over every connection.
  int deletions() const { return deletions_; }

 private:
  void session(int c) override {
    auto say = [c](const std::string& text) { ::send(c, text.data(), text.size(), MSG_NOSIGNAL); };
    say("+OK fake\r\n");
    std::string line;
    char ch;
    while (!stop_) {
      pollfd q{c, POLLIN, 0};
      if (::poll(&q, 1, 50) <= 0) continue;
      if (::recv(c, &ch, 1, 0) != 1) break;
      if (ch == '\r') continue;
      if (ch != '\n') {
        line += ch;
        continue;
      }
      std::string cmd = line.substr(0, 4);
      for (char& k : cmd) k = static_cast<char>(std::toupper(static_cast<unsigned char>(k)));
      line.clear();
      if (cmd == "CAPA") {
        say("+OK\r\nUSER\r\n.\r\n");
      } else if (cmd == "LIST") {
        say("+OK 1 message\r\n1 " + std::to_string(message_.size()) + "\r\n.\r\n");
      } else if (cmd == "RETR") {
        say("+OK\r\n" + (mode_ == Cut ? message_.substr(0, message_.size() / 2) : message_ + ".\r\n"));
        break;
      } else if (cmd == "DELE") {
        ++deletions_;
        say("+OK\r\n");
      } else if (cmd == "QUIT") {
        say("+OK\r\n");
        break;
      } else {
        say("+OK\r\n");
      }
    }
    ::close(c);
  }
  std::string message_;
  Mode mode_;
  std::atomic<int> deletions_{0};
};

}  // namespace wux::test

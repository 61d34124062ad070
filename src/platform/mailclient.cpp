#include "platform/mailclient.h"

#include "platform/curlglobal.h"

#include <curl/curl.h>

#include <poll.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace wux::platform {
namespace {

bool hasScheme(const std::string& server) { return server.find("://") != std::string::npos; }

std::string hostOf(const std::string& url) {
  std::size_t s = url.find("://");
  std::string rest = s == std::string::npos ? url : url.substr(s + 3);
  return rest.substr(0, rest.find('/'));
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* options = static_cast<const MailOptions*>(user);
  return options->isBreak && options->isBreak() ? 1 : 0;
}

size_t collect(char* data, size_t size, size_t n, void* user) {
  static_cast<std::string*>(user)->append(data, size * n);
  return size * n;
}

struct Upload {
  const std::string* text;
  std::size_t pos = 0;
};

size_t supply(char* buffer, size_t size, size_t n, void* user) {
  auto* up = static_cast<Upload*>(user);
  std::size_t room = size * n;
  std::size_t left = up->text->size() - up->pos;
  std::size_t take = left < room ? left : room;
  std::memcpy(buffer, up->text->data() + up->pos, take);
  up->pos += take;
  return take;
}

// The common settings of every transfer. `options` and `errbuf` must outlive it.
void prepare(CURL* curl, const std::string& url, const MailOptions& options, char* errbuf) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &options);
  errbuf[0] = '\0';
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
}

std::string describe(CURLcode code, const char* errbuf, const std::string& url) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      return "cannot connect to " + hostOf(url);
    case CURLE_LOGIN_DENIED:
      return "the server refused the user name or password";
    case CURLE_OPERATION_TIMEDOUT:
      return "no answer from " + hostOf(url) + " in time";
    case CURLE_ABORTED_BY_CALLBACK:
      return "stopped by Break";
    default:
      break;
  }
  std::string text = curl_easy_strerror(code);
  if (errbuf && *errbuf) text += std::string(": ") + errbuf;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

struct Easy {
  CURL* curl;
  Easy() : curl(curl_easy_init()) {}
  ~Easy() {
    if (curl) curl_easy_cleanup(curl);
  }
  Easy(const Easy&) = delete;
  Easy& operator=(const Easy&) = delete;
};

}  // namespace

std::string mailServerUrl(const std::string& server, const char* scheme, int defaultPort) {
  std::string s = server;
  while (!s.empty() && (s.back() == ' ' || s.back() == '/')) s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  if (hasScheme(s)) return s;
  // A bare IPv6 address has colons of its own; a port follows only "]".
  const bool v6 = s.find(':') != s.rfind(':') && s.front() != '[';
  if (v6) s = "[" + s + "]";
  std::size_t colon = s.rfind(':');
  std::size_t bracket = s.rfind(']');
  bool hasPort = colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
  return std::string(scheme) + "://" + s + (hasPort ? "" : ":" + std::to_string(defaultPort));
}

namespace {

// One exchange with the SMTP server on `curl`; `setup` says what it carries. The handle
// keeps the addresses of `options` and `errbuf`.
template <class Setup>
bool smtpPerform(CURL* curl, const std::string& server, std::string& error, const MailOptions& options,
                 char* errbuf, Setup setup) {
  const std::string url = mailServerUrl(server, "smtp", 25);
  prepare(curl, url, options, errbuf);
  setup(curl);
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    error = describe(code, errbuf, url);
    return false;
  }
  return true;
}

// One transfer with the SMTP server on a handle of its own.
template <class Setup>
bool smtpTransfer(const std::string& server, std::string& error, const MailOptions& options, Setup setup) {
  initCurlOnce();
  Easy easy;
  if (!easy.curl) {
    error = "cannot start a transfer";
    return false;
  }
  char errbuf[CURL_ERROR_SIZE];
  return smtpPerform(easy.curl, server, error, options, errbuf, setup);
}

}  // namespace

namespace {

// What a message transfer sets on its handle; what it points to lives as long as it.
struct MessageTransfer {
  std::string mailFrom;
  curl_slist* rcpt = nullptr;
  Upload up;
  MessageTransfer(const std::string& from, const std::vector<std::string>& recipients, const std::string& message)
      : mailFrom("<" + from + ">"), up{&message} {
    for (const std::string& r : recipients) rcpt = curl_slist_append(rcpt, ("<" + r + ">").c_str());
  }
  ~MessageTransfer() { curl_slist_free_all(rcpt); }
  MessageTransfer(const MessageTransfer&) = delete;
  MessageTransfer& operator=(const MessageTransfer&) = delete;
  void setup(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, supply);
    curl_easy_setopt(curl, CURLOPT_READDATA, &up);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(up.text->size()));
  }
};

bool checkMessage(const std::string& server, const std::vector<std::string>& recipients, std::string& error) {
  if (server.empty()) {
    error = "no SMTP server";
    return false;
  }
  if (recipients.empty()) {
    error = "no recipient";
    return false;
  }
  return true;
}

}  // namespace

bool smtpSend(const std::string& server, const std::string& from, const std::vector<std::string>& recipients,
              const std::string& message, std::string& error, const MailOptions& options) {
  if (!checkMessage(server, recipients, error)) return false;
  MessageTransfer t(from, recipients, message);
  return smtpTransfer(server, error, options, [&](CURL* curl) { t.setup(curl); });
}

struct SmtpSession::Impl {
  CURL* curl = nullptr;
  std::string server;
  MailOptions options;
  char errbuf[CURL_ERROR_SIZE] = {};
  void close() {
    if (!curl) return;
    // Saying goodbye asks no one about a break: the window may be going already.
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    // The handle's connection carried real exchanges, so ending it says QUIT.
    curl_easy_cleanup(curl);
    curl = nullptr;
  }
  // One exchange on the held handle. The previous one's settings go first; the
  // connection stays, and is opened again by itself when the server has closed it.
  template <class Setup>
  bool perform(std::string& error, Setup setup) {
    curl_easy_reset(curl);
    return smtpPerform(curl, server, error, options, errbuf, setup);
  }
};

SmtpSession::SmtpSession() : impl_(std::make_unique<Impl>()) {}
SmtpSession::~SmtpSession() { impl_->close(); }

bool SmtpSession::connect(const std::string& server, std::string& error, const MailOptions& options) {
  impl_->close();
  if (server.empty()) {
    error = "no SMTP server";
    return false;
  }
  initCurlOnce();
  impl_->curl = curl_easy_init();
  if (!impl_->curl) {
    error = "cannot start a transfer";
    return false;
  }
  impl_->server = server;
  // The handle keeps the options' address: they live as long as the connection.
  impl_->options = options;
  // A real exchange (not a bare connect), so that the sends after it reuse the connection.
  if (!impl_->perform(error, [](CURL* curl) {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
      })) {
    impl_->close();
    return false;
  }
  return true;
}

bool SmtpSession::connected() const { return impl_->curl != nullptr; }

bool SmtpSession::send(const std::string& from, const std::vector<std::string>& recipients,
                       const std::string& message, std::string& error) {
  if (!impl_->curl) {
    error = "not connected";
    return false;
  }
  if (!checkMessage(impl_->server, recipients, error)) return false;
  MessageTransfer t(from, recipients, message);
  return impl_->perform(error, [&](CURL* curl) { t.setup(curl); });
}

void SmtpSession::disconnect() { impl_->close(); }

bool smtpProbe(const std::string& server, std::string& error, const MailOptions& options) {
  SmtpSession session;
  return session.connect(server, error, options);
}

struct Pop3Session::Impl {
  CURL* curl = nullptr;
  std::string base;  // "pop3://host:port"
  std::string user, password;
  MailOptions options;
  std::map<int, long long> sizes;  // message number -> size, as LIST gave them
  char errbuf[CURL_ERROR_SIZE] = {};

  void close() {
    if (curl) curl_easy_cleanup(curl);  // sends QUIT, which commits deletions
    curl = nullptr;
    // The password lives only as long as the session.
    password.assign(password.size(), '\0');
    password.clear();
  }
  bool run(const std::string& path, const char* command, std::string* out, std::string& error) {
    const std::string url = base + "/" + path;
    prepare(curl, url, options, errbuf);
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command);
    curl_easy_setopt(curl, CURLOPT_NOBODY, out ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, out);
    CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
      error = describe(code, errbuf, url);
      return false;
    }
    return true;
  }
};

Pop3Session::Pop3Session() : impl_(std::make_unique<Impl>()) {}
Pop3Session::~Pop3Session() { impl_->close(); }

bool Pop3Session::connect(const std::string& server, const std::string& user, const std::string& password,
                          int& count, std::string& error, const MailOptions& options) {
  impl_->close();
  count = 0;
  if (server.empty()) {
    error = "no POP3 server";
    return false;
  }
  initCurlOnce();
  impl_->curl = curl_easy_init();
  if (!impl_->curl) {
    error = "cannot start a transfer";
    return false;
  }
  impl_->base = mailServerUrl(server, "pop3", 110);
  impl_->user = user;
  impl_->password = password;
  impl_->options = options;
  impl_->sizes.clear();
  std::string list;
  if (!impl_->run("", nullptr, &list, error)) {
    impl_->close();
    return false;
  }
  std::size_t pos = 0;
  while (pos < list.size()) {
    std::size_t lf = list.find('\n', pos);
    std::size_t end = lf == std::string::npos ? list.size() : lf;
    std::string line = list.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line != ".") {
      ++count;
      int number = 0;
      long long size = 0;
      if (std::sscanf(line.c_str(), "%d %lld", &number, &size) == 2 && number > 0 && size >= 0)
        impl_->sizes[number] = size;
    }
    pos = end + 1;
  }
  return true;
}

bool Pop3Session::connected() const { return impl_->curl != nullptr; }

namespace {

// Whether the connection of `curl` is still open with nothing waiting on it. A POP3
// server says nothing unasked, so anything readable after a transfer (the end of the
// connection, or a TLS goodbye before it) means the server has left.
bool connectionStillOpen(CURL* curl) {
  curl_socket_t sock = CURL_SOCKET_BAD;
  if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &sock) != CURLE_OK || sock == CURL_SOCKET_BAD) return false;
  pollfd p{static_cast<int>(sock), POLLIN | POLLRDHUP, 0};
  return ::poll(&p, 1, 0) == 0;
}

}  // namespace

Pop3Session::Retrieval Pop3Session::retrieve(int index, std::string& message, std::string& error) {
  if (!impl_->curl) {
    error = "not connected";
    return Retrieval::Failed;
  }
  message.clear();
  if (!impl_->run(std::to_string(index), nullptr, &message, error)) return Retrieval::Failed;
  // The mail library ends a transfer without a word both at the end line and when the
  // server closes the connection in the middle of a message; only the first leaves the
  // connection open.
  if (connectionStillOpen(impl_->curl)) return Retrieval::Whole;
  // Some servers count stored LF line ends, so a whole message may come a little longer
  // than LIST said, never shorter.
  auto size = impl_->sizes.find(index);
  if (size != impl_->sizes.end() && static_cast<long long>(message.size()) >= size->second) return Retrieval::Whole;
  return Retrieval::Cut;
}

bool Pop3Session::remove(int index, std::string& error) {
  if (!impl_->curl) {
    error = "not connected";
    return false;
  }
  return impl_->run(std::to_string(index), "DELE", nullptr, error);
}

void Pop3Session::disconnect() { impl_->close(); }

}  // namespace wux::platform

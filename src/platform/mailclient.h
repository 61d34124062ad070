#pragma once
// SMTP and POP3 clients over libcurl. A server is named as the mail windows hold it:
// "host", "host:port", or a URL with smtp://, smtps://, pop3:// or pop3s://. Plain
// connections switch to TLS when the server offers STARTTLS. Every operation is bounded
// in time and stops when `isBreak` answers true; failures come back as one clear line
// that never carries the password.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wux::platform {

struct MailOptions {
  long connectTimeoutSeconds = 20;
  long totalTimeoutSeconds = 120;
  // Asked now and then during a transfer (and may keep a window alive meanwhile).
  std::function<bool()> isBreak;
};

// The URL for a server text; `defaultPort` is used when the text names none.
std::string mailServerUrl(const std::string& server, const char* scheme, int defaultPort);

// Delivers one message to the envelope recipients. False and `error` on failure.
bool smtpSend(const std::string& server, const std::string& from, const std::vector<std::string>& recipients,
              const std::string& message, std::string& error, const MailOptions& options = {});
// Opens a connection and reads the server's greeting, so a wrong server shows up before
// a message is written. False and `error` when the server does not answer.
bool smtpProbe(const std::string& server, std::string& error, const MailOptions& options = {});

// A connection held open to the SMTP server: connect() opens it, greets the server and
// asks it for nothing (NOOP); each send() goes over it, opening it again by itself when
// the server has closed it meanwhile; disconnect() says goodbye and closes it.
class SmtpSession {
 public:
  SmtpSession();
  ~SmtpSession();
  SmtpSession(const SmtpSession&) = delete;
  SmtpSession& operator=(const SmtpSession&) = delete;

  bool connect(const std::string& server, std::string& error, const MailOptions& options = {});
  bool connected() const;
  // Delivers one message over the held connection, as smtpSend does.
  bool send(const std::string& from, const std::vector<std::string>& recipients, const std::string& message,
            std::string& error);
  void disconnect();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One POP3 session: logged in by connect(), kept across calls, ended by disconnect().
// Deletions take effect only when the session ends normally.
class Pop3Session {
 public:
  Pop3Session();
  ~Pop3Session();
  Pop3Session(const Pop3Session&) = delete;
  Pop3Session& operator=(const Pop3Session&) = delete;

  // Logs in and counts the waiting messages.
  bool connect(const std::string& server, const std::string& user, const std::string& password, int& count,
               std::string& error, const MailOptions& options = {});
  bool connected() const;
  // How a message came: whole, cut off on the way (what came is in `message`), or not
  // at all (`error` says why).
  enum class Retrieval { Whole, Cut, Failed };
  // Message `index` (1-based) as the server holds it. It is whole when its end line came:
  // the transfer ended while the connection stayed open. When the server closed the
  // connection with the transfer, that cannot be seen, and the message is whole only
  // when it is no shorter than the size LIST gave for it.
  Retrieval retrieve(int index, std::string& message, std::string& error);
  // Marks message `index` for deletion.
  bool remove(int index, std::string& error);
  void disconnect();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace wux::platform

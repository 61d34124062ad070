#pragma once
// The two mail windows: one sends the current note as a message, one fetches the
// waiting messages of a POP3 mailbox into new notes of the current notebook. Both are
// kept by the main window, shown non-modally and hidden on close; while their link to
// the main window is empty their commands do nothing.
#include <QDialog>
#include <map>
#include <string>

#include "platform/mailclient.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace wux {

class MainWindowApi;

// Shared by both windows: a two-panel status bar (0: connection, 1: results) that
// repaints at once and clears on a click, and the busy-protocol run of a transfer.
class MailFormBase : public QDialog {
  Q_OBJECT
 public:
  explicit MailFormBase(QWidget* parent);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  MainWindowApi* mainWindow() const { return w_; }
  // Timeouts and the break test of every transfer (tests shorten them).
  void setMailOptions(const platform::MailOptions& options) { options_ = options; }
  // A panel's text as program text (Shift_JIS).
  std::string statusPanel(int i) const;
  QLineEdit* edit(const std::string& key) const;
  QPlainTextEdit* memo() const { return memo_; }

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void setPanel(int i, const std::string& sjis);
  QLineEdit* addEdit(const char* key, QWidget* form);
  std::string text(const std::string& key) const;
  void setText(const std::string& key, const std::string& sjis);
  // Options whose break test keeps the window alive and asks the main window.
  platform::MailOptions transferOptions();
  // Re-entry guard: a transfer's message processing must not start another. True, and
  // the status says so, while any operation runs.
  bool busy();

  MainWindowApi* w_ = nullptr;
  platform::MailOptions options_;
  QPlainTextEdit* memo_ = nullptr;
  QLabel* panels_[2] = {nullptr, nullptr};
  std::map<std::string, QLineEdit*> edits_;
  bool transferring_ = false;
};

class TFormSendMail2 : public MailFormBase {
  Q_OBJECT
 public:
  explicit TFormSendMail2(QWidget* parent = nullptr);
  // Fills the window from the current note, its notebook and the document.
  void fill();
  void Send();
  void Connect();
  void Disconnect();
  void SetNode();
  void SetHolder();
  bool connected() const { return session_.connected(); }

 private:
  // Connects and shows it; false with the failure in panel 1 and `error`.
  bool openSession(std::string& error);
  platform::SmtpSession session_;
};

class TFormReciveMail1 : public MailFormBase {
  Q_OBJECT
 public:
  explicit TFormReciveMail1(QWidget* parent = nullptr);
  void fill();
  void Recive();
  // Connects, or disconnects when connected.
  void Connect();
  void SetHolder();
  void SetMemoFile();
  QCheckBox* deleteOnRead() const { return deleteOnRead_; }
  bool connected() const { return session_.connected(); }

 private:
  bool openSession();
  void closeSession();
  QCheckBox* deleteOnRead_ = nullptr;
  platform::Pop3Session session_;
  int count_ = 0;
};

}  // namespace wux

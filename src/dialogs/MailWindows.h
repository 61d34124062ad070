#pragma once
// The two commands that show the mail windows. Each window is made once, on first use,
// and kept; every showing links it to the main window and fills it afresh.
#include <QPointer>

#include "dialogs/MailForms.h"

class QWidget;

namespace wux {

class MainWindowApi;

class MailWindows {
 public:
  // With a parent, the windows go when it goes; whatever is left goes with this.
  explicit MailWindows(QWidget* parent = nullptr);
  ~MailWindows();
  MailWindows(const MailWindows&) = delete;
  MailWindows& operator=(const MailWindows&) = delete;

  TFormSendMail2* sendWindow();
  TFormReciveMail1* receiveWindow();
  // Whether the window has been made yet.
  bool hasSendWindow() const { return send_ != nullptr; }
  bool hasReceiveWindow() const { return receive_ != nullptr; }

 private:
  QWidget* parent_;
  QPointer<TFormSendMail2> send_;
  QPointer<TFormReciveMail1> receive_;
};

// Shows the send window filled from the current note: -8 without a note, -1 while an
// operation runs, 0 when shown.
int UISendMail(MainWindowApi& w, MailWindows& windows);
// Shows the receive window filled from the current notebook and document: 0 when shown.
int UIReciveMail(MainWindowApi& w, MailWindows& windows);

}  // namespace wux

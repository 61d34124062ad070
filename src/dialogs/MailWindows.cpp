#include "dialogs/MailWindows.h"

#include <exception>

#include "views/MainWindowApi.h"
#include "views/MemoNodeUI.h"
#include "views/OwnedWindow.h"

namespace wux {

MailWindows::MailWindows(QWidget* parent) : parent_(parent) {}
MailWindows::~MailWindows() {
  delete send_.data();
  delete receive_.data();
}

TFormSendMail2* MailWindows::sendWindow() {
  if (!send_) send_ = new TFormSendMail2(parent_);
  return send_.data();
}

TFormReciveMail1* MailWindows::receiveWindow() {
  if (!receive_) receive_ = new TFormReciveMail1(parent_);
  return receive_.data();
}

int UISendMail(MainWindowApi& w, MailWindows& windows) {
  if (!w.getCurrentNode()) return kResultUIReadOnly;
  try {
    w.UI2ModelAll();
    // Nothing of a note whose linked file cannot be read is offered for sending.
    if (const std::string unread = unreadNote(w, *w.getCurrentNode()); !unread.empty()) {
      w.messageDoing_(unread);
      return kResultFailed;
    }
    TFormSendMail2* f = windows.sendWindow();
    ownWindow(*f, dynamic_cast<QWidget*>(&w), WindowPlace::OnOwner, false);
    f->setMainWindow(&w);
    f->fill();
    f->show();
    f->raise();
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: UISendMail");
    return kResultFailed;
  }
}

int UIReciveMail(MainWindowApi& w, MailWindows& windows) {
  try {
    TFormReciveMail1* f = windows.receiveWindow();
    ownWindow(*f, dynamic_cast<QWidget*>(&w), WindowPlace::OnOwner, false);
    f->setMainWindow(&w);
    f->fill();
    f->show();
    f->raise();
    w.messageDoing_("Show FormReciveMail " + w.nowString());
    return 0;
  } catch (const std::exception&) {
    w.messageDoing_("ERROR: UIReciveMail");
    return kResultFailed;
  }
}

}  // namespace wux

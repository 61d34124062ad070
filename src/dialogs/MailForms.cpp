#include "dialogs/MailForms.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/clock.h"
#include "model/mail.h"
#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {
namespace {

const char* const kSendKeys[] = {"SMTPServer", "Subject", "To",     "CC",       "BCC",
                                 "From",       "ReplyTo", "UserID", "DateTimeSended"};
// What "Set Node" writes as fields (the subject renames the note instead).
const char* const kNodeKeys[] = {"SMTPServer", "To", "CC", "BCC", "From", "ReplyTo", "UserID", "DateTimeSended"};
const char* const kHolderKeys[] = {"SMTPServer", "To", "CC", "BCC", "From", "ReplyTo", "UserID"};

// Trimmed; a non-empty value is stored quoted, an empty one removes the field.
void storeOrRemove(MemoBasic& record, const std::string& key, const std::string& value) {
  const std::string v = sjis::trim(value);
  if (v.empty())
    record.removeField_(key);
  else
    record.putField_(key, QuoteValue(v));
}

QPushButton* addButton(QHBoxLayout* row, const char* caption, QWidget* owner, std::function<void()> run) {
  auto* b = new QPushButton(QString::fromLatin1(caption), owner);
  b->setObjectName(QString::fromLatin1(caption));
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, owner, [run] { run(); });
  row->addWidget(b);
  return b;
}

// The first non-empty value of a field on the notebook, else the document.
std::string holderThenDocument(MainWindowApi& w, const std::string& key) {
  std::string v;
  if (MemoHolderUI* h = w.getCurrentHolder()) v = h->getField_(key);
  if (v.empty())
    if (MemoFileUI* f = w.getMemoFile()) v = f->getField_(key);
  return v;
}

}  // namespace

// ---- shared

MailFormBase::MailFormBase(QWidget* parent) : QDialog(parent) {
  options_.connectTimeoutSeconds = 20;
  options_.totalTimeoutSeconds = 120;
}

std::string MailFormBase::statusPanel(int i) const {
  return i >= 0 && i < 2 && panels_[i] ? fromQ(panels_[i]->text()) : std::string();
}

QLineEdit* MailFormBase::edit(const std::string& key) const {
  auto it = edits_.find(key);
  return it == edits_.end() ? nullptr : it->second;
}

void MailFormBase::mousePressEvent(QMouseEvent* e) {
  // A click on the status bar (the window's bottom strip) clears it.
  for (QLabel* p : panels_)
    if (p && p->underMouse()) {
      panels_[0]->clear();
      panels_[1]->clear();
    }
  QDialog::mousePressEvent(e);
}

void MailFormBase::setPanel(int i, const std::string& sjis) {
  panels_[i]->setText(toQ(sjis));
  panels_[i]->repaint();
}

QLineEdit* MailFormBase::addEdit(const char* key, QWidget* form) {
  auto* e = new QLineEdit(this);
  e->setObjectName(QString("Edit_") + key);
  static_cast<QFormLayout*>(form->layout())->addRow(QString::fromLatin1(key), e);
  edits_[key] = e;
  return e;
}

std::string MailFormBase::text(const std::string& key) const { return fromQ(edit(key)->text()); }

void MailFormBase::setText(const std::string& key, const std::string& sjis) { edit(key)->setText(toQ(sjis)); }

platform::MailOptions MailFormBase::transferOptions() {
  platform::MailOptions o = options_;
  MainWindowApi* w = w_;
  auto outer = options_.isBreak;
  o.isBreak = [w, outer] {
    QCoreApplication::processEvents();
    return (w && w->isBreak()) || (outer && outer());
  };
  return o;
}

bool MailFormBase::busy() {
  if (!transferring_ && !(w_ && w_->isDoing_())) return false;
  setPanel(1, "Busy: another operation is running");
  return true;
}

// Builds the common frame: fields on top, the text, the buttons, the two panels.
static void buildFrame(MailFormBase* form, QWidget*& fields, QPlainTextEdit*& memo, QHBoxLayout*& buttons,
                       QLabel* (&panels)[2]) {
  auto* layout = new QVBoxLayout(form);
  fields = new QWidget(form);
  fields->setLayout(new QFormLayout);
  layout->addWidget(fields);
  memo = new QPlainTextEdit(form);
  memo->setObjectName("Memo1");
  layout->addWidget(memo, 1);
  buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  auto* bar = new QHBoxLayout;
  for (QLabel*& p : panels) {
    p = new QLabel(form);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    bar->addWidget(p, 1);
  }
  panels[0]->setObjectName("StatusBar1_0");
  panels[1]->setObjectName("StatusBar1_1");
  layout->addLayout(bar);
}

// ---- send

TFormSendMail2::TFormSendMail2(QWidget* parent) : MailFormBase(parent) {
  setWindowTitle("FormSendMail2");
  QWidget* fields;
  QHBoxLayout* buttons;
  buildFrame(this, fields, memo_, buttons, panels_);
  for (const char* key : kSendKeys) addEdit(key, fields);
  addButton(buttons, "Send", this, [this] { Send(); });
  addButton(buttons, "Connect", this, [this] { Connect(); });
  addButton(buttons, "Disconnect", this, [this] { Disconnect(); });
  addButton(buttons, "Hide", this, [this] { hide(); });
  addButton(buttons, "Set Node", this, [this] { SetNode(); });
  addButton(buttons, "Set Holder", this, [this] { SetHolder(); });
  resize(560, 520);
}

void TFormSendMail2::fill() {
  if (!w_) return;
  MemoNodeUI* node = w_->getCurrentNode();
  if (!node) return;
  setText("SMTPServer", Dequote(node->getFieldInherited_("SMTPServer")));
  std::string subject = Dequote(node->getField_("Subject"));
  if (subject.empty())
    if (MemoHolder* h = node->getParentHolder_()) subject = Dequote(h->getField_("Subject"));
  if (subject.empty())
    if (MemoFile* f = node->getParentFile_()) subject = Dequote(f->getField_("Subject"));
  if (subject.empty()) subject = node->name();
  setText("Subject", subject);
  for (const char* key : {"To", "CC", "BCC", "From", "ReplyTo", "UserID"})
    setText(key, Dequote(node->getFieldInherited_(key)));
  setText("DateTimeSended", Dequote(node->getField_("DateTimeSended")));
  memo_->setPlainText(linesToQ(node->body()));
}

bool TFormSendMail2::openSession(std::string& error) {
  transferring_ = true;
  const bool ok = session_.connect(text("SMTPServer"), error, transferOptions());
  transferring_ = false;
  if (!ok) {
    setPanel(1, "Connect Faile: " + error);
    return false;
  }
  setPanel(0, "Connect");
  return true;
}

void TFormSendMail2::Connect() {
  if (!w_ || busy()) return;
  if (session_.connected()) Disconnect();
  std::string error;
  openSession(error);
}

void TFormSendMail2::Disconnect() {
  if (!session_.connected()) return;
  session_.disconnect();
  setPanel(0, "Disconnect");
}

void TFormSendMail2::Send() {
  if (!w_ || busy()) return;
  OutgoingMail mail;
  mail.from = text("From");
  mail.replyTo = text("ReplyTo");
  mail.to = text("To");
  mail.cc = text("CC");
  mail.bcc = text("BCC");
  mail.subject = text("Subject");
  mail.body.setText(fromQ(memo_->toPlainText()));
  mail.date = Now();
  mail.utcOffsetMinutes = LocalUtcOffsetMinutes(mail.date);
  const std::string message = BuildMailText(mail);

  std::string error;
  bool ok;
  {
    BusyScope scope(*w_, "Send Mail");
    // A send connects first when no connection is held, and shows it; the connection
    // Connect holds is used and kept, one a send opened goes with the send.
    const bool held = session_.connected();
    ok = held || openSession(error);
    if (ok) {
      transferring_ = true;
      ok = session_.send(MailBareAddress(mail.from), MailRecipients(mail), message, error);
      transferring_ = false;
    }
    if (!held) Disconnect();
    scope.finish(ok ? "Send Mail: Success" : "Send Mail: " + error);
  }
  if (!ok) {
    // The window stays, with the failure, so nothing typed into it is lost.
    setPanel(1, "Connect Faile: " + error);
    w_->addLogTS("Send Mail: " + error);
    return;
  }
  setPanel(1, "Success");
  setText("DateTimeSended", FormatDateTime("yyyymmdd hhnnssmm", mail.date));
  w_->addLogTS("Send Mail: " + mail.subject);
  setResult(QDialog::Accepted);
  hide();
}

void TFormSendMail2::SetNode() {
  if (!w_) return;
  MemoNodeUI* node = w_->getCurrentNode();
  if (!node || w_->checkHolderReadOnly()) return;
  // The editor's text goes into the note first, so it cannot overwrite the mail later.
  w_->UI2Model();
  for (const char* key : kNodeKeys) storeOrRemove(*node, key, text(key));
  const std::string subject = sjis::trim(text("Subject"));
  if (!subject.empty()) {
    std::string actual;
    node->putName_(subject, actual);
  }
  node->body().setText(fromQ(memo_->toPlainText()));
  if (MemoHolder* h = node->getParentHolder_()) h->modified = true;
  w_->Model2UI();
}

void TFormSendMail2::SetHolder() {
  if (!w_) return;
  MemoHolderUI* holder = w_->getCurrentHolder();
  if (!holder || w_->checkHolderReadOnly()) return;
  for (const char* key : kHolderKeys) storeOrRemove(*holder, key, text(key));
  holder->modified = true;
}

// ---- receive

TFormReciveMail1::TFormReciveMail1(QWidget* parent) : MailFormBase(parent) {
  setWindowTitle("FormReciveMail1");
  QWidget* fields;
  QHBoxLayout* buttons;
  buildFrame(this, fields, memo_, buttons, panels_);
  addEdit("POP3Server", fields);
  addEdit("UserID", fields);
  QLineEdit* password = addEdit("Password", fields);
  password->setEchoMode(QLineEdit::Password);
  password->setStyleSheet("lineedit-password-character: 35");
  deleteOnRead_ = new QCheckBox("DeleteOnRead", this);
  deleteOnRead_->setObjectName("CheckBox_DeleteOnRead");
  static_cast<QFormLayout*>(fields->layout())->addRow(deleteOnRead_);
  addButton(buttons, "Recive", this, [this] { Recive(); });
  addButton(buttons, "Connect", this, [this] { Connect(); });
  addButton(buttons, "Hide", this, [this] { hide(); });
  addButton(buttons, "Set Holder", this, [this] { SetHolder(); });
  addButton(buttons, "Set MemoFile", this, [this] { SetMemoFile(); });
  resize(480, 360);
}

void TFormReciveMail1::fill() {
  if (!w_) return;
  // The notebook dialog edits "POPServer": a notebook set up there is read as well.
  std::string server = holderThenDocument(*w_, "POP3Server");
  if (server.empty()) server = holderThenDocument(*w_, "POPServer");
  setText("POP3Server", Dequote(server));
  setText("UserID", Dequote(holderThenDocument(*w_, "UserID")));
  std::string flag;
  if (MemoNodeUI* node = w_->getCurrentNode()) flag = node->getFieldInherited_("DeleteOnRead");
  if (flag.empty()) flag = holderThenDocument(*w_, "DeleteOnRead");
  deleteOnRead_->setChecked(flag == "\"true\"");
}

bool TFormReciveMail1::openSession() {
  std::string error;
  transferring_ = true;
  const bool ok = session_.connect(text("POP3Server"), text("UserID"), fromQ(edit("Password")->text()), count_,
                                   error, transferOptions());
  transferring_ = false;
  if (!ok) {
    count_ = 0;
    setPanel(1, "Connect Faile: " + error);
    return false;
  }
  setPanel(0, "Conect");
  setPanel(1, count_ < 1 ? std::string("No message waiting") : std::to_string(count_) + " message in your mailbox");
  return true;
}

void TFormReciveMail1::closeSession() {
  if (!session_.connected()) return;
  session_.disconnect();
  count_ = 0;
  setPanel(0, "Disconect");
}

void TFormReciveMail1::Connect() {
  if (!w_ || busy()) return;
  if (session_.connected()) {
    closeSession();
    return;
  }
  BusyScope scope(*w_, "Connect Mail");
  if (!openSession()) scope.finish("Connect Mail: " + statusPanel(1));
}

void TFormReciveMail1::Recive() {
  if (!w_ || busy()) return;
  MemoHolderUI* holder = w_->getCurrentHolder();
  if (!holder || w_->checkHolderReadOnly()) return;
  BusyScope scope(*w_, "Recive Mail");
  if (!session_.connected() && !openSession()) {
    scope.finish("Recive Mail: " + statusPanel(1));
    return;
  }
  if (count_ < 1) {
    setPanel(1, "No Message to Get");
    closeSession();
    return;
  }
  w_->UI2Model();
  const bool deleting = deleteOnRead_->isChecked();
  int made = 0;
  MemoNode* last = nullptr;
  std::string error;
  // The first message that could not be kept whole; it and the rest stay on the server.
  std::string failure;
  std::string warnings;
  for (int i = 1; i <= count_; ++i) {
    if (scope.isBreak()) {
      error = "stopped by Break";
      break;
    }
    std::string raw;
    transferring_ = true;
    const auto got = session_.retrieve(i, raw, error);
    transferring_ = false;
    if (got == platform::Pop3Session::Retrieval::Failed) break;
    if (got == platform::Pop3Session::Retrieval::Cut) {
      // The server has gone; what came is no message, and nothing may be deleted.
      failure = "message " + std::to_string(i) + " arrived incomplete";
      break;
    }
    IncomingMail mail = ParseMailText(raw);
    MemoNode* node = holder->createNewNode_();
    if (!node) {
      error = "no note could be made";
      break;
    }
    node->body().clear();
    node->body().append(mail.body);
    // A message without a subject keeps the new note's own name.
    if (!sjis::trim(mail.subject).empty()) {
      std::string actual;
      node->putName_(sjis::trim(mail.subject), actual);
    }
    node->putField_("From", QuoteValue(mail.from));
    holder->modified = true;
    last = node;
    ++made;
    // Nothing a message lost on its way into the note goes unsaid.
    for (const std::string& charset : mail.unknownCharsets)
      w_->addLogTS("Recive Mail: unknown charset \"" + charset + "\" kept as it came in " + node->name());
    if (!mail.lost.empty()) {
      const std::string text = platform::unstorableText(mail.lost) + " in " + node->name();
      w_->addLogTS(text);
      warnings += (warnings.empty() ? "" : " / ") + text;
    }
    // A message leaves the server only when all of it is kept: the text in the note,
    // every other part in a file.
    bool whole = true;
    const std::string dir = node->getTempDir_();
    for (const MailAttachment& part : mail.attachments) {
      std::string path, why;
      if (SaveMailAttachment(dir, part, path, why)) {
        w_->addLogTS("Recive Mail: attachment " + path + " from " + node->name());
      } else {
        w_->addLogTS("Recive Mail: " + why);
        if (failure.empty()) failure = why;
        whole = false;
      }
    }
    if (mail.partsLeft > 0) {
      const std::string text = "Recive Mail: " + std::to_string(kMailMaxParts) + " parts kept, " +
                               std::to_string(mail.partsLeft) + " left on the server in " + node->name();
      w_->addLogTS(text);
      warnings += (warnings.empty() ? "" : " / ") + text;
      whole = false;
    }
    if (deleting && whole) {
      transferring_ = true;
      const bool ok = session_.remove(i, error);
      transferring_ = false;
      if (!ok) break;
    }
  }
  if (last) {
    // A tree selects each note it takes: the editor follows, or typing would go to a
    // note the view no longer shows.
    w_->changeCurrentNode_(static_cast<MemoNodeUI*>(last));
    w_->refreshHolderView();
    w_->Model2UI();
  }
  if (!error.empty() || !failure.empty()) {
    // Ending the session abandons nothing: a failed session deletes nothing.
    setPanel(1, "Recive Faile: " + (failure.empty() ? error : failure));
    scope.finish(!failure.empty() ? "Failure: " + failure
                                  : "Recive Mail: " + std::to_string(made) + " notes, " + error +
                                        (warnings.empty() ? "" : ". " + warnings));
    closeSession();
    return;
  }
  // Ending the session commits the deletions and leaves the count true for next time.
  closeSession();
  setPanel(1, "Success");
  scope.finish("Recive Mail: " + std::to_string(made) + " notes" + (warnings.empty() ? "" : ". " + warnings));
  setResult(QDialog::Accepted);
  hide();
}

void TFormReciveMail1::SetHolder() {
  if (!w_) return;
  MemoHolderUI* holder = w_->getCurrentHolder();
  if (!holder || w_->checkHolderReadOnly()) return;
  holder->putField_("POP3Server", QuoteValue(text("POP3Server")));
  holder->putField_("UserID", QuoteValue(text("UserID")));
  holder->modified = true;
  setResult(QDialog::Accepted);
  hide();
}

void TFormReciveMail1::SetMemoFile() {
  if (!w_) return;
  MemoFileUI* file = w_->getMemoFile();
  if (!file) return;
  file->putField_("POP3Server", QuoteValue(text("POP3Server")));
  file->putField_("UserID", QuoteValue(text("UserID")));
  file->modified = true;
  setResult(QDialog::Accepted);
  hide();
}

}  // namespace wux

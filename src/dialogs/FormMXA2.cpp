// The document's property dialog.
#include "dialogs/FormMXA2.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/records/MemoFile.h"
#include "views/qtext.h"

namespace wux {

TFormMXA2::TFormMXA2(QWidget* parent) : TFormPropaty(parent) {
  setWindowTitle(QStringLiteral("File Propaty"));
  auto* bar = new QMenuBar(this);
  bar->addAction(QStringLiteral("&CLOSE"), this, &QDialog::reject);
  setMenuBar(bar);
  auto* tabs = new QTabWidget(this);
  body()->addWidget(tabs);
  auto* general = new QWidget(tabs);
  auto* g = new QFormLayout(general);
  StaticText_FileName = new QLabel(general);
  StaticText_FileName->setObjectName(QStringLiteral("StaticText_FileName"));
  StaticText_name = new QLabel(general);
  StaticText_name->setObjectName(QStringLiteral("StaticText_name"));
  addCopyMenu(StaticText_FileName);
  addCopyMenu(StaticText_name);
  StaticText_Color = new ColorText(general);
  g->addRow(QStringLiteral("FileName"), StaticText_FileName);
  g->addRow(QStringLiteral("Name"), StaticText_name);
  g->addRow(StaticText_Color);
  auto* explorer = new QPushButton(QStringLiteral("Explorer"), general);
  connect(explorer, &QPushButton::clicked, this,
          [this] { exploreFolderOf(this, fromQ(StaticText_FileName->text())); });
  g->addRow(explorer);
  tabs->addTab(general, QStringLiteral("General"));
  auto* mail = new QWidget(tabs);
  auto* m = new QFormLayout(mail);
  for (const char* key : {"SMTPServer", "To", "CC", "BCC", "From", "ReplyTo", "UserID", "POPServer"}) {
    auto* e = new QLineEdit(mail);
    e->setObjectName(QStringLiteral("Edit_") + QString::fromLatin1(key));
    m->addRow(QString::fromLatin1(key), e);
  }
  tabs->addTab(mail, QStringLiteral("Mail"));
  Memo_Memo = new QPlainTextEdit(this);
  Memo_Memo->setObjectName(QStringLiteral("Memo_Memo"));
  body()->addWidget(Memo_Memo);
}

void TFormMXA2::loadFromObject(MemoFile* doc) {
  doc_ = doc;
  if (!doc) return;
  loaded_ = loadDocProps(*doc);
  StaticText_FileName->setText(toQ(loaded_.fileName));
  StaticText_name->setText(toQ(loaded_.name));
  StaticText_Color->setColor(loaded_.color);
  Memo_Memo->setPlainText(toQ(loaded_.memo));
}

void TFormMXA2::storeToObject() {
  if (!doc_) return;
  DocProps e = loaded_;
  e.color = StaticText_Color->color();
  e.memo = fromQ(Memo_Memo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
  storeDocProps(*doc_, loaded_, e);
}

}  // namespace wux

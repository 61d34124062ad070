#include "dialogs/FormScanNode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "views/MainWindowApi.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

QPushButton* pushButton(QWidget* parent, const char* caption) {
  return new QPushButton(QString::fromLatin1(caption), parent);
}

}  // namespace

FindBox::FindBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Find");
  auto* l = new QHBoxLayout(this);
  findText = new QLineEdit(this);
  auto* next = pushButton(this, "Find Next");
  l->addWidget(findText, 1);
  l->addWidget(next);
  connect(next, &QPushButton::clicked, this, &FindBox::find);
}

ReplaceBox::ReplaceBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Replace");
  auto* l = new QVBoxLayout(this);
  findText = new QLineEdit(this);
  replaceText = new QLineEdit(this);
  matchCase = new QCheckBox("Match case", this);
  l->addWidget(new QLabel("Find what", this));
  l->addWidget(findText);
  l->addWidget(new QLabel("Replace with", this));
  l->addWidget(replaceText);
  l->addWidget(matchCase);
  auto* buttons = new QHBoxLayout;
  auto* next = pushButton(this, "Find Next");
  auto* one = pushButton(this, "Replace");
  auto* all = pushButton(this, "Replace All");
  for (QPushButton* b : {next, one, all}) buttons->addWidget(b);
  l->addLayout(buttons);
  connect(next, &QPushButton::clicked, this, &ReplaceBox::find);
  // Replace All replaces one place, like Replace.
  connect(one, &QPushButton::clicked, this, &ReplaceBox::replace);
  connect(all, &QPushButton::clicked, this, &ReplaceBox::replace);
}

TFormScanNode::TFormScanNode(QWidget* parent) : QDialog(parent) {
  setWindowTitle("FormScanNode");
  auto* top = new QVBoxLayout(this);
  Panel1 = new QWidget(this);
  auto* head = new QHBoxLayout(Panel1);
  head->setContentsMargins(0, 0, 0, 0);
  ComboBox1 = HistoryCombo(Panel1);
  CheckBox_Ignore = new QCheckBox("Ignore", Panel1);
  auto* updateButton = pushButton(Panel1, "Update");
  head->addWidget(new QLabel("KeyWord", Panel1));
  head->addWidget(ComboBox1, 1);
  head->addWidget(CheckBox_Ignore);
  head->addWidget(updateButton);
  top->addWidget(Panel1);
  connect(updateButton, &QPushButton::clicked, this, [this] { update(); });

  PageControl1 = new QTabWidget(this);
  auto* namePage = new QWidget;
  auto* nameLayout = new QVBoxLayout(namePage);
  StaticText_Name = new QLabel(namePage);
  ComboBox_ReplaceName = HistoryCombo(namePage);
  nameLayout->addWidget(StaticText_Name);
  // Below the name it would replace; it does nothing yet.
  nameLayout->addWidget(ComboBox_ReplaceName);
  nameLayout->addStretch(1);
  PageControl1->addTab(namePage, "Name");

  auto textPage = [this](const char* caption, QPlainTextEdit*& edit, QComboBox*& combo, Page page) {
    auto* w = new QWidget;
    auto* l = new QVBoxLayout(w);
    auto* row = new QHBoxLayout;
    combo = HistoryCombo(w);
    auto* scanButton = pushButton(w, "Scan");
    auto* replaceButton = pushButton(w, "Replace");
    row->addWidget(new QLabel("ReplaceWord", w));
    row->addWidget(combo, 1);
    row->addWidget(scanButton);
    row->addWidget(replaceButton);
    l->addLayout(row);
    edit = new QPlainTextEdit(w);
    l->addWidget(edit, 1);
    connect(scanButton, &QPushButton::clicked, this, [this, page] { scan(page); });
    connect(replaceButton, &QPushButton::clicked, this, [this, page] { replace(page); });
    PageControl1->addTab(w, caption);
  };
  textPage("Memo", RichEdit_Memo, ComboBox_ReplaceMemo, PageMemo);
  textPage("Comment", RichEdit_Comment, ComboBox_ReplaceComment, PageComment);
  textPage("Field", RichEdit_Field, ComboBox_ReplaceField, PageField);

  auto* grepPage = new QWidget;
  auto* grepLayout = new QVBoxLayout(grepPage);
  auto* grepRow = new QHBoxLayout;
  auto* grepButton = pushButton(grepPage, "Grep");
  auto* newButton = pushButton(grepPage, "New Node");
  grepRow->addWidget(grepButton);
  grepRow->addWidget(newButton);
  grepRow->addStretch(1);
  grepLayout->addLayout(grepRow);
  Memo_Grep = new LinesView(grepPage);
  Memo_Grep->setSource({[this] { return grep_.size(); }, [this](std::size_t i) { return grep_[i].text; }});
  grepLayout->addWidget(Memo_Grep, 1);
  PageControl1->addTab(grepPage, "Grep");
  connect(grepButton, &QPushButton::clicked, this, [this] { grep(); });
  connect(newButton, &QPushButton::clicked, this, [this] { newNode(); });
  top->addWidget(PageControl1, 1);

  auto* close = pushButton(this, "Close");
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  top->addWidget(close, 0, Qt::AlignRight);
  StatusBar1 = new ScanStatusBar(this);
  top->addWidget(StatusBar1);

  for (int i = 0; i < 3; ++i) {
    const Page page = static_cast<Page>(PageMemo + i);
    find_[i] = new FindBox(this);
    replace_[i] = new ReplaceBox(this);
    connect(find_[i], &FindBox::find, this, [this, page, i] { findNext(page, find_[i]->findText->text()); });
    connect(replace_[i], &ReplaceBox::find, this, [this, page, i] { findNext(page, replace_[i]->findText->text()); });
    connect(replace_[i], &ReplaceBox::replace, this, [this, page] { replaceFirst(page); });
  }
  resize(560, 460);
}

QPlainTextEdit* TFormScanNode::editOf(Page page) const {
  switch (page) {
    case PageMemo: return RichEdit_Memo;
    case PageComment: return RichEdit_Comment;
    case PageField: return RichEdit_Field;
    default: return nullptr;
  }
}

QComboBox* TFormScanNode::replaceComboOf(Page page) const {
  switch (page) {
    case PageMemo: return ComboBox_ReplaceMemo;
    case PageComment: return ComboBox_ReplaceComment;
    case PageField: return ComboBox_ReplaceField;
    default: return nullptr;
  }
}

FindBox* TFormScanNode::findBox(Page page) const { return editOf(page) ? find_[page - PageMemo] : nullptr; }
ReplaceBox* TFormScanNode::replaceBox(Page page) const { return editOf(page) ? replace_[page - PageMemo] : nullptr; }

void TFormScanNode::update() {
  if (!aForm_ || !aForm_->getCurrentHolder()) return;
  MemoNodeUI* node = aForm_->getCurrentNode();
  if (!node) return;
  aForm_->UI2ModelAll();  // the copies show what is typed too
  StaticText_Name->setText(toQ(node->name()));
  if (node->getField_("Content-Transfer-Encoding") == "\"binary\"")
    RichEdit_Memo->clear();
  else
    RichEdit_Memo->setPlainText(linesToQ(node->body()));
  if (node->comment())
    RichEdit_Comment->setPlainText(linesToQ(*node->comment()));
  else
    RichEdit_Comment->clear();
  if (node->fieldList())
    RichEdit_Field->setPlainText(linesToQ(*node->fieldList()));
  else
    RichEdit_Field->clear();
  grep_.clear();
  Memo_Grep->reload();
}

void TFormScanNode::scan(Page page) {
  if (!aForm_ || !editOf(page)) return;
  const QString keyword = ComboBox1->currentText();
  PushComboHistory(ComboBox1, keyword);
  FindBox* box = findBox(page);
  box->findText->setText(keyword);
  QPlainTextEdit* edit = editOf(page);
  box->move(edit->mapToGlobal(QPoint(edit->width() - box->width(), 0)));
  box->show();
}

void TFormScanNode::replace(Page page) {
  if (!aForm_ || !editOf(page)) return;
  const QString keyword = ComboBox1->currentText();
  const QString replacement = replaceComboOf(page)->currentText();
  PushComboHistory(ComboBox1, keyword);
  PushComboHistory(replaceComboOf(page), replacement);
  ReplaceBox* box = replaceBox(page);
  box->matchCase->setChecked(!CheckBox_Ignore->isChecked());
  box->findText->setText(keyword);
  box->replaceText->setText(replacement);
  QPlainTextEdit* edit = editOf(page);
  box->move(edit->mapToGlobal(QPoint(edit->width() - box->width(), 0)));
  box->show();
}

void TFormScanNode::findNext(Page page, const QString& what) {
  QPlainTextEdit* edit = editOf(page);
  if (!edit) return;
  if (what.isEmpty()) return;
  QTextCursor c = edit->textCursor();
  // From the end of the selection, or from the start when nothing is selected; case
  // always counts here.
  const int from = c.hasSelection() ? c.selectionEnd() : 0;
  const int at = edit->toPlainText().indexOf(what, from, Qt::CaseSensitive);
  if (at < 0) return;
  c.setPosition(at);
  c.setPosition(at + static_cast<int>(what.size()), QTextCursor::KeepAnchor);
  edit->setFocus();
  edit->setTextCursor(c);
}

void TFormScanNode::replaceFirst(Page page) {
  QPlainTextEdit* edit = editOf(page);
  if (!edit) return;
  ReplaceBox* box = replace_[page - PageMemo];
  const QString what = box->findText->text();
  const int at = what.isEmpty() ? -1 : edit->toPlainText().indexOf(what, 0, Qt::CaseSensitive);
  if (at < 0) {
    prompter().messageBox("Could not find \"" + fromQ(what) + "\" in Memo1.", "", Buttons::OK, BoxKind::Error);
    return;
  }
  QTextCursor c = edit->textCursor();
  c.setPosition(at);
  c.setPosition(at + static_cast<int>(what.size()), QTextCursor::KeepAnchor);
  c.insertText(box->replaceText->text());
  edit->setTextCursor(c);
}

void TFormScanNode::grep() {
  if (!aForm_) return;
  const std::string keyword = fromQ(ComboBox1->currentText());
  if (keyword.empty()) {
    prompter().messageBox("KeyWord is Empty.", "", Buttons::OK, BoxKind::Warning);
    StatusBar1->setText("KeyWord is Empty.");
    return;
  }
  MemoNodeUI* node = aForm_->getCurrentNode();
  MemoHolder* holder = node ? node->getParentHolder_() : nullptr;
  if (!holder) return;
  aForm_->UI2ModelAll();
  KeywordHistory& h = history_ ? *history_ : ownHistory_;
  h.add(keyword);
  SetComboItems(ComboBox1, h.items());
  // The one note, worded like the notebook windows' grep.
  StringList work;
  node->grep_(keyword, CheckBox_Ignore->isChecked(), work, true, true, true, true);
  grep_.clear();
  const std::string head = holder->name() + ":" + node->name() + ":";
  for (int i = 0; i < work.count(); ++i) grep_.add(head + work[i], NoteRef(node));
  Memo_Grep->reload();
  PageControl1->setCurrentIndex(PageGrep);
  const std::string done = grep_.empty() ? "*Done Grep* No match KeyWord=" + keyword
                                         : "*Done Grep* count=" + std::to_string(grep_.size()) + " KeyWord=" + keyword;
  if (grep_.empty()) prompter().messageBox(done, "", Buttons::OK, BoxKind::Confirmation);
  StatusBar1->setText(done);
}

void TFormScanNode::newNode() {
  if (!aForm_ || aForm_->isDoing_()) return;
  NewNoteWithText(*aForm_, grep_.joined('\n'));
}

}  // namespace wux

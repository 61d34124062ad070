// The batch-edit window.
#include "dialogs/FormEditSelNode.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/records/MemoNode.h"
#include "model/text/sjis.h"
#include "views/ChangeGuard.h"
#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

QComboBox* historyBox(const char* name, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  makeEditableKeepingCase(c);
  c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

// A used text to the top of the box's own list, once; the text stays in the box.
void useText(QComboBox* box, const QString& text) {
  const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) box->removeItem(i);
  box->insertItem(0, text);
  box->setCurrentIndex(0);
  box->setEditText(text);
}

std::string crlf(const QPlainTextEdit* e) {
  return fromQ(e->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

}  // namespace

TFormEditSelNode::TFormEditSelNode(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormEditSelNode"));
  auto* l = new QVBoxLayout(this);
  list_ = new LinesList(this);
  list_->setObjectName(QStringLiteral("ListBox2"));
  list_->setSource({[this] { return static_cast<std::size_t>(targets_.count()); },
                    [this](std::size_t i) { return targets_.text(i); }});
  l->addWidget(list_);
  auto* tabs = new QTabWidget(this);
  l->addWidget(tabs);
  auto button = [this](QLayout* to, const char* caption, auto&& action) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    to->addWidget(b);
    connect(b, &QPushButton::clicked, this, action);
  };

  auto* name = new QWidget(tabs);
  auto* nl = new QVBoxLayout(name);
  ComboBox_name = historyBox("ComboBox_name", name);
  nl->addWidget(ComboBox_name);
  auto* nb = new QHBoxLayout;
  button(nb, "Insert Head", [this] { editName(NamePlace::InsertHead); });
  button(nb, "Insert Head+", [this] { editName(NamePlace::InsertHeadPlus); });
  button(nb, "Replace", [this] { editName(NamePlace::Replace); });
  button(nb, "Add Tail", [this] { editName(NamePlace::AddTail); });
  button(nb, "Add Tail+", [this] { editName(NamePlace::AddTailPlus); });
  nl->addLayout(nb);
  tabs->addTab(name, QStringLiteral("Name"));

  auto linesPage = [&](const char* title, const char* memoName, QPlainTextEdit*& memo, auto op) {
    auto* page = new QWidget(tabs);
    auto* pl = new QVBoxLayout(page);
    memo = new QPlainTextEdit(page);
    memo->setObjectName(QString::fromLatin1(memoName));
    pl->addWidget(memo);
    auto* pb = new QHBoxLayout;
    button(pb, "Insert Head", [this, op] { (this->*op)(LinesPlace::InsertHead); });
    button(pb, "Replace", [this, op] { (this->*op)(LinesPlace::Replace); });
    button(pb, "Add Tail", [this, op] { (this->*op)(LinesPlace::AddTail); });
    pl->addLayout(pb);
    tabs->addTab(page, QString::fromLatin1(title));
  };
  linesPage("Memo", "Memo_Memo", Memo_Memo, &TFormEditSelNode::editMemo);
  linesPage("Comment", "Memo_Comment", Memo_Comment, &TFormEditSelNode::editComment);

  auto* field = new QWidget(tabs);
  auto* fl = new QFormLayout(field);
  ComboBox_Field = historyBox("ComboBox_Field", field);
  ComboBox_Value = historyBox("ComboBox_Value", field);
  fl->addRow(QStringLiteral("Field"), ComboBox_Field);
  fl->addRow(QStringLiteral("Value"), ComboBox_Value);
  auto* fb = new QHBoxLayout;
  button(fb, "Set", [this] { setField(); });
  button(fb, "Delete", [this] { deleteField(); });
  button(fb, "Update Field", [this] { updateField(); });
  fl->addRow(fb);
  tabs->addTab(field, QStringLiteral("Field"));

  auto* bottom = new QHBoxLayout;
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(false);
  panel_ = new QLabel(bar);
  panel_->setMinimumWidth(50);
  bar->addWidget(panel_, 1);
  bottom->addWidget(bar, 1);
  button(bottom, "Close", [this] { close(); });
  l->addLayout(bottom);
}

void TFormEditSelNode::setTargets(const StringList& notes) {
  targets_.clear();
  for (int i = 0; i < notes.count(); ++i)
    if (auto* n = notes.objectAs<MemoNode>(i)) targets_.add(n, notes[i]);
  list_->reload();
}

void TFormEditSelNode::status(const std::string& text) {
  panel_->setText(toQ(text));
  panel_->repaint();
}

std::string TFormEditSelNode::statusText() const { return fromQ(panel_->text()); }

bool TFormEditSelNode::liveTargets(std::vector<MemoNode*>& notes) {
  gone_ = 0;
  notes.clear();
  if (targets_.count() == 0) {
    status("No MemoNode selected.");
    return false;
  }
  if (w_ && w_->checkUIReadOnly()) return false;
  if (w_) w_->UI2ModelAll();
  // The list and the targets stay line for line: a gone note's line goes too.
  notes = targets_.keepLive(w_ ? w_->getMemoFile() : nullptr, &gone_);
  list_->reload();
  if (notes.empty()) {
    status("No MemoNode selected." + goneText());
    return false;
  }
  // A note that may not change (its notebook or its own flag read-only) stays as it is,
  // not counted.
  std::erase_if(notes, [this](MemoNode* n) { return !w_ || !mayChange(*w_, *n); });
  return true;
}

std::string TFormEditSelNode::goneText() const {
  return gone_ > 0 ? " (gone: " + std::to_string(gone_) + ")" : std::string();
}

void TFormEditSelNode::finish(const std::string& text) {
  if (w_) {
    w_->Model2UI();
    w_->refreshHolderView();
  }
  status(text + goneText());
}

void TFormEditSelNode::editName(NamePlace place) {
  if (targets_.count() == 0) return status("No MemoNode selected.");
  const QString input = ComboBox_name->currentText();
  if (input.trimmed().isEmpty()) return status("Empty KeyWord");
  useText(ComboBox_name, input);
  std::vector<MemoNode*> notes;
  if (!liveTargets(notes)) return;
  const int n = renameNotes(notes, place, fromQ(input));
  const char* what[] = {"Done: Insert Head Name ", "Done: Insert Head Name+ ", "Done: Replace Name ",
                        "Done: Add Tail Name ", "Done: Add Tail Name+"};
  finish(what[static_cast<int>(place)] + std::to_string(n));
}

void TFormEditSelNode::editMemo(LinesPlace place) { editLines(place, Memo_Memo, &editBodies, "Memo"); }

void TFormEditSelNode::editComment(LinesPlace place) { editLines(place, Memo_Comment, &editComments, "Comment"); }

void TFormEditSelNode::editLines(LinesPlace place, const QPlainTextEdit* edit,
                                 int (*apply)(const std::vector<MemoNode*>&, LinesPlace, const std::string&),
                                 const std::string& what) {
  if (targets_.count() == 0) return status("No MemoNode selected.");
  if (edit->toPlainText().trimmed().isEmpty()) return status("Empty!");
  std::vector<MemoNode*> notes;
  if (!liveTargets(notes)) return;
  const int n = apply(notes, place, crlf(edit));
  const std::string done[] = {"Done: Insert Head ", "Done: Replace ", "Done: Insert add Tail "};
  finish(done[static_cast<int>(place)] + what + " " + std::to_string(n));
}

bool TFormEditSelNode::fieldName(std::string& name) {
  std::string error;
  name = MemoBasic::typedFieldName(fromQ(ComboBox_Field->currentText()), error);
  if (error.empty()) return true;
  prompter().messageBox(error, "Warning", Buttons::OK, BoxKind::Warning);
  status(error);
  return false;
}

void TFormEditSelNode::setField() {
  std::string name;
  if (!fieldName(name)) return;
  std::vector<MemoNode*> notes;
  if (!liveTargets(notes)) return;
  const QString value = ComboBox_Value->currentText();
  useText(ComboBox_Field, toQ(name));
  useText(ComboBox_Value, value);
  const int n = setFieldOnNotes(notes, name, fromQ(value));
  finish("*Done Set Field count=" + std::to_string(n) + " Field=" + name +
         " Value=" + QuoteValue(Dequote(fromQ(value))));
}

void TFormEditSelNode::deleteField() {
  std::string name;
  if (!fieldName(name)) return;
  std::vector<MemoNode*> notes;
  if (!liveTargets(notes)) return;
  // Both histories, as "Set" keeps them.
  useText(ComboBox_Field, toQ(name));
  useText(ComboBox_Value, ComboBox_Value->currentText());
  const int n = deleteFieldOnNotes(notes, name);
  finish("*Done: Delete Field count=" + std::to_string(n) + " KeyWord=" + name);
}

void TFormEditSelNode::updateField() {
  MemoHolderUI* holder = w_ ? w_->getCurrentHolder() : nullptr;
  if (!holder) return;
  StringList names;
  holder->getFieldNames_(names);
  names.sort();
  const QString text = ComboBox_Field->currentText();
  ComboBox_Field->clear();
  for (const auto& n : names) ComboBox_Field->addItem(toQ(n.text));
  ComboBox_Field->setEditText(text);
}

}  // namespace wux

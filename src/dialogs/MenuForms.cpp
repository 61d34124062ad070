#include "dialogs/MenuForms.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>
#include <vector>

#include "views/qtext.h"

namespace wux {

namespace {

QDialogButtonBox* okCancel(QDialog* d) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return buttons;
}

}  // namespace

TFormHolderFields::TFormHolderFields(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormHolderFields"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo_, 1);
  layout->addWidget(okCancel(this));
  resize(480, 360);
}

void TFormHolderFields::loadLines(const std::string& holderName, const StringList& lines) {
  setWindowTitle(toQ("FormHolderFields  " + holderName));
  loaded_ = lines;
  QStringList shown;
  for (const auto& line : lines) shown << toQ(line.text);
  shown_ = shown.join(QLatin1Char('\n'));
  memo_->setPlainText(shown_);
}

bool TFormHolderFields::changed() const { return memo_->toPlainText() != shown_; }

StringList TFormHolderFields::lines() const {
  // Each shown line to the bytes it came from, in order, for lines shown alike.
  std::map<QString, std::vector<std::string>> original;
  for (auto it = loaded_.end(); it != loaded_.begin();) {
    --it;
    original[toQ(it->text)].push_back(it->text);
  }
  StringList out;
  for (const QString& line : memo_->toPlainText().split(QLatin1Char('\n'))) {
    if (line.isEmpty()) continue;
    auto found = original.find(line);
    if (found != original.end() && !found->second.empty()) {
      out.add(found->second.back());
      found->second.pop_back();
    } else {
      out.add(fromQ(line));
    }
  }
  return out;
}

TFormGroupTree::TFormGroupTree(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormGroupTree"));
  setWindowTitle(QStringLiteral("FormGroupTree"));
  auto* layout = new QVBoxLayout(this);
  auto* tree = new QTreeWidget(this);
  tree->setObjectName(QStringLiteral("TreeView1"));
  tree->setHeaderHidden(true);
  layout->addWidget(tree, 1);
  layout->addWidget(okCancel(this));
  resize(320, 400);
}

TFormSelField::TFormSelField(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormSelField"));
  setWindowTitle(QStringLiteral("FormSelField"));
  auto* layout = new QVBoxLayout(this);
  auto* list = new QListWidget(this);
  list->setObjectName(QStringLiteral("ListBox1"));
  layout->addWidget(list, 1);
  layout->addWidget(okCancel(this));
  resize(320, 400);
}

}  // namespace wux

// The notebook chooser.
#include "dialogs/FormSelectHolder.h"

#include <QHBoxLayout>
#include <algorithm>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/MainWindowApi.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/OwnedWindow.h"
#include "views/qtext.h"

namespace wux {

TFormSelectHolder::TFormSelectHolder(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("FormSelectHolder"));
  auto* l = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  l->addWidget(list_);
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* row = new QHBoxLayout(panel);
  auto add = [&](const char* caption, auto&& action) {
    auto* b = new QPushButton(QString::fromLatin1(caption), panel);
    row->addWidget(b);
    connect(b, &QPushButton::clicked, this, action);
  };
  add("OK", [this] { accept(); });
  add("CANCEL", [this] { reject(); });
  add("New Holder", [this] {
    list_->setCurrentRow(-1);
    list_->clearSelection();
    accept();
  });
  add("Current", [this] {
    list_->setCurrentRow(currentIndex());
    accept();
  });
  l->addWidget(panel);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int TFormSelectHolder::currentIndex() const {
  if (!w_) return -1;
  const auto at = std::find(holders_.begin(), holders_.end(), w_->getCurrentHolder());
  return at == holders_.end() ? -1 : static_cast<int>(at - holders_.begin());
}

void TFormSelectHolder::fill(const MemoHolderUI* leaveOut) {
  list_->clear();
  holders_.clear();
  MemoFileUI* doc = w_ ? w_->getMemoFile() : nullptr;
  if (!doc) return;
  StringList names;
  doc->getHolderList_(names);
  for (int i = 0; i < names.count(); ++i) {
    auto* h = dynamic_cast<MemoHolderUI*>(names.object(i));
    if (!h || h == leaveOut) continue;
    holders_.push_back(h);
    list_->addItem(toQ(names[i]));
  }
  list_->setCurrentRow(currentIndex());
}

int TFormSelectHolder::selectedIndex() const {
  return list_->selectedItems().isEmpty() ? -1 : list_->currentRow();
}

MemoHolderUI* TFormSelectHolder::selectedHolder() const {
  const int row = selectedIndex();
  return row >= 0 && row < static_cast<int>(holders_.size()) ? holders_[static_cast<std::size_t>(row)] : nullptr;
}

QPushButton* TFormSelectHolder::button(const QString& caption) const {
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

HolderChooser::~HolderChooser() { delete form_.data(); }

TFormSelectHolder* HolderChooser::window() {
  if (!form_) form_ = new TFormSelectHolder;
  return form_.data();
}

bool HolderChooser::choose(MainWindowApi& w, MemoHolderUI*& holder, const MemoHolderUI* leaveOut,
                           bool offerCurrent) {
  TFormSelectHolder* f = window();
  ownWindow(*f, dynamic_cast<QWidget*>(&w), WindowPlace::OnOwner, true);
  f->setMainWindow(&w);
  f->fill(leaveOut);
  QPushButton* current = f->button(QStringLiteral("Current"));
  if (current) current->setEnabled(offerCurrent);
  const bool accepted = f->exec() == QDialog::Accepted;
  if (current) current->setEnabled(true);
  if (!accepted) return false;
  holder = f->selectedHolder();
  return true;
}

}  // namespace wux

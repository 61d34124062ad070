// The notebook chooser.
#include "dialogs/FormSelectHolder.h"

#include <QHBoxLayout>
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
  MemoFileUI* doc = w_ ? w_->getMemoFile() : nullptr;
  return doc ? doc->indexOfHolder_(w_->getCurrentHolder()) : -1;
}

void TFormSelectHolder::fill() {
  list_->clear();
  MemoFileUI* doc = w_ ? w_->getMemoFile() : nullptr;
  if (!doc) return;
  StringList names;
  doc->getHolderList_(names);
  for (const auto& n : names) list_->addItem(toQ(n.text));
  list_->setCurrentRow(currentIndex());
}

int TFormSelectHolder::selectedIndex() const {
  return list_->selectedItems().isEmpty() ? -1 : list_->currentRow();
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

bool HolderChooser::choose(MainWindowApi& w, int& index) {
  TFormSelectHolder* f = window();
  ownWindow(*f, dynamic_cast<QWidget*>(&w), WindowPlace::OnOwner, true);
  f->setMainWindow(&w);
  f->fill();
  if (f->exec() != QDialog::Accepted) return false;
  index = f->selectedIndex();
  return true;
}

}  // namespace wux

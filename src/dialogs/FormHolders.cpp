// The notebook order dialog.
#include "dialogs/FormHolders.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/records/MemoFile.h"
#include "views/qtext.h"

namespace wux {

namespace {

// A list whose internal drag is turned into one move of the document's notebooks.
class HolderList : public QListWidget {
 public:
  HolderList(TFormHolders* form, QWidget* parent) : QListWidget(parent), form_(form) {
    setDragDropMode(QAbstractItemView::InternalMove);
  }

 protected:
  void dropEvent(QDropEvent* e) override {
    const int from = currentRow();
    QListWidgetItem* target = itemAt(e->position().toPoint());
    e->ignore();
    if (e->source() == this && from >= 0 && target) form_->dropMove(from, row(target));
  }

 private:
  TFormHolders* form_;
};

}  // namespace

TFormHolders::TFormHolders(QWidget* parent) : TFormPropaty(parent) {
  setWindowTitle(QStringLiteral("Holders Order"));
  list_ = new HolderList(this, this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    menu.addAction(QStringLiteral("Top"), this, &TFormHolders::Top);
    menu.addAction(QStringLiteral("UP"), this, &TFormHolders::UP);
    menu.addAction(QStringLiteral("Down"), this, &TFormHolders::Down);
    menu.addAction(QStringLiteral("Bottom"), this, &TFormHolders::Bottom);
    menu.exec(list_->mapToGlobal(at));
  });
  body()->addWidget(list_);
  auto* row = new QHBoxLayout;
  row->addWidget(new QPushButton(QStringLiteral("UP SORT"), this));
  row->addWidget(new QPushButton(QStringLiteral("Down SORT"), this));
  body()->addLayout(row);
}

void TFormHolders::loadFromObject(MemoFile* doc) {
  doc_ = doc;
  list_->clear();
  if (!doc) return;
  StringList names;
  doc->getHolderList_(names);
  for (const auto& l : names) list_->addItem(toQ(l.text));
}

void TFormHolders::moveTo(int from, int to) {
  const int n = list_->count();
  if (!doc_ || from < 0 || from >= n || to < 0 || to >= n || from == to) return;
  if (to == from - 1)
    doc_->moveHolderUp_(from);
  else if (to == from + 1)
    doc_->moveHolderDown_(from);
  else if (to == 0)
    doc_->moveHolderTop_(from);
  else if (to == n - 1)
    doc_->moveHolderBottom_(from);
  else
    doc_->moveHolder_(from, to);
  doc_->modified = true;
  list_->insertItem(to, list_->takeItem(from));
  list_->setCurrentRow(to);
}

void TFormHolders::Top() { moveTo(list_->currentRow(), 0); }
void TFormHolders::UP() { moveTo(list_->currentRow(), list_->currentRow() - 1); }
void TFormHolders::Down() { moveTo(list_->currentRow(), list_->currentRow() + 1); }
void TFormHolders::Bottom() { moveTo(list_->currentRow(), list_->count() - 1); }
void TFormHolders::dropMove(int from, int to) { moveTo(from, to); }

}  // namespace wux

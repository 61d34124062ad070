// The note-name editor.
#include "dialogs/FormName.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/NoteNameEdit.h"
#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "views/Clipboard.h"
#include "views/MainWindowApi.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

QPalette colored(QPalette p, Color c) {
  p.setColor(QPalette::Window, toQColor(c));
  return p;
}

}  // namespace

TFormName::TFormName(QWidget* parent) : TFormPropaty(parent) {
  setMinimumSize(400, 250);
  setMaximumSize(600, 500);
  name_ = new QComboBox(this);
  name_->setObjectName(QStringLiteral("ComboBox_Name"));
  makeEditableKeepingCase(name_);
  name_->setInsertPolicy(QComboBox::NoInsert);
  // The box, not its line: the box has the focus and hands its focus events on directly.
  name_->installEventFilter(this);
  body()->addWidget(name_);

  // A group of buttons in rows of `columns`.
  struct Group {
    QGroupBox* box;
    QGridLayout* grid;
    int columns;
  };
  auto group = [this](const QString& title, QLayout* into, int columns = 6) {
    auto* g = new QGroupBox(title, this);
    auto* l = new QGridLayout(g);
    l->setSpacing(1);
    l->setContentsMargins(2, 2, 2, 2);
    into->addWidget(g);
    return Group{g, l, columns};
  };
  auto add = [this](Group g, const QString& caption, auto&& action) {
    auto* b = new QPushButton(caption, g.box);
    b->setAutoDefault(false);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 8);
    const int n = g.grid->count();
    g.grid->addWidget(b, n / g.columns, n % g.columns);
    connect(b, &QPushButton::clicked, this, action);
  };
  auto marks = [&](Group g, const char* const* list, int count,
                   std::string (*op)(const std::string&, const std::string&)) {
    for (int i = 0; i < count; ++i) {
      const QString caption = QString::fromUtf8(list[i]);
      add(g, caption, [this, caption, op] { setNameText(op(nameText(), fromQ(caption))); });
    }
  };
  auto* words = new QVBoxLayout;
  static const char* const k1[] = {"○", "◎", "●", "▲", "☆", "★", "*", "URL", "Image", "DIR", "■", "□"};
  static const char* const k2[] = {"★", "☆", "●", "◎", "○", "日", "土", "月", "火", "水", "木", "金", "▲"};
  static const char* const k3[] = {"○", "◎", "●", "▲", "☆", "★"};
  auto g1 = group(QStringLiteral("$1"), words);
  marks(g1, k1, 12, namedit::insertWord1);
  add(g1, QStringLiteral("cut1"), [this] { edit(namedit::cutWord1); });
  add(g1, QStringLiteral("Inc"), [this] { setNameText(namedit::stepWord1(nameText(), true)); });
  add(g1, QStringLiteral("Dec"), [this] { setNameText(namedit::stepWord1(nameText(), false)); });
  auto g2 = group(QStringLiteral("$2"), words);
  marks(g2, k2, 13, namedit::insertWord2);
  add(g2, QStringLiteral("cut2"), [this] { edit(namedit::cutWord2); });
  add(g2, QStringLiteral("Inc"), [this] { setNameText(namedit::stepWord2(nameText(), true)); });
  add(g2, QStringLiteral("Dec"), [this] { setNameText(namedit::stepWord2(nameText(), false)); });
  auto g3 = group(QStringLiteral("$3"), words);
  marks(g3, k3, 6, namedit::insertWord3);
  add(g3, QStringLiteral("cut3"), [this] { edit(namedit::cutWord3); });
  add(g3, QStringLiteral("CH2"), [this] { setNameText(namedit::cutHead(namedit::cutHead(nameText()))); });
  add(g3, QStringLiteral("*"), [this] { setNameText("*"); });

  auto* middle = new QHBoxLayout;
  middle->addLayout(words, 1);
  auto* calBox = new QVBoxLayout;
  calendar_ = new QCalendarWidget(this);
  calendar_->setObjectName(QStringLiteral("MonthCalendar1"));
  calBox->addWidget(calendar_);
  auto gc = group(QStringLiteral("Calendar"), calBox, 4);
  add(gc, QStringLiteral("<<"), [this] { calendar_->setSelectedDate(calendar_->selectedDate().addYears(-1)); });
  add(gc, QStringLiteral(">>"), [this] { calendar_->setSelectedDate(calendar_->selectedDate().addYears(1)); });
  add(gc, QStringLiteral("Today"), [this] { setCalendarDate(Now()); });
  add(gc, QStringLiteral("Set"), [this] {
    if (!w_) return;
    std::string format;
    if (MemoHolderUI* h = w_->getCurrentHolder()) format = Dequote(h->getField_("FormatDate"));
    if (format.empty()) format = "YYYYMMDD";
    setNameText(namedit::putDate(nameText(), FormatDateTime(format, calendarDate())));
  });
  middle->addLayout(calBox);
  body()->addLayout(middle);

  auto* freeBox = new QVBoxLayout;
  auto gf = group(QString(), freeBox, 7);
  add(gf, QStringLiteral("Reset"), [this] { setNameText(loaded_); });
  // A click on these takes the focus, and with it the name box's selection: they act on
  // the selection as it was.
  add(gf, QStringLiteral("COPY"), [this] {
    int start = 0, length = 0;
    if (selection(start, length)) clipboard().setText(fromQ(name_->currentText().mid(start, length)));
  });
  add(gf, QStringLiteral("Paste"), [this] {
    QLineEdit* e = name_->lineEdit();
    if (!e) return;
    int start = 0, length = 0;
    if (selection(start, length)) e->setSelection(start, length);
    e->insert(toQ(clipboard().text()));
  });
  add(gf, QStringLiteral("ExtractFilename"), [this] { edit(namedit::extractFileName); });
  add(gf, QStringLiteral("Cut Head"), [this] { edit(namedit::cutHead); });
  add(gf, QStringLiteral("Cut Tail"), [this] { edit(namedit::cutTail); });
  add(gf, QStringLiteral("CH1"), [this] { setNameText(DeleteFirstChar(nameText())); });
  add(gf, QStringLiteral("CT1"), [this] { setNameText(DeleteLastChar(nameText())); });
  add(gf, QStringLiteral("ChangeFileExt,''"), [this] { edit(namedit::removeExtension); });
  add(gf, QStringLiteral("Clear"), [this] { setNameText(""); });
  add(gf, QStringLiteral("All"), [this] {
    name_->setFocus();
    if (QLineEdit* e = name_->lineEdit()) e->selectAll();
  });
  add(gf, QStringLiteral("Inc10"), [this] { setNameText(namedit::stepLastNumber(nameText(), true)); });
  add(gf, QStringLiteral("Dec10"), [this] { setNameText(namedit::stepLastNumber(nameText(), false)); });
  body()->addLayout(freeBox);
}

void TFormName::edit(std::string (*op)(const std::string&)) { setNameText(op(nameText())); }

bool TFormName::eventFilter(QObject* watched, QEvent* event) {
  QLineEdit* e = name_->lineEdit();
  if (watched == name_ && e) {
    if (event->type() == QEvent::FocusOut) {
      // Seen before the box drops its selection.
      lastStart_ = e->hasSelectedText() ? e->selectionStart() : -1;
      lastLength_ = e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0;
      lastText_ = e->text();
    } else if (event->type() == QEvent::FocusIn) {
      lastStart_ = -1;
    }
  }
  return TFormPropaty::eventFilter(watched, event);
}

bool TFormName::selection(int& start, int& length) const {
  const QLineEdit* e = name_->lineEdit();
  if (e && e->hasSelectedText()) {
    start = e->selectionStart();
    length = static_cast<int>(e->selectedText().size());
    return true;
  }
  // Only while the text is still the one the selection was made in.
  if (lastStart_ < 0 || !e || e->text() != lastText_) return false;
  start = lastStart_;
  length = lastLength_;
  return true;
}

std::string TFormName::nameText() const { return fromQ(name_->currentText()); }
void TFormName::setNameText(const std::string& sjis) { name_->setEditText(toQ(sjis)); }

QPushButton* TFormName::button(const QString& group, const QString& caption) const {
  for (QGroupBox* g : findChildren<QGroupBox*>())
    if (g->title() == group)
      for (QPushButton* b : g->findChildren<QPushButton*>())
        if (b->text() == caption) return b;
  return nullptr;
}

DateTime TFormName::calendarDate() const {
  const QDate d = calendar_->selectedDate();
  DateTime t;
  t.year = d.year();
  t.month = d.month();
  t.day = d.day();
  return t;
}

void TFormName::setCalendarDate(const DateTime& d) { calendar_->setSelectedDate(QDate(d.year, d.month, d.day)); }

void TFormName::loadFromObject(MemoNode* node) {
  if (!node) return;
  loaded_ = node->name();
  setNameText(loaded_ + " ");
  std::string caption = "Change MemoNode's Name : ";
  setPalette(QPalette());
  MemoHolder* holder = node->getParentHolder_();
  if (MemoFile* doc = holder ? holder->getParentFile_() : nullptr) {
    caption += doc->name();
    setAutoFillBackground(true);
    setPalette(colored(palette(), doc->getColor_()));
  }
  if (holder) caption += " : " + holder->name();
  setWindowTitle(toQ(caption));
  DateTime date;
  if (TryDigitsToDateTime(namedit::calendarDateText(loaded_, Now()), date)) setCalendarDate(date);
}

void TFormName::showEvent(QShowEvent* event) {
  TFormPropaty::showEvent(event);
  // Typing goes into the name and replaces it: on OK, a first blank would press it.
  name_->setFocus(Qt::OtherFocusReason);
  if (QLineEdit* e = name_->lineEdit()) e->selectAll();
}

void TFormName::storeToObject() {
  // The accepted text heads the history, once, blank or not: it is what was accepted.
  const QString text = name_->currentText();
  const int i = name_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) name_->removeItem(i);
  name_->insertItem(0, text);
  name_->setCurrentIndex(0);
}

}  // namespace wux

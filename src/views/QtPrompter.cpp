#include "views/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "views/qtext.h"

namespace wux {

namespace {

QString& titleValue() {
  static QString title = QStringLiteral("wux.exe");
  return title;
}

QString captionOr(const std::string& caption) { return caption.empty() ? titleValue() : toQ(caption); }

}  // namespace

void setApplicationTitle(const QString& title) { titleValue() = title; }
QString applicationTitle() { return titleValue(); }

bool isModalDialogOpen() { return QApplication::activeModalWidget() != nullptr; }

QWidget* QtPrompter::owner() const {
  // A box asked from a dialog belongs to that dialog: were it the main window's, the
  // window manager would raise the main window with it and hide the dialog behind.
  auto usable = [](QWidget* w) {
    if (!w || !w->isVisible()) return false;
    const Qt::WindowType type = w->windowType();
    return type != Qt::Tool && type != Qt::SplashScreen && type != Qt::ToolTip && type != Qt::Popup;
  };
  if (QWidget* modal = QApplication::activeModalWidget(); usable(modal)) return modal;
  if (QWidget* active = QApplication::activeWindow(); usable(active)) return active;
  return parent_;
}

Answer QtPrompter::messageBox(const std::string& text, const std::string& caption, Buttons buttons) {
  return messageBox(text, caption, buttons, std::nullopt, BoxKind::ByButtons);
}

Answer QtPrompter::messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                              Answer defaultButton) {
  return messageBox(text, caption, buttons, defaultButton, BoxKind::ByButtons);
}

namespace {

QMessageBox::Icon qtIcon(BoxKind kind) {
  switch (kind) {
    case BoxKind::Information: return QMessageBox::Information;
    case BoxKind::Warning: return QMessageBox::Warning;
    case BoxKind::Confirmation: return QMessageBox::Question;
    case BoxKind::Error: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
  }
}

// The button of one answer; the answers without a standard button get one of their own.
QAbstractButton* answerButton(QMessageBox& box, Answer a) {
  switch (a) {
    case Answer::OK: return box.addButton(QMessageBox::Ok);
    case Answer::Cancel: return box.addButton(QMessageBox::Cancel);
    case Answer::Yes: return box.addButton(QMessageBox::Yes);
    case Answer::No: return box.addButton(QMessageBox::No);
    case Answer::Abort: return box.addButton(QMessageBox::Abort);
    case Answer::Retry: return box.addButton(QMessageBox::Retry);
    case Answer::Ignore: return box.addButton(QMessageBox::Ignore);
    case Answer::YesToAll: return box.addButton(QObject::tr("Yes to All"), QMessageBox::YesRole);
    case Answer::TryAgain: return box.addButton(QObject::tr("&Try Again"), QMessageBox::AcceptRole);
    case Answer::Continue: return box.addButton(QObject::tr("&Continue"), QMessageBox::AcceptRole);
  }
  return nullptr;
}

// The buttons stand in the order the question names them. Qt would sort them by role
// after the desktop's own layout (Retry before Abort, Cancel last), so they all share
// one role, which every layout keeps in the order added.
QAbstractButton* addAnswerButton(QMessageBox& box, Answer a) {
  QAbstractButton* button = answerButton(box, a);
  box.addButton(button, QMessageBox::ActionRole);
  return button;
}

}  // namespace

Answer QtPrompter::messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                              std::optional<Answer> defaultButton, BoxKind kind) {
  // On the heap: the dialog that owns the box may go, taking the box along, while it waits.
  QPointer<QMessageBox> guard = new QMessageBox(owner());
  QMessageBox& box = *guard;
  box.setWindowTitle(captionOr(caption));
  box.setText(toQ(text));
  box.setIcon(qtIcon(iconOf(kind, buttons)));
  std::vector<std::pair<QAbstractButton*, Answer>> answers;
  for (Answer a : buttonAnswers(buttons)) answers.emplace_back(addAnswerButton(box, a), a);
  // Every question with Yes to all is a save question: Enter keeps the work.
  if (!defaultButton && buttons == Buttons::YesNoCancelAll) defaultButton = Answer::Yes;
  if (defaultButton)
    for (auto& [button, a] : answers)
      if (a == *defaultButton) box.setDefaultButton(qobject_cast<QPushButton*>(button));
  // Without roles Qt cannot tell which button Escape presses: the safe answer's.
  for (auto& [button, a] : answers)
    if (a == safeAnswer(buttons)) box.setEscapeButton(button);
  box.exec();
  if (!guard) return safeAnswer(buttons);
  const std::unique_ptr<QMessageBox> done(guard.data());
  QAbstractButton* clicked = box.clickedButton();
  for (auto& [button, a] : answers)
    if (button == clicked) return a;
  return safeAnswer(buttons);
}

bool QtPrompter::inputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(owner(), captionOr(caption), toQ(prompt), QLineEdit::Normal, toQ(value), &ok);
  if (!ok) return false;
  value = fromQ(text);
  return true;
}

namespace {

// The (caption, patterns) entries of a "Caption|*.a;*.b|..." filter.
std::vector<std::pair<QString, QStringList>> filterEntries(const std::string& filter) {
  const QStringList parts = toQ(filter).split(QLatin1Char('|'));
  std::vector<std::pair<QString, QStringList>> out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], parts[i + 1].split(QLatin1Char(';')));
  return out;
}

QString qtEntry(const std::pair<QString, QStringList>& e) {
  return e.first + QLatin1String(" (") + e.second.join(QLatin1Char(' ')) + QLatin1Char(')');
}

}  // namespace

QString QtPrompter::qtFilter(const std::string& filter) {
  QStringList out;
  for (const auto& e : filterEntries(filter)) out << qtEntry(e);
  return out.join(QLatin1String(";;"));
}

QString QtPrompter::filterFor(const std::string& filter, const std::string& path) {
  const QString suffix = QFileInfo(toQ(path)).suffix();
  QString any;
  for (const auto& e : filterEntries(filter))
    for (const QString& pattern : e.second) {
      const QString p = pattern.trimmed();
      if (p == QLatin1String("*.*") || p == QLatin1String("*")) {
        if (any.isEmpty()) any = qtEntry(e);
      } else if (!suffix.isEmpty() && p.compare(QLatin1String("*.") + suffix, Qt::CaseInsensitive) == 0) {
        return qtEntry(e);
      }
    }
  return any;
}

bool QtPrompter::openFileName(const std::string& title, const std::string& filter, std::string& path) {
  const QString name = QFileDialog::getOpenFileName(owner(), toQ(title), toQ(path), qtFilter(filter));
  if (name.isEmpty()) return false;
  path = fromQ(name);
  return true;
}

bool QtPrompter::saveFileName(const std::string& title, const std::string& filter, std::string& path) {
  QString selected = filterFor(filter, path);
  const QString name =
      QFileDialog::getSaveFileName(owner(), toQ(title), toQ(path), qtFilter(filter), selected.isEmpty() ? nullptr : &selected);
  if (name.isEmpty()) return false;
  path = fromQ(name);
  return true;
}

bool QtPrompter::directoryName(const std::string& title, std::string& dir) {
  const QString name = QFileDialog::getExistingDirectory(owner(), toQ(title), toQ(dir));
  if (name.isEmpty()) return false;
  dir = fromQ(name);
  return true;
}

}  // namespace wux

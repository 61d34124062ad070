#include "mainwindow/FormLog.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include "model/text/StringList.h"
#include "views/qtext.h"

namespace wux {

TFormLog::TFormLog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("FormLog"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("MemoLog"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo_);
  resize(600, 400);
}

void TFormLog::appendLine(const std::string& sjisLine) { memo_->appendPlainText(toQ(sjisLine)); }

StringList TFormLog::lines() const {
  StringList out;
  const QTextDocument* doc = memo_->document();
  if (doc->isEmpty()) return out;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) out.add(fromQ(b.text()));
  return out;
}

}  // namespace wux

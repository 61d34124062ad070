#include "mainwindow/FormLog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/text/StringList.h"
#include "views/Clipboard.h"
#include "views/CommandTable.h"
#include "views/FrameMemoNode.h"
#include "views/MainWindowApi.h"
#include "views/qtext.h"

namespace wux {

TFormLog::TFormLog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Log"));
  auto* buttons = new QWidget(this);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(2, 2, 2, 2);
  auto button = [&](const char* caption, auto click) {
    auto* b = new QPushButton(QString::fromLatin1(caption), buttons);
    b->setObjectName(QString::fromLatin1(caption));
    connect(b, &QPushButton::clicked, this, click);
    row->addWidget(b);
  };
  button("Hide", [this] { close(); });
  button("NewNode", [this] { NewNodeClick(); });
  button("CopyAll", [this] { CopyAllClick(); });
  button("Clear", [this] { ClearClick(); });
  row->addStretch(1);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("MemoLog"));
  // Long lines wrap on the screen only; the log's lines stay as they were written.
  memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(buttons);
  layout->addWidget(memo_, 1);
  resize(600, 400);
}

void TFormLog::appendLine(const std::string& sjisLine) {
  // appendPlainText keeps the view at the end when it was there: a reader scrolled back
  // stays where they are.
  memo_->appendPlainText(toQ(sjisLine));
}

StringList TFormLog::lines() const {
  StringList out;
  const QTextDocument* doc = memo_->document();
  if (doc->isEmpty()) return out;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) out.add(fromQ(b.text()));
  return out;
}

void TFormLog::NewNodeClick() {
  if (!main_) {
    prompter().messageBox("aForm = nil", "", Buttons::OK);
    return;
  }
  const QString text = memo_->toPlainText();
  if (main_->commands().run("newMemoNode_") < 0) return;
  TFrameMemoNode* editor = main_->getNodeFrame();
  if (!editor) return;
  editor->MemoNode0()->setPlainText(text);
  main_->UI2Model();
}

void TFormLog::CopyAllClick() { clipboard().setText(lines().text()); }

void TFormLog::ClearClick() { memo_->clear(); }

}  // namespace wux

// wux-exec DOC.mxa NOTEBOOK NOTE OUT.mxa [Eval]
// Opens DOC.mxa in an offscreen main window whose every question is answered with its
// first button, makes NOTE of NOTEBOOK current and executes it into a new child note
// (with Eval: evaluates the note's whole text as a script instead). Then saves the
// document as OUT.mxa with its notebooks beside it. Every status text, log line and
// message box text goes to standard output in order, one a line, in UTF-8. Exit 0 when
// the document was saved, 1 otherwise (the reason on standard error).
#include <QApplication>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mainwindow/FormMainWUXX13c.h"
#include "model/records/RecordFiles.h"
#include "platform/textconv.h"
#include "support/RecordingPrompter.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {
namespace {

void out(const std::string& sjisText) {
  // A text of several lines is still one report: its line breaks become blanks.
  std::string line = platform::sjisToUtf8(sjisText);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

class EchoPrompter : public RecordingPrompter {
 public:
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    std::optional<Answer> defaultButton, BoxKind kind) override {
    out(text);
    return RecordingPrompter::messageBox(text, caption, buttons, defaultButton, kind);
  }
  using RecordingPrompter::messageBox;
};

class EchoForm : public TFormMainWUXX13c {
 public:
  void messageDoing_(const std::string& text) override {
    out(text);
    TFormMainWUXX13c::messageDoing_(text);
  }
  int addLog_(const std::string& text) override {
    out(text);
    return TFormMainWUXX13c::addLog_(text);
  }
};

int fail(const std::string& why) {
  std::fprintf(stderr, "wux-exec: %s\n", why.c_str());
  return 1;
}

}  // namespace
}  // namespace wux

int main(int argc, char** argv) {
  using namespace wux;
  if (argc != 5 && !(argc == 6 && std::string(argv[5]) == "Eval"))
    return fail("usage: wux-exec DOC.mxa NOTEBOOK NOTE OUT.mxa [Eval]");
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const std::string doc = platform::fromOsName(argv[1]);
  const std::string notebook = platform::utf8ToSjis(argv[2]);
  const std::string noteName = platform::utf8ToSjis(argv[3]);
  const std::string target = platform::fromOsName(argv[4]);
  const bool evaluate = argc == 6;

  EchoPrompter prompter;
  ScopedPrompter usePrompter(&prompter);
  auto form = createForm<EchoForm>();
  if (form->documentSession().openMemoFile(doc) < 0) return fail("cannot open " + std::string(argv[1]));
  MemoFileUI* file = form->getMemoFile();
  auto* holder = dynamic_cast<MemoHolderUI*>(file->findHolderByName_(notebook));
  if (!holder || !form->changeCurrentHolder(holder)) return fail("no notebook " + std::string(argv[2]));
  auto* node = dynamic_cast<MemoNodeUI*>(holder->findNodeByName_(noteName));
  if (!node) return fail("no note " + std::string(argv[3]));
  form->changeCurrentNode_(node);
  if (evaluate) {
    QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();
    memo->setFocus();
    memo->selectAll();
    form->commands().run("UIEval");
  } else {
    form->commands().run("UINewChildExecuted");
  }
  form->UI2Model();
  SaveReport report;
  if (!SaveDocumentAndHolders(*file, target, false, report)) {
    for (int i = 0; i < report.messages.count(); ++i) std::fprintf(stderr, "%s\n", report.messages[i].c_str());
    return fail("cannot save " + std::string(argv[4]));
  }
  return 0;
}

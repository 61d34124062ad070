#pragma once
// A main window made fresh for each test, with a fixed clock, a seeded random source and
// recorded questions. The window goes first, before what it uses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/FormLog.h"
#include "mainwindow/FormMainWUXX13c.h"
#include "support/RecordingPrompter.h"
#include "support/log_lines.h"
#include "model/clock.h"
#include "support/qt_app.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/NoteViews.h"
#include "views/views_support.h"

namespace wux::test {

// Acts on the modal dialog of class D as soon as it is shown; a dialog the action
// leaves open is cancelled, so a test never waits on it.
template <class D>
void whenModal(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
    if (!d) {
      ADD_FAILURE() << "the expected dialog is not shown";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    act(d);
    if (d->isVisible()) d->reject();
  });
}

template <class Form>
class FormTest : public ::testing::Test {
 protected:
  explicit FormTest(DateTime start) : clock{start} {
    qtApp();
    setClock(&clock);
    setRandomSource(&random);
  }
  ~FormTest() override {
    setClock(nullptr);
    setRandomSource(nullptr);
  }
  void SetUp() override { form = createForm<Form>(); }
  void TearDown() override { form.reset(); }
  std::string status() { return form->statusPanel(2); }
  bool logHas(const std::string& text) { return test::logHas(form->getFormLog()->lines(), text); }
  std::vector<std::string> logLines() { return test::logLines(form->getFormLog()->lines()); }

  FixedClock clock;
  SeededRandom random{7};
  RecordingPrompter rec;
  ScopedPrompter prompter_{&rec};
  std::unique_ptr<Form> form;
};

// The current note as each part of the window holds it: "window notebook view editor",
// each the note's name or "-".
inline std::string currentEverywhere(TFormMainWUXX13c& form) {
  auto name = [](TObject* n) { return n ? static_cast<MemoNode*>(n)->name() : std::string("-"); };
  MemoHolderUI* h = form.getCurrentHolder();
  auto* view = h ? dynamic_cast<NoteViewBinding*>(h->getViewControl_()) : nullptr;
  NoteItem* selected = view ? view->selectedItem() : nullptr;
  return name(form.getCurrentNode()) + " " + name(h ? h->getCurrentNode_() : nullptr) + " " +
         name(selected ? selected->note() : nullptr) + " " + name(form.getHolderFrame()->FrameMemoNode1()->node());
}

// The whole window holding a new document whose folder is a scratch folder: what the
// command tests start from.
class NewDocumentTest : public FormTest<TFormMainWUXX13c> {
 protected:
  using FormTest::FormTest;
  void SetUp() override {
    FormTest::SetUp();
    form->newMemoFile();
    form->getMemoFile()->directory = tmp.path.string() + "/";
  }
  void TearDown() override {
    FormTest::TearDown();
    // Windows closed by the test go with their deferred deletes, not with the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  int run(const std::string& name, const CommandArgs& args = {}) { return form->commands().run(name, args); }
  MemoHolderUI* holder() { return form->getCurrentHolder(); }
  MemoNodeUI* current() { return form->getCurrentNode(); }
  TFrameMemoNode* editor() { return form->getHolderFrame()->FrameMemoNode1(); }
  // A note of the current notebook with a body and fields, made current.
  MemoNodeUI* note(const std::string& name, const std::string& body, std::initializer_list<std::string> fields = {}) {
    auto* n = static_cast<MemoNodeUI*>(holder()->newNode_());
    holder()->addNode_(n, name);
    n->body().setText(body);
    for (const std::string& f : fields) n->putField_(StringList::nameOf(f), StringList::valueOfLine(f));
    form->changeCurrentNode_(n);
    return n;
  }
  TempDir tmp;
};

}  // namespace wux::test

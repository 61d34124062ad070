#pragma once
// A main window made fresh for each test, with a fixed clock, a seeded random source and
// recorded questions. The window goes first, before what it uses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mainwindow/FormMainWUXX13c.h"
#include "support/RecordingPrompter.h"
#include "model/clock.h"
#include "support/qt_app.h"

namespace wux::test {

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

  FixedClock clock;
  SeededRandom random{7};
  RecordingPrompter rec;
  ScopedPrompter prompter_{&rec};
  std::unique_ptr<Form> form;
};

}  // namespace wux::test

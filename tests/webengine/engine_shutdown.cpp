// The browser engine stops its threads only when the application object goes. Left to
// the process's exit, they run on while the libraries' static objects are freed under
// them, and now and then the heap is corrupted after every test has passed. So this
// program ends the application object itself, once, after its last test (and repeat);
// every page went with its test's fixture before that.
#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

class EngineShutdown : public ::testing::EmptyTestEventListener {
 public:
  void OnTestProgramEnd(const ::testing::UnitTest&) override { delete QCoreApplication::instance(); }
};

[[maybe_unused]] const bool engineShutdown = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new EngineShutdown);
  return true;
}();

}  // namespace

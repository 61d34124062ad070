#include "views/CommandTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wux {
namespace {

using State = CommandTable::State;

TEST(CommandTableTest, ABuiltCommandReplacesItsPlaceholderOnlyOnce) {
  CommandTable t;
  int notices = 0;
  t.addPlaceholder("UIMoveNodeUp", [&](const CommandArgs&) { return ++notices, -101; });
  EXPECT_EQ(t.run("UIMoveNodeUp"), -101);
  EXPECT_EQ(t.state("UIMoveNodeUp"), State::NotBuiltYet);

  t.add("UIMoveNodeUp", [] { return 3; });
  EXPECT_EQ(t.run("UIMoveNodeUp"), 3);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(t.state("UIMoveNodeUp"), State::Built);

  // Neither a late placeholder nor a second family may take a built command's place.
  t.addPlaceholder("UIMoveNodeUp", [](const CommandArgs&) { return -101; });
  EXPECT_EQ(t.run("UIMoveNodeUp"), 3);
  EXPECT_THROW(t.add("UIMoveNodeUp", [] { return 0; }), std::logic_error);
  EXPECT_THROW(t.add("UIEmpty", std::function<int()>()), std::logic_error);
}

TEST(CommandTableTest, ArgumentsAndUnknownNames) {
  CommandTable t;
  t.add("UIAddHeadSEL", [](const CommandArgs& a) { return static_cast<int>(commandArg(a, 0).size() + commandArg(a, 5).size()); });
  EXPECT_EQ(t.run("UIAddHeadSEL", {"**"}), 2);  // a missing argument reads as empty
  EXPECT_EQ(t.run("UIAddHeadSEL"), 0);
  EXPECT_FALSE(t.contains("UIAddHead"));
  EXPECT_THROW(t.run("UIAddHead"), std::out_of_range);
  EXPECT_THROW(t.state("UIAddHead"), std::out_of_range);
}

TEST(CommandTableTest, NamesBySortedState) {
  CommandTable t;
  t.addPlaceholder("b", [](const CommandArgs&) { return -101; });
  t.add("c", [] { return 0; });
  t.add("a", [] { return -1; }, State::LeftOpen);
  EXPECT_EQ(t.names(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(t.names(State::NotBuiltYet), std::vector<std::string>{"b"});
  EXPECT_EQ(t.names(State::LeftOpen), std::vector<std::string>{"a"});
}

TEST(CommandTableTest, DeclaredNeedsAreAskedOnceBeforeTheCommandRuns) {
  CommandTable t;
  int ran = 0;
  std::vector<std::string> asked;
  bool busy = false, readOnly = false;
  t.setGuard([&](const Needs& n) -> std::optional<int> {
    asked.push_back(std::string(n.idle ? "idle " : "") + (n.ui ? "ui" : ""));
    if (n.idle && busy) return n.idleCode;
    if (n.ui && readOnly) return n.uiCode;
    return std::nullopt;
  });
  t.add("UIMoveNodeUp", Needs::notBusy().uiWritable(-8), [&] { return ++ran, 0; });
  t.add("UIIcon", Needs::notBusy().uiWritable(-8).afterDialog(), [&] {
    if (const std::optional<int> refused = t.refusal("UIIcon")) return *refused;
    return ++ran, 0;
  });
  t.add("UIVersion", [&] { return ++ran, 0; });

  readOnly = true;
  EXPECT_EQ(t.run("UIMoveNodeUp"), -8);
  busy = true;
  EXPECT_EQ(t.run("UIMoveNodeUp"), -1);
  EXPECT_EQ(t.run("UIVersion"), 0);  // declares nothing: never asks
  EXPECT_EQ(ran, 1);
  // The read-only needs of an after-the-dialog command wait for its own moment.
  busy = false;
  EXPECT_EQ(t.run("UIIcon"), -8);
  EXPECT_EQ(asked, (std::vector<std::string>{"idle ui", "idle ui", "idle ", "ui"}));
}

}  // namespace
}  // namespace wux

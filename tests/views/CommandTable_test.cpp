#include "views/CommandTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

}  // namespace
}  // namespace wux

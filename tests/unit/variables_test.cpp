#include "script/variables.h"

#include <gtest/gtest.h>

#include <string>

#include "recording_reporter.h"
#include "script/script_context.h"
#include "script/values.h"
#include "shell/run/command_handlers.h"

namespace {

using script::kValueCapacity;

class Variables : public testing::Test {
 protected:
  test_support::RecordingReporter reporter;
  script::RunState state;
  script::ScriptContext context{
      script::ScriptEnvironment{reporter, state, shell::CommandHandlers()}};
};

TEST_F(Variables, NamesMatchExactlyAndCaseSensitively) {
  ASSERT_EQ(script::SetVariable(context, "Ver", "1"), 0);
  ASSERT_EQ(script::SetVariable(context, "ver", "2"), 0);
  ASSERT_EQ(script::SetVariable(context, "my var", "3"), 0);
  EXPECT_EQ(context.variables.Count(), 3u);

  const struct {
    std::string name;
    Status status;
    std::string value;
  } cases[] = {
      {"Ver", 0, "1"},
      {"ver", 0, "2"},
      {"my var", 0, "3"},
      {"VER", 28, "<untouched>"},
      {"Ver ", 28, "<untouched>"},
      {"", 28, "<untouched>"},
  };
  for (const auto& c : cases) {
    std::string out = "<untouched>";
    EXPECT_EQ(script::GetVariable(context, c.name, out, kValueCapacity), c.status) << c.name;
    EXPECT_EQ(out, c.value) << c.name;
  }
}

TEST_F(Variables, SettingAgainReplacesTheValueAndKeepsThePlace) {
  ASSERT_EQ(script::SetVariable(context, "a", "1"), 0);
  ASSERT_EQ(script::SetVariable(context, "b", "2"), 0);
  ASSERT_EQ(script::SetVariable(context, "a", "3"), 0);
  ASSERT_EQ(script::SetVariable(context, "", "empty name"), 0);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"a", "3"}, {"b", "2"}, {"", "empty name"}};
  EXPECT_EQ(context.variables.InOrder(), expected);
}

TEST_F(Variables, ValuesOfAnyLengthAreStoredWholeAndReadBackCutToTheBuffer) {
  const std::string value(400, 'v');
  ASSERT_EQ(script::SetVariable(context, "long", value), 0);
  std::string out;
  const struct {
    std::size_t capacity;
    std::size_t length;
  } cases[] = {{kValueCapacity, 259}, {script::kLongValueCapacity, 400}, {1, 0}, {0, 0}};
  for (const auto& c : cases) {
    ASSERT_EQ(script::GetVariable(context, "long", out, c.capacity), 0);
    EXPECT_EQ(out, value.substr(0, c.length)) << c.capacity;
  }
  ASSERT_NE(context.variables.Find("long"), nullptr);
  EXPECT_EQ(*context.variables.Find("long"), value);
}

TEST_F(Variables, ResolveOperandSubstitutesOnlyAWholeVariableName) {
  ASSERT_EQ(script::SetVariable(context, "TRUE", "1"), 0);
  ASSERT_EQ(script::SetVariable(context, "Long", std::string(300, 'x')), 0);
  const struct {
    std::string operand;
    std::size_t capacity;
    std::string resolved;
  } cases[] = {
      {"TRUE", kValueCapacity, "1"},      {"true", kValueCapacity, "true"},
      {"TRUE2", kValueCapacity, "TRUE2"}, {"x TRUE", kValueCapacity, "x TRUE"},
      {"FALSE", kValueCapacity, "FALSE"}, {"Long", kValueCapacity, std::string(259, 'x')},
      {"Long", 11, std::string(10, 'x')},
  };
  for (const auto& c : cases) {
    std::string operand = c.operand;
    script::ResolveOperand(context, operand, c.capacity);
    EXPECT_EQ(operand, c.resolved) << c.operand;
  }
}

// A script that sets the same few hundred variables over and over must stay fast; this only
// checks that the table stays consistent through it (speed is measured in bench/).
TEST_F(Variables, ManyUpdatesOfFewVariablesKeepOneRecordPerName) {
  for (int round = 0; round < 40; ++round) {
    for (int i = 0; i < 500; ++i)
      ASSERT_EQ(script::SetVariable(context, std::string("v").append(std::to_string(i)),
                                    std::to_string(round)),
                0);
  }
  EXPECT_EQ(context.variables.Count(), 500u);
  EXPECT_EQ(context.variables.InOrder().front(), (std::pair<std::string, std::string>{"v0", "39"}));
  EXPECT_EQ(context.variables.InOrder().back(),
            (std::pair<std::string, std::string>{"v499", "39"}));
}

}  // namespace

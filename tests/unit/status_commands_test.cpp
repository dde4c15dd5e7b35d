// SETFINALSTATUSFLAG, REPORTSTATUS and ISFORCESWITCHSET, called as the interpreter calls them.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_test.h"

namespace {

using script::opcode::kIsForceSwitchSet;
using script::opcode::kReportStatus;
using script::opcode::kSetFinalStatusFlag;

using StatusCommands = test_support::CommandTest;

TEST_F(StatusCommands, SetFinalStatusFlag) {
  const std::string too_long(300, '7');
  const struct {
    std::uint16_t word_before;
    std::vector<std::pair<std::string, std::string>> variables;
    std::string argument;
    Status status;
    std::optional<std::string> stored;  // bStatus afterwards
    std::uint16_t word;
    bool restart_mode;  // direct-copy mode and reboot-not-needed cleared
  } cases[] = {
      {1, {}, "bStatus = 3", 0, "3", 3, false},
      {1, {}, "bStatus = 0", 0, "0", 0, false},
      // 6 keeps the word and turns to replacement at restart.
      {1, {}, "bStatus = 6", 0, "6", 1, true},
      {5, {}, "bStatus = 6", 0, "6", 5, true},
      // A value naming a variable stands for that variable's value.
      {1, {}, "bStatus = x", 0, "x", 0, false},
      {1, {{"x", "4"}}, "bStatus = x", 0, "4", 4, false},
      {1, {{"SIX", "6"}}, "bStatus = SIX", 0, "6", 1, true},
      // Leading digits only, truncated to 16 bits.
      {1, {}, "bStatus = 12abc", 0, "12abc", 12, false},
      {1, {}, "bStatus = 70000", 0, "70000", 4464, false},
      {1, {}, "bStatus = -1", 0, "-1", 0, false},
      {1, {}, "bStatus = ", 0, "", 0, false},
      // Parse failures change nothing.
      {1, {}, "bStatus", 23, std::nullopt, 1, false},
      {1, {}, "bStatus = " + too_long, 25, std::nullopt, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    state = script::RunState{};
    state.final_status_word = c.word_before;
    context.variables = script::VariableTable{};
    context.current_section->stop = false;
    for (const auto& [name, value] : c.variables)
      ASSERT_EQ(context.variables.Set(name, value), 0);

    EXPECT_EQ(Run(kSetFinalStatusFlag, c.argument), c.status);
    EXPECT_EQ(Variable("bStatus"), c.stored);
    EXPECT_EQ(state.final_status_word, c.word);
    EXPECT_EQ(state.direct_copy_mode, !c.restart_mode);
    EXPECT_EQ(state.reboot_not_needed, !c.restart_mode);
    EXPECT_EQ(Stopped(), c.status != 0);
  }
}

TEST_F(StatusCommands, ReportStatusLogsTheTrimmedTextWithoutSubstitution) {
  ASSERT_EQ(context.variables.Set("TRUE", "1"), 0);
  EXPECT_EQ(Run(kReportStatus, " \tUpdate of engine done \t\r\n"), 0);
  EXPECT_EQ(Run(kReportStatus, "TRUE"), 0);
  EXPECT_EQ(Run(kReportStatus, ""), 0);
  using Report = test_support::RecordingReporter::Report;
  const std::vector<Report> expected = {
      {Report::kText, 0, "Update of engine done"},
      {Report::kText, 0, "TRUE"},
      {Report::kText, 0, ""},
  };
  EXPECT_EQ(reporter.reports, expected);
  EXPECT_FALSE(Stopped());
}

TEST_F(StatusCommands, IsForceSwitchSetAlwaysAnswersZero) {
  ASSERT_EQ(context.variables.Set("bForced", "1"), 0);
  EXPECT_EQ(Run(kIsForceSwitchSet, "  bForced "), 0);
  EXPECT_EQ(Run(kIsForceSwitchSet, "bOther"), 0);
  EXPECT_EQ(Variable("bForced"), "0");
  EXPECT_EQ(Variable("bOther"), "0");
  EXPECT_FALSE(Stopped());
}

}  // namespace

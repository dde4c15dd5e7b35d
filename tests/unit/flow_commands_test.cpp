#include "script/flow_commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script_runner.h"

namespace {

using test_support::Crlf;
using test_support::ScriptRunner;

TEST(ParseComparison, SplitsAtTheFirstOperatorCharacter) {
  const std::string long_operand(259, 'x');
  const struct {
    std::string condition;
    Status status;
    std::string left, op, right;
  } cases[] = {
      {"bExists == TRUE", 0, "bExists", "==", "TRUE"},
      {"a=b", 0, "a", "=", "b"},
      {"Ver <= MaxVersion", 0, "Ver", "<=", "MaxVersion"},
      {"a<b", 0, "a", "<", "b"},
      {"a>=b", 0, "a", ">=", "b"},
      {"a>b", 0, "a", ">", "b"},
      // Only a following "=" joins the operator; anything else belongs to the right operand.
      {"a=>b", 0, "a", "=", ">b"},
      {"a<>b", 0, "a", "<", ">b"},
      {"a===b", 0, "a", "==", "=b"},
      {"x ==", 0, "x", "==", ""},
      {" \tx\t == \t y z ", 0, "x", "==", "y z"},
      {long_operand + "==" + long_operand, 0, long_operand, "==", long_operand},
      {"", 37, "", "", ""},
      {"==1", 37, "", "", ""},
      {"no operator", 37, "", "", ""},
      {long_operand + "x==1", 37, "", "", ""},
      {"a==" + long_operand + "x", 37, "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.condition);
    std::string_view left, op, right;
    ASSERT_EQ(script::ParseComparison(c.condition, left, op, right), c.status);
    if (c.status != 0)
      continue;
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(op, c.op);
    EXPECT_EQ(right, c.right);
  }
}

TEST(EvaluateComparison, TextsForEqualityNumbersForOrder) {
  const struct {
    const char* left;
    const char* op;
    const char* right;
    bool holds;
  } cases[] = {
      {"1", "==", "1", true},
      {"1", "=", "1", true},
      {"TRUE", "==", "true", false},  // case counts
      {"1.0", "==", "10", false},     // equality compares texts, not numbers
      {"1.2.3", ">", "1.10", true},   // 123 against 110
      {"4.0.2", "<=", "4.0.10", true},
      {"2", "<", "10", true},
      {"10", ">=", "10", true},
      {"x", ">", "y", false},  // no digits: 0 against 0
      {"x", ">=", "y", true},
      {"12abc3", "==", "12", false},
      {"12abc3", "<=", "12", true},    // the scan stops at the first other character
      {"v12", "<", "1", true},         // so a leading letter reads as 0
      {"4294967296", "<", "1", true},  // wraps to 0
      {"4294967295", ">", "0", true},  // compared unsigned
      {"4294967295", "==", "4294967295", true},
      {"1", "=<", "2", false},  // no such operator
      {"1", "!=", "2", false},
      {"", "", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(script::EvaluateComparison(c.left, c.op, c.right), c.holds)
        << c.left << " " << c.op << " " << c.right;
  }
}

// Scripts in, variables and status out. Every section below is run from Main; "main" is set last
// in Main to show that Main went on.
TEST(FlowCommands, CallContinueIfReturnAndSet) {
  using test_support::Variables;
  const struct {
    const char* what;
    const char* script;
    Status status;
    Variables variables;
  } cases[] = {
      {"SET stores a literal or copies the value of the variable it names",
       "[Main]\nSet FALSE=0\nSet bDone = FALSE\nSet y = nothing\nSet empty=\nSet e = q=r\n"
       "Set Quote=\"\n",
       0,
       {{"bDone", "0"}, {"y", "nothing"}, {"empty", ""}, {"e", "q=r"}, {"Quote", "\""}}},
      {"names are case-sensitive",
       "[Main]\nSet Ver=1\nSet ver=2\n",
       0,
       {{"Ver", "1"}, {"ver", "2"}}},
      {"SET without = fails with 23 and ends its section",
       "[Main]\nCall S\nSet main=1\n[S]\nSet novalue\nSet after=1\n",
       23,
       {{"after", std::nullopt}, {"main", "1"}}},
      {"CALL runs the section and goes on",
       "[Main]\nCall Sub\nSet main=1\n[Sub]\nSet sub=1\n",
       0,
       {{"sub", "1"}, {"main", "1"}}},
      {"CALL of a missing section fails with 4 and ends the caller",
       "[Main]\nCall Outer\nSet main=1\n[Outer]\nCall Missing\nSet outer=1\n",
       4,
       {{"outer", std::nullopt}, {"main", "1"}}},
      {"section names are exact",
       "[Main]\nCall sub\n[Sub]\nSet sub=1\n",
       4,
       {{"sub", std::nullopt}}},
      {"a failure ends every calling section up to Main",
       "[Main]\nCall Outer\nSet main=1\n[Outer]\nCall Inner\nSet outer=1\n"
       "[Inner]\nSet inner=1\nNameStripFile missing\nSet inner2=1\n",
       28,
       {{"inner", "1"}, {"inner2", std::nullopt}, {"outer", std::nullopt}, {"main", "1"}}},
      {"RETURN without conditions ends only its own section",
       "[Main]\nCall Outer\nSet main=1\n[Outer]\nCall Sub\nSet outer=1\n[Sub]\nReturn\nSet sub=1\n",
       0,
       {{"sub", std::nullopt}, {"outer", "1"}, {"main", "1"}}},
      {"RETURN goes on when its condition holds",
       "[Main]\nSet TRUE=1\nSet bReady=1\nCall Sub\n[Sub]\nreturn bReady == TRUE\nSet sub=1\n",
       0,
       {{"sub", "1"}}},
      {"RETURN ends the section when its condition fails",
       "[Main]\nSet TRUE=1\nSet bReady=0\nCall Sub\n[Sub]\nreturn bReady == TRUE\nSet sub=1\n",
       0,
       {{"sub", std::nullopt}}},
      {"RETURN conditions are joined by OR",
       "[Main]\nSet a=0\nSet b=1\nCall Sub\n[Sub]\nReturn a==1|b==1\nSet sub=1\n",
       0,
       {{"sub", "1"}}},
      {"RETURN stops at the first empty condition",
       "[Main]\nSet b=1\nCall Sub\n[Sub]\nReturn a==1||b==1\nSet sub=1\n",
       0,
       {{"sub", std::nullopt}}},
      {"RETURN compares version texts by their digits",
       "[Main]\nSet Ver=4.0.2\nSet MaxVersion=4.0.10\nCall Sub\n[Sub]\nReturn Ver <= MaxVersion\n"
       "Set sub=1\n",
       0,
       {{"sub", "1"}}},
      {"RETURN without left operand fails with 37",
       "[Main]\nCall Sub\nSet main=1\n[Sub]\nReturn ==1\nSet sub=1\n",
       37,
       {{"sub", std::nullopt}, {"main", "1"}}},
      {"a condition that holds before a malformed one ends the search",
       "[Main]\nCall Sub\n[Sub]\nReturn 1==1|==1\nSet sub=1\n",
       0,
       {{"sub", "1"}}},
      {"CONTINUEIF goes on when the check runs to its end",
       "[Main]\nSet TRUE=1\nSet bReady=1\nCall Install\n"
       "[Install]\nContinueIf Check\nSet step=2\n"
       "[Check]\nSet checked=1\nreturn bReady == TRUE\nSet after_return=1\n",
       0,
       {{"checked", "1"}, {"after_return", "1"}, {"step", "2"}}},
      {"CONTINUEIF ends the caller when the check's RETURN ends the check",
       "[Main]\nSet TRUE=1\nSet bReady=0\nCall Install\nSet main=1\n"
       "[Install]\nContinueIf Check\nSet step=2\n"
       "[Check]\nSet checked=1\nreturn bReady == TRUE\nSet after_return=1\n",
       0,
       {{"checked", "1"}, {"after_return", std::nullopt}, {"step", std::nullopt}, {"main", "1"}}},
      {"CONTINUEIF ends the caller when the check fails",
       "[Main]\nCall Install\n[Install]\nContinueIf Check\nSet step=2\n"
       "[Check]\nNameStripFile missing\n",
       28,
       {{"step", std::nullopt}}},
      {"CALL of a section ended by RETURN lets the caller go on",
       "[Main]\nCall Install\n[Install]\nCall Check\nSet step=2\n[Check]\nReturn\n",
       0,
       {{"step", "2"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    EXPECT_EQ(runner.Run(Crlf(c.script)), c.status);
    test_support::ExpectVariables(runner, c.variables);
  }
}

}  // namespace

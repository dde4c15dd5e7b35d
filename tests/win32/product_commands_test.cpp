// LOADMODULE and UNLOADMODULE, and the product notices that do nothing.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_test.h"
#include "script/command_table.h"
#include "script/variables.h"

namespace {

namespace opcode = script::opcode;

using ProductCommands = test_support::CommandTest;

TEST_F(ProductCommands, ModuleCommandsAnswerForTheProductOnly) {
  const struct {
    script::Opcode opcode;
    std::string argument;
    Status status;
    std::optional<std::string> answer;
    Status secondary;
  } cases[] = {
      {opcode::kLoadModule, "done = velkorProduct , module", status::kOk, "1", 0},
      {opcode::kLoadModule, "done=VELKORPRODUCT,undefined", status::kOk, "1", 0},
      {opcode::kLoadModule, "done=OtherProduct,module", status::kOk, "0", 2},
      {opcode::kLoadModule, "done=,module", status::kOk, std::nullopt, 0},
      {opcode::kLoadModule, "done=,undefined", status::kSymbolNotFound, std::nullopt, 0},
      {opcode::kLoadModule, "", status::kSymbolNotFound, std::nullopt, 0},
      {opcode::kUnloadModule, "done=VelkorProduct", status::kOk, "1", 0},
      {opcode::kUnloadModule, "done=OtherProduct", status::kOk, "0", 2},
      {opcode::kUnloadModule, "", status::kUnknownCommand, std::nullopt, 0},
      {opcode::kUnloadModule, "done", status::kUnknownCommand, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(script::KeywordOf(c.opcode)) + " " + c.argument);
    context.variables = script::VariableTable{};
    ASSERT_EQ(script::SetVariable(context, "module", "scanner"), status::kOk);
    EXPECT_EQ(Run(c.opcode, c.argument), c.status);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
    EXPECT_EQ(Variable("done"), c.answer);
    EXPECT_EQ(context.command_status, c.secondary);
  }
}

TEST_F(ProductCommands, ProductNoticesDoNothing) {
  for (const script::Opcode notice :
       {opcode::kGetProductInfo, opcode::kSetProductInfo, opcode::kNotifyProduct}) {
    SCOPED_TRACE(script::KeywordOf(notice));
    EXPECT_EQ(Run(notice, "a=b,c"), status::kOk);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(Variable("a"), std::nullopt);
  }
}

}  // namespace

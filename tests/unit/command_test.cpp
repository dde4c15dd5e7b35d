#include "command_test.h"

#include <utility>

#include "script/handler_table.h"
#include "script/interpreter.h"
#include "shell/run/command_handlers.h"

namespace test_support {

CommandTest::CommandTest()
    : context(script::ScriptEnvironment{reporter, state, shell::CommandHandlers()}) {
  context.sections.Append(script::ScriptSection{"Main", 0, {}, false});
  context.current_section = context.sections.At(0);
}

Status CommandTest::Run(script::Opcode opcode, std::string argument) {
  if (shell::CommandHandlers().Find(opcode) == nullptr) {
    ADD_FAILURE() << "no handler for opcode " << opcode;
    return -1;
  }
  return script::DispatchCommand(context, script::ScriptCommand{opcode, 1, std::move(argument)});
}

std::optional<std::string> CommandTest::Variable(const std::string& name) const {
  const std::string* value = context.variables.Find(name);
  return value == nullptr ? std::nullopt : std::optional<std::string>(*value);
}

}  // namespace test_support

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii_case.h"
#include "script/argument_forms.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/handlers.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// The one product whose modules the installer may load and unload; it has nothing to do for it.
constexpr std::string_view kModuleProduct = "VELKORPRODUCT";

// Stores "1" in the result variable for the product, "0" (with the secondary status 2) for any
// other; without a result variable or a product the command ends with status.
Status AnswerModuleOperation(ScriptContext& context, const script::ModuleArgument& argument,
                             Status status) {
  if (!argument.Complete())
    return script::FinishCommand(context, status);
  const bool done = base::EqualsIgnoringCase(argument.product, kModuleProduct);
  if (!done)
    context.command_status = status::kUnknownCommand;
  return script::FinishCommand(context, script::SetTruthVariable(context, argument.result, done));
}

// LOADMODULE var=product,module-variable: the module is the value of module-variable; a missing
// variable only matters when the result variable or the product is missing too (status 28).
Status LoadModule(ScriptContext& context, const ScriptCommand& command) {
  const script::ModuleArgument argument = script::SplitModuleArgument(command.argument);
  std::string module;
  const Status lookup =
      script::GetVariable(context, argument.module_variable, module, script::kValueCapacity);
  return AnswerModuleOperation(context, argument, lookup);
}

// UNLOADMODULE var=product: a missing result variable or product fails with 2.
Status UnloadModule(ScriptContext& context, const ScriptCommand& command) {
  return AnswerModuleOperation(context, script::SplitModuleArgument(command.argument),
                               status::kUnknownCommand);
}

// GETPRODUCTINFO, SETPRODUCTINFO, NOTIFYPRODUCT: the products take no notices from the installer.
Status DoNothing(ScriptContext&, const ScriptCommand&) {
  return status::kOk;
}

constexpr std::array<script::HandlerEntry, 5> kHandlers = {{
    {script::opcode::kLoadModule, LoadModule},
    {script::opcode::kUnloadModule, UnloadModule},
    {script::opcode::kGetProductInfo, DoNothing},
    {script::opcode::kSetProductInfo, DoNothing},
    {script::opcode::kNotifyProduct, DoNothing},
}};

}  // namespace

script::HandlerList ProductCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

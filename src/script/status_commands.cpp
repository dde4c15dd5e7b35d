#include "script/status_commands.h"

#include <cstdint>
#include <string>

#include "script/values.h"

namespace script {
namespace {

// The leading decimal digits of text, kept to 16 bits; no digits give 0.
std::uint16_t LeadingNumber(std::string_view text) {
  std::uint16_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      break;
    number = static_cast<std::uint16_t>(number * 10 + (c - '0'));
  }
  return number;
}

// name = value: stores the value (or the value of the variable it names) and makes it the
// final-status word. 6 leaves the word alone and turns the run into one that replaces its files at
// restart and asks for the restart.
Status SetFinalStatusFlag(ScriptContext& context, const ScriptCommand& command) {
  std::string name;
  std::string value;
  const Status split =
      SplitAssignment(command.argument, name, kValueCapacity, value, kValueCapacity);
  if (split != status::kOk)
    return FailCommand(context, split);
  std::string named_value;
  if (context.variables.Get(value, named_value, kValueCapacity) == status::kOk)
    value = named_value;
  const Status stored = context.variables.Set(name, value);

  RunState& state = context.env.state;
  const std::uint16_t word = LeadingNumber(value);
  if (word == 6) {
    state.direct_copy_mode = false;
    state.reboot_not_needed = false;
  } else {
    state.final_status_word = word;
  }
  return FinishCommand(context, stored);
}

// Writes the text as it stands, without substituting variables.
Status ReportStatus(ScriptContext& context, const ScriptCommand& command) {
  std::string text = command.argument;
  TrimBlanks(text);
  context.env.reporter.LogText(text);
  return status::kOk;
}

// No option of the installer forces anything: the answer is always "0".
Status IsForceSwitchSet(ScriptContext& context, const ScriptCommand& command) {
  std::string name = command.argument;
  TrimBlanks(name);
  const Status stored = context.variables.Set(name, "0");
  return FinishCommand(context, stored);
}

constexpr HandlerEntry kHandlers[] = {
    {opcode::kSetFinalStatusFlag, SetFinalStatusFlag},
    {opcode::kReportStatus, ReportStatus},
    {opcode::kIsForceSwitchSet, IsForceSwitchSet},
};

}  // namespace

std::span<const HandlerEntry> StatusCommandHandlers() {
  return kHandlers;
}

}  // namespace script

#include "script/flow_commands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "log/reporter.h"
#include "script/interpreter.h"
#include "script/values.h"
#include "script/variables.h"

namespace script {
namespace {

Status Call(ScriptContext& context, const ScriptCommand& command) {
  return RunSection(context, command);
}

Status ContinueIf(ScriptContext& context, const ScriptCommand& command) {
  context.env.reporter.ReportProgress(message::kVerifyingSettings, {});
  return RunSection(context, command);
}

// Ends its section unless one of the "|"-separated conditions holds; without conditions it always
// ends it.
Status Return(ScriptContext& context, const ScriptCommand& command) {
  std::string_view condition;
  std::optional<std::size_t> cursor = NextItem(command.argument, 0, condition, kValueCapacity, '|');
  while (cursor && !condition.empty()) {
    std::string_view left_operand, op, right_operand;
    const Status parsed = ParseComparison(condition, left_operand, op, right_operand);
    if (parsed != status::kOk)
      return FailCommand(context, parsed);
    std::string left(left_operand), right(right_operand);
    ResolveOperand(context, left, kValueCapacity);
    ResolveOperand(context, right, kValueCapacity);
    if (EvaluateComparison(left, op, right))
      return status::kOk;
    cursor = NextItem(command.argument, *cursor, condition, kValueCapacity, '|');
  }
  StopCurrentSection(context);
  return status::kOk;
}

Status Set(ScriptContext& context, const ScriptCommand& command) {
  std::string name, value;
  const Status split =
      SplitAssignment(command.argument, name, kValueCapacity, value, kValueCapacity);
  if (split != status::kOk)
    return FailCommand(context, split);
  ResolveOperand(context, value, kValueCapacity);
  if (SetVariable(context, name, value) != status::kOk)
    return FailCommand(context, status::kNoMemory);
  return status::kOk;
}

// Version texts compare as the number their digits spell: "4.0.10" reads as 4010. The arithmetic
// wraps as the unsigned 32-bit register it was written for.
std::uint32_t DigitsAsNumber(std::string_view text) {
  std::uint32_t number = 0;
  for (const char c : text) {
    if (c == '.')
      continue;
    if (c < '0' || c > '9')
      break;
    number = number * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return number;
}

constexpr std::array<HandlerEntry, 4> kHandlers = {{
    {opcode::kCall, Call},
    {opcode::kContinueIf, ContinueIf},
    {opcode::kReturn, Return},
    {opcode::kSet, Set},
}};

}  // namespace

std::span<const HandlerEntry> FlowCommandHandlers() {
  return kHandlers;
}

Status ParseComparison(std::string_view condition, std::string_view& left, std::string_view& op,
                       std::string_view& right) {
  const std::size_t at = static_cast<std::size_t>(
      std::find_if(condition.begin(), condition.end(),
                   [](char c) { return c == '=' || c == '<' || c == '>'; }) -
      condition.begin());
  if (at == condition.size() || at == 0 || at >= kValueCapacity)
    return status::kBadReturn;
  const std::size_t op_length = condition.substr(at + 1, 1) == "=" ? 2 : 1;
  const std::string_view rest = condition.substr(at + op_length);
  if (rest.size() >= kValueCapacity)
    return status::kBadReturn;
  left = TrimmedView(condition.substr(0, at));
  op = TrimmedView(condition.substr(at, op_length));
  right = TrimmedView(rest);
  return status::kOk;
}

bool EvaluateComparison(std::string_view left, std::string_view op, std::string_view right) {
  if (op == "=" || op == "==")
    return left == right;
  const std::uint32_t a = DigitsAsNumber(left);
  const std::uint32_t b = DigitsAsNumber(right);
  if (op == "<")
    return a < b;
  if (op == "<=")
    return a <= b;
  if (op == ">")
    return a > b;
  if (op == ">=")
    return a >= b;
  return false;
}

}  // namespace script

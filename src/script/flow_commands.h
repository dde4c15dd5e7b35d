#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "script/script_context.h"

// The flow commands CALL, CONTINUEIF, RETURN and SET, and the comparisons of RETURN.
namespace script {

std::span<const HandlerEntry> FlowCommandHandlers();

// Splits "left op right" at the first "=", "<" or ">" (the operator takes one following "=").
// status::kBadReturn for an empty condition, an empty left operand, no operator or an operand of
// 260 characters or more. All three parts come back trimmed, as views of condition.
Status ParseComparison(std::string_view condition, std::string_view& left, std::string_view& op,
                       std::string_view& right);

// "=" and "==" compare texts byte for byte; "<", "<=", ">", ">=" compare the numbers read from the
// digits of each text (dots skipped, unsigned 32-bit); any other operator is false.
bool EvaluateComparison(std::string_view left, std::string_view op, std::string_view right);

}  // namespace script

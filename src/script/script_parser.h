#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "script/command_table.h"
#include "script/script_context.h"

namespace script {

inline constexpr std::size_t kSectionNameLength = 50;
// An argument text holds at most 259 characters; the error text is cut the same way.
inline constexpr std::size_t kArgumentCapacity = 260;

// Decides which keywords a grammar accepts: the opcode of an upper-case keyword, or none.
using KeywordLookup = std::optional<Opcode> (*)(std::string_view keyword);

// Reads one command line whose keyword starts at position: the keyword (the run of ASCII letters
// and digits, upper-cased) is looked up with lookup, then the argument text up to the next CR or
// the end of text is trimmed into command.argument. position ends on the character where the
// line stopped (the CR, or text.size()); the caller goes on after it. status::kUnknownCommand for
// a keyword lookup does not know (error_text receives it, cut to 259 characters) and
// kLineTooLong when 260 argument characters pass without a CR. command.line is left to the
// caller.
Status ReadCommandLine(std::string_view text, std::size_t& position, KeywordLookup lookup,
                       ScriptCommand& command, std::string& error_text);

// A line the parser could not read: its status and, for status::kUnknownCommand, the keyword.
struct ParseProblem {
  std::int32_t line = 0;
  Status status = status::kOk;
  std::string keyword;
};

// Parses script text into context.sections in one pass; the text ends at its first NUL. On
// failure context.line holds the line of the failure and, for status::kUnknownCommand,
// context.error_text the keyword. A command before the first section header has no section to
// join: status::kSectionNotFound. With problems, a line that cannot be read goes there instead
// and the parse goes on at the next line, so that a check of the script sees every such line; the
// installer passes none and stops at the first.
Status ParseScript(ScriptContext& context, std::string_view text,
                   std::vector<ParseProblem>* problems = nullptr);

}  // namespace script

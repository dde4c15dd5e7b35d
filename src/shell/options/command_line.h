#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace shell {

// The installer's switches, each written after "/" or "-"; names compare case-blind.
inline constexpr std::string_view kOptionSilent = "SILENT";
inline constexpr std::string_view kOptionS = "S";
inline constexpr std::string_view kOptionPrompt = "PROMPT";
inline constexpr std::string_view kOptionReboot = "REBOOT";
inline constexpr std::string_view kOptionLogFile = "LOGFILE";
inline constexpr std::string_view kOptionExtract = "E";
inline constexpr std::string_view kOptionNoChange = "NC";

// Only this much of the command line is looked at.
inline constexpr std::size_t kCommandLineLimit = 512;
// The buffer an option value is copied into, terminating zero included.
inline constexpr std::size_t kOptionValueCapacity = 260;

struct ParsedCommandLine {
  // The tokens up to the first empty one, quotes removed as the tokenizer decides.
  std::vector<std::string> tokens;
  // Tokens that began with "/" or "-", and all others; counted while tokenizing, so a token behind
  // an empty one is counted though it is not in tokens.
  int option_count = 0;
  int value_count = 0;
};

// Tokenizes the command line (the text after the program name and its blanks), cut to its first
// kCommandLineLimit characters. Blanks separate tokens; quotes group blanks into a token and are
// removed, except a quoted stretch that begins with "/" or "-", which keeps both quotes. None
// when memory runs out.
std::optional<ParsedCommandLine> ParseCommandLine(std::string_view text);

// kOk when every option token names a row of the option table and carries a value exactly when
// that row takes one; kBadCommandLine at the first that does not.
Status ValidateCommandLine(const ParsedCommandLine& parsed);

bool HasOption(const ParsedCommandLine& parsed, std::string_view name);

// SILENT or S anywhere among the tokens, whether or not the rest of the line is valid: a silent
// run shows no box, not even for its own command line.
bool RequestsSilence(const ParsedCommandLine& parsed);

// The value token after the first occurrence of the option that has one, cut to
// kOptionValueCapacity - 1 characters.
std::optional<std::string> GetOptionValue(const ParsedCommandLine& parsed, std::string_view name);

}  // namespace shell

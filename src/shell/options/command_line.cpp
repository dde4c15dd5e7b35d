#include "shell/options/command_line.h"

#include <algorithm>
#include <new>

#include "base/ascii_case.h"

namespace shell {
namespace {

enum class ValueRule { kNone, kRequired, kOptional };

struct OptionRow {
  std::string_view name;
  ValueRule value;
};

constexpr OptionRow kOptionTable[] = {
    {kOptionSilent, ValueRule::kNone},      {kOptionS, ValueRule::kNone},
    {kOptionPrompt, ValueRule::kNone},      {kOptionReboot, ValueRule::kNone},
    {kOptionLogFile, ValueRule::kRequired}, {kOptionExtract, ValueRule::kOptional},
    {kOptionNoChange, ValueRule::kNone},
};

bool IsOptionMark(char c) {
  return c == '/' || c == '-';
}

bool IsOptionToken(std::string_view token) {
  return !token.empty() && IsOptionMark(token.front());
}

bool IsOptionNamed(std::string_view token, std::string_view name) {
  return IsOptionToken(token) && base::EqualsIgnoringCase(token.substr(1), name);
}

// Rewrites line in place: a separating blank becomes a zero, the blanks after it go, and removed
// quotes close up the text. Counts the tokens into parsed.
void Tokenize(std::string& line, ParsedCommandLine& parsed) {
  bool at_token_start = true;
  bool inside_quotes = false;
  bool quote_removed = false;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' && !inside_quotes) {
      line[i] = '\0';
      const std::size_t next = line.find_first_not_of(' ', i + 1);
      line.erase(i + 1, (next == std::string::npos ? line.size() : next) - (i + 1));
      ++i;
      at_token_start = true;
      continue;
    }
    if (at_token_start) {
      ++(IsOptionMark(c) ? parsed.option_count : parsed.value_count);
      at_token_start = false;
    }
    if (c != '"') {
      ++i;
      continue;
    }
    const bool is_last = i + 1 == line.size();
    if (!inside_quotes) {
      inside_quotes = true;
      // A quoted option-looking text keeps its quotes, so that it stays a value.
      if (is_last || !IsOptionMark(line[i + 1])) {
        line.erase(i, 1);
        quote_removed = true;
        continue;
      }
      ++i;
      continue;
    }
    inside_quotes = false;
    if (!quote_removed) {
      ++i;
      continue;
    }
    quote_removed = false;
    if (is_last || line[i + 1] == ' ') {
      line.erase(i, 1);
      continue;
    }
    // Text glued to a closing quote starts a token of its own.
    line[i] = '\0';
    ++i;
    at_token_start = true;
  }
}

}  // namespace

std::optional<ParsedCommandLine> ParseCommandLine(std::string_view text) {
  try {
    text = text.substr(0, text.find('\0'));
    std::string line(text.substr(0, kCommandLineLimit));
    ParsedCommandLine parsed;
    Tokenize(line, parsed);
    // The sequence ends at the first empty token, wherever the zeros put it.
    std::size_t start = 0;
    while (start < line.size()) {
      const std::size_t end = std::min(line.find('\0', start), line.size());
      if (end == start)
        break;
      parsed.tokens.emplace_back(line, start, end - start);
      start = end + 1;
    }
    return parsed;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

Status ValidateCommandLine(const ParsedCommandLine& parsed) {
  if (parsed.option_count == 0)
    return status::kOk;
  for (const std::string& token : parsed.tokens) {
    if (!IsOptionToken(token))
      continue;
    const std::string_view name = std::string_view(token).substr(1);
    // Asked by name, so a later occurrence is satisfied by an earlier one's value.
    const bool has_value = GetOptionValue(parsed, name).has_value();
    bool valid = false;
    for (const OptionRow& row : kOptionTable) {
      if (base::EqualsIgnoringCase(row.name, name)) {
        valid =
            row.value == ValueRule::kOptional || (row.value == ValueRule::kRequired) == has_value;
        break;
      }
    }
    if (!valid)
      return status::kBadCommandLine;
  }
  return status::kOk;
}

bool HasOption(const ParsedCommandLine& parsed, std::string_view name) {
  for (const std::string& token : parsed.tokens) {
    if (IsOptionNamed(token, name))
      return true;
  }
  return false;
}

bool RequestsSilence(const ParsedCommandLine& parsed) {
  return HasOption(parsed, kOptionSilent) || HasOption(parsed, kOptionS);
}

std::optional<std::string> GetOptionValue(const ParsedCommandLine& parsed, std::string_view name) {
  const std::vector<std::string>& tokens = parsed.tokens;
  std::size_t i = 0;
  while (i < tokens.size()) {
    if (!IsOptionNamed(tokens[i], name)) {
      ++i;
      continue;
    }
    if (i + 1 < tokens.size() && !IsOptionToken(tokens[i + 1]))
      return tokens[i + 1].substr(0, kOptionValueCapacity - 1);
    // The search goes on behind the option that followed, never at it.
    i += 2;
  }
  return std::nullopt;
}

}  // namespace shell

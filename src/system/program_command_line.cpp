#include "system/program_command_line.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/ascii_case.h"

namespace system_commands {
namespace {

constexpr std::string_view kProgramExtension = ".exe";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The length of the part of line that ends with its first word ending in ".exe".
std::optional<std::size_t> ProgramByExtension(std::string_view line) {
  for (std::size_t end = 0; end <= line.size(); ++end) {
    if (end != line.size() && !IsBlank(line[end]))
      continue;
    if (base::EndsWithIgnoringCase(line.substr(0, end), kProgramExtension))
      return end;
  }
  return std::nullopt;
}

// The length of the longest part of line ending at a blank or at its end that the system's search
// finds as a program (".exe" added to a name without an extension).
std::optional<std::size_t> ProgramBySearch(std::string_view line) {
  for (std::size_t end = line.size(); end > 0; --end) {
    if (end != line.size() && !IsBlank(line[end]))
      continue;
    const std::string candidate(line.substr(0, end));
    char found[MAX_PATH];
    const DWORD length =
        ::SearchPathA(nullptr, candidate.c_str(), ".exe", sizeof found, found, nullptr);
    if (length != 0 && length < sizeof found)
      return end;
  }
  return std::nullopt;
}

}  // namespace

std::string ProgramCommandLine(const std::string& item) {
  const bool has_blank = item.find_first_of(" \t") != std::string::npos;
  if (item.empty() || item.front() == '"' || !has_blank)
    return item;
  std::optional<std::size_t> end = ProgramByExtension(item);
  if (!end)
    end = ProgramBySearch(item);
  const std::size_t program_end = end.value_or(item.size());
  return '"' + item.substr(0, program_end) + '"' + item.substr(program_end);
}

}  // namespace system_commands

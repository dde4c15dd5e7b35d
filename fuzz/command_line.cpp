// The command-line tokenizer and what the installer asks of its result: the input is the text
// after the program name. The tokens must keep within the part of the line that is looked at, and
// an option value within its buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "shell/options/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<shell::ParsedCommandLine> parsed = shell::ParseCommandLine(text);
  if (!parsed)
    return 0;
  std::size_t total = 0;
  for (const std::string& token : parsed->tokens) {
    if (token.empty())
      fuzz_support::InputFile::Fail("an empty token before the end");
    total += token.size();
  }
  if (total > shell::kCommandLineLimit)
    fuzz_support::InputFile::Fail("tokens longer than the line that is looked at");

  shell::ValidateCommandLine(*parsed);
  for (const std::string_view name :
       {shell::kOptionSilent, shell::kOptionS, shell::kOptionPrompt, shell::kOptionReboot,
        shell::kOptionLogFile, shell::kOptionExtract, shell::kOptionNoChange}) {
    shell::HasOption(*parsed, name);
    const std::optional<std::string> value = shell::GetOptionValue(*parsed, name);
    if (value && value->size() >= shell::kOptionValueCapacity)
      fuzz_support::InputFile::Fail("an option value longer than its buffer");
  }
  return 0;
}

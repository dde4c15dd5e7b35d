#pragma once

// The table of subcommands: each command file defines one entry, the dispatcher parses the
// arguments against its options and calls it.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "cli_args.h"

namespace omnipack {

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for "omnipack --help"
  std::string_view help;     // the whole text of "omnipack NAME --help"
  std::span<const OptionRule> options;
  std::size_t min_positionals = 0;
  std::size_t max_positionals = 0;
  int (*run)(const ParsedArgs& args) = nullptr;  // returns an ExitCode
};

const Command& BuildCommand();
const Command& ListCommand();
const Command& VerifyCommand();
const Command& CheckCommand();
const Command& ExtractCommand();
const Command& EncodeCommand();
const Command& DecodeCommand();

// Runs "omnipack ARGS..." (without the program name) and returns the process exit code.
int RunOmnipack(std::span<const std::string> args);

}  // namespace omnipack

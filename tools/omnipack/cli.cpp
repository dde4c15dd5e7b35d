#include <array>
#include <iostream>

#include "commands.h"
#include "diagnostics.h"

namespace omnipack {
namespace {

constexpr std::string_view kOverview =
    "usage: omnipack COMMAND [OPTIONS]\n"
    "\n"
    "Builds, checks, lists, verifies and extracts update installers.\n"
    "\n"
    "commands:\n";

constexpr std::string_view kOverviewEnd =
    "\n"
    "'omnipack COMMAND --help' describes a command. Exit codes: 0 success, 1 failure or\n"
    "violations found, 2 wrong usage.\n";

std::array<const Command*, 7> AllCommands() {
  return {&BuildCommand(),   &CheckCommand(),  &ListCommand(),  &VerifyCommand(),
          &ExtractCommand(), &EncodeCommand(), &DecodeCommand()};
}

void PrintOverview(std::ostream& out) {
  out << kOverview;
  for (const Command* command : AllCommands()) {
    std::string name(command->name);
    name.resize(10, ' ');
    out << "  " << name << command->summary << '\n';
  }
  out << kOverviewEnd;
}

int RunCommand(const Command& command, std::span<const std::string> args) {
  if (WantsHelp(args)) {
    std::cout << command.help;
    return kExitSuccess;
  }
  ParsedArgs parsed;
  std::string error;
  if (!ParseArgs(args, command.options, parsed, error))
    return UsageError(command.name, error);
  const std::size_t count = parsed.positionals().size();
  if (count < command.min_positionals)
    return UsageError(command.name, "missing arguments");
  if (count > command.max_positionals) {
    return UsageError(command.name, "unexpected argument '" +
                                        parsed.positionals()[command.max_positionals] + "'");
  }
  return command.run(parsed);
}

}  // namespace

int RunOmnipack(std::span<const std::string> args) {
  if (args.empty()) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(std::cout);
    return kExitSuccess;
  }
  for (const Command* command : AllCommands()) {
    if (args[0] == command->name)
      return RunCommand(*command, args.subspan(1));
  }
  return UsageError("", "unknown command '" + args[0] + "'");
}

}  // namespace omnipack

#include "diagnostics.h"

#include <iostream>

namespace omnipack {

void PrintError(const ToolError& error) {
  std::cerr << "omnipack: " << error.subject << ": " << error.reason << '\n';
}

int UsageError(std::string_view command, std::string_view text) {
  const std::string name = command.empty() ? "omnipack" : "omnipack " + std::string(command);
  std::cerr << name << ": " << text << " (see '" << name << " --help')\n";
  return kExitUsage;
}

}  // namespace omnipack

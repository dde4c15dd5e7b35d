#pragma once

// How the tool reports: exit codes and one-line messages that name the file and the reason.

#include <string>
#include <string_view>

namespace omnipack {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitFailure = 1,  // the work failed or a check found violations
  kExitUsage = 2,    // the command line is wrong
};

// A failure of one operation: what it concerns (usually a path) and why.
struct ToolError {
  std::string subject;
  std::string reason;
};

// "omnipack: SUBJECT: REASON" on stderr.
void PrintError(const ToolError& error);
// "omnipack CMD: TEXT (see 'omnipack CMD --help')" on stderr; returns kExitUsage.
int UsageError(std::string_view command, std::string_view text);

}  // namespace omnipack

// omnipack check: the install script of a main folder or an installer, read as the installer
// reads it, with every finding named by file and line.

#include <filesystem>
#include <iostream>
#include <memory>

#include "check_input.h"
#include "commands.h"
#include "diagnostics.h"
#include "finding_writer.h"

namespace omnipack {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false, false}};

constexpr std::string_view kHelp =
    "usage: omnipack check [--json] DIR|INSTALLER\n"
    "\n"
    "Checks the install script ORQSCRIP.OSC of a main folder (as build would pack it) or of an\n"
    "installer, and the globals file its INCLUDEGLOBALS names, with the installer's own parser,\n"
    "command table and argument forms. Each finding is one line, FILE:LINE: error|warning: TEXT;\n"
    "an error names the status the installer gives at that line. A summary line follows.\n"
    "\n"
    "Errors: what the installer fails at (unknown keywords, lines over their limits, a command\n"
    "before the first section, no [Main], arguments without their command's form, variables that\n"
    "no command sets where one is needed, missing sections and package files, INSTALLFILES\n"
    "sections with other commands than FILE and COPYFILEAS, DELETEDIRECTORY of a root or a\n"
    "system folder, registry commands on a root key). Warnings: sections nothing calls, sections\n"
    "calling each other in a cycle, package files no command uses or without a directory record,\n"
    "variables read before they are set, unquoted STARTORQAPPS paths with blanks, waits over the\n"
    "bound.\n"
    "\n"
    "  --json    the findings as one JSON object\n"
    "\n"
    "Exit codes: 0 no errors, 1 errors found (or the input cannot be read), 2 wrong usage.\n";

int RunCheck(const ParsedArgs& args) {
  const std::string& path = args.positionals()[0];
  CheckedPackage package;
  std::shared_ptr<void> keeper;
  std::error_code error;
  const std::optional<ToolError> problem = std::filesystem::is_directory(path, error)
                                               ? PackageOfFolder(path, package)
                                               : PackageOfInstaller(path, package, keeper);
  if (problem) {
    PrintError(*problem);
    return kExitFailure;
  }
  const std::vector<Finding> findings = CheckScript(package);
  if (args.Has("--json"))
    std::cout << FindingsJson(package.script_label, findings) << '\n';
  else
    WriteFindings(std::cout, findings);
  return HasErrors(findings) ? kExitFailure : kExitSuccess;
}

}  // namespace

const Command& CheckCommand() {
  static const Command command{
      "check", "check an install script against its package", kHelp, kOptions, 1, 1, RunCheck};
  return command;
}

}  // namespace omnipack

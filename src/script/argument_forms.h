#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "script/command_table.h"
#include "script/registry_key_path.h"

// What each command reads from its argument text, known from the text alone, for a check of a
// script that does not run it. Every form is split with the operations and capacities that the
// command's handler uses, so the statuses are the ones the command gives.
namespace script {

struct CommandArguments {
  // The status the command fails with for its text alone; kOk when the text has its form.
  Status form_status = status::kOk;
  std::vector<std::string> sets;   // variables the command stores into
  std::vector<std::string> needs;  // items that must name a variable: kSymbolNotFound when none
  // The item that stands for the value of a variable of its name, and for itself otherwise
  // (SET's value, DELETEDIRECTORY's folder, WAITFORTIME's count).
  std::optional<std::string> operand;
  std::vector<std::string> package_files;  // fetched from the package, as written
  std::string section;                     // run by CALL, CONTINUEIF and INSTALLFILES
  std::optional<RegistryPath> key;         // named by a registry command
  std::vector<std::string> programs;       // the command lines of STARTORQAPPS
};

CommandArguments ReadArguments(Opcode opcode, std::string_view argument);

// "var = first, second" of STRINGAPPEND and NAMEAPPENDFILE; a missing part stays empty. The first
// part is read into a long buffer: it is where the result is built.
struct AppendParts {
  std::string var;
  std::string first;
  std::string second;
  bool Complete() const { return !var.empty() && !first.empty() && !second.empty(); }
};
AppendParts SplitAppendArgument(std::string_view argument);

// "var = product [, module-variable]" of LOADMODULE and UNLOADMODULE; a missing part stays empty.
struct ModuleArgument {
  std::string result;
  std::string product;
  std::string module_variable;
  bool Complete() const { return !result.empty() && !product.empty(); }
};
ModuleArgument SplitModuleArgument(std::string_view argument);

}  // namespace script

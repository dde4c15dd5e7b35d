#include "system/handlers.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "platform/profile.h"
#include "script/ini_profile.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/locate_file.h"

namespace system_commands {
namespace {

using script::kValueCapacity;
using script::ScriptCommand;
using script::ScriptContext;

// "var = file, section, key" of the commands that read.
struct ReadArgument {
  std::string var, file, section, key;
};

Status SplitReadArgument(const ScriptCommand& command, ReadArgument& parts) {
  return script::SplitAssignmentList(command.argument, parts.var, kValueCapacity, parts.file,
                                     kValueCapacity, parts.section, kValueCapacity, parts.key,
                                     kValueCapacity);
}

// The system trims the names and compares them case-blind; a missing key and an empty value both
// fail with 21.
Status GetIniFileValue(ScriptContext& context, const ScriptCommand& command) {
  ReadArgument parts;
  if (const Status split = SplitReadArgument(command, parts))
    return script::FailCommand(context, split);
  const std::optional<std::string> path = LocateFile(context, parts.file);
  if (!path)
    return script::FailCommand(context, status::kIniFileNotFound);
  const std::string value =
      platform::ReadProfileString(parts.section, parts.key, "", *path, kValueCapacity);
  if (value.empty())
    return script::FailCommand(context, status::kValueNotFound);
  return script::FinishCommand(context, script::SetVariable(context, parts.var, value));
}

// "file, section, key = var": only a variable's value is written. A missing file ends the section
// without failing the command; the secondary status tells why.
Status SetIniFileValue(ScriptContext& context, const ScriptCommand& command) {
  std::string file, section, key, var;
  if (const Status split =
          script::SplitListAssignment(command.argument, file, kValueCapacity, section,
                                      kValueCapacity, key, kValueCapacity, var, kValueCapacity))
    return script::FailCommand(context, split);
  std::string value;
  if (script::GetVariable(context, var, value, kValueCapacity) != status::kOk)
    return script::FailCommand(context, status::kSymbolNotFound);
  const std::optional<std::string> path = LocateFile(context, file);
  if (!path) {
    context.command_status = status::kIniFileNotFound;
    script::StopCurrentSection(context);
    return status::kOk;
  }
  ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path->c_str());
  return status::kOk;
}

// "1" when the key is there with a value that is not empty; a file that is missing or cannot be
// read holds no key.
Status FindIniFileValue(ScriptContext& context, const ScriptCommand& command) {
  ReadArgument parts;
  if (const Status split = SplitReadArgument(command, parts))
    return script::FailCommand(context, split);
  bool found = false;
  if (const std::optional<std::string> path = LocateFile(context, parts.file)) {
    if (const std::optional<script::IniProfile> profile = script::OpenIniProfile(*path)) {
      const std::optional<std::string_view> value = profile->Value(parts.section, parts.key);
      found = value && !value->empty();
    }
  }
  return script::FinishCommand(context, script::SetTruthVariable(context, parts.var, found));
}

constexpr std::array<script::HandlerEntry, 3> kHandlers = {{
    {script::opcode::kGetIniFileValue, GetIniFileValue},
    {script::opcode::kSetIniFileValue, SetIniFileValue},
    {script::opcode::kFindIniFileValue, FindIniFileValue},
}};

}  // namespace

script::HandlerList IniCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

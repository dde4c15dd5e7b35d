#include <windows.h>

#include <array>
#include <string>

#include "base/path.h"
#include "platform/filesystem.h"
#include "platform/win32/system_info.h"
#include "platform/win32/unique_handle.h"
#include "script/values.h"
#include "system/handlers.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// REGISTER library: has the system's registration tool register a COM library of the work
// directory, silently, without waiting for it. The tool is taken from the system folder by its
// full path, never found by a search that would look in the installer's folder or the current
// one first. No work directory fails with 6; a missing library is not an error.
Status Register(ScriptContext& context, const ScriptCommand& command) {
  if (context.work_directory.empty())
    return script::FailCommand(context, status::kWorkDirFailed);
  std::string name = command.argument;
  script::TrimBlanks(name);
  std::string library = context.work_directory;
  if (!base::JoinPath(library, base::kPathCapacity, name) || !platform::IsFile(library))
    return status::kOk;
  std::string tool = platform::SystemDirectory();
  if (tool.empty() || !base::JoinPath(tool, base::kPathCapacity, "regsvr32.exe"))
    return status::kOk;
  std::string command_line = "\"" + tool + "\" /s \"" + library + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (::CreateProcessA(tool.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                       NORMAL_PRIORITY_CLASS, nullptr, context.work_directory.c_str(), &startup,
                       &started)) {
    // The handles close at once: the tool is not waited for.
    const platform::KernelHandle process(started.hProcess);
    const platform::KernelHandle thread(started.hThread);
  }
  return status::kOk;
}

constexpr std::array<script::HandlerEntry, 1> kHandlers = {{
    {script::opcode::kRegister, Register},
}};

}  // namespace

script::HandlerList RegisterCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

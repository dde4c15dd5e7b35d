#include <windows.h>

#include <array>
#include <string>

#include "platform/win32/unique_handle.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/handlers.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// The tray monitor creates this manual-reset event while it runs and ends when it is set; the
// global name first, the session's where there is no global namespace.
constexpr std::array<const char*, 2> kCloseEventNames = {"Global\\TRAYMON_CLOSE_EVENT",
                                                         "TRAYMON_CLOSE_EVENT"};

// ISTRAYMONRUNNING var: "1" when either name of the close event opens, else "0".
Status IsTrayMonRunning(ScriptContext& context, const ScriptCommand& command) {
  bool running = false;
  for (const char* name : kCloseEventNames)
    running = running || platform::KernelHandle(::OpenEventA(SYNCHRONIZE, FALSE, name)).IsOpen();
  std::string variable = command.argument;
  script::TrimBlanks(variable);
  return script::FinishCommand(context, script::SetTruthVariable(context, variable, running));
}

// CLOSETRAYMON: creates (or opens) the close event and sets it. Always succeeds.
Status CloseTrayMon(ScriptContext&, const ScriptCommand&) {
  for (const char* name : kCloseEventNames) {
    const platform::KernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, name));
    if (event.IsOpen()) {
      ::SetEvent(event.Get());
      break;
    }
  }
  return status::kOk;
}

constexpr std::array<script::HandlerEntry, 2> kHandlers = {{
    {script::opcode::kIsTrayMonRunning, IsTrayMonRunning},
    {script::opcode::kCloseTrayMon, CloseTrayMon},
}};

}  // namespace

script::HandlerList TrayMonitorCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

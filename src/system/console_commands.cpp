#include <windows.h>

#include <array>

#include "base/ascii_case.h"
#include "platform/win32/unique_handle.h"
#include "system/handlers.h"
#include "system/process_list.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// The products' console, by the file name of its program.
constexpr char kConsoleImage[] = "DAVRIX.EXE";

// TERMINATEDAVRIX: ends every running console process, each with exit code 0 and a second's pause
// after it. Any argument is ignored; the command always succeeds.
Status TerminateDavrix(ScriptContext&, const ScriptCommand&) {
  ::Sleep(3000);
  for (const RunningProcess& running : RunningProcesses()) {
    if (!base::EqualsIgnoringCase(running.program, kConsoleImage))
      continue;
    const platform::KernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, running.id));
    if (!process.IsOpen())
      continue;
    ::TerminateProcess(process.Get(), 0);
    ::Sleep(1000);
  }
  return status::kOk;
}

constexpr std::array<script::HandlerEntry, 1> kHandlers = {{
    {script::opcode::kTerminateDavrix, TerminateDavrix},
}};

}  // namespace

script::HandlerList ConsoleCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

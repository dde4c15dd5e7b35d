#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "base/path.h"
#include "platform/win32/library_loading.h"
#include "platform/win32/unique_handle.h"
#include "system/handlers.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// The products' console, by the file name of its main module.
constexpr char kConsoleImage[] = "DAVRIX.EXE";

// The process status calls, from the system folder's library.
class ProcessStatus {
 public:
  ProcessStatus()
      : library_("psapi.dll"),
        enum_processes_(library_.Find<EnumProcessesCall>("EnumProcesses")),
        module_file_name_(library_.Find<ModuleFileNameCall>("GetModuleFileNameExA")) {}

  bool IsReady() const { return enum_processes_ != nullptr && module_file_name_ != nullptr; }

  // The ids of every running process: the buffer grows until the whole list fits in it.
  std::vector<DWORD> ProcessIds() const {
    std::vector<DWORD> ids(256);
    for (;;) {
      const DWORD capacity = static_cast<DWORD>(ids.size() * sizeof(DWORD));
      DWORD filled = 0;
      if (!enum_processes_(ids.data(), capacity, &filled))
        return {};
      if (filled < capacity) {
        ids.resize(filled / sizeof(DWORD));
        return ids;
      }
      ids.resize(ids.size() * 2);
    }
  }

  // The path of process's main module; empty when it cannot be read.
  std::string MainModulePath(HANDLE process) const {
    char path[MAX_PATH];
    const DWORD length = module_file_name_(process, nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
  }

 private:
  using EnumProcessesCall = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using ModuleFileNameCall = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

  platform::SystemLibrary library_;
  EnumProcessesCall enum_processes_;
  ModuleFileNameCall module_file_name_;
};

// TERMINATEDAVRIX: ends every running console process, each with exit code 0 and a second's pause
// after it. Any argument is ignored; the command always succeeds.
Status TerminateDavrix(ScriptContext&, const ScriptCommand&) {
  ::Sleep(3000);
  const ProcessStatus status_calls;
  if (!status_calls.IsReady())
    return status::kOk;
  for (const DWORD id : status_calls.ProcessIds()) {
    const platform::KernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
    if (!process.IsOpen())
      continue;
    const std::string image = base::FileNameOf(status_calls.MainModulePath(process.Get()));
    if (base::EqualsIgnoringCase(image, kConsoleImage)) {
      ::TerminateProcess(process.Get(), 0);
      ::Sleep(1000);
    }
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

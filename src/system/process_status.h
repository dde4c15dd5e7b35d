#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/library_loading.h"

namespace system_commands {

// The system's process status calls (psapi.dll), loaded from the system folder.
class ProcessStatus {
 public:
  ProcessStatus();

  bool IsReady() const { return enum_processes_ != nullptr && module_file_name_ != nullptr; }

  // The ids of every running process, however many there are; empty when they cannot be listed.
  std::vector<DWORD> ProcessIds() const;

  // The path of process's main module; empty when it cannot be read.
  std::string MainModulePath(HANDLE process) const;

 private:
  using EnumProcessesCall = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using ModuleFileNameCall = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

  platform::SystemLibrary library_;
  EnumProcessesCall enum_processes_;
  ModuleFileNameCall module_file_name_;
};

}  // namespace system_commands

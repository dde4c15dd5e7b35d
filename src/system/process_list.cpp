#include "system/process_list.h"

#include <tlhelp32.h>

#include "platform/win32/unique_handle.h"

namespace system_commands {

std::vector<RunningProcess> RunningProcesses() {
  std::vector<RunningProcess> processes;
  const platform::SnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsOpen())
    return processes;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
       more = ::Process32Next(snapshot.Get(), &entry)) {
    processes.push_back({entry.th32ProcessID, entry.szExeFile});
  }
  return processes;
}

}  // namespace system_commands

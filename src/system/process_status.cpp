#include "system/process_status.h"

namespace system_commands {

ProcessStatus::ProcessStatus()
    : library_("psapi.dll"),
      enum_processes_(library_.Find<EnumProcessesCall>("EnumProcesses")),
      module_file_name_(library_.Find<ModuleFileNameCall>("GetModuleFileNameExA")) {}

std::vector<DWORD> ProcessStatus::ProcessIds() const {
  if (!IsReady())
    return {};
  // The call does not say how many there are: a list that fills the buffer may have been cut, so
  // the buffer grows until the list leaves room. It starts small, so that the growth runs on every
  // system.
  std::vector<DWORD> ids(16);
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

std::string ProcessStatus::MainModulePath(HANDLE process) const {
  if (!IsReady())
    return {};
  char path[MAX_PATH];
  const DWORD length = module_file_name_(process, nullptr, path, sizeof path);
  return std::string(path, length < sizeof path ? length : 0);
}

}  // namespace system_commands

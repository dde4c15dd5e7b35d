#include <windows.h>

#include "platform/system.h"
#include "platform/win32/system_info.h"

namespace platform {

SystemFamily RunningFamily() {
  const std::optional<OSVERSIONINFOA> version = SystemVersion();
  if (!version)
    return SystemFamily::kOther;
  switch (version->dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
      return SystemFamily::kNine;
    case VER_PLATFORM_WIN32_NT:
      return SystemFamily::kNt;
    default:
      return SystemFamily::kOther;
  }
}

std::string OwnProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

}  // namespace platform

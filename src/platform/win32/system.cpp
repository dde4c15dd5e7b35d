#include <windows.h>

#include "platform/system.h"

namespace platform {

bool IsLeadByte(unsigned char byte) {
  return ::IsDBCSLeadByte(byte) != 0;
}

bool IsNtFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string OwnProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

}  // namespace platform

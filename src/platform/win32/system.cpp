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

}  // namespace platform
